// Cost of the spline fit as the number of fit points grows: the fit alone
// (one band solve), the fit with its tessellation as the spline entity
// makes it (tessellation value 1.3), and the closed fit. Items are fit
// points, so items/s should stay flat across sizes for linear cost.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "geometry/curves/spline_fit.h"

namespace {

// A wave with the same spacing and bend everywhere, so each span costs the
// same whatever the number of points.
std::vector<double> Wave(int n, bool closed) {
  std::vector<double> pts(3 * n);
  for (int i = 0; i < n; ++i) {
    pts[3 * i] = 10.0 * i;
    pts[3 * i + 1] = 20.0 * std::sin(0.7 * i);
    pts[3 * i + 2] = 0.0;
  }
  if (closed) {
    // Round the wave onto a circle and repeat the first point at the end.
    double r = 10.0 * n / (2 * M_PI);
    for (int i = 0; i < n; ++i) {
      double a = 2 * M_PI * i / (n - 1), rr = r + 20.0 * std::sin(0.7 * i);
      pts[3 * i] = rr * std::cos(a);
      pts[3 * i + 1] = rr * std::sin(a);
    }
    pts[3 * (n - 1)] = pts[0];
    pts[3 * (n - 1) + 1] = pts[1];
  }
  return pts;
}

void BM_Fit(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int closed = static_cast<int>(state.range(1));
  std::vector<double> pts = Wave(n, closed != 0);
  for (auto _ : state) {
    CNURBS* c = nullptr;
    long st = GetFittingSpline(n, reinterpret_cast<double(*)[3]>(pts.data()), 1e-5, nullptr, nullptr, closed, c);
    benchmark::DoNotOptimize(st);
    delete c;
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_FitAndTessellate(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> pts = Wave(n, false);
  int out_points = 0;
  for (auto _ : state) {
    int tc = 0, cc = 0, kc = 0;
    double(*tp)[3] = nullptr, (*cp)[3] = nullptr, *kn = nullptr;
    int r = gr_splinegen2(3, n, reinterpret_cast<double(*)[3]>(pts.data()), 1e-5, nullptr, nullptr, 0, 1.3, &tc,
                          &tp, &cc, &cp, &kc, &kn);
    benchmark::DoNotOptimize(r);
    out_points = tc;
    std::free(tp);
    std::free(cp);
    std::free(kn);
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.counters["out_points"] = out_points;
}

}  // namespace

// Open (closed = 0) and closed fits.
BENCHMARK(BM_Fit)->ArgNames({"points", "closed"})->ArgsProduct({{10, 100, 1000}, {0, 1}});
BENCHMARK(BM_FitAndTessellate)->ArgName("points")->Arg(10)->Arg(100)->Arg(1000);
