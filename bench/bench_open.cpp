// Opening a drawing of 1,000,000 lines in a fresh process until its first
// picture is on the window: the program runs itself as a child that loads
// the file, builds every entity's display, zooms to the drawing and draws
// it once, then exits; the time is the child's whole life. Beside it, in the
// same run, a fresh child that only reads the file and decodes its
// compressed block, the floor a first picture builds on. Both children
// start the same program, so start-up costs count in both.
#include <benchmark/benchmark.h>
#include <qm_user.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_drawing_file.h"
#include "database/fileformat/kzf_codec.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"

namespace {

constexpr const char* kChildVar = "QM_BENCH_OPEN_CHILD";
constexpr const char* kPath = "/tmp/bench_open.kzf";
constexpr int kWidth = 1920, kHeight = 1080;

LRESULT proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) { return DefWindowProcA(hwnd, msg, wparam, lparam); }

int first_picture() {
  MB_Drawing* d = new MB_Drawing();
  MB_File_IO io;
  io.drawing(d);
  if (!io.load_kzf(kPath) || d->object_list().count() != bench_file::kLines) return 2;
  d->build_draw();
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = "QmBenchOpen";
  RegisterClassA(&wc);
  HWND wnd =
      CreateWindowExA(0, "QmBenchOpen", "", WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
  MB_Operation op;
  op.init(wnd, d);
  op.zoom_all();
  HDC hdc = GetDC(wnd);
  op.draw(hdc);
  ReleaseDC(wnd, hdc);
  return 0;
}

int decode_only() {
  std::vector<uint8_t> file;
  if (FILE* f = std::fopen(kPath, "rb")) {
    std::fseek(f, 0, SEEK_END);
    file.resize(size_t(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    if (std::fread(file.data(), 1, file.size(), f) != file.size()) file.clear();
    std::fclose(f);
  }
  // The block follows the marker record the compressor writes first.
  std::vector<uint8_t> marker;
  kzf_compress(nullptr, 0, 100, marker);
  const size_t n = 7;
  auto at = std::search(file.begin(), file.end(), marker.begin(), marker.begin() + long(std::min(n, marker.size())));
  if (at == file.end()) return 2;
  std::vector<uint8_t> out;
  const size_t from = size_t(at - file.begin()) + n;
  return kzf_decompress(file.data() + from, file.size() - from, 100, out) || out.size() < 1000000 ? 3 : 0;
}

// Runs in the child before the benchmark library starts, and ends it.
const bool child_ran = [] {
  const char* what = std::getenv(kChildVar);
  if (!what) return false;
  std::exit(std::strcmp(what, "picture") == 0 ? first_picture() : decode_only());
}();

// Made once by the parent; removed when the parent exits.
void make_file() {
  struct File {
    bool made = false;
    ~File() {
      if (made) std::remove(kPath);
    }
  };
  static File file;
  if (file.made) return;
  MB_Drawing d;
  bench_file::fill(d);
  MB_File_IO io;
  io.drawing(&d);
  std::string path = kPath;
  file.made = io.save_kzf(&path[0]);
}

// Seconds of one child's life; negative when it failed.
double run_child(const char* what) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    setenv(kChildVar, what, 1);
    execl("/proc/self/exe", "bench_open", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? s : -1;
}

void open_child(benchmark::State& state, const char* what) {
  make_file();
  for (auto _ : state) {
    const double s = run_child(what);
    if (s < 0) {
      state.SkipWithError("child failed");
      break;
    }
    state.SetIterationTime(s);
  }
}

void BM_OpenToFirstPicture(benchmark::State& state) { open_child(state, "picture"); }
void BM_OpenBaseline_DecodeOnly(benchmark::State& state) { open_child(state, "decode"); }

}  // namespace

BENCHMARK(BM_OpenBaseline_DecodeOnly)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_OpenToFirstPicture)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
