// A first program with the kernel: a drawing of two lines, a circle and a
// text, saved as a native file, read back and rendered to a PNG picture.
//
//   quillmark_first_drawing [folder]
//   quillmark_first_drawing --help | --version
//
// writes first.kzf and first.png into the folder (the current one when none
// is given). Colours are Windows COLORREF values: 0x00BBGGRR.
#include <qm_program.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "api/api_extents.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/mb_drawing.h"
#include "database/mb_settings.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"

namespace {

// Gives an entity its colour (the one the file keeps) and the colour it is
// drawn in, and adds it to the drawing, which owns it from then on.
void add(MB_Drawing& drawing, MB_Drawable* entity, int32_t colour) {
  entity->general().color(colour);
  entity->general().display_color(colour);
  drawing.add_object(entity);
}

constexpr const char* kProgram = "quillmark_first_drawing";
constexpr const char* kUsage =
    "usage: quillmark_first_drawing [--] [FOLDER]\n"
    "       quillmark_first_drawing --help | --version\n"
    "  writes first.kzf and first.png into FOLDER (default: the current folder)\n";

}  // namespace

int main(int argc, char** argv) {
  // The command line as every program of the toolkit reads it (qm_program.h).
  std::string folder;
  bool options = true, given = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    int status = 0;
    if (options && arg == "--") {
      options = false;
    } else if (options && qm_program_standard_option(argv[i], kProgram, kUsage, &status)) {
      return status;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return qm_program_usage_error(kProgram, kUsage, qm_program_unknown_option(arg));
    } else if (given) {
      return qm_program_usage_error(kProgram, kUsage, "only one folder can be given");
    } else {
      folder = arg + "/";
      given = true;
    }
  }
  const std::string drawing_file = folder + "first.kzf", picture = folder + "first.png";

  // The operation owns the drawing, its undo store and its views. No window
  // is needed to make a picture.
  MB_Operation op;
  op.init(nullptr, "first");
  MB_Drawing& drawing = *op.drawing();

  add(drawing, new MB_Line(As_Pt(0, 0, 0), As_Pt(120, 0, 0)), 0x0000FF);   // red
  add(drawing, new MB_Line(As_Pt(0, 0, 0), As_Pt(0, 80, 0)), 0x00FF00);    // green
  add(drawing, new MB_Circle(As_Pt(60, 40, 0), 30.0), 0xFF8000);           // azure blue

  // Text is drawn in the font of a text style: this one names the shape font
  // that comes with the kernel (in the fonts/ folder beside libvellex.so).
  drawing.text_style_list().add_tail(new MB_Text_Style("NOTES", "kst32b.shx", "", 8.0, 1.0, 0.0, 0.0, 0, 0));
  MB_Text* text = new MB_Text(As_Pt(5, 90, 0), MB_String("Hello, Quillmark"));
  text->init_text_style(drawing, "NOTES");
  add(drawing, text, 0xFFFFFF);  // white

  if (!op.save_kzf(drawing_file.c_str())) {
    std::fprintf(stderr, "%s: cannot write the drawing %s: %s\n", kProgram, drawing_file.c_str(),
                 op.file_error().c_str());
    return 1;
  }

  // Read the file into a new drawing, as any native drawing is opened.
  op.create_drawing("first");
  if (!op.load_kzf(drawing_file.c_str())) {
    std::fprintf(stderr, "%s: cannot read the drawing %s: %s\n", kProgram, drawing_file.c_str(),
                 op.file_error().c_str());
    return 1;
  }

  // Building the display makes the strokes of texts and curves and the
  // extents of every entity; the picture shows the extents with a margin.
  op.build_draw();
  As_Rect area;
  if (!api_mb_get_entity_list_rect(op.drawing()->object_list(), area)) {
    std::fprintf(stderr, "%s: the drawing %s holds nothing to draw\n", kProgram, drawing_file.c_str());
    return 1;
  }
  const double margin[3] = {1.1, 1.1, 1.0};
  area.scale_rect(area.center(), margin);
  const long background = g_system_setting.get_long_val(MB_BACKGROUND_COLOR);  // black
  errno = 0;
  if (!op.draw_render()->export_image(picture.c_str(), area, 640, 480, 0, background)) {
    std::fprintf(stderr, "%s: cannot write the picture %s: %s\n", kProgram, picture.c_str(),
                 errno ? std::strerror(errno) : "it could not be drawn");
    return 1;
  }
  std::printf("drawing saved as %s, picture written to %s\n", drawing_file.c_str(), picture.c_str());
  return 0;
}
