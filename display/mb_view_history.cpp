// The view history: a list of heap-held transforms, newest first.
#include "display/mb_view_history.h"

#include "display/mb_draw_render.h"

MB_View_Undo_Redo::MB_View_Undo_Redo() : list_(new As_Void_List) {}

MB_View_Undo_Redo::~MB_View_Undo_Redo() {
  free_all();
  delete list_;
}

void MB_View_Undo_Redo::free_all() {
  for (As_Void_Node* n = list_->head(); n; n = n->next()) delete static_cast<As_Tran*>(n->entity());
  list_->emptyYourself();
  current_ = nullptr;
}

void MB_View_Undo_Redo::init(MB_Draw_Render* render) {
  free_all();
  render_ = render;
}

void MB_View_Undo_Redo::add_trans() {
  if (render_) add_head(render_->zoom_transf());
}

void MB_View_Undo_Redo::add_head(const As_Tran& t) {
  As_Tran* entry = new As_Tran(t);
  // Drop the views reached by stepping toward the head.
  while (list_->head() && list_->head() != current_) {
    delete static_cast<As_Tran*>(list_->head()->entity());
    list_->remove_node(list_->head());
  }
  list_->addHead(entry);
  current_ = list_->head();
  if (list_->count() > kLimit) {
    As_Void_Node* oldest = list_->tail();
    delete static_cast<As_Tran*>(oldest->entity());
    list_->remove_node(oldest);
  }
}

bool MB_View_Undo_Redo::step_to(As_Void_Node* node) {
  if (!node) return false;
  current_ = node;
  if (render_) {
    render_->zoom_transf(*static_cast<As_Tran*>(node->entity()));
    render_->compute_transf();
  }
  return true;
}

bool MB_View_Undo_Redo::previous_view() { return current_ && step_to(current_->previous()); }

bool MB_View_Undo_Redo::next_view() { return current_ && step_to(current_->next()); }

int MB_View_Undo_Redo::get_head(As_Tran& t) const {
  if (!list_->head()) return 0;
  t = *static_cast<As_Tran*>(list_->head()->entity());
  return 1;
}
