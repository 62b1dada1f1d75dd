// Polyline entity: arc expansion, widths and mitres, picks, growth, copies
// and undo.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "database/entities/mb_polyline.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "tests/support/expect_pt.h"

namespace {

struct V {
  double x, y, bulge = 0, sw = 0, ew = 0;
};

MB_Polyline make(const std::vector<V>& vs, bool closed = false) {
  MB_Polyline p;
  for (const V& v : vs) {
    MB_Pline_Pos& r = p.get_new_pline_pos();
    r.point = As_Pt(v.x, v.y, 0);
    r.bulge = v.bulge;
    r.start_width = v.sw;
    r.end_width = v.ew;
  }
  p.closed(closed);
  return p;
}

TEST(Polyline, BulgeSignPicksTheSideAndPrecisionTheArcPoints) {
  const struct {
    double bulge;
    double mid_y;
  } cases[] = {{1, -1}, {-1, 1}};
  for (const auto& c : cases) {
    MB_Polyline p = make({{0, 0, c.bulge}, {2, 0}});
    p.draw_precision(5);
    p.build_draw();
    ASSERT_EQ(p.edge().count(), 6);  // five arc points, then the last vertex
    expect_pt(p.edge()[0], 0, 0);
    expect_pt(p.edge()[2], 1, c.mid_y);
    expect_pt(p.edge()[4], 2, 0);
    expect_pt(p.edge()[5], 2, 0);
  }
  MB_Polyline dflt = make({{0, 0, 1}, {2, 0}});
  dflt.build_draw();
  EXPECT_EQ(dflt.edge().count(), 11);  // default precision 10
}

TEST(Polyline, DegenerateVerticesExpandToFinitePointsOfTheRightCount) {
  const struct {
    std::vector<V> vs;
    bool closed;
    int precision;
    int points;
  } cases[] = {
      {{{0, 0}, {2, 0}}, true, 0, 2},                    // no closing segment for two straight vertices
      {{{0, 0}, {2, 0, 1}}, true, 4, 5},                 // but the closing arc is drawn
      {{{0, 0}, {2, 0}, {2, 2}}, true, 0, 4},            // closed back to the first
      {{{0, 0, 1e-7}, {2, 0}}, false, 0, 2},             // below resabs counts as straight
      {{{1, 1, 1}, {1, 1}, {3, 1}}, false, 0, 3},        // bulge between coincident vertices
      {{{0, 0}, {2, 0, 1}}, false, 0, 2},                // a last bulge of an open polyline
      {{{0, 0, 1}, {2, 0}}, false, 1, 3},                // precision raised to 2
  };
  for (const auto& c : cases) {
    MB_Polyline p = make(c.vs, c.closed);
    p.draw_precision(c.precision);
    p.build_draw();
    EXPECT_EQ(p.edge().count(), c.points);
    for (int i = 0; i < p.edge().count(); ++i) {
      EXPECT_TRUE(std::isfinite(p.edge()[i].x()) && std::isfinite(p.edge()[i].y()));
    }
  }
  MB_Polyline one = make({{1, 1}});
  one.edge().init(1);
  one.build_draw();
  EXPECT_EQ(one.edge().count(), 1);  // unchanged
}

TEST(Polyline, ArcWidthsStepAlongTheChords) {
  MB_Polyline p = make({{0, 0, 1, 1, 3}, {2, 0}});
  p.draw_precision(4);
  p.build_draw();
  auto* node = dynamic_cast<MB_Draw_Lines_Sets*>(p.draw_node());
  ASSERT_NE(node, nullptr);
  EXPECT_TRUE(node->is_filled());
  // Four arc records make three widened chords; the last record runs into
  // the end vertex over a zero-length pair, which has no outline.
  ASSERT_EQ(node->ptset_count(), 3u);
  // Widths 1, 1.5, 2, 2.5 at the records; the outer corners are not mitred.
  EXPECT_NEAR((node->get_point(0, 0) - node->get_point(0, 3)).len(), 1, 1e-9);
  EXPECT_NEAR((node->get_point(2, 1) - node->get_point(2, 2)).len(), 2.5, 1e-9);
}

TEST(Polyline, MitreJoinsWideSegments) {
  MB_Polyline p = make({{0, 0, 0, 2, 2}, {10, 0, 0, 2, 2}, {10, 10}});
  p.build_draw();
  auto* node = dynamic_cast<MB_Draw_Lines_Sets*>(p.draw_node());
  ASSERT_NE(node, nullptr);
  ASSERT_EQ(node->ptset_count(), 2u);
  expect_pt(node->get_point(0, 0), 0, -1);
  expect_pt(node->get_point(0, 1), 11, -1);
  expect_pt(node->get_point(0, 2), 9, 1);
  expect_pt(node->get_point(0, 3), 0, 1);
  expect_pt(node->get_point(1, 0), 11, -1);
  expect_pt(node->get_point(1, 3), 9, 1);
  expect_pt(node->get_point(1, 4), 11, -1);

  // Collinear wide segments abut unjoined.
  MB_Polyline straight = make({{0, 0, 0, 2, 2}, {10, 0, 0, 2, 2}, {20, 0}});
  straight.build_draw();
  auto* s = dynamic_cast<MB_Draw_Lines_Sets*>(straight.draw_node());
  ASSERT_NE(s, nullptr);
  expect_pt(s->get_point(0, 1), 10, -1);
  expect_pt(s->get_point(1, 0), 10, -1);

  // Negative widths only: a thin line-typed display.
  MB_Polyline thin = make({{0, 0, 0, -1, -1}, {10, 0}});
  EXPECT_FALSE(thin.is_have_width());
  thin.global_width(0.5);
  EXPECT_TRUE(thin.is_have_width());
}

TEST(Polyline, PickFindsVerticesAndSegmentsWithinTheTolerance) {
  MB_Polyline p = make({{0, 0}, {10, 0}, {10, 10}});
  p.build_draw();
  As_Pt_List unused;
  const struct {
    As_Pt at;
    bool hit;
    int kind;
  } cases[] = {{As_Pt(10.05, 0, 0), true, 22}, {As_Pt(5, 0.05, 0), true, 35}, {As_Pt(5, 5, 0), false, -1}};
  for (const auto& c : cases) {
    As_Pt found;
    int kind = -1, extra = 0;
    EXPECT_EQ(p.pick(c.at, unused, 0.1, found, kind, extra), c.hit);
    EXPECT_EQ(kind, c.kind);
  }
}

TEST(Polyline, GrowthStopsAtTheCountLimit) {
  MB_Polyline p;
  MB_Pline_Pos* first = &p.get_new_pline_pos();
  EXPECT_EQ(first, p.pline_pos());
  EXPECT_EQ(p.count(), 1);
  ASSERT_TRUE(p.resize(MB_Polyline::kMaxCount));
  p.pline_pos()[MB_Polyline::kMaxCount - 1].bulge = 0.5;
  MB_Pline_Pos& extra = p.get_new_pline_pos();
  extra.bulge = 7;  // goes nowhere
  EXPECT_EQ(p.count(), MB_Polyline::kMaxCount);
  EXPECT_EQ(p.pline_pos()[MB_Polyline::kMaxCount - 1].bulge, 0.5);
  EXPECT_FALSE(p.resize(MB_Polyline::kMaxCount + 1));
}

TEST(Polyline, MirrorTurnsArcsAround) {
  MB_Polyline p = make({{0, 0, 1}, {2, 0}});
  p.translate(reflect_transf(As_Vec(0, 1, 0)));
  EXPECT_EQ(p.pline_pos()[0].bulge, -1);
  p.draw_precision(5);
  p.build_draw();
  expect_pt(p.edge()[2], 1, 1);  // the mirror image of (1, -1)
}

TEST(Polyline, UndoRestoresAnAddedVertex) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  auto* p = new MB_Polyline(make({{0, 0, 0.5}, {1, 0}}, true));
  p->global_width(0.25);
  drawing.object_list().add_tail(p);

  store.rec_cmd_begin("add vertex");
  p->modify_cmd();
  p->get_new_pline_pos().point = As_Pt(1, 1, 0);
  p->closed(false);
  store.rec_cmd_end();

  As_Void_List touched;
  store.undo(touched);
  ASSERT_EQ(p->count(), 2);
  EXPECT_TRUE(p->closed());
  EXPECT_EQ(p->pline_pos()[0].bulge, 0.5);
  EXPECT_EQ(p->global_width(), 0.25);
  p->build_draw();

  store.redo(touched);
  ASSERT_EQ(p->count(), 3);
  EXPECT_FALSE(p->closed());
  expect_pt(p->pline_pos()[2].point, 1, 1);
}

}  // namespace
