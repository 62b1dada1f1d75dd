// Inserts: the placement transform, drawing (pixels) and picking through
// nested inserts, cycles, explode, copies, moving, binding by name and undo.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "block_fixtures.h"
#include "surface/cmydc.h"
#include "database/mb_undo_redo.h"
#include "tests/surface/surface_probe.h"

namespace {

class InsertTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(Seg::live, 0);
    EXPECT_EQ(g_undo_redo, nullptr);
  }
};

Seg* red_seg(const As_Pt& a, const As_Pt& b) {
  auto* s = new Seg(a, b);
  s->general().color(0x0000FF);
  s->general().display_color(0x0000FF);
  return s;
}

// Draws the inserts on a white 32 x 32 surface through the identity view
// and answers the pixels that changed.
PixelSet paint(const std::vector<MB_Insert*>& inserts) {
  CMyDC dc;
  make_surface(dc, 32, 32);
  Probe probe(dc);
  const uint32_t white = probe.at(0, 0);
  As_Tran view;
  for (MB_Insert* i : inserts) i->draw(nullptr, dc, view);
  return probe.painted(white);
}

PixelSet row(int y, int x0, int x1) {
  PixelSet s;
  for (int x = x0; x <= x1; ++x) s.insert({x, y});
  return s;
}

PixelSet column(int x, int y0, int y1) {
  PixelSet s;
  for (int y = y0; y <= y1; ++y) s.insert({x, y});
  return s;
}

// The segments of the drawing's entity list, as text.
std::string segs_of(const MB_Object_List& list) {
  std::string s;
  for (const MB_Object* o = list.head(); o; o = o->next()) {
    if (const Seg* g = dynamic_cast<const Seg*>(o)) s += xy(g->a()) + "-" + xy(g->b()) + " ";
  }
  return s;
}

}  // namespace

TEST_F(InsertTest, TransformScalesMirrorsTurnsAndMoves) {
  struct Case {
    double angle, sx, sy, sz;
    As_Pt at;
    const char* image_of_1_2;  // where the block point (1, 2) goes
    double z_of_unit_z;
  } cases[] = {
      {0.0, 1, 1, 1, As_Pt(), "(1,2)", 1},
      {0.0, -2, 1, 1, As_Pt(), "(-2,2)", 1},       // mirrored in x and doubled
      {0.0, 1, -1, 1, As_Pt(), "(1,-2)", 1},       // mirrored in y
      {0.0, 1, 1, -3, As_Pt(), "(1,2)", 3},        // a negative z only scales
      {half_pi, 1, 1, 1, As_Pt(10, 0, 0), "(8,1)", 1},
      {half_pi, -1, 1, 1, As_Pt(0, 0, 0), "(-2,-1)", 1},  // mirrored before turning
      {0.0, 2, 3, 1, As_Pt(1, 1, 0), "(3,7)", 1},
  };
  for (const Case& c : cases) {
    MB_Insert i(c.at, c.angle, c.sx, c.sy, c.sz);
    i.build_transf();
    EXPECT_EQ(xy(As_Pt(1, 2, 0) * i.trans()), c.image_of_1_2) << c.sx << " " << c.sy << " " << c.angle;
    EXPECT_NEAR((As_Pt(0, 0, 1) * i.trans()).z(), c.z_of_unit_z, 1e-9);
  }
  MB_Insert d;
  EXPECT_EQ(d.object_id(), 45);
  EXPECT_EQ(d.object_type(), 9);
  EXPECT_EQ(d.scale()[2], 1.0);
  EXPECT_TRUE(d.trans().identity());
  EXPECT_EQ(d.get_real(MB_PROP_RADIUS), 0.0);
}

TEST_F(InsertTest, DrawsNestedInsertsThroughTheirTransforms) {
  MB_Drawing d;
  MB_Block* a = add_block(d, "a", As_Pt(), {red_seg(As_Pt(0, 0, 0), As_Pt(4, 0, 0))});
  // b's base (1, 1); it holds a mirrored in x at (6, 1).
  MB_Block* b = add_block(d, "b", As_Pt(1, 1, 0), {insert_of(a, As_Pt(6, 1, 0), 0.0, -1.0)});
  auto* big = insert_of(a, As_Pt(10, 10, 0), 0.0, 2.0, 2.0);
  auto* nested = insert_of(b, As_Pt(20, 5, 0));
  auto* turned = insert_of(a, As_Pt(3, 20, 0), half_pi);
  auto* unbound = new MB_Insert(As_Pt(1, 1, 0), 0, 1, 1, 1);
  for (MB_Insert* i : {big, nested, turned, unbound}) d.object_list().add_tail(i);
  d.build_draw();

  // Two-point nodes are drawn from their second point back to the first:
  // the second pixel in, the first out.
  EXPECT_EQ(paint({big}), row(10, 11, 18));
  EXPECT_EQ(paint({nested}), row(5, 21, 24));  // from (21, 5) back to (25, 5)
  EXPECT_EQ(paint({turned}), column(3, 21, 24));
  EXPECT_TRUE(paint({unbound}).empty());
}

// On a device context the objects of the block draw as the insert does: in
// the caller's pen when the insert is drawn so (a print: one pen for the
// whole drawing), each in its own colour when the insert draws in its own
// colour (a picture: as on screen). The caller's pen is back either way.
TEST_F(InsertTest, ObjectsOnADeviceContextTakeThePenTheInsertDrawsWith) {
  MB_Drawing d;
  auto* green = new Seg(As_Pt(0, 2, 0), As_Pt(4, 2, 0));
  green->general().display_color(0x00FF00);
  MB_Block* a = add_block(d, "a", As_Pt(), {red_seg(As_Pt(0, 0, 0), As_Pt(4, 0, 0)), green});
  auto* insert = insert_of(a, As_Pt(10, 10, 0));
  insert->general().display_color(0xFFFFFF);
  d.object_list().add_tail(insert);
  d.build_draw();
  const struct {
    const char* how;
    bool own_colours;
    uint32_t red_line, green_line;
  } ways[] = {{"draw", false, 0x0000FF, 0x0000FF},  // the surface's pixels are 0xRRGGBB: the caller's blue
              {"draw_in_own_colour", true, 0xFF0000, 0x00FF00}};
  for (const auto& w : ways) {
    SCOPED_TRACE(w.how);
    CMyDC dc;
    HDC hdc = make_surface(dc, 32, 32);
    Probe probe(dc);
    HPEN blue = CreatePen(PS_SOLID, 0, 0xFF0000);
    HGDIOBJ old = SelectObject(hdc, blue);
    As_Tran view;
    if (w.own_colours)
      insert->draw_in_own_colour(hdc, dc, view);
    else
      insert->draw(hdc, dc, view);
    EXPECT_EQ(SelectObject(hdc, old), blue) << "the caller's pen is back";
    DeleteObject(blue);
    EXPECT_EQ(probe.at(12, 10) & 0xFFFFFF, w.red_line) << "the red line";
    EXPECT_EQ(probe.at(12, 12) & 0xFFFFFF, w.green_line) << "the green line";
  }
}

// Objects hidden in a block (flag 0, as those on a layer that is off or
// frozen are) stay in the block but are neither drawn nor picked, at any
// level of nesting; their shown neighbours still are.
TEST_F(InsertTest, HiddenBlockObjectsAreNeitherDrawnNorPicked) {
  MB_Drawing d;
  Seg* hidden = red_seg(As_Pt(0, 4, 0), As_Pt(4, 4, 0));
  hidden->flag(0);
  MB_Block* a = add_block(d, "a", As_Pt(), {red_seg(As_Pt(0, 0, 0), As_Pt(4, 0, 0)), hidden});
  MB_Insert* hidden_insert = insert_of(a, As_Pt(0, 10, 0));
  hidden_insert->flag(0);
  MB_Block* b = add_block(d, "b", As_Pt(), {insert_of(a, As_Pt(0, 20, 0)), hidden_insert});
  auto* top = insert_of(b, As_Pt(5, 0, 0));
  d.object_list().add_tail(top);
  d.build_draw();

  EXPECT_EQ(paint({top}), row(20, 6, 9));
  EXPECT_EQ(a->object_list().count(), 2);
  As_Pt_List hits;
  As_Pt found;
  int kind = 0, extra = 0;
  EXPECT_TRUE(top->pick(As_Pt(7, 20, 0), hits, 0.5, found, kind, extra));
  EXPECT_FALSE(top->pick(As_Pt(7, 24, 0), hits, 0.5, found, kind, extra));  // hidden in a
  EXPECT_FALSE(top->pick(As_Pt(7, 10, 0), hits, 0.5, found, kind, extra));  // the hidden insert
}

TEST_F(InsertTest, BlocksThatInsertThemselvesAreDrawnOnce) {
  MB_Drawing d;
  MB_Block* self = add_block(d, "self", As_Pt(), {red_seg(As_Pt(0, 0, 0), As_Pt(3, 0, 0))});
  self->object_list().add_tail(insert_of(self, As_Pt(0, 2, 0)));
  MB_Block* p = add_block(d, "p", As_Pt(), {red_seg(As_Pt(0, 0, 0), As_Pt(0, 2, 0))});
  MB_Block* q = add_block(d, "q", As_Pt(), {insert_of(p, As_Pt(1, 0, 0))});
  p->object_list().add_tail(insert_of(q, As_Pt(0, 5, 0)));
  auto* top = insert_of(self, As_Pt(5, 20, 0));
  auto* pq = insert_of(p, As_Pt(20, 0, 0));
  d.object_list().add_tail(top);
  d.object_list().add_tail(pq);
  d.build_draw();

  EXPECT_EQ(paint({top}), row(20, 6, 8));
  // p once: where q places p again, p is already being drawn.
  EXPECT_EQ(paint({pq}), column(20, 1, 2));

  As_Pt_List hits;
  As_Pt found;
  int kind = 0, extra = 0;
  EXPECT_FALSE(top->pick(As_Pt(6, 22, 0), hits, 0.5, found, kind, extra));  // the level that was skipped
  EXPECT_TRUE(top->pick(As_Pt(6, 20.2, 0), hits, 0.5, found, kind, extra));

  top->explode(&d);
  EXPECT_EQ(segs_of(d.object_list()), "(5,20)-(8,20) ");
  ASSERT_EQ(d.object_list().count(), 4);
  EXPECT_EQ(mb_to_insert(d.object_list().tail())->block(), self);
}

TEST_F(InsertTest, DeepNestingStopsAtTheLimit) {
  MB_Drawing d;
  MB_Block* chain = add_block(d, "c0", As_Pt(), {red_seg(As_Pt(0, 0, 0), As_Pt(2, 0, 0))});
  MB_Block* shallow = nullptr;
  for (int i = 1; i < 1000; ++i) {
    chain = add_block(d, ("c" + std::to_string(i)).c_str(), As_Pt(), {insert_of(chain, As_Pt())});
    if (i == MB_Block::kMaxNesting - 2) shallow = chain;
  }
  auto* deep = insert_of(chain, As_Pt(1, 1, 0));
  auto* within = insert_of(shallow, As_Pt(1, 1, 0));
  d.object_list().add_tail(deep);
  d.object_list().add_tail(within);
  d.build_draw();
  EXPECT_TRUE(paint({deep}).empty());
  EXPECT_EQ(paint({within}), row(1, 2, 3));
  As_Pt_List hits;
  As_Pt found;
  int kind = 0, extra = 0;
  EXPECT_FALSE(deep->pick(As_Pt(1, 1, 0), hits, 0.5, found, kind, extra));
  EXPECT_TRUE(within->pick(As_Pt(1, 1, 0), hits, 0.5, found, kind, extra));
}

// Blocks inserting the level below nine times over eight levels would
// draw 9^8 (43 million) segments: the walk stops at its object budget and
// the first cells still draw.
TEST_F(InsertTest, WideNestingStopsAtTheObjectBudget) {
  MB_Drawing d;
  MB_Block* level = add_block(d, "w0", As_Pt(), {red_seg(As_Pt(0, 0, 0), As_Pt(1, 0, 0))});
  for (int i = 1; i <= 8; ++i) {
    MB_Block* below = level;
    level = add_block(d, ("w" + std::to_string(i)).c_str(), As_Pt(), {});
    for (int k = 0; k < 9; ++k) level->object_list().add_tail(insert_of(below, As_Pt(0, 0, 0)));
  }
  auto* top = insert_of(level, As_Pt(3, 3, 0));
  d.object_list().add_tail(top);
  d.build_draw();
  // The same segment many times over: some of its pixels, nothing else.
  const PixelSet painted = paint({top});
  EXPECT_FALSE(painted.empty());
  for (const auto& p : painted) EXPECT_TRUE(row(3, 3, 4).count(p)) << p.first << "," << p.second;
  As_Pt_List hits;
  As_Pt found;
  int kind = 0, extra = 0;
  EXPECT_FALSE(top->pick(As_Pt(30, 30, 0), hits, 0.5, found, kind, extra));
}

TEST_F(InsertTest, PicksThroughBasePointScaleAndNesting) {
  MB_Drawing d;
  MB_Block* a = add_block(d, "a", As_Pt(1, 1, 0), {new Seg(As_Pt(1, 1, 0), As_Pt(5, 1, 0))});
  MB_Block* outer = add_block(d, "outer", As_Pt(), {insert_of(a, As_Pt(0, 0, 0), half_pi)});
  auto* big = insert_of(a, As_Pt(10, 10, 0), 0.0, 2.0, 2.0);  // drawn (10, 10) to (18, 10)
  auto* nested = insert_of(outer, As_Pt(50, 0, 0));           // drawn (50, 0) to (50, 4)
  d.object_list().add_tail(big);
  d.object_list().add_tail(nested);
  d.build_draw();

  struct Case {
    MB_Insert* insert;
    As_Pt p;
    double tol;
    bool hit;
    const char* found;
  } cases[] = {
      {big, As_Pt(14, 10.5, 0), 1.0, true, "(14,10)"},
      {big, As_Pt(14, 11.5, 0), 1.0, false, ""},  // 1.5 away
      {big, As_Pt(19.5, 10, 0), 1.0, false, ""},
      {big, As_Pt(18.5, 10, 0), 1.0, true, "(18,10)"},
      {nested, As_Pt(50.5, 2, 0), 1.0, true, "(50,2)"},
      {nested, As_Pt(52, 2, 0), 1.0, false, ""},
  };
  for (const Case& c : cases) {
    As_Pt_List hits;
    As_Pt found(-1, -1, 0);
    int kind = 0, extra = 0;
    EXPECT_EQ(c.insert->pick(c.p, hits, c.tol, found, kind, extra), c.hit) << xy(c.p);
    if (c.hit) {
      EXPECT_EQ(xy(found), c.found);
      EXPECT_EQ(kind, MB_SNAP_NEAREST);
    }
  }
  // A snap request finds nothing on an insert itself and is left as it was.
  MB_Snap snap;
  snap.at = As_Pt(14, 10, 0);
  snap.aperture = 5.0;
  snap.kinds = MB_SNAP_NEAREST;
  EXPECT_FALSE(big->pick(snap, As_Tran()));
  EXPECT_EQ(xy(snap.found), "(0,0)");
  EXPECT_EQ(snap.found_kind, 0);
}

TEST_F(InsertTest, ExplodePlacesTransformedCopies) {
  MB_Drawing d;
  MB_Block* a = add_block(d, "a", As_Pt(1, 1, 0), {new Seg(As_Pt(2, 1, 0), As_Pt(3, 1, 0))});
  auto* i = insert_of(a, As_Pt(10, 0, 0), half_pi);
  d.object_list().add_tail(i);
  i->explode(&d);
  EXPECT_EQ(d.object_list().head(), i);  // the insert stays
  EXPECT_EQ(segs_of(d.object_list()), "(10,1)-(10,2) ");
  ASSERT_NE(static_cast<Seg*>(d.object_list().tail())->draw_node(), nullptr);

  // Into the block being built when there is one.
  MB_Block building;
  d.temp_block(&building);
  i->explode(&d);
  d.temp_block(nullptr);
  EXPECT_EQ(segs_of(building.object_list()), "(10,1)-(10,2) ");
  building.object_list().kill_all();

  // Into the exploded block itself: only the objects that were there.
  d.temp_block(a);
  i->explode(&d);
  d.temp_block(nullptr);
  EXPECT_EQ(segs_of(a->object_list()), "(2,1)-(3,1) (10,1)-(10,2) ");

  MB_Insert unbound;
  unbound.explode(&d);
  i->explode(nullptr);
  EXPECT_EQ(d.object_list().count(), 2);
}

// A parent that turns, mirrors or scales evenly; uneven scales of a turned
// child would shear it, which no insert can hold.
TEST_F(InsertTest, ExplodedNestedInsertsTurnScaleAndMirrorWithTheirParent) {
  struct Case {
    double angle, sx, sy;
  } outer_cases[] = {{half_pi, 1, 1}, {0.0, -1, 1}, {0.3, 2, -2}, {qm_pi, -1, -1}};
  for (const Case& c : outer_cases) {
    MB_Drawing d;
    MB_Block* a = add_block(d, "a", As_Pt(), {new Seg(As_Pt(0, 0, 0), As_Pt(1, 2, 0))});
    MB_Block* holder = add_block(d, "h", As_Pt(), {insert_of(a, As_Pt(2, 0, 0), 0.4, -1.5, 1.5)});
    auto* top = insert_of(holder, As_Pt(5, 5, 0), c.angle, c.sx, c.sy);
    d.object_list().add_tail(top);
    // The segment as the nested insert draws it, straight through both.
    top->build_draw();
    MB_Insert* inner = mb_to_insert(holder->object_list().head());
    inner->build_transf();
    const As_Tran through = inner->placement() * top->placement();
    const std::string expected = xy(As_Pt(0, 0, 0) * through) + "-" + xy(As_Pt(1, 2, 0) * through) + " ";

    top->explode(&d);
    MB_Insert* copy = mb_to_insert(d.object_list().tail());
    ASSERT_NE(copy, top);
    ASSERT_NE(copy, nullptr);
    MB_Drawing flat;
    copy->explode(&flat);
    EXPECT_EQ(segs_of(flat.object_list()), expected) << c.angle << " " << c.sx << " " << c.sy;
    EXPECT_EQ(copy->scale()[2], 1.0);
  }
}

TEST_F(InsertTest, CopiesCarryTheBlockAndTurnsTurnTheInsert) {
  MB_Drawing d;
  MB_Block* a = add_block(d, "a", As_Pt(), {new Seg(As_Pt(), As_Pt(1, 0, 0))});
  MB_Insert src(As_Pt(1, 2, 0), 0.5, 2, 3, 4);
  src.block(a);
  src.set_id(7);
  src.general().color(0x00FF00);
  src.flag(2);

  MB_Object* fresh = nullptr;
  EXPECT_TRUE(src.copy_to(fresh));
  std::unique_ptr<MB_Object> owned(fresh);
  MB_Insert* f = mb_to_insert(fresh);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->block(), a);
  EXPECT_EQ(xy(f->point()), "(1,2)");
  EXPECT_EQ(f->scale()[2], 4.0);
  EXPECT_EQ(f->id(), 7u);

  // Into an existing insert: its own flag and precision stay.
  MB_Insert into(As_Pt(9, 9, 0), 0, 1, 1, 1);
  into.flag(0);
  into.draw_precision(12);
  MB_Object* target = &into;
  EXPECT_TRUE(src.copy_to(target));
  EXPECT_EQ(target, &into);
  EXPECT_EQ(into.block(), a);
  EXPECT_EQ(into.angle(), 0.5);
  EXPECT_EQ(into.scale()[1], 3.0);
  EXPECT_EQ(into.general().color(), 0x00FF00);
  EXPECT_EQ(into.flag(), 0);
  EXPECT_EQ(into.draw_precision(), 12);

  // Another kind of object is left alone.
  Seg other;
  MB_Object* seg_target = &other;
  EXPECT_FALSE(src.copy_to(seg_target));
  EXPECT_EQ(seg_target, &other);
  EXPECT_EQ(other.id(), 0u);

  // A move changes only the point; a turn turns the insert too.
  src.translate(translate_transf(As_Vec(3, -2, 0)));
  EXPECT_EQ(xy(src.point()), "(4,0)");
  EXPECT_EQ(src.angle(), 0.5);
  EXPECT_EQ(src.scale()[0], 2.0);
  src.translate(rotate_transf(half_pi, As_Vec(0, 0, 1)));
  EXPECT_EQ(xy(src.point()), "(0,4)");
  EXPECT_NEAR(src.angle(), 0.5 + half_pi, 1e-12);
  EXPECT_NEAR(src.scale()[0], 2.0, 1e-12);
  EXPECT_NEAR(src.scale()[1], 3.0, 1e-12);
}

TEST_F(InsertTest, BindsByNameOrMakesTheBlock) {
  MB_Drawing d;
  MB_Block* door = add_block(d, "Door", As_Pt(), {});
  MB_Insert i;
  i.block(MB_String("DOOR"), d);
  EXPECT_EQ(i.block(), door);
  i.block(MB_String("window"), d);
  ASSERT_NE(i.block(), nullptr);
  EXPECT_EQ(d.block_list().tail(), i.block());
  EXPECT_STREQ(i.block()->name().ascii(), "window");
  EXPECT_STREQ(i.block()->desc().ascii(), "Block desc");
  EXPECT_EQ(xy(i.block()->base_pos()), "(0,0)");
  EXPECT_EQ(d.block_list().count(), 2);
  // An empty block: nothing to build, draw or pick.
  i.build_draw();
  EXPECT_TRUE(paint({&i}).empty());
}

TEST_F(InsertTest, UndoOfInsertingExplodingAndMovingRestoresExactly) {
  auto d = std::make_unique<MB_Drawing>();
  auto undo = std::make_unique<MB_Undo_Redo>(d.get());
  MB_Block* a = add_block(*d, "a", As_Pt(), {new Seg(As_Pt(), As_Pt(1, 0, 0)), new Seg(As_Pt(), As_Pt(0, 1, 0))});
  As_Void_List touched;

  undo->rec_cmd_begin("insert");
  auto* i = new MB_Insert(As_Pt(5, 5, 0), 0, 1, 1, 1);
  i->block(MB_String("A"), *d);
  d->add_object(i);
  undo->rec_cmd_end();
  undo->rec_cmd_begin("explode");
  i->explode(d.get());
  undo->rec_cmd_end();
  EXPECT_EQ(Seg::live, 4);
  EXPECT_EQ(segs_of(d->object_list()), "(5,5)-(6,5) (5,5)-(5,6) ");

  undo->undo(touched);
  EXPECT_EQ(d->object_list().count(), 1);
  EXPECT_EQ(segs_of(d->object_list()), "");
  undo->redo(touched);
  EXPECT_EQ(segs_of(d->object_list()), "(5,5)-(6,5) (5,5)-(5,6) ");
  undo->undo(touched);
  undo->undo(touched);
  EXPECT_TRUE(d->object_list().is_empty());
  EXPECT_EQ(d->block_list().count(), 1);
  EXPECT_EQ(a->object_list().count(), 2);
  undo->redo(touched);
  EXPECT_EQ(d->object_list().head(), i);

  undo->rec_cmd_begin("move");
  i->translate(translate_transf(As_Vec(1, 1, 0)));
  undo->rec_cmd_end();
  EXPECT_EQ(xy(i->point()), "(6,6)");
  undo->undo(touched);
  EXPECT_EQ(xy(i->point()), "(5,5)");
  EXPECT_EQ(i->block(), a);
  undo->redo(touched);
  EXPECT_EQ(xy(i->point()), "(6,6)");

  // A new command drops the undone explode's copies.
  undo->undo(touched);
  undo->rec_cmd_begin("nothing");
  undo->rec_cmd_end();
  EXPECT_EQ(Seg::live, 2);
  undo.reset();
  d.reset();
}

TEST_F(InsertTest, KeyPointIsASquareMarkerOnADeviceContextOnly) {
  MB_Insert i(As_Pt(10, 12, 0), 0, 1, 1, 1);
  CMyDC dc;
  make_surface(dc, 32, 32);
  Probe probe(dc);
  const uint32_t white = probe.at(0, 0);
  i.draw_key_point(nullptr, dc, As_Tran());
  EXPECT_TRUE(probe.painted(white).empty());
  i.draw_key_point(dc.GetDC(), dc, translate_transf(As_Vec(1, 0, 0)));
  const PixelSet marker = probe.painted(white);
  ASSERT_FALSE(marker.empty());
  EXPECT_EQ(marker.begin()->first, 8);   // reaching 3 pixels from (11, 12)
  EXPECT_EQ(marker.rbegin()->first, 14);
  EXPECT_EQ(marker.count({11, 12}), 0u);  // an outline
}

TEST_F(InsertTest, NonFiniteValuesFromFilesAreHarmless) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  MB_Drawing d;
  MB_Block* a = add_block(d, "a", As_Pt(), {red_seg(As_Pt(0, 0, 0), As_Pt(4, 0, 0))});
  struct Case {
    double angle, sx, sy;
    As_Pt at;
  } cases[] = {{nan, 1, 1, As_Pt()}, {0, inf, 1, As_Pt()}, {0, nan, nan, As_Pt()}, {inf, 0, 0, As_Pt(1e300, -1e300, 0)},
               {0, 1, 1, As_Pt(nan, inf, 0)}};
  for (const Case& c : cases) {
    auto* i = insert_of(a, c.at, c.angle, c.sx, c.sy);
    d.object_list().add_tail(i);
    i->build_draw();
    paint({i});
    As_Pt_List hits;
    As_Pt found;
    int kind = 0, extra = 0;
    i->pick(As_Pt(1, 0, 0), hits, 1.0, found, kind, extra);
    i->translate(rotate_transf(1.0, As_Vec(0, 0, 1)));
    i->explode(&d);
  }
  EXPECT_GE(d.object_list().count(), 5);
}

// Many top-level inserts of a block that fans out share one object budget
// in a pass: the first draw their objects, those past the budget only their
// frames, and the pass is told it was cut.
TEST_F(InsertTest, OnePassSharesOneObjectBudgetAndDrawsFramesPastIt) {
  MB_Drawing d;
  MB_Block* level = add_block(d, "f0", As_Pt(), {red_seg(As_Pt(0, 0, 0), As_Pt(2, 2, 0))});
  for (int i = 1; i <= 6; ++i) {  // 4^6 segments a top-level insert
    MB_Block* below = level;
    level = add_block(d, ("f" + std::to_string(i)).c_str(), As_Pt(), {});
    for (int k = 0; k < 4; ++k) level->object_list().add_tail(insert_of(below, As_Pt(0, 0, 0)));
  }
  std::vector<MB_Insert*> tops;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      tops.push_back(insert_of(level, As_Pt(4 * x, 4 * y, 0)));
      d.object_list().add_tail(tops.back());
    }
  d.build_draw();
  // The cell of an insert drawn whole holds the diagonal only; a frame adds
  // the corners off it.
  const auto framed = [](const PixelSet& painted, int x, int y) { return painted.count({4 * x + 2, 4 * y}) > 0; };
  const auto drawn = [](const PixelSet& painted, int x, int y) { return painted.count({4 * x + 1, 4 * y + 1}) > 0; };
  PixelSet painted;
  bool cut = false;
  {
    MB_Walk_Pass pass;
    painted = paint(tops);
    cut = MB_Walk_Pass::cut();
  }
  EXPECT_TRUE(cut);
  EXPECT_TRUE(drawn(painted, 0, 0));
  EXPECT_FALSE(framed(painted, 0, 0));
  EXPECT_TRUE(framed(painted, 7, 7));
  EXPECT_FALSE(MB_Walk_Pass::cut()) << "no pass is open";
  // Each insert alone, outside a pass, is within the budget.
  EXPECT_FALSE(framed(paint({tops.back()}), 7, 7));
}
