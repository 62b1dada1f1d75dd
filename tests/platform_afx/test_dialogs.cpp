// Dialogs from templates with data exchange and scripted answers, the
// controls they hold (owner-drawn lists, combo boxes, tabs, progress) and
// popup menus.
#include <afxcmn.h>
#include <gtest/gtest.h>
#include <qm_user.h>

#include <string>
#include <vector>

namespace {

enum : UINT { kDlg = 300, kName = 1001, kCount = 1002, kScale = 1003, kFlag = 1004, kKind = 1005, kList = 1006 };

void register_dialog() {
  AfxRegisterDialog({kDlg,
                     "Block",
                     WS_CAPTION | WS_SYSMENU,
                     0, 0, 200, 120,
                     {
                         {kName, WC_EDITA, "", ES_AUTOHSCROLL, 10, 10, 100, 12},
                         {kCount, WC_EDITA, "", 0, 10, 26, 40, 12},
                         {kScale, WC_EDITA, "", 0, 60, 26, 40, 12},
                         {kFlag, WC_BUTTONA, "Explode", BS_AUTOCHECKBOX, 10, 42, 60, 10},
                         {kKind, WC_COMBOBOXA, "", CBS_DROPDOWNLIST | CBS_SORT, 10, 56, 80, 60},
                         {kList, WC_LISTBOXA, "", LBS_NOTIFY | LBS_OWNERDRAWFIXED, 110, 10, 80, 64},
                         {IDOK, WC_BUTTONA, "OK", BS_DEFPUSHBUTTON, 40, 100, 50, 14},
                         {IDCANCEL, WC_BUTTONA, "Cancel", 0, 100, 100, 50, 14},
                     }});
}

// Records each item it is asked to draw.
class Swatches : public CListBox {
 public:
  std::vector<std::pair<UINT, UINT>> drawn;  // item, state
  void DrawItem(LPDRAWITEMSTRUCT d) override { drawn.emplace_back(d->itemID, d->itemState); }
};

class BlockDialog : public CDialog {
  DECLARE_MESSAGE_MAP()
 public:
  BlockDialog() : CDialog(kDlg) {}
  CString name = "door";
  int count = 3;
  double scale = 1.5;
  int flag = 1;
  CString kind = "wall";
  Swatches list;
  std::vector<std::string> events;

  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, kList, list);
    DDX_Text(dx, kName, name);
    DDX_Text(dx, kCount, count);
    DDX_Text(dx, kScale, scale);
    DDX_Check(dx, kFlag, flag);
    DDX_CBString(dx, kKind, kind);
  }
  BOOL OnInitDialog() override {
    HWND combo = ::GetDlgItem(m_hWnd, kKind);
    for (const char* k : {"wall", "door", "Window"}) ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(k));
    CDialog::OnInitDialog();
    for (int i = 0; i < 3; ++i) list.AddString(reinterpret_cast<LPCSTR>(static_cast<intptr_t>(0x100 + i)));
    return TRUE;
  }
  afx_msg void OnNameChange() { events.push_back("name changed"); }
  afx_msg void OnPick() { events.push_back("picked " + std::to_string(list.GetCurSel())); }
};
BEGIN_MESSAGE_MAP(BlockDialog, CDialog)
ON_EN_CHANGE(kName, OnNameChange)
ON_LBN_SELCHANGE(kList, OnPick)
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    register_dialog();
    AfxClearDialogs();
  }
  void TearDown() override {
    AfxClearDialogs();
    AfxDeleteTempObjects();
    qm_user_reset();
    EXPECT_EQ(qm_user_window_count(), 0u);
  }
};

HWND item(CDialog& d, UINT id) { return ::GetDlgItem(d.m_hWnd, static_cast<int>(id)); }

CString text(HWND h) {
  char buf[256];
  ::GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

// The average width and the height of a font as the GDI draws it.
SIZE measured(const QmDialogFont& f) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, AfxDialogFont(f));
  SIZE letters = {0, 0};
  ::GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
  TEXTMETRICA tm = {};
  ::GetTextMetricsA(dc, &tm);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return {(letters.cx / 26 + 1) / 2, tm.tmHeight};
}

TEST_F(DialogTest, UnitsFollowTheTemplateFontAndEveryLabelFits) {
  const QmDialogFont fonts[] = {{}, {"MS Sans Serif", 8}, {"\xcb\xce\xcc\xe5", 9}, {"Arial", 8}, {"Arial", 14}};
  for (const QmDialogFont& f : fonts) {
    SCOPED_TRACE(std::string(f.face) + " " + std::to_string(f.points));
    const SIZE m = measured(f);
    const QmDialogUnits u = AfxDialogUnits(f);
    EXPECT_EQ(u.base_x, m.cx);
    EXPECT_EQ(u.base_y, m.cy);
    // A label laid out for its text in the system's units (4 units a
    // character and 10 for a check box) holds it in any font.
    const char* label = "&File decompile";
    QmDialogTemplate t{kDlg + 1, "Labels", WS_CAPTION, 0, 0, 120, 40, {}, f};
    t.items = {{kFlag, WC_BUTTONA, label, BS_AUTORADIOBUTTON, 5, 5, 62, 10},
               {kName, WC_STATICA, "Preview", SS_LEFT, 5, 20, 30, 8}};
    AfxRegisterDialog(t);
    CDialog d(kDlg + 1);
    AfxPushDialogScript(kDlg + 1, [&](CDialog& shown) {
      CRect client, r;
      shown.GetClientRect(&client);
      EXPECT_EQ(client.Width(), MulDiv(120, m.cx, 4));
      EXPECT_EQ(client.Height(), MulDiv(40, m.cy, 8));
      for (UINT id : {kFlag, kName}) {
        HWND h = item(shown, id);
        // Each control is given the dialog's font.
        ASSERT_EQ(reinterpret_cast<HFONT>(::SendMessageA(h, WM_GETFONT, 0, 0)), AfxDialogFont(f));
        ::GetClientRect(h, &r);
        HDC dc = ::GetDC(h);
        HGDIOBJ old = ::SelectObject(dc, AfxDialogFont(f));
        RECT need = {0, 0, 0, 0};
        const CString shown_text = id == kFlag ? "File decompile" : "Preview";
        ::DrawTextA(dc, shown_text, -1, &need, DT_CALCRECT | DT_SINGLELINE);
        ::SelectObject(dc, old);
        ::ReleaseDC(h, dc);
        const int box = id == kFlag ? MulDiv(12, m.cx, 4) : 0;
        EXPECT_LE(need.right + box, r.Width()) << shown_text;
        EXPECT_LE(need.bottom, r.Height()) << shown_text;
      }
    });
    d.DoModal();
  }
}

TEST_F(DialogTest, DataGoesInAtInitAndComesBackOnOk) {
  CWinApp app("Test");
  BlockDialog dlg;
  AfxPushDialogScript(kDlg, [](CDialog& d) {
    // What the user saw, filled from the members.
    EXPECT_EQ(text(item(d, kName)), "door");
    EXPECT_EQ(text(item(d, kCount)), "3");
    EXPECT_EQ(text(item(d, kScale)), "1.5");
    EXPECT_EQ(::SendMessageA(item(d, kFlag), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(text(item(d, kKind)), "wall");
    // The dialog is 200 x 120 dialog units of the system's dialog font.
    CRect r;
    d.GetClientRect(&r);
    const QmDialogUnits u = AfxDialogUnits({});
    EXPECT_EQ(r.Width(), MulDiv(200, u.base_x, 4));
    EXPECT_EQ(r.Height(), MulDiv(120, u.base_y, 8));
    qm_user_type(item(d, kName), "\xc3\xc5");  // a GBK name
    qm_user_type(item(d, kCount), " 12 ");
    qm_user_type(item(d, kScale), "-0.25");
    ::SendMessageA(item(d, kFlag), BM_CLICK, 0, 0);
    qm_user_pick(item(d, kKind), 0);  // sorted: "door", "wall", "Window"
    ::SendMessageA(item(d, IDOK), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.name, "\xc3\xc5");
  EXPECT_EQ(dlg.count, 12);
  EXPECT_EQ(dlg.scale, -0.25);
  EXPECT_EQ(dlg.flag, 0);
  EXPECT_EQ(dlg.kind, "door");
  EXPECT_EQ(dlg.m_hWnd, nullptr);  // the window is gone after DoModal
  EXPECT_EQ(dlg.list.m_hWnd, nullptr);
  ASSERT_EQ(AfxDialogsShown().size(), 1u);
  EXPECT_EQ(AfxDialogsShown()[0].caption, "Block");
  EXPECT_EQ(AfxDialogsShown()[0].result, IDOK);
  // Filling at init changed the name once, typing once more.
  EXPECT_EQ(std::count(dlg.events.begin(), dlg.events.end(), "name changed"), 2);
}

TEST_F(DialogTest, AModalDialogOpensCentredOverItsOwner) {
  CWinApp app("Test");
  CWnd main_window, owner;
  ASSERT_TRUE(main_window.CreateEx(0, nullptr, "", WS_VISIBLE, 10, 20, 500, 300, nullptr, nullptr));
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_VISIBLE, 300, 200, 600, 400, nullptr, nullptr));
  app.m_pMainWnd = &main_window;
  // The dialog's own parent, else the program's main window.
  const struct {
    CWnd* parent;
    POINT centre;
  } cases[] = {{&owner, {600, 400}}, {nullptr, {260, 170}}};
  for (const auto& c : cases) {
    BlockDialog dlg;
    dlg.m_pParentWnd = c.parent;
    CRect at;
    AfxPushDialogScript(kDlg, [&](CDialog& d) { d.GetWindowRect(&at); });
    dlg.DoModal();
    EXPECT_LE(std::abs(at.CenterPoint().x - c.centre.x), 1) << c.centre.x;
    EXPECT_LE(std::abs(at.CenterPoint().y - c.centre.y), 1) << c.centre.y;
  }
  app.m_pMainWnd = nullptr;
  owner.DestroyWindow();
  main_window.DestroyWindow();
}

TEST_F(DialogTest, BadInputKeepsTheDialogOpenAndStopsTheExchange) {
  CWinApp app("Test");
  BlockDialog dlg;
  AfxPushDialogScript(kDlg, [](CDialog& d) {
    qm_user_type(item(d, kName), "changed");
    qm_user_type(item(d, kCount), "12x");
    qm_user_type(item(d, kScale), "also bad");
    ::SendMessageA(item(d, IDOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(d.ended());
    EXPECT_EQ(::GetFocus(), item(d, kCount));  // on the first bad control
    ASSERT_EQ(qm_user_message_boxes().size(), 1u);  // one complaint, not two
    EXPECT_EQ(qm_user_message_boxes()[0].text, "Please enter an integer.");
    qm_user_type(item(d, kCount), "99999999999");  // out of range
    ::SendMessageA(item(d, IDOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(d.ended());
    // ... and the user gives up.
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.count, 3);
  EXPECT_EQ(dlg.name, "changed");  // exchanged before the failure, as the original does
  // Without a script the dialog is cancelled.
  BlockDialog again;
  EXPECT_EQ(again.DoModal(), IDCANCEL);
  EXPECT_EQ(again.name, "door");
  CDialog missing(999);
  EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(DialogTest, OwnerDrawnListAsksItsOwnerAndReportsPicks) {
  CWinApp app("Test");
  BlockDialog dlg;
  ASSERT_TRUE(dlg.Create(kDlg, nullptr));  // modeless
  EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
  ASSERT_EQ(dlg.list.GetCount(), 3);
  EXPECT_EQ(dlg.list.GetItemData(1), 0x101u);  // no strings: the item is its data
  dlg.list.SetCurSel(1);  // the program's own choice notifies nobody
  EXPECT_TRUE(dlg.events.empty() || dlg.events.back() != "picked 1");
  dlg.ShowWindow(SW_SHOW);
  ::UpdateWindow(dlg.list.m_hWnd);
  const std::vector<std::pair<UINT, UINT>> want = {{0, 0}, {1, ODS_SELECTED}, {2, 0}};
  EXPECT_EQ(dlg.list.drawn, want);
  CRect r;
  ASSERT_NE(dlg.list.GetItemRect(2, &r), LB_ERR);
  BOOL outside = TRUE;
  EXPECT_EQ(dlg.list.ItemFromPoint(CPoint(3, r.top + 1), outside), 2u);
  EXPECT_FALSE(outside);
  dlg.list.ItemFromPoint(CPoint(3, r.bottom + 40), outside);
  EXPECT_TRUE(outside);
  // A click on an item picks it, as the user's choice: the press selects,
  // the release tells.
  const size_t before = dlg.events.size();
  qm_user_mouse(dlg.list.m_hWnd, WM_LBUTTONDOWN, 3, r.top + 1);
  MSG m;
  while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
  EXPECT_EQ(dlg.events.size(), before);
  EXPECT_EQ(::GetCapture(), dlg.list.m_hWnd);
  qm_user_mouse(dlg.list.m_hWnd, WM_LBUTTONUP, 3, r.top + 1);
  while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
  EXPECT_EQ(dlg.events.back(), "picked 2");
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(dlg.list.GetCurSel(), 2);
  EXPECT_FALSE(qm_user_pick(dlg.list.m_hWnd, 7));
  dlg.DestroyWindow();
}

TEST_F(DialogTest, ListsFindTextWithoutCaseAndKeepSortOrder) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "", 0, 0, 0, 100, 100, nullptr, nullptr));
  CComboBox combo;
  ASSERT_TRUE(combo.Create(CBS_DROPDOWNLIST | CBS_SORT | WS_VISIBLE, CRect(0, 0, 50, 80), &parent, 7));
  for (const char* s : {"beta", "Alpha", "gamma", "alpha"}) combo.AddString(s);
  struct Case {
    int start;
    const char* text;
    int found;
  } cases[] = {{-1, "ALPHA", 0}, {0, "alpha", 1}, {1, "alpha", 0}, {-1, "delta", CB_ERR}, {-1, "gam", CB_ERR}};
  for (const Case& c : cases) EXPECT_EQ(combo.FindStringExact(c.start, c.text), c.found) << c.text;
  CString s;
  combo.GetLBText(2, s);
  EXPECT_EQ(s, "beta");
  combo.GetLBText(9, s);
  EXPECT_EQ(s, "");
  EXPECT_EQ(combo.SetCurSel(9), CB_ERR);
  EXPECT_EQ(combo.GetCurSel(), CB_ERR);
  EXPECT_EQ(combo.SetCurSel(3), 3);
  combo.GetWindowText(s);
  EXPECT_EQ(s, "gamma");
  CTabCtrl tabs;
  ASSERT_TRUE(tabs.Create(WS_VISIBLE, CRect(0, 0, 90, 20), &parent, 8));
  tabs.InsertItem(0, "Line");
  tabs.InsertItem(1, "Text");
  EXPECT_EQ(tabs.GetCurSel(), 0);
  CProgressCtrl progress;
  ASSERT_TRUE(progress.Create(0, CRect(0, 0, 90, 10), &parent, 9));
  progress.SetRange(0, 10);
  progress.SetPos(40);
  EXPECT_EQ(progress.GetPos(), 10);  // kept within the range
  CScrollBar bar;
  ASSERT_TRUE(bar.Create(SBS_HORZ, CRect(0, 0, 90, 10), &parent, 10));
  bar.SetScrollRange(0, 50);
  bar.SetScrollPos(-5);
  EXPECT_EQ(bar.GetScrollPos(), 0);
  parent.DestroyWindow();
}

// Tab changes reach the parent as WM_NOTIFY; popup menus answer from the
// script and post the command.
class Host : public CWnd {
  DECLARE_MESSAGE_MAP()
 public:
  std::vector<std::string> seen;
  afx_msg void OnTab(NMHDR* hdr, LRESULT*) { seen.push_back("tab " + std::to_string(hdr->idFrom)); }
  afx_msg void OnZoom() { seen.push_back("zoom"); }
};
BEGIN_MESSAGE_MAP(Host, CWnd)
ON_NOTIFY(TCN_SELCHANGE, 8, OnTab)
ON_COMMAND(32789, OnZoom)
END_MESSAGE_MAP()

TEST_F(DialogTest, TabNotificationsAndPopupMenus) {
  Host host;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  CTabCtrl tabs;
  ASSERT_TRUE(tabs.Create(WS_VISIBLE, CRect(0, 0, 90, 20), &host, 8));
  tabs.InsertItem(0, "Line");
  tabs.InsertItem(1, "Text");
  ASSERT_TRUE(qm_user_pick(tabs.m_hWnd, 1));
  EXPECT_EQ(host.seen, std::vector<std::string>{"tab 8"});
  EXPECT_EQ(tabs.GetCurSel(), 1);

  qm_user_register_menu(248, {{0, "BARVIEW", 0, {{32789, "\xc8\xab\xcd\xbc", 0, {}}, {0, "", MF_SEPARATOR, {}},
                                               {32790, "Refresh", MF_GRAYED, {}}}}});
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(248));
  CMenu* popup = menu.GetSubMenu(0);
  ASSERT_TRUE(popup);
  EXPECT_EQ(popup->GetMenuItemCount(), 3u);
  qm_user_push_popup_answer(32789);
  EXPECT_TRUE(popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, 10, 20, &host));
  qm_user_push_popup_answer(32790);  // disabled: as if dismissed
  EXPECT_EQ(popup->TrackPopupMenu(TPM_RETURNCMD, 10, 20, &host), 0);
  EXPECT_EQ(popup->TrackPopupMenu(TPM_RETURNCMD, 10, 20, &host), 0);  // nothing queued
  MSG m;
  while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
  EXPECT_EQ(host.seen.back(), "zoom");
  ASSERT_EQ(qm_user_popups_shown().size(), 3u);
  EXPECT_EQ(qm_user_popups_shown()[0].items[0].text, "\xc8\xab\xcd\xbc");
  EXPECT_EQ(qm_user_popups_shown()[0].answer, 32789u);
  EXPECT_EQ(qm_user_popups_shown()[1].answer, 0u);
  menu.DestroyMenu();
  EXPECT_FALSE(::IsMenu(popup->m_hMenu));
  host.DestroyWindow();
}

}  // namespace
