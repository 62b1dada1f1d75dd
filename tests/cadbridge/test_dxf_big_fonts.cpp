// Texts of DXF files whose styles name big fonts: each character draws the
// glyph of its code in the big font's own code page, from files in that
// code page and from UTF-8 files of 2007 and later, whose $DWGCODEPAGE names
// the code page of big fonts that do not tell their own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/fileformat/mb_file_io.h"
#include "database/fonts/mb_font_library.h"
#include "database/nodes/mb_draw_node.h"
#include "tests/cadbridge/dxf_fixture.h"
#include "tests/support/big_font_fixtures.h"
#include "tests/support/test_pictures.h"

namespace {

using big_font_fixture::Fixture;

TEST(DxfBigFonts, CharactersDrawTheirGlyphsInTheBigFontsCodePage) {
  const std::string dir = dxf_temp_path("big_fonts");
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  const std::string main = dir + "/main.shx";
  ASSERT_TRUE(big_font_fixture::write_compiled(big_font_fixture::kMainSource, main));
  struct Case {
    const char* version;
    const char* code_page;
    const Fixture* fixture;
    std::string character;  // as the file writes it
    const char* escape;     // the same character as a DXF escape
    uint32_t code;          // in the big font
    bool pictured;          // kept as the fixture's DXF picture (big_font_fixtures.h names them)
  } cases[] = {
      {"AC1015", "ANSI_950", &big_font_fixture::kBig5, "\xAD\xB1", "\\U+9762", 0xADB1, false},        // 面
      {"AC1015", "ANSI_932", &big_font_fixture::kShiftJis, "\x95\xCF", "\\U+5909", 0x95CF, false},    // 変
      {"AC1015", "ANSI_932", &big_font_fixture::kShiftJis, "\x8D\x7C", "\\U+92FC", 0x8D7C, true},     // 鋼
      {"AC1015", "ANSI_949", &big_font_fixture::kKorean, "\xB5\xB5", "\\U+B3C4", 0xB5B5, false},      // 도
      {"AC1015", "ANSI_949", &big_font_fixture::kKorean, "\xC7\xD1", "\\U+D55C", 0xC7D1, true},       // 한
      {"AC1021", "ANSI_949", &big_font_fixture::kKorean, "\xEB\x8F\x84", "\\U+B3C4", 0xB5B5, false},  // 도
      {"AC1021", "ANSI_1252", &big_font_fixture::kBig5, "\xE6\x98\x8E", "\\U+660E", 0xA9FA, true},    // 明
      {"AC1015", "ANSI_936", &big_font_fixture::kGbk, "\xD6\xD0", "\\U+4E2D", 0xD6D0, true},          // 中
  };
  for (const Case& c : cases) {
    const std::string big = dir + "/" + c.fixture->file;
    ASSERT_TRUE(big_font_fixture::write_compiled(c.fixture->source, big));
    Dxf_Load load;
    load.text(big_font_fixture::style_dxf(c.version, c.code_page, "BIG", main, big, c.character + c.escape),
              "big_fonts.dxf");
    MB_Text* text = load.first<MB_Text>(MB_Object::ID_TEXT);
    ASSERT_NE(text, nullptr) << c.code_page;
    if (c.pictured) qm_keep_picture(*load.drawing, 240, 160, big_font_fixture::picture(*c.fixture, "dxf"));
    MB_Font_Library* font = text->text_style().big_font_lib();
    ASSERT_NE(font, nullptr) << c.code_page;
    // The character and its escape: the glyph twice, one after the other.
    std::vector<unsigned long> counts;
    std::vector<As_Pt> expected;
    As_Pt pen = text->base_pos();
    const double h = text->text_style().height(), w = text->text_style().width_scale();
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(font->char_2_ptsets(c.code, counts, expected, pen, h, w, false, 0));
    text->build_draw();
    auto* node = static_cast<MB_Draw_Lines_Sets*>(text->draw_node());
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(node->pts_count(), expected.size()) << c.version << " " << c.code_page;
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_NEAR(node->points()[i].x(), expected[i].x(), 1e-9) << c.code_page << " point " << i;
      EXPECT_NEAR(node->points()[i].y(), expected[i].y(), 1e-9) << c.code_page << " point " << i;
    }
    std::remove(big.c_str());
  }
  std::remove(dxf_temp_path("big_fonts.dxf").c_str());
  std::remove(main.c_str());
  rmdir(dir.c_str());
}

// The strokes a text draws, built afresh.
std::vector<As_Pt> text_points(MB_Text& text) {
  text.build_draw();
  auto* node = static_cast<MB_Draw_Lines_Sets*>(text.draw_node());
  if (!node) return {};
  return std::vector<As_Pt>(node->points(), node->points() + node->pts_count());
}

// A big font whose code page only the DXF's $DWGCODEPAGE names keeps its
// glyphs when the drawing is saved in the native format and opened again;
// a text of no such drawing saves as it always did.
TEST(DxfBigFonts, ANativeCopyDrawsWhatTheDxfDrew) {
  const std::string dir = dxf_temp_path("big_fonts_native");
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  const std::string main = dir + "/main.shx", native = dir + "/copy.kzf";
  ASSERT_TRUE(big_font_fixture::write_compiled(big_font_fixture::kMainSource, main));
  struct Case {
    const char* version;
    const char* code_page;
    const Fixture* fixture;
    std::string text;  // as the file writes it
    MB_Code_Page kept;
  } cases[] = {
      {"AC1015", "ANSI_949", &big_font_fixture::kKorean, "\xB5\xB5\\U+D55C", MB_Code_Page::kKorean},  // 도한
      {"AC1021", "ANSI_949", &big_font_fixture::kKorean, "\xEB\x8F\x84", MB_Code_Page::kKorean},      // 도
      {"AC1021", "ANSI_950", &big_font_fixture::kBig5, "\xE6\x98\x8E", MB_Code_Page::kBig5},          // 明
      {"AC1015", "ANSI_1252", &big_font_fixture::kGbk, "\\U+4E2D", MB_Code_Page::kUnknown},           // 中
  };
  for (const Case& c : cases) {
    const std::string big = dir + "/" + c.fixture->file;
    ASSERT_TRUE(big_font_fixture::write_compiled(c.fixture->source, big));
    Dxf_Load load;
    load.text(big_font_fixture::style_dxf(c.version, c.code_page, "BIG", main, big, c.text), "big_fonts_native.dxf");
    MB_Text* text = load.first<MB_Text>(MB_Object::ID_TEXT);
    ASSERT_NE(text, nullptr) << c.code_page;
    const std::vector<As_Pt> before = text_points(*text);
    ASSERT_FALSE(before.empty()) << c.code_page;
    MB_File_IO out;
    out.drawing(load.drawing.get());
    std::vector<char> path(native.begin(), native.end());
    path.push_back('\0');
    ASSERT_TRUE(out.save_kzf(path.data())) << out.reason();
    MB_Drawing back;
    MB_File_IO in;
    in.drawing(&back);
    ASSERT_TRUE(in.load_kzf(native.c_str())) << in.reason();
    MB_Text* reopened = nullptr;
    for (MB_Object* o = back.object_list().head(); o && !reopened; o = o->next()) {
      if (o->object_id() == MB_Object::ID_TEXT) reopened = static_cast<MB_Text*>(o);
    }
    ASSERT_NE(reopened, nullptr) << c.code_page;
    EXPECT_EQ(reopened->text_style().drawing_code_page(), c.kept) << c.code_page;
    const MB_Text_Style* style = back.find_text_style("BIG");
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->drawing_code_page(), c.kept) << c.code_page << ": the style takes it back";
    const std::vector<As_Pt> after = text_points(*reopened);
    ASSERT_EQ(after.size(), before.size()) << c.version << " " << c.code_page;
    for (size_t i = 0; i < before.size(); ++i) {
      EXPECT_NEAR(after[i].x(), before[i].x(), 1e-9) << c.code_page << " point " << i;
      EXPECT_NEAR(after[i].y(), before[i].y(), 1e-9) << c.code_page << " point " << i;
    }
    std::remove(native.c_str());
    std::remove(big.c_str());
  }
  std::remove(main.c_str());
  rmdir(dir.c_str());
}

}  // namespace
