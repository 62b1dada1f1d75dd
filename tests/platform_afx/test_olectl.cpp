// The control base: automation through its table, stock events for input
// to its own window only, drawing and the version exchange.
#include <afxctl.h>
#include <gtest/gtest.h>
#include <qm_user.h>

namespace {

class Ctl : public COleControl {
  DECLARE_DYNCREATE(Ctl)
  DECLARE_DISPATCH_MAP()
 public:
  Ctl() {
    SetInitialSize(200, 200);
    InitializeIIDs(&kIid, &kIid);
  }
  LONG GetUseEvents() { return use_events; }
  void SetUseEvents(LONG v) {
    use_events = v == 1;
    SetModifiedFlag();
  }
  LONG CreateLine(double, double, double, double) { return ++created; }
  void AboutBox() { ++about; }
  void OnDraw(CDC* dc, const CRect& bounds, const CRect&) override {
    dc->FillSolidRect(&bounds, RGB(0, 0, 0));
    drawn = bounds;
  }
  void DoPropExchange(CPropExchange* px) override {
    px->ExchangeVersion(version, 0x10000);
    COleControl::DoPropExchange(px);
  }
  static constexpr IID kIid = {0x1, 0x2, 0x3, {0, 0, 0, 0, 0, 0, 0, 4}};
  LONG use_events = 0;
  LONG created = 0;
  int about = 0;
  CRect drawn;
  DWORD version = 0;
};
IMPLEMENT_DYNCREATE(Ctl, COleControl)

const QmDispatchTable& Ctl::GetDispatchTable() const {
  static const QmDispatchTable t = {
      qm_disp_property<&Ctl::GetUseEvents, &Ctl::SetUseEvents, VT_I4>(6, "UseEvents"),
      qm_disp_method<&Ctl::CreateLine, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8>(20, "CreateLine"),
      qm_disp_method<&Ctl::AboutBox, VT_EMPTY>(DISPID_ABOUTBOX, "AboutBox"),
  };
  return t;
}

struct Sink : IDispatch {
  std::vector<DISPID> got;
  HRESULT GetIDsOfNames(const LPOLESTR*, UINT, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, WORD, DISPPARAMS*, VARIANT*, UINT*) override {
    got.push_back(id);
    return S_OK;
  }
};

TEST(OleControl, DispatchEventsDrawingAndVersion) {
  CWnd host;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr));
  COleControl* made = QmCreateControl(RUNTIME_CLASS(Ctl), &host, CRect(0, 0, 200, 200), 1);
  ASSERT_TRUE(made);
  Ctl& c = *static_cast<Ctl*>(made);
  IDispatch* d = &c;
  // Automation through the control's own table.
  VARIANT args[4] = {qm_variant_r8(4), qm_variant_r8(3), qm_variant_r8(2), qm_variant_r8(1)};
  DISPPARAMS p = {args, nullptr, 4, 0};
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(d->Invoke(20, DISPATCH_METHOD, &p, &r, nullptr), S_OK);
  EXPECT_EQ(r.lVal, 1);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(d->Invoke(DISPID_ABOUTBOX, DISPATCH_METHOD, &none, nullptr, nullptr), S_OK);
  EXPECT_EQ(c.about, 1);
  EXPECT_EQ(d->Invoke(73, DISPATCH_METHOD, &none, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
  VARIANT one = qm_variant_i4(1);
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS set = {&one, &put, 1, 1};
  ASSERT_EQ(d->Invoke(6, DISPATCH_PROPERTYPUT, &set, nullptr, nullptr), S_OK);
  EXPECT_TRUE(c.IsModified());
  const OLECHAR* name[] = {u"useevents"};
  DISPID id = 0;
  EXPECT_EQ(d->GetIDsOfNames(const_cast<LPOLESTR*>(name), 1, &id), S_OK);
  EXPECT_EQ(id, 6);
  // Stock events: input to the control's own window fires them; input to a
  // child window (the view that covers it) does not.
  Sink sink;
  c.Events().Advise(&sink);
  CWnd child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 50, 50), &c, 2));
  qm_user_mouse(c.m_hWnd, WM_LBUTTONDOWN, 100, 100);
  qm_user_mouse(c.m_hWnd, WM_LBUTTONUP, 100, 100);
  qm_user_mouse(child.m_hWnd, WM_LBUTTONDOWN, 10, 10);
  MSG m;
  while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
  const std::vector<DISPID> want = {DISPID_MOUSEDOWN, DISPID_MOUSEUP};
  EXPECT_EQ(sink.got, want);
  // Drawing and the version.
  c.Invalidate();
  c.UpdateWindow();
  EXPECT_EQ(c.drawn, CRect(0, 0, 200, 200));
  c.OnResetState();
  EXPECT_EQ(c.version, 0x10000u);
  CPropExchange save(FALSE);
  c.version = 0x10002;
  c.DoPropExchange(&save);
  CPropExchange load(TRUE);
  load.SetStoredVersion(save.GetVersion());
  c.version = 0;
  c.DoPropExchange(&load);
  EXPECT_EQ(c.version, 0x10002u);
  EXPECT_EQ(c.GetInitialSize(), CSize(200, 200));
  host.DestroyWindow();
  delete made;
  AfxDeleteTempObjects();
  qm_user_reset();
}

}  // namespace
