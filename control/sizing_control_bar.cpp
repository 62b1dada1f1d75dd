// Sizing control bars: their sizes, their edges, dragging them and fitting
// the bars of a row into their dock bar.
#include "control/sizing_control_bar.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr DWORD kBarStyleMask = 0x40FFFF;     // the control-bar bits of a style
constexpr DWORD kWindowStyleMask = 0xFFBF0000;  // the window bits
constexpr int kOverlap = 2;                   // bars of a row overlap by this much
constexpr int kSectionSize = 256;             // "<name>-SCBar-<id>", at most 255 characters

bool is_sizing(const CControlBar* b) { return b && b->IsKindOf(RUNTIME_CLASS(CSizingControlBar)); }

CSize raised(CSize s, const CSize& minimum) {
  return CSize(std::max(s.cx, minimum.cx), std::max(s.cy, minimum.cy));
}

void section_name(char (&out)[kSectionSize], LPCSTR profile, int id) {
  std::snprintf(out, sizeof out, "%s-SCBar-%d", profile ? profile : "", id);
}

}  // namespace

IMPLEMENT_DYNAMIC(CSizingControlBar, CControlBar)

BEGIN_MESSAGE_MAP(CSizingControlBar, CControlBar)
ON_WM_CREATE()
ON_WM_NCCALCSIZE()
ON_WM_NCHITTEST()
ON_WM_NCLBUTTONDOWN()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_CAPTURECHANGED()
ON_WM_WINDOWPOSCHANGING()
ON_WM_SIZE()
ON_WM_CLOSE()
ON_WM_PAINT()
ON_WM_NCPAINT()
ON_WM_SETTINGCHANGE()
ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

CSizingControlBar::CSizingControlBar() = default;

namespace {

// Whether the system shows window contents while they are dragged.
bool drags_full_windows() {
  BOOL on = TRUE;
  return !::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0) || on;
}

int note_family(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// "Tahoma" when the system has that family, else "Arial".
const char* caption_face() {
  bool found = false;
  HDC dc = ::GetDC(nullptr);
  ::EnumFontFamiliesA(dc, "Tahoma", note_family, reinterpret_cast<LPARAM>(&found));
  ::ReleaseDC(nullptr, dc);
  return found ? "Tahoma" : "Arial";
}

}  // namespace

BOOL CSizingControlBar::Create(LPCSTR name, CWnd* parent, CSize size, BOOL, UINT id, DWORD style) {
  horzSize = vertSize = floatSize = size;
  return Create(name, parent, id, style);
}

BOOL CSizingControlBar::Create(LPCSTR name, CWnd* parent, UINT id, DWORD style) {
  m_dwStyle = style & kBarStyleMask;
  LPCSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW), ::GetSysColorBrush(COLOR_BTNFACE));
  return CWnd::CreateEx(0, cls, name, (style & kWindowStyleMask) | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), parent, id);
}

int CSizingControlBar::OnCreate(LPCREATESTRUCTA cs) {
  if (CControlBar::OnCreate(cs) == -1) return -1;
  liveDrag = drags_full_windows();
  return 0;
}

void CSizingControlBar::OnSettingChange(UINT flags, LPCSTR section) {
  CControlBar::OnSettingChange(flags, section);
  liveDrag = drags_full_windows();
}

// ---- Sizes in the profile ----

void CSizingControlBar::LoadSizes(LPCSTR profile) {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  char section[kSectionSize];
  section_name(section, profile, GetDlgCtrlID());
  auto read = [&](const char* key, LONG& v, LONG minimum) {
    v = std::max(static_cast<LONG>(static_cast<int>(app->GetProfileInt(section, key, v))), minimum);
  };
  read("sizeHorzCX", horzSize.cx, minHorzSize.cx);
  read("sizeHorzCY", horzSize.cy, minHorzSize.cy);
  read("sizeVertCX", vertSize.cx, minVertSize.cx);
  read("sizeVertCY", vertSize.cy, minVertSize.cy);
  read("sizeFloatCX", floatSize.cx, minFloatingSize.cx);
  read("sizeFloatCY", floatSize.cy, minFloatingSize.cy);
}

void CSizingControlBar::SaveSizes(LPCSTR profile) {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  char section[kSectionSize];
  section_name(section, profile, GetDlgCtrlID());
  app->WriteProfileInt(section, "sizeHorzCX", horzSize.cx);
  app->WriteProfileInt(section, "sizeHorzCY", horzSize.cy);
  app->WriteProfileInt(section, "sizeVertCX", vertSize.cx);
  app->WriteProfileInt(section, "sizeVertCY", vertSize.cy);
  app->WriteProfileInt(section, "sizeFloatCX", floatSize.cx);
  app->WriteProfileInt(section, "sizeFloatCY", floatSize.cy);
}

void CSizingControlBar::LoadAllSizes(CFrameWnd* frame, LPCSTR profile) {
  if (!frame) return;
  for (CControlBar* b : frame->m_listControlBars)
    if (is_sizing(b)) static_cast<CSizingControlBar*>(b)->LoadSizes(profile);
}

void CSizingControlBar::SaveAllSizes(CFrameWnd* frame, LPCSTR profile) {
  if (!frame) return;
  for (CControlBar* b : frame->m_listControlBars)
    if (is_sizing(b)) static_cast<CSizingControlBar*>(b)->SaveSizes(profile);
}

// ---- The row ----

std::vector<CControlBar*> CSizingControlBar::RowBars(int* self) const {
  std::vector<CControlBar*> row;
  if (self) *self = -1;
  if (!m_pDockBar) return row;
  const std::vector<CControlBar*>& all = m_pDockBar->m_arrBars;
  auto at = std::find(all.begin(), all.end(), this);
  if (at == all.end()) return row;
  auto first = at;
  while (first != all.begin() && *(first - 1)) --first;
  for (auto it = first; it != all.end() && *it; ++it) {
    if (*it == this && self) *self = static_cast<int>(row.size());
    if (*it == this || (*it)->IsVisible()) row.push_back(*it);
  }
  return row;
}

std::vector<CSizingControlBar*> CSizingControlBar::SizingRow(int* self) const {
  std::vector<CSizingControlBar*> row;
  if (self) *self = -1;
  for (CControlBar* b : RowBars())
    if (is_sizing(b)) {
      if (b == this && self) *self = static_cast<int>(row.size());
      row.push_back(static_cast<CSizingControlBar*>(b));
    }
  return row;
}

// ---- Non-client area ----

void CSizingControlBar::ComputeClientArea(CRect& r, UINT side) {
  r.left += 3, r.top += 5, r.right -= 3, r.bottom -= 3;
  if (side == AFX_IDW_DOCKBAR_TOP || side == AFX_IDW_DOCKBAR_BOTTOM || side == AFX_IDW_DOCKBAR_LEFT ||
      side == AFX_IDW_DOCKBAR_RIGHT)
    r.left += 2, r.right -= 2, r.bottom -= 2;
  // The edge that faces the frame's client area sizes the row.
  if (side == AFX_IDW_DOCKBAR_TOP) barStyle |= kEdgeBottom;
  if (side == AFX_IDW_DOCKBAR_BOTTOM) barStyle |= kEdgeTop;
  if (side == AFX_IDW_DOCKBAR_LEFT) barStyle |= kEdgeRight;
  if (side == AFX_IDW_DOCKBAR_RIGHT) barStyle |= kEdgeLeft;
  if (barStyle & kShowEdges) {
    if (barStyle & kEdgeLeft) r.left += edgeThickness;
    if (barStyle & kEdgeTop) r.top += edgeThickness;
    if (barStyle & kEdgeRight) r.right -= edgeThickness;
    if (barStyle & kEdgeBottom) r.bottom -= edgeThickness;
  }
}

void CSizingControlBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params) {
  if (!params) return;
  dockSide = m_pDockBar ? static_cast<UINT>(m_pDockBar->GetDlgCtrlID()) : AFX_IDW_DOCKBAR_FLOAT;
  if (IsFloating()) {
    // The mini frame sizes from its corners too, which this bar follows.
    CFrameWnd* mini = GetParentFrame();
    if (mini && mini->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)) && (mini->GetStyle() & MFS_4THICKFRAME)) {
      mini->ModifyStyle(MFS_4THICKFRAME, 0);
      if (CWnd* parent = GetParent()) parent->ModifyStyle(0, WS_CLIPCHILDREN);
    }
  }
  barStyle &= ~kEdgeAll;
  if (IsSideDocked()) {
    // Neighbours in the row share the edges between them.
    int self = -1;
    const std::vector<CSizingControlBar*> sizing = SizingRow(&self);
    const bool horz = IsHorzDocked();
    if (self > 0) barStyle |= horz ? kEdgeLeft : kEdgeTop;
    if (self >= 0 && self + 1 < static_cast<int>(sizing.size())) barStyle |= horz ? kEdgeRight : kEdgeBottom;
  }
  CRect r(params->rgrc[0]);
  ComputeClientArea(r, dockSide);
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  params->rgrc[0] = r;
}

bool CSizingControlBar::EdgeRect(UINT hit, CRect& r) {
  const DWORD bit = hit == HTLEFT ? kEdgeLeft : hit == HTTOP ? kEdgeTop : hit == HTRIGHT ? kEdgeRight : kEdgeBottom;
  if (!(barStyle & bit)) return false;
  GetWindowRect(&r);
  if (barStyle & kShowEdges) r.DeflateRect(1, 1);
  const int t = edgeThickness;
  switch (hit) {
    case HTLEFT: r.right = r.left + t; break;
    case HTRIGHT: r.left = r.right - t; break;
    case HTTOP: r.bottom = r.top + t; break;
    default: r.top = r.bottom - t; break;
  }
  if (IsHorzDocked() && (hit == HTLEFT || hit == HTRIGHT)) r.top += t, r.bottom -= t;
  if (IsVertDocked() && (hit == HTTOP || hit == HTBOTTOM)) r.left += t, r.right -= t;
  return true;
}

UINT CSizingControlBar::HitTest(CPoint screen) {
  if (!IsSideDocked()) return HTCLIENT;
  for (UINT hit : {UINT(HTLEFT), UINT(HTTOP), UINT(HTRIGHT), UINT(HTBOTTOM)}) {
    CRect r;
    if (EdgeRect(hit, r) && r.PtInRect(screen)) return hit;
  }
  return HTCLIENT;
}

LRESULT CSizingControlBar::OnNcHitTest(CPoint p) { return HitTest(p); }

// ---- Mouse ----

void CSizingControlBar::OnNcLButtonDown(UINT hit, CPoint p) {
  if (!dragging && IsSideDocked() && hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
    BeginEdgeDrag(hit, p);
    return;
  }
  Default();
}

void CSizingControlBar::OnLButtonDown(UINT, CPoint p) {
  if (m_pDockBar && m_pDockContext) {
    ClientToScreen(&p);
    m_pDockContext->StartDrag(p);
    return;
  }
  Default();
}

void CSizingControlBar::OnLButtonDblClk(UINT, CPoint) {
  if (m_pDockBar && m_pDockContext) {
    m_pDockContext->ToggleDocking();
    return;
  }
  Default();
}

void CSizingControlBar::OnMouseMove(UINT, CPoint p) {
  if (dragging) {
    ClientToScreen(&p);
    MoveDraggedEdge(p);
    return;
  }
  Default();
}

void CSizingControlBar::OnLButtonUp(UINT, CPoint) {
  if (dragging) EndEdgeDrag();
  Default();
}

void CSizingControlBar::OnRButtonDown(UINT, CPoint) {
  if (dragging) EndEdgeDrag();
  Default();
}

void CSizingControlBar::OnCaptureChanged(CWnd* wnd) {
  if (dragging && (!wnd || wnd->m_hWnd != m_hWnd)) EndEdgeDrag();
  Default();
}

void CSizingControlBar::OnWindowPosChanging(WINDOWPOS* pos) {
  if (pos) {
    dockSide = m_pDockBar ? static_cast<UINT>(m_pDockBar->GetDlgCtrlID()) : AFX_IDW_DOCKBAR_FLOAT;
    pos->flags |= SWP_FRAMECHANGED;
    if ((pos->flags & SWP_SHOWWINDOW) && IsSideDocked()) holdSize = true;
  }
  Default();
}

void CSizingControlBar::OnSize(UINT type, int cx, int cy) {
  if (barStyle & kSizeChild)
    if (HWND child = ::GetWindow(m_hWnd, GW_CHILD)) ::MoveWindow(child, 0, 0, cx, cy, TRUE);
  CControlBar::OnSize(type, cx, cy);
}

void CSizingControlBar::OnClose() {}  // a sizing bar is hidden, never closed

void CSizingControlBar::OnPaint() { CPaintDC validate(this); }

void CSizingControlBar::PaintGrip(CDC*, const CRect&) {}

LRESULT CSizingControlBar::OnSetText(WPARAM, LPARAM) {
  const LRESULT result = Default();
  // A floating bar names the small frame it floats in.
  if (CFrameWnd* frame = GetParentFrame(); frame && frame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) {
    CString text;
    GetWindowText(text);
    frame->SetWindowText(text);
    frame->DelayRecalcLayout();
  }
  return result;
}

CRect CSizingControlBar::ClientInWindow() {
  CRect client, window;
  GetClientRect(&client);
  ClientToScreen(&client);
  GetWindowRect(&window);
  client.OffsetRect(-window.left, -window.top);
  return client;
}

void CSizingControlBar::OnNcPaint() {
  CRect window;
  GetWindowRect(&window);
  const int width = window.Width(), height = window.Height();
  HDC target = ::GetWindowDC(m_hWnd);
  if (!target) return;
  // Drawn off screen first, so the frame never shows half painted.
  CDC mem;
  CBitmap bits;
  if (width > 0 && height > 0 && mem.CreateCompatibleDC(nullptr) &&
      bits.Attach(::CreateCompatibleBitmap(target, width, height))) {
    CBitmap* old = mem.SelectObject(&bits);
    CRect draw(0, 0, width, height);
    DrawBorders(&mem, draw);
    if (HBRUSH bg = reinterpret_cast<HBRUSH>(::GetClassLongPtrA(m_hWnd, GCLP_HBRBACKGROUND)))
      ::FillRect(mem.m_hDC, &draw, bg);
    if (barStyle & kShowEdges) {
      for (UINT hit : {UINT(HTLEFT), UINT(HTTOP), UINT(HTRIGHT), UINT(HTBOTTOM)}) {
        CRect edge;
        if (!EdgeRect(hit, edge)) continue;
        edge.OffsetRect(-window.left, -window.top);
        mem.Draw3dRect(&edge, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
      }
    }
    const CRect client = ClientInWindow();
    PaintGrip(&mem, client);
    // Only the frame is copied: the client area is the bar's contents.
    const CRect bands[] = {CRect(0, 0, width, client.top), CRect(0, client.bottom, width, height),
                           CRect(0, client.top, client.left, client.bottom),
                           CRect(client.right, client.top, width, client.bottom)};
    for (const CRect& b : bands)
      if (b.Width() > 0 && b.Height() > 0)
        ::BitBlt(target, b.left, b.top, b.Width(), b.Height(), mem.m_hDC, b.left, b.top, SRCCOPY);
    mem.SelectObject(old);
  }
  ::ReleaseDC(m_hWnd, target);
}

// ---- Dragging an edge ----

void CSizingControlBar::BeginEdgeDrag(UINT hit, CPoint p) {
  SetCapture();
  dragEdge = hit;
  dragging = true;
  const bool along_x = hit == HTLEFT || hit == HTRIGHT;
  dragLastPos = along_x ? p.x : p.y;
  CRect strip;
  if (!EdgeRect(hit, strip)) GetWindowRect(&strip);
  dragEdgeShift = dragLastPos - (along_x ? (strip.left + strip.right) / 2 : (strip.top + strip.bottom) / 2);
  dragLimitLow = dragLimitHigh = dragLastPos;

  int self = -1;
  const std::vector<CSizingControlBar*> row = SizingRow(&self);
  const bool horz = IsHorzDocked();
  side_drag_ = (horz && along_x) || (!horz && !along_x);
  if (side_drag_) {
    // Every bar lends what it has above its minimum along the row.
    for (int i = 0; i < static_cast<int>(row.size()); ++i) {
      CSizingControlBar* b = row[size_t(i)];
      const int slack = std::max(0, b->Along(b->DockedSize()) - b->Along(b->MinDockedSize()));
      const bool before = i < self || (i == self && (hit == HTRIGHT || hit == HTBOTTOM));
      if (before)
        dragLimitLow -= slack;
      else
        dragLimitHigh += slack;
    }
  } else {
    int least = 0;
    for (CSizingControlBar* b : row) least = std::max(least, Across(b->MinDockedSize()));
    int free = 0;
    if (m_pDockSite)
      if (CWnd* pane = m_pDockSite->GetDlgItem(AFX_IDW_PANE_FIRST)) {
        CRect rest;
        pane->GetClientRect(&rest);
        free = std::max(0, (horz ? rest.Height() : rest.Width()) - 2);
      }
    const int shrink = std::max(0, Across(DockedSize()) - least);
    if (hit == HTTOP || hit == HTLEFT) {
      dragLimitLow -= free;
      dragLimitHigh += shrink;
    } else {
      dragLimitLow -= shrink;
      dragLimitHigh += free;
    }
  }
  ToggleDragLine();
}

void CSizingControlBar::MoveDraggedEdge(CPoint p) {
  const bool along_x = dragEdge == HTLEFT || dragEdge == HTRIGHT;
  const int pos = std::clamp(static_cast<int>(along_x ? p.x : p.y), dragLimitLow, dragLimitHigh);
  if (pos == dragLastPos) return;
  ToggleDragLine();
  const int d = pos - dragLastPos;
  dragLastPos = pos;

  int self = -1;
  const std::vector<CSizingControlBar*> row = SizingRow(&self);
  const bool horz = IsHorzDocked();
  if (side_drag_) {
    // The edge lies between bar k and bar k + 1.
    const int k = (dragEdge == HTRIGHT || dragEdge == HTBOTTOM) ? self : self - 1;
    const int n = static_cast<int>(row.size());
    if (k < 0 || k + 1 >= n) return;
    auto along = [&](CSizingControlBar* b) -> LONG& { return horz ? b->DockedSize().cx : b->DockedSize().cy; };
    // The bar the edge moves away from grows; those it moves towards shrink,
    // the nearest first, each down to its minimum.
    const int grow = d > 0 ? k : k + 1;
    int left = d > 0 ? d : -d;
    along(row[size_t(grow)]) += left;
    for (int i = d > 0 ? k + 1 : k; left > 0 && i >= 0 && i < n; i += d > 0 ? 1 : -1) {
      CSizingControlBar* b = row[size_t(i)];
      const int give = std::min(left, std::max(0, static_cast<int>(along(b)) - b->Along(b->MinDockedSize())));
      along(b) -= give;
      left -= give;
    }
  } else {
    const int grows = (dragEdge == HTTOP || dragEdge == HTLEFT) ? -d : d;
    const LONG thickness = std::max(static_cast<LONG>(Across(DockedSize()) + grows), static_cast<LONG>(Across(MinDockedSize())));
    for (CSizingControlBar* b : row) (horz ? b->horzSize.cy : b->vertSize.cx) = thickness;
  }
  ToggleDragLine();
  if (liveDrag && m_pDockSite) m_pDockSite->DelayRecalcLayout();
}

void CSizingControlBar::EndEdgeDrag() {
  ToggleDragLine();
  dragging = false;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (m_pDockSite) m_pDockSite->DelayRecalcLayout();
}

void CSizingControlBar::ToggleDragLine() {
  if (liveDrag || !m_pDockSite || !m_pDockBar) return;
  CRect strip;
  if (!EdgeRect(dragEdge, strip)) return;
  const bool along_x = dragEdge == HTLEFT || dragEdge == HTRIGHT;
  if (!side_drag_) {
    CRect dock;
    m_pDockBar->GetWindowRect(&dock);
    if (along_x)
      strip.top = dock.top + 1, strip.bottom = dock.bottom - 1;
    else
      strip.left = dock.left + 1, strip.right = dock.right - 1;
  }
  const int shift = dragLastPos - dragEdgeShift - (along_x ? (strip.left + strip.right) / 2 : (strip.top + strip.bottom) / 2);
  strip.OffsetRect(along_x ? shift : 0, along_x ? 0 : shift);
  CRect frame;
  m_pDockSite->GetWindowRect(&frame);
  strip.OffsetRect(-frame.left, -frame.top);
  HDC dc = ::GetWindowDC(m_pDockSite->m_hWnd);
  if (!dc) return;
  CBrush* tone = CDC::GetHalftoneBrush();
  HGDIOBJ old = ::SelectObject(dc, tone ? tone->m_hObject : ::GetStockObject(GRAY_BRUSH));
  ::PatBlt(dc, strip.left, strip.top, strip.Width(), strip.Height(), PATINVERT);
  ::SelectObject(dc, old);
  ::ReleaseDC(m_pDockSite->m_hWnd, dc);
}

// ---- Layout ----

CSize CSizingControlBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  dockSide = m_pDockBar ? static_cast<UINT>(m_pDockBar->GetDlgCtrlID()) : AFX_IDW_DOCKBAR_FLOAT;
  if (stretch) return horz ? CSize(32767, horzSize.cy) : CSize(vertSize.cx, 32767);
  // Cleared first: laying the row out asks every bar of it, this one too.
  const bool laying_out = frameLayingOut;
  frameLayingOut = false;
  int self = -1;
  RowBars(&self);
  if (IsVisible() && IsSideDocked() && laying_out && self == 0) {
    CRect dock;
    m_pDockBar->GetClientRect(&dock);
    if (dock.IsRectEmpty() && m_pDockSite) m_pDockSite->GetClientRect(&dock);
    const int total = horz ? dock.Width() + kOverlap : dock.Height() - kOverlap;
    if (FitRowToDockBar(total, horz != FALSE)) LayOutRowBars();
  }
  return horz ? raised(horzSize, minHorzSize) : raised(vertSize, minVertSize);
}

CSize CSizingControlBar::CalcDynamicLayout(int length, DWORD mode) {
  if (mode & (LM_HORZDOCK | LM_VERTDOCK)) {
    if (length == -1) frameLayingOut = true;
    return CControlBar::CalcDynamicLayout(length, mode);
  }
  if (mode & (LM_MRUWIDTH | LM_COMMIT)) return floatSize;
  const UINT hit = m_pDockContext ? m_pDockContext->m_nHitTest : 0;
  if (hit == HTTOPLEFT || hit == HTTOPRIGHT || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT) {
    // A corner: both sides follow the cursor, and the drag's last point
    // moves only as far as the size could follow it.
    POINT cursor;
    ::GetCursorPos(&cursor);
    CPoint& last = m_pDockContext->m_ptLast;
    const LONG sx = (hit == HTTOPLEFT || hit == HTBOTTOMLEFT) ? -1 : 1;
    const LONG sy = (hit == HTTOPLEFT || hit == HTTOPRIGHT) ? -1 : 1;
    const LONG cx = std::max(floatSize.cx + sx * (cursor.x - last.x), minFloatingSize.cx);
    const LONG cy = std::max(floatSize.cy + sy * (cursor.y - last.y), minFloatingSize.cy);
    last.x += sx * (cx - floatSize.cx);
    last.y += sy * (cy - floatSize.cy);
    floatSize = CSize(cx, cy);
  } else if (mode & LM_LENGTHY) {
    floatSize.cy = length;
  } else {
    floatSize.cx = length;
  }
  floatSize = raised(floatSize, minFloatingSize);
  return floatSize;
}

bool CSizingControlBar::FitRowToDockBar(int total, bool horz) {
  int self = -1;
  std::vector<CControlBar*> row = RowBars(&self);
  if (self < 0 || !m_pDockBar) return true;
  auto along_of = [horz](CControlBar* b) {
    if (is_sizing(b)) {
      const CSizingControlBar* s = static_cast<CSizingControlBar*>(b);
      return static_cast<int>(horz ? s->minHorzSize.cx : s->minVertSize.cy);
    }
    CRect r;
    b->GetWindowRect(&r);
    return horz ? r.Width() : r.Height();
  };
  std::vector<CControlBar*>& all = m_pDockBar->m_arrBars;
  int running = kOverlap;
  for (int i = 0; i < static_cast<int>(row.size()); ++i) {
    running += along_of(row[size_t(i)]) - kOverlap;
    if (running <= total) continue;
    CControlBar* overflow = row[size_t(i)];
    auto where = std::find(all.begin(), all.end(), overflow);
    if (i < self) {
      all.insert(where + 1, nullptr);  // this bar starts a new row
      return false;
    }
    if (i > self) {
      all.insert(where, nullptr);  // the rest of the row moves to a new row
      row.resize(size_t(i));
      break;
    }
    LONG& mine = horz ? horzSize.cx : vertSize.cy;
    mine = horz ? minHorzSize.cx : minVertSize.cy;
    return true;
  }
  // Share what the row has among its sizing bars.
  std::vector<CSizingControlBar*> sizing;
  int sum = 0, thickness = 0;
  for (CControlBar* b : row) {
    if (!is_sizing(b)) {
      CRect r;
      b->GetWindowRect(&r);
      total -= (horz ? r.Width() : r.Height()) - kOverlap;
      continue;
    }
    CSizingControlBar* s = static_cast<CSizingControlBar*>(b);
    sizing.push_back(s);
    sum += (horz ? s->horzSize.cx : s->vertSize.cy) - kOverlap;
    thickness = std::max(thickness, static_cast<int>(horz ? s->horzSize.cy : s->vertSize.cx));
  }
  auto along = [horz](CSizingControlBar* s) -> LONG& { return horz ? s->horzSize.cx : s->vertSize.cy; };
  auto least = [horz](CSizingControlBar* s) { return horz ? s->minHorzSize.cx : s->minVertSize.cy; };
  int diff = total - sum;
  if (sizing.size() > 1) {
    for (CSizingControlBar* s : sizing) (horz ? s->horzSize.cy : s->vertSize.cx) = thickness;
    // One pixel at a time, round robin; a bar just shown keeps its size and
    // none goes below its minimum. The walk ends when no bar can change.
    while (diff != 0) {
      bool changed = false;
      for (CSizingControlBar* s : sizing) {
        if (diff == 0) break;
        if (s->holdSize) continue;
        if (diff < 0 && along(s) <= least(s)) continue;
        along(s) += diff > 0 ? 1 : -1;
        diff += diff > 0 ? -1 : 1;
        changed = true;
      }
      if (!changed) break;
    }
  } else if (sizing.size() == 1) {
    along(sizing[0]) = std::max(along(sizing[0]) + diff, least(sizing[0]));
  }
  for (CSizingControlBar* s : sizing) s->holdSize = false;
  return true;
}

void CSizingControlBar::LayOutRowBars() {
  // One after another along the row, each over the last two pixels of the
  // one before; across the row a bar stays where its dock bar put the row.
  const bool horz = IsHorzDocked();
  int along = horz ? -kOverlap : 0;
  bool moved = false;
  for (CControlBar* b : RowBars()) {
    if (!b->IsVisible()) continue;
    const CSize s = b->CalcFixedLayout(FALSE, horz);
    CRect now;
    b->GetWindowRect(&now);
    m_pDockBar->ScreenToClient(&now);
    const int across = horz ? now.top : now.left;
    CRect want = horz ? CRect(along, across, along + s.cx, across + s.cy) : CRect(across, along, across + s.cx, along + s.cy);
    if (now != want) {
      b->MoveWindow(&want, TRUE);
      moved = true;
    }
    along += (horz ? s.cx : s.cy) - kOverlap;
  }
  if (moved && m_pDockSite) m_pDockSite->DelayRecalcLayout();
}

void CSizingControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

// ---------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CSizingControlBarG, CSizingControlBar)

BEGIN_MESSAGE_MAP(CSizingControlBarG, CSizingControlBar)
ON_WM_NCLBUTTONUP()
END_MESSAGE_MAP()

void CSizingControlBarG::ComputeClientArea(CRect& r, UINT side) {
  CSizingControlBar::ComputeClientArea(r, side);
  if (!ShowsGrip()) return;
  CRect window;
  GetWindowRect(&window);
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&window);
  if (IsHorzDocked()) {
    r.left += gripThickness;
    closeButton = CPoint(r.left - 13 - window.left, r.top - window.top);
  } else {
    r.top += gripThickness;
    closeButton = CPoint(r.right - 12 - window.left, r.top - 13 - window.top);
  }
}

CRect CSizingControlBarG::CloseButtonRect() {
  CRect window;
  GetWindowRect(&window);
  return CRect(window.left + closeButton.x, window.top + closeButton.y, window.left + closeButton.x + kButtonSize,
               window.top + closeButton.y + kButtonSize);
}

UINT CSizingControlBarG::HitTest(CPoint screen) {
  const UINT hit = CSizingControlBar::HitTest(screen);
  if (hit == HTCLIENT && ShowsGrip() && CloseButtonRect().PtInRect(screen)) return HTCLOSE;
  return hit;
}

void CSizingControlBarG::OnNcLButtonUp(UINT hit, CPoint) {
  if (hit == HTCLOSE && m_pDockSite) {
    m_pDockSite->ShowControlBar(this, FALSE, FALSE);
    return;
  }
  Default();
}

void CSizingControlBarG::OnUpdateCmdUI(CFrameWnd* target, BOOL disable) {
  CSizingControlBar::OnUpdateCmdUI(target, disable);
  if (!ShowsGrip()) return;
  POINT at;
  ::GetCursorPos(&at);
  const bool over = HitTest(at) == HTCLOSE;
  const bool down = (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;
  const bool was_pushed = pushed, was_raised = raised;
  pushed = over && down;
  raised = over && !down;
  if (pushed != was_pushed || raised != was_raised) SendMessage(WM_NCPAINT);
}

CRect CSizingControlBarG::CloseButtonInWindow() const {
  return CRect(closeButton.x, closeButton.y, closeButton.x + kButtonSize, closeButton.y + kButtonSize);
}

CRect CSizingControlBarG::GripRect(const CRect& client, int thickness) const {
  const CRect button = CloseButtonInWindow();
  if (IsHorzDocked())
    return CRect(client.left - gripThickness, button.bottom + 14, client.left - gripThickness + thickness,
                 client.bottom);
  return CRect(client.left, client.top - gripThickness, button.left - 3, client.top - gripThickness + thickness);
}

void CSizingControlBarG::PaintGrip(CDC* dc, const CRect& client) {
  if (!ShowsGrip()) return;
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
  CRect strip = GripRect(client, 3);
  if (strip.Width() > 0 && strip.Height() > 0) {
    dc->Draw3dRect(&strip, light, shadow);
    strip.OffsetRect(IsHorzDocked() ? 3 : 0, IsHorzDocked() ? 0 : 3);
    dc->Draw3dRect(&strip, light, shadow);
  }
  PaintCloseButton(dc);
}

void CSizingControlBarG::PaintCloseButton(CDC* dc) {
  const CRect button = CloseButtonInWindow();
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
  if (pushed)
    dc->Draw3dRect(&button, shadow, light);
  else if (raised)
    dc->Draw3dRect(&button, light, shadow);
  CFont glyphs;
  if (!glyphs.CreatePointFont(::MulDiv(60, 96, dc->GetDeviceCaps(LOGPIXELSX)), "Marlett", dc)) return;
  CFont* old = dc->SelectObject(&glyphs);
  dc->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
  dc->SetBkMode(TRANSPARENT);
  dc->TextOut(button.left + 2, button.top + 2, "r", 1);  // the close cross of the symbol font
  dc->SelectObject(old);
}

// ---------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CSizingControlBarCF, CSizingControlBarG)

BEGIN_MESSAGE_MAP(CSizingControlBarCF, CSizingControlBarG)
ON_MESSAGE(WM_SETTEXT, OnSetCaption)
END_MESSAGE_MAP()

CSizingControlBarCF::CSizingControlBarCF() : captionFace(caption_face()) {}

void CSizingControlBarCF::OnUpdateCmdUI(CFrameWnd* target, BOOL disable) {
  CSizingControlBarG::OnUpdateCmdUI(target, disable);
  if (!ShowsGrip()) return;
  HWND focus = ::GetFocus();
  const bool was = active;
  active = focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
  if (active != was) SendMessage(WM_NCPAINT);
}

LRESULT CSizingControlBarCF::OnSetCaption(WPARAM wparam, LPARAM lparam) {
  const LRESULT result = OnSetText(wparam, lparam);
  SendMessage(WM_NCPAINT);
  return result;
}

COLORREF CSizingControlBarCF::CaptionBand(COLORREF from, COLORREF to, int band) {
  auto mix = [band](int a, int b) { return a + (b - a) * band / kCaptionBands; };
  return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
             mix(GetBValue(from), GetBValue(to)));
}

void CSizingControlBarCF::PaintGrip(CDC* dc, const CRect& client) {
  if (!ShowsGrip()) return;
  const bool horz = IsHorzDocked();
  const CRect strip = GripRect(client, gripThickness);
  if (strip.Width() > 0 && strip.Height() > 0) {
    const COLORREF colour = ::GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    BOOL gradient = FALSE;
    ::SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    if (gradient) {
      // Bottom to top across the top or bottom, left to right down a side.
      const COLORREF to = ::GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
      const int length = horz ? strip.Height() : strip.Width();
      for (int i = 0; i < kCaptionBands; ++i) {
        const int from_edge = length * i / kCaptionBands, to_edge = length * (i + 1) / kCaptionBands;
        if (to_edge <= from_edge) continue;
        const CRect band = horz ? CRect(strip.left, strip.bottom - to_edge, strip.right, strip.bottom - from_edge)
                                : CRect(strip.left + from_edge, strip.top, strip.left + to_edge, strip.bottom);
        dc->FillSolidRect(&band, CaptionBand(colour, to, i));
      }
    } else {
      dc->FillSolidRect(&strip, colour);
    }
    PaintTitle(dc, strip);
  }
  PaintCloseButton(dc);
}

void CSizingControlBarCF::PaintTitle(CDC* dc, const CRect& strip) {
  CString title;
  GetWindowText(title);
  if (title.IsEmpty()) return;
  // Drawn on a copy of the strip, so nothing of the title falls outside it.
  CDC clip;
  CBitmap bits;
  if (!clip.CreateCompatibleDC(dc) || !bits.Attach(::CreateCompatibleBitmap(dc->m_hDC, strip.Width(), strip.Height())))
    return;
  CBitmap* old_bits = clip.SelectObject(&bits);
  clip.BitBlt(0, 0, strip.Width(), strip.Height(), dc, strip.left, strip.top, SRCCOPY);
  const bool horz = IsHorzDocked();
  LOGFONTA lf = {};
  lf.lfHeight = -::MulDiv(::MulDiv(85, 96, dc->GetDeviceCaps(LOGPIXELSX)), dc->GetDeviceCaps(LOGPIXELSY), 720);
  lf.lfWeight = FW_NORMAL;
  lf.lfEscapement = lf.lfOrientation = horz ? 900 : 0;  // upward along a side caption
  lf.lfCharSet = DEFAULT_CHARSET;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", static_cast<LPCSTR>(captionFace));
  CFont font;
  if (font.CreateFontIndirect(&lf)) {
    CFont* old_font = clip.SelectObject(&font);
    clip.SetTextColor(::GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    clip.SetBkMode(TRANSPARENT);
    if (horz)
      clip.TextOut(0, strip.Height() - 2, title);
    else
      clip.TextOut(2, 0, title);
    clip.SelectObject(old_font);
  }
  dc->BitBlt(strip.left, strip.top, strip.Width(), strip.Height(), &clip, 0, 0, SRCCOPY);
  clip.SelectObject(old_bits);
}
