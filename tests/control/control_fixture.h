// A control hosted in a top-level window, as a container makes it, with the
// views, frames and bars the tests look at.
#pragma once

#include <afxwin.h>
#include <gtest/gtest.h>
#include <qm_user.h>

#include "control/quill_frame.h"
#include "control/quill_view.h"
#include "control/quillmark_ctrl.h"

namespace control_test {

inline void pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

struct Hosted {
  CWnd host;
  COleControl* control = nullptr;

  explicit Hosted(int width = 600, int height = 400) {
    EXPECT_TRUE(host.CreateEx(0, nullptr, "host", WS_OVERLAPPED | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr));
    control = QmCreateControl(RUNTIME_CLASS(CQuillmarkOcxCtrl), &host, CRect(0, 0, width, height), 1);
    EXPECT_TRUE(control);
    pump();
  }
  ~Hosted() {
    destroy();
    delete control;
  }
  void destroy() {
    if (::IsWindow(host.m_hWnd)) host.DestroyWindow();
    pump();
  }
  // A toolbar or menu command, as the frame receives it.
  void command(UINT id) {
    frame()->SendMessage(WM_COMMAND, id, 0);
    pump();
  }
  CQuillmarkOcxCtrl& ctrl() const { return *static_cast<CQuillmarkOcxCtrl*>(control); }
  CQuillFrame* frame() const { return static_cast<CQuillFrame*>(ctrl().frame()); }
  CQuillView* view() const {
    return frame() ? static_cast<CQuillView*>(frame()->GetActiveView()) : nullptr;
  }
};

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override { g_enter_key_flag = false; }
  void TearDown() override {
    AfxDeleteTempObjects();
    qm_user_reset();
  }
  CWinApp app{"control-test"};  // its profile is held in memory
};

}  // namespace control_test
