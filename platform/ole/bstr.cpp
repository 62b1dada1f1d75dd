// BSTR strings: a 32-bit byte length, the UTF-16 characters and a NUL, in one
// block; the BSTR points at the characters. GBK text crosses into and out of
// them through the project's code-page conversion.
#include <oleauto.h>
#include <qm_text.h>

#include <cstdlib>
#include <cstring>

namespace {

// The largest length whose byte count and block size fit in 32 bits.
constexpr UINT kMaxChars = (0x7FFFFFFFu - sizeof(uint32_t) - sizeof(OLECHAR)) / sizeof(OLECHAR);

uint32_t* header(BSTR s) { return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(s) - sizeof(uint32_t)); }

UINT length(const OLECHAR* text) {
  UINT n = 0;
  while (text[n]) ++n;
  return n;
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT len) {
  if (len > kMaxChars) return nullptr;
  const size_t bytes = static_cast<size_t>(len) * sizeof(OLECHAR);
  char* block = static_cast<char*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  const uint32_t byte_len = static_cast<uint32_t>(bytes);
  std::memcpy(block, &byte_len, sizeof byte_len);
  BSTR s = reinterpret_cast<BSTR>(block + sizeof(uint32_t));
  if (text)
    std::memcpy(s, text, bytes);
  else
    std::memset(s, 0, bytes);
  s[len] = 0;
  return s;
}

BSTR SysAllocString(const OLECHAR* text) { return text ? SysAllocStringLen(text, length(text)) : nullptr; }

void SysFreeString(BSTR s) {
  if (s) std::free(header(s));
}

UINT SysStringByteLen(BSTR s) {
  if (!s) return 0;
  uint32_t n;
  std::memcpy(&n, header(s), sizeof n);
  return n;
}

UINT SysStringLen(BSTR s) { return SysStringByteLen(s) / static_cast<UINT>(sizeof(OLECHAR)); }

INT SysReAllocStringLen(BSTR* s, const OLECHAR* text, UINT len) {
  if (!s) return FALSE;
  // A new block first: text may lie inside the old one.
  BSTR fresh = SysAllocStringLen(text, len);
  if (!fresh) return FALSE;
  SysFreeString(*s);
  *s = fresh;
  return TRUE;
}

INT SysReAllocString(BSTR* s, const OLECHAR* text) {
  if (!s) return FALSE;
  if (!text) {
    SysFreeString(*s);
    *s = nullptr;
    return TRUE;
  }
  return SysReAllocStringLen(s, text, length(text));
}

BSTR qm_bstr_from_gbk(std::string_view gbk) {
  const std::u16string text = qm_gbk_text_to_utf16(gbk);
  if (text.size() > kMaxChars) return nullptr;
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

std::u16string qm_bstr_text(BSTR s) { return s ? std::u16string(s, SysStringLen(s)) : std::u16string(); }

std::string qm_bstr_to_gbk(BSTR s) {
  return s ? qm_utf16_to_gbk_text(std::u16string_view(s, SysStringLen(s))) : std::string();
}
