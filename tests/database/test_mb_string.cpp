#include <gtest/gtest.h>

#include <cstring>

#include "database/mb_string.h"

namespace {

const unsigned short kAsciiWide[] = {'a', 'b', 'c', 0};
const unsigned short kChineseWide[] = {'a', 0x4E2D, 0x6587, 0};  // "a" and two CJK units
const unsigned short kLatin1Wide[] = {'x', 0x80, 0};

TEST(MBString, FormsFromEveryKindOfText) {
  struct Case {
    const char* name;
    MB_String s;
    int form;
    int length;
    const char* ascii;  // expected 8-bit text, or null
  } cases[] = {
      {"default", MB_String(), 0, 0, nullptr},
      {"empty text", MB_String(""), 0, 0, nullptr},
      {"null text", MB_String(static_cast<const char*>(nullptr)), 0, 0, nullptr},
      {"8-bit", MB_String("abc"), 1, 3, "abc"},
      {"GBK bytes stay 8-bit", MB_String("\xD6\xD0\xCE\xC4"), 1, 4, "\xD6\xD0\xCE\xC4"},
      {"16-bit ASCII becomes 8-bit", MB_String(kAsciiWide), 1, 3, "abc"},
      {"16-bit with a unit of 128", MB_String(kLatin1Wide), 2, 2, nullptr},
      {"16-bit CJK", MB_String(kChineseWide), 2, 3, nullptr},
      {"counted 8-bit", MB_String(2, "abc"), 1, 2, "ab"},
      {"counted zero", MB_String(0, "abc"), 0, 0, nullptr},
      {"counted negative", MB_String(-4, "abc"), 0, 0, nullptr},
      {"counted 16-bit", MB_String(1, kChineseWide), 1, 1, "a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.s.form(), c.form);
    EXPECT_EQ(c.s.length(), c.length);
    EXPECT_EQ(c.s.is_ascii(), c.form == 1);
    if (c.ascii) {
      EXPECT_STREQ(c.s.ascii(), c.ascii);
    } else {
      EXPECT_EQ(c.s.ascii(), nullptr);
    }
  }
}

TEST(MBString, EmptyStringsCompareEqual) {
  EXPECT_TRUE(MB_String() == MB_String(""));
  EXPECT_TRUE(MB_String() == "");
  EXPECT_TRUE(MB_String("") == static_cast<const char*>(nullptr));
  EXPECT_TRUE(MB_String("abc") != MB_String("abd"));
  EXPECT_TRUE(MB_String("abc") != MB_String("ab"));
  EXPECT_TRUE(MB_String(kChineseWide) == MB_String(kChineseWide));
  EXPECT_FALSE(MB_String(kLatin1Wide) == "x\x80");  // different forms
}

TEST(MBString, WideningZeroExtendsAndKeepsTheBytes) {
  MB_String s("\xD6\xD0z");
  const char* bytes = s.ascii();
  const unsigned short* wide = s.unicode();
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide[0], 0xD6);
  EXPECT_EQ(wide[1], 0xD0);
  EXPECT_EQ(wide[2], 'z');
  EXPECT_EQ(wide[3], 0);
  // The 8-bit text is still there, at the same place, after widening.
  EXPECT_EQ(s.ascii(), bytes);
  EXPECT_STREQ(s.ascii(), "\xD6\xD0z");
  EXPECT_TRUE(s.is_ascii());
  EXPECT_TRUE(s == MB_String("\xD6\xD0z"));
  const unsigned short* again = s;
  EXPECT_EQ(again, wide);
  MB_String empty;
  EXPECT_EQ(empty.unicode(), nullptr);
}

TEST(MBString, SixteenBitTextKeepsItsUnits) {
  MB_String s(kChineseWide);
  ASSERT_NE(s.unicode(), nullptr);
  EXPECT_EQ(0, std::memcmp(s.unicode(), kChineseWide, sizeof kChineseWide));
}

TEST(MBString, CopiesAreDeepAndSelfSafe) {
  MB_String a("layer");
  MB_String b(a);
  EXPECT_NE(a.ascii(), b.ascii());
  b = kChineseWide;
  MB_String c;
  c = b;
  EXPECT_NE(c.unicode(), b.unicode());
  EXPECT_TRUE(c == b);
  c = c;
  EXPECT_TRUE(c == b);
  a.set(3, a.ascii() + 1);  // set from its own text
  EXPECT_STREQ(a.ascii(), "aye");
  a = MB_String::kNull;
  EXPECT_EQ(a.form(), 0);
  EXPECT_EQ(a.ascii(), nullptr);
  MB_String moved(std::move(b));
  EXPECT_TRUE(moved == c);
}

TEST(MBString, HexDigitsAsciiChecksAndNarrowingKeepTheLowBytes) {
  EXPECT_EQ(MB_String::to_binary('f'), 15);
  EXPECT_EQ(MB_String::to_binary('A'), 10);
  EXPECT_EQ(MB_String::to_binary('7'), 7);
  EXPECT_EQ(MB_String::to_binary('G'), 0);
  EXPECT_TRUE(MB_String::is_ascii(3, "abc"));
  EXPECT_FALSE(MB_String::is_ascii(2, "a\xD6"));
  EXPECT_FALSE(MB_String::is_ascii(2, kLatin1Wide));
  EXPECT_EQ(MB_String::to_ascii(0, kAsciiWide), nullptr);
  EXPECT_EQ(MB_String::to_unicode(3, nullptr), nullptr);
  unsigned char* low = MB_String::to_ascii(3, kChineseWide);
  EXPECT_EQ(low[1], 0x2D);
  EXPECT_EQ(low[3], 0);
  delete[] low;
}

}  // namespace
