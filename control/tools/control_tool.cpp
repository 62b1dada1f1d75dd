// The control's tool base.
#include "control/tools/control_tool.h"

#include "database/mb_undo_redo.h"
#include "display/interaction/mb_operation.h"

ControlTool::Undo_Command::Undo_Command(MB_Operation* operation, const char* name)
    : store_(operation ? operation->undo_redo() : nullptr) {
  if (store_) store_->rec_cmd_begin(name);
}

ControlTool::Undo_Command::~Undo_Command() {
  if (store_) store_->rec_cmd_end();
}
