// The frame of sizing control bars, read back from their window pixels: the
// gripper strips and the close button of a bar with a gripper, the caption
// strip's gradient of a bar with a caption, the 3-D sizing edges, and
// nothing of them on a floating bar; the client area is never painted over.
#include "control/side_panel_bar.h"
#include "control/sizing_control_bar.h"
#include "tests/control/control_fixture.h"

namespace control_test {
namespace {

uint32_t rgb(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }
uint32_t sys(int index) { return rgb(::GetSysColor(index)); }

// The bar's window pixel at window coordinates.
uint32_t pixel(CWnd& bar, int x, int y) {
  int width = 0, height = 0;
  const uint32_t* p = qm_user_window_pixels(bar.m_hWnd, &width, &height);
  if (!p || x < 0 || y < 0 || x >= width || y >= height) return 0xDEADBEEF;
  return p[size_t(y) * size_t(width) + size_t(x)];
}

// Counts the pixels of a window rectangle that have the colour.
int count(CWnd& bar, const CRect& r, uint32_t colour) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += pixel(bar, x, y) == colour;
  return n;
}

// A frame with bars of type Bar docked on one side, in one row.
template <typename Bar>
class SideFrame : public CFrameWnd {
 public:
  Bar bars[2];
  void make(UINT side, int count, DWORD extra_bar_style = 0) {
    EnableDocking(CBRS_ALIGN_ANY);
    CDockBar* dock = static_cast<CDockBar*>(GetControlBar(side));
    const DWORD align = side == AFX_IDW_DOCKBAR_LEFT ? CBRS_LEFT : CBRS_BOTTOM;
    for (int i = 0; i < count; ++i) {
      ASSERT_TRUE(bars[i].Create("Layers", this, CSize(160, 140), TRUE, 300 + i, WS_CHILD | WS_VISIBLE | align));
      bars[i].barStyle |= extra_bar_style;
      bars[i].EnableDocking(CBRS_ALIGN_ANY);
      dock->DockControlBar(&bars[i], i == 0);
      bars[i].m_pDockSite = this;
    }
    RecalcLayout();
    for (int i = 0; i < count; ++i)
      bars[i].SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    RecalcLayout();
  }
};

template <typename Bar>
struct Docked {
  SideFrame<Bar>* frame = new SideFrame<Bar>;
  Docked(UINT side, int bars = 1, DWORD extra_bar_style = 0) {
    EXPECT_TRUE(frame->Create(nullptr, "bars", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 600, 400)));
    frame->make(side, bars, extra_bar_style);
    pump();
  }
  ~Docked() {
    if (::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
  }
  Bar& bar(int i = 0) { return frame->bars[i]; }
};

// The client area of a bar in window coordinates.
CRect client_in_window(CWnd& bar) {
  CRect client, window;
  bar.GetClientRect(&client);
  bar.ClientToScreen(&client);
  bar.GetWindowRect(&window);
  client.OffsetRect(-window.left, -window.top);
  return client;
}

void paint_frame(CWnd& bar) { bar.SendMessage(WM_NCPAINT, 1); }

}  // namespace

TEST_F(ControlTest, AGripperBarPaintsTwoRaisedStripsBesideTheClientAreaAndLeavesTheClientAlone) {
  struct Case {
    UINT side;
    const char* what;
  } cases[] = {{AFX_IDW_DOCKBAR_BOTTOM, "docked across the bottom"}, {AFX_IDW_DOCKBAR_LEFT, "docked down the left"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Docked<CSizingControlBarG> d(c.side);
    CSizingControlBarG& b = d.bar();
    const CRect client = client_in_window(b);
    ASSERT_FALSE(client.IsRectEmpty());
    {
      CClientDC dc(&b);
      dc.FillSolidRect(0, 0, client.Width(), client.Height(), RGB(1, 2, 3));
    }
    paint_frame(b);
    const CPoint button = b.closeButton;
    const bool horz = c.side == AFX_IDW_DOCKBAR_BOTTOM;
    // The first strip, 3 pixels across: light on its top-left, shadow on its
    // bottom-right; the second right beside it.
    const CRect first = horz ? CRect(client.left - 12, button.y + 11 + 14, client.left - 9, client.bottom)
                             : CRect(client.left, client.top - 12, button.x - 3, client.top - 9);
    for (int shift : {0, 3}) {
      const CRect s = horz ? CRect(first.left + shift, first.top, first.right + shift, first.bottom)
                           : CRect(first.left, first.top + shift, first.right, first.bottom + shift);
      EXPECT_EQ(pixel(b, s.left, s.top), sys(COLOR_BTNHIGHLIGHT));
      EXPECT_EQ(pixel(b, s.right - 1, s.bottom - 1), sys(COLOR_BTNSHADOW));
      EXPECT_EQ(pixel(b, s.left + 1, s.top + 1), sys(COLOR_BTNFACE)) << "the strip's middle shows the face";
    }
    // Past the strips the frame is the class background.
    EXPECT_EQ(horz ? pixel(b, client.left - 3, client.bottom - 5) : pixel(b, client.left + 5, client.top - 3),
              sys(COLOR_BTNFACE));
    // The client area keeps what its own DC drew.
    EXPECT_EQ(count(b, client, 0x010203), client.Width() * client.Height());
    // The close glyph in the button-text colour, the button without a frame.
    const CRect box(button.x, button.y, button.x + 11, button.y + 11);
    EXPECT_GT(count(b, CRect(box.left + 2, box.top + 2, box.right, box.bottom), sys(COLOR_BTNTEXT)), 0);
    EXPECT_EQ(pixel(b, box.left, box.top), sys(COLOR_BTNFACE));
  }
}

TEST_F(ControlTest, TheCloseButtonIsSunkenWhilePushedAndRaisedWhileHovered) {
  Docked<CSizingControlBarG> d(AFX_IDW_DOCKBAR_BOTTOM);
  CSizingControlBarG& b = d.bar();
  const CRect box(b.closeButton.x, b.closeButton.y, b.closeButton.x + 11, b.closeButton.y + 11);
  struct Case {
    bool pushed, raised;
    uint32_t top_left, bottom_right;
  } cases[] = {
      {true, false, sys(COLOR_BTNSHADOW), sys(COLOR_BTNHIGHLIGHT)},
      {false, true, sys(COLOR_BTNHIGHLIGHT), sys(COLOR_BTNSHADOW)},
      {false, false, sys(COLOR_BTNFACE), sys(COLOR_BTNFACE)},
  };
  for (const Case& c : cases) {
    b.pushed = c.pushed;
    b.raised = c.raised;
    paint_frame(b);
    EXPECT_EQ(pixel(b, box.left, box.top), c.top_left) << c.pushed << c.raised;
    EXPECT_EQ(pixel(b, box.right - 1, box.bottom - 1), c.bottom_right) << c.pushed << c.raised;
  }
  // Hovering with the button up raises it and repaints at the next idle update.
  CRect window;
  b.GetWindowRect(&window);
  ::SetCursorPos(window.left + box.left + 5, window.top + box.top + 5);
  b.OnUpdateCmdUI(d.frame, FALSE);
  EXPECT_TRUE(b.raised);
  EXPECT_EQ(pixel(b, box.left, box.top), sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(ControlTest, TheSizingEdgesAreRaisedStripsWhenTheBarShowsThem) {
  Docked<CSizingControlBarG> d(AFX_IDW_DOCKBAR_BOTTOM, 2, CSizingControlBar::kShowEdges);
  CSizingControlBarG& first = d.bar(0);
  paint_frame(first);
  CRect window;
  first.GetWindowRect(&window);
  // The top edge faces the client area; the right one lies between the bars.
  // Each strip is the window shrunk by 1, 5 pixels thick; the side strips
  // lose 5 at top and bottom.
  const CRect top(1, 1, window.Width() - 1, 6);
  const CRect right(window.Width() - 6, 6, window.Width() - 1, window.Height() - 6);
  for (const CRect& e : {top, right}) {
    EXPECT_EQ(pixel(first, e.left, e.top), sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(first, e.right - 1, e.bottom - 1), sys(COLOR_BTNSHADOW));
  }
}

TEST_F(ControlTest, AFloatingBarPaintsNeitherGripperNorCaption) {
  Docked<CSizingControlBarCF> d(AFX_IDW_DOCKBAR_LEFT);
  CSizingControlBarCF& b = d.bar();
  d.frame->FloatControlBar(&b, CPoint(50, 50));
  b.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  ASSERT_FALSE(b.IsSideDocked());
  paint_frame(b);
  CRect window;
  b.GetWindowRect(&window);
  const CRect all(0, 0, window.Width(), window.Height());
  const CRect client = client_in_window(b);
  const int frame_pixels = all.Width() * all.Height() - client.Width() * client.Height();
  // Only the background and the bar's one-pixel borders.
  const int face = count(b, all, sys(COLOR_BTNFACE)) - count(b, client, sys(COLOR_BTNFACE));
  const int borders = count(b, all, sys(COLOR_BTNSHADOW)) - count(b, client, sys(COLOR_BTNSHADOW));
  EXPECT_EQ(face + borders, frame_pixels);
  EXPECT_LE(borders, 2 * (all.Width() + all.Height()));
}

TEST_F(ControlTest, TheCaptionStripRunsItsGradientAndShowsWhetherTheFocusIsInside) {
  struct Case {
    UINT side;
    const char* what;
  } cases[] = {{AFX_IDW_DOCKBAR_LEFT, "down the left: left to right"},
               {AFX_IDW_DOCKBAR_BOTTOM, "across the bottom: bottom to top"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Docked<CSizingControlBarCF> d(c.side);
    CSizingControlBarCF& b = d.bar();
    b.SetWindowText("");  // the bands alone
    const bool horz = c.side == AFX_IDW_DOCKBAR_BOTTOM;
    const CRect client = client_in_window(b);
    const CPoint button = b.closeButton;
    const CRect strip = horz ? CRect(client.left - 12, button.y + 11 + 14, client.left, client.bottom)
                             : CRect(client.left, client.top - 12, button.x - 3, client.top);
    const int length = horz ? strip.Height() : strip.Width();
    ASSERT_GE(length, 64);
    // A pixel in band i, and the band's colour by the per-channel formula.
    auto in_band = [&](int i) {
      const int at = length * i / 64;
      return horz ? pixel(b, strip.left + 6, strip.bottom - 1 - at) : pixel(b, strip.left + at, strip.top + 6);
    };
    auto expected = [](int from_index, int to_index, int i) {
      const COLORREF f = ::GetSysColor(from_index), t = ::GetSysColor(to_index);
      auto mix = [i](int a, int z) { return uint32_t(a + (z - a) * i / 64); };
      return (mix(GetRValue(f), GetRValue(t)) << 16) | (mix(GetGValue(f), GetGValue(t)) << 8) |
             mix(GetBValue(f), GetBValue(t));
    };
    paint_frame(b);
    for (int i : {0, 1, 31, 63})
      EXPECT_EQ(in_band(i), expected(COLOR_INACTIVECAPTION, COLOR_GRADIENTINACTIVECAPTION, i)) << "band " << i;
    // The focus inside the bar makes the caption active at the idle update.
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, b.m_hWnd, nullptr));
    child.SetFocus();
    b.OnUpdateCmdUI(d.frame, FALSE);
    EXPECT_TRUE(b.active);
    for (int i : {0, 40, 63})
      EXPECT_EQ(in_band(i), expected(COLOR_ACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION, i)) << "band " << i;
    child.DestroyWindow();
  }
  EXPECT_EQ(CSizingControlBarCF::CaptionBand(RGB(200, 0, 10), RGB(0, 255, 10), 32), RGB(100, 127, 10));
}

TEST_F(ControlTest, TheCaptionShowsTheTitleInTheCaptionTextColourWithinTheStrip) {
  Docked<CSizingControlBarCF> d(AFX_IDW_DOCKBAR_LEFT);
  CSizingControlBarCF& b = d.bar();
  CWnd child;
  ASSERT_TRUE(child.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, b.m_hWnd, nullptr));
  child.SetFocus();
  b.OnUpdateCmdUI(d.frame, FALSE);
  ASSERT_TRUE(b.active);
  const CRect client = client_in_window(b);
  const CRect strip(client.left, client.top - 12, b.closeButton.x - 3, client.top);
  CRect window;
  b.GetWindowRect(&window);
  const CRect all(0, 0, window.Width(), window.Height());
  const uint32_t text = sys(COLOR_CAPTIONTEXT);
  b.SetWindowText("");
  EXPECT_EQ(count(b, strip, text), 0);
  b.SetWindowText("Layers");  // repaints the frame by itself
  const int inside = count(b, strip, text);
  EXPECT_GT(inside, 0);
  EXPECT_EQ(count(b, all, text), inside) << "nothing of the title outside the strip";
  child.DestroyWindow();
}

TEST_F(ControlTest, AFloatingBarNamesItsSmallFrame) {
  Docked<CSizingControlBarG> d(AFX_IDW_DOCKBAR_LEFT);
  CSizingControlBarG& b = d.bar();
  d.frame->FloatControlBar(&b, CPoint(50, 50));
  CFrameWnd* mini = b.GetParentFrame();
  ASSERT_TRUE(mini && mini->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
  b.SetWindowText("Properties");
  CString title;
  mini->GetWindowText(title);
  EXPECT_STREQ(static_cast<LPCSTR>(title), "Properties");
}

TEST_F(ControlTest, TheSidePanelStandsOnTheButtonFaceInsideTheSideBarsFrame) {
  Hosted h;
  SidePanelBar& bar = h.frame()->side_bar();
  SidePanelDialog& panel = bar.panel();
  ASSERT_TRUE(::IsWindow(panel.m_hWnd));
  h.host.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  pump();
  std::vector<uint32_t> image;
  int width = 0, height = 0;
  ASSERT_TRUE(qm_user_window_image(h.host.m_hWnd, &image, &width, &height));
  CRect host, inside, outside;
  h.host.GetWindowRect(&host);
  panel.GetWindowRect(&inside);
  bar.GetWindowRect(&outside);
  auto at = [&](LONG x, LONG y) { return image[size_t(y - host.top) * size_t(width) + size_t(x - host.left)]; };
  // The panel's tab strip, the property list's empty part below its rows,
  // and the bar's frame beside the panel.
  EXPECT_EQ(at(inside.CenterPoint().x, inside.bottom - 5), sys(COLOR_BTNFACE));
  EXPECT_EQ(at(inside.CenterPoint().x, inside.bottom - 40), sys(COLOR_WINDOW));
  EXPECT_EQ(at(outside.left + 1, inside.CenterPoint().y), sys(COLOR_BTNFACE));
}

}  // namespace control_test
