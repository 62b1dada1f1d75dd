// The copy that editing and undo use, shared by the entity classes: with a
// null target a new copy of the entity is made; into an entity of the same
// class, copy_fields(target) copies the class's own fields (resizing what
// the target owns) and MB_Geom::copy_to the identity and attributes. Any
// other target is refused.
#pragma once

#include "database/mb_drawable.h"

template <class T, class Copy_Fields>
bool mb_entity_copy_to(T& self, MB_Object*& target, Copy_Fields copy_fields) {
  if (!target) {
    target = new T(self);
    return true;
  }
  if (target == &self) return true;
  if (target->object_id() != self.object_id()) return false;
  copy_fields(static_cast<T&>(*target));
  return self.MB_Geom::copy_to(target);
}
