// A program outside the tree that plots a drawing through the installed HPGL
// library: a square of lines written as a plot file.
//   plot_consumer <plot file>
#include <cstdio>

#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"
#include "exchange/hpgl/penplot.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  MB_Drawing drawing;  // the current drawing from now on
  const double corners[][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  for (int i = 0; i < 4; ++i) {
    const double* a = corners[i];
    const double* b = corners[(i + 1) % 4];
    MB_Line* line = new MB_Line(As_Pt(a[0], a[1], 0), As_Pt(b[0], b[1], 0));
    line->general().display_color(0xFFFFFF);
    line->build_draw();
    drawing.add_object(line);
  }
  if (!api_mb_save_hpgl_file(argv[1])) {
    std::fprintf(stderr, "plot_consumer: %s could not be written\n", argv[1]);
    return 1;
  }
  return 0;
}
