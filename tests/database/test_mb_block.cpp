// Blocks: defaults, copies, the drawing's block table and temporary block,
// building and extents (nested and cyclic), and multiple-insert cells.
#include <gtest/gtest.h>

#include <memory>

#include "block_fixtures.h"
#include "database/mb_layer.h"

namespace {

class BlockTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(Seg::live, 0); }
};

std::string corners(const As_Rect& r) { return xy(r.lt()) + xy(r.rb()); }

}  // namespace

static_assert(!std::is_copy_constructible<MB_Block>::value, "a block owns its objects");

TEST_F(BlockTest, EmptyNamesBecomeNonameAndTheBaseMovesToTheOrigin) {
  MB_Block plain;
  EXPECT_STREQ(plain.name().ascii(), "Block");
  EXPECT_STREQ(plain.desc().ascii(), "DESC");
  EXPECT_EQ(plain.object_id(), 7);
  EXPECT_EQ(plain.object_type(), 1);
  EXPECT_TRUE(plain.rect_is_point());

  MB_Block unnamed(As_Pt(1, 2, 0), MB_String(""), MB_String("d"));
  EXPECT_STREQ(unnamed.name().ascii(), "noname");
  EXPECT_EQ(xy(As_Pt(1, 2, 0) * unnamed.tran()), "(0,0)");
  unnamed.base_pos(As_Pt(-3, 4, 0));
  EXPECT_EQ(xy(As_Pt(0, 0, 0) * unnamed.tran()), "(3,-4)");

  EXPECT_EQ(MB_Block_Begin().object_id(), 6);
  EXPECT_EQ(MB_Block_End().object_id(), 8);
  EXPECT_EQ(MB_Block_Name().object_id(), 9);
}

TEST_F(BlockTest, CopyIsDeepAndSetTargetsAreLeftAlone) {
  MB_Drawing d;
  MB_Block* inner = add_block(d, "inner", As_Pt(), {new Seg(As_Pt(0, 0, 0), As_Pt(1, 0, 0))});
  MB_Block* b = add_block(d, "outer", As_Pt(5, 5, 0), {new Seg(As_Pt(1, 1, 0), As_Pt(2, 2, 0)), insert_of(inner, As_Pt(3, 0, 0))});
  MB_Object* copy = nullptr;
  ASSERT_TRUE(b->copy_to(copy));
  std::unique_ptr<MB_Object> owned(copy);
  MB_Block* c = mb_to_block(copy);
  ASSERT_NE(c, nullptr);
  EXPECT_STREQ(c->name().ascii(), "outer");
  EXPECT_STREQ(c->desc().ascii(), "DESC");
  EXPECT_EQ(xy(c->base_pos()), "(5,5)");
  EXPECT_EQ(xy(As_Pt(5, 5, 0) * c->tran()), "(0,0)");
  ASSERT_EQ(c->object_list().count(), 2);
  EXPECT_NE(c->object_list().head(), b->object_list().head());
  EXPECT_EQ(Seg::live, 3);
  EXPECT_EQ(mb_to_insert(c->object_list().tail())->block(), inner);  // nested inserts still place the same block

  MB_Object* set = inner;
  EXPECT_TRUE(b->copy_to(set));
  EXPECT_EQ(set, inner);
  EXPECT_EQ(inner->object_list().count(), 1);
}

TEST_F(BlockTest, DrawingFindsBlocksInAnyCaseAndFillsTheTemporaryBlock) {
  MB_Drawing d;
  d.block_list().add_tail(new MB_Layer);  // not a block: passed over
  MB_Block* door = add_block(d, "Door", As_Pt(), {});
  add_block(d, "DOOR", As_Pt(), {});
  EXPECT_EQ(d.find_block("door"), door);
  EXPECT_EQ(d.find_block("dOOR"), door);
  EXPECT_EQ(d.find_block("window"), nullptr);
  EXPECT_EQ(mb_to_block(d.block_list().head()), nullptr);
  EXPECT_EQ(*mb_block_name(door), "Door");

  MB_Block building;
  d.temp_block(&building);
  auto* s = new Seg;
  d.add_object(s);
  EXPECT_EQ(building.object_list().head(), s);
  EXPECT_TRUE(d.object_list().is_empty());
  EXPECT_EQ(&d.get_active_object_list(), &building.object_list());
  d.temp_block(nullptr);
  EXPECT_EQ(&d.get_active_object_list(), &d.object_list());
}

TEST_F(BlockTest, BuildClearsLayersAndTakesTheUnionMovedByTheBase) {
  MB_Drawing d;
  MB_Layer layer;
  auto* s1 = new Seg(As_Pt(2, 3, 0), As_Pt(4, 1, 0));
  auto* s2 = new Seg(As_Pt(-1, 2, 0), As_Pt(0, 5, 0));
  s1->general().layer(&layer);
  s1->general().display_color(0);  // the background: drawn in its complement
  MB_Block* b = add_block(d, "b", As_Pt(1, 1, 0), {s1, s2});
  MB_Block* empty = add_block(d, "e", As_Pt(1, 1, 0), {});
  d.build_draw();
  EXPECT_EQ(s1->general().layer(), nullptr);
  EXPECT_EQ(s1->general().display_color(), 0xFFFFFF);
  ASSERT_NE(s2->draw_node(), nullptr);
  EXPECT_EQ(corners(b->rect()), "(-2,4)(3,0)");
  EXPECT_TRUE(empty->rect_is_point());
}

TEST_F(BlockTest, ExtentsOfNestedInsertsFollowTheirTransforms) {
  MB_Drawing d;
  // The outer block comes first in the list: building it builds the inner
  // one on the way.
  auto* outer = new MB_Block(As_Pt(), MB_String("outer"), MB_String());
  d.block_list().add_tail(outer);
  MB_Block* inner = add_block(d, "inner", As_Pt(), {new Seg(As_Pt(0, 0, 0), As_Pt(4, 2, 0))});
  outer->object_list().add_tail(new Seg(As_Pt(0, 0, 0), As_Pt(1, 1, 0)));
  outer->object_list().add_tail(insert_of(inner, As_Pt(10, 0, 0), 0.0, 2.0, 2.0, 2.0));
  auto* top = insert_of(outer, As_Pt(100, 100, 0), 0.0, 0.5, 0.5);
  auto* turned = insert_of(inner, As_Pt(0, 0, 0), half_pi);
  d.object_list().add_tail(top);
  d.object_list().add_tail(turned);
  d.build_draw();
  EXPECT_EQ(corners(outer->rect()), "(0,4)(18,0)");
  EXPECT_EQ(corners(top->rect()), "(100,102)(109,100)");
  EXPECT_EQ(corners(turned->rect()), "(-2,4)(0,0)");
}

TEST_F(BlockTest, CyclesAndDeepNestingEndWhenBuilt) {
  MB_Drawing d;
  // a inserts itself and b; b inserts a.
  MB_Block* a = add_block(d, "a", As_Pt(), {new Seg(As_Pt(0, 0, 0), As_Pt(2, 0, 0))});
  MB_Block* b = add_block(d, "b", As_Pt(), {new Seg(As_Pt(0, 0, 0), As_Pt(0, 3, 0))});
  a->object_list().add_tail(insert_of(a, As_Pt(1, 1, 0)));
  a->object_list().add_tail(insert_of(b, As_Pt(5, 0, 0)));
  b->object_list().add_tail(insert_of(a, As_Pt(0, 10, 0)));
  // A chain far deeper than any walk goes.
  MB_Block* chain = add_block(d, "c0", As_Pt(), {new Seg(As_Pt(0, 0, 0), As_Pt(1, 0, 0))});
  for (int i = 1; i < 5000; ++i) {
    chain = add_block(d, ("c" + std::to_string(i)).c_str(), As_Pt(), {insert_of(chain, As_Pt(1, 0, 0))});
  }
  auto* top = insert_of(chain, As_Pt());
  d.object_list().add_tail(top);
  d.object_list().add_tail(insert_of(a, As_Pt()));
  top->build_draw();  // from the top down: stops at the nesting limit
  d.build_draw();
  EXPECT_FALSE(a->rect_is_point());
  EXPECT_FALSE(b->rect_is_point());
}

TEST_F(BlockTest, GridCellsStepByRowsAndColumnsAndHugeGridsHaveNone) {
  MB_Minsert grid(As_Pt(0, 0, 0), 0.0, 1.0, 1.0, 1.0, 2, 5.0, 3, 10.0);
  EXPECT_EQ(grid.object_id(), 46);
  EXPECT_EQ(grid.object_type(), 9);
  ASSERT_EQ(grid.cell_count(), 6);
  std::string cells;
  for (int i = 0; i < 6; ++i) cells += xy(grid.cell_positions()[i]);
  EXPECT_EQ(cells, "(0,0)(5,0)(0,10)(5,10)(0,20)(5,20)");

  MB_Minsert turned(As_Pt(1, 1, 0), half_pi, -2.0, 1.0, 1.0, 2, 5.0, 1, 0.0);
  ASSERT_EQ(turned.cell_count(), 2);
  EXPECT_EQ(xy(turned.cell_positions()[1]), "(1,6)");
  // Scaled by the absolute scales, turned, moved to the cell; no mirror.
  EXPECT_EQ(xy(As_Pt(1, 0, 0) * turned.cell_transforms()[1]), "(1,8)");

  MB_Minsert huge(As_Pt(), 0.0, 1.0, 1.0, 1.0, 65535, 1.0, 65535, 1.0);
  EXPECT_EQ(huge.cell_count(), 0);
  EXPECT_EQ(huge.cell_positions(), nullptr);
  EXPECT_EQ(huge.columns(), 65535);

  MB_Object* copy = nullptr;
  EXPECT_FALSE(grid.copy_to(copy));
  EXPECT_EQ(copy, nullptr);
}
