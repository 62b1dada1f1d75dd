// The search, open-URL and version dialogs.
#include "control/dialogs/view_dialogs.h"

#include <cstdio>
#include <cstring>

#include "control/control_ids.h"
#include "control/control_texts.h"
#include "control/quill_view.h"
#include "database/entities/mb_text.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"

namespace {

constexpr DWORD kPopupStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kField = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

}  // namespace

// ---- Search ----

BEGIN_MESSAGE_MAP(SearchTextDialog, CDialog)
ON_BN_CLICKED(quill::kSearchNext, OnFindNext)
END_MESSAGE_MAP()

SearchTextDialog::SearchTextDialog(MB_Drawing* drawing, CWnd* parent)
    : CDialog(quill::kDialogSearchText, parent), drawing_(drawing) {}

void SearchTextDialog::register_template() {
  using namespace quill;
  QmDialogTemplate t{kDialogSearchText, kTextSearchTitle, kPopupStyle, 0, 0, 162, 67, {}};
  t.items = {
      {0xFFFF, WC_BUTTONA, kTextSearchGroup, BS_GROUPBOX, 7, 7, 148, 30},
      {kSearchText, WC_EDITA, "", kField, 14, 18, 134, 13},
      {kSearchNext, WC_BUTTONA, kTextSearchNext, BS_DEFPUSHBUTTON | WS_TABSTOP, 7, 44, 60, 14},
      {IDCANCEL, WC_BUTTONA, kTextSearchExit, BS_PUSHBUTTON | WS_TABSTOP, 72, 44, 40, 14},
      {kSearchStatus, WC_STATICA, kTextSearchReady, 0, 116, 47, 44, 8},
  };
  AfxRegisterDialog(t);
}

void SearchTextDialog::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, quill::kSearchText, search_text);
}

void SearchTextDialog::find_next() {
  UpdateData(TRUE);
  if (!drawing_) return;
  if (!position_) {
    position_ = drawing_->object_list().head();
    SetDlgItemText(quill::kSearchStatus, quill::kTextSearchStarted);
    if (!position_) return;
  }
  const char* wanted = search_text;
  for (MB_Object* o = position_; o; o = o->next()) {
    if (o->object_id() != MB_Object::ID_TEXT) continue;
    if (static_cast<MB_Text*>(o)->bytes().find(wanted) != std::string::npos) {
      position_ = o;
      return;
    }
  }
  position_ = nullptr;  // the next search starts again at the first entity
}

// ---- Open URL ----

OpenUrlDialog::OpenUrlDialog(CWnd* parent) : CDialog(quill::kDialogOpenUrl, parent) {}

void OpenUrlDialog::register_template() {
  using namespace quill;
  QmDialogTemplate t{kDialogOpenUrl, kTextOpenUrlTitle, kPopupStyle, 0, 0, 238, 72, {}, {quill::kFaceDialog, quill::kPointsDialog}};
  t.items = {
      {0xFFFF, WC_STATICA, kTextOpenUrlLabel, 0, 7, 9, 50, 8},
      {kOpenUrlAddress, WC_COMBOBOXA, "", CBS_DROPDOWN | WS_TABSTOP, 60, 7, 171, 60},
      {0xFFFF, WC_STATICA, kTextOpenUrlExample, 0, 60, 25, 171, 8},
      {IDOK, WC_BUTTONA, kTextOk, BS_DEFPUSHBUTTON | WS_TABSTOP, 126, 51, 50, 14},
      {IDCANCEL, WC_BUTTONA, kTextCancel, BS_PUSHBUTTON | WS_TABSTOP, 181, 51, 50, 14},
  };
  AfxRegisterDialog(t);
}

void OpenUrlDialog::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_CBString(dx, quill::kOpenUrlAddress, address);
}

void OpenUrlDialog::OnOK() {
  UpdateData(TRUE);
  EndDialog(IDOK);
}

// ---- Version ----

VersionInfoDialog::VersionInfoDialog(CQuillView* view, CWnd* parent)
    : CDialog(quill::kDialogVersionInfo, parent), view_(view) {}

void VersionInfoDialog::register_template() {
  using namespace quill;
  QmDialogTemplate t{kDialogVersionInfo, kTextVersionTitle, kPopupStyle, 0, 0, 269, 125, {}, {quill::kFaceDialog, quill::kPointsDialog}};
  t.items = {
      {IDOK, WC_BUTTONA, kTextOk, BS_DEFPUSHBUTTON | WS_TABSTOP, 212, 7, 50, 14},
      {0xFFFF, WC_STATICA, kIconControlName, SS_ICON, 7, 7, 20, 20},
      {0xFFFF, WC_STATICA, kTextVersion, 0, 40, 10, 165, 8},
  };
  for (int i = 0; i < 3; ++i) t.items.push_back({0xFFFF, WC_STATICA, kTextAboutLines[i], 0, 40, 22 + 10 * i, 165, 8});
  t.items.push_back({kVersionText, WC_EDITA, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER, 7, 56, 255, 62});
  AfxRegisterDialog(t);
}

CString VersionInfoDialog::information(CQuillView* view) {
  char versions[256];
  std::snprintf(versions, sizeof versions, quill::kTextVersionLines, static_cast<int>(g_app_version),
                static_cast<int>(g_open_version), static_cast<int>(g_save_version));
  std::string text = versions;
  text += "\r\n";
  text += quill::kTextCurrentFile;
  if (view) text += static_cast<const char*>(view->opened_path());
  text += "\r\n";
  text += quill::kTextDrawingFile;
  if (view) text += static_cast<const char*>(view->base_document());
  return CString(text.c_str());
}

BOOL VersionInfoDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(quill::kVersionText, information(view_));
  return TRUE;
}
