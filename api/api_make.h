// Flat API make functions for the straight entities and texts: each builds
// one entity when the pointer is null, or updates the entity it points at,
// and never appends it to a drawing or builds its display. The control's
// creation tools keep one entity this way while the user clicks; the markup
// reader makes its texts with them. A new entity reports its creation to the
// undo command that is open, if any.
#pragma once

#include "geometry/as_pt.h"

class As_Pt_List;
class MB_Drawing;
class MB_Line;
class MB_Lines;
class MB_Solid;
class MB_Text;

// An existing line gets the new start, then end, each change recorded for
// undo first.
void api_mb_make_line(MB_Line*& line, const As_Pt& start, const As_Pt& end);
// The chain of the list's points; an existing chain has all its points
// replaced (no undo record). False for an empty list, nothing changed.
bool api_mb_make_lines(MB_Lines*& lines, As_Pt_List& points);
// The same for a solid's corners.
bool api_mb_make_solid(MB_Solid*& solid, As_Pt_List& points);
// A text in the drawing's style of that name (any case; "DEFAULT_STYLE" for
// a null name, the kernel's default style when none matches) whose own style
// then takes the height. An existing text is left unchanged. False for a
// null text.
bool api_mb_make_text(MB_Text*& text, char* string, const As_Pt& position, char* style_name, double height,
                      MB_Drawing& drawing);
