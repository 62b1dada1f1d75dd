// The flat API's hatch creator.
#include "api/api_hatch.h"

#include <cstdint>

#include "api/api_append.h"
#include "database/entities/mb_hatch.h"
#include "database/mb_drawing.h"
#include "geometry/as_loop.h"

long api_mb_create_hatch(As_Void_List& loops, char*, double, double, int) {
  if (loops.is_empty() || !g_current_drawing) return 0;
  MB_Hatch* hatch = new MB_Hatch;
  for (As_Void_Node* n = loops.head(); n; n = n->next()) {
    const As_Loop* loop = static_cast<const As_Loop*>(n->entity());
    if (loop) hatch->loop_list().add(new As_Loop(*loop));
  }
  hatch->general().color(0xFF00FF);
  hatch->general().display_color(0xFF00FF);
  return static_cast<long>(api_appended(hatch, true));
}
