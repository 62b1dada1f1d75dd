// Native files through the operation: one read or write pass bound to the
// current drawing, answering the pass's own result.
#include <string>

#include "database/fileformat/mb_file_io.h"
#include "display/interaction/mb_operation.h"

bool MB_Operation::load_kzf(const char* path) {
  clear_selectlist(false);
  file_error_ = "no file name";
  if (!path) return false;
  if (!drawing_) create_drawing("no name");
  // What the display lists and the tools show may be replaced by the read.
  for (MB_Draw_Render* r = draw_render_list_.head(); r; r = r->next()) r->drawing(drawing_);
  MB_File_IO io;
  io.drawing(drawing_);
  const bool ok = io.load_kzf(path);
  file_error_ = io.reason();
  return ok;
}

bool MB_Operation::save_kzf(const char* path) {
  file_error_ = !path ? "no file name" : "no drawing";
  if (!path || !drawing_) return false;
  MB_File_IO io;
  io.drawing(drawing_);
  std::string name(path);  // the pass takes a writable name
  const bool ok = io.save_kzf(&name[0]);
  file_error_ = io.reason();
  return ok;
}
