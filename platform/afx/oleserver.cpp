// In-process servers built on the class library: class factories, the
// answers of DllGetClassObject and DllCanUnloadNow, registration of type
// libraries, control classes and property pages, and the module object.
#include <afxctl.h>
#include <dlfcn.h>
#include <qm_text.h>

namespace {

COleObjectFactory*& first_factory() {
  static COleObjectFactory* first = nullptr;
  return first;
}

std::string registry_text(LPCSTR gbk) { return qm_gbk_to_utf8(gbk ? gbk : ""); }

std::string version_text(WORD major, WORD minor) { return std::to_string(major) + "." + std::to_string(minor); }

std::string class_key(REFCLSID clsid) { return "CLSID\\" + qm_guid_text(clsid); }

// Reads the registry, lets `change` edit it and writes it back.
template <class Change>
BOOL update_registry(Change change) {
  QmRegistry registry;
  change(registry);
  return registry.Save() ? TRUE : FALSE;
}

void write_server_class(QmRegistry& r, LPCSTR module, REFCLSID clsid, LPCSTR prog_id, LPCSTR name) {
  const std::string key = class_key(clsid);
  r.Set(key, "@", registry_text(name));
  r.Set(key + "\\InprocServer32", "@", module);
  r.Set(key + "\\InprocServer32", "ThreadingModel", "Apartment");
  r.Set(key + "\\ProgID", "@", prog_id);
  r.Set(prog_id, "@", registry_text(name));
  r.Set(std::string(prog_id) + "\\CLSID", "@", qm_guid_text(clsid));
}

}  // namespace

COleObjectFactory::COleObjectFactory(REFCLSID clsid, const CRuntimeClass* cls, LPCSTR prog_id)
    : clsid_(clsid), cls_(cls), prog_id_(prog_id), next_(first_factory()) {
  first_factory() = this;
}

COleObjectFactory::~COleObjectFactory() {
  for (COleObjectFactory** f = &first_factory(); *f; f = &(*f)->next_)
    if (*f == this) {
      *f = next_;
      break;
    }
}

BOOL COleObjectFactory::UpdateRegistryAll(BOOL reg) {
  for (COleObjectFactory* f = first_factory(); f; f = f->next_)
    if (!f->UpdateRegistry(reg)) return FALSE;
  return TRUE;
}

HRESULT COleObjectFactory::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
  *out = static_cast<IClassFactory*>(this);
  return S_OK;
}

HRESULT COleObjectFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!cls_) return CLASS_E_CLASSNOTAVAILABLE;
  CObject* made = cls_->CreateObject();
  IDispatch* object = dynamic_cast<IDispatch*>(made);
  if (!object) {
    delete made;
    return made ? E_NOINTERFACE : E_OUTOFMEMORY;
  }
  // The maker's reference goes once the caller holds its own (or none).
  const HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

HRESULT COleObjectFactory::LockServer(BOOL lock) {
  if (lock)
    qm_com_lock_module();
  else
    qm_com_unlock_module();
  return S_OK;
}

HRESULT AfxDllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (COleObjectFactory* f = first_factory(); f; f = f->next_)
    if (f->clsid_ == clsid) return f->QueryInterface(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT AfxDllCanUnloadNow() { return qm_com_module_locks() == 0 ? S_OK : S_FALSE; }

std::string AfxModulePathOf(const void* address) {
  Dl_info info;
  if (!address || !dladdr(address, &info) || !info.dli_fbase) return std::string();
  char path[4096];
  const DWORD n = GetModuleFileNameA(static_cast<HMODULE>(info.dli_fbase), path, sizeof path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

BOOL AfxOleRegisterTypeLib(const QmTypeLibDesc& lib, LPCSTR module, const QmInterfaceDesc* const* interfaces,
                           size_t count) {
  return update_registry([&](QmRegistry& r) {
    const std::string key = "TypeLib\\" + qm_guid_text(lib.libid) + "\\" + version_text(lib.major, lib.minor);
    r.Set(key, "@", registry_text(lib.help));
    r.Set(key + "\\0\\linux", "@", module);
    r.Set(key + "\\FLAGS", "@", "0");
    for (size_t i = 0; i < count; ++i) {
      const std::string iface = "Interface\\" + qm_guid_text(interfaces[i]->iid);
      r.Set(iface, "@", registry_text(interfaces[i]->name));
      r.Set(iface + "\\TypeLib", "@", qm_guid_text(lib.libid));
      r.Set(iface + "\\TypeLib", "Version", version_text(lib.major, lib.minor));
    }
  });
}

BOOL AfxOleUnregisterTypeLib(const QmTypeLibDesc& lib, const QmInterfaceDesc* const* interfaces, size_t count) {
  return update_registry([&](QmRegistry& r) {
    r.DeleteTree("TypeLib\\" + qm_guid_text(lib.libid));
    for (size_t i = 0; i < count; ++i) r.DeleteTree("Interface\\" + qm_guid_text(interfaces[i]->iid));
  });
}

BOOL AfxOleRegisterControlClass(LPCSTR module, REFCLSID clsid, LPCSTR prog_id, LPCSTR type_name, UINT bitmap_id,
                                DWORD misc_status, REFGUID libid, WORD major, WORD minor) {
  return update_registry([&](QmRegistry& r) {
    write_server_class(r, module, clsid, prog_id, type_name);
    const std::string key = class_key(clsid);
    r.Set(key + "\\Control", "@", "");
    r.Set(key + "\\ToolboxBitmap32", "@", std::string(module) + ", " + std::to_string(bitmap_id));
    r.Set(key + "\\MiscStatus", "@", "0");
    r.Set(key + "\\MiscStatus\\1", "@", std::to_string(misc_status));
    r.Set(key + "\\TypeLib", "@", qm_guid_text(libid));
    r.Set(key + "\\Version", "@", version_text(major, minor));
  });
}

BOOL AfxOleRegisterPropertyPageClass(LPCSTR module, REFCLSID clsid, LPCSTR prog_id, LPCSTR name) {
  return update_registry([&](QmRegistry& r) { write_server_class(r, module, clsid, prog_id, name); });
}

BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCSTR prog_id) {
  return update_registry([&](QmRegistry& r) {
    r.DeleteTree(class_key(clsid));
    if (prog_id && *prog_id) r.DeleteTree(prog_id);
  });
}

BOOL COleControlModule::InitInstance() {
  SetRegistryKey(m_pszAppName);
  return CWinApp::InitInstance();
}
