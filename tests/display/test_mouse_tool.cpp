// The mouse tool base: the snap switch, the snap pass and a tool that makes
// an entity in one undoable command.
#include "database/entities/mb_line.h"
#include "view_fixture.h"

namespace {

// Makes a line from the first click to the second, both snapped, in one
// command: begin, make, build, append, draw at once, end.
class Line_Tool : public MB_Mouse_Tool {
 public:
  explicit Line_Tool(MB_Operation* op) : MB_Mouse_Tool(-201, MB_String("line"), op) { snap_start(); }
  void lbuttondown(int) override {
    pos_list().add_tail(snap_pos());
    if (pos_list().count() < 2) return;
    operation()->rec_cmd_begin("line");
    made = new Snap_Line(pos_list().head()->point(), pos_list().tail()->point());
    made->build_draw();
    operation()->drawing()->add_object(made);
    operation()->draw_object(made);
    operation()->rec_cmd_end();
    clear_pos_list();
  }
  Snap_Line* made = nullptr;
};

// A client pixel that lands exactly on a drawing point after truncation.
POINT pixel_of(const As_Pt& p, const As_Tran& view, int dx = 0, int dy = 0) {
  const As_Pt s = p * view;
  return POINT{int(s.x()) + dx, int(s.y()) + dy};
}

}  // namespace

TEST_F(ViewTest, ShiftSwitchesSnapping) {
  MB_Mouse_Tool* tool = new MB_Mouse_Tool(-1, MB_String("t"), op.get());
  EXPECT_FALSE(tool->is_snap());
  op->process_keyboard_event(0x100, 0x10, 0, 0);
  EXPECT_FALSE(tool->is_snap());
  op->process_keyboard_event(0x101, 0x10, 0, 0);
  EXPECT_TRUE(tool->is_snap());
  op->process_keyboard_event(0x101, 0x41, 0, 0);
  EXPECT_TRUE(tool->is_snap());
}

TEST_F(ViewTest, SnapFindsEndsWithinTheAperture) {
  render()->zoom_window(As_Pt(0, 50, 0), As_Pt(100, 0, 0));  // 7.99 pixels a unit
  Snap_Line* line = add_line(As_Pt(10, 10, 0), As_Pt(60, 10, 0));
  paint();
  MB_Mouse_Tool* tool = new MB_Mouse_Tool(-1, MB_String("t"), op.get());
  tool->snap_start();
  const As_Tran view = render()->drawing_to_screen();
  POINT p = pixel_of(As_Pt(10, 10, 0), view, 3, 0);
  op->process_mouse_event(0x200, 0, p);
  ASSERT_NE(tool->get_relation(), nullptr);
  EXPECT_EQ(tool->get_relation()->type(), 13);
  EXPECT_EQ(tool->get_snap_entity(), line);
  EXPECT_NEAR(tool->snap_pos().x(), 10, 1e-9);
  EXPECT_NEAR(tool->snap_pos().y(), 10, 1e-9);
  // Along the same end the candidates stay the same objects.
  MB_Relation* same = tool->get_relation();
  p.x -= 1;
  op->process_mouse_event(0x200, 0, p);
  EXPECT_EQ(tool->get_relation(), same);
  // Farther than 5 pixels from everything: nothing, the cursor point.
  p = pixel_of(As_Pt(35, 10, 0), view, 0, 9);
  op->process_mouse_event(0x200, 0, p);
  EXPECT_EQ(tool->get_relation(), nullptr);
  EXPECT_EQ(tool->snap_pos().x(), tool->cur_pos().x());
  // 5 pixels at 7.99 pixels a unit: the window shows the 100 units across
  // its 800 pixels from the middle of the first to the middle of the last.
  EXPECT_NEAR(api_mb_get_snap_tol(), 5.0 / 7.99, 1e-12);
}

TEST_F(ViewTest, SnapPrefersEndsAndPutsCrossingsFirst) {
  render()->zoom_window(As_Pt(0, 50, 0), As_Pt(100, 0, 0));  // 7.99 pixels a unit
  add_line(As_Pt(10, 10, 0), As_Pt(60, 10, 0));
  Snap_Line* b = add_line(As_Pt(10.5, 0, 0), As_Pt(10.5, 40, 0));  // crosses near the first line's start
  paint();
  MB_Mouse_Tool* tool = new MB_Mouse_Tool(-1, MB_String("t"), op.get());
  tool->snap_start();
  const As_Tran view = render()->drawing_to_screen();
  POINT p = pixel_of(As_Pt(10.3, 10.2, 0), view);
  op->process_mouse_event(0x200, 0, p);
  ASSERT_NE(tool->get_relation(), nullptr);
  // The lines cross within the aperture: one crossing, first, and the
  // snapped point is the crossing.
  EXPECT_EQ(tool->get_relation()->type(), 20);
  EXPECT_NEAR(tool->snap_pos().x(), 10.5, 1e-9);
  EXPECT_NEAR(tool->snap_pos().y(), 10, 1e-9);
  int crossings = 0;
  for (As_Void_Node* n = tool->relation_list().head(); n; n = n->next())
    crossings += static_cast<MB_Relation*>(n->entity())->type() == MB_SNAP_INTERSECTION;
  EXPECT_EQ(crossings, 1);
  // Without a crossing nearby the end point wins over the nearest point.
  op->delete_object(b, false);
  add_line(As_Pt(0, 10.5, 0), As_Pt(40, 10.5, 0));
  paint();
  op->process_mouse_event(0x200, 0, p);
  ASSERT_NE(tool->get_relation(), nullptr);
  EXPECT_EQ(tool->get_relation()->type(), 13);
  EXPECT_NEAR(tool->snap_pos().x(), 10, 1e-9);
  EXPECT_NEAR(tool->snap_pos().y(), 10, 1e-9);
}

TEST_F(ViewTest, ApiSnapPosAnswersTheEntity) {
  render()->zoom_window(As_Pt(0, 50, 0), As_Pt(100, 0, 0));
  Snap_Line* line = add_line(As_Pt(10, 10, 0), As_Pt(60, 10, 0));
  paint();
  As_Pt snap;
  int type = 0;
  As_Void_List found;
  ASSERT_TRUE(api_get_snap_pos(*render(), As_Pt(10.3, 10, 0), snap, type, found));
  EXPECT_EQ(type, 13);
  EXPECT_EQ(found.first(), line);
  EXPECT_FALSE(api_get_snap_pos(*render(), As_Pt(300, 300, 0), snap, type, found));
}

TEST_F(ViewTest, AToolMakesASnappedLineInOneUndoableCommand) {
  render()->zoom_window(As_Pt(0, 50, 0), As_Pt(100, 0, 0));  // 7.99 pixels a unit
  Snap_Line* base = add_line(As_Pt(10, 10, 0), As_Pt(60, 10, 0), 0x00FF00);
  paint();
  Line_Tool* tool = new Line_Tool(op.get());
  const As_Tran view = render()->drawing_to_screen();
  POINT a = pixel_of(As_Pt(60, 10, 0), view, 2, 1);
  POINT b = pixel_of(As_Pt(60, 30, 0), view);
  op->process_mouse_event(0x201, 0, a);
  op->process_mouse_event(0x201, 0, b);
  ASSERT_NE(tool->made, nullptr);
  Snap_Line* made = tool->made;
  EXPECT_TRUE(same_point(made->start(), base->end(), 0.0));  // snapped onto the end
  EXPECT_EQ(op->drawing()->object_list().count(), 2);
  EXPECT_TRUE(render()->display_list().contains(made));
  // Drawn at once onto the window, in its colour.
  const As_Pt mid = to_screen(As_Pt(60, 20, 0));
  EXPECT_EQ(window_pixels()[size_t(mid.y()) * 800 + size_t(mid.x())], 0xFFFFFFu);
  ASSERT_TRUE(op->is_can_undo());
  As_Void_List touched;
  op->undo(touched);
  EXPECT_EQ(op->drawing()->object_list().count(), 1);
  EXPECT_FALSE(render()->display_list().contains(made));
  EXPECT_TRUE(touched.is_empty());
  ASSERT_TRUE(op->is_can_redo());
  op->redo(touched);
  EXPECT_EQ(op->drawing()->object_list().tail(), made);
  EXPECT_TRUE(touched.contains(made));
  // Undo, then a new command: the line only the undone command held goes.
  op->undo(touched);
  op->rec_cmd_begin("next");
  op->rec_cmd_end();
  EXPECT_FALSE(op->is_can_redo());
  POINT c = pixel_of(As_Pt(30, 10, 0), view, 0, 1);
  op->process_mouse_event(0x200, 0, c);  // snaps over the display list
}

TEST_F(ViewTest, SnapOnTheKernelsLines) {
  render()->zoom_window(As_Pt(0, 50, 0), As_Pt(100, 0, 0));
  MB_Line* a = new MB_Line(As_Pt(10, 10, 0), As_Pt(60, 10, 0));
  MB_Line* b = new MB_Line(As_Pt(30, 0, 0), As_Pt(30, 40, 0));
  for (MB_Line* l : {a, b}) {
    l->build_draw();
    op->drawing()->add_object(l);
  }
  paint();
  MB_Mouse_Tool* tool = new MB_Mouse_Tool(-1, MB_String("t"), op.get());
  tool->snap_start();
  const As_Tran view = render()->drawing_to_screen();
  POINT p = pixel_of(As_Pt(60, 10, 0), view, -2, 2);
  op->process_mouse_event(0x200, 0, p);
  ASSERT_NE(tool->get_relation(), nullptr);
  EXPECT_EQ(tool->get_relation()->type(), 14);
  EXPECT_EQ(tool->get_snap_entity(), a);
  p = pixel_of(As_Pt(30.2, 10.2, 0), view);
  op->process_mouse_event(0x200, 0, p);
  ASSERT_NE(tool->get_relation(), nullptr);
  EXPECT_EQ(tool->get_relation()->type(), 20);
  EXPECT_NEAR(tool->snap_pos().x(), 30, 1e-9);
  EXPECT_NEAR(tool->snap_pos().y(), 10, 1e-9);
}

namespace {

// A tool that ends itself, or starts its successor, in the middle of its
// handler and then still reads its own members: the operation must keep it
// alive until the dispatch returns.
class Ending_Tool : public MB_Mouse_Tool {
 public:
  Ending_Tool(MB_Operation* op, bool replace) : MB_Mouse_Tool(-7, MB_String("ending"), op), replace_(replace) {}
  void rbuttondown(int) override {
    if (replace_)
      new MB_Mouse_Tool(-8, MB_String("next"), operation());
    else
      end();
    seen_after = pos_list().count() + (tag() == -7 ? 1 : 0);  // touches the tool after it ended
  }
  static int seen_after;

 private:
  bool replace_;
};
int Ending_Tool::seen_after = 0;

}  // namespace

TEST_F(ViewTest, AToolEndedInsideItsHandlerLivesUntilTheDispatchReturns) {
  for (bool replace : {false, true}) {
    Ending_Tool::seen_after = 0;
    new Ending_Tool(op.get(), replace);
    POINT p = {5, 5};
    op->process_mouse_event(WM_RBUTTONDOWN, 0, p);
    EXPECT_EQ(Ending_Tool::seen_after, 1) << replace;
    EXPECT_EQ(op->get_active_tool_id(), replace ? -8 : -1) << replace;
  }
  // Outside a dispatch a tool ends at once.
  MB_Mouse_Tool* t = new MB_Mouse_Tool(-9, MB_String("t"), op.get());
  t->end();
  EXPECT_EQ(op->get_active_tool_id(), -1);
}
