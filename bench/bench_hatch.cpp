// Hatch lines generated per second: a 45-degree family of solid lines over
// a 1000 x 1000 square with a circular hole (radius 300, 256 edges), at
// scales giving about 1,000, 100,000 and 1,000,000 lines. Beside it, a plain
// even-odd clipper that tests every edge for every line and writes the runs
// into one flat array: the least any hatcher must do, without the edge index
// and without one point set per run. The cost should grow linearly with the
// line count; compare ns per line across the three sizes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "database/entities/mb_hatch.h"
#include "geometry/as_loop.h"

namespace {

constexpr double kSide = 1000.0;
constexpr int kHoleEdges = 256;

std::vector<As_Pt> square_pts() {
  return {As_Pt(0, 0, 0), As_Pt(kSide, 0, 0), As_Pt(kSide, kSide, 0), As_Pt(0, kSide, 0)};
}

std::vector<As_Pt> hole_pts() {
  std::vector<As_Pt> p;
  for (int i = 0; i < kHoleEdges; ++i)
    p.emplace_back(500 + 300 * std::cos(two_pi * i / kHoleEdges), 500 + 300 * std::sin(two_pi * i / kHoleEdges), 0);
  return p;
}

// Spacing across the lines for about `lines` lines over the square.
double spacing_for(double lines) { return kSide * std::sqrt(2.0) / lines; }

void BM_HatchBuild(benchmark::State& state) {
  const double lines = double(state.range(0));
  MB_Hatch hatch;
  std::vector<As_Pt> sq = square_pts(), hole = hole_pts();
  hatch.loop_list().add(new As_Loop(sq.data(), int(sq.size())));
  hatch.loop_list().add(new As_Loop(hole.data(), int(hole.size())));
  hatch.pattern()->clear_lines();
  hatch.pattern()->add_line("45, 0,0, 0,1");
  hatch.pattern()->scale(spacing_for(lines));
  for (auto _ : state) {
    hatch.build_draw();
    benchmark::DoNotOptimize(hatch.line_sets().head());
  }
  if (hatch.boundary_only()) state.SkipWithError("bounded");
  state.counters["runs"] = hatch.line_sets().count();
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(lines));
}

void BM_PlainClipper(benchmark::State& state) {
  const double lines = double(state.range(0)), step = spacing_for(lines);
  std::vector<std::vector<As_Pt>> loops = {square_pts(), hole_pts()};
  const double r2 = std::sqrt(0.5);
  std::vector<double> hits;
  std::vector<As_Pt> out;
  for (auto _ : state) {
    out.clear();
    // c = -x sin + y cos across the lines, t = x cos + y sin along them.
    for (double c = -kSide * r2; c <= kSide * r2; c += step) {
      hits.clear();
      for (const auto& l : loops) {
        for (size_t k = 0; k < l.size(); ++k) {
          const As_Pt &a = l[k], &b = l[(k + 1) % l.size()];
          const double ca = (a.y() - a.x()) * r2, cb = (b.y() - b.x()) * r2;
          if ((ca > c) == (cb > c)) continue;
          const double ta = (a.x() + a.y()) * r2, tb = (b.x() + b.y()) * r2;
          hits.push_back(ta + (tb - ta) * (c - ca) / (cb - ca));
        }
      }
      std::sort(hits.begin(), hits.end());
      for (size_t k = 0; k + 1 < hits.size(); k += 2) {
        out.emplace_back((hits[k] - c) * r2, (hits[k] + c) * r2, 0);
        out.emplace_back((hits[k + 1] - c) * r2, (hits[k + 1] + c) * r2, 0);
      }
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["runs"] = double(out.size() / 2);
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(lines));
}

BENCHMARK(BM_HatchBuild)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainClipper)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
