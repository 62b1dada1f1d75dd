// A user's first minute with the control: open a drawing, zoom with the
// wheel, draw a line with the toolbar's line button, undo it, redo it and
// save, each step repainted, through the control's windows and commands;
// beside the kernel doing the same steps on its own operation, renderer
// and undo store in the same run. The drawing is 20,000 lines saved as a
// native file once, before both.
#include <benchmark/benchmark.h>
#include <qm_user.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "bench/bench_hosted.h"
#include "bench/bench_lines.h"
#include "control/control_ids.h"
#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "display/mb_draw_render.h"

namespace {

constexpr int kLines = 20000;
constexpr int kWidth = 1280, kHeight = 800;

using bench_hosted::pump;

std::string folder() {
  static const std::string f = [] {
    char pattern[] = "/tmp/bench-scenario-XXXXXX";
    const std::string made = std::string(mkdtemp(pattern)) + "/";
    mkdir((made + "saved").c_str(), 0700);
    return made;
  }();
  return f;
}

// Where the saves go: never over the drawing being opened.
std::string save_folder() { return folder() + "saved/"; }

// The drawing both sides open, written once.
const std::string& drawing_file() {
  static const std::string path = [] {
    const std::string p = folder() + "lines.qlf";
    CWnd host;
    host.CreateEx(0, nullptr, "writer", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr);
    MB_Operation op;
    op.init(host.m_hWnd, "lines");
    for (const auto& s : bench_lines::segments(kLines)) op.drawing()->add_object(new MB_Line(s.first, s.second));
    op.save_kzf(p.c_str());
    host.DestroyWindow();
    return p;
  }();
  return path;
}

void BM_Scenario_Control(benchmark::State& state) {
  const std::string& path = drawing_file();
  bench_hosted::Hosted_Control hosted("bench-scenario", kWidth, kHeight);
  CQuillView* view = hosted.view;
  CWnd* frame = view->GetParentFrame();
  view->save_directory() = save_folder().c_str();
  CRect client;
  view->GetClientRect(&client);
  const int cx = client.Width() / 2, cy = client.Height() / 2;
  for (auto _ : state) {
    view->OpenDrawingByExtension(CString(path.c_str()));
    view->Invalidate(TRUE);
    pump();
    qm_user_wheel(view->m_hWnd, 120, cx, cy);
    pump();
    frame->SendMessage(WM_COMMAND, 32780, 0);  // the line button
    for (const POINT p : {POINT{cx - 100, cy}, POINT{cx + 100, cy + 50}}) {
      qm_user_mouse(view->m_hWnd, WM_MOUSEMOVE, p.x, p.y);
      qm_user_mouse(view->m_hWnd, WM_LBUTTONDOWN, p.x, p.y);
      qm_user_mouse(view->m_hWnd, WM_LBUTTONUP, p.x, p.y);
      pump();
    }
    frame->SendMessage(WM_COMMAND, quill::kCommandUndo, 0);
    pump();
    frame->SendMessage(WM_COMMAND, quill::kCommandRedo, 0);
    pump();
    view->SaveDrawingByExtension();
    pump();
  }
  // The steps must have done their work: the opened lines and the one drawn.
  if (view->operation().drawing()->object_list().count() != kLines + 1) state.SkipWithError("the line was not drawn");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Scenario_Control)->Unit(benchmark::kMillisecond);

void BM_Scenario_Baseline_Kernel(benchmark::State& state) {
  const std::string& path = drawing_file();
  CWnd host;
  host.CreateEx(0, nullptr, "bench", WS_OVERLAPPED | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr);
  HWND wnd = host.m_hWnd;
  MB_Operation op;
  op.init(wnd, "lines");
  const std::string saved = save_folder() + "lines.qlf";
  HDC hdc = GetDC(wnd);
  CRect client;
  ::GetClientRect(wnd, &client);
  auto repaint = [&] { op.draw_render()->draw(hdc); };
  for (auto _ : state) {
    op.create_drawing(path.c_str());
    op.draw_render()->resize_quick_dc(hdc, client);
    op.load_kzf(path.c_str());
    op.build_draw();
    op.compute_transf();
    op.zoom_all();
    repaint();
    op.scale_view(1.2, client.Width() / 2, client.Height() / 2);
    repaint();
    MB_Undo_Redo* store = op.undo_redo();
    store->rec_cmd_begin("line");
    auto* line = new MB_Line(As_Pt(-100, 0, 0), As_Pt(100, 50, 0));
    op.drawing()->add_object(line);
    store->rec_cmd_end();
    line->build_draw();
    repaint();
    for (bool undo : {true, false}) {
      As_Void_List touched;
      if (undo)
        op.undo(touched);
      else
        op.redo(touched);
      for (As_Void_Node* n = touched.head(); n; n = n->next())
        if (auto* o = static_cast<MB_Object*>(n->entity()); o && o->is_drawable())
          static_cast<MB_Drawable*>(o)->build_draw();
      repaint();
    }
    op.save_kzf(saved.c_str());
  }
  if (op.drawing()->object_list().count() != kLines + 1) state.SkipWithError("the line was not drawn");
  state.SetItemsProcessed(state.iterations());
  ReleaseDC(wnd, hdc);
  host.DestroyWindow();
  qm_user_reset();
}
BENCHMARK(BM_Scenario_Baseline_Kernel)->Unit(benchmark::kMillisecond);

}  // namespace
