#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"
#include "geometry/geom_algo.h"

namespace {

const As_Uvec kUp = As_Uvec::raw(0, 0, 1);
const As_Uvec kDown = As_Uvec::raw(0, 0, -1);

void ExpectXy(const As_Pt& p, double x, double y, double tol = 1e-12) {
  EXPECT_NEAR(p.x(), x, tol);
  EXPECT_NEAR(p.y(), y, tol);
  EXPECT_EQ(p.z(), 0.0);
}

TEST(GeomAlgo, AngleBetweenBothSenses) {
  const As_Uvec x(1, 0, 0), y(0, 1, 0);
  EXPECT_DOUBLE_EQ(angle_between(x, y, kUp), half_pi);
  EXPECT_DOUBLE_EQ(angle_between(x, y, kDown), three_half_pi);
  EXPECT_DOUBLE_EQ(angle_between(y, x, kDown), half_pi);
  EXPECT_EQ(angle_between(x, x, kUp), 0.0);
  EXPECT_DOUBLE_EQ(angle_between(x, x, kDown), two_pi);
  EXPECT_DOUBLE_EQ(angle_between(As_Vec(2, 0, 0), As_Vec(-3, 0, 0), kUp), qm_pi);
  EXPECT_DOUBLE_EQ(angle_between(As_Vec(1, 0, 0), As_Vec(1, -1, 0), kUp), 1.75 * qm_pi);
  // A direction just below the x axis stays below 2pi.
  EXPECT_LT(angle_between(x, As_Uvec(1, -1e-17, 0), kUp), two_pi);
}

TEST(GeomAlgo, PointsProjectOntoTheLineOrItsPointWithoutADirection) {
  const As_Pt p(2, 5, 3), o(0, 0, 0);
  ExpectXy(proj_pt_to_line(p, o, As_Uvec(1, 0, 0)), 2, 0);
  ExpectXy(proj_pt_to_line(p, o, As_Uvec(0, 1, 0)), 0, 5);
  ExpectXy(proj_pt_to_line(p, o, As_Uvec(1, 1, 0)), 3.5, 3.5);
  ExpectXy(proj_pt_to_line(p, As_Pt(1, 1, 0), As_Uvec(1, 1e-12, 0)), 2, 1);
  // A line without direction answers its given point.
  ExpectXy(proj_pt_to_line(p, As_Pt(4, 7, 0), As_Uvec(0, 0, 0)), 4, 7);
}

TEST(GeomAlgo, LinesMeetInThePlaneUnlessParallelOrWithoutDirection) {
  As_Pt out(9, 9, 9);
  ASSERT_TRUE(api_mb_lines_intersection(As_Pt(0, 0, 0), As_Uvec(1, 0, 0), As_Pt(5, 5, 0), As_Uvec(0, 1, 0), out));
  ExpectXy(out, 5, 0);
  ASSERT_TRUE(api_mb_lines_intersection(As_Pt(5, 5, 0), As_Uvec(0, 1, 0), As_Pt(0, 0, 0), As_Uvec(1, 1, 0), out));
  ExpectXy(out, 5, 5);
  ASSERT_TRUE(api_mb_lines_intersection(As_Pt(0, 2, 0), As_Uvec(1, 0, 0), As_Pt(0, 0, 0), As_Uvec(1, 1, 0), out));
  ExpectXy(out, 2, 2);
  ASSERT_TRUE(api_mb_lines_intersection(As_Pt(0, 0, 0), As_Uvec(1, 1, 0), As_Pt(0, 2, 0), As_Uvec(1, -1, 0), out));
  ExpectXy(out, 1, 1);
  out = As_Pt(9, 9, 9);
  EXPECT_FALSE(api_mb_lines_intersection(As_Pt(0, 0, 0), As_Uvec(1, 0, 0), As_Pt(0, 1, 0), As_Uvec(-1, 0, 0), out));
  EXPECT_FALSE(api_mb_lines_intersection(As_Pt(0, 0, 0), As_Uvec(1, 2, 0), As_Pt(0, 1, 0), As_Uvec(1, 2, 0), out));
  EXPECT_FALSE(api_mb_lines_intersection(As_Pt(0, 0, 0), As_Uvec(0, 0, 0), As_Pt(0, 1, 0), As_Uvec(1, 0, 0), out));
  // Parallel in the plane though not in space.
  EXPECT_FALSE(api_mb_lines_intersection(As_Pt(0, 0, 0), As_Uvec(0, 1, 0), As_Pt(1, 0, 0), As_Uvec(0, 1, 1), out));
  EXPECT_EQ(out.x(), 9);
}

TEST(GeomAlgo, SegmentsMeetOnlyWithinBothAndChainsReportOnlyNewCrossings) {
  As_Pt out;
  ASSERT_TRUE(two_segments_intersection(As_Pt(0, 0, 0), As_Pt(2, 2, 0), As_Pt(0, 2, 0), As_Pt(2, 0, 0), out));
  ExpectXy(out, 1, 1);
  ASSERT_TRUE(two_segments_intersection(As_Pt(0, 0, 0), As_Pt(1, 1, 0), As_Pt(1, 1, 0), As_Pt(2, 0, 0), out));
  ExpectXy(out, 1, 1);
  EXPECT_FALSE(two_segments_intersection(As_Pt(0, 0, 0), As_Pt(1, 0, 0), As_Pt(2, 0, 0), As_Pt(3, 0, 0), out));
  ASSERT_TRUE(two_segments_intersection(As_Pt(1, -1, 0), As_Pt(1, 1, 0), As_Pt(0, 0.5, 0), As_Pt(3, 0.5, 0), out));
  ExpectXy(out, 1, 0.5);
  ASSERT_TRUE(two_segments_intersection(As_Pt(0, 0.5, 0), As_Pt(3, 0.5, 0), As_Pt(1, -1, 0), As_Pt(1, 1, 0), out));
  ExpectXy(out, 1, 0.5);
  // Boxes overlap, the lines meet outside the segments.
  EXPECT_FALSE(two_segments_intersection(As_Pt(0, 0, 0), As_Pt(2, 2, 0), As_Pt(1.5, 0, 0), As_Pt(2, 0.9, 0), out));

  const As_Pt zig[] = {{0, 0, 0}, {2, 2, 0}, {4, 0, 0}};
  const As_Pt flat[] = {{0, 1, 0}, {4, 1, 0}};
  As_Pt_List hits;
  ASSERT_TRUE(api_mb_lines_intersection(zig, 3, flat, 2, hits));
  ASSERT_EQ(hits.count(), 2);
  ExpectXy(hits.get(0)->point(), 1, 1);
  ExpectXy(hits.get(1)->point(), 3, 1);
  EXPECT_FALSE(api_mb_lines_intersection(zig, 1, flat, 2, hits));
  // Only new crossings count: none here, although out already holds points.
  const As_Pt far[] = {{0, 9, 0}, {4, 9, 0}};
  EXPECT_FALSE(api_mb_lines_intersection(zig, 3, far, 2, hits));
  EXPECT_EQ(hits.count(), 2);
}

TEST(GeomAlgo, ThreePointsGiveACircleOrEllipseUnlessDegenerate) {
  As_Pt c(7, 7, 7);
  double r = -1;
  ASSERT_TRUE(api_mb_get_3ptcircle(As_Pt(1, 0, 0), As_Pt(0, 1, 0), As_Pt(-1, 0, 0), c, r));
  ExpectXy(c, 0, 0);
  EXPECT_DOUBLE_EQ(r, 1);
  c = As_Pt(7, 7, 7);
  r = -1;
  EXPECT_FALSE(api_mb_get_3ptcircle(As_Pt(0, 0, 0), As_Pt(1, 1, 0), As_Pt(2, 2, 0), c, r));
  EXPECT_FALSE(api_mb_get_3ptcircle(As_Pt(0, 0, 0), As_Pt(0, 0, 0), As_Pt(2, 2, 0), c, r));
  EXPECT_EQ(c.x(), 7);
  EXPECT_EQ(r, -1);

  double axis = 0, ratio = 0, angle = 0;
  ASSERT_TRUE(get_ellipse_by_3pt(As_Pt(1, 1, 0), As_Pt(3, 1, 0), As_Pt(1 + std::sqrt(2.0), 1 + std::sqrt(0.5), 0), c,
                                 axis, ratio, angle));
  ExpectXy(c, 1, 1);
  EXPECT_DOUBLE_EQ(axis, 2);
  EXPECT_NEAR(ratio, 0.5, 1e-12);
  EXPECT_EQ(angle, 0);
  ASSERT_TRUE(get_ellipse_by_3pt(As_Pt(0, 0, 0), As_Pt(0, 4, 0), As_Pt(1, 0, 0), c, axis, ratio, angle));
  EXPECT_DOUBLE_EQ(angle, half_pi);
  EXPECT_DOUBLE_EQ(ratio, 0.25);
  // No ellipse: a zero axis, a third point at or beyond the end of the axis.
  axis = ratio = angle = -1;
  EXPECT_FALSE(get_ellipse_by_3pt(As_Pt(0, 0, 0), As_Pt(0, 0, 0), As_Pt(1, 0, 0), c, axis, ratio, angle));
  EXPECT_FALSE(get_ellipse_by_3pt(As_Pt(0, 0, 0), As_Pt(2, 0, 0), As_Pt(2, 1, 0), c, axis, ratio, angle));
  EXPECT_FALSE(get_ellipse_by_3pt(As_Pt(0, 0, 0), As_Pt(2, 0, 0), As_Pt(3, 1, 0), c, axis, ratio, angle));
  EXPECT_EQ(ratio, -1);
}

TEST(GeomAlgo, PickPrefersEndsToTheFootAndOnSegmentIsExact) {
  As_Pt out;
  EXPECT_EQ(is_pick_segment(As_Pt(0.5, 0.05, 0), As_Pt(0, 0, 0), As_Pt(1, 0, 0), 0.1, out), 3);
  ExpectXy(out, 0.5, 0);
  EXPECT_EQ(is_pick_segment(As_Pt(0.02, 0, 0), As_Pt(0, 0, 0), As_Pt(1, 0, 0), 0.1, out), 1);
  EXPECT_EQ(is_pick_segment(As_Pt(0.97, 0.01, 0), As_Pt(0, 0, 0), As_Pt(1, 0, 0), 0.1, out), 2);
  EXPECT_EQ(is_pick_segment(As_Pt(0.5, 0.2, 0), As_Pt(0, 0, 0), As_Pt(1, 0, 0), 0.1, out), 0);
  EXPECT_EQ(is_pick_segment(As_Pt(1.5, 0, 0), As_Pt(0, 0, 0), As_Pt(1, 0, 0), 0.1, out), 0);

  EXPECT_TRUE(is_on_segment(As_Pt(1, 1, 0), As_Pt(0, 0, 0), As_Pt(2, 2, 0)));
  EXPECT_FALSE(is_on_segment(As_Pt(3, 3, 0), As_Pt(0, 0, 0), As_Pt(2, 2, 0)));
  EXPECT_FALSE(is_on_segment(As_Pt(1, 1.001, 0), As_Pt(0, 0, 0), As_Pt(2, 2, 0)));
  EXPECT_FALSE(is_on_pts(As_Pt(0, 0, 0), nullptr, 0));
}

const As_Pt kSquare[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const As_Pt kSquareCw[] = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
const As_Pt kTriangle[] = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}};
// A notch from the top edge down to the vertex (1, 2).
const As_Pt kNotched[] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {2, 4, 0}, {1, 2, 0}, {0.5, 4, 0}, {0, 4, 0}};
// A spike up from the bottom edge to the vertex (1, 2).
const As_Pt kSpiked[] = {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}, {2, 3, 0}, {0, 3, 0}};
// A U: two arms over a base, its inner bottom edge at y = 1.
const As_Pt kU[] = {{0, 0, 0}, {3, 0, 0}, {3, 2, 0}, {2, 2, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
const As_Pt kDiamond[] = {{0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}};

struct RegionCase {
  std::string name;
  const As_Pt* pts;
  int n;
  As_Pt p;
  bool inside;
};

TEST(GeomAlgo, RaysThroughVerticesAndAlongEdgesCountCorrectly) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<RegionCase> cases = {
      {"square centre", kSquare, 4, {0.5, 0.5, 0}, true},
      {"clockwise square centre", kSquareCw, 4, {0.5, 0.5, 0}, true},
      {"left of the box", kSquare, 4, {-1, 0.5, 0}, false},
      {"right of the box", kSquare, 4, {2, 0.5, 0}, false},
      {"above the box", kSquare, 4, {0.5, 2, 0}, false},
      {"below the box", kSquare, 4, {0.5, -1, 0}, false},
      {"triangle, in the box, outside", kTriangle, 3, {1.5, 1.5, 0}, false},
      {"triangle inside", kTriangle, 3, {0.5, 0.5, 0}, true},
      {"ray touches a notch vertex", kNotched, 7, {0.25, 2, 0}, true},
      {"beside the notch vertex", kNotched, 7, {1.5, 2, 0}, true},
      {"inside the notch", kNotched, 7, {1, 3, 0}, false},
      {"ray touches a spike vertex", kSpiked, 5, {0.2, 2, 0}, true},
      {"under the spike", kSpiked, 5, {1, 0.5, 0}, false},
      {"ray along an inner edge", kU, 8, {0.5, 1, 0}, true},
      {"between the arms", kU, 8, {1.5, 1.5, 0}, false},
      {"in the base", kU, 8, {1.5, 0.5, 0}, true},
      {"ray through a crossing vertex", kDiamond, 4, {0, 0, 0}, true},
      {"ray through a crossing vertex, off centre", kDiamond, 4, {-0.5, 0, 0}, true},
      {"too few points", kSquare, 2, {0.5, 0.1, 0}, false},
      {"no points", kSquare, 0, {0.5, 0.5, 0}, false},
      {"not a number", kSquare, 4, {nan, 0.5, 0}, false},
  };
  for (const RegionCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(is_pos_in_region(c.p, c.pts, c.n), c.inside);
  }
  EXPECT_FALSE(is_pos_in_region(As_Pt(0.5, 0.5, 0), nullptr, 4));
}

TEST(GeomAlgo, PointOnRegionSkipsTheClosingEdge) {
  EXPECT_FALSE(is_pos_on_region(As_Pt(0, 0.5, 0), kSquare, 4));
  EXPECT_TRUE(is_pos_on_region(As_Pt(0.5, 0, 0), kSquare, 4));
  EXPECT_TRUE(is_pos_on_region(As_Pt(1, 0.5, 0), kSquare, 4));
  EXPECT_FALSE(is_pos_on_region(As_Pt(0.5, 0, 0), kSquare, 1));
}

TEST(GeomAlgo, AreaIgnoresOrientationAndTooFewPointsMeasureZero) {
  EXPECT_DOUBLE_EQ(cal_pts_area(kSquare, 4), 1);
  EXPECT_DOUBLE_EQ(cal_pts_area(kSquareCw, 4), 1);
  EXPECT_DOUBLE_EQ(cal_pts_area(kTriangle, 3), 2);
  EXPECT_DOUBLE_EQ(cal_pts_area(kNotched, 7), 16 - 1.5);
  EXPECT_DOUBLE_EQ(cal_pts_area(kU, 8), 5);
  EXPECT_EQ(cal_pts_area(kSquare, 2), 0);
  EXPECT_DOUBLE_EQ(cal_perimeter(kSquare, 4), 4);
  EXPECT_DOUBLE_EQ(cal_perimeter(kTriangle, 2), 2);
  EXPECT_EQ(cal_perimeter(kSquare, 1), 0);
  EXPECT_EQ(cal_perimeter(kSquare, 0), 0);

  As_Void_List ptrs;
  EXPECT_EQ(cal_lines_area(ptrs), 0);
  for (const As_Pt& p : kSquareCw) ptrs.add(const_cast<As_Pt*>(&p));
  EXPECT_DOUBLE_EQ(cal_lines_area(ptrs), 1);
}

TEST(GeomAlgo, WideLinesMeetAtTheOffsetCornersAndRefuseShortBuffers) {
  const As_Pt path[] = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}};
  As_Pt left[3], right[3];
  api_mb_offset_pts(path, left, right, 3, 1);
  ExpectXy(left[0], 0, 1);
  ExpectXy(left[1], 9, 0);
  ExpectXy(left[2], 9, 10);
  ExpectXy(right[0], 0, -1);
  ExpectXy(right[1], 11, 0);
  ExpectXy(right[2], 11, 10);
  left[0] = As_Pt(5, 5, 5);
  api_mb_offset_pts(path, left, right, 1, 1);  // no segment: nothing written
  EXPECT_EQ(left[0].x(), 5);

  As_Pt out[7];
  ASSERT_TRUE(cal_lines_width(path, 2, out, 5, 2));
  const double line[][2] = {{0, 1}, {10, 1}, {10, -1}, {0, -1}, {0, 1}};
  for (int i = 0; i < 5; ++i) ExpectXy(out[i], line[i][0], line[i][1]);
  // A corner: the sides meet at the intersections of the offset lines.
  ASSERT_TRUE(cal_lines_width(path, 3, out, 7, 2));
  const double corner[][2] = {{0, 1}, {9, 1}, {9, 10}, {11, 10}, {11, -1}, {0, -1}, {0, 1}};
  for (int i = 0; i < 7; ++i) ExpectXy(out[i], corner[i][0], corner[i][1], 1e-9);
  // A straight run through a middle point takes the end of the first offset.
  const As_Pt straight[] = {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}};
  ASSERT_TRUE(cal_lines_width(straight, 3, out, 7, 2));
  ExpectXy(out[1], 5, 1);
  ExpectXy(out[4], 5, -1);
  EXPECT_FALSE(cal_lines_width(path, 3, out, 6, 2));
  EXPECT_FALSE(cal_lines_width(path, 3, out, 7, 0));
  EXPECT_FALSE(cal_lines_width(path, 1, out, 3, 2));
}

TEST(GeomAlgo, SmallHelpersGiveExactValuesAndRefuseEmptyOrOverflowingInput) {
  As_Pt pts[] = {{0, 0, 0}, {1, 2, 0}, {3, -1, 0}};
  oblique_ptarray(pts, 3, qm_pi / 4, As_Pt(0, 1, 0));
  EXPECT_NEAR(pts[0].x(), -1, 1e-12);
  EXPECT_NEAR(pts[1].x(), 2, 1e-12);
  EXPECT_NEAR(pts[2].x(), 1, 1e-12);

  EXPECT_TRUE(api_mb_get_pts_dir(As_Pt(0, 0, 0), As_Pt(1, 0, 0), As_Pt(1, 1, 0)));
  EXPECT_FALSE(api_mb_get_pts_dir(As_Pt(0, 0, 0), As_Pt(1, 0, 0), As_Pt(1, -1, 0)));

  As_Uvec u = As_Uvec::raw(1e-12, -1, 5e-12);
  cal_tol_unit_vector(u);
  EXPECT_EQ(u.x(), 0);
  EXPECT_EQ(u.y(), -1);
  EXPECT_EQ(u.z(), 0);

  As_Pt* fresh = api_mb_new_position(3);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh[2].x(), 0);
  delete[] fresh;
  EXPECT_EQ(api_mb_new_position(0), nullptr);
  EXPECT_EQ(api_mb_new_position(-5), nullptr);

  As_Pt seq[] = {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}};
  api_mb_reverse_pts(seq, 3);
  EXPECT_EQ(seq[0].x(), 3);
  EXPECT_EQ(seq[2].x(), 1);

  As_Pt lt(7, 7, 7), rb(7, 7, 7);
  ASSERT_TRUE(api_mb_get_rect_pos(3, pts, lt, rb));
  ExpectXy(lt, -1, 2, 1e-12);
  ExpectXy(rb, 2, -1, 1e-12);
  lt = As_Pt(7, 7, 7);
  EXPECT_FALSE(api_mb_get_rect_pos(0, pts, lt, rb));
  EXPECT_EQ(lt.x(), 7);

  int h = 0, w = 0, x = 0, y = 0;
  RECT r{10, 20, 31, 45};
  api_mb_get_rect_size(h, w, r);
  EXPECT_EQ(h, 25);
  EXPECT_EQ(w, 21);
  api_mb_get_rect_center(x, y, r);
  EXPECT_EQ(x, 20);
  EXPECT_EQ(y, 32);
  RECT wide{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  api_mb_get_rect_center(x, y, wide);
  EXPECT_EQ(x, -1);
  api_mb_get_rect_size(h, w, wide);
  EXPECT_EQ(w, -1);
}

}  // namespace
