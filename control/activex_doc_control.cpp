// The control base that hosts a document template, and its template.
#include "control/activex_doc_control.h"

#include "control/control_ids.h"

IMPLEMENT_DYNAMIC(DocumentTemplateInControl, CSingleDocTemplate)

CFrameWnd* DocumentTemplateInControl::CreateViewFrame(CWnd* parent) {
  parent_ = parent;
  frame_ = nullptr;
  if (!OpenDocumentFile(nullptr, TRUE) || !frame_) return nullptr;
  frame_->ShowWindow(SW_SHOWNORMAL);
  // The bars made while the frame was being created were not shown yet, so
  // they are laid out now that they are.
  frame_->RecalcLayout();
  return frame_;
}

CFrameWnd* DocumentTemplateInControl::CreateNewFrame(CDocument* doc, CFrameWnd* other) {
  CCreateContext context;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pCurrentDoc = doc;
  context.m_pNewDocTemplate = this;
  context.m_pLastView = nullptr;
  context.m_pCurrentFrame = other;
  CObject* made = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
  if (!made || !made->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
    delete made;
    return nullptr;
  }
  CFrameWnd* frame = static_cast<CFrameWnd*>(made);
  // A frame whose window could not be made has deleted itself.
  if (!frame->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CFrameWnd::rectDefault, parent_, nullptr, 0, &context))
    return nullptr;
  frame_ = frame;
  return frame;
}

CDocument* DocumentTemplateInControl::OpenDocumentFile(LPCSTR path, BOOL verify) {
  SaveCurrentDocument();
  path_ = path ? path : "";
  LPCSTR open = path;
  if (verify && open) {
    // A directory is known by its directory bit, whatever other bits it has.
    const DWORD attributes = GetFileAttributesA(open);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) open = nullptr;
  }
  return CSingleDocTemplate::OpenDocumentFile(open, TRUE);
}

void DocumentTemplateInControl::SaveCurrentDocument() {
  if (m_pOnlyDoc) m_pOnlyDoc->SetModifiedFlag(FALSE);
}

// ---------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CActiveXDocControl, COleControl)

BEGIN_MESSAGE_MAP(CActiveXDocControl, COleControl)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_TIMER()
ON_WM_DESTROY()
END_MESSAGE_MAP()

bool CActiveXDocControl::doc_manager_prepared_ = false;

CActiveXDocControl::CActiveXDocControl() {
  if (!doc_manager_prepared_) {
    CDocManager prepare;
    prepare.AddDocTemplate(nullptr);
    doc_manager_prepared_ = true;
  }
}

CActiveXDocControl::~CActiveXDocControl() { delete template_; }

void CActiveXDocControl::AddDocTemplate(DocumentTemplateInControl* tmpl) {
  if (tmpl == template_) return;
  delete template_;
  template_ = tmpl;
}

int CActiveXDocControl::OnCreate(LPCREATESTRUCTA cs) {
  if (COleControl::OnCreate(cs) == -1) return -1;
  frame_ = template_ ? template_->CreateViewFrame(this) : nullptr;
  SetBorderStyle(1);
  SetTimer(quill::kIdleTimer, quill::kIdleTimerPeriod, nullptr);
  // The buttons show their states from the start (undo and redo greyed
  // with nothing to undo): the first idle update comes as soon as the
  // control's window shows, not a timer's period later.
  PostMessage(WM_TIMER, quill::kIdleTimer, 0);
  return 0;
}

void CActiveXDocControl::OnSize(UINT type, int cx, int cy) {
  COleControl::OnSize(type, cx, cy);
  if (frame_ && ::IsWindow(frame_->m_hWnd)) {
    CRect client;
    GetClientRect(&client);
    frame_->MoveWindow(&client, TRUE);
  }
}

void CActiveXDocControl::OnTimer(UINT_PTR) {
  // Every window below the control, not only those with an object of
  // their own, re-evaluates its command states.
  SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, FALSE);
  Default();
}

void CActiveXDocControl::OnDestroy() {
  if (CWinApp* app = AfxGetApp()) app->m_pMainWnd = nullptr;
  if (template_) template_->SaveCurrentDocument();
  KillTimer(quill::kIdleTimer);
  frame_ = nullptr;  // destroyed with this window
  COleControl::OnDestroy();
}
