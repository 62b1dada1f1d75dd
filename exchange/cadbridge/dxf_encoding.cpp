// Code page conversion of DXF text through iconv.
#include "exchange/cadbridge/dxf_encoding.h"

#include <iconv.h>

#include "qm_text.h"

namespace {

constexpr uint32_t kReplacement = 0xFFFD;
const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

iconv_t open_iconv(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  return cd == kNoIconv ? nullptr : cd;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Malformed bytes give
// U+FFFD, one per byte, which the text shows as a missing character.
uint32_t next_utf8(std::string_view s, size_t& i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    ++i;
    return c;
  }
  size_t n = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
  if (n == 0 || i + n > s.size()) {
    ++i;
    return kReplacement;
  }
  uint32_t code = c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) {
    const unsigned char t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    code = code << 6 | (t & 0x3F);
  }
  i += n;
  return code;
}

}  // namespace

Dxf_Text_Codec::~Dxf_Text_Codec() { close(); }

void Dxf_Text_Codec::close() {
  if (source_) iconv_close(static_cast<iconv_t>(source_));
  source_ = nullptr;
}

void Dxf_Text_Codec::utf8(bool on) {
  utf8_ = on;
  if (on) close();
}

unsigned Dxf_Text_Codec::code_page_number(std::string_view name) {
  constexpr size_t kMaxDigits = 5;
  std::string upper;
  for (char c : name) {
    if (c != ' ' && c != '\t') upper += char(c >= 'a' && c <= 'z' ? c - 32 : c);
  }
  std::string digits;
  for (std::string_view prefix : {"ANSI_", "DOS"}) {
    if (upper.compare(0, prefix.size(), prefix) == 0) digits = upper.substr(prefix.size());
  }
  if (digits.empty() || digits.size() > kMaxDigits || digits.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  return static_cast<unsigned>(std::stoul(digits));
}

std::string Dxf_Text_Codec::charset_of(std::string_view name) {
  const unsigned number = code_page_number(name);
  if (number == 0 || number == 936) return "";
  return "CP" + std::to_string(number);
}

void Dxf_Text_Codec::code_page(std::string_view name) {
  if (utf8_) return;
  close();
  const std::string charset = charset_of(name);
  if (!charset.empty()) source_ = open_iconv("UTF-32LE", charset.c_str());
  known_.clear();
}

void Dxf_Text_Codec::append_code(uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += char(code);
    return;
  }
  auto it = known_.find(code);
  if (it != known_.end()) {
    out += it->second;
    return;
  }
  const std::string gbk = qm_gbk_text_of_code(code);
  known_.emplace(code, gbk);
  out += gbk;
}

std::string Dxf_Text_Codec::to_gbk(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  // A "\M+nXXXX" escape becomes the character it names, in the kernel's
  // text form like any other character. Only a backslash that is a
  // character of its own starts one, never the trail byte of a double-byte
  // character.
  auto escape = [&](size_t& i) {
    if (text[i] != '\\') return false;
    const long code = qm_mif_escape_at(text.substr(i));
    if (code < 0) return false;
    append_code(uint32_t(code), out);
    i += kQmMifEscapeLength;
    return true;
  };
  if (utf8_) {
    for (size_t i = 0; i < text.size();) {
      if (!escape(i)) append_code(next_utf8(text, i), out);
    }
    return out;
  }
  if (!source_) {
    // Already the kernel's code page.
    for (size_t i = 0; i < text.size();) {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      const unsigned char t = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
      if (c >= 0x81 && c <= 0xFE && t >= 0x40 && t <= 0xFE && t != 0x7F) {
        out.append(text.substr(i, 2));
        i += 2;
      } else if (!escape(i)) {
        out += char(c);
        ++i;
      }
    }
    return out;
  }
  iconv_t cd = static_cast<iconv_t>(source_);
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (!escape(i)) {
        out += char(c);
        ++i;
      }
      continue;
    }
    // One character at a time: one byte, or two for the double-byte code
    // pages (932, 949, 950).
    uint32_t code = kReplacement;
    size_t used = 1;
    for (size_t n = 1; n <= 2 && i + n <= text.size(); ++n) {
      char in[2] = {text[i], n == 2 ? text[i + 1] : '\0'};
      unsigned char u32[8];
      char* ip = in;
      char* op = reinterpret_cast<char*>(u32);
      size_t il = n, ol = sizeof u32;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &ip, &il, &op, &ol) != size_t(-1) && il == 0 && ol == 4) {
        code = uint32_t(u32[0]) | uint32_t(u32[1]) << 8 | uint32_t(u32[2]) << 16 | uint32_t(u32[3]) << 24;
        used = n;
        break;
      }
    }
    append_code(code, out);
    i += used;
  }
  return out;
}
