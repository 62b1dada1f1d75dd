// Text in the container on a machine without a CJK face: a character no
// installed font has shows a box in its cell, the others still draw, and
// the log names the character once.
#include <gtest/gtest.h>
#include <ximage.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/program_run.h"
#include "tests/support/test_temp.h"

namespace {

// White pixels of a picture: the text on the view's black.
int white_pixels(CxImage& picture) {
  int lit = 0;
  for (long y = 0; y < static_cast<long>(picture.GetHeight()); ++y)
    for (long x = 0; x < static_cast<long>(picture.GetWidth()); ++x) lit += picture.GetPixelColor(x, y) == RGB(255, 255, 255);
  return lit;
}

TEST(HostText, WithoutACjkFaceMissingCharactersShowBoxesAndAreNamedOnce) {
  const std::string dir = qm_test_temp("host_text");
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
  const char* dejavu = "/usr/share/fonts/truetype/dejavu";
  if (!std::ifstream(std::string(dejavu) + "/DejaVuSans.ttf")) GTEST_SKIP() << "DejaVu Sans is not installed";
  // Fontconfig sees DejaVu only: no face has U+6C49 (汉), which the
  // kernel's unifont lacks too.
  std::ofstream(dir + "/fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << dejavu
                                     << "</dir><cachedir>" << dir << "/cache</cachedir></fontconfig>\n";
  // "A 汉 汉 Z" twice, in UTF-8 as scripts are.
  std::ofstream(dir + "/text.script") << "call CreateText \"A \xE6\xB1\x89 \xE6\xB1\x89 Z\" 0 0 \"Standard\" 0 10 1 0\n"
                                         "call CreateText \"A \xE6\xB1\x89 \xE6\xB1\x89 Z\" 0 -20 \"Standard\" 0 10 1 0\n"
                                         "call ZoomAll\n";
  setenv("FONTCONFIG_FILE", (dir + "/fonts.conf").c_str(), 1);
  setenv("QM_REGISTRY", QM_BUILD_REGISTRY, 0);  // the container finds the control in the build tree's registry
  program_test::Outcome r = program_test::run(
      QM_HOST_PROGRAM, {"--headless", "--script", "text.script", "--screenshot", "text.png"}, dir);
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

}  // namespace
