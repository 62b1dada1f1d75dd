// Flat API entry points around construction: deleting an entity through the
// editing context, drawing a list of entities into a box of a device
// context (block thumbnails), turning entities into straight segments for
// loop search, and the exported functions kept for callers that do nothing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "geometry/as_pt.h"

class As_Tran;
class As_Void_List;
class MB_Drawable;
class MB_Drawing;
class MB_Object;
class MB_Operation;

// MB_Operation::delete_object(object, false).
bool api_mb_delete_entity(MB_Object* object, MB_Operation& operation);
// Selects nothing: window selection is MB_Operation::rect_select.
int32_t api_mb_rect_select(MB_Drawing& drawing, const As_Pt& a, const As_Pt& b, bool redraw);

// These do nothing and answer true.
bool api_mb_delete_entity(MB_Drawing& drawing, MB_Object* object, bool redraw);
bool api_mb_kill_object(MB_Object* object);
bool api_mb_kill_object_list(As_Void_List& list);
bool api_mb_moveto_entity(MB_Drawing& drawing, MB_Drawable* entity, const As_Pt& from, const As_Pt& to);
bool api_mb_translate_list(As_Void_List& list, const As_Tran& t);

// Draws the entities (MB_Drawable*), in list order, with a red pen of width
// 1, scaled to fit a box of width by height pixels less a 2-pixel margin and
// centred on the pixel (cx, cy); the DC's pen is restored. Extents without
// width or height scale by the other axis (by 1 when both are 0). False,
// with nothing drawn, for a null DC, a box below 1 pixel or a list without
// an entity.
bool api_mb_draw_object_list_on_dc(HDC hdc, As_Void_List& entities, int cx, int cy, int width, int height);

// Appends to `segments` a new As_Segment, owned by the caller, for each
// straight piece of each entity, in order, with the entity as its parent:
// a line's one segment; a chain's consecutive points; the display points of
// an arc, a circle or a spline (built by build_draw). Other entities give
// none.
void api_mb_geom_2_segments(As_Void_List& entities, As_Void_List& segments);
