// Fuzz target for the kernel's compiling of shape-font source text. The
// input is the text; every shape it compiles is placed at a pen, with a few
// fixed codes besides, all within one text's budget. Malformed text must
// compile what it can: no crash, no hang, no unbounded allocation. The font
// is then asked as a big font (big_font_probe.h).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_shp_library.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"
#include "tests/fuzz/big_font_probe.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void draw(MB_Shp_Library& lib, unsigned long code) {
  As_Void_List out;
  As_Pt pen(0, 0, 0);
  const bool found = lib.char_2_ptlist(code, out, pen, 2.5, 0.8, (code & 1) != 0);
  check(found == (code <= 0xFFFF && lib.font_char_set(static_cast<unsigned short>(code)) != nullptr));
  for (As_Void_Node* n = out.head(); n; n = n->next()) delete static_cast<As_Pt_List*>(n->entity());
  out.emptyYourself();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MB_Shp_Library lib;
  const std::string text(reinterpret_cast<const char*>(data), size);
  check(lib.load_text(text) == !text.empty());
  check(lib.height() > 0);
  MB_Glyph_Budget budget(MB_Glyph_Budget::kText);
  for (MB_Font_Char* c : lib.glyphs()) draw(lib, c->code());
  for (unsigned long code : {0ul, 0x41ul, 0xA1A1ul, 0x10000ul}) draw(lib, code);
  probe_big_font(lib);
  return 0;
}
