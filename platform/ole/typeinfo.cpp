// Type information read from an object's dispatch table and the names and
// help strings its type library gives: a dispatch interface lists its
// methods (FUNCDESC) and properties (VARDESC) with their dispatch ids,
// parameter names and automation types; a class lists its default interface
// and the default source of its events.
#include <objbase.h>

#include <string>
#include <vector>

namespace {

class TypeInfo final : public ITypeInfo {
 public:
  TypeInfo(const QmInterfaceDesc* iface, const QmClassDesc* cls) : iface_(iface), cls_(cls) {
    qm_com_lock_module();
    if (iface_ && iface_->members)
      for (const QmDispMember& m : iface_->members->members()) (m.property ? vars_ : funcs_).push_back(&m);
  }
  TypeInfo(const TypeInfo&) = delete;
  TypeInfo& operator=(const TypeInfo&) = delete;

  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_ITypeInfo) return E_NOINTERFACE;
    *out = static_cast<ITypeInfo*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT GetTypeAttr(TYPEATTR** attr) override {
    if (!attr) return E_POINTER;
    *attr = new TYPEATTR{};
    if (cls_) {
      (*attr)->guid = cls_->clsid;
      (*attr)->typekind = TKIND_COCLASS;
      (*attr)->cImplTypes = cls_->events ? 2 : 1;
      if (cls_->library) (*attr)->wMajorVerNum = cls_->library->major, (*attr)->wMinorVerNum = cls_->library->minor;
    } else {
      (*attr)->guid = iface_->iid;
      (*attr)->typekind = TKIND_DISPATCH;
      (*attr)->cFuncs = static_cast<WORD>(funcs_.size());
      (*attr)->cVars = static_cast<WORD>(vars_.size());
    }
    return S_OK;
  }
  void ReleaseTypeAttr(TYPEATTR* attr) override { delete attr; }

  HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) override {
    if (!desc) return E_POINTER;
    *desc = nullptr;
    if (index >= funcs_.size()) return TYPE_E_ELEMENTNOTFOUND;
    const QmDispMember& m = *funcs_[index];
    *desc = new FUNCDESC{m.id, INVOKE_FUNC, static_cast<SHORT>(m.params.size()), m.params.data(), m.result};
    return S_OK;
  }
  void ReleaseFuncDesc(FUNCDESC* desc) override { delete desc; }

  HRESULT GetVarDesc(UINT index, VARDESC** desc) override {
    if (!desc) return E_POINTER;
    *desc = nullptr;
    if (index >= vars_.size()) return TYPE_E_ELEMENTNOTFOUND;
    const QmDispMember& m = *vars_[index];
    *desc = new VARDESC{m.id, m.result, m.put ? FALSE : TRUE};
    return S_OK;
  }
  void ReleaseVarDesc(VARDESC* desc) override { delete desc; }

  HRESULT GetNames(MEMBERID id, BSTR* names, UINT max, UINT* count) override {
    if (!names || !count) return E_POINTER;
    *count = 0;
    const QmDispMember* m = member(id);
    if (!m) return TYPE_E_ELEMENTNOTFOUND;
    std::vector<std::string> all = qm_disp_split_names(m->param_names);
    all.insert(all.begin(), m->name);
    for (const std::string& name : all) {
      if (*count >= max) break;
      names[(*count)++] = qm_bstr_from_gbk(name);
    }
    return S_OK;
  }

  HRESULT GetIDsOfNames(const LPOLESTR* names, UINT count, MEMBERID* ids) override {
    if (!iface_ || !iface_->members) return DISP_E_UNKNOWNNAME;
    return iface_->members->GetIDsOfNames(names, count, ids);
  }

  HRESULT GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc, DWORD* help_context, BSTR* help_file) override {
    const char* own_name = nullptr;
    const char* own_help = "";
    if (id == MEMBERID_NIL) {
      own_name = cls_ ? cls_->name : iface_->name;
      own_help = cls_ ? cls_->help : iface_->help;
    } else if (const QmDispMember* m = member(id)) {
      own_name = m->name;
    } else {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    if (name) *name = qm_bstr_from_gbk(own_name);
    if (doc) *doc = qm_bstr_from_gbk(own_help ? own_help : "");
    if (help_context) *help_context = 0;
    if (help_file) *help_file = nullptr;
    return S_OK;
  }

  HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* ref) override {
    if (!ref) return E_POINTER;
    if (!implemented(index)) return TYPE_E_ELEMENTNOTFOUND;
    *ref = index;
    return S_OK;
  }
  HRESULT GetImplTypeFlags(UINT index, INT* flags) override {
    if (!flags) return E_POINTER;
    if (!implemented(index)) return TYPE_E_ELEMENTNOTFOUND;
    *flags = index == 0 ? IMPLTYPEFLAG_FDEFAULT : IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
    return S_OK;
  }
  HRESULT GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (!implemented(ref)) return TYPE_E_ELEMENTNOTFOUND;
    return qm_create_interface_info(ref == 0 ? cls_->dispatch : cls_->events, info);
  }

 private:
  ~TypeInfo() { qm_com_unlock_module(); }

  const QmDispMember* member(MEMBERID id) const {
    return iface_ && iface_->members ? iface_->members->find(id) : nullptr;
  }
  bool implemented(UINT index) const { return cls_ && (index == 0 || (index == 1 && cls_->events)); }

  const QmInterfaceDesc* iface_;
  const QmClassDesc* cls_;
  std::vector<const QmDispMember*> funcs_, vars_;
  ULONG refs_ = 1;
};

}  // namespace

HRESULT qm_create_interface_info(const QmInterfaceDesc* desc, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = desc ? new TypeInfo(desc, nullptr) : nullptr;
  return desc ? S_OK : E_INVALIDARG;
}

HRESULT qm_create_class_info(const QmClassDesc* desc, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = desc && desc->dispatch ? new TypeInfo(nullptr, desc) : nullptr;
  return *info ? S_OK : E_INVALIDARG;
}
