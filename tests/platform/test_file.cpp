#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

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

TEST_F(PathMap, ReplacingAFileWritesItWholeOrNotAtAll) {
  const std::string file = dir_ + "/doc.xml";
  ASSERT_TRUE(qm_replace_file(file.c_str(), "first", 5));
  EXPECT_EQ(bytes(file), "first");
  chmod(file.c_str(), 0640);
  ASSERT_TRUE(qm_replace_file(file.c_str(), "second", 6));
  EXPECT_EQ(bytes(file), "second");
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the permissions are kept";
  // A folder is never replaced; a file in a missing folder is not made.
  EXPECT_FALSE(qm_replace_file(dir_.c_str(), "x", 1));
  EXPECT_FALSE(qm_replace_file((dir_ + "/missing/doc.xml").c_str(), "x", 1));
  EXPECT_FALSE(qm_replace_file(nullptr, "x", 1));
  EXPECT_EQ(bytes(file), "second");
  EXPECT_NE(access((file + ".~part").c_str(), F_OK), 0) << "no temporary file is left";
}
