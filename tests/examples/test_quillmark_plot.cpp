// The plot converter as a user meets it: every name a plot file goes by is
// taken as one, and a pair of names with no plot file among them is refused
// with the names a plot file may have.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tests/support/program_run.h"

namespace {

using program_test::Outcome;

TEST(PlotConverter, TakesEveryPlotFileNameAndRefusesOthers) {
  char tmpl[] = "/tmp/qm_plot_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  for (const char* ext : {"plt", "hgl", "hp", "hpg", "hpgl", "HPGL"}) {
    SCOPED_TRACE(ext);
    const std::string plot = dir + "/square." + ext;
    FILE* f = std::fopen(plot.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("IN;PU0,0;PD100,0,100,100,0,100,0,0;PU;", f);
    std::fclose(f);
    const Outcome r = program_test::run(QM_PLOT_PROGRAM, {plot, dir + "/square.kzf"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    std::remove((dir + "/square.kzf").c_str());
  }
  const Outcome r = program_test::run(QM_PLOT_PROGRAM, {dir + "/a.txt", dir + "/b.kzf"}, dir);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("must be a plot file (.plt, .hgl, .hp, .hpg, .hpgl)"), std::string::npos) << r.err;
  const Outcome both = program_test::run(QM_PLOT_PROGRAM, {dir + "/a.plt", dir + "/b.plt"}, dir);
  EXPECT_EQ(both.status, 2);
  EXPECT_NE(both.err.find("must be a native drawing, the other a plot file"), std::string::npos) << both.err;
  ASSERT_EQ(system(("rm -rf " + dir).c_str()), 0);
}

// hp2xx's sample plots, as a user converts them: a plot that holds something
// a plotter draws becomes a drawing; one that holds nothing of the kind
// (set-up, labels, fills only) is refused with that reason and status 1, and
// no drawing is written, as the control refuses to open it.
TEST(PlotConverter, RefusesARealPlotThatDrawsNothing) {
  const std::string samples = "/usr/share/doc/hp2xx/hp-tests";
  if (system(("test -d " + samples).c_str()) != 0)
    GTEST_SKIP() << samples << " is missing: install hp2xx (bash tools/setup.sh)";
  char tmpl[] = "/tmp/qm_plot_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  struct Case {
    const char* file;
    bool draws;
  };
  // The ten samples whose every instruction is one the reader drops (labels,
  // fills and wedges, Bezier curves, set-up), and some that draw.
  const Case cases[] = {
      {"ascii.hp", false},    {"bz.hp", false},    {"char7.hp", false}, {"charsets.hp", false},
      {"di.hp", false},       {"dt.plt", false},   {"dv.hpg", false},   {"ew.hpg", false},
      {"fwedges.plt", false}, {"pages.hp", false}, {"arcs.hp", true},   {"ci.hp", true},
      {"fill.plt", true},     {"la.hp", true},     {"lt.hp", true},     {"pw.hpg", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string out = dir + "/drawing.kzf";
    const Outcome r = program_test::run(QM_PLOT_PROGRAM, {samples + "/" + c.file, out}, dir);
    if (c.draws) {
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(system(("test -s " + out).c_str()), 0);
    } else {
      EXPECT_EQ(r.status, 1);
      EXPECT_NE(r.err.find(std::string(c.file) + ": it holds nothing a plotter would draw"), std::string::npos)
          << r.err;
      EXPECT_NE(system(("test -e " + out).c_str()), 0) << "no drawing is written";
    }
    std::remove(out.c_str());
  }
  ASSERT_EQ(system(("rm -rf " + dir).c_str()), 0);
}

}  // namespace
