// A host's side of the control's automation interface, for tests: members
// are found by name (GetIDsOfNames) and called through Invoke with VARIANT
// arguments, as a container calls them, so ids and argument kinds are
// exercised with every call.
#pragma once

#include <gtest/gtest.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace control_test {

inline VARIANT R8(double v) { return qm_variant_r8(v); }
inline VARIANT I4(LONG v) { return qm_variant_i4(v); }
inline VARIANT I2(SHORT v) { return qm_variant_i2(v); }
// A string argument from GBK bytes.
inline VARIANT S(const std::string& gbk) { return qm_variant_bstr(qm_bstr_from_gbk(gbk)); }
// A null BSTR: the empty string as a careless caller passes it.
inline VARIANT NullS() { return qm_variant_bstr(nullptr); }
inline VARIANT Ref(std::vector<double>& a) { return qm_variant_ref(a.data(), static_cast<ULONG>(a.size())); }
inline VARIANT Ref(std::vector<LONG>& a) { return qm_variant_ref(a.data(), static_cast<ULONG>(a.size())); }

class Automation {
 public:
  explicit Automation(IDispatch* d) : d_(d) {}

  DISPID id(const std::string& name) const {
    std::u16string w(name.begin(), name.end());
    LPOLESTR n = w.data();
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(d_->GetIDsOfNames(&n, 1, &id), S_OK) << name;
    return id;
  }

  // Calls the member; the arguments (in parameter order) are freed here.
  HRESULT invoke(const std::string& name, std::vector<VARIANT> args, VARIANT* result, WORD flags = DISPATCH_METHOD) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS p = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    UINT err = 0;
    VariantInit(result);
    const HRESULT hr = d_->Invoke(id(name), flags, &p, result, &err);
    for (VARIANT& v : args) VariantClear(&v);
    return hr;
  }

  VARIANT call(const std::string& name, std::vector<VARIANT> args = {}) {
    VARIANT r;
    EXPECT_EQ(invoke(name, std::move(args), &r), S_OK) << name;
    return r;
  }
  LONG i4(const std::string& name, std::vector<VARIANT> args = {}) {
    VARIANT r = call(name, std::move(args));
    EXPECT_EQ(r.vt, VT_I4) << name;
    return r.lVal;
  }
  SHORT i2(const std::string& name, std::vector<VARIANT> args = {}) {
    VARIANT r = call(name, std::move(args));
    EXPECT_EQ(r.vt, VT_I2) << name;
    return r.iVal;
  }
  double r8(const std::string& name, std::vector<VARIANT> args = {}) {
    VARIANT r = call(name, std::move(args));
    EXPECT_EQ(r.vt, VT_R8) << name;
    return r.dblVal;
  }
  // A string result as GBK bytes.
  std::string str(const std::string& name, std::vector<VARIANT> args = {}) {
    VARIANT r = call(name, std::move(args));
    EXPECT_EQ(r.vt, VT_BSTR) << name;
    const std::string s = r.vt == VT_BSTR ? qm_bstr_to_gbk(r.bstrVal) : "";
    VariantClear(&r);
    return s;
  }
  void none(const std::string& name, std::vector<VARIANT> args = {}) {
    VARIANT r = call(name, std::move(args));
    EXPECT_EQ(r.vt, VT_EMPTY) << name;
  }

  // Properties.
  VARIANT get(const std::string& name) {
    VARIANT r;
    EXPECT_EQ(invoke(name, {}, &r, DISPATCH_PROPERTYGET), S_OK) << name;
    return r;
  }
  void put(const std::string& name, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS p = {&value, &named, 1, 1};
    UINT err = 0;
    EXPECT_EQ(d_->Invoke(id(name), DISPATCH_PROPERTYPUT, &p, nullptr, &err), S_OK) << name;
    VariantClear(&value);
  }

 private:
  IDispatch* d_;
};

}  // namespace control_test
