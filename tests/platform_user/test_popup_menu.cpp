// Popup menus answered by the user in a window of their own: drawn over the
// owner in the headless picture, walked with the arrows, chosen by Enter, a
// mnemonic or a click, closed by Escape or a click outside; the system menu
// opened with Alt+Space.
#include <qm_user.h>
#include <winuser.h>

#include "tests/platform_user/user_fixture.h"

namespace {

constexpr UINT kOpen = 101, kSave = 102, kGrey = 103, kClose = 104;

class PopupMenu : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    owner_ = make(nullptr, 0, 0, 300, 200);
    menu_ = CreatePopupMenu();
    AppendMenuA(menu_, MF_STRING, kOpen, "&Open");
    AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu_, MF_STRING | MF_CHECKED, kSave, "&Save\tCtrl+S");
    AppendMenuA(menu_, MF_STRING | MF_GRAYED, kGrey, "&Grey");
    AppendMenuA(menu_, MF_STRING, kClose, "&Close");
  }
  void TearDown() override {
    DestroyMenu(menu_);
    UserTest::TearDown();
  }
  // Keys pressed and let go on whatever has the focus.
  static void keys(std::initializer_list<UINT> vks) {
    for (UINT vk : vks) qm_user_key(nullptr, vk, true), qm_user_key(nullptr, vk, false);
  }
  UINT track(UINT flags = TPM_RETURNCMD) {
    return static_cast<UINT>(TrackPopupMenu(menu_, flags, 20, 30, 0, owner_, nullptr));
  }
  HWND owner_ = nullptr;
  HMENU menu_ = nullptr;
};

TEST_F(PopupMenu, KeysWalkAndChooseAsTheSystemsMenusDo) {
  SetFocus(owner_);
  struct Case {
    const char* what;
    std::vector<UINT> keys;
    UINT chosen;
  };
  const Case cases[] = {
      {"Enter on the first item", {VK_DOWN, VK_RETURN}, kOpen},
      {"the separator passed over", {VK_DOWN, VK_DOWN, VK_RETURN}, kSave},
      {"a greyed item is reached but not chosen", {VK_UP, VK_UP, VK_RETURN, VK_ESCAPE}, 0},
      {"Up from nothing wraps to the last", {VK_UP, VK_RETURN}, kClose},
      {"Home and End", {VK_END, VK_HOME, VK_RETURN}, kOpen},
      {"a mnemonic chooses at once", {'S'}, kSave},
      {"a greyed item's mnemonic chooses nothing", {'G', VK_ESCAPE}, 0},
      {"Escape dismisses", {VK_DOWN, VK_ESCAPE}, 0},
      {"nothing more to come: dismissed", {VK_DOWN}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    qm_user_on_popup([&](HWND) {
      for (UINT vk : c.keys) keys({vk});
    });
    EXPECT_EQ(track(), c.chosen);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(qm_user_window_count(), 1u) << "the menu's window is gone";
  }
}

TEST_F(PopupMenu, ShowsOverItsOwnerAndTakesAClickOrGoesAtAClickOutside) {
  pump();  // the owner painted
  HWND window = nullptr;
  RECT at = {0, 0, 0, 0};
  std::vector<uint32_t> picture;
  int w = 0, h = 0;
  // Over the second item, then a release on it: posted to the owner.
  qm_user_on_popup([&](HWND menu) {
    window = menu;
    GetWindowRect(menu, &at);
    qm_user_screen_image(owner_, &picture, &w, &h);
    RECT item = {0, 0, 0, 0};
    GetClientRect(menu, &item);
    qm_user_mouse(menu, WM_MOUSEMOVE, 10, item.bottom / 2);
    qm_user_mouse(menu, WM_LBUTTONUP, 10, item.bottom / 2);
  });
  EXPECT_TRUE(track(TPM_LEFTALIGN));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(at.left, 20);
  EXPECT_EQ(at.top, 30);
  EXPECT_GT(at.right - at.left, 60);
  ASSERT_EQ(w, 300);
  // The menu's face where it lies, the owner's white elsewhere.
  const auto pixel = [&](LONG x, LONG y) { return picture[static_cast<size_t>(y * w + x)]; };
  EXPECT_EQ(pixel(at.left + 4, at.bottom - 4), 0xD4D0C8u);
  EXPECT_NE(pixel(at.right + 4, at.top + 4), 0xD4D0C8u);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, owner_, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ(LOWORD(m.wParam), kSave);

  // A press outside: dismissed, and the press goes no further.
  seen().clear();
  qm_user_on_popup([&](HWND menu) { qm_user_mouse(menu, WM_LBUTTONDOWN, -50, 150); });
  EXPECT_EQ(track(), 0u);
  for (const Seen& s : seen()) EXPECT_NE(s.msg, WM_LBUTTONDOWN);
  ASSERT_FALSE(qm_user_popups_shown().empty());
  EXPECT_EQ(qm_user_popups_shown().back().answer, 0u);
}

TEST_F(PopupMenu, AScriptedAnswerStillAnswersWithoutAWindow) {
  qm_user_push_popup_answer(kClose);
  bool shown = false;
  qm_user_on_popup([&](HWND) { shown = true; });
  EXPECT_EQ(track(), kClose);
  EXPECT_FALSE(shown);
}

TEST_F(PopupMenu, AltSpaceOpensTheSystemMenuWhoseChoiceComesBackAsASystemCommand) {
  HWND dialog = CreateWindowExA(0, "QmTestWindow", "Tool", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 40, 40, 200,
                                100, nullptr, nullptr, nullptr, nullptr);
  HWND child = make(dialog, 5, 5, 50, 20);
  constexpr UINT kAbout = 0x120;
  HMENU system = GetSystemMenu(dialog, FALSE);
  AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(system, MF_STRING, kAbout, "&About...");
  SetFocus(child);
  qm_user_on_popup([&](HWND) { keys({VK_DOWN, VK_DOWN, VK_RETURN}); });
  qm_user_key(nullptr, VK_MENU, true);
  keys({VK_SPACE});
  qm_user_key(nullptr, VK_MENU, false);
  pump();
  std::vector<WPARAM> commands;
  for (const Seen& s : seen())
    if (s.hwnd == dialog && s.msg == WM_SYSCOMMAND) commands.push_back(s.wparam);
  EXPECT_EQ(commands, (std::vector<WPARAM>{SC_KEYMENU, kAbout}));
}

}  // namespace
