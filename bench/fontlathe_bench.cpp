// The font tool's decompiler on the real unifont kst32b (6,700 shapes),
// beside a baseline that reads the same font and writes one decimal token per
// byte through the same text-mode stream: the least a writer of one token per
// byte can do.
#include <benchmark/benchmark.h>
#include <qm_file.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fonttool/shape_interpreter.h"
#include "fonttool/shp_writer.h"

namespace {

const std::string kFont = std::string(QM_SOURCE_DIR) + "/fonts/kst32b.shx";
const std::string kOut = "/tmp/fontlathe_bench_out.shp";

void BM_DecompileUnifont(benchmark::State& state) {
  std::string message;
  for (auto _ : state) {
    bool ok = fontlathe::DecompileFontFile(kFont.c_str(), kOut.c_str(), message);
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_DecompileUnifont)->Unit(benchmark::kMillisecond);

void BM_BaselineTokenPerByte(benchmark::State& state) {
  for (auto _ : state) {
    FILE* in = std::fopen(kFont.c_str(), "rb");
    std::vector<unsigned char> bytes(1 << 20);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in));
    std::fclose(in);
    FILE* out = qm_fopen(kOut.c_str(), "wt");
    char token[8];
    int column = 0;
    for (unsigned char b : bytes) {
      int n = std::snprintf(token, sizeof token, "%u,", b);
      if (column + n > 79) {
        std::fputs("\n", out);
        column = 0;
      }
      column += n;
      std::fputs(token, out);
    }
    std::fclose(out);
  }
}
BENCHMARK(BM_BaselineTokenPerByte)->Unit(benchmark::kMillisecond);

class NullCanvas : public fontlathe::ShapeCanvas {
 public:
  void DrawSegment(int, int, int, int) override { ++count; }
  long count = 0;
};

// Drawing the last code of the unifont: the walk to it plus the interpreter.
void BM_CodeViewLastShape(benchmark::State& state) {
  NullCanvas canvas;
  std::string message;
  for (auto _ : state) {
    double x = 10, y = 100;
    bool ok = fontlathe::DrawCodeView(kFont.c_str(), "51dc", message, &x, &y,
                                      fontlathe::CharacterStyle(), 80, &canvas);
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_CodeViewLastShape)->Unit(benchmark::kMillisecond);

}  // namespace
