// Every program of the toolkit answers its command line alike: --help prints
// the usage on standard output (status 0), --version the program's name and
// version (status 0), a wrong command line the reason and the usage on
// standard error (status 2); none of them makes a file while answering. A
// picture a program writes takes its type from its name's extension.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/test_temp.h"

namespace {

struct Program {
  const char* name;
  const char* path;
};
const Program kPrograms[] = {
    {"quillmark_host", QM_HOST_PROGRAM},
    {"quillmark_register", QM_REGISTER_PROGRAM},
    {"quillmark_plot", QM_PLOT_PROGRAM},
    {"quillmark_render", QM_RENDER_PROGRAM},
    {"quillmark_first_drawing", QM_FIRST_DRAWING_PROGRAM},
    {"quillmark_demo", QM_DEMO_PROGRAM},
    {"fontlathe", QM_FONTLATHE_PROGRAM},
    {"fontlathe_decompile", QM_DECOMPILE_PROGRAM},
};

class CommandLineTest : public ::testing::Test {
 protected:
  // The programs run headless, find the build's control through its
  // registry, and keep what they keep of the user's settings in a folder of
  // the test's own.
  void SetUp() override {
    dir_ = qm_test_temp("command_lines");
    config_ = qm_test_temp("command_lines_config");
    ASSERT_EQ(std::system(("rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "'").c_str()), 0);
    setenv("QM_HEADLESS", "1", 1);
    setenv("QM_REGISTRY", QM_BUILD_REGISTRY, 1);
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "' '" + config_ + "'").c_str()); }
  // The names the test's folder holds.
  std::string made() const {
    std::string names;
    if (DIR* d = opendir(dir_.c_str())) {
      while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names += std::string(e->d_name) + " ";
      closedir(d);
    }
    return names;
  }
  std::string dir_, config_;
};

TEST_F(CommandLineTest, EveryProgramAnswersHelpVersionAndAWrongOptionAlike) {
  for (const Program& p : kPrograms) {
    SCOPED_TRACE(p.name);
    const std::string usage = std::string("usage: ") + p.name;
    const auto help = program_test::run(p.path, {"--help"}, dir_);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind(usage, 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
    const auto version = program_test::run(p.path, {"--version"}, dir_);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind(std::string(p.name) + " ", 0), 0u) << version.out;
    EXPECT_EQ(std::count(version.out.begin(), version.out.end(), '\n'), 1) << version.out;
    EXPECT_EQ(version.err, "");
    const auto wrong = program_test::run(p.path, {"--no-such-option"}, dir_);
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err.rfind(std::string(p.name) + ": unknown option '--no-such-option'\n", 0), 0u)
        << "every program words it alike: " << wrong.err;
    EXPECT_NE(wrong.err.find(usage), std::string::npos) << wrong.err;
    EXPECT_EQ(made(), "") << "answering the command line makes nothing";
  }
}

// The first bytes of each picture type.
struct Kind {
  const char* ext;
  std::string magic;
};
const Kind kKinds[] = {{"png", "\x89PNG"}, {"jpg", "\xFF\xD8\xFF"}, {"JPEG", "\xFF\xD8\xFF"},
                       {"bmp", "BM"},      {"gif", "GIF8"},         {"tif", "II*"}};

TEST_F(CommandLineTest, AScreenshotTakesTheTypeOfItsExtension) {
  struct Shooter {
    const char* path;
    std::vector<std::string> args;  // the picture's name follows
  };
  const Shooter shooters[] = {{QM_HOST_PROGRAM, {"--headless", "--size", "160x120", "--screenshot"}},
                              {QM_FONTLATHE_PROGRAM, {"--headless", "--screenshot"}}};
  for (const Shooter& s : shooters) {
    for (const Kind& k : kKinds) {
      SCOPED_TRACE(std::string(s.path) + " " + k.ext);
      std::vector<std::string> args = s.args;
      args.push_back(std::string("shot.") + k.ext);
      const auto r = program_test::run(s.path, args, dir_);
      EXPECT_EQ(r.status, 0) << r.err;
      const std::string bytes = program_test::read_all(dir_ + "/shot." + k.ext);
      EXPECT_EQ(bytes.substr(0, k.magic.size()), k.magic);
      std::remove((dir_ + "/shot." + k.ext).c_str());
    }
    // A name of no picture type is a picture that cannot be written: named
    // with the reason, status 1, nothing made.
    std::vector<std::string> args = s.args;
    args.push_back("shot.xyz");
    const auto r = program_test::run(s.path, args, dir_);
    EXPECT_EQ(r.status, 1) << s.path;
    EXPECT_NE(r.err.find("shot.xyz: no picture type has this extension"), std::string::npos) << r.err;
    EXPECT_EQ(made(), "") << s.path;
  }
}

}  // namespace
