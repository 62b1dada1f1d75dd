// The drawing view: the wheel zooms about the cursor, the arrow keys pan or
// (after Enter) zoom, '.' deletes the selection as one undoable command, and
// a mouse move without a tool installs the select tool when permitted; a
// press gives the view the keyboard, and a modal dialog keeps the control's
// windows from taking input.
#include <cmath>

#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "display/mb_draw_render.h"
#include "tests/control/control_fixture.h"

namespace control_test {
namespace {

As_Pt under(MB_Draw_Render* r, int x, int y) { return As_Pt(x, y, 0) * r->screen_to_drawing(); }

void expect_near(const As_Pt& a, const As_Pt& b, double tol, const char* what) {
  EXPECT_NEAR(a.x(), b.x(), tol) << what;
  EXPECT_NEAR(a.y(), b.y(), tol) << what;
}

void key(HWND hwnd, UINT vk) {
  qm_user_key(hwnd, vk, true);
  pump();
  qm_user_key(hwnd, vk, false);
  pump();
}

TEST_F(ControlTest, TheWheelZoomsAboutTheCursorByTheSignOfItsDelta) {
  Hosted h;
  CQuillView* v = h.view();
  MB_Draw_Render* r = v->operation().draw_render();
  ASSERT_TRUE(r);
  struct Case {
    int delta;
    double factor;
  };
  // A turn of two notches in one message zooms out like one notch: the sign
  // decides, one step per message.
  for (const Case& c : {Case{120, 1.2}, Case{-120, 0.8}, Case{-240, 0.8}, Case{240, 1.2}}) {
    const As_Pt before = under(r, 150, 90);
    const double scale = r->drawing_to_screen().scaling();
    ASSERT_TRUE(qm_user_wheel(v->m_hWnd, c.delta, 150, 90));
    pump();
    EXPECT_NEAR(r->drawing_to_screen().scaling(), scale * c.factor, 1e-9 * scale) << c.delta;
    expect_near(under(r, 150, 90), before, 1e-9, "the point under the cursor stays");
  }
  EXPECT_EQ(CQuillView::wheel_factor(0), 1.0);
}

TEST_F(ControlTest, EnterTogglesBetweenPanningAndZoomingWithTheArrowKeys) {
  Hosted h;
  CQuillView* v = h.view();
  MB_Draw_Render* r = v->operation().draw_render();
  CRect client;
  v->GetClientRect(&client);

  // Panning: a quarter of the client height in drawing units.
  const As_Pt at = under(r, 10, 10);
  const double d = r->screen_to_drawing().scaling() * client.Height() * 0.25;
  key(v->m_hWnd, VK_UP);
  const As_Pt moved = under(r, 10, 10);
  EXPECT_NEAR(std::fabs(moved.y() - at.y()), d, 1e-9);
  EXPECT_NEAR(moved.x(), at.x(), 1e-9);
  key(v->m_hWnd, VK_LEFT);
  EXPECT_NEAR(std::fabs(under(r, 10, 10).x() - at.x()), d, 1e-9);

  // Zooming: Up by 1.2 about the centre of the screen rectangle; Left does
  // nothing; Enter again goes back to panning.
  key(v->m_hWnd, VK_RETURN);
  EXPECT_TRUE(g_enter_key_flag);
  const RECT& s = r->scr_rect();
  const int cx = s.left + (s.right - s.left) / 2, cy = s.top + (s.bottom - s.top) / 2;
  const As_Pt centre = under(r, cx, cy);
  const double scale = r->drawing_to_screen().scaling();
  key(v->m_hWnd, VK_UP);
  EXPECT_NEAR(r->drawing_to_screen().scaling(), scale * 1.2, 1e-9 * scale);
  expect_near(under(r, cx, cy), centre, 1e-9, "the centre stays");
  const As_Tran zoomed = r->drawing_to_screen();
  key(v->m_hWnd, VK_LEFT);
  EXPECT_TRUE(r->drawing_to_screen() == zoomed);
  key(v->m_hWnd, VK_RETURN);
  EXPECT_FALSE(g_enter_key_flag);
}

TEST_F(ControlTest, AFullStopDeletesTheSelectionAndUndoBringsItBack) {
  Hosted h;
  MB_Operation& op = h.view()->operation();
  MB_Undo_Redo* store = op.undo_redo();
  ASSERT_TRUE(store);
  store->rec_cmd_begin("add");
  MB_Line* line = new MB_Line(As_Pt(0, 0, 0), As_Pt(10, 10, 0));
  op.drawing()->add_object(line);
  store->rec_cmd_end();
  ASSERT_TRUE(op.add_entity_to_selection(line, false));

  // The Delete key makes no character: nothing happens.
  key(h.view()->m_hWnd, VK_DELETE);
  EXPECT_EQ(op.drawing()->object_list().count(), 1);
  PostMessageA(h.view()->m_hWnd, WM_CHAR, '.', 1);
  pump();
  EXPECT_EQ(op.drawing()->object_list().count(), 0);
  EXPECT_TRUE(op.selection().is_empty());

  As_Void_List touched;
  op.undo(touched);
  ASSERT_EQ(op.drawing()->object_list().count(), 1);
  EXPECT_EQ(op.drawing()->object_list().head(), line);
}

TEST_F(ControlTest, AMouseMoveWithoutAToolInstallsTheSelectToolWhenPermitted) {
  Hosted h;
  MB_Operation& op = h.view()->operation();
  op.clear_all_tools();
  EXPECT_EQ(op.get_active_tool_id(), -1);
  qm_user_mouse(h.view()->m_hWnd, WM_MOUSEMOVE, 20, 20);
  pump();
  EXPECT_EQ(op.get_active_tool_id(), -300);
  EXPECT_STREQ(op.get_active_tool_title(), "\xd1\xa1\xd4\xf1");

  op.clear_all_tools();
  CQuillView::permit(quill::kPermitDefaultSelect, false);
  qm_user_mouse(h.view()->m_hWnd, WM_MOUSEMOVE, 30, 30);
  pump();
  EXPECT_EQ(op.get_active_tool_id(), -1);
  EXPECT_FALSE(CQuillView::permitted(quill::kPermissionCount));  // out of range: never
}

TEST_F(ControlTest, APressInTheViewGivesItTheKeyboard) {
  Hosted h;
  CQuillView* v = h.view();
  ::SetFocus(h.host.m_hWnd);
  ASSERT_NE(::GetFocus(), v->m_hWnd);
  qm_user_mouse(v->m_hWnd, WM_LBUTTONDOWN, 40, 40);
  qm_user_mouse(v->m_hWnd, WM_LBUTTONUP, 40, 40);
  pump();
  EXPECT_EQ(::GetFocus(), v->m_hWnd);
}

TEST_F(ControlTest, WhileTheVersionBoxRunsTheControlsWindowsTakeNoInput) {
  Hosted h;
  CQuillView* v = h.view();
  bool ran = false;
  AfxPushDialogScript(quill::kDialogVersionInfo, [&](CDialog& d) {
    ran = true;
    // The view, and the toolbars beside it under the same top-level window.
    EXPECT_FALSE(qm_user_mouse(v->m_hWnd, WM_LBUTTONDOWN, 40, 40));
    EXPECT_FALSE(qm_user_mouse(h.frame()->m_hWnd, WM_LBUTTONDOWN, 5, 5));
    EXPECT_FALSE(qm_user_key(v->m_hWnd, VK_RETURN, true));
    EXPECT_TRUE(qm_user_mouse(d.m_hWnd, WM_MOUSEMOVE, 5, 5)) << "the box itself takes it";
    d.EndDialog(IDOK);
  });
  h.command(quill::kCommandMenuVersion);
  EXPECT_TRUE(ran);
  EXPECT_TRUE(qm_user_mouse(v->m_hWnd, WM_MOUSEMOVE, 40, 40)) << "once it is closed";
  pump();
}

}  // namespace
}  // namespace control_test
