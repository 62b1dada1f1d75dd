// Compression codec of the native format against zlib on the same bytes:
// a stand-in for a saved drawing of 1,000,000 lines, built from the binary
// line record (opcode "L", a zero save-flag long, start and end as x/y
// deltas from the previous point written, little-endian doubles), with a
// colour record (0x03 and a long) whenever the colour changes and now and
// then a width record ("j" and a double).
//
// The drawing mixes what real files hold, by groups of lines: 40% chains of
// connected axis-aligned segments (start delta 0) and 20% rectangles, both
// on a 0.5 mm grid; 20% hatch-like runs of parallel lines at a computed
// angle and 20% loose lines anywhere, whose coordinates use the whole
// mantissa. About 37 MB; a real saved drawing replaces it once files can be
// written.
//
// Ratio is uncompressed / compressed size; bytes_per_second counts
// uncompressed bytes for both directions.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "database/fileformat/kzf_codec.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Drawing_Writer {
 public:
  Bytes bytes;
  void byte(uint8_t b) { bytes.push_back(b); }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
  }
  void real(double d) {
    uint64_t v;
    std::memcpy(&v, &d, 8);
    for (int i = 0; i < 8; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
  }
  void position(double x, double y) {
    real(x - last_x_);
    real(y - last_y_);
    last_x_ = x, last_y_ = y;
  }
  void line(double x0, double y0, double x1, double y1) {
    byte('L');
    u32(0);
    position(x0, y0);
    position(x1, y1);
  }

 private:
  double last_x_ = 0, last_y_ = 0;
};

Bytes make_drawing(int lines) {
  std::mt19937 rng(20240611);
  auto uni = [&rng](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
  auto grid = [&rng](int a, int b) { return 0.5 * std::uniform_int_distribution<int>(2 * a, 2 * b)(rng); };
  Drawing_Writer w;
  static const uint32_t colours[] = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0x808080, 0xFFFFFF};
  double x = 0, y = 0;
  for (int n = 0; n < lines;) {
    if (rng() % 150 == 0) {
      w.byte(0x03);
      w.u32(colours[rng() % 7]);
    }
    if (rng() % 1000 == 0) {
      w.byte('j');
      w.real(grid(0, 2));
    }
    int kind = int(rng() % 10);
    if (kind < 4) {  // a chain of connected segments on the grid
      int k = 2 + int(rng() % 12);
      x = grid(0, 40000), y = grid(0, 30000);
      for (int i = 0; i < k && n < lines; ++i, ++n) {
        double nx = x, ny = y;
        (rng() % 2 ? nx : ny) += grid(-3000, 3000);
        w.line(x, y, nx, ny);
        x = nx, y = ny;
      }
    } else if (kind < 6) {  // a rectangle
      double x0 = grid(0, 40000), y0 = grid(0, 30000);
      double x1 = x0 + grid(10, 2000), y1 = y0 + grid(10, 2000);
      double c[5][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
      for (int i = 0; i < 4 && n < lines; ++i, ++n) w.line(c[i][0], c[i][1], c[i + 1][0], c[i + 1][1]);
    } else if (kind < 8) {  // hatch-like parallel lines at a computed angle
      double a = uni(0, 3.141592653589793), len = grid(100, 1500), step = grid(1, 20);
      double ox = grid(0, 40000), oy = grid(0, 30000);
      double dx = std::cos(a) * len, dy = std::sin(a) * len;
      double px = -std::sin(a) * step, py = std::cos(a) * step;
      int k = 3 + int(rng() % 20);
      for (int i = 0; i < k && n < lines; ++i, ++n)
        w.line(ox + i * px, oy + i * py, ox + i * px + dx, oy + i * py + dy);
    } else {  // loose lines anywhere
      w.line(uni(0, 40000), uni(0, 30000), uni(0, 40000), uni(0, 30000));
      ++n;
    }
  }
  return w.bytes;
}

const Bytes& drawing() {
  static const Bytes d = make_drawing(1000000);
  return d;
}

const Bytes& kzf_stream() {
  static const Bytes s = [] {
    Bytes out;
    kzf_compress(drawing().data(), drawing().size(), 100, out);
    return out;
  }();
  return s;
}

const Bytes& zlib_stream(int level) {
  static Bytes streams[10];
  Bytes& s = streams[level];
  if (s.empty()) {
    uLongf n = compressBound(uLong(drawing().size()));
    s.resize(n);
    compress2(s.data(), &n, drawing().data(), uLong(drawing().size()), level);
    s.resize(n);
  }
  return s;
}

void report(benchmark::State& state, size_t compressed) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(drawing().size()));
  state.counters["ratio"] = double(drawing().size()) / double(compressed);
  state.counters["MB_in"] = double(drawing().size()) / 1e6;
}

void BM_KzfCompress(benchmark::State& state) {
  const Bytes& in = drawing();
  Bytes out;
  for (auto _ : state) {
    out.clear();
    if (kzf_compress(in.data(), in.size(), 100, out)) state.SkipWithError("compress failed");
    benchmark::DoNotOptimize(out.data());
  }
  report(state, out.size());
}

// As the file pass feeds it: one write per field of 1, 4 or 8 bytes.
void BM_KzfCompressFieldWrites(benchmark::State& state) {
  const Bytes& in = drawing();
  struct Sink : MB_Byte_Sink {
    size_t n = 0;
    MB_Result write(int k, const void*) override {
      n += size_t(k);
      return 0;
    }
  } sink;
  for (auto _ : state) {
    sink.n = 0;
    MB_LZ_Compressor enc(&sink, 100);
    enc.start();
    static const int sizes[] = {1, 4, 8, 8, 8, 8};
    size_t at = 0;
    for (int i = 0; at < in.size(); i = (i + 1) % 6) {
      int k = int(std::min<size_t>(size_t(sizes[i]), in.size() - at));
      enc.compress(k, in.data() + at);
      at += size_t(k);
    }
    enc.finish();
  }
  report(state, sink.n);
}

void BM_KzfDecompress(benchmark::State& state) {
  const Bytes& s = kzf_stream();
  Bytes out;
  out.reserve(drawing().size() + (1 << 16));
  for (auto _ : state) {
    out.clear();
    if (kzf_decompress(s.data() + 7, s.size() - 7, 100, out)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(out.data());
  }
  if (out != drawing()) state.SkipWithError("round trip differs");
  report(state, s.size());
}

// As the file pass reads: one read per field of 1, 4 or 8 bytes.
void BM_KzfDecompressFieldReads(benchmark::State& state) {
  const Bytes& s = kzf_stream();
  struct Source : MB_Byte_Source {
    const Bytes* s;
    size_t pos = 7;
    MB_Result read(int n, int& got, void* buf) override {
      size_t k = std::min(s->size() - pos, size_t(n));
      std::memcpy(buf, s->data() + pos, k);
      pos += k;
      got = int(k);
      return k ? 0 : 3;
    }
  } src;
  src.s = &s;
  Bytes out(drawing().size() + 8);
  for (auto _ : state) {
    src.pos = 7;
    MB_LZ_Decompressor dec(&src, 100);
    dec.start();
    static const int sizes[] = {1, 4, 8, 8, 8, 8};
    int got = 0;
    MB_Result r = 0;
    for (int i = 0; !r; i = (i + 1) % 6) {
      r = dec.read(sizes[i], got, out.data() + got);
    }
    if (r != MB_END_OF_BLOCK || size_t(got) != drawing().size()) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(out.data());
  }
  report(state, s.size());
}

void BM_ZlibCompress(benchmark::State& state) {
  int level = int(state.range(0));
  const Bytes& in = drawing();
  Bytes out(compressBound(uLong(in.size())));
  uLongf n = 0;
  for (auto _ : state) {
    n = uLongf(out.size());
    compress2(out.data(), &n, in.data(), uLong(in.size()), level);
    benchmark::DoNotOptimize(out.data());
  }
  report(state, n);
}

void BM_ZlibInflate(benchmark::State& state) {
  const Bytes& s = zlib_stream(int(state.range(0)));
  Bytes out(drawing().size());
  for (auto _ : state) {
    uLongf n = uLongf(out.size());
    if (uncompress(out.data(), &n, s.data(), uLong(s.size())) != Z_OK) state.SkipWithError("inflate failed");
    benchmark::DoNotOptimize(out.data());
  }
  report(state, s.size());
}

}  // namespace

BENCHMARK(BM_KzfCompress)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KzfCompressFieldWrites)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KzfDecompress)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KzfDecompressFieldReads)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ZlibCompress)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ZlibInflate)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->MinTime(2.0);
