// The kernel and the font tool's preview draw a text with a main font and a
// big font alike: the same glyphs, from the same codes of the big font's own
// code page, at the same scale.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "database/entities/mb_text.h"
#include "database/fonts/mb_shx_library.h"
#include "database/nodes/mb_draw_node.h"
#include "fonttool/shape_interpreter.h"
#include "tests/support/big_font_fixtures.h"
#include "tests/support/test_temp.h"

namespace {

using big_font_fixture::Fixture;

// Every segment's ends, in canvas pixels.
class EndsCanvas : public fontlathe::ShapeCanvas {
 public:
  void DrawSegment(int x0, int y0, int x1, int y1) override {
    ends.push_back({double(x0), double(y0)});
    ends.push_back({double(x1), double(y1)});
  }
  std::vector<std::pair<double, double>> ends;
};

// Whether every point of `a` lies within a pixel of a point of `b`.
bool near_all(const std::vector<std::pair<double, double>>& a, const std::vector<std::pair<double, double>>& b) {
  for (const auto& p : a) {
    bool found = false;
    for (const auto& q : b)
      found = found || (std::fabs(p.first - q.first) <= 1.0 && std::fabs(p.second - q.second) <= 1.0);
    if (!found) return false;
  }
  return true;
}

// The points of a text at (3, 0) of height `height` in the fonts, in canvas
// pixels of a canvas whose baseline is `baseline` (y down); empty when it
// draws nothing.
std::vector<std::pair<double, double>> kernel_points(const char* gbk, MB_Font_Library* main, MB_Font_Library* big,
                                                     double height, double baseline) {
  MB_Text text(As_Pt(3, 0, 0), MB_String(gbk));
  text.text_style().font_lib(main);
  if (big) text.text_style().big_font_lib(big);
  text.text_style().height(height);
  text.text_style().width_scale(1);
  text.build_draw();
  std::vector<std::pair<double, double>> out;
  auto* node = static_cast<MB_Draw_Lines_Sets*>(text.draw_node());
  for (unsigned long i = 0; node && i < node->pts_count(); ++i)
    out.push_back({node->points()[i].x(), baseline - node->points()[i].y()});
  return out;
}

TEST(InterpretersAgree, TextsWithBigFontsDrawTheSameGlyphsAtTheSameScale) {
  const std::string dir = qm_test_temp("interpreters_agree");
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  std::vector<std::string> files = {dir + "/main.shx", dir + "/unifont.shx"};
  ASSERT_TRUE(big_font_fixture::write_compiled(big_font_fixture::kMainSource, files[0]));
  ASSERT_TRUE(big_font_fixture::write_compiled(big_font_fixture::kUnifontMainSource, files[1]));
  MB_Shx_Library shapes(files[0].c_str()), unifont(files[1].c_str());
  struct Case {
    bool unifont;  // the main font: the unifont, else the shape font
    const Fixture* fixture;
    const char* name;  // the file name, when not the fixture's own
    const char* gbk;   // the text for the kernel: GBK and escapes
    const char* utf8;  // the same for the font tool
  } cases[] = {
      {false, &big_font_fixture::kBig5, nullptr, "A\xC3\xE6\xC3\xF7\xD6\xD0", "A\xE9\x9D\xA2\xE6\x98\x8E\xE4\xB8\xAD"},
      {false, &big_font_fixture::kShiftJis, nullptr,
       "\x89\xE4\xE4\x93"
       "A\xD6\xD0",
       "\xE5\xA4\x89\xE9\x8B\xBC"
       "A\xE4\xB8\xAD"},
      {false, &big_font_fixture::kKorean, "whgtxt.shx", "\\U+B3C4\\U+D55CA",
       "\xEB\x8F\x84\xED\x95\x9C"
       "A"},
      {false, &big_font_fixture::kGbk, nullptr,
       "\xD6\xD0"
       "A",
       "\xE4\xB8\xAD"
       "A"},
      {false, &big_font_fixture::kCell, nullptr,
       "A\xD6\xD0"
       "A",
       "A\xE4\xB8\xAD"
       "A"},
      {true, &big_font_fixture::kCell, nullptr,
       "A\xD6\xD0"
       "A",
       "A\xE4\xB8\xAD"
       "A"},
      {true, &big_font_fixture::kBig5, nullptr, "A\xC3\xE6", "A\xE9\x9D\xA2"},
  };
  const double height = 16, baseline = 100;
  for (const Case& c : cases) {
    files.push_back(dir + "/" + (c.name ? c.name : c.fixture->file));
    ASSERT_TRUE(big_font_fixture::write_compiled(c.fixture->source, files.back()));
    MB_Shx_Library big(files.back().c_str());
    const std::vector<std::pair<double, double>> kernel =
        kernel_points(c.gbk, c.unifont ? &unifont : &shapes, &big, height, baseline);
    ASSERT_FALSE(kernel.empty());

    EndsCanvas tool;
    double x = 3, y = baseline;
    std::string message;
    const std::string& main = c.unifont ? files[1] : files[0];
    ASSERT_TRUE(fontlathe::PreviewText(main.c_str(), files.back().c_str(), c.utf8, &message, &x, &y,
                                       fontlathe::CharacterStyle(), height, &tool, fontlathe::TextEncoding::kUtf8))
        << message;
    ASSERT_FALSE(tool.ends.empty());
    EXPECT_TRUE(near_all(tool.ends, kernel))
        << c.fixture->file << c.unifont << ": the tool draws what the kernel does not";
    EXPECT_TRUE(near_all(kernel, tool.ends))
        << c.fixture->file << c.unifont << ": the kernel draws what the tool does not";
  }
  for (const std::string& f : files) std::remove(f.c_str());
  rmdir(dir.c_str());
}

// The font tool's code view draws a big font's glyph at the scale the
// kernel draws it, whether the font gives a height above the baseline or
// only its cell.
TEST(InterpretersAgree, TheCodeViewSizesBigFontGlyphsAsTheKernelDoes) {
  const std::string dir = qm_test_temp("code_view_agrees");
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  const struct {
    const Fixture* fixture;
    const char* hex;
    uint32_t code;
  } cases[] = {
      {&big_font_fixture::kCell, "d6d0", 0xD6D0},  // no height: sized by its cell
      {&big_font_fixture::kBig5, "0ADB1", 0xADB1},
      {&big_font_fixture::kGbk, "B3C4", 0xB3C4},
  };
  const double height = 16, baseline = 100;
  for (const auto& c : cases) {
    const std::string path = dir + "/" + c.fixture->file;
    ASSERT_TRUE(big_font_fixture::write_compiled(c.fixture->source, path));
    MB_Shx_Library big(path.c_str());
    std::vector<unsigned long> counts;
    std::vector<As_Pt> points;
    As_Pt pen(3, 0, 0);
    ASSERT_TRUE(big.char_2_ptsets(c.code, counts, points, pen, height, 1, false, 0)) << c.hex;
    std::vector<std::pair<double, double>> kernel;
    for (const As_Pt& p : points) kernel.push_back({p.x(), baseline - p.y()});

    EndsCanvas tool;
    double x = 3, y = baseline;
    std::string message;
    ASSERT_TRUE(
        fontlathe::DrawCodeView(path.c_str(), c.hex, message, &x, &y, fontlathe::CharacterStyle(), height, &tool))
        << message;
    ASSERT_FALSE(tool.ends.empty());
    EXPECT_TRUE(near_all(tool.ends, kernel)) << c.fixture->file << ": the code view draws what the kernel does not";
    EXPECT_TRUE(near_all(kernel, tool.ends)) << c.fixture->file << ": the kernel draws what the code view does not";
    std::remove(path.c_str());
  }
  rmdir(dir.c_str());
}

// A glyph whose pen ends off the baseline (B ends 4 of its 8 units up)
// moves the glyphs after it there, in both interpreters: the next glyph
// starts where the pen ended.
TEST(InterpretersAgree, TheNextGlyphStartsWhereThePenEnded) {
  const std::string dir = qm_test_temp("pen_end_agrees");
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  const std::string path = dir + "/raised.shx";
  ASSERT_TRUE(big_font_fixture::write_compiled(
      "*0,4,RAISED\n8,2,0,0\n*65,7,A\n1,084,2,8,(4,-8),0\n*66,7,B\n1,084,2,8,(2,-4),0\n", path));
  MB_Shx_Library font(path.c_str());
  const double height = 16, baseline = 100;
  const std::vector<std::pair<double, double>> kernel = kernel_points("BAB", &font, nullptr, height, baseline);
  // Each glyph's stroke is 16 pixels tall and starts 8 pixels above the
  // last one's start, 4 units (8 pixels) further across.
  const std::vector<std::pair<double, double>> expected = {{3, 100}, {3, 84}, {7, 92}, {7, 76}, {15, 92}, {15, 76}};
  ASSERT_EQ(kernel.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(kernel[i].first, expected[i].first, 1e-9) << "point " << i;
    EXPECT_NEAR(kernel[i].second, expected[i].second, 1e-9) << "point " << i;
  }
  EndsCanvas tool;
  double x = 3, y = baseline;
  std::string message;
  ASSERT_TRUE(fontlathe::PreviewText(path.c_str(), path.c_str(), "BAB", &message, &x, &y, fontlathe::CharacterStyle(),
                                     height, &tool, fontlathe::TextEncoding::kUtf8))
      << message;
  EXPECT_TRUE(near_all(tool.ends, kernel)) << "the tool draws what the kernel does not";
  EXPECT_TRUE(near_all(kernel, tool.ends)) << "the kernel draws what the tool does not";
  std::remove(path.c_str());
  rmdir(dir.c_str());
}

}  // namespace
