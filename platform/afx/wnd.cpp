// Windows as classes: the handle maps, creation through the class library's
// window procedure, subclassing, message dispatch through the maps (window
// messages, commands, notifications and their reflection to the control
// that sent them) and the default handlers.
#include <afxwin.h>

#include <algorithm>
#include <unordered_map>

#include "platform/afx/afx_internal.h"

namespace {

struct WndState {
  std::unordered_map<HWND, CWnd*> permanent;
  std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
  CWnd* creating = nullptr;  // the object whose window CreateEx is making
  MSG current = {};          // the message being handled (for Default)
};

WndState& wnd_state() {
  static WndState s;
  return s;
}

// Sets the message being handled for the length of a call.
struct CurrentMessage {
  MSG saved;
  CurrentMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l) : saved(wnd_state().current) {
    MSG& m = wnd_state().current;
    m.hwnd = hwnd, m.message = msg, m.wParam = w, m.lParam = l;
  }
  ~CurrentMessage() { wnd_state().current = saved; }
};

void register_class(LPCSTR name, UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
  WNDCLASSA wc = {};
  wc.style = style;
  wc.lpfnWndProc = AfxWndProc;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.lpszClassName = name;
  RegisterClassA(&wc);  // already there: the same properties under the same name
}

}  // namespace

const char* const kAfxWndClass = "AfxWnd";

LPCSTR AfxRegisterWndClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
  static std::vector<std::unique_ptr<std::string>> names;
  char buf[96];
  std::snprintf(buf, sizeof buf, "Afx:%x:%p:%p:%p", style, static_cast<void*>(cursor), static_cast<void*>(background),
                static_cast<void*>(icon));
  for (auto& n : names)
    if (*n == buf) return n->c_str();
  names.push_back(std::make_unique<std::string>(buf));
  register_class(names.back()->c_str(), style, cursor, background, icon);
  return names.back()->c_str();
}

LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  CurrentMessage current(hwnd, msg, wparam, lparam);
  const LRESULT r = wnd->WindowProc(msg, wparam, lparam);
  if (msg == WM_NCDESTROY && CWnd::FromHandlePermanent(hwnd) == wnd) {
    // The last message: the object lets go of the window and may delete
    // itself; nothing touches it after PostNcDestroy.
    wnd->Detach();
    wnd->PostNcDestroy();
  }
  return r;
}

LRESULT AfxWndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  WndState& st = wnd_state();
  CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
  if (!wnd && st.creating && !st.creating->m_hWnd) {
    wnd = st.creating;
    st.creating = nullptr;
    wnd->Attach(hwnd);
    wnd->PreSubclassWindow();
  }
  if (!wnd) return DefWindowProcA(hwnd, msg, wparam, lparam);
  return AfxCallWndProc(wnd, hwnd, msg, wparam, lparam);
}

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
    // Still attached: the window goes too, without calling into a half
    // destroyed object.
    HWND hwnd = Detach();
    ::DestroyWindow(hwnd);
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto& map = wnd_state().permanent;
  auto it = map.find(hwnd);
  return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  if (CWnd* w = FromHandlePermanent(hwnd)) return w;
  auto& temp = wnd_state().temporary;
  auto it = temp.find(hwnd);
  if (it != temp.end()) {
    if (::IsWindow(hwnd)) return it->second.get();
    it->second->m_hWnd = nullptr;  // a handle of a window gone: a fresh wrapper
    temp.erase(it);
  }
  auto w = std::make_unique<CWnd>();
  w->m_hWnd = hwnd;
  CWnd* raw = w.get();
  temp.emplace(hwnd, std::move(w));
  return raw;
}

void AfxDeleteTempObjects() {
  qmafx::delete_temp_dcs();
  for (auto& t : wnd_state().temporary) t.second->m_hWnd = nullptr;
  wnd_state().temporary.clear();
}

BOOL CWnd::Attach(HWND hwnd) {
  if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
  m_hWnd = hwnd;
  wnd_state().permanent[hwnd] = this;
  auto& temp = wnd_state().temporary;
  auto it = temp.find(hwnd);
  if (it != temp.end()) {
    it->second->m_hWnd = nullptr;
    temp.erase(it);
  }
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (h) {
    auto& map = wnd_state().permanent;
    auto it = map.find(h);
    if (it != map.end() && it->second == this) map.erase(it);
  }
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
  if (!::IsWindow(hwnd) || !Attach(hwnd)) return FALSE;
  PreSubclassWindow();
  WNDPROC old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
  if (old != AfxWndProc) m_pfnSuper = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  return parent ? SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass) {
    register_class(kAfxWndClass, CS_DBLCLKS, nullptr, nullptr, nullptr);
    cs.lpszClass = kAfxWndClass;
  }
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU id_or_menu, LPVOID param) {
  if (m_hWnd) return FALSE;
  CREATESTRUCTA cs = {};
  cs.dwExStyle = ex_style, cs.lpszClass = class_name, cs.lpszName = window_name, cs.style = static_cast<LONG>(style);
  cs.x = x, cs.y = y, cs.cx = width, cs.cy = height, cs.hwndParent = parent, cs.hMenu = id_or_menu;
  cs.lpCreateParams = param;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  WndState& st = wnd_state();
  CWnd* outer = st.creating;
  st.creating = this;
  HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                cs.cx, cs.cy, cs.hwndParent, cs.hMenu, nullptr, cs.lpCreateParams);
  if (st.creating == this) st.creating = outer;
  // Failed: when the window was made and destroyed again (WM_CREATE said
  // -1), its last message detached this object, which may have deleted
  // itself; it is not touched again.
  if (!hwnd) return FALSE;
  if (!m_hWnd) SubclassWindow(hwnd);  // a class of another procedure (a control)
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, const RECT& r, CWnd* parent,
                    UINT id, LPVOID param) {
  return CreateEx(ex_style, class_name, window_name, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                  parent ? parent->m_hWnd : nullptr, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::Create(LPCSTR class_name, LPCSTR window_name, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* context) {
  return CreateEx(0, class_name, window_name, style | WS_CHILD, rect, parent, id, context);
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  LRESULT r = 0;
  if (!OnWndMsg(msg, wparam, lparam, &r)) r = DefWindowProc(msg, wparam, lparam);
  return r;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wparam, lparam);
  return ::DefWindowProcA(m_hWnd, msg, wparam, lparam);
}

LRESULT CWnd::Default() {
  const MSG& m = wnd_state().current;
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

namespace {

// Commands and notifications: not in the window-message maps.
__attribute__((noinline)) BOOL special_message(CWnd* wnd, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (msg) {
    case WM_COMMAND:
      if (!wnd->OnCommand(wparam, lparam)) return FALSE;
      *result = 1;
      return TRUE;
    case WM_NOTIFY: {
      LRESULT r = 0;
      if (!wnd->OnNotify(wparam, lparam, &r)) return FALSE;
      *result = r;
      return TRUE;
    }
    default: return FALSE;
  }
}

__attribute__((noinline)) BOOL reflect_to_control(CWnd* wnd, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  HWND control = nullptr;
  if (msg == WM_DRAWITEM && lparam)
    control = reinterpret_cast<DRAWITEMSTRUCT*>(lparam)->hwndItem;
  else if (msg == WM_MEASUREITEM && lparam)
    control = ::GetDlgItem(wnd->m_hWnd, static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->CtlID));
  CWnd* child = CWnd::FromHandlePermanent(control);
  return child ? child->OnChildNotify(msg, wparam, lparam, result) : FALSE;
}

}  // namespace

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (msg == WM_COMMAND || msg == WM_NOTIFY) return special_message(this, msg, wparam, lparam, result);
  if (msg == WM_DRAWITEM || msg == WM_MEASUREITEM) {
    // The window's own handler, else the owner-drawn control's.
    if (qm_dispatch_window_message(this, msg, wparam, lparam, result)) return TRUE;
    return reflect_to_control(this, msg, wparam, lparam, result);
  }
  return qm_dispatch_window_message(this, msg, wparam, lparam, result);
}

BOOL CWnd::OnChildNotify(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (msg == WM_COMMAND) {
    const AFX_MSGMAP_ENTRY* e = FindEntry(WM_COMMAND + WM_REFLECT_BASE, HIWORD(wparam), 0);
    if (!e) return FALSE;
    *result = e->pfn(this, msg, wparam, lparam, nullptr);
    return TRUE;
  }
  if (msg == WM_NOTIFY) {
    NMHDR* hdr = reinterpret_cast<NMHDR*>(lparam);
    const AFX_MSGMAP_ENTRY* e = hdr ? FindEntry(WM_NOTIFY + WM_REFLECT_BASE, hdr->code, 0) : nullptr;
    if (!e) return FALSE;
    e->pfn(this, msg, wparam, reinterpret_cast<LPARAM>(result), hdr);
    return TRUE;
  }
  return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wparam, LPARAM lparam) {
  const UINT id = LOWORD(wparam);
  const UINT code = HIWORD(wparam);
  HWND control = reinterpret_cast<HWND>(lparam);
  if (control) {
    // The control handles its own notification first.
    CWnd* child = FromHandlePermanent(control);
    LRESULT r = 0;
    if (child && child->OnChildNotify(WM_COMMAND, wparam, lparam, &r)) return TRUE;
  }
  return OnCmdMsg(id, static_cast<int>(code), nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result) {
  NMHDR* hdr = reinterpret_cast<NMHDR*>(lparam);
  if (!hdr) return FALSE;
  CWnd* child = FromHandlePermanent(hdr->hwndFrom);
  if (child && child->OnChildNotify(WM_NOTIFY, wparam, lparam, result)) return TRUE;
  const AFX_MSGMAP_ENTRY* e = nullptr;
  for (const AFX_MSGMAP* map = GetMessageMap(); map && !e; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* it = map->lpEntries; it->pfn; ++it)
      if (it->nMessage == WM_NOTIFY && it->nCode == hdr->code && hdr->idFrom >= it->nID && hdr->idFrom <= it->nLastID) {
        e = it;
        break;
      }
    if (!map->pfnGetBaseMap) break;
  }
  if (!e) return OnCmdMsg(static_cast<UINT>(hdr->idFrom), static_cast<int>(CN_QM_NOTIFY), hdr, nullptr);
  e->pfn(this, WM_NOTIFY, wparam, reinterpret_cast<LPARAM>(result), hdr);
  return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

void CWnd::SendMessageToDescendants(UINT msg, WPARAM wparam, LPARAM lparam, BOOL deep, BOOL only_permanent) {
  // The children as they are now: a handler may create or destroy windows.
  std::vector<HWND> children;
  for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  for (HWND c : children) {
    if (!::IsWindow(c)) continue;
    if (!only_permanent) {
      ::SendMessageA(c, msg, wparam, lparam);
    } else if (CWnd* w = FromHandlePermanent(c)) {
      AfxCallWndProc(w, c, msg, wparam, lparam);
    }
    if (deep && ::IsWindow(c) && ::GetWindow(c, GW_CHILD)) {
      CWnd tmp;
      tmp.m_hWnd = c;
      tmp.SendMessageToDescendants(msg, wparam, lparam, deep, only_permanent);
      tmp.m_hWnd = nullptr;
    }
  }
}

CFrameWnd* CWnd::GetParentFrame() const {
  for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
    CWnd* w = FromHandlePermanent(h);
    if (w && w->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(w);
  }
  return nullptr;
}

namespace {

// Changes the bits of a style word; SetWindowPos with flags afterwards when
// asked (SWP_FRAMECHANGED, as the original does for a new frame).
BOOL modify_style(HWND hwnd, int index, DWORD remove, DWORD add, UINT flags) {
  const DWORD old = static_cast<DWORD>(::GetWindowLongA(hwnd, index));
  const DWORD now = (old & ~remove) | add;
  if (now == old) return FALSE;
  ::SetWindowLongA(hwnd, index, static_cast<LONG>(now));
  if (flags) ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
  return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) { return modify_style(m_hWnd, GWL_STYLE, remove, add, flags); }

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
  return modify_style(m_hWnd, GWL_EXSTYLE, remove, add, flags);
}

void CWnd::ClientToScreen(LPRECT r) const {
  POINT o = {0, 0};
  ::ClientToScreen(m_hWnd, &o);
  r->left += o.x, r->right += o.x, r->top += o.y, r->bottom += o.y;
}

void CWnd::ScreenToClient(LPRECT r) const {
  POINT o = {0, 0};
  ::ScreenToClient(m_hWnd, &o);
  r->left += o.x, r->right += o.x, r->top += o.y, r->bottom += o.y;
}

void CWnd::GetWindowText(CString& text) const {
  const int n = GetWindowTextLength();
  LPSTR buf = text.GetBufferSetLength(n + 1);
  ::GetWindowTextA(m_hWnd, buf, n + 1);
  text.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  CWnd* item = GetDlgItem(id);
  if (!item) {
    text.Empty();
    return 0;
  }
  item->GetWindowText(text);
  return text.GetLength();
}

CDC* CWnd::GetDC() {
  HDC dc = ::GetDC(m_hWnd);
  return dc ? CDC::FromHandle(dc) : nullptr;
}

int CWnd::ReleaseDC(CDC* dc) { return dc ? ::ReleaseDC(m_hWnd, dc->m_hDC) : 0; }

void CWnd::SetFont(CFont* font, BOOL redraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
}

CFont* CWnd::GetFont() const {
  HGDIOBJ h = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
  if (!h) return nullptr;
  return qmafx::handle_wrapper<CFont>(h);
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) { return ::MessageBoxA(m_hWnd, text, caption, type); }

BOOL CWnd::UpdateData(BOOL) { return TRUE; }
void CWnd::DoDataExchange(CDataExchange*) {}

// ---- Default handlers: the window's default procedure ----
int CWnd::OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnClose() { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcPaint() { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnSettingChange(UINT, LPCSTR) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
