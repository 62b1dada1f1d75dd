// Circle and arc entities: display sets, properties, picks, transforms,
// copies and undo.
#include <gtest/gtest.h>

#include <cmath>

#include "database/entities/mb_circle.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "tests/support/expect_pt.h"

namespace {

TEST(Circle, DisplayIsClosedAtEachPrecision) {
  // Default precision 60; precisions that cannot make a circle become 3.
  const struct { int precision, points; } cases[] = {{0, 60}, {1, 3}, {2, 3}, {3, 3}, {17, 17}};
  for (const auto& c : cases) {
    MB_Circle circle(As_Pt(1, 2, 0), 3);
    circle.draw_precision(c.precision);
    circle.build_draw();
    ASSERT_EQ(circle.edge().count(), c.points) << c.precision;
    const As_Pt* p = circle.edge().points();
    EXPECT_EQ(p[0].x(), p[c.points - 1].x());
    EXPECT_EQ(p[0].y(), p[c.points - 1].y());
    expect_pt(p[0], 4, 2);
    for (int i = 0; i < c.points; ++i) EXPECT_NEAR((p[i] - As_Pt(1, 2, 0)).len(), 3, 1e-9);
  }
}

TEST(Circle, PropertiesGiveCentreRadiusAndCircumference) {
  MB_Circle c(As_Pt(1, 1, 0), 2);
  expect_pt(c.get_point(MB_PROP_CENTER), 1, 1);
  EXPECT_DOUBLE_EQ(c.get_real(MB_PROP_RADIUS), 2);
  EXPECT_DOUBLE_EQ(c.get_real(MB_PROP_AREA), qm_pi * 4);
  EXPECT_DOUBLE_EQ(c.get_real(MB_PROP_LENGTH), qm_pi * 4);
  EXPECT_EQ(c.get_real(-7), 0.0);
  expect_pt(c.get_point(MB_PROP_START), 0, 0);
}

TEST(Circle, PickFindsTheCentreThenTheOutlineButNotTheInside) {
  MB_Circle c(As_Pt(0, 0, 0), 10);
  As_Pt_List unused;
  const struct {
    As_Pt p;
    bool hit;
    int kind;
    As_Pt found;
  } cases[] = {
      {As_Pt(0.05, 0, 0), true, 16, As_Pt(0, 0, 0)},
      {As_Pt(0, 10.05, 0), true, 33, As_Pt(0, 10.05, 0)},  // the pick point itself
      {As_Pt(5, 0, 0), false, -1, As_Pt()},
  };
  for (const auto& k : cases) {
    As_Pt found;
    int kind = -1, extra = 0;
    EXPECT_EQ(c.pick(k.p, unused, 0.1, found, kind, extra), k.hit);
    EXPECT_EQ(kind, k.kind);
    if (k.hit) expect_pt(found, k.found.x(), k.found.y());
  }
}

TEST(Arc, PropertiesAcrossAngleZeroAndAtHalfCircles) {
  const struct {
    double start, end, angle, mid_x, mid_y;
  } cases[] = {
      {3 * qm_pi / 2, qm_pi / 2, qm_pi, 2, 0},  // passes through angle 0
      {0, qm_pi, qm_pi, 0, 2},
      {qm_pi / 2, 3 * qm_pi / 2, qm_pi, -2, 0},
      {qm_pi / 2, qm_pi / 2 + qm_pi + 1e-12, qm_pi + 1e-12, -2, 0},  // near a half circle
      {0, qm_pi / 2, qm_pi / 2, std::sqrt(2.0), std::sqrt(2.0)},
      {0, 3 * qm_pi / 2, 3 * qm_pi / 2, -std::sqrt(2.0), std::sqrt(2.0)},
  };
  for (const auto& c : cases) {
    MB_Arc arc(As_Pt(0, 0, 0), 2, c.start, c.end);
    EXPECT_NEAR(arc.get_real(MB_PROP_ANGLE), c.angle, 1e-12);
    EXPECT_NEAR(arc.get_real(MB_PROP_LENGTH), c.angle * 2, 1e-12);
    EXPECT_NEAR(arc.get_real(MB_PROP_AREA), c.angle * 2, 1e-12);
    expect_pt(arc.get_point(MB_PROP_MIDDLE), c.mid_x, c.mid_y, 1e-6);
  }
}

TEST(Arc, ThreePointsSetRadiusAndAnglesAndTheEndMeetsTheCircleWhenBuilt) {
  MB_Arc arc(As_Pt(0, 0, 0), As_Pt(0, 2, 0), As_Pt(-5, 0, 0));
  EXPECT_DOUBLE_EQ(arc.radius(), 2);
  EXPECT_NEAR(arc.start_angle(), qm_pi / 2, 1e-12);
  EXPECT_NEAR(arc.end_angle(), qm_pi, 1e-12);
  expect_pt(arc.end(), -5, 0);  // kept off the circle until built
  arc.build_draw();
  expect_pt(arc.end(), -2, 0);
  expect_pt(arc.start(), 0, 2);

  MB_Arc at_centre(As_Pt(1, 1, 0), As_Pt(1, 1, 0), As_Pt(2, 1, 0));
  EXPECT_EQ(at_centre.start_angle(), 0.0);
  EXPECT_EQ(at_centre.radius(), 0.0);
}

TEST(Arc, DisplayRunsFromStartToEnd) {
  const struct { int precision, points; } cases[] = {{0, 30}, {1, 3}, {2, 3}, {9, 9}};
  for (const auto& c : cases) {
    MB_Arc arc(As_Pt(0, 0, 0), 1, 3 * qm_pi / 2, qm_pi / 2);
    arc.draw_precision(c.precision);
    arc.build_draw();
    ASSERT_EQ(arc.edge().count(), c.points);
    expect_pt(arc.edge()[0], 0, -1);
    expect_pt(arc.edge()[c.points - 1], 0, 1);
    for (int i = 0; i < c.points; ++i) EXPECT_GE(arc.edge()[i].x(), -1e-9);  // the right half
  }
}

TEST(Arc, PickFindsCentreEndsAndArcButNotTheRestOfTheCircle) {
  // A tiny arc: its centre and start are both within the tolerance.
  MB_Arc small(As_Pt(0, 0, 0), 0.05, 0, qm_pi / 2);
  small.build_draw();
  MB_Arc arc(As_Pt(0, 0, 0), 10, 0, qm_pi / 2);
  arc.build_draw();
  As_Pt_List unused;
  const struct {
    MB_Arc* arc;
    As_Pt p;
    bool hit;
    int kind;
  } cases[] = {
      {&small, As_Pt(0.02, 0, 0), true, 16}, {&arc, As_Pt(10.05, 0, 0), true, 13},
      {&arc, As_Pt(0, 9.95, 0), true, 14},   {&arc, As_Pt(7.07, 7.07, 0), true, 31},
      {&arc, As_Pt(-10, 0, 0), false, -1},
  };
  for (const auto& k : cases) {
    As_Pt found;
    int kind = -1, extra = 0;
    EXPECT_EQ(k.arc->pick(k.p, unused, 0.1, found, kind, extra), k.hit);
    EXPECT_EQ(kind, k.kind);
  }
}

TEST(Arc, ReflectionKeepsItCounterClockwise) {
  MB_Arc arc(As_Pt(1, 0, 0), 2, 0, qm_pi / 2);
  arc.translate(reflect_transf(As_Vec(1, 0, 0)));  // mirror in the Y axis
  expect_pt(arc.center(), -1, 0);
  expect_pt(arc.start(), -1, 2);
  expect_pt(arc.end(), -3, 0);
  EXPECT_NEAR(arc.start_angle(), qm_pi / 2, 1e-12);
  EXPECT_NEAR(arc.end_angle(), qm_pi, 1e-12);
  expect_pt(arc.get_point(MB_PROP_MIDDLE), -1 - std::sqrt(2.0), std::sqrt(2.0));

  arc.translate(scale_transf(2));
  EXPECT_DOUBLE_EQ(arc.radius(), 4);
  MB_Circle circle(As_Pt(1, 1, 0), 1);
  circle.translate(scale_transf(3));
  expect_pt(circle.center(), 3, 3);
  EXPECT_DOUBLE_EQ(circle.radius(), 3);
}

TEST(Arc, CopiesCarryEveryField) {
  MB_Arc arc(As_Pt(1, 2, 0), 3, 0.5, 2.0);
  arc.general().color(0x123456);
  arc.draw_precision(12);
  MB_Object* copy = nullptr;
  ASSERT_TRUE(arc.copy_to(copy));
  MB_Arc* a = static_cast<MB_Arc*>(copy);
  EXPECT_EQ(a->object_id(), MB_Object::ID_ARC);
  EXPECT_EQ(a->start_angle(), 0.5);
  EXPECT_EQ(a->end_angle(), 2.0);
  EXPECT_EQ(a->general().color(), 0x123456);
  EXPECT_EQ(a->draw_precision(), 12);

  MB_Circle circle(As_Pt(5, 5, 0), 1);
  circle.general().color(0xABCDEF);
  MB_Object* existing = new MB_Circle;
  ASSERT_TRUE(circle.copy_to(existing));
  EXPECT_EQ(static_cast<MB_Circle*>(existing)->radius(), 1.0);
  EXPECT_EQ(static_cast<MB_Circle*>(existing)->general().color(), 0xABCDEF);
  EXPECT_FALSE(circle.copy_to(copy));  // an arc is not a circle target
  delete existing;
  delete copy;
}

TEST(Arc, UndoRestoresAMove) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  auto* arc = new MB_Arc(As_Pt(0, 0, 0), 1, 0, qm_pi);
  drawing.object_list().add_tail(arc);
  store.rec_cmd_begin("move");
  arc->translate(translate_transf(As_Vec(5, 0, 0)));
  arc->radius(4);
  store.rec_cmd_end();
  As_Void_List touched;
  store.undo(touched);
  expect_pt(arc->center(), 0, 0);
  expect_pt(arc->start(), 1, 0);
  EXPECT_EQ(arc->radius(), 1.0);
  store.redo(touched);
  expect_pt(arc->center(), 5, 0);
  EXPECT_EQ(arc->radius(), 4.0);
}

}  // namespace
