#include <gtest/gtest.h>
#include <windows.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "qm_file.h"

namespace {

// A fresh temporary folder, removed with everything in it.
class TempDir : public testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/qm_file_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { ASSERT_EQ(system(("rm -rf " + dir_).c_str()), 0); }
  std::string bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  void put(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
  }
  std::string dir_;
};

using PathMap = TempDir;
using TextMode = TempDir;

}  // namespace

TEST_F(PathMap, BackslashesAndCaseAreResolved) {
  ASSERT_EQ(mkdir((dir_ + "/Support").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir_ + "/Support/Fonts").c_str(), 0755), 0);
  put(dir_ + "/Support/Fonts/TxT.Shx", "x");
  const std::string want = dir_ + "/Support/Fonts/TxT.Shx";
  EXPECT_EQ(qm_map_path((dir_ + "\\support\\FONTS\\txt.shx").c_str()), want);
  EXPECT_EQ(qm_map_path((dir_ + "/Support/Fonts/TxT.Shx").c_str()), want);
  // A name about to be created keeps its spelling under resolved folders.
  EXPECT_EQ(qm_map_path((dir_ + "\\SUPPORT\\New\\Out.Txt").c_str()), dir_ + "/Support/New/Out.Txt");
  // An exact name wins over a case-variant.
  put(dir_ + "/Support/txt.shx", "y");
  put(dir_ + "/Support/TXT.SHX", "z");
  EXPECT_EQ(qm_map_path((dir_ + "/support/txt.shx").c_str()), dir_ + "/Support/txt.shx");
  EXPECT_EQ(qm_map_path((dir_ + "/support/Txt.shx").c_str()), dir_ + "/Support/TXT.SHX");
  // Relative names resolve from the current folder.
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  EXPECT_EQ(qm_map_path("support\\fonts\\TXT.SHX"), "Support/Fonts/TxT.Shx");
  EXPECT_EQ(qm_map_path("./support/../SUPPORT/fonts"), "./Support/../Support/Fonts");
  ASSERT_EQ(chdir(cwd), 0);
}

TEST_F(PathMap, GbkNamesBecomeUtf8) {
  put(dir_ + "/\u4E2D\u70B9.txt", "x");
  EXPECT_EQ(qm_map_path((dir_ + "/\xD6\xD0\xB5\xE3.TXT").c_str()), dir_ + "/\u4E2D\u70B9.txt");
  // GBK bytes of 一 (D2 BB) are also well-formed UTF-8: the GBK reading wins
  // when only it names a file; a new file keeps the UTF-8 reading.
  put(dir_ + "/\u4E00", "x");
  EXPECT_EQ(qm_map_path((dir_ + "/\xD2\xBB").c_str()), dir_ + "/\u4E00");
  EXPECT_EQ(qm_map_path((dir_ + "/new\xD2\xBB").c_str()), dir_ + "/new\xD2\xBB");
  // The GBK trail byte 0x5C of 乗 (81 5C) is not a separator.
  put(dir_ + "/\u4E57.txt", "x");
  EXPECT_EQ(qm_map_path((dir_ + "\\\x81\x5C.TXT").c_str()), dir_ + "/\u4E57.txt");
  FILE* f = qm_fopen((dir_ + "\\\xD6\xD0\xB5\xE3.txt").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  fclose(f);
}

TEST_F(TextMode, NewlinesBecomeCrLfAndBack) {
  const std::string path = dir_ + "/t.txt";
  FILE* f = qm_fopen(path.c_str(), "wt");
  ASSERT_NE(f, nullptr);
  fprintf(f, "one\ntwo %d\n", 2);
  fputs("three\r\n", f);  // a literal CR before the newline stays
  fputc('\n', f);
  ASSERT_EQ(fclose(f), 0);
  EXPECT_EQ(bytes(path), "one\r\ntwo 2\r\nthree\r\r\n\r\n");

  put(path, "a\r\nb\rc\nd\r");
  f = qm_fopen(path.c_str(), "r");
  ASSERT_NE(f, nullptr);
  char line[32];
  ASSERT_NE(fgets(line, sizeof line, f), nullptr);
  EXPECT_STREQ(line, "a\n");
  EXPECT_EQ(ftell(f), 3);  // a byte offset in the file
  std::string rest;
  for (int c; (c = fgetc(f)) != EOF;) rest += static_cast<char>(c);
  EXPECT_EQ(rest, "b\rc\nd\r");
  // Back to a remembered offset.
  ASSERT_EQ(fseek(f, 3, SEEK_SET), 0);
  EXPECT_EQ(fgetc(f), 'b');
  fclose(f);
}

TEST_F(TextMode, LongFilesReadByLinesKeepOffsets) {
  // Lines of every length up to 60 bytes, some with a lone CR inside, so
  // that line ends fall on every place of the stream's read-ahead blocks,
  // a CR LF split between two of them included.
  const std::string path = dir_ + "/long.txt";
  std::string raw;
  std::vector<std::string> lines;
  std::vector<long> ends;  // the file offset after each line
  for (int i = 0; raw.size() < 70000; ++i) {
    std::string line(static_cast<size_t>(i % 61), static_cast<char>('a' + i % 26));
    if (i % 7 == 3 && !line.empty()) line[line.size() / 2] = '\r';
    raw += line + "\r\n";
    lines.push_back(line + "\n");
    ends.push_back(static_cast<long>(raw.size()));
  }
  raw += "end\r";  // a CR at the very end stays
  put(path, raw);

  FILE* f = qm_fopen(path.c_str(), "r");
  ASSERT_NE(f, nullptr);
  char buf[128];
  for (size_t i = 0; i < lines.size(); ++i) {
    ASSERT_NE(fgets(buf, sizeof buf, f), nullptr) << "line " << i;
    ASSERT_EQ(buf, lines[i]) << "line " << i;
    ASSERT_EQ(ftell(f), ends[i]) << "line " << i;
  }
  ASSERT_NE(fgets(buf, sizeof buf, f), nullptr);
  EXPECT_STREQ(buf, "end\r");
  EXPECT_EQ(fgets(buf, sizeof buf, f), nullptr);
  // A remembered offset in the middle of the file reads on from there.
  ASSERT_EQ(fseek(f, ends[1000], SEEK_SET), 0);
  ASSERT_NE(fgets(buf, sizeof buf, f), nullptr);
  EXPECT_EQ(buf, lines[1001]);
  fclose(f);
}

TEST_F(TextMode, WritingAfterReadingLandsWhereTheReaderStands) {
  const std::string path = dir_ + "/rw.txt";
  put(path, "one\r\ntwo\r\nthree\r\n");
  FILE* f = qm_fopen(path.c_str(), "r+");
  ASSERT_NE(f, nullptr);
  char buf[16];
  ASSERT_NE(fgets(buf, sizeof buf, f), nullptr);
  EXPECT_EQ(ftell(f), 5);
  ASSERT_EQ(fseek(f, 0, SEEK_CUR), 0);
  fputs("TWO\n", f);
  ASSERT_EQ(fseek(f, 0, SEEK_CUR), 0);
  ASSERT_NE(fgets(buf, sizeof buf, f), nullptr);
  EXPECT_STREQ(buf, "three\n");
  fclose(f);
  EXPECT_EQ(bytes(path), "one\r\nTWO\r\nthree\r\n");
}

TEST_F(TextMode, UpdateAndAppendModes) {
  const std::string path = dir_ + "/u.txt";
  FILE* f = qm_fopen(path.c_str(), "w+ t");
  ASSERT_NE(f, nullptr);
  fputs("x\ny\n", f);
  rewind(f);
  char buf[16] = {};
  EXPECT_EQ(fread(buf, 1, sizeof buf, f), 4u);
  EXPECT_STREQ(buf, "x\ny\n");
  fclose(f);
  f = qm_fopen(path.c_str(), "a+ t");
  ASSERT_NE(f, nullptr);
  fputs("z\n", f);
  fclose(f);
  EXPECT_EQ(bytes(path), "x\r\ny\r\nz\r\n");
}

TEST_F(TextMode, BinaryModeIsUntouched) {
  const std::string path = dir_ + "/b.bin";
  FILE* f = qm_fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fputs("a\nb\r\n", f);
  fclose(f);
  EXPECT_EQ(bytes(path), "a\nb\r\n");
  f = qm_fopen(path.c_str(), "r+b");
  ASSERT_NE(f, nullptr);
  char buf[8] = {};
  EXPECT_EQ(fread(buf, 1, sizeof buf, f), 5u);
  EXPECT_STREQ(buf, "a\nb\r\n");
  fclose(f);
}

TEST_F(TextMode, FailuresAreReported) {
  EXPECT_EQ(qm_fopen((dir_ + "/missing.txt").c_str(), "r"), nullptr);
  EXPECT_EQ(qm_fopen((dir_ + "/x.txt").c_str(), "q"), nullptr);
  EXPECT_EQ(qm_fopen(nullptr, "r"), nullptr);
  // "r+b" on a read-only file fails (when not running with privileges to override).
  const std::string ro = dir_ + "/ro.bin";
  put(ro, "x");
  ASSERT_EQ(chmod(ro.c_str(), 0444), 0);
  if (geteuid() != 0) {
    EXPECT_EQ(qm_fopen(ro.c_str(), "r+b"), nullptr);
  }
}

TEST(File, OnlyRegularFilesAreRegular) {
  EXPECT_FALSE(qm_is_regular_file(nullptr));
  EXPECT_FALSE(qm_is_regular_file("/dev/null"));
  EXPECT_FALSE(qm_is_regular_file("/tmp"));
  EXPECT_FALSE(qm_is_regular_file("/no/such/file"));
  char name[] = "/tmp/qm_regular_XXXXXX";
  int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_TRUE(qm_is_regular_file(name));
  std::remove(name);
}

TEST(File, AttributesSayFolderFileOrNothing) {
  EXPECT_EQ(GetFileAttributesA(nullptr), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA("/no/such/file"), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(GetFileAttributesA("/tmp") & FILE_ATTRIBUTE_DIRECTORY);
  char name[] = "/tmp/qm_attributes_XXXXXX";
  int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_FALSE(GetFileAttributesA(name) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_NE(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES);
  std::remove(name);
}

TEST_F(PathMap, WholeFilesAreReadWithinALimit) {
  const std::string file = dir_ + "/doc.xml";
  put(file, std::string("a\0b\r\n", 5));
  std::string out = "old";
  ASSERT_TRUE(qm_read_file(file.c_str(), out, 5));
  EXPECT_EQ(out, std::string("a\0b\r\n", 5)) << "binary, nothing converted";
  EXPECT_FALSE(qm_read_file(file.c_str(), out, 4));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(qm_read_file(dir_.c_str(), out, 100));
  EXPECT_FALSE(qm_read_file((dir_ + "/missing").c_str(), out, 100));
  EXPECT_FALSE(qm_read_file(nullptr, out, 100));
}

using NewFiles = TempDir;

TEST_F(NewFiles, WritesGetExactlyTheNameGiven) {
  ASSERT_EQ(mkdir((dir_ + "/Out").c_str(), 0755), 0);
  put(dir_ + "/Out/pic.png", "old");
  // Folders resolve without regard to case; the file's own name does not.
  EXPECT_EQ(qm_map_new_path((dir_ + "\\out\\PIC.PNG").c_str()), dir_ + "/Out/PIC.PNG");
  EXPECT_EQ(qm_map_new_path((dir_ + "/out/pic.png").c_str()), dir_ + "/Out/pic.png");
  FILE* f = qm_fopen((dir_ + "/out/PIC.PNG").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fputs("new", f);
  fclose(f);
  EXPECT_EQ(bytes(dir_ + "/Out/pic.png"), "old");
  EXPECT_EQ(bytes(dir_ + "/Out/PIC.PNG"), "new");
  // Reading still finds a file by any spelling.
  EXPECT_EQ(qm_map_path((dir_ + "/OUT/Pic.Png").c_str()), dir_ + "/Out/PIC.PNG");
}

// A character GBK lacks reaches the file layer as its escape (the
// control's text keeps it so): the file has the character in its name.
TEST_F(NewFiles, EscapesInNamesAreTheirCharacters) {
  ASSERT_EQ(mkdir((dir_ + "/Sub").c_str(), 0755), 0);
  FILE* f = qm_fopen((dir_ + "\\sub\\\\U+00D8\xD6\xD0.txt").c_str(), "wb");  // Ø中.txt
  ASSERT_NE(f, nullptr);
  fclose(f);
  EXPECT_TRUE(qm_is_regular_file((dir_ + "/Sub/\u00D8\u4E2D.txt").c_str()));
  EXPECT_EQ(qm_map_path((dir_ + "/sub/\\u+00d8\xD6\xD0.TXT").c_str()), dir_ + "/Sub/\u00D8\u4E2D.txt");
  // A folder whose name reads as an escape is still that folder.
  ASSERT_EQ(mkdir((dir_ + "/U+0041").c_str(), 0755), 0);
  put(dir_ + "/U+0041/x", "x");
  EXPECT_EQ(qm_map_path((dir_ + "\\U+0041\\x").c_str()), dir_ + "/U+0041/x");
}

TEST_F(NewFiles, UserNamesAreLinuxNames) {
  ASSERT_EQ(mkdir((dir_ + "/Sub").c_str(), 0755), 0);
  put(dir_ + "/Sub/d.kzf", "x");
  put(dir_ + "/a\\b.kzf", "x");
  put(dir_ + "/\u4E2D.kzf", "x");
  const struct {
    std::string given, mapped;
  } cases[] = {
      {dir_ + "/a\\b.kzf", dir_ + "/a\\b.kzf"},          // exists byte for byte
      {dir_ + "\\Sub\\d.kzf", dir_ + "/Sub/d.kzf"},     // backslashes of a name that does not exist
      {dir_ + "/sub/D.KZF", dir_ + "/sub/D.KZF"},          // never resolved without regard to case
      {dir_ + "/\xD2\xBB", dir_ + "/\xD2\xBB"},            // well-formed UTF-8 is never read as GBK
      {dir_ + "/\xD6\xD0.KZF", dir_ + "/\u4E2D.kzf"},      // only a name that is not UTF-8 is
  };
  for (const auto& c : cases) EXPECT_EQ(qm_map_user_path(c.given.c_str()), c.mapped) << c.given;
  // What a user name gives maps to itself as a kernel-side name.
  EXPECT_EQ(qm_map_path((dir_ + "/a\\b.kzf").c_str()), dir_ + "/a\\b.kzf");
  EXPECT_EQ(qm_map_user_path(nullptr), "");
}

TEST_F(NewFiles, ReadersRefusePipesAndFoldersAtOnce) {
  const std::string fifo = dir_ + "/pipe.kzf";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  errno = 0;
  EXPECT_EQ(qm_fopen(fifo.c_str(), "rb"), nullptr);  // returns, never blocks
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(qm_file_error(fifo.c_str(), errno), "is a pipe, not a regular file");
  EXPECT_EQ(qm_fopen(dir_.c_str(), "r"), nullptr);
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(qm_file_error(dir_.c_str(), errno), "is a directory");
  // A pipe nobody reads is not waited for when writing either.
  EXPECT_EQ(qm_fopen(fifo.c_str(), "wb"), nullptr);
  EXPECT_EQ(errno, ENXIO);
  EXPECT_EQ(qm_file_error((dir_ + "/none").c_str(), ENOENT), "No such file or directory");
  // A device that fails a write says why the write failed.
  EXPECT_EQ(qm_file_error("/dev/full", ENOSPC), "No space left on device");
  EXPECT_EQ(qm_file_error("/dev/null", EINVAL), "is a device, not a regular file");
}

TEST_F(NewFiles, SameFileSeesThroughSpellingAndLinks) {
  put(dir_ + "/d.kzf", "x");
  ASSERT_EQ(symlink((dir_ + "/d.kzf").c_str(), (dir_ + "/link.kzf").c_str()), 0);
  EXPECT_TRUE(qm_same_file((dir_ + "/d.kzf").c_str(), (dir_ + "/./link.kzf").c_str()));
  EXPECT_TRUE(qm_same_file((dir_ + "/D.KZF").c_str(), (dir_ + "/d.kzf").c_str()));
  EXPECT_FALSE(qm_same_file((dir_ + "/d.kzf").c_str(), (dir_ + "/other.kzf").c_str()));
}

using Writer = TempDir;

TEST_F(Writer, ReplacesOnlyWhenCommitted) {
  const std::string target = dir_ + "/d.shp";
  put(target, "old");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  {
    QmFileWriter w;
    ASSERT_TRUE(w.open(target.c_str(), "w"));
    fputs("half\n", w.stream());
    EXPECT_EQ(bytes(target), "old");
  }  // abandoned: the target is untouched and no temporary file is left
  EXPECT_EQ(bytes(target), "old");
  EXPECT_EQ(system(("test $(ls -A " + dir_ + " | wc -l) -eq 1").c_str()), 0);

  QmFileWriter w;
  ASSERT_TRUE(w.open(target.c_str(), "w"));
  fputs("line\n", w.stream());
  ASSERT_TRUE(w.commit());
  EXPECT_EQ(bytes(target), "line\r\n");  // text mode, as qm_fopen
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(system(("test $(ls -A " + dir_ + " | wc -l) -eq 1").c_str()), 0);
}

TEST_F(Writer, FollowsNoLinkPlantedForItsTemporaryFile) {
  // Whatever links sit beside the target, the writer's own file is new.
  const std::string victim = dir_ + "/victim", target = dir_ + "/d.kzf";
  put(victim, "keep");
  for (const char* name : {"/d.kzf.~kzf", "/.d.kzf.tmp", "/.d.kzf.XXXXXX"})
    ASSERT_EQ(symlink(victim.c_str(), (dir_ + name).c_str()), 0);
  QmFileWriter w;
  ASSERT_TRUE(w.open(target.c_str(), "wb"));
  fputs("drawing", w.stream());
  ASSERT_TRUE(w.commit());
  EXPECT_EQ(bytes(victim), "keep");
  EXPECT_EQ(bytes(target), "drawing");
}

TEST_F(Writer, LinkAsTargetKeepsPointingAtTheNewFile) {
  put(dir_ + "/real.kzf", "old");
  ASSERT_EQ(symlink("real.kzf", (dir_ + "/link.kzf").c_str()), 0);
  QmFileWriter w;
  ASSERT_TRUE(w.open((dir_ + "/link.kzf").c_str(), "wb"));
  fputs("new", w.stream());
  ASSERT_TRUE(w.commit());
  EXPECT_EQ(bytes(dir_ + "/real.kzf"), "new");
  struct stat st;
  ASSERT_EQ(lstat((dir_ + "/link.kzf").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(Writer, RefusesWhatCannotBeWritten) {
  QmFileWriter w;
  EXPECT_FALSE(w.open(dir_.c_str(), "wb"));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_FALSE(w.open((dir_ + "/no/such/folder/x.png").c_str(), "wb"));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(w.open((dir_ + "/x").c_str(), "r"));
  EXPECT_FALSE(w.commit());  // nothing open
  // A device is written in place and survives.
  ASSERT_TRUE(w.open("/dev/null", "wb"));
  fputs("x", w.stream());
  EXPECT_TRUE(w.commit());
  struct stat st;
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}
