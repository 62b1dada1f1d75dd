// Text styles and their font look-up.
#include "database/entities/mb_text_style.h"

#include <windows.h>

#include <initializer_list>

#include "database/fonts/mb_font_library.h"
#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "database/mb_resource.h"

MB_Font_Library* mb_font_from_cache(const char* file, const char* fallback) {
  for (const char* f : {file, fallback}) {
    if (!f) continue;
    MB_Font_Library* lib = g_system_resource.get_fontlib(f);
    if (!lib) {
      char name[MAX_PATH];
      // The cache knows a library by the last part of its path.
      if (get_fname_by_pathstr(f, name)) lib = g_system_resource.get_fontlib(name);
    }
    if (!lib) lib = g_system_resource.load_font(f);
    if (lib) return lib;
  }
  // A fonts folder without the fallback font: the kernel's own font draws in
  // its place, known by the fallback's name, so that a file read and saved
  // again still names the font it named.
  return fallback ? g_system_resource.load_font_as(MB_System_Resource::kShippedFont, fallback) : nullptr;
}

MB_Font_Library* mb_cjk_font() { return mb_font_from_cache("simsun.ttf", nullptr); }

MB_Text_Style::MB_Text_Style(const char* name, const char* font, const char* big_font, double height,
                             double width_scale, double oblique_angle, double angle, int32_t, int32_t) {
  this->name(name);
  font_lib(font);
  big_font_lib(big_font);
  reals_[0] = height;
  reals_[1] = width_scale;
  reals_[3] = oblique_angle;
  reals_[2] = angle;
}

void MB_Text_Style::font_lib(const char* file) {
  if (file) font_lib_ = mb_font_from_cache(file, "txt.shx");
}

void MB_Text_Style::big_font_lib(const char* file) {
  if (file) big_font_lib_ = mb_font_from_cache(file, "ae.shx");
}

MB_Text_Style_Name::MB_Text_Style_Name(const char* name, MB_Drawing& drawing)
    : text_style_(drawing.find_text_style(name)), name_(MB_String(name)) {}

MB_Text_Style* mb_to_text_style(MB_Object* object) {
  return object && object->object_id() == MB_Object::ID_TEXT_STYLE ? static_cast<MB_Text_Style*>(object) : nullptr;
}

const MB_String* mb_text_style_name(const MB_Text_Style* style) { return style ? &style->name() : nullptr; }
