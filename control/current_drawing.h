// Makes a drawing the kernel's current drawing while the flat API and the
// exchange libraries (which work on the current drawing) add to it or read
// it, and puts the previous one back: whichever control was created last, a
// view's entities and files go to and come from its own drawing.
#pragma once

#include "database/mb_drawing.h"

class Current_Drawing {
 public:
  explicit Current_Drawing(MB_Drawing* drawing) : saved_(g_current_drawing) {
    if (drawing) g_current_drawing = drawing;
  }
  ~Current_Drawing() { g_current_drawing = saved_; }
  Current_Drawing(const Current_Drawing&) = delete;
  Current_Drawing& operator=(const Current_Drawing&) = delete;

 private:
  MB_Drawing* saved_;
};
