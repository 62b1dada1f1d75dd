// Display-list nodes: the near-background colour rule, rectangles, picking,
// drawing on the surface and on a device context, copies and the list.
#include <gtest/gtest.h>

#include <type_traits>

#include "test_entity.h"
#include "database/mb_linetype.h"
#include "database/mb_settings.h"
#include "database/nodes/mb_draw_node.h"
#include "tests/support/background.h"
#include "tests/surface/surface_probe.h"

namespace {


PixelSet pixels(std::initializer_list<std::pair<int, int>> xy) { return PixelSet(xy); }

}  // namespace

static_assert(!std::is_copy_constructible<MB_Draw_Nodes>::value, "a group owns its children");

TEST(DrawNode, ColoursNearTheBackgroundAreStoredComplemented) {
  struct Case {
    int32_t background, given, stored;
  } cases[] = {{0, 50, 0xFFFFCD},        {0, 99, 0xFFFF9C},  {0, 100, 100},
               {0, 0x00010000, 0x00010000}, {0, 0, 0xFFFFFF}, {0xFFFFFF, 0xFFFFA0, 0x5F},
               {0xFFFFFF, 0xFFFF9B, 0xFFFF9B}, {0x000080, 0x000050, 0xFFFFAF}};
  for (const Case& c : cases) {
    Background bg(c.background);
    const As_Pt pts[2] = {As_Pt(0, 0, 0), As_Pt(1, 0, 0)};
    EXPECT_EQ(MB_Draw_Lines_Set(pts, 2, c.given, nullptr).color(), c.stored) << std::hex << c.given;
    EXPECT_EQ(MB_Draw_Solid(pts, 2, c.given, nullptr).color(), c.stored);
    EXPECT_EQ(MB_Draw_Lines_Sets(c.given, nullptr).color(), c.stored);
    MB_Draw_Trans t(As_Tran(), nullptr, 0, nullptr);
    t.color(c.given);
    EXPECT_EQ(t.color(), c.stored);
  }
  MB_Draw_Lines_Sets kept(0x202020, nullptr);
  Background white(0x202000);
  kept.build_color();
  EXPECT_EQ(kept.color(), ~0x202020 & 0xFFFFFF);
  EXPECT_EQ(MB_Draw_Image(nullptr, As_Pt(), 1, 1, 0, nullptr).color(), 0);
}

TEST(DrawNode, KindsHaveTheirIdsAndInertNodesNeitherBoundNorPick) {
  MB_Draw_Point point(As_Pt(1, 2, 0));
  MB_Draw_Solids solids(nullptr, 0, 5, 1.0, nullptr, nullptr);
  MB_Draw_Nodes group;
  group.node_list().add(new MB_Draw_Point);
  EXPECT_EQ(point.draw_node_id(), 1);
  EXPECT_EQ(MB_Draw_Lines_Set().draw_node_id(), 2);
  EXPECT_EQ(MB_Draw_Lines_Sets().draw_node_id(), 3);
  EXPECT_EQ(MB_Draw_Solid().draw_node_id(), 4);
  EXPECT_EQ(solids.draw_node_id(), 5);
  EXPECT_EQ(solids.color(), 0);
  EXPECT_EQ(MB_Draw_Trans().draw_node_id(), 6);
  EXPECT_EQ(MB_Draw_Image().draw_node_id(), 6);
  EXPECT_EQ(group.draw_node_id(), 8);
  As_Pt hit;
  for (MB_Draw_Node* n : {static_cast<MB_Draw_Node*>(&point), static_cast<MB_Draw_Node*>(&solids),
                          static_cast<MB_Draw_Node*>(&group)}) {
    n->build_rect();
    EXPECT_EQ(n->rect(), nullptr);
    EXPECT_EQ(n->diagonal_len(), 0.0);
    EXPECT_FALSE(n->pick(As_Pt(1, 2, 0), hit, 10.0));
  }
}

TEST(DrawNode, BoundsCoverPointsMovedNodesAndImagesAndEmptyNodesHaveNone) {
  const As_Pt two[2] = {As_Pt(5, 0, 0), As_Pt(1, 4, 0)};
  MB_Draw_Lines_Set line(two, 2, 7, nullptr);
  EXPECT_EQ(line.rect(), nullptr);
  line.build_rect();
  ASSERT_NE(line.rect(), nullptr);
  EXPECT_TRUE(same_point(line.rect()->lt(), As_Pt(1, 4, 0), 0.0));
  EXPECT_TRUE(same_point(line.rect()->rb(), As_Pt(5, 0, 0), 0.0));
  EXPECT_DOUBLE_EQ(line.diagonal_len(), std::sqrt(32.0));
  line.build_rect();  // replaces the rectangle

  MB_Draw_Trans moved(translate_transf(As_Vec(10, 20, 0)), &line, 7, nullptr);
  moved.build_rect();
  ASSERT_NE(moved.rect(), nullptr);
  EXPECT_TRUE(same_point(moved.rect()->lt(), As_Pt(11, 24, 0), 1e-12));
  EXPECT_TRUE(same_point(moved.rect()->rb(), As_Pt(15, 20, 0), 1e-12));
  MB_Draw_Trans empty;
  empty.build_rect();
  EXPECT_EQ(empty.rect(), nullptr);

  MB_Draw_Image image(nullptr, As_Pt(10, 10, 0), 4, 6, 0, nullptr);
  image.build_rect();
  EXPECT_TRUE(same_point(image.rect()->lt(), As_Pt(7, 12, 0), 0.0));
  EXPECT_TRUE(same_point(image.rect()->rb(), As_Pt(13, 8, 0), 0.0));

  MB_Draw_Lines_Sets runs(3, nullptr);
  runs.build_rect();
  EXPECT_EQ(runs.rect(), nullptr);
}

TEST(DrawNode, LinesPickEndsFirstThenTheNearestPointWithinTheTolerance) {
  const As_Pt pts[3] = {As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(10, 10, 0)};
  MB_Draw_Lines_Set node(pts, 3, 7, nullptr);
  struct Case {
    As_Pt at;
    bool picked;
    As_Pt hit;
  } cases[] = {
      {As_Pt(9.5, 0.5, 0), true, As_Pt(10, 0, 0)},  // near the interior and the end: the end wins
      {As_Pt(5, 0.5, 0), true, As_Pt(5, 0, 0)},
      {As_Pt(5, 1.0, 0), false, As_Pt()},  // exactly the tolerance away
      {As_Pt(0.2, -0.2, 0), true, As_Pt(0, 0, 0)},
      {As_Pt(10.5, 5, 0), true, As_Pt(10, 5, 0)},
      {As_Pt(20, 0, 0), false, As_Pt()},  // on the line through the segment, outside its box
  };
  for (const Case& c : cases) {
    As_Pt hit(-1, -1, -1);
    EXPECT_EQ(node.pick(c.at, hit, 1.0), c.picked) << c.at.x() << "," << c.at.y();
    if (c.picked) {
      EXPECT_TRUE(same_point(hit, c.hit, 1e-12));
    }
  }
  const As_Pt dot[2] = {As_Pt(3, 3, 0), As_Pt(3, 3, 0)};
  MB_Draw_Lines_Set zero(dot, 2, 7, nullptr);
  As_Pt hit;
  EXPECT_TRUE(zero.pick(As_Pt(3, 3.5, 0), hit, 1.0));
  EXPECT_FALSE(zero.pick(As_Pt(3.9, 3.9, 0), hit, 1.0));
  MB_Draw_Lines_Set one(dot, 1, 7, nullptr);
  EXPECT_FALSE(one.pick(As_Pt(3, 3, 0), hit, 1.0));
}

TEST(DrawNode, SolidsPickInsideWithoutAHitAndRunsPickTheirSegments) {
  const As_Pt square[4] = {As_Pt(0, 0, 0), As_Pt(4, 0, 0), As_Pt(4, 4, 0), As_Pt(0, 4, 0)};
  MB_Draw_Solid solid(square, 4, 7, nullptr);
  As_Pt hit(9, 9, 9);
  EXPECT_TRUE(solid.pick(As_Pt(2, 2, 0), hit, 0.0));
  EXPECT_TRUE(same_point(hit, As_Pt(9, 9, 9), 0.0)) << "hit is not written";
  EXPECT_FALSE(solid.pick(As_Pt(5, 2, 0), hit, 10.0));

  MB_Draw_Lines_Sets runs(7, nullptr);
  const unsigned long counts[2] = {2, 1};
  const As_Pt pts[3] = {As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(20, 20, 0)};
  runs.init(2, counts, pts);
  EXPECT_TRUE(runs.pick(As_Pt(20.5, 20, 0), hit, 1.0));
  EXPECT_TRUE(same_point(hit, As_Pt(20, 20, 0), 0.0));
  EXPECT_TRUE(runs.pick(As_Pt(5, 0.5, 0), hit, 1.0));
  EXPECT_FALSE(runs.pick(As_Pt(15, 5, 0), hit, 1.0));
}

TEST(DrawNode, ALineTypeSplitsTheLineIntoDashesAndNoneLeavesItWhole) {
  MB_Line_Type dashed;
  dashed.linetype_loop().add(new MB_Linetype_Node(2, 0, 0, 0, 0, 0, 0));
  dashed.linetype_loop().add(new MB_Linetype_Node(-1, 0, 0, 0, 0, 0, 0));
  dashed.pattern_length(3);
  const As_Pt pts[2] = {As_Pt(0, 0, 0), As_Pt(10, 0, 0)};
  MB_Draw_Lines_Sets node(pts, 2, 0x0000FF, 1.0, &dashed, nullptr);
  EXPECT_EQ(node.ptset_count(), 3u);
  EXPECT_EQ(node.color(), 0x0000FF);
  MB_Draw_Lines_Sets plain(pts, 2, 0x0000FF, 1.0, nullptr, nullptr);
  EXPECT_EQ(plain.ptset_count(), 1u);
}

TEST(DrawNode, CopiesAreDeep) {
  const As_Pt pts[2] = {As_Pt(0, 0, 0), As_Pt(1, 1, 0)};
  MB_Draw_Lines_Set a(pts, 2, 0x123456, nullptr);
  a.build_rect();
  a.flag(2);
  MB_Draw_Lines_Set b(a);
  EXPECT_NE(b.points(), a.points());
  EXPECT_NE(b.rect(), a.rect());
  EXPECT_EQ(b.color(), 0x123456);
  EXPECT_EQ(b.flag(), 2);
  a.points()[0] = As_Pt(5, 5, 0);
  EXPECT_TRUE(same_point(b.points()[0], As_Pt(), 0.0));
  MB_Draw_Lines_Set c;
  c = b;
  c = c;
  EXPECT_NE(c.rect(), b.rect());
  EXPECT_EQ(c.count(), 2);
}

// A line node keeps its two points in itself; every way of changing them,
// growing, copying one onto another and emptying, keeps the values and
// frees nothing twice (the sanitizer build checks the frees).
TEST(DrawNode, LinePointsHeldInTheNodeChangeLikeAnyOthers) {
  const As_Pt two[2] = {As_Pt(1, 2, 3), As_Pt(4, 5, 6)};
  const As_Pt three[3] = {As_Pt(7, 0, 0), As_Pt(8, 0, 0), As_Pt(9, 0, 0)};
  MB_Draw_Lines_Set line(two, 2, 7, nullptr);
  MB_Draw_Lines_Set poly(three, 3, 7, nullptr);
  ASSERT_EQ(line.count(), 2);
  EXPECT_TRUE(same_point(line[1], two[1], 0.0));

  MB_Draw_Lines_Set grown(two, 2, 7, nullptr);
  ASSERT_TRUE(grown.add_point(grown.points()[0]));
  EXPECT_EQ(grown.count(), 3);
  EXPECT_TRUE(same_point(grown[1], two[1], 0.0));
  EXPECT_TRUE(same_point(grown[2], two[0], 0.0));

  MB_Draw_Lines_Set onto_line(two, 2, 7, nullptr);
  onto_line = poly;
  EXPECT_EQ(onto_line.count(), 3);
  EXPECT_TRUE(same_point(onto_line[2], three[2], 0.0));
  poly = line;
  EXPECT_EQ(poly.count(), 2);
  EXPECT_TRUE(same_point(poly[0], two[0], 0.0));
  line.init(2, line.points());  // from its own points
  EXPECT_TRUE(same_point(line[1], two[1], 0.0));
  line.free();
  EXPECT_EQ(line.count(), 0);
  MB_Draw_Lines_Set none(nullptr, 0, 7, nullptr);
  EXPECT_EQ(none.count(), 0);
}

TEST(DrawList, KillRelinksTheNeighboursAndDestroyingTheListFreesNothing) {
  MB_Draw_List list;
  list.kill_all();
  list.add(nullptr);
  list.add_head(nullptr);
  EXPECT_EQ(list.head(), nullptr);
  auto* only = new MB_Draw_Point;
  list.add(only);
  list.kill(only);
  EXPECT_EQ(list.head(), nullptr);
  EXPECT_EQ(list.tail(), nullptr);

  auto* a = new MB_Draw_Point;
  auto* b = new MB_Draw_Point;
  auto* c = new MB_Draw_Point;
  list.add(b);
  list.add_head(a);
  list.add(c);
  EXPECT_EQ(list.head(), a);
  EXPECT_EQ(a->next(), b);
  EXPECT_EQ(list.tail(), c);
  MB_Draw_Point outsider;
  list.kill(&outsider);  // not in the list: left alone
  list.kill(b);
  EXPECT_EQ(a->next(), c);
  EXPECT_EQ(c->prev(), a);
  list.kill_all();
  EXPECT_EQ(list.head(), nullptr);

  auto* survivor = new MB_Draw_Point;
  {
    MB_Draw_List scoped;
    scoped.add(survivor);
  }
  delete survivor;  // the list did not delete it
}

TEST(DrawNodeSurface, LineNodesDrawInTheirColourAndEntitiesWithoutOneSkipTheEnd) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 10, 10), nullptr);
  const As_Pt pts[2] = {As_Pt(0, 0, 0), As_Pt(3, 0, 0)};
  MB_Draw_Lines_Set node(pts, 2, 0x0000FF, nullptr);
  node.draw(dc, As_Tran());
  Probe probe(dc);
  EXPECT_EQ(probe.painted(kWhite32), pixels({{1, 0}, {2, 0}, {3, 0}}));
  EXPECT_EQ(probe.at(1, 0), 0x00FF0000u) << "the node sets its own colour";

  CMyDC dc2;
  ASSERT_NE(make_surface(dc2, 10, 10), nullptr);
  Test_Line line(As_Pt(0, 0, 0), As_Pt(3, 0, 0));
  line.edge().init(2, pts);
  As_Tran view;
  line.draw(nullptr, dc2, view);  // no node: one line, start pixel in, end out
  EXPECT_EQ(Probe(dc2).painted(kWhite32), pixels({{0, 0}, {1, 0}, {2, 0}}));

  CMyDC dc3;
  ASSERT_NE(make_surface(dc3, 10, 10), nullptr);
  line.build_draw();
  line.draw(nullptr, dc3, view);  // through the node
  EXPECT_EQ(Probe(dc3).painted(kWhite32), pixels({{1, 0}, {2, 0}, {3, 0}}));

  Test_Line far(As_Pt(-1e300, 0, 0), As_Pt(1e300, std::nan(""), 0));
  far.build_draw();
  far.draw(nullptr, dc3, view);  // clamped, no crash
}

// A two-point node draws its line on its own path; it must light exactly the
// pixels its polyline lights, in every direction, through a view that
// scales, moves and cuts lines at the surface's edges.
TEST(DrawNodeSurface, LineNodesLightThePixelsOfTheirPolyline) {
  const As_Tran view = scale_transf(1.7) * translate_transf(As_Vec(-3.25, 2.5, 0));
  uint32_t seed = 7;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return double(int((seed >> 16) % unsigned(range)) - range / 4);
  };
  for (int i = 0; i < 300; ++i) {
    const As_Pt pts[2] = {As_Pt(next(40) + 0.5, next(40), 0), As_Pt(next(40), next(40) + 0.25, 0)};
    CMyDC by_node, by_polyline;
    ASSERT_NE(make_surface(by_node, 48, 40), nullptr);
    ASSERT_NE(make_surface(by_polyline, 48, 40), nullptr);
    MB_Draw_Lines_Set(pts, 2, 0x0000FF, nullptr).draw(by_node, view);
    const POINT ends[2] = {mb_device_point(pts[0], view), mb_device_point(pts[1], view)};
    by_polyline.SetColor(0x0000FF);
    by_polyline.Polyline(ends, 2);
    ASSERT_EQ(Probe(by_node).snapshot(), Probe(by_polyline).snapshot()) << "line " << i;
  }
}

TEST(DrawNodeSurface, RunsDrawEachChainSolidsNeedThreePointsAndTransformsScaleFirst) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 10, 10), nullptr);
  dc.SetColor(0x000000);
  MB_Draw_Lines_Sets runs(0x0000FF, nullptr);
  const unsigned long counts[3] = {3, 1, 2};
  const As_Pt pts[6] = {As_Pt(0, 0, 0), As_Pt(3, 0, 0), As_Pt(3, 3, 0),
                        As_Pt(8, 8, 0), As_Pt(5, 5, 0), As_Pt(7, 5, 0)};
  runs.init(3, counts, pts);
  runs.draw(dc, As_Tran());
  EXPECT_EQ(Probe(dc).painted(kWhite32),
            pixels({{1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}, {3, 3}, {6, 5}, {7, 5}}));

  CMyDC solid_dc;
  ASSERT_NE(make_surface(solid_dc, 10, 10), nullptr);
  const As_Pt tri[3] = {As_Pt(1, 1, 0), As_Pt(8, 1, 0), As_Pt(1, 8, 0)};
  MB_Draw_Solid two(tri, 2, 0x0000FF, nullptr);
  two.draw(solid_dc, As_Tran());
  EXPECT_TRUE(Probe(solid_dc).painted(kWhite32).empty());
  MB_Draw_Solid none;
  none.draw(solid_dc, As_Tran());
  EXPECT_TRUE(Probe(solid_dc).painted(kWhite32).empty());
  MB_Draw_Solid triangle(tri, 3, 0x0000FF, nullptr);
  triangle.draw(solid_dc, As_Tran());
  Probe probe(solid_dc);
  EXPECT_EQ(probe.at(3, 3), 0x00FF0000u) << "filled in the node colour";
  EXPECT_EQ(probe.at(8, 8), kWhite32);

  CMyDC trans_dc;
  ASSERT_NE(make_surface(trans_dc, 10, 10), nullptr);
  const As_Pt seg[2] = {As_Pt(1, 0, 0), As_Pt(2, 0, 0)};
  MB_Draw_Lines_Set inner(seg, 2, 0x0000FF, nullptr);
  MB_Draw_Trans scaled(scale_transf(2.0), &inner, 0x0000FF, nullptr);
  scaled.draw(trans_dc, translate_transf(As_Vec(1, 0, 0)));  // (3,0)-(5,0): scaled first
  EXPECT_EQ(Probe(trans_dc).painted(kWhite32), pixels({{4, 0}, {5, 0}}));
  MB_Draw_Trans empty;
  empty.draw(trans_dc, As_Tran());
}

TEST(DrawNodeDevice, DrawsWithTheDeviceContext) {
  CMyDC dc;
  ASSERT_NE(make_surface(dc, 10, 10), nullptr);
  CMyDC runs_dc;
  ASSERT_NE(make_surface(runs_dc, 10, 10), nullptr);
  HDC hdc = dc.GetDC();
  const int live = QmGdiLiveObjectCount();
  HPEN pen = CreatePen(PS_SOLID, 0, RGB(0, 255, 0));
  HGDIOBJ old_pen = SelectObject(hdc, pen);

  const As_Pt tri[3] = {As_Pt(1, 1, 0), As_Pt(8, 1, 0), As_Pt(1, 8, 0)};
  MB_Draw_Solid(tri, 2, 0x0000FF, nullptr).draw(hdc, As_Tran());
  EXPECT_TRUE(Probe(dc).painted(kWhite32).empty());
  MB_Draw_Solid(tri, 3, 0x0000FF, nullptr).draw(hdc, As_Tran());
  EXPECT_EQ(GetPixel(hdc, 3, 3), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(hdc, 8, 8), RGB(255, 255, 255));

  HDC rdc = runs_dc.GetDC();
  HGDIOBJ old_runs_pen = SelectObject(rdc, pen);
  MB_Draw_Lines_Sets runs(0x0000FF, nullptr);
  const unsigned long counts[2] = {1, 2};
  const As_Pt pts[3] = {As_Pt(8, 8, 0), As_Pt(0, 2, 0), As_Pt(4, 2, 0)};
  runs.init(2, counts, pts);
  runs.draw(rdc, As_Tran());
  EXPECT_EQ(GetPixel(rdc, 8, 8), RGB(0, 255, 0)) << "a one-point run is a pixel in the pen colour";
  EXPECT_EQ(GetPixel(rdc, 2, 2), RGB(0, 255, 0));

  const As_Pt two[2] = {As_Pt(0, 5, 0), As_Pt(4, 5, 0)};
  MB_Draw_List list;
  list.add(new MB_Draw_Lines_Set(two, 2, 0x0000FF, nullptr));
  list.draw(rdc, As_Tran());
  EXPECT_EQ(GetPixel(rdc, 2, 5), RGB(0, 255, 0)) << "the line uses the DC's pen";
  list.kill_all();
  SelectObject(rdc, old_runs_pen);
  SelectObject(hdc, old_pen);
  DeleteObject(pen);
  EXPECT_EQ(QmGdiLiveObjectCount(), live);
}
