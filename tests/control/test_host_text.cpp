// Text in the container: on a machine without a CJK face a character no
// installed font has shows a box in its cell, the others still draw, and the
// log names the character once; texts made in the control draw the same
// after their drawing is saved and opened again.
#include <gtest/gtest.h>
#include <ximage.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "database/fonts/mb_shx_library.h"
#include "tests/data_paths.h"
#include "tests/fonts/font_builder.h"
#include "tests/support/big_font_fixtures.h"
#include "tests/support/program_run.h"
#include "tests/support/test_pictures.h"
#include "tests/support/test_temp.h"

namespace {

// White pixels of a picture: the text on the view's black.
int white_pixels(CxImage& picture) {
  int lit = 0;
  for (long y = 0; y < static_cast<long>(picture.GetHeight()); ++y)
    for (long x = 0; x < static_cast<long>(picture.GetWidth()); ++x)
      lit += picture.GetPixelColor(x, y) == RGB(255, 255, 255);
  return lit;
}

TEST(HostText, WithoutACjkFaceMissingCharactersShowBoxesAndAreNamedOnce) {
  const std::string dir = qm_test_temp("host_text");
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
  const char* dejavu = "/usr/share/fonts/truetype/dejavu";
  if (!std::ifstream(std::string(dejavu) + "/DejaVuSans.ttf")) GTEST_SKIP() << "DejaVu Sans is not installed";
  // Fontconfig sees DejaVu only: no face has U+6C49 (汉), which the
  // kernel's unifont lacks too.
  std::ofstream(dir + "/fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << dejavu << "</dir><cachedir>"
                                     << dir << "/cache</cachedir></fontconfig>\n";
  // "A 汉 汉 Z" twice, in UTF-8 as scripts are.
  std::ofstream(dir + "/text.script")
      << "call CreateText \"A \xE6\xB1\x89 \xE6\xB1\x89 Z\" 0 0 \"Standard\" 0 10 1 0\n"
         "call CreateText \"A \xE6\xB1\x89 \xE6\xB1\x89 Z\" 0 -20 \"Standard\" 0 10 1 0\n"
         "call ZoomAll\n";
  setenv("FONTCONFIG_FILE", (dir + "/fonts.conf").c_str(), 1);
  setenv("QM_REGISTRY", QM_BUILD_REGISTRY, 0);  // the container finds the control in the build tree's registry
  program_test::Outcome r =
      program_test::run(QM_HOST_PROGRAM, {"--headless", "--script", "text.script", "--screenshot", "text.png"}, dir);
  unsetenv("FONTCONFIG_FILE");
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string says = "no installed font has a glyph for U+6C49";
  const size_t at = r.err.find(says);
  EXPECT_NE(at, std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(says, at + 1), std::string::npos) << "said once: " << r.err;
  CxImage picture;
  ASSERT_TRUE(picture.Load((dir + "/text.png").c_str(), CXIMAGE_FORMAT_PNG));
  EXPECT_GT(white_pixels(picture), 1000) << "the boxes and letters show";
  std::system(("rm -rf '" + dir + "'").c_str());
}

// Texts made with CreateText in a shape font's style, a unifont's with a big
// font, a TrueType face's and a style the drawing lacks (the fallback style),
// saved with the save button as both native kinds, show pixel for pixel as
// they showed when each file is opened again in a new container.
TEST(HostText, TextsInEveryStyleKindDrawTheSameAfterSavingAndOpening) {
  if (!std::ifstream("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")) GTEST_SKIP() << "DejaVu Sans is not installed";
  const std::string dir = qm_test_temp("reopen_text");
  const std::string kernel = dir + "/kernel";
  ASSERT_EQ(std::system(("mkdir -p '" + kernel + "/fonts'").c_str()), 0);
  // A kernel folder of the test's own whose fonts folder holds the fonts the
  // styles name (so a new container finds them by name as the first did);
  // the rest is the build tree's.
  const std::string bin = std::string(QM_HOST_PROGRAM).substr(0, std::string(QM_HOST_PROGRAM).rfind('/'));
  for (const char* shared : {"support", "pictures"})
    ASSERT_EQ(std::system(("ln -s '" + bin + "/" + shared + "' '" + kernel + "/" + shared + "'").c_str()), 0);
  ASSERT_EQ(std::system(("cp '" + test_data::repo_font("kst32b.shx") + "' '" + kernel + "/fonts/'").c_str()), 0);
  const auto write = [](const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  // 'A' and 'B' in the shape font; GBK 0xB0A1 (U+554A) in the big font.
  write(
      kernel + "/fonts/qmshapes.shx",
      font_test::shapes_font(8, 2, {{65, "A", {1, 0x14, 0x44, 2, 0x10, 0}}, {66, "B", {1, 12, 4, 4, 60, 2, 0x40, 0}}}));
  write(kernel + "/fonts/qmbig.shx", font_test::big_font(8, 2, {{0xB0A1, "", {1, 0x12, 0x1E, 2, 0x20, 0}}}));
  std::ofstream(dir + "/styles.dxf") << "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n70\n3\n"
                                        "0\nSTYLE\n2\nShape\n70\n0\n40\n0\n3\nqmshapes.shx\n"
                                        "0\nSTYLE\n2\nUni\n70\n0\n40\n0\n3\nkst32b.shx\n4\nqmbig.shx\n"
                                        "0\nSTYLE\n2\nSans\n70\n0\n40\n0\n3\nDejaVuSans.ttf\n"
                                        "0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
                                        "0\nLINE\n8\n0\n10\n-10\n20\n-80\n11\n120\n21\n20\n0\nENDSEC\n0\nEOF\n";
  std::ofstream(dir + "/make.script") << "call CreateText \"AB\" 0 0 \"Shape\" 0 12 1 0\n"
                                         "call CreateText \"A\xE5\x95\x8A\" 0 -20 \"Uni\" 0 12 1 0\n"
                                         "call CreateText \"Hg\" 0 -40 \"Sans\" 0 12 1 0\n"
                                         "call CreateText \"AB\" 0 -60 \"NoSuchStyle\" 0 12 1 0\n"
                                         "call ZoomAll\n"
                                         "answer file \"saved.qlf\"\ncommand 32781\n"
                                         "answer file \"saved.kzf\"\ncommand 32781\n";
  std::ofstream(dir + "/zoom.script") << "call ZoomAll\n";
  setenv("QM_KERNEL_DIR", kernel.c_str(), 1);
  setenv("QM_REGISTRY", QM_BUILD_REGISTRY, 0);
  program_test::Outcome made = program_test::run(
      QM_HOST_PROGRAM, {"--headless", "--script", "make.script", "--screenshot", "made.png", "styles.dxf"}, dir);
  EXPECT_EQ(made.status, 0) << made.err;
  CxImage before;
  ASSERT_TRUE(before.Load((dir + "/made.png").c_str(), CXIMAGE_FORMAT_PNG));
  EXPECT_GT(white_pixels(before), 500) << "the texts show";
  for (const char* saved : {"saved.qlf", "saved.kzf"}) {
    SCOPED_TRACE(saved);
    const std::string picture = std::string(saved) + ".png";
    program_test::Outcome again = program_test::run(
        QM_HOST_PROGRAM, {"--headless", "--script", "zoom.script", "--screenshot", picture, saved}, dir);
    EXPECT_EQ(again.status, 0) << again.err;
    CxImage after;
    ASSERT_TRUE(after.Load((dir + "/" + picture).c_str(), CXIMAGE_FORMAT_PNG));
    ASSERT_EQ(after.GetWidth(), before.GetWidth());
    ASSERT_EQ(after.GetHeight(), before.GetHeight());
    long differing = 0;
    for (long y = 0; y < static_cast<long>(before.GetHeight()); ++y)
      for (long x = 0; x < static_cast<long>(before.GetWidth()); ++x)
        differing += before.GetPixelColor(x, y) != after.GetPixelColor(x, y);
    EXPECT_EQ(differing, 0);
  }
  // To look at them: the pictures before saving and after opening again,
  // kept as texts_made, texts_saved.qlf and texts_saved.kzf.
  for (const char* picture : {"made", "saved.qlf", "saved.kzf"})
    qm_keep_picture_file(dir + "/" + picture + ".png", std::string("texts_") + picture);
  unsetenv("QM_KERNEL_DIR");
  std::system(("rm -rf '" + dir + "'").c_str());
}

// The pixels of a picture other than the background's colour.
std::set<std::pair<long, long>> painted(CxImage& picture, COLORREF background) {
  std::set<std::pair<long, long>> out;
  for (long y = 0; y < static_cast<long>(picture.GetHeight()); ++y)
    for (long x = 0; x < static_cast<long>(picture.GetWidth()); ++x)
      if (picture.GetPixelColor(x, y) != background) out.insert({x, y});
  return out;
}

// Each fixture's character, written in UTF-8 as scripts are, made with
// CreateText in a style of its big font, paints the big font's own glyph
// for the character's code in the font's code page: the control's picture
// of the text and its picture of the glyph's strokes, made as lines in the
// text's place, are the same pixels.
TEST(HostText, CreateTextDrawsTheGlyphsInTheBigFontsCodePage) {
  const std::string dir = qm_test_temp("big_font_host");
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
  const std::string main = dir + "/main.shx";
  ASSERT_TRUE(big_font_fixture::write_compiled(big_font_fixture::kMainSource, main));
  setenv("QM_REGISTRY", QM_BUILD_REGISTRY, 0);
  // An area 16 units square around the text's one glyph, at 10 pixels a unit.
  const std::string area = " 96 62 112 46 160 160 0 0\n";
  for (const big_font_fixture::Character& c : big_font_fixture::kCharacters) {
    SCOPED_TRACE(c.fixture->file);
    const std::string big = dir + "/" + c.fixture->file;
    ASSERT_TRUE(big_font_fixture::write_compiled(c.fixture->source, big));
    std::ofstream(dir + "/styles.dxf") << big_font_fixture::style_dxf("AC1015", c.dxf_code_page, "BIG", main, big, "");
    MB_Shx_Library font(big.c_str());
    const big_font_fixture::Glyph glyph = big_font_fixture::glyph(font, c.code, As_Pt(100, 50, 0), 10, 1);
    ASSERT_FALSE(glyph.counts.empty());
    std::ostringstream script;
    script.precision(17);
    script << "call text=CreateText \"" << c.utf8 << "\" 100 50 \"BIG\" 0 10 1 0\n"
           << "call ExportRectImage \"text.png\"" << area << "call DeleteObject $text\n";
    size_t at = 0;
    for (unsigned long n : glyph.counts) {
      std::ostringstream xs, ys;
      xs.precision(17);
      ys.precision(17);
      for (unsigned long i = 0; i < n; ++i, ++at) {
        xs << (i ? "," : "") << glyph.points[at].x();
        ys << (i ? "," : "") << glyph.points[at].y();
      }
      script << "call CreateLines [" << xs.str() << "] [" << ys.str() << "] " << n << "\n";
    }
    script << "call ExportRectImage \"glyph.png\"" << area;
    std::ofstream(dir + "/glyph.script") << script.str();
    // The last fixture's pictures never pass for this one's.
    for (const char* picture : {"/text.png", "/glyph.png"}) std::remove((dir + picture).c_str());
    program_test::Outcome r =
        program_test::run(QM_HOST_PROGRAM, {"--headless", "--script", "glyph.script", "styles.dxf"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    CxImage text, strokes;
    ASSERT_TRUE(text.Load((dir + "/text.png").c_str(), CXIMAGE_FORMAT_PNG)) << r.err;
    ASSERT_TRUE(strokes.Load((dir + "/glyph.png").c_str(), CXIMAGE_FORMAT_PNG)) << r.err;
    const auto glyph_pixels = painted(strokes, RGB(0, 0, 0));
    EXPECT_GT(glyph_pixels.size(), 100u) << "the glyph's strokes show";
    EXPECT_EQ(painted(text, RGB(0, 0, 0)), glyph_pixels);
    qm_keep_picture_file(dir + "/text.png", big_font_fixture::picture(*c.fixture, "automation"));
  }
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
