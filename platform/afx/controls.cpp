// The control classes' members that are more than one message, and menus.
#include <afxcmn.h>

#include "platform/afx/afx_internal.h"

#include <unordered_map>

void CListBox::GetText(int i, CString& s) const {
  const LRESULT n = SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(i));
  if (n < 0) {
    s.Empty();
    return;
  }
  SendMessage(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.GetBufferSetLength(static_cast<int>(n))));
  s.ReleaseBuffer(static_cast<int>(n));
}

UINT CListBox::ItemFromPoint(CPoint p, BOOL& outside) const {
  const LRESULT r = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
  outside = HIWORD(r) ? TRUE : FALSE;
  return LOWORD(r);
}

BOOL CListBox::OnChildNotify(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (msg) {
    case WM_DRAWITEM: DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lparam)); *result = TRUE; return TRUE;
    case WM_MEASUREITEM: MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lparam)); *result = TRUE; return TRUE;
    default: return CWnd::OnChildNotify(msg, wparam, lparam, result);
  }
}

void CComboBox::GetLBText(int i, CString& s) const {
  const LRESULT n = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
  if (n < 0) {
    s.Empty();
    return;
  }
  SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.GetBufferSetLength(static_cast<int>(n))));
  s.ReleaseBuffer(static_cast<int>(n));
}

LONG CTabCtrl::InsertItem(int i, LPCSTR text) {
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<LPSTR>(text);
  return static_cast<LONG>(SendMessage(TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
  return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, 0, 0, 0, 0, parent ? parent->m_hWnd : nullptr, nullptr);
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCSTR text, LPCRECT rect, UINT_PTR id) {
  TOOLINFOA ti = {};
  ti.cbSize = sizeof ti;
  ti.hwnd = wnd ? wnd->m_hWnd : nullptr;
  ti.uId = id ? id : reinterpret_cast<UINT_PTR>(ti.hwnd);
  ti.uFlags = id ? 0 : TTF_IDISHWND;
  if (rect) ti.rect = *rect;
  ti.lpszText = const_cast<LPSTR>(text);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR id) {
  TOOLINFOA ti = {};
  ti.cbSize = sizeof ti;
  ti.hwnd = wnd ? wnd->m_hWnd : nullptr;
  ti.uId = id ? id : reinterpret_cast<UINT_PTR>(ti.hwnd);
  ti.lpszText = const_cast<LPSTR>(text);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::GetText(CString& text, CWnd* wnd, UINT_PTR id) const {
  char buffer[1024] = "";
  TOOLINFOA ti = {};
  ti.cbSize = sizeof ti;
  ti.hwnd = wnd ? wnd->m_hWnd : nullptr;
  ti.uId = id ? id : reinterpret_cast<UINT_PTR>(ti.hwnd);
  ti.lpszText = buffer;
  SendMessage(TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&ti));
  text = buffer;
}

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU menu) { return qmafx::wrapper_of<CMenu, HMENU, CMenu, &CMenu::m_hMenu>(menu); }

CMenu* CWnd::GetSystemMenu(BOOL revert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert)); }

BOOL CMenu::Attach(HMENU menu) {
  if (!menu || m_hMenu) return FALSE;
  m_hMenu = menu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  m_hMenu = nullptr;
  return h;
}

BOOL CMenu::LoadMenu(UINT id) { return Attach(::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id))); }

BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  return ::DestroyMenu(Detach());
}
