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
  ASSERT_EQ(system(("rm -rf " + dir).c_str()), 0);
}

}  // namespace
