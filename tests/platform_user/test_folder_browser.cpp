// The headless folder browser: what the caller's callback sets on the browser
// window is logged, the scripted answer is the selection the callback sees,
// and OK follows what the callback allows.
#include <shlobj.h>

#include <string>

#include "user_fixture.h"

namespace {

// A callback that selects the folder it is given, names the browser, shows
// the selection as status and allows OK only for folders under "/srv".
int Callback(HWND browser, UINT msg, LPARAM lparam, LPARAM data) {
  if (msg == BFFM_INITIALIZED) {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
    SetWindowTextA(browser, "Pick a folder");
  } else if (msg == BFFM_SELCHANGED) {
    char path[MAX_PATH] = "";
    SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lparam), path);
    SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    SendMessageA(browser, BFFM_ENABLEOK, 0, std::string(path).rfind("/srv", 0) == 0);
  }
  return 0;
}

}  // namespace

TEST_F(UserTest, FolderBrowserAnswersThroughTheCallback) {
  char name[MAX_PATH] = "";
  BROWSEINFOA bi = {};
  bi.pszDisplayName = name;
  bi.lpszTitle = "Output folder:";
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  bi.lpfn = Callback;
  bi.lParam = reinterpret_cast<LPARAM>("/srv/start");
  const struct {
    const char* answer;
    bool chosen;
    const char* name;
  } cases[] = {
      {"/srv/plans/", true, "plans/"}, {"/srv/out", true, "out"}, {"/home/x", false, ""}, {nullptr, false, ""}};
  for (const auto& c : cases) qm_user_push_folder_answer(c.answer);
  for (const auto& c : cases) {
    name[0] = '\0';
    LPITEMIDLIST item = SHBrowseForFolderA(&bi);
    const std::string at = c.answer ? c.answer : "(cancel)";
    EXPECT_EQ(item != nullptr, c.chosen) << at;
    char path[MAX_PATH] = "";
    EXPECT_EQ(SHGetPathFromIDListA(item, path), c.chosen ? TRUE : FALSE) << at;
    if (c.chosen) {
      EXPECT_STREQ(path, c.answer);
    }
    EXPECT_STREQ(name, c.name) << at;
    ILFree(item);
  }
  const auto& log = qm_user_folder_dialogs();
  ASSERT_EQ(log.size(), 4u);
  for (size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].title, "Output folder:");
    EXPECT_EQ(log[i].caption, "Pick a folder");
    EXPECT_EQ(log[i].initial_selection, "/srv/start");
    EXPECT_EQ(log[i].flags, static_cast<DWORD>(BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT));
    EXPECT_EQ(log[i].chosen, cases[i].chosen);
  }
  EXPECT_EQ(log[2].status, "/home/x");  // seen, but OK was not allowed
  EXPECT_EQ(log[3].status, "");         // a cancel selects nothing
  // No window is left behind.
  EXPECT_EQ(qm_user_window_count(), 0u);
}

TEST_F(UserTest, FolderBrowserItemsNameExistingPathsOnly) {
  EXPECT_EQ(ILCreateFromPathA("/no/such/folder/here"), nullptr);
  EXPECT_EQ(ILCreateFromPathA(nullptr), nullptr);
  LPITEMIDLIST root = ILCreateFromPathA("/");
  ASSERT_NE(root, nullptr);
  BROWSEINFOA bi = {};
  bi.pidlRoot = root;
  EXPECT_EQ(SHBrowseForFolderA(&bi), nullptr);  // nothing queued: cancelled
  ASSERT_EQ(qm_user_folder_dialogs().size(), 1u);
  EXPECT_EQ(qm_user_folder_dialogs()[0].root, "/");
  ILFree(root);
  EXPECT_EQ(SHBrowseForFolderA(nullptr), nullptr);
  EXPECT_EQ(SHGetPathFromIDListA(nullptr, nullptr), FALSE);
}
