// Lines that reach far outside the canvas (a huge scale in a font) are cut to
// a band around it before they are drawn, so that no stroke walks millions of
// pixels that cannot be seen; lines near the canvas are drawn as given.
#include "fonttool/preview_canvas.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;
constexpr int kBand = 1 << 14;  // lines inside this margin are drawn as given

// Cuts the line to the box (Liang-Barsky); false when it misses the box.
bool ClipToBox(double* x0, double* y0, double* x1, double* y1, double lo_x, double lo_y,
               double hi_x, double hi_y) {
  double t0 = 0, t1 = 1, dx = *x1 - *x0, dy = *y1 - *y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {*x0 - lo_x, hi_x - *x0, *y0 - lo_y, hi_y - *y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    double r = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, r);
    else
      t1 = std::min(t1, r);
    if (t0 > t1) return false;
  }
  double sx = *x0, sy = *y0;
  *x0 = sx + t0 * dx;
  *y0 = sy + t0 * dy;
  *x1 = sx + t1 * dx;
  *y1 = sy + t1 * dy;
  return true;
}

}  // namespace

CPreviewCanvas::~CPreviewCanvas() { Destroy(); }

void CPreviewCanvas::Destroy() {
  if (dc_ != nullptr) {
    SelectObject(dc_, old_bitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  if (white_pen_ != nullptr) DeleteObject(white_pen_);
  if (red_pen_ != nullptr) DeleteObject(red_pen_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  old_bitmap_ = nullptr;
  white_pen_ = red_pen_ = nullptr;
  width_ = height_ = 0;
}

bool CPreviewCanvas::Create(int width, int height) {
  Destroy();
  if (width <= 0 || height <= 0) return false;
  // A memory DC made from no DC is compatible with the screen. The bitmap is
  // a 32-bit DIB section (the screen's usual depth), so the preview's pixels
  // are the same whatever the screen.
  dc_ = CreateCompatibleDC(nullptr);
  if (dc_ == nullptr) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  white_pen_ = CreatePen(PS_SOLID, 1, kWhite);
  red_pen_ = CreatePen(PS_SOLID, 1, kRed);
  if (bitmap_ == nullptr || white_pen_ == nullptr || red_pen_ == nullptr) {
    Destroy();
    return false;
  }
  old_bitmap_ = SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, kWhite);
  Clear();
  return true;
}

void CPreviewCanvas::Clear() {
  if (dc_ != nullptr) PatBlt(dc_, 0, 0, width_, height_, BLACKNESS);
}

void CPreviewCanvas::Line(HPEN pen, int x0, int y0, int x1, int y1) {
  HGDIOBJ old = SelectObject(dc_, pen);
  MoveToEx(dc_, x0, y0, nullptr);
  LineTo(dc_, x1, y1);
  SelectObject(dc_, old);
}

void CPreviewCanvas::DrawGuideLine() {
  if (dc_ == nullptr) return;
  int baseline = static_cast<int>(0.5 + 0.75 * height_);
  Line(red_pen_, 0, baseline, width_, baseline);
}

void CPreviewCanvas::DrawSegment(int x0, int y0, int x1, int y1) {
  if (dc_ == nullptr) return;
  const int lo_x = -kBand, lo_y = -kBand, hi_x = width_ + kBand, hi_y = height_ + kBand;
  auto inside = [&](int x, int y) { return x >= lo_x && x <= hi_x && y >= lo_y && y <= hi_y; };
  if (inside(x0, y0) && inside(x1, y1)) {
    Line(white_pen_, x0, y0, x1, y1);
  } else {
    double a = x0, b = y0, c = x1, d = y1;
    if (ClipToBox(&a, &b, &c, &d, lo_x, lo_y, hi_x, hi_y)) {
      Line(white_pen_, static_cast<int>(std::lround(a)), static_cast<int>(std::lround(b)),
           static_cast<int>(std::lround(c)), static_cast<int>(std::lround(d)));
    }
  }
  SetPixel(dc_, x1, y1, kWhite);
}
