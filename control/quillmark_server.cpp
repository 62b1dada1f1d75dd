// libquillmarkocx as an in-process COM server: the fixed class, interface
// and type-library ids, what the type library says of them, the class
// factories, the module object, and the four exports a container and the
// registering program call.
#include <afxctl.h>

#include "control/control_ids.h"
#include "control/control_texts.h"
#include "control/quillmark_ctrl.h"

namespace {

// The stock events the control base fires; described here, never invoked.
QmDispMember event(DISPID id, const char* name, const char* params, std::vector<VARTYPE> types) {
  return QmDispMember{id, name, params, false, VT_EMPTY, std::move(types), nullptr, nullptr};
}

const QmDispatchTable& event_table() {
  static const QmDispatchTable table = {
      event(DISPID_MOUSEDOWN, "MouseDown", "Button,Shift,x,y", {VT_I2, VT_I2, VT_I4, VT_I4}),
      event(DISPID_MOUSEMOVE, "MouseMove", "Button,Shift,x,y", {VT_I2, VT_I2, VT_I4, VT_I4}),
      event(DISPID_MOUSEUP, "MouseUp", "Button,Shift,x,y", {VT_I2, VT_I2, VT_I4, VT_I4}),
      event(DISPID_KEYDOWN, "KeyDown", "KeyCode,Shift", {VT_I2 | VT_BYREF, VT_I2}),
  };
  return table;
}

const QmTypeLibDesc kTypeLib = {quill::kTypeLibId, quill::kTextTypeLibName, quill::kTextTypeLibHelp,
                                CQuillmarkOcxCtrl::kVersionMajor, CQuillmarkOcxCtrl::kVersionMinor};

const QmInterfaceDesc& dispatch_interface() {
  static const QmInterfaceDesc desc = {quill::kDispatchIid, quill::kTextDispatchName, quill::kTextDispatchHelp,
                                       &CQuillmarkOcxCtrl::DispatchTable()};
  return desc;
}

const QmInterfaceDesc& events_interface() {
  static const QmInterfaceDesc desc = {quill::kEventsIid, quill::kTextEventsName, quill::kTextEventsHelp, &event_table()};
  return desc;
}

std::string module_path() { return AfxModulePathOf(reinterpret_cast<const void*>(&module_path)); }

class ControlFactory : public COleObjectFactory {
 public:
  ControlFactory()
      : COleObjectFactory(quill::kControlClsid, RUNTIME_CLASS(CQuillmarkOcxCtrl), CQuillmarkOcxCtrl::kProgId) {}
  BOOL UpdateRegistry(BOOL reg) override {
    if (!reg) return AfxOleUnregisterClass(GetClassID(), GetProgID());
    return AfxOleRegisterControlClass(module_path().c_str(), GetClassID(), GetProgID(), quill::kTextUserTypeName,
                                      quill::kBitmapToolbox, CQuillmarkOcxCtrl::kMiscStatus, quill::kTypeLibId,
                                      CQuillmarkOcxCtrl::kVersionMajor, CQuillmarkOcxCtrl::kVersionMinor);
  }
};

// The property page is shown by the control's "Properties" verb; it is
// registered, but no container makes it on its own.
class PropPageFactory : public COleObjectFactory {
 public:
  PropPageFactory() : COleObjectFactory(quill::kPropPageClsid, nullptr, CQuillmarkOcxCtrl::kPropPageProgId) {}
  BOOL UpdateRegistry(BOOL reg) override {
    if (!reg) return AfxOleUnregisterClass(GetClassID(), GetProgID());
    return AfxOleRegisterPropertyPageClass(module_path().c_str(), GetClassID(), GetProgID(),
                                           quill::kTextPropPageName);
  }
};

ControlFactory g_control_factory;
PropPageFactory g_prop_page_factory;

// The module object, started when the library is loaded.
COleControlModule g_module("QuillmarkOcx");
QmModuleLifetime g_module_lifetime(g_module);

const QmInterfaceDesc* const kInterfaces[] = {&dispatch_interface(), &events_interface()};

}  // namespace

const QmClassDesc* CQuillmarkOcxCtrl::GetClassDesc() const {
  static const QmClassDesc desc = {quill::kControlClsid,         quill::kTextClassName, quill::kTextClassHelp, &kTypeLib,
                                   &dispatch_interface(), &events_interface()};
  return &desc;
}

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return AfxDllGetClassObject(clsid, iid, out);
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow() { return AfxDllCanUnloadNow(); }

__attribute__((visibility("default"))) HRESULT DllRegisterServer() {
  if (!AfxOleRegisterTypeLib(kTypeLib, module_path().c_str(), kInterfaces, std::size(kInterfaces)))
    return SELFREG_E_TYPELIB;
  return COleObjectFactory::UpdateRegistryAll(TRUE) ? S_OK : SELFREG_E_CLASS;
}

__attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
  if (!AfxOleUnregisterTypeLib(kTypeLib, kInterfaces, std::size(kInterfaces))) return SELFREG_E_TYPELIB;
  return COleObjectFactory::UpdateRegistryAll(FALSE) ? S_OK : SELFREG_E_CLASS;
}

}  // extern "C"
