// GDI object and device-context wrappers over the software GDI. SaveDC and
// RestoreDC keep the selected pen, brush and font and the colours and modes
// in the wrapper, which is what the programs on top of it rely on.
#include <afxwin.h>

#include <algorithm>
#include <unordered_map>

#include "platform/afx/afx_internal.h"

namespace {

std::unordered_map<HDC, std::unique_ptr<CDC>>& temp_dcs() {
  static std::unordered_map<HDC, std::unique_ptr<CDC>> dcs;
  return dcs;
}

}  // namespace

void qmafx::delete_temp_dcs() {
  for (auto& d : temp_dcs()) d.second->m_hDC = nullptr;
  temp_dcs().clear();
}

IMPLEMENT_DYNAMIC(CGdiObject, CObject)

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ h) {
  if (!h || m_hObject) return FALSE;
  m_hObject = h;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  // Objects this wrapper did not make (stock objects, wrappers of a
  // selection) are never deleted through it; the GDI refuses stock ones.
  const BOOL ok = ::DeleteObject(Detach());
  return ok;
}

BOOL CGdiObject::CreateStockObject(int index) { return Attach(::GetStockObject(index)); }

BOOL CPen::CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }

BOOL CBrush::CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                       BYTE strike_out, BYTE char_set, BYTE out_precision, BYTE clip_precision, BYTE quality,
                       BYTE pitch_and_family, LPCSTR face) {
  return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strike_out, char_set,
                              out_precision, clip_precision, quality, pitch_and_family, face));
}

BOOL CFont::CreatePointFont(int point_size, LPCSTR face, CDC* dc) {
  const int dpi = dc && dc->m_hDC ? dc->GetDeviceCaps(LOGPIXELSY) : 96;
  // Tenths of a point to pixels, rounded; a negative height asks for the
  // character height.
  const int height = -((point_size * dpi + 360) / 720);
  return CreateFont(height, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, face);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return dc ? Attach(::CreateCompatibleBitmap(dc->m_hDC, width, height)) : FALSE;
}

IMPLEMENT_DYNAMIC(CDC, CObject)

CDC::~CDC() {
  if (owned_) DeleteDC();
}

CDC* CDC::FromHandle(HDC hdc) {
  if (!hdc) return nullptr;
  auto& w = temp_dcs()[hdc];
  if (!w) {
    w = std::make_unique<CDC>();
    w->m_hDC = w->m_hAttribDC = hdc;
  }
  return w.get();
}

BOOL CDC::Attach(HDC hdc) {
  if (!hdc || m_hDC) return FALSE;
  m_hDC = m_hAttribDC = hdc;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  m_hDC = m_hAttribDC = nullptr;
  owned_ = 0;
  return h;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  if (m_hDC) return FALSE;
  HDC h = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
  if (!h) return FALSE;
  Attach(h);
  owned_ = 1;
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  const bool owned = owned_ != 0;
  HDC h = Detach();
  return owned ? ::DeleteDC(h) : FALSE;
}

CGdiObject* CDC::SelectObject(CGdiObject* obj) {
  if (!obj) return nullptr;
  return qmafx::handle_wrapper<CGdiObject>(::SelectObject(m_hDC, obj->m_hObject));
}

CPen* CDC::SelectObject(CPen* pen) {
  return pen ? qmafx::handle_wrapper<CPen>(::SelectObject(m_hDC, pen->m_hObject)) : nullptr;
}

CBrush* CDC::SelectObject(CBrush* brush) {
  return brush ? qmafx::handle_wrapper<CBrush>(::SelectObject(m_hDC, brush->m_hObject)) : nullptr;
}

CFont* CDC::SelectObject(CFont* font) {
  return font ? qmafx::handle_wrapper<CFont>(::SelectObject(m_hDC, font->m_hObject)) : nullptr;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  return bitmap ? qmafx::handle_wrapper<CBitmap>(::SelectObject(m_hDC, bitmap->m_hObject)) : nullptr;
}

CGdiObject* CDC::SelectStockObject(int index) {
  return qmafx::handle_wrapper<CGdiObject>(::SelectObject(m_hDC, ::GetStockObject(index)));
}

int CDC::SaveDC() {
  if (!m_hDC) return 0;
  std::vector<HGDIOBJ> state = {::GetCurrentObject(m_hDC, OBJ_PEN), ::GetCurrentObject(m_hDC, OBJ_BRUSH),
                                ::GetCurrentObject(m_hDC, OBJ_FONT),
                                reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(::GetTextColor(m_hDC))),
                                reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(::GetBkColor(m_hDC))),
                                reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(::GetBkMode(m_hDC))),
                                reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(::GetROP2(m_hDC))),
                                reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(::GetTextAlign(m_hDC)))};
  saved_.push_back(state);
  return static_cast<int>(saved_.size());
}

BOOL CDC::RestoreDC(int saved) {
  // A positive number restores that state, -1 the last one.
  const size_t n = saved_.size();
  size_t index;
  if (saved == -1 && n > 0)
    index = n - 1;
  else if (saved > 0 && static_cast<size_t>(saved) <= n)
    index = static_cast<size_t>(saved) - 1;
  else
    return FALSE;
  const std::vector<HGDIOBJ> s = saved_[index];
  saved_.resize(index);
  for (int i = 0; i < 3; ++i)
    if (s[i]) ::SelectObject(m_hDC, s[i]);
  auto num = [&](int i) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(s[i])); };
  ::SetTextColor(m_hDC, num(3));
  ::SetBkColor(m_hDC, num(4));
  ::SetBkMode(m_hDC, static_cast<int>(num(5)));
  ::SetROP2(m_hDC, static_cast<int>(num(6)));
  ::SetTextAlign(m_hDC, num(7));
  return TRUE;
}

CPoint CDC::MoveTo(int x, int y) {
  POINT old = {0, 0};
  ::MoveToEx(m_hDC, x, y, &old);
  return CPoint(old);
}

void CDC::FillSolidRect(LPCRECT r, COLORREF color) {
  if (!r) return;
  // Filled as an opaque text background is: the rectangle is taken whichever
  // way round its corners come (Draw3dRect gives negative extents).
  const RECT n = {std::min(r->left, r->right), std::min(r->top, r->bottom), std::max(r->left, r->right),
                  std::max(r->top, r->bottom)};
  HBRUSH b = ::CreateSolidBrush(color);
  ::FillRect(m_hDC, &n, b);
  ::DeleteObject(b);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
  const RECT r = {x, y, x + cx, y + cy};
  FillSolidRect(&r, color);
}

void CDC::Draw3dRect(LPCRECT r, COLORREF top_left, COLORREF bottom_right) {
  const int x = r->left, y = r->top, cx = r->right - r->left, cy = r->bottom - r->top;
  FillSolidRect(x, y, cx - 1, 1, top_left);
  FillSolidRect(x, y, 1, cy - 1, top_left);
  FillSolidRect(x + cx, y, -1, cy, bottom_right);
  FillSolidRect(x, y + cy, cx, -1, bottom_right);
}

CBrush* CDC::GetHalftoneBrush() {
  static CBrush* brush = [] {
    // Rows alternate 0x55 and 0xAA (padded to 16 bits): no two pixels that
    // share a side are alike.
    WORD rows[8];
    for (int y = 0; y < 8; ++y) rows[y] = static_cast<WORD>((y & 1) ? 0xAA : 0x55);
    CBrush* b = new CBrush;
    HBITMAP bits = ::CreateBitmap(8, 8, 1, 1, rows);
    if (bits) {
      b->Attach(::CreatePatternBrush(bits));
      ::DeleteObject(bits);
    }
    return b;
  }();
  return brush;
}

void CDC::HIMETRICtoDP(LPSIZE size) const {
  const int dx = m_hDC ? GetDeviceCaps(LOGPIXELSX) : 96;
  const int dy = m_hDC ? GetDeviceCaps(LOGPIXELSY) : 96;
  // 2540 himetric units to the inch, rounded.
  size->cx = static_cast<LONG>((static_cast<int64_t>(size->cx) * dx + 1270) / 2540);
  size->cy = static_cast<LONG>((static_cast<int64_t>(size->cy) * dy + 1270) / 2540);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_ps(), hwnd_(wnd ? wnd->m_hWnd : nullptr) { Attach(::BeginPaint(hwnd_, &m_ps)); }

CPaintDC::~CPaintDC() {
  if (m_hDC) ::EndPaint(hwnd_, &m_ps);
  Detach();
}

CClientDC::CClientDC(CWnd* wnd) : hwnd_(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetDC(hwnd_)); }

CClientDC::~CClientDC() {
  if (m_hDC) ::ReleaseDC(hwnd_, m_hDC);
  Detach();
}
