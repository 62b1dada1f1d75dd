// A field as a person edits it: text taken whole when the dialog's keys
// give it the focus (so typing replaces it), Shift with the arrows, Home and
// End, Ctrl+A, cut, copy and paste, and the mouse moving the caret and
// selecting.
#include <commctrl.h>
#include <qm_display.h>
#include <qm_user.h>
#include <winuser.h>

#include <string>

#include "tests/platform_user/user_fixture.h"

namespace {

class EditKeys : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    dialog_ = make(nullptr, 0, 0, 300, 100);
    edit_ = CreateWindowExA(0, WC_EDITA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 200, 22, dialog_,
                            reinterpret_cast<HMENU>(1), nullptr, nullptr);
  }
  // Keys pressed and let go, through the dialog's keys as a modal loop passes them.
  void keys(const std::vector<UINT>& vks) {
    for (UINT vk : vks) qm_user_key(nullptr, vk, true), qm_user_key(nullptr, vk, false);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (IsDialogMessageA(dialog_, &m)) continue;
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
  // The keys with a modifier held (0: none).
  void with(UINT modifier, const std::vector<UINT>& vks) {
    if (modifier) qm_user_key(nullptr, modifier, true);
    keys(vks);
    if (modifier) qm_user_key(nullptr, modifier, false);
    pump();
  }
  std::string text() {
    char buffer[256] = "";
    GetWindowTextA(edit_, buffer, sizeof buffer);
    return buffer;
  }
  std::pair<DWORD, DWORD> selection() {
    DWORD from = 0, to = 0;
    SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return {from, to};
  }
  HWND dialog_ = nullptr, edit_ = nullptr;
};

TEST_F(EditKeys, DefaultTextGivenTheFocusByTheDialogIsReplacedByTyping) {
  SetWindowTextA(edit_, "Output.pdf");
  qm_user_focus_dialog_item(edit_);
  keys({'A', 'B'});
  EXPECT_EQ(text(), "ab");
}

TEST_F(EditKeys, SelectionKeysTable) {
  SetWindowTextA(edit_, "angle 45");
  SetFocus(edit_);
  struct Step {
    const char* what;
    UINT modifier;  // 0 for none
    std::vector<UINT> keys;
    DWORD from, to;
  };
  const Step steps[] = {
      {"End", 0, {VK_END}, 8, 8},
      {"Shift+Left twice", VK_SHIFT, {VK_LEFT, VK_LEFT}, 6, 8},
      {"Left collapses to the start", 0, {VK_LEFT}, 6, 6},
      {"Shift+Right", VK_SHIFT, {VK_RIGHT}, 6, 7},
      {"Shift+Home reaches back past the anchor", VK_SHIFT, {VK_HOME}, 0, 6},
      {"Right collapses to the end", 0, {VK_RIGHT}, 6, 6},
      {"Ctrl+A", VK_CONTROL, {'A'}, 0, 8},
      {"Home", 0, {VK_HOME}, 0, 0},
      {"Shift+End", VK_SHIFT, {VK_END}, 0, 8},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    with(s.modifier, s.keys);
    EXPECT_EQ(selection(), std::make_pair(s.from, s.to));
  }
  EXPECT_EQ(text(), "angle 45");
}

TEST_F(EditKeys, CutCopyAndPasteGoThroughTheClipboard) {
  SetWindowTextA(edit_, "angle 45");
  SetFocus(edit_);
  keys({VK_END});
  with(VK_SHIFT, {VK_LEFT, VK_LEFT});
  with(VK_CONTROL, {'C'});
  keys({VK_HOME});
  with(VK_CONTROL, {'V'});
  EXPECT_EQ(text(), "45angle 45");
  with(VK_CONTROL, {'A'});
  with(VK_CONTROL, {'X'});
  EXPECT_EQ(text(), "");
  with(VK_CONTROL, {'V'});
  EXPECT_EQ(text(), "45angle 45");
}

TEST_F(EditKeys, AClickMovesTheCaretAndADragSelects) {
  SetWindowTextA(edit_, "abcdefgh");
  pump();
  // Where the text ends: a click far right of it puts the caret at the end.
  qm_user_mouse(edit_, WM_LBUTTONDOWN, 190, 10);
  qm_user_mouse(edit_, WM_LBUTTONUP, 190, 10);
  pump();
  EXPECT_EQ(GetFocus(), edit_);
  EXPECT_EQ(selection(), std::make_pair(DWORD{8}, DWORD{8}));
  // A click at the left edge puts it before the first character; a drag
  // from there to the far right selects everything.
  qm_user_mouse(edit_, WM_LBUTTONDOWN, 1, 10);
  pump();
  EXPECT_EQ(selection(), std::make_pair(DWORD{0}, DWORD{0}));
  qm_user_mouse(edit_, WM_MOUSEMOVE, 190, 10);
  qm_user_mouse(edit_, WM_LBUTTONUP, 190, 10);
  pump();
  EXPECT_EQ(selection(), std::make_pair(DWORD{0}, DWORD{8}));
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace

namespace {

// A multi-line edit three rows high holding six lines.
class MultiLineKeys : public EditKeys {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    dialog_ = make(nullptr, 0, 0, 300, 200);
    font_ = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    line_ = tm.tmHeight;
    edit_ =
        CreateWindowExA(0, WC_EDITA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL,
                        10, 10, 200, 3 * line_ + 6, dialog_, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetWindowTextA(edit_, kText);
    SetFocus(edit_);
  }
  void TearDown() override {
    EditKeys::TearDown();
    DeleteObject(font_);
  }
  LRESULT first_shown() { return SendMessageA(edit_, EM_GETFIRSTVISIBLELINE, 0, 0); }
  // Rows start at 0, 7, 11, 18, 21 and 24; the text is 25 long.
  static constexpr const char* kText = "alpha\r\nbe\r\ngamma\r\nd\r\ne\r\nf";
  LONG line_ = 0;
  HFONT font_ = nullptr;
};

TEST_F(MultiLineKeys, KeysMoveTheCaretByRowsAndKeepItInView) {
  EXPECT_EQ(SendMessageA(edit_, EM_GETLINECOUNT, 0, 0), 6);
  struct Step {
    const char* what;
    UINT modifier;  // 0 for none
    std::vector<UINT> keys;
    DWORD from, to;
    LRESULT first_shown;
  };
  const Step steps[] = {
      {"End of the row", 0, {VK_END}, 5, 5, 0},
      {"Down onto a shorter row ends it", 0, {VK_DOWN}, 9, 9, 0},
      {"Home, Down", 0, {VK_HOME, VK_DOWN}, 11, 11, 0},
      {"Down past the last row shown scrolls", 0, {VK_DOWN}, 18, 18, 1},
      {"Right over the line break is one step", 0, {VK_RIGHT, VK_RIGHT}, 21, 21, 2},
      {"Left back over it", 0, {VK_LEFT}, 19, 19, 2},
      {"Ctrl+End", VK_CONTROL, {VK_END}, 25, 25, 3},
      {"Home, Page up", 0, {VK_HOME, VK_PRIOR}, 11, 11, 0},
      {"Page down", 0, {VK_NEXT}, 24, 24, 3},
      {"Shift+Up selects back a row", VK_SHIFT, {VK_UP}, 21, 24, 3},
      {"Shift+Page up reaches on", VK_SHIFT, {VK_PRIOR}, 7, 24, 0},
      {"Ctrl+Home", VK_CONTROL, {VK_HOME}, 0, 0, 0},
      {"Up on the first row stays", 0, {VK_UP}, 0, 0, 0},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    with(s.modifier, s.keys);
    EXPECT_EQ(selection(), std::make_pair(s.from, s.to));
    EXPECT_EQ(first_shown(), s.first_shown);
  }
  // Enter breaks the line, Backspace joins it again in one step.
  keys({VK_END, VK_RETURN});
  EXPECT_EQ(text(), "alpha\r\n\r\nbe\r\ngamma\r\nd\r\ne\r\nf");
  EXPECT_EQ(SendMessageA(edit_, EM_GETLINECOUNT, 0, 0), 7);
  keys({VK_BACK});
  EXPECT_EQ(text(), kText);
  // Text typed in whole leaves the caret at its end, in view.
  qm_user_type(edit_, kText);
  EXPECT_EQ(selection(), std::make_pair(DWORD{25}, DWORD{25}));
  EXPECT_EQ(first_shown(), 3);
}

TEST_F(MultiLineKeys, AClickPicksTheRowAndADragSelectsAcrossRows) {
  pump();
  const LPARAM second = 3 + line_ + line_ / 2, third = 3 + 2 * line_ + line_ / 2;
  qm_user_mouse(edit_, WM_LBUTTONDOWN, 150, static_cast<int>(second));
  qm_user_mouse(edit_, WM_MOUSEMOVE, 150, static_cast<int>(third));
  qm_user_mouse(edit_, WM_LBUTTONUP, 150, static_cast<int>(third));
  pump();
  EXPECT_EQ(selection(), std::make_pair(DWORD{9}, DWORD{16}));
  qm_user_mouse(edit_, WM_LBUTTONDOWN, 1, static_cast<int>(second));
  qm_user_mouse(edit_, WM_LBUTTONUP, 1, static_cast<int>(second));
  pump();
  EXPECT_EQ(selection(), std::make_pair(DWORD{7}, DWORD{7}));
}

TEST_F(MultiLineKeys, ALineWiderThanTheFieldWrapsAfterACommaAndEveryCharacterShows) {
  const std::string tokens = "2,014,8,(-3,-4),1,2,010,8,(5,6),1,2,034,0,2,8,(1,2),1,0";
  SetWindowTextA(edit_, tokens.c_str());
  const LRESULT rows = SendMessageA(edit_, EM_GETLINECOUNT, 0, 0);
  EXPECT_GT(rows, 1);
  for (LRESULT row = 1; row < rows; ++row) {
    // Each row after the first starts after a comma, nothing left out.
    const LRESULT start = SendMessageA(edit_, EM_LINEINDEX, static_cast<WPARAM>(row), 0);
    ASSERT_GT(start, 0);
    EXPECT_EQ(tokens[static_cast<size_t>(start) - 1], ',') << row;
  }
  // End, on the wrapped text, goes to the end of the caret's row only.
  keys({VK_END});
  EXPECT_EQ(selection().first, static_cast<DWORD>(SendMessageA(edit_, EM_LINEINDEX, 1, 0)));
}

}  // namespace
