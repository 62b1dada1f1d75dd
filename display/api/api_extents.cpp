// Extents queries over stored entity extents.
#include "display/api/api_extents.h"

#include <algorithm>

#include "database/mb_drawable.h"
#include "database/mb_layer.h"

namespace {

// Grows the running union by one entity's extents.
class Extents_Union {
 public:
  void add(const MB_Drawable* e) {
    const As_Rect& r = e->rect();
    if (!any_) {
      left_ = r.lt().x(), top_ = r.lt().y(), right_ = r.rb().x(), bottom_ = r.rb().y();
      any_ = true;
      return;
    }
    left_ = std::min(left_, r.lt().x());
    top_ = std::max(top_, r.lt().y());
    right_ = std::max(right_, r.rb().x());
    bottom_ = std::min(bottom_, r.rb().y());
  }
  bool result(As_Rect& rect) const {
    if (any_) rect.set_rect(As_Pt(left_, top_, 0.0), As_Pt(right_, bottom_, 0.0));
    return any_;
  }

 private:
  bool any_ = false;
  double left_ = 0.0, top_ = 0.0, right_ = 0.0, bottom_ = 0.0;
};

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
  Extents_Union u;
  for (MB_Object* o = list.head(); o; o = o->next()) {
    if (o->is_drawable()) u.add(static_cast<MB_Drawable*>(o));
  }
  return u.result(rect);
}

bool api_mb_get_entity_list_rect(As_Void_List& list, As_Rect& rect) {
  Extents_Union u;
  for (As_Void_Node* n = list.head(); n; n = n->next()) {
    if (n->entity()) u.add(static_cast<const MB_Drawable*>(n->entity()));
  }
  return u.result(rect);
}
