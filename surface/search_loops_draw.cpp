// The loop search's inspection picture: its crossing points drawn on a
// device, with the drawing surface's circle marker.
#include "geometry/as_search_loops.h"
#include "geometry/as_tran.h"
#include "surface/api_draw.h"

namespace {

constexpr double kCrossingMarkRadius = 5.0;  // device units

}  // namespace

void As_Search_Loops::draw_test(HDC hdc, As_Tran& transform) {
  for (As_Void_Node* n = intersect_list_.head(); n; n = n->next()) {
    const As_Pt p = static_cast<As_Intersect_Point*>(n->entity())->pos() * transform;
    draw_gdi_circle(hdc, p.x(), p.y(), kCrossingMarkRadius, 1);
  }
}
