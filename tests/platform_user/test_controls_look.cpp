// The standard controls paint themselves in the classic look, and take the
// mouse and keys a dialog's user gives them: a table of control states, each
// with the pixels that tell it from its neighbours; typing into an edit; the
// keys a dialog takes for itself.
#include <commctrl.h>

#include <string>

#include "tests/platform_user/user_fixture.h"

namespace {

class ControlsLook : public UserTest {
 public:
  // A 120 x 40 top level window holding one 100 x 24 control at (4, 8).
  HWND control(const char* cls, const char* text, DWORD style, int id = 10) {
    parent_ = make(nullptr, 0, 0, 120, 40, WS_VISIBLE | WS_POPUP);
    return CreateWindowExA(0, cls, text, style | WS_CHILD | WS_VISIBLE, 4, 8, 100, 24, parent_,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  }
  // The control's pixels as the screen shows them, as COLORREF values.
  void shoot(HWND c) {
    UpdateWindow(parent_);
    UpdateWindow(c);
    int w = 0, h = 0;
    std::vector<uint32_t> image;
    ASSERT_TRUE(qm_user_window_image(parent_, &image, &w, &h));
    pixels_.assign(100 * 24, 0);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 100; ++x) {
        const uint32_t p = image[static_cast<size_t>((y + 8) * w + x + 4)];
        pixels_[static_cast<size_t>(y * 100 + x)] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      }
  }
  COLORREF at(int x, int y) const { return pixels_[static_cast<size_t>(y * 100 + x)]; }
  // How many pixels of [x0, x1) x [y0, y1) have that system colour.
  int count(int color, int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += at(x, y) == GetSysColor(color);
    return n;
  }
  HWND parent_ = nullptr;
  std::vector<COLORREF> pixels_;
};

TEST_F(ControlsLook, EachStateShowsItsMarks) {
  enum Act { kNone, kDisable, kFocus, kPress, kCheck, kIndeterminate };
  struct Case {
    const char* says;
    const char* cls;
    DWORD style;
    Act act;
    std::function<void(ControlsLook&)> expect;
  };
  const int face = COLOR_BTNFACE, ink = COLOR_BTNTEXT, grey = COLOR_GRAYTEXT;
  const Case cases[] = {
      {"push button: raised, label in the middle", WC_BUTTONA, BS_PUSHBUTTON, kNone,
       [&](ControlsLook& t) {
         EXPECT_EQ(t.at(99, 23), GetSysColor(COLOR_3DDKSHADOW));
         EXPECT_EQ(t.at(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
         EXPECT_GT(t.count(ink, 30, 4, 70, 20), 10);
         EXPECT_EQ(t.count(ink, 2, 2, 25, 22), 0) << "the label is centred";
       }},
      {"default button: a dark frame around the raised edge", WC_BUTTONA, BS_DEFPUSHBUTTON, kNone,
       [&](ControlsLook& t) {
         EXPECT_EQ(t.at(0, 0), GetSysColor(COLOR_WINDOWFRAME));
         EXPECT_EQ(t.at(2, 2), GetSysColor(COLOR_BTNHIGHLIGHT));
       }},
      {"disabled button: grey label, no black", WC_BUTTONA, BS_PUSHBUTTON, kDisable,
       [&](ControlsLook& t) {
         EXPECT_GT(t.count(grey, 30, 4, 70, 20), 10);
         EXPECT_EQ(t.count(ink, 3, 3, 97, 21), 0);
       }},
      {"focused button: framed, with the dotted focus rectangle", WC_BUTTONA, BS_PUSHBUTTON, kFocus,
       [&](ControlsLook& t) {
         EXPECT_EQ(t.at(0, 0), GetSysColor(COLOR_WINDOWFRAME));
         EXPECT_EQ(t.at(4, 4), GetSysColor(ink));
         EXPECT_EQ(t.at(5, 4), GetSysColor(face));
       }},
      {"held-down button: flat in shadow, no raised edge", WC_BUTTONA, BS_PUSHBUTTON, kPress,
       [&](ControlsLook& t) {
         EXPECT_EQ(t.at(1, 1), GetSysColor(COLOR_BTNSHADOW));
         EXPECT_EQ(t.at(98, 22), GetSysColor(COLOR_BTNSHADOW));
         EXPECT_EQ(t.at(2, 2), GetSysColor(face));
       }},
      {"check box, clear: a white square", WC_BUTTONA, BS_AUTOCHECKBOX, kNone,
       [&](ControlsLook& t) {
         EXPECT_EQ(t.count(COLOR_WINDOW, 2, 7, 11, 16), 81);
         EXPECT_GT(t.count(ink, 17, 4, 60, 20), 10) << "the label right of the box";
       }},
      {"check box, checked: the tick in it", WC_BUTTONA, BS_AUTOCHECKBOX, kCheck,
       [&](ControlsLook& t) { EXPECT_GT(t.count(ink, 2, 7, 11, 16), 12); }},
      {"three-state box, indeterminate: grey tick on the face", WC_BUTTONA, BS_AUTO3STATE, kIndeterminate,
       [&](ControlsLook& t) {
         EXPECT_EQ(t.count(ink, 2, 7, 11, 16), 0);
         EXPECT_GT(t.count(COLOR_BTNSHADOW, 2, 7, 11, 16), 12);
       }},
      {"radio button, clear: a white circle", WC_BUTTONA, BS_AUTORADIOBUTTON, kNone,
       [&](ControlsLook& t) { EXPECT_EQ(t.at(6, 12), GetSysColor(COLOR_WINDOW)); }},
      {"radio button, checked: the dot", WC_BUTTONA, BS_AUTORADIOBUTTON, kCheck,
       [&](ControlsLook& t) { EXPECT_EQ(t.at(6, 12), GetSysColor(ink)); }},
      {"group box: an etched frame, the caption over it", WC_BUTTONA, BS_GROUPBOX, kNone,
       [&](ControlsLook& t) {
         EXPECT_EQ(t.at(0, 20), GetSysColor(COLOR_BTNSHADOW));
         EXPECT_EQ(t.at(1, 20), GetSysColor(COLOR_BTNHIGHLIGHT));
         EXPECT_EQ(t.at(99, 23), GetSysColor(COLOR_BTNHIGHLIGHT));
         EXPECT_GT(t.count(ink, 8, 0, 60, 16), 10);
       }},
      {"edit: sunken, white, black text", WC_EDITA, ES_AUTOHSCROLL, kNone,
       [&](ControlsLook& t) {
         EXPECT_EQ(t.at(0, 0), GetSysColor(COLOR_BTNSHADOW));
         EXPECT_EQ(t.at(1, 1), GetSysColor(COLOR_3DDKSHADOW));
         EXPECT_EQ(t.at(99, 23), GetSysColor(COLOR_BTNHIGHLIGHT));
         EXPECT_GT(t.count(COLOR_WINDOW, 2, 2, 98, 22), 1000);
         EXPECT_GT(t.count(COLOR_WINDOWTEXT, 2, 2, 40, 22), 10);
       }},
      {"read-only edit: on the button face", WC_EDITA, ES_READONLY, kNone,
       [&](ControlsLook& t) { EXPECT_EQ(t.count(COLOR_WINDOW, 2, 2, 98, 22), 0); }},
      {"disabled edit: grey text", WC_EDITA, 0, kDisable,
       [&](ControlsLook& t) {
         EXPECT_EQ(t.count(COLOR_WINDOWTEXT, 2, 2, 98, 22), 0);
         EXPECT_GT(t.count(grey, 2, 2, 98, 22), 10);
       }},
      {"static: the text on the face", WC_STATICA, SS_LEFT, kNone,
       [&](ControlsLook& t) {
         EXPECT_GT(t.count(ink, 0, 0, 40, 24), 10);
         EXPECT_GT(t.count(face, 0, 0, 100, 24), 2000);
       }},
      {"disabled static: grey", WC_STATICA, SS_LEFT, kDisable,
       [&](ControlsLook& t) {
         EXPECT_EQ(t.count(ink, 0, 0, 100, 24), 0);
         EXPECT_GT(t.count(grey, 0, 0, 40, 24), 10);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    HWND h = control(c.cls, "Mg&W", c.style);
    ASSERT_NE(h, nullptr);
    if (c.act == kDisable) EnableWindow(h, FALSE);
    if (c.act == kFocus) SetFocus(h);
    if (c.act == kPress) SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    if (c.act == kCheck) SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
    if (c.act == kIndeterminate) SendMessageA(h, BM_SETCHECK, BST_INDETERMINATE, 0);
    shoot(h);
    c.expect(*this);
    DestroyWindow(parent_);
    pump();
  }
}

TEST_F(ControlsLook, TheMnemonicMarkIsNotDrawn) {
  for (const char* cls : {WC_BUTTONA, WC_STATICA}) {
    HWND a = control(cls, "&Save", 0);
    shoot(a);
    const std::vector<COLORREF> marked = pixels_;
    DestroyWindow(parent_);
    HWND b = control(cls, "Save", 0);
    shoot(b);
    EXPECT_EQ(marked, pixels_) << cls;
    DestroyWindow(parent_);
  }
}

TEST_F(ControlsLook, TheCaretShowsWhereTypingGoesOnlyWhileFocused) {
  HWND e = control(WC_EDITA, "", ES_AUTOHSCROLL);
  shoot(e);
  EXPECT_EQ(count(COLOR_WINDOWTEXT, 2, 2, 98, 22), 0);
  SetFocus(e);
  shoot(e);
  EXPECT_GT(count(COLOR_WINDOWTEXT, 4, 2, 5, 22), 10) << "a bar at the start";
  DestroyWindow(parent_);
}

TEST_F(ControlsLook, TypingEditsAtTheCaret) {
  struct Case {
    const char* says;
    const char* start;
    std::vector<std::pair<UINT, WPARAM>> keys;  // WM_CHAR or WM_KEYDOWN
    const char* text;
  };
  const Case cases[] = {
      {"characters go behind the caret", "", {{WM_CHAR, 'a'}, {WM_CHAR, 'b'}}, "ab"},
      {"Backspace takes the one before", "abc", {{WM_KEYDOWN, VK_END}, {WM_CHAR, VK_BACK}}, "ab"},
      {"Home, then typing, inserts first", "bc", {{WM_KEYDOWN, VK_HOME}, {WM_CHAR, 'a'}}, "abc"},
      {"Left and Delete", "abc", {{WM_KEYDOWN, VK_END}, {WM_KEYDOWN, VK_LEFT}, {WM_KEYDOWN, VK_DELETE}}, "ab"},
      {"a double-byte character goes whole", "a\xC4\xE3", {{WM_KEYDOWN, VK_END}, {WM_CHAR, VK_BACK}}, "a"},
      {"control characters type nothing", "a", {{WM_KEYDOWN, VK_END}, {WM_CHAR, '\t'}, {WM_CHAR, 0x1B}}, "a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    HWND e = control(WC_EDITA, c.start, ES_AUTOHSCROLL);
    for (const auto& k : c.keys) SendMessageA(e, k.first, k.second, 0);
    char text[32] = "";
    GetWindowTextA(e, text, sizeof text);
    EXPECT_STREQ(text, c.text);
    DestroyWindow(parent_);
  }
  // A selection is replaced; a read-only edit takes nothing; the limit holds.
  HWND e = control(WC_EDITA, "abcd", ES_AUTOHSCROLL);
  SendMessageA(e, EM_SETSEL, 1, 3);
  SendMessageA(e, WM_CHAR, 'X', 0);
  SendMessageA(e, EM_LIMITTEXT, 3, 0);
  SendMessageA(e, WM_CHAR, 'Y', 0);
  char text[32] = "";
  GetWindowTextA(e, text, sizeof text);
  EXPECT_STREQ(text, "aXd");
  SendMessageA(e, EM_SETREADONLY, TRUE, 0);
  SendMessageA(e, WM_CHAR, VK_BACK, 0);
  GetWindowTextA(e, text, sizeof text);
  EXPECT_STREQ(text, "aXd");
  DestroyWindow(parent_);
}

TEST_F(ControlsLook, AButtonClicksWhenLetGoOverIt) {
  std::vector<WPARAM> commands;
  hook() = [&](HWND, UINT msg, WPARAM w, LPARAM, LRESULT*) {
    if (msg == WM_COMMAND) commands.push_back(w);
    return false;
  };
  HWND b = control(WC_BUTTONA, "Go", BS_PUSHBUTTON, 7);
  SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(GetCapture(), b);
  SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(300, 5));
  EXPECT_TRUE(commands.empty()) << "let go elsewhere";
  SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0], MAKEWPARAM(7, BN_CLICKED));
  EXPECT_EQ(GetCapture(), nullptr);
  DestroyWindow(parent_);
}

TEST_F(ControlsLook, ADialogTakesTabEnterAndEscape) {
  std::vector<WPARAM> commands;
  hook() = [&](HWND, UINT msg, WPARAM w, LPARAM, LRESULT*) {
    if (msg == WM_COMMAND && HIWORD(w) == BN_CLICKED) commands.push_back(LOWORD(w));
    return false;
  };
  HWND dlg = make(nullptr, 0, 0, 200, 100, WS_VISIBLE | WS_POPUP);
  auto add = [&](const char* cls, DWORD style, int id) {
    return CreateWindowExA(0, cls, "x", style | WS_CHILD | WS_VISIBLE, 0, id, 50, 10, dlg,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  };
  HWND edit = add(WC_EDITA, WS_TABSTOP, 1);
  HWND off = add(WC_BUTTONA, WS_TABSTOP, 2);
  EnableWindow(off, FALSE);
  add(WC_STATICA, 0, 3);
  HWND def = add(WC_BUTTONA, BS_DEFPUSHBUTTON | WS_TABSTOP, 4);
  HWND other = add(WC_BUTTONA, BS_PUSHBUTTON | WS_TABSTOP, 5);
  EXPECT_EQ(GetNextDlgTabItem(dlg, nullptr, FALSE), edit);
  EXPECT_EQ(GetNextDlgTabItem(dlg, edit, FALSE), def) << "the disabled and the static are passed over";
  EXPECT_EQ(GetNextDlgTabItem(dlg, other, FALSE), edit) << "round the end";
  EXPECT_EQ(GetNextDlgTabItem(dlg, edit, TRUE), other);
  SetFocus(edit);
  auto key = [&](UINT vk) {
    MSG m = {GetFocus(), WM_KEYDOWN, vk, 0, 0, {0, 0}};
    return IsDialogMessageA(dlg, &m);
  };
  EXPECT_TRUE(key(VK_RETURN));
  EXPECT_TRUE(key(VK_TAB));
  EXPECT_EQ(GetFocus(), def);
  EXPECT_TRUE(key(VK_TAB));
  EXPECT_EQ(GetFocus(), other);
  EXPECT_TRUE(key(VK_RETURN)) << "the focused button";
  EXPECT_TRUE(key(VK_ESCAPE));
  EXPECT_FALSE(key('A'));
  EXPECT_EQ(commands, (std::vector<WPARAM>{4, 5, IDCANCEL}));
  MSG elsewhere = {nullptr, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  EXPECT_FALSE(IsDialogMessageA(dlg, &elsewhere));
  DestroyWindow(dlg);
}

TEST_F(ControlsLook, AListFollowsTheArrowsAndTheWheel) {
  int changes = 0;
  hook() = [&](HWND, UINT msg, WPARAM w, LPARAM, LRESULT*) {
    changes += msg == WM_COMMAND && HIWORD(w) == LBN_SELCHANGE;
    return false;
  };
  // 24 pixels high: one item of 16 shows at a time.
  HWND list = control(WC_LISTBOXA, "", LBS_NOTIFY);
  for (const char* item : {"a", "b", "c", "d", "e"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  struct Step {
    UINT msg;
    WPARAM w;
    int sel, top, changes;
  };
  const Step steps[] = {
      {WM_KEYDOWN, VK_DOWN, 0, 0, 1},  {WM_KEYDOWN, VK_END, 4, 4, 2},
      {WM_KEYDOWN, VK_DOWN, 4, 4, 2},  // at the end: no change
      {WM_KEYDOWN, VK_UP, 3, 3, 3},    {WM_KEYDOWN, VK_HOME, 0, 0, 4},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0, 3, 4},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), 0, 4, 4},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(3 * WHEEL_DELTA)), 0, 0, 4},
  };
  for (const Step& s : steps) {
    SendMessageA(list, s.msg, s.w, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), s.sel) << s.w;
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), s.top) << s.w;
    EXPECT_EQ(changes, s.changes) << s.w;
  }
  DestroyWindow(parent_);
}

}  // namespace
