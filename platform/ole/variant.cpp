// VARIANT values: clearing, copying and the coercions between the types the
// automation interface uses (I2, I4, R8, BOOL, BSTR), as the original
// platform does them: numbers round half to even into integers, booleans are
// -1 and 0, text is read as a number (or "True"/"False" for a boolean).
#include <oleauto.h>
#include <qm_text.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The whole text as a number (blanks around it allowed).
bool parse_number(BSTR s, double* out) {
  std::string text = qm_utf16_to_utf8(qm_bstr_text(s));
  size_t b = 0, e = text.size();
  while (b < e && is_blank(text[b])) ++b;
  while (e > b && is_blank(text[e - 1])) --e;
  if (b == e) return false;
  text = text.substr(b, e - b);
  // Only plain decimal numbers: no hexadecimal, infinities or NaN.
  for (char c : text)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return false;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return false;
  *out = v;
  return true;
}

bool equals_ignoring_case(BSTR s, const char* word) {
  const std::u16string text = qm_bstr_text(s);
  const size_t n = std::strlen(word);
  if (text.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != static_cast<char16_t>(word[i])) return false;
  }
  return true;
}

// The value a source holds, read through a reference when it is one.
struct Scalar {
  VARTYPE vt;
  double number = 0;  // I2, I4, R8, BOOL
  BSTR text = nullptr;
};

HRESULT read_source(const VARIANT* src, Scalar* out) {
  const VARTYPE base = src->vt & ~VT_BYREF;
  const bool ref = (src->vt & VT_BYREF) != 0;
  if (ref && !src->byref) return DISP_E_TYPEMISMATCH;
  if (ref && base == VT_VARIANT) return read_source(src->pvarVal, out);
  out->vt = base;
  switch (base) {
    case VT_EMPTY:
      if (ref) return DISP_E_BADVARTYPE;
      return S_OK;
    case VT_I2: out->number = ref ? *src->piVal : src->iVal; return S_OK;
    case VT_I4: out->number = ref ? *src->plVal : src->lVal; return S_OK;
    case VT_R8: out->number = ref ? *src->pdblVal : src->dblVal; return S_OK;
    case VT_BOOL: out->number = (ref ? *reinterpret_cast<VARIANT_BOOL*>(src->byref) : src->boolVal) ? -1 : 0; return S_OK;
    case VT_BSTR: out->text = ref ? *src->pbstrVal : src->bstrVal; return S_OK;
    case VT_NULL:
    case VT_DISPATCH: return DISP_E_TYPEMISMATCH;
    default: return DISP_E_BADVARTYPE;
  }
}

HRESULT to_integer(double v, double lo, double hi, LONG* out) {
  if (std::isnan(v)) return DISP_E_OVERFLOW;
  const double r = std::nearbyint(v);  // the default rounding: half to even
  if (r < lo || r > hi) return DISP_E_OVERFLOW;
  *out = static_cast<LONG>(r);
  return S_OK;
}

BSTR format_number(double v, VARTYPE from) {
  char buf[64];
  if (from == VT_R8)
    std::snprintf(buf, sizeof buf, "%.15G", v);
  else
    std::snprintf(buf, sizeof buf, "%ld", static_cast<long>(v));
  return qm_bstr_from_gbk(buf);
}

}  // namespace

void VariantInit(VARIANT* v) {
  if (!v) return;
  std::memset(v, 0, sizeof *v);
  v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* v) {
  if (!v) return E_INVALIDARG;
  if (v->vt == VT_BSTR) SysFreeString(v->bstrVal);
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* dst, const VARIANT* src) {
  if (!dst || !src) return E_INVALIDARG;
  if (dst == src) return S_OK;
  VARIANT copy = *src;
  if (src->vt == VT_BSTR && src->bstrVal) {
    copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
    if (!copy.bstrVal) return E_OUTOFMEMORY;
  }
  VariantClear(dst);
  *dst = copy;
  return S_OK;
}

HRESULT VariantChangeType(VARIANT* dst, const VARIANT* src, USHORT /*flags*/, VARTYPE vt) {
  if (!dst || !src) return E_INVALIDARG;
  Scalar s;
  HRESULT hr = read_source(src, &s);
  if (FAILED(hr)) return hr;
  if (s.vt == VT_BSTR && vt != VT_BSTR) {
    if (vt == VT_BOOL && (equals_ignoring_case(s.text, "true") || equals_ignoring_case(s.text, "false"))) {
      s.number = equals_ignoring_case(s.text, "true") ? -1 : 0;
    } else if (!parse_number(s.text, &s.number)) {
      return DISP_E_TYPEMISMATCH;
    }
  }
  VARIANT r;
  VariantInit(&r);
  r.vt = vt;
  switch (vt) {
    case VT_EMPTY: break;
    case VT_I2: {
      LONG n;
      if (FAILED(hr = to_integer(s.number, -32768.0, 32767.0, &n))) return hr;
      r.iVal = static_cast<SHORT>(n);
      break;
    }
    case VT_I4:
      if (FAILED(hr = to_integer(s.number, -2147483648.0, 2147483647.0, &r.lVal))) return hr;
      break;
    case VT_R8: r.dblVal = s.number; break;
    case VT_BOOL:
      if (std::isnan(s.number)) return DISP_E_OVERFLOW;
      r.boolVal = s.number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_BSTR:
      if (s.vt == VT_BSTR)
        r.bstrVal = s.text ? SysAllocStringLen(s.text, SysStringLen(s.text)) : qm_bstr_from_gbk("");
      else if (s.vt == VT_BOOL)
        r.bstrVal = qm_bstr_from_gbk(s.number != 0 ? "True" : "False");
      else if (s.vt == VT_EMPTY)
        r.bstrVal = qm_bstr_from_gbk("");
      else
        r.bstrVal = format_number(s.number, s.vt);
      if (!r.bstrVal) return E_OUTOFMEMORY;
      break;
    default: return DISP_E_BADVARTYPE;
  }
  VariantClear(dst);
  *dst = r;
  return S_OK;
}

namespace {
// An empty VARIANT of type vt with one field set.
template <class Set>
VARIANT make(VARTYPE vt, Set set) {
  VARIANT r;
  VariantInit(&r);
  r.vt = vt;
  set(r);
  return r;
}
}  // namespace

VARIANT qm_variant_i2(SHORT v) { return make(VT_I2, [v](VARIANT& r) { r.iVal = v; }); }
VARIANT qm_variant_i4(LONG v) { return make(VT_I4, [v](VARIANT& r) { r.lVal = v; }); }
VARIANT qm_variant_r8(double v) { return make(VT_R8, [v](VARIANT& r) { r.dblVal = v; }); }
VARIANT qm_variant_bool(bool v) {
  return make(VT_BOOL, [v](VARIANT& r) { r.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE; });
}
VARIANT qm_variant_bstr(BSTR s) { return make(VT_BSTR, [s](VARIANT& r) { r.bstrVal = s; }); }

namespace {
VARIANT reference(VARTYPE vt, void* p, ULONG count) {
  return make(static_cast<VARTYPE>(vt | VT_BYREF), [p, count](VARIANT& r) { r.byref = p, r.cElements = p ? count : 0; });
}
}  // namespace

VARIANT qm_variant_ref(double* p, ULONG count) { return reference(VT_R8, p, count); }
VARIANT qm_variant_ref(LONG* p, ULONG count) { return reference(VT_I4, p, count); }
VARIANT qm_variant_ref(SHORT* p) { return reference(VT_I2, p, 1); }
VARIANT qm_variant_ref(BSTR* p) { return reference(VT_BSTR, p, 1); }
