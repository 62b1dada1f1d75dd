// Code-page conversion through iconv, and the Win32 conversion functions on
// top of it. One iconv descriptor per direction is opened lazily per thread
// and reused. A unit that iconv refuses (malformed input, or a character the
// target cannot hold) is replaced and skipped, so every conversion ends.
#include <iconv.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "qm_text.h"

namespace {

// By QmEncoding.
constexpr int kEncodings = 7;
const char* const kCharsets[kEncodings] = {"CP936", "UTF-8", "UTF-16LE", "CP932", "CP949", "CP950", "JOHAB"};

struct Converters {
  iconv_t cd[kEncodings][kEncodings];
  Converters() {
    for (auto& row : cd)
      for (auto& c : row) c = reinterpret_cast<iconv_t>(-1);
  }
  ~Converters() {
    for (auto& row : cd)
      for (auto& c : row)
        if (c != reinterpret_cast<iconv_t>(-1)) iconv_close(c);
  }
  iconv_t get(QmEncoding from, QmEncoding to) {
    iconv_t& c = cd[static_cast<int>(from)][static_cast<int>(to)];
    if (c == reinterpret_cast<iconv_t>(-1))
      c = iconv_open(kCharsets[static_cast<int>(to)], kCharsets[static_cast<int>(from)]);
    return c;
  }
};

thread_local Converters t_converters;

// Length of the well-formed UTF-8 sequence at p (at most n bytes), or 0.
size_t utf8_sequence_length(const unsigned char* p, size_t n) {
  unsigned char c = p[0];
  size_t len;
  uint32_t min;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2, min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3, min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4, min = 0x10000;
  } else {
    return 0;
  }
  if (n < len) return 0;
  uint32_t cp = c & (0x7F >> len);
  for (size_t i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// How many input bytes a refused unit at p spans.
size_t refused_unit_length(const unsigned char* p, size_t n, QmEncoding from) {
  switch (from) {
    case QmEncoding::kUtf8: {
      size_t len = utf8_sequence_length(p, n);
      return len ? len : 1;
    }
    case QmEncoding::kUtf16: {
      if (n < 2) return n;
      uint16_t u = static_cast<uint16_t>(p[0] | (p[1] << 8));
      if (u >= 0xD800 && u <= 0xDBFF && n >= 4) {
        uint16_t v = static_cast<uint16_t>(p[2] | (p[3] << 8));
        if (v >= 0xDC00 && v <= 0xDFFF) return 4;
      }
      return 2;
    }
    case QmEncoding::kGbk:
    case QmEncoding::kShiftJis:
    case QmEncoding::kKorean:
    case QmEncoding::kBig5:
    case QmEncoding::kJohab: break;
  }
  return 1;
}

std::string_view default_replacement(QmEncoding to) {
  switch (to) {
    case QmEncoding::kUtf8: return std::string_view("\xEF\xBF\xBD", 3);
    case QmEncoding::kUtf16: return std::string_view("\xFD\xFF", 2);
    case QmEncoding::kGbk:
    case QmEncoding::kShiftJis:
    case QmEncoding::kKorean:
    case QmEncoding::kBig5:
    case QmEncoding::kJohab: break;
  }
  return "?";
}

// UTF-8 to UTF-8 is checked here: iconv copies it with code points past
// U+10FFFF and five-byte forms left in.
void clean_utf8(std::string_view in, std::string_view replacement, std::string* out, size_t* bad) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  size_t n = in.size(), refused = 0;
  while (n > 0) {
    size_t len = utf8_sequence_length(p, n);
    if (len == 0) {
      out->append(replacement);
      ++refused;
      len = 1;
    } else {
      out->append(reinterpret_cast<const char*>(p), len);
    }
    p += len;
    n -= len;
  }
  if (bad) *bad = refused;
}

bool convert(std::string_view in, QmEncoding from, QmEncoding to, std::string_view replacement, std::string* out,
             size_t* bad) {
  size_t refused = 0;
  out->clear();
  if (from == QmEncoding::kUtf8 && to == QmEncoding::kUtf8) {
    clean_utf8(in, replacement, out, bad);
    return true;
  }
  iconv_t cd = t_converters.get(from, to);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  out->resize(in.size() * 2 + 16);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  size_t used = 0;
  while (src_left > 0) {
    char* dst = &(*out)[used];
    size_t dst_left = out->size() - used;
    size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    used = out->size() - dst_left;
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out->resize(out->size() * 2);
      continue;
    }
    if (errno != EILSEQ && errno != EINVAL) return false;
    size_t skip = refused_unit_length(reinterpret_cast<const unsigned char*>(src), src_left, from);
    src += skip;
    src_left -= skip;
    ++refused;
    if (out->size() - used < replacement.size()) out->resize(out->size() * 2 + replacement.size());
    memcpy(&(*out)[used], replacement.data(), replacement.size());
    used += replacement.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out->resize(used);
  if (bad) *bad = refused;
  return true;
}

std::u16string to_u16(const std::string& bytes) {
  std::u16string s(bytes.size() / 2, u'\0');
  memcpy(&s[0], bytes.data(), s.size() * 2);
  return s;
}

std::string_view as_bytes(std::u16string_view s) {
  return std::string_view(reinterpret_cast<const char*>(s.data()), s.size() * 2);
}

bool code_page_encoding(UINT code_page, QmEncoding* enc) {
  static const struct {
    UINT code_page;
    QmEncoding encoding;
  } kKnown[] = {{CP_ACP, QmEncoding::kGbk},   {936, QmEncoding::kGbk},    {CP_UTF8, QmEncoding::kUtf8},
                {932, QmEncoding::kShiftJis}, {949, QmEncoding::kKorean}, {950, QmEncoding::kBig5},
                {1361, QmEncoding::kJohab}};
  for (const auto& k : kKnown) {
    if (k.code_page == code_page) {
      *enc = k.encoding;
      return true;
    }
  }
  return false;
}

}  // namespace

std::string qm_convert(std::string_view in, QmEncoding from, QmEncoding to, size_t* bad) {
  std::string out;
  if (!convert(in, from, to, default_replacement(to), &out, bad) && bad) *bad = in.size();
  return out;
}

std::u16string qm_gbk_to_utf16(std::string_view gbk) {
  return to_u16(qm_convert(gbk, QmEncoding::kGbk, QmEncoding::kUtf16));
}
std::string qm_utf16_to_gbk(std::u16string_view text) {
  return qm_convert(as_bytes(text), QmEncoding::kUtf16, QmEncoding::kGbk);
}
std::string qm_gbk_to_utf8(std::string_view gbk) { return qm_convert(gbk, QmEncoding::kGbk, QmEncoding::kUtf8); }
std::string qm_utf8_to_gbk(std::string_view utf8) { return qm_convert(utf8, QmEncoding::kUtf8, QmEncoding::kGbk); }
std::u16string qm_utf8_to_utf16(std::string_view utf8) {
  return to_u16(qm_convert(utf8, QmEncoding::kUtf8, QmEncoding::kUtf16));
}
std::string qm_utf16_to_utf8(std::u16string_view text) {
  return qm_convert(as_bytes(text), QmEncoding::kUtf16, QmEncoding::kUtf8);
}

namespace {

constexpr uint32_t kLastEscaped = 0xFFFF;  // "\U+XXXX" holds four digits
constexpr uint32_t kReplacementCharacter = 0xFFFD;
constexpr size_t kEscapeLength = 7;  // "\U+" and four digits

bool is_surrogate(uint32_t code) { return code >= 0xD800 && code <= 0xDFFF; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The character of a "\U+XXXX" escape at the start of `s`, or -1.
long escape_at(std::string_view s) {
  if (s.size() < kEscapeLength || s[0] != '\\' || (s[1] != 'U' && s[1] != 'u') || s[2] != '+') return -1;
  long v = 0;
  for (size_t i = 3; i < kEscapeLength; ++i) {
    const int d = hex_digit(s[i]);
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

}  // namespace

long qm_mif_escape_at(std::string_view s) {
  static const QmEncoding kPages[] = {QmEncoding::kShiftJis, QmEncoding::kBig5, QmEncoding::kKorean, QmEncoding::kJohab,
                                      QmEncoding::kGbk};
  if (s.size() < kQmMifEscapeLength || s[0] != '\\' || (s[1] != 'M' && s[1] != 'm') || s[2] != '+') return -1;
  const int page = s[3] - '1';
  if (page < 0 || page >= int(sizeof kPages / sizeof kPages[0])) return -1;
  unsigned code = 0;
  for (size_t i = 4; i < kQmMifEscapeLength; ++i) {
    const int d = hex_digit(s[i]);
    if (d < 0) return -1;
    code = code * 16 + unsigned(d);
  }
  const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  std::string unit;
  size_t bad = 0;
  constexpr unsigned kFirstLeadByte = 0x81;  // of every double-byte code page
  if ((code >> 8) < kFirstLeadByte ||
      !convert(std::string_view(bytes, 2), kPages[page], QmEncoding::kUtf16, "", &unit, &bad) || bad ||
      unit.size() != 2) {
    return kReplacementCharacter;
  }
  return long(static_cast<unsigned char>(unit[0]) | static_cast<unsigned char>(unit[1]) << 8);
}

std::string qm_gbk_text_of_code(uint32_t code) {
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  if (code > kLastEscaped || is_surrogate(code) || code == kReplacementCharacter) {
    return std::string(1, kQmNoCharacter);
  }
  const char16_t unit = static_cast<char16_t>(code);
  std::string gbk;
  size_t bad = 0;
  if (convert(as_bytes(std::u16string_view(&unit, 1)), QmEncoding::kUtf16, QmEncoding::kGbk, "", &gbk, &bad) &&
      bad == 0 && !gbk.empty()) {
    return gbk;
  }
  char escape[kEscapeLength + 1];
  std::snprintf(escape, sizeof escape, "\\U+%04X", static_cast<unsigned>(code));
  return escape;
}

std::string qm_utf16_to_gbk_text(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
      ++i;
    }
    if (code < 0x80)
      out += static_cast<char>(code);
    else
      out += qm_gbk_text_of_code(code);
  }
  return out;
}

std::u16string qm_gbk_text_to_utf16(std::string_view gbk) {
  std::u16string out;
  size_t run = 0;  // the start of the GBK run not yet converted
  auto flush = [&](size_t end) {
    if (end > run) out += qm_gbk_to_utf16(gbk.substr(run, end - run));
  };
  for (size_t i = 0; i < gbk.size();) {
    const unsigned char c = static_cast<unsigned char>(gbk[i]);
    if (c >= 0x80) {
      // A double-byte code's trail byte may be a backslash: it starts no
      // escape. The pairs are those the kernel's text reads.
      const unsigned char t = i + 1 < gbk.size() ? static_cast<unsigned char>(gbk[i + 1]) : 0;
      i += c >= 0x81 && c <= 0xFE && t >= 0x40 && t <= 0xFE && t != 0x7F ? 2 : 1;
      continue;
    }
    const long code = c == '\\' ? escape_at(gbk.substr(i)) : -1;
    if (code < 0) {
      ++i;
      continue;
    }
    flush(i);
    out += static_cast<char16_t>(code);
    i += kEscapeLength;
    run = i;
  }
  flush(gbk.size());
  return out;
}

bool qm_is_utf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size();
  while (n > 0) {
    size_t len = utf8_sequence_length(p, n);
    if (len == 0) return false;
    p += len;
    n -= len;
  }
  return true;
}

std::string qm_utf8_to_gbk_text(std::string_view utf8) {
  std::string out;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  size_t n = utf8.size();
  while (n > 0) {
    const size_t len = utf8_sequence_length(p, n);
    uint32_t code = 0xFFFD;
    if (len == 1) {
      code = p[0];
    } else if (len > 1) {
      code = p[0] & (0x7F >> len);
      for (size_t i = 1; i < len; ++i) code = code << 6 | (p[i] & 0x3F);
    }
    out += qm_gbk_text_of_code(code);
    const size_t step = len ? len : 1;
    p += step;
    n -= step;
  }
  return out;
}

// Win32 counting: a length of -1 means NUL-terminated and counts the NUL; an
// output size of 0 asks for the size needed; a buffer too small fails with 0
// and is left untouched.
int MultiByteToWideChar(UINT code_page, DWORD /*flags*/, LPCSTR src, int src_len, LPWSTR dst, int dst_len) {
  QmEncoding enc;
  if (!code_page_encoding(code_page, &enc) || !src || src_len == 0 || src_len < -1 || dst_len < 0 ||
      (dst_len > 0 && !dst))
    return 0;
  size_t n = src_len == -1 ? strlen(src) + 1 : static_cast<size_t>(src_len);
  std::string out;
  if (!convert(std::string_view(src, n), enc, QmEncoding::kUtf16, default_replacement(QmEncoding::kUtf16), &out,
               nullptr))
    return 0;
  size_t count = out.size() / 2;
  if (count > 0x7FFFFFFF) return 0;
  if (dst_len == 0) return static_cast<int>(count);
  if (count > static_cast<size_t>(dst_len)) return 0;
  memcpy(dst, out.data(), count * 2);
  return static_cast<int>(count);
}

int WideCharToMultiByte(UINT code_page, DWORD /*flags*/, LPCWSTR src, int src_len, LPSTR dst, int dst_len,
                        LPCSTR default_char, BOOL* used_default) {
  QmEncoding enc;
  if (!code_page_encoding(code_page, &enc) || !src || src_len == 0 || src_len < -1 || dst_len < 0 ||
      (dst_len > 0 && !dst))
    return 0;
  // UTF-8 can hold every character: a default character makes no sense there.
  if (enc == QmEncoding::kUtf8 && (default_char || used_default)) return 0;
  size_t n = src_len == -1 ? std::char_traits<char16_t>::length(src) + 1 : static_cast<size_t>(src_len);
  std::string_view replacement = default_replacement(enc);
  if (default_char && *default_char) replacement = std::string_view(default_char, 1);
  std::string out;
  size_t bad = 0;
  if (!convert(as_bytes(std::u16string_view(src, n)), QmEncoding::kUtf16, enc, replacement, &out, &bad)) return 0;
  if (out.size() > 0x7FFFFFFF) return 0;
  if (dst_len > 0) {
    if (out.size() > static_cast<size_t>(dst_len)) return 0;
    memcpy(dst, out.data(), out.size());
  }
  if (used_default) *used_default = bad > 0 ? TRUE : FALSE;
  return static_cast<int>(out.size());
}
