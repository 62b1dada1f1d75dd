// Rotate, mirror and polar array add copies of the selection at the right
// places and leave it where it is; degenerate clicks make nothing. The view
// tools pan and zoom to a window (recorded in the view history); the measure
// tool's read-out gives coordinates, area and perimeter.
#include <cmath>

#include "database/entities/mb_line.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "display/mb_draw_render.h"
#include "display/mb_view_history.h"
#include "tests/control/control_fixture.h"
#include "control/tools/view_tools.h"

namespace control_test {
namespace {

class EditingTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    hosted_ = std::make_unique<Hosted>();
    op_ = &hosted_->view()->operation();
    op_->undo_redo()->rec_cmd_begin("add");
    line_ = new MB_Line(As_Pt(10, 0, 0), As_Pt(20, 0, 0));
    op_->drawing()->add_object(line_);
    op_->undo_redo()->rec_cmd_end();
    op_->build_draw();
    op_->zoom_window(As_Pt(-50, 50, 0), As_Pt(50, -50, 0));
    op_->add_entity_to_selection(line_, false);
  }
  void TearDown() override {
    hosted_.reset();
    ControlTest::TearDown();
  }
  void command(UINT id) { hosted_->command(id); }
  // A click at a drawing point (through the view transform).
  void click(const As_Pt& p, UINT msg = WM_LBUTTONDOWN) {
    const As_Pt s = p * op_->draw_render()->drawing_to_screen();
    qm_user_mouse(hosted_->view()->m_hWnd, WM_MOUSEMOVE, int(s.x()), int(s.y()));
    pump();
    qm_user_mouse(hosted_->view()->m_hWnd, msg, int(s.x()), int(s.y()));
    pump();
  }
  // The lines after the first (the copies), as angles of their start points.
  std::vector<double> copy_angles() {
    std::vector<double> out;
    for (MB_Object* o = op_->drawing()->object_list().head()->next(); o; o = o->next()) {
      const As_Pt s = static_cast<MB_Line*>(o)->start();
      out.push_back(std::atan2(s.y(), s.x()) * 180 / 3.14159265358979323846);
    }
    return out;
  }
  double pixel() { return op_->draw_render()->screen_to_drawing().scaling(); }
  std::unique_ptr<Hosted> hosted_;
  MB_Operation* op_ = nullptr;
  MB_Line* line_ = nullptr;
};

// A text carries its style within itself: its mirrored copy is one change,
// undone and redone whole, and the store frees nothing twice.
TEST_F(EditingTest, AMirroredTextIsUndoneAndRedoneWhole) {
  auto* text = new MB_Text(As_Pt(5, 5, 0), MB_String("AB"));
  text->build_draw();
  op_->drawing()->add_object(text);
  op_->clear_selectlist(true);
  op_->add_entity_to_selection(text, false);
  command(32836);
  click(As_Pt(0, -10, 0));
  click(As_Pt(0, 10, 0));
  ASSERT_EQ(op_->drawing()->object_list().count(), 3);
  auto* copy = static_cast<MB_Text*>(op_->drawing()->object_list().tail());
  EXPECT_NEAR(copy->base_pos().x(), -5, 2 * pixel());  // the axis goes through the clicked pixels
  As_Void_List touched;
  op_->undo_redo()->undo(touched);
  EXPECT_EQ(op_->drawing()->object_list().count(), 2);
  op_->undo_redo()->redo(touched);
  EXPECT_EQ(op_->drawing()->object_list().count(), 3);
  op_->undo_redo()->undo(touched);  // the store keeps the copy until it goes
}

TEST_F(EditingTest, ThePolarArrayAddsFourCopiesAt72DegreeSteps) {
  command(32838);
  click(As_Pt(0, 0, 0));
  const std::vector<double> a = copy_angles();
  ASSERT_EQ(a.size(), 4u);
  const double expected[] = {72, 144, -144, -72};
  for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(a[i], expected[i], 2.0) << i;
  EXPECT_TRUE(same_point(line_->start(), As_Pt(10, 0, 0), resabs));  // the original stays
}

TEST_F(EditingTest, RotateAndMirrorCopyTheSelectionAndDegenerateClicksMakeNothing) {
  command(32840);
  click(As_Pt(0, 0, 0));
  click(As_Pt(10, 0, 0));
  click(As_Pt(0, 10, 0));  // a quarter turn
  ASSERT_EQ(copy_angles().size(), 1u);
  EXPECT_NEAR(std::fabs(copy_angles()[0]), 90, 2.0);
  // A reference on the centre has no direction: no copy, no NaN.
  click(As_Pt(0, 0, 0));
  click(As_Pt(0, 0, 0));
  click(As_Pt(0, 10, 0));
  EXPECT_EQ(copy_angles().size(), 1u);

  command(32836);
  click(As_Pt(0, -10, 0));
  click(As_Pt(0, 10, 0));  // the y axis
  ASSERT_EQ(copy_angles().size(), 2u);
  EXPECT_NEAR(std::fabs(copy_angles()[1]), 180, 2.0);
  click(As_Pt(5, 5, 0));
  click(As_Pt(5, 5, 0));  // one point: no line to mirror in
  EXPECT_EQ(copy_angles().size(), 2u);
  for (MB_Object* o = op_->drawing()->object_list().head(); o; o = o->next()) {
    const As_Pt s = static_cast<MB_Line*>(o)->start();
    EXPECT_TRUE(std::isfinite(s.x()) && std::isfinite(s.y()));
  }
  // Each edit was one command; the degenerate clicks recorded none.
  As_Void_List touched;
  op_->undo(touched);
  EXPECT_EQ(copy_angles().size(), 1u);
}

TEST_F(EditingTest, ZoomWindowIsRecordedAndPanIsNot) {
  command(32785);
  click(As_Pt(0, 0, 0));
  click(As_Pt(20, 20, 0));
  const As_Tran first = op_->draw_render()->drawing_to_screen();
  EXPECT_GT(first.scaling(), 4.0);
  click(As_Pt(5, 5, 0));
  click(As_Pt(15, 15, 0));
  EXPECT_EQ(op_->draw_render()->view_undo_redo()->count(), 2);  // two views recorded

  command(32783);
  const As_Tran zoomed = op_->draw_render()->drawing_to_screen();
  click(As_Pt(8, 8, 0));
  const As_Pt p = As_Pt(8, 8, 0) * op_->draw_render()->drawing_to_screen();
  qm_user_mouse(hosted_->view()->m_hWnd, WM_MOUSEMOVE, int(p.x()) + 30, int(p.y()));
  pump();
  EXPECT_FALSE(op_->draw_render()->drawing_to_screen() == zoomed);  // panned
  click(As_Pt(8, 8, 0), WM_LBUTTONUP);
  click(As_Pt(8, 8, 0), WM_RBUTTONDOWN);  // ends the tool
  EXPECT_NE(op_->get_active_tool_id(), -100);
  // The pan is not in the history: one step back is the first zoom.
  EXPECT_EQ(op_->draw_render()->view_undo_redo()->count(), 2);
  op_->display_next_view();
  EXPECT_NEAR(op_->draw_render()->drawing_to_screen().scaling(), first.scaling(), 1e-9 * first.scaling());
}

TEST_F(EditingTest, TheMeasureReadoutGivesCoordinatesAreaAndPerimeter) {
  command(32830);
  ASSERT_EQ(op_->get_active_tool_id(), -401);
  MeasureTool* tool = static_cast<MeasureTool*>(op_->get_active_tool());
  EXPECT_TRUE(tool->readout().area.empty());  // no click: coordinates only
  click(As_Pt(0, 0, 0));
  click(As_Pt(30, 0, 0));
  const As_Pt s = As_Pt(30, 40, 0) * op_->draw_render()->drawing_to_screen();
  qm_user_mouse(hosted_->view()->m_hWnd, WM_MOUSEMOVE, int(s.x()), int(s.y()));
  pump();
  // Three points (0,0), (30,0) and the cursor near (30,40): a right
  // triangle of area about 600 and perimeter about 120, closing side included.
  const MeasureTool::Readout r = tool->readout();
  EXPECT_NEAR(std::atof(r.area.c_str()), 600, 30 * pixel() + 20);
  EXPECT_NEAR(std::atof(r.perimeter.c_str()), 120, 4 * pixel() + 2);
  EXPECT_EQ(r.coordinates.rfind("X:", 0), 0u);
}

}  // namespace
}  // namespace control_test
