// Opens a native drawing, paints it through the kernel's renderer on a
// headless window and writes the view as an image.
//
//   quillmark_render [-o PICTURE] [-s WIDTHxHEIGHT] [DRAWING.kzf]
//
// Without a drawing it makes a sample drawing through the kernel's own
// classes, saves it as "sample.kzf" beside the picture when no file of that
// name is there (an existing one is left alone and the sample is shown from
// memory), and shows what it saved.
//
// Nothing is destroyed: a picture that would replace the drawing is
// refused, a picture is written whole or not at all, and every failure says
// which file and why.
#include <qm_program.h>
#include <windows.h>

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "database/entities/mb_block.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "database/mb_resource.h"
#include "database/mb_settings.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"
#include "qm_file.h"

namespace {

constexpr char kProgram[] = "quillmark_render";
// The picture's default size, and the largest: the window, its off-screen
// surface, the picture's bitmap and the image data take about 20 bytes a
// pixel, so the largest picture needs about 650 MB.
constexpr long kWidth = 800, kHeight = 600;
constexpr long kMaxSide = 32767, kMaxPixels = 1L << 25;

LRESULT view_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

HWND make_view_window(long width, long height) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = view_proc;
  wc.lpszClassName = "QuillmarkView";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "QuillmarkView", "Quillmark", WS_VISIBLE, 0, 0, static_cast<int>(width),
                         static_cast<int>(height), nullptr, nullptr, nullptr, nullptr);
}

// Appends an entity to the drawing in a colour.
template <class E>
void add(MB_Drawing& d, E* e, int32_t colour) {
  e->general().color(colour);
  e->general().display_color(colour);
  d.add_object(e);
}

// Returns how many entities were made.
int make_sample(MB_Drawing& d, bool with_text) {
  int made = 0;
  (void)d;
  (void)with_text;
  // A frame and a grid of lines.
  const As_Pt frame[] = {As_Pt(0, 0, 0), As_Pt(297, 0, 0), As_Pt(297, 210, 0), As_Pt(0, 210, 0)};
  for (int i = 0; i < 4; ++i, ++made) add(d, new MB_Line(frame[i], frame[(i + 1) % 4]), 0xFFFFFF);
  // The same frame inside, as one polyline of segments.
  MB_Lines* inner = new MB_Lines(5);
  const As_Pt inside[] = {As_Pt(5, 5, 0), As_Pt(292, 5, 0), As_Pt(292, 205, 0), As_Pt(5, 205, 0), As_Pt(5, 5, 0)};
  for (int i = 0; i < 5; ++i) inner->points()[i] = inside[i];
  add(d, inner, 0x808080);
  ++made;
  for (int i = 1; i < 10; ++i, ++made) add(d, new MB_Line(As_Pt(20, 20 + 9 * i, 0), As_Pt(120, 20 + 9 * i, 0)), 0x00C0FF);
  for (int i = 0; i < 5; ++i, ++made) add(d, new MB_Circle(As_Pt(200, 105, 0), 12.0 + 14.0 * i), 0x00FF00);
  add(d, new MB_Arc(As_Pt(70, 160, 0), 30.0, 0.0, M_PI), 0xFF8000);
  ++made;
  MB_Pline_Pos* star = new MB_Pline_Pos[10];
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 ? 12.0 : 30.0, a = M_PI / 2 + i * M_PI / 5;
    star[i].point = As_Pt(250 + r * std::cos(a), 45 + r * std::sin(a), 0);
  }
  add(d, new MB_Polyline(true, 10, star), 0xFF00FF);
  ++made;
  // A block (a small target: a circle and a cross) placed three times.
  MB_Block* mark = new MB_Block(As_Pt(0, 0, 0), MB_String("MARK"), MB_String("sample mark"));
  mark->object_list().add_tail(new MB_Circle(As_Pt(0, 0, 0), 6.0));
  mark->object_list().add_tail(new MB_Line(As_Pt(-9, 0, 0), As_Pt(9, 0, 0)));
  mark->object_list().add_tail(new MB_Line(As_Pt(0, -9, 0), As_Pt(0, 9, 0)));
  d.block_list().add_tail(mark);
  const double places[][3] = {{160, 30, 0.0}, {160, 180, 0.5}, {280, 180, 1.0}};
  for (const auto& at : places) {
    MB_Insert* insert = new MB_Insert(As_Pt(at[0], at[1], 0), at[2], 1.0, 1.0, 1.0);
    insert->block(MB_String("MARK"), d);
    add(d, insert, 0x0080FF);
    ++made;
  }
  if (with_text) {
  // Text in a style of the drawing's own, so that the style (and its font)
  // travels with the file; the font is the kernel's own, named as it lies
  // in the kernel's fonts folder.
  MB_Text_Style* style = new MB_Text_Style("TITLE", "kst32b.shx", "", 14.0, 1.0, 0.0, 0.0, 0, 0);
  d.text_style_list().add_tail(style);
  MB_Text* title = new MB_Text(As_Pt(20, 180, 0), MB_String("QUILLMARK-2D"));
  title->init_text_style(d, "TITLE");
  title->text_style().height(14.0);
  add(d, title, 0xFFFF00);
  ++made;
  // A caption in a TrueType face.
  MB_Text_Style* label_style = new MB_Text_Style("LABEL", "arial.ttf", "", 8.0, 1.0, 0.0, 0.0, 0, 0);
  d.text_style_list().add_tail(label_style);
  MB_Text* label = new MB_Text(As_Pt(20, 20, 0), MB_String("Sample drawing"));
  label->init_text_style(d, "LABEL");
  label->text_style().height(8.0);
  add(d, label, 0xFFFFFF);
  ++made;
  }
  return made;
}

std::string usage_text() {
  char text[1024];
  std::snprintf(text, sizeof text,
                "usage: %s [-o PICTURE] [-s WIDTHxHEIGHT] [DRAWING.kzf]\n"
                "       %s --help | --version\n"
                "Paints a native drawing and writes the view as an image.\n"
                "  -o PICTURE       the image to write (default sample.png); its extension gives\n"
                "                   the type: %s\n"
                "  -s WIDTHxHEIGHT  the image size in pixels (default %ldx%ld; each side 2 to %ld,\n"
                "                   at most %ld pixels, which take about 650 MB of memory)\n"
                "Without a drawing, a sample drawing is made and saved as sample.kzf beside the\n"
                "image when no file of that name is there.\n",
                kProgram, kProgram, mb_export_types().c_str(), kWidth, kHeight, kMaxSide, kMaxPixels);
  return text;
}

int usage_error(const std::string& what) { return qm_program_usage_error(kProgram, usage_text().c_str(), what); }

int failure(const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", kProgram, what.c_str());
  return 1;
}

// Reads "WIDTHxHEIGHT" into the two sizes; false when malformed or out of
// range.
bool parse_size(const std::string& text, long& width, long& height) {
  const char* p = text.c_str();
  char* end = nullptr;
  if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
  errno = 0;
  const long w = std::strtol(p, &end, 10);
  if (errno || (*end != 'x' && *end != 'X')) return false;
  p = end + 1;
  if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
  const long h = std::strtol(p, &end, 10);
  if (errno || *end) return false;
  if (w < 2 || h < 2 || w > kMaxSide || h > kMaxSide || w * h > kMaxPixels) return false;
  width = w;
  height = h;
  return true;
}

// True when something has that name already (a dangling link included).
bool name_taken(const std::string& path) {
  struct stat st;
  return lstat(qm_map_new_path(path.c_str()).c_str(), &st) == 0;
}

// Counts the texts of a list that have no font to draw with.
int texts_without_font(MB_Object_List& list) {
  int n = 0;
  for (MB_Object* o = list.head(); o; o = o->next())
    if (o->object_id() == MB_Object::ID_TEXT && !static_cast<MB_Text*>(o)->text_style().font_lib()) ++n;
  return n;
}

// Warns about fonts the drawing names that could not be loaded, and about
// texts left out for want of a font; the picture is written all the same.
void warn_about_fonts(MB_Drawing& d) {
  for (const MB_System_Resource::Font_Failure& f : g_system_resource.font_failures()) {
    // A missing default font whose place the kernel's own font took draws.
    char name[MAX_PATH];
    if (get_fname_by_pathstr(f.file.c_str(), name) && g_system_resource.get_fontlib(name)) {
      std::fprintf(stderr, "%s: note: the font %s is missing (%s); %s draws in its place\n", kProgram, f.file.c_str(),
                   f.reason.c_str(), MB_System_Resource::kShippedFont);
      continue;
    }
    std::fprintf(stderr, "%s: warning: cannot load the font %s: %s\n", kProgram, f.file.c_str(), f.reason.c_str());
  }
  int missing = texts_without_font(d.object_list());
  for (MB_Object* b = d.block_list().head(); b; b = b->next())
    if (b->object_id() == MB_Object::ID_BLOCK) missing += texts_without_font(static_cast<MB_Block*>(b)->object_list());
  if (missing)
    std::fprintf(stderr, "%s: warning: %d text%s not drawn: no font to draw with\n", kProgram, missing,
                 missing == 1 ? "" : "s");
}

}  // namespace

int main(int argc, char** argv) {
  std::string input, output = "sample.png";
  long width = kWidth, height = kHeight;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    int status = 0;
    if (options && qm_program_standard_option(argv[i], kProgram, usage_text().c_str(), &status)) {
      return status;
    } else if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "-o" || arg == "-s")) {
      if (i + 1 >= argc) return usage_error("option " + arg + " needs a value");
      const std::string value = argv[++i];
      if (arg == "-o") {
        if (value.empty()) return usage_error("the picture's name is empty");
        output = value;
      } else if (!parse_size(value, width, height)) {
        return usage_error("bad picture size '" + value + "': give WIDTHxHEIGHT, each side from 2 to " +
                           std::to_string(kMaxSide) + " pixels and at most " + std::to_string(kMaxPixels) +
                           " pixels in all");
      }
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return usage_error(qm_program_unknown_option(arg));
    } else if (!input.empty()) {
      return usage_error("more than one drawing given ('" + input + "' and '" + arg + "')");
    } else if (arg.empty()) {
      return usage_error("the drawing's name is empty");
    } else {
      input = arg;
    }
  }
  // Names from the command line are Linux names, used exactly as given.
  const std::string given_input = input, given_output = output;
  if (!input.empty()) input = qm_map_user_path(input.c_str());
  output = qm_map_user_path(output.c_str());
  if (!mb_export_type_known(output.c_str()))
    return usage_error("cannot write the picture " + given_output + ": unknown image type; name it with one of " +
                       mb_export_types());
  struct stat st;
  if (!input.empty() && lstat(input.c_str(), &st) != 0)
    return failure("cannot read the drawing " + given_input + ": " + std::strerror(errno));

  const std::string folder = output.substr(0, output.find_last_of('/') + 1);
  const std::string sample = folder + "sample.kzf";
  const std::string& drawing = input.empty() ? sample : input;
  if (qm_same_file(drawing.c_str(), output.c_str()))
    return failure("the picture " + given_output + " would replace the drawing " +
                   (input.empty() ? sample : given_input) + "; name another picture");

  HWND wnd = make_view_window(width, height);
  MB_Operation op;
  op.init(wnd, input.empty() ? "sample" : input.c_str());

  if (input.empty()) {
    int made = make_sample(*op.drawing(), true);
    if (name_taken(sample)) {
      std::printf("%s exists already and is left as it is; the sample drawing of %d entities is shown from memory\n",
                  sample.c_str(), made);
    } else {
      bool saved = op.save_kzf(sample.c_str());
      if (!saved) {
        // Some entity kinds may not be storable yet: the sample without them.
        std::string why = op.file_error();
        op.create_drawing("sample");
        made = make_sample(*op.drawing(), false);
        saved = op.save_kzf(sample.c_str());
        if (!saved)
          std::fprintf(stderr, "%s: warning: cannot write the sample drawing %s: %s\n", kProgram, sample.c_str(),
                       op.file_error().c_str());
        else
          std::fprintf(stderr, "%s: warning: the sample drawing was saved without its texts (%s)\n", kProgram,
                       why.c_str());
      }
      if (saved) {
        std::printf("sample drawing of %d entities saved as %s\n", made, sample.c_str());
        input = sample;
        op.create_drawing(sample.c_str());
      } else {
        std::printf("sample drawing of %d entities made in memory\n", made);
      }
    }
  }
  if (!input.empty()) {
    if (!op.load_kzf(input.c_str()))
      return failure("cannot read the drawing " + (given_input.empty() ? input : given_input) + ": " +
                     op.file_error());
    std::printf("opened %s\n", (given_input.empty() ? input : given_input).c_str());
  }

  op.build_draw();
  op.zoom_all();
  op.scale_view(0.9);  // a margin around the drawing
  HDC hdc = GetDC(wnd);
  op.draw(hdc);
  ReleaseDC(wnd, hdc);
  warn_about_fonts(*op.drawing());

  MB_Draw_Render* view = op.draw_render();
  const long background = g_system_setting.get_long_val(MB_BACKGROUND_COLOR);
  errno = 0;
  const As_Rect shown = view->drw_rect();
  if (!view->export_image(output.c_str(), shown, width, height, 0, background)) {
    const int err = errno;
    if (err) return failure("cannot write the picture " + given_output + ": " + qm_file_error(output.c_str(), err));
    // Nothing was written: the view of the drawing could not be painted.
    char area[160];
    std::snprintf(area, sizeof area, "(%g, %g) to (%g, %g)", shown.lt().x(), shown.lt().y(), shown.rb().x(),
                  shown.rb().y());
    const std::string painted = given_input.empty() ? (input.empty() ? "the sample drawing" : input) : given_input;
    return failure("cannot paint " + painted + " into the picture " + given_output + ": its view " + area +
                   " cannot be scaled to " + std::to_string(width) + "x" + std::to_string(height) + " pixels");
  }
  int entities = 0;
  for (MB_Object* o = op.drawing()->object_list().head(); o; o = o->next()) ++entities;
  std::printf("%d entities drawn; %ldx%ld picture of the view written to %s\n", entities, width, height,
              given_output.c_str());
  if (std::fflush(stdout) != 0 || std::ferror(stdout))
    return failure(std::string("cannot write to standard output: ") + std::strerror(errno ? errno : EIO));
  return 0;
}
