// Document templates, toolbars updated through idle messages, the frame's
// layout of its bars, bars floating in mini frames and the dock state kept
// in the profile.
#include <afxext.h>
#include <gtest/gtest.h>
#include <qm_user.h>

namespace {

enum : UINT { kLine = 32780, kPoint = 32798, kUndo = 32826, kNothing = 32847, kBarA = 0xE800, kBarB = 0xE801, kSide = 123 };

class BarDoc : public CDocument {
  DECLARE_DYNCREATE(BarDoc)
};
IMPLEMENT_DYNCREATE(BarDoc, CDocument)

class BarView : public CView {
  DECLARE_DYNCREATE(BarView)
  DECLARE_MESSAGE_MAP()
 public:
  static int active_tool;
  void OnDraw(CDC*) override {}
  afx_msg void OnLine() { active_tool = kLine; }
  afx_msg void OnUpdateLine(CCmdUI* ui) { ui->SetCheck(active_tool == static_cast<int>(kLine)); }
  afx_msg void OnPoint() { active_tool = kPoint; }
  afx_msg void OnUpdatePoint(CCmdUI* ui) { ui->SetCheck(active_tool == static_cast<int>(kPoint)); }
  afx_msg void OnUndo() {}
  afx_msg void OnUpdateUndo(CCmdUI* ui) { ui->Enable(active_tool != 0); }
};
int BarView::active_tool = 0;
IMPLEMENT_DYNCREATE(BarView, CView)
BEGIN_MESSAGE_MAP(BarView, CView)
ON_COMMAND(kLine, OnLine)
ON_UPDATE_COMMAND_UI(kLine, OnUpdateLine)
ON_COMMAND(kPoint, OnPoint)
ON_UPDATE_COMMAND_UI(kPoint, OnUpdatePoint)
ON_COMMAND(kUndo, OnUndo)
ON_UPDATE_COMMAND_UI(kUndo, OnUpdateUndo)
END_MESSAGE_MAP()

// A frame with two toolbars (one fixed at the top, one dockable) and a
// dockable side bar, as the control's frame has.
class BarFrame : public CFrameWnd {
  DECLARE_DYNCREATE(BarFrame)
  DECLARE_MESSAGE_MAP()
 public:
  CToolBar fixed, dockable, side;
  afx_msg int OnCreate(LPCREATESTRUCTA cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    if (!fixed.CreateEx(this, 0, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS, CRect(), kBarA) || !fixed.LoadToolBar(202))
      return -1;
    if (!dockable.CreateEx(this, 0, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(), kBarB) || !dockable.LoadToolBar(231))
      return -1;
    if (!side.CreateEx(this, 0, WS_CHILD | WS_VISIBLE | CBRS_LEFT, CRect(), kSide) || !side.LoadToolBar(231)) return -1;
    dockable.EnableDocking(CBRS_ALIGN_ANY);
    side.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&side, AFX_IDW_DOCKBAR_LEFT);
    DockControlBar(&dockable, AFX_IDW_DOCKBAR_BOTTOM);
    return 0;
  }
};
IMPLEMENT_DYNCREATE(BarFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(BarFrame, CFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

class BarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxRegisterToolBar(202, {kLine, ID_SEPARATOR, kPoint, kUndo, kNothing});
    AfxRegisterToolBar(231, {kLine, kPoint});
    AfxRegisterString(kLine, "Draws a line\nLine");
    BarView::active_tool = 0;
  }
  void TearDown() override {
    AfxDeleteTempObjects();
    qm_user_reset();
    EXPECT_EQ(qm_user_window_count(), 0u);
  }
};

struct Opened {
  CWinApp app{"Bars"};
  CSingleDocTemplate* tmpl = new CSingleDocTemplate(32767, RUNTIME_CLASS(BarDoc), RUNTIME_CLASS(BarFrame), RUNTIME_CLASS(BarView));
  CDocManager manager;
  BarFrame* frame = nullptr;
  Opened() {
    manager.AddDocTemplate(tmpl);
    manager.AddDocTemplate(nullptr);
    CDocument* doc = tmpl->OpenDocumentFile(nullptr);
    EXPECT_TRUE(doc);
    EXPECT_EQ(tmpl->OpenDocumentFile(nullptr), doc);  // one document
    frame = doc && !doc->Views().empty() ? static_cast<BarFrame*>(doc->Views()[0]->GetParentFrame()) : nullptr;
    app.m_pMainWnd = frame;
    if (frame) ::MoveWindow(frame->m_hWnd, 0, 0, 400, 300, TRUE);
  }
  ~Opened() {
    if (frame && ::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
  }
  void idle() { frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE); }
};

TEST_F(BarTest, ToolbarButtonsFollowIdleUpdates) {
  Opened o;
  ASSERT_TRUE(o.frame);
  CToolBar& bar = o.frame->fixed;
  ASSERT_EQ(bar.GetCount(), 5);
  o.idle();
  struct State {
    UINT id;
    bool checked, disabled;
  };
  auto expect = [&](std::vector<State> want, const char* when) {
    for (const State& s : want) {
      const UINT style = bar.GetButtonStyle(bar.CommandToIndex(s.id));
      EXPECT_EQ((style & TBBS_CHECKED) != 0, s.checked) << when << " " << s.id;
      EXPECT_EQ((style & TBBS_DISABLED) != 0, s.disabled) << when << " " << s.id;
    }
  };
  expect({{kLine, false, false}, {kPoint, false, false}, {kUndo, false, true}, {kNothing, false, true}}, "at start");
  // A click on the line button: the command reaches the view through the
  // frame; the next idle update checks that button only.
  CRect r;
  bar.GetItemRect(bar.CommandToIndex(kLine), &r);
  qm_user_mouse(bar.m_hWnd, WM_LBUTTONUP, r.left + 2, r.top + 2);
  MSG m;
  while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
  EXPECT_EQ(BarView::active_tool, static_cast<int>(kLine));
  o.idle();
  expect({{kLine, true, false}, {kPoint, false, false}, {kUndo, false, false}}, "after the line tool");
  EXPECT_TRUE(o.frame->dockable.GetButtonStyle(0) & TBBS_CHECKED) << o.frame->dockable.IsWindowVisible();
  // A hidden bar is not updated; a disabled button sends nothing.
  o.frame->ShowControlBar(&o.frame->dockable, FALSE, FALSE);
  BarView::active_tool = kPoint;
  o.idle();
  EXPECT_EQ(o.frame->dockable.GetButtonStyle(0) & TBBS_CHECKED, static_cast<UINT>(TBBS_CHECKED));  // still the old state
  bar.GetItemRect(bar.CommandToIndex(kNothing), &r);
  qm_user_mouse(bar.m_hWnd, WM_LBUTTONUP, r.left + 2, r.top + 2);
  ASSERT_TRUE(::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  ::DispatchMessageA(&m);
  EXPECT_EQ(qm_user_queued_message_count(), 0u);  // no command was posted
  // Tooltips: the mouse over the line button shows its tooltip.
  bar.GetItemRect(bar.CommandToIndex(kLine), &r);
  MSG over = {bar.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(r.left + 3, r.top + 3), 0, {0, 0}};
  bar.FilterToolTipMessage(&over);
  EXPECT_EQ(bar.TooltipShown(), "Line");
}

TEST_F(BarTest, FrameLaysOutBarsThenTheView) {
  Opened o;
  ASSERT_TRUE(o.frame);
  CRect client, view, fixed, side, dockable;
  o.frame->GetClientRect(&client);
  o.frame->GetActiveView()->GetWindowRect(&view);
  o.frame->ScreenToClient(&view);
  o.frame->fixed.GetWindowRect(&fixed);
  o.frame->ScreenToClient(&fixed);
  o.frame->side.GetWindowRect(&side);
  o.frame->ScreenToClient(&side);
  o.frame->dockable.GetWindowRect(&dockable);
  o.frame->ScreenToClient(&dockable);
  EXPECT_EQ(fixed, CRect(0, 0, 400, CToolBar::kButtonHeight));
  EXPECT_EQ(dockable.top, client.bottom - CToolBar::kButtonHeight);
  EXPECT_EQ(side.left, 0);
  EXPECT_EQ(side.top, CToolBar::kButtonHeight);
  EXPECT_EQ(view, CRect(CToolBar::kButtonWidth, CToolBar::kButtonHeight, 400, client.bottom - CToolBar::kButtonHeight));
  // Hiding a bar gives the view its room.
  o.frame->ShowControlBar(&o.frame->fixed, FALSE, FALSE);
  o.frame->GetActiveView()->GetWindowRect(&view);
  o.frame->ScreenToClient(&view);
  EXPECT_EQ(view.top, 0);
}

TEST_F(BarTest, DockStateRoundTripsAndIgnoresWhatItCannotPlace) {
  QmProfileStore* kept = nullptr;
  std::string saved;
  {
    Opened o;
    ASSERT_TRUE(o.frame);
    o.frame->DockControlBar(&o.frame->dockable, AFX_IDW_DOCKBAR_LEFT);  // beside the side bar, in a row of its own
    o.frame->ShowControlBar(&o.frame->side, FALSE, FALSE);
    o.frame->SaveBarState("BarState");
    saved = o.app.Profile().Text();
    (void)kept;
  }
  {
    Opened o;
    ASSERT_TRUE(o.frame);
    o.app.Profile().Load(saved);
    o.frame->LoadBarState("BarState");
    EXPECT_FALSE(o.frame->side.IsWindowVisible());
    ASSERT_TRUE(o.frame->dockable.m_pDockBar);
    EXPECT_EQ(o.frame->dockable.m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_LEFT);
    const std::vector<CControlBar*> rows = {nullptr, &o.frame->side, nullptr, &o.frame->dockable, nullptr};
    EXPECT_EQ(o.frame->dockable.m_pDockBar->m_arrBars, rows);
  }
  // Damaged or foreign states: unknown ids, bad lists, absurd counts.
  const char* damaged[] = {
      "[BarState-Summary]\nBars=1\n[BarState-Bar#0]\nBarID=59419\nBars=0,999,0,\n",
      "[BarState-Summary]\nBars=1\n[BarState-Bar#0]\nBarID=59419\nBars=0,12x,0\n",
      "[BarState-Summary]\nBars=99999999\n",
      "[BarState-Summary]\nBars=2\n[BarState-Bar#1]\nBarID=70000\n",
      "[BarState-Summary]\nBars=1\n[BarState-Bar#0]\nBarID=123\nVisible=zero\n",
  };
  for (const char* text : damaged) {
    Opened o;
    ASSERT_TRUE(o.frame);
    o.app.Profile().Load(text);
    o.frame->LoadBarState("BarState");
    EXPECT_TRUE(o.frame->side.IsWindowVisible()) << text;
    ASSERT_TRUE(o.frame->side.m_pDockBar) << text;
    EXPECT_EQ(o.frame->side.m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_LEFT) << text;
  }
}

TEST_F(BarTest, AFloatedBarLivesInAMiniFrameAndDocksBack) {
  Opened o;
  ASSERT_TRUE(o.frame);
  CToolBar& bar = o.frame->dockable;
  bar.SetWindowText("Drawing tools");
  const size_t windows = qm_user_window_count();
  o.frame->FloatControlBar(&bar, CPoint(500, 200));
  ASSERT_TRUE(bar.IsFloating());
  ASSERT_TRUE(bar.m_pDockBar);
  EXPECT_TRUE(bar.m_pDockBar->m_bFloating);
  EXPECT_EQ(bar.m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_FLOAT);
  EXPECT_EQ(bar.m_pDockSite, o.frame) << "the bar still belongs to its frame";
  CWnd* host = CWnd::FromHandlePermanent(::GetParent(bar.m_pDockBar->m_hWnd));
  ASSERT_TRUE(host && host->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
  CMiniDockFrameWnd* mini = static_cast<CMiniDockFrameWnd*>(host);
  EXPECT_EQ(::GetWindow(mini->m_hWnd, GW_OWNER), o.frame->m_hWnd);
  EXPECT_EQ(::GetParent(mini->m_hWnd), o.frame->m_hWnd) << "an owned pop-up reports its owner";
  EXPECT_TRUE(mini->GetStyle() & WS_POPUP);
  EXPECT_TRUE(mini->IsWindowVisible());
  CString title;
  mini->GetWindowText(title);
  EXPECT_EQ(title, "Drawing tools");
  EXPECT_EQ(qm_user_window_count(), windows + 2) << "the mini frame and its dock bar";

  // The mini frame sits at the point and its client area fits the bar; its
  // frame and small caption come from the system metrics.
  CRect outer, client, bar_rect;
  mini->GetWindowRect(&outer);
  mini->GetClientRect(&client);
  bar.GetWindowRect(&bar_rect);
  EXPECT_EQ(outer.TopLeft(), CPoint(500, 200));
  const CSize want = bar.CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
  EXPECT_EQ(client.Width(), want.cx);
  EXPECT_EQ(client.Height(), want.cy);
  EXPECT_EQ(bar_rect.Width(), want.cx);
  const int edge = ::GetSystemMetrics(SM_CXFRAME);
  EXPECT_EQ(outer.Width(), want.cx + 2 * edge);
  EXPECT_EQ(outer.Height(), want.cy + 2 * edge + ::GetSystemMetrics(SM_CYSMCAPTION));
  EXPECT_EQ(bar_rect.TopLeft(), CPoint(500 + edge, 200 + edge + ::GetSystemMetrics(SM_CYSMCAPTION)));

  // Floating it again moves the same mini frame.
  o.frame->FloatControlBar(&bar, CPoint(40, 50));
  EXPECT_EQ(CWnd::FromHandlePermanent(::GetParent(bar.m_pDockBar->m_hWnd)), mini);
  mini->GetWindowRect(&outer);
  EXPECT_EQ(outer.TopLeft(), CPoint(40, 50));

  // Hiding the bar hides its mini frame.
  o.frame->ShowControlBar(&bar, FALSE, FALSE);
  EXPECT_FALSE(mini->IsWindowVisible());
  o.frame->ShowControlBar(&bar, TRUE, FALSE);
  EXPECT_TRUE(mini->IsWindowVisible());

  // Docked back, the bar leaves the mini frame, which goes.
  const HWND mini_hwnd = mini->m_hWnd;
  o.frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
  EXPECT_FALSE(bar.IsFloating());
  ASSERT_TRUE(bar.m_pDockBar);
  EXPECT_EQ(bar.m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_TOP);
  EXPECT_FALSE(::IsWindow(mini_hwnd));
  EXPECT_EQ(qm_user_window_count(), windows);
  EXPECT_EQ(::GetParent(bar.m_hWnd), bar.m_pDockBar->m_hWnd);
}

TEST_F(BarTest, AFloatingBarKeepsItsPlaceThroughTheDockStateAndGoesWithItsFrame) {
  std::string saved;
  {
    Opened o;
    ASSERT_TRUE(o.frame);
    o.frame->FloatControlBar(&o.frame->dockable, CPoint(300, 250));
    o.frame->SaveBarState("BarState");
    saved = o.app.Profile().Text();
    // The frame takes its mini frames (and their bars) down with it.
    o.frame->DestroyWindow();  // deletes the frame
    o.frame = nullptr;
    EXPECT_EQ(qm_user_window_count(), 0u);
  }
  Opened o;
  ASSERT_TRUE(o.frame);
  o.app.Profile().Load(saved);
  o.frame->LoadBarState("BarState");
  CToolBar& bar = o.frame->dockable;
  ASSERT_TRUE(bar.IsFloating());
  ASSERT_TRUE(bar.m_pDockBar);
  CRect outer;
  ::GetWindowRect(::GetParent(bar.m_pDockBar->m_hWnd), &outer);
  EXPECT_EQ(outer.TopLeft(), CPoint(300, 250));
  ASSERT_TRUE(o.frame->side.m_pDockBar);
  EXPECT_EQ(o.frame->side.m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_LEFT);
}

}  // namespace
