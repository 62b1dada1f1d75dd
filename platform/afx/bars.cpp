// Control bars, toolbars, dock bars, the frame's layout of them and the dock
// state in the profile; document templates.
#include <afxext.h>
#include <commctrl.h>
#include <qm_user.h>
#include <ximage.h>

#include <algorithm>
#include <map>

namespace {

std::map<UINT, std::vector<UINT>>& toolbar_resources() {
  static std::map<UINT, std::vector<UINT>> r;
  return r;
}

bool horizontal(DWORD style) { return (style & CBRS_ORIENT_HORZ) != 0; }

// The dock bar of a side, by the side's alignment bit.
const struct {
  DWORD align;
  UINT id;
} kDockBars[] = {{CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
                 {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
                 {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
                 {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT}};

// A toolbar button's state told by CCmdUI.
class ToolCmdUI : public CCmdUI {
 public:
  CToolBar* bar;
  void Enable(BOOL on) override {
    CCmdUI::Enable(on);
    UINT s = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~TBBS_DISABLED;
    bar->SetButtonStyle(static_cast<int>(m_nIndex), on ? s : s | TBBS_DISABLED);
  }
  void SetCheck(int check) override {
    UINT s = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (check == 1) s |= TBBS_CHECKED;
    if (check == 2) s |= TBBS_INDETERMINATE;
    bar->SetButtonStyle(static_cast<int>(m_nIndex), s | TBBS_CHECKBOX);
  }
};

std::string section(LPCSTR name, const char* part) { return std::string(name ? name : "") + "-" + part; }

}  // namespace

// ---- Document templates ----
IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT id, const CRuntimeClass* doc_class, const CRuntimeClass* frame_class,
                           const CRuntimeClass* view_class)
    : m_nIDResource(id), m_pDocClass(doc_class), m_pFrameClass(frame_class), m_pViewClass(view_class) {}

CDocument* CDocTemplate::CreateNewDocument() {
  CObject* obj = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
  if (!obj || !obj->IsKindOf(RUNTIME_CLASS(CDocument))) {
    delete obj;
    return nullptr;
  }
  CDocument* doc = static_cast<CDocument*>(obj);
  doc->m_pDocTemplate = this;
  return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd* other) {
  CObject* obj = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
  if (!obj || !obj->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
    delete obj;
    return nullptr;
  }
  CFrameWnd* frame = static_cast<CFrameWnd*>(obj);
  CCreateContext ctx;
  ctx.m_pNewViewClass = m_pViewClass;
  ctx.m_pCurrentDoc = doc;
  ctx.m_pNewDocTemplate = this;
  ctx.m_pCurrentFrame = other;
  // A frame whose creation failed has deleted itself.
  if (!frame->Create(nullptr, "", WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, nullptr, nullptr, 0, &ctx)) return nullptr;
  return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument*, BOOL visible) {
  if (!frame) return;
  if (CView* v = frame->GetActiveView()) v->OnInitialUpdate();
  if (visible) frame->ShowWindow(SW_SHOW);
}

IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CSingleDocTemplate::~CSingleDocTemplate() {
  // The document's views belong to their frames; the document is ours.
  delete m_pOnlyDoc;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR path, BOOL visible) {
  CDocument* doc = m_pOnlyDoc;
  CFrameWnd* frame = nullptr;
  if (!doc) {
    doc = CreateNewDocument();
    if (!doc) return nullptr;
    m_pOnlyDoc = doc;
    frame = CreateNewFrame(doc, nullptr);
    if (!frame) {
      m_pOnlyDoc = nullptr;
      delete doc;
      return nullptr;
    }
  }
  const BOOL ok = path ? doc->OnOpenDocument(path) : doc->OnNewDocument();
  if (!ok) return nullptr;
  if (path) doc->SetPathName(path);
  if (frame) InitialUpdateFrame(frame, doc, visible);
  return doc;
}

CDocManager::~CDocManager() {
  for (CDocTemplate* t : templates_) delete t;
}

void CDocManager::AddDocTemplate(CDocTemplate* tmpl) {
  if (tmpl && std::find(templates_.begin(), templates_.end(), tmpl) == templates_.end()) templates_.push_back(tmpl);
}

// ---- Control bars ----
IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::~CControlBar() { delete m_pDockContext; }

void CControlBar::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}

int CControlBar::OnCreate(LPCREATESTRUCTA cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  CWnd* parent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
  if (parent && parent->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
    m_pDockSite = static_cast<CFrameWnd*>(parent);
    m_pDockSite->AddControlBar(this);
  }
  return 0;
}

void CControlBar::OnDestroy() {
  if (tip_ && ::IsWindow(tip_)) ::DestroyWindow(tip_);
  tip_ = nullptr;
  tip_tool_ = 0;
  if (m_pDockBar) m_pDockBar->RemoveControlBar(this);
  if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
  m_pDockSite = nullptr;
  CWnd::OnDestroy();
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wparam, LPARAM) {
  // Only a visible bar updates, against the frame that holds it.
  if (IsWindowVisible() && m_pDockSite) OnUpdateCmdUI(m_pDockSite, static_cast<BOOL>(wparam));
  return 0;
}

void CControlBar::DrawBorders(CDC* dc, CRect& r) {
  if (!dc) return;
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  if (m_dwStyle & CBRS_BORDER_LEFT) {
    dc->FillSolidRect(r.left, r.top, 1, r.Height(), shadow);
    r.left += 1;
  }
  if (m_dwStyle & CBRS_BORDER_TOP) {
    dc->FillSolidRect(r.left, r.top, r.Width(), 1, shadow);
    r.top += 1;
  }
  if (m_dwStyle & CBRS_BORDER_RIGHT) {
    r.right -= 1;
    dc->FillSolidRect(r.right, r.top, 1, r.Height(), shadow);
  }
  if (m_dwStyle & CBRS_BORDER_BOTTOM) {
    r.bottom -= 1;
    dc->FillSolidRect(r.left, r.bottom, r.Width(), 1, shadow);
  }
}

void CControlBar::EnableDocking(DWORD style) {
  m_dwDockStyle = style & CBRS_ALIGN_ANY;
  if (m_dwDockStyle && !m_pDockContext) m_pDockContext = new CDockContext(this);
}

CSize CControlBar::CalcFixedLayout(BOOL, BOOL) { return CSize(0, 0); }

CSize CControlBar::CalcDynamicLayout(int, DWORD mode) {
  return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

CString CControlBar::TooltipOf(UINT id) const {
  CString s;
  if (!s.LoadString(id)) return CString();
  const int nl = s.Find('\n');
  return nl >= 0 ? s.Mid(nl + 1) : CString();
}

void CControlBar::FilterToolTipMessage(MSG* msg) {
  if (!msg || !(m_dwStyle & CBRS_TOOLTIPS)) return;
  if (msg->message < WM_MOUSEFIRST || msg->message > WM_MOUSELAST) return;
  CPoint p(msg->lParam);
  if (msg->hwnd != m_hWnd) {
    POINT s = msg->pt;
    ::ScreenToClient(m_hWnd, &s);
    p = CPoint(s);
  }
  const int hit = HitTestButton(p);
  tooltip_ = hit >= 0 ? TooltipOf(ButtonCommand(hit)) : CString();
  if (!tip_) {
    // Owned by the bar, the tip window goes with it.
    tip_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, m_hWnd, nullptr, nullptr, nullptr);
    if (!tip_) return;
  }
  // The tip window knows one tool: the button under the mouse.
  const UINT command = tooltip_.IsEmpty() ? 0 : ButtonCommand(hit);
  if (command != tip_tool_) {
    TOOLINFOA ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = m_hWnd;
    ti.uId = tip_tool_;
    if (tip_tool_) ::SendMessageA(tip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    tip_tool_ = command;
    if (command) {
      ti.uId = command;
      ButtonRect(hit, &ti.rect);
      ti.lpszText = const_cast<LPSTR>(static_cast<LPCSTR>(tooltip_));
      ::SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
  }
  MSG relayed = *msg;
  relayed.hwnd = m_hWnd;
  relayed.lParam = MAKELPARAM(p.x, p.y);
  ::SendMessageA(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// ---- Toolbars ----
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_CAPTURECHANGED()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_WM_PAINT()
END_MESSAGE_MAP()

// Each button's picture cut from the strip, and its silhouette in the two
// colours a disabled button is embossed with.
struct QmToolBarPictures {
  std::vector<CxImage> normal, highlight, shadow;
  // The same made once on the button face, a cell each, ready to copy: the
  // pictures in the first row, embossed in the second.
  static constexpr int kCellWidth = CToolBar::kPictureWidth + 1, kCellHeight = CToolBar::kPictureHeight + 1;
  HBITMAP on_face = nullptr;
  QmToolBarPictures() = default;
  QmToolBarPictures(const QmToolBarPictures&) = delete;
  QmToolBarPictures& operator=(const QmToolBarPictures&) = delete;
  ~QmToolBarPictures() {
    if (on_face) ::DeleteObject(on_face);
  }
};

namespace {

// Picture `index` of a strip, as it is, or (with `ink`) as a silhouette:
// its opaque pixels in that one colour.
CxImage cut(const QmPixels& strip, int index, const COLORREF* ink) {
  constexpr uint32_t kOpaqueFrom = 128;
  CxImage out;
  out.Create(CToolBar::kPictureWidth, CToolBar::kPictureHeight);
  for (long y = 0; y < CToolBar::kPictureHeight; ++y)
    for (long x = 0; x < CToolBar::kPictureWidth; ++x) {
      const uint32_t p = strip.argb[size_t(y) * size_t(strip.width) + size_t(index * CToolBar::kPictureWidth + x)];
      const uint32_t alpha = p >> 24;
      out.SetPixelColor(x, y, ink ? *ink : RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
      out.AlphaSet(x, y, static_cast<BYTE>(ink ? (alpha >= kOpaqueFrom ? 255 : 0) : alpha));
    }
  return out;
}

// The strip registered for a toolbar resource, cut into `count` pictures;
// null when there is none, it does not load or it is too short.
std::shared_ptr<QmToolBarPictures> load_pictures(UINT id, int count) {
  QmPixels strip;
  if (count <= 0 || !qm_user_picture_pixels(QmPicture::kBitmap, MAKEINTRESOURCEA(id), &strip) ||
      strip.width < count * CToolBar::kPictureWidth || strip.height < CToolBar::kPictureHeight)
    return nullptr;
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
  auto p = std::make_shared<QmToolBarPictures>();
  for (int i = 0; i < count; ++i) {
    p->normal.push_back(cut(strip, i, nullptr));
    p->highlight.push_back(cut(strip, i, &light));
    p->shadow.push_back(cut(strip, i, &shadow));
  }
  HDC screen = ::GetDC(nullptr);
  p->on_face = screen ? ::CreateCompatibleBitmap(screen, count * QmToolBarPictures::kCellWidth,
                                                 2 * QmToolBarPictures::kCellHeight)
                      : nullptr;
  if (screen) ::ReleaseDC(nullptr, screen);
  HDC cells = p->on_face ? ::CreateCompatibleDC(nullptr) : nullptr;
  if (!cells) return p;
  HGDIOBJ old = ::SelectObject(cells, p->on_face);
  const RECT all = {0, 0, count * QmToolBarPictures::kCellWidth, 2 * QmToolBarPictures::kCellHeight};
  ::FillRect(cells, &all, ::GetSysColorBrush(COLOR_BTNFACE));
  for (int i = 0; i < count; ++i) {
    const size_t k = static_cast<size_t>(i);
    const int x = i * QmToolBarPictures::kCellWidth, y = QmToolBarPictures::kCellHeight;
    p->normal[k].Draw(cells, x, 0);
    p->highlight[k].Draw(cells, x + 1, y + 1);
    p->shadow[k].Draw(cells, x, y);
  }
  ::SelectObject(cells, old);
  ::DeleteDC(cells);
  return p;
}

}  // namespace

void AfxRegisterToolBar(UINT id, std::vector<UINT> buttons) { toolbar_resources()[id] = std::move(buttons); }

BOOL CToolBar::CreateEx(CWnd* parent, DWORD, DWORD style, CRect, UINT id) {
  m_dwStyle = style & CBRS_ALL;
  const DWORD window_style = (style & ~CBRS_ALL) | WS_CHILD;
  return CWnd::CreateEx(0, nullptr, nullptr, window_style, 0, 0, 0, 0, parent ? parent->m_hWnd : nullptr,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id) { return CreateEx(parent, 0, style, CRect(), id); }

BOOL CToolBar::LoadToolBar(UINT id) {
  auto it = toolbar_resources().find(id);
  if (it == toolbar_resources().end()) return FALSE;
  if (!SetButtons(it->second.data(), static_cast<int>(it->second.size()))) return FALSE;
  const int pictures =
      static_cast<int>(std::count_if(buttons_.begin(), buttons_.end(), [](const Button& b) { return b.picture >= 0; }));
  pictures_ = load_pictures(id, pictures);
  Invalidate(FALSE);
  return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* ids, int count) {
  if (count < 0 || (count > 0 && !ids)) return FALSE;
  buttons_.clear();
  pictures_ = nullptr;
  hot_ = pressed_ = -1;
  int picture = 0;
  for (int i = 0; i < count; ++i) {
    const bool separator = ids[i] == ID_SEPARATOR;
    buttons_.push_back({ids[i], separator ? UINT(TBBS_SEPARATOR) : UINT(TBBS_BUTTON), separator ? -1 : picture++});
  }
  if (m_pDockSite) m_pDockSite->RecalcLayout();
  return TRUE;
}

UINT CToolBar::GetItemID(int index) const {
  return index >= 0 && index < GetCount() ? buttons_[static_cast<size_t>(index)].id : 0;
}

int CToolBar::CommandToIndex(UINT id) const {
  for (int i = 0; i < GetCount(); ++i)
    if (buttons_[static_cast<size_t>(i)].id == id && id != ID_SEPARATOR) return i;
  return -1;
}

UINT CToolBar::GetButtonStyle(int index) const {
  return index >= 0 && index < GetCount() ? buttons_[static_cast<size_t>(index)].style : 0;
}

void CToolBar::SetButtonStyle(int index, UINT style) {
  if (index < 0 || index >= GetCount()) return;
  if (buttons_[static_cast<size_t>(index)].style != style) {
    buttons_[static_cast<size_t>(index)].style = style;
    Invalidate(FALSE);
  }
}

void CToolBar::OnPaint() {
  constexpr COLORREF kMark = RGB(0, 0, 0), kMarkDisabled = RGB(160, 160, 160);
  constexpr int kMarkInset = 8;
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE), light = ::GetSysColor(COLOR_BTNHIGHLIGHT),
                 shadow = ::GetSysColor(COLOR_BTNSHADOW);
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(&client, face);
  // The pictures on the face are copied from their cells.
  HDC cells = pictures_ && pictures_->on_face ? ::CreateCompatibleDC(dc.m_hDC) : nullptr;
  HGDIOBJ held = cells ? ::SelectObject(cells, pictures_->on_face) : nullptr;
  for (int i = 0; i < GetCount(); ++i) {
    const Button& b = buttons_[static_cast<size_t>(i)];
    if (b.style & TBBS_SEPARATOR) continue;
    CRect r;
    GetItemRect(i, &r);
    const bool disabled = (b.style & TBBS_DISABLED) != 0;
    const bool checked = (b.style & (TBBS_CHECKED | TBBS_INDETERMINATE)) != 0;
    const bool hot = i == hot_ && !disabled;
    const bool down = (i == pressed_ && hot) || (b.style & TBBS_PRESSED);
    if (checked && !hot && !down) {
      // The face of a checked button is dithered with the highlight.
      for (int y = r.top + 1; y < r.bottom - 1; ++y)
        for (int x = r.left + 1 + ((y - r.top) & 1); x < r.right - 1; x += 2) ::SetPixel(dc.m_hDC, x, y, light);
    }
    if (down || checked)
      dc.Draw3dRect(&r, shadow, light);
    else if (hot)
      dc.Draw3dRect(&r, light, shadow);
    const int shift = down || checked ? 1 : 0;
    const int x = r.left + (r.Width() - kPictureWidth) / 2 + shift,
              y = r.top + (r.Height() - kPictureHeight) / 2 + shift;
    if (pictures_ && b.picture >= 0 && b.picture < static_cast<int>(pictures_->normal.size())) {
      const size_t k = static_cast<size_t>(b.picture);
      const bool embossed = disabled || (b.style & TBBS_INDETERMINATE);
      if (held && !(checked && !hot && !down)) {
        ::BitBlt(dc.m_hDC, x, y, QmToolBarPictures::kCellWidth, QmToolBarPictures::kCellHeight, cells,
                 b.picture * QmToolBarPictures::kCellWidth, embossed ? QmToolBarPictures::kCellHeight : 0, SRCCOPY);
      } else if (embossed) {
        pictures_->highlight[k].Draw(dc.m_hDC, x + 1, y + 1);
        pictures_->shadow[k].Draw(dc.m_hDC, x, y);
      } else {
        pictures_->normal[k].Draw(dc.m_hDC, x, y);
      }
      continue;
    }
    // No picture: a plain mark, grey when disabled.
    CRect mark = r;
    mark.DeflateRect(kMarkInset, kMarkInset);
    mark.OffsetRect(shift, shift);
    if (!mark.IsRectEmpty()) dc.FillSolidRect(&mark, disabled ? kMarkDisabled : kMark);
  }
  if (held) ::SelectObject(cells, held);
  if (cells) ::DeleteDC(cells);
}

void CToolBar::GetItemRect(int index, LPRECT r) const {
  const bool horz = horizontal(m_dwStyle) || !(m_dwStyle & CBRS_ORIENT_VERT);
  int at = 0;
  for (int i = 0; i < GetCount() && i <= index; ++i) {
    const int len = buttons_[static_cast<size_t>(i)].style & TBBS_SEPARATOR ? kSeparatorWidth
                    : horz                                                  ? kButtonWidth
                                                                            : kButtonHeight;
    if (i == index) {
      *r = horz ? RECT{at, 0, at + len, kButtonHeight} : RECT{0, at, kButtonWidth, at + len};
      return;
    }
    at += len;
  }
  *r = RECT{0, 0, 0, 0};
}

int CToolBar::HitTestButton(CPoint p) const {
  for (int i = 0; i < GetCount(); ++i) {
    CRect r;
    GetItemRect(i, &r);
    if (r.PtInRect(p) && !(buttons_[static_cast<size_t>(i)].style & TBBS_SEPARATOR)) return i;
  }
  return -1;
}

CSize CToolBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  int len = 0;
  for (const Button& b : buttons_) len += b.style & TBBS_SEPARATOR ? kSeparatorWidth : horz ? kButtonWidth : kButtonHeight;
  if (horz) return CSize(stretch ? 32767 : len, kButtonHeight);
  return CSize(kButtonWidth, stretch ? 32767 : len);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disable_if_no_handler) {
  ToolCmdUI ui;
  ui.bar = this;
  ui.m_pOther = this;
  for (int i = 0; i < GetCount(); ++i) {
    if (buttons_[static_cast<size_t>(i)].style & TBBS_SEPARATOR) continue;
    ui.m_nIndex = static_cast<UINT>(i);
    ui.m_nID = buttons_[static_cast<size_t>(i)].id;
    ui.DoUpdate(target, disable_if_no_handler);
  }
}

void CToolBar::OnLButtonDown(UINT, CPoint p) {
  const int i = HitTestButton(p);
  if (i < 0 || (GetButtonStyle(i) & TBBS_DISABLED)) return;
  pressed_ = i;
  SetHot(i);
  SetCapture();
  Invalidate(FALSE);
}

void CToolBar::OnLButtonUp(UINT, CPoint p) {
  const int i = HitTestButton(p);
  const int was = pressed_;
  if (was >= 0) {
    pressed_ = -1;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    Invalidate(FALSE);
  }
  if (i < 0 || (GetButtonStyle(i) & TBBS_DISABLED) || (was >= 0 && was != i)) return;
  // The command goes to the frame, as a menu's would.
  CWnd* owner = m_pDockSite ? static_cast<CWnd*>(m_pDockSite) : GetParent();
  if (owner) owner->PostMessage(WM_COMMAND, MAKEWPARAM(GetItemID(i), 0), 0);
}

void CToolBar::OnMouseMove(UINT, CPoint p) {
  MSG m = {m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y), 0, {p.x, p.y}};
  FilterToolTipMessage(&m);
  const int i = HitTestButton(p);
  // While a button is held, only it lights up (and shows down) under the pointer.
  SetHot(pressed_ >= 0 && i != pressed_ ? -1 : i);
}

void CToolBar::OnCaptureChanged(CWnd* wnd) {
  // The press ends when the mouse is taken away: nothing is sent.
  if (pressed_ >= 0 && (!wnd || wnd->m_hWnd != m_hWnd)) {
    pressed_ = -1;
    Invalidate(FALSE);
  }
}

void CToolBar::SetHot(int index) {
  if (index >= 0 && (GetButtonStyle(index) & TBBS_DISABLED)) index = -1;
  if (index == hot_) return;
  hot_ = index;
  Invalidate(FALSE);
  if (hot_ >= 0) {
    // Told when the pointer leaves the bar.
    TRACKMOUSEEVENT track = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
  }
}

LRESULT CToolBar::OnMouseLeave(WPARAM, LPARAM) {
  if (pressed_ < 0) SetHot(-1);
  if (tip_) ::SendMessageA(tip_, TTM_POP, 0, 0);
  return 0;
}

// ---- Dock bars ----
IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BOOL CDockBar::Create(CFrameWnd* frame, DWORD align, UINT id) {
  m_dwStyle = align;
  return CWnd::CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame ? frame->m_hWnd : nullptr,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CDockBar::DockControlBar(CControlBar* bar, BOOL new_row) {
  if (!bar) return;
  if (bar->m_pDockBar) bar->m_pDockBar->RemoveControlBar(bar);
  if (new_row || m_arrBars.size() < 2) {
    m_arrBars.push_back(bar);
    m_arrBars.push_back(nullptr);
  } else {
    m_arrBars.insert(m_arrBars.end() - 1, bar);
  }
  bar->m_pDockBar = this;
  bar->m_dwStyle = (bar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | (m_dwStyle & CBRS_ALIGN_ANY);
  ::SetParent(bar->m_hWnd, m_hWnd);
}

void CDockBar::RemoveControlBar(CControlBar* bar) {
  auto it = std::find(m_arrBars.begin(), m_arrBars.end(), bar);
  if (it == m_arrBars.end()) return;
  it = m_arrBars.erase(it);
  // A row left empty goes too (two nulls in a row become one).
  if (it != m_arrBars.end() && *it == nullptr && *(it - 1) == nullptr) m_arrBars.erase(it);
  bar->m_pDockBar = nullptr;
}

int CDockBar::VisibleBarCount() const {
  int n = 0;
  for (CControlBar* b : m_arrBars)
    if (b && b->IsVisible()) ++n;
  return n;
}

CSize CDockBar::CalcFixedLayout(BOOL, BOOL horz) {
  // Rows across the side: their thickness adds up.
  int thickness = 0, row = 0;
  for (CControlBar* b : m_arrBars) {
    if (!b) {
      thickness += row;
      row = 0;
      continue;
    }
    if (!b->IsVisible()) continue;
    // Docked bars are asked as the frame lays them out (length -1).
    const CSize s = b->CalcDynamicLayout(-1, horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
    row = std::max(row, static_cast<int>(horz ? s.cy : s.cx));
  }
  return horz ? CSize(32767, thickness) : CSize(thickness, 32767);
}

void CDockBar::LayoutBars() {
  // Bars of a row may overlap their neighbour by this much (sizing bars
  // share their edges); a bar already placed so keeps its place.
  constexpr int kOverlap = 2;
  const bool horz = horizontal(m_dwStyle);
  int across = 0, along = 0, row = 0;
  for (CControlBar* b : m_arrBars) {
    if (!b) {
      across += row;
      along = row = 0;
      continue;
    }
    if (!b->IsVisible()) continue;
    // Asked as the frame lays them out, now that this bar has its new size:
    // a bar that fills its row fits it again.
    const CSize s = b->CalcDynamicLayout(-1, horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
    CRect now;
    b->GetWindowRect(&now);
    ScreenToClient(&now);
    const int at = horz ? now.left : now.top;
    if (at >= along - kOverlap && at < along) along = at;
    if (horz)
      b->MoveWindow(along, across, s.cx, s.cy);
    else
      b->MoveWindow(across, along, s.cx, s.cy);
    along += horz ? s.cx : s.cy;
    row = std::max(row, static_cast<int>(horz ? s.cy : s.cx));
  }
}

void CDockContext::ToggleDocking() {
  if (!m_pBar || !m_pBar->m_pDockSite) return;
  if (m_pBar->IsFloating()) {
    m_pBar->m_pDockSite->DockControlBar(m_pBar, m_uMRUDockID);
  } else {
    if (m_pBar->m_pDockBar) m_uMRUDockID = static_cast<UINT>(m_pBar->m_pDockBar->GetDlgCtrlID());
    m_pBar->m_pDockSite->FloatControlBar(m_pBar, m_ptLast);
  }
}

// ---- The frame's bars ----
void CFrameWnd::AddControlBar(CControlBar* bar) {
  if (bar && std::find(m_listControlBars.begin(), m_listControlBars.end(), bar) == m_listControlBars.end())
    m_listControlBars.push_back(bar);
}

void CFrameWnd::RemoveControlBar(CControlBar* bar) {
  m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), bar), m_listControlBars.end());
}

CControlBar* CFrameWnd::GetControlBar(UINT id) {
  for (CControlBar* b : m_listControlBars)
    if (b->m_hWnd && static_cast<UINT>(b->GetDlgCtrlID()) == id) return b;
  return nullptr;
}

void CFrameWnd::EnableDocking(DWORD dock_style) {
  for (const auto& d : kDockBars) {
    if (!(dock_style & d.align) || GetControlBar(d.id)) continue;
    CDockBar* bar = new CDockBar;
    bar->m_bAutoDelete = TRUE;
    if (!bar->Create(this, d.align, d.id)) delete bar;
  }
}

namespace {

// The mini frame a bar floats in, or null.
CMiniDockFrameWnd* floating_frame_of(const CControlBar* bar) {
  if (!bar || !bar->m_pDockBar || !bar->m_pDockBar->m_bFloating) return nullptr;
  CWnd* parent = CWnd::FromHandlePermanent(::GetParent(bar->m_pDockBar->m_hWnd));
  return parent && parent->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)) ? static_cast<CMiniDockFrameWnd*>(parent)
                                                                      : nullptr;
}

int bar_count(const CDockBar& dock) {
  return static_cast<int>(
      std::count_if(dock.m_arrBars.begin(), dock.m_arrBars.end(), [](CControlBar* b) { return b; }));
}

// After a bar left a mini frame: the frame goes when no bar is left in it,
// else it fits the bars that are.
void tidy_floating_frame(CMiniDockFrameWnd* mini) {
  if (!mini || !mini->m_hWnd) return;
  if (bar_count(mini->m_wndDockBar) == 0)
    mini->DestroyWindow();
  else
    mini->RecalcLayout();
}

}  // namespace

void CFrameWnd::DockControlBar(CControlBar* bar, UINT dock_bar_id, LPCRECT) {
  if (!bar) return;
  CDockBar* dock = nullptr;
  for (const auto& d : kDockBars) {
    if (dock_bar_id ? d.id != dock_bar_id : !(bar->m_dwDockStyle & d.align)) continue;
    CControlBar* c = GetControlBar(d.id);
    if (c && c->IsDockBar()) {
      dock = static_cast<CDockBar*>(c);
      break;
    }
  }
  if (!dock) return;
  CMiniDockFrameWnd* old_frame = floating_frame_of(bar);
  dock->DockControlBar(bar);
  bar->m_pDockSite = this;
  tidy_floating_frame(old_frame);
  RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* bar, CPoint p, DWORD style) {
  if (!bar || !bar->m_hWnd) return;
  CMiniDockFrameWnd* old_frame = floating_frame_of(bar);
  if (old_frame && bar_count(old_frame->m_wndDockBar) == 1) {
    old_frame->SetWindowPos(nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (bar->m_pDockContext) bar->m_pDockContext->m_ptLast = p;
    return;
  }
  CMiniDockFrameWnd* mini = CreateFloatingFrame(style & CBRS_ALIGN_ANY ? style & CBRS_ALIGN_ANY : CBRS_ALIGN_TOP);
  if (!mini) return;
  const bool was_docked = bar->m_pDockBar && !old_frame;
  mini->m_wndDockBar.DockControlBar(bar);
  bar->m_dwStyle |= CBRS_FLOATING;
  bar->m_pDockSite = this;
  if (bar->m_pDockContext) bar->m_pDockContext->m_ptLast = p;
  CString title;
  bar->GetWindowText(title);
  mini->SetWindowText(title);
  mini->SetWindowPos(nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  mini->RecalcLayout();
  mini->ShowWindow(bar->IsVisible() ? SW_SHOWNA : SW_HIDE);
  tidy_floating_frame(old_frame);
  if (was_docked || !old_frame) RecalcLayout();
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD style) {
  auto* mini = new CMiniDockFrameWnd;
  // A frame that could not be made is still ours (see Create).
  if (!mini->Create(this, style)) {
    delete mini;
    return nullptr;
  }
  return mini;
}

void CFrameWnd::ShowControlBar(CControlBar* bar, BOOL show, BOOL delay) {
  if (!bar || !bar->m_hWnd) return;
  bar->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
  if (CMiniDockFrameWnd* mini = floating_frame_of(bar)) {
    mini->ShowWindow(mini->m_wndDockBar.VisibleBarCount() ? SW_SHOWNA : SW_HIDE);
    mini->RecalcLayout();
  }
  if (!delay) RecalcLayout();
}

void CFrameWnd::RecalcLayout(BOOL) {
  constexpr int kMaxPasses = 3;
  if (!m_hWnd) return;
  if (in_layout_) {
    layout_pending_ = true;
    return;
  }
  in_layout_ = true;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    layout_pending_ = false;
    LayOutOnce();
    if (!layout_pending_) break;
  }
  in_layout_ = false;
}

void CFrameWnd::LayOutOnce() {
  CRect rest;
  GetClientRect(&rest);
  for (CControlBar* b : m_listControlBars) {
    if (!b->m_hWnd || !b->IsVisible() || b->IsFloating() || b->m_pDockBar) continue;
    const DWORD align = b->m_dwStyle & CBRS_ALIGN_ANY;
    if (!align) continue;
    const bool horz = horizontal(align);
    CSize s = b->CalcFixedLayout(TRUE, horz);
    if (b->IsDockBar() && static_cast<CDockBar*>(b)->VisibleBarCount() == 0) s = CSize(0, 0);
    CRect r = rest;
    if (align & CBRS_ALIGN_TOP) r.bottom = rest.top = std::min(rest.bottom, static_cast<LONG>(rest.top + s.cy));
    else if (align & CBRS_ALIGN_BOTTOM) r.top = rest.bottom = std::max(rest.top, static_cast<LONG>(rest.bottom - s.cy));
    else if (align & CBRS_ALIGN_LEFT) r.right = rest.left = std::min(rest.right, static_cast<LONG>(rest.left + s.cx));
    else r.left = rest.right = std::max(rest.left, static_cast<LONG>(rest.right - s.cx));
    b->MoveWindow(&r);
    if (b->IsDockBar()) static_cast<CDockBar*>(b)->LayoutBars();
  }
  if (CWnd* pane = GetDlgItem(AFX_IDW_PANE_FIRST)) pane->MoveWindow(&rest, TRUE);
}

// ---- Dock state ----
void CDockState::Clear() {
  for (CControlBarInfo* i : m_arrBarInfo) delete i;
  m_arrBarInfo.clear();
}

void CDockState::SaveState(LPCSTR name) const {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  app->WriteProfileInt(section(name, "Summary").c_str(), "Bars", static_cast<int>(m_arrBarInfo.size()));
  for (size_t i = 0; i < m_arrBarInfo.size(); ++i) {
    const CControlBarInfo& info = *m_arrBarInfo[i];
    const std::string s = section(name, ("Bar#" + std::to_string(i)).c_str());
    app->WriteProfileInt(s.c_str(), "BarID", static_cast<int>(info.m_nBarID));
    app->WriteProfileInt(s.c_str(), "Visible", info.m_bVisible ? 1 : 0);
    app->WriteProfileInt(s.c_str(), "Floating", info.m_bFloating ? 1 : 0);
    app->WriteProfileInt(s.c_str(), "Horz", info.m_bHorz ? 1 : 0);
    app->WriteProfileInt(s.c_str(), "XPos", info.m_pointPos.x);
    app->WriteProfileInt(s.c_str(), "YPos", info.m_pointPos.y);
    std::string ids;
    for (UINT id : info.m_arrBarID) ids += (ids.empty() ? "" : ",") + std::to_string(id);
    app->WriteProfileString(s.c_str(), "Bars", ids.c_str());
  }
}

void CDockState::LoadState(LPCSTR name) {
  Clear();
  CWinApp* app = AfxGetApp();
  if (!app) return;
  constexpr UINT kMaxBars = 256;  // more is a damaged profile
  const UINT count = app->GetProfileInt(section(name, "Summary").c_str(), "Bars", 0);
  if (count > kMaxBars) return;
  for (UINT i = 0; i < count; ++i) {
    const std::string s = section(name, ("Bar#" + std::to_string(i)).c_str());
    const UINT id = app->GetProfileInt(s.c_str(), "BarID", 0);
    if (id == 0 || id > 0xFFFF) continue;
    auto info = new CControlBarInfo;
    info->m_nBarID = id;
    info->m_bVisible = app->GetProfileInt(s.c_str(), "Visible", 1) != 0;
    info->m_bFloating = app->GetProfileInt(s.c_str(), "Floating", 0) != 0;
    info->m_bHorz = app->GetProfileInt(s.c_str(), "Horz", 1) != 0;
    info->m_pointPos = CPoint(static_cast<int>(app->GetProfileInt(s.c_str(), "XPos", 0)),
                              static_cast<int>(app->GetProfileInt(s.c_str(), "YPos", 0)));
    const CString ids = app->GetProfileString(s.c_str(), "Bars", "");
    std::string cur;
    bool ok = true;
    for (const char* p = ids;; ++p) {
      if (*p == ',' || *p == '\0') {
        if (!cur.empty()) {
          const unsigned long v = std::strtoul(cur.c_str(), nullptr, 10);
          if (cur.size() > 5 || v > 0xFFFF) ok = false;
          else info->m_arrBarID.push_back(static_cast<UINT>(v));
        }
        cur.clear();
        if (*p == '\0') break;
      } else if (*p >= '0' && *p <= '9') {
        cur += *p;
      } else {
        ok = false;
      }
      if (info->m_arrBarID.size() > kMaxBars) ok = false;
    }
    if (!ok) info->m_arrBarID.clear();  // a damaged list places nothing
    m_arrBarInfo.push_back(info);
  }
}

void CFrameWnd::GetDockState(CDockState& state) {
  state.Clear();
  for (CControlBar* b : m_listControlBars) {
    if (!b->m_hWnd) continue;
    auto info = new CControlBarInfo;
    info->m_nBarID = static_cast<UINT>(b->GetDlgCtrlID());
    info->m_bVisible = b->IsVisible();
    info->m_bFloating = b->IsFloating();
    info->m_bHorz = horizontal(b->m_dwStyle);
    CRect r;
    if (CMiniDockFrameWnd* mini = floating_frame_of(b)) {
      // A floating bar is placed by its mini frame, on the screen.
      mini->GetWindowRect(&r);
    } else {
      b->GetWindowRect(&r);
      ScreenToClient(&r);
    }
    info->m_pointPos = r.TopLeft();
    if (b->IsDockBar())
      for (CControlBar* d : static_cast<CDockBar*>(b)->m_arrBars)
        if (d || !info->m_arrBarID.empty()) info->m_arrBarID.push_back(d ? static_cast<UINT>(d->GetDlgCtrlID()) : 0);
    state.m_arrBarInfo.push_back(info);
  }
}

void CFrameWnd::SetDockState(const CDockState& state) {
  // Ids that name no bar of this frame are skipped.
  for (const CControlBarInfo* info : state.m_arrBarInfo) {
    CControlBar* bar = GetControlBar(info->m_nBarID);
    if (!bar) continue;
    if (bar->IsDockBar()) {
      CDockBar* dock = static_cast<CDockBar*>(bar);
      bool new_row = true;
      for (UINT id : info->m_arrBarID) {
        if (id == 0) {
          new_row = true;
          continue;
        }
        CControlBar* b = GetControlBar(id);
        if (!b || b->IsDockBar() || b == bar) continue;
        dock->DockControlBar(b, new_row);
        b->m_pDockSite = this;
        new_row = false;
      }
    } else {
      bar->ShowWindow(info->m_bVisible ? SW_SHOWNA : SW_HIDE);
      if (info->m_bFloating) FloatControlBar(bar, info->m_pointPos);
    }
  }
  RecalcLayout();
}

void CFrameWnd::SaveBarState(LPCSTR name) {
  CDockState state;
  GetDockState(state);
  state.SaveState(name);
}

void CFrameWnd::LoadBarState(LPCSTR name) {
  CDockState state;
  state.LoadState(name);
  SetDockState(state);
}

// ---- Floating frames ----
IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
ON_WM_NCCALCSIZE()
ON_WM_NCHITTEST()
END_MESSAGE_MAP()

namespace {

// The frame and caption a mini frame's style gives: left, top, right, bottom.
CRect mini_frame_insets(DWORD style) {
  const bool thick = (style & (WS_THICKFRAME | MFS_THICKFRAME | MFS_4THICKFRAME)) != 0;
  const int b = ::GetSystemMetrics(thick ? SM_CXFRAME : SM_CXFIXEDFRAME);
  const int caption = (style & WS_CAPTION) == WS_CAPTION ? ::GetSystemMetrics(SM_CYSMCAPTION) : 0;
  return CRect(b, b + caption, b, b);
}

}  // namespace

BOOL CMiniFrameWnd::Create(LPCSTR class_name, LPCSTR title, DWORD style, const RECT& rect, CWnd* parent, UINT) {
  // Owned by the parent's frame, as a pop-up (never a child).
  CWnd* owner = parent;
  if (owner && !owner->IsKindOf(RUNTIME_CLASS(CFrameWnd)) && owner->GetParentFrame()) owner = owner->GetParentFrame();
  style = (style & ~WS_CHILD) | WS_POPUP;
  // A thick frame sizes the window from its edges.
  if (style & (MFS_THICKFRAME | MFS_4THICKFRAME)) style |= WS_THICKFRAME;
  return CreateEx(WS_EX_TOOLWINDOW, class_name, title, style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, owner ? owner->m_hWnd : nullptr, nullptr);
}

CRect CMiniFrameWnd::WindowRectFor(const CRect& client) const {
  const CRect in = mini_frame_insets(GetStyle());
  return CRect(client.left - in.left, client.top - in.top, client.right + in.right, client.bottom + in.bottom);
}

void CMiniFrameWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params) {
  RECT& r = params->rgrc[0];
  const CRect in = mini_frame_insets(GetStyle());
  r.left += in.left;
  r.top += in.top;
  r.right = std::max(r.left, r.right - in.right);
  r.bottom = std::max(r.top, r.bottom - in.bottom);
}

LRESULT CMiniFrameWnd::OnNcHitTest(CPoint) {
  LRESULT hit = Default();
  if (GetStyle() & MFS_4THICKFRAME) {
    if (hit == HTTOPLEFT || hit == HTTOPRIGHT) hit = HTTOP;
    if (hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT) hit = HTBOTTOM;
  }
  return hit;
}

namespace {

bool sizing_hit(UINT hit) { return hit >= HTLEFT && hit <= HTBOTTOMRIGHT; }
bool left_side(UINT hit) { return hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT; }
bool top_side(UINT hit) { return hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT; }
bool corner(UINT hit) { return hit == HTTOPLEFT || hit == HTTOPRIGHT || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT; }

}  // namespace

void CDockContext::StartResize(UINT hit, CPoint p) {
  CMiniDockFrameWnd* mini = floating_frame_of(m_pBar);
  if (!mini || !sizing_hit(hit)) return;
  m_nHitTest = hit;
  m_ptLast = p;
  m_pBar->GetWindowRect(&m_rectRequestedSize);
  resizing_ = true;
  mini->SetCapture();
}

void CDockContext::Stretch(CPoint p) {
  if (!resizing_) return;
  CMiniDockFrameWnd* mini = floating_frame_of(m_pBar);
  if (!mini) {
    EndResize();
    return;
  }
  CRect before;
  mini->GetWindowRect(&before);
  if (corner(m_nHitTest)) {
    // The bar follows the cursor on both axes and moves m_ptLast itself.
    m_pBar->CalcDynamicLayout(0, LM_HORZ);
  } else {
    const bool across = m_nHitTest == HTLEFT || m_nHitTest == HTRIGHT;
    if (m_nHitTest == HTLEFT) m_rectRequestedSize.left += p.x - m_ptLast.x;
    if (m_nHitTest == HTRIGHT) m_rectRequestedSize.right += p.x - m_ptLast.x;
    if (m_nHitTest == HTTOP) m_rectRequestedSize.top += p.y - m_ptLast.y;
    if (m_nHitTest == HTBOTTOM) m_rectRequestedSize.bottom += p.y - m_ptLast.y;
    m_ptLast = p;
    const int length = across ? m_rectRequestedSize.Width() : m_rectRequestedSize.Height();
    m_pBar->CalcDynamicLayout(std::max(0, length), across ? LM_HORZ : LM_HORZ | LM_LENGTHY);
  }
  mini->RecalcLayout();
  // The side (or corner) across from the dragged one stays where it was.
  CRect after;
  mini->GetWindowRect(&after);
  const LONG x = left_side(m_nHitTest) ? before.right - after.Width() : before.left;
  const LONG y = top_side(m_nHitTest) ? before.bottom - after.Height() : before.top;
  if (x != after.left || y != after.top)
    mini->SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDockContext::EndResize() {
  if (!resizing_) return;
  resizing_ = false;
  m_nHitTest = 0;
  CMiniDockFrameWnd* mini = floating_frame_of(m_pBar);
  if (mini && ::GetCapture() == mini->m_hWnd) ::ReleaseCapture();
}

IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
ON_WM_NCLBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

void CMiniDockFrameWnd::OnNcLButtonDown(UINT hit, CPoint p) {
  if (sizing_hit(hit) && !resizing_) {
    for (CControlBar* b : m_wndDockBar.m_arrBars) {
      if (!b || !b->IsVisible() || !b->m_pDockContext || !(b->m_dwStyle & CBRS_SIZE_DYNAMIC)) continue;
      resizing_ = b->m_pDockContext;
      resizing_->StartResize(hit, p);
      if (!resizing_->IsResizing()) resizing_ = nullptr;
      return;
    }
  }
  Default();
}

void CMiniDockFrameWnd::OnMouseMove(UINT, CPoint p) {
  if (resizing_) {
    ClientToScreen(&p);
    resizing_->Stretch(p);
    return;
  }
  Default();
}

void CMiniDockFrameWnd::OnLButtonUp(UINT, CPoint) {
  if (CDockContext* context = resizing_) {
    resizing_ = nullptr;
    context->EndResize();
    return;
  }
  Default();
}

void CMiniDockFrameWnd::OnCaptureChanged(CWnd* wnd) {
  if (resizing_ && (!wnd || wnd->m_hWnd != m_hWnd)) {
    CDockContext* context = resizing_;
    resizing_ = nullptr;
    context->EndResize();
  }
  Default();
}

BOOL CMiniDockFrameWnd::Create(CWnd* parent, DWORD bar_style) {
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_4THICKFRAME | MFS_SYNCACTIVE | MFS_BLOCKSYSMENU;
  // While it is made, a failure leaves the object to the caller.
  creating_ = true;
  bool ok = CMiniFrameWnd::Create(nullptr, nullptr, style, CRect(0, 0, 0, 0), parent) &&
            m_wndDockBar.Create(this, bar_style & CBRS_ALIGN_ANY ? bar_style & CBRS_ALIGN_ANY : CBRS_ALIGN_TOP,
                                AFX_IDW_DOCKBAR_FLOAT);
  if (!ok && m_hWnd) DestroyWindow();
  creating_ = false;
  m_wndDockBar.m_bFloating = TRUE;
  return ok ? TRUE : FALSE;
}

void CMiniDockFrameWnd::PostNcDestroy() {
  if (!creating_) CMiniFrameWnd::PostNcDestroy();
}

void CMiniDockFrameWnd::RecalcLayout(BOOL) {
  if (!m_hWnd || !m_wndDockBar.m_hWnd) return;
  const bool horz = (m_wndDockBar.m_dwStyle & CBRS_ORIENT_HORZ) != 0;
  const DWORD mode = LM_MRUWIDTH | (horz ? LM_HORZ : 0);
  // Rows along the bars' orientation, each as thick as its thickest bar.
  LONG along = 0, across = 0, row = 0, widest = 0;
  for (CControlBar* b : m_wndDockBar.m_arrBars) {
    if (!b) {
      across += row;
      widest = std::max(widest, along);
      along = row = 0;
      continue;
    }
    if (!b->IsVisible()) continue;
    const CSize s = b->CalcDynamicLayout(-1, mode);
    if (horz)
      b->MoveWindow(along, across, s.cx, s.cy);
    else
      b->MoveWindow(across, along, s.cx, s.cy);
    along += horz ? s.cx : s.cy;
    row = std::max(row, horz ? s.cy : s.cx);
  }
  across += row;
  widest = std::max(widest, along);
  const CSize inside = horz ? CSize(widest, across) : CSize(across, widest);
  m_wndDockBar.MoveWindow(0, 0, inside.cx, inside.cy);
  CRect now;
  GetWindowRect(&now);
  const CRect want = WindowRectFor(CRect(0, 0, inside.cx, inside.cy));
  if (now.Width() != want.Width() || now.Height() != want.Height())
    SetWindowPos(nullptr, 0, 0, want.Width(), want.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
