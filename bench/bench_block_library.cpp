// Filling the block library panel from a library folder of 200 native
// drawings: the list of the folder, then each drawing read and its block's
// thumbnail painted, as a user stepping through the libraries sees them;
// beside the same block drawn once through the kernel's flat function into
// a cell of the same size, and the thumbnail's own paint, in the same run.
#include <benchmark/benchmark.h>
#include <qm_user.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "api/api_construct.h"
#include "control/control_ids.h"
#include "control/dialogs/block_library_dialog.h"
#include "database/entities/mb_block.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_line.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "geometry/as_void_list.h"

namespace {

constexpr int kDrawings = 200;
constexpr int kCell = 80;

// A door-like symbol: a frame of lines and a swing of arcs, one block.
MB_Block* symbol(const char* name) {
  auto* b = new MB_Block(As_Pt(), name, "bench");
  for (int i = 0; i < 24; ++i) {
    const double a = i * M_PI / 12, r = 10 + i % 3;
    b->object_list().add_tail(new MB_Line(As_Pt(r * std::cos(a), r * std::sin(a), 0), As_Pt(0, 0, 0)));
  }
  for (int i = 1; i <= 4; ++i) b->object_list().add_tail(new MB_Circle(As_Pt(0, 0, 0), 3.0 * i));
  return b;
}

struct Library {
  std::string kernel;
  Library() {
    kernel = std::filesystem::temp_directory_path().string() + "/qm_bench_library" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(kernel + "lib");
    setenv("QM_KERNEL_DIR", kernel.c_str(), 1);
    for (int i = 0; i < kDrawings; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "lib%03d.qlf", i);
      MB_Drawing d{MB_String(name)};
      d.block_list().add_tail(symbol(name));
      MB_File_IO io;
      io.drawing(&d);
      std::string path = kernel + "lib/" + name;
      io.save_kzf(&path[0]);
    }
  }
  ~Library() {
    std::filesystem::remove_all(kernel);
    unsetenv("QM_KERNEL_DIR");
  }
};

// A 32-bit memory DC of one cell or of the whole strip.
struct Canvas {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  Canvas(int w, int h) {
    dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = ::SelectObject(dc, bitmap);
  }
  ~Canvas() {
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
  }
};

void BM_FillLibraryPanelFrom200Drawings(benchmark::State& state) {
  Library library;
  CWinApp app{"bench-library"};
  BlockLibraryDialog::register_template();
  CWnd host;
  host.CreateEx(0, nullptr, "bench", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 400, 600, nullptr, nullptr);
  {
    BlockLibraryDialog panel;
    panel.Create(quill::kDialogBlockLibrary, &host);
    panel.MoveWindow(0, 0, 200, 500);
    CRect client;
    panel.strip().GetClientRect(&client);
    Canvas canvas(client.Width(), client.Height());
    char name[32];
    for (auto _ : state) {
      panel.FillLibraryList();
      for (int i = 0; i < kDrawings; ++i) {
        std::snprintf(name, sizeof name, "lib%03d.qlf", i);
        panel.LoadLibraryDrawing(name);
        panel.strip().paint(canvas.dc, client);
      }
      benchmark::ClobberMemory();
    }
    state.counters["per_thumbnail_us"] = benchmark::Counter(
        double(kDrawings) * 1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetItemsProcessed(state.iterations() * kDrawings);
    panel.DestroyWindow();
  }
  host.DestroyWindow();
  qm_user_reset();
}
BENCHMARK(BM_FillLibraryPanelFrom200Drawings)->Unit(benchmark::kMillisecond);

// The same block's objects drawn once into a cell through the flat function.
void BM_DrawOneBlockThroughTheFlatFunction(benchmark::State& state) {
  MB_Drawing drawing{MB_String("flat")};
  MB_Block* b = symbol("lib000.qlf");
  drawing.block_list().add_tail(b);
  b->build_draw();
  As_Void_List objects;
  for (MB_Object* o = b->object_list().head(); o; o = o->next()) objects.add(o);
  Canvas canvas(kCell, kCell);
  for (auto _ : state) {
    api_mb_draw_object_list_on_dc(canvas.dc, objects, kCell / 2, kCell / 2, kCell, kCell);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawOneBlockThroughTheFlatFunction)->Unit(benchmark::kMicrosecond);

// One thumbnail cell painted (its own buffer, border and caption).
void BM_PaintOneThumbnailCell(benchmark::State& state) {
  MB_Drawing drawing{MB_String("cell")};
  MB_Block* b = symbol("lib000.qlf");
  drawing.block_list().add_tail(b);
  b->build_draw();
  BlockThumbnailCell cell(b);
  cell.cx = 43, cell.cy = 43, cell.width = kCell, cell.height = kCell;
  Canvas canvas(kCell + 6, kCell + 6);
  for (auto _ : state) {
    cell.draw(canvas.dc);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PaintOneThumbnailCell)->Unit(benchmark::kMicrosecond);

}  // namespace
