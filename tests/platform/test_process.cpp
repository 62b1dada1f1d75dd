// The module, temporary-folder and scaling calls of the base stand-in.
#include <gtest/gtest.h>
#include <unistd.h>
#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string self_path() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

TEST(ModuleFileName, TheProgramAndALibraryByItsWindowsName) {
  char buf[PATH_MAX];
  const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(std::string(buf, n), self_path());
  HMODULE program = GetModuleHandleA(nullptr);
  ASSERT_NE(program, nullptr);
  ASSERT_EQ(GetModuleFileNameA(program, buf, sizeof buf), n);
  EXPECT_EQ(std::string(buf), self_path());

  // The base library is linked into this program: "qmbase.dll" names
  // libqmbase.so, without regard to case or a folder before it.
  for (const char* name : {"qmbase.dll", "QMBASE.DLL", "c:\\x\\qmbase.ocx", "libqmbase.so"}) {
    SCOPED_TRACE(name);
    HMODULE base = GetModuleHandleA(name);
    ASSERT_NE(base, nullptr);
    EXPECT_NE(base, program);
    const DWORD len = GetModuleFileNameA(base, buf, sizeof buf);
    ASSERT_GT(len, 0u);
    const std::string path(buf, len);
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "libqmbase.so");
  }
  EXPECT_EQ(GetModuleHandleA("qm_no_such_module.dll"), nullptr);
  EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(0x10), buf, sizeof buf), 0u) << "no module lives there";
}

TEST(ModuleFileName, ANameThatDoesNotFitIsCutAndEnded) {
  const std::string full = self_path();
  ASSERT_GT(full.size(), 4u);
  char small[5];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
  EXPECT_EQ(std::string(small), full.substr(0, 4));
  EXPECT_EQ(GetModuleFileNameA(nullptr, nullptr, 10), 0u);
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, 0), 0u);
}

class TempPath : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* t = std::getenv("TMPDIR");
    had_ = t != nullptr;
    if (t) saved_ = t;
  }
  void TearDown() override {
    if (had_)
      setenv("TMPDIR", saved_.c_str(), 1);
    else
      unsetenv("TMPDIR");
  }
  bool had_ = false;
  std::string saved_;
};

TEST_F(TempPath, TheTemporaryFolderEndsWithASeparator) {
  struct Case {
    const char* tmpdir;  // null: unset
    const char* expected;
  } cases[] = {{"/var/qm", "/var/qm/"}, {"/var/qm/", "/var/qm/"}, {"", "/tmp/"}, {nullptr, "/tmp/"}};
  for (const Case& c : cases) {
    if (c.tmpdir)
      setenv("TMPDIR", c.tmpdir, 1);
    else
      unsetenv("TMPDIR");
    char buf[256];
    const DWORD n = GetTempPathA(sizeof buf, buf);
    EXPECT_EQ(std::string(buf, n), c.expected);
  }
  setenv("TMPDIR", "/var/qm", 1);
  char tiny[4] = "abc";
  EXPECT_EQ(GetTempPathA(sizeof tiny, tiny), 9u) << "the size needed, its NUL counted";
  EXPECT_STREQ(tiny, "abc") << "a buffer too small is left alone";
  EXPECT_EQ(GetTempPathA(0, nullptr), 9u);
}

TEST(MulDiv, RoundsHalfAwayFromZeroAndReportsWhatCannotBeAnswered) {
  struct Case {
    int a, b, c, expected;
  } cases[] = {
      {60, 96, 96, 60}, {85, 120, 96, 106},  {85, 144, 96, 128}, {1, 1, 2, 1},
      {-1, 1, 2, -1},   {3, 1, 2, 2},        {5, 1, 4, 1},       {-7, 1, 2, -4},
      {7, -1, 2, -4},   {7, 1, -2, -4},      {0, 5, 3, 0},       {INT_MAX, 2, 2, INT_MAX},
      {1, 1, 0, -1},    {INT_MAX, 4, 1, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

}  // namespace
