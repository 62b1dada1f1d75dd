// The application object, its profile (a QmProfileStore) and the message
// boxes of the class library. A binary profile value is stored as
// hexadecimal digits.
#include <afxwin.h>
#include <qm_text.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The application objects alive, in the order they were made: a container's
// own application comes after the module object of a control library it
// loaded, and the module serves again once the container's is gone.
std::vector<CWinApp*>& apps() {
  static std::vector<CWinApp*> live;
  return live;
}

}  // namespace

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

CWinApp::CWinApp(LPCSTR app_name) : m_pszAppName(app_name ? app_name : "Quillmark"),
                                    profile_(std::make_unique<QmProfileStore>()) {
  apps().push_back(this);
}

CWinApp::~CWinApp() {
  auto& live = apps();
  live.erase(std::find(live.begin(), live.end(), this));
}

CWinApp* AfxGetApp() { return apps().empty() ? nullptr : apps().back(); }

CWnd* AfxGetMainWnd() {
  CWinApp* app = AfxGetApp();
  return app ? app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
  CWinApp* app = AfxGetApp();
  return app ? app->m_hInstance : nullptr;
}

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
  profile_ = std::make_unique<QmProfileStore>(qm_config_folder() + "/" + qm_gbk_to_utf8(name) + ".ini");
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
    const int h = qm_hex_digit(v[2 * i]), l = qm_hex_digit(v[2 * i + 1]);
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
