// Opens a DXF file through the outside loader, paints it through the
// kernel's renderer on a headless window and writes one area of the drawing
// as a picture: the side of ours in the comparison with a second DXF reader
// (peer_compare.py).
//
//   cadbridge_render DRAWING.dxf PICTURE.png WIDTHxHEIGHT XMIN YMIN XMAX YMAX
//
// The area is fitted into the picture with one scale, centred; the
// background is black.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"
#include "exchange/cadbridge/mb_dwg_load_save.h"
#include "geometry/as_rect.h"
#include "qm_file.h"

namespace {

constexpr char kProgram[] = "cadbridge_render";
constexpr long kMaxSide = 8192;
constexpr long kBlack = 0;

LRESULT view_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

int usage() {
  std::fprintf(stderr, "usage: %s DRAWING.dxf PICTURE.png WIDTHxHEIGHT XMIN YMIN XMAX YMAX\n", kProgram);
  return 2;
}

bool number(const char* text, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) return usage();
  const std::string input = argv[1], output = argv[2];
  long width = 0, height = 0;
  if (std::sscanf(argv[3], "%ldx%ld", &width, &height) != 2 || width < 2 || height < 2 || width > kMaxSide ||
      height > kMaxSide)
    return usage();
  double box[4];
  for (int i = 0; i < 4; ++i)
    if (!number(argv[4 + i], box[i])) return usage();
  if (qm_same_file(input.c_str(), output.c_str())) {
    std::fprintf(stderr, "%s: the picture %s would replace the drawing\n", kProgram, output.c_str());
    return 1;
  }

  WNDCLASSA wc = {};
  wc.lpfnWndProc = view_proc;
  wc.lpszClassName = "CadbridgeView";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(0, "CadbridgeView", "cadbridge", WS_VISIBLE, 0, 0, int(width), int(height), nullptr,
                             nullptr, nullptr, nullptr);
  MB_Operation op;
  op.init(wnd, input.c_str());
  MB_Drawing* drawing = op.drawing();
  MB_Dwg_Load_Save loader;
  int result = -1;
  if (!loader.drw_marcompopen(drawing, qm_map_user_path(input.c_str()).c_str(), &result, false)) {
    std::fprintf(stderr, "%s: cannot read the drawing %s (result %d)\n", kProgram, input.c_str(), result);
    return 1;
  }
  op.build_draw();
  op.zoom_all();
  HDC hdc = GetDC(wnd);
  op.draw(hdc);
  ReleaseDC(wnd, hdc);
  // The peer's picture spans the box from the outer edge of its first pixel
  // to the outer edge of its last; ours spans an area from the middle of the
  // first pixel to the middle of the last: the same picture is the box less
  // half a pixel on every side.
  const double half_x = (box[2] - box[0]) / static_cast<double>(width) / 2.0;
  const double half_y = (box[3] - box[1]) / static_cast<double>(height) / 2.0;
  const As_Rect area(As_Pt(box[0] + half_x, box[3] - half_y, 0.0), As_Pt(box[2] - half_x, box[1] + half_y, 0.0));
  if (!op.draw_render()->export_image(qm_map_user_path(output.c_str()).c_str(), area, width, height, 0, kBlack)) {
    std::fprintf(stderr, "%s: cannot write the picture %s\n", kProgram, output.c_str());
    return 1;
  }
  return 0;
}
