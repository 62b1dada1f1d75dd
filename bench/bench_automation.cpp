// A host walking the drawing through the control's automation interface:
// GetObject by index and GetObjectType by id, each one Invoke as a container
// makes it, over drawings of 1,000 and 1,000,000 lines in the same run. A
// call must cost the same whatever the drawing's size: the walk goes in the
// host's usual order (index 1, 2, ...), and a scattered walk shows what the
// memory of a large drawing adds. Beside them, the same Invoke of a member
// that reads nothing (GetReal), the cost of the dispatch alone.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_hosted.h"
#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"

namespace {

// A control in its host window, its drawing holding `count` lines whose ids
// the host has already been given.
struct Scene : bench_hosted::Hosted_Control {
  CQuillmarkOcxCtrl* ctrl = nullptr;
  std::vector<LONG> ids;
  DISPID get_object = 0, get_object_type = 0, get_real = 0;

  explicit Scene(int count) : Hosted_Control("bench-automation", 400, 300) {
    ctrl = ocx();
    MB_Drawing* d = view->operation().drawing();
    for (int i = 0; i < count; ++i) d->add_object(new MB_Line(As_Pt(i, 0, 0), As_Pt(i, 1, 0)));
    for (LONG i = 1; i <= count; ++i) ids.push_back(ctrl->GetObject(i));
    get_object = id_of(u"GetObject");
    get_object_type = id_of(u"GetObjectType");
    get_real = id_of(u"GetReal");
  }
  DISPID id_of(const char16_t* name) {
    std::u16string n(name);
    LPOLESTR names[1] = {n.data()};
    DISPID id = 0;
    control->GetIDsOfNames(names, 1, &id);
    return id;
  }
  LONG call(DISPID id, std::vector<VARIANT>& args) {
    DISPPARAMS p = {args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    VARIANT r;
    VariantInit(&r);
    control->Invoke(id, DISPATCH_METHOD, &p, &r, nullptr);
    return r.vt == VT_I4 ? r.lVal : 0;
  }
};

// The n-th position of a walk: in order, or scattered over the whole range.
size_t position(size_t n, size_t count, bool scattered) { return scattered ? (n * 2654435761u) % count : n % count; }

void BM_GetObjectByIndex(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)));
  const bool scattered = state.range(1) != 0;
  const size_t count = s.ids.size();
  std::vector<VARIANT> args = {qm_variant_i4(1)};
  size_t n = 0;
  for (auto _ : state) {
    args[0].lVal = static_cast<LONG>(position(n++, count, scattered) + 1);
    benchmark::DoNotOptimize(s.call(s.get_object, args));
  }
  state.counters["entities"] = static_cast<double>(count);
}
BENCHMARK(BM_GetObjectByIndex)->Args({1000, 0})->Args({1000000, 0})->Args({1000, 1})->Args({1000000, 1});

void BM_GetObjectTypeById(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)));
  const bool scattered = state.range(1) != 0;
  const size_t count = s.ids.size();
  std::vector<VARIANT> args = {qm_variant_i4(1)};
  size_t n = 0;
  for (auto _ : state) {
    args[0].lVal = s.ids[position(n++, count, scattered)];
    benchmark::DoNotOptimize(s.call(s.get_object_type, args));
  }
  state.counters["entities"] = static_cast<double>(count);
}
BENCHMARK(BM_GetObjectTypeById)->Args({1000, 0})->Args({1000000, 0})->Args({1000, 1})->Args({1000000, 1});

// The baseline: an Invoke with the same two-integer argument handling and a
// result, reading nothing of the drawing.
void BM_Baseline_InvokeConstantMember(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)));
  std::vector<VARIANT> args = {qm_variant_i4(-1), qm_variant_i4(1)};
  for (auto _ : state) benchmark::DoNotOptimize(s.call(s.get_real, args));
  state.counters["entities"] = static_cast<double>(s.ids.size());
}
BENCHMARK(BM_Baseline_InvokeConstantMember)->Arg(1000)->Arg(1000000);

}  // namespace
