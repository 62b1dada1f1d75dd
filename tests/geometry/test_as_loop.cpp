#include <gtest/gtest.h>

#include <memory>

#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "geometry/geom_algo.h"
#include "loop_fixtures.h"
#include "surface/pt_draw.h"
#include "tests/platform_gdi/gdi_fixture.h"

namespace {

using namespace loop_fixtures;

TEST(Loop, AddSkipsRepeatsOfTheEnds) {
  As_Loop loop;
  const As_Pt a(0, 0, 0), b(1, 0, 0);
  loop.add(a);
  loop.add(As_Pt(0, 5e-7, 0));
  EXPECT_EQ(loop.count(), 1);
  EXPECT_EQ(loop.head()->next(), loop.head());
  EXPECT_EQ(loop.head()->prev(), loop.head());
  loop.add(b);
  loop.add(a);
  EXPECT_EQ(loop.count(), 2);
  EXPECT_EQ(loop.edge_id(), As_Edge::LOOP_ID);
}

TEST(Loop, InsertAndKillKeepTheRingLinkedDownToEmpty) {
  As_Loop loop = Box(0, 0, 1, 1);
  As_Loop_Node* old_head = loop.head();
  loop.insert(new As_Loop_Node(As_Pt(-1, -1, 0)), old_head);
  EXPECT_TRUE(HasVertices(loop, {{-1, -1}, {0, 0}, {1, 0}, {1, 1}, {0, 1}}));
  old_head->insert_after(As_Pt(0.5, 0, 0), 1);
  old_head->insert_before(As_Pt(-0.5, -0.5, 0), 1);
  EXPECT_TRUE(HasVertices(loop, {{-1, -1}, {-0.5, -0.5}, {0, 0}, {0.5, 0}, {1, 0}, {1, 1}, {0, 1}}));
  EXPECT_EQ(old_head->next()->flag(), 1);
  EXPECT_EQ(old_head->flag(), 0);
  loop.kill_head();
  loop.kill_head();
  EXPECT_TRUE(HasVertices(loop, {{0, 0}, {0.5, 0}, {1, 0}, {1, 1}, {0, 1}}));
  EXPECT_EQ(loop.head()->prev()->pos().y(), 1);
  loop.kill_all();
  EXPECT_TRUE(loop.is_empty());
  loop.kill_head();
  As_Loop single;
  single.insert(new As_Loop_Node(As_Pt(2, 2, 0)), nullptr);
  EXPECT_EQ(single.count(), 1);
  single.kill_head();
  EXPECT_TRUE(single.is_empty());
}

TEST(Loop, CopiesOwnTheirVertices) {
  As_Loop a = Box(0, 0, 2, 1);
  a.build_rect();
  As_Loop b(a);
  b.translate(translate_transf(As_Vec(5, 0, 0)));
  EXPECT_TRUE(HasVertices(a, {{0, 0}, {2, 0}, {2, 1}, {0, 1}}));
  As_Loop c;
  c = b;
  c = c;
  b.kill_all();
  EXPECT_TRUE(HasVertices(c, {{5, 0}, {7, 0}, {7, 1}, {5, 1}}));
  a = c;
  EXPECT_EQ(a.rect(), nullptr);
  EXPECT_EQ(a.count(), 4);
}

TEST(Loop, PointInLoopIsThreeValued) {
  const As_Loop square = Box(0, 0, 2, 2);
  EXPECT_EQ(square.is_pt_in_loop(As_Pt(1, 1, 0)), 1);
  EXPECT_EQ(square.is_pt_in_loop(As_Pt(2, 1, 0)), 2);
  EXPECT_EQ(square.is_pt_in_loop(As_Pt(1, 0, 0)), 2);
  EXPECT_EQ(square.is_pt_in_loop(As_Pt(0, 0, 0)), 2);
  EXPECT_EQ(square.is_pt_in_loop(As_Pt(0, 2, 0)), 2);  // on the closing edge
  EXPECT_EQ(square.is_pt_in_loop(As_Pt(2.001, 1, 0)), 0);
  EXPECT_EQ(square.is_pt_in_loop(As_Pt(-5, 1, 0)), 0);
}

// Away from the boundary the loop answers as the polygon test does, on a
// concave outline.
TEST(Loop, PointInLoopAgreesWithThePolygonTest) {
  const As_Loop c_shape = MakeLoop({{3, 3}, {0, 3}, {0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 2}, {3, 2}});
  const std::vector<As_Pt> pts = c_shape.closed_points();
  for (double x = -0.55; x < 3.6; x += 0.3) {
    for (double y = -0.55; y < 3.6; y += 0.3) {
      const As_Pt p(x, y, 0);
      SCOPED_TRACE(testing::Message() << x << ", " << y);
      const bool inside = is_pos_in_region(p, pts.data(), static_cast<int>(pts.size()));
      EXPECT_EQ(c_shape.is_pt_in_loop(p), inside ? 1 : 0);
    }
  }
  EXPECT_EQ(c_shape.is_pt_in_loop(As_Pt(2, 1.5, 0)), 0);
  EXPECT_EQ(c_shape.is_pt_in_loop(As_Pt(2, 0.5, 0)), 1);
}

TEST(Loop, MeasuresIncludeTheClosingEdge) {
  const As_Loop square = Box(0, 0, 2, 3);
  EXPECT_DOUBLE_EQ(square.length(), 10);
  EXPECT_DOUBLE_EQ(square.area(), 6);
  const As_Loop c_shape = MakeLoop({{3, 3}, {0, 3}, {0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 2}, {3, 2}});
  EXPECT_DOUBLE_EQ(c_shape.area(), 7);
  EXPECT_DOUBLE_EQ(c_shape.length(), 16);
  const As_Loop triangle = MakeLoop({{0, 0}, {4, 0}, {0, 3}});
  EXPECT_DOUBLE_EQ(triangle.length(), 12);
  EXPECT_DOUBLE_EQ(triangle.area(), 6);
}

TEST(Loop, ListBoundsUnionTheLoopsAndSkipEmptyOnes) {
  As_Loop square = Box(-1, 2, 3, 5);
  As_Pt lt, rb;
  ASSERT_TRUE(square.get_rect_pos(lt, rb));
  EXPECT_EQ(lt.x(), -1);
  EXPECT_EQ(lt.y(), 5);
  EXPECT_EQ(rb.x(), 3);
  EXPECT_EQ(rb.y(), 2);
  EXPECT_EQ(square.rect(), nullptr);
  square.build_rect();
  ASSERT_NE(square.rect(), nullptr);
  EXPECT_EQ(square.rect()->width(), 4);

  As_Loop empty, other = Box(10, -3, 11, 0);
  As_Void_List loops;
  EXPECT_FALSE(api_mb_get_loops_rect_pos(loops, lt, rb));
  loops.add(&empty);
  EXPECT_FALSE(api_mb_get_loops_rect_pos(loops, lt, rb));
  loops.add(&square);
  loops.add(&other);
  ASSERT_TRUE(api_mb_get_loops_rect_pos(loops, lt, rb));
  EXPECT_EQ(lt.x(), -1);
  EXPECT_EQ(lt.y(), 5);
  EXPECT_EQ(rb.x(), 11);
  EXPECT_EQ(rb.y(), -3);
}

TEST(Loop, EmptyLoopAnswersNothing) {
  As_Loop empty;
  As_Pt lt(9, 9, 9), rb(9, 9, 9);
  EXPECT_FALSE(empty.get_rect_pos(lt, rb));
  EXPECT_EQ(lt.x(), 9);
  empty.build_rect();
  EXPECT_EQ(empty.rect(), nullptr);
  EXPECT_EQ(empty.length(), 0.0);
  EXPECT_EQ(empty.area(), 0.0);
  EXPECT_EQ(empty.count(), 0);
  EXPECT_EQ(empty.is_pt_in_loop(As_Pt()), 0);
  const As_Loop square = Box(-1, -1, 1, 1);
  EXPECT_EQ(empty.is_in_loop(square), 0);
  EXPECT_FALSE(empty.is_intersection(square));
  EXPECT_FALSE(square.is_intersection(empty));
  As_Void_List none;
  EXPECT_EQ(square.intersection(empty, none), 0);
  EXPECT_EQ(square.create_union_loop(empty), nullptr);
  As_Pt_List crossings;
  As_Pt line[2] = {As_Pt(-2, 0, 0), As_Pt(2, 0, 0)};
  EXPECT_TRUE(empty.interact(line, 2, crossings));
  EXPECT_TRUE(crossings.is_empty());
  empty.translate(translate_transf(As_Vec(1, 1, 0)));
}

TEST(Loop, TouchingLoopsDoNotIntersectButCrossingOrNestedOnesDo) {
  const As_Loop a = Box(0, 0, 2, 2);
  const As_Loop touching = Box(2, 0, 4, 2);
  const As_Loop overlapping = Box(1, 1, 3, 3);
  const As_Loop inner = Box(0.5, 0.5, 1.5, 1.5);
  const As_Loop far = Box(5, 5, 6, 6);
  EXPECT_FALSE(a.is_intersection(touching));
  EXPECT_FALSE(touching.is_intersection(a));
  EXPECT_TRUE(a.is_intersection(overlapping));
  EXPECT_TRUE(a.is_intersection(inner));
  EXPECT_TRUE(inner.is_intersection(a));
  EXPECT_FALSE(a.is_intersection(far));
  // Crossing edges with no vertex inside the other loop.
  const As_Loop cross = Box(-1, 0.5, 3, 1.5);
  EXPECT_TRUE(a.is_intersection(cross));

  As_Void_List out;
  EXPECT_EQ(a.intersection(far, out), 0);
  EXPECT_EQ(a.intersection(touching, out), 0);
  EXPECT_EQ(a.intersection(inner, out), 1);
  EXPECT_EQ(inner.intersection(a, out), 2);
  EXPECT_EQ(a.intersection(Box(0, 0, 1, 2), out), 1);
  EXPECT_EQ(a.intersection(overlapping, out), 3);
  EXPECT_TRUE(out.is_empty());

  EXPECT_EQ(inner.is_in_loop(a), 1);
  EXPECT_EQ(a.is_in_loop(a), 1);
  EXPECT_EQ(a.is_in_loop(inner), 0);
}

TEST(Loop, UnionAddsAndCutRemovesTheOverlapAndNothingLeftGivesNull) {
  const As_Loop a = Box(0, 0, 2, 2), b = Box(1, 1, 3, 3);
  std::unique_ptr<As_Loop> both(a.create_union_loop(b));
  ASSERT_NE(both, nullptr);
  EXPECT_EQ(both->count(), 8);
  EXPECT_DOUBLE_EQ(both->area(), 7);
  EXPECT_DOUBLE_EQ(both->length(), 12);

  std::unique_ptr<As_Loop> rest(a.cut_by_loop(b));
  ASSERT_NE(rest, nullptr);
  EXPECT_EQ(rest->count(), 6);
  EXPECT_DOUBLE_EQ(rest->area(), 3);
  EXPECT_EQ(rest->is_pt_in_loop(As_Pt(0.5, 0.5, 0)), 1);
  EXPECT_EQ(rest->is_pt_in_loop(As_Pt(1.5, 1.5, 0)), 0);

  // Nothing of a square is left outside a larger one.
  EXPECT_EQ(a.cut_by_loop(Box(-1, -1, 3, 3)), nullptr);
}

TEST(Loop, InteractCrossesTheClosedOutline) {
  const As_Loop square = Box(0, 0, 2, 2);
  As_Pt line[3] = {As_Pt(-1, 1, 0), As_Pt(3, 1, 0), As_Pt(3, 5, 0)};
  As_Pt_List out;
  EXPECT_TRUE(square.interact(line, 3, out));
  ASSERT_EQ(out.count(), 2);
  EXPECT_DOUBLE_EQ(out.get(0)->point().x() + out.get(1)->point().x(), 2);
}

// The outline is closed and its corners truncated toward zero: -0.5 lands
// on column 0, 4.4 on row 4.
TEST(Loop, DrawsTheClosedOutline) {
  TestSurface s(8, -6, 32);
  const COLORREF white = RGB(255, 255, 255);
  s.clear(white);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(s.dc, pen);
  draw_points(s.dc, Box(-1.5, 0, 2.5, 2.9), translate_transf(As_Vec(1, 1.5, 0)));
  draw_points(s.dc, As_Loop(), As_Tran());
  SelectObject(s.dc, old);
  DeleteObject(pen);
  std::string picture;
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) picture += GetPixel(s.dc, x, y) == white ? '.' : 'P';
    picture += '\n';
  }
  EXPECT_EQ(picture,
            "........\n"
            "PPPP....\n"
            "P..P....\n"
            "P..P....\n"
            "PPPP....\n"
            "........\n");
}

TEST(Loop, RegionListsItsLoops) {
  As_Loop outer = Box(0, 0, 4, 4), hole = Box(1, 1, 2, 2);
  As_Region region;
  region.loop_list().add(&outer);
  region.loop_list().add(&hole);
  As_Region copy(region);
  EXPECT_EQ(copy.loop_list().get(1), &hole);
}

}  // namespace
