// The message queue: order, filters, sending, quitting, painting and key
// translation.
#include "tests/platform_user/user_fixture.h"

using Messages = UserTest;

TEST_F(Messages, PostedMessagesComeOutInOrderAndThroughFilters) {
  HWND a = make(nullptr, 0, 0, 10, 10, 0);
  HWND b = make(nullptr, 0, 0, 10, 10, 0);
  EXPECT_TRUE(PostMessageA(a, WM_USER + 1, 11, 12));
  EXPECT_TRUE(PostMessageA(b, WM_USER + 2, 0, 0));
  EXPECT_TRUE(PostMessageA(nullptr, WM_USER + 3, 0, 0));
  EXPECT_TRUE(PostMessageA(a, WM_APP, 0, 0));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x42), WM_USER, 0, 0));

  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_EQ(m.hwnd, a);
  ASSERT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));  // thread messages only
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 3));
  EXPECT_EQ(m.hwnd, nullptr);

  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
  EXPECT_EQ(m.wParam, 11u);
  EXPECT_EQ(m.lParam, 12);
  seen().clear();
  DispatchMessageA(&m);
  EXPECT_EQ(messages_of(a), (std::vector<UINT>{WM_USER + 1}));
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  // An idle queue ends a message loop instead of waiting forever.
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, QuitComesAfterWhatWasPostedBeforeIt) {
  HWND a = make(nullptr, 0, 0, 10, 10, 0);
  PostMessageA(a, WM_USER, 0, 0);
  PostQuitMessage(3);
  MSG m;
  EXPECT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(Messages, SendMessageNestsAndReturnsThroughEveryLevel) {
  HWND a = make(nullptr, 0, 0, 10, 10, 0);
  HWND b = make(nullptr, 0, 0, 10, 10, 0);
  hook() = [&](HWND h, UINT msg, WPARAM wp, LPARAM, LRESULT* r) {
    if (h == a && msg == WM_USER) {
      *r = SendMessageA(b, WM_USER + 1, wp + 1, 0) * 10;
      return true;
    }
    if (h == b && msg == WM_USER + 1) {
      *r = SendMessageA(a, WM_USER + 2, wp + 1, 0) + 1;
      return true;
    }
    if (h == a && msg == WM_USER + 2) {
      *r = static_cast<LRESULT>(wp);
      return true;
    }
    return false;
  };
  seen().clear();
  EXPECT_EQ(SendMessageA(a, WM_USER, 1, 0), (3 + 1) * 10);
  ASSERT_EQ(seen().size(), 3u);
  EXPECT_EQ(seen()[0].hwnd, a);
  EXPECT_EQ(seen()[1].hwnd, b);
  EXPECT_EQ(seen()[2].msg, static_cast<UINT>(WM_USER + 2));
  EXPECT_EQ(SendMessageA(reinterpret_cast<HWND>(0x99), WM_USER, 0, 0), 0);
  EXPECT_EQ(qm_user_queued_message_count(), 0u);  // nothing was queued
}

TEST_F(Messages, PaintingComesAfterPostedMessagesUntilValidated) {
  HWND p = make(nullptr, 0, 0, 100, 100);
  HWND c = make(p, 10, 10, 20, 20);
  pump();  // the paints of showing them
  RECT r1 = {5, 5, 10, 10}, r2 = {50, 60, 500, 500};
  InvalidateRect(c, nullptr, FALSE);
  InvalidateRect(p, &r1, TRUE);
  InvalidateRect(p, &r2, FALSE);
  RECT u;
  ASSERT_TRUE(GetUpdateRect(p, &u, FALSE));
  EXPECT_EQ((std::vector<LONG>{u.left, u.top, u.right, u.bottom}), (std::vector<LONG>{5, 5, 100, 100}));
  PostMessageA(c, WM_USER, 0, 0);

  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  // WM_PAINT stays until the window is validated; parents paint first.
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  EXPECT_EQ(m.hwnd, p);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, p);
  DispatchMessageA(&m);  // the default handler validates
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, c);
  EXPECT_TRUE(ValidateRect(c, nullptr));
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));

  // A hidden window does not paint; UpdateWindow paints at once.
  ShowWindow(c, SW_HIDE);
  InvalidateRect(c, nullptr, TRUE);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  InvalidateRect(p, nullptr, TRUE);
  seen().clear();
  UpdateWindow(p);
  EXPECT_EQ(messages_of(p), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));  // the default painting erases
  EXPECT_FALSE(GetUpdateRect(p, &u, FALSE));
}

TEST_F(Messages, KeyDownsTranslateToCharactersAheadOfTheQueue) {
  HWND w = make(nullptr, 0, 0, 10, 10, 0);
  struct Case {
    UINT vk;
    bool shift;
    WPARAM want;  // 0: no character
  } cases[] = {{'A', false, 'a'}, {'A', true, 'A'},          {'7', true, '&'},         {VK_OEM_PERIOD, false, '.'},
               {VK_DECIMAL, false, '.'}, {VK_RETURN, false, '\r'}, {VK_DELETE, false, 0}, {VK_LEFT, false, 0},
               {VK_SHIFT, true, 0}};
  for (const Case& c : cases) {
    if (c.shift) qm_user_key(w, VK_SHIFT, true);
    qm_user_key(w, c.vk, true);
    PostMessageA(w, WM_USER, 0, 0);
    MSG m;
    if (c.shift) {
      GetMessageA(&m, nullptr, 0, 0);
      TranslateMessage(&m);
    }
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    ASSERT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_TRUE(TranslateMessage(&m));
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    if (c.want) {
      EXPECT_EQ(m.message, static_cast<UINT>(WM_CHAR)) << c.vk;
      EXPECT_EQ(m.wParam, c.want) << c.vk;
      ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    }
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER)) << c.vk;
    qm_user_key(w, c.vk, false);
    if (c.shift) qm_user_key(w, VK_SHIFT, false);
    pump();
  }
}

TEST_F(Messages, AFullQueueRefusesMorePosts) {
  HWND w = make(nullptr, 0, 0, 10, 10, 0);
  int accepted = 0;
  while (accepted < 20000 && PostMessageA(w, WM_USER, 0, 0)) ++accepted;
  EXPECT_EQ(accepted, 10000);
  DestroyWindow(w);  // its messages go with it
  EXPECT_EQ(qm_user_queued_message_count(), 0u);
}

TEST_F(Messages, AnUnhandledWheelReachesTheParent) {
  HWND p = make(nullptr, 0, 0, 100, 100);
  HWND c = make(p, 10, 10, 20, 20);
  pump();
  ASSERT_TRUE(qm_user_wheel(c, -120, 5, 5));
  seen().clear();
  pump();
  ASSERT_EQ(messages_of(p), (std::vector<UINT>{WM_MOUSEWHEEL}));
  const Seen& s = seen().back();
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(s.wparam), -120);
  EXPECT_EQ(GET_X_LPARAM(s.lparam), 15);  // screen point
  EXPECT_EQ(GET_Y_LPARAM(s.lparam), 15);
}
