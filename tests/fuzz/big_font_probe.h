// What the shape-font targets ask of a loaded font as a big font: the code
// page its header's lead ranges and name give under each drawing code page,
// which bytes lead a double-byte code, and where a few characters land in
// that code page. Any header must give a known code page and codes whose
// lead byte is a double-byte one.
#pragma once

#include <cstdlib>

#include "database/fonts/mb_font_library.h"

inline void probe_big_font(const MB_Font_Library& lib) {
  for (MB_Code_Page drawing : {MB_Code_Page::kUnknown, MB_Code_Page::kShiftJis, MB_Code_Page::kGbk,
                               MB_Code_Page::kKorean, MB_Code_Page::kBig5}) {
    const MB_Code_Page page = lib.big_font_code_page(drawing);
    if (page == MB_Code_Page::kUnknown) std::abort();
    unsigned leads = 0;
    for (unsigned byte = 0; byte < 256; ++byte)
      leads += mb_big_font_lead_byte(lib.lead_ranges(), page, static_cast<uint8_t>(byte)) ? 1 : 0;
    (void)leads;
    for (uint32_t unicode : {0x41u, 0x4E2Du, 0x9762u, 0x5909u, 0xB3C4u, 0xFF76u}) {
      const uint32_t code = mb_code_page_code(page, unicode);
      if (code != 0 && (code >> 8) < 0x81) std::abort();
    }
  }
}
