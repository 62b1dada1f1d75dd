// The renderer program as a user meets it: what it refuses, what it never
// destroys, and that every failure says which file and why.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "database/entities/mb_line.h"
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/fileformat/mb_file_io.h"
#include "database/fonts/mb_shx_library.h"
#include "database/mb_drawing.h"
#include "tests/support/program_run.h"

namespace {

using program_test::read_all;
using program_test::Outcome;

const char kPng[] = "\x89PNG";

class Renderer : public testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/qm_render_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { ASSERT_EQ(system(("rm -rf " + dir_).c_str()), 0); }

  Outcome render(const std::vector<std::string>& args, const std::string& stdout_to = "") {
    return program_test::run(QM_RENDER_PROGRAM, args, dir_, stdout_to);
  }
  std::string at(const std::string& name) const { return dir_ + "/" + name; }
  void put(const std::string& name, const std::string& bytes) const {
    FILE* f = std::fopen(at(name).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  bool exists(const std::string& name) const {
    struct stat st;
    return lstat(at(name).c_str(), &st) == 0;
  }
  // A small drawing saved under the name; its bytes.
  std::string drawing(const std::string& name, const char* missing_font = nullptr) {
    MB_Drawing d;
    d.object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(100, 50, 0)));
    MB_Shx_Library font;  // names a font file that is nowhere
    if (missing_font) {
      font.name() = MB_String(missing_font);
      MB_Text_Style* style = new MB_Text_Style();
      style->name("GONE");
      style->font_lib(&font);
      d.text_style_list().add_tail(style);
      MB_Text* text = new MB_Text(As_Pt(10, 10, 0), MB_String("lost"));
      text->init_text_style(style);
      d.object_list().add_tail(text);
    }
    MB_File_IO io;
    io.drawing(&d);
    std::string path = at(name);
    EXPECT_TRUE(io.save_kzf(&path[0])) << io.reason();
    return read_all(path);
  }

  std::string dir_;
};

TEST_F(Renderer, RefusesBadCommandLinesWithUsage) {
  const std::string kzf = drawing("d.kzf");
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"-o", "d.kzf", "d.kzf"}, "unknown image type; name it with one of .bmp, .gif, .tif, .png, .wmf, .jpg, .jpeg"},
      {{"-o", "picture.txt", "d.kzf"}, "cannot write the picture picture.txt: unknown image type"},
      {{"-o", "picture", "d.kzf"}, "unknown image type"},
      {{"-o", "picture.tga", "d.kzf"}, "unknown image type"},
      {{"-o", "", "d.kzf"}, "the picture's name is empty"},
      {{"-o"}, "option -o needs a value"},
      {{"-s", "0x10", "d.kzf"}, "bad picture size '0x10'"},
      {{"-s", "640", "d.kzf"}, "bad picture size '640'"},
      {{"-s", "640x", "d.kzf"}, "bad picture size"},
      {{"-s", "-640x480", "d.kzf"}, "bad picture size"},
      {{"-s", "640x-480", "d.kzf"}, "bad picture size"},
      {{"-s", "1x480", "d.kzf"}, "bad picture size"},
      {{"-s", "32768x2", "d.kzf"}, "each side from 2 to 32767"},
      {{"-s", "8192x8192", "d.kzf"}, "at most 33554432 pixels"},
      {{"-s", "99999999999999999999x2", "d.kzf"}, "bad picture size"},
      {{"-s", "64x48 ", "d.kzf"}, "bad picture size"},
      {{"-x", "d.kzf"}, "unknown option '-x'"},
      {{"d.kzf", "e.kzf"}, "more than one drawing"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const Outcome r = render(c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("usage: quillmark_render"), std::string::npos);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(read_all(at("d.kzf")), kzf);
    EXPECT_FALSE(exists("sample.png") || exists("sample.kzf") || exists("picture.txt") || exists("picture"));
  }
}

TEST_F(Renderer, HelpGoesToStandardOutput) {
  const Outcome r = render({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("usage: quillmark_render [-o PICTURE] [-s WIDTHxHEIGHT] [DRAWING.kzf]"), 0u) << r.out;
  EXPECT_NE(r.out.find(".png"), std::string::npos);
  EXPECT_EQ(r.err, "");
  EXPECT_FALSE(exists("sample.kzf"));
}

TEST_F(Renderer, NeverWritesOverTheDrawing) {
  const std::string kzf = drawing("d.kzf");
  const std::string png_named = drawing("d2.png");  // a drawing with a picture's name
  ASSERT_EQ(symlink("d.kzf", at("link.png").c_str()), 0);
  ASSERT_EQ(mkdir(at("sub").c_str(), 0755), 0);
  const std::vector<std::string> cases[] = {
      {"-o", "link.png", "d.kzf"},         // a link to the drawing
      {"-o", "./sub/../d2.png", "d2.png"},  // another spelling
      {"-o", "D2.PNG", "d2.png"},          // another case
      {"-o", at("d2.png"), "d2.png"},      // absolute and relative
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    const Outcome r = render(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("would replace the drawing"), std::string::npos) << r.err;
    EXPECT_EQ(read_all(at("d.kzf")), kzf);
    EXPECT_EQ(read_all(at("d2.png")), png_named);
  }
}

TEST_F(Renderer, WritesExactlyTheNameGiven) {
  drawing("d.kzf");
  put("pic.png", "not to be touched");
  const Outcome r = render({"-o", "PIC.PNG", "-s", "64x48", "d.kzf"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_all(at("pic.png")), "not to be touched");
  EXPECT_EQ(read_all(at("PIC.PNG")).substr(0, 4), kPng);
  EXPECT_NE(r.out.find("64x48 picture of the view written to PIC.PNG"), std::string::npos) << r.out;
  // A UTF-8 name is used as it is, never read as GBK.
  const std::string utf8 = "\xE4\xB8\x80.bmp";
  ASSERT_EQ(render({"-o", utf8, "d.kzf"}).status, 0);
  EXPECT_EQ(read_all(at(utf8)).substr(0, 2), "BM");
  // A drawing is the file of exactly its name, not one spelt otherwise.
  const Outcome other_case = render({"-o", "p.png", "D.KZF"});
  EXPECT_EQ(other_case.status, 1);
  EXPECT_NE(other_case.err.find("cannot read the drawing D.KZF: No such file or directory"), std::string::npos)
      << other_case.err;
  // A name that exists byte for byte is that file, backslash and all; a
  // backslash in a name that does not exist is a folder separator.
  drawing("plain.kzf");
  ASSERT_EQ(std::rename(at("plain.kzf").c_str(), at("back\\slash.kzf").c_str()), 0);
  ASSERT_EQ(mkdir(at("sub").c_str(), 0755), 0);
  const Outcome slashes = render({"-o", "sub\\p.gif", "back\\slash.kzf"});
  ASSERT_EQ(slashes.status, 0) << slashes.err;
  EXPECT_EQ(read_all(at("sub/p.gif")).substr(0, 3), "GIF");
}

TEST_F(Renderer, InputThatIsNotADrawingFailsAtOnceWithTheReason) {
  const std::string kzf = drawing("d.kzf");
  ASSERT_EQ(mkfifo(at("pipe.kzf").c_str(), 0644), 0);
  ASSERT_EQ(mkdir(at("folder.kzf").c_str(), 0755), 0);
  put("text.kzf", "hello, not a drawing\n");
  put("cut.kzf", kzf.substr(0, kzf.size() / 2));
  put("empty.kzf", "");
  const struct {
    const char* name;
    const char* says;
  } cases[] = {
      {"pipe.kzf", "cannot read the drawing pipe.kzf: is a pipe, not a regular file"},
      {"folder.kzf", "cannot read the drawing folder.kzf: is a directory"},
      {"missing.kzf", "cannot read the drawing missing.kzf: No such file or directory"},
      {"text.kzf", "cannot read the drawing text.kzf: not a drawing"},
      {"empty.kzf", "cannot read the drawing empty.kzf: not a drawing"},
      {"cut.kzf", "cannot read the drawing cut.kzf: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome r = render({"-o", "p.png", c.name});
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_FALSE(exists("p.png"));
  }
  EXPECT_TRUE(exists("pipe.kzf"));
}

TEST_F(Renderer, OutputThatIsNoRegularFileSurvives) {
  drawing("d.kzf");
  // A pipe nobody reads: refused at once and left in place.
  ASSERT_EQ(mkfifo(at("pipe.png").c_str(), 0644), 0);
  Outcome r = render({"-o", "pipe.png", "d.kzf"});
  EXPECT_FALSE(r.timed_out);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write the picture pipe.png: is a pipe, not a regular file"), std::string::npos)
      << r.err;
  struct stat st;
  ASSERT_EQ(lstat(at("pipe.png").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  // A device is written in place, never removed or replaced.
  ASSERT_EQ(symlink("/dev/null", at("null.png").c_str()), 0);
  r = render({"-o", "null.png", "d.kzf"});
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  ASSERT_EQ(lstat(at("null.png").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  // A folder.
  ASSERT_EQ(mkdir(at("folder.png").c_str(), 0755), 0);
  r = render({"-o", "folder.png", "d.kzf"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write the picture folder.png: is a directory"), std::string::npos) << r.err;
  // A missing folder: nothing is made.
  r = render({"-o", "none/p.png", "d.kzf"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write the picture none/p.png: No such file or directory"), std::string::npos)
      << r.err;
  EXPECT_FALSE(exists("none"));
}

TEST_F(Renderer, SampleNeverReplacesAnExistingFile) {
  ASSERT_EQ(mkdir(at("out").c_str(), 0755), 0);
  put("out/sample.kzf", "someone's file");
  Outcome r = render({"-o", "out/pic.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_all(at("out/sample.kzf")), "someone's file");
  EXPECT_EQ(read_all(at("out/pic.png")).substr(0, 4), kPng);
  EXPECT_NE(r.out.find("out/sample.kzf exists already and is left as it is"), std::string::npos) << r.out;
  // Where there is none, the sample is saved and shown from its file.
  r = render({"-o", "pic.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("saved as sample.kzf"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("opened sample.kzf"), std::string::npos) << r.out;
  MB_Drawing back;
  MB_File_IO io;
  io.drawing(&back);
  EXPECT_TRUE(io.load_kzf(at("sample.kzf").c_str())) << io.reason();
  EXPECT_GT(back.object_list().count(), 10);
}

TEST_F(Renderer, WriteErrorsOnStandardOutputFail) {
  drawing("d.kzf");
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  for (const std::vector<std::string>& args : {std::vector<std::string>{"-o", "p.png", "d.kzf"},
                                                std::vector<std::string>{"--help"}}) {
    SCOPED_TRACE(testing::PrintToString(args));
    const Outcome r = render(args, "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write to standard output: No space left on device"), std::string::npos) << r.err;
  }
}

TEST_F(Renderer, MissingFontIsNamedAndThePictureStillWritten) {
  drawing("d.kzf", "nosuch_font.shx");
  const Outcome r = render({"-o", "p.png", "d.kzf"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("warning: cannot load the font nosuch_font.shx: No such file or directory"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(read_all(at("p.png")).substr(0, 4), kPng);
}

}  // namespace
