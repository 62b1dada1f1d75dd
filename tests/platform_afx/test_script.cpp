// The programs' script player: what it refuses to read, and a replay that
// drives a modal dialog, queues a chooser's answer and runs a program's own
// verb, in the order written.
#include <afxwin.h>
#include <gtest/gtest.h>
#include <qm_script.h>
#include <qm_user.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

enum : UINT { kNoteDialog = 410, kNoteText = 1001 };

// Keeps what was typed into it when OK ends it.
class NoteDialog : public CDialog {
 public:
  NoteDialog() : CDialog(kNoteDialog) {}
  CString typed;
  void OnOK() override {
    GetDlgItemText(kNoteText, typed);
    CDialog::OnOK();
  }
};

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QmDialogTemplate t{kNoteDialog, "Note", WS_CAPTION, 0, 0, 120, 60, {}};
    t.items = {{kNoteText, WC_EDITA, "", ES_AUTOHSCROLL, 5, 5, 100, 12},
               {IDOK, WC_BUTTONA, "OK", BS_DEFPUSHBUTTON, 60, 40, 50, 14}};
    AfxRegisterDialog(t);
    AfxClearDialogs();
  }
  void TearDown() override {
    AfxClearDialogs();
    AfxDeleteTempObjects();
    qm_user_reset();
  }

  // "note WORD" logs its word; "ask" runs the note dialog and logs what
  // was typed into it, or "cancelled".
  QmScriptVerbs verbs() {
    QmScriptVerbs v;
    v["note"] = {[](QmScriptStep& s) {
                   std::vector<std::string> words;
                   return qm_script_words(s.rest, words) && words.size() == 1 && !(s.text = words[0]).empty();
                 },
                 [this](const QmScriptStep& s, std::string& error) {
                   if (s.text == "fail") {
                     error = "the note fails";
                     return false;
                   }
                   log.push_back(s.text);
                   return true;
                 }};
    v["ask"] = {[](QmScriptStep& s) { return s.rest.find_first_not_of(" \t\r") == std::string::npos; },
                [this](const QmScriptStep&, std::string&) {
                  NoteDialog d;
                  log.push_back(d.DoModal() == IDOK ? std::string(d.typed) : "cancelled");
                  return true;
                }};
    return v;
  }

  std::vector<std::string> log;
};

TEST_F(ScriptTest, ScriptsThatCannotBeReadSayWhichLineAndWhy) {
  const struct {
    const char* text;
    const char* says;
  } cases[] = {
      {"click 1 2\nfly 3 4\n", "line 2: unknown step \"fly\""},
      {"click 1\n", "line 1: malformed \"click\" step"},
      {"key sideways\n", "line 1: malformed \"key\" step"},
      {"char ab\n", "line 1: malformed \"char\" step"},
      {"char \xF0\x9F\x98\x80\n", "line 1: malformed \"char\" step"},  // no GBK code
      {"type 5 unquoted\n", "line 1: malformed \"type\" step"},
      {"answer folder\n", "line 1: malformed \"answer\" step"},
      {"answer folder \"\"\n", "line 1: malformed \"answer\" step"},
      {"note\n", "line 1: malformed \"note\" step"},
      {"ask now\n", "line 1: malformed \"ask\" step"},
      {"\n# only a comment\nend\n", "line 3: \"end\" closes no dialog"},
      {"dialog 410\n  press 1\n", "line 1: the dialog's steps have no \"end\""},
  };
  for (const auto& c : cases) {
    std::vector<QmScriptStep> steps;
    std::string error;
    EXPECT_FALSE(qm_parse_script(c.text, verbs(), steps, error)) << c.text;
    EXPECT_EQ(error, c.says) << c.text;
  }
}

TEST_F(ScriptTest, ACharacterIsAByteOrOneGbkCharacter) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"char a\n", 'a'}, {"char \xE4\xB8\xAD\n", 0xD6D0}};  // 中
  for (const auto& c : cases) {
    std::vector<QmScriptStep> steps;
    std::string error;
    ASSERT_TRUE(qm_parse_script(c.text, verbs(), steps, error)) << error;
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].value, c.value) << c.text;
  }
}

TEST_F(ScriptTest, StepsRunInOrderIntoDialogsAndThePrograms) {
  CWinApp app("script");
  const std::string text =
      "note first   # a comment\n"
      "answer folder \"/tmp\"\n"
      "dialog 410\n"
      "  type 1001 \"typed\"\n"
      "  press 1\n"
      "end\n"
      "ask\n"
      "ask\n"  // no steps for it: cancelled, as a user closing it would
      "note last\n";
  std::vector<QmScriptStep> steps;
  std::string error;
  ASSERT_TRUE(qm_parse_script(text, verbs(), steps, error)) << error;
  ASSERT_TRUE(qm_run_script(nullptr, steps, verbs(), error)) << error;
  EXPECT_EQ(log, (std::vector<std::string>{"first", "typed", "cancelled", "last"}));
  // The folder answer waits for the next chooser.
  BROWSEINFOA bi = {};
  LPITEMIDLIST chosen = SHBrowseForFolderA(&bi);
  char path[MAX_PATH] = "";
  ASSERT_NE(chosen, nullptr);
  EXPECT_TRUE(SHGetPathFromIDListA(chosen, path));
  EXPECT_STREQ(path, "/tmp");
  ILFree(chosen);

  // A step that fails stops the replay at its line; the steps before it ran.
  log.clear();
  steps.clear();
  ASSERT_TRUE(qm_parse_script("note one\nnote fail\nnote never\n", verbs(), steps, error));
  EXPECT_FALSE(qm_run_script(nullptr, steps, verbs(), error));
  EXPECT_EQ(error, "line 2: the note fails");
  EXPECT_EQ(log, std::vector<std::string>{"one"});
}

}  // namespace
