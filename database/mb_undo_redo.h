// Undo and redo: the store of named commands that an editing context keeps
// for its drawing.
//
// A user action is recorded as one command between rec_cmd_begin and
// rec_cmd_end. While a command is open, g_undo_redo points at the store and
// the database reports by itself every object it creates, removes or is about
// to change; each report becomes one record of the command:
//   created   right = the new object                    (left null)
//   removed   left  = the removed object, kept alive     (right null)
//   modified  left  = a copy of the state before, right = the object while
//             the command is open, then a copy of the state after
//   cancelled neither (an object created and removed in the same command)
// Undo and redo replay a whole command, record by record in recording order,
// against the drawing's entity list.
//
// Ownership: an object a record holds that is in no list (a removed object,
// a created object after undo, a state copy) belongs to the store and dies
// with it; an object in a list belongs to that list and is never deleted
// here. g_undo_redo is cleared when the store it points at dies.
#pragma once

#include <unordered_map>

#include "geometry/as_void_list.h"

class MB_Drawing;
class MB_Object;
class MB_Object_List;

class MB_Sub_Command {
 public:
  MB_Sub_Command() = default;
  MB_Sub_Command(MB_Object* original, MB_Object* left, MB_Object* right)
      : original_object_(original), left_object_(left), right_object_(right) {}
  MB_Sub_Command(const MB_Sub_Command&) = delete;
  MB_Sub_Command& operator=(const MB_Sub_Command&) = delete;
  // Releases nothing: the objects belong to the store or to a list.
  virtual ~MB_Sub_Command() = default;

  bool is_created() const { return right_object_ && !left_object_; }
  bool is_removed() const { return left_object_ && !right_object_; }
  bool is_modified() const { return left_object_ && right_object_; }

  // Replays the record backwards or forwards against the entity list; the
  // objects put back into or changed in the list are appended to touched.
  void undo(MB_Object_List& list, As_Void_List& touched);
  void redo(MB_Object_List& list, As_Void_List& touched);

  MB_Object* original_object() const { return original_object_; }
  MB_Object* left_object() const { return left_object_; }
  MB_Object* right_object() const { return right_object_; }
  void original_object(MB_Object* o) { original_object_ = o; }
  void left_object(MB_Object* o) { left_object_ = o; }
  void right_object(MB_Object* o) { right_object_ = o; }
  int flag() const { return flag_; }
  void flag(int f) { flag_ = f; }
  MB_Sub_Command* prev() const { return prev_; }
  MB_Sub_Command* next() const { return next_; }
  void prev(MB_Sub_Command* p) { prev_ = p; }
  void next(MB_Sub_Command* n) { next_ = n; }

 private:
  MB_Sub_Command* prev_ = nullptr;
  MB_Sub_Command* next_ = nullptr;
  int flag_ = 0;
  MB_Object* original_object_ = nullptr;
  MB_Object* left_object_ = nullptr;
  MB_Object* right_object_ = nullptr;
};

class MB_Command {
 public:
  static constexpr int kNameSize = 256;

  MB_Command() = default;
  // The name is cut to 255 bytes; null gives an empty name.
  explicit MB_Command(const char* name);
  MB_Command(const MB_Command&) = delete;
  MB_Command& operator=(const MB_Command&) = delete;
  // Deletes the records (not the objects they hold).
  virtual ~MB_Command();

  // Appends the record while the command is open (true); otherwise the
  // record is not taken and stays the caller's (false).
  bool add(MB_Sub_Command* record);
  void undo(MB_Object_List& list, As_Void_List& touched);
  void redo(MB_Object_List& list, As_Void_List& touched);
  void kill_all_sub_command();
  // Unlinks and deletes one record.
  void kill_sub_command(MB_Sub_Command* record);

  bool is_creating() const { return creating_; }
  void is_creating(bool on) { creating_ = on; }
  const char* name() const { return name_; }
  MB_Sub_Command* head() const { return head_; }
  MB_Sub_Command* tail() const { return tail_; }
  MB_Command* prev() const { return prev_; }
  MB_Command* next() const { return next_; }
  void prev(MB_Command* p) { prev_ = p; }
  void next(MB_Command* n) { next_ = n; }

 private:
  MB_Sub_Command* head_ = nullptr;
  MB_Sub_Command* tail_ = nullptr;
  MB_Command* prev_ = nullptr;
  MB_Command* next_ = nullptr;
  char name_[kNameSize] = {};
  bool creating_ = false;
};

class MB_Undo_Redo {
 public:
  MB_Undo_Redo() = default;
  explicit MB_Undo_Redo(MB_Drawing* drawing) : drawing_(drawing) {}
  // The store owns its history; it is not copied.
  MB_Undo_Redo(const MB_Undo_Redo&) = delete;
  MB_Undo_Redo& operator=(const MB_Undo_Redo&) = delete;
  virtual ~MB_Undo_Redo();

  MB_Drawing* drawing() const { return drawing_; }
  void drawing(MB_Drawing* d) { drawing_ = d; }

  // Closes a command still open, drops the undone commands (redo is no
  // longer possible) and opens a new command; recording is switched on.
  void rec_cmd_begin(const char* name);
  // Closes the open command, keeps it (even when empty) and switches
  // recording off.
  void rec_cmd_end();
  void rec_cmd_pause();
  void rec_cmd_continue();

  // Reports from the database; nothing happens while no command is open.
  void create_cmd(MB_Object* object);
  // True when the store now holds the object, which the caller must then
  // not destroy.
  bool delete_cmd(MB_Object* object);
  void modify_cmd(MB_Object* object);
  // The object is being destroyed without having been reported removed (a
  // temporary, or an object killed directly): the open command lets go of
  // it. A creation record is cancelled; a change record keeps the state from
  // before the command as a removed object, as a removal would.
  void destroy_cmd(MB_Object* object);

  void undo(As_Void_List& touched);
  void redo(As_Void_List& touched);
  bool is_can_undo() const { return !done_.is_empty(); }
  bool is_can_redo() const { return !undone_.is_empty(); }
  MB_Command* last_cmd() const { return static_cast<MB_Command*>(done_.last()); }
  MB_Command* recording() const { return recording_; }
  const As_Void_List& done() const { return done_; }
  const As_Void_List& undone() const { return undone_; }

  // Deletes the commands of the list and every object their records hold
  // that is in no list; the list is left empty.
  void kill_cmds(As_Void_List& commands);

 private:
  void append(MB_Sub_Command* record);
  void forget(MB_Sub_Command* record);

  As_Void_List done_;    // MB_Command*, oldest first
  As_Void_List undone_;  // MB_Command*, most recently undone first
  MB_Command* recording_ = nullptr;
  MB_Drawing* drawing_ = nullptr;
  // The record of the open command that holds an object as its created or
  // changed object, so that repeated reports cost constant time.
  std::unordered_map<const MB_Object*, MB_Sub_Command*> open_records_;
};

// The store that records, or null.
extern MB_Undo_Redo* g_undo_redo;
