// Deferred placement, redrawing, cursor confinement and the class cursor.
#include <algorithm>

#include "user_fixture.h"

namespace {

class WindowExtras : public UserTest {};

RECT rect_of(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return r;
}

TEST_F(WindowExtras, DeferredMovesWaitForTheEndAndRunInOrder) {
  HWND parent = make(nullptr, 0, 0, 300, 200);
  HWND a = make(parent, 0, 0, 10, 10, WS_VISIBLE, 1);
  HWND b = make(parent, 0, 0, 10, 10, WS_VISIBLE, 2);
  seen().clear();
  HDWP dwp = BeginDeferWindowPos(2);
  ASSERT_NE(dwp, nullptr);
  dwp = DeferWindowPos(dwp, b, nullptr, 50, 60, 70, 80, SWP_NOZORDER);
  dwp = DeferWindowPos(dwp, a, nullptr, 1, 2, 30, 40, SWP_NOZORDER);
  dwp = DeferWindowPos(dwp, b, nullptr, 5, 6, 7, 8, SWP_NOZORDER);  // replaces the first move of b
  ASSERT_NE(dwp, nullptr);
  EXPECT_TRUE(seen().empty()) << "nothing moves before the end";
  EXPECT_EQ(rect_of(a).right - rect_of(a).left, 10);
  ASSERT_TRUE(EndDeferWindowPos(dwp));
  RECT ra, rb, pr;
  GetWindowRect(parent, &pr);
  ra = rect_of(a);
  rb = rect_of(b);
  EXPECT_EQ(ra.left - pr.left, 1);
  EXPECT_EQ(ra.bottom - ra.top, 40);
  EXPECT_EQ(rb.left - pr.left, 5);
  EXPECT_EQ(rb.right - rb.left, 7);
  // b was deferred first, so it is moved first.
  std::vector<HWND> sized;
  for (const Seen& s : seen())
    if (s.msg == WM_SIZE) sized.push_back(s.hwnd);
  ASSERT_EQ(sized.size(), 2u);
  EXPECT_EQ(sized[0], b);
  EXPECT_EQ(sized[1], a);
  EXPECT_FALSE(EndDeferWindowPos(dwp)) << "a set ends once";
}

TEST_F(WindowExtras, ABadWindowEndsTheSetAndAWindowDestroyedMeanwhileIsPassedOver) {
  HWND a = make(nullptr, 0, 0, 10, 10);
  HWND gone = make(nullptr, 0, 0, 10, 10);
  HDWP dwp = BeginDeferWindowPos(1);
  dwp = DeferWindowPos(dwp, a, nullptr, 40, 40, 20, 20, 0);
  EXPECT_EQ(DeferWindowPos(dwp, reinterpret_cast<HWND>(0x1234), nullptr, 0, 0, 1, 1, 0), nullptr);
  EXPECT_FALSE(EndDeferWindowPos(dwp));
  EXPECT_EQ(rect_of(a).left, 0) << "nothing of an abandoned set is done";

  dwp = BeginDeferWindowPos(2);
  dwp = DeferWindowPos(dwp, gone, nullptr, 9, 9, 9, 9, 0);
  dwp = DeferWindowPos(dwp, a, nullptr, 40, 40, 20, 20, 0);
  DestroyWindow(gone);
  EXPECT_TRUE(EndDeferWindowPos(dwp));
  EXPECT_EQ(rect_of(a).left, 40);
  EXPECT_EQ(BeginDeferWindowPos(-1), nullptr);
  EXPECT_EQ(DeferWindowPos(nullptr, a, nullptr, 0, 0, 1, 1, 0), nullptr);
}

TEST_F(WindowExtras, RedrawInvalidatesOrValidatesAndReachesChildrenAsAsked) {
  HWND parent = make(nullptr, 0, 0, 100, 100);
  HWND child = make(parent, 10, 20, 50, 50);
  pump();
  ValidateRect(parent, nullptr);
  ValidateRect(child, nullptr);
  const RECT r = {15, 25, 40, 45};
  ASSERT_TRUE(RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE));
  RECT u;
  ASSERT_TRUE(GetUpdateRect(parent, &u, FALSE));
  EXPECT_EQ(u.left, 15);
  EXPECT_EQ(u.bottom, 45);
  ASSERT_TRUE(GetUpdateRect(child, &u, FALSE)) << "children of a parent that does not clip them take part";
  EXPECT_EQ(u.left, 5);
  EXPECT_EQ(u.top, 5);
  EXPECT_EQ(u.right, 30);
  EXPECT_EQ(u.bottom, 25);
  ASSERT_TRUE(RedrawWindow(parent, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN));
  EXPECT_FALSE(GetUpdateRect(parent, &u, FALSE));
  EXPECT_TRUE(GetUpdateRect(child, &u, FALSE));
  ValidateRect(child, nullptr);

  SetWindowLongA(parent, GWL_STYLE, static_cast<LONG>(GetWindowLongA(parent, GWL_STYLE) | WS_CLIPCHILDREN));
  ASSERT_TRUE(RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE));
  EXPECT_FALSE(GetUpdateRect(child, &u, FALSE)) << "a clipping parent keeps its children out";
  ASSERT_TRUE(RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN));
  EXPECT_TRUE(GetUpdateRect(child, &u, FALSE));
  pump();
  EXPECT_FALSE(RedrawWindow(parent, nullptr, reinterpret_cast<HRGN>(1), RDW_INVALIDATE));
  EXPECT_FALSE(RedrawWindow(reinterpret_cast<HWND>(0x1234), nullptr, nullptr, RDW_INVALIDATE));
}

TEST_F(WindowExtras, UpdateNowPaintsAtOnceWithTheFrameFirst) {
  HWND w = make(nullptr, 0, 0, 100, 100);
  pump();
  seen().clear();
  ASSERT_TRUE(RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW));
  const std::vector<UINT> got = messages_of(w);
  const std::vector<UINT> want = {WM_PAINT, WM_NCPAINT, WM_ERASEBKGND};
  EXPECT_EQ(got, want) << "the paint handler's BeginPaint paints the frame, then erases";
  EXPECT_TRUE(pump().empty()) << "nothing is left to paint";

  seen().clear();
  ASSERT_TRUE(RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ERASENOW));
  const std::vector<UINT> erased = {WM_NCPAINT, WM_ERASEBKGND};
  EXPECT_EQ(messages_of(w), erased) << "erase-now leaves the client paint for later";
  seen().clear();
  const std::vector<MSG> later = pump();
  ASSERT_EQ(later.size(), 1u);
  EXPECT_EQ(later[0].message, static_cast<UINT>(WM_PAINT));
  const std::vector<UINT> paint_only = {WM_PAINT};
  EXPECT_EQ(messages_of(w), paint_only);
}

TEST_F(WindowExtras, AFrameOwedToAWindowThatOnlyValidatesIsNotAskedForever) {
  HWND w = make(nullptr, 0, 0, 50, 50);
  pump();
  hook() = [](HWND h, UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_PAINT) return false;
    ValidateRect(h, nullptr);
    *result = 0;
    return true;
  };
  ASSERT_TRUE(RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME));
  EXPECT_EQ(pump().size(), 1u);
}

TEST_F(WindowExtras, TheCursorStaysInsideTheClipRectangle) {
  HWND w = make(nullptr, 100, 100, 200, 200);
  pump();
  const RECT clip = {120, 130, 160, 170};
  ASSERT_TRUE(ClipCursor(&clip));
  RECT got;
  ASSERT_TRUE(GetClipCursor(&got));
  EXPECT_EQ(got.left, 120);
  EXPECT_EQ(got.bottom, 170);
  POINT p;
  SetCursorPos(500, 0);
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 159);
  EXPECT_EQ(p.y, 130);
  // Injected input cannot leave the rectangle either.
  ASSERT_TRUE(qm_user_mouse(w, WM_MOUSEMOVE, 0, 150));
  const std::vector<MSG> taken = pump();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(taken[0].lParam), 20);
  EXPECT_EQ(GET_Y_LPARAM(taken[0].lParam), 69);
  ASSERT_TRUE(ClipCursor(nullptr));
  ASSERT_TRUE(GetClipCursor(&got));
  EXPECT_EQ(got.right, GetSystemMetrics(SM_CXSCREEN));
  SetCursorPos(500, 0);
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 500);
  ClipCursor(&clip);
  qm_user_reset();
  SetCursorPos(500, 0);
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 500) << "a reset frees the cursor";
}

LRESULT plain_proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

TEST_F(WindowExtras, TheClassCursorIsShownWhereNoWindowSetsItsOwn) {
  HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
  HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = plain_proc;
  wc.hCursor = cross;
  wc.lpszClassName = "QmCursorClass";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND a = CreateWindowExA(0, "QmCursorClass", "", WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  HWND b = CreateWindowExA(0, "QmCursorClass", "", WS_VISIBLE, 60, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  SetCursor(nullptr);
  ASSERT_TRUE(qm_user_mouse(a, WM_MOUSEMOVE, 5, 5));
  EXPECT_EQ(GetCursor(), cross);
  EXPECT_EQ(GetClassLongPtrA(a, GCL_HCURSOR), reinterpret_cast<ULONG_PTR>(cross));
  EXPECT_EQ(SetClassLongA(a, GCL_HCURSOR, static_cast<LONG>(reinterpret_cast<LONG_PTR>(wait))),
            static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(cross)));
  ASSERT_TRUE(qm_user_mouse(b, WM_MOUSEMOVE, 5, 5));
  EXPECT_EQ(GetCursor(), wait) << "the cursor belongs to the class, so every window of it";
  EXPECT_EQ(GetClassLongA(a, GCL_STYLE), 0u);
  EXPECT_EQ(GetClassLongA(a, 12345), 0u);
  EXPECT_EQ(GetClassLongA(nullptr, GCL_HCURSOR), 0u);
  // While a window has the capture, it is not asked.
  SetCursor(nullptr);
  SetCapture(a);
  ASSERT_TRUE(qm_user_mouse(b, WM_MOUSEMOVE, 5, 5));
  EXPECT_EQ(GetCursor(), nullptr);
  ReleaseCapture();
  pump();
  UnregisterClassA("QmCursorClass", nullptr);
}

TEST_F(WindowExtras, AWindowOrItsParentThatSetsTheCursorWins) {
  HCURSOR own = LoadCursorA(nullptr, IDC_HAND);
  HWND parent = make(nullptr, 0, 0, 100, 100);
  HWND child = make(parent, 10, 10, 50, 50);
  ASSERT_EQ(GetClassLongPtrA(child, GCL_HCURSOR), 0u) << "the test class has no cursor";
  std::vector<LPARAM> asked;
  hook() = [&](HWND h, UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
    if (msg != WM_SETCURSOR || h != parent) return false;
    asked.push_back(lp);
    SetCursor(own);
    *result = TRUE;
    return true;
  };
  SetCursor(nullptr);
  ASSERT_TRUE(qm_user_mouse(child, WM_LBUTTONDOWN, 5, 5));
  EXPECT_EQ(GetCursor(), own);
  ASSERT_EQ(asked.size(), 1u) << "the child passes the question to its parent";
  EXPECT_EQ(LOWORD(asked[0]), HTCLIENT);
  EXPECT_EQ(HIWORD(asked[0]), WM_LBUTTONDOWN) << "with the mouse message that asks";
  const std::vector<UINT> child_msgs = messages_of(child);
  EXPECT_EQ(std::count(child_msgs.begin(), child_msgs.end(), static_cast<UINT>(WM_SETCURSOR)), 1);
  pump();
  qm_user_mouse(child, WM_LBUTTONUP, 5, 5);
  pump();
}

}  // namespace
