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

enum class QmEncoding { kGbk, kUtf8, kUtf16, kShiftJis, kKorean, kBig5, kJohab };

// Converts `in` between encodings. `bad` (optional) receives the number of
// units that could not be converted and were replaced.
std::string qm_convert(std::string_view in, QmEncoding from, QmEncoding to, size_t* bad = nullptr);

std::u16string qm_gbk_to_utf16(std::string_view gbk);
std::string qm_utf16_to_gbk(std::u16string_view text);
std::string qm_gbk_to_utf8(std::string_view gbk);
std::string qm_utf8_to_gbk(std::string_view utf8);
std::u16string qm_utf8_to_utf16(std::string_view utf8);
std::string qm_utf16_to_utf8(std::u16string_view text);

// The kernel's text form, which keeps every character: GBK where GBK has
// the character, else a "\U+XXXX" escape (four upper-case hex digits) that
// the kernel's text draws as that character. A character past U+FFFF, and
// a unit that is no character (a lone surrogate, U+FFFD from a bad input
// byte), become kQmNoCharacter, a byte GBK never uses, which text draws as
// the visible mark of a missing character, never as a real '?'.
constexpr char kQmNoCharacter = '\xFF';
std::string qm_gbk_text_of_code(uint32_t code);
std::string qm_utf16_to_gbk_text(std::u16string_view text);
// Back to UTF-16: the escapes become their characters again.
std::u16string qm_gbk_text_to_utf16(std::string_view gbk);

// A "\M+nXXXX" escape, the older files' way of writing a character of a
// double-byte code page: n names the code page (1 Shift-JIS, 2 Big5,
// 3 Korean, 4 Johab, 5 GBK), XXXX is the character's code in it in hex.
// The Unicode character of the escape at the start of `s`; U+FFFD when the
// code page has no such code; -1 when `s` starts with no such escape.
constexpr size_t kQmMifEscapeLength = 8;
long qm_mif_escape_at(std::string_view s);

// True when the bytes are well-formed UTF-8 (plain ASCII included).
bool qm_is_utf8(std::string_view bytes);

// UTF-8 text in the kernel's text form, each malformed byte becoming
// kQmNoCharacter.
std::string qm_utf8_to_gbk_text(std::string_view utf8);
