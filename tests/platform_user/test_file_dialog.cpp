// The headless common file dialogs: scripted answers, where the name and
// its extension start, and structures the dialog refuses.
#include <commdlg.h>

#include "user_fixture.h"

TEST_F(UserTest, FileDialogHandsBackTheScriptedPath) {
  const struct {
    const char* answer;
    WORD name, extension;
  } cases[] = {{"/srv/plans/site.kzf", 11, 16}, {"C:\\plans\\site", 9, 0}, {"a.b/readme", 4, 0}};
  for (const auto& c : cases) {
    char buffer[MAX_PATH] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
    qm_user_push_file_dialog_answer(c.answer);
    ASSERT_TRUE(GetSaveFileNameA(&ofn)) << c.answer;
    EXPECT_STREQ(buffer, c.answer);
    EXPECT_EQ(ofn.nFileOffset, c.name) << c.answer;
    EXPECT_EQ(ofn.nFileExtension, c.extension) << c.answer;
  }
  EXPECT_EQ(qm_user_file_dialogs().size(), 3u);
}

TEST_F(UserTest, FileDialogRefusesBadStructures) {
  char buffer[8] = "";
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = 12;
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = sizeof buffer;
  qm_user_push_file_dialog_answer("/a");
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_FALSE(GetOpenFileNameA(nullptr));
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = reinterpret_cast<HWND>(0x1234);  // no such window
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_TRUE(qm_user_file_dialogs().empty());
  // The queued answer is still there for the next dialog that shows.
  ofn.hwndOwner = nullptr;
  EXPECT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_STREQ(buffer, "/a");
}
