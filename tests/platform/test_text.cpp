#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "qm_text.h"

namespace {
const char kZhongDian[] = "\xD6\xD0\xB5\xE3";  // GBK bytes of 中点
}

TEST(Text, GbkRoundTrips) {
  EXPECT_EQ(qm_gbk_to_utf16(kZhongDian), u"\u4E2D\u70B9");
  EXPECT_EQ(qm_utf16_to_gbk(u"\u4E2D\u70B9"), kZhongDian);
  EXPECT_EQ(qm_gbk_to_utf8(kZhongDian), "\u4E2D\u70B9");
  EXPECT_EQ(qm_utf8_to_gbk("a\u4E2D\u70B9b"), std::string("a") + kZhongDian + "b");
  EXPECT_EQ(qm_utf16_to_utf8(qm_utf8_to_utf16("x\u00E9\U0001F600")), "x\u00E9\U0001F600");
}

TEST(Text, BadInputIsReplacedUnitByUnit) {
  size_t bad = 0;
  // A lone lead byte at the end, and a character GBK cannot hold.
  EXPECT_EQ(qm_convert("a\xD6", QmEncoding::kGbk, QmEncoding::kUtf8, &bad), "a\uFFFD");
  EXPECT_EQ(bad, 1u);
  EXPECT_EQ(qm_utf16_to_gbk(u"x\U0001F600y"), "x?y");
  EXPECT_EQ(qm_utf8_to_gbk("\xFF"
                           "a"),
            "?a");
  EXPECT_EQ(qm_utf16_to_utf8(std::u16string(1, char16_t(0xD800))), "\uFFFD");
  // UTF-8 to UTF-8 still checks: a code point past U+10FFFF, a five-byte
  // form and a surrogate each become one replacement per byte.
  std::string four, eight;
  for (int i = 0; i < 4; ++i) four += "\uFFFD";
  eight = four + four;
  EXPECT_EQ(qm_convert("a\xF4\x90\x80\x80"
                       "b\xF8\x88\x80\x80\x80\xED\xA0\x80\u4E2D",
                       QmEncoding::kUtf8, QmEncoding::kUtf8, &bad),
            "a" + four + "b" + eight + "\u4E2D");
  EXPECT_EQ(bad, 12u);
  EXPECT_TRUE(qm_is_utf8("plain/\u4E2D"));
  EXPECT_FALSE(qm_is_utf8(kZhongDian));
}

// The kernel's text form keeps every character: what GBK lacks travels as an
// escape and comes back as its character; what no escape can hold is the
// missing-character byte, never a '?'.
TEST(Text, KernelTextKeepsEveryCharacter) {
  const struct {
    std::u16string text;
    std::string gbk;
    std::u16string back;
  } cases[] = {
      {u"a\u4E2D\u70B9?", std::string("a") + kZhongDian + "?", u"a\u4E2D\u70B9?"},
      {u"\u00D8\uFF76\uB3C4", "\\U+00D8\\U+FF76\\U+B3C4", u"\u00D8\uFF76\uB3C4"},  // Ø ｶ 도
      {u"x\U0001F600y", "x\xFFy", u"x\uFFFDy"},
      {std::u16string(1, char16_t(0xD800)) + u"z", "\xFFz", u"\uFFFDz"},
      {u"\uFFFD", "\xFF", u"\uFFFD"},
      {u"\\U+12", "\\U+12", u"\\U+12"},  // too short to be an escape
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qm_utf16_to_gbk_text(c.text), c.gbk);
    EXPECT_EQ(qm_gbk_text_to_utf16(c.gbk), c.back);
  }
  // A lower-case escape reads too; a backslash that is a trail byte starts none.
  EXPECT_EQ(qm_gbk_text_to_utf16("\\u+00d8"), u"\u00D8");
  EXPECT_EQ(qm_gbk_text_to_utf16("\x81\\U+00D8"), qm_gbk_to_utf16("\x81\\") + u"U+00D8");
  EXPECT_EQ(qm_gbk_text_of_code(0x4E2D), "\xD6\xD0");
  EXPECT_EQ(qm_gbk_text_of_code(0xF1), "\\U+00F1");
}

// "\M+nXXXX": the character of code XXXX in the code page n names.
TEST(Text, CodePageEscapesReadInTheirCodePage) {
  const struct {
    const char* text;
    long expected;
  } cases[] = {
      {"\\M+195CF", 0x5909},                     // 変 in Shift-JIS
      {"\\M+2ADB1", 0x9762},                     // 面 in Big5
      {"\\M+3B5B5", 0xB3C4},                     // 도 in KS X 1001
      {"\\M+495A1", 0xB3C4},                     // 도 in Johab
      {"\\M+5D6D0x", 0x4E2D},                    // 中 in GBK, with more text after it
      {"\\m+2adb1", 0x9762},                     // lower case
      {"\\M+1FFFF", 0xFFFD},                     // no such code in the code page
      {"\\M+50041", 0xFFFD},                     // a single byte is no double-byte code
      {"\\M+6D6D0", -1},                         // no such code page
      {"\\M+0D6D0", -1},      {"\\M+5D6D", -1},  // too short
      {"\\M+5D6G0", -1},      {"\\U+4E2D0", -1}, {"M+5D6D0", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(qm_mif_escape_at(c.text), c.expected) << c.text;
}

TEST(Text, MultiByteToWideCharCounting) {
  WCHAR buf[8] = {};
  // -1: NUL-terminated, the NUL counted and written.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kZhongDian, -1, nullptr, 0), 3);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kZhongDian, -1, buf, 8), 3);
  EXPECT_EQ(buf[0], 0x4E2D);
  EXPECT_EQ(buf[1], 0x70B9);
  EXPECT_EQ(buf[2], 0);
  // An explicit length: no NUL.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kZhongDian, 2, nullptr, 0), 1);
  // Too small a buffer fails and writes nothing.
  WCHAR small[2] = {7, 7};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kZhongDian, -1, small, 2), 0);
  EXPECT_EQ(small[0], 7);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xE4\xB8\xAD", 3, buf, 8), 1);
  EXPECT_EQ(buf[0], 0x4E2D);
  // Refused arguments.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kZhongDian, 0, buf, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, buf, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, kZhongDian, -1, buf, 8), 0);
}

TEST(Text, WideCharToMultiByteCounting) {
  const WCHAR src[] = u"\u4E2D\u70B9";
  char buf[8] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, src, -1, nullptr, 0, nullptr, nullptr), 5);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, src, -1, buf, 8, nullptr, nullptr), 5);
  EXPECT_STREQ(buf, kZhongDian);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, src, 1, buf, 8, nullptr, nullptr), 2);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, src, -1, buf, 4, nullptr, nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, src, -1, nullptr, 0, nullptr, nullptr), 7);
  // The default character and its report.
  const WCHAR emoji[] = u"a\U0001F600";
  BOOL used = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, emoji, 3, buf, 8, "#", &used), 2);
  EXPECT_EQ(std::string(buf, 2), "a#");
  EXPECT_TRUE(used);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, src, 2, buf, 8, nullptr, &used), 4);
  EXPECT_FALSE(used);
  // UTF-8 takes no default character.
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, src, -1, buf, 8, nullptr, &used), 0);
}

// The double-byte code pages of big fonts convert as Windows defines them,
// both ways; a character a code page lacks reports the default character.
TEST(Text, DoubleByteCodePagesConvertBothWays) {
  const struct {
    UINT code_page;
    char16_t character;
    const char* bytes;
  } cases[] = {
      {950, u'\u9762', "\xAD\xB1"},  // 面 in Big5
      {932, u'\u5909', "\x95\xCF"},  // 変 in Shift-JIS
      {949, u'\uB3C4', "\xB5\xB5"},  // 도 in Korean
      {936, u'\u20AC', "\x80"},      // € in GBK
      {932, u'\uFF76', "\xB6"},      // half-width ｶ: one byte
  };
  for (const auto& c : cases) {
    char buf[4] = {};
    BOOL used = TRUE;
    const int n = WideCharToMultiByte(c.code_page, 0, &c.character, 1, buf, 4, nullptr, &used);
    EXPECT_EQ(std::string(buf, n > 0 ? size_t(n) : 0), c.bytes) << c.code_page;
    EXPECT_FALSE(used) << c.code_page;
    WCHAR back = 0;
    EXPECT_EQ(MultiByteToWideChar(c.code_page, 0, c.bytes, int(std::strlen(c.bytes)), &back, 1), 1) << c.code_page;
    EXPECT_EQ(back, c.character) << c.code_page;
  }
  const WCHAR hangul = u'\uB3C4';
  char buf[4] = {};
  BOOL used = FALSE;
  WideCharToMultiByte(950, 0, &hangul, 1, buf, 4, nullptr, &used);
  EXPECT_TRUE(used) << "Big5 has no Hangul";
}

TEST(Text, Utf8BecomesGbkWithEscapesForWhatGbkLacks) {
  const struct {
    const char* utf8;
    std::string gbk;
  } cases[] = {
      {"a\u4E2D\u20AC", std::string("a") + "\xD6\xD0\x80"},
      {"\uB3C4\u4E2D", std::string("\\U+B3C4") + "\xD6\xD0"},  // 도 is no GBK character
      {"x\U0001F600y", "x\xFFy"},                              // past what an escape holds
      {"\xFF"
       "a\xE4\xB8",
       "\xFF"
       "a\xFF\xFF"},  // malformed bytes, a mark each
  };
  for (const auto& c : cases) EXPECT_EQ(qm_utf8_to_gbk_text(c.utf8), c.gbk) << c.utf8;
}
