// Text output of the software GDI: placement by alignment, colours,
// background mode, GBK strings and bounds.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "text_fixture.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

struct Bounds {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  bool empty() const { return x1 < 0; }
};

Bounds bounds(const std::vector<POINT>& pts) {
  Bounds b;
  for (const POINT& p : pts) {
    if (p.x < b.x0) b.x0 = p.x;
    if (p.y < b.y0) b.y0 = p.y;
    if (p.x > b.x1) b.x1 = p.x;
    if (p.y > b.y1) b.y1 = p.y;
  }
  return b;
}

// A 40-pixel cell of the Arial stand-in on a white 32-bit surface.
class GdiText : public ArialSurfaceTest {
 protected:
  GdiText() : ArialSurfaceTest(40, 200, 120) {}
};

TEST_F(GdiText, DefaultAlignmentDrawsInsideTheCellInTheTextColour) {
  EXPECT_EQ(GetTextAlign(surface.dc), static_cast<UINT>(TA_LEFT | TA_TOP));
  EXPECT_EQ(GetTextColor(surface.dc), RGB(0, 0, 0));
  EXPECT_EQ(SetTextColor(surface.dc, RGB(0, 0, 255)), RGB(0, 0, 0));
  ASSERT_TRUE(TextOutA(surface.dc, 20, 30, "HH", 2));
  const std::vector<POINT> ink = surface.painted(kWhite);
  ASSERT_FALSE(ink.empty());
  for (const POINT& p : ink) ASSERT_EQ(GetPixel(surface.dc, p.x, p.y), RGB(0, 0, 255));
  const Bounds b = bounds(ink);
  EXPECT_GE(b.x0, 20);
  EXPECT_LT(b.x0, 26);
  EXPECT_GE(b.y0, 30);
  EXPECT_LT(b.y1, 30 + 40) << "inside the 40-pixel cell";
  EXPECT_GT(b.x1 - b.x0, 30) << "two letters side by side";
  EXPECT_GT(b.y1 - b.y0, 20);
}

TEST_F(GdiText, BaselineAlignmentRaisesTheTextByTheAscent) {
  ASSERT_TRUE(TextOutA(surface.dc, 20, 10, "H", 1));
  const Bounds top = bounds(surface.painted(kWhite));
  surface.clear(kWhite);
  EXPECT_EQ(SetTextAlign(surface.dc, TA_BASELINE), static_cast<UINT>(TA_TOP));
  ASSERT_TRUE(TextOutA(surface.dc, 20, 80, "H", 1));
  const Bounds base = bounds(surface.painted(kWhite));
  ASSERT_FALSE(top.empty());
  ASSERT_FALSE(base.empty());
  EXPECT_EQ(base.y1, 79) << "'H' sits on the baseline";
  const int ascent = 80 - 10 - (base.y0 - top.y0);
  EXPECT_EQ(top.y1 + 1 - 10, ascent) << "the baseline lies one ascent under the top";
  EXPECT_GT(ascent, 25);
  EXPECT_LT(ascent, 40);
  EXPECT_EQ(base.x0, top.x0);

  surface.clear(kWhite);
  SetTextAlign(surface.dc, TA_RIGHT | TA_BOTTOM);
  ASSERT_TRUE(TextOutA(surface.dc, 100, 60, "H", 1));
  const Bounds rb = bounds(surface.painted(kWhite));
  EXPECT_LE(rb.x1, 99);
  EXPECT_GT(rb.x1, 90);
  EXPECT_LT(rb.y1, 60);
  EXPECT_EQ(SetTextAlign(surface.dc, 0x1000), GDI_ERROR);
}

TEST_F(GdiText, UpdateCpMovesTheCurrentPosition) {
  SetTextAlign(surface.dc, TA_UPDATECP);
  MoveToEx(surface.dc, 10, 10, nullptr);
  ASSERT_TRUE(TextOutA(surface.dc, 150, 90, "H", 1));
  POINT p = {};
  GetCurrentPositionEx(surface.dc, &p);
  EXPECT_GT(p.x, 30);
  EXPECT_LT(p.x, 50);
  EXPECT_EQ(p.y, 10);
  const Bounds b = bounds(surface.painted(kWhite));
  EXPECT_LT(b.x1, p.x);
  EXPECT_GE(b.x0, 10);
}

TEST_F(GdiText, OpaqueModeFillsTheCell) {
  SetBkMode(surface.dc, OPAQUE);
  SetBkColor(surface.dc, RGB(0, 255, 0));
  SetTextColor(surface.dc, RGB(255, 0, 0));
  ASSERT_TRUE(TextOutA(surface.dc, 10, 20, "H", 1));
  const Bounds b = bounds(surface.painted(kWhite));
  EXPECT_EQ(b.x0, 10);
  EXPECT_EQ(b.y0, 20);
  EXPECT_EQ(b.y1, 59) << "the cell is 40 pixels high";
  EXPECT_EQ(GetPixel(surface.dc, 10, 20), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(surface.dc, b.x1, 59), RGB(0, 255, 0));
  int red = 0;
  for (const POINT& p : surface.painted(kWhite)) red += GetPixel(surface.dc, p.x, p.y) == RGB(255, 0, 0);
  EXPECT_GT(red, 50);
}

TEST_F(GdiText, GbkStringsDrawTheirGlyphs) {
  HFONT cjk = CreateFontA(40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "SimSun");
  ASSERT_NE(cjk, nullptr);
  SelectObject(surface.dc, cjk);
  const char zhong[] = "\xD6\xD0";  // U+4E2D in GBK
  ASSERT_TRUE(TextOutA(surface.dc, 10, 10, zhong, 2));
  const Bounds b = bounds(surface.painted(kWhite));
  ASSERT_FALSE(b.empty());
  EXPECT_GT(b.x1 - b.x0, 20) << "one wide ideograph";
  EXPECT_LT(b.x1, 10 + 45);
  EXPECT_GT(b.y1 - b.y0, 25) << "its stroke runs down the cell";
  SelectObject(surface.dc, font);
  DeleteObject(cjk);
}

// A character the font lacks comes from an installed face that has it, as
// the window system links fonts: a Latin face draws the ideograph that the
// CJK stand-in draws, at the same place, and a box no more.
TEST_F(GdiText, CharactersTheFontLacksComeFromAFaceThatHasThem) {
  const char zhong[] = "\xD6\xD0";  // U+4E2D in GBK
  auto draw = [&](const char* face) {
    HFONT f = CreateFontA(40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, face);
    SelectObject(surface.dc, f);
    RECT all = {0, 0, 200, 120};
    ExtTextOutA(surface.dc, 0, 0, ETO_OPAQUE, &all, "", 0, nullptr);
    EXPECT_TRUE(TextOutA(surface.dc, 10, 10, zhong, 2));
    std::vector<POINT> ideograph = surface.painted(kWhite);
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32A(surface.dc, zhong, 2, &size));
    SelectObject(surface.dc, font);
    DeleteObject(f);
    return std::make_pair(ideograph, size.cx);
  };
  const auto linked = draw("MS Sans Serif");
  const auto own = draw("SimSun");
  ASSERT_FALSE(own.first.empty());
  EXPECT_EQ(linked.first.size(), own.first.size());
  const auto same = [](const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; };
  EXPECT_TRUE(std::equal(linked.first.begin(), linked.first.end(), own.first.begin(), own.first.end(), same))
      << "the same glyph in the same place";
  EXPECT_EQ(linked.second, own.second) << "and the same advance";
}

// A word the font lacks is drawn in one face that has all of it: each
// character of a word of Chinese in a Latin face is the character the CJK
// stand-in draws, at the same place, even a sign (①, ※) that a Latin face
// would draw best on its own. A face that maps a character to an empty
// glyph (the CJK stand-in's ℃) does not have it: every character shows.
TEST_F(GdiText, AWordTheFontLacksIsDrawnInOneFace) {
  const std::string words[] = {
      "\xCE\xC2\xB6\xC8\xA1\xE6",  // 温度℃
      "\xB5\xDA\xA2\xD9\xBA\xC5",  // 第①号
      "\xD7\xA2\xA1\xF9",          // 注※
  };
  auto draw = [&](const char* face, const std::string& word) {
    HFONT f = CreateFontA(-40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, face);
    SelectObject(surface.dc, f);
    RECT all = {0, 0, 200, 120};
    ExtTextOutA(surface.dc, 0, 0, ETO_OPAQUE, &all, "", 0, nullptr);
    EXPECT_TRUE(TextOutA(surface.dc, 10, 10, word.data(), int(word.size())));
    std::vector<POINT> ink = surface.painted(kWhite);
    SelectObject(surface.dc, font);
    DeleteObject(f);
    return ink;
  };
  for (const std::string& word : words) {
    const std::vector<POINT> linked = draw("Arial", word), own = draw("SimSun", word);
    ASSERT_FALSE(own.empty());
    ASSERT_FALSE(linked.empty());
    // At one em size; the faces' ascents differ, so the baseline may: the
    // same ink, moved.
    const Bounds a = bounds(linked), b = bounds(own);
    const auto same = [&](const POINT& p, const POINT& q) {
      return p.x - a.x0 == q.x - b.x0 && p.y - a.y0 == q.y - b.y0;
    };
    EXPECT_TRUE(std::equal(linked.begin(), linked.end(), own.begin(), own.end(), same)) << word.size();
    EXPECT_GT(linked.size(), draw("Arial", word.substr(0, word.size() - 2)).size()) << "the last character shows";
  }
}

TEST_F(GdiText, NothingForEmptyOrBadInput) {
  const std::vector<uint8_t> before = surface.snapshot();
  EXPECT_TRUE(TextOutA(surface.dc, 10, 10, "HH", 0));
  EXPECT_TRUE(TextOutA(surface.dc, 10, 10, nullptr, 5));
  EXPECT_TRUE(TextOutA(surface.dc, 10, 10, "HH", -3));
  EXPECT_FALSE(TextOutA(nullptr, 10, 10, "HH", 2));
  EXPECT_EQ(surface.snapshot(), before);
  // Only the given bytes are read: a lone lead byte at the end, unterminated.
  const char lead[3] = {'H', '\xD6', '\xD0'};
  EXPECT_TRUE(TextOutA(surface.dc, 10, 10, lead, 2));
  // Far outside the bitmap, and at the ends of the int range.
  surface.clear(kWhite);
  const std::vector<uint8_t> white = surface.snapshot();
  EXPECT_TRUE(TextOutA(surface.dc, -100000, 10, "HHHH", 4));
  EXPECT_TRUE(TextOutA(surface.dc, 2147483647, -2147483647 - 1, "HHHH", 4));
  SetTextAlign(surface.dc, TA_RIGHT | TA_BASELINE);
  EXPECT_TRUE(TextOutA(surface.dc, -2147483647 - 1, 2147483647, "HHHH", 4));
  EXPECT_EQ(surface.snapshot(), white);
  // A font whose glyphs would need bitmaps of unbounded size is refused.
  HFONT huge = CreateFontA(2000000000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SelectObject(surface.dc, huge);
  EXPECT_FALSE(TextOutA(surface.dc, 0, 0, "H", 1));
  SelectObject(surface.dc, font);
  DeleteObject(huge);
  EXPECT_EQ(surface.snapshot(), white);
}

TEST_F(GdiText, ClippedAtTheBitmapEdges) {
  SetBkMode(surface.dc, OPAQUE);
  SetBkColor(surface.dc, RGB(0, 0, 0));
  ASSERT_TRUE(TextOutA(surface.dc, 190, 100, "HHHH", 4));
  const Bounds b = bounds(surface.painted(kWhite));
  EXPECT_EQ(b.x0, 190);
  EXPECT_EQ(b.x1, 199);
  EXPECT_EQ(b.y1, 119);
}

}  // namespace
