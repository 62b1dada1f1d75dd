// Spline entity: the fitted display, picks, a failing fit, transforms,
// copies and undo.
#include <gtest/gtest.h>

#include <cmath>

#include "database/entities/mb_bspline.h"
#include "database/mb_drawing.h"
#include "surface/cmydc.h"
#include "database/mb_undo_redo.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"

namespace {

MB_Bspline make(std::initializer_list<As_Pt> pts) {
  MB_Bspline s(0, static_cast<int>(pts.size()));
  int i = 0;
  for (const As_Pt& p : pts) s.fitpts().points()[i++] = p;
  return s;
}

// Distance from p to the display polyline.
double distance_to_display(const MB_Bspline& s, const As_Pt& p) {
  double best = 1e300;
  for (int i = 0; i < s.edge().count(); ++i) best = std::fmin(best, (s.edge()[i] - p).len());
  return best;
}

TEST(Bspline, SizedSplinesHaveDefaultsAndTangentsAreNormalisedOrZero) {
  MB_Bspline s(4, 3);
  EXPECT_EQ(s.ctlpts().count(), 4);
  EXPECT_EQ(s.fitpts().count(), 3);
  EXPECT_EQ(s.fittol(), 1e-5);
  EXPECT_EQ(s.degree(), 3);
  MB_Bspline d;
  EXPECT_EQ(d.fittol(), 0.0);
  d.starttangent(0, 0, 1e-12);
  EXPECT_EQ(d.starttangent().x() + d.starttangent().y() + d.starttangent().z(), 0.0);
  d.endtangent(3, 4, 0);
  EXPECT_DOUBLE_EQ(d.endtangent().x(), 0.6);
}

TEST(Bspline, DisplaysItsFittedCurve) {
  MB_Bspline s = make({As_Pt(0, 0, 0), As_Pt(1, 1, 0), As_Pt(2, 0, 0), As_Pt(3, 1, 0)});
  s.build_draw();
  ASSERT_GT(s.edge().count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_LT(distance_to_display(s, s.fitpts()[i]), 1e-6);
  EXPECT_LT((s.edge()[0] - As_Pt(0, 0, 0)).len(), 1e-9);
  EXPECT_LT((s.edge()[s.edge().count() - 1] - As_Pt(3, 1, 0)).len(), 1e-9);
  // Smooth: no display point far from the fit points' hull.
  for (int i = 0; i < s.edge().count(); ++i) {
    EXPECT_GT(s.edge()[i].y(), -0.5);
    EXPECT_LT(s.edge()[i].y(), 1.5);
  }

  // A start tangent bends the start of the curve.
  MB_Bspline t = make({As_Pt(0, 0, 0), As_Pt(1, 1, 0), As_Pt(2, 0, 0), As_Pt(3, 1, 0)});
  t.starttangent(0, -1, 0);
  t.build_draw();
  ASSERT_GT(t.edge().count(), 2);
  EXPECT_LT(t.edge()[1].y(), 0.0);
}

TEST(Bspline, NoFitLeavesTheDisplayAlone) {
  MB_Bspline empty;
  empty.edge().init(2);
  empty.build_draw();
  EXPECT_EQ(empty.edge().count(), 2);

  // One point, or points that coincide, fit nothing: no display, and
  // drawing does not fail.
  for (MB_Bspline s : {make({As_Pt(1, 1, 0)}), make({As_Pt(1, 1, 0), As_Pt(1, 1, 0)})}) {
    s.build_draw();
    EXPECT_EQ(s.edge().count(), 0);
    EXPECT_EQ(s.draw_node(), nullptr);
    CMyDC dc;
    As_Tran view;
    s.draw(nullptr, dc, view);
  }
}

TEST(Bspline, PickFindsEndsThenFitPointsThenTheCurveBetweenThem) {
  MB_Bspline s = make({As_Pt(0, 0, 0), As_Pt(1, 1, 0), As_Pt(2, 0, 0), As_Pt(3, 1, 0)});
  s.build_draw();
  As_Pt_List unused;
  const struct {
    As_Pt p;
    bool hit;
    int kind;
  } cases[] = {
      {As_Pt(0.01, 0, 0), true, 13}, {As_Pt(1, 1.01, 0), true, 22}, {As_Pt(2, 0.01, 0), true, 22},
      {As_Pt(3, 1.01, 0), true, 14}, {As_Pt(5, 5, 0), false, -1},
  };
  for (const auto& c : cases) {
    As_Pt found;
    int kind = -1, extra = 0;
    EXPECT_EQ(s.pick(c.p, unused, 0.05, found, kind, extra), c.hit);
    EXPECT_EQ(kind, c.kind);
  }
  // Between fit points, on the curve.
  const As_Pt on = s.edge()[s.edge().count() / 6];
  As_Pt found;
  int kind = -1, extra = 0;
  EXPECT_TRUE(s.pick(As_Pt(on.x(), on.y() + 0.01, 0), unused, 0.05, found, kind, extra));
  EXPECT_EQ(kind, MB_SNAP_ON_CURVE);
}

TEST(Bspline, UndoRestoresAMove) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  auto* s = new MB_Bspline(make({As_Pt(0, 0, 0), As_Pt(1, 1, 0), As_Pt(2, 0, 0)}));
  s->starttangent(1, 0, 0);
  drawing.object_list().add_tail(s);
  store.rec_cmd_begin("rotate");
  s->translate(rotate_transf(qm_pi / 2, As_Vec(0, 0, 1)));
  store.rec_cmd_end();
  EXPECT_NEAR(s->fitpts()[1].x(), -1, 1e-12);
  EXPECT_NEAR(s->starttangent().y(), 1, 1e-12);

  As_Void_List touched;
  store.undo(touched);
  EXPECT_NEAR(s->fitpts()[1].x(), 1, 1e-12);
  EXPECT_NEAR(s->starttangent().x(), 1, 1e-12);
  s->build_draw();
  EXPECT_GT(s->edge().count(), 3);
}

}  // namespace
