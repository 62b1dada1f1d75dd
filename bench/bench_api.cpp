// The flat API against the classes it wraps: 1,000,000 lines made through
// api_mb_create_line beside the same lines made with the entity constructor
// and MB_Drawing::add_object (with and without building the display); and a
// 4,000 x 3,000 image entity drawn over a 1920 x 1080 surface beside a plain
// nearest-neighbour copy loop of the same pixels into the same surface.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <ximage.h>

#include <cstdint>
#include <memory>

#include "api/api_create.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"
#include "surface/cmydc.h"

namespace {

constexpr int kLines = 1000000;
constexpr int kImageWidth = 4000, kImageHeight = 3000;
constexpr int kWidth = 1920, kHeight = 1080;

// Makes kLines lines into a new drawing per iteration (freed with it). A
// first, untimed round brings the heap to its working size, and the heap
// keeps what is freed, so that every variant meets the allocator in the same
// state and no iteration pays for handing pages back and faulting them in.
template <class Make>
void make_lines(benchmark::State& state, Make make) {
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  {
    MB_Drawing warm_up;
    for (int i = 0; i < kLines; ++i) make(i, warm_up);
  }
  for (auto _ : state) {
    MB_Drawing d;
    for (int i = 0; i < kLines; ++i) make(i, d);
    benchmark::DoNotOptimize(d.object_list().tail());
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_FlatApiLines(benchmark::State& state) {
  make_lines(state, [](int i, MB_Drawing&) {
    const double a[3] = {double(i), 0.0, 0.0}, b[3] = {double(i), 1.0, 0.0};
    MB_Line* line = nullptr;
    api_mb_create_line(line, a, b);
  });
}
BENCHMARK(BM_FlatApiLines)->Unit(benchmark::kMillisecond);

void BM_ConstructorLinesBaseline(benchmark::State& state) {
  make_lines(state, [](int i, MB_Drawing& d) {
    const double a[3] = {double(i), 0.0, 0.0}, b[3] = {double(i), 1.0, 0.0};
    d.add_object(new MB_Line(As_Pt(a), As_Pt(b)));
  });
}
BENCHMARK(BM_ConstructorLinesBaseline)->Unit(benchmark::kMillisecond);

void BM_FlatApiBuiltLines(benchmark::State& state) {
  make_lines(state, [](int i, MB_Drawing&) {
    MB_Line* line = nullptr;
    api_mb_create_line(line, As_Pt(i, 0, 0), As_Pt(i, 1, 0));
  });
}
BENCHMARK(BM_FlatApiBuiltLines)->Unit(benchmark::kMillisecond);

void BM_ConstructorBuiltLinesBaseline(benchmark::State& state) {
  make_lines(state, [](int i, MB_Drawing& d) {
    MB_Line* line = new MB_Line(As_Pt(i, 0, 0), As_Pt(i, 1, 0));
    line->build_draw();
    d.add_object(line);
  });
}
BENCHMARK(BM_ConstructorBuiltLinesBaseline)->Unit(benchmark::kMillisecond);

// A 4,000 x 3,000 picture of a colour ramp.
CxImage* ramp() {
  CxImage* image = new CxImage;
  image->Create(kImageWidth, kImageHeight, 24);
  for (long y = 0; y < kImageHeight; ++y)
    for (long x = 0; x < kImageWidth; ++x) image->SetPixelColor(x, y, RGB(x & 0xFF, y & 0xFF, (x + y) & 0xFF));
  return image;
}

struct Surface {
  CMyDC dc;
  uint8_t* bits = nullptr;
  int stride = 0;
  Surface() {
    HDC ref = CreateCompatibleDC(nullptr);
    dc.CreateCompatibleDC(ref, kWidth, kHeight, 32);
    DeleteDC(ref);
    DIBSECTION ds = {};
    GetObject(GetCurrentObject(dc.GetDC(), OBJ_BITMAP), sizeof ds, &ds);
    bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
    stride = ds.dsBm.bmWidthBytes;
  }
};

void BM_DrawImageEntity(benchmark::State& state) {
  MB_Image image(ramp());
  // One drawing unit per pixel: the picture covers the surface exactly.
  image.center(As_Pt(kWidth / 2.0, kHeight / 2.0, 0.0));
  image.width(kWidth);
  image.height(kHeight);
  image.build_draw();
  Surface s;
  As_Tran view;
  for (auto _ : state) {
    image.draw(s.dc.GetDC(), s.dc, view);
    benchmark::DoNotOptimize(s.bits[0]);
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_DrawImageEntity)->Unit(benchmark::kMillisecond);

void BM_NearestNeighbourCopyBaseline(benchmark::State& state) {
  std::unique_ptr<CxImage> image(ramp());
  const QmRaster& r = image->Raster();
  Surface s;
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      const uint8_t* src = r.rgb.data() + size_t(int64_t(y) * kImageHeight / kHeight) * kImageWidth * 3;
      uint8_t* dst = s.bits + size_t(kHeight - 1 - y) * s.stride;  // bottom-up rows
      for (int x = 0; x < kWidth; ++x, dst += 4) {
        const uint8_t* p = src + size_t(int64_t(x) * kImageWidth / kWidth) * 3;
        dst[0] = p[2];
        dst[1] = p[1];
        dst[2] = p[0];
      }
    }
    benchmark::DoNotOptimize(s.bits[0]);
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_NearestNeighbourCopyBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
