// Injected mouse and keyboard input, key state, capture, focus and cursors.
#include <commctrl.h>

#include "tests/platform_user/user_fixture.h"

using Input = UserTest;

TEST_F(Input, MouseMessagesCarryKeyFlagsAndClientPoints) {
  HWND p = make(nullptr, 100, 50, 400, 300);
  HWND w = make(p, 20, 10, 200, 100);
  pump();
  struct Step {
    UINT key;  // a key pressed before the message (0: none)
    UINT msg;
    WPARAM flags;
  } steps[] = {
      {0, WM_MOUSEMOVE, 0},
      {VK_CONTROL, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL},  // exactly 9
      {0, WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL},
      {0, WM_LBUTTONUP, MK_CONTROL},
      {VK_SHIFT, WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL | MK_SHIFT},
      {0, WM_RBUTTONUP, MK_CONTROL | MK_SHIFT},
      {0, WM_LBUTTONDBLCLK, MK_LBUTTON | MK_CONTROL | MK_SHIFT},
      {0, WM_LBUTTONUP, MK_CONTROL | MK_SHIFT},
      {0, WM_RBUTTONDBLCLK, MK_RBUTTON | MK_CONTROL | MK_SHIFT},
  };
  int x = 3;
  for (const Step& s : steps) {
    if (s.key) qm_user_key(nullptr, s.key, true);  // no focus window: state only
    ASSERT_TRUE(qm_user_mouse(w, s.msg, x, 7));
    MSG m;
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.hwnd, w);
    EXPECT_EQ(m.message, s.msg);
    EXPECT_EQ(m.wParam, s.flags) << std::hex << s.msg;
    EXPECT_EQ(GET_X_LPARAM(m.lParam), x);
    EXPECT_EQ(GET_Y_LPARAM(m.lParam), 7);
    EXPECT_EQ(m.pt.x, 120 + x);  // screen point
    EXPECT_EQ(m.pt.y, 67);
    POINT c;
    GetCursorPos(&c);
    EXPECT_EQ(c.x, 120 + x);
    ++x;
  }
  EXPECT_FALSE(qm_user_mouse(w, WM_MOUSEWHEEL, 0, 0));
  EXPECT_FALSE(qm_user_mouse(w, 0x1FF, 0, 0));
  EXPECT_FALSE(qm_user_mouse(reinterpret_cast<HWND>(0x50), WM_MOUSEMOVE, 0, 0));
  ShowWindow(w, SW_HIDE);
  EXPECT_FALSE(qm_user_mouse(w, WM_LBUTTONDOWN, 0, 0));
  ShowWindow(w, SW_SHOW);
  EnableWindow(w, FALSE);
  EXPECT_FALSE(qm_user_mouse(w, WM_LBUTTONDOWN, 0, 0));
  pump();
  EXPECT_EQ(qm_user_queued_message_count(), 0u);
}

TEST_F(Input, ShiftStateFollowsTheMessagesTaken) {
  HWND w = make(nullptr, 0, 0, 10, 10);
  pump();
  ASSERT_TRUE(qm_user_key(w, VK_SHIFT, true));
  EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);  // not before the message is taken
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>(VK_SHIFT));
  EXPECT_EQ(m.lParam, 1);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);

  qm_user_key(w, VK_SHIFT, true);  // held: auto-repeat
  GetMessageA(&m, nullptr, 0, 0);
  EXPECT_EQ(m.lParam, 1 | (1 << 30));
  qm_user_key(w, VK_SHIFT, false);
  EXPECT_GE(GetAsyncKeyState(VK_SHIFT), 0);
  GetMessageA(&m, nullptr, 0, 0);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(static_cast<DWORD>(m.lParam), 0xC0000001u);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 1, 1);  // toggled by the one press

  // Without a window, keys go to the focus window.
  HWND f = make(nullptr, 0, 0, 10, 10);
  pump();
  seen().clear();
  EXPECT_EQ(SetFocus(f), nullptr);
  EXPECT_EQ(messages_of(f), (std::vector<UINT>{WM_SETFOCUS}));
  EXPECT_EQ(SetFocus(w), f);
  EXPECT_EQ(messages_of(f), (std::vector<UINT>{WM_SETFOCUS, WM_KILLFOCUS}));
  qm_user_key(nullptr, 'Q', true);
  GetMessageA(&m, nullptr, 0, 0);
  EXPECT_EQ(m.hwnd, w);
  EXPECT_FALSE(qm_user_key(reinterpret_cast<HWND>(0x60), 'Q', true));
  EXPECT_FALSE(qm_user_key(w, 0, true));
}

TEST_F(Input, CaptureRoutesTheMouseToItsWindow) {
  HWND p = make(nullptr, 0, 0, 400, 300);
  HWND a = make(p, 100, 100, 50, 50);
  HWND b = make(p, 0, 0, 50, 50);
  pump();
  EXPECT_EQ(SetCapture(a), nullptr);
  seen().clear();
  EXPECT_EQ(SetCapture(b), a);
  ASSERT_EQ(messages_of(a), (std::vector<UINT>{WM_CAPTURECHANGED}));
  EXPECT_EQ(seen().back().lparam, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(GetCapture(), b);

  // Input aimed at b goes to the capture window, in its client coordinates.
  SetCapture(a);
  qm_user_mouse(b, WM_MOUSEMOVE, 10, 20);
  MSG m;
  GetMessageA(&m, nullptr, 0, 0);
  EXPECT_EQ(m.hwnd, a);
  EXPECT_EQ(GET_X_LPARAM(m.lParam), -90);
  EXPECT_EQ(GET_Y_LPARAM(m.lParam), -80);

  seen().clear();
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(messages_of(a), (std::vector<UINT>{WM_CAPTURECHANGED}));
  EXPECT_EQ(GetCapture(), nullptr);
  SetCapture(a);
  DestroyWindow(a);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(SetCapture(reinterpret_cast<HWND>(0x70)), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Input, APointerOverAPlainStaticReachesItsParent) {
  HWND p = make(nullptr, 0, 0, 400, 300);
  HWND box = make(p, 50, 40, 200, 150);
  HWND label = CreateWindowExA(0, WC_STATICA, "x", WS_CHILD | WS_VISIBLE, 10, 10, 60, 20, box, nullptr, nullptr, nullptr);
  HWND notifying =
      CreateWindowExA(0, WC_STATICA, "y", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 40, 60, 20, box, nullptr, nullptr, nullptr);
  struct Case {
    int x, y;
    HWND window;
    POINT local;
  };
  const Case cases[] = {
      {70, 55, box, {20, 15}},           // over the plain static: its parent, in the parent's points
      {75, 85, notifying, {15, 5}},      // a static that asks for the mouse keeps it
      {150, 150, box, {100, 110}},       // over no child
      {10, 10, p, {10, 10}},             // outside the box
  };
  for (const Case& c : cases) {
    POINT local{-1, -1};
    EXPECT_EQ(qm_user_window_at(p, c.x, c.y, local), c.window) << c.x << "," << c.y;
    EXPECT_EQ(local.x, c.local.x);
    EXPECT_EQ(local.y, c.local.y);
  }
  // Input aimed at the static itself is still its own.
  pump();
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
  EXPECT_TRUE(qm_user_mouse(label, WM_LBUTTONDOWN, 3, 4));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, label);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_LBUTTONDOWN));
}

TEST_F(Input, CursorsAreStableHandles) {
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), arrow);
  EXPECT_NE(LoadCursor(nullptr, IDC_SIZEWE), arrow);
  HINSTANCE module = reinterpret_cast<HINSTANCE>(0x400000);
  HCURSOR zoom = LoadCursor(module, "IDC_ZOOM_WINDOW_CUR");
  EXPECT_EQ(LoadCursor(module, "idc_zoom_window_cur"), zoom);
  EXPECT_EQ(LoadCursor(module, nullptr), nullptr);
  EXPECT_EQ(SetCursor(zoom), nullptr);
  EXPECT_EQ(SetCursor(arrow), zoom);
  EXPECT_EQ(GetCursor(), arrow);
  SetCursorPos(-5, 9);
  POINT pt;
  GetCursorPos(&pt);
  EXPECT_EQ(pt.x, -5);
  EXPECT_EQ(pt.y, 9);
}
