// Fuzz target for the kernel's reading of compiled shape fonts. The input is
// a whole font file, read from the bytes as the library reads a file; every
// shape it holds is then drawn, with a few two-byte codes besides, and the
// glyph of each is placed at a pen, all within one text's budget. Malformed
// fonts must load what fits and draw the strokes made so far: no crash, no
// hang, no read outside the bytes. The font is then asked as a big font
// (big_font_probe.h).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_shx_library.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"
#include "tests/fuzz/big_font_probe.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

// Shapes drawn per input, all as one text: together they run within the
// text budget, as a text of them would.
constexpr int kMaxDrawn = 64;

void draw(MB_Shx_Library& lib, uint32_t code) {
  Shape_Glyph g;
  if (!lib.glyph(code, &g)) {
    check(lib.find(code) == nullptr);
    return;
  }
  for (const Shape_Stroke& s : g.strokes) check(s.size() >= 2);
  As_Void_List out;
  As_Pt pen(0, 0, 0);
  check(lib.char_2_ptlist(code, out, pen, 2.5, 0.8, (code & 1) != 0));
  for (As_Void_Node* n = out.head(); n; n = n->next()) delete static_cast<As_Pt_List*>(n->entity());
  out.emptyYourself();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MB_Shx_Library lib;
  const bool ok = lib.load_shx_bytes(data, size);
  check(ok == (lib.kind() != MB_Shx_Library::kUnknown));
  check(lib.height() > 0);
  MB_Glyph_Budget budget(MB_Glyph_Budget::kText);
  int drawn = 0;
  for (const MB_Shx_Char* c = lib.char_list().first(); c && drawn < kMaxDrawn; c = c->next(), ++drawn) {
    check(c->data().size() <= size);
    draw(lib, static_cast<uint32_t>(c->code()));
  }
  for (uint32_t code : {0u, 0x41u, 0xA1A1u, 0xB0A1u, 0x8140u, 0xFEFEu}) draw(lib, code);
  probe_big_font(lib);
  return 0;
}
