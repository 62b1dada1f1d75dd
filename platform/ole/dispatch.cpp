// Dispatch tables and event sources. Invoke checks, in this order: the member
// exists; the flags ask for something it has; named arguments (only the
// property put's DISPID_PROPERTYPUT is accepted); the argument count; then
// each argument in parameter order, coerced to its declared type or, for a
// by-reference parameter, of exactly that type with a real pointer. The first
// bad argument's index within rgvarg goes to *arg_err.
#include <qm_dispatch.h>
#include <qm_text.h>

#include <algorithm>
#include <cctype>

std::vector<std::string> qm_disp_split_names(const char* list) {
  std::vector<std::string> names;
  std::string cur;
  for (const char* p = list; p && *p; ++p) {
    if (*p == ',') {
      names.push_back(cur);
      cur.clear();
    } else if (*p != ' ') {
      cur.push_back(*p);
    }
  }
  if (!cur.empty() || !names.empty()) names.push_back(cur);
  return names;
}

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A name as ASCII lower case; names with other characters match nothing.
bool ascii_lower(LPCOLESTR name, std::string* out) {
  out->clear();
  for (; *name; ++name) {
    if (*name >= 0x80) return false;
    out->push_back(static_cast<char>(std::tolower(static_cast<int>(*name))));
  }
  return true;
}

std::vector<std::string> split_names(const char* list) {
  std::vector<std::string> names = qm_disp_split_names(list);
  for (std::string& name : names) name = lower(name);
  return names;
}

// The arguments an Invoke hands on: borrowed from the caller when they have
// the declared type already, else converted copies that are freed here.
struct Args {
  VARIANT v[kQmMaxDispParams];
  bool owned[kQmMaxDispParams];
  UINT n = 0;
  ~Args() {
    for (UINT i = 0; i < n; ++i)
      if (owned[i]) VariantClear(&v[i]);
  }
};

// Calls the member, which writes its result in place (into a result of its
// own when the caller wants none, freed here).
inline HRESULT call_member(QmDispThunk call, void* obj, VARIANT* args, VARIANT* result) {
  VARIANT scratch;
  VARIANT* out = result ? result : &scratch;
  out->vt = VT_EMPTY;
  out->cElements = 0;
  const HRESULT hr = call(obj, args, out);
  if (!result) VariantClear(&scratch);
  return hr;
}

// Checks and converts the arguments (the count is right), then calls.
__attribute__((noinline)) HRESULT invoke_with_args(QmDispThunk call, void* obj, const VARTYPE* types, UINT wanted,
                                                   const DISPPARAMS* params, VARIANT* result, UINT* arg_err) {
  Args args;
  for (UINT i = 0; i < wanted; ++i) {
    const UINT slot = params->cArgs - 1 - i;
    const VARIANT& given = params->rgvarg[slot];
    VARIANT& arg = args.v[i];
    const VARTYPE vt = types[i];
    args.owned[i] = false;
    HRESULT hr = S_OK;
    if (vt & VT_BYREF) {
      if (given.vt != vt) {
        hr = DISP_E_TYPEMISMATCH;
      } else if (!given.byref) {
        hr = E_INVALIDARG;
      } else {
        arg = given;
        if (arg.cElements == 0) arg.cElements = 1;
      }
    } else if (given.vt == vt) {
      arg = given;
    } else {
      VariantInit(&arg);
      hr = VariantChangeType(&arg, &given, 0, vt);
      args.owned[i] = true;
    }
    args.n = i + 1;
    if (FAILED(hr)) {
      if (arg_err) *arg_err = slot;
      return hr;
    }
  }
  return call_member(call, obj, args.v, result);
}

}  // namespace

QmDispatchTable::QmDispatchTable(std::initializer_list<QmDispMember> members) : members_(members) {
  std::stable_sort(members_.begin(), members_.end(),
                   [](const QmDispMember& a, const QmDispMember& b) { return a.id < b.id; });
  for (size_t i = 0; i < members_.size(); ++i) {
    const QmDispMember& m = members_[i];
    if (i > 0 && members_[i - 1].id == m.id) problems_ += "dispatch id " + std::to_string(m.id) + " is given twice; ";
    for (size_t j = 0; j < i; ++j)
      if (lower(members_[j].name) == lower(m.name)) problems_ += std::string("name ") + m.name + " is given twice; ";
    if (m.params.size() > kQmMaxDispParams) problems_ += std::string(m.name) + " has too many parameters; ";
    const std::vector<std::string> names = split_names(m.param_names);
    if (!names.empty() && names.size() != m.params.size())
      problems_ += std::string(m.name) + " names " + std::to_string(names.size()) + " parameters of " +
                   std::to_string(m.params.size()) + "; ";
  }
  // The positive ids of an interface are usually dense from 1: they are
  // found by index, the others by a binary search.
  DISPID top = 0;
  for (const QmDispMember& m : members_)
    if (m.id > 0) top = std::max(top, m.id);
  if (top > 0 && top <= kDenseLimit) {
    dense_first_ = 1;
    dense_.assign(static_cast<size_t>(top), -1);
    for (size_t i = members_.size(); i-- > 0;)
      if (members_[i].id > 0) dense_[static_cast<size_t>(members_[i].id - 1)] = static_cast<int32_t>(i);
  }
}

const QmDispMember* QmDispatchTable::find_sparse(DISPID id) const {
  auto it = std::lower_bound(members_.begin(), members_.end(), id,
                             [](const QmDispMember& m, DISPID v) { return m.id < v; });
  return it != members_.end() && it->id == id ? &*it : nullptr;
}

HRESULT QmDispatchTable::GetIDsOfNames(const LPOLESTR* names, UINT count, DISPID* ids) const {
  if (!ids || (count > 0 && !names)) return E_INVALIDARG;
  if (count == 0) return S_OK;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  std::string name;
  const QmDispMember* member = nullptr;
  if (names[0] && ascii_lower(names[0], &name))
    for (const QmDispMember& m : members_)
      if (lower(m.name) == name) member = &m;
  if (!member) return DISP_E_UNKNOWNNAME;
  ids[0] = member->id;
  HRESULT hr = S_OK;
  const std::vector<std::string> params = split_names(member->param_names);
  for (UINT i = 1; i < count; ++i) {
    if (names[i] && ascii_lower(names[i], &name)) {
      auto it = std::find(params.begin(), params.end(), name);
      if (it != params.end()) {
        ids[i] = static_cast<DISPID>(it - params.begin());
        continue;
      }
    }
    hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT QmDispatchTable::Invoke(void* obj, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                                UINT* arg_err) const {
  const QmDispMember* m = find(id);
  if (!m) return DISP_E_MEMBERNOTFOUND;
  if (!params) return E_INVALIDARG;
  if (params->cArgs > 0 && !params->rgvarg) return E_INVALIDARG;
  if (params->cNamedArgs > params->cArgs || (params->cNamedArgs > 0 && !params->rgdispidNamedArgs))
    return E_INVALIDARG;

  QmDispThunk call = nullptr;
  const VARTYPE* types = m->params.data();
  UINT wanted = static_cast<UINT>(m->params.size());
  bool put = false;
  if (m->property) {
    if ((flags & DISPATCH_PROPERTYPUT) && (params->cArgs > 0 || !(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)))) {
      if (!m->put) return DISP_E_MEMBERNOTFOUND;
      if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
      if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_PARAMNOTFOUND;
      call = m->put, types = &m->result, wanted = 1, put = true;
    } else if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) {
      if (!m->call) return DISP_E_MEMBERNOTFOUND;
      call = m->call, wanted = 0;
    } else {
      return DISP_E_MEMBERNOTFOUND;
    }
  } else {
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    call = m->call;
  }
  if (!put && params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
  if (params->cArgs != wanted) return DISP_E_BADPARAMCOUNT;

  if (wanted == 0) return call_member(call, obj, nullptr, result);
  return invoke_with_args(call, obj, types, wanted, params, result, arg_err);
}

DWORD QmEventSource::Advise(IDispatch* sink) {
  if (!sink) return 0;
  sinks_.push_back({next_cookie_, sink});
  return next_cookie_++;
}

bool QmEventSource::Unadvise(DWORD cookie) {
  auto it = std::find_if(sinks_.begin(), sinks_.end(), [cookie](const Sink& s) { return s.cookie == cookie; });
  if (it == sinks_.end()) return false;
  sinks_.erase(it);
  return true;
}

void QmEventSource::Fire(DISPID id, std::vector<VARIANT> args) {
  std::reverse(args.begin(), args.end());
  const std::vector<Sink> now = sinks_;
  for (const Sink& s : now) {
    // A sink disconnected by an earlier one is not called.
    if (std::none_of(sinks_.begin(), sinks_.end(), [&](const Sink& k) { return k.cookie == s.cookie; })) continue;
    DISPPARAMS p = {args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    VARIANT r;
    VariantInit(&r);
    UINT err = 0;
    s.sink->Invoke(id, DISPATCH_METHOD, &p, &r, &err);
    VariantClear(&r);
  }
  for (VARIANT& v : args) VariantClear(&v);
}
