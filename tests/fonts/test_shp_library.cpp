// Shape-font sources: the compiler, and real sources against their compiled fonts.
#include <gtest/gtest.h>

#include <string>

#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_shp_library.h"
#include "database/fonts/mb_shx_library.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"
#include "tests/data_paths.h"
#include "tests/support/expect_pt.h"

namespace {

std::vector<std::vector<As_Pt>> strokes_of(const MB_Font_Char& c) {
  std::vector<std::vector<As_Pt>> out;
  const As_Pt_Sets& s = c.point_sets();
  unsigned long at = 0;
  for (unsigned long i = 0; i < s.ptset_count(); ++i) {
    out.emplace_back(s.points() + at, s.points() + at + s.vals()[i]);
    at += s.vals()[i];
  }
  return out;
}

TEST(ShpLibrary, NumbersWithALeadingZeroAreHexadecimal) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {{"12", 12}, {"012", 0x12}, {"(-043", -0x43}, {"7)", 7}, {"0", 0}, {"0FE", 0xFE}, {" 10 ", 10}};
  for (const Case& c : cases) {
    int32_t v = -1;
    ASSERT_TRUE(MB_Shp_Library::parse_number(c.text, &v)) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
  int32_t v;
  EXPECT_FALSE(MB_Shp_Library::parse_number("noname", &v));
  EXPECT_FALSE(MB_Shp_Library::parse_number("", &v));
}

TEST(ShpLibrary, CompilesToTheBytesOfACompiledFont) {
  auto compile = [](std::vector<int32_t> t, Shape_Font_Kind k = Shape_Font_Kind::kShapes) {
    return MB_Shp_Library::compile_body(t, k);
  };
  EXPECT_EQ(compile({8, -2, 3, 0}), (std::vector<uint8_t>{8, 0xFE, 3, 0}));
  EXPECT_EQ(compile({10, 1, -0x43, 0}), (std::vector<uint8_t>{10, 1, 0xC3, 0}));
  EXPECT_EQ(compile({9, 1, -1, 0, 0, 0x24}), (std::vector<uint8_t>{9, 1, 0xFF, 0, 0, 0x24}));
  EXPECT_EQ(compile({7, 0x4E2D, 0}, Shape_Font_Kind::kUnifont), (std::vector<uint8_t>{7, 0x4E, 0x2D, 0}));
  // A parenthesised pair in a unifont is the code's two bytes: "7,(32,172)"
  // is 0x20AC; "(0,code)" names the code; unbracketed, the next number is the
  // next code.
  const std::vector<bool> opens = {false, true, false, false};
  EXPECT_EQ(MB_Shp_Library::compile_body({7, 32, 172, 0}, Shape_Font_Kind::kUnifont, &opens),
            (std::vector<uint8_t>{7, 0x20, 0xAC, 0}));
  EXPECT_EQ(MB_Shp_Library::compile_body({7, 0, 0x20AC, 0}, Shape_Font_Kind::kUnifont, &opens),
            (std::vector<uint8_t>{7, 0x20, 0xAC, 0}));
  EXPECT_EQ(compile({7, 32, 0x14, 0}, Shape_Font_Kind::kUnifont), (std::vector<uint8_t>{7, 0, 32, 0x14, 0}));
  EXPECT_EQ(compile({7, 0, 0xB0A1, 1, 2, 3, 4, 0}, Shape_Font_Kind::kBigFont),
            (std::vector<uint8_t>{7, 0, 0xB0, 0xA1, 1, 2, 3, 4, 0}));
}

TEST(ShpLibrary, HeaderShapesAndSubshapesInAnyOrder) {
  MB_Shp_Library lib;
  // CR LF lines, a last line without an end, a long line, subshapes used
  // before and after their definition.
  std::string long_line(600, ' ');
  long_line += "2,0";
  ASSERT_TRUE(lib.load_text("*0,4,Test\r\n8,2,0,0\r\n"
                            "*65,5,A ; the example\r\n1,024,020,0\r\n"
                            "*66,4,B\r\n7,67,0\r\n"
                            "*67,3,C\r\n1,010,0\r\n"
                            "*68,4,D\r\n7,65,0\r\n"
                            "*69,6,E\r\n3,2,040," + long_line));
  EXPECT_EQ(lib.font_name(), MB_String("Test"));
  EXPECT_EQ(lib.above(), 8);
  EXPECT_EQ(lib.below(), 2);
  const MB_Font_Char* a = lib.font_char_set(65);
  ASSERT_NE(a, nullptr);
  auto s = strokes_of(*a);
  ASSERT_EQ(s.size(), 1u);
  ASSERT_EQ(s[0].size(), 3u);
  expect_pt(s[0][1], 0, 2);
  expect_pt(s[0][2], 2, 2);
  expect_pt(a->end_pos(), 2, 2);
  ASSERT_NE(lib.font_char_set(66), nullptr);
  EXPECT_EQ(strokes_of(*lib.font_char_set(66)).size(), 1u);
  EXPECT_EQ(strokes_of(*lib.font_char_set(68)).size(), 1u);
  expect_pt(lib.font_char_set(69)->end_pos(), 2, 0);
}

TEST(ShpLibrary, BigFontSourceTakesItsHeaderFromTheSecondLine) {
  MB_Shp_Library lib;
  ASSERT_TRUE(lib.load_text("*BIGFONT 2,1,081,0FE\n*0,4,Big\n6,1,0,0\n*0B0A1,3,\n1,044,0\n"));
  EXPECT_TRUE(lib.is_big_font());
  EXPECT_EQ(lib.font_name(), MB_String("Big"));
  EXPECT_EQ(lib.above(), 6);
  As_Void_List out;
  As_Pt pen(0, 0, 0);
  ASSERT_TRUE(lib.char_2_ptlist(0xB0A1, out, pen, 6, 1, false));
  As_Pt_List* l = static_cast<As_Pt_List*>(out.head()->entity());
  expect_pt(l->tail()->point(), 0, 4);
  delete l;
}

// Many shapes that each call a subshape running the whole budget of a
// glyph: compiling stops running shapes once the source has spent its
// budget, so a short source cannot make the load take minutes and gigabytes.
TEST(ShpLibrary, ManyCostlyShapesShareOneBudget) {
  std::string text = "*80,2,\n014,0\n*1,18,\n2";
  for (int k = 2; k <= 8; ++k) {
    for (int i = 0; i < 8; ++i) text += ",7," + std::to_string(k);
    text += ",0\n*" + std::to_string(k) + ",17,\n";
  }
  text += "2,0\n";
  // More of them than the font's budget holds glyph budgets.
  const long costly = MB_Glyph_Budget::kFont / MB_Glyph_Budget::kGlyph + 2;
  for (long c = 100; c < 100 + costly; ++c) text += "*" + std::to_string(c) + ",3,\n7,1,0\n";
  text += "*200,2,\n014,0\n";
  MB_Shp_Library lib;
  ASSERT_TRUE(lib.load_text(text));
  ASSERT_NE(lib.font_char_set(80), nullptr);
  ASSERT_NE(lib.font_char_set(200), nullptr);
  EXPECT_EQ(strokes_of(*lib.font_char_set(80)).size(), 1u);
  EXPECT_TRUE(strokes_of(*lib.font_char_set(200)).empty());
}

// Each source of a real font compiles to the bytes of its compiled font, and
// the glyphs draw alike.
// `base` is the path of the font without its extension.
void compare_real_font(const std::string& base) {
  const std::string name = base.substr(base.find_last_of('/') + 1);
  MB_Shx_Library shx((base + ".shx").c_str());
  MB_Shp_Library shp((base + ".shp").c_str());
  ASSERT_GT(shp.glyphs().size(), 50u) << name;
  EXPECT_EQ(shx.above(), shp.above());
  EXPECT_EQ(shx.below(), shp.below());
  size_t compared = 0;
  for (const MB_Shx_Char* c = shx.char_list().first(); c; c = c->next()) {
    const std::vector<uint8_t>* bytes = shp.shape_bytes(static_cast<uint32_t>(c->code()));
    ASSERT_NE(bytes, nullptr) << name << " " << c->code();
    ASSERT_EQ(*bytes, c->data()) << name << " " << c->code();
    Shape_Glyph g;
    ASSERT_TRUE(shx.glyph(static_cast<uint32_t>(c->code()), &g));
    const MB_Font_Char* fc = shp.font_char_set(static_cast<unsigned short>(c->code()));
    ASSERT_NE(fc, nullptr);
    auto strokes = strokes_of(*fc);
    ASSERT_EQ(strokes.size(), g.strokes.size());
    for (size_t i = 0; i < strokes.size(); ++i) ASSERT_EQ(strokes[i].size(), g.strokes[i].size());
    ++compared;
  }
  EXPECT_EQ(compared, shp.glyphs().size());
}

TEST(ShpLibrary, RealSourceMatchesItsCompiledFont) { compare_real_font(test_data::repo_font("kst32b")); }

TEST(ShpLibrary, SharedSourceMatchesItsCompiledFont) {
  QM_SKIP_WITHOUT(test_data::shared_font("iso3098.shp"));
  compare_real_font(test_data::shared_font("iso3098"));
}

}  // namespace
