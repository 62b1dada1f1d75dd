// Mapping a million points through an As_Tran (rotation, scale and
// translation) beside a hand-written loop doing the same arithmetic on the
// same data; the two figures are meant to be read side by side.
#include <benchmark/benchmark.h>

#include <vector>

#include "geometry/as_tran.h"

namespace {

constexpr int kPoints = 1000000;

const std::vector<As_Pt>& Input() {
  static const std::vector<As_Pt> pts = [] {
    std::vector<As_Pt> v;
    v.reserve(kPoints);
    for (int i = 0; i < kPoints; ++i) v.emplace_back(i * 0.001, (i % 977) * 0.5 - 200.0, 0.0);
    return v;
  }();
  return pts;
}

As_Tran View() {
  return rotate_transf(0.3, As_Vec(0, 0, 1)) * scale_transf(2.5) * translate_transf(As_Vec(100, -40, 0));
}

void BM_TransformKernel(benchmark::State& state) {
  const std::vector<As_Pt>& in = Input();
  std::vector<As_Pt> out(in.size());
  const As_Tran t = View();
  for (auto _ : state) {
    for (size_t i = 0; i < in.size(); ++i) out[i] = in[i] * t;
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_TransformHandLoop(benchmark::State& state) {
  const std::vector<As_Pt>& in = Input();
  std::vector<As_Pt> out(in.size());
  const As_Tran t = View();
  const matrix m = t.affine();
  const As_Vec d = t.translation();
  const double s = t.scaling();
  double a[3][3];
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) a[r][c] = m.element(r, c) * s;
  const double tx = d.x(), ty = d.y(), tz = d.z();
  for (auto _ : state) {
    for (size_t i = 0; i < in.size(); ++i) {
      const double x = in[i].x(), y = in[i].y(), z = in[i].z();
      out[i] = As_Pt(x * a[0][0] + y * a[1][0] + z * a[2][0] + tx, x * a[0][1] + y * a[1][1] + z * a[2][1] + ty,
                     x * a[0][2] + y * a[1][2] + z * a[2][2] + tz);
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}

}  // namespace

BENCHMARK(BM_TransformKernel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransformHandLoop)->Unit(benchmark::kMillisecond);
