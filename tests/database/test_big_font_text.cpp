// Text reaches a big font in the big font's own code page: the code page a
// big font is indexed in, the glyph a character of GBK text or an escape
// draws, the euro sign, and the log of characters a big font lacks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "database/entities/mb_text.h"
#include "database/fonts/mb_big_font_code_page.h"
#include "database/fonts/mb_shx_library.h"
#include "database/fonts/mb_ttf_library.h"
#include "database/nodes/mb_draw_node.h"
#include "tests/support/big_font_fixtures.h"
#include "tests/support/test_pictures.h"
#include "tests/support/test_temp.h"

namespace {

using big_font_fixture::Fixture;

TEST(BigFontCodePage, TheFontsNameThenItsRangesThenTheDrawingDecide) {
  const MB_Code_Page K = MB_Code_Page::kKorean, B = MB_Code_Page::kBig5, J = MB_Code_Page::kShiftJis,
                     G = MB_Code_Page::kGbk, U = MB_Code_Page::kUnknown;
  const std::vector<MB_Lead_Range> euc = {{0xA1, 0xFE}}, gbk = {{0x81, 0xFE}}, big5 = {{0xA1, 0xF9}},
                                   sjis = {{0x81, 0x9F}, {0xE0, 0xFC}}, gb2312 = {{0xA1, 0xF7}};
  struct Case {
    const char* file;
    std::vector<MB_Lead_Range> ranges;
    MB_Code_Page drawing, expected;
  } cases[] = {
      {"chineset.shx", euc, U, B},
      {"/fonts/CHINESET.SHX", gbk, J, B},  // a listed font's own code page, whatever the drawing
      {"extfont2.shx", euc, U, J},
      {"@extfont.shx", {}, U, J},
      {"bigfont.shx", gbk, U, J},
      {"whgtxt.shx", euc, U, K},
      {"whgdtxt.shx", euc, B, K},
      {"whtmtxt.shx", euc, U, K},
      {"whtgtxt.shx", euc, U, K},
      {"gbcbig.shx", gbk, K, G},
      {"hztxt.shx", euc, B, G},
      {"extfontx.shx", euc, U, G},  // not a numbered extfont
      {"mine.shx", sjis, U, J},
      {"mine.shx", big5, U, B},
      {"mine.shx", gb2312, K, G},
      {"mine.shx", euc, U, G},  // ranges of several code pages: the kernel's own
      {"mine.shx", euc, K, K},  // ... unless the drawing names one
      {"mine.shx", gbk, B, B},
      {"mine.shx", {}, J, J},
      {nullptr, {{0x20, 0x7E}}, U, G},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(mb_big_font_code_page(c.file, c.ranges, c.drawing), c.expected) << (c.file ? c.file : "(none)");
  }
  EXPECT_EQ(mb_double_byte_code_page(950), B);
  EXPECT_EQ(mb_double_byte_code_page(1252), U);
  EXPECT_EQ(mb_code_page_code(B, 0x9762), 0xADB1u);
  EXPECT_EQ(mb_code_page_code(G, 0xB3C4), 0u);  // GBK has no Hangul
  EXPECT_EQ(mb_code_page_code(G, 0x20AC), 0u);  // one byte (0x80)
  EXPECT_EQ(mb_code_page_code(J, 0xFF76), 0u);  // half-width kana: one byte
}

// The fixtures in a folder of the test's own, loaded as the kernel loads
// compiled fonts.
class BigFontText : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = qm_test_temp("big_font_text");
    ASSERT_EQ(mkdir(dir_.c_str(), 0700), 0);
    ASSERT_TRUE(big_font_fixture::write_compiled(big_font_fixture::kMainSource, path("main.shx")));
    ASSERT_TRUE(main_.load_shx_file(path("main.shx").c_str()));
    text_.text_style().font_lib(&main_);
    text_.text_style().height(10);
    text_.text_style().width_scale(1);
  }
  void TearDown() override {
    for (const std::string& f : files_) std::remove(f.c_str());
    rmdir(dir_.c_str());
  }
  std::string path(const std::string& name) {
    files_.push_back(dir_ + "/" + name);
    return files_.back();
  }
  // The fixture compiled into the folder under `name` (its own by default).
  std::unique_ptr<MB_Shx_Library> font(const Fixture& f, const char* name = nullptr) {
    const std::string at = path(name ? name : f.file);
    EXPECT_TRUE(big_font_fixture::write_compiled(f.source, at));
    return std::make_unique<MB_Shx_Library>(at.c_str());
  }
  std::vector<As_Pt> points(const std::string& s) {
    text_.set_text(MB_String(s.c_str()));
    text_.build_draw();
    std::vector<As_Pt> out;
    auto* node = static_cast<MB_Draw_Lines_Sets*>(text_.draw_node());
    if (node) out.assign(node->points(), node->points() + node->pts_count());
    return out;
  }
  // The strokes of one glyph of a font drawn where the text starts.
  std::vector<As_Pt> glyph(MB_Font_Library& f, uint32_t code) {
    std::vector<unsigned long> counts;
    std::vector<As_Pt> pts;
    As_Pt pen = text_.base_pos();
    EXPECT_TRUE(f.char_2_ptsets(code, counts, pts, pen, 10, 1, false, 0)) << std::hex << code;
    return pts;
  }

  std::string dir_;
  std::vector<std::string> files_;
  MB_Shx_Library main_;
  MB_Text text_{As_Pt(100, 50, 0), MB_String("")};
};

bool same(const std::vector<As_Pt>& a, const std::vector<As_Pt>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::abs(a[i].x() - b[i].x()) > 1e-9 || std::abs(a[i].y() - b[i].y()) > 1e-9) return false;
  }
  return true;
}

// Each character, as GBK bytes or as an escape, draws the glyph of its own
// code in the big font's code page, never the glyph another code page gives
// its bytes (the circles).
TEST_F(BigFontText, CharactersDrawTheirGlyphInTheBigFontsOwnCodePage) {
  struct Case {
    const Fixture* fixture;
    const char* name;                // the file name, when not the fixture's own
    MB_Code_Page drawing;            // the code page of the drawing the style came from
    std::vector<std::string> texts;  // one character, written in several ways
    uint32_t code;                   // in the big font
    bool pictured;                   // the first text kept as the fixture's picture (big_font_fixtures.h names them)
  } cases[] = {
      {&big_font_fixture::kBig5,
       nullptr,
       MB_Code_Page::kUnknown,
       {"\xC3\xE6", "\\U+9762", "\\M+2ADB1"},
       0xADB1,
       false},                                                                                               // 面
      {&big_font_fixture::kBig5, nullptr, MB_Code_Page::kUnknown, {"\xC3\xF7", "\\U+660E"}, 0xA9FA, true},   // 明
      {&big_font_fixture::kBig5, nullptr, MB_Code_Page::kUnknown, {"\xD6\xD0", "\\U+4E2D"}, 0xA4A4, false},  // 中
      {&big_font_fixture::kShiftJis,
       nullptr,
       MB_Code_Page::kUnknown,
       {"\x89\xE4", "\\U+5909", "\\M+195CF"},
       0x95CF,
       false},                                                                                                  // 変
      {&big_font_fixture::kShiftJis, nullptr, MB_Code_Page::kUnknown, {"\xE4\x93", "\\U+92FC"}, 0x8D7C, true},  // 鋼
      {&big_font_fixture::kKorean,
       "whgtxt.shx",
       MB_Code_Page::kUnknown,
       {"\\U+B3C4", "\\M+3B5B5", "\\m+495a1"},
       0xB5B5,
       false},                                                                                         // 도
      {&big_font_fixture::kKorean, "whgtxt.shx", MB_Code_Page::kUnknown, {"\\U+D55C"}, 0xC7D1, true},  // 한
      {&big_font_fixture::kKorean, "whgtxt.shx", MB_Code_Page::kUnknown, {"\xD6\xD0", "\\U+4E2D"}, 0xF1E9, false},
      {&big_font_fixture::kKorean, nullptr, MB_Code_Page::kKorean, {"\\U+B3C4", "\\u+b3c4"}, 0xB5B5, false},
      {&big_font_fixture::kGbk, nullptr, MB_Code_Page::kUnknown, {"\xD6\xD0", "\\U+4E2D", "\\M+5D6D0"}, 0xD6D0, true},
      {&big_font_fixture::kGbk, "gbcbig.shx", MB_Code_Page::kBig5, {"\xD6\xD0", "\\U+4E2D"}, 0xD6D0, false},
  };
  for (const Case& c : cases) {
    std::unique_ptr<MB_Shx_Library> big = font(*c.fixture, c.name);
    text_.text_style().big_font_lib(big.get());
    text_.text_style().drawing_code_page(c.drawing);
    const std::vector<As_Pt> expected = glyph(*big, c.code);
    for (const std::string& t : c.texts) EXPECT_TRUE(same(points(t), expected)) << c.fixture->file << " " << t;
    if (c.pictured) {
      points(c.texts[0]);
      qm_keep_picture({&text_}, 240, 160, big_font_fixture::picture(*c.fixture, "api"));
    }
    // The code page of the style's drawing travels with copies of the style.
    MB_Text_Style copy;
    text_.text_style().copy_to(copy);
    EXPECT_EQ(copy.drawing_code_page(), c.drawing);
  }
  // A big font given as shape source reads its ranges alike.
  MB_Shp_Library source;
  ASSERT_TRUE(source.load_text(big_font_fixture::kShiftJis.source));
  text_.text_style().big_font_lib(&source);
  text_.text_style().drawing_code_page(MB_Code_Page::kUnknown);
  EXPECT_TRUE(same(points("\x89\xE4"), glyph(source, 0x95CF)));
  text_.text_style().big_font_lib(static_cast<MB_Font_Library*>(nullptr));
}

// A character the big font's code page lacks (Hangul beside a GBK big font)
// draws from an installed face, never the glyph of its Unicode number in
// the big font or the main font; so does the euro sign, byte 0x80 of code
// page 936.
TEST_F(BigFontText, CharactersTheCodePageLacksDrawFromAFaceAndTheEuroSignDraws) {
  std::unique_ptr<MB_Shx_Library> big = font(big_font_fixture::kGbk);
  text_.text_style().big_font_lib(big.get());
  const std::vector<As_Pt> circle = glyph(*big, 0xB3C4);
  const std::vector<As_Pt> hangul = points("\\U+B3C4");
  EXPECT_FALSE(same(hangul, circle));
  EXPECT_GT(hangul.size(), 12u) << "an outline of a face, not a box";
  // Nor does a main font of GBK codes draw it by its Unicode number.
  MB_Shx_Library gbk_main;
  const std::vector<uint8_t> bytes = font_test::shapes_font(8, 2, {{0xB3C4, "", {1, 0x84, 0}}});
  ASSERT_TRUE(gbk_main.load_shx_bytes(bytes.data(), bytes.size()));
  text_.text_style().font_lib(&gbk_main);
  EXPECT_TRUE(same(points("\\U+B3C4"), hangul));
  text_.text_style().font_lib(&main_);
  const std::vector<As_Pt> euro = points("\x80");
  EXPECT_TRUE(same(euro, points("\\U+20AC")));
  EXPECT_GT(euro.size(), 12u) << "an outline of a face, not a box";
  text_.text_style().big_font_lib(static_cast<MB_Font_Library*>(nullptr));
  // A TrueType style draws it as well.
  MB_TTF_Library face("DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  text_.text_style().font_lib(&face);
  const std::vector<As_Pt> outline = points("\x80");
  EXPECT_TRUE(same(outline, points("\\U+20AC")));
  EXPECT_GT(outline.size(), 12u) << "an outline, not a box";
  text_.text_style().font_lib(&main_);
}

// A big font that lacks a character says so in the kernel's log, once per
// code and font however often the character is drawn.
TEST_F(BigFontText, AFailedLookUpIsLoggedOncePerCode) {
  std::unique_ptr<MB_Shx_Library> big = font(big_font_fixture::kBig5, "chineset.shx");
  text_.text_style().big_font_lib(big.get());
  char old[PATH_MAX];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  const std::string log_file = path("kzf.log");
  for (int i = 0; i < 3; ++i)
    points("\xB0\xA1\xB0\xA1\\U+B3C4");  // 啊 (Big5 B0DA, which the font lacks), 도 (no Big5 code)
  std::ifstream in(log_file);
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(chdir(old), 0);
  auto count = [&log](const std::string& what) {
    size_t n = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("Big font lookup failed:"), 2u) << log;
  EXPECT_EQ(count("chineset.shx"), 2u) << log;
  EXPECT_EQ(count("has no code 0xB0DA (U+554A in code page 950)"), 1u) << log;
  EXPECT_EQ(count("code page 950 has no double-byte code for U+B3C4"), 1u) << log;
  text_.text_style().big_font_lib(static_cast<MB_Font_Library*>(nullptr));
}

}  // namespace
