#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "geometry/as_hatch_cut.h"
#include "geometry/as_pt_set.h"
#include "loop_fixtures.h"

namespace {

using namespace loop_fixtures;

struct Piece {
  double x0, y0, x1, y1;
};

// Takes the segments out of the list, deleting them, in a canonical form:
// each piece from its lower-left end, the pieces sorted.
std::vector<Piece> TakeSegments(As_Void_List& list) {
  std::vector<Piece> out;
  for (As_Void_Node* n = list.head(); n; n = n->next()) {
    As_Segment* s = static_cast<As_Segment*>(n->entity());
    As_Pt a = s->start(), b = s->end();
    if (xy_order_before(b, a)) std::swap(a, b);
    out.push_back({a.x(), a.y(), b.x(), b.y()});
    delete s;
  }
  list.emptyYourself();
  std::sort(out.begin(), out.end(), [](const Piece& p, const Piece& q) {
    return std::make_pair(std::round(p.x0 * 1e6), std::round(p.y0 * 1e6)) <
           std::make_pair(std::round(q.x0 * 1e6), std::round(q.y0 * 1e6));
  });
  return out;
}

void ExpectPieces(const std::vector<Piece>& got, const std::vector<Piece>& expect) {
  ASSERT_EQ(got.size(), expect.size());
  for (size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(got[i].x0, expect[i].x0, 1e-9);
    EXPECT_NEAR(got[i].y0, expect[i].y0, 1e-9);
    EXPECT_NEAR(got[i].x1, expect[i].x1, 1e-9);
    EXPECT_NEAR(got[i].y1, expect[i].y1, 1e-9);
  }
}

// trunc(width / spacing) + 1 scan lines, the first on the left edge.
TEST(HatchCut, ScanLinesAcrossASquare) {
  As_Loop square = Box(0, 0, 1, 1);
  As_Void_List loops, out;
  loops.add(&square);
  cut_segments_by_loops(loops, half_pi, 0.3, out);
  ExpectPieces(TakeSegments(out), {{0, 0, 0, 1}, {0.3, 0, 0.3, 1}, {0.6, 0, 0.6, 1}, {0.9, 0, 0.9, 1}});

  // Angle 0: the same lines turned, counted from the top.
  cut_segments_by_loops(loops, 0, 0.3, out);
  ExpectPieces(TakeSegments(out), {{0, 0.1, 1, 0.1}, {0, 0.4, 1, 0.4}, {0, 0.7, 1, 0.7}, {0, 1, 1, 1}});
}

TEST(HatchCut, DiagonalHatchStaysInside) {
  As_Loop square = Box(0, 0, 2, 2);
  As_Void_List loops, out;
  loops.add(&square);
  cut_segments_by_loops(loops, qm_pi / 4, 0.25, out);
  const std::vector<Piece> pieces = TakeSegments(out);
  ASSERT_GE(pieces.size(), 10u);
  for (const Piece& p : pieces) {
    EXPECT_GE(std::min(p.x0, p.x1), -1e-9);
    EXPECT_LE(std::max(p.y0, p.y1), 2 + 1e-9);
    // Nudged off pi/4 by 1e-5 only.
    EXPECT_NEAR(std::atan2(p.y1 - p.y0, p.x1 - p.x0), qm_pi / 4, 2e-5);
  }
}

// A square with a square hole: nothing crosses the hole, and each of the 11
// pieces inside the outline is logged once, tested against the one hole.
TEST(HatchCut, HolesStayEmptyAndTheirTestsAreLogged) {
  ScopedTempDir dir;
  ASSERT_TRUE(dir.ok());
  As_Loop outer = Box(0, 0, 4, 4), hole = Box(1, 1, 3, 3);
  As_Void_List loops, out;
  loops.add(&outer);
  loops.add(&hole);
  cut_segments_by_loops(loops, half_pi, 1, out);
  const std::vector<Piece> pieces = TakeSegments(out);
  double total = 0;
  for (const Piece& p : pieces) {
    total += std::hypot(p.x1 - p.x0, p.y1 - p.y0);
    EXPECT_EQ(hole.is_pt_in_loop(As_Pt((p.x0 + p.x1) / 2, (p.y0 + p.y1) / 2, 0)), 0);
  }
  EXPECT_EQ(pieces.size(), 8u);
  EXPECT_DOUBLE_EQ(total, 4 + 2 + 2 + 2 + 4);
  const std::string log = read_all("kzf.log");
  EXPECT_EQ(CountOf(log, "\xD6\xD0\xB5\xE3x:"), 11);
  EXPECT_EQ(CountOf(log, "\xD6\xD0\xB5\xE3x:2.0000  y:2.0000  z:0.0000"), 1);
  // Without holes nothing is logged.
  loops.removeValue(&hole);
  cut_segments_by_loops(loops, half_pi, 1, out);
  TakeSegments(out);
  EXPECT_EQ(CountOf(read_all("kzf.log"), "x:"), 11);
}

// A star of many spikes with a jagged hole, its vertices on whole numbers so
// that scan lines run through vertices and along vertical edges: every
// piece kept lies inside the star and out of the hole, every stretch of a
// scan line between kept pieces lies outside the hatched region or on its
// boundary, and the kept pieces add up to the region's area.
TEST(HatchCut, ManyEdgedLoopsKeepExactlyTheInside) {
  ScopedTempDir dir;
  ASSERT_TRUE(dir.ok());
  As_Loop star, hole;
  for (int i = 0; i < 400; ++i) {
    const double a = two_pi * i / 400, r = 100.0 * (1.0 + 0.3 * std::sin(17 * a));
    star.add(As_Pt(std::round(r * std::cos(a)), std::round(r * std::sin(a)), 0));
    const double h = 20.0 * (1.0 + 0.4 * std::sin(5 * a));
    hole.add(As_Pt(std::round(h * std::cos(a)), std::round(h * std::sin(a)), 0));
  }
  As_Void_List loops, out;
  loops.add(&star);
  loops.add(&hole);
  cut_segments_by_loops(loops, half_pi, 1.0, out);
  const std::vector<Piece> pieces = TakeSegments(out);
  ASSERT_GT(pieces.size(), 200u);
  auto region = [&](double x, double y) {
    const As_Pt p(x, y, 0);
    const int in_star = star.is_pt_in_loop(p), in_hole = hole.is_pt_in_loop(p);
    return in_star == 2 || in_hole == 2 ? 2 : (in_star == 1 && in_hole == 0 ? 1 : 0);
  };
  double length = 0;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const Piece& p = pieces[i];
    SCOPED_TRACE(i);
    ASSERT_EQ(p.x0, p.x1);
    EXPECT_NE(region(p.x0, (p.y0 + p.y1) / 2), 0);
    length += p.y1 - p.y0;
    if (i + 1 < pieces.size() && pieces[i + 1].x0 == p.x0 && pieces[i + 1].y0 > p.y1 + 1e-9) {
      EXPECT_NE(region(p.x0, (p.y1 + pieces[i + 1].y0) / 2), 1);
    }
  }
  EXPECT_NEAR(length, star.area() - hole.area(), 0.02 * star.area());
}

// Unusable spacings give nothing and return at once; empty loops are
// passed over.
TEST(HatchCut, BadInputGivesNothing) {
  As_Loop square = Box(0, 0, 1, 1), empty;
  As_Void_List loops, out;
  cut_segments_by_loops(loops, 0, 0.1, out);
  EXPECT_TRUE(out.is_empty());
  loops.add(&square);
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (double spacing : {0.0, -1.0, nan, inf, -inf, 1e-300, 1e-12}) {
    cut_segments_by_loops(loops, 0.3, spacing, out);
    EXPECT_TRUE(out.is_empty()) << spacing;
  }
  cut_segments_by_loops(loops, nan, 0.1, out);
  EXPECT_TRUE(out.is_empty());

  loops.addHead(&empty);
  cut_segments_by_loops(loops, half_pi, 0.5, out);
  ExpectPieces(TakeSegments(out), {{0, 0, 0, 1}, {0.5, 0, 0.5, 1}, {1, 0, 1, 1}});
  As_Void_List only_empty;
  only_empty.add(&empty);
  cut_segments_by_loops(only_empty, half_pi, 0.5, out);
  EXPECT_TRUE(out.is_empty());
}

TEST(HatchCut, SegmentCutAtEveryCrossing) {
  As_Loop a = Box(0, 0, 2, 2), b = Box(3, 0, 4, 2);
  As_Void_List loops, out;
  loops.add(&a);
  loops.add(&b);
  EXPECT_FALSE(cut_segment_by_loops(As_Pt(5, 1, 0), As_Pt(-1, 1, 0), loops, out));
  ExpectPieces(TakeSegments(out), {{-1, 1, 0, 1}, {0, 1, 2, 1}, {2, 1, 3, 1}, {3, 1, 4, 1}, {4, 1, 5, 1}});
  // Through a corner: both edges meet there, one cut.
  EXPECT_FALSE(cut_segment_by_loops(As_Pt(-1, -1, 0), As_Pt(1, 1, 0), loops, out));
  ExpectPieces(TakeSegments(out), {{-1, -1, 0, 0}, {0, 0, 1, 1}});
}

std::vector<std::pair<As_Pt, As_Pt>> Pairs(As_Void_List& out) {
  std::vector<std::pair<As_Pt, As_Pt>> pairs;
  for (As_Void_Node* n = out.head(); n; n = n->next()) {
    As_Pt_Sets* sets = static_cast<As_Pt_Sets*>(n->entity());
    for (unsigned long i = 0; i < sets->ptset_count(); ++i) {
      EXPECT_EQ(sets->vals()[i], 2u);
      pairs.push_back({sets->get_point(static_cast<int>(i), 0), sets->get_point(static_cast<int>(i), 1)});
    }
    delete sets;
  }
  out.emptyYourself();
  return pairs;
}

// A vertical cut through a C shape pairs its crossings bottom to top, so the
// gap between the arms stays out.
TEST(HatchCut, PolygonCutPairsAlongTheSegment) {
  const As_Loop c_shape = MakeLoop({{3, 3}, {0, 3}, {0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 2}, {3, 2}});
  const std::vector<As_Pt> pts = Vertices(c_shape);
  As_Void_List out;
  ASSERT_TRUE(segment_loop_intersection(As_Pt(2, -1, 0), As_Pt(2, 4, 0), pts.data(), 8, out));
  auto pairs = Pairs(out);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].first.y(), 0);
  EXPECT_EQ(pairs[0].second.y(), 1);
  EXPECT_EQ(pairs[1].first.y(), 2);
  EXPECT_EQ(pairs[1].second.y(), 3);
  for (const auto& p : pairs) EXPECT_EQ(c_shape.is_pt_in_loop(interpolate(0.5, p.first, p.second)), 1);

  // The same horizontally, crossing both arms.
  ASSERT_TRUE(segment_loop_intersection(As_Pt(-1, 0.5, 0), As_Pt(4, 0.5, 0), pts.data(), 8, out));
  pairs = Pairs(out);
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs[0].first.x(), 0);
  EXPECT_EQ(pairs[0].second.x(), 3);
}

TEST(HatchCut, PolygonCutTouchAndVertex) {
  const As_Pt square[4] = {As_Pt(0, 0, 0), As_Pt(2, 0, 0), As_Pt(2, 2, 0), As_Pt(0, 2, 0)};
  As_Void_List out;
  // Ends on the inside of one edge and meets no other.
  EXPECT_FALSE(segment_loop_intersection(As_Pt(1, 0, 0), As_Pt(1, -3, 0), square, 4, out));
  EXPECT_TRUE(out.is_empty());
  // Through a vertex: both edges there give it.
  ASSERT_TRUE(segment_loop_intersection(As_Pt(-1, 3, 0), As_Pt(1, 1, 0), square, 4, out));
  auto pairs = Pairs(out);
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_NEAR(pairs[0].first.x(), 0, 1e-12);
  EXPECT_NEAR(pairs[0].second.y(), 2, 1e-12);
  EXPECT_FALSE(segment_loop_intersection(As_Pt(-1, 3, 0), As_Pt(1, 1, 0), nullptr, 4, out));
  EXPECT_FALSE(segment_loop_intersection(As_Pt(-1, 3, 0), As_Pt(1, 1, 0), square, 1, out));
}

TEST(HatchCut, LoopCutIntoFaces) {
  ScopedTempDir dir;
  ASSERT_TRUE(dir.ok());
  As_Loop loop = Box(0, 0, 2, 2);
  As_Void_List cutters;
  {
    OwnedLoops out;
    EXPECT_TRUE(cut_loop_by_loops(loop, cutters, out.list));
    ASSERT_EQ(out.list.size(), 1);
    EXPECT_TRUE(HasVertices(out.at(0), {{0, 0}, {2, 0}, {2, 2}, {0, 2}}));
  }
  As_Loop corner = Box(1, 1, 3, 3);
  cutters.add(&corner);
  {
    OwnedLoops out;
    EXPECT_TRUE(cut_loop_by_loops(loop, cutters, out.list));
    ASSERT_EQ(out.list.size(), 1);
    EXPECT_DOUBLE_EQ(out.at(0).area(), 3);
    EXPECT_EQ(out.at(0).count(), 6);
  }
  // Every cut with cutters appends its time line and segments to the dump.
  const std::string dump = read_all("cutloopbyloops.txt");
  EXPECT_EQ(dump.rfind(";;", 0), 0u);
  EXPECT_EQ(CountOf(dump, ",16711680\r"), 8);
  EXPECT_EQ(CountOf(dump, "1.0000,1.0000,0.0000,3.0000,1.0000,0.0000,16711680"), 1);
  // A bar across the middle leaves two faces.
  As_Loop bar = Box(-1, 0.5, 3, 1.5);
  cutters.emptyYourself();
  cutters.add(&bar);
  {
    OwnedLoops out;
    EXPECT_TRUE(cut_loop_by_loops(loop, cutters, out.list));
    ASSERT_EQ(out.list.size(), 2);
    EXPECT_DOUBLE_EQ(out.at(0).area() + out.at(1).area(), 2);
  }
}

// A cutter inside the loop, away from it, or covering it.
TEST(HatchCut, LoopCutWithoutCrossings) {
  ScopedTempDir dir;
  ASSERT_TRUE(dir.ok());
  As_Loop loop = Box(0, 0, 4, 4);
  As_Loop inner = Box(1, 1, 2, 2), far = Box(10, 10, 11, 11), cover = Box(-1, -1, 5, 5);
  for (As_Loop* cutter : {&inner, &far}) {
    As_Void_List cutters;
    cutters.add(cutter);
    OwnedLoops out;
    EXPECT_TRUE(cut_loop_by_loops(loop, cutters, out.list));
    ASSERT_EQ(out.list.size(), 1);
    EXPECT_DOUBLE_EQ(out.at(0).area(), 16);
  }
  // An empty cutter covers nothing; an empty loop has no faces.
  As_Loop empty;
  {
    As_Void_List cutters;
    cutters.add(&empty);
    cutters.add(&inner);
    OwnedLoops out;
    EXPECT_TRUE(cut_loop_by_loops(loop, cutters, out.list));
    ASSERT_EQ(out.list.size(), 1);
    EXPECT_DOUBLE_EQ(out.at(0).area(), 16);
    OwnedLoops none;
    EXPECT_TRUE(cut_loop_by_loops(empty, cutters, none.list));
    EXPECT_TRUE(none.list.is_empty());
  }
  for (As_Loop* cutter : {&cover, &loop}) {
    As_Void_List cutters;
    cutters.add(cutter);
    OwnedLoops out;
    EXPECT_TRUE(cut_loop_by_loops(loop, cutters, out.list));
    EXPECT_TRUE(out.list.is_empty());
  }
}

TEST(HatchCut, DataHolders) {
  Key_Point k;
  EXPECT_EQ(k.flag(), 0);
  k.flag(3);
  Key_Point copy = k;
  EXPECT_EQ(copy.flag(), 3);
  Hatch_Filled_Cal cal;
  EXPECT_EQ(cal.angles(), nullptr);
  EXPECT_EQ(cal.angles_size(), 0);
  cal.angles_size(4);
  EXPECT_EQ(cal.angles_size(), 4);
  cal.build_segment_list();
  cal.begin_cal();
  EXPECT_TRUE(cal.result_list().is_empty());
  Loop_Hatch_Cal state;
  (void)state;
}

}  // namespace
