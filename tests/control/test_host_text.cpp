// Text in the container: on a machine without a CJK face a character no
// installed font has shows a box in its cell, the others still draw, and the
// log names the character once; texts made in the control draw the same
// after their drawing is saved and opened again.
#include <gtest/gtest.h>
#include <ximage.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/data_paths.h"
#include "tests/fonts/font_builder.h"
#include "tests/support/program_run.h"
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
  // To look at them: with QM_TEST_PICTURES naming a folder, the pictures
  // before saving and after opening again are kept there.
  if (const char* keep = std::getenv("QM_TEST_PICTURES"))
    for (const char* picture : {"made.png", "saved.qlf.png", "saved.kzf.png"})
      std::system(("cp '" + dir + "/" + picture + "' '" + keep + "/texts_" + picture + "'").c_str());
  unsetenv("QM_KERNEL_DIR");
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
