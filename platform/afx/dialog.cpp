// Dialogs built from templates in code, modal (run by a script, or
// cancelled) and modeless, with dialog data exchange. Exchange goes in the
// order DoDataExchange names the controls and stops at the first failure,
// which leaves the focus on that control and the dialog open.
#include <afxwin.h>
#include <qm_display.h>
#include <qm_user.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <utility>

namespace {

struct DialogState {
  std::map<UINT, QmDialogTemplate> templates;
  std::map<UINT, std::deque<std::function<void(CDialog&)>>> scripts;
  std::vector<QmDialogShown> shown;
};

DialogState& dialogs() {
  static DialogState s;
  return s;
}

const char* const kDialogClass = "AfxDialog";

// The system's dialog font when a template names none.
const char kDefaultDialogFace[] = "MS Sans Serif";
constexpr int kDefaultDialogPoints = 8;
constexpr int kScreenDpi = 96;

struct ResolvedFont {
  HFONT font;
  QmDialogUnits units;
};

// Each face and size is made and measured once.
const ResolvedFont& resolve(const QmDialogFont& f) {
  // Kept for the process, as the fonts are.
  static auto& made = *new std::map<std::pair<std::string, int>, ResolvedFont>;
  const bool named = !f.face.IsEmpty() && f.points > 0;
  const std::pair<std::string, int> key(named ? std::string(f.face) : kDefaultDialogFace,
                                        named ? f.points : kDefaultDialogPoints);
  const auto it = made.find(key);
  if (it != made.end()) return it->second;
  HFONT font = ::CreateFontA(-MulDiv(key.second, kScreenDpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             0, 0, key.first.c_str());
  // What the system measures: the 52 Latin letters' width over 52, rounded,
  // and the font's height.
  QmDialogUnits units = {6, 13};
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent = {0, 0};
  TEXTMETRICA tm = {};
  if (::GetTextExtentPoint32A(dc, kLetters, 52, &extent) && ::GetTextMetricsA(dc, &tm) && extent.cx > 0 &&
      tm.tmHeight > 0)
    units = {static_cast<int>((extent.cx / 26 + 1) / 2), static_cast<int>(tm.tmHeight)};
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return made.emplace(key, ResolvedFont{font, units}).first->second;
}

bool parse_long(const CString& text, long* out) {
  CString t(text);
  t.Trim();
  if (t.IsEmpty()) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(t, &end, 10);
  if (*end != '\0' || errno == ERANGE) return false;
  *out = v;
  return true;
}

void fail_with(CDataExchange* dx, LPCSTR prompt) {
  AfxMessageBox(prompt, MB_ICONEXCLAMATION);
  dx->Fail();
}

CString text_of(HWND h) {
  CString s;
  CWnd tmp;
  tmp.m_hWnd = h;
  tmp.GetWindowText(s);
  tmp.m_hWnd = nullptr;
  return s;
}

// A whole number within [lo, hi] from a control, or a failure.
bool exchange_integer(CDataExchange* dx, int id, long lo, long hi, long* value) {
  HWND h = dx->PrepareEditCtrl(id);
  if (!h) return false;
  if (!dx->m_bSaveAndValidate) {
    ::SetWindowTextA(h, std::to_string(*value).c_str());
    return false;
  }
  long v;
  if (!parse_long(text_of(h), &v) || v < lo || v > hi) {
    fail_with(dx, "Please enter an integer.");
    return false;
  }
  *value = v;
  return true;
}

}  // namespace

QmDialogUnits AfxDialogUnits(const QmDialogFont& font) { return resolve(font).units; }

HFONT AfxDialogFont(const QmDialogFont& font) { return resolve(font).font; }

void AfxRegisterDialog(const QmDialogTemplate& tmpl) { dialogs().templates[tmpl.id] = tmpl; }

const QmDialogTemplate* AfxFindDialog(UINT id) {
  auto it = dialogs().templates.find(id);
  return it == dialogs().templates.end() ? nullptr : &it->second;
}

void AfxPushDialogScript(UINT id, std::function<void(CDialog&)> script) {
  dialogs().scripts[id].push_back(std::move(script));
}

const std::vector<QmDialogShown>& AfxDialogsShown() { return dialogs().shown; }

void AfxClearDialogs() {
  dialogs().shown.clear();
  dialogs().scripts.clear();
}

HWND CDataExchange::PrepareCtrl(int id) {
  if (failed_ || !m_pDlgWnd) return nullptr;
  last_ = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
  return last_;
}

void CDataExchange::Fail() {
  failed_ = true;
  if (last_) ::SetFocus(last_);
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  HWND h = dx->PrepareEditCtrl(id);
  if (!h) return;
  if (dx->m_bSaveAndValidate)
    value = text_of(h);
  else
    ::SetWindowTextA(h, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
  long v = value;
  if (exchange_integer(dx, id, INT32_MIN, INT32_MAX, &v)) value = static_cast<int>(v);
}

void DDX_Text(CDataExchange* dx, int id, UINT& value) {
  long v = static_cast<long>(value);
  if (exchange_integer(dx, id, 0, UINT32_MAX, &v)) value = static_cast<UINT>(v);
}

void DDX_Text(CDataExchange* dx, int id, long& value) { exchange_integer(dx, id, INT32_MIN, INT32_MAX, &value); }

void DDX_Text(CDataExchange* dx, int id, double& value) {
  HWND h = dx->PrepareEditCtrl(id);
  if (!h) return;
  if (!dx->m_bSaveAndValidate) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    ::SetWindowTextA(h, buf);
    return;
  }
  CString t = text_of(h);
  t.Trim();
  char* end = nullptr;
  const double v = t.IsEmpty() ? 0 : std::strtod(t, &end);
  if (t.IsEmpty() || *end != '\0' || !std::isfinite(v)) {
    fail_with(dx, "Please enter a number.");
    return;
  }
  value = v;
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  HWND h = dx->PrepareCtrl(id);
  if (!h) return;
  if (dx->m_bSaveAndValidate)
    value = static_cast<int>(::SendMessageA(h, BM_GETCHECK, 0, 0));
  else
    ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
  HWND first = dx->PrepareCtrl(id);
  if (!first) return;
  if (dx->m_bSaveAndValidate) value = -1;
  int index = 0;
  for (HWND h = first; h; h = ::GetWindow(h, GW_HWNDNEXT), ++index) {
    if (h != first && (::GetWindowLongA(h, GWL_STYLE) & WS_GROUP)) break;
    if (dx->m_bSaveAndValidate) {
      if (value < 0 && ::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    } else {
      ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.m_hWnd) return;  // attached already
  HWND h = dx->PrepareCtrl(id);
  if (h) control.SubclassWindow(h);
}

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
  HWND h = dx->PrepareCtrl(id);
  if (!h) return;
  if (dx->m_bSaveAndValidate) {
    value = text_of(h);
    return;
  }
  // An item of that text is selected; an editable combo box shows any text.
  const LRESULT i = ::SendMessageA(h, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(static_cast<LPCSTR>(value)));
  if (i != CB_ERR)
    ::SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  else
    ::SetWindowTextA(h, value);
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  HWND h = dx->PrepareCtrl(id);
  if (!h) return;
  if (dx->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(h, CB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
  HWND h = dx->PrepareCtrl(id);
  if (!h) return;
  if (dx->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(h, LB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_Scroll(CDataExchange* dx, int id, int& value) {
  HWND h = dx->PrepareCtrl(id);
  if (!h) return;
  if (dx->m_bSaveAndValidate)
    value = ::GetScrollPos(h, SB_CTL);
  else
    ::SetScrollPos(h, SB_CTL, value, TRUE);
}

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_MESSAGE(WM_CLOSE, HandleClose)
ON_COMMAND(IDOK, OnOkCommand)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

void CDialog::MapDialogRect(LPRECT r) const {
  QmDialogUnits u = units_;
  if (u.base_x == 0) {
    const QmDialogTemplate* t = AfxFindDialog(m_nIDTemplate);
    u = AfxDialogUnits(t ? t->font : QmDialogFont());
  }
  r->left = u.x(r->left), r->right = u.x(r->right);
  r->top = u.y(r->top), r->bottom = u.y(r->bottom);
}

namespace {

// The window a modal dialog being made runs over: its window stays
// top-level, yet it opens centred over that owner.
HWND& modal_owner() {
  static HWND owner = nullptr;
  return owner;
}

}  // namespace

BOOL CDialog::CreateFromTemplate(UINT id, CWnd* parent, bool modal) {
  const QmDialogTemplate* t = AfxFindDialog(id);
  if (!t || m_hWnd) return FALSE;
  m_nIDTemplate = id;
  m_pParentWnd = parent;
  modal_ = modal;
  ended_ = FALSE;
  result_ = 0;
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = AfxWndProc;
  // Dialogs stand on the button face, as the system's dialog class does.
  wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kDialogClass;
  ::RegisterClassA(&wc);
  // The template's size is the client area; these windows have no frame.
  const DWORD style = (t->style & ~WS_VISIBLE) | (t->style & WS_CHILD ? 0 : WS_POPUP);
  const QmDialogUnits u = units_ = AfxDialogUnits(t->font);
  if (!CreateEx(0, kDialogClass, t->caption, style, u.x(t->x), u.y(t->y), u.x(t->cx), u.y(t->cy),
                parent ? parent->m_hWnd : nullptr, nullptr))
    return FALSE;
  // Every control draws in the dialog's font, as the template's controls do.
  const WPARAM font = reinterpret_cast<WPARAM>(AfxDialogFont(t->font));
  for (const QmDialogItem& item : t->items) {
    HWND control = ::CreateWindowExA(0, item.window_class, item.text, item.style | WS_CHILD | WS_VISIBLE, u.x(item.x),
                                     u.y(item.y), u.x(item.cx), u.y(item.cy), m_hWnd,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), nullptr, nullptr);
    if (control) ::SendMessageA(control, WM_SETFONT, font, FALSE);
  }
  CRect placed;
  GetWindowRect(&placed);
  SendMessage(WM_INITDIALOG, 0, 0);
  if (!(style & WS_CHILD) && m_hWnd) {
    // A dialog its start left where the template put it stands centred
    // over its owner's window (the screen without one), kept on the screen.
    CRect now;
    GetWindowRect(&now);
    if (now == placed) {
      HWND owner = parent ? parent->m_hWnd : modal ? modal_owner() : nullptr;
      while (owner && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD) && ::GetParent(owner)) owner = ::GetParent(owner);
      CRect over(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
      if (owner) ::GetWindowRect(owner, &over);
      const LONG x = std::max<LONG>(
          0, std::min<LONG>((over.left + over.right - now.Width()) / 2, ::GetSystemMetrics(SM_CXSCREEN) - now.Width()));
      const LONG y = std::max<LONG>(0, std::min<LONG>((over.top + over.bottom - now.Height()) / 2,
                                                      ::GetSystemMetrics(SM_CYSCREEN) - now.Height()));
      SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  dialogs().shown.push_back({id, t->caption, modal, 0});
  if (modal || (t->style & WS_VISIBLE)) ShowWindow(SW_SHOW);
  return TRUE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

// Closing a dialog's window cancels it, as Escape does.
LRESULT CDialog::HandleClose(WPARAM, LPARAM) {
  SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return 0;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

INT_PTR CDialog::DoModal() {
  CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
  HWND owner_hwnd = owner ? owner->m_hWnd : nullptr;
  modal_owner() = owner_hwnd;
  const BOOL made = CreateFromTemplate(m_nIDTemplate, nullptr, true);
  modal_owner() = nullptr;
  if (!made) return -1;
  const size_t log_index = dialogs().shown.size() - 1;
  // The owner's window and its other windows take no input while the dialog runs.
  QmModalState modal = qm_user_begin_modal(owner_hwnd, m_hWnd);
  auto& queue = dialogs().scripts[m_nIDTemplate];
  if (!queue.empty()) {
    std::function<void(CDialog&)> script = std::move(queue.front());
    queue.pop_front();
    script(*this);
  } else if (qm_user_display() && m_hWnd) {
    // On a display the user answers it; the focus starts on the first
    // control that takes Tab unless the dialog put it somewhere.
    HWND focus = ::GetFocus();
    if (focus != m_hWnd && !::IsChild(m_hWnd, focus))
      if (HWND first = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE)) qm_user_focus_dialog_item(first);
    const HWND self = m_hWnd;
    qm_user_run_modal(
        self, self, [this] { return ended_ != FALSE; }, [](MSG* m) { return CWinApp::PreTranslate(m) != FALSE; });
  }
  if (!ended_ && m_hWnd) OnCancel();
  if (!ended_) EndDialog(IDCANCEL);  // an OnCancel that kept the dialog open
  qm_user_end_modal(modal);
  if (m_hWnd) DestroyWindow();
  dialogs().shown[log_index].result = result_;
  return result_;
}

BOOL CDialog::Create(UINT id, CWnd* parent) { return CreateFromTemplate(id, parent, false); }

void CDialog::EndDialog(int result) {
  result_ = result;
  ended_ = TRUE;
  // A modeless dialog is only hidden, as the original does.
  if (!modal_ && m_hWnd) ShowWindow(SW_HIDE);
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL save) {
  CDataExchange dx(this, save);
  DoDataExchange(&dx);
  return dx.Failed() ? FALSE : TRUE;
}
