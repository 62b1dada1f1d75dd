// Shell requests, recorded instead of carried out: a headless program must
// never start another program or open a browser, and tests read what it
// asked for.
#include <qm_user.h>
#include <shellapi.h>
#include <strings.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/user/user_internal.h"

namespace qmuser {
namespace {

constexpr INT_PTR kDone = 33;  // any value above 32 means success

std::vector<QmShellRequest>& requests() {
  static std::vector<QmShellRequest> r;
  return r;
}

// "scheme:..." with a scheme of two or more characters (so that "C:\x" is a
// path).
bool is_url(const std::string& s) {
  size_t colon = s.find(':');
  if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
  for (size_t i = 1; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

std::string text(LPCSTR s) { return s ? s : ""; }

}  // namespace

void clear_shell_requests() { requests().clear(); }

}  // namespace qmuser

using namespace qmuser;

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show) {
  QmShellRequest r{owner, text(verb), text(file), text(parameters), text(directory), show, 0};
  if (verb && strcasecmp(verb, "open") != 0)
    r.answer = SE_ERR_NOASSOC;
  else if (r.file.empty())
    r.answer = SE_ERR_FNF;
  else if (is_url(r.file))
    r.answer = kDone;
  else
    r.answer = GetFileAttributesA(file) == INVALID_FILE_ATTRIBUTES ? SE_ERR_FNF : kDone;
  requests().push_back(r);
  return reinterpret_cast<HINSTANCE>(r.answer);
}

const std::vector<QmShellRequest>& qm_user_shell_requests() { return requests(); }
void qm_user_clear_shell_requests() { requests().clear(); }
