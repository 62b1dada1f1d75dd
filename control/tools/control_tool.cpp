// The control's tool base.
#include "control/tools/control_tool.h"

#include <afxwin.h>

#include "database/entities/mb_block.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "display/interaction/mb_operation.h"

ControlTool::Undo_Command::Undo_Command(MB_Operation* operation, const char* name)
    : store_(operation ? operation->undo_redo() : nullptr) {
  if (store_) store_->rec_cmd_begin(name);
}

ControlTool::Undo_Command::~Undo_Command() {
  if (store_) store_->rec_cmd_end();
}

void ControlTool::install_cursor(const char* name) {
  HCURSOR c = name ? ::LoadCursorA(AfxGetInstanceHandle(), name) : nullptr;
  if (!c) c = ::LoadCursorA(nullptr, IDC_ARROW);
  ::SetCursor(c);
  MB_Operation* op = operation();
  if (HWND wnd = op ? op->wnd() : nullptr) ::SetClassLongPtrA(wnd, GCL_HCURSOR, reinterpret_cast<LONG_PTR>(c));
}

void ControlTool::append_to_active_list(MB_Drawable* e) {
  MB_Drawing* d = drawing();
  if (!d || !e) return;
  if (MB_Block* block = d->temp_block())
    block->object_list().add_tail(e);
  else
    d->object_list().add_tail(e);
}

void ControlTool::place_copy(MB_Drawable& prototype, const char* command,
                             const std::function<void(MB_Drawable&)>& place) {
  MB_Operation* op = operation();
  Undo_Command recording(op, command);
  MB_Object* made = nullptr;
  if (!prototype.copy_to(made) || !made) return;
  MB_Drawable* copy = static_cast<MB_Drawable*>(made);
  place(*copy);
  copy->build_draw();
  append_to_active_list(copy);
  if (op) op->draw_object(copy);
}

void ControlTool::copy_selection(const As_Tran& t) {
  MB_Operation* op = operation();
  if (!op) return;
  for (As_Void_Node* n = op->selection().head(); n; n = n->next()) {
    MB_Drawable* e = static_cast<MB_Drawable*>(n->entity());
    MB_Object* made = nullptr;
    if (!e || !e->copy_to(made) || !made) continue;
    MB_Drawable* copy = static_cast<MB_Drawable*>(made);
    copy->translate(t);
    copy->build_draw();
    append_to_active_list(copy);
    op->draw_object(copy);
  }
}
