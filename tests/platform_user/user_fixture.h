// A fixture for the window-system tests: one window class whose procedure
// records every message it receives and lets a test act on chosen ones; the
// window system is reset after each test and must then be empty.
#pragma once

#include <gtest/gtest.h>
#include <qm_user.h>
#include <windows.h>

#include <functional>
#include <vector>

struct Seen {
  HWND hwnd;
  UINT msg;
  WPARAM wparam;
  LPARAM lparam;
};

class UserTest : public ::testing::Test {
 protected:
  // Called for every message; returns true when it handled the message and
  // set *result.
  using Hook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;

  static std::vector<Seen>& seen() {
    static std::vector<Seen> s;
    return s;
  }
  static Hook& hook() {
    static Hook h;
    return h;
  }

  static LRESULT proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    seen().push_back({hwnd, msg, wparam, lparam});
    LRESULT result = 0;
    if (hook() && hook()(hwnd, msg, wparam, lparam, &result)) return result;
    return DefWindowProcA(hwnd, msg, wparam, lparam);
  }

  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = 8;
    wc.lpszClassName = "QmTestWindow";
    RegisterClassA(&wc);  // already there after the first test
    seen().clear();
    hook() = nullptr;
  }

  void TearDown() override {
    hook() = nullptr;
    qm_user_reset();
    EXPECT_EQ(qm_user_window_count(), 0u);
    EXPECT_EQ(qm_user_timer_count(), 0u);
    EXPECT_EQ(qm_user_queued_message_count(), 0u);
  }

  static HWND make(HWND parent, int x, int y, int w, int h, DWORD style = WS_VISIBLE, int id = 0) {
    if (parent) style |= WS_CHILD;
    return CreateWindowExA(0, "QmTestWindow", "", style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  }

  // The messages one window received, in order.
  static std::vector<UINT> messages_of(HWND hwnd) {
    std::vector<UINT> r;
    for (const Seen& s : seen())
      if (s.hwnd == hwnd) r.push_back(s.msg);
    return r;
  }

  // Takes and dispatches everything waiting; returns what was taken.
  static std::vector<MSG> pump() {
    std::vector<MSG> taken;
    MSG m;
    for (int guard = 0; guard < 1000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++guard) {
      if (m.message == WM_QUIT) break;
      taken.push_back(m);
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    return taken;
  }
};
