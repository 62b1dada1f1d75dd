// Flat API for the curved entities: creators append a built entity, make
// functions build or update one; and what the entities draw.
#include <gtest/gtest.h>

#include <cmath>

#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_polyline.h"
#include "database/mb_drawing.h"
#include "api/api_create_curves.h"
#include "database/mb_undo_redo.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "tests/surface/surface_probe.h"

namespace {

template <class T>
T* as(intptr_t e) {
  return reinterpret_cast<T*>(e);
}

TEST(CreateCurves, CreatorsAppendBuiltEntities) {
  MB_Drawing drawing;
  const double centre[3] = {1, 2, 0};
  As_Pt c(0, 0, 0);
  As_Pt fit[3] = {As_Pt(0, 0, 0), As_Pt(1, 1, 0), As_Pt(2, 0, 0)};
  As_Pt verts[3] = {As_Pt(0, 0, 0), As_Pt(2, 0, 0), As_Pt(2, 2, 0)};
  double sw[3] = {0, 0, 0}, ew[3] = {0, 0, 0}, bulge[3] = {1, 0, 0};
  const intptr_t made[] = {
      api_mb_create_circle(1, 2, 3),
      api_mb_create_arc(centre, 3, 0, 1),
      api_mb_create_ellipse(c, 2, 1, 0),
      api_mb_create_ellipse_arc(c, 2, 1, 0, 0, 1),
      api_mb_create_bspline(fit, 3, 1, 0, 0, 0, 0, 0),
      api_mb_create_polyline(3, verts, sw, ew, bulge, 2),
  };
  MB_Object* o = drawing.object_list().head();
  for (intptr_t e : made) {
    ASSERT_NE(e, 0);
    EXPECT_EQ(reinterpret_cast<MB_Object*>(e), o);
    EXPECT_GT(as<MB_Geom>(e)->edge().count(), 2);
    o = o->next();
  }
  EXPECT_EQ(o, nullptr);
  EXPECT_EQ(as<MB_Circle>(made[0])->radius(), 3);
  EXPECT_EQ(as<MB_Bspline>(made[4])->starttangent().x(), 1);
  EXPECT_FALSE(as<MB_Polyline>(made[5])->closed());  // only 1 closes

  EXPECT_EQ(api_mb_create_bspline(fit, 1, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(api_mb_create_bspline(nullptr, 3, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(drawing.object_list().tail(), reinterpret_cast<MB_Object*>(made[5]));

  MB_Polyline* p = nullptr;
  EXPECT_TRUE(api_mb_create_polyline(p, 2, true));
  EXPECT_TRUE(api_mb_set_pline_pos(p, 1, 4, 5, 0));
  EXPECT_FALSE(api_mb_set_pline_pos(p, 2, 4, 5, 0));
  EXPECT_EQ(p->pline_pos()[1].point.x(), 4);
  EXPECT_TRUE(p->closed());
}

TEST(CreateCurves, ThreePointArcsRunCounterClockwiseAndUpdatesAreUndoable) {
  MB_Circle* circle = nullptr;
  EXPECT_FALSE(api_mb_make_circle(circle, As_Pt(0, 0, 0), 1e-7));
  EXPECT_EQ(circle, nullptr);
  ASSERT_TRUE(api_mb_make_circle_3pt(circle, As_Pt(1, 0, 0), As_Pt(0, 1, 0), As_Pt(-1, 0, 0)));
  EXPECT_NEAR(circle->radius(), 1, 1e-12);
  EXPECT_FALSE(api_mb_make_circle_3pt(circle, As_Pt(0, 0, 0), As_Pt(1, 0, 0), As_Pt(2, 0, 0)));

  // Updating records the state before for undo.
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  drawing.object_list().add_tail(circle);
  store.rec_cmd_begin("edit");
  EXPECT_TRUE(api_mb_make_circle(circle, As_Pt(5, 5, 0), 2));
  store.rec_cmd_end();
  As_Void_List touched;
  store.undo(touched);
  EXPECT_NEAR(circle->radius(), 1, 1e-12);
  EXPECT_NEAR(circle->center().x(), 0, 1e-12);

  // Three points, clockwise or not: the counter-clockwise arc through the middle.
  const struct {
    As_Pt s, m, e;
  } arcs[] = {
      {As_Pt(1, 0, 0), As_Pt(0, 1, 0), As_Pt(-1, 0, 0)},
      {As_Pt(-1, 0, 0), As_Pt(0, 1, 0), As_Pt(1, 0, 0)},
      {As_Pt(0, -1, 0), As_Pt(1, 0, 0), As_Pt(0, 1, 0)},
  };
  for (const auto& a : arcs) {
    MB_Arc* arc = nullptr;
    api_mb_make_arc_sme(arc, a.s, a.m, a.e);
    ASSERT_NE(arc, nullptr);
    EXPECT_NEAR((arc->get_point(MB_PROP_MIDDLE) - a.m).len(), 0, 1e-9);
    MB_Arc* same = nullptr;
    api_mb_make_arc_sem(same, a.s, a.e, a.m);
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(same->start_angle(), arc->start_angle());
    api_mb_make_arc_sem(same, a.e, a.s, a.m);  // an existing arc is left alone
    EXPECT_EQ(same->start_angle(), arc->start_angle());
    delete arc;
    delete same;
  }
  MB_Arc* none = nullptr;
  api_mb_make_arc_sme(none, As_Pt(0, 0, 0), As_Pt(1, 1, 0), As_Pt(2, 2, 0));
  EXPECT_EQ(none, nullptr);

  MB_Arc* cse = nullptr;
  api_mb_make_arc_cse(cse, As_Pt(0, 0, 0), As_Pt(0, 2, 0), As_Pt(-7, 0, 0));
  EXPECT_EQ(cse->radius(), 2);
  EXPECT_NEAR(cse->end_angle(), qm_pi, 1e-12);
  delete cse;

  MB_Bspline* spline = nullptr;
  As_Pt_List pts;
  EXPECT_FALSE(api_mb_make_spline(spline, pts));
  pts.add(As_Pt(0, 0, 0));
  pts.add(As_Pt(1, 1, 0));
  EXPECT_TRUE(api_mb_make_spline(spline, pts));
  EXPECT_EQ(spline->fitpts().count(), 2);
  delete spline;
}

TEST(CreateCurves, EntitiesDrawOnTheSurfaceAndTheDeviceContext) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 40, 40), nullptr);
  Probe probe(dc);
  const uint32_t bg = probe.at(0, 0);
  As_Tran view;
  MB_Circle circle(As_Pt(20, 20, 0), 10);
  circle.build_draw();
  circle.draw(nullptr, dc, view);
  const PixelSet on_surface = probe.painted(bg);
  EXPECT_GT(on_surface.size(), 40u);
  EXPECT_TRUE(on_surface.count({30, 20}) || on_surface.count({29, 20}));
  EXPECT_FALSE(on_surface.count({20, 20}));

  // The key point marker: a square outline about the centre.
  circle.draw_key_point(dc.GetDC(), dc, view);
  const PixelSet with_marker = probe.painted(bg);
  EXPECT_TRUE(with_marker.count({17, 17}) && with_marker.count({23, 23}));

  // A wide polyline fills its outlines.
  MB_Polyline p(false, 2, new MB_Pline_Pos[2]);
  p.pline_pos()[0] = {As_Pt(2, 2, 0), 0, 4, 4};
  p.pline_pos()[1].point = As_Pt(30, 2, 0);
  p.build_draw();
  p.draw(dc.GetDC(), dc, view);
  p.draw(nullptr, dc, view);
  EXPECT_GT(probe.painted(bg).size(), with_marker.size() + 50);
}

}  // namespace
