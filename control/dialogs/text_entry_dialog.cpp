// The text-entry dialog.
#include "control/dialogs/text_entry_dialog.h"

#include "control/control_ids.h"
#include "control/control_texts.h"

namespace {

// The initial texts of the number fields, as the user first sees them.
constexpr const char* kInitialHeight = "10.";
constexpr const char* kInitialAngle = "0.";
constexpr const char* kInitialWidthFactor = "1.";
constexpr const char* kInitialOblique = "0.";

}  // namespace

TextEntryDialog::TextEntryDialog(CWnd* parent)
    : CDialog(quill::kDialogTextEntry, parent), text(quill::kTextTextDemo) {}

void TextEntryDialog::register_template() {
  using namespace quill;
  QmDialogTemplate t{kDialogTextEntry, kTextTextDialogTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                     0, 0, 240, 101, {}, {kFaceTextDialog, kPointsTextDialog}};
  t.items = {
      {kTextEntryText, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 226, 14},
      {0xFFFF, WC_STATICA, kTextHeightLabel, 0, 7, 30, 50, 8},
      {kTextEntryHeight, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 60, 28, 50, 14},
      {0xFFFF, WC_STATICA, kTextAngleLabel, 0, 125, 30, 50, 8},
      {kTextEntryAngle, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 180, 28, 50, 14},
      {0xFFFF, WC_STATICA, kTextWidthFactorLabel, 0, 7, 50, 50, 8},
      {kTextEntryWidthFactor, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 60, 48, 50, 14},
      {0xFFFF, WC_STATICA, kTextObliqueLabel, 0, 125, 50, 50, 8},
      {kTextEntryOblique, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 180, 48, 50, 14},
      {IDOK, WC_BUTTONA, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 124, 80, 50, 14},
      {IDCANCEL, WC_BUTTONA, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 183, 80, 50, 14},
  };
  AfxRegisterDialog(t);
}

void TextEntryDialog::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, quill::kTextEntryText, text);
}

BOOL TextEntryDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(quill::kTextEntryHeight, kInitialHeight);
  SetDlgItemText(quill::kTextEntryAngle, kInitialAngle);
  SetDlgItemText(quill::kTextEntryWidthFactor, kInitialWidthFactor);
  SetDlgItemText(quill::kTextEntryOblique, kInitialOblique);
  return TRUE;
}

void TextEntryDialog::OnOK() {
  UpdateData(TRUE);
  GetDlgItemText(quill::kTextEntryHeight, height);
  GetDlgItemText(quill::kTextEntryAngle, angle);
  GetDlgItemText(quill::kTextEntryWidthFactor, width_factor);
  GetDlgItemText(quill::kTextEntryOblique, oblique_angle);
  EndDialog(IDOK);
}
