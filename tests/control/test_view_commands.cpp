// The view's commands as the toolbars and menus send them: preconditions
// with their exact refusals, checked buttons and undo states through the
// idle update, the zoom commands, the dialogs, help beside the control's
// library and the interface menu.
#include <afxext.h>
#include <shellapi.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "control/control_texts.h"
#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"
#include "display/mb_draw_render.h"
#include "tests/control/control_fixture.h"

namespace control_test {
namespace {

class ViewCommandTest : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    qm_user_clear_message_boxes();
    qm_user_clear_shell_requests();
  }
  MB_Line* add_line() {
    op_->undo_redo()->rec_cmd_begin("add");
    MB_Line* line = new MB_Line(As_Pt(0, 0, 0), As_Pt(10, 0, 0));
    op_->drawing()->add_object(line);
    op_->undo_redo()->rec_cmd_end();
    line->build_draw();
    return line;
  }
  std::vector<std::string> messages() {
    std::vector<std::string> texts;
    for (const QmMessageBox& m : qm_user_message_boxes()) texts.push_back(m.text);
    return texts;
  }
  // One tick of the control's idle timer: every button's state is asked.
  void idle() {
    qm_user_advance_clock(quill::kIdleTimerPeriod);
    pump();
  }
  UINT style_of(QuillToolBar& bar, UINT command) {
    const int i = bar.CommandToIndex(command);
    EXPECT_GE(i, 0) << command;
    return i < 0 ? 0 : bar.GetButtonStyle(i);
  }
};

TEST_F(ViewCommandTest, ACommandWhosePreconditionFailsTellsWhyAndStartsNoTool) {
  const struct {
    UINT command;
    const char* refusal;
  } cases[] = {
      {32840, quill::kTextSelectBeforeRotate}, {32838, quill::kTextSelectBeforeArray},
      {32836, quill::kTextSelectBeforeMirror}, {32774, quill::kTextSelectBeforeBlock},
      {32773, quill::kTextNoBlocks},
  };
  add_line();  // in the drawing but not selected
  for (const auto& c : cases) {
    op_->clear_all_tools();
    qm_user_clear_message_boxes();
    command(c.command);
    EXPECT_EQ(messages(), std::vector<std::string>{c.refusal}) << c.command;
    EXPECT_EQ(op_->get_active_tool(), nullptr) << c.command;
  }
}

TEST_F(ViewCommandTest, WithASelectionTheEditingCommandsStartTheirTools) {
  op_->add_entity_to_selection(add_line(), false);
  for (const auto& [command_id, tool] : {std::pair{32840u, quill::kToolRotate}, {32836u, quill::kToolMirror}}) {
    command(command_id);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(op_->get_active_tool_id(), tool);
  }
}

TEST_F(ViewCommandTest, TheIdleUpdateChecksTheActiveToolsButtonAndEnablesUndoOnlyWithHistory) {
  QuillToolBar& creation = hosted_->frame()->creation_bar();
  idle();
  EXPECT_TRUE(style_of(creation, quill::kCommandUndo) & TBBS_DISABLED);
  EXPECT_TRUE(style_of(creation, quill::kCommandRedo) & TBBS_DISABLED);

  command(32780);
  idle();
  EXPECT_TRUE(style_of(creation, 32780) & TBBS_CHECKED);
  EXPECT_FALSE(style_of(creation, 32778) & TBBS_CHECKED);

  at(WM_LBUTTONDOWN, 100, 100);
  at(WM_LBUTTONDOWN, 200, 150);
  idle();
  EXPECT_FALSE(style_of(creation, quill::kCommandUndo) & TBBS_DISABLED);

  // The tool ended: no button is checked until a move installs the select
  // tool, which checks its own.
  op_->clear_all_tools();
  idle();
  EXPECT_FALSE(style_of(creation, 32780) & TBBS_CHECKED);
  move(50, 50);
  idle();
  EXPECT_TRUE(style_of(hosted_->frame()->standard_bar(), 32798) & TBBS_CHECKED);
}

TEST_F(ViewCommandTest, EveryButtonWithAHandlerIsEnabledIncludingTheOnesThatDoNothing) {
  idle();
  QuillToolBar& modify = hosted_->frame()->modify_bar();
  for (UINT id : {32834u, 32839u, 32841u, 32842u, 32837u, 32773u})
    EXPECT_FALSE(style_of(modify, id) & TBBS_DISABLED) << id;
  const int before = count();
  for (UINT id : quill::kCommandsDoingNothing) command(id);
  EXPECT_EQ(count(), before);
  EXPECT_TRUE(messages().empty());
}

TEST_F(ViewCommandTest, DeleteIsOneUndoableCommand) {
  op_->add_entity_to_selection(add_line(), false);
  command(quill::kCommandDelete);
  EXPECT_EQ(count(), 0);
  EXPECT_STREQ(last_command(), quill::kTextDelete);
  command(quill::kCommandUndo);
  EXPECT_EQ(count(), 1);
}

TEST_F(ViewCommandTest, ZoomCommandsScaleTheViewAndNewKeepsTheZoom) {
  add_line();
  command(quill::kCommandZoomAll);
  const double fitted = op_->draw_render()->screen_to_drawing().scaling();
  command(quill::kCommandZoomIn);
  EXPECT_NEAR(op_->draw_render()->screen_to_drawing().scaling(), fitted / 1.2, fitted * 1e-9);
  command(quill::kCommandZoomOut);
  const double zoomed = op_->draw_render()->screen_to_drawing().scaling();
  EXPECT_NEAR(zoomed, fitted / 1.2 / 0.8, fitted * 1e-9);

  qm_user_push_message_box_answer(IDNO);  // the unsaved line is discarded
  command(quill::kCommandNew);
  EXPECT_EQ(count(), 0);
  EXPECT_STREQ(op_->drawing()->name().ascii(), quill::kTextNewDrawing);
  EXPECT_NEAR(op_->draw_render()->screen_to_drawing().scaling(), zoomed, zoomed * 1e-9);
  EXPECT_FALSE(op_->is_can_undo());
}

TEST_F(ViewCommandTest, TheZoomMessagesAreShownAsTheyStand) {
  command(quill::kCommandFreeZoom);
  command(quill::kCommandZoom3d);
  EXPECT_EQ(messages(), (std::vector<std::string>{quill::kTextFreeZoom, quill::kTextNoZoom3d}));
}

TEST_F(ViewCommandTest, HelpOpensThePageBesideTheControlsLibraryOrSaysItIsMissing) {
  // The page the build puts there; set aside a moment to see it missing.
  const std::string page = CQuillView::help_path();
  ASSERT_NE(page.find("/help.htm"), std::string::npos);
  std::ifstream shipped(page);
  ASSERT_TRUE(shipped.good()) << page;
  const std::string aside = page + ".aside";
  ASSERT_EQ(std::rename(page.c_str(), aside.c_str()), 0);
  command(quill::kCommandHelp);
  ASSERT_EQ(std::rename(aside.c_str(), page.c_str()), 0);
  EXPECT_EQ(messages(), std::vector<std::string>{quill::kTextHelpMissing});
  EXPECT_TRUE(qm_user_shell_requests().empty());

  qm_user_clear_message_boxes();
  command(quill::kCommandHelp);
  EXPECT_TRUE(messages().empty());
  ASSERT_EQ(qm_user_shell_requests().size(), 1u);
  EXPECT_EQ(qm_user_shell_requests()[0].verb, "open");
  EXPECT_EQ(qm_user_shell_requests()[0].file, page);
  EXPECT_EQ(qm_user_shell_requests()[0].show, SW_SHOWNORMAL);

  command(quill::kCommandOnlineHelp);
  ASSERT_EQ(qm_user_shell_requests().size(), 2u);
  EXPECT_EQ(qm_user_shell_requests()[1].file, quill::kTextOnlineHelpAddress);
}

TEST_F(ViewCommandTest, TheInterfaceMenuPopsUpWithItsEntriesAndTheButtonsHaveTooltips) {
  qm_user_clear_popups();
  command(quill::kCommandInterfaceMenu);
  ASSERT_EQ(qm_user_popups_shown().size(), 1u);
  const QmPopupShown& shown = qm_user_popups_shown()[0];
  EXPECT_TRUE(shown.flags & TPM_RIGHTBUTTON);
  std::vector<UINT> ids;
  for (const auto& item : shown.items) ids.push_back(item.id);
  EXPECT_EQ(ids, (std::vector<UINT>{32844, 32845, 32847, 32846, 0, 32852, 32849, 32850}));
  EXPECT_TRUE(shown.items[2].flags & MF_GRAYED);
  EXPECT_EQ(shown.items[1].text, quill::kTextMenuModifyBar);

  CString tip;
  ASSERT_TRUE(tip.LoadString(32780));
  EXPECT_STREQ(static_cast<const char*>(tip), "\n\xb4\xb4\xbd\xa8\xd6\xb1\xcf\xdf");  // 创建直线
}

TEST_F(ViewCommandTest, OpenUrlOpensTheTypedAddressAndCancelLeavesTheDrawing) {
  add_line();
  AfxPushDialogScript(quill::kDialogOpenUrl, [](CDialog& d) { d.EndDialog(IDCANCEL); });
  command(quill::kCommandOpenUrl);
  EXPECT_EQ(count(), 1);
  const std::string missing = ::testing::TempDir() + "no-such-drawing.qlf";
  AfxPushDialogScript(quill::kDialogOpenUrl, [&](CDialog& d) {
    d.SetDlgItemText(quill::kOpenUrlAddress, missing.c_str());
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  qm_user_push_message_box_answer(IDNO);  // the unsaved line may go
  command(quill::kCommandOpenUrl);
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(messages().front().rfind(quill::kTextAskToSave, 0), 0u);
  EXPECT_EQ(messages().back(), quill::kTextFileNotFound);
  EXPECT_EQ(count(), 1);
}

}  // namespace
}  // namespace control_test

namespace control_test {
namespace {

TEST_F(ViewCommandTest, TheMenuTogglesAndTheHostsPropertiesShareOneSetOfFlags) {
  CQuillFrame* frame = hosted_->frame();
  CQuillmarkOcxCtrl& ctrl = hosted_->ctrl();
  command(quill::kCommandToggleCreationBar);
  EXPECT_FALSE(frame->creation_bar().IsVisible());
  EXPECT_FALSE(ctrl.GetDisplayCreateBar());
  ctrl.SetDisplayCreateBar(TRUE);
  EXPECT_TRUE(frame->creation_bar().IsVisible());
  command(quill::kCommandToggleCreationBar);
  EXPECT_FALSE(ctrl.GetDisplayCreateBar());
  command(quill::kCommandToggleCreationBar);

  command(quill::kCommandToggleModifyBar);
  EXPECT_FALSE(frame->modify_bar().IsVisible());
  EXPECT_FALSE(ctrl.GetDisplayModifyBar());
  command(quill::kCommandToggleModifyBar);
  EXPECT_TRUE(frame->modify_bar().IsVisible());

  ctrl.SetDisplayControlBar(5);  // any value but 0 shows it
  EXPECT_TRUE(frame->side_bar().IsVisible());
  command(quill::kCommandToggleSideBar);
  EXPECT_FALSE(frame->side_bar().IsVisible());
  EXPECT_EQ(ctrl.GetDisplayControlBar(), FALSE);
  command(quill::kCommandToggleSideBar);
  EXPECT_TRUE(frame->side_bar().IsVisible());
}

}  // namespace
}  // namespace control_test
