// HATCH entities: every boundary kind, solid fills with islands, pattern
// lines, and hostile boundaries.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "database/entities/mb_hatch.h"
#include "database/entities/mb_solid.h"
#include "exchange/cadbridge/dxf_guard.h"
#include "geometry/as_loop.h"
#include "geometry/as_pt_set.h"
#include "tests/cadbridge/dxf_fixture.h"

namespace {

using ID = MB_Object;

// A HATCH record around its boundary paths; `tail` follows the paths.
std::string hatch(bool solid, int paths, const std::string& body, const std::string& tail = "75\n0\n") {
  return "0\nHATCH\n8\n0\n10\n0\n20\n0\n30\n0\n2\n" + std::string(solid ? "SOLID" : "USER") + "\n70\n" +
         (solid ? "1" : "0") + "\n71\n0\n91\n" + std::to_string(paths) + "\n" + body + tail;
}

// A polyline path through the square of side s centred on (c, c).
std::string square(double c, double s) {
  const double a = c - s / 2, b = c + s / 2;
  auto v = [](double x, double y) { return "10\n" + std::to_string(x) + "\n20\n" + std::to_string(y) + "\n"; };
  return "92\n2\n72\n0\n73\n1\n93\n4\n" + v(a, a) + v(b, a) + v(b, b) + v(a, b) + "97\n0\n";
}

// The extents of the points, as {xmin, ymin, xmax, ymax}.
std::array<double, 4> bounds(const As_Pt* p, int n) {
  std::array<double, 4> r = {1e300, 1e300, -1e300, -1e300};
  for (int i = 0; i < n; ++i) {
    r[0] = std::min(r[0], p[i].x()), r[1] = std::min(r[1], p[i].y());
    r[2] = std::max(r[2], p[i].x()), r[3] = std::max(r[3], p[i].y());
  }
  return r;
}

TEST(DxfHatch, EveryBoundaryKindMakesAClosedRing) {
  // Each path bounds the same region, [0, 10] x [0, 10] or a curve within it.
  const struct {
    const char* what;
    std::string path;
    std::array<double, 4> box;
  } cases[] = {
      {"polyline with a bulge: a half disc on top of the square's bottom edge",
       "92\n2\n72\n1\n73\n1\n93\n2\n10\n0\n20\n0\n42\n1\n10\n10\n20\n0\n42\n0\n97\n0\n", {0, -5, 10, 0}},
      {"lines",
       "92\n1\n93\n3\n72\n1\n10\n0\n20\n0\n11\n10\n21\n0\n72\n1\n10\n10\n20\n0\n11\n10\n21\n10\n"
       "72\n1\n10\n10\n20\n10\n11\n0\n21\n0\n97\n0\n",
       {0, 0, 10, 10}},
      {"a full circle as an arc edge", "92\n1\n93\n1\n72\n2\n10\n5\n20\n5\n40\n5\n50\n0\n51\n360\n73\n1\n97\n0\n",
       {0, 0, 10, 10}},
      {"a clockwise half arc closed by a line",
       "92\n1\n93\n2\n72\n2\n10\n5\n20\n0\n40\n5\n50\n0\n51\n180\n73\n0\n"
       "72\n1\n10\n0\n20\n0\n11\n10\n21\n0\n97\n0\n",
       {0, -5, 10, 0}},
      {"a full ellipse edge", "92\n1\n93\n1\n72\n3\n10\n5\n20\n5\n11\n5\n21\n0\n40\n0.5\n50\n0\n51\n360\n73\n1\n97\n0\n",
       {0, 2.5, 10, 7.5}},
      {"a spline edge closed by a line",
       "92\n1\n93\n2\n72\n4\n94\n1\n73\n0\n74\n0\n95\n4\n96\n2\n40\n0\n40\n0\n40\n1\n40\n1\n"
       "10\n0\n20\n0\n10\n10\n20\n10\n72\n1\n10\n10\n20\n10\n11\n10\n21\n0\n97\n0\n",
       {0, 0, 10, 10}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Dxf_Load load;
    load.text(dxf_entities(hatch(true, 1, c.path)));
    ASSERT_TRUE(load.ok);
    MB_Solid* solid = load.first<MB_Solid>(ID::ID_SOLID);
    ASSERT_NE(solid, nullptr);
    ASSERT_GE(solid->count(), 4);
    const As_Pt* p = solid->points();
    EXPECT_EQ(p[0].x(), p[solid->count() - 1].x());  // the ring closes
    EXPECT_EQ(p[0].y(), p[solid->count() - 1].y());
    const auto box = bounds(p, solid->count());
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(box[size_t(k)], c.box[size_t(k)], 0.01) << k;
  }
}

// Islands: a square in a square in a square, drawn by each hatch style.
TEST(DxfHatch, IslandsFollowTheHatchStyle) {
  const std::string paths = square(0, 30) + square(0, 20) + square(0, 10);
  const struct {
    int style;
    size_t rings;
  } cases[] = {{0, 3}, {1, 2}, {2, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    Dxf_Load load;
    load.text(dxf_entities(hatch(false, 3, paths, "75\n" + std::to_string(c.style) + "\n76\n1\n52\n0\n41\n1\n77\n0\n78\n1\n"
                                                      "53\n45\n43\n0\n44\n0\n45\n-1\n46\n1\n79\n0\n")));
    ASSERT_TRUE(load.ok);
    MB_Hatch* h = load.first<MB_Hatch>(ID::ID_HATCH);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(size_t(h->loop_list().count()), c.rings);
    // The pattern's line: 45 degrees, offset (-1, 1) is 1.414 across.
    ASSERT_EQ(h->pattern()->line_list().count(), 1);
    const std::string line = static_cast<MB_String*>(h->pattern()->line_list().head()->entity())->ascii();
    EXPECT_EQ(line.substr(0, 4), "45, ");
    EXPECT_NE(line.find("1.414213562"), std::string::npos) << line;
    h->build_draw();
    EXPECT_FALSE(h->line_sets().is_empty());
  }
}

TEST(DxfHatch, SolidWithAnIslandKeepsItsHoleOpen) {
  Dxf_Load load;
  load.text(dxf_entities(hatch(true, 2, square(0, 20) + square(0, 10))));
  ASSERT_TRUE(load.ok);
  MB_Solid* solid = load.first<MB_Solid>(ID::ID_SOLID);
  ASSERT_NE(solid, nullptr);
  // The hole's closed ring spliced in at the outer corner nearest to it
  // (the first), and the way back to that corner.
  EXPECT_EQ(solid->count(), 5 + 5 + 1);
  EXPECT_EQ(solid->points()[1].x(), -5.0);
  EXPECT_EQ(solid->points()[6].x(), -10.0);
  EXPECT_EQ(solid->points()[10].x(), solid->points()[0].x());
  EXPECT_EQ(solid->next(), nullptr);
}

TEST(DxfHatch, SolidOfSeparateRingsIsOneSolidEach) {
  // No edge may join rings that lie apart: it would be drawn across.
  Dxf_Load load;
  load.text(dxf_entities(hatch(true, 3, square(0, 2) + square(10, 2) + square(20, 2))));
  ASSERT_TRUE(load.ok);
  EXPECT_EQ(load.counts()[ID::ID_SOLID], 3);
  for (MB_Object* o = load.drawing->object_list().head(); o; o = o->next())
    EXPECT_EQ(static_cast<MB_Solid*>(o)->count(), 5);
}

TEST(DxfHatch, BrokenBoundariesLoadWhatTheyCanAndSayWhy) {
  // An open path (closed by a straight edge), a path of two points (left
  // out), an edge of an unknown kind, and a count far beyond the groups.
  const std::string body = "92\n1\n93\n2\n72\n1\n10\n0\n20\n0\n11\n10\n21\n0\n72\n1\n10\n10\n20\n0\n11\n10\n21\n10\n97\n0\n"
                           "92\n2\n72\n0\n73\n1\n93\n2\n10\n0\n20\n0\n10\n1\n20\n1\n97\n0\n"
                           "92\n1\n93\n2000000000\n72\n9\n10\n0\n20\n0\n97\n0\n";
  Dxf_Load load;
  load.text(dxf_entities(hatch(true, 1000000000, body)));
  ASSERT_TRUE(load.ok);
  EXPECT_EQ(load.result, kCadbridgePartly);
  MB_Solid* solid = load.first<MB_Solid>(ID::ID_SOLID);
  ASSERT_NE(solid, nullptr);
  EXPECT_EQ(solid->count(), 4);

  Dxf_Guarded guarded;
  ASSERT_TRUE(dxf_guard(dxf_entities(hatch(true, 3, body)), guarded));
  ASSERT_EQ(guarded.hatches.size(), 1u);
  const auto& problems = guarded.hatches[0].problems;
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_NE(problems[0].find("does not close"), std::string::npos);
  EXPECT_NE(problems[1].find("fewer than three"), std::string::npos);
  EXPECT_NE(problems[2].find("unknown kind 9"), std::string::npos);
  // dxflib is handed the hatch without its boundaries.
  EXPECT_EQ(guarded.text.find("\n92\n"), std::string::npos);
}

TEST(DxfHatch, APatternLineOfManyDashesKeepsWholeNumbers) {
  std::string dashes = "79\n60\n";
  for (int i = 0; i < 60; ++i) dashes += i % 2 ? "49\n-0.123456789012\n" : "49\n0.987654321098\n";
  Dxf_Guarded guarded;
  ASSERT_TRUE(dxf_guard(dxf_entities(hatch(false, 1, square(0, 10),
                                           "75\n0\n78\n1\n53\n0\n43\n0\n44\n0\n45\n0\n46\n1\n" + dashes)),
                        guarded));
  ASSERT_EQ(guarded.hatches.size(), 1u);
  ASSERT_EQ(guarded.hatches[0].pattern_lines.size(), 1u);
  const std::string& line = guarded.hatches[0].pattern_lines[0];
  EXPECT_LE(line.size(), size_t(Hatch_Pattern::kMaxLineText));
  // The base from the square's lower left corner, (-5, -5).
  EXPECT_EQ(line.substr(0, 11), "0, 5, 5, 0,");
  // Cut between numbers, never inside one.
  const std::string last = line.substr(line.rfind(", ") + 2);
  EXPECT_TRUE(last == "0.9876543211" || last == "-0.123456789") << line;
  EXPECT_EQ(guarded.hatches[0].problems.size(), 1u);
}

// The file's pattern lines lie from the origin of the hatch's plane
// wherever the boundary is: level lines through y = 0.5 + k, upright ones
// on x = k dashed one on, one off from y = 0; a plane facing down mirrors
// them about the Y axis. The square spans (10.3, 20.25) to (14.3, 24.25) in
// the plane.
TEST(DxfHatch, PatternLinesLieFromThePlanesOrigin) {
  const std::string body =
      "92\n2\n72\n0\n73\n1\n93\n4\n10\n10.3\n20\n20.25\n10\n14.3\n20\n20.25\n10\n14.3\n20\n24.25\n"
      "10\n10.3\n20\n24.25\n97\n0\n"
      "75\n0\n76\n1\n52\n0\n41\n1\n77\n0\n78\n2\n"
      "53\n0\n43\n0\n44\n0.5\n45\n0\n46\n1\n79\n0\n"
      "53\n90\n43\n0\n44\n0\n45\n-1\n46\n0\n79\n2\n49\n1\n49\n-1\n";
  using Piece = std::array<double, 4>;  // x1, y1, x2, y2, the lower end first
  for (const double side : {1.0, -1.0}) {
    SCOPED_TRACE(side);
    std::set<Piece> want;
    for (double y : {20.5, 21.5, 22.5, 23.5}) want.insert({side * 10.3, y, side * 14.3, y});
    for (double x : {11.0, 12.0, 13.0, 14.0}) {
      for (const auto& [y1, y2] : {std::pair{20.25, 21.0}, {22.0, 23.0}, {24.0, 24.25}})
        want.insert({side * x, y1, side * x, y2});
    }
    Dxf_Load load;
    load.text(dxf_entities("0\nHATCH\n8\n0\n10\n0\n20\n0\n30\n0\n210\n0\n220\n0\n230\n" + std::to_string(side) +
                           "\n2\nUSER\n70\n0\n71\n0\n91\n1\n" + body));
    ASSERT_TRUE(load.ok);
    MB_Hatch* h = load.first<MB_Hatch>(ID::ID_HATCH);
    ASSERT_NE(h, nullptr);
    h->build_draw();
    std::set<Piece> got;
    auto round = [](double v) { return std::round(v * 1e6) / 1e6; };
    for (As_Void_Node* n = h->line_sets().head(); n; n = n->next()) {
      const As_Pt_Sets* s = static_cast<const As_Pt_Sets*>(n->entity());
      for (int k = 0; k < static_cast<int>(s->ptset_count()); ++k) {
        As_Pt a = s->get_point(k, 0), b = s->get_point(k, static_cast<int>(s->vals()[k]) - 1);
        if (std::make_pair(a.y(), a.x()) > std::make_pair(b.y(), b.x())) std::swap(a, b);
        if (a.y() == b.y() && a.x() * side > b.x() * side) std::swap(a, b);
        got.insert({round(a.x()), round(a.y()), round(b.x()), round(b.y())});
      }
    }
    EXPECT_EQ(got, want);
  }
}

TEST(DxfHatch, AHugeBoundaryIsCutToTheBudget) {
  std::string body = "92\n2\n72\n0\n73\n1\n93\n1100000\n";
  body.reserve(1100000 * 24);
  for (int i = 0; i < 1100000; ++i) body += "10\n" + std::to_string(i % 2) + "\n20\n" + std::to_string(i) + "\n";
  Dxf_Guarded guarded;
  ASSERT_TRUE(dxf_guard(dxf_entities(hatch(true, 1, body + "97\n0\n")), guarded));
  ASSERT_EQ(guarded.hatches.size(), 1u);
  ASSERT_EQ(guarded.hatches[0].rings.size(), 1u);
  EXPECT_EQ(guarded.hatches[0].rings[0].size(), kDxfHatchMaxPoints);
  EXPECT_FALSE(guarded.hatches[0].problems.empty());
}

}  // namespace
