// The services of blocks, text styles and layouts that the drawing uses,
// until those classes exist: no object is a block, and none of them has a
// name or objects. Each class replaces its part of this file.
#include "database/mb_drawing.h"

MB_Block* mb_to_block(MB_Object*) { return nullptr; }
const MB_String* mb_block_name(const MB_Block*) { return nullptr; }
MB_Object_List* mb_block_object_list(MB_Block*) { return nullptr; }
void mb_block_build_draw(MB_Block*) {}
MB_Object_List* mb_layout_object_list(MB_Layout*) { return nullptr; }
