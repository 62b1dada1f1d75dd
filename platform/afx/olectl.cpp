// The control base: automation through the control's dispatch table, stock
// events for input to its own window (not to its children), drawing through
// OnDraw and the version exchange of its properties.
#include <afxctl.h>

BOOL CPropExchange::ExchangeVersion(DWORD& version, DWORD default_version, BOOL) {
  if (loading_) {
    version = has_stored_ ? stored_ : default_version;
    version_ = version;
  } else {
    stored_ = version, has_stored_ = true;
    version_ = version;
  }
  return TRUE;
}

IMPLEMENT_DYNAMIC(COleControl, CWnd)

BEGIN_MESSAGE_MAP(COleControl, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

COleControl::~COleControl() = default;

const QmDispatchTable& COleControl::GetDispatchTable() const {
  static const QmDispatchTable none = {};
  return none;
}

HRESULT COleControl::GetIDsOfNames(const LPOLESTR* names, UINT count, DISPID* ids) {
  return GetDispatchTable().GetIDsOfNames(names, count, ids);
}

HRESULT COleControl::Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* arg_err) {
  return GetDispatchTable().Invoke(DispatchThis(), id, flags, params, result, arg_err);
}

void COleControl::FireMouseDown(SHORT button, SHORT shift, LONG x, LONG y) {
  events_.Fire(DISPID_MOUSEDOWN, {qm_variant_i2(button), qm_variant_i2(shift), qm_variant_i4(x), qm_variant_i4(y)});
}

void COleControl::FireMouseMove(SHORT button, SHORT shift, LONG x, LONG y) {
  events_.Fire(DISPID_MOUSEMOVE, {qm_variant_i2(button), qm_variant_i2(shift), qm_variant_i4(x), qm_variant_i4(y)});
}

void COleControl::FireMouseUp(SHORT button, SHORT shift, LONG x, LONG y) {
  events_.Fire(DISPID_MOUSEUP, {qm_variant_i2(button), qm_variant_i2(shift), qm_variant_i4(x), qm_variant_i4(y)});
}

void COleControl::FireKeyDown(SHORT* key, SHORT shift) {
  events_.Fire(DISPID_KEYDOWN, {qm_variant_ref(key), qm_variant_i2(shift)});
}

BOOL COleControl::OnWndMsg(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  // Button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Control.
  const SHORT shift = static_cast<SHORT>(((wparam & MK_SHIFT) ? 1 : 0) | ((wparam & MK_CONTROL) ? 2 : 0));
  const LONG x = static_cast<SHORT>(LOWORD(lparam)), y = static_cast<SHORT>(HIWORD(lparam));
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
      if (stock_events_ & QM_STOCK_MOUSEDOWN)
        FireMouseDown(msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4, shift, x, y);
      break;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
      if (stock_events_ & QM_STOCK_MOUSEUP) FireMouseUp(msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4, shift, x, y);
      break;
    case WM_MOUSEMOVE:
      if (stock_events_ & QM_STOCK_MOUSEMOVE)
        FireMouseMove(static_cast<SHORT>(((wparam & MK_LBUTTON) ? 1 : 0) | ((wparam & MK_RBUTTON) ? 2 : 0) |
                                         ((wparam & MK_MBUTTON) ? 4 : 0)),
                      shift, x, y);
      break;
    case WM_KEYDOWN:
      if (stock_events_ & QM_STOCK_KEYDOWN) {
        SHORT key = static_cast<SHORT>(wparam);
        const SHORT keys = static_cast<SHORT>(((::GetKeyState(VK_SHIFT) < 0) ? 1 : 0) | ((::GetKeyState(VK_CONTROL) < 0) ? 2 : 0));
        FireKeyDown(&key, keys);
        if (key == 0) return TRUE;  // a sink ate the key
        wparam = static_cast<WPARAM>(static_cast<USHORT>(key));
      }
      break;
    default: break;
  }
  return CWnd::OnWndMsg(msg, wparam, lparam, result);
}

void COleControl::OnDraw(CDC*, const CRect&, const CRect&) {}

void COleControl::OnPaint() {
  CPaintDC dc(this);
  CRect bounds;
  GetClientRect(&bounds);
  OnDraw(&dc, bounds, CRect(dc.m_ps.rcPaint));
}

void COleControl::DoPropExchange(CPropExchange* px) { ExchangeStockProps(px); }

void COleControl::OnResetState() {
  CPropExchange px(TRUE);
  DoPropExchange(&px);
}

BOOL COleControl::OnProperties(LPMSG, HWND, LPCRECT) {
  if (!m_nPropPageID) return FALSE;
  CDialog page(m_nPropPageID, this);
  page.DoModal();
  return TRUE;
}

BOOL COleControl::CreateControl(CWnd* parent, const RECT& rect, UINT id) {
  return CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, parent, id);
}

COleControl* QmCreateControl(const CRuntimeClass* cls, CWnd* parent, const RECT& rect, UINT id) {
  CObject* obj = cls ? cls->CreateObject() : nullptr;
  if (!obj || !obj->IsKindOf(RUNTIME_CLASS(COleControl))) {
    delete obj;
    return nullptr;
  }
  COleControl* c = static_cast<COleControl*>(obj);
  if (!c->CreateControl(parent, rect, id)) {
    delete c;
    return nullptr;
  }
  return c;
}

CString COlePropertyPage::GetCaption() const {
  CString s;
  s.LoadString(m_nCaptionID);
  return s;
}
