// A full repaint of 100,000 short line-like entities on a 1920 x 1080
// window through the renderer (background fill, extents test per entity,
// drawing on the off-screen surface, one block transfer), per entity. Beside
// it, measured in the same run, the node drawing of bench_build_draw: every
// node drawn onto a surface with no view logic around it.
#include <benchmark/benchmark.h>
#include <qm_user.h>

#include <memory>

#include "bench/bench_lines.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"
#include "surface/cmydc.h"

namespace {

using namespace bench_lines;

LRESULT proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) { return DefWindowProcA(hwnd, msg, wparam, lparam); }

MB_Drawing* make_drawing() {
  MB_Drawing* d = new MB_Drawing(MB_String("bench"));
  for (const auto& s : segments()) d->add_object(new Bench_Line(s.first, s.second));
  d->build_draw();
  return d;
}

void BM_Repaint(benchmark::State& state) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = "QmBenchView";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(0, "QmBenchView", "", WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr,
                             nullptr);
  {
    MB_Operation op;
    op.init(wnd, make_drawing());
    op.zoom_all();
    HDC hdc = GetDC(wnd);
    for (auto _ : state) op.draw(hdc);
    state.counters["drawn"] = op.draw_render()->display_list().count();
    ReleaseDC(wnd, hdc);
  }
  state.SetItemsProcessed(state.iterations() * kCount);
  qm_user_reset();
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond);

void BM_Repaint_Baseline_DrawNodes(benchmark::State& state) {
  std::unique_ptr<MB_Drawing> d(make_drawing());
  CMyDC dc;
  HDC ref = CreateCompatibleDC(nullptr);
  dc.CreateCompatibleDC(ref, kWidth, kHeight, 32);
  for (auto _ : state) draw_nodes(*d, dc);
  state.SetItemsProcessed(state.iterations() * kCount);
  dc.DeleteDC();
  DeleteDC(ref);
}
BENCHMARK(BM_Repaint_Baseline_DrawNodes)->Unit(benchmark::kMillisecond);

}  // namespace
