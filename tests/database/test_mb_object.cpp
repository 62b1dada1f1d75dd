#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "database/mb_object.h"
#include "database/mb_undo_redo.h"
#include "tests/database/counted_object.h"

namespace {

class ObjectTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(Counted::live, 0); }
};

// Fills a list with objects valued 1..n and returns them.
std::vector<Counted*> fill(MB_Object_List& list, int n) {
  std::vector<Counted*> v;
  for (int i = 1; i <= n; ++i) {
    v.push_back(new Counted(i));
    list.add_tail(v.back());
  }
  return v;
}

enum class Op { KillHead, KillTail, KillAt, KillForeign, RemoveAt, RemoveForeign, RemoveNull, MoveFromOther };

struct Surgery {
  const char* name;
  int size;
  Op op;
  int at;
  const char* expect;
  bool removed;  // result of remove, where the operation has one
};

TEST_F(ObjectTest, KillRemoveAndAddKeepListsLinkedAndRefuseForeignObjects) {
  const Surgery cases[] = {
      {"kill head of one", 1, Op::KillHead, 0, "", true},
      {"kill tail of one", 1, Op::KillTail, 0, "", true},
      {"kill only object", 1, Op::KillAt, 0, "", true},
      {"kill head", 3, Op::KillHead, 0, "2,3", true},
      {"kill tail", 3, Op::KillTail, 0, "1,2", true},
      {"kill middle", 3, Op::KillAt, 1, "1,3", true},
      {"kill head on empty", 0, Op::KillHead, 0, "", true},
      {"kill object of another list", 3, Op::KillForeign, 1, "1,2,3", false},
      {"remove middle", 3, Op::RemoveAt, 1, "1,3", true},
      {"remove tail", 3, Op::RemoveAt, 2, "1,2", true},
      {"remove object of another list", 3, Op::RemoveForeign, 0, "1,2,3", false},
      {"remove null", 2, Op::RemoveNull, 0, "1,2", false},
      {"add an object held by another list", 2, Op::MoveFromOther, 0, "1,2,9", true},
  };
  for (const Surgery& c : cases) {
    SCOPED_TRACE(c.name);
    MB_Object_List list, other;
    std::vector<Counted*> v = fill(list, c.size);
    Counted* stranger = new Counted(9);
    other.add_tail(new Counted(8));
    other.add_tail(stranger);
    other.add_tail(new Counted(10));
    bool removed = true;
    switch (c.op) {
      case Op::KillHead: list.kill_head(); break;
      case Op::KillTail: list.kill_tail(); break;
      case Op::KillAt: list.kill_object(v[c.at]); break;
      case Op::KillForeign:
        list.kill_object(stranger);
        removed = false;
        break;
      case Op::RemoveAt:
        removed = list.remove(v[c.at]);
        EXPECT_EQ(v[c.at]->next(), nullptr);
        EXPECT_EQ(v[c.at]->previous(), nullptr);
        EXPECT_EQ(v[c.at]->owner_list(), nullptr);
        delete v[c.at];
        break;
      case Op::RemoveForeign: removed = list.remove(stranger); break;
      case Op::RemoveNull: removed = list.remove(nullptr); break;
      case Op::MoveFromOther: list.add_tail(stranger); break;
    }
    EXPECT_EQ(removed, c.removed);
    EXPECT_EQ(values_of(list), c.expect);
    EXPECT_EQ(list.is_empty(), c.expect[0] == 0);
    EXPECT_EQ(values_of(other), c.op == Op::MoveFromOther ? "8,10" : "8,9,10");
  }
}

TEST_F(ObjectTest, GetByIndexRefusesOutOfRangeAndMovingKeepsTheListWhole) {
  MB_Object_List list;
  EXPECT_EQ(list.get(0), nullptr);
  EXPECT_EQ(list.count(), 0);
  std::vector<Counted*> v = fill(list, 3);
  EXPECT_EQ(list.count(), 3);
  EXPECT_EQ(list.get(0), v[0]);
  EXPECT_EQ(list.get(2), v[2]);
  EXPECT_EQ(list.get(list.count()), nullptr);
  EXPECT_EQ(list.get(-1), nullptr);
  list.add_head(v[2]);  // moving within the list keeps it whole
  EXPECT_EQ(values_of(list), "3,1,2");
  list.kill_all();
  EXPECT_TRUE(list.is_empty());
}

TEST_F(ObjectTest, DestroyingALinkedObjectUnlinksIt) {
  MB_Object_List list;
  std::vector<Counted*> v = fill(list, 3);
  delete v[1];
  EXPECT_EQ(values_of(list), "1,3");
}

TEST_F(ObjectTest, CopiesStartUnlinked) {
  MB_Object_List list;
  std::vector<Counted*> v = fill(list, 2);
  Counted copy(*v[0]);
  EXPECT_EQ(copy.next(), nullptr);
  EXPECT_EQ(copy.owner_list(), nullptr);
  copy = *v[1];
  EXPECT_EQ(copy.value(), 2);
  EXPECT_EQ(values_of(list), "1,2");
}

TEST_F(ObjectTest, CreationIsReportedOnlyInsideACommand) {
  MB_Undo_Redo store;
  Counted before(1);
  store.rec_cmd_begin("make");
  Counted* inside = new Counted(2);
  Counted copy(before);  // a copy is not reported
  store.rec_cmd_pause();
  Counted paused(3);
  store.rec_cmd_continue();
  MB_Command* cmd = store.recording();
  ASSERT_NE(cmd->head(), nullptr);
  EXPECT_EQ(cmd->head()->right_object(), inside);
  EXPECT_EQ(cmd->head(), cmd->tail());
  // Lost in the same command: the record is cancelled and the object freed.
  MB_Object_List list;
  list.add_tail(inside);
  inside->lose(list);
  EXPECT_EQ(cmd->head()->right_object(), nullptr);
  store.rec_cmd_end();
  EXPECT_EQ(g_undo_redo, nullptr);
  Counted after(4);
  EXPECT_EQ(store.last_cmd()->head(), store.last_cmd()->tail());
}

TEST_F(ObjectTest, LoseFreesAtOnceUnlessACommandIsRecording) {
  struct Case {
    bool recording;
    bool member;
    int live_after;  // objects alive after lose
  } cases[] = {{false, true, 0}, {false, false, 0}, {true, true, 1}, {true, false, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.recording << c.member);
    MB_Object_List list;
    Counted* o = new Counted(1);
    if (c.member) list.add_tail(o);
    {
      MB_Undo_Redo store;
      if (c.recording) {
        store.rec_cmd_begin("remove");
        store.rec_cmd_end();
        store.rec_cmd_begin("remove");  // o was made before this command
      }
      o->lose(list);
      EXPECT_TRUE(list.is_empty());
      EXPECT_EQ(Counted::live, c.live_after);
      store.rec_cmd_end();
    }
    EXPECT_EQ(Counted::live, 0);  // the store frees what it held
  }
  // With a store set but no command open nothing keeps the object.
  MB_Undo_Redo store;
  store.rec_cmd_continue();
  MB_Object_List list;
  Counted* o = new Counted(1);
  list.add_tail(o);
  o->lose(list);
  EXPECT_EQ(Counted::live, 0);
}

class Named : public MB_Attribute_Head {
 public:
  MB_ID object_id() const override { return ID_LAYER; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
};

TEST_F(ObjectTest, AttributesNumberInTurnAreNotDrawableAndCompareEqual) {
  Named a, b;
  EXPECT_EQ(static_cast<uint16_t>(a.number() + 1), b.number());
  Named c(a);
  EXPECT_EQ(c.number(), a.number());
  EXPECT_TRUE(c.name() == "kzf");
  EXPECT_EQ(a.object_type(), MB_Object::TYPE_NAMED_ATTRIBUTE);
  EXPECT_FALSE(a.is_drawable());
  EXPECT_FALSE(a != b);  // attributes without their own comparison are equal
  Counted geom;
  EXPECT_TRUE(geom.is_drawable());
}

TEST_F(ObjectTest, HandlesNameOneLiveObjectEachAndAreNeverGivenAgain) {
  auto a = std::make_unique<Counted>(1);
  auto b = std::make_unique<Counted>(2);
  const uint32_t ha = a->handle();
  const uint32_t hb = b->handle();
  EXPECT_GT(ha, 0u);
  EXPECT_NE(ha, hb);
  EXPECT_EQ(a->handle(), ha);  // asked again: the same number
  EXPECT_EQ(MB_Object::from_handle(ha), a.get());
  EXPECT_EQ(MB_Object::from_handle(hb), b.get());
  // Copies and assignments name themselves, not their source.
  Counted copy(*a);
  copy = *b;
  EXPECT_NE(copy.handle(), ha);
  EXPECT_NE(copy.handle(), hb);
  // A dead object's handle names nothing, even when a new object takes its
  // place in memory; the new object gets a number of its own.
  a.reset();
  EXPECT_EQ(MB_Object::from_handle(ha), nullptr);
  auto c = std::make_unique<Counted>(3);
  EXPECT_NE(c->handle(), ha);
  EXPECT_EQ(MB_Object::from_handle(ha), nullptr);
  for (uint32_t bad : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu}) EXPECT_EQ(MB_Object::from_handle(bad), nullptr) << bad;
}

TEST_F(ObjectTest, AListsVersionMovesWithEveryLinkAndDiffersBetweenLists) {
  MB_Object_List list, other;
  EXPECT_NE(list.version(), other.version());
  uint64_t v = list.version();
  auto moved = [&] {
    const bool changed = list.version() != v;
    v = list.version();
    return changed;
  };
  std::vector<Counted*> objects = fill(list, 3);
  EXPECT_TRUE(moved());
  list.get(1);
  list.count();
  EXPECT_FALSE(moved());
  list.remove(objects[1]);
  EXPECT_TRUE(moved());
  list.add_head(objects[1]);
  EXPECT_TRUE(moved());
  other.add_tail(objects[0]);  // taken out of `list`
  EXPECT_TRUE(moved());
  list.kill_tail();
  EXPECT_TRUE(moved());
  delete objects[1];  // an object that dies unlinks itself
  EXPECT_TRUE(moved());
  EXPECT_TRUE(list.is_empty());
}

// Objects of sizes across the pools' classes (and one past them) are made
// from several threads at once: each keeps its own bytes while it lives, and
// the pools' live bytes return to where they were once all are destroyed.
template <size_t N>
class Padded : public MB_Object {
 public:
  explicit Padded(int v) : value_(v) {
    for (size_t i = 0; i < N; ++i) pad_[i] = static_cast<unsigned char>(v + int(i));
  }
  bool intact() const {
    for (size_t i = 0; i < N; ++i)
      if (pad_[i] != static_cast<unsigned char>(value_ + int(i))) return false;
    return true;
  }

  MB_ID object_id() const override { return ID_LINE; }
  MB_Type object_type() const override { return TYPE_GEOM; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

 private:
  int value_;
  unsigned char pad_[N];
};

TEST_F(ObjectTest, PooledObjectsKeepTheirBytesAcrossThreadsAndGiveThemBack) {
  const size_t live_before = MB_Object::pool_stats().live;
  auto work = [](int seed, bool* ok) {
    std::vector<std::pair<std::unique_ptr<MB_Object>, int>> made;  // with its size's kind
    for (int round = 0; round < 3; ++round) {
      for (int i = 0; i < 300; ++i) {
        const int v = seed + i, kind = i % 4;
        MB_Object* o = kind == 0   ? static_cast<MB_Object*>(new Padded<1>(v))
                       : kind == 1 ? static_cast<MB_Object*>(new Padded<77>(v))
                       : kind == 2 ? static_cast<MB_Object*>(new (std::nothrow) Padded<400>(v))
                                   : static_cast<MB_Object*>(new Padded<2000>(v));  // past the largest class
        made.emplace_back(o, kind);
      }
      for (const auto& [o, kind] : made) {
        const bool intact = kind == 0   ? static_cast<const Padded<1>*>(o.get())->intact()
                            : kind == 1 ? static_cast<const Padded<77>*>(o.get())->intact()
                            : kind == 2 ? static_cast<const Padded<400>*>(o.get())->intact()
                                        : static_cast<const Padded<2000>*>(o.get())->intact();
        if (!intact) *ok = false;
      }
      made.resize(made.size() / 2);  // half die before the next round
    }
  };
  bool ok[4] = {true, true, true, true};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back(work, t * 1000, &ok[t]);
  for (std::thread& t : threads) t.join();
  for (bool b : ok) EXPECT_TRUE(b);
  EXPECT_EQ(MB_Object::pool_stats().live, live_before);
}

}  // namespace
