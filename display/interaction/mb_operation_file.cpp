// Native files through the operation: until the file pass is part of the
// kernel, reading and writing report failure.
#include "display/interaction/mb_operation.h"

bool MB_Operation::load_kzf(const char* path) {
  clear_selectlist(false);
  return path != nullptr && false;
}

bool MB_Operation::save_kzf(const char*) { return false; }
