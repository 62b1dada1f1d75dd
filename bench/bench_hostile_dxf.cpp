// Drawings made to cost as much as a file can make them cost, each beside a
// plain drawing of the same shape:
//  - the insert fan: 10,000 top-level INSERTs of a block that inserts the
//    level below four times over nine levels (262,144 lines each), repainted
//    on a 1024 x 768 window, beside 10,000 INSERTs of a one-line block;
//  - the picture file: 16 IMAGEs of one 8192 x 8192 picture, loaded and
//    built, beside one IMAGE of it (a 1-bit picture of a few kilobytes that
//    decodes to 192 MiB). The counter peak_MiB is the process's peak
//    resident memory after the benchmark (the baseline runs first).
// The made files live in a folder of their own, removed at exit.
#include <benchmark/benchmark.h>
#include <qm_user.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"
#include "exchange/cadbridge/mb_dwg_load_save.h"

namespace {

constexpr int kInserts = 10000;
constexpr int kFanLevels = 9;
constexpr int kFanWidth = 4;
constexpr int kPictureSide = 8192;
constexpr int kWidth = 1024, kHeight = 768;

LRESULT proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) { return DefWindowProcA(hwnd, msg, wparam, lparam); }

// The folder of the made files, removed with them at exit.
class Made_Files {
 public:
  Made_Files() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qm_bench_hostile_XXXXXX").string();
    if (mkdtemp(&pattern[0])) folder_ = pattern;
  }
  ~Made_Files() {
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  }
  // The path of a file in the folder, written by `write` the first time.
  template <class Write>
  std::string file(const std::string& name, Write write) {
    if (folder_.empty()) return std::string();
    const std::string path = folder_ + "/" + name;
    if (std::filesystem::exists(path)) return path;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return std::string();
    const bool ok = write(f, folder_);
    return std::fclose(f) == 0 && ok ? path : std::string();
  }

 private:
  std::string folder_;
};

Made_Files& made() {
  static Made_Files files;
  return files;
}

// Blocks L0 (one line) to L<levels>, each inserting the one below `width`
// times, then `inserts` top-level INSERTs of the last, on a 100-wide grid.
bool write_fan(FILE* f, int levels, int width, int inserts) {
  std::fputs("0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nL0\n70\n0\n10\n0\n20\n0\n30\n0\n", f);
  std::fputs("0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDBLK\n", f);
  for (int i = 1; i <= levels; ++i) {
    std::fprintf(f, "0\nBLOCK\n8\n0\n2\nL%d\n70\n0\n10\n0\n20\n0\n30\n0\n", i);
    for (int k = 0; k < width; ++k) std::fprintf(f, "0\nINSERT\n8\n0\n2\nL%d\n10\n%g\n20\n0\n30\n0\n", i - 1, k * 0.1);
    std::fputs("0\nENDBLK\n", f);
  }
  std::fputs("0\nENDSEC\n0\nSECTION\n2\nENTITIES\n", f);
  for (int k = 0; k < inserts; ++k)
    std::fprintf(f, "0\nINSERT\n8\n0\n2\nL%d\n10\n%d\n20\n%d\n", levels, k % 100, k / 100);
  std::fputs("0\nENDSEC\n0\nEOF\n", f);
  return true;
}

void png_chunk(FILE* f, const char* type, const unsigned char* data, size_t size) {
  const unsigned char length[4] = {static_cast<unsigned char>(size >> 24), static_cast<unsigned char>(size >> 16),
                                   static_cast<unsigned char>(size >> 8), static_cast<unsigned char>(size)};
  std::fwrite(length, 1, 4, f);
  std::fwrite(type, 1, 4, f);
  if (size) std::fwrite(data, 1, size, f);
  uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(type), 4);
  if (size) crc = crc32(crc, data, static_cast<uInt>(size));
  const unsigned char sum[4] = {static_cast<unsigned char>(crc >> 24), static_cast<unsigned char>(crc >> 16),
                                static_cast<unsigned char>(crc >> 8), static_cast<unsigned char>(crc)};
  std::fwrite(sum, 1, 4, f);
}

// A grey 1-bit PNG of kPictureSide pixels a side, compressed row by row so
// that making it costs no memory to speak of (a few kilobytes on disk).
bool write_picture(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::fwrite(kSignature, 1, 8, f);
  const unsigned char header[13] = {
      0, 0, kPictureSide >> 8, kPictureSide & 0xFF, 0, 0, kPictureSide >> 8, kPictureSide & 0xFF, 1, 0, 0, 0, 0};
  png_chunk(f, "IHDR", header, sizeof header);
  std::string row(1 + kPictureSide / 8, '\xAA');
  row[0] = 0;  // no filter
  std::string packed;
  z_stream z = {};
  deflateInit(&z, 9);
  unsigned char out[1 << 16];
  for (int y = 0; y <= kPictureSide; ++y) {
    const bool last = y == kPictureSide;
    z.next_in = last ? Z_NULL : reinterpret_cast<Bytef*>(&row[0]);
    z.avail_in = last ? 0 : static_cast<uInt>(row.size());
    do {
      z.next_out = out;
      z.avail_out = sizeof out;
      deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
      packed.append(reinterpret_cast<char*>(out), sizeof out - z.avail_out);
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
  png_chunk(f, "IDAT", reinterpret_cast<const unsigned char*>(packed.data()), packed.size());
  png_chunk(f, "IEND", nullptr, 0);
  return std::fclose(f) == 0;
}

// `images` IMAGEs of one IMAGEDEF naming a picture beside the file.
bool write_pictures(FILE* f, const std::string& folder, int images) {
  const std::string picture = folder + "/big.png";
  if (!std::filesystem::exists(picture) && !write_picture(picture)) return false;
  std::fputs("0\nSECTION\n2\nENTITIES\n", f);
  for (int k = 0; k < images; ++k)
    std::fprintf(f,
                 "0\nIMAGE\n5\n%X\n8\n0\n100\nAcDbRasterImage\n10\n%d\n20\n0\n30\n0\n11\n0.001\n21\n0\n31\n0\n"
                 "12\n0\n22\n0.001\n32\n0\n13\n%d\n23\n%d\n340\nFFF\n70\n7\n",
                 0x100 + k, k * 10, kPictureSide, kPictureSide);
  std::fprintf(f,
               "0\nENDSEC\n0\nSECTION\n2\nOBJECTS\n0\nIMAGEDEF\n5\nFFF\n100\nAcDbRasterImageDef\n1\nbig.png\n"
               "10\n%d\n20\n%d\n0\nENDSEC\n0\nEOF\n",
               kPictureSide, kPictureSide);
  return true;
}

MB_Drawing* load(const std::string& path) {
  MB_Drawing* d = new MB_Drawing(MB_String("bench"));
  MB_Dwg_Load_Save loader;
  int result = 0;
  loader.drw_marcompopen(d, path.c_str(), &result, false);
  d->build_draw();
  return d;
}

// Repaints of the loaded file on a window zoomed to the whole drawing; the
// first repaint, which fills the display list, is not timed.
void repaint(benchmark::State& state, const std::string& path) {
  if (path.empty()) {
    state.SkipWithError("cannot write the made DXF file in the temporary folder");
    return;
  }
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = "QmBenchHostileView";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(0, "QmBenchHostileView", "", WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr,
                             nullptr);
  {
    MB_Operation op;
    op.init(wnd, load(path));
    op.zoom_all();
    HDC hdc = GetDC(wnd);
    op.draw(hdc);
    for (auto _ : state) op.draw(hdc);
    ReleaseDC(wnd, hdc);
  }
  qm_user_reset();
}

void BM_FanRepaint_Baseline_OneLineBlock(benchmark::State& state) {
  repaint(state, made().file("one_line.dxf", [](FILE* f, const std::string&) { return write_fan(f, 0, 1, kInserts); }));
}
BENCHMARK(BM_FanRepaint_Baseline_OneLineBlock)->Unit(benchmark::kMillisecond);

void BM_FanRepaint(benchmark::State& state) {
  repaint(state, made().file("fan.dxf", [](FILE* f, const std::string&) {
    return write_fan(f, kFanLevels, kFanWidth, kInserts);
  }));
}
BENCHMARK(BM_FanRepaint)->Unit(benchmark::kMillisecond);

double peak_mib() {
  rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Loads and builds the file per iteration; the counter is the peak memory.
void load_pictures(benchmark::State& state, int images) {
  const std::string path =
      made().file("pictures_" + std::to_string(images) + ".dxf",
                  [images](FILE* f, const std::string& folder) { return write_pictures(f, folder, images); });
  if (path.empty()) {
    state.SkipWithError("cannot write the made DXF file or its picture in the temporary folder");
    return;
  }
  for (auto _ : state) delete load(path);
  state.counters["peak_MiB"] = peak_mib();
}

void BM_PictureLoad_Baseline_OneImage(benchmark::State& state) { load_pictures(state, 1); }
BENCHMARK(BM_PictureLoad_Baseline_OneImage)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PictureLoad_SixteenImagesOfOnePicture(benchmark::State& state) { load_pictures(state, 16); }
BENCHMARK(BM_PictureLoad_SixteenImagesOfOnePicture)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
