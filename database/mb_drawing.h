// The drawing, as far as the undo store needs it: the entity list that undo
// and redo act on. The drawing's tables, its blocks and the rest of its
// interface are added with the drawing itself; callers use only what is here.
#pragma once

#include "database/mb_object.h"

class MB_Drawing {
 public:
  MB_Drawing() = default;
  MB_Drawing(const MB_Drawing&) = delete;
  MB_Drawing& operator=(const MB_Drawing&) = delete;
  // Destroys every entity the drawing holds.
  virtual ~MB_Drawing() = default;

  MB_Object_List& object_list() { return object_list_; }

 private:
  MB_Object_List object_list_;
};
