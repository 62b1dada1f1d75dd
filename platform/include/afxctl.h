// The control base of the class library: a window that is also a COM
// object (counted references, its dispatch table and type information, its
// event sinks, the verbs a container calls), draws itself through OnDraw,
// exchanges its persistent properties (a version number here) and fires the
// stock mouse and key events for input to its own window. Controls are made
// by their class factories (COleObjectFactory), which a server library
// registers; QmCreateControl makes one directly, for tests.
#pragma once

#include <afxext.h>
#include <objbase.h>
#include <qm_dispatch.h>

class CPropExchange {
 public:
  explicit CPropExchange(BOOL loading) : loading_(loading) {}
  BOOL IsLoading() const { return loading_; }
  // Loading: the stored version, or the default when none is stored;
  // saving: stores the version.
  BOOL ExchangeVersion(DWORD& version, DWORD default_version, BOOL use_default = TRUE);
  DWORD GetVersion() const { return version_; }
  void SetStoredVersion(DWORD v) { stored_ = v, has_stored_ = true; }
  bool HasStoredVersion() const { return has_stored_; }

 private:
  BOOL loading_;
  DWORD version_ = 0;
  DWORD stored_ = 0;
  bool has_stored_ = false;
};

// The stock events a control fires (EnableStockEvents).
#define QM_STOCK_MOUSEDOWN 0x01
#define QM_STOCK_MOUSEMOVE 0x02
#define QM_STOCK_MOUSEUP 0x04
#define QM_STOCK_KEYDOWN 0x08

// In the control's class: its automation members, one list.
#define DECLARE_DISPATCH_MAP()                                        \
 public:                                                              \
  const QmDispatchTable& GetDispatchTable() const override;          \
  void* DispatchThis() override { return this; }

// The child id of a control's window made by its verbs.
constexpr UINT kQmControlChildId = 1;
// The dialog that frames a control's property page.
constexpr UINT kQmPropertyFrameDialog = 0x7F01;

class COleControl : public CWnd, public IDispatch, public IProvideClassInfo, public IOleObject {
  DECLARE_DYNAMIC(COleControl)
  DECLARE_MESSAGE_MAP()
 public:
  COleControl();
  ~COleControl() override;
  // ---- The object ----
  // The count starts at 1, the maker's reference; the last Release takes
  // the window down (when there is one) and deletes the object. A control
  // made by QmCreateControl may instead be deleted by its maker. While it
  // lives the object holds a lock on its server (qm_com_lock_module).
  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override;
  ULONG Release() override;
  // What the control's type library says of its class; null when it has
  // none (no type information then).
  virtual const QmClassDesc* GetClassDesc() const { return nullptr; }
  HRESULT GetClassInfo(ITypeInfo** info) override;
  // PRIMARY, SHOW and INPLACEACTIVATE make the control's window in `parent`
  // over `rect` (child id 1) when it has none; PROPERTIES is OnProperties.
  HRESULT DoVerb(LONG verb, LPMSG msg, IUnknown* site, LONG index, HWND parent, LPCRECT rect) override;
  HRESULT Close(DWORD save_option) override;

  // ---- Automation ----
  virtual const QmDispatchTable& GetDispatchTable() const;
  virtual void* DispatchThis() { return this; }
  HRESULT GetTypeInfoCount(UINT* count) override;
  HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT GetIDsOfNames(const LPOLESTR* names, UINT count, DISPID* ids) override;
  HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* arg_err) override;
  QmEventSource& Events() { return events_; }
  void EnableStockEvents(UINT mask) { stock_events_ = mask; }
  void FireMouseDown(SHORT button, SHORT shift, LONG x, LONG y);
  void FireMouseMove(SHORT button, SHORT shift, LONG x, LONG y);
  void FireMouseUp(SHORT button, SHORT shift, LONG x, LONG y);
  void FireKeyDown(SHORT* key, SHORT shift);

  // ---- Drawing, size, state ----
  virtual void OnDraw(CDC* dc, const CRect& bounds, const CRect& invalid);
  void SetInitialSize(int cx, int cy) { initial_ = CSize(cx, cy); }
  CSize GetInitialSize() const { return initial_; }
  // The control's own dispatch interface (QueryInterface answers it with
  // the IDispatch) and its event interface.
  void InitializeIIDs(const IID* dispatch_iid, const IID* events_iid) { iids_[0] = dispatch_iid, iids_[1] = events_iid; }
  virtual void DoPropExchange(CPropExchange* px);
  virtual void OnResetState();
  void ExchangeStockProps(CPropExchange*) {}
  void SetBorderStyle(short style) { border_style_ = style; }
  short GetBorderStyle() const { return border_style_; }
  void SetModifiedFlag(BOOL modified = TRUE) { modified_ = modified; }
  BOOL IsModified() const { return modified_; }
  // The "Properties" verb: shows the control's property page (dialog
  // m_nPropPageID) modally in a property frame captioned with the page's
  // caption (string m_nPropPageCaptionID); FALSE when there is no page.
  virtual BOOL OnProperties(LPMSG msg, HWND parent, LPCRECT rect);
  UINT m_nPropPageID = 0;
  UINT m_nPropPageCaptionID = 0;

  // The control's window, as a container would make it.
  BOOL CreateControl(CWnd* parent, const RECT& rect, UINT id);
  BOOL OnWndMsg(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

 protected:
  afx_msg void OnPaint();
  QmEventSource events_;
  UINT stock_events_ = QM_STOCK_MOUSEDOWN | QM_STOCK_MOUSEMOVE | QM_STOCK_MOUSEUP | QM_STOCK_KEYDOWN;
  CSize initial_{100, 50};
  const IID* iids_[2] = {nullptr, nullptr};
  short border_style_ = 0;
  BOOL modified_ = FALSE;
  ULONG refs_ = 1;
};

// Makes a control of a dynamically creatable class inside a parent window:
// the object, or null (the object is deleted) when it cannot be made.
COleControl* QmCreateControl(const CRuntimeClass* cls, CWnd* parent, const RECT& rect, UINT id);

// ---- Servers ----
// The class factory of one class of a server library. Factories are static
// objects of the library; each joins the list that DllGetClassObject and
// registration go through while the library is loaded. A factory without a
// runtime class (a property page that is not a COM object here) is
// registered but makes nothing.
class COleObjectFactory : public IClassFactory {
 public:
  COleObjectFactory(REFCLSID clsid, const CRuntimeClass* cls, LPCSTR prog_id);
  virtual ~COleObjectFactory();
  COleObjectFactory(const COleObjectFactory&) = delete;
  COleObjectFactory& operator=(const COleObjectFactory&) = delete;
  REFCLSID GetClassID() const { return clsid_; }
  LPCSTR GetProgID() const { return prog_id_; }
  // Writes (TRUE) or removes (FALSE) the class's registry keys.
  virtual BOOL UpdateRegistry(BOOL reg) = 0;
  static BOOL UpdateRegistryAll(BOOL reg);

  // Static objects: counting keeps nothing alive; LockServer locks the module.
  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  // A new object of the class, as interface `iid` (no aggregation).
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  HRESULT LockServer(BOOL lock) override;

 private:
  friend HRESULT AfxDllGetClassObject(REFCLSID clsid, REFIID iid, void** out);
  CLSID clsid_;
  const CRuntimeClass* cls_;
  LPCSTR prog_id_;
  COleObjectFactory* next_ = nullptr;
};

// What a server library's DllGetClassObject and DllCanUnloadNow answer.
HRESULT AfxDllGetClassObject(REFCLSID clsid, REFIID iid, void** out);
HRESULT AfxDllCanUnloadNow();
// The full path of the loaded library that holds `address` (a server finds
// its own file with it), empty when none does.
std::string AfxModulePathOf(const void* address);

// Registration, into the registry (objbase.h). Texts are 8-bit (GBK) and are
// stored as UTF-8. Each answers FALSE when the registry cannot be written
// (or was not read whole); unregistering removes exactly the keys the
// matching registration writes.
// The type library in `module`, and each of its dispatch interfaces.
BOOL AfxOleRegisterTypeLib(const QmTypeLibDesc& lib, LPCSTR module, const QmInterfaceDesc* const* interfaces,
                           size_t count);
BOOL AfxOleUnregisterTypeLib(const QmTypeLibDesc& lib, const QmInterfaceDesc* const* interfaces, size_t count);
// A control class in `module`: its user type name, prog id, apartment
// threading, toolbox bitmap resource, miscellaneous status and type library.
BOOL AfxOleRegisterControlClass(LPCSTR module, REFCLSID clsid, LPCSTR prog_id, LPCSTR type_name, UINT bitmap_id,
                                DWORD misc_status, REFGUID libid, WORD major, WORD minor);
// A property page class in `module`: its name and prog id.
BOOL AfxOleRegisterPropertyPageClass(LPCSTR module, REFCLSID clsid, LPCSTR prog_id, LPCSTR name);
// Removes a class registered by one of the two above.
BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCSTR prog_id);

// The module object of a control library: its application object. Its
// start-up (InitInstance) gives it a profile file in the user's
// configuration folder named after the module, so a container without an
// application object of its own still keeps what the control stores there
// (the bars' layout); a container's own application object serves instead
// while it lives. QmModuleLifetime runs the start-up when the library is
// loaded and the shut-down (ExitInstance) when it is unloaded.
class COleControlModule : public CWinApp {
 public:
  using CWinApp::CWinApp;
  BOOL InitInstance() override;
};

class QmModuleLifetime {
 public:
  explicit QmModuleLifetime(CWinApp& module) : module_(module) { module_.InitInstance(); }
  ~QmModuleLifetime() { module_.ExitInstance(); }
  QmModuleLifetime(const QmModuleLifetime&) = delete;
  QmModuleLifetime& operator=(const QmModuleLifetime&) = delete;

 private:
  CWinApp& module_;
};

// A property page: a dialog with a caption from the string table.
class COlePropertyPage : public CDialog {
 public:
  COlePropertyPage(UINT id, UINT caption_id) : CDialog(id), m_nCaptionID(caption_id) {}
  UINT m_nCaptionID;
  CString GetCaption() const;
};
