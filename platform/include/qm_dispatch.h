// A dispatch table built from one list of members: each member names its
// dispatch id, its name, its automation types and the C++ member function
// that serves it. The table answers GetIDsOfNames (without regard to case)
// and Invoke (flag, count and type checks, coercion of arguments, the result
// as a VARIANT), so an object's automation interface is the one list.
//
//   static const QmDispatchTable table = {
//     qm_disp_property<&Ctl::GetColor, &Ctl::SetColor, VT_I4>(3, "BackColor"),
//     qm_disp_method<&Ctl::CreateLine, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8>(20, "CreateLine",
//                                                              "start_x,start_y,end_x,end_y"),
//   };
//
// The automation types are checked against the C++ types when the table is
// compiled. Parameter types and their C++ counterparts:
//   VT_I2 SHORT, VT_I4 LONG or OLE_COLOR, VT_R8 double, VT_BOOL BOOL or bool,
//   VT_BSTR LPCSTR (GBK text, converted from the caller's UTF-16) or BSTR
//   (borrowed), VT_R8|VT_BYREF QmArray<double>, VT_I4|VT_BYREF QmArray<LONG>,
//   VT_I2|VT_BYREF SHORT*, VT_BSTR|VT_BYREF BSTR*.
// Results: VT_EMPTY void, VT_I2, VT_I4, VT_R8, VT_BOOL as above, VT_BSTR a
// newly allocated BSTR that the caller's VARIANT then owns.
#pragma once

#include <oleauto.h>

#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

// A by-reference array argument: the caller's values and how many there are.
template <class T>
struct QmArray {
  T* data;
  size_t count;
};

// The members of one object's interface have at most this many parameters.
constexpr size_t kQmMaxDispParams = 16;

// Calls the member on obj with arguments already coerced to the member's
// types, in parameter order, and stores its result.
typedef HRESULT (*QmDispThunk)(void* obj, VARIANT* args, VARIANT* result);

struct QmDispMember {
  DISPID id;
  const char* name;
  const char* param_names;  // comma-separated, or "" when not given
  bool property;            // a property (get and put) rather than a method
  VARTYPE result;           // of the method or the property's type
  std::vector<VARTYPE> params;
  QmDispThunk call;  // the method or the property's get; null when not readable
  QmDispThunk put;   // the property's put; null when read-only
};

// The names of a comma-separated list (a member's parameter names) as
// written, blanks dropped; none for an empty list.
std::vector<std::string> qm_disp_split_names(const char* list);

class QmDispatchTable {
 public:
  QmDispatchTable(std::initializer_list<QmDispMember> members);

  const QmDispMember* find(DISPID id) const {
    const uint32_t slot = static_cast<uint32_t>(id) - static_cast<uint32_t>(dense_first_);
    if (slot < dense_.size()) return dense_[slot] < 0 ? nullptr : &members_[static_cast<size_t>(dense_[slot])];
    return find_sparse(id);
  }
  const std::vector<QmDispMember>& members() const { return members_; }
  // Empty when the list is sound; otherwise what is wrong with it (a dispatch
  // id or a name given twice, too many parameters).
  const std::string& problems() const { return problems_; }

  HRESULT GetIDsOfNames(const LPOLESTR* names, UINT count, DISPID* ids) const;
  // *result is overwritten: give an empty VARIANT, or null for no result.
  HRESULT Invoke(void* obj, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* arg_err) const;

 private:
  const QmDispMember* find_sparse(DISPID id) const;

  static constexpr DISPID kDenseLimit = 4096;
  std::vector<QmDispMember> members_;  // sorted by id
  std::vector<int32_t> dense_;         // index into members_ by id - dense_first_, -1 for none
  DISPID dense_first_ = 0;
  std::string problems_;
};

// ---- How C++ types meet automation types ----
namespace qm_disp_detail {

template <class T, VARTYPE VT, class = void>
struct Param {
  static_assert(sizeof(T) == 0, "this C++ parameter type does not match its automation type");
};

#define QM_DISP_PARAM(T, VT, expr)                    \
  template <>                                         \
  struct Param<T, VT> {                               \
    const VARIANT& v;                                 \
    explicit Param(const VARIANT& a) : v(a) {}        \
    T value() const { return expr; }                  \
  }
QM_DISP_PARAM(SHORT, VT_I2, v.iVal);
QM_DISP_PARAM(LONG, VT_I4, v.lVal);
QM_DISP_PARAM(ULONG, VT_I4, static_cast<ULONG>(v.lVal));
QM_DISP_PARAM(double, VT_R8, v.dblVal);
QM_DISP_PARAM(LONG, VT_BOOL, v.boolVal != 0 ? TRUE : FALSE);
QM_DISP_PARAM(bool, VT_BOOL, v.boolVal != 0);
QM_DISP_PARAM(BSTR, VT_BSTR, v.bstrVal);
QM_DISP_PARAM(SHORT*, VT_I2 | VT_BYREF, v.piVal);
QM_DISP_PARAM(BSTR*, VT_BSTR | VT_BYREF, v.pbstrVal);
QM_DISP_PARAM(QmArray<double>, VT_R8 | VT_BYREF, (QmArray<double>{v.pdblVal, v.cElements}));
QM_DISP_PARAM(QmArray<LONG>, VT_I4 | VT_BYREF, (QmArray<LONG>{v.plVal, v.cElements}));
#undef QM_DISP_PARAM

// GBK text lives for the whole call.
template <>
struct Param<LPCSTR, VT_BSTR> {
  std::string text;
  explicit Param(const VARIANT& a) : text(qm_bstr_to_gbk(a.bstrVal)) {}
  LPCSTR value() const { return text.c_str(); }
};

template <class T, VARTYPE VT, class = void>
struct Result {
  static_assert(sizeof(T) == 0, "this C++ result type does not match its automation type");
};
#define QM_DISP_RESULT(T, VT, field, expr)                                           \
  template <>                                                                        \
  struct Result<T, VT> {                                                             \
    static void store(VARIANT* r, T x) { r->vt = (VT), r->cElements = 0, r->field = (expr); } \
  }
QM_DISP_RESULT(SHORT, VT_I2, iVal, x);
QM_DISP_RESULT(LONG, VT_I4, lVal, x);
QM_DISP_RESULT(ULONG, VT_I4, lVal, static_cast<LONG>(x));
QM_DISP_RESULT(double, VT_R8, dblVal, x);
QM_DISP_RESULT(LONG, VT_BOOL, boolVal, x ? VARIANT_TRUE : VARIANT_FALSE);
QM_DISP_RESULT(bool, VT_BOOL, boolVal, x ? VARIANT_TRUE : VARIANT_FALSE);
QM_DISP_RESULT(BSTR, VT_BSTR, bstrVal, x);
#undef QM_DISP_RESULT

template <class F>
struct Member;
template <class C, class R, class... A>
struct Member<R (C::*)(A...)> {
  using Class = C;
  using Ret = R;
  using Args = std::tuple<A...>;
};
template <class C, class R, class... A>
struct Member<R (C::*)(A...) const> : Member<R (C::*)(A...)> {
  using Class = const C;
};

template <auto Fn, VARTYPE R, VARTYPE... P, size_t... I>
HRESULT call(void* obj, VARIANT* args, VARIANT* result, std::index_sequence<I...>) {
  using M = Member<decltype(Fn)>;
  static_assert(sizeof...(P) == std::tuple_size<typename M::Args>::value,
                "the automation parameter list and the C++ parameter list differ in length");
  auto* self = static_cast<typename M::Class*>(obj);
  if constexpr (std::is_void<typename M::Ret>::value) {
    static_assert(R == VT_EMPTY, "a member without a result has the automation result VT_EMPTY");
    (self->*Fn)(Param<std::tuple_element_t<I, typename M::Args>, P>(args[I]).value()...);
    (void)result;
  } else {
    Result<typename M::Ret, R>::store(
        result, (self->*Fn)(Param<std::tuple_element_t<I, typename M::Args>, P>(args[I]).value()...));
  }
  (void)args;
  return S_OK;
}

template <auto Fn, VARTYPE R, VARTYPE... P>
HRESULT thunk(void* obj, VARIANT* args, VARIANT* result) {
  return call<Fn, R, P...>(obj, args, result, std::index_sequence_for<decltype(P)...>{});
}

}  // namespace qm_disp_detail

template <auto Fn, VARTYPE R, VARTYPE... P>
QmDispMember qm_disp_method(DISPID id, const char* name, const char* param_names = "") {
  static_assert(sizeof...(P) <= kQmMaxDispParams, "too many parameters for a dispatch member");
  return QmDispMember{id, name, param_names, false, R, {P...}, &qm_disp_detail::thunk<Fn, R, P...>, nullptr};
}

template <auto Get, auto Set, VARTYPE VT>
QmDispMember qm_disp_property(DISPID id, const char* name) {
  return QmDispMember{id, name, "", true, VT, {}, &qm_disp_detail::thunk<Get, VT>,
                      &qm_disp_detail::thunk<Set, VT_EMPTY, VT>};
}

template <auto Get, VARTYPE VT>
QmDispMember qm_disp_property_get(DISPID id, const char* name) {
  return QmDispMember{id, name, "", true, VT, {}, &qm_disp_detail::thunk<Get, VT>, nullptr};
}
