// Finding files by a pattern in one folder. The folder part of the pattern
// goes through the platform's path mapping; names match the last part with
// '*' and '?' without regard to ASCII case, as on the original file system.
#include <afxwin.h>
#include <dirent.h>
#include <qm_file.h>
#include <qm_text.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace {

bool wildcard_match(const char* pat, const char* name) {
  // Iterative '*' matching with one back-tracking point: linear in practice.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    const unsigned char p = static_cast<unsigned char>(*pat), n = static_cast<unsigned char>(*name);
    if (*pat == '*') {
      star = pat++;
      resume = name;
    } else if (*pat == '?' || (*pat && std::tolower(p) == std::tolower(n))) {
      ++pat, ++name;
    } else if (star) {
      pat = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pat == '*') ++pat;
  return *pat == '\0';
}

}  // namespace

CFileFind::~CFileFind() { Close(); }

void CFileFind::Close() {
  found_.clear();
  next_ = 0;
  current_ = static_cast<size_t>(-1);
  root_.Empty();
}

BOOL CFileFind::FindFile(LPCSTR pattern, DWORD) {
  Close();
  CString pat(pattern && *pattern ? pattern : "*.*");
  const int cut = std::max(pat.ReverseFind('\\'), pat.ReverseFind('/'));
  root_ = cut >= 0 ? pat.Left(cut + 1) : CString();
  CString leaf = pat.Mid(cut + 1);
  if (leaf == "*.*") leaf = "*";  // every name, with or without a dot
  std::string folder = ".";
  if (!root_.IsEmpty()) {
    const CString dir = root_.Left(root_.GetLength() - 1);
    folder = dir.IsEmpty() ? std::string("/") : qm_map_path(dir);
  }
  DIR* dir = opendir(folder.c_str());
  if (!dir) return FALSE;
  while (dirent* e = readdir(dir)) {
    // Names are GBK on this side, UTF-8 on Linux.
    const std::string name = qm_is_utf8(e->d_name) ? qm_utf8_to_gbk(e->d_name) : std::string(e->d_name);
    if (!wildcard_match(leaf, name.c_str())) continue;
    const std::string full = folder + "/" + e->d_name;
    struct stat st;
    const bool is_dir = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    found_.emplace_back(name, is_dir);
  }
  closedir(dir);
  // In name order, so a search never depends on the folder's order.
  std::sort(found_.begin(), found_.end());
  return found_.empty() ? FALSE : TRUE;
}

BOOL CFileFind::FindNextFile() {
  if (next_ >= found_.size()) return FALSE;
  current_ = next_++;
  return next_ < found_.size() ? TRUE : FALSE;
}

CString CFileFind::GetFileName() const { return current_ < found_.size() ? CString(found_[current_].first) : CString(); }

CString CFileFind::GetFilePath() const { return current_ < found_.size() ? root_ + GetFileName() : CString(); }

CString CFileFind::GetFileTitle() const {
  CString name = GetFileName();
  const int dot = name.ReverseFind('.');
  return dot > 0 ? name.Left(dot) : name;
}

BOOL CFileFind::IsDots() const {
  const CString n = GetFileName();
  return n == "." || n == "..";
}

BOOL CFileFind::IsDirectory() const { return current_ < found_.size() && found_[current_].second; }
