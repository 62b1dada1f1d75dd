// Blocks and inserts in native files: round trips, the block name records,
// the order blocks are written in, and files that break the block structure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "block_fixtures.h"
#include "database/entities/mb_line.h"
#include "database/fileformat/mb_file_io.h"
#include "kzf_file_support.h"

using namespace kzf_file_test;

namespace {

// How often the record "J" name occurs in the bytes.
int name_records(const Bytes& payload, const std::string& name) {
  Bytes rec = {'J'};
  append_long(rec, uint32_t(name.size()));
  rec.insert(rec.end(), name.begin(), name.end());
  int n = 0;
  for (auto it = payload.begin(); (it = std::search(it, payload.end(), rec.begin(), rec.end())) != payload.end(); ++it) ++n;
  return n;
}

MB_Line* line(double x0, double y0, double x1, double y1) { return new MB_Line(As_Pt(x0, y0, 0), As_Pt(x1, y1, 0)); }

std::vector<MB_Insert*> inserts_of(MB_Object_List& list) {
  std::vector<MB_Insert*> out;
  for (MB_Object* o = list.head(); o; o = o->next()) {
    if (MB_Insert* i = mb_to_insert(o)) out.push_back(i);
  }
  return out;
}

std::string names_of(MB_Drawing& d) {
  std::string s;
  for (MB_Object* o = d.block_list().head(); o; o = o->next()) s += std::string(mb_block_name(mb_to_block(o))->ascii()) + " ";
  return s;
}

}  // namespace

TEST(BlockRecords, DrawingWithBlocksAndInsertsRoundTrips) {
  MB_Drawing d;
  MB_Block* door = add_block(d, "door", As_Pt(1, 1, 0), {line(1, 1, 3, 1), line(1, 1, 1, 4)});
  door->desc() = "a door";
  MB_Block* wall = add_block(d, "wall", As_Pt(), {line(0, 0, 10, 0), insert_of(door, As_Pt(2, 0, 0), 0.25)});
  add_block(d, "unused", As_Pt(), {});
  auto* turned = insert_of(door, As_Pt(10, 0, 0), half_pi, 2.0, -1.0, 5.0);
  turned->user_id(77);
  turned->general().color(0x00FF00);
  d.object_list().add_tail(turned);
  d.object_list().add_tail(insert_of(wall, As_Pt(-5, 7, 0)));
  d.object_list().add_tail(new MB_Insert(As_Pt(1, 1, 0), 0, 1, 1, 1));  // no block: not written

  MB_Drawing back;
  ASSERT_TRUE(load(save(d), back));
  EXPECT_EQ(names_of(back), "door wall ");
  EXPECT_EQ(back.temp_block(), nullptr);
  MB_Block* door2 = back.find_block("door");
  MB_Block* wall2 = back.find_block("wall");
  ASSERT_TRUE(door2 && wall2);
  EXPECT_EQ(xy(door2->base_pos()), "(1,1)");
  EXPECT_STREQ(door2->desc().ascii(), "a door");
  EXPECT_EQ(door2->object_list().count(), 2);
  ASSERT_EQ(wall2->object_list().count(), 2);
  MB_Insert* nested = mb_to_insert(wall2->object_list().tail());
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(nested->block(), door2);
  EXPECT_DOUBLE_EQ(nested->angle(), 0.25);

  std::vector<MB_Insert*> top = inserts_of(back.object_list());
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[0]->block(), door2);
  EXPECT_EQ(xy(top[0]->point()), "(10,0)");
  EXPECT_DOUBLE_EQ(top[0]->angle(), half_pi);
  EXPECT_EQ(top[0]->scale()[0], 2.0);
  EXPECT_EQ(top[0]->scale()[1], -1.0);
  EXPECT_EQ(top[0]->scale()[2], 1.0);  // the z scale is not stored
  EXPECT_EQ(top[0]->user_id(), 77u);
  EXPECT_EQ(top[0]->general().color(), 0x00FF00);
  EXPECT_EQ(xy(As_Pt(2, 1, 0) * top[0]->placement()), "(10,2)");  // built on reading
  EXPECT_EQ(top[1]->block(), wall2);
  EXPECT_EQ(xy(top[1]->point()), "(-5,7)");
}

TEST(BlockRecords, OneNameRecordPerChangeOfBlock) {
  MB_Drawing d;
  MB_Block* a = add_block(d, "alpha", As_Pt(), {line(0, 0, 1, 0)});
  MB_Block* b = add_block(d, "beta", As_Pt(), {line(0, 0, 0, 1)});
  MB_Drawing same, alternating;
  Bytes payload_same, payload_alt;
  for (int i = 0; i < 3; ++i) d.object_list().add_tail(insert_of(a, As_Pt(i, 0, 0)));
  ASSERT_TRUE(payload(save(d), payload_same));
  EXPECT_EQ(name_records(payload_same, "alpha"), 1);
  d.object_list().add_tail(insert_of(b, As_Pt()));
  d.object_list().add_tail(insert_of(a, As_Pt()));
  ASSERT_TRUE(payload(save(d), payload_alt));
  EXPECT_EQ(name_records(payload_alt, "alpha"), 2);
  EXPECT_EQ(name_records(payload_alt, "beta"), 1);
}

TEST(BlockRecords, BlocksAreWrittenBeforeTheBlocksThatInsertThem) {
  MB_Drawing d;
  // The list holds the deepest block last; a deep chain; a two-block cycle.
  auto* outer = new MB_Block(As_Pt(), MB_String("outer"), MB_String());
  d.block_list().add_tail(outer);
  MB_Block* inner = add_block(d, "inner", As_Pt(), {line(0, 0, 1, 1)});
  outer->object_list().add_tail(insert_of(inner, As_Pt(3, 3, 0)));
  std::vector<MB_Block*> chain;
  for (int i = 0; i < 2000; ++i) chain.push_back(new MB_Block(As_Pt(), MB_String(("c" + std::to_string(i)).c_str()), MB_String()));
  for (int i = 0; i + 1 < 2000; ++i) chain[i]->object_list().add_tail(insert_of(chain[i + 1], As_Pt()));
  chain.back()->object_list().add_tail(line(0, 0, 1, 0));
  for (MB_Block* c : chain) d.block_list().add_tail(c);
  MB_Block* p = add_block(d, "p", As_Pt(), {line(0, 0, 1, 0)});
  MB_Block* q = add_block(d, "q", As_Pt(), {insert_of(p, As_Pt())});
  p->object_list().add_tail(insert_of(q, As_Pt()));
  MB_Block* self = add_block(d, "self", As_Pt(), {line(0, 0, 1, 0)});
  self->object_list().add_tail(insert_of(self, As_Pt(0, 1, 0)));

  MB_Drawing back;
  ASSERT_TRUE(load(save(d), back));
  EXPECT_EQ(back.block_list().count(), d.block_list().count());
  EXPECT_EQ(mb_to_insert(back.find_block("outer")->object_list().head())->block(), back.find_block("inner"));
  for (int i = 0; i + 1 < 2000; ++i) {
    MB_Insert* link = mb_to_insert(back.find_block(("c" + std::to_string(i)).c_str())->object_list().head());
    ASSERT_EQ(link->block(), back.find_block(("c" + std::to_string(i + 1)).c_str())) << i;
  }
  // The cycle: one of the two inserts binds, the other is the one that
  // closed the cycle and reads back without a block.
  const bool p_bound = mb_to_insert(back.find_block("p")->object_list().tail())->block() != nullptr;
  const bool q_bound = mb_to_insert(back.find_block("q")->object_list().head())->block() != nullptr;
  EXPECT_NE(p_bound, q_bound);
  // A block is in the table from its begin record on: it can place itself.
  MB_Block* self_back = back.find_block("self");
  EXPECT_EQ(mb_to_insert(self_back->object_list().tail())->block(), self_back);
  back.build_draw();
}

TEST(BlockRecords, BrokenBlockStructureLeavesNoBlockOpen) {
  auto begin = [](const char* name) { return MB_Block_Begin(As_Pt(1, 2, 0), name, MB_String("d")); };
  MB_Line entity(As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  struct Case {
    const char* name;
    Bytes file;
    const char* blocks;
    int in_first, in_second, entities;
  } cases[] = {
      {"file ends inside a block", write_pass([&](MB_File_IO& io) {
         begin("open").serialize(io);
         entity.serialize(io);
       }),
       "open ", 1, 0, 0},
      {"begin inside a block", write_pass([&](MB_File_IO& io) {
         begin("first").serialize(io);
         entity.serialize(io);
         begin("second").serialize(io);
         entity.serialize(io);
         entity.serialize(io);
         MB_Block_End().serialize(io);
         entity.serialize(io);
       }),
       "first second ", 1, 2, 1},
      {"end without a begin", write_pass([&](MB_File_IO& io) {
         MB_Block_End().serialize(io);
         entity.serialize(io);
       }),
       "", 0, 0, 1},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    MB_Drawing d;
    EXPECT_TRUE(load(c.file, d));
    EXPECT_EQ(d.temp_block(), nullptr);
    EXPECT_EQ(names_of(d), c.blocks);
    if (MB_Object* first = d.block_list().head()) {
      EXPECT_EQ(mb_to_block(first)->object_list().count(), c.in_first);
      EXPECT_EQ(xy(mb_to_block(first)->base_pos()), "(1,2)");
      if (MB_Object* second = first->next()) {
        EXPECT_EQ(mb_to_block(second)->object_list().count(), c.in_second);
      }
    }
    EXPECT_EQ(d.object_list().count(), c.entities);
    d.add_object(new MB_Line);  // later objects are entities again
    EXPECT_EQ(d.object_list().count(), c.entities + 1);
  }
}

TEST(BlockRecords, InsertsOfUnknownBlocksReadBackUnbound) {
  MB_Drawing d;
  add_block(d, "known", As_Pt(), {line(0, 0, 1, 0)});
  const Bytes file = write_pass([](MB_File_IO& io) {
    MB_Insert lonely(As_Pt(3, 4, 0), 0, 1, 1, 1);
    MB_Block phantom(As_Pt(), MB_String("nowhere"), MB_String());
    lonely.block(&phantom);
    lonely.serialize(io);
  });
  ASSERT_TRUE(load(file, d));
  std::vector<MB_Insert*> read = inserts_of(d.object_list());
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0]->block(), nullptr);
  EXPECT_EQ(xy(read[0]->point()), "(3,4)");
  read[0]->build_draw();
  MB_Drawing again;
  ASSERT_TRUE(load(save(d), again));
  EXPECT_TRUE(inserts_of(again.object_list()).empty());
}
