// Documents, views and frames as far as command routing and creation go: a
// command reaches the frame's active view, then the view's document, then the
// frame, then the application (the order of the original class library).
#include <afxext.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

CDocument::~CDocument() {
  // Views outlive nothing they point at.
  for (CView* v : views_) v->m_pDocument = nullptr;
}

BOOL CDocument::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handler_info) {
  if (CCmdTarget::OnCmdMsg(id, code, extra, handler_info)) return TRUE;
  return m_pDocTemplate ? m_pDocTemplate->OnCmdMsg(id, code, extra, handler_info) : FALSE;
}

void CDocument::AddView(CView* view) {
  if (!view || std::find(views_.begin(), views_.end(), view) != views_.end()) return;
  views_.push_back(view);
  view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
  auto it = std::find(views_.begin(), views_.end(), view);
  if (it == views_.end()) return;
  views_.erase(it);
  view->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hint_object) {
  const std::vector<CView*> views = views_;
  for (CView* v : views)
    if (v != sender) v->OnUpdate(sender, hint, hint_object);
}

void CDocument::SetPathName(LPCSTR path, BOOL) {
  path_ = path;
  CString title(path);
  int cut = std::max(title.ReverseFind('\\'), title.ReverseFind('/'));
  SetTitle(title.Mid(cut + 1));
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  path_.Empty();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR) {
  DeleteContents();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCSTR) {
  SetModifiedFlag(FALSE);
  return TRUE;
}

void CDocument::OnCloseDocument() {
  const std::vector<CView*> views = views_;
  for (CView* v : views) {
    if (CFrameWnd* f = v->GetParentFrame())
      f->DestroyWindow();
    else
      v->DestroyWindow();
  }
  DeleteContents();
}

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_DESTROY()
ON_MESSAGE(WM_MOUSEACTIVATE, OnMouseActivateMessage)
END_MESSAGE_MAP()

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handler_info) {
  if (CWnd::OnCmdMsg(id, code, extra, handler_info)) return TRUE;
  return m_pDocument ? m_pDocument->OnCmdMsg(id, code, extra, handler_info) : FALSE;
}

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

int CView::OnCreate(LPCREATESTRUCTA cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  CCreateContext* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
  if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
  return 0;
}

LRESULT CView::OnMouseActivateMessage(WPARAM, LPARAM) {
  // A view pressed takes the keyboard, unless its parents refused the press.
  const LRESULT r = Default();
  if (r == MA_NOACTIVATE || r == MA_NOACTIVATEANDEAT) return r;
  HWND focus = ::GetFocus();
  if (focus != m_hWnd && !::IsChild(m_hWnd, focus)) ::SetFocus(m_hWnd);
  return r;
}

void CView::OnPaint() {
  CPaintDC dc(this);
  OnDraw(&dc);
}

void CView::OnDestroy() {
  if (CFrameWnd* f = GetParentFrame())
    if (f->GetActiveView() == this) f->SetActiveView(nullptr, FALSE);
  CWnd::OnDestroy();
}

void CView::PostNcDestroy() { delete this; }

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handler_info) {
  if (active_view_ && active_view_->OnCmdMsg(id, code, extra, handler_info)) return TRUE;
  if (CWnd::OnCmdMsg(id, code, extra, handler_info)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(id, code, extra, handler_info);
}

BOOL CFrameWnd::OnCommand(WPARAM wparam, LPARAM lparam) { return CWnd::OnCommand(wparam, lparam); }

BOOL CFrameWnd::Create(LPCSTR class_name, LPCSTR title, DWORD style, const RECT& rect, CWnd* parent, LPCSTR,
                       DWORD ex_style, CCreateContext* context) {
  int x = rect.left, y = rect.top, w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (rect.left == CW_USEDEFAULT) x = y = w = h = CW_USEDEFAULT;
  return CreateEx(ex_style, class_name, title, style, x, y, w, h, parent ? parent->m_hWnd : nullptr, nullptr, context);
}

void CFrameWnd::SetActiveView(CView* view, BOOL) { active_view_ = view; }

CDocument* CFrameWnd::GetActiveDocument() { return active_view_ ? active_view_->GetDocument() : nullptr; }

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
  if (!context || !context->m_pNewViewClass) return nullptr;
  CObject* obj = context->m_pNewViewClass->CreateObject();
  if (!obj || !obj->IsKindOf(RUNTIME_CLASS(CWnd))) {
    delete obj;
    return nullptr;
  }
  CWnd* view = static_cast<CWnd*>(obj);
  CRect client;
  GetClientRect(&client);
  if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, this, id, context)) {
    // A view whose creation failed has been deleted by its PostNcDestroy
    // when it got a window; otherwise it is ours to delete.
    if (!view->IsKindOf(RUNTIME_CLASS(CView))) delete view;
    return nullptr;
  }
  return view;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* context) {
  if (!context || !context->m_pNewViewClass) return TRUE;
  CWnd* view = CreateView(context);
  if (!view) return FALSE;
  if (view->IsKindOf(RUNTIME_CLASS(CView))) SetActiveView(static_cast<CView*>(view), FALSE);
  return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  CCreateContext* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
  if (!OnCreateClient(cs, context)) return -1;
  RecalcLayout();
  return 0;
}

void CFrameWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  RecalcLayout();
}

void CFrameWnd::OnDestroy() {
  active_view_ = nullptr;
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy() { delete this; }
