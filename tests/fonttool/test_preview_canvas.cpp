#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "fonttool/preview_canvas.h"
#include "tests/data_paths.h"
#include "tests/fonttool/shx_builder.h"

using namespace shxtest;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlack = 0;

using Pixels = std::set<std::pair<int, int>>;

// Every pixel of the canvas that is not black, with its colour checked.
Pixels Lit(const CPreviewCanvas& canvas, COLORREF colour) {
  Pixels lit;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      COLORREF c = GetPixel(canvas.dc(), x, y);
      if (c == colour) lit.insert({x, y});
    }
  }
  return lit;
}

}  // namespace

TEST(PreviewCanvas, GlyphStrokesIncludeTheirEndPixels) {
  CPreviewCanvas canvas;
  ASSERT_TRUE(canvas.Create(40, 40));
  EXPECT_TRUE(Lit(canvas, kBlack).size() == 1600u);
  // Down 4, right 4, then up and right 4 at one pixel a unit from (10, 20).
  ScratchDir dir;
  std::string font =
      dir.Write("f.shx", ShapesFont({{0, "F", {10, 2, 0, 0}}, {65, "L", {0x4C, 0x40, 0x42, 0}}}));
  double x = 10, y = 20;
  std::string message;
  ASSERT_TRUE(fontlathe::DrawCodeView(font.c_str(), "41", message, &x, &y,
                                      fontlathe::CharacterStyle(), 10, &canvas));
  Pixels expected;
  for (int i = 0; i <= 4; ++i) {
    expected.insert({10, 20 + i});      // down
    expected.insert({10 + i, 24});      // right
    expected.insert({14 + i, 24 - i});  // diagonal, its end (18, 20) set by hand
  }
  EXPECT_EQ(Lit(canvas, kWhite), expected);
  EXPECT_EQ(Lit(canvas, kBlack).size(), 1600u - expected.size());
  EXPECT_DOUBLE_EQ(x, 18);
  EXPECT_DOUBLE_EQ(y, 20);
}

// The canvas: black, with white text drawn on it without a background.
TEST(PreviewCanvas, BlackWithWhiteTextAndNoTextBackground) {
  CPreviewCanvas canvas;
  ASSERT_TRUE(canvas.Create(20, 10));
  EXPECT_EQ(GetTextColor(canvas.dc()), kWhite);
  EXPECT_EQ(GetBkMode(canvas.dc()), TRANSPARENT);
  EXPECT_TRUE(Lit(canvas, kWhite).empty());
}

TEST(PreviewCanvas, GuideLineAtThreeQuartersOfTheHeight) {
  for (int height : {40, 42, 10}) {
    CPreviewCanvas canvas;
    ASSERT_TRUE(canvas.Create(30, height));
    canvas.DrawGuideLine();
    int row = static_cast<int>(0.5 + 0.75 * height);
    Pixels expected;
    for (int x = 0; x < 30; ++x) expected.insert({x, row});
    EXPECT_EQ(Lit(canvas, kRed), expected) << height;
    canvas.Clear();
    EXPECT_TRUE(Lit(canvas, kRed).empty());
  }
}

TEST(PreviewCanvas, SegmentsFarOutsideTheCanvas) {
  CPreviewCanvas canvas;
  ASSERT_TRUE(canvas.Create(20, 20));
  // A line from far left to far right through row 5 crosses the canvas.
  canvas.DrawSegment(-2000000000, 5, 2000000000, 5);
  Pixels row;
  for (int x = 0; x < 20; ++x) row.insert({x, 5});
  EXPECT_EQ(Lit(canvas, kWhite), row);
  canvas.Clear();
  canvas.DrawSegment(-2000000000, -2000000000, -1999999000, 2000000000);
  canvas.DrawSegment(5, 5, 5, 5);  // a point: its end pixel
  EXPECT_EQ(Lit(canvas, kWhite), (Pixels{{5, 5}}));
  EXPECT_FALSE(CPreviewCanvas().Create(0, 10));
}

TEST(PreviewCanvas, FreesItsGdiObjects) {
  int before = QmGdiLiveObjectCount();
  {
    CPreviewCanvas canvas;
    ASSERT_TRUE(canvas.Create(10, 10));
    ASSERT_TRUE(canvas.Create(20, 20));  // the first canvas is freed
    EXPECT_GT(QmGdiLiveObjectCount(), before);
  }
  EXPECT_EQ(QmGdiLiveObjectCount(), before);
}

TEST(PreviewCanvas, RealUnifontText) {
  const std::string font = test_data::shared_font("iso3098.shx");
  QM_SKIP_WITHOUT(font);
  CPreviewCanvas canvas;
  ASSERT_TRUE(canvas.Create(200, 60));
  canvas.DrawGuideLine();
  double x = 5, y = 45;
  std::string message;
  ASSERT_TRUE(fontlathe::PreviewText(font.c_str(), font.c_str(), "Quill 42", &message, &x, &y,
                                     fontlathe::CharacterStyle(), 30, &canvas));
  Pixels white = Lit(canvas, kWhite);
  EXPECT_GT(white.size(), 100u);
  // The font's glyphs stand 4 units above the base point and are about 31
  // units tall (30 pixels for 32 units).
  int top = 60, bottom = 0;
  for (const auto& p : white) {
    top = std::min(top, p.second);
    bottom = std::max(bottom, p.second);
  }
  EXPECT_EQ(bottom, 41);
  EXPECT_EQ(top, 15);
  EXPECT_GT(x, 100);  // eight characters advanced the base point
}
