// The placing of a glyph into point sets, for fonts that place glyphs only
// as point lists.
#include "database/fonts/mb_font_library.h"

#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"

bool MB_Font_Library::char_2_ptsets(unsigned long code, std::vector<unsigned long>& counts, std::vector<As_Pt>& pts,
                                    As_Pt& pen, double height, double width, bool vertical, double units) {
  As_Void_List strokes;
  const bool drawn = units > 0 ? char_2_ptlist_in_units(code, strokes, pen, height, width, vertical, units)
                               : char_2_ptlist(code, strokes, pen, height, width, vertical);
  for (As_Void_Node* n = strokes.head(); n; n = n->next()) {
    As_Pt_List* l = static_cast<As_Pt_List*>(n->entity());
    unsigned long k = 0;
    for (As_Pt_Node* p = l->head(); p; p = p->next(), ++k) pts.push_back(p->point());
    if (k) counts.push_back(k);
    delete l;
  }
  strokes.emptyYourself();
  return drawn;
}
