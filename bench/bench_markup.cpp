// Markup export and import of 100,000 markup polylines (four vertices each)
// beside libxml2 alone on the same document: serialising the parsed tree to
// memory, and parsing the exported text. Export fills the template, writes
// the tree and the file; import parses, walks the objects and makes the
// polylines in a drawing.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "database/entities/mb_polyline.h"
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "exchange/markup/markupio.h"

namespace {

constexpr int kPolylines = 100000;
constexpr int kVertices = 4;
const char kOut[] = "/tmp/bench_markup.rml";

MB_Drawing& markup_drawing() {
  static MB_Drawing* d = [] {
    MB_Drawing* drawing = new MB_Drawing();
    for (int i = 0; i < kPolylines; ++i) {
      MB_Pline_Pos* v = new MB_Pline_Pos[kVertices];
      for (int k = 0; k < kVertices; ++k) {
        v[k].point = As_Pt(i * 0.5 + k, k * 1.25 - i * 0.001, 0);
        v[k].start_width = v[k].end_width = 0.75;
      }
      MB_Polyline* p = new MB_Polyline(false, kVertices, v);
      p->set_string(MB_PROP_XDATA_TEXT, "@redline");
      drawing->object_list().add_tail(p);
    }
    return drawing;
  }();
  return *d;
}

const std::string& exported_text() {
  static const std::string text = [] {
    api_mb_save_xml(&markup_drawing(), "base.dwg", kOut);
    std::ifstream in(kOut, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }();
  return text;
}

void BM_MarkupExport(benchmark::State& state) {
  MB_Drawing& drawing = markup_drawing();
  for (auto _ : state) benchmark::DoNotOptimize(api_mb_save_xml(&drawing, "base.dwg", kOut));
  state.SetItemsProcessed(state.iterations() * kPolylines);
}
BENCHMARK(BM_MarkupExport)->Unit(benchmark::kMillisecond);

void BM_Libxml2Serialise(benchmark::State& state) {
  const std::string& text = exported_text();
  xmlDoc* doc = xmlReadMemory(text.data(), int(text.size()), nullptr, nullptr, XML_PARSE_NOBLANKS);
  for (auto _ : state) {
    xmlChar* mem = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc, &mem, &size, "UTF-8", 1);
    benchmark::DoNotOptimize(size);
    xmlFree(mem);
  }
  xmlFreeDoc(doc);
  state.SetItemsProcessed(state.iterations() * kPolylines);
}
BENCHMARK(BM_Libxml2Serialise)->Unit(benchmark::kMillisecond);

void BM_MarkupImport(benchmark::State& state) {
  exported_text();
  CString path(kOut);
  for (auto _ : state) {
    MB_Drawing drawing;
    CString base;
    benchmark::DoNotOptimize(api_mb_load_xml(path, &drawing, base));
  }
  state.SetItemsProcessed(state.iterations() * kPolylines);
}
BENCHMARK(BM_MarkupImport)->Unit(benchmark::kMillisecond);

void BM_Libxml2Parse(benchmark::State& state) {
  const std::string& text = exported_text();
  for (auto _ : state) {
    xmlDoc* doc = xmlReadMemory(text.data(), int(text.size()), nullptr, nullptr, XML_PARSE_NOBLANKS);
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
  }
  state.SetItemsProcessed(state.iterations() * kPolylines);
}
BENCHMARK(BM_Libxml2Parse)->Unit(benchmark::kMillisecond);

}  // namespace
