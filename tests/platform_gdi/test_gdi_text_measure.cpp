// Text measurement, clipped and opaque text output, pattern brushes and the
// font families the software GDI enumerates.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "text_fixture.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

class GdiMeasure : public ArialSurfaceTest {
 protected:
  GdiMeasure() : ArialSurfaceTest(30, 240, 100) {}
};

TEST_F(GdiMeasure, ExtentIsHowFarTextMovesTheCurrentPositionAndTheCellOfTheMetrics) {
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(surface.dc, &tm));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_NEAR(tm.tmHeight, 30, 1) << "a positive font height is the cell height";
  EXPECT_GT(tm.tmAveCharWidth, 0);
  EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);

  for (const char* text : {"H", "Hello", "W.W.W", "\xd6\xd0\xce\xc4"}) {
    SCOPED_TRACE(text);
    SIZE size = {-1, -1};
    ASSERT_TRUE(GetTextExtentPoint32A(surface.dc, text, static_cast<int>(std::strlen(text)), &size));
    EXPECT_EQ(size.cy, tm.tmHeight);
    SetTextAlign(surface.dc, TA_UPDATECP);
    MoveToEx(surface.dc, 5, 5, nullptr);
    ASSERT_TRUE(TextOutA(surface.dc, 0, 0, text, static_cast<int>(std::strlen(text))));
    POINT pos;
    GetCurrentPositionEx(surface.dc, &pos);
    EXPECT_EQ(pos.x - 5, size.cx);
    SetTextAlign(surface.dc, TA_LEFT | TA_TOP);
  }
  SIZE empty = {-1, -1};
  ASSERT_TRUE(GetTextExtentPoint32A(surface.dc, "", 0, &empty));
  EXPECT_EQ(empty.cx, 0);
  EXPECT_EQ(empty.cy, tm.tmHeight);
  EXPECT_FALSE(GetTextExtentPoint32A(surface.dc, "x", 1, nullptr));
  EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "x", 1, &empty));
  EXPECT_FALSE(GetTextMetricsA(surface.dc, nullptr));
}

TEST_F(GdiMeasure, ClippedTextStaysInsideItsRectangleAndMatchesUnclippedTextThere) {
  const RECT clip = {30, 10, 70, 30};
  ASSERT_TRUE(ExtTextOutA(surface.dc, 20, 5, ETO_CLIPPED, &clip, "WWWWWW", 6, nullptr));
  const std::vector<POINT> ink = surface.painted(kWhite);
  ASSERT_FALSE(ink.empty());
  for (const POINT& p : ink) {
    ASSERT_TRUE(p.x >= clip.left && p.x < clip.right && p.y >= clip.top && p.y < clip.bottom) << p.x << "," << p.y;
  }
  // Inside the rectangle the pixels are those of the whole text.
  TestSurface whole(240, 100, 32);
  whole.clear(kWhite);
  HGDIOBJ o = SelectObject(whole.dc, font);
  SetBkMode(whole.dc, TRANSPARENT);
  ASSERT_TRUE(TextOutA(whole.dc, 20, 5, "WWWWWW", 6));
  for (int y = clip.top; y < clip.bottom; ++y)
    for (int x = clip.left; x < clip.right; ++x) ASSERT_EQ(GetPixel(surface.dc, x, y), GetPixel(whole.dc, x, y));
  SelectObject(whole.dc, o);
}

TEST_F(GdiMeasure, OpaqueRectangleIsFilledWithTheBackgroundColourEvenWithoutText) {
  SetBkColor(surface.dc, RGB(0, 0, 255));
  const RECT r = {10, 10, 20, 15};
  ASSERT_TRUE(ExtTextOutA(surface.dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  EXPECT_EQ(surface.painted(kWhite).size(), 50u);
  EXPECT_EQ(GetPixel(surface.dc, 10, 10), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(surface.dc, 19, 14), RGB(0, 0, 255));
  // Options that need a rectangle, unknown options and advances are refused.
  EXPECT_FALSE(ExtTextOutA(surface.dc, 0, 0, ETO_CLIPPED, nullptr, "a", 1, nullptr));
  EXPECT_FALSE(ExtTextOutA(surface.dc, 0, 0, 0x10000, &r, "a", 1, nullptr));
  const INT dx[1] = {5};
  EXPECT_FALSE(ExtTextOutA(surface.dc, 0, 0, 0, nullptr, "a", 1, dx));
}

// An 8 x 8 monochrome checker, rows padded to 16 bits.
HBITMAP checker() {
  WORD rows[8];
  for (int y = 0; y < 8; ++y) rows[y] = static_cast<WORD>((y & 1) ? 0xAA : 0x55);
  return CreateBitmap(8, 8, 1, 1, rows);
}

TEST_F(GdiMeasure, MonochromePatternBrushTilesInTheTextAndBackgroundColours) {
  HBITMAP bits = checker();
  ASSERT_NE(bits, nullptr);
  HBRUSH brush = CreatePatternBrush(bits);
  ASSERT_NE(brush, nullptr);
  ASSERT_TRUE(DeleteObject(bits)) << "the brush keeps its own copy";
  LOGBRUSH lb;
  ASSERT_EQ(GetObject(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_PATTERN));

  SetTextColor(surface.dc, RGB(255, 0, 0));
  SetBkColor(surface.dc, RGB(0, 0, 255));
  const RECT r = {3, 5, 23, 21};  // not a multiple of 8 and off the tile grid
  ASSERT_TRUE(FillRect(surface.dc, &r, brush));
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      // Bit 7 - (x % 8) of row y % 8: 0x55 has the odd columns set.
      const bool set = ((x + y) & 1) != 0;
      ASSERT_EQ(GetPixel(surface.dc, x, y), set ? RGB(0, 0, 255) : RGB(255, 0, 0)) << x << "," << y;
    }
  EXPECT_EQ(GetPixel(surface.dc, 2, 5), kWhite);
  EXPECT_EQ(GetPixel(surface.dc, 23, 20), kWhite);
  DeleteObject(brush);
}

TEST_F(GdiMeasure, PatternInvertTwiceRestoresEveryPixel) {
  HBITMAP bits = checker();
  HBRUSH brush = CreatePatternBrush(bits);
  DeleteObject(bits);
  SetTextColor(surface.dc, kBlack);
  SetBkColor(surface.dc, kWhite);
  ASSERT_TRUE(TextOutA(surface.dc, 10, 10, "Ab", 2));
  const std::vector<uint8_t> before = surface.snapshot();
  HGDIOBJ prev = SelectObject(surface.dc, brush);
  ASSERT_TRUE(PatBlt(surface.dc, 5, 5, 60, 40, PATINVERT));
  // On white, the white half of the checker turns black and the black half
  // leaves white.
  EXPECT_EQ(GetPixel(surface.dc, 6, 5), kBlack);
  EXPECT_EQ(GetPixel(surface.dc, 5, 5), kWhite);
  EXPECT_NE(surface.snapshot(), before);
  ASSERT_TRUE(PatBlt(surface.dc, 5, 5, 60, 40, PATINVERT));
  EXPECT_EQ(surface.snapshot(), before);
  SelectObject(surface.dc, prev);
  DeleteObject(brush);
}

TEST(GdiBitmap, CreateBitmapMakesOnlyMonochromeBitmaps) {
  const int live = QmGdiLiveObjectCount();
  HBITMAP mono = CreateBitmap(3, 2, 1, 1, nullptr);
  ASSERT_NE(mono, nullptr);
  BITMAP bm;
  ASSERT_EQ(GetObject(mono, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 3);
  EXPECT_EQ(bm.bmHeight, 2);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteObject(mono);
  HBITMAP tiny = CreateBitmap(0, 5, 1, 1, nullptr);
  ASSERT_NE(tiny, nullptr);
  ASSERT_EQ(GetObject(tiny, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  DeleteObject(tiny);
  EXPECT_EQ(CreateBitmap(8, 8, 1, 32, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(8, 8, 2, 1, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(-1, 8, 1, 1, nullptr), nullptr);
  EXPECT_EQ(CreatePatternBrush(nullptr), nullptr);
  EXPECT_EQ(QmGdiLiveObjectCount(), live);
}

// ---- Font families ----

struct Enumerated {
  std::vector<std::string> faces;
  std::vector<LONG> weights;
  int stop_after = -1;  // answer 0 after this many calls
};

int collect(const LOGFONTA* lf, const TEXTMETRICA* tm, DWORD type, LPARAM data) {
  auto* e = reinterpret_cast<Enumerated*>(data);
  EXPECT_EQ(type, static_cast<DWORD>(TRUETYPE_FONTTYPE));
  EXPECT_EQ(tm->tmWeight, lf->lfWeight);
  e->faces.push_back(lf->lfFaceName);
  e->weights.push_back(lf->lfWeight);
  return e->stop_after >= 0 && static_cast<int>(e->faces.size()) >= e->stop_after ? 0 : 1;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(GdiFontFamilies, EveryFamilyOnceInNameOrder) {
  HDC dc = CreateCompatibleDC(nullptr);
  Enumerated e;
  EXPECT_EQ(EnumFontFamiliesA(dc, nullptr, collect, reinterpret_cast<LPARAM>(&e)), 1);
  ASSERT_FALSE(e.faces.empty());
  for (size_t i = 1; i < e.faces.size(); ++i) EXPECT_LT(lower(e.faces[i - 1]), lower(e.faces[i]));
  // The installed fonts the stand-in faces come from are among them.
  EXPECT_NE(std::find(e.faces.begin(), e.faces.end(), "DejaVu Sans"), e.faces.end());
  EXPECT_NE(std::find(e.faces.begin(), e.faces.end(), "Liberation Sans"), e.faces.end());
  DeleteDC(dc);
}

TEST(GdiFontFamilies, ANamedFamilyAnswersEachOfItsStylesOrNothing) {
  HDC dc = CreateCompatibleDC(nullptr);
  Enumerated sans;
  EXPECT_EQ(EnumFontFamiliesA(dc, "liberation SANS", collect, reinterpret_cast<LPARAM>(&sans)), 1);
  // Regular, bold, italic and bold italic.
  ASSERT_GE(sans.faces.size(), 4u);
  for (const std::string& f : sans.faces) EXPECT_EQ(f, "Liberation Sans");
  EXPECT_NE(std::find(sans.weights.begin(), sans.weights.end(), FW_BOLD), sans.weights.end());
  EXPECT_NE(std::find(sans.weights.begin(), sans.weights.end(), FW_NORMAL), sans.weights.end());

  // A family that is not there is not made up from a stand-in: a program
  // asking whether it exists learns that it does not.
  Enumerated none;
  EXPECT_EQ(EnumFontFamiliesA(dc, "Qm No Such Family", collect, reinterpret_cast<LPARAM>(&none)), 1);
  EXPECT_TRUE(none.faces.empty());

  Enumerated first;
  first.stop_after = 1;
  EXPECT_EQ(EnumFontFamiliesA(dc, nullptr, collect, reinterpret_cast<LPARAM>(&first)), 0);
  EXPECT_EQ(first.faces.size(), 1u) << "an answer of 0 ends the enumeration";

  EXPECT_EQ(EnumFontFamiliesA(dc, nullptr, nullptr, 0), 0);
  EXPECT_EQ(EnumFontFamiliesA(nullptr, nullptr, collect, reinterpret_cast<LPARAM>(&none)), 0);
  DeleteDC(dc);
}

}  // namespace
