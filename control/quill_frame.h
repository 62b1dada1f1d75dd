// The control's frame: three toolbars whose buttons send the view's
// commands (standard along the top, creation along the bottom, modify along
// the left) and the docking side bar (on the left) around the drawing view. The layout of its bars is kept in the
// application profile under "BarState" and restored only when every bar it
// names still exists.
//
// The process-wide current frame is the frame created last; it is cleared
// when that frame dies.
#pragma once

#include <afxext.h>

#include "control/side_panel_bar.h"

// A toolbar that shows its tooltips without help from the container: every
// message it receives passes the tooltip filter first.
class QuillToolBar : public CToolBar {
  DECLARE_DYNAMIC(QuillToolBar)
 public:
  explicit QuillToolBar(UINT resource = 0) : resource_(resource) {}
  UINT resource() const { return resource_; }
  // Creates the bar with its style and id and loads its buttons.
  BOOL Make(CFrameWnd* frame, DWORD style, UINT id);
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  UINT resource_;
};

// The bars the host's properties and the interface menu show and hide.
enum class Quill_Bar { kCreation, kStandard, kModify, kSide };
// Records whether the bar is shown, in the one set of flags the automation
// properties and the menu toggles share, then shows or hides it in the
// current frame, when there is one, and lays the frame out again.
void quill_show_bar(Quill_Bar bar, BOOL show);

class CQuillFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CQuillFrame)
  DECLARE_MESSAGE_MAP()
 public:
  CQuillFrame();
  ~CQuillFrame() override;

  QuillToolBar& creation_bar() { return creation_bar_; }
  QuillToolBar& standard_bar() { return standard_bar_; }
  QuillToolBar& modify_bar() { return modify_bar_; }
  // A fourth toolbar, made and destroyed with the frame but never created
  // as a window: it shows nothing and takes no commands.
  QuillToolBar& spare_bar() { return spare_bar_; }
  SidePanelBar& side_bar() { return side_bar_; }

  // The frame created last, or null once it is gone.
  static CQuillFrame* current() { return current_; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  // The bar layout is saved here, before the bars go, whether the frame
  // itself or the control around it is being destroyed.
  afx_msg void OnDestroy();

 private:
  // True when every bar the saved layout names exists in this frame.
  bool saved_layout_fits();

  QuillToolBar creation_bar_;
  QuillToolBar standard_bar_;
  QuillToolBar modify_bar_;
  QuillToolBar spare_bar_;
  SidePanelBar side_bar_;

  static CQuillFrame* current_;
};
