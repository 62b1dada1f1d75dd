// Printing one A4 page at 600 dpi (4961 x 7016 pixels) of 100,000 short
// lines through the control's print job (print dialog answered, progress
// dialog, page fitted, every entity drawn onto the printer's page, the page
// kept by the printer), beside the renderer drawing the same lines onto a
// view of the page's size in the same run (background, display list, one
// block transfer to the window). A first print, which faults the page
// memory in, runs before the measured ones.
#include <benchmark/benchmark.h>
#include <qm_print.h>
#include <qm_user.h>

#include "bench/bench_lines.h"
#include "control/print_job.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"

namespace {

using namespace bench_lines;

constexpr double kA4Width = 210, kA4Height = 297;
constexpr int kDpi = 600;
constexpr int kPageWidth = 4961, kPageHeight = 7016;  // A4 at 600 dpi

LRESULT proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) { return DefWindowProcA(hwnd, msg, wparam, lparam); }

MB_Drawing* make_drawing() {
  MB_Drawing* d = new MB_Drawing(MB_String("bench"));
  for (const auto& s : segments(kCount)) d->add_object(new Bench_Line(s.first, s.second));
  d->build_draw();
  return d;
}

HWND page_window() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = "QmBenchPage";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "QmBenchPage", "", WS_VISIBLE, 0, 0, kPageWidth, kPageHeight, nullptr, nullptr, nullptr,
                         nullptr);
}

void print_once(MB_Operation& op) {
  qm_print_reset();
  qm_print_set_printer(kA4Width, kA4Height, kDpi);
  qm_print_push_dialog_answer({true, PD_PAGENUMS, 1, 1, 1});
  PrintJob job;
  job.operation = &op;
  job.Print();
}

void BM_PrintA4Page600Dpi(benchmark::State& state) {
  CWinApp app("bench-print");
  {
    MB_Operation op;
    op.init(nullptr, make_drawing());
    // The first print faults its page memory in; the printer keeps that
    // memory for the prints after it, as the renderer keeps its surfaces.
    print_once(op);
    for (auto _ : state) {
      state.PauseTiming();
      qm_print_reset();
      qm_print_set_printer(kA4Width, kA4Height, kDpi);
      qm_print_push_dialog_answer({true, PD_PAGENUMS, 1, 1, 1});
      state.ResumeTiming();
      PrintJob job;
      job.operation = &op;
      job.Print();
    }
    if (qm_print_jobs().size() != 1 || qm_print_jobs()[0].pages.size() != 1 || qm_print_jobs()[0].width != kPageWidth ||
        qm_print_jobs()[0].height != kPageHeight)
      state.SkipWithError("the page was not printed");
  }
  qm_print_reset();
  AfxDeleteTempObjects();
  qm_user_reset();
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_PrintA4Page600Dpi)->Unit(benchmark::kMillisecond);

void BM_PrintA4Page600Dpi_Baseline_Renderer(benchmark::State& state) {
  HWND wnd = page_window();
  {
    MB_Operation op;
    op.init(wnd, make_drawing());
    op.zoom_all();
    HDC hdc = GetDC(wnd);
    for (auto _ : state) op.draw(hdc);
    ReleaseDC(wnd, hdc);
  }
  qm_user_reset();
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_PrintA4Page600Dpi_Baseline_Renderer)->Unit(benchmark::kMillisecond);

}  // namespace
