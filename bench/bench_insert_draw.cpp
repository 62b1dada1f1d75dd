// Drawing through inserts: 100 inserts of one block of 1,000 short lines
// (100,000 lines drawn) on a 1920 x 1080 surface, against the baseline of
// the same 100,000 lines placed in the drawing and drawn straight. The
// difference is what an insert adds per object (the composed transform and
// the colour set before each object) against what it saves (one block's
// objects stay in the cache).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"
#include "surface/cmydc.h"

namespace {

constexpr int kLines = 1000, kInserts = 100;
constexpr int kWidth = 1920, kHeight = 1080;

uint32_t next(uint32_t& seed) {
  seed = seed * 1103515245u + 12345u;
  return (seed >> 16) & 0x7FFF;
}

// Lines of up to 15 pixels inside a 150 x 100 cell.
std::vector<std::pair<As_Pt, As_Pt>> cell_lines() {
  std::vector<std::pair<As_Pt, As_Pt>> out;
  uint32_t seed = 12345;
  for (int i = 0; i < kLines; ++i) {
    double x = next(seed) % 135, y = next(seed) % 85;
    out.emplace_back(As_Pt(x, y, 0), As_Pt(x + next(seed) % 15, y + next(seed) % 15, 0));
  }
  return out;
}

// Where insert i places the cell: a 10 x 10 grid over the surface.
As_Pt cell_origin(int i) { return As_Pt((i % 10) * 190.0, (i / 10) * 105.0, 0.0); }

struct Surface {
  CMyDC dc;
  Surface() {
    HDC ref = CreateCompatibleDC(nullptr);
    dc.CreateCompatibleDC(ref, kWidth, kHeight, 32);
    DeleteDC(ref);
  }
};

// Builds the drawing, then draws every entity per iteration.
void repaint(benchmark::State& state, MB_Drawing& d) {
  d.build_draw();
  Surface s;
  As_Tran view = translate_transf(As_Vec(0.5, 0.5, 0.0));  // a repaint's view is never the identity
  for (auto _ : state) {
    for (MB_Object* o = d.object_list().head(); o; o = o->next()) {
      static_cast<MB_Drawable*>(o)->draw(nullptr, s.dc, view);
    }
  }
  state.SetItemsProcessed(state.iterations() * kLines * kInserts);
}

void BM_DrawThroughInserts(benchmark::State& state) {
  MB_Drawing d;
  auto* block = new MB_Block(As_Pt(), MB_String("cell"), MB_String());
  for (const auto& l : cell_lines()) block->object_list().add_tail(new MB_Line(l.first, l.second));
  d.block_list().add_tail(block);
  for (int i = 0; i < kInserts; ++i) {
    auto* ins = new MB_Insert(cell_origin(i), 0.0, 1.0, 1.0, 1.0);
    ins->block(block);
    d.object_list().add_tail(ins);
  }
  repaint(state, d);
}
BENCHMARK(BM_DrawThroughInserts)->Unit(benchmark::kMillisecond);

void BM_DrawPlacedLinesBaseline(benchmark::State& state) {
  MB_Drawing d;
  const auto lines = cell_lines();
  for (int i = 0; i < kInserts; ++i) {
    const As_Pt at = cell_origin(i);
    for (const auto& l : lines) {
      const As_Vec v(at.x(), at.y(), 0.0);
      d.object_list().add_tail(new MB_Line(l.first + v, l.second + v));
    }
  }
  repaint(state, d);
}
BENCHMARK(BM_DrawPlacedLinesBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
