// The editing context: tools, messages, selection, deletion and the
// lifetimes of what it owns.
#include "view_fixture.h"

namespace {

// Counts its handler calls and its destruction.
class Probe_Tool : public MB_Mouse_Tool {
 public:
  Probe_Tool(MB_Operation* op, int* destroyed = nullptr) : MB_Mouse_Tool(-201, MB_String("probe"), op), destroyed_(destroyed) {}
  ~Probe_Tool() override {
    if (destroyed_) ++*destroyed_;
  }
  void mousemove(int) override { calls.push_back(0x200); }
  void lbuttondown(int) override { calls.push_back(0x201); }
  void lbuttonup(int) override { calls.push_back(0x202); }
  void lbuttondblclk(int) override { calls.push_back(0x203); }
  void rbuttondown(int) override { calls.push_back(0x204); }
  void rbuttonup(int) override { calls.push_back(0x205); }
  void rbuttondblclk(int) override { calls.push_back(0x206); }
  std::vector<int> calls;

 private:
  int* destroyed_;
};

// Deletes itself on a click, as the control's tools do when they finish.
class One_Shot_Tool : public MB_Mouse_Tool {
 public:
  explicit One_Shot_Tool(MB_Operation* op) : MB_Mouse_Tool(-202, MB_String("once"), op) {}
  void lbuttondown(int) override { delete this; }
};

}  // namespace

TEST_F(ViewTest, FreshOperation) {
  EXPECT_EQ(g_active_operation, op.get());
  EXPECT_EQ(op->get_active_tool_id(), -1);
  EXPECT_STREQ(op->get_active_tool_title(), "No tool!");
  POINT p = {10, 10};
  EXPECT_EQ(op->process_mouse_event(0x200, 0, p), 0);
  EXPECT_FALSE(op->is_can_undo());
  EXPECT_EQ(g_undo_redo, op->undo_redo());
}

TEST_F(ViewTest, MessagesReachTheToolThroughTheInverseView) {
  Probe_Tool* tool = new Probe_Tool(op.get());
  EXPECT_EQ(op->get_active_tool(), tool);
  EXPECT_EQ(op->get_active_tool_id(), -201);
  EXPECT_STREQ(op->get_active_tool_title(), "probe");
  POINT p = {120, 340};
  for (int msg = 0x1FF; msg <= 0x207; ++msg) EXPECT_EQ(op->process_mouse_event(msg, 0, p), 1);
  EXPECT_EQ(tool->calls, (std::vector<int>{0x200, 0x201, 0x202, 0x203, 0x204, 0x205, 0x206}));
  const As_Pt d = to_drawing(120, 340);
  EXPECT_NEAR(tool->cur_pos().x(), d.x(), 1e-9);
  EXPECT_NEAR(tool->cur_pos().y(), d.y(), 1e-9);
  EXPECT_EQ(tool->client_x(), 120);
}

TEST_F(ViewTest, ANewToolDeletesTheOldOne) {
  int destroyed = 0;
  new Probe_Tool(op.get(), &destroyed);
  Probe_Tool* second = new Probe_Tool(op.get());
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(op->get_active_tool(), second);
  EXPECT_EQ(op->mousetool_list().count(), 1);
}

TEST_F(ViewTest, AToolMayDeleteItselfInItsHandler) {
  new One_Shot_Tool(op.get());
  POINT p = {5, 5};
  EXPECT_EQ(op->process_mouse_event(0x201, 0, p), 1);
  EXPECT_EQ(op->get_active_tool(), nullptr);
  EXPECT_EQ(op->process_mouse_event(0x200, 0, p), 0);
}

TEST_F(ViewTest, DeleteObjectLeavesNoTrace) {
  Snap_Line* a = add_line(As_Pt(0, 0, 0), As_Pt(10, 10, 0));
  Snap_Line* b = add_line(As_Pt(0, 10, 0), As_Pt(10, 0, 0));
  paint();
  op->add_entity_to_selection(a, false);
  // Recorded: the object stays alive in the store and comes back on undo.
  op->rec_cmd_begin("delete");
  EXPECT_TRUE(op->delete_object(a, true));
  op->rec_cmd_end();
  EXPECT_FALSE(op->selection().contains(a));
  EXPECT_FALSE(render()->display_list().contains(a));
  EXPECT_EQ(op->drawing()->object_list().count(), 1);
  As_Void_List touched;
  op->undo(touched);
  EXPECT_EQ(op->drawing()->object_list().count(), 2);
  EXPECT_TRUE(touched.contains(a));
  // Not recorded: freed at once (the sanitizer sees a leak otherwise).
  EXPECT_TRUE(op->delete_object(b, false));
  EXPECT_EQ(op->drawing()->object_list().count(), 1);
  As_Void_List empty;
  EXPECT_FALSE(op->delete_object_list(empty, false));
}

TEST_F(ViewTest, DeleteSelectionIsUndoable) {
  Snap_Line* a = add_line(As_Pt(0, 0, 0), As_Pt(10, 10, 0));
  add_line(As_Pt(0, 10, 0), As_Pt(10, 0, 0));
  op->rect_select(As_Pt(100, 100, 0), As_Pt(-100, -100, 0), false);
  EXPECT_EQ(op->selection().count(), 2);
  op->rec_cmd_begin("erase");
  op->delete_selection();
  op->rec_cmd_end();
  EXPECT_TRUE(op->selection().is_empty());
  EXPECT_TRUE(op->drawing()->object_list().is_empty());
  As_Void_List touched;
  op->undo(touched);
  EXPECT_EQ(op->drawing()->object_list().count(), 2);
  EXPECT_EQ(a->flag(), 1);
}

TEST_F(ViewTest, RectSelectWindowAndCrossing) {
  Snap_Line* inside = add_line(As_Pt(1, 1, 0), As_Pt(5, 5, 0));
  Snap_Line* edge = add_line(As_Pt(0, 1, 0), As_Pt(5, 2, 0));  // touches the left side
  Snap_Line* crossing = add_line(As_Pt(-5, 3, 0), As_Pt(5, 3, 0));
  Snap_Line* near = add_line(As_Pt(-5, -5, 0), As_Pt(-1, 8, 0));  // box overlaps, line does not cross
  op->rect_select(As_Pt(0, 10, 0), As_Pt(10, 0, 0), false);
  EXPECT_TRUE(op->selection().contains(inside));
  EXPECT_FALSE(op->selection().contains(edge));
  EXPECT_FALSE(op->selection().contains(crossing));
  op->clear_selectlist(false);
  EXPECT_EQ(inside->flag(), 1);
  op->rect_select(As_Pt(10, 0, 0), As_Pt(0, 10, 0), false);
  EXPECT_TRUE(op->selection().contains(inside));
  EXPECT_TRUE(op->selection().contains(edge));
  EXPECT_TRUE(op->selection().contains(crossing));
  EXPECT_FALSE(op->selection().contains(near));
  op->rect_select(As_Pt(10, 0, 0), As_Pt(0, 10, 0), false);
  EXPECT_EQ(op->selection().count(), 3);
  EXPECT_EQ(inside->flag(), 2);
}

TEST_F(ViewTest, GlobalsDieWithTheirObjects) {
  MB_Undo_Redo* store = op->undo_redo();
  EXPECT_EQ(g_undo_redo, store);
  op->close_drawing();
  EXPECT_EQ(g_undo_redo, nullptr);
  EXPECT_EQ(op->drawing(), nullptr);
  EXPECT_EQ(op->draw_render(), nullptr);
  op.reset();
  EXPECT_EQ(g_active_operation, nullptr);
  EXPECT_EQ(api_mb_get_snap_tol(), 0.0);
}

TEST_F(ViewTest, ToolsOutliveRenderersAndDrawings) {
  Probe_Tool* tool = new Probe_Tool(op.get());
  tool->snap_start();
  add_line(As_Pt(0, 0, 0), As_Pt(100, 100, 0));
  paint();
  POINT p = {0, 617};
  op->process_mouse_event(0x200, 0, p);
  tool->rubber().draw_begin();
  tool->rubber().draw_line(As_Pt(0, 0, 0), As_Pt(50, 50, 0));
  tool->rubber().draw_end();
  // A new drawing while the tool is active: new renderers, the tool rebound.
  op->create_drawing("second");
  EXPECT_EQ(tool->rubber().draw_render(), render());
  EXPECT_EQ(tool->get_relation(), nullptr);
  op->process_mouse_event(0x200, 0, p);
  tool->rubber().draw_begin();
  tool->rubber().draw_line(As_Pt(0, 0, 0), As_Pt(50, 50, 0));
  tool->rubber().draw_end();
  op->close_drawing();
  EXPECT_EQ(tool->rubber().draw_render(), nullptr);
  op->process_mouse_event(0x200, 0, p);
  op.reset();  // deletes the tool, then everything else
}

TEST_F(ViewTest, CreateDrawingClearsTheSelection) {
  Snap_Line* a = add_line(As_Pt(0, 0, 0), As_Pt(1, 1, 0));
  op->add_entity_to_selection(a, false);
  op->create_drawing("next");
  EXPECT_TRUE(op->selection().is_empty());
  EXPECT_EQ(g_undo_redo, op->undo_redo());
  EXPECT_EQ(g_current_drawing, op->drawing());
}

// Whoever keeps entity pointers hears of every way out of the drawing while
// the entities are still alive: each delete, each undo or redo step (with
// what it detached), and the drawing's replacement or end.
TEST_F(ViewTest, TheLeaveListenerHearsEveryWayOut) {
  using Leaving = MB_Operation::Leaving;
  struct Heard {
    Leaving what;
    MB_Drawable* entity;
    bool attached;  // of the watched entity, during the call
    bool operator==(const Heard& o) const { return what == o.what && entity == o.entity && attached == o.attached; }
  };
  std::vector<Heard> heard;
  Snap_Line* a = add_line(As_Pt(0, 0, 0), As_Pt(10, 10, 0));
  op->leave_listener([&](Leaving what, MB_Drawable* e) { heard.push_back({what, e, a->owner_list() != nullptr}); });

  op->rec_cmd_begin("delete");
  op->delete_object(a, false);
  op->rec_cmd_end();
  As_Void_List touched;
  op->undo(touched);
  op->redo(touched);
  const std::vector<Heard> want = {{Leaving::STEPPED, nullptr, true},
                                   {Leaving::ENTITY, a, true},
                                   {Leaving::STEPPED, nullptr, true},    // undone: back in the drawing
                                   {Leaving::STEPPED, nullptr, false}};  // redone: out, still alive
  EXPECT_EQ(heard, want);

  heard.clear();
  op->undo(touched);
  op->create_drawing("next");
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_TRUE((heard[1] == Heard{Leaving::DRAWING, nullptr, true})) << "told before the old drawing is freed";

  int drawings = 0;
  op->leave_listener([&](Leaving what, MB_Drawable*) { drawings += what == Leaving::DRAWING; });
  op->close_drawing();
  op->close_drawing();  // nothing left to tell of
  op->create_drawing("last");
  op.reset();
  EXPECT_EQ(drawings, 2);
}
