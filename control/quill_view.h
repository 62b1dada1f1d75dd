// The control's drawing view: it owns the editing context of its drawing,
// binds the kernel's renderer to its window and turns window messages into
// kernel calls. Mouse buttons and moves go to the active tool; the wheel
// zooms about the cursor; the arrow keys pan, or zoom after Enter; '.'
// deletes the selection; painting hands the window's DC to the renderer.
//
// The process-wide current view is the view created last; it is cleared
// when that view dies, so every user checks it first.
#pragma once

#include <afxwin.h>

#include <string>

#include "control/control_ids.h"
#include "display/interaction/mb_operation.h"

class MB_Drawing;

class CQuillView : public CView {
  DECLARE_DYNCREATE(CQuillView)
  DECLARE_MESSAGE_MAP()
 public:
  ~CQuillView() override;
  void OnDraw(CDC* dc) override;
  // The commands that start tools (one table of them), then the map's.
  BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handler_info) override;

  // Reads the drawing a path names, choosing the reader by the path's last
  // three characters (native, DXF/DWG, HPGL, markup added to the drawing,
  // else an image placed in a new drawing), then fits the view. A path
  // beginning "http://" is downloaded first. Tells the user when the
  // download fails or the file does not exist (the drawing then stays), and
  // when the file is no regular file or its reader could not read it (with
  // the reason; see file_guard.h).
  void OpenDrawingByExtension(const CString& path);
  // Writes the drawing to the save folder when one is set, else to a file
  // the user picks, by the target's extension: native, markup, HPGL, or an
  // image of 500 by 500 pixels. False when nothing was written; the user is
  // then told the file and the reason.
  bool SaveDrawingByExtension();
  // The save button's write: the drawing to the target by its extension
  // unless the target is a file the control protects; a refusal or failure
  // is told to the user. True when the file was written.
  bool save_as(const std::string& target);

  // Unsaved changes: edits to the drawing since it was opened, made new or
  // saved in a native format.
  bool has_unsaved_changes() const;
  // Before the drawing is closed or replaced: with unsaved changes the user
  // is asked to save them (the save button's save), discard them or cancel.
  // True when the drawing may go: nothing unsaved, saved, or discarded.
  bool SaveModified();

  MB_Operation& operation() { return operation_; }
  MB_Drawing* creation_drawing() const { return creation_drawing_; }
  CString& opened_path() { return opened_path_; }
  CString& base_document() { return base_document_; }
  CString& save_directory() { return save_directory_; }

  // The view created last, or null once it is gone.
  static CQuillView* current() { return current_; }
  // Command permissions, all granted by every view creation; a number out
  // of range is never permitted and cannot be set.
  static bool permitted(int i);
  static void permit(int i, bool on);
  // The zoom factor of one wheel message: the sign of the delta decides.
  static double wheel_factor(short delta);
  // The exact path names a file (no wildcard matching; a folder is no file).
  static bool file_exists(const std::string& path);
  // The help page: "help.htm" in the folder of the control's own library.
  static std::string help_path();

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  afx_msg void OnDestroy();
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnLButtonDown(UINT flags, CPoint p);
  afx_msg void OnLButtonUp(UINT flags, CPoint p);
  afx_msg void OnRButtonDown(UINT flags, CPoint p);
  afx_msg void OnRButtonUp(UINT flags, CPoint p);
  afx_msg void OnMouseMove(UINT flags, CPoint p);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint p);
  afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnUndo();
  afx_msg void OnRedo();
  afx_msg void OnUpdateUndo(CCmdUI* ui);
  afx_msg void OnUpdateRedo(CCmdUI* ui);
  afx_msg void OnNewDrawing();
  afx_msg void OnOpenDrawing();
  afx_msg void OnUpdateOpenDrawing(CCmdUI* ui);
  afx_msg void OnOpenUrl();
  afx_msg void OnSaveDrawing();
  afx_msg void OnDeleteSelection();
  afx_msg void OnZoomAll();
  afx_msg void OnZoomOut();
  afx_msg void OnZoomIn();
  afx_msg void OnRefresh();
  afx_msg void OnFreeZoom();
  afx_msg void OnZoom3d();
  afx_msg void OnSearchText();
  afx_msg void OnVersionInfo();
  afx_msg void OnHelp();
  afx_msg void OnOnlineHelp();
  afx_msg void OnInterfaceMenu();
  afx_msg void OnToggleCreationBar();
  afx_msg void OnToggleModifyBar();
  afx_msg void OnToggleSideBar();
  // Prints the drawing fitted to one page.
  afx_msg void OnPrintFile();

 private:
  // Hands a mouse message to the active tool.
  void mouse(UINT msg, UINT flags, CPoint p);
  // Installs the select tool when no tool is active and it is permitted.
  void install_default_tool();
  void zoom_keys(UINT key);
  // Deletes the selection as one undoable command.
  void delete_selection();
  // Undo or redo one command: tools and selection are dropped first, and
  // what the command touched is rebuilt.
  void step_history(bool undo);
  void pan_keys(UINT key);
  // A new empty drawing named by the path, bound to this view's window.
  void reset_drawing(const char* name);
  // The writer of the target's extension; false with the reason when it
  // gives one.
  bool write_by_extension(const std::string& target, std::string& why);
  // Removes the folder the drawing open now was downloaded into, if any.
  void drop_download();

  // The drawing as it is now counts as saved.
  void mark_saved();

  CString opened_path_;
  CString base_document_;
  uint64_t saved_edits_ = 0;  // the drawing's edit count when it was last saved
  CString save_directory_;
  std::string download_folder_;  // where the open drawing was downloaded, or empty
  MB_Operation operation_;
  MB_Drawing* creation_drawing_ = nullptr;  // not owned

  static CQuillView* current_;
};
