// Painting the whole container window: the control's toolbars with their
// pictures, the side panel with its tabs and the view showing 100,000 short
// lines on 1920 x 1080, everything invalidated and painted as after the
// window was uncovered; beside the renderer's own full repaint of the same
// view in the same run. What the window system adds to the view's own paint
// is the difference.
#include <benchmark/benchmark.h>
#include <qm_user.h>

#include "bench/bench_hosted.h"
#include "bench/bench_lines.h"
#include "database/mb_drawing.h"

namespace {

using namespace bench_lines;

using bench_hosted::pump;

// The container at 1920 x 1080 with its control, the view showing the lines.
struct Scene : bench_hosted::Hosted_Control {
  Scene() : Hosted_Control("bench-container", kWidth, kHeight) {
    MB_Operation& op = view->operation();
    for (const auto& s : segments()) op.drawing()->add_object(new Bench_Line(s.first, s.second));
    op.build_draw();
    op.zoom_all();
    RedrawWindow(host.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump();
  }
};

void BM_ContainerWindowPaint(benchmark::State& state) {
  Scene s;
  for (auto _ : state) {
    RedrawWindow(s.host.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump();
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_ContainerWindowPaint)->Unit(benchmark::kMillisecond);

void BM_ContainerWindowPaint_Baseline_RendererRepaint(benchmark::State& state) {
  Scene s;
  bench_hosted::renderer_repaint(state, s.view, kCount);
}
BENCHMARK(BM_ContainerWindowPaint_Baseline_RendererRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
