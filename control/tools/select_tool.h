// The select tool, which the view also installs whenever no tool is active.
// A click on an entity adds it to the selection; a click on empty space
// clears the selection and starts a box, whose second click selects by the
// rectangle of the two clicks. Pressing on an entity and releasing drags:
// a selected line whose end was pressed has that end moved, otherwise the
// whole selection moves, as one undoable command (a release where the press
// was records nothing).
#pragma once

#include "control/tools/control_tool.h"

class SelectTool : public ControlTool {
 public:
  SelectTool(long tool_id, const MB_String& title, MB_Operation* operation);
  void lbuttondown(int flags) override;
  void lbuttonup(int flags) override;
  void rbuttondown(int flags) override;
  void mousemove(int flags) override;

  bool box_pending() const { return box_pending_; }

 private:
  bool box_pending_ = false;
};
