// Message boxes: the log of what was shown and the scripted answers.
#include "tests/platform_user/user_fixture.h"

using MessageBoxes = UserTest;

TEST_F(MessageBoxes, AreLoggedAndAnsweredFromTheScript) {
  // "错误提示" in GBK.
  const char caption[] = "\xB4\xED\xCE\xF3\xCC\xE1\xCA\xBE";
  EXPECT_EQ(MessageBoxA(nullptr, "bad file", caption, MB_OK | MB_ICONERROR), IDOK);
  qm_user_push_message_box_answer(IDNO);
  qm_user_push_message_box_answer(IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "c", nullptr, MB_OK), IDCANCEL);
  // Without a scripted answer a box answers with its default button.
  struct Case {
    UINT type;
    int want;
  } cases[] = {{MB_OKCANCEL, IDOK},           {MB_YESNO, IDYES},          {MB_YESNO | MB_DEFBUTTON2, IDNO},
               {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL}, {MB_RETRYCANCEL | MB_DEFBUTTON3, IDRETRY},
               {MB_ABORTRETRYIGNORE, IDABORT}, {0x0F, IDOK}};
  for (const Case& c : cases) EXPECT_EQ(MessageBoxA(nullptr, "", "", c.type), c.want) << c.type;

  const std::vector<QmMessageBox>& log = qm_user_message_boxes();
  ASSERT_EQ(log.size(), 3u + sizeof cases / sizeof cases[0]);
  EXPECT_EQ(log[0].owner, nullptr);
  EXPECT_EQ(log[0].text, "bad file");
  EXPECT_EQ(log[0].caption, caption);
  EXPECT_EQ(log[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(log[0].answer, IDOK);
  EXPECT_EQ(log[1].answer, IDNO);
  EXPECT_EQ(log[2].caption, "Error");
  qm_user_clear_message_boxes();
  EXPECT_TRUE(qm_user_message_boxes().empty());
}

TEST_F(MessageBoxes, AnOwnerThatIsNoWindowShowsNothing) {
  HWND w = make(nullptr, 0, 0, 10, 10, 0);
  EXPECT_EQ(MessageBoxA(w, "x", "y", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(0x88), "x", "y", MB_OK), 0);
  ASSERT_EQ(qm_user_message_boxes().size(), 1u);
  EXPECT_EQ(qm_user_message_boxes()[0].owner, w);
}
