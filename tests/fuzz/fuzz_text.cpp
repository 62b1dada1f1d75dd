// Fuzz target for the text conversions of the platform base. The first input
// byte picks the encodings, code page and length conventions, the second the
// output buffer size; the rest is the text. Every conversion must end, never
// read past its input (which lies in an exact-size heap copy) or write past
// its output buffer, and the Win32 functions must agree with their own size
// queries.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "qm_text.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

const QmEncoding kEncodings[3] = {QmEncoding::kGbk, QmEncoding::kUtf8, QmEncoding::kUtf16};

void FuzzConvert(const std::string& in, int mode) {
  QmEncoding from = kEncodings[mode % 3], to = kEncodings[(mode / 3) % 3];
  size_t bad = 0;
  std::string out = qm_convert(in, from, to, &bad);
  check(bad <= in.size());
  if (to == QmEncoding::kUtf8) check(qm_is_utf8(out));
  if (to == QmEncoding::kUtf16) check(out.size() % 2 == 0);
  qm_is_utf8(in);
}

void FuzzMultiByte(const std::vector<char>& in, int mode, int dst_len) {
  UINT cp = mode & 1 ? CP_UTF8 : CP_ACP;
  // A length of -1 needs a terminated text: the input's bytes up to its
  // first 0 or, without one, the whole input with a 0 added.
  std::vector<char> src(in);
  int len = static_cast<int>(src.size());
  if (mode & 2) {
    src.push_back('\0');
    len = -1;
  } else if (mode & 4) {
    len = len / 2;
  }
  if (src.empty() || len == 0) {
    check(MultiByteToWideChar(cp, 0, src.data(), 0, nullptr, 0) == 0);
    return;
  }
  int needed = MultiByteToWideChar(cp, 0, src.data(), len, nullptr, 0);
  check(needed >= 0);
  std::vector<WCHAR> dst(dst_len ? dst_len : 1, u'\x7777');
  int got = MultiByteToWideChar(cp, 0, src.data(), len, dst_len ? dst.data() : nullptr, dst_len);
  if (dst_len == 0) {
    check(got == needed);
  } else if (needed <= dst_len) {
    check(got == needed);
    for (int i = got; i < dst_len; ++i) check(dst[i] == u'\x7777');
  } else {
    check(got == 0);
    for (WCHAR c : dst) check(c == u'\x7777');
  }
}

void FuzzWideChar(const std::vector<char>& in, int mode, int dst_len) {
  UINT cp = mode & 1 ? CP_UTF8 : CP_ACP;
  std::vector<WCHAR> src(in.size() / 2);
  if (!src.empty()) std::memcpy(src.data(), in.data(), src.size() * 2);
  int len = static_cast<int>(src.size());
  if (mode & 2) {
    src.push_back(u'\0');
    len = -1;
  } else if (mode & 4) {
    len = len / 2;
  }
  if (src.empty() || len == 0) return;
  const char* def = nullptr;
  BOOL used = FALSE;
  BOOL* used_ptr = nullptr;
  if (cp == CP_ACP && (mode & 8)) def = "#";
  if (cp == CP_ACP && (mode & 16)) used_ptr = &used;
  int needed = WideCharToMultiByte(cp, 0, src.data(), len, nullptr, 0, def, used_ptr);
  check(needed >= 0);
  char* dst = static_cast<char*>(std::malloc(dst_len ? dst_len : 1));
  std::memset(dst, 0x7f, dst_len ? dst_len : 1);
  int got = WideCharToMultiByte(cp, 0, src.data(), len, dst_len ? dst : nullptr, dst_len, def, used_ptr);
  if (dst_len == 0 || needed <= dst_len) {
    check(got == needed);
    for (int i = got; i < dst_len; ++i) check(dst[i] == 0x7f);
  } else {
    check(got == 0);
    for (int i = 0; i < dst_len; ++i) check(dst[i] == 0x7f);
  }
  std::free(dst);
  // Bad arguments fail without touching anything.
  check(WideCharToMultiByte(cp, 0, src.data(), -2, nullptr, 0, nullptr, nullptr) == 0);
  check(WideCharToMultiByte(1252, 0, src.data(), len, nullptr, 0, nullptr, nullptr) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int mode = data[0];
  const int dst_len = data[1];
  std::vector<char> in(data + 2, data + size);
  FuzzConvert(std::string(in.begin(), in.end()), mode);
  FuzzMultiByte(in, mode >> 3, dst_len);
  FuzzWideChar(in, mode >> 3, dst_len);
  return 0;
}
