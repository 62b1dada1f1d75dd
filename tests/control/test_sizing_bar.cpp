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

}  // namespace
}  // namespace control_test
