// OLE automation as the drawing control's interface uses it: result codes,
// interface ids, BSTR strings, VARIANT values and their coercion, dispatch
// parameters, the IUnknown and IDispatch interfaces and an event source that
// fires into sinks. Implemented by qmole. The registry, class factories and
// type information are in objbase.h.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// ---- Result codes ----
typedef int32_t HRESULT;
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define S_OK ((HRESULT)0x00000000L)
#define S_FALSE ((HRESULT)0x00000001L)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define DISP_E_UNKNOWNINTERFACE ((HRESULT)0x80020001L)
#define DISP_E_MEMBERNOTFOUND ((HRESULT)0x80020003L)
#define DISP_E_PARAMNOTFOUND ((HRESULT)0x80020004L)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005L)
#define DISP_E_UNKNOWNNAME ((HRESULT)0x80020006L)
#define DISP_E_NONAMEDARGS ((HRESULT)0x80020007L)
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008L)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000AL)
#define DISP_E_BADINDEX ((HRESULT)0x8002000BL)
#define DISP_E_BADPARAMCOUNT ((HRESULT)0x8002000EL)

// ---- Interface and class ids ----
typedef struct _GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID, IID, CLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
inline bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
#define IsEqualGUID(a, b) ((a) == (b))
#define IsEqualIID(a, b) ((a) == (b))
#define IsEqualCLSID(a, b) ((a) == (b))
extern const IID IID_IUnknown;
extern const IID IID_IDispatch;
extern const GUID GUID_NULL;

// ---- Strings ----
// A BSTR points at UTF-16 characters followed by a NUL; the 32-bit byte
// length is stored just before the first character, so a BSTR may hold NULs.
// A null BSTR is the empty string.
typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* BSTR;

BSTR SysAllocString(const OLECHAR* text);
// len characters copied from text, or zeros when text is null. Null when the
// length cannot be held or memory runs out.
BSTR SysAllocStringLen(const OLECHAR* text, UINT len);
void SysFreeString(BSTR s);
UINT SysStringLen(BSTR s);
UINT SysStringByteLen(BSTR s);
// Replaces *s with a new copy of text (which may overlap *s); FALSE, leaving
// *s as it was, when no memory can be had.
INT SysReAllocString(BSTR* s, const OLECHAR* text);
INT SysReAllocStringLen(BSTR* s, const OLECHAR* text, UINT len);

// The code-page edge: GBK bytes to a new BSTR and back (through iconv), in
// the kernel's text form (qm_text.h), so no character is lost: a character
// GBK lacks travels as its "\U+XXXX" escape, and escapes come back as their
// characters.
BSTR qm_bstr_from_gbk(std::string_view gbk);
std::string qm_bstr_to_gbk(BSTR s);
std::u16string qm_bstr_text(BSTR s);

// ---- Values ----
typedef USHORT VARTYPE;
typedef SHORT VARIANT_BOOL;
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)
typedef DWORD OLE_COLOR;
typedef LONG DISPID;
typedef DWORD LCID;

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R8 = 5,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_BYREF = 0x4000,
};

struct IDispatch;

typedef struct tagVARIANT {
  VARTYPE vt;
  WORD wReserved1;
  // For a by-reference argument: how many values the reference reaches (an
  // array argument), 0 or 1 for a single value. Where Windows keeps reserved
  // words, so a callee can check an array count instead of trusting it.
  ULONG cElements;
  union {
    LONG lVal;
    SHORT iVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    BSTR bstrVal;
    IDispatch* pdispVal;
    SHORT* piVal;
    LONG* plVal;
    double* pdblVal;
    BSTR* pbstrVal;
    struct tagVARIANT* pvarVal;
    void* byref;
  };
} VARIANT, VARIANTARG, *LPVARIANT;

void VariantInit(VARIANT* v);
// Frees what the value owns (a BSTR) and makes it VT_EMPTY.
HRESULT VariantClear(VARIANT* v);
HRESULT VariantCopy(VARIANT* dst, const VARIANT* src);
// Converts src to type vt into dst (dst may be src). Sources by reference are
// read through their pointer. Numbers round half to even into integers; out
// of range or NaN is DISP_E_OVERFLOW; text that is not a number, or a type
// with no conversion, is DISP_E_TYPEMISMATCH. dst (initialised, as every
// VARIANT given here must be) is cleared first and is untouched on failure.
HRESULT VariantChangeType(VARIANT* dst, const VARIANT* src, USHORT flags, VARTYPE vt);

// Small makers for callers and tests.
VARIANT qm_variant_i2(SHORT v);
VARIANT qm_variant_i4(LONG v);
VARIANT qm_variant_r8(double v);
VARIANT qm_variant_bool(bool v);
// Takes ownership of s.
VARIANT qm_variant_bstr(BSTR s);
// A reference to count values (an array argument) or to one value.
VARIANT qm_variant_ref(double* p, ULONG count = 1);
VARIANT qm_variant_ref(LONG* p, ULONG count = 1);
VARIANT qm_variant_ref(SHORT* p);
VARIANT qm_variant_ref(BSTR* p);

// ---- Dispatch ----
#define DISPID_UNKNOWN (-1)
#define DISPID_VALUE 0
#define DISPID_PROPERTYPUT (-3)
#define DISPID_ABOUTBOX (-552)
#define DISPID_KEYDOWN (-602)
#define DISPID_MOUSEDOWN (-605)
#define DISPID_MOUSEMOVE (-606)
#define DISPID_MOUSEUP (-607)

#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4

// Arguments in reverse order: rgvarg[cArgs - 1] is the first parameter.
typedef struct tagDISPPARAMS {
  VARIANTARG* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
} DISPPARAMS;

// Every object's interfaces: QueryInterface gives another interface of the
// same object (counted) or E_NOINTERFACE with *out null; the object lives
// while references are counted on it.
struct IUnknown {
  virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

struct ITypeInfo;

// The automation interface of an object. Names are matched without regard to
// case; the first name is the member, the others its parameters. Invoke
// reports a bad argument's index within rgvarg in *arg_err.
//
// An object that its C++ owner holds (an event sink, say) need not count
// references: by default it answers QueryInterface for IUnknown and IDispatch
// with itself, its count stays 1 and it has no type information. An object a
// class factory makes overrides all of these.
struct IDispatch : IUnknown {
  virtual ~IDispatch() = default;
  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  virtual HRESULT GetTypeInfoCount(UINT* count);
  virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info);
  virtual HRESULT GetIDsOfNames(const LPOLESTR* names, UINT count, DISPID* ids) = 0;
  virtual HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* arg_err) = 0;
};

// Where an object's events go: the sinks that containers connect. Firing
// calls every sink connected when the firing starts, in connection order; a
// sink may disconnect itself or another while being called.
class QmEventSource {
 public:
  // A cookie for Unadvise, never 0 and never reused; 0 for a null sink.
  DWORD Advise(IDispatch* sink);
  bool Unadvise(DWORD cookie);
  size_t SinkCount() const { return sinks_.size(); }
  // Calls Invoke(id, DISPATCH_METHOD) on every sink with the arguments in
  // parameter order (reversed for the call, as DISPPARAMS wants). The
  // arguments are Fire's: strings among them are freed after the calls.
  void Fire(DISPID id, std::vector<VARIANT> args);

 private:
  struct Sink {
    DWORD cookie;
    IDispatch* sink;
  };
  std::vector<Sink> sinks_;
  DWORD next_cookie_ = 1;
};
