// Hosting a document, its frame and its view inside a control's window.
//
// DocumentTemplateInControl is a single-document template whose frame is a
// child window of the control instead of a top-level window.
// CActiveXDocControl is the control base that owns one such template: its
// window creation opens an empty document (document, then frame, then
// view), its size changes give the frame the whole client area, and, since a
// control gets no idle time from its container's message loop, its timer
// asks every descendant window to update its command states.
#pragma once

#include <afxctl.h>

class DocumentTemplateInControl : public CSingleDocTemplate {
  DECLARE_DYNAMIC(DocumentTemplateInControl)
 public:
  DocumentTemplateInControl(UINT id, const CRuntimeClass* doc_class, const CRuntimeClass* frame_class,
                            const CRuntimeClass* view_class)
      : CSingleDocTemplate(id, doc_class, frame_class, view_class) {}

  // Opens an empty document with its frame as a child of `parent` and shows
  // the frame; null when either cannot be made.
  CFrameWnd* CreateViewFrame(CWnd* parent);
  CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other) override;
  // Saves the current document first and remembers the path. With `verify`,
  // a path that names nothing or a directory opens a new empty document.
  CDocument* OpenDocumentFile(LPCSTR path, BOOL verify = TRUE) override;
  // The document keeps no data of its own, so nothing is written through
  // it: a remembered path is never truncated, only the modified flag is
  // cleared.
  void SaveCurrentDocument();

  CWnd* parent_control() const { return parent_; }
  CFrameWnd* frame() const { return frame_; }
  const CString& document_path() const { return path_; }

 private:
  CWnd* parent_ = nullptr;
  CFrameWnd* frame_ = nullptr;  // made by the last frame creation
  CString path_;
};

class CActiveXDocControl : public COleControl {
  DECLARE_DYNAMIC(CActiveXDocControl)
  DECLARE_MESSAGE_MAP()
 public:
  CActiveXDocControl();
  ~CActiveXDocControl() override;
  // One template per control, owned; a later one replaces the first.
  void AddDocTemplate(DocumentTemplateInControl* tmpl);
  DocumentTemplateInControl* doc_template() const { return template_; }
  // The frame inside the control while its window lives, else null.
  CFrameWnd* frame() const { return frame_; }
  // True once the first control of the process has prepared the class
  // library's document bookkeeping.
  static bool doc_manager_prepared() { return doc_manager_prepared_; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnTimer(UINT_PTR id);
  afx_msg void OnDestroy();

 private:
  DocumentTemplateInControl* template_ = nullptr;
  CFrameWnd* frame_ = nullptr;
  static bool doc_manager_prepared_;
};
