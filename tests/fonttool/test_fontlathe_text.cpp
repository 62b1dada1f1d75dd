// The text picture of the fontlathe command line: UTF-8 text drawn by its
// characters, a picture as wide as its text, and --headless in every form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fonttool/tool_dialogs.h"
#include "tests/fonttool/shx_builder.h"
#include "tests/support/program_run.h"

using namespace shxtest;

namespace {

const std::string kKst32b = std::string(QM_SOURCE_DIR) + "/fonts/kst32b.shx";

program_test::Outcome RunFontlathe(const std::string& dir, const std::vector<std::string>& args) {
  return program_test::run(FONTLATHE, args, dir, "", 20);
}

// The width of a PNG picture, from its header; 0 when it is none.
uint32_t PngWidth(const std::string& png) {
  if (png.size() < 24 || png.compare(1, 3, "PNG") != 0) return 0;
  uint32_t w = 0;
  for (int i = 16; i < 20; ++i) w = w << 8 | static_cast<unsigned char>(png[static_cast<size_t>(i)]);
  return w;
}

TEST(FontlatheText, PicturesAreAsWideAsTheirText) {
  ScratchDir dir;
  const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\xE3\x81\x8B\xE3\x81\xAA";  // 中文字かな
  const struct {
    std::string text, picture;
  } cases[] = {{chinese, "short.png"}, {chinese + chinese + chinese + chinese + " and more", "long.png"}};
  uint32_t widths[2] = {};
  for (int i = 0; i < 2; ++i) {
    program_test::Outcome r = RunFontlathe(dir.File(""), {"--headless", "-t", kKst32b, cases[i].text, cases[i].picture});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    widths[i] = PngWidth(read_all(dir.File(cases[i].picture)));
  }
  EXPECT_EQ(widths[0], static_cast<uint32_t>(fontlathe::CanvasSize().cx))
      << "a short text keeps the preview area's width";
  // 25 full-width characters and 9 half-width ones at 28.8 pixels tall.
  EXPECT_GT(widths[1], 25 * 28u);
  EXPECT_LT(widths[1], 25 * 30u + 9 * 16u + 8);
}

TEST(FontlatheText, HeadlessGoesWithEveryForm) {
  ScratchDir dir;
  dir.Write("font.shx", ShapesFont({{0, "FONT", {8, 2, 0, 0}}, {65, "A", {1, 0x4C, 0x40, 0}}}));
  const std::vector<std::vector<std::string>> forms = {{"font.shx", "font.shp"},
                                                       {"-c", "font.shx", "41"},
                                                       {"-g", "font.shx", "41", "g.png"},
                                                       {"-t", "font.shx", "A A", "t.png"}};
  for (const std::vector<std::string>& form : forms) {
    std::vector<std::string> args = form;
    args.insert(args.begin() + 1, "--headless");
    program_test::Outcome r = RunFontlathe(dir.File(""), args);
    EXPECT_EQ(r.status, 0) << form[0] << r.err;
    EXPECT_EQ(r.err, "") << form[0];
  }
}

}  // namespace
