// The text-entry dialog: a text with its height, angle, width factor and
// oblique angle, for the text tool. The four numbers come back as the
// texts typed; converting them is the caller's.
#pragma once

#include <afxwin.h>

class TextEntryDialog : public CDialog {
 public:
  explicit TextEntryDialog(CWnd* parent = nullptr);

  CString text;
  CString height, angle, width_factor, oblique_angle;

  // The dialog's template (dialog 134), registered once with the control's.
  static void register_template();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
};
