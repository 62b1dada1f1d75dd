// The application object, its profile store and the message boxes of the
// class library. The profile file is INI-style text in UTF-8:
//   [Section]
//   Entry=value
// with values escaped (\\, \n, \r, \t, \xHH) so that any bytes survive; a
// binary value is stored as hexadecimal digits. A file that cannot be read,
// or lines that do not parse, give no values: the callers' defaults.
#include <afxwin.h>
#include <qm_text.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

CWinApp* g_app = nullptr;

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string escape(const std::string& v) {
  std::string out;
  for (unsigned char c : v) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool unescape(const std::string& in, std::string* out) {
  out->clear();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '\\') {
      *out += in[i];
      continue;
    }
    if (++i >= in.size()) return false;
    switch (in[i]) {
      case '\\': *out += '\\'; break;
      case 'n': *out += '\n'; break;
      case 'r': *out += '\r'; break;
      case 't': *out += '\t'; break;
      case 'x': {
        if (i + 2 >= in.size()) return false;
        const int h = hex_digit(in[i + 1]), l = hex_digit(in[i + 2]);
        if (h < 0 || l < 0) return false;
        *out += static_cast<char>(h * 16 + l);
        i += 2;
        break;
      }
      default: return false;
    }
  }
  return true;
}

std::string config_folder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return std::string(xdg) + "/quillmark";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.config/quillmark";
}

}  // namespace

QmProfileStore::QmProfileStore(std::string path) : path_(std::move(path)) {
  if (path_.empty()) return;
  std::ifstream in(path_, std::ios::binary);
  if (!in) return;
  std::ostringstream text;
  text << in.rdbuf();
  Load(text.str());
}

bool QmProfileStore::Get(const std::string& section, const std::string& entry, std::string* value) const {
  auto s = values_.find(lower(section));
  if (s == values_.end()) return false;
  auto e = s->second.find(lower(entry));
  if (e == s->second.end()) return false;
  *value = e->second;
  return true;
}

void QmProfileStore::Set(const std::string& section, const std::string& entry, const std::string& value) {
  values_[lower(section)][lower(entry)] = value;
}

void QmProfileStore::RemoveSection(const std::string& section) { values_.erase(lower(section)); }

std::vector<std::string> QmProfileStore::Entries(const std::string& section) const {
  std::vector<std::string> r;
  auto s = values_.find(lower(section));
  if (s != values_.end())
    for (auto& e : s->second) r.push_back(e.first);
  return r;
}

std::string QmProfileStore::Text() const {
  std::string out;
  for (auto& s : values_) {
    out += "[" + escape(s.first) + "]\n";
    for (auto& e : s.second) out += escape(e.first) + "=" + escape(e.second) + "\n";
  }
  return out;
}

void QmProfileStore::Load(const std::string& text) {
  values_.clear();
  std::string section;
  bool in_section = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      std::string name;
      in_section = line.back() == ']' && unescape(line.substr(1, line.size() - 2), &name);
      section = lower(name);
      continue;
    }
    const size_t eq = line.find('=');
    std::string key, value;
    // A damaged line is skipped; the rest of the file still counts.
    if (!in_section || eq == std::string::npos || !unescape(line.substr(0, eq), &key) ||
        !unescape(line.substr(eq + 1), &value))
      continue;
    values_[section][lower(key)] = value;
  }
}

bool QmProfileStore::Save(std::string* error) const {
  if (path_.empty()) return true;
  const std::string dir = path_.substr(0, path_.find_last_of('/'));
  if (!dir.empty() && dir != path_) {
    // Each missing folder of the path, parents first.
    for (size_t i = 1; i <= dir.size(); ++i)
      if (i == dir.size() || dir[i] == '/') mkdir(dir.substr(0, i).c_str(), 0755);
  }
  const std::string tmp = path_ + ".tmp";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) {
    if (error) *error = path_ + ": " + std::strerror(errno);
    return false;
  }
  const std::string text = Text();
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed || std::rename(tmp.c_str(), path_.c_str()) != 0) {
    if (error) *error = path_ + ": " + std::strerror(errno);
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

CWinApp::CWinApp(LPCSTR app_name) : m_pszAppName(app_name ? app_name : "Quillmark"),
                                    profile_(std::make_unique<QmProfileStore>()) {
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return g_app ? g_app->m_hInstance : nullptr; }

BOOL CWinApp::OnIdle(LONG count) {
  if (count == 0 && m_pMainWnd && ::IsWindow(m_pMainWnd->m_hWnd)) {
    AfxCallWndProc(m_pMainWnd, m_pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    m_pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
  }
  AfxDeleteTempObjects();
  return FALSE;
}

BOOL CWinApp::PreTranslate(MSG* msg) {
  // The window (or one of its parents) may take the message first.
  for (HWND h = msg ? msg->hwnd : nullptr; h; h = ::GetParent(h)) {
    CWnd* w = CWnd::FromHandlePermanent(h);
    if (w && w->PreTranslateMessage(msg)) return TRUE;
  }
  return FALSE;
}

BOOL CWinApp::PumpMessage() {
  MSG m;
  if (!::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) || m.message == WM_QUIT) return FALSE;
  if (PreTranslate(&m)) return TRUE;
  ::TranslateMessage(&m);
  ::DispatchMessageA(&m);
  return TRUE;
}

void CWinApp::SetRegistryKey(LPCSTR key) {
  std::string name = key && *key ? key : static_cast<LPCSTR>(m_pszAppName);
  for (char& c : name)
    if (c == '/' || c == '\\') c = '_';
  profile_ = std::make_unique<QmProfileStore>(config_folder() + "/" + qm_gbk_to_utf8(name) + ".ini");
}

UINT CWinApp::GetProfileInt(LPCSTR section, LPCSTR entry, int default_value) {
  std::string v;
  if (!section || !entry || !profile_->Get(section, entry, &v)) return static_cast<UINT>(default_value);
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(v.c_str(), &end, 10);
  if (end == v.c_str() || *end != '\0' || errno == ERANGE || n < INT32_MIN || n > UINT32_MAX)
    return static_cast<UINT>(default_value);
  return static_cast<UINT>(n);
}

BOOL CWinApp::WriteProfileInt(LPCSTR section, LPCSTR entry, int value) {
  return WriteProfileString(section, entry, std::to_string(value).c_str());
}

CString CWinApp::GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR default_value) {
  std::string v;
  if (!section || !entry || !profile_->Get(section, entry, &v)) return CString(default_value);
  return CString(v);
}

BOOL CWinApp::WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value) {
  if (!section) return FALSE;
  if (!entry) {
    profile_->RemoveSection(section);
  } else {
    profile_->Set(section, entry, value ? value : "");
  }
  return profile_->Save() ? TRUE : FALSE;
}

BOOL CWinApp::GetProfileBinary(LPCSTR section, LPCSTR entry, BYTE** data, UINT* bytes) {
  if (!data || !bytes) return FALSE;
  *data = nullptr;
  *bytes = 0;
  std::string v;
  if (!section || !entry || !profile_->Get(section, entry, &v) || v.size() % 2 != 0 || v.empty()) return FALSE;
  std::vector<BYTE> out(v.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    const int h = hex_digit(v[2 * i]), l = hex_digit(v[2 * i + 1]);
    if (h < 0 || l < 0) return FALSE;
    out[i] = static_cast<BYTE>(h * 16 + l);
  }
  *data = new BYTE[out.size()];
  std::memcpy(*data, out.data(), out.size());
  *bytes = static_cast<UINT>(out.size());
  return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCSTR section, LPCSTR entry, const BYTE* data, UINT bytes) {
  std::string hex;
  static const char digits[] = "0123456789ABCDEF";
  for (UINT i = 0; data && i < bytes; ++i) {
    hex += digits[data[i] >> 4];
    hex += digits[data[i] & 15];
  }
  return WriteProfileString(section, entry, hex.c_str());
}

void CWinApp::BeginWaitCursor() {
  if (wait_count_++ == 0) saved_cursor_ = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}

void CWinApp::EndWaitCursor() {
  if (wait_count_ == 0) return;
  if (--wait_count_ == 0) ::SetCursor(saved_cursor_);
}

int AfxMessageBox(LPCSTR text, UINT type, UINT) {
  CWnd* main = AfxGetMainWnd();
  CWinApp* app = AfxGetApp();
  return ::MessageBoxA(main ? main->m_hWnd : nullptr, text, app ? static_cast<LPCSTR>(app->m_pszAppName) : nullptr, type);
}

int AfxMessageBox(UINT id, UINT type, UINT help_id) {
  CString text;
  text.LoadString(id);
  return AfxMessageBox(text, type, help_id);
}
