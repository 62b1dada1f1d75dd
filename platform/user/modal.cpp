// Modal windows on a display: the loop that runs one until it is answered,
// and the keys a dialog takes for itself (Tab, Enter, Escape).
#include <commctrl.h>
#include <qm_display.h>
#include <winuser.h>

#include <vector>

#include "platform/user/user_internal.h"

namespace {

bool takes_tab(HWND h) {
  const DWORD style = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
  return (style & WS_TABSTOP) && IsWindowVisible(h) && IsWindowEnabled(h);
}

// Whether the window is of that class (a lower-case name).
bool class_is(HWND h, const char* name) {
  const qmuser::Window* w = qmuser::find(h);
  return w && w->cls && w->cls->name == name;
}

bool is_push_button(HWND h) {
  const DWORD type = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE)) & BS_TYPEMASK;
  return class_is(h, "button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

}  // namespace

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> stops;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (takes_tab(c) || c == control) stops.push_back(c);
  if (stops.empty()) return nullptr;
  size_t at = stops.size();
  for (size_t i = 0; i < stops.size(); ++i)
    if (stops[i] == control) at = i;
  const size_t n = stops.size();
  for (size_t k = 1; k <= n; ++k) {
    const size_t i = at == n ? (previous ? n - k : k - 1) : (previous ? (at + n - k) % n : (at + k) % n);
    if (takes_tab(stops[i])) return stops[i];
  }
  return nullptr;
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg) {
  if (!msg || !dialog || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) return FALSE;
  if (msg->message != WM_KEYDOWN) return FALSE;
  HWND focus = GetFocus();
  if (focus != dialog && !IsChild(dialog, focus)) focus = nullptr;
  // A combo box with its list open takes the keys that close the list.
  if (focus && class_is(focus, "combobox") && SendMessageA(focus, CB_GETDROPPEDSTATE, 0, 0) &&
      (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
    return FALSE;
  switch (msg->wParam) {
    case VK_TAB: {
      // Ctrl+Tab (with Shift, backwards) turns the dialog's tab control.
      if (GetKeyState(VK_CONTROL) < 0) {
        if (HWND tabs = qmuser::nearest_tab_control(focus ? focus : dialog)) {
          SendMessageA(tabs, WM_KEYDOWN, VK_TAB, msg->lParam);
          return TRUE;
        }
      }
      if (HWND next = GetNextDlgTabItem(dialog, focus, GetKeyState(VK_SHIFT) < 0)) qm_user_focus_dialog_item(next);
      return TRUE;
    }
    case VK_RETURN: {
      const DWORD style = focus ? static_cast<DWORD>(GetWindowLongA(focus, GWL_STYLE)) : 0;
      if (focus && class_is(focus, "edit") && (style & ES_MULTILINE) && (style & ES_WANTRETURN)) return FALSE;
      // The button with the focus, else the default one, else OK.
      HWND button = focus && is_push_button(focus) ? focus : nullptr;
      for (HWND c = GetWindow(dialog, GW_CHILD); c && !button; c = GetWindow(c, GW_HWNDNEXT))
        if (is_push_button(c) && (GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
            IsWindowEnabled(c) && IsWindowVisible(c))
          button = c;
      if (button)
        SendMessageA(button, BM_CLICK, 0, 0);
      else
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      return TRUE;
    }
    case VK_ESCAPE:
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      return TRUE;
    default: return FALSE;
  }
}

bool qm_user_run_modal(HWND window, HWND dialog, const std::function<bool()>& done,
                       const std::function<bool(MSG*)>& pretranslate) {
  MSG m;
  while (!done() && IsWindow(window)) {
    if (!GetMessageA(&m, nullptr, 0, 0)) {
      // The program is asked to end: the window closes, and the request stays.
      PostQuitMessage(static_cast<int>(m.wParam));
      return false;
    }
    if (pretranslate && pretranslate(&m)) continue;
    if (dialog && IsDialogMessageA(dialog, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return true;
}

void qm_user_focus_dialog_item(HWND item) {
  SetFocus(item);
  if (GetFocus() == item && class_is(item, "edit")) SendMessageA(item, EM_SETSEL, 0, -1);
}

QmModalState qm_user_begin_modal(HWND owner, HWND modal) {
  QmModalState st;
  HWND root = owner;
  while (root && (GetWindowLongA(root, GWL_STYLE) & WS_CHILD) && GetParent(root)) root = GetParent(root);
  if (!root || !IsWindow(root)) return st;
  std::vector<HWND> mine = {root};
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
    if (h != root && h != modal && GetWindow(h, GW_OWNER) == root && IsWindowVisible(h)) mine.push_back(h);
  for (HWND h : mine)
    if (IsWindowEnabled(h)) {
      EnableWindow(h, FALSE);
      st.disabled.push_back(h);
    }
  return st;
}

void qm_user_end_modal(QmModalState& st) {
  for (HWND h : st.disabled)
    if (IsWindow(h)) EnableWindow(h, TRUE);
  st.disabled.clear();
}
