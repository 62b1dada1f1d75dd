// The decompiler program as a user runs it: its command line, its exit
// status, what it prints where, and what it leaves on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/fonttool/shx_builder.h"
#include "tests/support/program_run.h"

using namespace shxtest;

namespace {

const Shape kInfo{0, "FONT", {8, 2, 0, 0}};
const Bytes kFont = ShapesFont({kInfo, {65, "A", {2, 0x14, 0}}});
const char kSource[] = "*0,4,FONT\r\n8,2,0,0\r\n*65,3,A\r\n2,014,0\r\n";
const char kDone[] = "*\nDecompiled OK!\nThanks for use!\n";

using Result = program_test::Outcome;

// Runs the decompiler in `dir` with `args`. Its standard output goes to
// `stdout_path` when one is given and is kept in the result otherwise; a run
// that has not ended after 20 seconds is killed.
Result RunDecompiler(const std::string& dir, const std::vector<std::string>& args,
                     const char* stdout_path = nullptr) {
  return program_test::run(FONTLATHE_DECOMPILE, args, dir, stdout_path != nullptr ? stdout_path : "", 20);
}

// The names in a folder and the bytes of each regular file in it.
std::set<std::pair<std::string, std::string>> Contents(const std::string& dir) {
  std::set<std::pair<std::string, std::string>> files;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    files.emplace(e.path().filename().string(), e.is_regular_file() ? read_all(e.path()) : "");
  }
  return files;
}

}  // namespace

// A command line that cannot be run changes nothing: usage on standard error,
// status 2. A file named "-c" is never taken for a font, nor the font for an
// output.
TEST(DecompileProgram, UsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const Case cases[] = {
      {{}, "missing the font file and the output file"},
      {{"font.shx"}, "missing the output file"},
      {{"-c", "font.shx"}, "missing the code"},
      {{"-c"}, "missing the font file and the code"},
      {{"-c", "font.shx", "zz"}, "invalid code 'zz'"},
      {{"-c", "--", "font.shx", "-1"}, "invalid code '-1'"},
      {{"-c", "font.shx", ""}, "invalid code ''"},
      {{"-c", "font.shx", "10000"}, "invalid code '10000'"},
      {{"-c", "font.shx", "41x"}, "invalid code '41x'"},
      {{"-c", "font.shx", "0x"}, "invalid code '0x'"},
      {{"-c", "font.shx", " 41"}, "invalid code ' 41'"},
      {{"-c", "font.shx", "-1"}, "unknown option '-1'"},
      {{"-x", "font.shx", "out.shp"}, "unknown option '-x'"},
      {{"font.shx", "out.shp", "--bogus"}, "unknown option '--bogus'"},
      {{"font.shx", "out.shp", "extra"}, "too many arguments: 'extra'"},
      {{"-c", "font.shx", "41", "42"}, "too many arguments: '42'"},
      {{"font.shx", ""}, "the output file name is empty"},
      {{"", "out.shp"}, "the font file name is empty"},
  };
  ScratchDir dir;
  dir.Write("font.shx", kFont);
  dir.Write("-c", kFont);
  const auto before = Contents(dir.File(""));
  for (const Case& c : cases) {
    std::string line = "fontlathe_decompile:";
    for (const std::string& a : c.args) line += " '" + a + "'";
    Result r = RunDecompiler(dir.File(""), c.args);
    EXPECT_EQ(r.status, 2) << line;
    EXPECT_EQ(r.out, "") << line;
    EXPECT_EQ(r.err.rfind("fontlathe_decompile: " + c.says, 0), 0u) << line << "\n" << r.err;
    EXPECT_NE(r.err.find("\nusage: fontlathe_decompile "), std::string::npos) << line;
    EXPECT_EQ(Contents(dir.File("")), before) << line;
  }
}

TEST(DecompileProgram, HelpAndVersion) {
  ScratchDir dir;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"-h"}, {"font.shx", "--help", "x", "y"}}) {
    Result r = RunDecompiler(dir.File(""), args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: fontlathe_decompile [--] FONT.shx OUT.shp\n", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
  }
  Result r = RunDecompiler(dir.File(""), {"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "fontlathe_decompile (fontlathe) 2.02\n");
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(Contents(dir.File("")).empty());
}

// After "--" every argument is a name or a code, whatever it starts with;
// options may also follow the names.
TEST(DecompileProgram, NamesAfterDoubleDash) {
  ScratchDir dir;
  dir.Write("-f.shx", kFont);
  Result r = RunDecompiler(dir.File(""), {"--", "-f.shx", "-o.shp"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out, kDone);
  EXPECT_EQ(read_all(dir.File("-o.shp")), kSource);
  r = RunDecompiler(dir.File(""), {"-c", "--", "-f.shx", "41"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "*65,3,A\n2,014,0\n");
  r = RunDecompiler(dir.File(""), {"-f.shx"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("fontlathe_decompile: unknown option '-f.shx'\n", 0), 0u) << r.err;
  r = RunDecompiler(dir.File(""), {"--", "-f.shx", "41", "-c"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("fontlathe_decompile: too many arguments: '-c'\n", 0), 0u) << r.err;
  // Before "--", an option may follow the names.
  r = RunDecompiler(dir.File(""), {"./-f.shx", "41", "-c"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "*65,3,A\n2,014,0\n");
}

// A run that fails leaves an existing output byte for byte and nothing else
// behind, and ends cleanly (nothing on standard error, not even a leak
// report of the sanitizers). A run that succeeds replaces the output whole.
TEST(DecompileProgram, FailedRunsLeaveTheOldOutput) {
  const Bytes short_index(kFont.begin(), kFont.begin() + 32);  // two entries need 30 + 8 bytes
  struct Case {
    Bytes font;
    std::string message;
  };
  const Case cases[] = {
      {short_index, "Wrong format of in.shx! (truncated at byte 32)"},
      {Bytes{'h', 'i', '\n'}, "Wrong format of in.shx! (not a shape font)"},
  };
  const std::string old = "*65,3,OLD\r\n2,014,0\r\n";
  for (const Case& c : cases) {
    ScratchDir dir;
    dir.Write("in.shx", c.font);
    dir.Write("out.shp", Bytes(old.begin(), old.end()));
    const auto before = Contents(dir.File(""));
    Result r = RunDecompiler(dir.File(""), {"in.shx", "out.shp"});
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.out.find(c.message), std::string::npos) << "errors stay out of the output: " << r.out;
    EXPECT_EQ(r.err, "fontlathe_decompile: " + c.message + "\n");
    EXPECT_EQ(Contents(dir.File("")), before) << c.message;
  }
  ScratchDir dir;
  dir.Write("in.shx", kFont);
  dir.Write("out.shp", Bytes(old.begin(), old.end()));
  ASSERT_EQ(chmod(dir.File("out.shp").c_str(), 0640), 0);
  Result r = RunDecompiler(dir.File(""), {"in.shx", "out.shp"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kDone);
  EXPECT_EQ(Contents(dir.File("")),
            (std::set<std::pair<std::string, std::string>>{
                {"in.shx", std::string(kFont.begin(), kFont.end())}, {"out.shp", kSource}}));
  struct stat st;
  ASSERT_EQ(stat(dir.File("out.shp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A font with damaged shapes among intact ones: the intact ones are
// decompiled, each damaged one leaves a comment naming it and its damage,
// and the run succeeds, saying how many were left out.
TEST(DecompileProgram, DamagedShapesAreLeftOutWithAComment) {
  // Records from byte 30 + 5 x 4 = 50: FONT [50, 59), A [59, 64), B [64, 66)
  // whose name's 0 (byte 65) is overwritten, C [66, 71), D [71, 77) of which
  // the file keeps all but its last byte.
  Bytes font = ShapesFont(
      {kInfo, {65, "A", {2, 0x14, 0}}, {66, "B", {}}, {67, "C", {2, 0x14, 0}}, {68, "D", {2, 0x14, 0x14, 0}}});
  ASSERT_EQ(font.size(), 77u);
  ASSERT_EQ(font[65], 0);
  font[65] = 'x';
  font.pop_back();
  ScratchDir dir;
  dir.Write("in.shx", font);
  Result r = RunDecompiler(dir.File(""), {"in.shx", "out.shp"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "*\nDecompiled OK!\nThanks for use!\nSkipped 2 damaged shapes.\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(read_all(dir.File("out.shp")),
            "*0,4,FONT\r\n8,2,0,0\r\n*65,3,A\r\n2,014,0\r\n"
            "; skipped: shape 66 has no end to its name\r\n"
            "*67,3,C\r\n2,014,0\r\n"
            "; skipped: shape 68 is truncated at byte 76\r\n");
}

// The output names the input: through its own name, another spelling, a
// hard link or a symbolic link. The font stays as it was.
TEST(DecompileProgram, OutputNamingTheInputIsRefused) {
  ScratchDir dir;
  dir.Write("font.shx", kFont);
  ASSERT_EQ(link(dir.File("font.shx").c_str(), dir.File("hard.shx").c_str()), 0);
  ASSERT_EQ(symlink("font.shx", dir.File("soft.shx").c_str()), 0);
  for (const std::string out : {"font.shx", "./font.shx", "hard.shx", "soft.shx"}) {
    Result r = RunDecompiler(dir.File(""), {"font.shx", out});
    EXPECT_EQ(r.status, 1) << out;
    EXPECT_EQ(r.out, "\n");
    EXPECT_EQ(r.err, "fontlathe_decompile: Cannot open " + out + " for write! (it is the input font)\n");
    EXPECT_EQ(read_all(dir.File("font.shx")), std::string(kFont.begin(), kFont.end()));
  }
}

// A pipe, a folder or a device given as the font fails at once with its
// reason, in both modes, and creates nothing.
TEST(DecompileProgram, FontsThatAreNotRegularFiles) {
  ScratchDir dir;
  ASSERT_EQ(mkfifo(dir.File("pipe.shx").c_str(), 0600), 0);
  ASSERT_EQ(mkdir(dir.File("folder.shx").c_str(), 0700), 0);
  struct Case {
    std::string font, reason;
  };
  const Case cases[] = {
      {"pipe.shx", "is a pipe, not a regular file"},
      {"folder.shx", "is a directory"},
      {"/dev/zero", "is a device, not a regular file"},
      {"none.shx", "No such file or directory"},
  };
  const auto before = Contents(dir.File(""));
  for (const Case& c : cases) {
    const std::string message = "fontlathe_decompile: Cannot open " + c.font + " for read! (" + c.reason + ")\n";
    Result r = RunDecompiler(dir.File(""), {c.font, "out.shp"});
    EXPECT_EQ(r.status, 1) << c.font;
    EXPECT_EQ(r.out, "\n");
    EXPECT_EQ(r.err, message);
    r = RunDecompiler(dir.File(""), {"-c", c.font, "41"});
    EXPECT_EQ(r.status, 1) << c.font;
    EXPECT_EQ(r.out, "") << "a code's source redirected to a file never holds an error";
    EXPECT_EQ(r.err, message);
    EXPECT_EQ(Contents(dir.File("")), before) << c.font;
  }
}

// Standard output that cannot be written is a failure, said on standard
// error; a write error of the output file is reported with its reason.
TEST(DecompileProgram, WriteErrors) {
  ScratchDir dir;
  dir.Write("font.shx", kFont);
  const std::vector<std::string> runs[] = {{"font.shx", "out.shp"},
                                           {"-c", "font.shx", "41"},
                                           {"--help"},
                                           {"--version"},
                                           {"none.shx", "out.shp"}};
  for (const std::vector<std::string>& args : runs) {
    Result r = RunDecompiler(dir.File(""), args, "/dev/full");
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_EQ(r.err.rfind("fontlathe_decompile: cannot write to standard output: No space left on device\n", 0), 0u)
        << args[0];
  }
  Result r = RunDecompiler(dir.File(""), {"font.shx", "/dev/full"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "*\n");
  EXPECT_EQ(r.err, "fontlathe_decompile: Write output error! (/dev/full: No space left on device)\n");
}
