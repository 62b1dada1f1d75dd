// The off-screen surface against plain loops over the same 1920 x 1080
// 32-bit buffer: lines of 1 to 100 pixels against a textbook Bresenham loop,
// and filling the whole surface against memset.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "surface/cmydc.h"

namespace {

constexpr int kW = 1920, kH = 1080;

struct Seg {
  int x1, y1, x2, y2;
};

struct Fixture {
  CMyDC dc;
  uint32_t* bits = nullptr;
  int stride_px = 0;
  std::vector<Seg> segs;
  int64_t pixels = 0;  // pixels one pass over segs colours
  Fixture() {
    HDC ref = CreateCompatibleDC(nullptr);
    dc.CreateCompatibleDC(ref, kW, kH, 32);
    DeleteDC(ref);
    DIBSECTION ds = {};
    GetObject(GetCurrentObject(dc.GetDC(), OBJ_BITMAP), sizeof ds, &ds);
    bits = static_cast<uint32_t*>(ds.dsBm.bmBits);
    stride_px = ds.dsBm.bmWidthBytes / 4;
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> len(1, 100), sign(0, 1), px(100, kW - 101), py(100, kH - 101);
    for (int i = 0; i < 4096; ++i) {
      const int major = len(rng);
      std::uniform_int_distribution<int> minor(0, major);
      int dx = major, dy = minor(rng);
      if (sign(rng)) std::swap(dx, dy);
      if (sign(rng)) dx = -dx;
      if (sign(rng)) dy = -dy;
      const int x = px(rng), y = py(rng);
      segs.push_back(Seg{x, y, x + dx, y + dy});
      pixels += major;
    }
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

// The textbook all-octant Bresenham, end pixel left out, no clipping.
void plain_line(uint32_t* bits, int stride, int x0, int y0, int x1, int y1, uint32_t v) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (x0 != x1 || y0 != y1) {
    bits[static_cast<ptrdiff_t>(kH - 1 - y0) * stride + x0] = v;
    const int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
}

void BM_CMyDC_Lines(benchmark::State& state) {
  Fixture& f = fixture();
  uint32_t c = 0;
  for (auto _ : state) {
    f.dc.SetColor(c++ & 0xFFFFFF);
    for (const Seg& s : f.segs) f.dc.Line(s.x1, s.y1, s.x2, s.y2);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * f.pixels);
}
BENCHMARK(BM_CMyDC_Lines);

void BM_Plain_Bresenham(benchmark::State& state) {
  Fixture& f = fixture();
  uint32_t c = 0;
  for (auto _ : state) {
    const uint32_t v = c++ & 0xFFFFFF;
    for (const Seg& s : f.segs) plain_line(f.bits, f.stride_px, s.x1, s.y1, s.x2, s.y2, v);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * f.pixels);
}
BENCHMARK(BM_Plain_Bresenham);

void BM_CMyDC_FillRect(benchmark::State& state) {
  Fixture& f = fixture();
  RECT all = {0, 0, kW, kH};
  uint32_t c = 0;
  for (auto _ : state) {
    f.dc.SetColor(c++ & 0xFFFFFF);
    f.dc.FillRect(&all);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t(kW) * kH * 4);
}
BENCHMARK(BM_CMyDC_FillRect);

void BM_Memset(benchmark::State& state) {
  Fixture& f = fixture();
  int c = 0;
  for (auto _ : state) {
    std::memset(f.bits, c++ & 0xFF, static_cast<size_t>(f.stride_px) * 4 * kH);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t(kW) * kH * 4);
}
BENCHMARK(BM_Memset);

}  // namespace
