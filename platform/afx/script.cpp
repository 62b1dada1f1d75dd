// Reading and replaying the programs' --script files (qm_script.h), and
// their --screenshot pictures.
#include <afxwin.h>
#include <commdlg.h>
#include <qm_file.h>
#include <qm_print.h>
#include <qm_script.h>
#include <qm_text.h>
#include <qm_user.h>
#include <ximage.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace {

constexpr size_t kMaxScriptBytes = 1 << 20;
constexpr const char* kMaxScriptText = "1 MiB";

struct Verb {
  QmScriptStep::Kind kind;
  int numbers;  // how many numbers follow the verb
};

const std::map<std::string, Verb>& verbs() {
  static const std::map<std::string, Verb> table = {
      {"move", {QmScriptStep::MOVE, 2}},
      {"down", {QmScriptStep::DOWN, 2}},
      {"up", {QmScriptStep::UP, 2}},
      {"click", {QmScriptStep::CLICK, 2}},
      {"rdown", {QmScriptStep::RDOWN, 2}},
      {"rup", {QmScriptStep::RUP, 2}},
      {"rclick", {QmScriptStep::RCLICK, 2}},
      {"wheel", {QmScriptStep::WHEEL, 3}},
      {"key", {QmScriptStep::KEY, 0}},
      {"char", {QmScriptStep::CHAR, 0}},
      {"wait", {QmScriptStep::WAIT, 1}},
      {"dblclick", {QmScriptStep::DBLCLICK, 2}},
      {"press", {QmScriptStep::PRESS, 1}},
      {"type", {QmScriptStep::TYPE, 0}},
      {"answer", {QmScriptStep::ANSWER_FILE, 0}},
      {"dialog", {QmScriptStep::DIALOG, 1}},
      {"pick", {QmScriptStep::PICK, 2}},
  };
  return table;
}

const std::map<std::string, int>& box_buttons() {
  static const std::map<std::string, int> table = {
      {"ok", IDOK},       {"cancel", IDCANCEL}, {"yes", IDYES},       {"no", IDNO},
      {"abort", IDABORT}, {"retry", IDRETRY},   {"ignore", IDIGNORE},
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

bool read_int(std::istringstream& in, int& out) {
  std::string word;
  return (in >> word) && qm_script_int(word, out);
}

// type ITEM "TEXT", answer file "PATH", answer folder "PATH", answer color
// R G B, answer print FROM TO.
bool parse_text_step(const std::string& rest, QmScriptStep& step) {
  std::vector<std::string> words;
  if (!qm_script_words(rest, words) || words.empty()) return false;
  const auto number = [](const std::string& word, int lo, int hi, int& out) {
    return qm_script_int(word, out) && out >= lo && out <= hi;
  };
  if (step.kind == QmScriptStep::TYPE)
    return words.size() == 2 && number(words[0], 0, 65535, step.value) && qm_script_string(words[1], step.text);
  if (words[0] == "file" || words[0] == "folder") {
    if (words[0] == "folder") step.kind = QmScriptStep::ANSWER_FOLDER;
    return words.size() == 2 && qm_script_string(words[1], step.text) && !step.text.empty();
  }
  if (words[0] == "color") {
    step.kind = QmScriptStep::ANSWER_COLOR;
    return words.size() == 4 && number(words[1], 0, 255, step.x) && number(words[2], 0, 255, step.y) &&
           number(words[3], 0, 255, step.value);
  }
  if (words[0] == "box") {
    step.kind = QmScriptStep::ANSWER_BOX;
    const auto button = words.size() == 2 ? box_buttons().find(words[1]) : box_buttons().end();
    if (button == box_buttons().end()) return false;
    step.value = button->second;
    return true;
  }
  if (words[0] == "print") {
    step.kind = QmScriptStep::ANSWER_PRINT;
    if (words.size() == 4 && words[3] != "printer") return false;
    if (words.size() == 4) step.text = words[3];
    return (words.size() == 3 || words.size() == 4) && number(words[1], 1, 65535, step.x) &&
           number(words[2], step.x, 65535, step.y);
  }
  return false;
}

// The numbers and names of a built-in step after its verb; false when they
// are not what the verb takes.
bool parse_fixed_step(std::istringstream& in, int numbers, QmScriptStep& step) {
  bool ok = true;
  if (step.kind == QmScriptStep::KEY) {
    std::string name;
    ok = static_cast<bool>(in >> name);
    auto known = key_names().find(name);
    if (ok && known != key_names().end()) {
      step.value = known->second;
    } else if (ok) {
      ok = qm_script_int(name, step.value) && step.value > 0 && step.value < 256;
    }
  } else if (step.kind == QmScriptStep::CHAR) {
    // One character: a byte, or one UTF-8 character the code page has,
    // kept as its GBK code (lead byte high), typed as its two bytes.
    std::string c;
    ok = static_cast<bool>(in >> c);
    const std::u16string wide = ok && c.size() > 1 && qm_is_utf8(c) ? qm_utf8_to_utf16(c) : std::u16string();
    const std::string gbk = wide.size() == 1 ? qm_utf16_to_gbk(wide) : std::string();
    if (ok && c.size() == 1)
      step.value = static_cast<unsigned char>(c[0]);
    else if (gbk.size() == 2 && qm_gbk_to_utf16(gbk) == wide)
      step.value = static_cast<unsigned char>(gbk[0]) << 8 | static_cast<unsigned char>(gbk[1]);
    else
      ok = false;
  } else if (numbers == 1) {
    ok = read_int(in, step.value) && step.value >= 0;
  } else {
    ok = read_int(in, step.x) && read_int(in, step.y) && (numbers == 2 || read_int(in, step.value));
    if (step.kind == QmScriptStep::PICK) {
      ok = ok && step.x >= 0 && step.y >= 0;
      step.value = step.x;  // the item; x is the entry
      step.x = step.y;
    }
  }
  std::string extra;
  return ok && !(in >> extra);
}

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

bool has_point(QmScriptStep::Kind k) {
  switch (k) {
    case QmScriptStep::MOVE:
    case QmScriptStep::DOWN:
    case QmScriptStep::UP:
    case QmScriptStep::CLICK:
    case QmScriptStep::DBLCLICK:
    case QmScriptStep::RDOWN:
    case QmScriptStep::RUP:
    case QmScriptStep::RCLICK:
    case QmScriptStep::WHEEL: return true;
    default: return false;
  }
}

bool run_steps(HWND root, const std::vector<QmScriptStep>& steps, const QmScriptVerbs& program,
               const std::shared_ptr<std::string>& in_dialog, std::string& error);

// One step; false with the reason (without the line) in `why`.
bool run_step(HWND root, const QmScriptStep& s, const QmScriptVerbs& program,
              const std::shared_ptr<std::string>& in_dialog, POINT& last, std::string& why) {
  if (s.kind == QmScriptStep::PROGRAM) {
    auto verb = program.find(s.verb);
    return verb != program.end() && verb->second.run(s, why);
  }
  HWND item = nullptr;
  if (s.kind == QmScriptStep::PRESS || s.kind == QmScriptStep::TYPE || s.kind == QmScriptStep::PICK) {
    item = item_within(root, s.value);
    if (!item) {
      why = "no window has the item number " + std::to_string(s.value);
      return false;
    }
  }
  POINT local = {0, 0};
  HWND target = nullptr;
  if (has_point(s.kind)) {
    last = {s.x, s.y};
    target = qm_user_window_at(root, s.x, s.y, local);
  }
  auto mouse = [&](UINT msg) { qm_user_mouse(target, msg, local.x, local.y); };
  auto click = [&](UINT down, UINT up) {
    mouse(down);
    qm_pump_messages();
    mouse(up);
  };
  switch (s.kind) {
    case QmScriptStep::MOVE: mouse(WM_MOUSEMOVE); break;
    case QmScriptStep::DOWN: mouse(WM_LBUTTONDOWN); break;
    case QmScriptStep::UP: mouse(WM_LBUTTONUP); break;
    case QmScriptStep::CLICK: click(WM_LBUTTONDOWN, WM_LBUTTONUP); break;
    case QmScriptStep::DBLCLICK:
      click(WM_LBUTTONDOWN, WM_LBUTTONUP);
      qm_pump_messages();
      click(WM_LBUTTONDBLCLK, WM_LBUTTONUP);
      break;
    case QmScriptStep::RDOWN: mouse(WM_RBUTTONDOWN); break;
    case QmScriptStep::RUP: mouse(WM_RBUTTONUP); break;
    case QmScriptStep::RCLICK: click(WM_RBUTTONDOWN, WM_RBUTTONUP); break;
    case QmScriptStep::WHEEL: qm_user_wheel(target, s.value, local.x, local.y); break;
    case QmScriptStep::KEY: {
      HWND at = qm_user_window_at(root, last.x, last.y, local);
      qm_user_key(at, static_cast<UINT>(s.value), true);
      qm_pump_messages();
      qm_user_key(at, static_cast<UINT>(s.value), false);
      break;
    }
    case QmScriptStep::CHAR: {
      HWND at = qm_user_window_at(root, last.x, last.y, local);
      if (s.value > 0xFF) PostMessageA(at, WM_CHAR, static_cast<WPARAM>(s.value >> 8), 1);  // the lead byte
      PostMessageA(at, WM_CHAR, static_cast<WPARAM>(s.value & 0xFF), 1);
      break;
    }
    case QmScriptStep::WAIT: qm_user_advance_clock(static_cast<DWORD>(s.value)); break;
    case QmScriptStep::PRESS: SendMessageA(item, BM_CLICK, 0, 0); break;
    case QmScriptStep::TYPE:
      if (!qm_user_type(item, qm_utf8_to_gbk(s.text).c_str())) {
        why = "item " + std::to_string(s.value) + " takes no typing";
        return false;
      }
      break;
    case QmScriptStep::PICK:
      if (!qm_user_pick(item, s.x)) {
        why = "item " + std::to_string(s.value) + " has no entry " + std::to_string(s.x) + " to pick";
        return false;
      }
      break;
    case QmScriptStep::ANSWER_COLOR: qm_user_push_color_answer({true, RGB(s.x, s.y, s.value)}); break;
    case QmScriptStep::ANSWER_FILE: qm_user_push_file_dialog_answer(qm_utf8_to_gbk(s.text).c_str()); break;
    case QmScriptStep::ANSWER_FOLDER: qm_user_push_folder_answer(qm_utf8_to_gbk(s.text).c_str()); break;
    case QmScriptStep::ANSWER_PRINT:
      qm_print_push_dialog_answer({true,
                                   static_cast<DWORD>(s.text.empty() ? PD_PRINTTOFILE | PD_PAGENUMS : PD_PAGENUMS),
                                   static_cast<WORD>(s.x), static_cast<WORD>(s.y), 1});
      break;
    case QmScriptStep::ANSWER_BOX: qm_user_push_message_box_answer(s.value); break;
    case QmScriptStep::DIALOG:
      // The steps run once the dialog shows, while a later step waits for
      // it to end; what goes wrong there is told when that step returns.
      // The verbs are copied: a dialog that shows only after the script has
      // ended still finds them.
      AfxPushDialogScript(static_cast<UINT>(s.value), [user = s.in_dialog, program, in_dialog](CDialog& d) {
        std::string failure;
        if (!run_steps(d.m_hWnd, user, program, in_dialog, failure) && in_dialog->empty()) *in_dialog = failure;
      });
      break;
    case QmScriptStep::PROGRAM: break;
  }
  return true;
}

bool run_steps(HWND root, const std::vector<QmScriptStep>& steps, const QmScriptVerbs& program,
               const std::shared_ptr<std::string>& in_dialog, std::string& error) {
  POINT last = {0, 0};
  const bool has_window = root && IsWindow(root);
  for (const QmScriptStep& s : steps) {
    // A step may close the program's window, as its user may: the steps
    // after it have nowhere to go.
    if (has_window && !IsWindow(root)) break;
    std::string why;
    const bool done = run_step(root, s, program, in_dialog, last, why);
    if (done) qm_pump_messages();
    if (!done || !in_dialog->empty()) {
      if (done) why = *in_dialog;
      error = why.rfind("line ", 0) == 0 ? why : "line " + std::to_string(s.line) + ": " + why;
      return false;
    }
  }
  return true;
}

}  // namespace

bool qm_script_words(const std::string& text, std::vector<std::string>& words) {
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

bool qm_script_string(const std::string& word, std::string& out) {
  if (word.size() < 2 || word.front() != '"' || word.back() != '"') return false;
  out.clear();
  for (size_t i = 1; i + 1 < word.size(); ++i) {
    if (word[i] == '\\' && i + 2 < word.size()) ++i;
    out.push_back(word[i]);
  }
  return true;
}

bool qm_script_int(const std::string& word, int& out) {
  if (word.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(word.c_str(), &end, 10);
  if (*end || v < -1000000 || v > 1000000) return false;
  out = static_cast<int>(v);
  return true;
}

bool qm_parse_script(const std::string& text, const QmScriptVerbs& program, std::vector<QmScriptStep>& steps,
                     std::string& error) {
  // The dialogs whose steps are being read, innermost last.
  std::vector<QmScriptStep> open;
  const auto add = [&](QmScriptStep s) { (open.empty() ? steps : open.back().in_dialog).push_back(std::move(s)); };
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) continue;
    const std::string at = "line " + std::to_string(number) + ": ";
    if (word == "end") {
      std::string rest;
      if (open.empty() || (in >> rest)) {
        error = at + "\"end\" closes no dialog";
        return false;
      }
      QmScriptStep done = std::move(open.back());
      open.pop_back();
      add(std::move(done));
      continue;
    }
    QmScriptStep step;
    step.verb = word;
    step.line = number;
    const auto own = program.find(word);
    const auto built_in = verbs().find(word);
    if (own == program.end() && built_in == verbs().end()) {
      error = at + "unknown step \"" + word + "\"";
      return false;
    }
    bool ok;
    if (own != program.end()) {
      step.kind = QmScriptStep::PROGRAM;
      std::getline(in, step.rest);
      ok = own->second.parse(step);
    } else if ((step.kind = built_in->second.kind) == QmScriptStep::TYPE || step.kind == QmScriptStep::ANSWER_FILE) {
      std::string rest;
      std::getline(in, rest);
      ok = parse_text_step(rest, step);
    } else {
      ok = parse_fixed_step(in, built_in->second.numbers, step);
    }
    if (!ok) {
      error = at + "malformed \"" + word + "\" step";
      return false;
    }
    if (step.kind == QmScriptStep::DIALOG)
      open.push_back(std::move(step));
    else
      add(std::move(step));
  }
  if (!open.empty()) {
    error = "line " + std::to_string(open.back().line) + ": the dialog's steps have no \"end\"";
    return false;
  }
  return true;
}

bool qm_run_script(HWND root, const std::vector<QmScriptStep>& steps, const QmScriptVerbs& program,
                   std::string& error) {
  return run_steps(root, steps, program, std::make_shared<std::string>(), error);
}

bool qm_read_script_text(const std::string& path, std::string& text, std::string& why) {
  errno = 0;
  FILE* f = qm_fopen(path.c_str(), "rb");  // regular files only: no pipe blocks the program
  if (!f) {
    why = qm_file_error(path.c_str(), errno ? errno : EINVAL);
    return false;
  }
  const bool small = std::fseek(f, 0, SEEK_END) == 0 && std::ftell(f) >= 0 &&
                     static_cast<unsigned long>(std::ftell(f)) <= kMaxScriptBytes;
  std::fclose(f);
  if (!small) {
    why = std::string("is larger than the ") + kMaxScriptText + " a script may have";
    return false;
  }
  errno = 0;
  if (qm_read_file(path.c_str(), text, kMaxScriptBytes)) return true;
  why = qm_file_error(path.c_str(), errno ? errno : EIO);
  return false;
}

bool qm_load_script(const std::string& path, const QmScriptVerbs& program, std::vector<QmScriptStep>& steps,
                    std::string& error, bool& unreadable) {
  std::string text, why;
  unreadable = !qm_read_script_text(path, text, why);
  if (unreadable) {
    error = path + ": " + why;
    return false;
  }
  if (!qm_parse_script(text, program, steps, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

void qm_pump_messages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

bool qm_save_window_picture(HWND hwnd, const std::string& path, std::string& error) {
  const DWORD format = qm_picture_format(path.c_str());
  if (format == CXIMAGE_FORMAT_UNKNOWN) {
    error = path + ": no picture type has this extension; name it with one of " + qm_picture_extensions();
    return false;
  }
  std::vector<uint32_t> pixels;
  int w = 0, h = 0;
  if (!qm_user_screen_image(hwnd, &pixels, &w, &h)) {
    error = path + ": the window has not painted";
    return false;
  }
  CxImage image;
  image.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = pixels[size_t(y) * size_t(w) + size_t(x)];  // 0x00RRGGBB
      image.SetPixelColor(x, y, RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
  errno = 0;
  if (!image.Save(path.c_str(), format)) {
    error = path + ": " + (errno ? qm_file_error(path.c_str(), errno) : "the picture could not be written");
    return false;
  }
  return true;
}
