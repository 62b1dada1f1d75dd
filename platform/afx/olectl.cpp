// The control base: a counted COM object with its type information and
// verbs, automation through the control's dispatch table, stock events for
// input to its own window (not to its children), drawing through OnDraw and
// the version exchange of its properties.
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

COleControl::COleControl() { qm_com_lock_module(); }

COleControl::~COleControl() { qm_com_unlock_module(); }

HRESULT COleControl::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || (iids_[0] && iid == *iids_[0])) {
    *out = static_cast<IDispatch*>(this);
  } else if (iid == IID_IProvideClassInfo) {
    *out = static_cast<IProvideClassInfo*>(this);
  } else if (iid == IID_IOleObject) {
    *out = static_cast<IOleObject*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG COleControl::AddRef() { return ++refs_; }

ULONG COleControl::Release() {
  const ULONG left = --refs_;
  if (left == 0) {
    if (m_hWnd) DestroyWindow();
    delete this;
  }
  return left;
}

HRESULT COleControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = GetClassDesc() ? 1 : 0;
  return S_OK;
}

HRESULT COleControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  const QmClassDesc* desc = GetClassDesc();
  if (!desc || index != 0) return DISP_E_BADINDEX;
  return qm_create_interface_info(desc->dispatch, info);
}

HRESULT COleControl::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  const QmClassDesc* desc = GetClassDesc();
  return desc ? qm_create_class_info(desc, info) : E_NOTIMPL;
}

HRESULT COleControl::DoVerb(LONG verb, LPMSG msg, IUnknown*, LONG, HWND parent, LPCRECT rect) {
  switch (verb) {
    case OLEIVERB_PRIMARY: case OLEIVERB_SHOW: case OLEIVERB_INPLACEACTIVATE: {
      if (m_hWnd) return S_OK;
      CWnd* host = parent ? CWnd::FromHandle(parent) : nullptr;
      if (!host || !rect) return E_INVALIDARG;
      return CreateControl(host, *rect, kQmControlChildId) ? S_OK : E_FAIL;
    }
    case OLEIVERB_PROPERTIES: return OnProperties(msg, parent, rect) ? S_OK : E_NOTIMPL;
    default: return E_NOTIMPL;
  }
}

HRESULT COleControl::Close(DWORD) {
  if (m_hWnd) DestroyWindow();
  return S_OK;
}

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

namespace {

// The property frame: a modal dialog captioned with the page's caption,
// the page inside it at the top left and OK and Cancel below it.
class PropertyFrame : public CDialog {
 public:
  PropertyFrame(UINT frame_id, CWnd* owner, COlePropertyPage& page) : CDialog(frame_id, owner), page_(page) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    if (!page_.Create(page_.m_nIDTemplate, this)) return FALSE;
    page_.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    page_.ShowWindow(SW_SHOW);
    return TRUE;
  }

 private:
  COlePropertyPage& page_;
};

}  // namespace

BOOL COleControl::OnProperties(LPMSG, HWND parent, LPCRECT) {
  const QmDialogTemplate* page_template = m_nPropPageID ? AfxFindDialog(m_nPropPageID) : nullptr;
  if (!page_template) return FALSE;
  COlePropertyPage page(m_nPropPageID, m_nPropPageCaptionID);
  constexpr int kButtonWidth = 50, kButtonHeight = 14, kMargin = 7;
  const int cx = page_template->cx, cy = page_template->cy + kButtonHeight + 2 * kMargin;
  const int top = page_template->cy + kMargin;
  AfxRegisterDialog({kQmPropertyFrameDialog, page.GetCaption(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, cx, cy,
                     {{IDOK, WC_BUTTONA, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, cx - 2 * (kButtonWidth + kMargin), top,
                       kButtonWidth, kButtonHeight},
                      {IDCANCEL, WC_BUTTONA, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, cx - kButtonWidth - kMargin, top,
                       kButtonWidth, kButtonHeight}}});
  PropertyFrame frame(kQmPropertyFrameDialog, parent ? CWnd::FromHandle(parent) : this, page);
  frame.DoModal();
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
