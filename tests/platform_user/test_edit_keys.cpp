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
  void with(UINT modifier, const std::vector<UINT>& vks) {
    qm_user_key(nullptr, modifier, true);
    keys(vks);
    qm_user_key(nullptr, modifier, false);
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
    if (s.modifier)
      with(s.modifier, s.keys);
    else
      keys(s.keys);
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
