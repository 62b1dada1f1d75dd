// Cost of the curve queries on a fitted wave of n fit points: the closest
// point by seeds and Newton projection (exact to 1e-9) against the plain
// approach of sampling the curve densely (64 evaluations per span, about
// 1e-3 of a span's length), and the crossings of two such waves against the
// chords of their tessellations tested pairwise.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "geometry/curves/curve_intersect.h"
#include "geometry/curves/spline_fit.h"

namespace {

std::unique_ptr<CNURBS> Wave(int n, double phase) {
  std::vector<double> pts(3 * n);
  for (int i = 0; i < n; ++i) {
    pts[3 * i] = 10.0 * i;
    pts[3 * i + 1] = 20.0 * std::sin(0.7 * i + phase);
    pts[3 * i + 2] = 0.0;
  }
  CNURBS* c = nullptr;
  GetFittingSpline(n, reinterpret_cast<double(*)[3]>(pts.data()), 1e-5, nullptr, nullptr, 0, c);
  return std::unique_ptr<CNURBS>(c);
}

const double kQuery[3] = {123.4, 7.5, 0.0};

void BM_ClosestPointNewton(benchmark::State& state) {
  auto c = Wave(static_cast<int>(state.range(0)), 0.0);
  for (auto _ : state) {
    double foot[3], t = 0, d = 0;
    int st = c->ClosestPoint(kQuery, foot, t, d, 1e-9, kCurveNone);
    benchmark::DoNotOptimize(st);
    benchmark::DoNotOptimize(d);
  }
}

void BM_ClosestPointDenseBaseline(benchmark::State& state) {
  auto c = Wave(static_cast<int>(state.range(0)), 0.0);
  const int samples = 64 * c->ControlCount();
  const double a = c->StartParam(), b = c->EndParam();
  for (auto _ : state) {
    double best = 1e300;
    for (int i = 0; i <= samples; ++i) {
      double p[3];
      c->Evaluate(a + (b - a) * i / samples, p);
      best = std::fmin(best, std::hypot(p[0] - kQuery[0], p[1] - kQuery[1]));
    }
    benchmark::DoNotOptimize(best);
  }
}

void BM_IntersectNewton(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  auto a = Wave(n, 0.0), b = Wave(n, 2.0);
  for (auto _ : state) {
    CDoubleArray l1, l2;
    int st = IntersectCurves(*a, *b, l1, l2, 1e-9);
    benchmark::DoNotOptimize(st);
  }
}

// All chord pairs of two tessellations within 0.01.
void BM_IntersectChordBaseline(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  auto a = Wave(n, 0.0), b = Wave(n, 2.0);
  for (auto _ : state) {
    CPointAccumulator pa, pb;
    a->Tessellate(0.01, nullptr, pa);
    b->Tessellate(0.01, nullptr, pb);
    const double(*p)[3] = pa.Points();
    const double(*q)[3] = pb.Points();
    int hits = 0;
    for (int i = 0; i + 1 < pa.Count(); ++i)
      for (int j = 0; j + 1 < pb.Count(); ++j) {
        double d1x = p[i + 1][0] - p[i][0], d1y = p[i + 1][1] - p[i][1];
        double d2x = q[j + 1][0] - q[j][0], d2y = q[j + 1][1] - q[j][1];
        double c = d1x * d2y - d1y * d2x;
        if (c == 0) continue;
        double wx = q[j][0] - p[i][0], wy = q[j][1] - p[i][1];
        double s = (wx * d2y - wy * d2x) / c, u = (wx * d1y - wy * d1x) / c;
        if (s >= 0 && s < 1 && u >= 0 && u < 1) ++hits;
      }
    benchmark::DoNotOptimize(hits);
  }
}

}  // namespace

BENCHMARK(BM_ClosestPointNewton)->Arg(16)->Arg(128);
BENCHMARK(BM_ClosestPointDenseBaseline)->Arg(16)->Arg(128);
BENCHMARK(BM_IntersectNewton)->Arg(16)->Arg(64);
BENCHMARK(BM_IntersectChordBaseline)->Arg(16)->Arg(64);
