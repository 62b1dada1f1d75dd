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
//   call [VAR=]NAME ARG...   calls the control's automation member NAME (a
//                     method, or reads a property) and prints "NAME = result"
//                     with the arrays it filled; VAR= keeps the result as $VAR
//   put NAME VALUE    sets the control's automation property NAME
//   dblclick X Y      a double click there (the second press of a pair)
//   press ITEM        the button with that item number, in the window the
//                     steps go to or any window within it, is clicked
//   type ITEM "TEXT"  the edit field with that item number is given the text
//   pick ITEM N       entry N (from 0) of that list, combo box or tab control
//                     is chosen
//   answer color R G B      the next colour dialog is answered with that colour
//   answer file "PATH"      the next file dialog is answered with that path
//   answer print FROM TO    the next print dialog prints pages FROM to TO to a
//                     file (the file dialog that follows names it)
//   dialog ID         the steps up to "end" are what the user does in the next
//                     modal dialog made from template ID, once it shows; their
//                     points are the dialog's client points. A dialog its steps
//                     leave open is cancelled.
// Arguments of call and put: a number (3, -1.5), a "string" (\" and \\ inside
// stand for " and \), an array [1,2,3] where the member takes one, or $VAR.
// After each step the queued messages are dispatched.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

class COleControl;

struct Host_Step {
  enum Kind {
    MOVE,
    DOWN,
    UP,
    CLICK,
    DBLCLICK,
    RDOWN,
    RUP,
    RCLICK,
    WHEEL,
    KEY,
    CHAR,
    WAIT,
    COMMAND,
    CALL,
    PUT,
    PRESS,
    TYPE,
    PICK,
    ANSWER_COLOR,
    ANSWER_FILE,
    ANSWER_PRINT,
    DIALOG
  } kind = MOVE;
  int x = 0, y = 0;  // a point; red and green of a colour; the pages to print
  int value = 0;     // wheel delta, key code, character, milliseconds, item, blue or template
  int line = 0;
  // call and put: the member, its arguments as written, where the result goes.
  std::string member;
  std::vector<std::string> args;
  std::string result_name;
  std::string text;                // typed or a file dialog's answer (UTF-8)
  std::vector<Host_Step> in_dialog;  // dialog: what its user does
};

// The steps of a script text; false with the line number and the reason in
// `error` at the first line that is not a step.
bool parse_host_script(const std::string& text, std::vector<Host_Step>& steps, std::string& error);

// Replays the steps against the host window and the control in it; what
// the calls answer goes to `out`. False, with the step's line and the reason
// in `error`, at the first call the control refuses (no such member, wrong
// arguments); the steps before it have been replayed.
bool run_host_script(HWND root, COleControl* control, const std::vector<Host_Step>& steps, std::string& error,
                     FILE* out = stdout);

// The system's error of the first write of a call's answer that failed
// (a full disk under standard output, say); 0 when every one was written.
int host_output_error();

// Dispatches every queued message, painting included.
void pump_host_messages();
