#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "geometry/as_rect.h"

namespace {

void ExpectCorners(const As_Rect& r, double ltx, double lty, double rbx, double rby, double tol = 1e-12) {
  EXPECT_NEAR(r.lt().x(), ltx, tol);
  EXPECT_NEAR(r.lt().y(), lty, tol);
  EXPECT_NEAR(r.rb().x(), rbx, tol);
  EXPECT_NEAR(r.rb().y(), rby, tol);
  EXPECT_EQ(r.lt().z(), 0.0);
  EXPECT_EQ(r.rb().z(), 0.0);
}

As_Rect Box(double ltx, double lty, double rbx, double rby) {
  As_Rect r;
  r.set_rect(As_Pt(ltx, lty, 0), As_Pt(rbx, rby, 0));
  return r;
}

}  // namespace

TEST(AsRect, OppositeCornersInAnyOrderGiveOneRectangleAndItsMeasures) {
  // Any two opposite corners, in either order, give the same rectangle.
  const As_Pt pairs[][2] = {{As_Pt(5, 1, 3), As_Pt(2, 7, -1)},
                            {As_Pt(2, 7, 0), As_Pt(5, 1, 0)},
                            {As_Pt(2, 1, 0), As_Pt(5, 7, 9)},
                            {As_Pt(5, 7, 0), As_Pt(2, 1, 0)}};
  for (const auto& p : pairs) {
    As_Rect r(p[0], p[1]);
    ExpectCorners(r, 2, 7, 5, 1, 0.0);
    As_Rect s;
    s.set_two_points(p[1], p[0]);
    ExpectCorners(s, 2, 7, 5, 1, 0.0);
  }
  As_Rect r(As_Pt(5, 1, 0), As_Pt(2, 7, 0));
  EXPECT_EQ(r.width(), 3.0);
  EXPECT_EQ(r.heigh(), 6.0);
  EXPECT_EQ(r.max_len(), 6.0);
  EXPECT_DOUBLE_EQ(r.diagonal_len(), std::sqrt(45.0));
  EXPECT_EQ(r.center().x(), 3.5);
  EXPECT_EQ(r.center().y(), 4.0);
  EXPECT_EQ(r.lb().x(), 2.0);
  EXPECT_EQ(r.lb().y(), 1.0);
  EXPECT_EQ(r.rt().x(), 5.0);
  EXPECT_EQ(r.rt().y(), 7.0);
  EXPECT_EQ(As_Rect(As_Pt(0, 0, 0), As_Pt(4, 1, 0)).max_len(), 4.0);
  // set_rect keeps corners as given.
  As_Rect raw = Box(3, 0, 1, 2);
  EXPECT_EQ(raw.lt().x(), 3.0);
  EXPECT_EQ(raw.width(), -2.0);
  As_Rect copy(raw), assigned;
  assigned = raw;
  EXPECT_EQ(copy.lt().x(), 3.0);
  EXPECT_EQ(assigned.rb().y(), 2.0);
}

TEST(AsRect, PointsGiveTheirBoundsAndNoPointsLeaveTheRectangle) {
  const As_Pt pts[] = {As_Pt(1, 1, 5), As_Pt(-2, 3, 0), As_Pt(4, -1, 0), As_Pt(0, 0, -7)};
  ExpectCorners(As_Rect(pts, 4), -2, 3, 4, -1, 0.0);
  ExpectCorners(As_Rect(pts, 1), 1, 1, 1, 1, 0.0);
  // No points: the default, or the rectangle untouched; nothing is read.
  ExpectCorners(As_Rect(nullptr, 0), 0, 0, 0, 0, 0.0);
  ExpectCorners(As_Rect(pts + 4, -3), 0, 0, 0, 0, 0.0);
  As_Rect r(pts, 4);
  r.init_by_pts(0, pts + 4);
  r.init_by_pts(-1, nullptr);
  r.init_by_pts(5, nullptr);
  ExpectCorners(r, -2, 3, 4, -1, 0.0);
  // The entities' own extents: these change nothing.
  r.init_by_arc(As_Pt(), 1, 0, 1);
  r.init_by_ellipse(As_Pt(), 1, 1, 0);
  r.init_by_ellipse(As_Pt(), 1, 1, 0, 0, 1);
  r.init_by_spline(4, pts);
  ExpectCorners(r, -2, 3, 4, -1, 0.0);
  r.init_by_circle(As_Pt(1, 2, 9), 3);
  ExpectCorners(r, -2, 5, 4, -1, 0.0);
}

TEST(AsRect, TouchingRectanglesOverlapButAreNotInside) {
  const As_Rect unit = Box(0, 1, 1, 0);
  struct Case {
    const char* name;
    As_Rect other;
    bool intersects, inside;
  };
  const Case cases[] = {
      {"touching edge", Box(1, 1, 2, 0), true, false},
      {"gap", Box(1.5, 1, 2, 0), false, false},
      {"touching corner", Box(1, 2, 2, 1), true, false},
      {"gap above", Box(0, 3, 1, 1.01), false, false},
      {"same", unit, true, false},
      {"strictly inside", Box(0.25, 0.75, 0.75, 0.25), true, true},
      {"inside touching edge", Box(0, 0.75, 0.75, 0.25), true, false},
      {"around", Box(-1, 2, 2, -1), true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(unit.intersect_rect(&c.other), c.intersects);
    EXPECT_EQ(c.other.intersect_rect(&unit), c.intersects);
    EXPECT_EQ(unit.rect_in_rect(c.other), c.inside);
  }
  EXPECT_TRUE(unit.intersect_rect(nullptr));
  EXPECT_TRUE(Box(-1, 2, 2, -1).rect_in_rect(unit));

  EXPECT_TRUE(unit.pt_in_rect(As_Pt(1.05, 0.5, 0), 0.1));
  EXPECT_FALSE(unit.pt_in_rect(As_Pt(1.05, 0.5, 0), 0.0));
  EXPECT_TRUE(unit.pt_in_rect(As_Pt(1, 0, 0), 0.0));
  EXPECT_FALSE(unit.pt_in_rect(As_Pt(0.5, -0.2, 0), 0.1));

  As_Rect u = unit;
  u.union_rect(Box(2, 3, 4, 0.5));
  ExpectCorners(u, 0, 3, 4, 0, 0.0);
}

TEST(AsRect, TransformsGiveAxisAlignedBoundsAndScaleKeepsSwappedCorners) {
  // A rotated rectangle becomes its axis-aligned bounding box.
  As_Rect r = Box(0, 1, 1, 0);
  r.translate(rotate_transf(qm_pi / 4, As_Vec(0, 0, 1)));
  const double h = std::sqrt(0.5);
  ExpectCorners(r, -h, 2 * h, h, 0);
  r = Box(1, 2, 3, 1);
  r.translate(As_Tran());
  ExpectCorners(r, 1, 2, 3, 1, 0.0);
  r.translate(reflect_transf(As_Vec(1, 0, 0)) * translate_transf(As_Vec(10, 0, 0)));
  ExpectCorners(r, 7, 2, 9, 1);

  // rotate_rect turns by angle plus a half turn about the base.
  r = Box(1, 2, 3, 1);
  r.rotate_rect(As_Pt(0, 0, 0), 0.0);
  ExpectCorners(r, -3, -1, -1, -2);
  r = Box(1, 2, 3, 1);
  r.rotate_rect(As_Pt(2, 1.5, 0), -qm_pi);
  ExpectCorners(r, 1, 2, 3, 1);
  r.rotate_rect(As_Pt(3, 1, 0), -half_pi);
  ExpectCorners(r, 2, 1, 3, -1);

  // scale_rect stores the corners as computed, even when they swap.
  const double grow[3] = {2, 3, 1}, flip[3] = {-1, 1, 1};
  r = Box(1, 2, 3, 1);
  r.scale_rect(As_Pt(1, 1, 0), grow);
  ExpectCorners(r, 1, 4, 5, 1);
  r = Box(1, 2, 3, 1);
  r.scale_rect(As_Pt(1, 1, 0), flip);
  ExpectCorners(r, 1, 2, -1, 1);
  r.scale_rect(As_Pt(), nullptr);
  ExpectCorners(r, 1, 2, -1, 1);

  // offset_rect spans p - lt and p - rb.
  r = Box(1, 2, 3, 1);
  r.offset_rect(As_Pt(10, 10, 0));
  ExpectCorners(r, 7, 9, 9, 8, 0.0);
}

TEST(AsRect, WindowRectanglesTruncateSaturateAndMapBackThroughTheView) {
  RECT out;
  Box(-0.5, 10.9, 20.7, -3.2).conver_to_scr_rect(out);
  EXPECT_EQ(out.left, 0);
  EXPECT_EQ(out.top, 10);
  EXPECT_EQ(out.right, 20);
  EXPECT_EQ(out.bottom, -3);
  // Coordinates beyond the device range saturate; NaN gives 0.
  Box(1e300, -1e300, std::numeric_limits<double>::quiet_NaN(), 2147483647.9).conver_to_scr_rect(out);
  EXPECT_EQ(out.left, INT32_MAX);
  EXPECT_EQ(out.top, INT32_MIN);
  EXPECT_EQ(out.right, 0);
  EXPECT_EQ(out.bottom, INT32_MAX);

  RECT win = {10, 100, 410, 300};
  As_Rect r;
  r.build_by_RECT(win, As_Tran());
  ExpectCorners(r, 10, 100, 410, 300, 0.0);

  // A view: y flipped, 2 pixels per unit, origin at pixel (10, 300). The
  // window rectangle maps back to the drawing through the inverse, and the
  // drawing corners map forward to the same pixels.
  As_Tran view = reflect_transf(As_Vec(0, 1, 0)) * scale_transf(2.0) * translate_transf(As_Vec(10, 300, 0));
  r.build_by_RECT(win, view.inverse());
  ExpectCorners(r, 0, 100, 200, 0);
  As_Rect screen;
  screen.set_rect(r.lt() * view, r.rb() * view);
  screen.conver_to_scr_rect(out);
  EXPECT_EQ(out.left, 10);
  EXPECT_EQ(out.top, 100);
  EXPECT_EQ(out.right, 410);
  EXPECT_EQ(out.bottom, 300);
}
