// Saving and loading a drawing of 1,000,000 lines in the native format,
// beside reading the same file's bytes into memory (the floor for a load)
// in the same run.
//
// The drawing: 40% chains of connected axis-aligned segments on a 0.5 mm
// grid, 20% rectangles, 20% hatch-like runs of parallel lines, 20% loose
// lines anywhere; the colour changes every 100 lines and the width now and
// then, so the attribute records appear as in real files. Items are
// entities; bytes are bytes of the compressed file.
//
// The fixture loads the file once untimed and the process keeps the memory
// it frees, so that the timed loads measure the loader and the allocator,
// not the first touch of fresh pages (very slow on virtual machines).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "database/entities/mb_line.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"

namespace {

constexpr int kLines = 1000000;

void fill(MB_Drawing& d) {
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> grid(0, 4000);
  std::uniform_real_distribution<double> any(-5000.0, 5000.0);
  As_Pt at(0, 0, 0);
  for (int i = 0; i < kLines;) {
    const int group = (i / 1000) % 5;
    const int n = std::min(1000, kLines - i);
    for (int k = 0; k < n; ++k, ++i) {
      As_Pt a, b;
      if (group <= 1) {  // chains
        a = at;
        b = (k % 2) ? As_Pt(a.x(), a.y() + 0.5 * (grid(rng) % 40), 0)
                    : As_Pt(a.x() + 0.5 * (grid(rng) % 40), a.y(), 0);
        at = b;
      } else if (group == 2) {  // rectangles
        const double x = 0.5 * grid(rng), y = 0.5 * grid(rng), w = 0.5 * (1 + grid(rng) % 60);
        const As_Pt c[4] = {As_Pt(x, y, 0), As_Pt(x + w, y, 0), As_Pt(x + w, y + w, 0), As_Pt(x, y + w, 0)};
        a = c[k % 4];
        b = c[(k + 1) % 4];
      } else if (group == 3) {  // hatching
        const double s = 0.25 * k;
        a = As_Pt(s * std::cos(0.7), s * std::sin(0.7) + 100, 0);
        b = As_Pt(a.x() + 30 * std::cos(0.7 + 1.5707963267948966), a.y() + 30 * std::sin(2.2707963267948966), 0);
      } else {  // loose lines
        a = As_Pt(any(rng), any(rng), 0);
        b = As_Pt(any(rng), any(rng), 0);
      }
      MB_Line* l = new MB_Line(a, b);
      l->general().color(int32_t(0x10000 * ((i / 100) % 7) + 0x40));
      if (i % 1000 == 0) l->general().width(0.25 * (1 + (i / 1000) % 3));
      d.object_list().add_tail(l);
    }
  }
}

struct Fixture {
  MB_Drawing drawing;
  std::string path = "/tmp/bench_fileformat.kzf";
  long size = 0;
  Fixture() {
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    fill(drawing);
    MB_File_IO io;
    io.drawing(&drawing);
    io.save_kzf(&path[0]);
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      std::fseek(f, 0, SEEK_END);
      size = std::ftell(f);
      std::fclose(f);
    }
    MB_Drawing warm;
    MB_File_IO in;
    in.drawing(&warm);
    in.load_kzf(path.c_str());
  }
  ~Fixture() { std::remove(path.c_str()); }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void report(benchmark::State& state) {
  state.SetItemsProcessed(int64_t(state.iterations()) * kLines);
  state.SetBytesProcessed(int64_t(state.iterations()) * fixture().size);
  state.counters["file_MB"] = double(fixture().size) / 1e6;
}

void BM_Save(benchmark::State& state) {
  Fixture& f = fixture();
  std::string out = "/tmp/bench_fileformat_save.kzf";
  for (auto _ : state) {
    MB_File_IO io;
    io.drawing(&f.drawing);
    if (!io.save_kzf(&out[0])) state.SkipWithError("save failed");
  }
  std::remove(out.c_str());
  report(state);
}

void BM_Load(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    state.PauseTiming();
    MB_Drawing* d = new MB_Drawing();
    state.ResumeTiming();
    MB_File_IO io;
    io.drawing(d);
    const bool ok = io.load_kzf(f.path.c_str());
    state.PauseTiming();
    if (!ok || d->object_list().count() != kLines) state.SkipWithError("load failed");
    delete d;
    state.ResumeTiming();
  }
  report(state);
}

void BM_ReadBytes(benchmark::State& state) {
  Fixture& f = fixture();
  std::vector<char> buf(size_t(f.size) + 1);
  for (auto _ : state) {
    FILE* in = std::fopen(f.path.c_str(), "rb");
    size_t got = in ? std::fread(buf.data(), 1, buf.size(), in) : 0;
    if (in) std::fclose(in);
    benchmark::DoNotOptimize(got);
    benchmark::ClobberMemory();
  }
  report(state);
}

}  // namespace

BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(5);
