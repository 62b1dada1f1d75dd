// Tessellation, hatching and the closed-loop search, each beside a plain
// hand-written version of the same work where one exists; the figures are
// meant to be read side by side.
//   - a 100-point circle: circle_to_ptset beside cos/sin per point;
//   - vertical hatching of a 1,000-vertex star every 1 unit (about 200 scan
//     lines): cut_segments_by_loops beside an even-odd scan-line clipper
//     over the same edges; "pieces" shows both cut alike (the clipper also
//     keeps a zero-length piece where the first line meets the leftmost
//     vertex);
//   - the closed-loop search over a grid of n by n cells (no baseline).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/as_edge.h"
#include "geometry/as_hatch_cut.h"
#include "geometry/as_loop.h"
#include "geometry/as_search_loops.h"
#include "geometry/as_tessellate.h"

namespace {

void BM_CircleToPtset(benchmark::State& state) {
  std::vector<As_Pt> pts(100);
  for (auto _ : state) {
    circle_to_ptset(As_Pt(3, 4, 0), 10, pts.data(), 100);
    benchmark::DoNotOptimize(pts.data());
  }
}
BENCHMARK(BM_CircleToPtset);

void BM_CircleHand(benchmark::State& state) {
  std::vector<As_Pt> pts(100);
  for (auto _ : state) {
    const double step = two_pi / 99;
    for (int i = 0; i < 100; ++i) pts[i] = As_Pt(3 + 10 * std::cos(i * step), 4 + 10 * std::sin(i * step), 0);
    pts[99] = pts[0];
    benchmark::DoNotOptimize(pts.data());
  }
}
BENCHMARK(BM_CircleHand);

const As_Loop& Star() {
  static const As_Loop loop = [] {
    As_Loop l;
    for (int i = 0; i < 1000; ++i) {
      const double a = two_pi * i / 1000, r = 100.0 * (1.0 + 0.3 * std::sin(17 * a));
      l.add(As_Pt(r * std::cos(a) + 0.123, r * std::sin(a) + 0.321, 0));
    }
    return l;
  }();
  return loop;
}

void BM_HatchStar(benchmark::State& state) {
  As_Loop star = Star();
  As_Void_List loops;
  loops.add(&star);
  size_t pieces = 0;
  for (auto _ : state) {
    As_Void_List out;
    cut_segments_by_loops(loops, half_pi, 1.0, out);
    pieces = static_cast<size_t>(out.size());
    for (As_Void_Node* n = out.head(); n; n = n->next()) delete static_cast<As_Segment*>(n->entity());
  }
  state.counters["pieces"] = static_cast<double>(pieces);
}
BENCHMARK(BM_HatchStar)->Unit(benchmark::kMillisecond);

void BM_HatchHand(benchmark::State& state) {
  const std::vector<As_Pt> pts = Star().closed_points();
  double min_x = pts[0].x(), max_x = min_x;
  for (const As_Pt& p : pts) min_x = std::min(min_x, p.x()), max_x = std::max(max_x, p.x());
  size_t pieces = 0;
  for (auto _ : state) {
    std::vector<std::pair<As_Pt, As_Pt>> out;
    std::vector<double> ys;
    for (double x = min_x; x <= max_x; x += 1.0) {
      ys.clear();
      for (size_t i = 0; i + 1 < pts.size(); ++i) {
        const As_Pt &a = pts[i], &b = pts[i + 1];
        if ((a.x() > x) != (b.x() > x)) ys.push_back(a.y() + (x - a.x()) * (b.y() - a.y()) / (b.x() - a.x()));
      }
      std::sort(ys.begin(), ys.end());
      for (size_t k = 0; k + 1 < ys.size(); k += 2) out.push_back({As_Pt(x, ys[k], 0), As_Pt(x, ys[k + 1], 0)});
    }
    pieces = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["pieces"] = static_cast<double>(pieces);
}
BENCHMARK(BM_HatchHand)->Unit(benchmark::kMillisecond);

void BM_SearchGrid(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  size_t faces = 0;
  for (auto _ : state) {
    As_Search_Loops search;
    for (int i = 0; i <= n; ++i) {
      search.segment_list().add(new As_Segment(As_Pt(i, -0.5, 0), As_Pt(i, n + 0.5, 0)));
      search.segment_list().add(new As_Segment(As_Pt(-0.5, i, 0), As_Pt(n + 0.5, i, 0)));
    }
    search.init();
    search.search_min_loops();
    faces = static_cast<size_t>(search.result_list().size());
  }
  state.counters["faces"] = static_cast<double>(faces);
}
BENCHMARK(BM_SearchGrid)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);

}  // namespace
