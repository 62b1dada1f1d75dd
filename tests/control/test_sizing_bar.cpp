// Sizing control bars: sizes in the profile raised to their minima, the hit
// test of the edges, dragging an edge within what the neighbours can lend,
// and fitting a row of bars into its dock bar.
#include "control/sizing_control_bar.h"
#include "tests/control/control_fixture.h"

namespace control_test {
namespace {

// A frame with sizing bars in one row of its bottom dock bar, or floating.
class BarFrame : public CFrameWnd {
 public:
  CSizingControlBarG bars[3];
  void make(int count) {
    EnableDocking(CBRS_ALIGN_ANY);
    CDockBar* dock = static_cast<CDockBar*>(GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    for (int i = 0; i < count; ++i) {
      ASSERT_TRUE(bars[i].Create("bar", this, CSize(120, 60), TRUE, 200 + i, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM));
      bars[i].EnableDocking(CBRS_ALIGN_ANY);
      dock->DockControlBar(&bars[i], i == 0);
      bars[i].m_pDockSite = this;
    }
    RecalcLayout();
    for (int i = 0; i < count; ++i) bars[i].SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    RecalcLayout();
  }
};

struct Framed {
  BarFrame* frame = new BarFrame;
  explicit Framed(int bars, int width = 600) {
    EXPECT_TRUE(frame->Create(nullptr, "bars", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, width, 400)));
    frame->make(bars);
    pump();
  }
  ~Framed() {
    if (::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
  }
  CSizingControlBarG& bar(int i) { return frame->bars[i]; }
};

TEST_F(ControlTest, SizesLoadRaisedToTheirMinimaAndAMissingSectionKeepsThem) {
  Framed f(1);
  CSizingControlBarG& b = f.bar(0);
  const CSize kept = b.horzSize;
  b.LoadSizes("Layout");  // nothing stored: nothing changes
  EXPECT_EQ(b.horzSize, kept);
  app.WriteProfileInt("Layout-SCBar-200", "sizeHorzCY", 10);
  app.WriteProfileInt("Layout-SCBar-200", "sizeVertCX", 150);
  b.LoadSizes("Layout");
  EXPECT_EQ(b.horzSize.cy, 32);  // below the minimum: the minimum
  EXPECT_EQ(b.vertSize.cx, 150);
  b.floatSize = CSize(77, 88);
  b.SaveSizes("Layout");
  b.floatSize = CSize(0, 0);
  b.LoadSizes("Layout");
  EXPECT_EQ(b.floatSize, CSize(77, 88));
}

TEST_F(ControlTest, TheEdgesBetweenBarsAndTowardsTheClientAreaAreHitInOrder) {
  Framed f(2);
  CSizingControlBarG& first = f.bar(0);
  CSizingControlBarG& second = f.bar(1);
  ASSERT_TRUE(first.IsHorzDocked());
  CRect a, b;
  first.GetWindowRect(&a);
  second.GetWindowRect(&b);
  // Docked at the bottom: the top edge faces the client area; between the
  // two bars the first has a right edge, the second a left one.
  EXPECT_EQ(first.HitTest(CPoint(a.left + 40, a.top + 1)), static_cast<UINT>(HTTOP));
  EXPECT_EQ(first.HitTest(CPoint(a.right - 1, a.top + 20)), static_cast<UINT>(HTRIGHT));
  EXPECT_EQ(second.HitTest(CPoint(b.left + 1, b.top + 20)), static_cast<UINT>(HTLEFT));
  EXPECT_EQ(first.HitTest(CPoint(a.left + 1, a.top + 20)), static_cast<UINT>(HTCLIENT));
  // The close button of a bar with a gripper.
  const CPoint button(a.left + first.closeButton.x + 5, a.top + first.closeButton.y + 5);
  EXPECT_EQ(first.HitTest(button), static_cast<UINT>(HTCLOSE));
  // The close message does nothing; the close button hides the bar.
  first.SendMessage(WM_CLOSE);
  EXPECT_TRUE(::IsWindow(first.m_hWnd));
  first.SendMessage(WM_NCLBUTTONUP, HTCLOSE, MAKELPARAM(button.x, button.y));
  EXPECT_FALSE(first.IsVisible());
}

TEST_F(ControlTest, AFloatingBarHasNoEdges) {
  Framed f(1);
  CSizingControlBarG& b = f.bar(0);
  f.frame->FloatControlBar(&b, CPoint(10, 10));
  b.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  EXPECT_FALSE(b.IsSideDocked());
  CRect r;
  b.GetWindowRect(&r);
  EXPECT_EQ(b.HitTest(CPoint(r.left + 1, r.top + 1)), static_cast<UINT>(HTCLIENT));
}

TEST_F(ControlTest, DraggingTheEdgeBetweenBarsStopsWhereTheNeighboursReachTheirMinimum) {
  Framed f(2);
  CSizingControlBarG& first = f.bar(0);
  CSizingControlBarG& second = f.bar(1);
  const LONG total = first.horzSize.cx + second.horzSize.cx;
  CRect a;
  first.GetWindowRect(&a);
  const CPoint grab(a.right - 2, a.top + 20);
  first.SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(grab.x, grab.y));
  ASSERT_TRUE(first.dragging);
  // Far to the right: the second bar gives all it has above its minimum.
  CPoint far(grab.x + 5000, grab.y);
  first.ScreenToClient(&far);
  first.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(far.x, far.y));
  EXPECT_EQ(second.horzSize.cx, second.minHorzSize.cx);
  EXPECT_EQ(first.horzSize.cx + second.horzSize.cx, total);
  first.SendMessage(WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(first.dragging);
}

TEST_F(ControlTest, ARowThatCannotHoldItsBarsWrapsAtTheFirstThatOverflows) {
  // Three bars of minimum 33 pixels each do not fit 80 pixels: the third
  // starts a row of its own.
  Framed f(3, 80);
  CDockBar* dock = static_cast<CDockBar*>(f.frame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
  int rows = 0;
  for (size_t i = 1; i < dock->m_arrBars.size(); ++i) rows += dock->m_arrBars[i] == nullptr;
  EXPECT_GE(rows, 2);
}

// A bar of `f` floated in a mini frame that sizes it (CBRS_SIZE_DYNAMIC).
CMiniDockFrameWnd* float_sizable(Framed& f, CSizingControlBarG& b) {
  b.SetBarStyle(b.GetBarStyle() | CBRS_SIZE_DYNAMIC);
  f.frame->FloatControlBar(&b, CPoint(300, 200));
  b.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  CFrameWnd* mini = b.GetParentFrame();
  return mini && mini->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)) ? static_cast<CMiniDockFrameWnd*>(mini) : nullptr;
}

CPoint at(CPoint p, LONG dx, LONG dy) { return CPoint(p.x + dx, p.y + dy); }

// Mouse input at a screen point, as the user gives it over the window.
void mouse_at(CWnd* w, UINT msg, CPoint screen) {
  CPoint client = screen;
  w->ScreenToClient(&client);
  EXPECT_TRUE(qm_user_mouse(w->m_hWnd, msg, client.x, client.y));
  pump();
}

TEST_F(ControlTest, AMiniFrameSizesItsBarFromAnEdgeAndKeepsTheOppositeSideStill) {
  Framed f(1);
  CSizingControlBarG& b = f.bar(0);
  CMiniDockFrameWnd* mini = float_sizable(f, b);
  ASSERT_TRUE(mini);
  EXPECT_FALSE(mini->GetStyle() & MFS_4THICKFRAME) << "the bar takes the corners too";
  struct Case {
    UINT hit;
    CPoint move;
    LONG CSize::*axis;
    int grows;  // +1: the size grows with the move, -1: shrinks
  } cases[] = {
      {HTRIGHT, CPoint(30, 0), &CSize::cx, 1},
      {HTBOTTOM, CPoint(0, 25), &CSize::cy, 1},
      {HTLEFT, CPoint(-20, 0), &CSize::cx, -1},
      {HTTOP, CPoint(0, 15), &CSize::cy, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hit);
    CRect before;
    mini->GetWindowRect(&before);
    const CSize size = b.floatSize;
    // A point on the edge, half way along it.
    const CPoint grab = c.hit == HTLEFT    ? CPoint(before.left + 1, before.CenterPoint().y)
                        : c.hit == HTRIGHT ? CPoint(before.right - 2, before.CenterPoint().y)
                        : c.hit == HTTOP   ? CPoint(before.CenterPoint().x, before.top + 1)
                                           : CPoint(before.CenterPoint().x, before.bottom - 2);
    EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(grab.x, grab.y)), static_cast<LRESULT>(c.hit));
    mouse_at(mini, WM_LBUTTONDOWN, grab);
    ASSERT_EQ(::GetCapture(), mini->m_hWnd);
    mouse_at(mini, WM_MOUSEMOVE, at(grab, c.move.x, c.move.y));
    mouse_at(mini, WM_LBUTTONUP, at(grab, c.move.x, c.move.y));
    EXPECT_EQ(::GetCapture(), nullptr);
    const LONG moved = c.move.x + c.move.y;
    EXPECT_EQ(b.floatSize.*(c.axis), size.*(c.axis) + c.grows * moved);
    CRect after;
    mini->GetWindowRect(&after);
    EXPECT_EQ(after.Width() - before.Width(), b.floatSize.cx - size.cx);
    EXPECT_EQ(after.Height() - before.Height(), b.floatSize.cy - size.cy);
    // The side across from the dragged one has not moved.
    const LONG still_before = c.hit == HTLEFT    ? before.right
                              : c.hit == HTRIGHT ? before.left
                              : c.hit == HTTOP   ? before.bottom
                                                 : before.top;
    const LONG still_after = c.hit == HTLEFT    ? after.right
                             : c.hit == HTRIGHT ? after.left
                             : c.hit == HTTOP   ? after.bottom
                                                : after.top;
    EXPECT_EQ(still_after, still_before);
  }
}

TEST_F(ControlTest, AMiniFrameCornerSizesBothWaysAndStopsAtTheMinimumFloatingSize) {
  Framed f(1);
  CSizingControlBarG& b = f.bar(0);
  CMiniDockFrameWnd* mini = float_sizable(f, b);
  ASSERT_TRUE(mini);
  CRect r;
  mini->GetWindowRect(&r);
  const CSize size = b.floatSize;
  const CPoint grab(r.right - 2, r.bottom - 2);
  EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(grab.x, grab.y)), static_cast<LRESULT>(HTBOTTOMRIGHT));
  mouse_at(mini, WM_LBUTTONDOWN, grab);
  mouse_at(mini, WM_MOUSEMOVE, at(grab, 12, 7));
  EXPECT_EQ(b.floatSize, CSize(size.cx + 12, size.cy + 7));
  // Far past the minimum, and a little back: the size stays at the minimum
  // until the cursor passes the point where the minimum was reached.
  mouse_at(mini, WM_MOUSEMOVE, at(grab, -1000, -1000));
  EXPECT_EQ(b.floatSize, b.minFloatingSize);
  mouse_at(mini, WM_MOUSEMOVE, at(grab, -990, -990));
  EXPECT_EQ(b.floatSize, b.minFloatingSize);
  const CPoint at_minimum = at(grab, b.minFloatingSize.cx - size.cx, b.minFloatingSize.cy - size.cy);
  mouse_at(mini, WM_MOUSEMOVE, at(at_minimum, 15, 4));
  EXPECT_EQ(b.floatSize, CSize(b.minFloatingSize.cx + 15, b.minFloatingSize.cy + 4));
  mouse_at(mini, WM_LBUTTONUP, at(at_minimum, 15, 4));
  CRect after;
  mini->GetWindowRect(&after);
  EXPECT_EQ(after.TopLeft(), r.TopLeft());
}

TEST_F(ControlTest, AMiniFrameWithFourSidedThickFrameSizesNoCorner) {
  Framed f(1);
  CMiniFrameWnd* mini = new CMiniFrameWnd;
  ASSERT_TRUE(
      mini->Create(nullptr, "mini", WS_CAPTION | MFS_4THICKFRAME | WS_VISIBLE, CRect(50, 50, 150, 120), f.frame));
  CRect r;
  mini->GetWindowRect(&r);
  struct Case {
    CPoint point;
    LRESULT want;
  } cases[] = {{CPoint(r.left + 1, r.top + 1), HTTOP},
               {CPoint(r.right - 1, r.bottom - 1), HTBOTTOM},
               {CPoint(r.left + 1, r.CenterPoint().y), HTLEFT},
               {CPoint(r.CenterPoint().x, r.top + 8), HTCAPTION}};
  for (const Case& c : cases)
    EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(c.point.x, c.point.y)), c.want)
        << c.point.x << "," << c.point.y;
  mini->DestroyWindow();
}

TEST_F(ControlTest, ADoubleClickFloatsABarAndTheNextDocksItWhereItWas) {
  Framed f(1);
  CSizingControlBarG& b = f.bar(0);
  ASSERT_EQ(b.dockSide, static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
  CRect r;
  b.GetWindowRect(&r);
  mouse_at(&b, WM_LBUTTONDBLCLK, r.CenterPoint());
  ASSERT_TRUE(b.IsFloating());
  CFrameWnd* mini = b.GetParentFrame();
  ASSERT_TRUE(mini && mini->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
  CString title;
  mini->GetWindowText(title);
  EXPECT_STREQ(static_cast<LPCSTR>(title), "bar");
  b.GetWindowRect(&r);
  mouse_at(&b, WM_LBUTTONDBLCLK, r.CenterPoint());
  EXPECT_FALSE(b.IsFloating());
  b.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  EXPECT_EQ(b.dockSide, static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
}

TEST_F(ControlTest, TheSidePanelFloatsAsAWindowOfItsOwnAndGoesWithTheControl) {
  auto h = std::make_unique<Hosted>(400, 300);
  CSizingControlBar& bar = h->frame()->side_bar();
  ASSERT_FALSE(bar.IsFloating());
  // A double click on its gripper, along its top.
  CRect r;
  bar.GetWindowRect(&r);
  mouse_at(&bar, WM_LBUTTONDBLCLK, CPoint(r.CenterPoint().x, r.top + 3));
  ASSERT_TRUE(bar.IsFloating());
  CFrameWnd* mini = bar.GetParentFrame();
  ASSERT_TRUE(mini && mini->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
  const HWND floating = mini->m_hWnd;
  EXPECT_TRUE(::IsWindowVisible(floating));
  EXPECT_FALSE(::GetWindowLongA(floating, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(::GetWindow(floating, GW_OWNER), h->host.m_hWnd) << "the control's top-level window owns it";
  // Docked again by a second double click; floated once more, it goes
  // with the control's window (the sanitizer sees nothing left behind).
  bar.GetWindowRect(&r);
  mouse_at(&bar, WM_LBUTTONDBLCLK, CPoint(r.CenterPoint().x, r.top + 3));
  EXPECT_FALSE(bar.IsFloating());
  EXPECT_FALSE(::IsWindow(floating));
  bar.GetWindowRect(&r);
  mouse_at(&bar, WM_LBUTTONDBLCLK, CPoint(r.CenterPoint().x, r.top + 3));
  ASSERT_TRUE(bar.IsFloating());
  const HWND again = bar.GetParentFrame()->m_hWnd;
  h.reset();
  EXPECT_FALSE(::IsWindow(again));
}

}  // namespace
}  // namespace control_test
