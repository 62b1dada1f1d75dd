// The automation stand-in: BSTR strings and their GBK edge, VARIANT
// coercion, a dispatch table's GetIDsOfNames and Invoke (including what a
// hostile caller gets back), and event sinks.
#include <gtest/gtest.h>
#include <qm_dispatch.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

struct BstrFree {
  void operator()(OLECHAR* s) const { SysFreeString(s); }
};
using Owned = std::unique_ptr<OLECHAR, BstrFree>;

TEST(Bstr, CarriesItsLengthNulsIncluded) {
  const OLECHAR text[] = {u'a', 0, u'b'};
  Owned s(SysAllocStringLen(text, 3));
  ASSERT_TRUE(s);
  EXPECT_EQ(SysStringLen(s.get()), 3u);
  EXPECT_EQ(SysStringByteLen(s.get()), 6u);
  EXPECT_EQ(s.get()[1], 0);
  EXPECT_EQ(s.get()[3], 0);  // terminated after its length
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  Owned zeros(SysAllocStringLen(nullptr, 2));
  EXPECT_EQ(zeros.get()[0], 0);
  EXPECT_EQ(SysStringLen(zeros.get()), 2u);
  EXPECT_EQ(SysAllocStringLen(u"x", 0x7FFFFFFF), nullptr);  // refused, not wrapped
}

TEST(Bstr, ReallocatesFromItsOwnText) {
  BSTR s = SysAllocString(u"hello world");
  ASSERT_TRUE(SysReAllocString(&s, s + 6));  // the source lies inside the old string
  EXPECT_EQ(qm_bstr_text(s), u"world");
  ASSERT_TRUE(SysReAllocStringLen(&s, s, 3));
  EXPECT_EQ(qm_bstr_text(s), u"wor");
  ASSERT_TRUE(SysReAllocString(&s, nullptr));
  EXPECT_EQ(s, nullptr);
  EXPECT_FALSE(SysReAllocString(nullptr, u"x"));
}

TEST(Bstr, GbkRoundTrips) {
  struct Case {
    std::string gbk;
    std::u16string utf16;
  } cases[] = {
      {"", u""},
      {"Quillmark", u"Quillmark"},
      {"\xd6\xd0\xce\xc4", u"\u4e2d\u6587"},                   // two CJK characters
      {"A\xd6\xd0" "1.dwg", u"A\u4e2d" u"1.dwg"},              // mixed
      {"\xc9\xbe\xb3\xfd\r\n", u"\u5220\u9664\r\n"},           // with a line end
  };
  for (const Case& c : cases) {
    Owned s(qm_bstr_from_gbk(c.gbk));
    ASSERT_TRUE(s) << c.gbk;  // the empty string is a real, empty BSTR
    EXPECT_EQ(qm_bstr_text(s.get()), c.utf16);
    EXPECT_EQ(qm_bstr_to_gbk(s.get()), c.gbk);
  }
  EXPECT_EQ(qm_bstr_to_gbk(nullptr), "");
}

TEST(Variant, ChangesTypeAsTheOriginalDoes) {
  struct Case {
    VARIANT src;
    VARTYPE to;
    HRESULT hr;
    double number;  // the expected value when hr is S_OK and `to` is a number
  };
  const Case cases[] = {
      {qm_variant_r8(2.5), VT_I4, S_OK, 2},  // half to even
      {qm_variant_r8(3.5), VT_I4, S_OK, 4},
      {qm_variant_r8(-2.5), VT_I2, S_OK, -2},
      {qm_variant_r8(32767.4), VT_I2, S_OK, 32767},
      {qm_variant_r8(32767.5), VT_I2, DISP_E_OVERFLOW, 0},
      {qm_variant_i4(-32769), VT_I2, DISP_E_OVERFLOW, 0},
      {qm_variant_r8(NAN), VT_I4, DISP_E_OVERFLOW, 0},
      {qm_variant_r8(3e9), VT_I4, DISP_E_OVERFLOW, 0},
      {qm_variant_bool(true), VT_I4, S_OK, -1},
      {qm_variant_i2(7), VT_BOOL, S_OK, -1},
      {qm_variant_i4(0), VT_BOOL, S_OK, 0},
      {qm_variant_i2(-5), VT_R8, S_OK, -5},
      {qm_variant_bstr(qm_bstr_from_gbk(" 12.25 ")), VT_R8, S_OK, 12.25},
      {qm_variant_bstr(qm_bstr_from_gbk("12")), VT_I2, S_OK, 12},
      {qm_variant_bstr(qm_bstr_from_gbk("TRUE")), VT_BOOL, S_OK, -1},
      {qm_variant_bstr(qm_bstr_from_gbk("12px")), VT_I4, DISP_E_TYPEMISMATCH, 0},
      {qm_variant_bstr(qm_bstr_from_gbk("0x10")), VT_I4, DISP_E_TYPEMISMATCH, 0},
      {qm_variant_bstr(qm_bstr_from_gbk("nan")), VT_R8, DISP_E_TYPEMISMATCH, 0},
      {qm_variant_bstr(qm_bstr_from_gbk("")), VT_I4, DISP_E_TYPEMISMATCH, 0},
      {qm_variant_bstr(nullptr), VT_R8, DISP_E_TYPEMISMATCH, 0},
      {VARIANT{}, VT_I4, S_OK, 0},  // empty is zero
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    VARIANT src = cases[i].src;
    VARIANT dst;
    VariantInit(&dst);
    EXPECT_EQ(VariantChangeType(&dst, &src, 0, cases[i].to), cases[i].hr) << "case " << i;
    if (cases[i].hr == S_OK) {
      ASSERT_EQ(dst.vt, cases[i].to) << "case " << i;
      const double got = dst.vt == VT_I2 ? dst.iVal : dst.vt == VT_I4 ? dst.lVal : dst.vt == VT_R8 ? dst.dblVal : dst.boolVal;
      EXPECT_EQ(got, cases[i].number) << "case " << i;
    } else {
      EXPECT_EQ(dst.vt, VT_EMPTY) << "case " << i;
    }
    VariantClear(&src);
    VariantClear(&dst);
  }
}

TEST(Variant, FormatsTextAndReadsThroughReferences) {
  struct Case {
    VARIANT src;
    std::u16string text;
  } cases[] = {
      {qm_variant_i4(-42), u"-42"},
      {qm_variant_r8(0.1), u"0.1"},
      {qm_variant_r8(1e20), u"1E+20"},
      {qm_variant_bool(false), u"False"},
      {VARIANT{}, u""},
  };
  for (Case& c : cases) {
    VARIANT dst;
    VariantInit(&dst);
    ASSERT_EQ(VariantChangeType(&dst, &c.src, 0, VT_BSTR), S_OK);
    EXPECT_EQ(qm_bstr_text(dst.bstrVal), c.text);
    VariantClear(&dst);
  }
  LONG n = 9;
  VARIANT ref = qm_variant_ref(&n);
  VARIANT dst;
  VariantInit(&dst);
  ASSERT_EQ(VariantChangeType(&dst, &ref, 0, VT_R8), S_OK);
  EXPECT_EQ(dst.dblVal, 9.0);
  VARIANT null_ref = qm_variant_ref(static_cast<LONG*>(nullptr));
  EXPECT_EQ(VariantChangeType(&dst, &null_ref, 0, VT_R8), DISP_E_TYPEMISMATCH);
  // In place, a string becomes a number and its text is freed.
  VARIANT s = qm_variant_bstr(qm_bstr_from_gbk("3"));
  ASSERT_EQ(VariantChangeType(&s, &s, 0, VT_I2), S_OK);
  EXPECT_EQ(s.vt, VT_I2);
  EXPECT_EQ(s.iVal, 3);
  VARIANT copy;
  VariantInit(&copy);
  VARIANT t = qm_variant_bstr(qm_bstr_from_gbk("abc"));
  ASSERT_EQ(VariantCopy(&copy, &t), S_OK);
  EXPECT_NE(copy.bstrVal, t.bstrVal);
  EXPECT_EQ(qm_bstr_text(copy.bstrVal), u"abc");
  VariantClear(&t);
  VariantClear(&copy);
}

// An object with a small automation interface of each kind of member.
class Shape {
 public:
  LONG GetColor() { return color_; }
  void SetColor(LONG c) { color_ = c; }
  LONG GetVisible() { return visible_; }
  void SetVisible(LONG v) { visible_ = v; }
  BSTR GetName() { return qm_bstr_from_gbk(name_); }
  double Scale(double f, SHORT times) { return f * times; }
  LONG Sum(QmArray<double> xs, LONG count) {
    if (count < 1 || static_cast<size_t>(count) > xs.count) return -1;  // the count is checked
    double s = 0;
    for (LONG i = 0; i < count; ++i) s += xs.data[i];
    return static_cast<LONG>(s);
  }
  void Rename(LPCSTR gbk) { name_ = gbk; }
  SHORT FirstTwo(BSTR* s) {
    if (!SysReAllocString(s, u"12")) return -1;
    return 0;
  }
  void Touch() { ++touched_; }

  static const QmDispatchTable& table() {
    static const QmDispatchTable t = {
        qm_disp_property<&Shape::GetColor, &Shape::SetColor, VT_I4>(3, "BackColor"),
        qm_disp_property<&Shape::GetVisible, &Shape::SetVisible, VT_BOOL>(4, "Visible"),
        qm_disp_property_get<&Shape::GetName, VT_BSTR>(1, "Name"),
        qm_disp_method<&Shape::Scale, VT_R8, VT_R8, VT_I2>(9, "Scale", "factor,times"),
        qm_disp_method<&Shape::Sum, VT_I4, VT_R8 | VT_BYREF, VT_I4>(10, "Sum", "xs,count"),
        qm_disp_method<&Shape::Rename, VT_EMPTY, VT_BSTR>(11, "Rename"),
        qm_disp_method<&Shape::FirstTwo, VT_I2, VT_BSTR | VT_BYREF>(12, "GetText"),
        qm_disp_method<&Shape::Touch, VT_EMPTY>(DISPID_ABOUTBOX, "AboutBox"),
    };
    return t;
  }

  LONG color_ = 0;
  LONG visible_ = 0;
  std::string name_ = "\xd6\xd0";
  int touched_ = 0;
};

// Invokes with arguments in parameter order.
HRESULT call(Shape& s, DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result, UINT* err = nullptr) {
  std::vector<VARIANT> rev(args.rbegin(), args.rend());
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS p = {rev.empty() ? nullptr : rev.data(), nullptr, static_cast<UINT>(rev.size()), 0};
  if (flags == DISPATCH_PROPERTYPUT) p.rgdispidNamedArgs = &put, p.cNamedArgs = 1;
  UINT e = 99;
  const HRESULT hr = Shape::table().Invoke(&s, id, flags, &p, result, &e);
  if (err) *err = e;
  for (VARIANT& v : args) VariantClear(&v);
  return hr;
}

TEST(Dispatch, TableIsSoundAndNamesMatchWithoutCase) {
  EXPECT_EQ(Shape::table().problems(), "");
  const OLECHAR* names[] = {u"sCALE", u"TIMES", u"Factor", u"nope"};
  DISPID ids[4];
  EXPECT_EQ(Shape::table().GetIDsOfNames(const_cast<LPOLESTR*>(names), 4, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 9);
  EXPECT_EQ(ids[1], 1);
  EXPECT_EQ(ids[2], 0);
  EXPECT_EQ(ids[3], DISPID_UNKNOWN);
  const OLECHAR* about[] = {u"aboutbox"};
  EXPECT_EQ(Shape::table().GetIDsOfNames(const_cast<LPOLESTR*>(about), 1, ids), S_OK);
  EXPECT_EQ(ids[0], DISPID_ABOUTBOX);
  const OLECHAR* unknown[] = {u"Sc\u00e4le"};
  EXPECT_EQ(Shape::table().GetIDsOfNames(const_cast<LPOLESTR*>(unknown), 1, ids), DISP_E_UNKNOWNNAME);

  Shape s;
  struct Dup {
    LONG Get() { return 0; }
  };
  const QmDispatchTable bad = {
      qm_disp_property_get<&Dup::Get, VT_I4>(1, "A"),
      qm_disp_property_get<&Dup::Get, VT_I4>(1, "a"),
      qm_disp_method<&Shape::Scale, VT_R8, VT_R8, VT_I2>(2, "S", "one"),
  };
  EXPECT_NE(bad.problems().find("dispatch id 1"), std::string::npos);
  EXPECT_NE(bad.problems().find("name a"), std::string::npos);
  EXPECT_NE(bad.problems().find("S names 1 parameters of 2"), std::string::npos);
}

TEST(Dispatch, PropertiesGetAndPut) {
  Shape s;
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(call(s, 3, DISPATCH_PROPERTYPUT, {qm_variant_r8(254.6)}, nullptr), S_OK);  // coerced to I4
  EXPECT_EQ(s.color_, 255);
  ASSERT_EQ(call(s, 3, DISPATCH_PROPERTYGET, {}, &r), S_OK);
  EXPECT_EQ(r.vt, VT_I4);
  EXPECT_EQ(r.lVal, 255);
  // A BOOL property holds 1 or 0 and answers VARIANT_TRUE.
  ASSERT_EQ(call(s, 4, DISPATCH_PROPERTYPUT, {qm_variant_i4(5)}, nullptr), S_OK);
  EXPECT_EQ(s.visible_, TRUE);
  ASSERT_EQ(call(s, 4, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &r), S_OK);
  EXPECT_EQ(r.vt, VT_BOOL);
  EXPECT_EQ(r.boolVal, VARIANT_TRUE);
  // A string result is a new BSTR of the GBK text.
  ASSERT_EQ(call(s, 1, DISPATCH_PROPERTYGET, {}, &r), S_OK);
  EXPECT_EQ(r.vt, VT_BSTR);
  EXPECT_EQ(qm_bstr_text(r.bstrVal), u"\u4e2d");
  VariantClear(&r);
  ASSERT_EQ(call(s, 1, DISPATCH_PROPERTYGET, {}, nullptr), S_OK);  // result dropped, freed
  EXPECT_EQ(call(s, 1, DISPATCH_PROPERTYPUT, {qm_variant_i4(1)}, nullptr), DISP_E_MEMBERNOTFOUND);
  // A put without the named argument is refused.
  VARIANT v = qm_variant_i4(1);
  DISPPARAMS p = {&v, nullptr, 1, 0};
  EXPECT_EQ(Shape::table().Invoke(&s, 3, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(s.color_, 255);
}

TEST(Dispatch, MethodsCoerceAndPassReferences) {
  Shape s;
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(call(s, 9, DISPATCH_METHOD, {qm_variant_bstr(qm_bstr_from_gbk("1.5")), qm_variant_r8(4)}, &r), S_OK);
  EXPECT_EQ(r.vt, VT_R8);
  EXPECT_EQ(r.dblVal, 6.0);
  double xs[3] = {1, 2, 3};
  ASSERT_EQ(call(s, 10, DISPATCH_METHOD, {qm_variant_ref(xs, 3), qm_variant_i4(3)}, &r), S_OK);
  EXPECT_EQ(r.lVal, 6);
  // The callee sees the real length and refuses a count beyond it.
  ASSERT_EQ(call(s, 10, DISPATCH_METHOD, {qm_variant_ref(xs, 3), qm_variant_i4(1000000)}, &r), S_OK);
  EXPECT_EQ(r.lVal, -1);
  ASSERT_EQ(call(s, 11, DISPATCH_METHOD, {qm_variant_bstr(qm_bstr_from_gbk("\xce\xc4"))}, nullptr), S_OK);
  EXPECT_EQ(s.name_, "\xce\xc4");
  BSTR text = nullptr;  // a null string is reallocated, never written through
  ASSERT_EQ(call(s, 12, DISPATCH_METHOD, {qm_variant_ref(&text)}, &r), S_OK);
  EXPECT_EQ(qm_bstr_text(text), u"12");
  SysFreeString(text);
  ASSERT_EQ(call(s, DISPID_ABOUTBOX, DISPATCH_METHOD, {}, &r), S_OK);
  EXPECT_EQ(s.touched_, 1);
}

TEST(Dispatch, HostileCallsGetTheirResultCode) {
  Shape s;
  struct Case {
    const char* what;
    DISPID id;
    WORD flags;
    std::vector<VARIANT> args;
    HRESULT hr;
    UINT arg_err;  // index within rgvarg, 99 when not set
  };
  std::vector<Case> cases = {
      {"unknown member", 73, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND, 99},
      {"too few", 9, DISPATCH_METHOD, {qm_variant_r8(1)}, DISP_E_BADPARAMCOUNT, 99},
      {"too many", 9, DISPATCH_METHOD, {qm_variant_r8(1), qm_variant_i2(1), qm_variant_i2(1)}, DISP_E_BADPARAMCOUNT, 99},
      {"property get with an argument", 3, DISPATCH_PROPERTYGET, {qm_variant_i4(1)}, DISP_E_BADPARAMCOUNT, 99},
      {"method asked as a property", 9, DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND, 99},
      {"text for a number", 9, DISPATCH_METHOD, {qm_variant_bstr(qm_bstr_from_gbk("x")), qm_variant_i2(1)},
       DISP_E_TYPEMISMATCH, 1},
      {"second argument overflows", 9, DISPATCH_METHOD, {qm_variant_r8(1), qm_variant_i4(99999)}, DISP_E_OVERFLOW, 0},
      {"value for a reference", 10, DISPATCH_METHOD, {qm_variant_r8(1), qm_variant_i4(1)}, DISP_E_TYPEMISMATCH, 1},
      {"reference of another type", 10, DISPATCH_METHOD, {qm_variant_ref(static_cast<LONG*>(nullptr), 2), qm_variant_i4(1)},
       DISP_E_TYPEMISMATCH, 1},
      {"null reference", 10, DISPATCH_METHOD, {qm_variant_ref(static_cast<double*>(nullptr), 2), qm_variant_i4(1)},
       E_INVALIDARG, 1},
      {"a dispatch object for a number", 9, DISPATCH_METHOD, {VARIANT{VT_DISPATCH, 0, 0, {}}, qm_variant_i2(1)},
       DISP_E_TYPEMISMATCH, 1},
      {"an unknown type", 9, DISPATCH_METHOD, {VARIANT{77, 0, 0, {}}, qm_variant_i2(1)}, DISP_E_BADVARTYPE, 1},
  };
  for (Case& c : cases) {
    VARIANT r;
    VariantInit(&r);
    UINT err = 0;
    EXPECT_EQ(call(s, c.id, c.flags, c.args, &r, &err), c.hr) << c.what;
    EXPECT_EQ(err, c.arg_err) << c.what;
    EXPECT_EQ(r.vt, VT_EMPTY) << c.what;
  }
  // Named arguments on a method, and inconsistent parameter blocks.
  VARIANT v[2] = {qm_variant_i2(1), qm_variant_r8(2)};
  DISPID named[1] = {0};
  DISPPARAMS p = {v, named, 2, 1};
  EXPECT_EQ(Shape::table().Invoke(&s, 9, DISPATCH_METHOD, &p, nullptr, nullptr), DISP_E_NONAMEDARGS);
  DISPPARAMS holes = {nullptr, nullptr, 2, 0};
  EXPECT_EQ(Shape::table().Invoke(&s, 9, DISPATCH_METHOD, &holes, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(Shape::table().Invoke(&s, 9, DISPATCH_METHOD, nullptr, nullptr, nullptr), E_INVALIDARG);
  DISPPARAMS too_named = {v, named, 0, 1};
  EXPECT_EQ(Shape::table().Invoke(&s, 9, DISPATCH_METHOD, &too_named, nullptr, nullptr), E_INVALIDARG);
}

// A container's sink that records the events it receives.
struct Recorder : IDispatch {
  std::vector<std::pair<DISPID, std::vector<LONG>>> got;
  QmEventSource* source = nullptr;
  DWORD drop = 0;  // a cookie to disconnect while called
  HRESULT GetIDsOfNames(const LPOLESTR*, UINT, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, WORD, DISPPARAMS* p, VARIANT*, UINT*) override {
    std::vector<LONG> args;
    for (UINT i = p->cArgs; i-- > 0;) {
      VARIANT& a = p->rgvarg[i];
      if (a.vt == (VT_I2 | VT_BYREF)) {
        args.push_back(*a.piVal);
        *a.piVal = 0;  // the container eats the key
      } else {
        VARIANT n;
        VariantInit(&n);
        VariantChangeType(&n, &a, 0, VT_I4);
        args.push_back(n.lVal);
      }
    }
    got.emplace_back(id, args);
    if (drop && source) source->Unadvise(drop);
    return S_OK;
  }
};

TEST(Events, FireReachesEverySinkInOrder) {
  QmEventSource src;
  Recorder a, b, c;
  const DWORD ca = src.Advise(&a);
  const DWORD cb = src.Advise(&b);
  src.Advise(&c);
  EXPECT_EQ(src.Advise(nullptr), 0u);
  EXPECT_NE(ca, cb);
  src.Fire(DISPID_MOUSEDOWN, {qm_variant_i2(1), qm_variant_i2(4), qm_variant_i4(10), qm_variant_i4(20)});
  const std::vector<LONG> want = {1, 4, 10, 20};
  EXPECT_EQ(a.got.at(0).second, want);
  EXPECT_EQ(c.got.at(0).first, DISPID_MOUSEDOWN);
  // A by-reference key code comes back changed by the sink.
  SHORT key = VK_RETURN;
  ASSERT_TRUE(src.Unadvise(cb));
  EXPECT_FALSE(src.Unadvise(cb));
  src.Fire(DISPID_KEYDOWN, {qm_variant_ref(&key), qm_variant_i2(0)});
  EXPECT_EQ(key, 0);
  EXPECT_EQ(a.got.at(1).second.at(0), VK_RETURN);
  EXPECT_EQ(b.got.size(), 1u);
  // A sink that disconnects a later one while called: the later one is spared.
  a.source = &src;
  a.drop = 3;
  src.Fire(DISPID_MOUSEUP, {});
  EXPECT_EQ(c.got.size(), 2u);
  EXPECT_EQ(src.SinkCount(), 1u);
}

}  // namespace
