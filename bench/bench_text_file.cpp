// Text-mode streams against plain binary stdio (the baseline): reading a
// 2 MB file line by line and writing one, the way the SHP and HPGL readers
// and writers use them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "qm_file.h"

namespace {

const std::string& sample_path() {
  static const std::string path = [] {
    std::string p = "/tmp/qm_bench_text_" + std::to_string(getpid()) + ".txt";
    FILE* f = fopen(p.c_str(), "wb");
    for (int i = 0; i < 50000; ++i) fprintf(f, "*%d,12,SHAPE%d\r\n2,14,8,(-6,-10),1,024,043,04D,02C,0\r\n", i, i);
    fclose(f);
    return p;
  }();
  return path;
}

void read_lines(benchmark::State& state, FILE* (*open)(const char*, const char*), const char* mode) {
  char line[256];
  for (auto _ : state) {
    FILE* f = open(sample_path().c_str(), mode);
    size_t n = 0;
    while (fgets(line, sizeof line, f)) ++n;
    fclose(f);
    benchmark::DoNotOptimize(n);
  }
}

void write_lines(benchmark::State& state, FILE* (*open)(const char*, const char*), const char* mode) {
  const std::string out = sample_path() + ".out";
  for (auto _ : state) {
    FILE* f = open(out.c_str(), mode);
    for (int i = 0; i < 50000; ++i) fprintf(f, "*%d,12,SHAPE%d\n2,14,8,(-6,-10),1,024,043,04D,02C,0\n", i, i);
    fclose(f);
  }
  unlink(out.c_str());
}

FILE* plain_fopen(const char* path, const char* mode) { return fopen(path, mode); }

void BM_ReadLinesBinaryBaseline(benchmark::State& s) { read_lines(s, plain_fopen, "rb"); }
void BM_ReadLinesTextMode(benchmark::State& s) { read_lines(s, qm_fopen, "r"); }
void BM_WriteLinesBinaryBaseline(benchmark::State& s) { write_lines(s, plain_fopen, "wb"); }
void BM_WriteLinesTextMode(benchmark::State& s) { write_lines(s, qm_fopen, "wt"); }

}  // namespace

BENCHMARK(BM_ReadLinesBinaryBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLinesTextMode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLinesBinaryBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLinesTextMode)->Unit(benchmark::kMillisecond);
