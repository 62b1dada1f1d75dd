// The registry file, class ids as text, and in-process servers: found
// through the registry, loaded with dlopen, asked for their class factories
// and unloaded when they say nothing of theirs is in use.
#include <dlfcn.h>
#include <objbase.h>
#include <qm_file.h>
#include <qm_text.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>

// The interface ids every COM system uses.
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_ITypeInfo = {0x00020401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IOleObject = {0x00000112, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IProvideClassInfo = {0xB196B283, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

HRESULT IDispatch::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT IDispatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT IDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

std::string qm_guid_text(REFGUID g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2, g.Data3,
                g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return buf;
}

bool qm_guid_parse(const std::string& text, GUID* guid) {
  // Hexadecimal digits at every place but the braces and the four dashes.
  static const char kShape[] = "{........-....-....-....-............}";
  if (text.size() != sizeof kShape - 1) return false;
  uint8_t bytes[16];
  size_t n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (kShape[i] != '.') {
      if (text[i] != kShape[i]) return false;
      continue;
    }
    const int h = qm_hex_digit(text[i]), l = qm_hex_digit(text[i + 1]);
    if (h < 0 || l < 0 || kShape[i + 1] != '.') return false;
    bytes[n++] = static_cast<uint8_t>(h * 16 + l);
    ++i;
  }
  guid->Data1 = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
  guid->Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
  guid->Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
  for (int i = 0; i < 8; ++i) guid->Data4[i] = bytes[8 + i];
  return true;
}

// ---- The registry ----

std::string qm_registry_path() {
  const char* over = std::getenv("QM_REGISTRY");
  if (over && *over) return over;
  return qm_config_folder() + "/registry.ini";
}

QmRegistry::QmRegistry() : store_(qm_registry_path()) {}

bool QmRegistry::Get(const std::string& key, const std::string& name, std::string* value) const {
  return store_.Get(key, name, value);
}

void QmRegistry::Set(const std::string& key, const std::string& name, const std::string& value) {
  store_.Set(key, name, value);
}

void QmRegistry::DeleteTree(const std::string& key) {
  QmProfileStore probe;
  probe.Set(key, "@", "");
  const std::string own = probe.Sections().front();  // the key as the store spells it
  for (const std::string& section : store_.Sections())
    if (section == own || (section.size() > own.size() && section.compare(0, own.size(), own) == 0 &&
                           section[own.size()] == '\\'))
      store_.RemoveSection(section);
}

bool QmRegistry::Save(std::string* error) const {
  if (!intact()) {
    if (error)
      *error = store_.path() + ": the registry could not be read whole (" + problem() + "), so it is not rewritten";
    return false;
  }
  // A registry left with nothing in it is removed, so that registering into
  // a new file and unregistering leaves nothing behind; one reached through
  // a link is emptied instead, the link kept.
  struct stat st;
  if (store_.Empty() && lstat(store_.path().c_str(), &st) != 0) return errno == ENOENT;
  if (store_.Empty() && S_ISREG(st.st_mode)) {
    if (unlink(store_.path().c_str()) == 0) return true;
    if (error) *error = store_.path() + ": " + qm_file_error(store_.path().c_str(), errno);
    return false;
  }
  return store_.Save(error);
}

// ---- Server libraries ----

namespace {

struct Server {
  void* handle;
  QmDllCanUnloadNow can_unload;
};

std::map<std::string, Server>& servers() {
  static std::map<std::string, Server> loaded;
  return loaded;
}

std::string& last_error() {
  static std::string text;
  return text;
}

LONG g_module_locks = 0;

// A registry that could not be read whole: its reason for qm_com_last_error.
HRESULT unreadable(const QmRegistry& registry) {
  last_error() = qm_registry_path() + ": " + registry.problem();
  return REGDB_E_READREGDB;
}

}  // namespace

void qm_com_lock_module() { ++g_module_locks; }
void qm_com_unlock_module() { --g_module_locks; }
LONG qm_com_module_locks() { return g_module_locks; }

size_t qm_com_loaded_servers() { return servers().size(); }
std::string qm_com_last_error() { return last_error(); }

HRESULT CLSIDFromProgID(LPCOLESTR prog_id, CLSID* clsid) {
  if (!prog_id || !clsid) return E_INVALIDARG;
  *clsid = GUID_NULL;
  const QmRegistry registry;
  if (!registry.intact()) return unreadable(registry);
  // Prog ids are ASCII.
  std::string name, text;
  for (LPCOLESTR c = prog_id; *c; ++c) {
    if (*c >= 0x80) return CO_E_CLASSSTRING;
    name += static_cast<char>(*c);
  }
  if (name.empty() || !registry.Get(name + "\\CLSID", "@", &text) || !qm_guid_parse(text, clsid))
    return CO_E_CLASSSTRING;
  return S_OK;
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
  const QmRegistry registry;
  if (!registry.intact()) return unreadable(registry);
  std::string path;
  if (!registry.Get("CLSID\\" + qm_guid_text(clsid) + "\\InprocServer32", "@", &path) || path.empty())
    return REGDB_E_CLASSNOTREG;
  auto it = servers().find(path);
  if (it == servers().end()) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      last_error() = why ? why : path + ": cannot be loaded";
      return CO_E_DLLNOTFOUND;
    }
    auto can_unload = reinterpret_cast<QmDllCanUnloadNow>(dlsym(handle, "DllCanUnloadNow"));
    it = servers().emplace(path, Server{handle, can_unload}).first;
  }
  auto get = reinterpret_cast<QmDllGetClassObject>(dlsym(it->second.handle, "DllGetClassObject"));
  if (!get) {
    last_error() = path + ": has no DllGetClassObject";
    return CO_E_ERRORINDLL;
  }
  return get(clsid, iid, out);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(outer, iid, out);
  factory->Release();
  return hr;
}

void CoFreeUnusedLibraries() {
  for (auto it = servers().begin(); it != servers().end();) {
    // A library that cannot say whether it is in use stays loaded.
    if (it->second.can_unload && it->second.can_unload() == S_OK) {
      dlclose(it->second.handle);
      it = servers().erase(it);
    } else {
      ++it;
    }
  }
}
