// CString over GBK bytes, and the string resources of the program. A byte of
// 0x81 to 0xFE opens a two-byte character whose trail byte is never taken for
// an ASCII character: searching and case changes move character by
// character.
#include <afxwin.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace {

bool is_lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// The byte positions where characters start, up to `end`.
template <class F>
void each_char(const std::string& s, size_t start, F f) {
  size_t i = 0;
  while (i < s.size()) {
    const size_t len = is_lead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    if (i >= start && f(i, len)) return;
    i += len;
  }
}

std::unordered_map<UINT, std::string>& string_table() {
  static std::unordered_map<UINT, std::string> table;
  return table;
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

size_t clamp_index(int i, size_t size) { return i < 0 ? 0 : std::min(static_cast<size_t>(i), size); }

}  // namespace

char CString::GetAt(int i) const { return i >= 0 && static_cast<size_t>(i) < s_.size() ? s_[i] : '\0'; }

void CString::SetAt(int i, char c) {
  if (i >= 0 && static_cast<size_t>(i) < s_.size()) s_[i] = c;
}

int CString::Compare(LPCSTR s) const { return std::strcmp(s_.c_str(), s ? s : ""); }

int CString::CompareNoCase(LPCSTR s) const {
  CString a(*this), b(s);
  a.MakeLower();
  b.MakeLower();
  return a.Compare(b);
}

CString CString::Left(int n) const { return CString(s_.substr(0, clamp_index(n, s_.size()))); }

CString CString::Right(int n) const {
  const size_t k = clamp_index(n, s_.size());
  return CString(s_.substr(s_.size() - k));
}

CString CString::Mid(int first) const { return CString(s_.substr(clamp_index(first, s_.size()))); }

CString CString::Mid(int first, int n) const {
  const size_t f = clamp_index(first, s_.size());
  return CString(s_.substr(f, clamp_index(n, s_.size() - f)));
}

int CString::Find(char c, int start) const {
  int found = -1;
  each_char(s_, clamp_index(start, s_.size()), [&](size_t i, size_t len) {
    if (len == 1 && s_[i] == c) found = static_cast<int>(i);
    return found >= 0;
  });
  return found;
}

int CString::Find(LPCSTR sub, int start) const {
  if (!sub) return -1;
  const size_t n = std::strlen(sub);
  if (start < 0 || static_cast<size_t>(start) > s_.size()) return -1;
  if (n == 0) return start;
  int found = -1;
  each_char(s_, static_cast<size_t>(start), [&](size_t i, size_t) {
    if (s_.compare(i, n, sub) == 0) found = static_cast<int>(i);
    return found >= 0;
  });
  return found;
}

int CString::ReverseFind(char c) const {
  int found = -1;
  each_char(s_, 0, [&](size_t i, size_t len) {
    if (len == 1 && s_[i] == c) found = static_cast<int>(i);
    return false;
  });
  return found;
}

int CString::Replace(LPCSTR old_text, LPCSTR new_text) {
  if (!old_text || !*old_text) return 0;
  const std::string repl = new_text ? new_text : "";
  const size_t n = std::strlen(old_text);
  std::string out;
  int count = 0;
  size_t i = 0;
  while (i < s_.size()) {
    if (s_.compare(i, n, old_text) == 0) {
      out += repl;
      i += n;
      ++count;
      continue;
    }
    const size_t len = is_lead(static_cast<unsigned char>(s_[i])) && i + 1 < s_.size() ? 2 : 1;
    out.append(s_, i, len);
    i += len;
  }
  s_ = out;
  return count;
}

int CString::Remove(char c) {
  std::string out;
  int count = 0;
  each_char(s_, 0, [&](size_t i, size_t len) {
    if (len == 1 && s_[i] == c)
      ++count;
    else
      out.append(s_, i, len);
    return false;
  });
  s_ = out;
  return count;
}

int CString::Insert(int index, LPCSTR s) {
  s_.insert(clamp_index(index, s_.size()), s ? s : "");
  return GetLength();
}

int CString::Delete(int index, int count) {
  const size_t i = clamp_index(index, s_.size());
  s_.erase(i, clamp_index(count, s_.size() - i));
  return GetLength();
}

CString& CString::TrimRight() {
  // A trail byte is never a blank, so trimming from the end is safe.
  while (!s_.empty() && is_space(s_.back())) s_.pop_back();
  return *this;
}

CString& CString::TrimLeft() {
  size_t i = 0;
  while (i < s_.size() && is_space(s_[i])) ++i;
  s_.erase(0, i);
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::TrimRight(char c) {
  // Only whole characters: the last character is found from the start.
  for (;;) {
    int last = -1;
    size_t last_len = 0;
    each_char(s_, 0, [&](size_t i, size_t len) {
      last = static_cast<int>(i), last_len = len;
      return false;
    });
    if (last < 0 || last_len != 1 || s_[last] != c) break;
    s_.pop_back();
  }
  return *this;
}

CString& CString::TrimLeft(char c) {
  size_t i = 0;
  while (i < s_.size() && s_[i] == c && !is_lead(static_cast<unsigned char>(c))) ++i;
  s_.erase(0, i);
  return *this;
}

void CString::MakeLower() {
  each_char(s_, 0, [&](size_t i, size_t len) {
    if (len == 1 && s_[i] >= 'A' && s_[i] <= 'Z') s_[i] = static_cast<char>(s_[i] - 'A' + 'a');
    return false;
  });
}

void CString::MakeUpper() {
  each_char(s_, 0, [&](size_t i, size_t len) {
    if (len == 1 && s_[i] >= 'a' && s_[i] <= 'z') s_[i] = static_cast<char>(s_[i] - 'a' + 'A');
    return false;
  });
}

void CString::Format(LPCSTR fmt, ...) {
  va_list args;
  va_start(args, fmt);
  FormatV(fmt, args);
  va_end(args);
}

void CString::FormatV(LPCSTR fmt, va_list args) {
  if (!fmt) {
    s_.clear();
    return;
  }
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (n < 0) {
    s_.clear();
    return;
  }
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(&out[0], out.size(), fmt, args);
  out.resize(static_cast<size_t>(n));
  s_ = out;
}

BOOL CString::LoadString(UINT id) {
  auto it = string_table().find(id);
  if (it == string_table().end()) return FALSE;
  s_ = it->second;
  return TRUE;
}

LPSTR CString::GetBuffer(int min_len) {
  if (min_len > 0 && static_cast<size_t>(min_len) > s_.size()) s_.resize(static_cast<size_t>(min_len), '\0');
  s_.reserve(s_.size() + 1);
  return &s_[0];
}

LPSTR CString::GetBufferSetLength(int len) {
  s_.resize(clamp_index(len, static_cast<size_t>(len < 0 ? 0 : len)), '\0');
  return &s_[0];
}

void CString::ReleaseBuffer(int new_len) {
  if (new_len < 0)
    s_.resize(std::strlen(s_.c_str()));
  else
    s_.resize(std::min(static_cast<size_t>(new_len), s_.size()));
}

BSTR CString::AllocSysString() const { return qm_bstr_from_gbk(s_); }

void AfxRegisterString(UINT id, LPCSTR text) { string_table()[id] = text ? text : ""; }

void AfxFormatString1(CString& out, UINT id, LPCSTR arg) {
  CString fmt;
  fmt.LoadString(id);
  fmt.Replace("%1", arg ? arg : "");
  out = fmt;
}
