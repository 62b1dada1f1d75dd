// What the font tool's dialog relies on in the class library: an edit's
// update notification before its change, its selection and typing limit, a
// radio group in data exchange, and the text of a tooltip.
#include <afxcmn.h>
#include <gtest/gtest.h>
#include <qm_user.h>

#include <string>
#include <vector>

namespace {

enum : UINT { kDlg = 310, kEdit = 1001, kFirst = 1002, kSecond = 1003, kThird = 1004, kAfter = 1005 };

class RadioDialog : public CDialog {
  DECLARE_MESSAGE_MAP()
 public:
  RadioDialog() : CDialog(kDlg) {}
  int choice = 1;
  std::vector<std::string> events;
  void DoDataExchange(CDataExchange* dx) override { DDX_Radio(dx, kFirst, choice); }
  afx_msg void OnUpdate() {
    CString s;
    GetDlgItemText(kEdit, s);
    events.push_back("update " + s.str());
  }
  afx_msg void OnChange() { events.push_back("change"); }
};
BEGIN_MESSAGE_MAP(RadioDialog, CDialog)
ON_EN_UPDATE(kEdit, OnUpdate)
ON_EN_CHANGE(kEdit, OnChange)
END_MESSAGE_MAP()

class EditRadioTipsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxRegisterDialog({kDlg,
                       "Radios",
                       WS_CAPTION,
                       0,
                       0,
                       200,
                       100,
                       {
                           {kEdit, WC_EDITA, "", ES_AUTOHSCROLL, 10, 10, 100, 12},
                           {kFirst, WC_BUTTONA, "One", BS_AUTORADIOBUTTON | WS_GROUP, 10, 30, 50, 10},
                           {kSecond, WC_BUTTONA, "Two", BS_AUTORADIOBUTTON, 10, 42, 50, 10},
                           {kThird, WC_BUTTONA, "Three", BS_AUTORADIOBUTTON, 10, 54, 50, 10},
                           {kAfter, WC_BUTTONA, "Alone", BS_AUTORADIOBUTTON | WS_GROUP, 10, 66, 50, 10},
                       }});
    AfxClearDialogs();
  }
  void TearDown() override {
    AfxClearDialogs();
    AfxDeleteTempObjects();
    qm_user_reset();
  }
};

TEST_F(EditRadioTipsTest, RadioGroupsEditsAndTooltips) {
  RadioDialog dlg;
  AfxPushDialogScript(kDlg, [&](CDialog& d) {
    HWND edit = ::GetDlgItem(d.m_hWnd, kEdit);
    auto checked = [&](UINT id) { return ::SendMessageA(::GetDlgItem(d.m_hWnd, id), BM_GETCHECK, 0, 0); };
    // The member's index checked at the start; the next group is not touched.
    EXPECT_EQ(checked(kSecond), BST_CHECKED);
    EXPECT_EQ(checked(kFirst), BST_UNCHECKED);
    EXPECT_EQ(checked(kAfter), BST_UNCHECKED);
    ::SendMessageA(::GetDlgItem(d.m_hWnd, kAfter), BM_CLICK, 0, 0);
    ::SendMessageA(::GetDlgItem(d.m_hWnd, kThird), BM_CLICK, 0, 0);
    EXPECT_EQ(checked(kAfter), BST_CHECKED);
    d.UpdateData(TRUE);
    EXPECT_EQ(dlg.choice, 2);
    ::SendMessageA(::GetDlgItem(d.m_hWnd, kThird), BM_SETCHECK, BST_UNCHECKED, 0);
    d.UpdateData(TRUE);
    EXPECT_EQ(dlg.choice, -1);
    // Typing: the update comes first, with the new text; the caret ends
    // behind it. Setting the text notifies the same way and selects nothing.
    dlg.events.clear();
    qm_user_type(edit, "abc");
    d.SetDlgItemText(kEdit, "xy");
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"update abc", "change", "update xy", "change"}));
    DWORD start = 9, end = 9;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
    qm_user_type(edit, "abcd");
    int s = 0, e = 0;
    CEdit as_edit;
    as_edit.Attach(edit);
    as_edit.GetSel(s, e);
    EXPECT_EQ(s, 4);
    EXPECT_EQ(e, 4);
    const struct {
      int start, end, got_start, got_end;
    } sels[] = {{3, 1, 1, 3}, {0, -1, 0, 4}, {2, 99, 2, 4}, {-1, 0, 4, 4}};
    for (const auto& c : sels) {
      ::SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(c.start), c.end);
      as_edit.GetSel(s, e);
      EXPECT_EQ(s, c.got_start) << c.start << "," << c.end;
      EXPECT_EQ(e, c.got_end) << c.start << "," << c.end;
    }
    // Typing stops at the limit, never inside a double-byte character.
    as_edit.SetLimitText(3);
    for (const auto& [typed, kept] : {std::pair<const char*, const char*>{"abcdef", "abc"},
                                      {"a\xc3\xc5\xc3", "a\xc3\xc5"},
                                      {"\xc3\xc5\xc3\xc5", "\xc3\xc5"}}) {
      qm_user_type(edit, typed);
      CString now;
      d.GetDlgItemText(kEdit, now);
      EXPECT_EQ(now, kept) << typed;
    }
    d.SetDlgItemText(kEdit, "set by the program");  // not typed: not limited
    CString set;
    d.GetDlgItemText(kEdit, set);
    EXPECT_EQ(set, "set by the program");
    as_edit.Detach();
    // Tooltips hand back their text, "" for a control without one.
    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&d));
    tips.AddTool(CWnd::FromHandle(edit), "Type here\nplease");
    CString tip;
    tips.GetText(tip, CWnd::FromHandle(edit));
    EXPECT_EQ(tip, "Type here\nplease");
    tips.GetText(tip, d.GetDlgItem(kFirst));
    EXPECT_EQ(tip, "");
    tips.DestroyWindow();
  });
  dlg.DoModal();
}

}  // namespace
