// quillmark_register, run as a user runs it: it edits the registry in place
// (comments, order and other servers kept byte for byte), through a link to
// the registry, removes only what names the library it is given, and leaves
// no registry behind that it made itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/program_run.h"
#include "tests/support/test_temp.h"

namespace {

class RegisterProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = qm_test_temp("register_program");
    ASSERT_EQ(std::system(("mkdir -p '" + dir_ + "'").c_str()), 0);
    library_ = std::string(QM_REGISTER_PROGRAM);
    library_ = library_.substr(0, library_.find_last_of('/') + 1) + "libquillmarkocx.so";
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  // Runs the program with QM_REGISTRY naming `registry`.
  program_test::Outcome run(const std::string& registry, std::vector<std::string> args) {
    const std::string saved = std::getenv("QM_REGISTRY") ? std::getenv("QM_REGISTRY") : "";
    setenv("QM_REGISTRY", registry.c_str(), 1);
    args.push_back(library_);
    program_test::Outcome r = program_test::run(QM_REGISTER_PROGRAM, args, dir_);
    if (saved.empty())
      unsetenv("QM_REGISTRY");
    else
      setenv("QM_REGISTRY", saved.c_str(), 1);
    return r;
  }
  std::string dir_, library_;
};

// Another server's keys, out of the tool's order, a comment and CR LF line
// ends: registering and unregistering gives back the same bytes.
constexpr char kOthers[] =
    "; kept by hand\n[Zeta.Server\\\\CLSID]\n@={00000000-0000-0000-0000-000000000001}\r\n\n"
    "[CLSID\\\\{00000000-0000-0000-0000-000000000001}\\\\InprocServer32]\n@=/opt/zeta/libzeta.so\n";

TEST_F(RegisterProgram, EditsInPlaceAndThroughALinkKeepingEverythingElse) {
  const std::string real = dir_ + "/registry.ini", link = dir_ + "/link.ini";
  write_all(real, kOthers);
  ASSERT_EQ(symlink("registry.ini", link.c_str()), 0);
  for (const std::string& named : {real, link}) {
    SCOPED_TRACE(named);
    auto r = run(named, {});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string registered = read_all(real);
    EXPECT_EQ(registered.rfind(kOthers, 0), 0u) << "new keys go after the file's own lines";
    EXPECT_NE(registered.find(library_), std::string::npos);
    r = run(named, {"--unregister"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_all(real), kOthers);
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
  }
}

TEST_F(RegisterProgram, UnregisteringRemovesOnlyWhatNamesTheLibrary) {
  const std::string registry = dir_ + "/registry.ini";
  ASSERT_EQ(run(registry, {}).status, 0);
  const std::string registered = read_all(registry);
  // Another library (here a copy of the same one) has nothing registered.
  const std::string other = dir_ + "/libother.so";
  ASSERT_EQ(std::system(("cp '" + library_ + "' '" + other + "'").c_str()), 0);
  const std::string saved = library_;
  library_ = other;
  auto r = run(registry, {"--unregister"});
  library_ = saved;
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("nothing was removed"), std::string::npos) << r.err;
  EXPECT_EQ(read_all(registry), registered);
  // The registry this program made is gone with the registration.
  ASSERT_EQ(run(registry, {"--unregister"}).status, 0);
  EXPECT_NE(access(registry.c_str(), F_OK), 0);
}

}  // namespace
