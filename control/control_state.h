// The control's process-wide settings that the automation properties and
// the frame's menu toggles share: which of the frame's bars are shown and
// whether the host takes the mouse input itself. One set for the process,
// as the frame and view pointers are: the bars of the frame created last
// follow it.
#pragma once

#include <windows.h>

struct Quill_Control_State {
  bool creation_bar_shown = true;
  bool standard_bar_shown = true;
  bool modify_bar_shown = true;
  // Stored as the host gave it; the side bar is shown for any value but 0.
  BOOL side_bar_shown = 1;
  // Set by the host to take over the mouse; the tool commands that start a
  // creation tool clear it.
  bool use_events = false;
};

inline Quill_Control_State& quill_control_state() {
  static Quill_Control_State state;
  return state;
}
