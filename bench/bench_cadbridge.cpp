// Loading the largest DXF file of Debian's librecad-data through the outside
// loader (guard, dxflib, kernel objects) beside dxflib's own parse of the
// same file with callbacks that do nothing.
#include <benchmark/benchmark.h>
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <filesystem>
#include <string>

#include "database/mb_drawing.h"
#include "exchange/cadbridge/mb_dwg_load_save.h"

namespace {

const std::string& largest_file() {
  static const std::string path = [] {
    std::string best;
    std::uintmax_t size = 0;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator("/usr/share/librecad", ec)) {
      if (e.path().extension() == ".dxf" && e.is_regular_file() && e.file_size() > size) {
        size = e.file_size();
        best = e.path().string();
      }
    }
    return best;
  }();
  return path;
}

void BM_CadbridgeLoad(benchmark::State& state) {
  const std::string& path = largest_file();
  if (path.empty()) {
    state.SkipWithError("missing /usr/share/librecad (Debian librecad-data)");
    return;
  }
  for (auto _ : state) {
    MB_Drawing* drawing = new MB_Drawing();
    MB_Dwg_Load_Save loader;
    int result = 0;
    benchmark::DoNotOptimize(loader.drw_marcompopen(drawing, path.c_str(), &result, false));
    delete drawing;
  }
  state.SetLabel(path);
}
BENCHMARK(BM_CadbridgeLoad)->Unit(benchmark::kMillisecond);

void BM_DxflibEmptyParse(benchmark::State& state) {
  const std::string& path = largest_file();
  if (path.empty()) {
    state.SkipWithError("missing /usr/share/librecad (Debian librecad-data)");
    return;
  }
  for (auto _ : state) {
    DL_CreationAdapter nothing;
    DL_Dxf dxf;
    benchmark::DoNotOptimize(dxf.in(path, &nothing));
  }
}
BENCHMARK(BM_DxflibEmptyParse)->Unit(benchmark::kMillisecond);

}  // namespace
