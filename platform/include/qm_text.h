// Code-page conversion between the encodings the project meets: GBK (code
// page 936, the 8-bit text of drawings, fonts and the control), UTF-16
// (16-bit text, char16_t) and UTF-8 (file names and text handed to Linux),
// and the double-byte code pages big fonts are indexed in: Shift-JIS (932),
// Korean (949) and Big5 (950), each as Windows defines it.
// All conversions go through iconv. Input that is not valid in its encoding
// becomes U+FFFD (to UTF-16/UTF-8) or '?' (to GBK), one per bad unit, so a
// conversion never fails and never reads past its input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class QmEncoding { kGbk, kUtf8, kUtf16, kShiftJis, kKorean, kBig5 };

// Converts `in` between encodings. `bad` (optional) receives the number of
// units that could not be converted and were replaced.
std::string qm_convert(std::string_view in, QmEncoding from, QmEncoding to, size_t* bad = nullptr);

std::u16string qm_gbk_to_utf16(std::string_view gbk);
std::string qm_utf16_to_gbk(std::u16string_view text);
std::string qm_gbk_to_utf8(std::string_view gbk);
std::string qm_utf8_to_gbk(std::string_view utf8);
std::u16string qm_utf8_to_utf16(std::string_view utf8);
std::string qm_utf16_to_utf8(std::u16string_view text);

// True when the bytes are well-formed UTF-8 (plain ASCII included).
bool qm_is_utf8(std::string_view bytes);

// One character (a Unicode code point) as the kernel keeps text: its GBK
// bytes, else a "\U+XXXX" escape, which the kernel draws by its code point;
// '?' for a character past U+FFFF (which an escape cannot hold) and for
// U+FFFD (what stands for a byte that made no character).
std::string qm_gbk_escaped_char(uint32_t code);
// UTF-8 text so, each malformed byte becoming '?'.
std::string qm_utf8_to_gbk_escaped(std::string_view utf8);
