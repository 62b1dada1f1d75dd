// Flat API entry points around construction.
#include "api/api_construct.h"

#include <algorithm>

#include "api/api_extents.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/mb_drawable.h"
#include "display/interaction/mb_operation.h"
#include "geometry/as_edge.h"
#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"
#include "surface/cmydc.h"

namespace {

// Pixels left free on each side of the box.
constexpr int kMargin = 2;
constexpr COLORREF kThumbnailPen = 0x0000FF;

// Pixels per drawing unit that fit extents of dx by dy into w by h.
double fit_factor(double dx, double dy, int w, int h) {
  if (dx == 0.0 && dy == 0.0) return 1.0;
  if (dx == 0.0) return h / dy;
  if (dy == 0.0) return w / dx;
  return std::min(h / dy, w / dx);
}

// Segments between consecutive points.
void add_segments(const As_Pt* pts, int n, void* owner, As_Void_List& segments) {
  for (int i = 0; i + 1 < n; ++i) segments.add(new As_Segment(pts[i], pts[i + 1], owner));
}

}  // namespace

bool api_mb_delete_entity(MB_Object* object, MB_Operation& operation) {
  return operation.delete_object(object, false);
}

int32_t api_mb_rect_select(MB_Drawing&, const As_Pt&, const As_Pt&, bool) { return 0; }

bool api_mb_delete_entity(MB_Drawing&, MB_Object*, bool) { return true; }
bool api_mb_kill_object(MB_Object*) { return true; }
bool api_mb_kill_object_list(As_Void_List&) { return true; }
bool api_mb_moveto_entity(MB_Drawing&, MB_Drawable*, const As_Pt&, const As_Pt&) { return true; }
bool api_mb_translate_list(As_Void_List&, const As_Tran&) { return true; }

bool api_mb_draw_object_list_on_dc(HDC hdc, As_Void_List& entities, int cx, int cy, int width, int height) {
  if (!hdc || entities.is_empty() || width < 1 || height < 1) return false;
  const int w = width - 2 * kMargin, h = height - 2 * kMargin;
  As_Rect r;
  if (!api_mb_get_entity_list_rect(entities, r)) return false;
  const As_Pt c((r.lt().x() + r.rb().x()) / 2, (r.lt().y() + r.rb().y()) / 2, 0.0);
  const double factor = fit_factor(r.rb().x() - r.lt().x(), r.lt().y() - r.rb().y(), w, h);
  As_Tran t = translate_transf(As_Pt() - c) * scale_transf(factor) * reflect_transf(As_Vec(0.0, 1.0, 0.0)) *
              translate_transf(As_Vec(cx, cy, 0.0));

  HPEN pen = CreatePen(PS_SOLID, 1, kThumbnailPen);
  HGDIOBJ old_pen = SelectObject(hdc, pen);
  CMyDC surface;
  for (As_Void_Node* n = entities.head(); n; n = n->next()) {
    if (MB_Drawable* e = static_cast<MB_Drawable*>(n->entity())) e->draw(hdc, surface, t);
  }
  SelectObject(hdc, old_pen);
  DeleteObject(pen);
  return true;
}

void api_mb_geom_2_segments(As_Void_List& entities, As_Void_List& segments) {
  for (As_Void_Node* n = entities.head(); n; n = n->next()) {
    MB_Drawable* e = static_cast<MB_Drawable*>(n->entity());
    if (!e) continue;
    switch (e->object_id()) {
      case MB_Object::ID_LINE:
        add_segments(static_cast<MB_Line*>(e)->points(), 2, e, segments);
        break;
      case MB_Object::ID_LINES: {
        MB_Lines* lines = static_cast<MB_Lines*>(e);
        add_segments(lines->points(), lines->count(), e, segments);
        break;
      }
      case MB_Object::ID_ARC:
      case MB_Object::ID_CIRCLE:
      case MB_Object::ID_BSPLINE: {
        MB_Geom* g = static_cast<MB_Geom*>(e);
        add_segments(g->segment_set().points(), g->segment_set().count(), e, segments);
        break;
      }
      default:
        break;
    }
  }
}
