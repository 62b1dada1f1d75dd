// Glyph layout: a compiled shape font interprets each glyph's bytes on every
// request; the same font compiled from source keeps point sets. The source
// font's layout is the baseline the interpreter is measured against, and a
// TrueType string (cached outlines) is shown beside them.
#include <benchmark/benchmark.h>

#include <string>

#include "database/fonts/mb_shp_library.h"
#include "database/fonts/mb_shx_library.h"
#include "database/fonts/mb_ttf_library.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"

namespace {

const std::string kDir = std::string(QM_SOURCE_DIR) + "/fonts/";

void lay_out(benchmark::State& state, MB_Font_Library& font) {
  size_t points = 0;
  for (auto _ : state) {
    As_Void_List out;
    As_Pt pen(0, 0, 0);
    for (unsigned long c = 0x41; c < 0x41 + 26; ++c) font.char_2_ptlist(c, out, pen, 10, 1, false);
    for (As_Void_Node* n = out.head(); n; n = n->next()) {
      As_Pt_List* l = static_cast<As_Pt_List*>(n->entity());
      points += static_cast<size_t>(l->count());
      delete l;
    }
  }
  benchmark::DoNotOptimize(points);
  state.SetItemsProcessed(state.iterations() * 26);
}

void BM_ShpBaseline(benchmark::State& state) {
  static MB_Shp_Library font((kDir + "kst32b.shp").c_str());
  lay_out(state, font);
}
BENCHMARK(BM_ShpBaseline);

void BM_ShxInterpreted(benchmark::State& state) {
  static MB_Shx_Library font((kDir + "kst32b.shx").c_str());
  lay_out(state, font);
}
BENCHMARK(BM_ShxInterpreted);

void BM_TrueTypeCached(benchmark::State& state) {
  static MB_TTF_Library font("DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  lay_out(state, font);
}
BENCHMARK(BM_TrueTypeCached);

}  // namespace
