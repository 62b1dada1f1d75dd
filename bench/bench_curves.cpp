// Building the display of the curved entities, per entity: 10,000 circles
// (precision 60), 10,000 polylines of 8 vertices, every other one bulged
// (precision 10 per arc), and 1,000 splines of 10 fit points. Beside the
// circles, the bare tessellation into a reused array: the baseline the
// entity's own work (display set, extents, node) is measured against.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_polyline.h"
#include "geometry/as_tessellate.h"

namespace {

constexpr int kCircles = 10000;

void BM_CircleTessellationBaseline(benchmark::State& state) {
  As_Pt pts[60];
  for (auto _ : state) {
    for (int i = 0; i < kCircles; ++i) {
      circle_to_ptset(As_Pt(i, i, 0), 1 + i % 7, pts, 60);
      benchmark::DoNotOptimize(pts);
    }
  }
  state.SetItemsProcessed(state.iterations() * kCircles);
}
BENCHMARK(BM_CircleTessellationBaseline)->Unit(benchmark::kMillisecond);

void BM_CircleBuildDraw(benchmark::State& state) {
  std::vector<std::unique_ptr<MB_Circle>> circles;
  for (int i = 0; i < kCircles; ++i) circles.emplace_back(new MB_Circle(As_Pt(i, i, 0), 1 + i % 7));
  for (auto _ : state) {
    for (auto& c : circles) c->build_draw();
  }
  state.SetItemsProcessed(state.iterations() * kCircles);
}
BENCHMARK(BM_CircleBuildDraw)->Unit(benchmark::kMillisecond);

void BM_PolylineBuildDraw(benchmark::State& state) {
  std::vector<std::unique_ptr<MB_Polyline>> plines;
  for (int i = 0; i < kCircles; ++i) {
    auto* p = new MB_Polyline;
    for (int k = 0; k < 8; ++k) {
      MB_Pline_Pos& v = p->get_new_pline_pos();
      v.point = As_Pt(i + k * 3, (k % 2) * 2, 0);
      v.bulge = k % 2 ? 0.5 : 0.0;
      v.start_width = v.end_width = (i % 2) ? 0.5 : 0.0;
    }
    plines.emplace_back(p);
  }
  for (auto _ : state) {
    for (auto& p : plines) p->build_draw();
  }
  state.SetItemsProcessed(state.iterations() * kCircles);
}
BENCHMARK(BM_PolylineBuildDraw)->Unit(benchmark::kMillisecond);

void BM_SplineBuildDraw(benchmark::State& state) {
  std::vector<std::unique_ptr<MB_Bspline>> splines;
  for (int i = 0; i < 1000; ++i) {
    auto* s = new MB_Bspline(0, 10);
    for (int k = 0; k < 10; ++k) s->fitpts().points()[k] = As_Pt(k, (k * 7 + i) % 5, 0);
    splines.emplace_back(s);
  }
  for (auto _ : state) {
    for (auto& s : splines) s->build_draw();
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_SplineBuildDraw)->Unit(benchmark::kMillisecond);

}  // namespace
