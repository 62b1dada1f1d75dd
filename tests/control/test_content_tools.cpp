// The tools that place prepared content, through the view's commands and
// synthetic mouse messages: the freehand redline, the image, the text with
// its dialog, the dimension preview; and the command-to-tool table as a
// whole.
#include <ximage.h>

#include <cmath>
#include <cstring>

#include "control/control_ids.h"
#include "control/dialogs/text_entry_dialog.h"
#include "control/tools/content_tools.h"
#include "control/tools/tool_commands.h"
#include "database/entities/mb_block.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "display/mb_draw_render.h"
#include "tests/control/control_fixture.h"
#include "tests/support/test_temp.h"

namespace control_test {
namespace {

class ContentToolTest : public ToolTest {
 protected:
  void SetUp() override {
    AfxClearDialogs();
    ToolTest::SetUp();
  }
  As_Pt drawing_point(int x, int y) { return As_Pt(x, y, 0) * op_->draw_render()->screen_to_drawing(); }
};

constexpr const char* kCreatePolyline = "\xb4\xb4\xbd\xa8\xd5\xdb\xcf\xdf";  // 创建折线
constexpr const char* kInsertImage = "\xb2\xe5\xc8\xeb\xcd\xbc\xc6\xac";     // 插入图片

TEST_F(ContentToolTest, EveryCommandStartsItsToolWithItsTitle) {
  struct Row {
    UINT command;
    long tool;
  } rows[] = {{32783, -100}, {32785, -101}, {32778, -201}, {32780, -202}, {32786, -203}, {32805, -204},
              {32807, -205}, {32806, -206}, {32801, -208}, {32803, -209}, {32809, -212}, {32808, -214},
              {32792, -215}, {32773, -216}, {32843, -218}, {32817, -230}, {32799, -231}, {32810, -232}, {32811, -240},
              {32798, -300}, {32840, -302}, {32838, -305}, {32836, -307}, {32830, -401}};
  // What the block and editing commands need first: a block and a selection.
  op_->drawing()->block_list().add_tail(new MB_Block(As_Pt(), "b", "d"));
  auto* line = new MB_Line(As_Pt(0, 0, 0), As_Pt(10, 0, 0));
  line->build_draw();
  entities().add_tail(line);
  for (const Row& r : rows) {
    op_->add_entity_to_selection(line, false);
    const Tool_Command* c = find_tool_command(r.command);
    ASSERT_NE(c, nullptr) << r.command;
    EXPECT_EQ(c->tool, r.tool) << r.command;
    command(r.command);  // dialogs the tools open are cancelled: no script
    EXPECT_EQ(op_->get_active_tool_id(), r.tool) << r.command;
    ASSERT_NE(op_->get_active_tool(), nullptr);
    EXPECT_STREQ(op_->get_active_tool()->title().ascii(), c->title) << r.command;
  }
  EXPECT_STREQ(find_tool_command(32843)->title, "\xcd\xbd\xca\xd6\xbb\xe6\xbb\xad");  // 徒手绘画
  EXPECT_STREQ(find_tool_command(32817)->title, "\xb4\xb4\xbd\xa8\xce\xc4\xd7\xd6");  // 创建文字
}

TEST_F(ContentToolTest, AToolsCursorIsTheViewsClassCursorUntilTheToolEnds) {
  HWND view = hosted_->view()->m_hWnd;
  const auto class_cursor = [&] { return reinterpret_cast<HCURSOR>(::GetClassLongPtrA(view, GCL_HCURSOR)); };
  const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
  for (const auto& [command_id, cursor] : {std::pair<UINT, const char*>{32785, "IDC_ZOOM_WINDOW_CUR"},
                                           {32843, "IDC_CURSOR_REDLINE"},
                                           {32830, "IDC_MEASURE_DIST"}}) {
    command(command_id);
    EXPECT_EQ(class_cursor(), ::LoadCursorA(AfxGetInstanceHandle(), cursor)) << cursor;
    move(300, 300);
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(AfxGetInstanceHandle(), cursor)) << "it stays while the pointer moves";
    command(32798);  // the next command ends the tool, which puts the arrow back
    EXPECT_EQ(class_cursor(), arrow) << cursor;
  }
}

TEST_F(ContentToolTest, ARedlineStrokeBecomesAClosedWideMarkedPolyline) {
  command(32843);
  // Two clicks without moving between them: a closed two-vertex polyline.
  at(WM_LBUTTONDOWN, 100, 100);
  at(WM_LBUTTONDOWN, 100, 100);
  at(WM_RBUTTONDOWN, 100, 100);
  ASSERT_EQ(entities().count(), 1);
  auto* pline = static_cast<MB_Polyline*>(entities().tail());
  ASSERT_EQ(pline->object_id(), MB_Object::ID_POLYLINE);
  EXPECT_TRUE(pline->closed());
  ASSERT_EQ(pline->count(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(pline->pline_pos()[i].start_width, 5.0);
    EXPECT_EQ(pline->pline_pos()[i].end_width, 5.0);
    EXPECT_EQ(pline->pline_pos()[i].bulge, 0.0);
  }
  EXPECT_STREQ(pline->get_string(MB_PROP_XDATA_TEXT), "@redline");
  EXPECT_STREQ(last_command(), kCreatePolyline);
  EXPECT_EQ(op_->get_active_tool_id(), quill::kToolRedline) << "the tool stays for the next stroke";

  // A dragged stroke takes the cursor's path, each point once.
  at(WM_LBUTTONDOWN, 200, 200);
  move(210, 200);
  move(210, 200);
  move(220, 210);
  at(WM_RBUTTONDOWN, 220, 210);
  ASSERT_EQ(entities().count(), 2);
  pline = static_cast<MB_Polyline*>(entities().tail());
  ASSERT_EQ(pline->count(), 3);
  const As_Pt want = drawing_point(210, 200);
  EXPECT_NEAR(pline->pline_pos()[1].point.x(), want.x(), 1e-9);
  EXPECT_NEAR(pline->pline_pos()[1].point.y(), want.y(), 1e-9);

  // One point and a right click: nothing; no point: the tool ends.
  at(WM_LBUTTONDOWN, 300, 100);
  qm_user_mouse(hosted_->view()->m_hWnd, WM_RBUTTONDOWN, 300, 100);
  pump();
  EXPECT_EQ(entities().count(), 2);
  EXPECT_EQ(op_->get_active_tool_id(), quill::kToolRedline);
  undo();
  EXPECT_EQ(entities().count(), 1) << "each stroke is one undoable command";
}

TEST_F(ContentToolTest, ARedlineGoesToTheDrawingOfItsViewWhicheverControlCameLast) {
  Hosted later;  // its drawing is now the kernel's current one
  MB_Drawing* other = later.view()->operation().drawing();
  ASSERT_NE(other, op_->drawing());
  command(32843);
  at(WM_LBUTTONDOWN, 100, 100);
  at(WM_LBUTTONDOWN, 140, 100);
  at(WM_RBUTTONDOWN, 140, 100);
  EXPECT_EQ(entities().count(), 1);
  EXPECT_EQ(other->object_list().count(), 0);
  EXPECT_EQ(g_current_drawing, other) << "the current drawing is left as it was";
}

TEST_F(ContentToolTest, TheImageToolPlacesTheChosenImageAtTheClickAndEnds) {
  const std::string path = qm_test_temp("tool_image.bmp");
  CxImage raster;
  raster.Create(8, 4, 24);
  ASSERT_TRUE(raster.Save(path.c_str(), CXIMAGE_FORMAT_BMP));
  qm_user_push_file_dialog_answer(path.c_str());
  command(32792);
  ASSERT_FALSE(qm_user_file_dialogs().empty());
  EXPECT_EQ(qm_user_file_dialogs().back().default_ext, "bmp");
  EXPECT_EQ(qm_user_file_dialogs().back().owner, hosted_->view()->m_hWnd) << "opens over the drawing and blocks it";
  ASSERT_EQ(entities().count(), 1) << "the image joins the drawing when it is chosen";
  auto* image = static_cast<MB_Image*>(entities().tail());
  ASSERT_EQ(image->object_id(), MB_Object::ID_IMAGE);
  const int commands_before = commands();
  at(WM_LBUTTONDOWN, 150, 120);
  const As_Pt want = drawing_point(150, 120);
  EXPECT_NEAR(image->center().x(), want.x(), 1e-9);
  EXPECT_NEAR(image->center().y(), want.y(), 1e-9);
  EXPECT_STREQ(last_command(), kInsertImage);
  EXPECT_EQ(commands(), commands_before + 1);
  EXPECT_EQ(op_->get_active_tool(), nullptr) << "the image tool places once";
  std::remove(path.c_str());
}

TEST_F(ContentToolTest, ACancelledImageToolClosesAnEmptyCommandAndEnds) {
  command(32792);  // no answer queued: the file dialog is cancelled
  EXPECT_EQ(entities().count(), 0);
  at(WM_LBUTTONDOWN, 150, 120);
  EXPECT_EQ(entities().count(), 0);
  EXPECT_STREQ(last_command(), kInsertImage);
  EXPECT_EQ(op_->get_active_tool(), nullptr);
}

TEST_F(ContentToolTest, TheTextToolPlacesCopiesOfTheDialogsText) {
  AfxPushDialogScript(quill::kDialogTextEntry, [](CDialog& d) {
    CString seen;
    // What the user first sees.
    d.GetDlgItemText(quill::kTextEntryText, seen);
    EXPECT_EQ(seen, "Create Text Demo");
    const std::pair<UINT, const char*> initial[] = {{quill::kTextEntryHeight, "10."},
                                                    {quill::kTextEntryAngle, "0."},
                                                    {quill::kTextEntryWidthFactor, "1."},
                                                    {quill::kTextEntryOblique, "0."}};
    for (const auto& [id, text] : initial) {
      d.GetDlgItemText(id, seen);
      EXPECT_EQ(seen, text) << id;
    }
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kTextEntryText), "AB");
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kTextEntryHeight), "5");
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kTextEntryAngle), "90");
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kTextEntryWidthFactor), "0.8");
    ::SendMessageA(::GetDlgItem(d.m_hWnd, IDOK), BM_CLICK, 0, 0);
  });
  command(32817);
  auto* tool = dynamic_cast<TextTool*>(op_->get_active_tool());
  ASSERT_NE(tool, nullptr);
  ASSERT_NE(tool->prototype(), nullptr);
  const MB_Text_Style& style = tool->prototype()->text_style();
  EXPECT_EQ(style.height(), 5.0);
  EXPECT_NEAR(style.angle(), M_PI / 2, 1e-15);
  EXPECT_EQ(style.width_scale(), 0.8);
  EXPECT_EQ(style.oblique_angle(), 0.0);
  EXPECT_EQ(tool->prototype()->general().color(), 0xFF00FF);
  EXPECT_EQ(entities().count(), 0) << "the prototype stays out of the drawing";

  at(WM_LBUTTONDOWN, 120, 80);
  at(WM_LBUTTONDOWN, 220, 80);
  ASSERT_EQ(entities().count(), 2) << "one copy per click; the tool stays";
  auto* text = static_cast<MB_Text*>(entities().tail());
  EXPECT_EQ(text->bytes(), "AB");
  const As_Pt want = drawing_point(220, 80);
  EXPECT_NEAR(text->base_pos().x(), want.x(), 1e-9);
  EXPECT_NEAR(text->base_pos().y(), want.y(), 1e-9);
  // Each placement is a change of its own: undone one at a time, and the
  // drawing counts as changed, so closing it asks first.
  EXPECT_GT(op_->drawing()->edit_count(), 0u);
  undo();
  ASSERT_EQ(entities().count(), 1);
  EXPECT_EQ(static_cast<MB_Text*>(entities().head())->bytes(), "AB");
  undo();
  EXPECT_EQ(entities().count(), 0);
}

TEST_F(ContentToolTest, ACancelledTextDialogPlacesNothing) {
  command(32817);  // no script: the dialog is cancelled
  ASSERT_FALSE(AfxDialogsShown().empty());
  EXPECT_EQ(AfxDialogsShown().back().caption, "Text Dialog");
  EXPECT_EQ(AfxDialogsShown().back().result, IDCANCEL);
  at(WM_LBUTTONDOWN, 120, 80);
  EXPECT_EQ(entities().count(), 0);
  EXPECT_EQ(op_->get_active_tool_id(), quill::kToolText);
}

TEST_F(ContentToolTest, TheDimensionToolOnlyPreviews) {
  command(32811);
  for (POINT p : {POINT{100, 100}, POINT{200, 100}}) at(WM_LBUTTONDOWN, p.x, p.y);
  move(150, 60);
  move(150, 60);
  at(WM_LBUTTONDOWN, 100, 100);  // the first point again: no direction
  move(120, 40);
  EXPECT_EQ(entities().count(), 0);
  EXPECT_EQ(op_->get_active_tool_id(), quill::kToolDimension);
}

}  // namespace
}  // namespace control_test
