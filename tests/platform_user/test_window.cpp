// The window tree: creation and destruction messages, parents, ids,
// geometry, visibility, text and window data.
#include <cstring>

#include "tests/platform_user/user_fixture.h"

using WindowTree = UserTest;

TEST_F(WindowTree, CreationSendsItsMessagesInOrder) {
  HWND w = make(nullptr, 10, 20, 100, 50);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(messages_of(w),
            (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
  for (const Seen& s : seen()) {
    if (s.msg == WM_SIZE) {
      EXPECT_EQ(s.lparam, MAKELPARAM(100, 50));
    }
    if (s.msg == WM_MOVE) {
      EXPECT_EQ(s.lparam, MAKELPARAM(10, 20));
    }
  }
  EXPECT_TRUE(IsWindowVisible(w));
  // Without WS_VISIBLE nothing is shown.
  HWND hidden = make(nullptr, 0, 0, 10, 10, 0);
  EXPECT_EQ(messages_of(hidden).back(), static_cast<UINT>(WM_MOVE));
  EXPECT_FALSE(IsWindowVisible(hidden));
}

TEST_F(WindowTree, RefusedCreationLeavesNothing) {
  hook() = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    if (msg != WM_CREATE) return false;
    *r = -1;
    return true;
  };
  EXPECT_EQ(make(nullptr, 0, 0, 10, 10), nullptr);
  ASSERT_FALSE(seen().empty());
  HWND dead = seen().front().hwnd;
  EXPECT_EQ(messages_of(dead), (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(dead));
  EXPECT_EQ(qm_user_window_count(), 0u);

  hook() = nullptr;
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowExA(0, "QmTestWindow", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(make(reinterpret_cast<HWND>(0x1234), 0, 0, 1, 1), nullptr);
  EXPECT_EQ(qm_user_window_count(), 0u);
}

TEST_F(WindowTree, ParentsChildrenAndIds) {
  HWND top = make(nullptr, 0, 0, 200, 200);
  HWND a = make(top, 0, 0, 10, 10, WS_VISIBLE, 101);
  HWND b = make(top, 0, 0, 10, 10, WS_VISIBLE, 102);
  HWND g = make(a, 0, 0, 5, 5, WS_VISIBLE, 201);
  EXPECT_EQ(GetParent(a), top);
  EXPECT_EQ(GetParent(g), a);
  EXPECT_EQ(GetParent(top), nullptr);
  EXPECT_EQ(GetDlgItem(top, 102), b);
  EXPECT_EQ(GetDlgItem(top, 201), nullptr);  // direct children only
  EXPECT_EQ(GetDlgCtrlID(g), 201);
  EXPECT_TRUE(IsChild(top, g));
  EXPECT_FALSE(IsChild(b, g));
  EXPECT_FALSE(IsChild(top, top));
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(b, GW_HWNDPREV), a);
  EXPECT_EQ(GetTopWindow(nullptr), top);
}

TEST_F(WindowTree, DestroyingAParentTakesTheTreeDownInOrder) {
  HWND p = make(nullptr, 0, 0, 100, 100);
  HWND c1 = make(p, 0, 0, 10, 10);
  HWND g = make(c1, 0, 0, 5, 5);
  HWND c2 = make(p, 20, 0, 10, 10);
  HWND owned = CreateWindowExA(0, "QmTestWindow", "", 0, 0, 0, 5, 5, p, nullptr, nullptr, nullptr);
  ASSERT_NE(owned, nullptr);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), p);
  SetTimer(g, 7, 100, nullptr);
  SetTimer(p, 8, 100, nullptr);
  PostMessageA(c2, WM_USER, 0, 0);
  SetCapture(g);
  SetFocus(c1);
  seen().clear();

  EXPECT_TRUE(DestroyWindow(p));
  std::vector<std::pair<HWND, UINT>> order;
  for (const Seen& s : seen())
    if (s.msg == WM_DESTROY || s.msg == WM_NCDESTROY) order.push_back({s.hwnd, s.msg});
  std::vector<std::pair<HWND, UINT>> want = {
      {owned, WM_DESTROY}, {owned, WM_NCDESTROY}, {p, WM_DESTROY},     {c1, WM_DESTROY}, {g, WM_DESTROY},
      {c2, WM_DESTROY},    {g, WM_NCDESTROY},     {c1, WM_NCDESTROY}, {c2, WM_NCDESTROY}, {p, WM_NCDESTROY}};
  EXPECT_EQ(order, want);
  for (HWND h : {p, c1, g, c2, owned}) EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(qm_user_window_count(), 0u);
  EXPECT_EQ(qm_user_timer_count(), 0u);
  EXPECT_EQ(qm_user_queued_message_count(), 0u);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_FALSE(DestroyWindow(p));
  // Handles are never handed out again.
  HWND again = make(nullptr, 0, 0, 1, 1);
  for (HWND h : {p, c1, g, c2, owned}) EXPECT_NE(again, h);
}

TEST_F(WindowTree, AWindowMayDestroyItselfOrItsParentFromItsHandlers) {
  HWND p = make(nullptr, 0, 0, 100, 100);
  HWND c = make(p, 0, 0, 10, 10);
  hook() = [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    if (msg == WM_USER) {
      DestroyWindow(h);
      *r = IsWindow(h) ? 1 : 2;
      return true;
    }
    if (msg == WM_DESTROY && h == c) {
      EXPECT_FALSE(DestroyWindow(p));  // already on its way
      EXPECT_FALSE(DestroyWindow(c));
    }
    return false;
  };
  EXPECT_EQ(SendMessageA(p, WM_USER, 0, 0), 2);
  EXPECT_FALSE(IsWindow(c));
  EXPECT_EQ(qm_user_window_count(), 0u);
}

TEST_F(WindowTree, GeometryBetweenScreenWindowAndClient) {
  HWND p = make(nullptr, 100, 200, 300, 300);
  HWND c = make(p, 10, 20, 30, 40);
  RECT r;
  ASSERT_TRUE(GetWindowRect(c, &r));
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{110, 220, 140, 260}));
  ASSERT_TRUE(GetClientRect(c, &r));
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{0, 0, 30, 40}));
  POINT pt = {1, 2};
  ClientToScreen(c, &pt);
  EXPECT_EQ(pt.x, 111);
  EXPECT_EQ(pt.y, 222);
  ScreenToClient(c, &pt);
  EXPECT_EQ(pt.x, 1);
  EXPECT_EQ(pt.y, 2);

  seen().clear();
  MoveWindow(c, 10, 20, 50, 40, FALSE);  // size only
  EXPECT_EQ(messages_of(c), (std::vector<UINT>{WM_NCCALCSIZE, WM_SIZE}));
  seen().clear();
  SetWindowPos(c, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // position only
  EXPECT_EQ(messages_of(c), (std::vector<UINT>{WM_MOVE}));
  GetClientRect(c, &r);
  EXPECT_EQ(r.right, 50);
  // Sizes are never negative.
  MoveWindow(c, 0, 0, -5, -5, FALSE);
  GetClientRect(c, &r);
  EXPECT_EQ(r.right, 0);
  EXPECT_EQ(r.bottom, 0);
}

TEST_F(WindowTree, AFrameCarvedByTheWindowMovesTheClientArea) {
  hook() = [](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT* r) {
    if (msg != WM_NCCALCSIZE) return false;
    RECT* rc = reinterpret_cast<RECT*>(lp);
    rc->left += 2;
    rc->top += 3;
    rc->right -= 2;
    rc->bottom -= 3;
    *r = 0;
    return true;
  };
  HWND w = make(nullptr, 50, 60, 100, 80);
  RECT r;
  GetClientRect(w, &r);
  EXPECT_EQ(r.right, 96);
  EXPECT_EQ(r.bottom, 74);
  POINT pt = {0, 0};
  ClientToScreen(w, &pt);
  EXPECT_EQ(pt.x, 52);
  EXPECT_EQ(pt.y, 63);
  GetWindowRect(w, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{50, 60, 150, 140}));
}

TEST_F(WindowTree, VisibilityFollowsTheAncestors) {
  HWND p = make(nullptr, 0, 0, 100, 100, 0);
  HWND c = make(p, 0, 0, 10, 10);
  EXPECT_FALSE(IsWindowVisible(c));
  EXPECT_FALSE(ShowWindow(p, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(c));
  EXPECT_TRUE(ShowWindow(p, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(c));
  EXPECT_TRUE(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE);

  EXPECT_FALSE(EnableWindow(c, FALSE));
  EXPECT_FALSE(IsWindowEnabled(c));
  EXPECT_TRUE(EnableWindow(c, TRUE));
  EXPECT_TRUE(IsWindowEnabled(c));
}

TEST_F(WindowTree, TextIsKeptAsBytesAndNeverCutInsideACharacter) {
  // "错误" in GBK, then an ASCII letter.
  const char gbk[] = "\xB4\xED\xCE\xF3x";
  HWND w = CreateWindowExA(0, "QmTestWindow", gbk, 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetWindowTextLengthA(w), 5);
  char buf[16];
  EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 5);
  EXPECT_STREQ(buf, gbk);
  struct Case {
    int size;
    const char* want;
  } cases[] = {{1, ""}, {2, ""}, {3, "\xB4\xED"}, {4, "\xB4\xED"}, {5, "\xB4\xED\xCE\xF3"}};
  for (const Case& c : cases) {
    std::memset(buf, 'Z', sizeof buf);
    EXPECT_EQ(GetWindowTextA(w, buf, c.size), static_cast<int>(std::strlen(c.want))) << c.size;
    EXPECT_STREQ(buf, c.want) << c.size;
  }
  EXPECT_TRUE(SetWindowTextA(w, "abc"));
  GetWindowTextA(w, buf, sizeof buf);
  EXPECT_STREQ(buf, "abc");
  EXPECT_TRUE(SetWindowTextA(w, nullptr));
  EXPECT_EQ(GetWindowTextLengthA(w), 0);
}

TEST_F(WindowTree, WindowDataAndStyles) {
  HWND w = make(nullptr, 0, 0, 1, 1, WS_VISIBLE | WS_CLIPCHILDREN);
  EXPECT_EQ(SetWindowLongPtrA(w, GWLP_USERDATA, 42), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 42);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)), static_cast<DWORD>(WS_VISIBLE | WS_CLIPCHILDREN));
  SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(WS_CHILD | WS_VISIBLE));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)), 0x50000000u);
  // The class asked for 8 extra bytes: offsets 0..7 only.
  EXPECT_EQ(SetWindowLongPtrA(w, 0, 0x1122334455667788), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, 0), 0x1122334455667788);
  EXPECT_EQ(SetWindowLongA(w, 4, 9), 0x11223344);
  EXPECT_EQ(GetWindowLongA(w, 6), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, 1), 0);
  EXPECT_EQ(GetWindowLongA(w, 100), 0);
  // A replaced procedure receives the messages from then on.
  static int calls = 0;
  WNDPROC other = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    ++calls;
    return DefWindowProcA(h, m, wp, lp);
  };
  WNDPROC old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(other)));
  EXPECT_EQ(old, &UserTest::proc);
  SendMessageA(w, WM_USER, 0, 0);
  EXPECT_EQ(calls, 1);
}

TEST_F(WindowTree, NestingIsBounded) {
  HWND h = make(nullptr, 0, 0, 10, 10);
  int depth = 0;
  for (HWND next; depth < 1000 && (next = make(h, 0, 0, 10, 10)); ++depth) h = next;
  EXPECT_LT(depth, 1000);
  qm_user_reset();  // takes the whole chain down
}

TEST_F(WindowTree, AResetFromInsideAHandlerLeavesNothing) {
  HWND p = make(nullptr, 0, 0, 10, 10);
  make(p, 0, 0, 5, 5);
  SetTimer(p, 1, 10, nullptr);
  hook() = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
    if (msg == WM_DESTROY) qm_user_reset();
    return false;
  };
  DestroyWindow(p);
  EXPECT_EQ(qm_user_window_count(), 0u);
}
