// Saving and loading a drawing of 1,000,000 lines in the native format,
// beside reading the same file's bytes into memory (the floor for a load)
// in the same run.
//
// The drawing is bench_drawing_file.h's. Items are entities; bytes are bytes
// of the compressed file.
//
// Beside the load: decoding the file's compressed block alone, the floor
// the reading of records adds to. BM_Memory loads a drawing and reports the
// heap bytes it holds per entity (malloc's in-use figure, so the allocator's
// own headers count, and objects' pool blocks) beside the bytes of the
// entity's raw points; once for the lines, once for a mix of lines, circles
// and texts.
//
// The fixture loads the file once untimed and the process keeps the memory
// it frees, so that the timed loads measure the loader and the allocator,
// not the first touch of fresh pages (very slow on virtual machines).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_drawing_file.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_text.h"
#include "database/fileformat/kzf_codec.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"

namespace {

using bench_file::fill;
using bench_file::kLines;

// A third each of lines, circles and one-word texts, a point's raw bytes
// (24) per line end, centre or text position.
constexpr int kMixed = 300000;
constexpr double kMixedPointBytes = (2 * 24 + 24 + 24) / 3.0;

void fill_mixed(MB_Drawing& d) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> any(-5000.0, 5000.0);
  const MB_String words[] = {MB_String("A1"), MB_String("door"), MB_String("12.5")};
  for (int i = 0; i < kMixed; ++i) {
    const As_Pt p(any(rng), any(rng), 0);
    MB_Drawable* e = nullptr;
    if (i % 3 == 0) {
      e = new MB_Line(p, As_Pt(any(rng), any(rng), 0));
    } else if (i % 3 == 1) {
      e = new MB_Circle(p, 1 + (i % 50));
    } else {
      e = new MB_Text(p, words[i % 3]);
    }
    e->general().color(int32_t(0x10000 * ((i / 100) % 7) + 0x40));
    d.object_list().add_tail(e);
  }
}

std::vector<uint8_t> read_all(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fseek(f, 0, SEEK_END);
    bytes.resize(size_t(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
    std::fclose(f);
  }
  return bytes;
}

bool save(MB_Drawing& d, std::string& path) {
  MB_File_IO io;
  io.drawing(&d);
  return io.save_kzf(&path[0]);
}

struct Fixture {
  MB_Drawing drawing;
  std::string path = "/tmp/bench_fileformat.kzf";
  std::string mixed_path = "/tmp/bench_fileformat_mixed.kzf";
  long size = 0;
  std::vector<uint8_t> block;  // the compressed block, after its marker
  Fixture() {
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    fill(drawing);
    save(drawing, path);
    const std::vector<uint8_t> file = read_all(path);
    size = long(file.size());
    // The marker record is what the compressor writes first.
    std::vector<uint8_t> empty;
    kzf_compress(nullptr, 0, 100, empty);
    const size_t marker = 7;
    for (size_t i = 0; empty.size() >= marker && i + marker <= file.size(); ++i) {
      if (std::equal(empty.begin(), empty.begin() + marker, file.begin() + long(i))) {
        block.assign(file.begin() + long(i + marker), file.end());
        break;
      }
    }
    MB_Drawing mixed;
    fill_mixed(mixed);
    save(mixed, mixed_path);
    MB_Drawing warm;
    MB_File_IO in;
    in.drawing(&warm);
    in.load_kzf(path.c_str());
  }
  ~Fixture() {
    std::remove(path.c_str());
    std::remove(mixed_path.c_str());
  }
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

void BM_Decompress(benchmark::State& state) {
  Fixture& f = fixture();
  std::vector<uint8_t> out;
  // Once untimed, so that the output's pages are touched as the loader's are.
  kzf_decompress(f.block.data(), f.block.size(), 100, out);
  for (auto _ : state) {
    out.clear();
    if (f.block.empty() || kzf_decompress(f.block.data(), f.block.size(), 100, out))
      state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(out.data());
  }
  report(state);
  state.counters["decoded_MB"] = double(out.size()) / 1e6;
}

// Heap bytes in use: the heap's own figure, with the object pools' slabs
// counted by the blocks of live objects in them (a freed block stays in its
// pool for the next object).
size_t held() {
  const MB_Object::Pool_Stats pools = MB_Object::pool_stats();
  return mallinfo2().uordblks - (pools.reserved - pools.mapped) + pools.live;
}

// Heap bytes held per entity of a loaded drawing, beside its points' bytes.
void memory(benchmark::State& state, const std::string& path, int count, double point_bytes) {
  double per_entity = 0;
  for (auto _ : state) {
    const size_t before = held();
    MB_Drawing* d = new MB_Drawing();
    MB_File_IO io;
    io.drawing(d);
    const bool ok = io.load_kzf(path.c_str());
    const size_t after = held();
    if (!ok || d->object_list().count() != count) state.SkipWithError("load failed");
    per_entity = double(after - before) / count;
    state.PauseTiming();
    delete d;
    state.ResumeTiming();
  }
  state.counters["bytes_per_entity"] = per_entity;
  state.counters["point_bytes"] = point_bytes;
  state.counters["x_points"] = per_entity / point_bytes;
}

void BM_MemoryLines(benchmark::State& state) { memory(state, fixture().path, kLines, 48.0); }
void BM_MemoryMixed(benchmark::State& state) { memory(state, fixture().mixed_path, kMixed, kMixedPointBytes); }

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
BENCHMARK(BM_Decompress)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_MemoryLines)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MemoryMixed)->Unit(benchmark::kMillisecond)->Iterations(1);
