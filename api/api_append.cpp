// Where the flat API's creators put what they make.
#include "api/api_append.h"

#include "database/mb_drawable.h"
#include "database/mb_drawing.h"

intptr_t api_appended(MB_Drawable* entity, bool build) {
  if (build) entity->build_draw();
  g_current_drawing->add_object(entity);
  return api_handle(entity);
}
