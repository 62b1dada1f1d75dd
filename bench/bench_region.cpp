// Point-in-polygon over a 10,000-vertex polygon: is_pos_in_region beside a
// plain hand-written crossing-number loop over the same vertices and the same
// query points; the two figures are meant to be read side by side. The
// "inside" counter shows that both answer alike.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/geom_algo.h"

namespace {

constexpr int kVertices = 10000;
constexpr int kQueries = 256;

// An irregular star-shaped outline: wavy radius plus a deterministic jitter.
const std::vector<As_Pt>& Polygon() {
  static const std::vector<As_Pt> pts = [] {
    std::vector<As_Pt> v;
    v.reserve(kVertices);
    uint32_t seed = 12345;
    for (int i = 0; i < kVertices; ++i) {
      seed = seed * 1103515245u + 12345u;
      double jitter = ((seed >> 16) & 0x7fff) / 32767.0;
      double a = two_pi * i / kVertices;
      double r = 100.0 * (1.0 + 0.3 * std::sin(17 * a) + 0.05 * jitter);
      v.emplace_back(r * std::cos(a), r * std::sin(a), 0.0);
    }
    return v;
  }();
  return pts;
}

// A 16 by 16 grid over the polygon's box and a little beyond it.
const std::vector<As_Pt>& Queries() {
  static const std::vector<As_Pt> q = [] {
    std::vector<As_Pt> v;
    for (int i = 0; i < kQueries; ++i) v.emplace_back(-150.0 + 300.0 * (i % 16) / 15.0, -150.0 + 300.0 * (i / 16) / 15.0, 0.0);
    return v;
  }();
  return q;
}

bool HandCrossing(const As_Pt& p, const As_Pt* v, int n) {
  bool c = false;
  for (int i = 0, j = n - 1; i < n; j = i++) {
    if (((v[i].y() > p.y()) != (v[j].y() > p.y())) &&
        (p.x() < (v[j].x() - v[i].x()) * (p.y() - v[i].y()) / (v[j].y() - v[i].y()) + v[i].x()))
      c = !c;
  }
  return c;
}

template <bool (*Test)(const As_Pt&, const As_Pt*, int)>
void Run(benchmark::State& state) {
  const std::vector<As_Pt>& poly = Polygon();
  const std::vector<As_Pt>& queries = Queries();
  int inside = 0;
  for (auto _ : state) {
    inside = 0;
    for (const As_Pt& p : queries) inside += Test(p, poly.data(), kVertices) ? 1 : 0;
    benchmark::DoNotOptimize(inside);
  }
  state.counters["inside"] = inside;
  state.SetItemsProcessed(state.iterations() * kQueries);
}

void BM_RegionKernel(benchmark::State& state) { Run<is_pos_in_region>(state); }
void BM_RegionHandLoop(benchmark::State& state) { Run<HandCrossing>(state); }

}  // namespace

BENCHMARK(BM_RegionKernel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RegionHandLoop)->Unit(benchmark::kMicrosecond);
