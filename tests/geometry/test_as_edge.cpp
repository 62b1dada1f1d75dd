#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "geometry/as_edge.h"
#include "geometry/as_search_loops.h"
#include "geometry/as_tran.h"

namespace {

void ExpectXy(const As_Pt& p, double x, double y, double tol = 1e-12) {
  EXPECT_NEAR(p.x(), x, tol);
  EXPECT_NEAR(p.y(), y, tol);
}

// Frees the edges a list was handed.
struct Owned {
  As_Void_List list;
  ~Owned() {
    for (As_Void_Node* n = list.head(); n; n = n->next()) delete static_cast<As_Edge*>(n->entity());
  }
  As_Line* at(int i) const { return static_cast<As_Line*>(list.get(i)); }
};

TEST(Edge, OnEdgeUsesAnAbsoluteCrossProduct) {
  // Slanted lines of length 1 and 0.1, and points 2e-6 off their middles.
  As_Line unit(As_Pt(0, 0, 0), As_Pt(0.6, 0.8, 0));
  As_Line tenth(As_Pt(0, 0, 0), As_Pt(0.06, 0.08, 0));
  EXPECT_FALSE(unit.is_on_edge(As_Pt(0.3 - 1.6e-6, 0.4 + 1.2e-6, 0)));
  EXPECT_TRUE(tenth.is_on_edge(As_Pt(0.03 - 1.6e-6, 0.04 + 1.2e-6, 0)));
  EXPECT_TRUE(unit.is_on_edge(As_Pt(0.6, 0.8, 0)));
  EXPECT_FALSE(unit.is_on_edge(As_Pt(0.6001, 0.8, 0)));
  // Off a horizontal line means outside its box.
  EXPECT_FALSE(As_Line(As_Pt(0, 0, 0), As_Pt(1, 0, 0)).is_on_edge(As_Pt(0.5, 1e-9, 0)));
  As_Line vertical(As_Pt(2, 0, 0), As_Pt(2, 5, 0));
  EXPECT_TRUE(vertical.is_on_edge(As_Pt(2, 3, 0)));
  EXPECT_FALSE(vertical.is_on_edge(As_Pt(2, 6, 0)));
}

TEST(Edge, BreakingNeedsAPointInsideTheEdgeAndEndsAreRefused) {
  As_Line line(As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  Owned out;
  EXPECT_FALSE(line.break_by_point(As_Pt(1, 0, 0), out.list));
  EXPECT_FALSE(line.break_by_point(As_Pt(0.5, 2e-6, 0), out.list));
  EXPECT_EQ(out.list.size(), 0);
  ASSERT_TRUE(line.break_by_point(As_Pt(0.25, 0, 0), out.list));
  ASSERT_EQ(out.list.size(), 2);
  ExpectXy(out.at(0)->start(), 0.25, 0);
  ExpectXy(out.at(0)->end(), 0, 0);
  ExpectXy(out.at(1)->start(), 0.25, 0);
  ExpectXy(out.at(1)->end(), 1, 0);

  As_Line tenth(As_Pt(0, 0, 0), As_Pt(0.06, 0.08, 0));
  EXPECT_TRUE(tenth.break_by_point(As_Pt(0.03 - 1.6e-6, 0.04 + 1.2e-6, 0), out.list));
  EXPECT_FALSE(line.cut(As_Pt(0.2, 0, 0), As_Pt(0.4, 0, 0), out.list));
  EXPECT_TRUE(line.cut(As_Pt(0.4, 0, 0), As_Pt(0.4, 0, 0), out.list));
  EXPECT_EQ(out.list.size(), 6);
}

TEST(Edge, LengthsBelowZeroGiveTheEndAndLongerOnesExtendTheLine) {
  const As_Line line(As_Pt(1, 1, 0), As_Pt(4, 5, 0));  // length 5
  struct Case {
    double len;
    bool from_start;
    double x, y;
  } cases[] = {{0, true, 1, 1},      {-2, true, 1, 1},   {2.5, true, 2.5, 3}, {10, true, 7, 9},
               {0, false, 4, 5},     {-1, false, 4, 5},  {5, false, 1, 1},    {2.5, false, 2.5, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.len);
    ExpectXy(line.get_point_by_length(c.len, c.from_start), c.x, c.y);
  }
  const As_Arc arc(As_Pt(0, 0, 0), 0, half_pi, 2);
  ExpectXy(arc.get_point_by_length(qm_pi / 2, true), std::sqrt(2.0), std::sqrt(2.0));
  ExpectXy(arc.get_point_by_length(qm_pi, false), 2, 0);
  ExpectXy(arc.get_point_by_length(-1, true), 2, 0);
  ExpectXy(arc.get_point_by_length(0, false), 0, 2);
  ExpectXy(As_Arc(As_Pt(1, 2, 0), 0, 1, 0).get_point_by_length(1, true), 1, 2);
}

TEST(Edge, LinesAreAlikeEitherWayRoundAndMergeOnlyWithTheirLike) {
  As_Line a(As_Pt(0, 0, 0), As_Pt(1, 2, 0));
  As_Line swapped(As_Pt(1, 2, 0), As_Pt(0, 0, 0));
  As_Line other(As_Pt(0, 0, 0), As_Pt(1, 3, 0));
  As_Circle circle(As_Pt(0, 0, 0), 1);
  EXPECT_TRUE(a.is_like(&swapped));
  EXPECT_FALSE(a.is_like(&other));
  EXPECT_FALSE(a.is_like(&circle));
  EXPECT_FALSE(a.is_like(nullptr));
  EXPECT_FALSE(a.merage(&a));
  EXPECT_FALSE(a.merage(&other));
  // The merged line is deleted (the sanitizers see a leak otherwise).
  EXPECT_TRUE(a.merage(new As_Segment(As_Pt(1, 2, 0), As_Pt(0, 0, 0))));
}

TEST(Edge, LineMeasuresLengthAngleAndMiddleAndHasNoArea) {
  As_Line line(As_Pt(1, 1, 0), As_Pt(1, -3, 0));
  EXPECT_EQ(line.edge_id(), As_Edge::LINE_ID);
  EXPECT_DOUBLE_EQ(line.length(), 4);
  EXPECT_DOUBLE_EQ(line.angle(), three_half_pi);
  ExpectXy(line.middle_pos(), 1, -1);
  ExpectXy(line.center_pos(), 0, 0);
  EXPECT_EQ(line.area(), 0.0);
  EXPECT_EQ(line.fill_angle(), 0.0);
}

// Both translate forms map a line, through the base class and with a const
// transform too.
TEST(Edge, TranslateMapsLinesWhicheverFormIsCalled) {
  const As_Tran shift = translate_transf(As_Vec(10, 20, 0));
  As_Segment seg(As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  As_Edge* edge = &seg;
  edge->translate(shift);
  ExpectXy(seg.start(), 10, 20);
  As_Tran turn = rotate_transf(half_pi, As_Vec(0, 0, 1));
  seg.translate(turn);
  ExpectXy(seg.start(), -20, 10);
  ExpectXy(seg.end(), -20, 11);

  As_Circle circle(As_Pt(1, 0, 0), 3);
  circle.translate(shift);
  ExpectXy(circle.center_pos(), 11, 20);
  EXPECT_EQ(circle.radius(), 3);
}

TEST(Edge, CrossingPointsOrderedByXThenY) {
  As_Segment seg(As_Pt(0, 0, 0), As_Pt(0, 4, 0));
  As_Intersect_Point a(As_Pt(0, 3, 0)), b(As_Pt(0, 1, 0)), c(As_Pt(5e-7, 2, 0)), d(As_Pt(-1, 9, 0));
  for (As_Intersect_Point* p : {&a, &b, &c, &b, &d}) seg.add_order_intpos(p);
  ASSERT_EQ(seg.intpos_list().size(), 4);
  EXPECT_EQ(seg.intpos_list().get(0), &d);
  EXPECT_EQ(seg.intpos_list().get(1), &b);
  EXPECT_EQ(seg.intpos_list().get(2), &c);
  EXPECT_EQ(seg.intpos_list().get(3), &a);

  // Copies keep the same crossing points, and their own fit points.
  seg.build_fit_pts();
  As_Segment copy(seg);
  EXPECT_EQ(copy.intpos_list().get(1), &b);
  EXPECT_NE(copy.fit_pts().points(), seg.fit_pts().points());
  ASSERT_EQ(copy.fit_pts().count(), 2);
  copy = copy;
  ExpectXy(copy.fit_pts()[1], 0, 4);
}

TEST(Edge, ArcMiddleLiesBetweenItsEndsEvenAcrossTheZeroAngle) {
  As_Arc arc(As_Pt(1, 1, 0), 0, half_pi, 2);
  EXPECT_EQ(arc.edge_id(), As_Edge::ARC_ID);
  EXPECT_DOUBLE_EQ(arc.length(), qm_pi);
  EXPECT_DOUBLE_EQ(arc.fill_angle(), half_pi);
  ExpectXy(arc.start_pos(), 3, 1);
  ExpectXy(arc.end_pos(), 1, 3);
  ExpectXy(arc.middle_pos(), 1 + std::sqrt(2.0), 1 + std::sqrt(2.0));
  // An arc over the zero angle has its middle on the far side of it.
  ExpectXy(As_Arc(As_Pt(0, 0, 0), three_half_pi, half_pi, 1).middle_pos(), 1, 0);
  arc.build_fit_pts();
  ASSERT_EQ(arc.fit_pts().count(), 50);
  ExpectXy(arc.fit_pts()[0], 3, 1);
  ExpectXy(arc.fit_pts()[49], 1, 3, 1e-9);
  As_Arc copy(arc);
  EXPECT_NE(copy.fit_pts().points(), arc.fit_pts().points());

  const As_Circle circle(As_Pt(1, 2, 0), 2);
  EXPECT_EQ(circle.edge_id(), As_Edge::CIRCLE_ID);
  EXPECT_DOUBLE_EQ(circle.length(), 4 * qm_pi);
  EXPECT_DOUBLE_EQ(circle.area(), 4 * qm_pi);
  ExpectXy(circle.start_pos(), 3, 2);
  ExpectXy(circle.end_pos(), 3, 2);

  const As_Point point(1, 2, 3);
  EXPECT_EQ(point.edge_id(), As_Edge::POINT_ID);
  ExpectXy(point.start_pos(), 0, 0);
  EXPECT_EQ(point.length(), 0.0);
}

}  // namespace
