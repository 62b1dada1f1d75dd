// The control as a COM server: registered into a registry file of the test's
// own, made by its prog id through the registry, called through Invoke and
// described by its type information, then released, unloaded and
// unregistered; and its "Properties" verb.
#include <objbase.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "control/control_ids.h"
#include "tests/control/control_fixture.h"

extern "C" HRESULT DllRegisterServer();
extern "C" HRESULT DllUnregisterServer();

namespace {

using control_test::ControlTest;
using control_test::pump;

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::u16string text(BSTR s) { return qm_bstr_text(s); }

// A registry file in a folder of the test's own, named by QM_REGISTRY while
// the test runs.
class ComServerTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    char pattern[] = "/tmp/qm-registry-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    dir_ = pattern;
    path_ = dir_ + "/registry.ini";
    if (const char* was = std::getenv("QM_REGISTRY")) saved_ = was;
    setenv("QM_REGISTRY", path_.c_str(), 1);
  }
  void TearDown() override {
    if (saved_.empty())
      unsetenv("QM_REGISTRY");
    else
      setenv("QM_REGISTRY", saved_.c_str(), 1);
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
    ControlTest::TearDown();
  }
  std::string value(const std::string& key, const std::string& name = "@") {
    std::string v;
    return QmRegistry().Get(key, name, &v) ? v : "(none)";
  }
  std::string dir_, path_, saved_;
};

TEST_F(ComServerTest, RegisterCreateByProgIdDescribeReleaseUnloadUnregister) {
  {
    QmRegistry other;  // a registration of someone else's stays as it is
    other.Set("CLSID\\{00000000-0000-0000-0000-0000000000AB}\\InprocServer32", "@", "/opt/other.so");
    ASSERT_TRUE(other.Save());
  }
  const std::string before = read_all(path_);
  ASSERT_EQ(DllRegisterServer(), S_OK);

  const std::string ctl = "CLSID\\" + qm_guid_text(quill::kControlClsid);
  const std::string module = value(ctl + "\\InprocServer32");
  EXPECT_EQ(access(module.c_str(), R_OK), 0) << module;
  EXPECT_NE(module.find("libquillmarkocx.so"), std::string::npos) << module;
  EXPECT_EQ(value(ctl), "Quillmark绘图控件3.6");
  EXPECT_EQ(value(ctl + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(value(ctl + "\\ProgID"), "QUILLMARKOCX.QuillmarkOcxCtrl.1");
  EXPECT_EQ(value(ctl + "\\MiscStatus\\1"), std::to_string(0x20191));
  EXPECT_EQ(value(ctl + "\\ToolboxBitmap32"), module + ", 3");
  EXPECT_EQ(value(ctl + "\\TypeLib"), qm_guid_text(quill::kTypeLibId));
  EXPECT_EQ(value(ctl + "\\Version"), "1.0");
  EXPECT_EQ(value("QUILLMARKOCX.QuillmarkOcxPropPage.1\\CLSID"), qm_guid_text(quill::kPropPageClsid));
  EXPECT_EQ(value("CLSID\\" + qm_guid_text(quill::kPropPageClsid)), "QuillmarkOcx Property Page");
  EXPECT_EQ(value("TypeLib\\" + qm_guid_text(quill::kTypeLibId) + "\\1.0"), "QuillmarkOcx 3.6 ActiveX Control module");
  // Keys and names are looked up without regard to case and kept as spelled.
  EXPECT_EQ(value("quillmarkocx.quillmarkocxctrl.1\\clsid"), qm_guid_text(quill::kControlClsid));
  const std::string file = read_all(path_);
  EXPECT_NE(file.find("[QUILLMARKOCX.QuillmarkOcxCtrl.1\\\\CLSID]"), std::string::npos) << file;
  EXPECT_NE(file.find("ThreadingModel=Apartment"), std::string::npos);

  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(u"QUILLMARKOCX.QuillmarkOcxCtrl.1", &clsid), S_OK);
  EXPECT_EQ(clsid, quill::kControlClsid);
  const LONG locks = qm_com_module_locks();
  IDispatch* control = nullptr;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&control)),
            S_OK);
  EXPECT_EQ(qm_com_loaded_servers(), 1u);
  EXPECT_EQ(qm_com_module_locks(), locks + 1) << "the live control locks its server";

  // A member through Invoke (no view yet: its failure value).
  LPOLESTR name = const_cast<LPOLESTR>(u"getobjectcount");
  DISPID id = 0;
  ASSERT_EQ(control->GetIDsOfNames(&name, 1, &id), S_OK);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(control->Invoke(id, DISPATCH_METHOD, &none, &result, nullptr), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 0);

  // Its name back from the type information, with the interface's own.
  UINT infos = 0;
  ASSERT_EQ(control->GetTypeInfoCount(&infos), S_OK);
  EXPECT_EQ(infos, 1u);
  ITypeInfo* info = nullptr;
  ASSERT_EQ(control->GetTypeInfo(0, 0, &info), S_OK);
  BSTR names[8] = {};
  UINT got = 0;
  ASSERT_EQ(info->GetNames(id, names, 8, &got), S_OK);
  ASSERT_EQ(got, 1u);
  EXPECT_EQ(text(names[0]), u"GetObjectCount");
  SysFreeString(names[0]);
  ASSERT_EQ(info->GetNames(20, names, 8, &got), S_OK);  // CreateLine
  ASSERT_EQ(got, 5u);
  EXPECT_EQ(text(names[1]), u"start_x");
  EXPECT_EQ(text(names[4]), u"end_y");
  for (UINT i = 0; i < got; ++i) SysFreeString(names[i]);
  BSTR own = nullptr, help = nullptr;
  ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &own, &help, nullptr, nullptr), S_OK);
  EXPECT_EQ(text(own), u"_DQuillmarkOcx");
  EXPECT_EQ(text(help), u"Dispatch interface for QuillmarkOcx Control");
  SysFreeString(own);
  SysFreeString(help);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, quill::kDispatchIid);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attr->cVars, 8) << "the eight properties";
  EXPECT_EQ(attr->cFuncs, 69) << "methods 9 to 77 but 73, and AboutBox";
  info->ReleaseTypeAttr(attr);
  FUNCDESC* func = nullptr;
  ASSERT_EQ(info->GetFuncDesc(0, &func), S_OK);
  EXPECT_EQ(func->memid, DISPID_ABOUTBOX);
  info->ReleaseFuncDesc(func);
  info->Release();

  // The class, with its event interface as the default source.
  IProvideClassInfo* provide = nullptr;
  ASSERT_EQ(control->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&provide)), S_OK);
  ITypeInfo* cls = nullptr;
  ASSERT_EQ(provide->GetClassInfo(&cls), S_OK);
  provide->Release();
  ASSERT_EQ(cls->GetDocumentation(MEMBERID_NIL, &own, &help, nullptr, nullptr), S_OK);
  EXPECT_EQ(text(own), u"QuillmarkOcx");
  EXPECT_EQ(text(help), u"QuillmarkOcx 绘图控件v3.6");
  SysFreeString(own);
  SysFreeString(help);
  INT flags = 0;
  ASSERT_EQ(cls->GetImplTypeFlags(1, &flags), S_OK);
  EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
  HREFTYPE ref = 0;
  ASSERT_EQ(cls->GetRefTypeOfImplType(1, &ref), S_OK);
  ITypeInfo* events = nullptr;
  ASSERT_EQ(cls->GetRefTypeInfo(ref, &events), S_OK);
  cls->Release();
  ASSERT_EQ(events->GetNames(DISPID_KEYDOWN, names, 8, &got), S_OK);
  ASSERT_EQ(got, 3u);
  EXPECT_EQ(text(names[0]), u"KeyDown");
  EXPECT_EQ(text(names[1]), u"KeyCode");
  for (UINT i = 0; i < got; ++i) SysFreeString(names[i]);
  ASSERT_EQ(events->GetDocumentation(MEMBERID_NIL, &own, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(text(own), u"_DQuillmarkOcxEvents");
  SysFreeString(own);

  // A type information still held keeps the server loaded.
  EXPECT_EQ(control->Release(), 0u);
  CoFreeUnusedLibraries();
  EXPECT_EQ(qm_com_loaded_servers(), 1u);
  events->Release();
  EXPECT_EQ(qm_com_module_locks(), locks);
  CoFreeUnusedLibraries();
  EXPECT_EQ(qm_com_loaded_servers(), 0u);

  ASSERT_EQ(DllUnregisterServer(), S_OK);
  EXPECT_EQ(read_all(path_), before);
}

TEST_F(ComServerTest, UnknownNamesAndAnUnreadableRegistryAreRefused) {
  CLSID clsid;
  EXPECT_EQ(CLSIDFromProgID(u"QUILLMARKOCX.NoSuchThing.1", &clsid), CO_E_CLASSSTRING);
  IUnknown* object = reinterpret_cast<IUnknown*>(&clsid);
  EXPECT_EQ(CoCreateInstance(quill::kControlClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);

  // A damaged registry is read as far as it goes, and never written over.
  const std::string damaged = "[CLSID\\{X}]\n@=a\nthis line has no equals sign\n";
  std::ofstream(path_, std::ios::binary) << damaged;
  EXPECT_NE(DllRegisterServer(), S_OK);
  EXPECT_EQ(read_all(path_), damaged);
  EXPECT_EQ(CLSIDFromProgID(u"QUILLMARKOCX.QuillmarkOcxCtrl.1", &clsid), REGDB_E_READREGDB);

  // A registered server library that is not there.
  std::remove(path_.c_str());
  {
    QmRegistry r;
    r.Set("CLSID\\" + qm_guid_text(quill::kControlClsid) + "\\InprocServer32", "@", dir_ + "/missing.so");
    ASSERT_TRUE(r.Save());
  }
  EXPECT_EQ(CoCreateInstance(quill::kControlClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&object)),
            CO_E_DLLNOTFOUND);
  EXPECT_NE(qm_com_last_error().find("missing.so"), std::string::npos) << qm_com_last_error();
}

// Only a regular file of at most 1 MiB is read as the registry: anything
// else is refused at once (no pipe blocks, no device is read without end),
// with its reason, and never written over.
TEST_F(ComServerTest, ARegistryThatIsNoSmallRegularFileIsRefusedWithItsReason) {
  const std::string p = path_;
  const struct {
    const char* what;
    std::function<bool()> make;
    const char* why;
  } cases[] = {
      {"a pipe", [&] { return mkfifo(p.c_str(), 0600) == 0; }, "is a pipe"},
      {"a link to a device", [&] { return symlink("/dev/zero", p.c_str()) == 0; }, "is a device"},
      {"a folder", [&] { return mkdir(p.c_str(), 0700) == 0; }, "is a directory"},
      {"too large", [&] { return std::ofstream(p).good() && truncate(p.c_str(), (1 << 20) + 1) == 0; }, "1 MiB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(c.make());
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(u"QUILLMARKOCX.QuillmarkOcxCtrl.1", &clsid), REGDB_E_READREGDB);
    EXPECT_NE(qm_com_last_error().find(c.why), std::string::npos) << qm_com_last_error();
    EXPECT_NE(DllRegisterServer(), S_OK);
    if (rmdir(p.c_str()) != 0) {
      ASSERT_EQ(unlink(p.c_str()), 0);
    }
  }
}

TEST_F(ComServerTest, PropertiesVerbShowsThePropertyPageInItsFrame) {
  CWnd host;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
  IClassFactory* factory = nullptr;
  ASSERT_EQ(AfxDllGetClassObject(quill::kControlClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  IOleObject* object = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
  factory->Release();
  const RECT rect = {0, 0, 400, 300};
  ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, host.m_hWnd, &rect), S_OK);
  pump();
  EXPECT_TRUE(::GetDlgItem(host.m_hWnd, kQmControlChildId)) << "the control's window is in the container";

  AfxClearDialogs();
  CString caption;
  bool page_inside = false;
  AfxPushDialogScript(kQmPropertyFrameDialog, [&](CDialog& frame) {
    frame.GetWindowText(caption);
    for (HWND child = ::GetWindow(frame.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      CWnd* w = CWnd::FromHandlePermanent(child);
      if (auto* page = dynamic_cast<CDialog*>(w)) page_inside = page_inside || page->m_nIDTemplate == quill::kDialogPropPage;
    }
    frame.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, host.m_hWnd, &rect), S_OK);
  EXPECT_EQ(std::string(caption), "General");
  EXPECT_TRUE(page_inside);
  std::vector<std::pair<UINT, bool>> shown;
  for (const QmDialogShown& d : AfxDialogsShown()) shown.push_back({d.id, d.modal});
  const std::vector<std::pair<UINT, bool>> expected = {{quill::kDialogPropPage, false}, {kQmPropertyFrameDialog, true}};
  EXPECT_EQ(shown, expected);

  EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_FALSE(::GetDlgItem(host.m_hWnd, kQmControlChildId));
  EXPECT_EQ(object->Release(), 0u);
  host.DestroyWindow();
}

// A container without an application object of its own: the control
// library's module object keeps the bars' layout in its profile file.
TEST(ControlModule, KeepsTheBarsLayoutWithoutTheContainersApplication) {
  CWinApp* module = AfxGetApp();
  ASSERT_NE(module, nullptr) << "the module object of the control library";
  EXPECT_NE(dynamic_cast<COleControlModule*>(module), nullptr);
  const std::string own = module->Profile().path();
  EXPECT_NE(own.find("/quillmark/QuillmarkOcx.ini"), std::string::npos) << own;
  char pattern[] = "/tmp/qm-module-XXXXXX";
  ASSERT_TRUE(mkdtemp(pattern));
  const std::string file = std::string(pattern) + "/QuillmarkOcx.ini";
  module->UseProfile(std::make_unique<QmProfileStore>(file));
  {
    control_test::Hosted hosted;
    ASSERT_TRUE(hosted.frame());
  }
  AfxDeleteTempObjects();
  QmProfileStore kept(file);
  std::string bars;
  EXPECT_TRUE(kept.Get(std::string(quill::kBarStateProfile) + "-Summary", "Bars", &bars));
  EXPECT_NE(bars, "");
  module->UseProfile(std::make_unique<QmProfileStore>(own));
  std::remove(file.c_str());
  rmdir(pattern);
  qm_user_reset();
}

}  // namespace
