// The undo store: recording, replay and the disposal of what the history
// holds. See mb_undo_redo.h for the record kinds and who owns what.
#include "database/mb_undo_redo.h"

#include <cstring>
#include <unordered_set>

#include "database/mb_drawing.h"
#include "database/mb_object.h"
#include "geometry/dlink.h"

MB_Undo_Redo* g_undo_redo = nullptr;

namespace {

using Object_Set = std::unordered_set<const MB_Object*>;

// Copies `from`'s state into `into` with recording off, so that setters used
// by the copy do not report to the store.
void copy_state(MB_Object* from, MB_Object* into) {
  MB_Undo_Redo* saved = g_undo_redo;
  g_undo_redo = nullptr;
  MB_Object* target = into;
  from->copy_to(target);
  g_undo_redo = saved;
}

// A new copy of the object, made with recording off; null when the class
// makes none.
MB_Object* new_copy(MB_Object* object) {
  MB_Undo_Redo* saved = g_undo_redo;
  g_undo_redo = nullptr;
  MB_Object* copy = nullptr;
  object->copy_to(copy);
  g_undo_redo = saved;
  return copy;
}

struct Record_Links {
  static MB_Sub_Command* next(const MB_Sub_Command* r) { return r->next(); }
  static MB_Sub_Command* prev(const MB_Sub_Command* r) { return r->prev(); }
  static void set_next(MB_Sub_Command* r, MB_Sub_Command* n) { r->next(n); }
  static void set_prev(MB_Sub_Command* r, MB_Sub_Command* p) { r->prev(p); }
};

void unlink(MB_Object* object) {
  if (MB_Object_List* owner = object->owner_list()) owner->remove(object);
}

void collect(const MB_Command* cmd, Object_Set& out) {
  for (MB_Sub_Command* r = cmd->head(); r; r = r->next()) {
    if (r->left_object()) out.insert(r->left_object());
    if (r->right_object()) out.insert(r->right_object());
  }
}

// Deletes the objects that no list holds and that are not in `keep`.
void delete_unowned(const Object_Set& objects, const Object_Set* keep) {
  for (const MB_Object* o : objects) {
    if (keep && keep->count(o)) continue;
    if (o->owner_list()) continue;
    delete o;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Records

void MB_Sub_Command::undo(MB_Object_List& list, As_Void_List& touched) {
  if (is_created()) {
    unlink(right_object_);
  } else if (is_removed()) {
    list.add_tail(left_object_);
    touched.add(left_object_);
  } else if (is_modified() && list.contains(original_object_)) {
    copy_state(left_object_, original_object_);
    touched.add(original_object_);
  }
}

void MB_Sub_Command::redo(MB_Object_List& list, As_Void_List& touched) {
  if (is_created()) {
    list.add_tail(right_object_);
    touched.add(right_object_);
  } else if (is_removed()) {
    unlink(left_object_);
  } else if (is_modified() && list.contains(original_object_)) {
    copy_state(right_object_, original_object_);
    touched.add(original_object_);
  }
}

// ---------------------------------------------------------------------------
// Commands

MB_Command::MB_Command(const char* name) {
  if (name) {
    size_t n = strnlen(name, kNameSize - 1);
    std::memcpy(name_, name, n);
    name_[n] = 0;
  }
}

MB_Command::~MB_Command() { kill_all_sub_command(); }

bool MB_Command::add(MB_Sub_Command* record) {
  if (!creating_ || !record) return false;
  dlink::link_before<Record_Links>(head_, tail_, record, static_cast<MB_Sub_Command*>(nullptr));
  return true;
}

void MB_Command::undo(MB_Object_List& list, As_Void_List& touched) {
  for (MB_Sub_Command* r = head_; r; r = r->next()) r->undo(list, touched);
}

void MB_Command::redo(MB_Object_List& list, As_Void_List& touched) {
  for (MB_Sub_Command* r = head_; r; r = r->next()) r->redo(list, touched);
}

void MB_Command::kill_all_sub_command() {
  while (head_) kill_sub_command(head_);
}

void MB_Command::kill_sub_command(MB_Sub_Command* record) { dlink::unlink<Record_Links>(head_, tail_, record); }

// ---------------------------------------------------------------------------
// The store

MB_Undo_Redo::~MB_Undo_Redo() {
  if (g_undo_redo == this) g_undo_redo = nullptr;
  // Objects in the drawing are the drawing's: a command still open holds its
  // created and changed objects as they live in the drawing, a done command
  // its created ones, an undone command its removed ones (back in place).
  if (recording_) {
    for (MB_Sub_Command* r = recording_->head(); r; r = r->next()) r->right_object(nullptr);
    done_.add(recording_);
    recording_ = nullptr;
    open_records_.clear();
  }
  for (As_Void_Node* n = done_.head(); n; n = n->next()) {
    for (MB_Sub_Command* r = static_cast<MB_Command*>(n->entity())->head(); r; r = r->next()) {
      if (r->is_created()) r->right_object(nullptr);
    }
  }
  kill_cmds(done_);
  for (As_Void_Node* n = undone_.head(); n; n = n->next()) {
    for (MB_Sub_Command* r = static_cast<MB_Command*>(n->entity())->head(); r; r = r->next()) {
      if (r->is_removed()) r->left_object(nullptr);
    }
  }
  kill_cmds(undone_);
}

void MB_Undo_Redo::kill_cmds(As_Void_List& commands) {
  Object_Set held;
  for (As_Void_Node* n = commands.head(); n; n = n->next()) {
    MB_Command* cmd = static_cast<MB_Command*>(n->entity());
    collect(cmd, held);
    delete cmd;
  }
  commands.emptyYourself();
  delete_unowned(held, nullptr);
}

void MB_Undo_Redo::rec_cmd_begin(const char* name) {
  if (recording_) rec_cmd_end();
  g_undo_redo = this;

  // Drop the undone commands. Their created objects (out of the drawing since
  // the undo) and their state copies go, unless a done command still holds
  // them; their removed objects are back in the drawing and stay there.
  Object_Set kept, dropped;
  for (As_Void_Node* n = done_.head(); n; n = n->next()) {
    collect(static_cast<MB_Command*>(n->entity()), kept);
  }
  for (As_Void_Node* n = undone_.head(); n; n = n->next()) {
    MB_Command* cmd = static_cast<MB_Command*>(n->entity());
    for (MB_Sub_Command* r = cmd->head(); r; r = r->next()) {
      if (r->right_object()) dropped.insert(r->right_object());
      if (r->is_modified()) dropped.insert(r->left_object());
    }
    delete cmd;
  }
  undone_.emptyYourself();
  delete_unowned(dropped, &kept);

  recording_ = new MB_Command(name);
  recording_->is_creating(true);
}

void MB_Undo_Redo::rec_cmd_end() {
  g_undo_redo = nullptr;
  if (!recording_) return;
  MB_Command* cmd = recording_;
  cmd->is_creating(false);
  MB_Sub_Command* r = cmd->head();
  while (r) {
    MB_Sub_Command* next = r->next();
    if (r->is_created() && r->right_object() && !r->right_object()->owner_list()) {
      // Made during the command but in no list at its end: a part of another
      // object (a text's own style) or an object its maker keeps. Undo has
      // nothing to take out of the drawing, and the object is not the
      // store's to delete.
      cmd->kill_sub_command(r);
    } else if (r->is_modified()) {
      MB_Object* after = new_copy(r->right_object());
      if (after) {
        r->right_object(after);
      } else {
        // The state after cannot be kept: the record could not be replayed.
        delete r->left_object();
        cmd->kill_sub_command(r);
      }
    }
    r = next;
  }
  done_.add(cmd);
  recording_ = nullptr;
  open_records_.clear();
}

void MB_Undo_Redo::rec_cmd_pause() { g_undo_redo = nullptr; }

void MB_Undo_Redo::rec_cmd_continue() { g_undo_redo = this; }

void MB_Undo_Redo::append(MB_Sub_Command* record) {
  recording_->add(record);
  if (drawing_) drawing_->note_edit();
  if (record->is_created()) {
    open_records_[record->right_object()] = record;
  } else if (record->is_modified()) {
    open_records_[record->original_object()] = record;
  }
}

void MB_Undo_Redo::forget(MB_Sub_Command* record) {
  if (record->right_object()) open_records_.erase(record->right_object());
  if (record->original_object()) open_records_.erase(record->original_object());
}

void MB_Undo_Redo::create_cmd(MB_Object* object) {
  if (!recording_ || !object) return;
  append(new MB_Sub_Command(nullptr, nullptr, object));
}

bool MB_Undo_Redo::delete_cmd(MB_Object* object) {
  if (!recording_ || !object) return false;
  auto it = open_records_.find(object);
  if (it != open_records_.end()) {
    MB_Sub_Command* r = it->second;
    forget(r);
    if (r->is_created()) {
      // Created and removed in the same command: nothing to replay, and
      // nobody keeps the object.
      r->right_object(nullptr);
      return false;
    }
    // Changed, then removed: put the state from before the command back into
    // the object and record the removal of the object itself, so that older
    // commands that name it stay valid.
    copy_state(r->left_object(), object);
    delete r->left_object();
    r->original_object(nullptr);
    r->right_object(nullptr);
    r->left_object(object);
    return true;
  }
  append(new MB_Sub_Command(nullptr, object, nullptr));
  return true;
}

void MB_Undo_Redo::destroy_cmd(MB_Object* object) {
  if (!recording_) return;
  auto it = open_records_.find(object);
  if (it == open_records_.end()) return;
  MB_Sub_Command* r = it->second;
  forget(r);
  r->original_object(nullptr);
  r->right_object(nullptr);
}

void MB_Undo_Redo::modify_cmd(MB_Object* object) {
  // One record per object and command; an object created in this command
  // needs none, since undo takes it away whatever its state.
  if (!recording_ || !object || open_records_.count(object)) return;
  MB_Object* before = new_copy(object);
  if (before) append(new MB_Sub_Command(object, before, object));
}

void MB_Undo_Redo::undo(As_Void_List& touched) {
  if (done_.is_empty() || !drawing_) return;
  g_undo_redo = nullptr;
  MB_Command* cmd = static_cast<MB_Command*>(done_.last());
  cmd->undo(drawing_->object_list(), touched);
  drawing_->note_edit();
  done_.remove_node(done_.tail());
  undone_.addHead(cmd);
  g_undo_redo = this;
}

void MB_Undo_Redo::redo(As_Void_List& touched) {
  if (undone_.is_empty() || !drawing_) return;
  g_undo_redo = nullptr;
  MB_Command* cmd = static_cast<MB_Command*>(undone_.first());
  cmd->redo(drawing_->object_list(), touched);
  drawing_->note_edit();
  undone_.remove_node(undone_.head());
  done_.add(cmd);
  g_undo_redo = this;
}
