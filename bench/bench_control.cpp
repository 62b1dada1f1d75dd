// A wheel-zoom message on the drawing control showing 100,000 short lines on
// a 1920 x 1080 view, from the message to the repainted window pixels (the
// view's handler, the invalidation and the paint through the renderer),
// beside the renderer's own full repaint of the same drawing in the same
// run. The wheel turns back and forth, so the scale stays in range.
//
// And one mouse move with the line tool (snapping on) over drawings of
// 1,000 and 1,000,000 lines, from the message to the rubber band drawn: a
// move must not cost in proportion to the drawing.
#include <benchmark/benchmark.h>
#include <qm_user.h>

#include "bench/bench_hosted.h"
#include "bench/bench_lines.h"
#include "database/mb_drawing.h"

namespace {

using namespace bench_lines;

using bench_hosted::pump;

// A control in its host window, its view showing `count` of the lines.
struct Scene : bench_hosted::Hosted_Control {
  explicit Scene(int count = kCount) : Hosted_Control("bench-control", kWidth, kHeight) {
    MB_Operation& op = view->operation();
    const auto lines = segments();
    for (int i = 0; i < count; ++i) {
      const auto& s = lines[size_t(i) % lines.size()];
      op.drawing()->add_object(new Bench_Line(s.first, s.second));
    }
    op.build_draw();
    op.zoom_all();
    view->Invalidate(TRUE);
    pump();
  }
};

void BM_WheelZoomToPixels(benchmark::State& state) {
  Scene s;
  CRect client;
  s.view->GetClientRect(&client);
  int delta = 120;
  for (auto _ : state) {
    qm_user_wheel(s.view->m_hWnd, delta, client.Width() / 2, client.Height() / 2);
    pump();
    delta = -delta;
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_WheelZoomToPixels)->Unit(benchmark::kMillisecond);

void BM_WheelZoom_Baseline_RendererRepaint(benchmark::State& state) {
  Scene s;
  bench_hosted::renderer_repaint(state, s.view, kCount);
}
BENCHMARK(BM_WheelZoom_Baseline_RendererRepaint)->Unit(benchmark::kMillisecond);

void BM_SnappedMouseMove(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)));
  s.view->SendMessage(WM_COMMAND, 32780, 0);  // the line tool: snapping on
  HWND view = s.view->m_hWnd;
  qm_user_mouse(view, WM_LBUTTONDOWN, 400, 300);  // its first point: the preview follows
  pump();
  int x = 0;
  for (auto _ : state) {
    qm_user_mouse(view, WM_MOUSEMOVE, 500 + (x++ % 400), 400);
    pump();
  }
  state.counters["lines"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_SnappedMouseMove)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
