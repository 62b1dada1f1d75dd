// The steps quillmark_host replays from a --script file, one a line ('#'
// starts a comment; blank lines are skipped). Points are client points of
// the host window; each input step goes to the deepest visible window under
// its point, as a user's would:
//   move X Y          the mouse moves there
//   down X Y, up X Y  the left button is pressed or released there
//   click X Y         down and up
//   rdown X Y, rup X Y, rclick X Y   the same with the right button
//   wheel X Y DELTA   one wheel message (120 a notch, negative towards the user)
//   key NAME          a key pressed and released in the window under the last
//                     point: enter, up, down, left, right, escape, delete, or
//                     a virtual-key number
//   char C            the character C typed there
//   wait MS           the clock moves on (timers fire)
//   command ID        a toolbar or menu command of the control (32780 starts
//                     the line tool, 32826 undoes; see the README)
// After each step the queued messages are dispatched.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct Host_Step {
  enum Kind { MOVE, DOWN, UP, CLICK, RDOWN, RUP, RCLICK, WHEEL, KEY, CHAR, WAIT, COMMAND } kind;
  int x = 0, y = 0;
  int value = 0;  // wheel delta, key code, character or milliseconds
  int line = 0;
};

// The steps of a script text; false with the line number and the reason in
// `error` at the first line that is not a step.
bool parse_host_script(const std::string& text, std::vector<Host_Step>& steps, std::string& error);

// Replays the steps against the host window.
void run_host_script(HWND root, const std::vector<Host_Step>& steps);

// Dispatches every queued message, painting included.
void pump_host_messages();
