// The code page a big font is indexed in, and the code a character has in
// it. A big font's codes are the double-byte codes of the code page its
// glyphs were made for (Big5, Shift-JIS, Korean or GBK), whatever the code
// page of the text drawn with it, so a character reaches a big font only
// once it is converted into that code page.
//
// The rule lives here once, for both interpreters of shape fonts: the
// kernel's text layout and the font tool's preview include this header
// (it needs only the platform's code-page conversion).
#pragma once

#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The double-byte code pages, by their Windows numbers.
enum class MB_Code_Page : uint16_t {
  kUnknown = 0,
  kShiftJis = 932,
  kGbk = 936,     // the kernel's own code page
  kKorean = 949,  // KS X 1001 with the Windows extension
  kBig5 = 950,
};

// One range of lead bytes of a big font's header.
struct MB_Lead_Range {
  uint8_t first = 0;
  uint8_t last = 0;
};

// The double-byte code page of a Windows code page number; kUnknown for any
// other number.
inline MB_Code_Page mb_double_byte_code_page(unsigned number) {
  for (MB_Code_Page p : {MB_Code_Page::kShiftJis, MB_Code_Page::kGbk, MB_Code_Page::kKorean, MB_Code_Page::kBig5}) {
    if (static_cast<unsigned>(p) == number) return p;
  }
  return MB_Code_Page::kUnknown;
}

// The code page of a well-known big font, by its file name (folders, case
// and a leading '@' of a vertical variant do not matter); kUnknown for a
// font not listed.
inline MB_Code_Page mb_code_page_of_big_font_name(const char* file) {
  if (!file) return MB_Code_Page::kUnknown;
  const char* base = file;
  for (const char* p = file; *p; ++p) {
    if (*p == '/' || *p == '\\') base = p + 1;
  }
  if (*base == '@') ++base;
  std::string stem;
  for (const char* p = base; *p; ++p) stem += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  const size_t dot = stem.rfind('.');
  if (dot != std::string::npos) stem.erase(dot);
  static const struct {
    const char* stem;
    bool numbered;  // the stem followed by any digits names a font of the list
    MB_Code_Page page;
  } kKnown[] = {
      {"chineset", false, MB_Code_Page::kBig5},    {"extfont", true, MB_Code_Page::kShiftJis},
      {"bigfont", false, MB_Code_Page::kShiftJis}, {"whgtxt", false, MB_Code_Page::kKorean},
      {"whgdtxt", false, MB_Code_Page::kKorean},   {"whtmtxt", false, MB_Code_Page::kKorean},
      {"whtgtxt", false, MB_Code_Page::kKorean},   {"gbcbig", false, MB_Code_Page::kGbk},
      {"hztxt", false, MB_Code_Page::kGbk},
  };
  for (const auto& k : kKnown) {
    const size_t n = std::strlen(k.stem);
    if (stem.compare(0, n, k.stem) != 0) continue;
    if (stem.size() == n) return k.page;
    if (k.numbered && stem.find_first_not_of("0123456789", n) == std::string::npos) return k.page;
  }
  return MB_Code_Page::kUnknown;
}

// The code page that the lead-byte ranges of a big font's header name
// unmistakably: Shift-JIS leaves out 0xA0 to 0xDF (its single-byte kana),
// Big5's lead bytes end at 0xF9, GB2312's (a part of GBK) at 0xF7. Ranges
// that fit more than one code page (0xA1 to 0xFE, 0x81 to 0xFE) name none:
// kUnknown.
inline MB_Code_Page mb_code_page_of_lead_ranges(const std::vector<MB_Lead_Range>& ranges) {
  constexpr uint8_t kFirstLead = 0x81, kKanaFirst = 0xA0, kKanaLast = 0xDF, kShiftJisLast = 0xFC;
  constexpr uint8_t kEucFirst = 0xA1, kBig5Last = 0xF9, kGb2312Last = 0xF7;
  if (ranges.empty()) return MB_Code_Page::kUnknown;
  uint8_t low = 0xFF, high = 0;
  bool kana = false;
  for (const MB_Lead_Range& r : ranges) {
    if (r.first > r.last) return MB_Code_Page::kUnknown;
    low = r.first < low ? r.first : low;
    high = r.last > high ? r.last : high;
    if (r.first <= kKanaLast && r.last >= kKanaFirst) kana = true;
  }
  if (low < kFirstLead) return MB_Code_Page::kUnknown;
  if (!kana && high <= kShiftJisLast) return MB_Code_Page::kShiftJis;
  if (low >= kEucFirst && high == kBig5Last) return MB_Code_Page::kBig5;
  if (low >= kEucFirst && high == kGb2312Last) return MB_Code_Page::kGbk;
  return MB_Code_Page::kUnknown;
}

// The code page a big font is indexed in: a well-known font's; else the one
// its header's ranges name; else the double-byte code page of the drawing
// that names the font (`drawing`, kUnknown when it names none); else GBK.
inline MB_Code_Page mb_big_font_code_page(const char* file, const std::vector<MB_Lead_Range>& ranges,
                                          MB_Code_Page drawing) {
  MB_Code_Page page = mb_code_page_of_big_font_name(file);
  if (page == MB_Code_Page::kUnknown) page = mb_code_page_of_lead_ranges(ranges);
  if (page == MB_Code_Page::kUnknown) page = drawing;
  return page == MB_Code_Page::kUnknown ? MB_Code_Page::kGbk : page;
}

// Whether a byte leads a double-byte code of a big font: a byte of its
// header's ranges, or, when the header gives none, a lead byte of its code
// page.
inline bool mb_big_font_lead_byte(const std::vector<MB_Lead_Range>& ranges, MB_Code_Page page, uint8_t byte) {
  if (ranges.empty()) {
    if (page == MB_Code_Page::kShiftJis) return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return byte >= 0x81 && byte <= 0xFE;
  }
  for (const MB_Lead_Range& r : ranges) {
    if (byte >= r.first && byte <= r.last) return true;
  }
  return false;
}

// The double-byte code (lead byte << 8 | trail byte) of a Unicode character
// in a code page; 0 when the code page lacks the character or holds it in a
// single byte.
inline uint32_t mb_code_page_code(MB_Code_Page page, uint32_t unicode) {
  if (page == MB_Code_Page::kUnknown || unicode < 0x80 || unicode > 0xFFFF) return 0;
  const WCHAR wide = static_cast<WCHAR>(unicode);
  char bytes[4] = {};
  BOOL replaced = FALSE;
  const int n = WideCharToMultiByte(static_cast<UINT>(page), 0, &wide, 1, bytes, sizeof bytes, nullptr, &replaced);
  if (n != 2 || replaced) return 0;
  return uint32_t(static_cast<uint8_t>(bytes[0])) << 8 | static_cast<uint8_t>(bytes[1]);
}
