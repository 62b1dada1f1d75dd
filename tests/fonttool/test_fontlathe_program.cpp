// The fontlathe program from a shell: the dialog without arguments ends on
// its own headless, and the command line decompiles, prints one code's source
// or draws a preview picture, with its exit status and messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "fonttool/shp_writer.h"
#include "tests/data_paths.h"
#include "tests/fonttool/shx_builder.h"
#include "tests/support/program_run.h"

using namespace shxtest;

namespace {

const Bytes kFont = ShapesFont({{0, "FONT", {8, 2, 0, 0}}, {65, "A", {1, 0x4C, 0x40, 0}}});
const std::string kPng = "\x89PNG\r\n\x1a\n";

program_test::Outcome RunFontlathe(const std::string& dir, const std::vector<std::string>& args) {
  return program_test::run(FONTLATHE, args, dir, "", 20);
}

std::set<std::pair<std::string, std::string>> Contents(const std::string& dir) {
  std::set<std::pair<std::string, std::string>> files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    files.emplace(e.path().filename().string(), read_all(e.path()));
  return files;
}

}  // namespace

TEST(FontlatheProgram, WithoutArgumentsTheDialogRunsAndEnds) {
  ScratchDir dir;
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"--dialog"}}) {
    program_test::Outcome r = RunFontlathe(dir.File(""), args);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
  }
  EXPECT_TRUE(Contents(dir.File("")).empty());
}

TEST(FontlatheProgram, UsageErrorsChangeNothing) {
  ScratchDir dir;
  dir.Write("font.shx", kFont);
  const auto before = Contents(dir.File(""));
  const struct {
    std::vector<std::string> args;
    std::string says;
  } cases[] = {
      {{"font.shx"}, "missing the output file"},
      {{"-c", "font.shx"}, "missing the code"},
      {{"-g", "font.shx", "41"}, "missing the picture file"},
      {{"-t", "font.shx"}, "missing the text and the picture file"},
      {{"-g"}, "missing the font file, the code and the picture file"},
      {{"-g", "font.shx", "zz", "a.png"}, "invalid code 'zz' (hexadecimal, 0 to ffff)"},
      {{"-c", "font.shx", "12345"}, "invalid code '12345' (hexadecimal, 0 to ffff)"},
      {{"-b", "big.shx", "font.shx", "out.shp"}, "'-b' goes only with '-t'"},
      {{"-t", "-b"}, "'-b' needs the big font file"},
      {{"-t", "-b", "", "font.shx", "Hi", "a.png"}, "the big font file name is empty"},
      {{"-c", "-t", "font.shx", "Hi", "a.png"}, "'-t' cannot go with '-c'"},
      {{"--dialog", "font.shx"}, "'--dialog' takes no other arguments"},
      {{"-x"}, "unknown option '-x'"},
      {{"font.shx", "out.shp", "more"}, "too many arguments: 'more'"},
      {{"", "out.shp"}, "the font file name is empty"},
      {{"font.shx", ""}, "the output file name is empty"},
      {{"-t", "font.shx", "Hi", ""}, "the picture file name is empty"},
  };
  for (const auto& c : cases) {
    program_test::Outcome r = RunFontlathe(dir.File(""), c.args);
    EXPECT_EQ(r.status, 2) << c.says;
    EXPECT_EQ(r.out, "") << c.says;
    EXPECT_EQ(r.err.rfind("fontlathe: " + c.says + "\n", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("\nusage: fontlathe "), std::string::npos) << c.says;
    EXPECT_EQ(Contents(dir.File("")), before) << c.says;
  }
  program_test::Outcome help = RunFontlathe(dir.File(""), {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: fontlathe [--dialog] [--headless]\n", 0), 0u);
  EXPECT_EQ(RunFontlathe(dir.File(""), {"--version"}).out, "fontlathe 2.02\n");
}

TEST(FontlatheProgram, DecompilesAndPrintsASource) {
  ScratchDir dir;
  dir.Write("font.shx", kFont);
  program_test::Outcome r = RunFontlathe(dir.File(""), {"font.shx", "font.shp"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "*\nDecompiled OK!\nThanks for use!\n");
  EXPECT_EQ(read_all(dir.File("font.shp")), "*0,4,FONT\r\n8,2,0,0\r\n*65,4,A\r\n1,04c,040,0\r\n");
  r = RunFontlathe(dir.File(""), {"-c", "font.shx", "41"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "*65,4,A\n1,04c,040,0\n");
  // Failures keep the decompiler's status 1 and its message, on standard
  // error (a source redirected to a file never holds one); the font stays.
  r = RunFontlathe(dir.File(""), {"font.shx", "./font.shx"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n");
  EXPECT_EQ(r.err, "fontlathe: Cannot open ./font.shx for write! (it is the input font)\n");
  EXPECT_EQ(read_all(dir.File("font.shx")), std::string(kFont.begin(), kFont.end()));
  r = RunFontlathe(dir.File(""), {"-c", "font.shx", "42"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "fontlathe: Cannot find code   42 in font.shx\n");
}

TEST(FontlatheProgram, DrawsPreviewPictures) {
  ScratchDir dir;
  dir.Write("font.shx", kFont);
  const std::string big =
      dir.Write("big.shx", BigFont({{0, "BIG", {8, 2, 0, 0}}, {0xA1A2, "", {1, 0x8C, 0x80, 0}}}, {0xA1, 0xA1}));
  struct Case {
    std::vector<std::string> args;
    const char* picture;
  } cases[] = {
      {{"-g", "font.shx", "41", "code.png"}, "code.png"},
      {{"-t", "font.shx", "AAA", "text.png"}, "text.png"},
      {{"-t", "big.shx", "\xA1\xA2", "alone.png"}, "alone.png"},
      {{"-t", "-b", "big.shx", "big.shx", "\xA1\xA2", "itself.png"}, "itself.png"},
  };
  for (const Case& c : cases) {
    program_test::Outcome r = RunFontlathe(dir.File(""), c.args);
    EXPECT_EQ(r.status, 0) << c.picture << r.err;
    EXPECT_EQ(r.out + r.err, "") << c.picture;
    EXPECT_EQ(read_all(dir.File(c.picture)).substr(0, 8), kPng) << c.picture;
  }
  // Without a big font the double-byte characters come from the font itself.
  EXPECT_EQ(read_all(dir.File("alone.png")), read_all(dir.File("itself.png")));
  EXPECT_NE(read_all(dir.File("code.png")), read_all(dir.File("text.png")));
  // A font that cannot be read, or a picture over a font: status 1, nothing
  // written, the font intact.
  const auto before = Contents(dir.File(""));
  program_test::Outcome r = RunFontlathe(dir.File(""), {"-g", "none.shx", "41", "none.png"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "fontlathe: Cannot open none.shx for read! (No such file or directory)\n");
  r = RunFontlathe(dir.File(""), {"-t", "-b", "big.shx", "font.shx", "A", "big.shx"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "fontlathe: cannot write big.shx (it is the font big.shx)\n");
  EXPECT_EQ(Contents(dir.File("")), before);
  // A broken big font is named, not the sound main font.
  dir.Write("broken.shx", Bytes{'h', 'i', '\n'});
  r = RunFontlathe(dir.File(""), {"-t", "-b", "broken.shx", "font.shx", "A", "broken.png"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("fontlathe: Get height data ERROR! (broken.shx: ", 0), 0u) << r.err;
  EXPECT_EQ(r.err.find("font.shx"), std::string::npos) << r.err;
}

// The real unifonts decompile through the program as through the decompiler.
TEST(FontlatheProgram, DecompilesTheRealUnifonts) {
  for (const char* name : {"iso3098", "kst32b"}) {
    const std::string font = test_data::shared_font(std::string(name) + ".shx");
    QM_SKIP_WITHOUT(font);
    ScratchDir dir;
    std::string message;
    ASSERT_TRUE(fontlathe::DecompileFontFile(font.c_str(), dir.File("direct.shp").c_str(), message));
    program_test::Outcome r = RunFontlathe(dir.File(""), {font, "out.shp"});
    EXPECT_EQ(r.status, 0) << name << r.err;
    EXPECT_EQ(r.out, "\nDecompiled OK!\nThanks for use!\n") << name;
    EXPECT_EQ(read_all(dir.File("out.shp")), read_all(dir.File("direct.shp"))) << name;
  }
}
