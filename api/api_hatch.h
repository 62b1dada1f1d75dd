// The flat API's creator of hatch entities.
#pragma once

#include "geometry/as_void_list.h"

// A new hatch with the default pattern over copies of the loops (As_Loop*;
// the caller keeps its own, null entries are passed over), colour and
// display colour 0xFF00FF, built for display and appended to the block
// being defined in the current drawing, else to its entity list. Returns the
// hatch as a pointer-sized integer; 0 for an empty list or when there is no
// current drawing. The pattern name, scale, angle and the last int are not
// used.
long api_mb_create_hatch(As_Void_List& loops, char* pattern_name, double scale, double angle, int flag);
