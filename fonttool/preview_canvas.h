// The preview canvas of the font tool: an off-screen bitmap of the preview
// area's size in a memory DC compatible with the screen, black, with a
// transparent background mode. Strokes of the shape interpreter are
// drawn on it as white one-pixel lines that include their end pixel; the
// guide line marks the baseline in red.
#pragma once

#include <windows.h>

#include "fonttool/shape_interpreter.h"

class CPreviewCanvas : public fontlathe::ShapeCanvas {
 public:
  CPreviewCanvas() = default;
  CPreviewCanvas(const CPreviewCanvas&) = delete;
  CPreviewCanvas& operator=(const CPreviewCanvas&) = delete;
  ~CPreviewCanvas() override;

  // Makes the canvas (any earlier one is freed) and fills it black.
  bool Create(int width, int height);
  void Clear();
  // The red line across the canvas at trunc(0.5 + 0.75 x height).
  void DrawGuideLine();
  // A white line from the start pixel to the end pixel, then the end pixel.
  void DrawSegment(int x0, int y0, int x1, int y1) override;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  void Destroy();
  void Line(HPEN pen, int x0, int y0, int x1, int y1);

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  HPEN white_pen_ = nullptr;
  HPEN red_pen_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};
