#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "database/entities/mb_face.h"
#include "database/entities/mb_mesh.h"
#include "database/entities/mb_solid.h"
#include "database/mb_drawing.h"
#include "database/mb_settings.h"
#include "database/mb_undo_redo.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/as_loop.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"
#include "surface/cmydc.h"
#include "tests/surface/surface_probe.h"

namespace {

const As_Pt kSquare[4] = {As_Pt(0, 0, 0), As_Pt(4, 0, 0), As_Pt(4, 4, 0), As_Pt(0, 4, 0)};

MB_Solid square_solid() { return MB_Solid(kSquare[0], kSquare[1], kSquare[2], kSquare[3]); }

void expect_points(const As_Pt_Set& set, std::vector<As_Pt> want) {
  ASSERT_EQ(set.count(), static_cast<int>(want.size()));
  for (int i = 0; i < set.count(); ++i) {
    EXPECT_NEAR(set[i].x(), want[i].x(), 1e-12) << i;
    EXPECT_NEAR(set[i].y(), want[i].y(), 1e-12) << i;
  }
}

TEST(Solid, OffsetMovesEveryEdgeToItsLeft) {
  MB_Solid s = square_solid();
  s.offset(0);
  expect_points(s, {kSquare[0], kSquare[1], kSquare[2], kSquare[3]});
  s.offset(1);
  expect_points(s, {As_Pt(1, 1, 0), As_Pt(3, 1, 0), As_Pt(3, 3, 0), As_Pt(1, 3, 0)});
  MB_Face f(4);
  for (int i = 0; i < 4; ++i) f.points()[i] = kSquare[i];
  f.offset(-1);
  expect_points(f, {As_Pt(-1, -1, 0), As_Pt(5, -1, 0), As_Pt(5, 5, 0), As_Pt(-1, 5, 0)});
  // Collinear and repeated vertices never give NaN.
  MB_Solid odd(6);
  const As_Pt pts[6] = {As_Pt(0, 0, 0), As_Pt(2, 0, 0), As_Pt(4, 0, 0), As_Pt(4, 4, 0), As_Pt(4, 4, 0), As_Pt(0, 4, 0)};
  for (int i = 0; i < 6; ++i) odd.points()[i] = pts[i];
  odd.offset(1);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(std::isfinite(odd[i].x()) && std::isfinite(odd[i].y())) << i;
  EXPECT_NEAR(odd[1].x(), 2, 1e-12);
  EXPECT_NEAR(odd[1].y(), 1, 1e-12);
  MB_Solid point(3);
  point.offset(2);
  expect_points(point, {As_Pt(), As_Pt(), As_Pt()});
}

TEST(Solid, SolidsMeasureAsTheirLoopAndEmptyOnesAsNothing) {
  MB_Solid s = square_solid();
  EXPECT_EQ(s.get_real(MB_PROP_LENGTH), 16.0);
  EXPECT_EQ(s.get_real(MB_PROP_AREA), 16.0);
  EXPECT_EQ(s.get_real(MB_PROP_ANGLE), 0.0);
  std::unique_ptr<As_Loop> loop(s.create_loop());
  EXPECT_EQ(loop->count(), 4);
  EXPECT_EQ(loop->area(), 16.0);
  MB_Solid back(*loop);
  expect_points(back, {kSquare[0], kSquare[1], kSquare[2], kSquare[3]});
  EXPECT_EQ(MB_Solid(As_Loop()).count(), 0);

  MB_Solid empty;
  EXPECT_EQ(empty.get_real(MB_PROP_LENGTH), 0.0);
  EXPECT_EQ(empty.get_real(MB_PROP_AREA), 0.0);
  empty.build_draw();
  EXPECT_EQ(empty.draw_node(), nullptr);
  EXPECT_EQ(empty.edge().count(), 0);
}

TEST(Solid, BowTieOrderIsKept) {
  MB_Solid s(kSquare[0], kSquare[1], kSquare[3], kSquare[2]);
  s.build_draw();
  auto* node = dynamic_cast<MB_Draw_Solid*>(s.draw_node());
  ASSERT_NE(node, nullptr);
  expect_points(*node, {kSquare[0], kSquare[1], kSquare[3], kSquare[2]});
  EXPECT_EQ(node->drawable(), &s);
  EXPECT_EQ(s.rect().lt().y(), 4.0);
  EXPECT_EQ(s.rect().rb().x(), 4.0);
}

TEST(Solid, PicksVerticesThenItsRegion) {
  MB_Solid s(3);
  const As_Pt tri[3] = {As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(3, 8, 0)};
  for (int i = 0; i < 3; ++i) s.points()[i] = tri[i];
  As_Pt_List none;
  As_Pt found;
  int kind = 0, extra = 7;
  ASSERT_TRUE(s.pick(As_Pt(10, 0, 0), none, 0.5, found, kind, extra));
  EXPECT_EQ(kind, MB_SNAP_VERTEX) << "a vertex wins over the region";
  EXPECT_EQ(found.x(), 10.0);
  ASSERT_TRUE(s.pick(As_Pt(9.7, 0.1, 0), none, 0.5, found, kind, extra));
  EXPECT_EQ(kind, MB_SNAP_VERTEX);
  EXPECT_EQ(found.x(), 10.0);
  EXPECT_EQ(extra, 7);
  // Away from the vertices the answer is the region's.
  for (double y = -1; y <= 9; y += 0.37) {
    for (double x = -1; x <= 11; x += 0.41) {
      const As_Pt p(x, y, 0);
      kind = 0;
      const bool inside = is_pos_in_region(p, tri, 3);
      bool near_vertex = false;
      for (const As_Pt& v : tri) near_vertex |= (v - p).len() < 0.1;
      if (near_vertex) continue;
      ASSERT_EQ(s.pick(p, none, 0.1, found, kind, extra), inside) << x << "," << y;
      if (inside) {
        EXPECT_EQ(kind, MB_SNAP_INSIDE);
        EXPECT_EQ(found.x(), x);
        EXPECT_EQ(found.y(), y);
      }
    }
  }
}

TEST(Solid, FilledOnTheSurface) {
  MB_Solid s(As_Pt(2, 2, 0), As_Pt(7, 2, 0), As_Pt(7, 6, 0), As_Pt(2, 6, 0));
  s.general().display_color(0x0000FF);
  s.build_draw();
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 10, 10), nullptr);
  As_Tran view;
  s.draw(nullptr, dc, view);
  Probe probe(dc);
  EXPECT_EQ(probe.at(4, 4), 0x00FF0000u) << "filled in the display colour";
  EXPECT_EQ(probe.at(3, 3), 0x00FF0000u);
  EXPECT_EQ(probe.at(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(probe.at(8, 4), 0xFFFFFFFFu);
  EXPECT_EQ(probe.at(4, 8), 0xFFFFFFFFu);
}

// A mask fills and outlines with the background as it is when drawn, on
// the surface and through its device context alike, whatever its colour;
// what is drawn after it shows over it.
TEST(Solid, MaskCoversWithTheBackground) {
  const int32_t background = g_system_setting.get_long_val(MB_BACKGROUND_COLOR);
  g_system_setting.set_long_val(MB_BACKGROUND_COLOR, 0x102030);
  for (bool through_dc : {false, true}) {
    SCOPED_TRACE(through_dc);
    MB_Solid under(As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(10, 10, 0), As_Pt(0, 10, 0));
    under.general().display_color(0x0000FF);
    MB_Solid mask(As_Pt(2, 2, 0), As_Pt(7, 2, 0), As_Pt(7, 6, 0), As_Pt(2, 6, 0));
    mask.general().display_color(0x00FF00);
    mask.mask(true);
    MB_Solid over(As_Pt(4, 3, 0), As_Pt(7, 3, 0), As_Pt(7, 6, 0), As_Pt(4, 6, 0));
    over.general().display_color(0xFF0000);
    CMyDC dc;
    ASSERT_NE(make_surface(dc, 12, 12), nullptr);
    As_Tran view;
    for (MB_Solid* s : {&under, &mask, &over}) {
      s->build_draw();
      s->draw(through_dc ? dc.GetDC() : nullptr, dc, view);
    }
    Probe probe(dc);
    EXPECT_EQ(probe.at(3, 4) & 0xFFFFFF, 0x302010u) << "inside the mask";
    EXPECT_EQ(probe.at(2, 4) & 0xFFFFFF, 0x302010u) << "on its outline";
    EXPECT_EQ(probe.at(5, 4) & 0xFFFFFF, 0x0000FFu) << "drawn after it";
    EXPECT_EQ(probe.at(8, 8) & 0xFFFFFF, 0xFF0000u) << "beside it";
  }
  g_system_setting.set_long_val(MB_BACKGROUND_COLOR, background);
}

TEST(Solid, CopyIntoAnotherSolidResizesIt) {
  MB_Solid five(5);
  five.general().color(3);
  MB_Object* target = &five;
  MB_Solid s = square_solid();
  s.general().color(9);
  ASSERT_TRUE(s.copy_to(target));
  expect_points(five, {kSquare[0], kSquare[1], kSquare[2], kSquare[3]});
  EXPECT_EQ(five.general().color(), 9);
  MB_Object* made = nullptr;
  ASSERT_TRUE(five.copy_to(made));
  EXPECT_EQ(static_cast<MB_Solid*>(made)->count(), 4);
  As_Pt_Set* side = static_cast<MB_Solid*>(made);
  delete side;  // through the vertex side: the whole entity goes
}

TEST(Solid, UndoOfAMoveRestoresTheVertices) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  MB_Solid* s = new MB_Solid(kSquare[0], kSquare[1], kSquare[2], kSquare[3]);
  drawing.object_list().add_tail(s);
  store.rec_cmd_begin("move");
  s->translate(translate_transf(As_Vec(3, 0, 0)));
  store.rec_cmd_end();
  EXPECT_EQ((*s)[0].x(), 3.0);
  As_Void_List touched;
  store.undo(touched);
  ASSERT_TRUE(drawing.object_list().contains(s));
  EXPECT_EQ((*s)[0].x(), 0.0);
}

TEST(Face, OutlineIsDrawnAndPickedButNotItsInside) {
  MB_Face f(4);
  for (int i = 0; i < 4; ++i) f.points()[i] = kSquare[i] + As_Vec(2, 2, 0);
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 10, 10), nullptr);
  As_Tran view;
  f.draw(nullptr, dc, view);
  EXPECT_TRUE(Probe(dc).painted(0xFFFFFFFF).empty()) << "drawn only on a device context";
  f.draw(dc.GetDC(), dc, view);
  PixelSet painted = Probe(dc).painted(0xFFFFFFFF);
  EXPECT_EQ(painted.size(), 16u) << "the closed outline of a 4 x 4 square";
  EXPECT_FALSE(painted.count({4, 4}));

  As_Pt_List none;
  As_Pt found;
  int kind = 0, extra = 0;
  EXPECT_TRUE(f.pick(As_Pt(6.1, 6, 0), none, 0.5, found, kind, extra));
  EXPECT_EQ(kind, MB_SNAP_VERTEX);
  EXPECT_TRUE(f.pick(As_Pt(4, 2.2, 0), none, 0.5, found, kind, extra));
  EXPECT_EQ(kind, MB_SNAP_NEAREST);
  EXPECT_EQ(found.y(), 2.0);
  EXPECT_FALSE(f.pick(As_Pt(4, 4, 0), none, 0.5, found, kind, extra));

  // Faces as the file gives them: no vertices. Nothing is drawn or moved.
  MB_Face empty;
  empty.draw(dc.GetDC(), dc, view);
  empty.draw_key_point(dc.GetDC(), dc, view);
  empty.translate(translate_transf(As_Vec(1, 1, 0)));
  EXPECT_FALSE(empty.pick(As_Pt(), none, 1.0, found, kind, extra));
  f.translate(translate_transf(As_Vec(1, 1, 0)));
  EXPECT_EQ(f[0].x(), 2.0);
}

TEST(Face, CopyResizesTheTargetAndAChangeIsUndone) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  MB_Face* f = new MB_Face(3);
  drawing.object_list().add_tail(f);
  MB_Face two(2);
  two.points()[1] = As_Pt(1, 2, 0);
  MB_Object* target = f;
  ASSERT_TRUE(two.copy_to(target));
  EXPECT_EQ(f->count(), 2);
  EXPECT_EQ((*f)[1].y(), 2.0);
  store.rec_cmd_begin("change");
  f->modify_cmd();
  f->init(1);
  store.rec_cmd_end();
  As_Void_List touched;
  store.undo(touched);
  EXPECT_EQ(f->count(), 2) << "a change of a face is recorded and undone";
}

TEST(Mesh, GridDrawsRowsThenColumnsAndOutOfRangeCellsReadZero) {
  MB_Polygon_Mesh m(2, 3);
  EXPECT_EQ(m.count(), 6);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j) m.points()[i * 3 + j] = As_Pt(j, i, 0);
  EXPECT_EQ(m.get_point(1, 2).x(), 2.0);
  EXPECT_EQ(m.get_point(1, 2).y(), 1.0);
  for (auto [i, j] : {std::pair{2, 0}, {0, 3}, {-1, 0}, {0, -1}}) EXPECT_EQ(m.get_point(i, j).x(), 0.0);
  m.meshn_closed(true);
  m.build_draw();
  auto* node = dynamic_cast<MB_Draw_Lines_Sets*>(m.draw_node());
  ASSERT_NE(node, nullptr);
  ASSERT_EQ(node->ptset_count(), 5u) << "two rows then three columns";
  EXPECT_EQ(node->vals()[0], 4u) << "a row closed back to its first vertex";
  EXPECT_EQ(node->vals()[2], 2u);
  EXPECT_EQ(node->get_point(0, 3).x(), 0.0);
  EXPECT_EQ(node->get_point(4, 1).x(), 2.0);
  EXPECT_EQ(node->get_point(4, 1).y(), 1.0);
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 8, 8), nullptr);
  As_Tran view = scale_transf(2.0);
  m.draw(nullptr, dc, view);
  EXPECT_FALSE(Probe(dc).painted(0xFFFFFFFF).empty()) << "the grid is drawn through its node";

  MB_Polygon_Mesh read_back;  // grid size without vertices, as a file gives it
  MB_Polygon_Mesh target(300, 2);
  MB_Object* t = &read_back;
  ASSERT_TRUE(target.copy_to(t));
  EXPECT_EQ(read_back.m_count(), 300);
  read_back.init(3);
  read_back.build_draw();
  EXPECT_EQ(read_back.draw_node(), nullptr);
  EXPECT_EQ(read_back.get_point(299, 1).x(), 0.0);
  EXPECT_EQ(MB_Polygon_Mesh(-2, 3).count(), 0);
  EXPECT_EQ(MB_Polygon_Mesh(1 << 20, 1 << 20).count(), 0);
}

}  // namespace
