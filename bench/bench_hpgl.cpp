// The HPGL library: importing a 20 MB plot file beside reading its bytes and
// parsing its numbers with a plain strtod loop (the baseline), and exporting
// 100,000 and 1,000,000 strokes, whose time per stroke should not grow.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"
#include "exchange/hpgl/penplot.h"

namespace {

// A plot as drivers write it: a pen-up move, then a pen-down run of twenty
// points, about 20 MB in all.
const std::string& plot_path() {
  static const std::string path = [] {
    std::string p = "/tmp/qm_bench_hpgl_" + std::to_string(getpid()) + ".plt";
    FILE* f = std::fopen(p.c_str(), "wb");
    std::fputs("IN;SP1;", f);
    long written = 0;
    unsigned seed = 1;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16 & 0x7FFF; };
    while (written < 20L * 1024 * 1024) {
      int n = std::fprintf(f, "PU%u,%u;PD", next(), next());
      for (int k = 0; k < 20; ++k) n += std::fprintf(f, k ? ",%u,%u" : "%u,%u", next(), next());
      n += std::fprintf(f, ";\n");
      written += n;
    }
    std::fclose(f);
    return p;
  }();
  return path;
}

void BM_ReadAndStrtodBaseline(benchmark::State& state) {
  std::vector<char> bytes;
  for (auto _ : state) {
    FILE* f = std::fopen(plot_path().c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    bytes.resize(static_cast<size_t>(std::ftell(f)) + 1);
    std::fseek(f, 0, SEEK_SET);
    const size_t n = std::fread(bytes.data(), 1, bytes.size() - 1, f);
    std::fclose(f);
    bytes[n] = 0;
    double sum = 0;
    for (char* p = bytes.data(); *p;) {
      if ((*p >= '0' && *p <= '9') || *p == '-') {
        char* end;
        sum += std::strtod(p, &end);
        p = end;
      } else {
        ++p;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void BM_Import(benchmark::State& state) {
  const std::string& path = plot_path();
  for (auto _ : state) {
    auto drawing = std::make_unique<MB_Drawing>();
    if (!api_mb_load_hpgl_file(path.c_str())) state.SkipWithError("load failed");
    state.PauseTiming();
    drawing.reset();
    state.ResumeTiming();
  }
}

// Rows of unit segments, every other one drawn backwards, so that each row
// chains into one stroke through every join orientation.
void BM_Export(benchmark::State& state) {
  const int strokes = static_cast<int>(state.range(0));
  auto drawing = std::make_unique<MB_Drawing>();
  for (int i = 0; i < strokes; ++i) {
    const double x = i % 1000, y = i / 1000;
    As_Pt a(x, y, 0), b(x + 1, y, 0);
    MB_Line* l = (i & 1) ? new MB_Line(b, a) : new MB_Line(a, b);
    l->general().display_color(0xFFFFFF);
    const As_Pt ends[2] = {l->start(), l->end()};
    l->edge().init(2, ends);
    drawing->add_object(l);
  }
  const std::string out = plot_path() + ".out";
  for (auto _ : state) {
    if (!api_mb_save_hpgl_file(out.c_str())) state.SkipWithError("save failed");
  }
  std::remove(out.c_str());
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * strokes);
}

struct Cleanup {
  ~Cleanup() { std::remove(plot_path().c_str()); }
} cleanup;

}  // namespace

BENCHMARK(BM_ReadAndStrtodBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
