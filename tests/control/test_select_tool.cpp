// The select tool through the view: clicks on entities add them to the
// selection, a click on empty space starts a box, and a press on an entity
// followed by a release drags: the pressed ends of selected lines, or the
// whole selection, as one undoable command; a right click cancels a box.
#include "control/tools/select_tool.h"
#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "display/mb_draw_render.h"
#include "tests/control/control_fixture.h"

namespace control_test {
namespace {

class SelectToolTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    hosted_ = std::make_unique<Hosted>();
    op_ = &hosted_->view()->operation();
    MB_Undo_Redo* store = op_->undo_redo();
    store->rec_cmd_begin("add");
    a_ = add(As_Pt(0, 0, 0), As_Pt(100, 0, 0));
    b_ = add(As_Pt(100, 0, 0), As_Pt(100, 80, 0));
    far_ = add(As_Pt(0, 60, 0), As_Pt(40, 60, 0));
    store->rec_cmd_end();
    op_->build_draw();
    op_->zoom_all();
    pump();
  }
  void TearDown() override {
    hosted_.reset();
    ControlTest::TearDown();
  }
  MB_Line* add(As_Pt s, As_Pt e) {
    MB_Line* l = new MB_Line(s, e);
    op_->drawing()->add_object(l);
    return l;
  }
  POINT screen(const As_Pt& p) {
    const As_Pt s = p * op_->draw_render()->drawing_to_screen();
    return POINT{static_cast<LONG>(s.x()), static_cast<LONG>(s.y())};
  }
  void mouse(UINT msg, const As_Pt& at) {
    const POINT p = screen(at);
    qm_user_mouse(hosted_->view()->m_hWnd, msg, p.x, p.y);
    pump();
  }
  void drag(const As_Pt& from, const As_Pt& to) {
    mouse(WM_MOUSEMOVE, from);
    mouse(WM_LBUTTONDOWN, from);
    mouse(WM_MOUSEMOVE, to);
    mouse(WM_LBUTTONUP, to);
  }
  void click(const As_Pt& at) {
    mouse(WM_MOUSEMOVE, at);
    mouse(WM_LBUTTONDOWN, at);
    mouse(WM_LBUTTONUP, at);
  }
  bool selected(MB_Drawable* e) {
    for (As_Void_Node* n = op_->selection().head(); n; n = n->next())
      if (n->entity() == e) return true;
    return false;
  }
  std::unique_ptr<Hosted> hosted_;
  MB_Operation* op_ = nullptr;
  MB_Line *a_ = nullptr, *b_ = nullptr, *far_ = nullptr;
};

TEST_F(SelectToolTest, ClicksAddEntitiesAndAClickOnEmptySpaceStartsABox) {
  click(As_Pt(50, 0, 0));
  click(As_Pt(100, 40, 0));
  EXPECT_TRUE(selected(a_));
  EXPECT_TRUE(selected(b_));
  EXPECT_EQ(op_->get_active_tool_id(), -300);
  // Empty space clears the selection; the second click closes the box.
  click(As_Pt(-5, 50, 0));
  EXPECT_TRUE(op_->selection().is_empty());
  click(As_Pt(50, 70, 0));
  EXPECT_TRUE(selected(far_));
  EXPECT_FALSE(selected(a_));
}

TEST_F(SelectToolTest, ARightClickCancelsTheBoxAndErasesItsBand) {
  const auto picture = [&] {
    const CQuillView* v = hosted_->view();
    int w = 0, h = 0;
    const uint32_t* p = qm_user_window_pixels(v->m_hWnd, &w, &h);
    return p ? std::vector<uint32_t>(p, p + static_cast<size_t>(w) * static_cast<size_t>(h)) : std::vector<uint32_t>();
  };
  click(As_Pt(-5, 50, 0));  // the box's first corner
  const std::vector<uint32_t> before = picture();
  mouse(WM_MOUSEMOVE, As_Pt(50, 70, 0));
  EXPECT_NE(picture(), before) << "the band shows";
  mouse(WM_RBUTTONDOWN, As_Pt(50, 70, 0));
  mouse(WM_RBUTTONUP, As_Pt(50, 70, 0));
  EXPECT_EQ(picture(), before) << "the band is gone";
  // The next click is a click again, not the box's second corner.
  click(As_Pt(50, 0, 0));
  EXPECT_TRUE(selected(a_));
  EXPECT_FALSE(selected(far_));
}

TEST_F(SelectToolTest, DraggingASharedLineEndStretchesBothLinesAndUndoRestoresThem) {
  click(As_Pt(50, 0, 0));
  click(As_Pt(100, 40, 0));
  drag(As_Pt(100, 0, 0), As_Pt(90, 10, 0));
  // The shared end followed the cursor (to within a pixel); the other ends
  // and the unselected line stayed.
  const double pixel = op_->draw_render()->screen_to_drawing().scaling();
  EXPECT_NEAR(a_->end().x(), 90, 1.5 * pixel);
  EXPECT_NEAR(b_->start().y(), 10, 1.5 * pixel);
  EXPECT_TRUE(same_point(a_->start(), As_Pt(0, 0, 0), resabs));
  EXPECT_TRUE(same_point(b_->end(), As_Pt(100, 80, 0), resabs));
  EXPECT_TRUE(same_point(far_->start(), As_Pt(0, 60, 0), resabs));
  As_Void_List touched;
  op_->undo(touched);
  EXPECT_TRUE(same_point(a_->end(), As_Pt(100, 0, 0), resabs));
  EXPECT_TRUE(same_point(b_->start(), As_Pt(100, 0, 0), resabs));
}

TEST_F(SelectToolTest, APlainClickOnAnEntityRecordsNoCommand) {
  click(As_Pt(50, 0, 0));
  ASSERT_TRUE(selected(a_));
  As_Void_List touched;
  op_->undo(touched);  // undoes the lines' creation, not an empty drag
  EXPECT_EQ(op_->drawing()->object_list().count(), 0);
}

TEST_F(SelectToolTest, DraggingFromAPointThatIsNoLineEndMovesTheWholeSelection) {
  click(As_Pt(50, 0, 0));
  click(As_Pt(100, 40, 0));
  drag(As_Pt(50, 0, 0), As_Pt(50, 20, 0));
  const double dy = a_->start().y();
  EXPECT_GT(dy, 10);
  EXPECT_NEAR(b_->start().y(), dy, 1e-9);
  EXPECT_NEAR(b_->end().y(), 80 + dy, 1e-9);
  EXPECT_NEAR(a_->end().x() - a_->start().x(), 100, 1e-9);
  EXPECT_TRUE(same_point(far_->start(), As_Pt(0, 60, 0), resabs));
}

}  // namespace
}  // namespace control_test
