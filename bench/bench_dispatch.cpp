// A million automation calls of a property getter through a dispatch table's
// Invoke beside a million direct calls of the same member function, in the
// same run; the two figures are meant to be read side by side.
#include <benchmark/benchmark.h>
#include <qm_dispatch.h>

namespace {

constexpr int kCalls = 1000000;

class Counter {
 public:
  // Kept out of line so that the direct call is a real call too.
  __attribute__((noinline)) LONG GetCount() { return count_ += 1; }
  void SetCount(LONG v) { count_ = v; }
  double Scale(double f) { return f; }

  static const QmDispatchTable& table() {
    static const QmDispatchTable t = {
        qm_disp_property<&Counter::GetCount, &Counter::SetCount, VT_I4>(1, "Count"),
        qm_disp_method<&Counter::Scale, VT_R8, VT_R8>(9, "Scale"),
        qm_disp_property<&Counter::GetCount, &Counter::SetCount, VT_I4>(2, "Other"),
        qm_disp_property<&Counter::GetCount, &Counter::SetCount, VT_I4>(3, "Third"),
    };
    return t;
  }

 private:
  LONG count_ = 0;
};

void BM_InvokePropertyGet(benchmark::State& state) {
  Counter c;
  const QmDispatchTable& table = Counter::table();
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  for (auto _ : state) {
    LONG sum = 0;
    for (int i = 0; i < kCalls; ++i) {
      VARIANT r;
      r.vt = VT_EMPTY;
      table.Invoke(&c, 1, DISPATCH_PROPERTYGET, &none, &r, nullptr);
      sum += r.lVal;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}

void BM_DirectCall(benchmark::State& state) {
  Counter c;
  Counter* volatile target = &c;
  for (auto _ : state) {
    LONG sum = 0;
    for (int i = 0; i < kCalls; ++i) sum += target->GetCount();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kCalls);
}

BENCHMARK(BM_DirectCall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvokePropertyGet)->Unit(benchmark::kMillisecond);

}  // namespace
