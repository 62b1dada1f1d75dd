// Every character of a GBK text draws: Chinese and kana in a unifont style
// and in TrueType styles naming the usual Chinese file and an installed
// collection, each character in its own cell, inside the text's extents.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "database/entities/mb_text.h"
#include "database/fonts/mb_shx_library.h"
#include "database/fonts/mb_ttf_library.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/as_tran.h"
#include "tests/data_paths.h"
#include "tests/surface/surface_probe.h"

namespace {

// 中文字かな in GBK: three hanzi and two kana, each one full-width cell.
const char kText[] = "\xD6\xD0\xCE\xC4\xD7\xD6\xA4\xAB\xA4\xCA";
const uint32_t kUnicode[] = {0x4E2D, 0x6587, 0x5B57, 0x304B, 0x306A};
constexpr int kChars = 5;

constexpr int kWidth = 360, kHeight = 100;
constexpr double kScale = 4;

// World to pixels: y up, the base at (8, 70).
As_Tran view() { return scale_transf(kScale, -kScale, 1) * translate_transf(As_Vec(8, 70, 0)); }

struct Drawn {
  PixelSet ink;
  As_Rect rect;
  std::vector<unsigned long> strokes;  // the point count of each stroke
};

Drawn draw(MB_Font_Library* font, const char* s) {
  MB_Text text(As_Pt(0, 0, 0), MB_String(s));
  text.text_style().font_lib(font);
  text.text_style().big_font_lib(static_cast<MB_Font_Library*>(nullptr));
  text.text_style().height(10);
  text.text_style().width_scale(1);
  text.build_draw();
  Drawn out;
  out.rect = text.rect();
  auto* node = static_cast<MB_Draw_Lines_Sets*>(text.draw_node());
  if (!node) return out;
  out.strokes.assign(node->vals(), node->vals() + node->ptset_count());
  CMyDC dc;
  if (!make_surface(dc, kWidth, kHeight)) return out;
  clear_white(dc.GetDC(), kWidth, kHeight);
  node->draw(dc.GetDC(), view());
  out.ink = Probe(dc).painted(kWhite32);
  return out;
}

struct Face_Case {
  const char* name;
  std::function<std::unique_ptr<MB_Font_Library>()> make;
};

class EveryCharacter : public ::testing::TestWithParam<Face_Case> {};

TEST_P(EveryCharacter, DrawsInItsCellInsideTheExtents) {
  std::unique_ptr<MB_Font_Library> font = GetParam().make();
  if (!font) GTEST_SKIP() << GetParam().name << " is not installed";
  const Drawn text = draw(font.get(), kText);
  ASSERT_FALSE(text.ink.empty());

  // The extents hold every pixel (a pixel's worth of rounding aside).
  const As_Pt a = text.rect.lt() * view(), b = text.rect.rb() * view();
  const double x0 = std::min(a.x(), b.x()), x1 = std::max(a.x(), b.x());
  const double y0 = std::min(a.y(), b.y()), y1 = std::max(a.y(), b.y());
  for (const auto& p : text.ink) {
    ASSERT_TRUE(p.first >= x0 - 1 && p.first <= x1 + 1 && p.second >= y0 - 1 && p.second <= y1 + 1)
        << "(" << p.first << ", " << p.second << ") outside the extents";
  }
  // Each character's cell (a fifth of the width: the characters are all
  // full-width) has ink.
  std::vector<int> per_cell(kChars, 0);
  for (const auto& p : text.ink) {
    const int cell = static_cast<int>((p.first - x0) * kChars / (x1 - x0 + 1));
    ++per_cell[static_cast<size_t>(std::min(std::max(cell, 0), kChars - 1))];
  }
  for (int i = 0; i < kChars; ++i) EXPECT_GT(per_cell[static_cast<size_t>(i)], 20) << "cell " << i;

  // And each is its glyph, not the box of a character no font has.
  const PixelSet box_mark = draw(font.get(), "\x80").ink;
  ASSERT_FALSE(box_mark.empty());
  for (int i = 0; i < kChars; ++i) {
    const std::string one(kText + 2 * i, 2);
    const PixelSet ink = draw(font.get(), one.c_str()).ink;
    EXPECT_FALSE(ink.empty()) << "character " << i;
    EXPECT_NE(ink, box_mark) << "character " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, EveryCharacter,
    ::testing::Values(
        Face_Case{"unifont",
                  [] {
                    std::unique_ptr<MB_Shx_Library> f(new MB_Shx_Library(test_data::repo_font("kst32b.shx").c_str()));
                    return std::unique_ptr<MB_Font_Library>(f->kind() == MB_Shx_Library::kUnifont ? f.release()
                                                                                                  : nullptr);
                  }},
        Face_Case{"simsun_ttf", [] { return std::unique_ptr<MB_Font_Library>(new MB_TTF_Library("simsun.ttf")); }},
        Face_Case{"wqy_microhei_ttc",
                  [] {
                    char path[MAX_PATH];
                    if (QmGdiFindFontFile("wqy-microhei.ttc", path, sizeof path) == 0) {
                      return std::unique_ptr<MB_Font_Library>();
                    }
                    return std::unique_ptr<MB_Font_Library>(new MB_TTF_Library("wqy-microhei.ttc"));
                  }}),
    [](const ::testing::TestParamInfo<Face_Case>& param) { return std::string(param.param.name); });

// The unifont draws the text's characters itself, by their Unicode code
// points: the same strokes as its glyphs of those codes.
TEST(EveryCharacterUnifont, DrawsItsOwnGlyphsOfTheUnicodeCodes) {
  MB_Shx_Library font(test_data::repo_font("kst32b.shx").c_str());
  ASSERT_EQ(font.kind(), MB_Shx_Library::kUnifont);
  std::vector<unsigned long> expected;
  for (uint32_t code : kUnicode) {
    Shape_Glyph g;
    ASSERT_TRUE(font.glyph(code, &g)) << std::hex << code;
    for (const Shape_Stroke& s : g.strokes) expected.push_back(static_cast<unsigned long>(s.size()));
  }
  EXPECT_EQ(draw(&font, kText).strokes, expected);
}

// A TrueType style gives the same face to a character through its escape as
// through its GBK code.
TEST(EveryCharacterTrueType, EscapesDrawAsTheirCharacters) {
  MB_TTF_Library font("simsun.ttf");
  EXPECT_EQ(draw(&font, "\\U+4E2D").ink, draw(&font, "\xD6\xD0").ink);
  EXPECT_EQ(draw(&font, "%%d").ink, draw(&font, "\\U+00B0").ink);
  EXPECT_FALSE(draw(&font, "%%d").ink.empty());
}

}  // namespace
