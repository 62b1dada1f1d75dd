// The search, open-URL and version dialogs, driven by scripts as a user
// would fill them.
#include "control/control_ids.h"
#include "control/control_texts.h"
#include "control/dialogs/view_dialogs.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_text.h"
#include "tests/control/control_fixture.h"

namespace control_test {
namespace {

class ViewDialogsTest : public ToolTest {
 protected:
  MB_Text* add_text(const char* s) {
    MB_Text* t = new MB_Text(As_Pt(0, 0, 0), MB_String(s));
    op_->drawing()->add_object(t);
    return t;
  }
  static void press(CDialog& d, UINT id) { ::SendMessageA(::GetDlgItem(d.m_hWnd, id), BM_CLICK, 0, 0); }
};

TEST_F(ViewDialogsTest, SearchStopsOnMatchingTextsAndStartsOverPastTheEnd) {
  op_->drawing()->add_object(new MB_Line(As_Pt(0, 0, 0), As_Pt(1, 1, 0)));
  MB_Text* ab = add_text("xABy");
  add_text("ab");
  SearchTextDialog dialog(op_->drawing());
  AfxPushDialogScript(quill::kDialogSearchText, [&](CDialog& d) {
    CString status;
    d.GetDlgItemText(quill::kSearchStatus, status);
    EXPECT_EQ(status, quill::kTextSearchReady);
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kSearchText), "AB");
    press(d, quill::kSearchNext);
    d.GetDlgItemText(quill::kSearchStatus, status);
    EXPECT_EQ(status, quill::kTextSearchStarted);
    EXPECT_EQ(dialog.position(), ab);
    press(d, quill::kSearchNext);
    EXPECT_EQ(dialog.position(), ab) << "the search includes where it stopped";
    qm_user_type(::GetDlgItem(d.m_hWnd, quill::kSearchText), "aB");  // case matters: no text holds "aB"
    press(d, quill::kSearchNext);
    EXPECT_EQ(dialog.position(), nullptr) << "past the end: the next search starts at the first entity";
    press(d, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  SearchTextDialog empty(nullptr);
  empty.find_next();  // no drawing: nothing happens
  EXPECT_EQ(empty.position(), nullptr);
}

TEST_F(ViewDialogsTest, TheUrlDialogHandsBackTheAddress) {
  OpenUrlDialog dialog;
  AfxPushDialogScript(quill::kDialogOpenUrl, [](CDialog& d) {
    ::SetWindowTextA(::GetDlgItem(d.m_hWnd, quill::kOpenUrlAddress), "http://host/plan.DXF");
    press(d, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.address, "http://host/plan.DXF");
}

TEST_F(ViewDialogsTest, TheVersionTextNamesTheVersionsAndTheViewsFiles) {
  const std::string versions =
      "\xd3\xa6\xd3\xc3\xb3\xcc\xd0\xf2\xb0\xe6\xb1\xbe:100 \r\n\xb4\xf2\xbf\xaa\xb0\xe6\xb1\xbe:100  \r\n"
      "\xb1\xa3\xb4\xe6\xb0\xe6\xb1\xbe:100";
  const std::string lines = std::string("\r\n") + quill::kTextCurrentFile + "\r\n" + quill::kTextDrawingFile;
  EXPECT_EQ(std::string(VersionInfoDialog::information(hosted_->view())), versions + lines);
  EXPECT_EQ(std::string(VersionInfoDialog::information(nullptr)), versions + lines);
  hosted_->view()->opened_path() = "a.qlf";
  hosted_->view()->base_document() = "b.dwg";
  VersionInfoDialog dialog(hosted_->view());
  AfxPushDialogScript(quill::kDialogVersionInfo, [&](CDialog& d) {
    CString shown;
    d.GetDlgItemText(quill::kVersionText, shown);
    EXPECT_EQ(std::string(shown), versions + "\r\n" + quill::kTextCurrentFile + "a.qlf\r\n" +
                                      quill::kTextDrawingFile + "b.dwg");
    press(d, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

}  // namespace
}  // namespace control_test
