// COM's machinery as a container and an in-process server use it: the
// registry (a file of ours), class factories, creating an object by its class
// or prog id through the registry (the server library loaded on demand and
// unloaded when it says it can be), type information built from dispatch
// tables, and the few object interfaces a container asks a control for.
// Implemented by qmole. Everything runs on the container's one thread
// (apartment threading); none of it is safe to call from two threads at once.
#pragma once

#include <qm_dispatch.h>
#include <qm_profile.h>

#include <string>
#include <vector>

// ---- Result codes ----
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111L)
#define REGDB_E_READREGDB ((HRESULT)0x80040150L)
#define REGDB_E_WRITEREGDB ((HRESULT)0x80040151L)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)
#define SELFREG_E_TYPELIB ((HRESULT)0x80040200L)
#define SELFREG_E_CLASS ((HRESULT)0x80040201L)
#define CO_E_CLASSSTRING ((HRESULT)0x800401F3L)
#define CO_E_DLLNOTFOUND ((HRESULT)0x800401F8L)
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9L)
#define TYPE_E_ELEMENTNOTFOUND ((HRESULT)0x8002802BL)

#define CLSCTX_INPROC_SERVER 0x1

extern const IID IID_IClassFactory;
extern const IID IID_ITypeInfo;
extern const IID IID_IProvideClassInfo;
extern const IID IID_IOleObject;

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, and back (false for
// text of any other shape).
std::string qm_guid_text(REFGUID guid);
bool qm_guid_parse(const std::string& text, GUID* guid);

// ---- The registry ----
// Keys are paths with "\" between their parts ("CLSID\{...}\InprocServer32"),
// each holding named text values (the key's own value is named "@"); keys
// and names are matched without regard to ASCII case, and values are UTF-8.
// The file is QM_REGISTRY when that is set, else registry.ini in the user's
// configuration folder (qm_config_folder()). Each change is read from and
// written back to the file at once, so separate processes see each other's
// registrations.
std::string qm_registry_path();

class QmRegistry {
 public:
  // Reads the registry file as it is now.
  QmRegistry();
  // False when the file exists but could not be read whole: writing it back
  // would lose what could not be read, so Save refuses.
  bool intact() const { return store_.intact(); }
  // Why it was not read whole: "is a pipe, not a regular file", "is larger
  // than 1 MiB" ("" when it was).
  const std::string& problem() const { return store_.problem(); }
  bool Get(const std::string& key, const std::string& name, std::string* value) const;
  void Set(const std::string& key, const std::string& name, const std::string& value);
  // Removes the key, its values and every key below it.
  void DeleteTree(const std::string& key);
  // Writes the registry back (through a link to its target); one left with
  // nothing in it is removed instead.
  bool Save(std::string* error = nullptr) const;
  // The registry's keys, lower-cased and sorted.
  std::vector<std::string> Keys() const { return store_.Sections(); }

 private:
  QmProfileStore store_;
};

// ---- Class factories and server libraries ----
struct IClassFactory : IUnknown {
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) = 0;
  virtual HRESULT LockServer(BOOL lock) = 0;
};

// What an in-process server library exports (extern "C"):
//   HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** out);
//   HRESULT DllCanUnloadNow();          // S_OK when nothing of it is in use
//   HRESULT DllRegisterServer();        // writes its keys into the registry
//   HRESULT DllUnregisterServer();      // removes exactly those keys
typedef HRESULT (*QmDllGetClassObject)(REFCLSID clsid, REFIID iid, void** out);
typedef HRESULT (*QmDllCanUnloadNow)();
typedef HRESULT (*QmDllRegisterServer)();

// The class a prog id names (ProgId\CLSID in the registry): CO_E_CLASSSTRING
// when the prog id is not registered.
HRESULT CLSIDFromProgID(LPCOLESTR prog_id, CLSID* clsid);
// The class factory (or another interface of it) of a registered class: the
// server library named by CLSID\{clsid}\InprocServer32 is loaded when it is
// not yet, and asked through its DllGetClassObject. REGDB_E_CLASSNOTREG for
// a class not in the registry, CO_E_DLLNOTFOUND for a library that does not
// load (qm_com_last_error() says why), CO_E_ERRORINDLL for one without the
// export; REGDB_E_READREGDB when the registry file cannot be read.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* server_info, REFIID iid, void** out);
// A new object of a registered class through its factory, as the interface
// asked for.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out);
// Unloads each server library loaded by CoGetClassObject whose
// DllCanUnloadNow answers S_OK.
void CoFreeUnusedLibraries();
// How many server libraries CoGetClassObject holds loaded.
size_t qm_com_loaded_servers();
// Why the last server library failed to load, in words.
std::string qm_com_last_error();

// The objects and locks a server library has given out, process-wide: a
// server's DllCanUnloadNow answers S_OK only when this is 0. Every counted
// object of a server (and each type information it hands out) holds one.
void qm_com_lock_module();
void qm_com_unlock_module();
LONG qm_com_module_locks();

// ---- Type information ----
enum TYPEKIND { TKIND_DISPATCH = 4, TKIND_COCLASS = 5 };
enum INVOKEKIND { INVOKE_FUNC = 1, INVOKE_PROPERTYGET = 2, INVOKE_PROPERTYPUT = 4 };
typedef LONG MEMBERID;
typedef DWORD HREFTYPE;
#define MEMBERID_NIL DISPID_UNKNOWN
#define IMPLTYPEFLAG_FDEFAULT 0x1
#define IMPLTYPEFLAG_FSOURCE 0x2

struct TYPEATTR {
  GUID guid;
  TYPEKIND typekind;
  WORD cFuncs;      // methods (FUNCDESC)
  WORD cVars;       // properties (VARDESC)
  WORD cImplTypes;  // interfaces of a class
  WORD wMajorVerNum, wMinorVerNum;
};

// A method: its dispatch id, its parameters' automation types in order and
// its result's type. The description lives as long as the type information.
struct FUNCDESC {
  MEMBERID memid;
  INVOKEKIND invkind;
  SHORT cParams;
  const VARTYPE* lprgvtParam;
  VARTYPE vtResult;
};

// A property: its dispatch id, its type and whether it can be set.
struct VARDESC {
  MEMBERID memid;
  VARTYPE vt;
  BOOL fReadOnly;
};

struct ITypeInfo : IUnknown {
  virtual HRESULT GetTypeAttr(TYPEATTR** attr) = 0;
  virtual void ReleaseTypeAttr(TYPEATTR* attr) = 0;
  virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) = 0;
  virtual void ReleaseFuncDesc(FUNCDESC* desc) = 0;
  virtual HRESULT GetVarDesc(UINT index, VARDESC** desc) = 0;
  virtual void ReleaseVarDesc(VARDESC* desc) = 0;
  // The member's name, then its parameters' names (for a property, its
  // name), at most `max` of them; *count is how many were written.
  virtual HRESULT GetNames(MEMBERID id, BSTR* names, UINT max, UINT* count) = 0;
  virtual HRESULT GetIDsOfNames(const LPOLESTR* names, UINT count, MEMBERID* ids) = 0;
  // A member's name and help string, or with MEMBERID_NIL the type's own.
  // Any out pointer may be null; help files are not kept (null).
  virtual HRESULT GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc, DWORD* help_context, BSTR* help_file) = 0;
  // A class's interfaces: 0 the default dispatch interface, 1 the default
  // source of its events.
  virtual HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* ref) = 0;
  virtual HRESULT GetImplTypeFlags(UINT index, INT* flags) = 0;
  virtual HRESULT GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) = 0;
};

struct IProvideClassInfo : IUnknown {
  virtual HRESULT GetClassInfo(ITypeInfo** info) = 0;
};

// What a type library tells of an interface and of a class. Names and help
// strings are 8-bit (GBK) text.
struct QmInterfaceDesc {
  IID iid;
  const char* name;
  const char* help;
  const QmDispatchTable* members;
};

struct QmTypeLibDesc {
  GUID libid;
  const char* name;
  const char* help;
  WORD major, minor;
};

struct QmClassDesc {
  CLSID clsid;
  const char* name;
  const char* help;
  const QmTypeLibDesc* library;
  const QmInterfaceDesc* dispatch;  // the default interface
  const QmInterfaceDesc* events;    // the default source, or null
};

// Type information of a dispatch interface or of a class, counted (the
// caller releases it); it holds a module lock while it lives.
HRESULT qm_create_interface_info(const QmInterfaceDesc* desc, ITypeInfo** info);
HRESULT qm_create_class_info(const QmClassDesc* desc, ITypeInfo** info);

// ---- Objects a container embeds ----
#define OLEIVERB_PRIMARY 0
#define OLEIVERB_SHOW (-1)
#define OLEIVERB_INPLACEACTIVATE (-5)
#define OLEIVERB_PROPERTIES (-7)
#define OLECLOSE_NOSAVE 1

// The part of an embedded object's interface a container uses to show it:
// DoVerb carries out a verb (showing the object in a parent window, its
// "Properties" verb), Close takes its window down.
struct IOleObject : IUnknown {
  virtual HRESULT DoVerb(LONG verb, LPMSG msg, IUnknown* site, LONG index, HWND parent, LPCRECT rect) = 0;
  virtual HRESULT Close(DWORD save_option) = 0;
};
