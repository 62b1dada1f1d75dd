// A full repaint of 100,000 short line-like entities on a 1920 x 1080
// window through the renderer (background fill, extents test per entity,
// drawing on the off-screen surface, one block transfer), per entity. Beside
// it, measured in the same run, the node drawing of bench_build_draw: every
// node drawn onto a surface with no view logic around it. Then a full
// repaint of 1,000,000 such lines beside a textbook Bresenham loop drawing
// the same lines, their ends mapped by the same view, into a plain buffer.
#include <benchmark/benchmark.h>
#include <qm_user.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/bench_lines.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"
#include "surface/cmydc.h"
#include "surface/device_point.h"

namespace {

using namespace bench_lines;

LRESULT proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) { return DefWindowProcA(hwnd, msg, wparam, lparam); }

constexpr int kMillion = 1000000;

MB_Drawing* make_drawing(int count = kCount) {
  MB_Drawing* d = new MB_Drawing(MB_String("bench"));
  for (const auto& s : segments(count)) d->add_object(new Bench_Line(s.first, s.second));
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

// The view of a window of the benchmark's size zoomed to the drawing.
struct View_Window {
  HWND wnd = nullptr;
  MB_Operation op;
  explicit View_Window(MB_Drawing* d) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = "QmBenchView";
    RegisterClassA(&wc);
    wnd = CreateWindowExA(0, "QmBenchView", "", WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    op.init(wnd, d);
    op.zoom_all();
  }
};

void BM_RepaintMillion(benchmark::State& state) {
  {
    View_Window v(make_drawing(kMillion));
    HDC hdc = GetDC(v.wnd);
    // The first repaint also builds the display list; the timed ones are the
    // repaints that follow it, as the baseline's ends are mapped beforehand.
    v.op.draw(hdc);
    for (auto _ : state) v.op.draw(hdc);
    state.counters["drawn"] = v.op.draw_render()->display_list().count();
    ReleaseDC(v.wnd, hdc);
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
  qm_user_reset();
}
BENCHMARK(BM_RepaintMillion)->Unit(benchmark::kMillisecond);

// The textbook all-octant Bresenham, end pixel included, pixels off the
// buffer skipped.
void plain_line(uint32_t* bits, int x0, int y0, int x1, int y1, uint32_t v) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    if (unsigned(x0) < unsigned(kWidth) && unsigned(y0) < unsigned(kHeight)) bits[size_t(y0) * kWidth + size_t(x0)] = v;
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
}

void BM_RepaintMillion_Baseline_PlainBresenham(benchmark::State& state) {
  std::vector<POINT> ends;
  {
    View_Window v(make_drawing(kMillion));
    const As_Tran& view = v.op.draw_render()->drawing_to_screen();
    for (const auto& s : segments(kMillion)) {
      ends.push_back(mb_device_point(s.first, view));
      ends.push_back(mb_device_point(s.second, view));
    }
  }
  qm_user_reset();
  std::vector<uint32_t> bits(size_t(kWidth) * kHeight);
  uint32_t c = 0;
  for (auto _ : state) {
    ++c;
    for (size_t i = 0; i < ends.size(); i += 2) plain_line(bits.data(), ends[i].x, ends[i].y, ends[i + 1].x, ends[i + 1].y, c);
    benchmark::DoNotOptimize(bits.data());
  }
  state.SetItemsProcessed(state.iterations() * kMillion);
}
BENCHMARK(BM_RepaintMillion_Baseline_PlainBresenham)->Unit(benchmark::kMillisecond);

}  // namespace
