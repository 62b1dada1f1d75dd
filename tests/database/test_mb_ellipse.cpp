// Ellipse entities: construction, the three-point ellipse, display sets,
// picks, transforms and undo.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "database/entities/mb_ellipse.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "tests/support/expect_pt.h"

namespace {

TEST(Ellipse, AnAxisEndAndRatioGiveTheAxesAngleAreaAndLength) {
  MB_Ellipse e(As_Pt(0, 0, 0), As_Pt(0, 2, 0), 0.5);
  EXPECT_DOUBLE_EQ(e.major(), 2);
  EXPECT_DOUBLE_EQ(e.minor(), 1);
  EXPECT_NEAR(e.angle(), qm_pi / 2, 1e-12);
  EXPECT_DOUBLE_EQ(e.get_real(MB_PROP_MAJOR), 2);
  EXPECT_DOUBLE_EQ(e.get_real(MB_PROP_RADIUS), 1);
  EXPECT_DOUBLE_EQ(e.get_real(MB_PROP_AREA), 2 * qm_pi);
  EXPECT_DOUBLE_EQ(e.get_real(MB_PROP_LENGTH), 3 * qm_pi);
  expect_pt(e.get_para_pos(0), 0, 2);
  expect_pt(e.get_para_pos(qm_pi / 2), -1, 0);
}

TEST(Ellipse, ThreePointsMakeOneOnlyWithinTheMajorAxis) {
  const struct {
    As_Pt p1, p2;
    bool made;
    double minor;
  } cases[] = {
      {As_Pt(2, 0, 0), As_Pt(0, 1, 0), true, 1},     // on the minor axis line
      {As_Pt(2, 0, 0), As_Pt(1, 1, 0), true, 2 / std::sqrt(3.0)},
      {As_Pt(2, 0, 0), As_Pt(2, 0, 0), false, 0},    // p2 at the axis end
      {As_Pt(2, 0, 0), As_Pt(3, 1, 0), false, 0},    // beyond it
      {As_Pt(1e-7, 0, 0), As_Pt(0, 1, 0), false, 0},  // no axis
  };
  for (const auto& c : cases) {
    std::unique_ptr<MB_Ellipse> e(api_mb_create_ellipse3pt(As_Pt(0, 0, 0), c.p1, c.p2));
    ASSERT_EQ(e != nullptr, c.made);
    if (!e) continue;
    EXPECT_DOUBLE_EQ(e->major(), 2);
    EXPECT_NEAR(e->minor(), c.minor, 1e-12);
    EXPECT_EQ(e->edge().count(), 0);  // not built
  }
}

TEST(Ellipse, DisplayIsClosed) {
  const struct { int precision, points; } cases[] = {{0, 81}, {1, 4}, {-5, 81}, {8, 9}};
  for (const auto& c : cases) {
    MB_Ellipse e(As_Pt(1, 1, 0), 2, 1, 0);
    e.draw_precision(c.precision);
    e.build_draw();
    ASSERT_EQ(e.edge().count(), c.points);
    expect_pt(e.edge()[0], 3, 1);
    expect_pt(e.edge()[c.points - 1], 3, 1);
  }
}

TEST(EllipseArc, DisplaySpansAtMostOneTurn) {
  const struct {
    double start, end;
    int precision;
    int points;
    double end_x, end_y;
  } cases[] = {
      {0, two_pi, 0, 61, 2, 0},                // default 60: the end equals the start
      {3 * qm_pi / 2, qm_pi / 2, 0, 31, 0, 1},  // through parameter 0
      {0, 10, 0, 61, 2 * std::cos(two_pi), 0},  // cut to one turn
      {0, qm_pi, 1, 2, -2, 0},                  // precision raised to 3: one chord
      {0, qm_pi, -3, 31, -2, 0},
  };
  for (const auto& c : cases) {
    MB_Ellipse_Arc a(As_Pt(0, 0, 0), 2, 1, 0, c.start, c.end);
    a.draw_precision(c.precision);
    a.build_draw();
    ASSERT_EQ(a.edge().count(), c.points) << c.start << " " << c.end;
    expect_pt(a.edge()[c.points - 1], c.end_x, c.end_y);
  }
  MB_Ellipse_Arc wrap(As_Pt(0, 0, 0), 2, 1, 0, 3 * qm_pi / 2, qm_pi / 2);
  wrap.build_draw();
  expect_pt(wrap.edge()[0], 0, -1);
  double right = 0;
  for (int i = 0; i < wrap.edge().count(); ++i) {
    EXPECT_GE(wrap.edge()[i].x(), -1e-9);  // the right half, through parameter 0
    right = std::fmax(right, wrap.edge()[i].x());
  }
  EXPECT_GT(right, 1.99);
}

TEST(Ellipse, PickFindsTheCentreAndTheOutlineButNotInside) {
  MB_Ellipse e(As_Pt(0, 0, 0), 4, 2, 0);
  e.build_draw();
  As_Pt_List unused;
  As_Pt found;
  int kind = 0, extra = 0;
  EXPECT_TRUE(e.pick(As_Pt(0.01, 0, 0), unused, 0.1, found, kind, extra));
  EXPECT_EQ(kind, MB_SNAP_CENTER);
  EXPECT_TRUE(e.pick(As_Pt(4.02, 0, 0), unused, 0.1, found, kind, extra));
  EXPECT_EQ(kind, MB_SNAP_NEAREST);
  kind = 0;
  EXPECT_FALSE(e.pick(As_Pt(2, 0, 0), unused, 0.1, found, kind, extra));
  EXPECT_EQ(kind, 0);
}

TEST(Ellipse, TransformsMapTheAxes) {
  MB_Ellipse e(As_Pt(1, 0, 0), 2, 1, 0);
  e.translate(rotate_transf(qm_pi / 2, As_Vec(0, 0, 1)));
  expect_pt(e.center(), 0, 1);
  EXPECT_NEAR(e.angle(), qm_pi / 2, 1e-12);
  EXPECT_NEAR(e.major(), 2, 1e-12);
  e.translate(scale_transf(2));
  EXPECT_NEAR(e.major(), 4, 1e-12);
  EXPECT_NEAR(e.minor(), 2, 1e-12);

  // A mirrored arc covers the mirror image of its points.
  MB_Ellipse_Arc a(As_Pt(0, 0, 0), 2, 1, 0.3, 0.2, 1.4);
  const As_Pt s = a.get_para_pos(0.2), m = a.get_para_pos(1.4);
  a.translate(reflect_transf(As_Vec(1, 0, 0)));
  expect_pt(a.get_para_pos(a.end_angle()), -s.x(), s.y());
  expect_pt(a.get_para_pos(a.start_angle()), -m.x(), m.y());
}

TEST(Ellipse, UndoRestoresAMove) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  auto* e = new MB_Ellipse_Arc(As_Pt(0, 0, 0), 2, 1, 0.5, 0, qm_pi);
  e->general().color(0x00FF00);
  drawing.object_list().add_tail(e);
  store.rec_cmd_begin("move");
  e->translate(translate_transf(As_Vec(3, 4, 0)) * rotate_transf(1, As_Vec(0, 0, 1)));
  e->general().color(0x0000FF);
  store.rec_cmd_end();
  As_Void_List touched;
  store.undo(touched);
  expect_pt(e->center(), 0, 0);
  EXPECT_DOUBLE_EQ(e->angle(), 0.5);
  EXPECT_DOUBLE_EQ(e->end_angle(), qm_pi);
  EXPECT_EQ(e->general().color(), 0x00FF00);
  store.redo(touched);
  EXPECT_NEAR(e->angle(), 1.5, 1e-12);
  EXPECT_EQ(e->general().color(), 0x0000FF);
}

}  // namespace
