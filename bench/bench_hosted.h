// A drawing control in its host window, as a container makes one, for the
// benchmarks that drive the control; and the message pump that lets the
// windows do what was asked of them.
#pragma once

#include <benchmark/benchmark.h>
#include <qm_user.h>

#include "control/quill_view.h"
#include "control/quillmark_ctrl.h"

namespace bench_hosted {

inline void pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

struct Hosted_Control {
  CWinApp app;
  CWnd host;
  COleControl* control = nullptr;
  CQuillView* view = nullptr;

  Hosted_Control(const char* name, int width, int height) : app(name) {
    host.CreateEx(0, nullptr, "bench", WS_OVERLAPPED | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr);
    control = QmCreateControl(RUNTIME_CLASS(CQuillmarkOcxCtrl), &host, CRect(0, 0, width, height), 1);
    pump();
    view = CQuillView::current();
  }
  ~Hosted_Control() {
    host.DestroyWindow();
    delete control;
    AfxDeleteTempObjects();
    qm_user_reset();
  }
  CQuillmarkOcxCtrl* ocx() const { return static_cast<CQuillmarkOcxCtrl*>(control); }
};

// The baseline the control's paints stand beside: the renderer's full
// repaint of the view, `items` entities a time.
inline void renderer_repaint(benchmark::State& state, CQuillView* view, int64_t items) {
  MB_Draw_Render* r = view->operation().draw_render();
  HDC hdc = GetDC(view->m_hWnd);
  for (auto _ : state) r->draw(hdc);
  ReleaseDC(view->m_hWnd, hdc);
  state.SetItemsProcessed(state.iterations() * items);
}

}  // namespace bench_hosted
