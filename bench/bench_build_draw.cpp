// Building and drawing the display of 100,000 short line-like entities on a
// 1920 x 1080 surface, per entity: MB_Drawing::build_draw (one polyline node
// each), then drawing every node onto the surface the way a repaint does.
// Beside each, the bare work it implies, written by hand: allocating one
// node per segment, and drawing the same segments straight with
// CMyDC::Line. This is the baseline a later renderer improves on.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "bench/bench_lines.h"
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "database/nodes/mb_draw_node.h"
#include "surface/cmydc.h"

namespace {

using namespace bench_lines;

std::unique_ptr<MB_Drawing> make_drawing() {
  auto d = std::make_unique<MB_Drawing>();
  for (const auto& s : segments()) d->add_object(new Bench_Line(s.first, s.second));
  return d;
}

void per_entity(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_BuildDraw(benchmark::State& state) {
  auto d = make_drawing();
  for (auto _ : state) d->build_draw();
  per_entity(state);
}
BENCHMARK(BM_BuildDraw)->Unit(benchmark::kMillisecond);

void BM_BuildDraw_Baseline_NodesByHand(benchmark::State& state) {
  auto segs = segments();
  std::vector<std::unique_ptr<MB_Draw_Lines_Set>> nodes(kCount);
  for (auto _ : state) {
    for (int i = 0; i < kCount; ++i) {
      As_Pt p[2] = {segs[i].first, segs[i].second};
      nodes[i].reset(new MB_Draw_Lines_Set(p, 2, 0xFFFFFF, nullptr));
      nodes[i]->build_rect();
    }
    benchmark::ClobberMemory();
  }
  per_entity(state);
}
BENCHMARK(BM_BuildDraw_Baseline_NodesByHand)->Unit(benchmark::kMillisecond);

void BM_DrawNodes(benchmark::State& state) {
  auto d = make_drawing();
  d->build_draw();
  CMyDC dc;
  HDC ref = CreateCompatibleDC(nullptr);
  dc.CreateCompatibleDC(ref, kWidth, kHeight, 32);
  for (auto _ : state) draw_nodes(*d, dc);
  per_entity(state);
  dc.DeleteDC();
  DeleteDC(ref);
}
BENCHMARK(BM_DrawNodes)->Unit(benchmark::kMillisecond);

void BM_DrawNodes_Baseline_SurfaceLines(benchmark::State& state) {
  auto segs = segments();
  CMyDC dc;
  HDC ref = CreateCompatibleDC(nullptr);
  dc.CreateCompatibleDC(ref, kWidth, kHeight, 32);
  for (auto _ : state) {
    for (const auto& s : segs) {
      dc.SetColor(0xFFFFFF);
      dc.Line(int(s.second.x()), int(s.second.y()), int(s.first.x()), int(s.first.y()));
    }
  }
  per_entity(state);
  dc.DeleteDC();
  DeleteDC(ref);
}
BENCHMARK(BM_DrawNodes_Baseline_SurfaceLines)->Unit(benchmark::kMillisecond);

}  // namespace
