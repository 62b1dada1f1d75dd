// Extents queries of the flat API: the extents one entity keeps, or the
// union of those of a list of entities. Nothing is computed here: entities
// keep their extents when their display is built.
#pragma once

#include "database/mb_object.h"
#include "geometry/as_rect.h"
#include "geometry/as_void_list.h"

class MB_Drawing;

// For an entity (types 6 to 9) its extents; for a layer the union of its
// entities' extents (it gathers none: the rectangle stays). Any other
// object, or null, leaves the rectangle unchanged.
void api_mb_get_entity_rect(MB_Object* object, As_Rect& rect, MB_Drawing* drawing);
// The union of the extents of the listed entities (objects that are not
// entities are passed over), corners (left, top, 0) and (right, bottom, 0).
// False, with the rectangle unchanged, when the list holds no entity.
bool api_mb_get_entity_list_rect(MB_Object_List& list, As_Rect& rect);
// The same for a list of MB_Drawable*; null entries are passed over.
bool api_mb_get_entity_list_rect(As_Void_List& list, As_Rect& rect);
