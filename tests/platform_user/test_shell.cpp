// Shell requests are recorded and answered, never carried out.
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "tests/support/test_temp.h"
#include "user_fixture.h"

namespace {

class ShellTest : public UserTest {};

TEST_F(ShellTest, RequestsAreRecordedAndAnsweredAsTheShellWould) {
  const std::string help = qm_test_temp("help.htm");
  std::FILE* f = std::fopen(help.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  HWND owner = make(nullptr, 0, 0, 10, 10);
  struct Case {
    const char* verb;
    std::string file;
    bool ok;
    INT_PTR error;
  } cases[] = {
      {"open", help, true, 0},
      {nullptr, help, true, 0},
      {"OPEN", "http://www.example.com/quillmark", true, 0},
      {"open", "mailto:someone@example.com", true, 0},
      {"open", help + ".missing", false, SE_ERR_FNF},
      {"open", "C:\\no\\such\\help.htm", false, SE_ERR_FNF},
      {"open", "", false, SE_ERR_FNF},
      {"print", help, false, SE_ERR_NOASSOC},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const INT_PTR got =
        reinterpret_cast<INT_PTR>(ShellExecuteA(owner, c.verb, c.file.c_str(), "-x", "/work", SW_SHOWNORMAL));
    if (c.ok)
      EXPECT_GT(got, 32);
    else
      EXPECT_EQ(got, c.error);
    ASSERT_FALSE(qm_user_shell_requests().empty());
    const QmShellRequest& r = qm_user_shell_requests().back();
    EXPECT_EQ(r.owner, owner);
    EXPECT_EQ(r.verb, c.verb ? c.verb : "");
    EXPECT_EQ(r.file, c.file);
    EXPECT_EQ(r.parameters, "-x");
    EXPECT_EQ(r.directory, "/work");
    EXPECT_EQ(r.show, SW_SHOWNORMAL);
    EXPECT_EQ(r.answer, got);
  }
  EXPECT_EQ(qm_user_shell_requests().size(), std::size(cases));
  std::remove(help.c_str());
  qm_user_reset();
  EXPECT_TRUE(qm_user_shell_requests().empty()) << "a reset forgets the requests";
  EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, SW_SHOW)), SE_ERR_FNF);
}

}  // namespace
