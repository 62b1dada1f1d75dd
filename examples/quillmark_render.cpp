// Opens a native drawing, paints it through the kernel's renderer on a
// headless window and writes the view as a PNG image.
//
//   quillmark_render [-o picture.png] [drawing.kzf]
//
// Without a drawing it first makes a sample drawing through the kernel's
// own classes, saves it as "sample.kzf" beside the picture, and shows that
// file (or the drawing in memory, when it could not be written or read).
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "database/mb_drawing.h"
#include "database/mb_system.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"

#if __has_include("database/entities/mb_line.h")
#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#define QM_HAVE_LINE 1
#endif
#if __has_include("database/entities/mb_circle.h")
#include "database/entities/mb_circle.h"
#define QM_HAVE_CIRCLE 1
#endif
#if __has_include("database/entities/mb_insert.h")
#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#define QM_HAVE_BLOCK 1
#endif
#if __has_include("database/entities/mb_text.h")
#include "database/entities/mb_text.h"
#define QM_HAVE_TEXT 1
#endif
#if __has_include("database/entities/mb_polyline.h")
#include "database/entities/mb_polyline.h"
#define QM_HAVE_POLYLINE 1
#endif

namespace {

constexpr int kWidth = 800, kHeight = 600;

LRESULT view_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

HWND make_view_window() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = view_proc;
  wc.lpszClassName = "QuillmarkView";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "QuillmarkView", "Quillmark", WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr,
                         nullptr, nullptr);
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
#ifdef QM_HAVE_LINE
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
#endif
#ifdef QM_HAVE_CIRCLE
  for (int i = 0; i < 5; ++i, ++made) add(d, new MB_Circle(As_Pt(200, 105, 0), 12.0 + 14.0 * i), 0x00FF00);
  add(d, new MB_Arc(As_Pt(70, 160, 0), 30.0, 0.0, M_PI), 0xFF8000);
  ++made;
#endif
#ifdef QM_HAVE_POLYLINE
  MB_Pline_Pos* star = new MB_Pline_Pos[10];
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 ? 12.0 : 30.0, a = M_PI / 2 + i * M_PI / 5;
    star[i].point = As_Pt(250 + r * std::cos(a), 45 + r * std::sin(a), 0);
  }
  add(d, new MB_Polyline(true, 10, star), 0xFF00FF);
  ++made;
#endif
#if defined(QM_HAVE_BLOCK) && defined(QM_HAVE_LINE) && defined(QM_HAVE_CIRCLE)
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
#endif
#ifdef QM_HAVE_TEXT
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
#endif
  return made;
}

}  // namespace

int main(int argc, char** argv) {
  std::string input, output = "sample.png";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-o" && i + 1 < argc) {
      output = argv[++i];
    } else if (arg[0] == '-') {
      std::fprintf(stderr, "usage: quillmark_render [-o picture.png] [drawing.kzf]\n");
      return 2;
    } else {
      input = arg;
    }
  }

  HWND wnd = make_view_window();
  MB_Operation op;
  op.init(wnd, input.empty() ? "sample" : input.c_str());

  if (input.empty()) {
    const std::string folder = output.substr(0, output.find_last_of('/') + 1);
    const std::string sample = folder + "sample.kzf";
    int made = make_sample(*op.drawing(), true);
    bool saved = op.save_kzf(sample.c_str());
    if (!saved) {
      // Some entity kinds may not be storable yet: the sample without them.
      op.create_drawing("sample");
      made = make_sample(*op.drawing(), false);
      saved = op.save_kzf(sample.c_str());
    }
    if (saved) {
      std::printf("sample drawing of %d entities saved as %s\n", made, sample.c_str());
      input = sample;
      op.create_drawing(sample.c_str());
    } else {
      std::printf("sample drawing of %d entities made in memory (the native file could not be written)\n", made);
    }
  }
  if (!input.empty()) {
    if (!op.load_kzf(input.c_str())) {
      std::fprintf(stderr, "cannot read the drawing %s\n", input.c_str());
      return 1;
    }
    std::printf("opened %s\n", input.c_str());
  }

  op.build_draw();
  op.zoom_all();
  op.scale_view(0.9);  // a margin around the drawing
  HDC hdc = GetDC(wnd);
  op.draw(hdc);
  ReleaseDC(wnd, hdc);

  MB_Draw_Render* view = op.draw_render();
  const long background = g_system_setting.get_long_val(0);
  if (!view->export_image(output.c_str(), view->drw_rect(), kWidth, kHeight, 0, background)) {
    std::fprintf(stderr, "cannot write the picture %s\n", output.c_str());
    return 1;
  }
  int entities = 0;
  for (MB_Object* o = op.drawing()->object_list().head(); o; o = o->next()) ++entities;
  std::printf("%d entities drawn; picture of the view written to %s\n", entities, output.c_str());
  return 0;
}
