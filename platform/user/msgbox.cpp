// Message boxes. Headless nothing is shown: each box is logged with its
// owner, text, caption and flags, and answered from the queue of scripted
// answers, or with its default button when none is queued. On a display
// (qm_display.h) a box with no scripted answer is a window of its own that
// the user answers, its owner disabled meanwhile; it is logged the same.
#include <qm_display.h>
#include <qm_user.h>
#include <winuser.h>

#include <algorithm>
#include <cstring>

#include "platform/user/user_internal.h"

namespace qmuser {

namespace {

struct MessageBoxes {
  std::vector<QmMessageBox> log;
  std::deque<int> answers;
};

MessageBoxes& boxes() {
  static MessageBoxes b;
  return b;
}

// The buttons of a box's type, left to right (0 ends a shorter row).
const int* buttons_of(UINT type) {
  static const int kButtons[][3] = {
      {IDOK, 0, 0},                  // MB_OK
      {IDOK, IDCANCEL, 0},           // MB_OKCANCEL
      {IDABORT, IDRETRY, IDIGNORE},  // MB_ABORTRETRYIGNORE
      {IDYES, IDNO, IDCANCEL},       // MB_YESNOCANCEL
      {IDYES, IDNO, 0},              // MB_YESNO
      {IDRETRY, IDCANCEL, 0},        // MB_RETRYCANCEL
  };
  const UINT kind = type & MB_TYPEMASK;
  return kButtons[kind < sizeof kButtons / sizeof kButtons[0] ? kind : 0];
}

// The button pressed by Enter: the one MB_DEFBUTTONn names among the
// buttons of the box's type, or its first button.
int default_answer(UINT type) {
  const int* buttons = buttons_of(type);
  UINT index = (type & MB_DEFMASK) >> 8;
  if (index > 2 || buttons[index] == 0) index = 0;
  return buttons[index];
}

// ---- The box as a window, on a display ----

constexpr int kMargin = 12, kButtonWidth = 75, kButtonHeight = 23, kButtonGap = 8, kMaxTextWidth = 420;

struct Box {
  std::string text;
  UINT type = 0;
  std::vector<int> buttons;
  std::vector<RECT> places;
  int answer = 0;
  int pressed = -1;  // the button the left button went down on
};

const char* button_label(int id) {
  switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "";
  }
}

// What closing the box or Escape answers: Cancel where there is one, OK
// for a lone OK; 0 (nothing) for a box that must be answered.
int cancel_answer(const Box& b) {
  for (int id : b.buttons)
    if (id == IDCANCEL) return IDCANCEL;
  return b.buttons.size() == 1 ? b.buttons[0] : 0;
}

int button_at(const Box& b, POINT p) {
  for (size_t i = 0; i < b.places.size(); ++i)
    if (p.x >= b.places[i].left && p.x < b.places[i].right && p.y >= b.places[i].top && p.y < b.places[i].bottom)
      return static_cast<int>(i);
  return -1;
}

void paint_box(HWND hwnd, const Box& b) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old_font = SelectObject(dc, gui_font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT text = {kMargin, kMargin, client.right - kMargin, client.bottom - kMargin - kButtonHeight - kMargin};
  DrawTextA(dc, b.text.c_str(), static_cast<int>(b.text.size()), &text, DT_WORDBREAK);
  const int def = default_answer(b.type);
  for (size_t i = 0; i < b.buttons.size(); ++i) {
    RECT r = b.places[i];
    if (b.buttons[i] == def) {
      // The default button wears a dark frame.
      HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
      HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
      Rectangle(dc, r.left, r.top, r.right, r.bottom);
      SelectObject(dc, old_brush);
      SelectObject(dc, old);
      r.left += 1, r.top += 1, r.right -= 1, r.bottom -= 1;
    }
    DrawEdge(dc, &r, static_cast<int>(i) == b.pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const char* label = button_label(b.buttons[i]);
    DrawTextA(dc, label, static_cast<int>(std::strlen(label)), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, old_font);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK box_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Box* b = reinterpret_cast<Box*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!b) return DefWindowProcA(hwnd, msg, wparam, lparam);
  const POINT p = {static_cast<SHORT>(LOWORD(lparam)), static_cast<SHORT>(HIWORD(lparam))};
  switch (msg) {
    case WM_PAINT: paint_box(hwnd, *b); return 0;
    case WM_LBUTTONDOWN:
      b->pressed = button_at(*b, p);
      if (b->pressed >= 0) SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      const int at = button_at(*b, p);
      if (b->pressed >= 0 && at == b->pressed) b->answer = b->buttons[size_t(at)];
      b->pressed = -1;
      if (GetCapture() == hwnd) ReleaseCapture();
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    }
    case WM_KEYDOWN:
      if (wparam == VK_RETURN) b->answer = default_answer(b->type);
      if (wparam == VK_ESCAPE) b->answer = cancel_answer(*b);
      return 0;
    case WM_CLOSE: b->answer = cancel_answer(*b); return 0;
    default: return DefWindowProcA(hwnd, msg, wparam, lparam);
  }
}

// Shows the box until the user answers it; the answer, or the box's
// closing answer when the program is asked to end first.
int run_box_window(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  static const char* kClass = "QmMessageBoxWindow";
  // Registered again when a reset forgot it; an existing class stays.
  WNDCLASSA wc = {};
  wc.lpfnWndProc = box_proc;
  wc.lpszClassName = kClass;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  Box b;
  b.text = text;
  b.type = type;
  for (const int* id = buttons_of(type); id < buttons_of(type) + 3 && *id; ++id) b.buttons.push_back(*id);
  // The text's size decides the box's, within bounds.
  RECT measure = {0, 0, kMaxTextWidth, 0};
  if (HDC dc = GetDC(nullptr)) {
    HGDIOBJ old = SelectObject(dc, gui_font());
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &measure, DT_WORDBREAK | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
  }
  const int count = static_cast<int>(b.buttons.size());
  const int row = count * kButtonWidth + (count - 1) * kButtonGap;
  const int width = std::max<int>(std::min<LONG>(measure.right, kMaxTextWidth), row) + 2 * kMargin;
  const int height =
      static_cast<int>(std::min<LONG>(std::max<LONG>(measure.bottom, 16), 600)) + 3 * kMargin + kButtonHeight;
  for (int i = 0; i < count; ++i) {
    const int left = (width - row) / 2 + i * (kButtonWidth + kButtonGap);
    b.places.push_back(RECT{left, height - kMargin - kButtonHeight, left + kButtonWidth, height - kMargin});
  }
  RECT over = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner) GetWindowRect(owner, &over);
  const int x = std::max<int>(0, (over.left + over.right - width) / 2);
  const int y = std::max<int>(0, (over.top + over.bottom - height) / 2);
  HWND box =
      CreateWindowExA(0, kClass, caption.c_str(), WS_POPUP, x, y, width, height, owner, nullptr, nullptr, nullptr);
  if (!box) return default_answer(type);
  SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&b));
  QmModalState modal = qm_user_begin_modal(owner, box);
  ShowWindow(box, SW_SHOW);
  HWND had_focus = GetFocus();
  SetFocus(box);
  qm_user_run_modal(box, nullptr, [&b] { return b.answer != 0; });
  if (!b.answer) b.answer = cancel_answer(b) ? cancel_answer(b) : default_answer(type);
  if (IsWindow(box)) {
    SetWindowLongPtrA(box, GWLP_USERDATA, 0);
    DestroyWindow(box);
  }
  qm_user_end_modal(modal);
  if (had_focus && IsWindow(had_focus)) SetFocus(had_focus);
  return b.answer;
}

}  // namespace

void clear_message_boxes() {
  boxes().log.clear();
  boxes().answers.clear();
}

}  // namespace qmuser

using namespace qmuser;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (owner && !IsWindow(owner)) return 0;
  MessageBoxes& b = boxes();
  int answer = default_answer(type);
  if (!b.answers.empty()) {
    answer = b.answers.front();
    b.answers.pop_front();
  } else if (qm_user_display()) {
    answer = run_box_window(owner, text ? text : "", caption ? caption : "Error", type);
  }
  b.log.push_back(QmMessageBox{owner, text ? text : "", caption ? caption : "Error", type, answer});
  return answer;
}

void qm_user_push_message_box_answer(int answer) { boxes().answers.push_back(answer); }

const std::vector<QmMessageBox>& qm_user_message_boxes() { return boxes().log; }

void qm_user_clear_message_boxes() { clear_message_boxes(); }
