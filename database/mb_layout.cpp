// Layouts: the drawing asks a layout for its objects, and no layout has any
// yet, so the drawing's own list is the active one.
#include "database/mb_drawing.h"

MB_Object_List* mb_layout_object_list(MB_Layout*) { return nullptr; }
