// Window frames: the pixels of a window cover its frame, reached through
// window DCs with their origin at the window's corner while client DCs keep
// theirs at the client area; the image of a window shows the frames of the
// window and its children; the default frame paints and answers hit tests;
// mouse input over a frame arrives as non-client messages.
#include "tests/platform_user/user_fixture.h"

#include <algorithm>
#include <map>

namespace {

// Frame insets that the test's WM_NCCALCSIZE handler carves out.
struct Insets {
  LONG left, top, right, bottom;
};

uint32_t pixel_at(HWND w, int x, int y) {
  int width = 0, height = 0;
  const uint32_t* p = qm_user_window_pixels(w, &width, &height);
  if (!p || x < 0 || y < 0 || x >= width || y >= height) return 0xDEADBEEF;
  return p[size_t(y) * size_t(width) + size_t(x)];
}

uint32_t rgb(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

}  // namespace

class WindowFrame : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    hook() = [this](HWND h, UINT msg, WPARAM, LPARAM l, LRESULT*) {
      if (msg == WM_NCCALCSIZE) {
        auto it = frames_.find(h);
        const Insets in = it != frames_.end() ? it->second : next_;
        RECT* r = reinterpret_cast<RECT*>(l);
        r->left += in.left, r->top += in.top, r->right -= in.right, r->bottom -= in.bottom;
        return true;
      }
      return false;
    };
  }

  HWND make_framed(HWND parent, int x, int y, int w, int h, Insets in, DWORD style = WS_VISIBLE) {
    next_ = in;
    HWND hwnd = make(parent, x, y, w, h, style);
    frames_[hwnd] = in;
    next_ = {0, 0, 0, 0};
    return hwnd;
  }

  std::map<HWND, Insets> frames_;
  Insets next_ = {0, 0, 0, 0};
};

TEST_F(WindowFrame, WindowDcsStartAtTheWindowCornerClientDcsAtTheClientArea) {
  HWND w = make_framed(nullptr, 100, 50, 40, 30, {3, 10, 2, 4});
  HDC whole = GetWindowDC(w);
  HDC client = GetDC(w);
  ASSERT_NE(whole, nullptr);
  ASSERT_NE(client, nullptr);
  int width = 0, height = 0;
  ASSERT_NE(qm_user_window_pixels(w, &width, &height), nullptr);
  EXPECT_EQ(width, 40);
  EXPECT_EQ(height, 30);
  SetPixel(whole, 0, 0, RGB(1, 2, 3));
  SetPixel(client, 0, 0, RGB(4, 5, 6));
  SetPixel(client, 34, 15, RGB(7, 8, 9));  // the client's last pixel
  EXPECT_EQ(pixel_at(w, 0, 0), 0x010203u);
  EXPECT_EQ(pixel_at(w, 3, 10), 0x040506u);
  EXPECT_EQ(pixel_at(w, 37, 25), 0x070809u);
  // A client DC ends where the client area does: the frame stays untouched.
  RECT beyond = {0, 0, 60, 60};
  FillRect(client, &beyond, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(pixel_at(w, 0, 0), 0x010203u);
  EXPECT_EQ(pixel_at(w, 2, 10), 0u);
  EXPECT_EQ(pixel_at(w, 38, 26), 0u);
  EXPECT_EQ(pixel_at(w, 3, 10), 0xFFFFFFu);
  EXPECT_EQ(GetDeviceCaps(whole, HORZRES), GetDeviceCaps(client, HORZRES));
  EXPECT_EQ(ReleaseDC(w, whole), 1);
  EXPECT_EQ(ReleaseDC(w, client), 1);
  EXPECT_EQ(ReleaseDC(w, client), 0);  // given back once
}

TEST_F(WindowFrame, TheClientKeepsItsPixelsWhenTheFrameChanges) {
  HWND w = make_framed(nullptr, 0, 0, 40, 30, {2, 2, 2, 2});
  HDC client = GetDC(w);
  HDC whole = GetWindowDC(w);
  SetPixel(client, 5, 5, RGB(9, 9, 9));
  SetPixel(whole, 0, 0, RGB(1, 1, 1));
  frames_[w] = {6, 12, 2, 2};
  SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  EXPECT_EQ(pixel_at(w, 11, 17), 0x090909u);  // moved with the client area
  EXPECT_EQ(pixel_at(w, 0, 0), 0x010101u);    // the frame keeps the window's corner
  // Both DCs follow: the client DC at the new client origin.
  SetPixel(client, 0, 0, RGB(2, 2, 2));
  EXPECT_EQ(pixel_at(w, 6, 12), 0x020202u);
  SetPixel(whole, 39, 29, RGB(3, 3, 3));
  EXPECT_EQ(pixel_at(w, 39, 29), 0x030303u);
  ReleaseDC(w, client);
  ReleaseDC(w, whole);
}

TEST_F(WindowFrame, TheImageShowsFramesAndClipsChildrenToTheirParentsClientArea) {
  HWND top = make_framed(nullptr, 100, 100, 50, 40, {4, 8, 4, 4});
  // A framed child at (2, 3) in the top window's client area, and one that
  // runs past the client area's right edge.
  HWND child = make_framed(top, 2, 3, 20, 10, {1, 1, 1, 1});
  HWND wide = make_framed(top, 30, 20, 40, 5, {0, 0, 0, 0});
  auto fill = [](HWND h, bool frame, COLORREF c) {
    HDC dc = frame ? GetWindowDC(h) : GetDC(h);
    HBRUSH b = CreateSolidBrush(c);
    RECT all = {0, 0, 100, 100};
    FillRect(dc, &all, b);
    DeleteObject(b);
    ReleaseDC(h, dc);
  };
  fill(top, true, RGB(255, 0, 0));
  fill(top, false, RGB(0, 255, 0));
  fill(child, true, RGB(0, 0, 255));
  fill(child, false, RGB(255, 255, 0));
  fill(wide, false, RGB(0, 255, 255));
  std::vector<uint32_t> image;
  int w = 0, h = 0;
  ASSERT_TRUE(qm_user_window_image(top, &image, &w, &h));
  ASSERT_EQ(w, 50);
  ASSERT_EQ(h, 40);
  auto at = [&](int x, int y) { return image[size_t(y) * size_t(w) + size_t(x)]; };
  struct Case {
    int x, y;
    uint32_t want;
    const char* what;
  } cases[] = {
      {0, 0, 0xFF0000, "the top window's frame"},
      {4, 8, 0x00FF00, "its client area"},
      {6, 11, 0x0000FF, "the child's frame at its window corner"},
      {7, 12, 0xFFFF00, "the child's client area"},
      {25, 20, 0x0000FF, "the child's far frame corner"},
      {34, 28, 0x00FFFF, "the wide child inside the client area"},
      {45, 28, 0x00FFFF, "the wide child at the client's last column"},
      {46, 28, 0xFF0000, "the wide child cut off at the top window's frame"},
  };
  for (const Case& c : cases) EXPECT_EQ(at(c.x, c.y), c.want) << c.what;
}

TEST_F(WindowFrame, TheDefaultFramePaintsFaceEdgesAndACaptionThatShowsFocus) {
  HWND w = make_framed(nullptr, 0, 0, 60, 40, {4, 19, 4, 4}, WS_CAPTION | WS_THICKFRAME);
  SetWindowTextA(w, "");
  ShowWindow(w, SW_SHOW);
  UpdateWindow(w);
  const std::vector<UINT> got = messages_of(w);
  EXPECT_NE(std::find(got.begin(), got.end(), static_cast<UINT>(WM_NCPAINT)), got.end()) << "a shown frame is painted";
  EXPECT_EQ(pixel_at(w, 2, 30), rgb(GetSysColor(COLOR_BTNFACE))) << "inside the 2-pixel edge";
  EXPECT_EQ(pixel_at(w, 1, 30), rgb(GetSysColor(COLOR_BTNHIGHLIGHT))) << "the raised edge, lit at the left";
  EXPECT_EQ(pixel_at(w, 59, 30), rgb(GetSysColor(COLOR_3DDKSHADOW))) << "and dark at the right";
  EXPECT_EQ(pixel_at(w, 30, 10), rgb(GetSysColor(COLOR_INACTIVECAPTION)));
  SetFocus(w);
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_EQ(pixel_at(w, 30, 10), rgb(GetSysColor(COLOR_ACTIVECAPTION)));
}

TEST_F(WindowFrame, TheDefaultHitTestTellsClientCaptionBordersAndCorners) {
  // Sizing frame 4, caption 15, window at (100, 200) 80 x 60.
  HWND w = make_framed(nullptr, 100, 200, 80, 60, {4, 19, 4, 4}, WS_VISIBLE | WS_CAPTION | WS_THICKFRAME);
  HWND thin = make_framed(nullptr, 300, 200, 40, 40, {1, 1, 1, 1}, WS_VISIBLE | WS_BORDER);
  struct Case {
    HWND hwnd;
    int x, y;  // window coordinates
    LRESULT want;
  } cases[] = {
      {w, 40, 30, HTCLIENT},  {w, 40, 10, HTCAPTION},   {w, 1, 30, HTLEFT},         {w, 78, 30, HTRIGHT},
      {w, 40, 1, HTTOP},      {w, 40, 58, HTBOTTOM},    {w, 1, 1, HTTOPLEFT},       {w, 2, 15, HTTOPLEFT},
      {w, 78, 1, HTTOPRIGHT}, {w, 1, 58, HTBOTTOMLEFT}, {w, 78, 58, HTBOTTOMRIGHT}, {w, 80, 30, HTNOWHERE},
      {w, -1, 30, HTNOWHERE}, {thin, 0, 20, HTBORDER},  {thin, 20, 20, HTCLIENT},
  };
  for (const Case& c : cases) {
    RECT r;
    GetWindowRect(c.hwnd, &r);
    LPARAM at = MAKELPARAM(static_cast<WORD>(r.left + c.x), static_cast<WORD>(r.top + c.y));
    EXPECT_EQ(SendMessageA(c.hwnd, WM_NCHITTEST, 0, at), c.want) << c.x << "," << c.y;
  }
}

TEST_F(WindowFrame, MouseInputOverTheFrameArrivesAsNonClientMessages) {
  HWND w = make_framed(nullptr, 100, 200, 80, 60, {4, 19, 4, 4}, WS_VISIBLE | WS_CAPTION | WS_THICKFRAME);
  pump();
  seen().clear();
  // Client coordinates: (-2, 20) lies on the left sizing border.
  ASSERT_TRUE(qm_user_mouse(w, WM_LBUTTONDOWN, -2, 20));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZEWE));
  std::vector<MSG> got = pump();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_NCLBUTTONDOWN));
  EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(HTLEFT));
  EXPECT_EQ(static_cast<SHORT>(LOWORD(got[0].lParam)), 102);  // screen point
  EXPECT_EQ(static_cast<SHORT>(HIWORD(got[0].lParam)), 239);
  ASSERT_TRUE(qm_user_mouse(w, WM_MOUSEMOVE, 30, -5));  // the caption
  got = pump();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_NCMOUSEMOVE));
  EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(HTCAPTION));
  // Inside the client area, and anywhere under a capture, input stays client input.
  ASSERT_TRUE(qm_user_mouse(w, WM_MOUSEMOVE, 10, 10));
  SetCapture(w);
  ASSERT_TRUE(qm_user_mouse(w, WM_LBUTTONUP, -2, 20));
  got = pump();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(got[1].message, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_EQ(static_cast<SHORT>(LOWORD(got[1].lParam)), -2);
  ReleaseCapture();
}
