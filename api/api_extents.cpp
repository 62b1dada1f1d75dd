// Extents queries over stored entity extents.
#include "api/api_extents.h"

#include "database/mb_drawable.h"
#include "database/mb_layer.h"

namespace {

// The union's corners with z = 0, as the queries give them.
bool flat(bool any, As_Rect& rect) {
  if (any) rect.set_rect(As_Pt(rect.lt().x(), rect.lt().y(), 0.0), As_Pt(rect.rb().x(), rect.rb().y(), 0.0));
  return any;
}

}  // namespace

void api_mb_get_entity_rect(MB_Object* object, As_Rect& rect, MB_Drawing* drawing) {
  if (!object) return;
  if (object->is_drawable()) {
    const As_Rect& r = static_cast<MB_Drawable*>(object)->rect();
    rect.set_rect(r.lt(), r.rb());
  } else if (object->object_id() == MB_Object::ID_LAYER) {
    As_Void_List entities;
    static_cast<MB_Layer*>(object)->get_ent_list(entities, drawing);
    api_mb_get_entity_list_rect(entities, rect);
  }
}

bool api_mb_get_entity_list_rect(MB_Object_List& list, As_Rect& rect) {
  return flat(mb_entity_extents(list, rect), rect);
}

bool api_mb_get_entity_list_rect(As_Void_List& list, As_Rect& rect) {
  return flat(mb_entity_extents(list, rect), rect);
}
