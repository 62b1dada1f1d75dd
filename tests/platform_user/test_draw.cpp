// Text in a rectangle, 3-D edges, the system colours, metrics and settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

// A screen-depth memory DC over a white bitmap, with a 20-pixel Arial.
class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    live = QmGdiLiveObjectCount();
    dc = make_dc(&bitmap, &old_bitmap);
    font = CreateFontA(20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    old_font = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
  }
  void TearDown() override {
    SelectObject(dc, old_font);
    DeleteObject(font);
    free_dc(dc, bitmap, old_bitmap);
    EXPECT_EQ(QmGdiLiveObjectCount(), live) << "no GDI object is left behind";
  }
  static HDC make_dc(HBITMAP* bitmap, HGDIOBJ* old) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    *bitmap = CreateCompatibleBitmap(screen, kW, kH);
    ReleaseDC(nullptr, screen);
    *old = SelectObject(dc, *bitmap);
    RECT all = {0, 0, kW, kH};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return dc;
  }
  static void free_dc(HDC dc, HBITMAP bitmap, HGDIOBJ old) {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  std::vector<COLORREF> pixels(HDC from) const {
    std::vector<COLORREF> p;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) p.push_back(GetPixel(from, x, y));
    return p;
  }
  // What TextOutA draws at (x, y) on a fresh white DC with the same font.
  std::vector<COLORREF> text_out_at(int x, int y, const std::string& text) {
    HBITMAP b;
    HGDIOBJ o;
    HDC other = make_dc(&b, &o);
    HGDIOBJ f = SelectObject(other, font);
    SetBkMode(other, TRANSPARENT);
    TextOutA(other, x, y, text.c_str(), static_cast<int>(text.size()));
    std::vector<COLORREF> p = pixels(other);
    SelectObject(other, f);
    free_dc(other, b, o);
    return p;
  }
  SIZE extent(const std::string& text) const {
    SIZE s = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
    return s;
  }
  static constexpr int kW = 200, kH = 80;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old_bitmap = nullptr, old_font = nullptr;
  HFONT font = nullptr;
  int live = 0;
};

TEST_F(DrawTest, SingleLineIsPlacedInTheRectangleAsTheFormatSays) {
  const RECT box = {20, 10, 180, 70};
  const std::string text = "Label";
  const SIZE s = extent(text);
  struct Case {
    UINT format;
    LONG x, y;
  } cases[] = {
      {DT_LEFT | DT_SINGLELINE, box.left, box.top},
      {DT_CENTER | DT_SINGLELINE, box.left + (160 - s.cx) / 2, box.top},
      {DT_RIGHT | DT_SINGLELINE, box.right - s.cx, box.top},
      {DT_LEFT | DT_SINGLELINE | DT_VCENTER, box.left, box.top + (60 - s.cy) / 2},
      {DT_CENTER | DT_SINGLELINE | DT_VCENTER, box.left + (160 - s.cx) / 2, box.top + (60 - s.cy) / 2},
      {DT_RIGHT | DT_SINGLELINE | DT_BOTTOM, box.right - s.cx, box.bottom - s.cy},
  };
  SetTextAlign(dc, TA_RIGHT | TA_BASELINE);  // DrawText places text itself
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    RECT all = {0, 0, kW, kH};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT r = box;
    const int height = DrawTextA(dc, text.c_str(), -1, &r, c.format);
    EXPECT_EQ(pixels(dc), text_out_at(c.x, c.y, text));
    EXPECT_EQ(height, (c.format & (DT_VCENTER | DT_BOTTOM)) ? c.y + s.cy - box.top : s.cy);
    EXPECT_EQ(r.right, box.right) << "only DT_CALCRECT changes the rectangle";
  }
  EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_RIGHT | TA_BASELINE)) << "the DC's alignment is given back";
}

TEST_F(DrawTest, CalcRectMeasuresEveryLineAndDrawsNothing) {
  RECT r = {10, 5, 11, 6};
  const int height = DrawTextA(dc, "ab\r\nlonger line\nc", -1, &r, DT_CALCRECT);
  const SIZE line = extent("longer line");
  EXPECT_EQ(height, 3 * line.cy);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 5);
  EXPECT_EQ(r.right, 10 + line.cx);
  EXPECT_EQ(r.bottom, 5 + 3 * line.cy);
  RECT one = {0, 0, 0, 0};
  EXPECT_EQ(DrawTextA(dc, "a\nb", 3, &one, DT_CALCRECT | DT_SINGLELINE), line.cy);
  for (COLORREF p : pixels(dc)) ASSERT_EQ(p, kWhite);
}

TEST_F(DrawTest, TextIsClippedToTheRectangleUnlessNoClip) {
  const std::string wide = "WWWWWWWWWWWW";
  RECT r = {10, 10, 50, 40};
  DrawTextA(dc, wide.c_str(), -1, &r, DT_SINGLELINE);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (GetPixel(dc, x, y) != kWhite) {
        ASSERT_TRUE(x >= 10 && x < 50 && y >= 10 && y < 40) << x << "," << y;
      }
  RECT all = {0, 0, kW, kH};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawTextA(dc, wide.c_str(), -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(pixels(dc), text_out_at(10, 10, wide));
}

TEST_F(DrawTest, EndEllipsisShowsTheLongestStartThatFitsWithThreeDots) {
  const std::string text = "Properties of the drawing";
  RECT r = {0, 0, 90, 30};
  const std::string before = text;
  DrawTextA(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(text, before);
  std::string expected;
  for (size_t n = 1; n <= text.size(); ++n) {
    const std::string candidate = text.substr(0, n) + "...";
    if (extent(candidate).cx > 90) break;
    expected = candidate;
  }
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(pixels(dc), text_out_at(0, 0, expected)) << expected;

  // A text that fits is drawn whole.
  RECT all = {0, 0, kW, kH};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT wide = {0, 0, kW, 30};
  DrawTextA(dc, "Short", -1, &wide, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(pixels(dc), text_out_at(0, 0, "Short"));
}

TEST_F(DrawTest, BadArgumentsDrawNothingAndAnswerZero) {
  RECT r = {0, 0, 50, 20};
  EXPECT_EQ(DrawTextA(dc, "a", 1, nullptr, 0), 0);
  EXPECT_EQ(DrawTextA(dc, nullptr, 3, &r, 0), 0);
  EXPECT_EQ(DrawTextA(dc, "a", -2, &r, 0), 0);
  EXPECT_EQ(DrawTextA(nullptr, "a", 1, &r, 0), 0);
}

// ---- 3-D edges ----

TEST_F(DrawTest, EdgesPaintTheirTwoLinesInTheSystemColours) {
  const COLORREF light = GetSysColor(COLOR_3DLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), hi = GetSysColor(COLOR_BTNHIGHLIGHT);
  struct Case {
    const char* name;
    UINT edge;
    COLORREF outer_tl, outer_br, inner_tl, inner_br;
  } cases[] = {
      {"raised", EDGE_RAISED, light, dark, hi, shadow},
      {"sunken", EDGE_SUNKEN, shadow, hi, dark, light},
      {"etched", EDGE_ETCHED, shadow, hi, hi, shadow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RECT all = {0, 0, kW, kH};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT r = {10, 10, 30, 25};
    ASSERT_TRUE(DrawEdge(dc, &r, c.edge, BF_RECT));
    EXPECT_EQ(GetPixel(dc, 10, 10), c.outer_tl);
    EXPECT_EQ(GetPixel(dc, 28, 10), c.outer_tl);
    EXPECT_EQ(GetPixel(dc, 10, 23), c.outer_tl);
    EXPECT_EQ(GetPixel(dc, 29, 10), c.outer_br) << "bottom and right take the shared corners";
    EXPECT_EQ(GetPixel(dc, 10, 24), c.outer_br);
    EXPECT_EQ(GetPixel(dc, 29, 24), c.outer_br);
    EXPECT_EQ(GetPixel(dc, 11, 11), c.inner_tl);
    EXPECT_EQ(GetPixel(dc, 27, 11), c.inner_tl);
    EXPECT_EQ(GetPixel(dc, 28, 11), c.inner_br);
    EXPECT_EQ(GetPixel(dc, 28, 23), c.inner_br);
    EXPECT_EQ(GetPixel(dc, 12, 12), kWhite) << "the middle is left alone";
    EXPECT_EQ(GetPixel(dc, 30, 25), kWhite) << "nothing outside the rectangle";
    EXPECT_EQ(GetPixel(dc, 9, 9), kWhite);
    EXPECT_EQ(r.left, 10) << "the rectangle is kept without BF_ADJUST";
  }
}

TEST_F(DrawTest, EdgeOnChosenSidesAdjustsOnlyThoseAndFillsTheMiddle) {
  RECT r = {10, 10, 30, 30};
  ASSERT_TRUE(DrawEdge(dc, &r, EDGE_SUNKEN, BF_BOTTOM | BF_LEFT | BF_ADJUST | BF_MIDDLE));
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right, 30);
  EXPECT_EQ(r.bottom, 28);
  EXPECT_EQ(GetPixel(dc, 20, 10), GetSysColor(COLOR_BTNFACE)) << "no top line: the middle reaches the top";
  EXPECT_EQ(GetPixel(dc, 29, 20), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(dc, 10, 20), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(GetPixel(dc, 20, 29), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(GetPixel(dc, 11, 20), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(GetPixel(dc, 20, 28), GetSysColor(COLOR_3DLIGHT));
  RECT outer_only = {40, 10, 60, 30};
  ASSERT_TRUE(DrawEdge(dc, &outer_only, BDR_RAISEDOUTER, BF_TOP | BF_ADJUST));
  EXPECT_EQ(outer_only.top, 11);
  EXPECT_EQ(GetPixel(dc, 50, 11), kWhite);
  EXPECT_FALSE(DrawEdge(dc, nullptr, EDGE_RAISED, BF_RECT));
}

// ---- System colours, metrics and settings ----

TEST(SystemColours, TheClassicSchemeIsFixedAndItsBrushesBelongToTheSystem) {
  struct Case {
    int index;
    COLORREF color;
  } cases[] = {
      {COLOR_BTNFACE, RGB(212, 208, 200)},
      {COLOR_BTNSHADOW, RGB(128, 128, 128)},
      {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
      {COLOR_3DDKSHADOW, RGB(64, 64, 64)},
      {COLOR_3DLIGHT, RGB(212, 208, 200)},
      {COLOR_WINDOW, RGB(255, 255, 255)},
      {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
      {COLOR_ACTIVECAPTION, RGB(10, 36, 106)},
      {COLOR_GRADIENTACTIVECAPTION, RGB(166, 202, 240)},
      {COLOR_INACTIVECAPTION, RGB(128, 128, 128)},
      {COLOR_GRADIENTINACTIVECAPTION, RGB(192, 192, 192)},
      {COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
      {COLOR_INACTIVECAPTIONTEXT, RGB(212, 208, 200)},
      {COLOR_BTNTEXT, RGB(0, 0, 0)},
      {COLOR_HIGHLIGHT, RGB(10, 36, 106)},
      {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)},
      {COLOR_GRAYTEXT, RGB(128, 128, 128)},
  };
  const int live = QmGdiLiveObjectCount();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(GetSysColor(c.index), c.color);
    HBRUSH b = GetSysColorBrush(c.index);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(GetSysColorBrush(c.index), b) << "one brush per colour";
    LOGBRUSH lb;
    ASSERT_EQ(GetObject(b, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, c.color);
    DeleteObject(b);
    EXPECT_EQ(GetObjectType(b), static_cast<DWORD>(OBJ_BRUSH)) << "deleting a system brush leaves it";
  }
  EXPECT_EQ(QmGdiLiveObjectCount(), live) << "system brushes are not the program's objects";
  EXPECT_EQ(GetSysColor(25), 0u);
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColorBrush(25), nullptr);
  EXPECT_EQ(GetSysColorBrush(1000), nullptr);
}

TEST(SystemMetrics, FixedSizesAndTheVirtualScreen) {
  struct Case {
    int index, value;
  } cases[] = {
      {SM_CXEDGE, 2},       {SM_CYEDGE, 2},     {SM_CXFRAME, 4}, {SM_CYFRAME, 4}, {SM_CXBORDER, 1},
      {SM_CXSMICON, 16},    {SM_CYSMICON, 16},  {SM_CXICON, 32}, {SM_CYICON, 32}, {SM_CYCAPTION, 19},
      {SM_CYSMCAPTION, 15}, {SM_CXVSCROLL, 16}, {SM_CXDRAG, 4},  {SM_CYMENU, 19}, {SM_CXDLGFRAME, 3},
  };
  for (const Case& c : cases) EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
  ASSERT_TRUE(QmGdiSetScreen(800, 600, 32, 96));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
  EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 600 - 19);
  ASSERT_TRUE(QmGdiSetScreen(1920, 1080, 32, 96));
  EXPECT_EQ(GetSystemMetrics(9999), 0);
  EXPECT_EQ(GetSystemMetrics(-1), 0);
}

TEST(SystemSettings, DragFullWindowsAndGradientCaptionsAreOn) {
  for (UINT action : {SPI_GETDRAGFULLWINDOWS, SPI_GETGRADIENTCAPTIONS}) {
    BOOL on = FALSE;
    EXPECT_TRUE(SystemParametersInfoA(action, 0, &on, 0));
    EXPECT_TRUE(on);
    EXPECT_FALSE(SystemParametersInfoA(action, 0, nullptr, 0));
  }
  BOOL untouched = 7;
  EXPECT_FALSE(SystemParametersInfoA(0x9999, 0, &untouched, 0));
  EXPECT_EQ(untouched, 7);
}

}  // namespace
