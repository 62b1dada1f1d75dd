// A control hosted in a top-level window, as a container makes it, with the
// views, frames and bars the tests look at.
#pragma once

#include <afxwin.h>
#include <gtest/gtest.h>
#include <qm_user.h>

#include <memory>

#include "control/quill_frame.h"
#include "control/quill_view.h"
#include "control/quillmark_ctrl.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "display/interaction/mb_operation.h"

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

// One hosted control whose view's operation the tools work on, driven by
// commands and mouse messages at client pixels.
class ToolTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    hosted_ = std::make_unique<Hosted>();
    op_ = &hosted_->view()->operation();
  }
  void TearDown() override {
    hosted_.reset();
    ControlTest::TearDown();
  }
  void command(UINT id) { hosted_->command(id); }
  void move(int x, int y) {
    qm_user_mouse(hosted_->view()->m_hWnd, WM_MOUSEMOVE, x, y);
    pump();
  }
  // The mouse moves to the pixel, then the button message arrives there.
  void at(UINT msg, int x, int y) {
    move(x, y);
    qm_user_mouse(hosted_->view()->m_hWnd, msg, x, y);
    pump();
  }
  MB_Object_List& entities() { return op_->drawing()->object_list(); }
  int count() { return entities().count(); }
  const char* last_command() {
    MB_Command* c = op_->undo_redo()->last_cmd();
    return c ? c->name() : "";
  }
  int commands() { return op_->undo_redo()->done().count(); }
  void undo() {
    As_Void_List touched;
    op_->undo(touched);
  }
  std::unique_ptr<Hosted> hosted_;
  MB_Operation* op_ = nullptr;
};

}  // namespace control_test
