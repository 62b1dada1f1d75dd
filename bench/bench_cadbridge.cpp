// Loading the largest DXF file of Debian's librecad-data through the outside
// loader (guard, dxflib, kernel objects) beside dxflib's own parse of the
// same file with callbacks that do nothing; and a made file of 100,000
// mixed entities (hatches and multi-line texts among them) loaded, built and
// drawn, beside dxflib's parse of it. The made file stays in the temporary
// folder (its path is the label) so that other readers can be timed on it.
#include <benchmark/benchmark.h>
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "exchange/cadbridge/mb_dwg_load_save.h"
#include "geometry/as_tran.h"
#include "surface/cmydc.h"

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

// The baseline: dxflib's parse of the file with callbacks that do nothing;
// `missing` says why there is no file.
void dxflib_parse(benchmark::State& state, const std::string& path, const char* missing) {
  if (path.empty()) {
    state.SkipWithError(missing);
    return;
  }
  for (auto _ : state) {
    DL_CreationAdapter nothing;
    DL_Dxf dxf;
    benchmark::DoNotOptimize(dxf.in(path, &nothing));
  }
}

void BM_DxflibEmptyParse(benchmark::State& state) {
  dxflib_parse(state, largest_file(), "missing /usr/share/librecad (Debian librecad-data)");
}
BENCHMARK(BM_DxflibEmptyParse)->Unit(benchmark::kMillisecond);

// Cells of ten entities on a square grid, 10 units apart: three lines, an
// arc, a circle, a light polyline with a bulge, a text, a multi-line text, a
// solid hatch and a pattern hatch.
constexpr int kMixedEntities = 100000;
constexpr int kPerCell = 10;
constexpr int kGrid = 100;  // cells per row
constexpr double kCell = 10.0;

const std::string& mixed_file() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() / "qm_bench_mixed_100k.dxf").string();
    FILE* f = std::fopen(p.c_str(), "wb");
    if (!f) return std::string();
    std::fputs("0\nSECTION\n2\nENTITIES\n", f);
    for (int c = 0; c < kMixedEntities / kPerCell; ++c) {
      const double x = (c % kGrid) * kCell, y = (c / kGrid) * kCell;
      for (int k = 0; k < 3; ++k)
        std::fprintf(f, "0\nLINE\n8\n0\n10\n%g\n20\n%g\n11\n%g\n21\n%g\n", x, y + k, x + 8, y + k + 1);
      std::fprintf(f, "0\nARC\n8\n0\n10\n%g\n20\n%g\n40\n2\n50\n0\n51\n120\n", x + 5, y + 5);
      std::fprintf(f, "0\nCIRCLE\n8\n0\n10\n%g\n20\n%g\n40\n1\n", x + 2, y + 7);
      std::fprintf(f,
                   "0\nLWPOLYLINE\n100\nAcDbEntity\n8\n0\n100\nAcDbPolyline\n90\n4\n70\n1\n10\n%g\n20\n%g\n42\n0.4\n10\n%g\n20\n%g\n10\n%g\n20\n%g\n"
                   "10\n%g\n20\n%g\n",
                   x, y, x + 3, y, x + 3, y + 3, x, y + 3);
      std::fprintf(f, "0\nTEXT\n8\n0\n10\n%g\n20\n%g\n40\n1\n1\nCell %d\n", x, y + 8, c);
      std::fprintf(f, "0\nMTEXT\n100\nAcDbEntity\n8\n0\n100\nAcDbMText\n10\n%g\n20\n%g\n40\n0.8\n41\n6\n71\n1\n1\nNote\\Pcell %d\n", x + 4,
                   y + 9, c);
      std::fprintf(f,
                   "0\nHATCH\n100\nAcDbEntity\n8\n0\n100\nAcDbHatch\n10\n0\n20\n0\n30\n0\n2\nSOLID\n70\n1\n71\n0\n91\n1\n92\n2\n72\n0\n73\n1\n"
                   "93\n3\n10\n%g\n20\n%g\n10\n%g\n20\n%g\n10\n%g\n20\n%g\n97\n0\n75\n0\n76\n1\n98\n0\n",
                   x + 6, y, x + 8, y, x + 7, y + 2);
      std::fprintf(f,
                   "0\nHATCH\n100\nAcDbEntity\n8\n0\n100\nAcDbHatch\n10\n0\n20\n0\n30\n0\n2\nANSI31\n70\n0\n71\n0\n91\n1\n92\n1\n93\n3\n"
                   "72\n1\n10\n%g\n20\n%g\n11\n%g\n21\n%g\n72\n1\n10\n%g\n20\n%g\n11\n%g\n21\n%g\n"
                   "72\n1\n10\n%g\n20\n%g\n11\n%g\n21\n%g\n97\n0\n75\n0\n76\n1\n52\n0\n41\n1\n77\n0\n78\n1\n"
                   "53\n45\n43\n0\n44\n0\n45\n-0.3\n46\n0.3\n79\n0\n98\n0\n",
                   x + 5, y + 3, x + 9, y + 3, x + 9, y + 3, x + 9, y + 7, x + 9, y + 7, x + 5, y + 3);
    }
    std::fputs("0\nENDSEC\n0\nEOF\n", f);
    return std::fclose(f) == 0 ? p : std::string();
  }();
  return path;
}

// Loads the made file, builds its display and draws every entity on a
// 1024 x 768 surface showing the whole grid.
void BM_CadbridgeMixedLoadBuildDraw(benchmark::State& state) {
  const std::string& path = mixed_file();
  if (path.empty()) {
    state.SkipWithError("cannot write the made DXF file in the temporary folder");
    return;
  }
  CMyDC dc;
  HDC ref = CreateCompatibleDC(nullptr);
  dc.CreateCompatibleDC(ref, 1024, 768, 32);
  DeleteDC(ref);
  const double side = kGrid * kCell;
  As_Tran view = scale_transf(768.0 / side) * translate_transf(As_Vec(0.0, 0.0, 0.0));
  for (auto _ : state) {
    MB_Drawing* drawing = new MB_Drawing();
    MB_Dwg_Load_Save loader;
    int result = 0;
    loader.drw_marcompopen(drawing, path.c_str(), &result, false);
    drawing->build_draw();
    for (MB_Object* o = drawing->object_list().head(); o; o = o->next())
      if (o->is_drawable()) static_cast<MB_Drawable*>(o)->draw(nullptr, dc, view);
    benchmark::DoNotOptimize(result);
    delete drawing;
  }
  state.SetLabel(path);
}
BENCHMARK(BM_CadbridgeMixedLoadBuildDraw)->Unit(benchmark::kMillisecond);

void BM_DxflibMixedParse(benchmark::State& state) {
  dxflib_parse(state, mixed_file(), "cannot write the made DXF file in the temporary folder");
}
BENCHMARK(BM_DxflibMixedParse)->Unit(benchmark::kMillisecond);

}  // namespace
