// Toolbar buttons with their pictures, headless: each state drawn as the
// class library draws it (pixels checked), the press that follows the mouse,
// the hot button that goes when the pointer leaves, a missing strip, and the
// tooltip window that shows by a button the pointer rests on.
#include <afxext.h>
#include <gtest/gtest.h>
#include <qm_user.h>
#include <ximage.h>

#include <functional>
#include <string>

#include "tests/support/test_temp.h"

namespace {

enum : UINT { kBar = 200, kA = 40001, kB = 40002, kC = 40003, kD = 40004 };
constexpr COLORREF kInk = RGB(0, 0, 128);
// Each test picture: an opaque block of ink on a clear ground.
constexpr int kBlockLeft = 2, kBlockTop = 2, kBlockRight = 13, kBlockBottom = 12;

uint32_t rgb_of(COLORREF c) { return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c); }

std::string write_strip(int pictures) {
  CxImage strip;
  strip.Create(static_cast<DWORD>(pictures * CToolBar::kPictureWidth), CToolBar::kPictureHeight);
  for (long y = 0; y < CToolBar::kPictureHeight; ++y)
    for (long x = 0; x < pictures * CToolBar::kPictureWidth; ++x) {
      const long px = x % CToolBar::kPictureWidth;
      const bool ink = px >= kBlockLeft && px <= kBlockRight && y >= kBlockTop && y <= kBlockBottom;
      strip.SetPixelColor(x, y, ink ? kInk : RGB(255, 0, 255));
      strip.AlphaSet(x, y, ink ? 255 : 0);
    }
  const std::string path = qm_test_temp("strip.png");
  EXPECT_TRUE(strip.Save(path.c_str(), CXIMAGE_FORMAT_PNG));
  return path;
}

class ToolbarPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxRegisterToolBar(kBar, {kA, ID_SEPARATOR, kB, kC, kD});
    strip_ = write_strip(4);
    qm_user_register_picture(QmPicture::kBitmap, MAKEINTRESOURCEA(kBar), strip_.c_str());
    ASSERT_TRUE(owner_.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100, nullptr, nullptr));
  }
  void TearDown() override {
    if (bar_.m_hWnd) bar_.DestroyWindow();
    owner_.DestroyWindow();
    AfxDeleteTempObjects();
    qm_user_reset();
    std::remove(strip_.c_str());
  }
  void make_bar(DWORD style = 0) {
    ASSERT_TRUE(bar_.CreateEx(&owner_, 0, WS_CHILD | WS_VISIBLE | CBRS_TOP | style, CRect(), AFX_IDW_TOOLBAR));
    ASSERT_TRUE(bar_.LoadToolBar(kBar));
    bar_.MoveWindow(0, 0, 200, CToolBar::kButtonHeight);
  }
  CRect item(UINT id) const {
    CRect r;
    bar_.GetItemRect(bar_.CommandToIndex(id), &r);
    return r;
  }
  uint32_t pixel(int x, int y) {
    bar_.UpdateWindow();
    int w = 0, h = 0;
    const uint32_t* p = qm_user_window_pixels(bar_.m_hWnd, &w, &h);
    return p && x >= 0 && y >= 0 && x < w && y < h ? p[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF : 0xFF000000;
  }
  void mouse(UINT msg, CPoint p) {
    qm_user_mouse(bar_.m_hWnd, msg, p.x, p.y);
    MSG m;
    while (::PeekMessageA(&m, bar_.m_hWnd, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
  }
  static void wait(DWORD ms) {
    qm_user_advance_clock(ms);
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
  }
  bool command_posted(UINT id) {
    MSG m;
    bool found = false;
    while (::PeekMessageA(&m, owner_.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) found |= LOWORD(m.wParam) == id;
    return found;
  }
  // Where a button's picture lies: its top-left corner.
  static CPoint picture_at(const CRect& r) {
    return CPoint(r.left + (r.Width() - CToolBar::kPictureWidth) / 2,
                  r.top + (r.Height() - CToolBar::kPictureHeight) / 2);
  }

  std::string strip_;
  CWnd owner_;
  CToolBar bar_;
};

TEST_F(ToolbarPictures, EachStateDrawsAsTheClassLibraryDoes) {
  make_bar();
  ASSERT_TRUE(bar_.HasPictures());
  const uint32_t face = rgb_of(::GetSysColor(COLOR_BTNFACE)), light = rgb_of(::GetSysColor(COLOR_BTNHIGHLIGHT)),
                 shadow = rgb_of(::GetSysColor(COLOR_BTNSHADOW)), ink = rgb_of(kInk);
  bar_.SetButtonStyle(bar_.CommandToIndex(kB), TBBS_CHECKBOX | TBBS_CHECKED);
  bar_.SetButtonStyle(bar_.CommandToIndex(kC), TBBS_DISABLED);
  // D is held down under the pointer; A is as it is.
  const CRect d = item(kD);
  mouse(WM_MOUSEMOVE, d.CenterPoint());
  mouse(WM_LBUTTONDOWN, d.CenterPoint());
  ASSERT_EQ(bar_.PressedButton(), bar_.CommandToIndex(kD));

  struct Case {
    UINT id;
    const char* state;
    uint32_t edge_top_left, edge_bottom_right;
    int shift;        // the picture moved down and right
    uint32_t middle;  // the middle of the picture's block
    uint32_t below;   // just right of and below the block
  } cases[] = {
      {kA, "normal", face, face, 0, ink, face},
      {kB, "checked", shadow, light, 1, ink, 0},  // below: on the dither, see below
      {kC, "disabled", face, face, 0, shadow, light},
      {kD, "pressed", shadow, light, 1, ink, face},
  };
  for (const Case& c : cases) {
    const CRect r = item(c.id);
    CPoint at = picture_at(r);
    at.Offset(c.shift, c.shift);
    EXPECT_EQ(pixel(r.left, r.top), c.edge_top_left) << c.state;
    EXPECT_EQ(pixel(r.right - 1, r.bottom - 1), c.edge_bottom_right) << c.state;
    EXPECT_EQ(pixel(at.x + 7, at.y + 7), c.middle) << c.state;
    // The block starts where the shift puts it, not a pixel before.
    EXPECT_EQ(pixel(at.x + kBlockLeft, at.y + kBlockTop), c.middle == ink ? ink : shadow) << c.state;
    EXPECT_NE(pixel(at.x + kBlockLeft - 1, at.y + kBlockTop - 1), c.middle) << c.state;
    if (c.below) {
      EXPECT_EQ(pixel(at.x + kBlockRight + 1, at.y + kBlockBottom + 1), c.below) << c.state;
    }
  }
  // The checked face is dithered: neighbours alternate highlight and face.
  const CRect b = item(kB);
  const uint32_t p1 = pixel(b.left + 1, b.top + 1), p2 = pixel(b.left + 2, b.top + 1);
  EXPECT_NE(p1, p2);
  EXPECT_TRUE((p1 == light && p2 == face) || (p1 == face && p2 == light));
  // A disabled button shows no ink at all: only the emboss.
  const CRect c = item(kC);
  for (int y = c.top; y < c.bottom; ++y)
    for (int x = c.left; x < c.right; ++x) ASSERT_NE(pixel(x, y), ink) << x << "," << y;
  // Under the pointer (not held) a button is raised.
  mouse(WM_LBUTTONUP, d.CenterPoint());
  EXPECT_TRUE(command_posted(kD));
  const CRect a = item(kA);
  mouse(WM_MOUSEMOVE, a.CenterPoint());
  EXPECT_EQ(pixel(a.left, a.top), light);
  EXPECT_EQ(pixel(a.right - 1, a.bottom - 1), shadow);
}

TEST_F(ToolbarPictures, APressFollowsThePointerAndEndsWithoutACommandElsewhere) {
  make_bar();
  const CRect a = item(kA), d = item(kD);
  // Pressed on A, released on D: nothing is sent, and the press is over.
  mouse(WM_LBUTTONDOWN, a.CenterPoint());
  EXPECT_EQ(::GetCapture(), bar_.m_hWnd);
  mouse(WM_MOUSEMOVE, d.CenterPoint());
  EXPECT_EQ(bar_.HotButton(), -1) << "only the held button lights up";
  mouse(WM_LBUTTONUP, d.CenterPoint());
  EXPECT_FALSE(command_posted(kA));
  EXPECT_FALSE(command_posted(kD));
  EXPECT_EQ(bar_.PressedButton(), -1);
  EXPECT_EQ(::GetCapture(), nullptr);
  // A press whose capture is taken away ends cleanly, sending nothing.
  mouse(WM_LBUTTONDOWN, a.CenterPoint());
  ::SetCapture(owner_.m_hWnd);
  EXPECT_EQ(bar_.PressedButton(), -1);
  ::ReleaseCapture();
  mouse(WM_LBUTTONUP, CPoint(d.right + 300, d.top));
  EXPECT_FALSE(command_posted(kA));
  // A disabled button takes no press.
  bar_.SetButtonStyle(bar_.CommandToIndex(kA), TBBS_DISABLED);
  mouse(WM_LBUTTONDOWN, a.CenterPoint());
  EXPECT_EQ(bar_.PressedButton(), -1);
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(ToolbarPictures, TheHotButtonGoesWhenThePointerLeavesTheBar) {
  make_bar();
  const CRect a = item(kA);
  const struct {
    const char* how;
    std::function<void()> leave;
  } leavings[] = {
      {"onto another window", [&] { qm_user_mouse(owner_.m_hWnd, WM_MOUSEMOVE, 250, 80); }},
      {"off the display's window", [] { qm_user_pointer_left(); }},
  };
  for (const auto& l : leavings) {
    mouse(WM_MOUSEMOVE, a.CenterPoint());
    EXPECT_EQ(bar_.HotButton(), bar_.CommandToIndex(kA)) << l.how;
    l.leave();
    wait(0);
    EXPECT_EQ(bar_.HotButton(), -1) << l.how;
    const uint32_t face = rgb_of(::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(a.left, a.top), face) << l.how << ": no raised edge is left";
  }
}

TEST_F(ToolbarPictures, AStripThatDoesNotLoadLeavesPlainMarks) {
  for (const char* file : {"/nonexistent/strip.png", "", "short"}) {
    std::string path = file;
    if (path == "short") path = write_strip(2);  // fewer pictures than buttons
    if (!path.empty()) qm_user_register_picture(QmPicture::kBitmap, MAKEINTRESOURCEA(kBar), path.c_str());
    make_bar();
    EXPECT_FALSE(bar_.HasPictures()) << file;
    const CRect r = item(kA);
    EXPECT_EQ(pixel(r.left + r.Width() / 2, r.top + r.Height() / 2), 0u) << file;  // the black mark
    bar_.DestroyWindow();
    qm_user_register_picture(QmPicture::kBitmap, MAKEINTRESOURCEA(kBar), "/nonexistent/none.png");
  }
}

TEST_F(ToolbarPictures, ATooltipShowsWhereThePointerRestsAndGoesAsTheSystemsDoes) {
  AfxRegisterString(kA, "Draws a line\nLine");
  AfxRegisterString(kB, "Draws a circle\nCircle");
  make_bar(CBRS_TOOLTIPS);
  const CRect a = item(kA), b = item(kB);
  mouse(WM_MOUSEMOVE, a.CenterPoint());
  HWND tip = bar_.TooltipWindow();
  ASSERT_TRUE(tip);
  // Owned by the bar's top-level window, as every top-level window is.
  HWND top = bar_.m_hWnd;
  while (::GetWindowLongA(top, GWL_STYLE) & WS_CHILD) top = ::GetParent(top);
  EXPECT_EQ(::GetWindow(tip, GW_OWNER), top);
  EXPECT_FALSE(::IsWindowVisible(tip)) << "not before the delay";
  wait(::GetDoubleClickTime() - 1);
  EXPECT_FALSE(::IsWindowVisible(tip));
  wait(1);
  ASSERT_TRUE(::IsWindowVisible(tip));
  char text[64] = "";
  ::GetWindowTextA(tip, text, sizeof text);
  EXPECT_STREQ(text, "Line");
  // Below the pointer, in the info colours, the text inside.
  CRect at, button = a;
  ::GetWindowRect(tip, &at);
  bar_.ClientToScreen(&button);
  EXPECT_GT(at.top, button.CenterPoint().y);
  EXPECT_LT(at.top - button.CenterPoint().y, 40);
  int w = 0, h = 0;
  const uint32_t* px = qm_user_window_pixels(tip, &w, &h);
  ASSERT_TRUE(px);
  EXPECT_EQ(px[size_t(h / 2) * size_t(w) + 2] & 0xFFFFFF, rgb_of(::GetSysColor(COLOR_INFOBK)));
  ASSERT_NE(::GetSysColor(COLOR_INFOBK), ::GetSysColor(COLOR_INFOTEXT));
  int ink = 0;
  for (int i = 0; i < w * h; ++i) ink += (px[i] & 0xFFFFFF) == rgb_of(::GetSysColor(COLOR_INFOTEXT));
  EXPECT_GT(ink, 10) << "the text is drawn";

  struct Ending {
    const char* what;
    std::function<void()> act;
  } endings[] = {
      {"a click", [&] { mouse(WM_LBUTTONDOWN, a.CenterPoint()), mouse(WM_LBUTTONUP, a.CenterPoint()); }},
      {"a key", [&] { qm_user_key(owner_.m_hWnd, VK_ESCAPE, true), wait(0); }},
      {"leaving the bar", [&] { ::SetCursorPos(250, 90), wait(100); }},
      {"another button", [&] { mouse(WM_MOUSEMOVE, b.CenterPoint()); }},
  };
  for (const Ending& e : endings) {
    mouse(WM_MOUSEMOVE, CPoint(a.right + 200, a.top));  // off every button
    mouse(WM_MOUSEMOVE, a.CenterPoint());
    wait(::GetDoubleClickTime());
    ASSERT_TRUE(::IsWindowVisible(tip)) << e.what;
    e.act();
    EXPECT_FALSE(::IsWindowVisible(tip)) << e.what;
    wait(::GetDoubleClickTime());
    if (std::string(e.what) == "another button") {
      ::GetWindowTextA(tip, text, sizeof text);
      EXPECT_STREQ(text, "Circle") << "the next button's tip follows after the delay";
    } else {
      EXPECT_FALSE(::IsWindowVisible(tip)) << e.what << ": not again until the pointer comes back";
    }
    qm_user_key(owner_.m_hWnd, VK_ESCAPE, false);
  }
  // The tip goes with its bar.
  bar_.DestroyWindow();
  EXPECT_FALSE(::IsWindow(tip));
}

}  // namespace
