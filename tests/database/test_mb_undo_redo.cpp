#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "tests/database/counted_object.h"

namespace {

enum class Op {
  Begin,      // open a command
  End,        // close it
  Create,     // a new object with the value arg, added to the drawing
  CreateOff,  // the same with recording off
  Set,        // change the last object made to arg
  Lose,       // remove object number arg (in order of making) from the drawing
  Undo,
  Redo,
};

struct Step {
  Op op;
  int arg;
  const char* contents;  // the drawing's values after the step
  int live;              // live objects after the step
  const char* touched;   // values reported by undo or redo, or null
};

using ::values_of;

std::string values_of(const As_Void_List& list) {
  std::string s;
  for (As_Void_Node* n = list.head(); n; n = n->next()) {
    if (!s.empty()) s += ",";
    s += std::to_string(static_cast<Counted*>(n->entity())->value());
  }
  return s;
}

struct Sequence {
  const char* name;
  std::vector<Step> steps;
  bool can_undo, can_redo;
};

class UndoRedoTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(Counted::live, 0);
    EXPECT_EQ(g_undo_redo, nullptr);
  }

  // Runs a sequence against a drawing; then destroys the store and the
  // drawing, in both orders of the two.
  void run(const Sequence& s, bool drawing_first) {
    SCOPED_TRACE(s.name);
    auto drawing = std::make_unique<MB_Drawing>();
    auto store = std::make_unique<MB_Undo_Redo>(drawing.get());
    std::vector<Counted*> made;
    int i = 0;
    for (const Step& step : s.steps) {
      SCOPED_TRACE(testing::Message() << "step " << i++);
      As_Void_List touched;
      switch (step.op) {
        case Op::Begin: store->rec_cmd_begin("step"); break;
        case Op::End: store->rec_cmd_end(); break;
        case Op::CreateOff: {
          MB_Undo_Redo* saved = g_undo_redo;
          g_undo_redo = nullptr;
          made.push_back(new Counted(step.arg));
          g_undo_redo = saved;
          drawing->object_list().add_tail(made.back());
          break;
        }
        case Op::Create:
          made.push_back(new Counted(step.arg));
          drawing->object_list().add_tail(made.back());
          break;
        case Op::Set: made.back()->set(step.arg); break;
        case Op::Lose: made[step.arg]->lose(drawing->object_list()); break;
        case Op::Undo: store->undo(touched); break;
        case Op::Redo: store->redo(touched); break;
      }
      EXPECT_EQ(values_of(drawing->object_list()), step.contents);
      EXPECT_EQ(Counted::live, step.live);
      if (step.touched) {
        EXPECT_EQ(values_of(touched), step.touched);
      }
    }
    EXPECT_EQ(store->is_can_undo(), s.can_undo);
    EXPECT_EQ(store->is_can_redo(), s.can_redo);
    if (drawing_first) drawing.reset();
    store.reset();
    drawing.reset();
    EXPECT_EQ(Counted::live, 0);
  }
};

const Sequence kSequences[] = {
    {"create, undo, redo",
     {{Op::Begin, 0, "", 0, nullptr},
      {Op::Create, 1, "1", 1, nullptr},
      {Op::End, 0, "1", 1, nullptr},
      {Op::Undo, 0, "", 1, ""},
      {Op::Redo, 0, "1", 1, "1"}},
     true, false},
    {"create and remove in one command replays as nothing",
     {{Op::Begin, 0, "", 0, nullptr},
      {Op::Create, 1, "1", 1, nullptr},
      {Op::Lose, 0, "", 0, nullptr},
      {Op::End, 0, "", 0, nullptr},
      {Op::Undo, 0, "", 0, ""},
      {Op::Redo, 0, "", 0, ""}},
     true, false},
    {"change three times, undo, redo",
     {{Op::CreateOff, 1, "1", 1, nullptr},
      {Op::Begin, 0, "1", 1, nullptr},
      {Op::Set, 2, "2", 2, nullptr},
      {Op::Set, 3, "3", 2, nullptr},
      {Op::Set, 4, "4", 2, nullptr},
      {Op::End, 0, "4", 3, nullptr},
      {Op::Undo, 0, "1", 3, "1"},
      {Op::Redo, 0, "4", 3, "4"},
      {Op::Undo, 0, "1", 3, "1"}},
     false, true},
    {"remove, undo, redo",
     {{Op::CreateOff, 1, "1", 1, nullptr},
      {Op::CreateOff, 2, "1,2", 2, nullptr},
      {Op::Begin, 0, "1,2", 2, nullptr},
      {Op::Lose, 0, "2", 2, nullptr},
      {Op::End, 0, "2", 2, nullptr},
      {Op::Undo, 0, "2,1", 2, "1"},
      {Op::Redo, 0, "2", 2, ""}},
     true, false},
    {"change then remove in one command undoes to the old state",
     {{Op::CreateOff, 1, "1", 1, nullptr},
      {Op::Begin, 0, "1", 1, nullptr},
      {Op::Set, 5, "5", 2, nullptr},
      {Op::Lose, 0, "", 1, nullptr},
      {Op::End, 0, "", 1, nullptr},
      {Op::Undo, 0, "1", 1, "1"},
      {Op::Redo, 0, "", 1, ""}},
     true, false},
    {"create, change three times, remove, undo, redo, begin after undo",
     {{Op::Begin, 0, "", 0, nullptr},
      {Op::Create, 1, "1", 1, nullptr},
      {Op::End, 0, "1", 1, nullptr},
      {Op::Begin, 0, "1", 1, nullptr},
      {Op::Set, 2, "2", 2, nullptr},
      {Op::Set, 3, "3", 2, nullptr},
      {Op::Set, 4, "4", 2, nullptr},
      {Op::End, 0, "4", 3, nullptr},
      {Op::Begin, 0, "4", 3, nullptr},
      {Op::Lose, 0, "", 3, nullptr},
      {Op::End, 0, "", 3, nullptr},
      {Op::Undo, 0, "4", 3, "4"},
      {Op::Undo, 0, "1", 3, "1"},
      {Op::Undo, 0, "", 3, ""},
      {Op::Redo, 0, "1", 3, "1"},
      {Op::Redo, 0, "4", 3, "4"},
      {Op::Undo, 0, "1", 3, "1"},
      // Beginning drops the undone change and the removal: their copies go,
      // the object in the drawing stays.
      {Op::Begin, 0, "1", 1, nullptr},
      {Op::Create, 7, "1,7", 2, nullptr},
      {Op::End, 0, "1,7", 2, nullptr}},
     true, false},
    {"begin after undoing a creation frees the created object",
     {{Op::Begin, 0, "", 0, nullptr},
      {Op::Create, 1, "1", 1, nullptr},
      {Op::End, 0, "1", 1, nullptr},
      {Op::Undo, 0, "", 1, ""},
      {Op::Begin, 0, "", 0, nullptr},
      {Op::End, 0, "", 0, nullptr}},
     true, false},
    {"begin while a command is open closes it first",
     {{Op::Begin, 0, "", 0, nullptr},
      {Op::Create, 1, "1", 1, nullptr},
      {Op::Begin, 0, "1", 1, nullptr},
      {Op::Create, 2, "1,2", 2, nullptr},
      {Op::End, 0, "1,2", 2, nullptr},
      {Op::Undo, 0, "1", 2, ""},
      {Op::Undo, 0, "", 2, ""}},
     false, true},
    {"an empty command is kept and undoes as nothing",
     {{Op::CreateOff, 1, "1", 1, nullptr},
      {Op::Begin, 0, "1", 1, nullptr},
      {Op::End, 0, "1", 1, nullptr},
      {Op::Undo, 0, "1", 1, ""}},
     false, true},
    {"store dies with a command open",
     {{Op::CreateOff, 1, "1", 1, nullptr},
      {Op::Begin, 0, "1", 1, nullptr},
      {Op::Create, 2, "1,2", 2, nullptr},
      {Op::Set, 3, "1,3", 2, nullptr},
      {Op::Lose, 0, "3", 2, nullptr}},
     false, false},
};

TEST_F(UndoRedoTest, CommandSequencesRestoreTheDrawingAndFreeEveryObject) {
  for (const Sequence& s : kSequences) {
    run(s, false);
    run(s, true);
  }
}

TEST_F(UndoRedoTest, ChangesMakeOneRecordPerObject) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  Counted* a = new Counted(1);
  drawing.object_list().add_tail(a);
  store.rec_cmd_begin("move");
  a->set(2);
  a->set(3);
  store.rec_cmd_end();
  MB_Command* cmd = store.last_cmd();
  ASSERT_NE(cmd->head(), nullptr);
  EXPECT_EQ(cmd->head(), cmd->tail());
  EXPECT_EQ(cmd->head()->original_object(), a);
  EXPECT_NE(cmd->head()->right_object(), a);  // the state after is a copy
  EXPECT_EQ(static_cast<Counted*>(cmd->head()->left_object())->value(), 1);
  EXPECT_EQ(static_cast<Counted*>(cmd->head()->right_object())->value(), 3);
}

// Objects destroyed inside a command without being reported removed: a
// temporary leaves no record behind, and a changed object killed directly
// comes back by undo in its state from before the command.
TEST_F(UndoRedoTest, ObjectsDestroyedWithoutRemoval) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  Counted* a = new Counted(1);
  drawing.object_list().add_tail(a);
  store.rec_cmd_begin("edit");
  { Counted temporary(5); }
  a->set(2);
  drawing.object_list().kill_object(a);
  store.rec_cmd_end();
  EXPECT_EQ(Counted::live, 1);  // the copy from before the change
  As_Void_List touched;
  store.undo(touched);
  EXPECT_EQ(values_of(drawing.object_list()), "1");
  store.redo(touched);
  EXPECT_EQ(values_of(drawing.object_list()), "");
}

TEST_F(UndoRedoTest, UndoWithNothingDoneChangesNothing) {
  MB_Drawing drawing;
  MB_Undo_Redo store(&drawing);
  As_Void_List touched;
  store.undo(touched);
  store.redo(touched);
  EXPECT_EQ(g_undo_redo, nullptr);
  EXPECT_TRUE(touched.is_empty());
}

TEST_F(UndoRedoTest, LongNamesAreCut) {
  MB_Undo_Redo store;
  std::string name(300, 'x');
  store.rec_cmd_begin(name.c_str());
  EXPECT_EQ(std::string(store.recording()->name()), name.substr(0, 255));
  store.rec_cmd_end();
  store.rec_cmd_begin(nullptr);
  EXPECT_STREQ(store.recording()->name(), "");
  store.rec_cmd_end();
}

TEST_F(UndoRedoTest, GlobalIsClearedWhenTheStoreDies) {
  {
    MB_Undo_Redo store;
    store.rec_cmd_begin("open");
    EXPECT_EQ(g_undo_redo, &store);
  }
  EXPECT_EQ(g_undo_redo, nullptr);
}

// An object made while a block is being built lives in the block's list:
// undo takes it out of that list, and an object back in a list is never
// freed by the history.
// A text holds its style as a part of itself: made in a command, only the
// text is the command's to take out and put back, and the store never frees
// the part on its own.
TEST_F(UndoRedoTest, AnEntityWithAPartOfItsOwnIsOneCreation) {
  MB_Drawing drawing;
  {
    MB_Undo_Redo store(&drawing);
    store.rec_cmd_begin("text");
    auto* text = new MB_Text(As_Pt(1, 2, 0), MB_String("AB"));
    drawing.object_list().add_tail(text);
    store.rec_cmd_end();
    ASSERT_NE(store.done().tail(), nullptr);
    const auto* made = static_cast<const MB_Command*>(store.done().tail()->entity());
    int records = 0;
    for (MB_Sub_Command* r = made->head(); r; r = r->next()) ++records;
    EXPECT_EQ(records, 1);
    As_Void_List touched;
    store.undo(touched);
    EXPECT_EQ(drawing.object_list().count(), 0);
    store.redo(touched);
    ASSERT_EQ(drawing.object_list().count(), 1);
    EXPECT_EQ(drawing.object_list().head(), text);
    store.undo(touched);  // the store keeps the text that undo took out
  }
  EXPECT_EQ(drawing.object_list().count(), 0);
}

TEST_F(UndoRedoTest, ObjectsInABlockBeingBuilt) {
  MB_Drawing drawing;
  MB_Object_List block;
  {
    MB_Undo_Redo store(&drawing);
    store.rec_cmd_begin("block entity");
    Counted* a = new Counted(1);
    block.add_tail(a);
    store.rec_cmd_end();
    As_Void_List touched;
    store.undo(touched);
    EXPECT_EQ(values_of(block), "");
    EXPECT_EQ(Counted::live, 1);
    block.add_tail(a);  // put back by other means: the block owns it again
    store.rec_cmd_begin("next");
    store.rec_cmd_end();
    EXPECT_EQ(values_of(block), "1");
  }
  EXPECT_EQ(Counted::live, 1);
  block.kill_all();
  g_undo_redo = nullptr;
}

}  // namespace
