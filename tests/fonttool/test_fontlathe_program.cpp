// The fontlathe program from a shell: the dialog without arguments ends on
// its own headless, and the command line decompiles, prints one code's source
// or draws a preview picture, with its exit status and messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <ximage.h>

#include "fonttool/shp_writer.h"
#include "fonttool/tool_dialogs.h"
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

// A PNG picture as top-down rows of 0x00RRGGBB.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Picture LoadPicture(const std::string& path) {
  CxImage image;
  Picture p;
  if (!image.Load(path.c_str(), CXIMAGE_FORMAT_PNG)) return p;
  p.width = static_cast<int>(image.GetWidth()), p.height = static_cast<int>(image.GetHeight());
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const COLORREF c = image.GetPixelColor(x, y);
      p.pixels.push_back(static_cast<uint32_t>(GetRValue(c)) << 16 | static_cast<uint32_t>(GetGValue(c)) << 8 |
                         GetBValue(c));
    }
  return p;
}

TEST(FontlatheProgram, AScriptDrivesTheDialogAndItsPictureShowsTheCanvas) {
  ScratchDir dir;
  dir.Write("font.shx", kFont);
  // Code view, the font and code 41 typed, then run.
  dir.Write("code.txt", TextBytes("press 1005\ntype 1001 \"font.shx\"\ntype 1009 \"41\"  # the code\npress 1008\n"));
  program_test::Outcome r = RunFontlathe(dir.File(""), {"--script", "code.txt", "--screenshot", "dialog.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  r = RunFontlathe(dir.File(""), {"-g", "font.shx", "41", "glyph.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  // The picture is the dialog's client area; the canvas shows the -g
  // picture where the template puts it.
  const Picture shown = LoadPicture(dir.File("dialog.png")), glyph = LoadPicture(dir.File("glyph.png"));
  const QmDialogUnits u = AfxDialogUnits(fontlathe::DialogFont());
  ASSERT_EQ(shown.width, u.x(203));
  ASSERT_EQ(shown.height, u.y(127));
  ASSERT_EQ(glyph.width, fontlathe::CanvasSize().cx);
  ASSERT_EQ(glyph.height, fontlathe::CanvasSize().cy);
  long differing = 0, lit = 0;
  for (int y = 0; y < glyph.height; ++y)
    for (int x = 0; x < glyph.width; ++x) {
      const uint32_t want = glyph.pixels[static_cast<size_t>(y * glyph.width + x)];
      lit += want == 0xFFFFFF;
      differing += shown.pixels[static_cast<size_t>((u.y(fontlathe::kCanvasY) + y) * shown.width +
                                                    u.x(fontlathe::kCanvasX) + x)] != want;
    }
  EXPECT_GT(lit, 8);
  EXPECT_EQ(differing, 0);

  // A script that cannot be read, or is no script: said, and the dialog
  // never shows.
  struct Case {
    const char* script;
    int status;
    std::string says;
  } cases[] = {
      {"none.txt", 1, "fontlathe: none.txt: No such file or directory\n"},
      {"bad.txt", 2, "fontlathe: bad.txt: line 2: unknown step \"fly\"\n"},
      {"gone.txt", 2, "fontlathe: gone.txt: line 1: no window has the item number 4242\n"},
      {"folder", 1, "fontlathe: folder: is a directory\n"},
      {"/dev/null", 1, "fontlathe: /dev/null: is a device, not a regular file\n"},
      {"long.txt", 1, "fontlathe: long.txt: is larger than the 1 MiB a script may have\n"},
  };
  dir.Write("bad.txt", TextBytes("press 1005\nfly 1 2\n"));
  std::filesystem::create_directory(dir.File("folder"));
  dir.Write("long.txt", TextBytes(std::string((1 << 20) + 1, '#')));
  dir.Write("gone.txt", TextBytes("press 4242\n"));
  for (const Case& c : cases) {
    r = RunFontlathe(dir.File(""), {"--script", c.script, "--screenshot", "never.png"});
    EXPECT_EQ(r.status, c.status) << c.script;
    EXPECT_EQ(r.err, c.says);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("never.png")));
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
      {{"--script"}, "'--script' needs a file"},
      {{"--script", "s.txt", "font.shx", "out.shp"}, "'--script' goes only with the dialog"},
      {{"--screenshot", ""}, "the picture file name is empty"},
      {{"--script", "", "--dialog"}, "the script file name is empty"},
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
  EXPECT_EQ(help.out.rfind("usage: fontlathe [--dialog] [--headless] [--script FILE] [--screenshot PICTURE]\n", 0), 0u);
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
