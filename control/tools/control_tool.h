// What every mouse tool of the control shares: the kernel's tool base, keys
// ignored, and the bracket in which a tool changes the drawing as one
// undoable command.
#pragma once

#include <functional>

#include "display/interaction/mb_mouse_tool.h"

class MB_Undo_Redo;

class ControlTool : public MB_Mouse_Tool {
 public:
  ControlTool(long tool_id, const MB_String& title, MB_Operation* operation)
      : MB_Mouse_Tool(tool_id, title, operation) {}
  // The control's tools take no keys.
  int process_keyboard_event(int, unsigned, unsigned, unsigned) override { return 0; }

  // True when the tool asked to end while it was being made; whoever made
  // it ends it once the constructor has returned (finish_making).
  bool ended_while_made() const { return ended_while_made_; }
  // Ends a tool that asked to end while being made; a tool cannot free
  // itself from inside its own constructor.
  static void finish_making(ControlTool* tool) {
    if (tool && tool->ended_while_made_) tool->end();
  }

 protected:
  // Opens an undo command of that name when the operation keeps a store;
  // the command closes when the bracket goes.
  class Undo_Command {
   public:
    Undo_Command(MB_Operation* operation, const char* name);
    ~Undo_Command();
    Undo_Command(const Undo_Command&) = delete;
    Undo_Command& operator=(const Undo_Command&) = delete;

   private:
    MB_Undo_Redo* store_;
  };

  // Makes a cursor of the control's module current and the class cursor of
  // the view's window, so that it stays while the pointer moves; the
  // standard arrow for null.
  void install_cursor(const char* name);

  // Copies each selected entity, moves the copy by `t`, builds it, appends
  // it to the active list and draws it; the selection stays as it is.
  void copy_selection(const As_Tran& t);
  // Appends a new entity to the active list: the temporary block's when a
  // block is being built, else the drawing's.
  void append_to_active_list(MB_Drawable* e);
  // Places a copy of a prototype as one undoable command of that name: the
  // copy is made, moved by `place`, built, appended to the active list and
  // drawn, so that undo takes it away again and the drawing counts as
  // changed.
  void place_copy(MB_Drawable& prototype, const char* command, const std::function<void(MB_Drawable&)>& place);
  // Degrees to radians, as the dialogs' numbers are read.
  static constexpr double kDegree = 3.141592653589793 * 0.005555555555555556;

  // From a constructor: the tool ends as soon as it is made.
  void end_when_made() { ended_while_made_ = true; }

 private:
  bool ended_while_made_ = false;
};
