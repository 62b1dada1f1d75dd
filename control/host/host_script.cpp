// Parsing and replaying quillmark_host's scripts.
#include "control/host/host_script.h"

#include <qm_user.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "control/quill_frame.h"

namespace {

struct Verb {
  Host_Step::Kind kind;
  int numbers;  // how many numbers follow the verb
};

const std::map<std::string, Verb>& verbs() {
  static const std::map<std::string, Verb> table = {
      {"move", {Host_Step::MOVE, 2}},   {"down", {Host_Step::DOWN, 2}},   {"up", {Host_Step::UP, 2}},
      {"click", {Host_Step::CLICK, 2}}, {"rdown", {Host_Step::RDOWN, 2}}, {"rup", {Host_Step::RUP, 2}},
      {"rclick", {Host_Step::RCLICK, 2}}, {"wheel", {Host_Step::WHEEL, 3}}, {"key", {Host_Step::KEY, 0}},
      {"char", {Host_Step::CHAR, 0}},   {"wait", {Host_Step::WAIT, 1}},   {"command", {Host_Step::COMMAND, 1}},
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
  if (!(in >> word)) return false;
  char* end = nullptr;
  const long v = std::strtol(word.c_str(), &end, 10);
  if (*end || v < -1000000 || v > 1000000) return false;
  out = static_cast<int>(v);
  return true;
}

// The deepest visible window under the client point of `root`, and the
// point in its client coordinates.
HWND target_at(HWND root, int x, int y, POINT& local) {
  HWND at = root;
  POINT p = {x, y};
  for (;;) {
    HWND child = ChildWindowFromPointEx(at, p, CWP_SKIPINVISIBLE);
    if (!child || child == at) break;
    ClientToScreen(at, &p);
    ScreenToClient(child, &p);
    at = child;
  }
  local = p;
  return at;
}

}  // namespace

bool parse_host_script(const std::string& text, std::vector<Host_Step>& steps, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) continue;
    auto verb = verbs().find(word);
    if (verb == verbs().end()) {
      error = "line " + std::to_string(number) + ": unknown step \"" + word + "\"";
      return false;
    }
    Host_Step step{verb->second.kind};
    step.line = number;
    bool ok = true;
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
    }
    std::string rest;
    if (!ok || (in >> rest)) {
      error = "line " + std::to_string(number) + ": malformed \"" + word + "\" step";
      return false;
    }
    steps.push_back(step);
  }
  return true;
}

void pump_host_messages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void run_host_script(HWND root, const std::vector<Host_Step>& steps) {
  POINT last = {0, 0};
  for (const Host_Step& s : steps) {
    POINT local = {0, 0};
    HWND target = nullptr;
    if (s.kind != Host_Step::KEY && s.kind != Host_Step::CHAR && s.kind != Host_Step::WAIT &&
        s.kind != Host_Step::COMMAND) {
      last = {s.x, s.y};
      target = target_at(root, s.x, s.y, local);
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
      case Host_Step::RDOWN: mouse(WM_RBUTTONDOWN); break;
      case Host_Step::RUP: mouse(WM_RBUTTONUP); break;
      case Host_Step::RCLICK: click(WM_RBUTTONDOWN, WM_RBUTTONUP); break;
      case Host_Step::WHEEL: qm_user_wheel(target, s.value, local.x, local.y); break;
      case Host_Step::KEY: {
        HWND at = target_at(root, last.x, last.y, local);
        qm_user_key(at, static_cast<UINT>(s.value), true);
        pump_host_messages();
        qm_user_key(at, static_cast<UINT>(s.value), false);
        break;
      }
      case Host_Step::CHAR: {
        HWND at = target_at(root, last.x, last.y, local);
        PostMessageA(at, WM_CHAR, static_cast<WPARAM>(s.value), 1);
        break;
      }
      case Host_Step::WAIT: qm_user_advance_clock(static_cast<DWORD>(s.value)); break;
      case Host_Step::COMMAND:
        if (CQuillFrame* frame = CQuillFrame::current())
          frame->SendMessage(WM_COMMAND, static_cast<WPARAM>(s.value), 0);
        break;
    }
    pump_host_messages();
  }
}
