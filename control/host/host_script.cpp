// Parsing and replaying quillmark_host's scripts.
#include "control/host/host_script.h"

#include <afxctl.h>
#include <commdlg.h>
#include <qm_print.h>
#include <qm_text.h>
#include <qm_user.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>

#include "control/quill_frame.h"

namespace {

struct Verb {
  Host_Step::Kind kind;
  int numbers;  // how many numbers follow the verb
};

const std::map<std::string, Verb>& verbs() {
  static const std::map<std::string, Verb> table = {
      {"move", {Host_Step::MOVE, 2}},     {"down", {Host_Step::DOWN, 2}},   {"up", {Host_Step::UP, 2}},
      {"click", {Host_Step::CLICK, 2}},   {"rdown", {Host_Step::RDOWN, 2}}, {"rup", {Host_Step::RUP, 2}},
      {"rclick", {Host_Step::RCLICK, 2}}, {"wheel", {Host_Step::WHEEL, 3}}, {"key", {Host_Step::KEY, 0}},
      {"char", {Host_Step::CHAR, 0}},     {"wait", {Host_Step::WAIT, 1}},   {"command", {Host_Step::COMMAND, 1}},
      {"call", {Host_Step::CALL, 0}},     {"put", {Host_Step::PUT, 0}},     {"dblclick", {Host_Step::DBLCLICK, 2}},
      {"press", {Host_Step::PRESS, 1}},   {"type", {Host_Step::TYPE, 0}},   {"answer", {Host_Step::ANSWER_FILE, 0}},
      {"dialog", {Host_Step::DIALOG, 1}},   {"pick", {Host_Step::PICK, 2}},
  };
  return table;
}

const std::map<std::string, int>& key_names() {
  static const std::map<std::string, int> table = {
      {"enter", VK_RETURN}, {"up", VK_UP},         {"down", VK_DOWN},     {"left", VK_LEFT},
      {"right", VK_RIGHT},  {"escape", VK_ESCAPE}, {"delete", VK_DELETE},
  };
  return table;
}

bool read_string(const std::string& word, std::string& out);

bool read_int(std::istringstream& in, int& out) {
  std::string word;
  if (!(in >> word)) return false;
  char* end = nullptr;
  const long v = std::strtol(word.c_str(), &end, 10);
  if (*end || v < -1000000 || v > 1000000) return false;
  out = static_cast<int>(v);
  return true;
}

// The words of an automation step: "strings" and [arrays] are one word
// each, quotes and escapes kept so that a word's kind shows. False for an
// open string or array.
bool split_words(const std::string& text, std::vector<std::string>& words) {
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
      ++i;
      continue;
    }
    const size_t start = i;
    if (text[i] == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i)
        if (text[i] == '\\') ++i;
      if (i >= text.size()) return false;
      ++i;
    } else if (text[i] == '[') {
      i = text.find(']', i);
      if (i == std::string::npos) return false;
      ++i;
    } else {
      while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r') ++i;
    }
    words.push_back(text.substr(start, i - start));
  }
  return true;
}

bool parse_automation(const std::string& rest, Host_Step& step) {
  std::vector<std::string> words;
  if (!split_words(rest, words) || words.empty()) return false;
  std::string name = words[0];
  if (step.kind == Host_Step::CALL) {
    const size_t eq = name.find('=');
    if (eq != std::string::npos) {
      step.result_name = name.substr(0, eq);
      name = name.substr(eq + 1);
      if (step.result_name.empty()) return false;
    }
  }
  if (name.empty() || name[0] == '"' || name[0] == '[' || name[0] == '$') return false;
  step.member = name;
  step.args.assign(words.begin() + 1, words.end());
  return step.kind == Host_Step::CALL || step.args.size() == 1;
}

// type ITEM "TEXT", answer file "PATH", answer color R G B, answer print
// FROM TO.
bool parse_text_step(const std::string& rest, Host_Step& step) {
  std::vector<std::string> words;
  if (!split_words(rest, words) || words.empty()) return false;
  const auto number = [](const std::string& word, int lo, int hi, int& out) {
    std::istringstream in(word);
    return read_int(in, out) && out >= lo && out <= hi;
  };
  if (step.kind == Host_Step::TYPE)
    return words.size() == 2 && number(words[0], 0, 65535, step.value) && read_string(words[1], step.text);
  if (words[0] == "file") return words.size() == 2 && read_string(words[1], step.text) && !step.text.empty();
  if (words[0] == "color") {
    step.kind = Host_Step::ANSWER_COLOR;
    return words.size() == 4 && number(words[1], 0, 255, step.x) && number(words[2], 0, 255, step.y) &&
           number(words[3], 0, 255, step.value);
  }
  if (words[0] == "print") {
    step.kind = Host_Step::ANSWER_PRINT;
    return words.size() == 3 && number(words[1], 1, 65535, step.x) && number(words[2], step.x, 65535, step.y);
  }
  return false;
}

}  // namespace

bool parse_host_script(const std::string& text, std::vector<Host_Step>& steps, std::string& error) {
  // The dialogs whose steps are being read, innermost last.
  std::vector<Host_Step> open;
  const auto add = [&](Host_Step s) { (open.empty() ? steps : open.back().in_dialog).push_back(std::move(s)); };
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) continue;
    if (word == "end") {
      std::string rest;
      if (open.empty() || (in >> rest)) {
        error = "line " + std::to_string(number) + ": \"end\" closes no dialog";
        return false;
      }
      Host_Step done = std::move(open.back());
      open.pop_back();
      add(done);
      continue;
    }
    auto verb = verbs().find(word);
    if (verb == verbs().end()) {
      error = "line " + std::to_string(number) + ": unknown step \"" + word + "\"";
      return false;
    }
    Host_Step step;
    step.kind = verb->second.kind;
    step.line = number;
    bool ok = true;
    if (step.kind == Host_Step::CALL || step.kind == Host_Step::PUT) {
      std::string rest;
      std::getline(in, rest);
      if (!parse_automation(rest, step)) {
        error = "line " + std::to_string(number) + ": malformed \"" + word + "\" step";
        return false;
      }
      add(step);
      continue;
    }
    if (step.kind == Host_Step::TYPE || step.kind == Host_Step::ANSWER_FILE) {
      std::string rest;
      std::getline(in, rest);
      ok = parse_text_step(rest, step);
      if (!ok) {
        error = "line " + std::to_string(number) + ": malformed \"" + word + "\" step";
        return false;
      }
      add(step);
      continue;
    }
    if (step.kind == Host_Step::KEY) {
      std::string name;
      ok = static_cast<bool>(in >> name);
      auto known = key_names().find(name);
      if (ok && known != key_names().end()) {
        step.value = known->second;
      } else if (ok) {
        std::istringstream code(name);
        ok = read_int(code, step.value) && step.value > 0 && step.value < 256;
      }
    } else if (step.kind == Host_Step::CHAR) {
      std::string c;
      ok = static_cast<bool>(in >> c) && c.size() == 1;
      if (ok) step.value = static_cast<unsigned char>(c[0]);
    } else if (verb->second.numbers == 1) {
      ok = read_int(in, step.value) && step.value >= 0;
    } else {
      ok = read_int(in, step.x) && read_int(in, step.y) && (verb->second.numbers == 2 || read_int(in, step.value));
      if (step.kind == Host_Step::PICK) {
        ok = ok && step.x >= 0 && step.y >= 0;
        step.value = step.x;  // the item; x is the entry
        step.x = step.y;
      }
    }
    std::string rest;
    if (!ok || (in >> rest)) {
      error = "line " + std::to_string(number) + ": malformed \"" + word + "\" step";
      return false;
    }
    if (step.kind == Host_Step::DIALOG) {
      open.push_back(step);
      continue;
    }
    add(step);
  }
  if (!open.empty()) {
    error = "line " + std::to_string(open.back().line) + ": the dialog's steps have no \"end\"";
    return false;
  }
  return true;
}

namespace {

int& output_error() {
  static int first = 0;
  return first;
}

}  // namespace

int host_output_error() { return output_error(); }

void pump_host_messages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

namespace {

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

// The text of a "string" word (UTF-8), its escapes resolved.
bool read_string(const std::string& word, std::string& out) {
  if (word.size() < 2 || word.front() != '"' || word.back() != '"') return false;
  out.clear();
  for (size_t i = 1; i + 1 < word.size(); ++i) {
    if (word[i] == '\\' && i + 2 < word.size()) ++i;
    out.push_back(word[i]);
  }
  return true;
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

  bool run(const Host_Step& s, std::string& error) {
    if (!control_) return fail("there is no control to call", error);
    std::u16string name = qm_utf8_to_utf16(s.member);
    LPOLESTR names[1] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    const QmDispMember* m = nullptr;
    if (control_->GetIDsOfNames(names, 1, &id) == S_OK) m = control_->GetDispatchTable().find(id);
    if (!m) return fail("the control has no member \"" + s.member + "\"", error);
    const bool put = s.kind == Host_Step::PUT;
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
      if (!read_string(word, text)) return false;
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
    if (read_string(word, text)) {
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

// The first visible window with the item number among the windows within
// `parent`, depth first.
HWND item_within(HWND parent, int item) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    if (GetDlgCtrlID(c) == item) return c;
    if (HWND inner = item_within(c, item)) return inner;
  }
  return nullptr;
}

bool has_point(Host_Step::Kind k) {
  switch (k) {
    case Host_Step::MOVE:
    case Host_Step::DOWN:
    case Host_Step::UP:
    case Host_Step::CLICK:
    case Host_Step::DBLCLICK:
    case Host_Step::RDOWN:
    case Host_Step::RUP:
    case Host_Step::RCLICK:
    case Host_Step::WHEEL: return true;
    default: return false;
  }
}

}  // namespace

bool run_host_script(HWND root, COleControl* control, const std::vector<Host_Step>& steps, std::string& error,
                     FILE* out) {
  Automation_Runner automation(control, out);
  // What went wrong in a dialog's steps, which run while a later step waits
  // for the dialog to end.
  auto in_dialog = std::make_shared<std::string>();
  const auto failed = [&](const Host_Step& s, const std::string& why) {
    error = why.rfind("line ", 0) == 0 ? why : "line " + std::to_string(s.line) + ": " + why;
    return false;
  };
  POINT last = {0, 0};
  for (const Host_Step& s : steps) {
    POINT local = {0, 0};
    HWND target = nullptr;
    if (s.kind == Host_Step::CALL || s.kind == Host_Step::PUT) {
      if (!automation.run(s, error)) return failed(s, error);
      pump_host_messages();
      if (!in_dialog->empty()) return failed(s, *in_dialog);
      continue;
    }
    HWND item = nullptr;
    if (s.kind == Host_Step::PRESS || s.kind == Host_Step::TYPE || s.kind == Host_Step::PICK) {
      item = item_within(root, s.value);
      if (!item) return failed(s, "no window has the item number " + std::to_string(s.value));
    }
    if (has_point(s.kind)) {
      last = {s.x, s.y};
      target = qm_user_window_at(root, s.x, s.y, local);
    }
    auto mouse = [&](UINT msg) { qm_user_mouse(target, msg, local.x, local.y); };
    auto click = [&](UINT down, UINT up) {
      mouse(down);
      pump_host_messages();
      mouse(up);
    };
    switch (s.kind) {
      case Host_Step::MOVE: mouse(WM_MOUSEMOVE); break;
      case Host_Step::DOWN: mouse(WM_LBUTTONDOWN); break;
      case Host_Step::UP: mouse(WM_LBUTTONUP); break;
      case Host_Step::CLICK: click(WM_LBUTTONDOWN, WM_LBUTTONUP); break;
      case Host_Step::DBLCLICK:
        click(WM_LBUTTONDOWN, WM_LBUTTONUP);
        pump_host_messages();
        click(WM_LBUTTONDBLCLK, WM_LBUTTONUP);
        break;
      case Host_Step::RDOWN: mouse(WM_RBUTTONDOWN); break;
      case Host_Step::RUP: mouse(WM_RBUTTONUP); break;
      case Host_Step::RCLICK: click(WM_RBUTTONDOWN, WM_RBUTTONUP); break;
      case Host_Step::WHEEL: qm_user_wheel(target, s.value, local.x, local.y); break;
      case Host_Step::KEY: {
        HWND at = qm_user_window_at(root, last.x, last.y, local);
        qm_user_key(at, static_cast<UINT>(s.value), true);
        pump_host_messages();
        qm_user_key(at, static_cast<UINT>(s.value), false);
        break;
      }
      case Host_Step::CHAR: {
        HWND at = qm_user_window_at(root, last.x, last.y, local);
        PostMessageA(at, WM_CHAR, static_cast<WPARAM>(s.value), 1);
        break;
      }
      case Host_Step::WAIT: qm_user_advance_clock(static_cast<DWORD>(s.value)); break;
      case Host_Step::COMMAND:
        if (CQuillFrame* frame = CQuillFrame::current())
          frame->SendMessage(WM_COMMAND, static_cast<WPARAM>(s.value), 0);
        break;
      case Host_Step::PRESS: SendMessageA(item, BM_CLICK, 0, 0); break;
      case Host_Step::TYPE:
        if (!qm_user_type(item, qm_utf8_to_gbk(s.text).c_str()))
          return failed(s, "item " + std::to_string(s.value) + " takes no typing");
        break;
      case Host_Step::PICK:
        if (!qm_user_pick(item, s.x))
          return failed(s, "item " + std::to_string(s.value) + " has no entry " + std::to_string(s.x) + " to pick");
        break;
      case Host_Step::ANSWER_COLOR: qm_user_push_color_answer({true, RGB(s.x, s.y, s.value)}); break;
      case Host_Step::ANSWER_FILE: qm_user_push_file_dialog_answer(qm_utf8_to_gbk(s.text).c_str()); break;
      case Host_Step::ANSWER_PRINT:
        qm_print_push_dialog_answer({true, PD_PRINTTOFILE | PD_PAGENUMS, static_cast<WORD>(s.x),
                                     static_cast<WORD>(s.y), 1});
        break;
      case Host_Step::DIALOG:
        AfxPushDialogScript(static_cast<UINT>(s.value),
                            [user = s.in_dialog, control, out, in_dialog](CDialog& d) {
                              std::string why;
                              if (!run_host_script(d.m_hWnd, control, user, why, out) && in_dialog->empty())
                                *in_dialog = why;
                            });
        break;
      case Host_Step::CALL:
      case Host_Step::PUT: break;
    }
    pump_host_messages();
    if (!in_dialog->empty()) return failed(s, *in_dialog);
  }
  return true;
}
