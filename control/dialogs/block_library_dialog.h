// The block library panel: lists the native drawings of the kernel's "lib"
// folder (and the drawing on screen), shows the blocks of the chosen one as
// a column of thumbnails and starts the insert-block tool on the block
// double-clicked. The same class serves as a page of the side panel and as
// the library's window of its own (quill_show_block_library).
//
// The drawing whose blocks are shown is either one the panel read and owns,
// or the current view's drawing, borrowed: the view tells every panel before
// its drawing goes (forget_drawing), so a borrowed drawing is never shown or
// freed after the view let it go, and only an owned one is ever freed.
#pragma once

#include <afxwin.h>

#include <string>

#include "control/dialogs/block_preview_static.h"

class MB_Block;
class MB_Drawing;

// The folder the libraries are read from: "lib/" below the kernel's folder;
// empty when the kernel's folder cannot be found.
std::string block_library_folder();

class BlockLibraryDialog : public CDialog {
  DECLARE_MESSAGE_MAP()
 public:
  // At most this many library files are listed; folders count towards it.
  static constexpr int kMaxListed = 49;

  BlockLibraryDialog();
  ~BlockLibraryDialog() override;

  CString library_name;
  CString block_name;
  CString angle, x_scale;
  CString y_scale;
  int explode = 0;

  // The dialog's template (dialog 236, a child dialog) and its context menu
  // (menu 239), registered once with the control's.
  static void register_template();

  // Fills the library list: the native files of the library folder, then
  // the entry for the drawing on screen; the list sorts itself.
  void FillLibraryList();
  // Shows the blocks of a library file of that name, or of the current
  // view's drawing for the on-screen entry. A name whose file does not
  // exist changes nothing; a file that cannot be read shows no blocks. The
  // current view's drawing is the kernel's current drawing afterwards.
  void LoadLibraryDrawing(const CString& name);

  MB_Drawing* library_drawing() const { return drawing_; }
  bool owns_drawing() const { return drawing_ && owned_; }
  BlockPreviewStatic& strip() { return strip_; }

  // Every panel showing `drawing` as a borrowed one lets it go and shows no
  // blocks: called by a view before its drawing is freed or replaced.
  static void forget_drawing(const MB_Drawing* drawing);

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  // The library's own window frees itself once its window is gone.
  void PostNcDestroy() override;
  afx_msg void OnLibrarySelected();
  afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint p);
  afx_msg void OnLButtonDown(UINT flags, CPoint p);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint p);
  afx_msg void OnRButtonDown(UINT flags, CPoint p);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnDestroy();
  afx_msg void OnHide();

 private:
  friend void quill_show_block_library(short flag);
  // Creates the library's window of its own: a captioned top-level window
  // owned by `owner`'s top-level window, hidden; false when it cannot.
  bool create_own_window(CWnd* owner);
  // Frees the cells and the owned drawing; the panel then shows nothing.
  void release_drawing();
  // Moves to a scroll position, kept within the cells.
  void scroll_to(int position);
  // Selects the thumbnail under a point of the panel's client area.
  const BlockThumbnailCell* press(UINT flags, CPoint p);

  BlockPreviewStatic strip_;
  CScrollBar scroll_;
  CComboBox list_;
  MB_Drawing* drawing_ = nullptr;
  bool owned_ = false;
  bool own_window_ = false;
};

// The block library window of its own, as the automation's ShowLibDlg
// shows it: flag 1 creates it once (owned by the current view's top-level
// window) and shows it, also after it was hidden; any other flag hides it
// when it exists. The window lives until its owner's window is destroyed.
void quill_show_block_library(short flag);
// That window, or null while it does not exist.
BlockLibraryDialog* quill_block_library_window();
