// Window device contexts: drawing reaches the window's pixels, which follow
// the client area; painting erases with the class brush; DCs never leak.
#include "tests/platform_user/user_fixture.h"

namespace {

uint32_t pixel(HWND w, int x, int y) {
  int width, height;
  const uint32_t* p = qm_user_window_pixels(w, &width, &height);
  if (!p || x < 0 || y < 0 || x >= width || y >= height) return 0xDEADBEEF;
  return p[size_t(y) * width + x];
}

}  // namespace

class WindowDc : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    baseline_ = QmGdiLiveObjectCount();
  }
  void TearDown() override {
    UserTest::TearDown();
    EXPECT_EQ(QmGdiLiveObjectCount(), baseline_);
  }
  int baseline_ = 0;
};

TEST_F(WindowDc, DrawingReachesTheWindowPixels) {
  HWND w = make(nullptr, 100, 100, 40, 30);
  EXPECT_EQ(qm_user_window_pixels(w, nullptr, nullptr), nullptr);
  HDC dc = GetDC(w);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT box = {5, 6, 10, 8};
  FillRect(dc, &box, red);
  SetPixel(dc, 1, 2, RGB(0, 255, 0));
  int width, height;
  ASSERT_NE(qm_user_window_pixels(w, &width, &height), nullptr);
  EXPECT_EQ(width, 40);
  EXPECT_EQ(height, 30);
  EXPECT_EQ(pixel(w, 5, 6), 0xFF0000u);
  EXPECT_EQ(pixel(w, 9, 7), 0xFF0000u);
  EXPECT_EQ(pixel(w, 10, 7), 0u);
  EXPECT_EQ(pixel(w, 1, 2), 0x00FF00u);

  // A memory DC made from the window DC, blitted back onto the window.
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 4, 4);
  HGDIOBJ old = SelectObject(mem, bmp);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT all = {0, 0, 4, 4};
  FillRect(mem, &all, blue);
  EXPECT_TRUE(BitBlt(dc, 20, 20, 4, 4, mem, 0, 0, SRCCOPY));
  EXPECT_EQ(pixel(w, 20, 20), 0x0000FFu);
  EXPECT_EQ(pixel(w, 23, 23), 0x0000FFu);
  EXPECT_EQ(pixel(w, 24, 24), 0u);
  // Only memory DCs take bitmaps.
  EXPECT_EQ(SelectObject(dc, old), nullptr);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  DeleteObject(red);
  DeleteObject(blue);

  EXPECT_EQ(ReleaseDC(w, dc), 1);
  EXPECT_EQ(ReleaseDC(w, dc), 0);
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_EQ(pixel(w, 1, 2), 0x00FF00u);  // the pixels stay with the window
}

TEST_F(WindowDc, TheImageOfAWindowShowsItsVisibleChildrenWhereTheyLie) {
  HWND top = make(nullptr, 50, 40, 30, 20);
  HWND child = make(top, 10, 5, 8, 6);
  HWND hidden = make(top, 0, 0, 4, 4, 0);
  auto fill = [](HWND w, COLORREF c) {
    HDC dc = GetDC(w);
    HBRUSH b = CreateSolidBrush(c);
    RECT all = {0, 0, 100, 100};
    FillRect(dc, &all, b);
    DeleteObject(b);
    ReleaseDC(w, dc);
  };
  std::vector<uint32_t> image;
  int w = 0, h = 0;
  EXPECT_FALSE(qm_user_window_image(top, &image, &w, &h));  // nothing painted yet
  fill(top, RGB(0, 0, 255));
  fill(child, RGB(255, 0, 0));
  fill(hidden, RGB(0, 255, 0));
  ASSERT_TRUE(qm_user_window_image(top, &image, &w, &h));
  ASSERT_EQ(w, 30);
  ASSERT_EQ(h, 20);
  EXPECT_EQ(image[0], 0x0000FFu);                  // the hidden child does not show
  EXPECT_EQ(image[size_t(5) * 30 + 10], 0xFF0000u);  // the child's first pixel
  EXPECT_EQ(image[size_t(10) * 30 + 17], 0xFF0000u);
  EXPECT_EQ(image[size_t(11) * 30 + 17], 0x0000FFu);
  // The child under a point, passing over hidden ones when asked.
  EXPECT_EQ(ChildWindowFromPointEx(top, POINT{12, 7}, CWP_SKIPINVISIBLE), child);
  EXPECT_EQ(ChildWindowFromPointEx(top, POINT{1, 1}, CWP_SKIPINVISIBLE), top);
  EXPECT_EQ(ChildWindowFromPoint(top, POINT{1, 1}), hidden);
  EXPECT_EQ(ChildWindowFromPoint(top, POINT{31, 1}), nullptr);
}

TEST_F(WindowDc, PixelsFollowTheClientArea) {
  HWND w = make(nullptr, 0, 0, 20, 10);
  HDC dc = GetDC(w);
  SetPixel(dc, 19, 9, RGB(1, 2, 3));
  MoveWindow(w, 0, 0, 60, 50, FALSE);
  EXPECT_EQ(pixel(w, 19, 9), 0x010203u);  // kept where both sizes meet
  SetPixel(dc, 59, 49, RGB(4, 5, 6));      // the DC drawing on the new size
  EXPECT_EQ(pixel(w, 59, 49), 0x040506u);
  MoveWindow(w, 0, 0, 0, 0, FALSE);  // no area at all: drawing goes nowhere, safely
  RECT box = {0, 0, 10, 10};
  FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  MoveToEx(dc, -5, -5, nullptr);
  LineTo(dc, 30, 30);
  int width = -1;
  qm_user_window_pixels(w, &width, nullptr);
  EXPECT_EQ(width, 0);
  ReleaseDC(w, dc);
}

TEST_F(WindowDc, DestroyingAWindowFreesItsDcs) {
  HWND p = make(nullptr, 0, 0, 20, 20);
  HWND c = make(p, 0, 0, 5, 5);
  HDC a = GetDC(p);
  HDC b = GetDC(c);
  ASSERT_TRUE(a && b);
  DestroyWindow(p);
  EXPECT_EQ(GetObjectType(a), 0u);
  EXPECT_EQ(GetObjectType(b), 0u);
  EXPECT_EQ(ReleaseDC(p, a), 0);
}

TEST_F(WindowDc, PaintingErasesWithTheClassBrush) {
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  WNDCLASSA wc = {};
  wc.lpfnWndProc = UserTest::proc;
  wc.hbrBackground = brush;
  wc.lpszClassName = "QmBrushWindow";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND w = CreateWindowExA(0, "QmBrushWindow", "", WS_VISIBLE, 0, 0, 8, 6, nullptr, nullptr, nullptr, nullptr);
  pump();
  EXPECT_EQ(pixel(w, 0, 0), 0x0000FFu);
  EXPECT_EQ(pixel(w, 7, 5), 0x0000FFu);
  std::vector<UINT> m = messages_of(w);
  EXPECT_NE(std::find(m.begin(), m.end(), static_cast<UINT>(WM_ERASEBKGND)), m.end());

  // A handler that paints for itself gets the update rectangle.
  RECT got = {};
  hook() = [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT* r) {
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    got = ps.rcPaint;
    SetPixel(dc, 3, 3, RGB(255, 255, 255));
    EndPaint(h, &ps);
    *r = 0;
    return true;
  };
  RECT r = {2, 2, 5, 4};
  InvalidateRect(w, &r, FALSE);
  UpdateWindow(w);
  EXPECT_EQ((std::vector<LONG>{got.left, got.top, got.right, got.bottom}), (std::vector<LONG>{2, 2, 5, 4}));
  EXPECT_EQ(pixel(w, 3, 3), 0xFFFFFFu);
  EXPECT_EQ(pixel(w, 2, 2), 0x0000FFu);  // not erased this time
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassA("QmBrushWindow", nullptr));
  DeleteObject(brush);
}

TEST_F(WindowDc, TheScreenDcFollowsTheVirtualScreen) {
  HDC s = GetDC(nullptr);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(GetDeviceCaps(s, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(s, HORZRES), 1920);
  EXPECT_EQ(SetPixel(s, 1919, 1079, RGB(9, 9, 9)), RGB(9, 9, 9));
  HDC mem = CreateCompatibleDC(s);
  EXPECT_NE(mem, nullptr);
  DeleteDC(mem);
  EXPECT_EQ(ReleaseDC(nullptr, s), 1);
  HDC leaked = GetDC(nullptr);
  EXPECT_NE(leaked, nullptr);  // the reset frees what a test forgot
}
