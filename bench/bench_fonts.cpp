// Glyph layout: a compiled shape font runs a glyph's bytes once and keeps
// its strokes; the same font compiled from source keeps point sets. The
// source font's layout is the baseline the compiled one is measured against,
// and a TrueType string (cached outlines) is shown beside them.
//
// Text layout: a text of 1,000 characters in a compiled font of many points
// per glyph, measured beside the interpretation of the same 1,000 glyphs
// alone (goal: within 2 times); and 10,000 texts of 8 characters each in the
// font of the kernel (goal: under 40 ms) and in a TrueType font (goal: under
// 80 ms), the latter beside the same texts laid out through point lists;
// and 10,000 texts of 8 Chinese and kana characters beside as many Latin ones
// in the same style, unifont and TrueType (goal: within 2 times).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "database/entities/mb_text.h"
#include "database/fonts/mb_shp_library.h"
#include "database/fonts/mb_shx_library.h"
#include "database/fonts/mb_ttf_library.h"
#include "database/nodes/mb_draw_node.h"
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

// The characters of the texts: letters and digits, cycled.
std::string text_of(size_t n) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string t;
  for (size_t i = 0; i < n; ++i) t += kChars[i % (sizeof kChars - 1)];
  return t;
}

MB_Shx_Library& compiled_font() {
  static MB_Shx_Library font((kDir + "kst32b.shx").c_str());
  return font;
}

void put16(std::vector<uint8_t>& v, size_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

// A shape font of the characters of text_of whose glyphs have 46 points
// each: a stroke up, a full circle of radius 3 (32 chords), a bulge arc (10
// chords), a stroke down, then the pen up to the next cell.
MB_Shx_Library& round_font() {
  static MB_Shx_Library* font = [] {
    const std::string chars = text_of(62);
    const std::vector<uint8_t> info = {'R', 0, 8, 2, 0, 0};
    const std::vector<uint8_t> glyph = {'G', 0, 0x14, 10, 3, 0x00, 12, 4, 0, 64, 0x1C, 2, 8, 2, 0xFE, 0};
    std::vector<uint8_t> v;
    const std::string sig = "AutoCAD-86 shapes 1.0\r\n\x1a";
    v.insert(v.end(), sig.begin(), sig.end());
    put16(v, 0);
    put16(v, 127);
    put16(v, chars.size() + 1);
    put16(v, 0);
    put16(v, info.size());
    for (char c : chars) {
      put16(v, static_cast<unsigned char>(c));
      put16(v, glyph.size());
    }
    v.insert(v.end(), info.begin(), info.end());
    for (size_t i = 0; i < chars.size(); ++i) v.insert(v.end(), glyph.begin(), glyph.end());
    MB_Shx_Library* f = new MB_Shx_Library;
    f->load_shx_bytes(v.data(), v.size());
    return f;
  }();
  return *font;
}

// The baseline: each glyph's bytes run by the interpreter, nothing placed.
void BM_GlyphsInterpreted1000(benchmark::State& state) {
  MB_Shx_Library& font = round_font();
  const std::string text = text_of(1000);
  Shape_Interpreter run(
      Shape_Font_Kind::kShapes,
      [&font](uint32_t code) -> const std::vector<uint8_t>* {
        const MB_Shx_Char* c = font.find(code);
        return c ? &c->data() : nullptr;
      },
      font.height());
  size_t points = 0;
  for (auto _ : state) {
    points = 0;
    for (char c : text) {
      const MB_Shx_Char* shape = font.find(static_cast<unsigned char>(c));
      const Shape_Glyph g = run.run(shape->data().data(), shape->data().size());
      for (const Shape_Stroke& s : g.strokes) points += s.size();
    }
    benchmark::DoNotOptimize(points);
  }
  state.counters["points"] = static_cast<double>(points);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_GlyphsInterpreted1000);

void BM_TextLayout1000(benchmark::State& state) {
  MB_Text text(As_Pt(0, 0, 0), MB_String(text_of(1000).c_str()));
  text.text_style().font_lib(&round_font());
  text.text_style().height(10);
  text.text_style().width_scale(1);
  unsigned long points = 0;
  for (auto _ : state) {
    text.build_draw();
    points = static_cast<MB_Draw_Lines_Sets*>(text.draw_node())->pts_count();
    benchmark::DoNotOptimize(points);
  }
  state.counters["points"] = static_cast<double>(points);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_TextLayout1000);

// Goal: 10,000 texts in under 40 ms.
void BM_TextsOf8Chars10000(benchmark::State& state) {
  const std::string chars = text_of(8);
  std::vector<MB_Text> texts;
  texts.reserve(10000);
  for (int i = 0; i < 10000; ++i) {
    texts.emplace_back(As_Pt(i, 0, 0), MB_String(chars.c_str()));
    texts.back().text_style().font_lib(&compiled_font());
    texts.back().text_style().height(10);
    texts.back().text_style().width_scale(1);
  }
  for (auto _ : state) {
    for (MB_Text& t : texts) t.build_draw();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_TextsOf8Chars10000)->Unit(benchmark::kMillisecond);

// The TrueType font as it was laid out before texts took point sets from
// it: each glyph through its point lists, a list node per point.
class Ttf_Through_Lists : public MB_Font_Library {
 public:
  explicit Ttf_Through_Lists(MB_TTF_Library& font) : font_(font) {}
  int font_type() const override { return font_.font_type(); }
  double height() const override { return font_.height(); }
  bool char_2_ptlist(unsigned long code, As_Void_List& out, As_Pt& pen, double height, double width,
                     bool vertical) override {
    return font_.char_2_ptlist(code, out, pen, height, width, vertical);
  }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

 private:
  MB_TTF_Library& font_;
};

MB_TTF_Library& ttf_font() {
  static MB_TTF_Library font("DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  return font;
}

// 10,000 texts of the characters in the font, laid out once per iteration.
void lay_out_texts(benchmark::State& state, MB_Font_Library& font, const std::string& chars = text_of(8)) {
  std::vector<MB_Text> texts;
  texts.reserve(10000);
  for (int i = 0; i < 10000; ++i) {
    texts.emplace_back(As_Pt(i, 0, 0), MB_String(chars.c_str()));
    texts.back().text_style().font_lib(&font);
    texts.back().text_style().height(10);
    texts.back().text_style().width_scale(1);
  }
  texts.front().build_draw();  // the glyphs' outlines are made once, not timed
  for (auto _ : state) {
    for (MB_Text& t : texts) t.build_draw();
    benchmark::ClobberMemory();
  }
  state.counters["points"] =
      static_cast<double>(static_cast<MB_Draw_Lines_Sets*>(texts.back().draw_node())->pts_count());
  state.SetItemsProcessed(state.iterations() * 10000);
}

void BM_TrueTypeTextsThroughListsBaseline(benchmark::State& state) {
  Ttf_Through_Lists lists(ttf_font());
  lay_out_texts(state, lists);
}
BENCHMARK(BM_TrueTypeTextsThroughListsBaseline)->Unit(benchmark::kMillisecond);

// Goal: 10,000 texts in under 80 ms.
void BM_TrueTypeTextsOf8Chars10000(benchmark::State& state) { lay_out_texts(state, ttf_font()); }
BENCHMARK(BM_TrueTypeTextsOf8Chars10000)->Unit(benchmark::kMillisecond);

// Chinese and Japanese beside Latin in the same style (goal: each within 2
// times the Latin texts): 10,000 texts of 8 characters in GBK, in the
// kernel's unifont (which has them all, drawn by their Unicode code points)
// and in a TrueType style naming the usual Chinese face (an installed CJK
// face stands in).
const char kCjk8[] = "\xD6\xD0\xCE\xC4\xD7\xD6\xA4\xAB\xA4\xCA\xD0\xCE\xD1\xA7\x9F\x6F";  // 中文字かな形学無

MB_TTF_Library& chinese_ttf_font() {
  static MB_TTF_Library font("simsun.ttf");
  return font;
}

void BM_UnifontLatinTexts10000(benchmark::State& state) { lay_out_texts(state, compiled_font()); }
BENCHMARK(BM_UnifontLatinTexts10000)->Unit(benchmark::kMillisecond);

void BM_UnifontCjkTexts10000(benchmark::State& state) { lay_out_texts(state, compiled_font(), kCjk8); }
BENCHMARK(BM_UnifontCjkTexts10000)->Unit(benchmark::kMillisecond);

void BM_TrueTypeLatinTexts10000(benchmark::State& state) { lay_out_texts(state, chinese_ttf_font()); }
BENCHMARK(BM_TrueTypeLatinTexts10000)->Unit(benchmark::kMillisecond);

void BM_TrueTypeCjkTexts10000(benchmark::State& state) { lay_out_texts(state, chinese_ttf_font(), kCjk8); }
BENCHMARK(BM_TrueTypeCjkTexts10000)->Unit(benchmark::kMillisecond);

}  // namespace
