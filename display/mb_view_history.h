// The view history of one renderer: up to twelve earlier zoom transforms,
// newest at the head, with a current entry that the user steps along.
//
// previous_view moves one entry toward the head (the newer view) and
// next_view one entry toward the tail (the older view). Recording a view
// drops the entries ahead of the current one, as a browser history does.
// The history owns the transforms it stores and frees them; it cannot be
// copied.
#pragma once

#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"

class MB_Draw_Render;

class MB_View_Undo_Redo {
 public:
  static constexpr int kLimit = 12;

  MB_View_Undo_Redo();
  MB_View_Undo_Redo(const MB_View_Undo_Redo&) = delete;
  MB_View_Undo_Redo& operator=(const MB_View_Undo_Redo&) = delete;
  virtual ~MB_View_Undo_Redo();

  // Binds the renderer and forgets (frees) every stored view.
  void init(MB_Draw_Render* render);
  // Records the renderer's zoom transform; nothing without a renderer.
  void add_trans();
  void add_head(const As_Tran& t);
  // Steps and applies the view to the renderer; false when there is no
  // entry in that direction (nothing changes then).
  bool previous_view();
  bool next_view();
  bool is_can_previous() const { return current_ && current_->previous(); }
  bool is_can_next() const { return current_ && current_->next(); }
  // Copies the head entry into t and answers 1; 0 (t unchanged) when empty.
  int get_head(As_Tran& t) const;
  int count() const { return list_->count(); }
  // The entry now shown, or null.
  const As_Tran* current() const { return current_ ? static_cast<const As_Tran*>(current_->entity()) : nullptr; }

 private:
  void free_all();
  bool step_to(As_Void_Node* node);

  As_Void_List* list_;  // As_Tran*, owned
  As_Void_Node* current_ = nullptr;
  MB_Draw_Render* render_ = nullptr;
};
