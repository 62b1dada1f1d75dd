// Three small dialogs the view's commands open: the text search, the
// address of a drawing to open, and the versions with the view's files.
// None of them changes the drawing.
#pragma once

#include <afxwin.h>

class MB_Drawing;
class MB_Object;
class CQuillView;

// Walks the drawing to the next text entity holding the search text (case
// sensitive), from where the last search stopped, that entity included;
// past the last entity the next search starts again at the first. The
// entity it stops on is only its position.
class SearchTextDialog : public CDialog {
  DECLARE_MESSAGE_MAP()
 public:
  explicit SearchTextDialog(MB_Drawing* drawing, CWnd* parent = nullptr);
  static void register_template();

  CString search_text;
  MB_Object* position() const { return position_; }
  void find_next();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  afx_msg void OnFindNext() { find_next(); }

 private:
  MB_Drawing* drawing_;
  MB_Object* position_ = nullptr;
};

// The address of a drawing to open; the caller opens it after OK.
class OpenUrlDialog : public CDialog {
 public:
  explicit OpenUrlDialog(CWnd* parent = nullptr);
  static void register_template();

  CString address;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
};

// The kernel's versions and the paths of a view's documents (empty without
// a view).
class VersionInfoDialog : public CDialog {
 public:
  explicit VersionInfoDialog(CQuillView* view, CWnd* parent = nullptr);
  static void register_template();

  // The information text the dialog shows for the view.
  static CString information(CQuillView* view);

 protected:
  BOOL OnInitDialog() override;

 private:
  CQuillView* view_;
};
