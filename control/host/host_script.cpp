// The steps quillmark_host adds to the programs' script player
// (qm_script.h): automation calls and property settings on the control, and
// the control's toolbar and menu commands.
#include "control/host/host_script.h"

#include <afxctl.h>
#include <qm_text.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>

#include "control/quill_frame.h"

namespace {

// A call or put step: the member, its arguments as written and where the
// result goes, read from the words after the verb.
struct Automation_Step {
  bool put = false;
  std::string member;
  std::vector<std::string> args;
  std::string result_name;
};

bool read_automation(const QmScriptStep& step, Automation_Step& a) {
  std::vector<std::string> words;
  if (!qm_script_words(step.rest, words) || words.empty()) return false;
  a.put = step.verb == "put";
  std::string name = words[0];
  if (!a.put) {
    const size_t eq = name.find('=');
    if (eq != std::string::npos) {
      a.result_name = name.substr(0, eq);
      name = name.substr(eq + 1);
      if (a.result_name.empty()) return false;
    }
  }
  if (name.empty() || name[0] == '"' || name[0] == '[' || name[0] == '$') return false;
  a.member = name;
  a.args.assign(words.begin() + 1, words.end());
  return !a.put || a.args.size() == 1;
}

// The system's error of the first answer that could not be written.
int& output_error() {
  static int first = 0;
  return first;
}

// One argument of a call, with what it owns until the call is done.
struct Host_Arg {
  VARIANT v;
  std::vector<double> reals;
  std::vector<LONG> longs;
  BSTR text = nullptr;  // the string a by-reference string argument points at
  SHORT small = 0;
  Host_Arg() { VariantInit(&v); }
  ~Host_Arg() {
    VariantClear(&v);
    SysFreeString(text);
  }
  Host_Arg(const Host_Arg&) = delete;
  Host_Arg& operator=(const Host_Arg&) = delete;
};

bool read_number(const std::string& word, double& out) {
  if (word.empty()) return false;
  char* end = nullptr;
  out = std::strtod(word.c_str(), &end);
  return *end == '\0';
}

bool read_array(const std::string& word, std::vector<double>& out) {
  if (word.size() < 2 || word.front() != '[' || word.back() != ']') return false;
  out.clear();
  std::string inner = word.substr(1, word.size() - 2);
  for (char& c : inner)
    if (c == ',') c = ' ';
  std::istringstream in(inner);
  std::string item;
  while (in >> item) {
    double v;
    if (!read_number(item, v)) return false;
    out.push_back(v);
  }
  return true;
}

BSTR bstr_of(const std::string& utf8) {
  const std::u16string text = qm_utf8_to_utf16(utf8);
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

std::string show(const VARIANT& v) {
  char buf[64];
  switch (v.vt) {
    case VT_I2: return std::to_string(v.iVal);
    case VT_I4: return std::to_string(v.lVal);
    case VT_BOOL: return v.boolVal ? "true" : "false";
    case VT_R8: std::snprintf(buf, sizeof buf, "%.15g", v.dblVal); return buf;
    case VT_BSTR: return "\"" + qm_utf16_to_utf8(qm_bstr_text(v.bstrVal)) + "\"";
    default: return "";
  }
}

std::string show_array(const std::vector<double>& a) {
  std::string s = "[";
  char buf[64];
  for (size_t i = 0; i < a.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%s%.15g", i ? ", " : "", a[i]);
    s += buf;
  }
  return s + "]";
}

// Calls and property settings of a script against the control.
class Automation_Runner {
 public:
  Automation_Runner(COleControl* control, FILE* out) : control_(control), out_(out) {}
  ~Automation_Runner() {
    for (auto& v : vars_) VariantClear(&v.second);
  }
  Automation_Runner(const Automation_Runner&) = delete;
  Automation_Runner& operator=(const Automation_Runner&) = delete;

  bool run(const QmScriptStep& step, std::string& error) {
    if (!control_) return fail("there is no control to call", error);
    Automation_Step s;
    read_automation(step, s);
    std::u16string name = qm_utf8_to_utf16(s.member);
    LPOLESTR names[1] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    const QmDispMember* m = nullptr;
    if (control_->GetIDsOfNames(names, 1, &id) == S_OK) m = control_->GetDispatchTable().find(id);
    if (!m) return fail("the control has no member \"" + s.member + "\"", error);
    const bool put = s.put;
    if (put && !m->property) return fail("\"" + s.member + "\" is no property", error);

    std::vector<std::unique_ptr<Host_Arg>> args;
    for (size_t i = 0; i < s.args.size(); ++i) {
      VARTYPE kind = VT_EMPTY;
      if (put)
        kind = m->result;
      else if (i < m->params.size())
        kind = m->params[i];
      args.push_back(std::make_unique<Host_Arg>());
      if (!make_arg(s.args[i], kind, *args.back()))
        return fail("argument " + std::to_string(i + 1) + " of " + s.member + " (" + s.args[i] + ") cannot be passed",
                    error);
    }
    std::vector<VARIANT> reversed;
    for (size_t i = args.size(); i-- > 0;) reversed.push_back(args[i]->v);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr,
                         static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    const WORD flags = put ? DISPATCH_PROPERTYPUT : (m->property ? DISPATCH_PROPERTYGET : DISPATCH_METHOD);
    VARIANT result;
    VariantInit(&result);
    UINT arg_err = 0;
    const HRESULT hr = control_->Invoke(id, flags, &params, put ? nullptr : &result, &arg_err);
    if (FAILED(hr)) {
      char code[16];
      std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
      std::string why = s.member + " refused the call (" + code + ")";
      if (hr == DISP_E_BADPARAMCOUNT) why = s.member + " takes " + std::to_string(m->params.size()) + " arguments";
      return fail(why, error);
    }
    if (put) return true;
    std::string line = s.member;
    if (result.vt != VT_EMPTY) line += " = " + show(result);
    for (const auto& a : args) {
      if (a->v.vt == (VT_R8 | VT_BYREF)) line += " " + show_array(a->reals);
      if (a->v.vt == (VT_I4 | VT_BYREF))
        line += " " + show_array(std::vector<double>(a->longs.begin(), a->longs.end()));
      if (a->v.vt == (VT_BSTR | VT_BYREF)) line += " \"" + qm_utf16_to_utf8(qm_bstr_text(a->text)) + "\"";
    }
    if ((std::fprintf(out_, "%s\n", line.c_str()) < 0 || std::fflush(out_) != 0) && output_error() == 0)
      output_error() = errno ? errno : EIO;
    if (!s.result_name.empty()) {
      VARIANT& kept = vars_[s.result_name];
      VariantClear(&kept);
      kept = result;  // the variable takes the result over
    } else {
      VariantClear(&result);
    }
    return true;
  }

 private:
  static bool fail(const std::string& why, std::string& error) {
    error = why;
    return false;
  }

  bool make_arg(const std::string& word, VARTYPE kind, Host_Arg& a) {
    if (!word.empty() && word[0] == '$') {
      auto it = vars_.find(word.substr(1));
      return it != vars_.end() && !(kind & VT_BYREF) && VariantCopy(&a.v, &it->second) == S_OK;
    }
    std::string text;
    if (kind == (VT_R8 | VT_BYREF) || kind == (VT_I4 | VT_BYREF)) {
      if (!read_array(word, a.reals)) return false;
      if (kind == (VT_R8 | VT_BYREF)) {
        a.v = qm_variant_ref(a.reals.data(), static_cast<ULONG>(a.reals.size()));
        return true;
      }
      for (double d : a.reals) {
        if (!(std::fabs(d) <= 2147483647.0)) return false;
        a.longs.push_back(static_cast<LONG>(d));
      }
      a.v = qm_variant_ref(a.longs.data(), static_cast<ULONG>(a.longs.size()));
      return true;
    }
    if (kind == (VT_BSTR | VT_BYREF)) {
      if (!qm_script_string(word, text)) return false;
      a.text = bstr_of(text);
      a.v = qm_variant_ref(&a.text);
      return true;
    }
    if (kind == (VT_I2 | VT_BYREF)) {
      double d;
      if (!read_number(word, d) || !(std::fabs(d) <= 32767.0)) return false;
      a.small = static_cast<SHORT>(d);
      a.v = qm_variant_ref(&a.small);
      return true;
    }
    if (qm_script_string(word, text)) {
      a.v = qm_variant_bstr(bstr_of(text));
      return true;
    }
    double d;
    if (!read_number(word, d)) return false;
    a.v = qm_variant_r8(d);
    return true;
  }

  COleControl* control_;
  FILE* out_;
  std::map<std::string, VARIANT> vars_;
};

}  // namespace

QmScriptVerbs host_script_verbs(COleControl* control, FILE* out) {
  auto automation = std::make_shared<Automation_Runner>(control, out);
  const auto run = [automation](const QmScriptStep& s, std::string& error) { return automation->run(s, error); };
  QmScriptVerbs verbs;
  const auto parse = [](QmScriptStep& s) {
    Automation_Step a;
    return read_automation(s, a);
  };
  verbs["call"] = {parse, run};
  verbs["put"] = {parse, run};
  verbs["command"] = {[](QmScriptStep& s) {
                        std::vector<std::string> words;
                        return qm_script_words(s.rest, words) && words.size() == 1 &&
                               qm_script_int(words[0], s.value) && s.value >= 0;
                      },
                      [](const QmScriptStep& s, std::string&) {
                        if (CQuillFrame* frame = CQuillFrame::current())
                          frame->SendMessage(WM_COMMAND, static_cast<WPARAM>(s.value), 0);
                        return true;
                      }};
  verbs["close"] = {[](QmScriptStep& s) { return s.rest.find_first_not_of(" \t\r") == std::string::npos; },
                    [control](const QmScriptStep&, std::string&) {
                      HWND top = control ? control->m_hWnd : nullptr;
                      while (top && ::GetParent(top)) top = ::GetParent(top);
                      if (top) ::SendMessageA(top, WM_CLOSE, 0, 0);
                      return true;
                    }};
  return verbs;
}

int host_output_error() { return output_error(); }

bool parse_host_script(const std::string& text, std::vector<Host_Step>& steps, std::string& error) {
  return qm_parse_script(text, host_script_verbs(nullptr), steps, error);
}

bool run_host_script(HWND root, COleControl* control, const std::vector<Host_Step>& steps, std::string& error,
                     FILE* out) {
  return qm_run_script(root, steps, host_script_verbs(control, out), error);
}
