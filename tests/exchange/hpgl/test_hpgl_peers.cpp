// Real plot files and other HPGL programs: the sample plots of the hp2xx
// package read as hp2xx reads them, plotutils' graph writes points that
// come back where they were, and hp2xx draws what we write.
#include <zlib.h>

#include "database/entities/mb_line.h"
#include "hpgl_support.h"

namespace {

using hpgl_test::Chain;
using hpgl_test::chains_of;
using hpgl_test::ScratchDir;
using hpgl_test::Segment;

const std::string kSamples = "/usr/share/doc/hp2xx/hp-tests";

// The sample as a plain plot file in dir (gzip-compressed ones unpacked).
std::string plain_sample(const std::string& name, const ScratchDir& dir) {
  const std::string path = kSamples + "/" + name;
  if (name.size() < 3 || name.compare(name.size() - 3, 3, ".gz") != 0) return path;
  gzFile in = gzopen(path.c_str(), "rb");
  if (!in) return "";
  std::string bytes;
  char buf[65536];
  int n;
  while ((n = gzread(in, buf, sizeof buf)) > 0) bytes.append(buf, static_cast<size_t>(n));
  gzclose(in);
  return dir.write(name.substr(0, name.size() - 3), bytes);
}

#define REQUIRE_SAMPLES()                                                                              \
  if (!std::filesystem::is_directory(kSamples))                                                        \
  GTEST_SKIP() << kSamples << " is missing: install hp2xx (bash tools/setup.sh)"

TEST(HpglPeers, EverySampleLoads) {
  REQUIRE_SAMPLES();
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kSamples)) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    ScratchDir dir;
    const std::string path = plain_sample(name, dir);
    ASSERT_FALSE(path.empty());
    MB_Drawing drawing;
    EXPECT_TRUE(api_mb_load_hpgl_file(path.c_str()));
    ++files;
  }
  EXPECT_GE(files, 30);
}

// Files whose drawing is pen moves only (no arcs, fills, dashes or user
// scaling), so hp2xx draws exactly their chains: a CAD program's plot with
// one PA per point, relative moves on lines without ';', and blanks between
// numbers.
TEST(HpglPeers, SamplesReadAsHp2xxDrawsThem) {
  REQUIRE_SAMPLES();
  struct Case {
    const char* file;
    size_t chains;
    size_t segments;  // with a length
    Chain first;      // the start of the first chain
  };
  const Case cases[] = {
      {"acad.hp.gz", 1987, 1974, {{4810, 6099}, {4810, 5699}}},
      {"la.hp", 35, 36, {{0, 2000}, {0, 0}, {4000, 0}}},
      {"miter.hp", 5, 7, {{4000, 3000}, {3500, 2500}, {4000, 2000}}},
      {"colors.hp", 7, 28, {{-100, -100}, {100, -100}, {100, 100}, {-100, 100}, {-100, -100}}},
  };
  const bool peer = hpgl_test::have_program("hp2xx");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ScratchDir dir;
    const std::string path = plain_sample(c.file, dir);
    MB_Drawing drawing;
    ASSERT_TRUE(api_mb_load_hpgl_file(path.c_str()));
    const std::vector<Chain> chains = chains_of(drawing);
    const std::vector<Segment> segs = hpgl_test::segments_of(chains);
    EXPECT_EQ(chains.size(), c.chains);
    EXPECT_EQ(segs.size(), c.segments);
    ASSERT_FALSE(chains.empty());
    EXPECT_EQ(Chain(chains[0].begin(), chains[0].begin() + std::min(chains[0].size(), c.first.size())), c.first);
    if (!peer) continue;
    std::string why;
    EXPECT_TRUE(hpgl_test::same_picture(segs, hpgl_test::hp2xx_segments(path, dir), 1e-4, &why)) << why;
  }
  if (!peer) GTEST_SKIP() << "hp2xx is missing: the chains were not compared with its drawing";
}

// graph maps data x in [0, 10] onto user units 2000 .. 8000 (its plot area
// is 0.2 .. 0.8 of a 10000-unit page), y alike.
TEST(HpglPeers, GraphPointsComeBackWhereTheyWere) {
  if (!hpgl_test::have_program("graph")) GTEST_SKIP() << "graph is missing: install plotutils (bash tools/setup.sh)";
  const std::vector<std::pair<double, double>> data = {{0, 0}, {10, 0}, {10, 5}, {3, 7}, {2.5, 1.5}, {0, 10}};
  ScratchDir dir;
  std::string points;
  for (const auto& p : data) points += std::to_string(p.first) + " " + std::to_string(p.second) + "\n";
  const std::string in = dir.write("points.txt", points);
  const std::string out = dir.file("graph.plt");
  ASSERT_TRUE(hpgl_test::run("graph -T hpgl -g 0 -x 0 10 -y 0 10 -w 0.6 -h 0.6 -r 0.2 -u 0.2 < '" + in + "' > '" +
                             out + "'"));
  MB_Drawing drawing;
  ASSERT_TRUE(api_mb_load_hpgl_file(out.c_str()));
  Chain expected;
  for (const auto& p : data) expected.emplace_back(2000 + 600 * p.first, 2000 + 600 * p.second);
  const std::vector<Chain> chains = chains_of(drawing);
  ASSERT_EQ(chains.size(), 1u) << read_all(out);
  EXPECT_EQ(chains[0], expected);
}

// Every segment we write, not only the first of each stroke, is drawn by
// hp2xx where we put it.
TEST(HpglPeers, Hp2xxDrawsWhatWeWrite) {
  if (!hpgl_test::have_program("hp2xx")) GTEST_SKIP() << "hp2xx is missing: install it (bash tools/setup.sh)";
  ScratchDir dir;
  MB_Drawing drawing;
  const double pts[][4] = {{0, 0, 10, 0}, {10, 0, 10, 10}, {10, 10, 0, 10}, {0, 10, 0, 0},
                           {2, 2, 8, 8},  {20, 5, 25, 5},  {25, 5, 25, 9}, {3, 7, 6, 7}};
  std::vector<Segment> ours;
  for (const auto& p : pts) {
    MB_Line* l = new MB_Line(As_Pt(p[0], p[1], 0), As_Pt(p[2], p[3], 0));
    l->general().display_color(0x0000FF);
    l->build_draw();
    drawing.add_object(l);
    ours.push_back({p[0], p[1], p[2], p[3]});
  }
  const std::string path = dir.file("ours.plt");
  ASSERT_TRUE(api_mb_save_hpgl_file(path.c_str()));
  std::string why;
  EXPECT_TRUE(hpgl_test::same_picture(ours, hpgl_test::hp2xx_segments(path, dir), 1e-4, &why)) << why;
}

}  // namespace

namespace {

// Each axis of the segments mapped onto [0, 1] of their own extent (hp2xx
// scales x and y of a scaled plot apart).
std::vector<Segment> unit_box(const std::vector<Segment>& s) {
  double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
  for (const Segment& g : s) {
    x0 = std::min({x0, g.x0, g.x1}), y0 = std::min({y0, g.y0, g.y1});
    x1 = std::max({x1, g.x0, g.x1}), y1 = std::max({y1, g.y0, g.y1});
  }
  std::vector<Segment> out;
  for (const Segment& g : s)
    out.push_back({(g.x0 - x0) / (x1 - x0), (g.y0 - y0) / (y1 - y0), (g.x1 - x0) / (x1 - x0), (g.y1 - y0) / (y1 - y0)});
  return out;
}

// The segments at least min_length long in the drawing's unit box, mapped
// onto a unit box of their own.
std::vector<Segment> long_segments(const std::vector<Segment>& s, double min_length) {
  const std::vector<Segment> unit = unit_box(s);
  std::vector<Segment> kept;
  for (size_t i = 0; i < s.size(); ++i)
    if (std::hypot(unit[i].x1 - unit[i].x0, unit[i].y1 - unit[i].y0) >= min_length) kept.push_back(s[i]);
  return unit_box(kept);
}

// An arc is read and not drawn, but the pen moves to its end: the lines
// after each arc of hp2xx's arcs.hp start where the plotter's pen is.
TEST(HpglPeers, ArcsMoveThePenToTheirEnds) {
  REQUIRE_SAMPLES();
  ScratchDir dir;
  const std::string path = plain_sample("arcs.hp", dir);
  MB_Drawing drawing;
  ASSERT_TRUE(api_mb_load_hpgl_file(path.c_str()));
  const std::vector<Segment> ours = hpgl_test::segments_of(chains_of(drawing));
  // PR200,0 from (100,0); AA300,100,90 ends at (400,100), then PR0,200;
  // AA200,300,180 ends at (0,300), then PA0,100.
  const Segment expected[] = {{100, 0, 300, 0}, {400, 100, 400, 300}, {0, 300, 0, 100}};
  ASSERT_EQ(ours.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(ours[i].x0, expected[i].x0, 1e-9);
    EXPECT_NEAR(ours[i].y0, expected[i].y0, 1e-9);
    EXPECT_NEAR(ours[i].x1, expected[i].x1, 1e-9);
    EXPECT_NEAR(ours[i].y1, expected[i].y1, 1e-9);
  }
  if (!hpgl_test::have_program("hp2xx")) GTEST_SKIP() << "hp2xx is missing: the lines were not compared with its drawing";
  // hp2xx draws the arcs and circles as short chords; its long segments are
  // the three lines, in the same places of their extent.
  const std::vector<Segment> theirs = long_segments(hpgl_test::hp2xx_segments(path, dir), 0.25);
  const std::vector<Segment> mine = long_segments(ours, 0.25);
  ASSERT_EQ(theirs.size(), mine.size());
  for (const Segment& g : mine) {
    bool found = false;
    for (const Segment& h : theirs)
      found = found || (std::fabs(g.x0 - h.x0) < 1e-3 && std::fabs(g.y0 - h.y0) < 1e-3 &&
                        std::fabs(g.x1 - h.x1) < 1e-3 && std::fabs(g.y1 - h.y1) < 1e-3);
    EXPECT_TRUE(found) << g.x0 << "," << g.y0 << " - " << g.x1 << "," << g.y1;
  }
}

}  // namespace
