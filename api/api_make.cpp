// Flat API make functions for the straight entities and texts.
#include "api/api_make.h"

#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "geometry/as_pt_list.h"

namespace {

// A new T of the list's points, or the points of an existing one replaced.
template <class T>
bool make_from_points(T*& entity, As_Pt_List& points) {
  if (points.is_empty()) return false;
  if (!entity) entity = new T;
  entity->init(points);
  return true;
}

}  // namespace

void api_mb_make_line(MB_Line*& line, const As_Pt& start, const As_Pt& end) {
  if (!line) {
    line = new MB_Line(start, end);
    return;
  }
  line->start(start);
  line->end(end);
}

bool api_mb_make_lines(MB_Lines*& lines, As_Pt_List& points) { return make_from_points(lines, points); }

bool api_mb_make_solid(MB_Solid*& solid, As_Pt_List& points) { return make_from_points(solid, points); }

bool api_mb_make_text(MB_Text*& text, char* string, const As_Pt& position, char* style_name, double height,
                      MB_Drawing& drawing) {
  if (!string) return false;
  if (text) return true;
  MB_Text* t = new MB_Text(position, MB_String(string));
  t->init_text_style(drawing, style_name ? style_name : "DEFAULT_STYLE");
  t->text_style().height(height);
  text = t;
  return true;
}
