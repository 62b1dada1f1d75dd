// Replaying a user's steps against a program's windows: the --script files
// of the programs, one step a line ('#' starts a comment; blank lines are
// skipped). Points are client points of the window the steps go to; each
// input step goes to the deepest visible window under its point, as a
// user's would:
//   move X Y          the mouse moves there
//   down X Y, up X Y  the left button is pressed or released there
//   click X Y         down and up
//   rdown X Y, rup X Y, rclick X Y   the same with the right button
//   dblclick X Y      a double click there (the second press of a pair)
//   wheel X Y DELTA   one wheel message (120 a notch, negative towards the user)
//   key NAME          a key pressed and released in the window under the last
//                     point: enter, up, down, left, right, escape, delete, or
//                     a virtual-key number
//   char C            the character C typed there: one byte, or one UTF-8
//                     character of the GBK code page (typed as its two bytes)
//   wait MS           the clock moves on (timers fire)
//   press ITEM        the button with that item number, in the window the
//                     steps go to or any window within it, is clicked
//   type ITEM "TEXT"  the edit field with that item number is given the text
//   pick ITEM N       entry N (from 0) of that list, combo box or tab control
//                     is chosen
//   answer color R G B      the next colour dialog is answered with that colour
//   answer file "PATH"      the next file dialog is answered with that path
//   answer folder "PATH"    the next folder chooser is answered with that folder
//   answer print FROM TO [printer]   the next print dialog prints pages FROM to
//                     TO to a file (the file dialog that follows names it), or
//                     to the printer
//   answer box BUTTON       the next message box is answered with that button:
//                     ok, cancel, yes, no, abort, retry or ignore
//   dialog ID         the steps up to "end" are what the user does in the next
//                     modal dialog made from template ID, once it shows; their
//                     points are the dialog's client points. A dialog its steps
//                     leave open is cancelled.
// A program adds verbs of its own (QmScriptVerb). Texts are UTF-8 in the
// script and GBK where they reach the windows. After each step the queued
// messages are dispatched.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

struct QmScriptStep {
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
    PRESS,
    TYPE,
    PICK,
    ANSWER_COLOR,
    ANSWER_FILE,
    ANSWER_FOLDER,
    ANSWER_PRINT,
    ANSWER_BOX,
    DIALOG,
    PROGRAM  // a verb of the program's own
  } kind = MOVE;
  int x = 0, y = 0;  // a point; red and green of a colour; the pages to print
  int value = 0;     // wheel delta, key code, character, milliseconds, item, blue or template
  int line = 0;
  std::string verb;                     // as written
  std::string text;                     // typed or a dialog's answer (UTF-8)
  std::string rest;                     // a program's verb: the line after the verb
  std::vector<QmScriptStep> in_dialog;  // dialog: what its user does
};

// A verb a program adds: `parse` checks the step (its `rest`, filling what
// it keeps in the step's fields) when the script is read; `run` does it when
// replayed, false with the reason in `error` when it cannot.
struct QmScriptVerb {
  std::function<bool(QmScriptStep&)> parse;
  std::function<bool(const QmScriptStep&, std::string& error)> run;
};
using QmScriptVerbs = std::map<std::string, QmScriptVerb>;

// The words of a line: "strings" and [arrays] are one word each, quotes and
// escapes kept so that a word's kind shows. False for an open string or array.
bool qm_script_words(const std::string& text, std::vector<std::string>& words);
// The text of a "string" word, its escapes (\" and \\) resolved.
bool qm_script_string(const std::string& word, std::string& out);
// A whole number of at most a million either way.
bool qm_script_int(const std::string& word, int& out);

// The steps of a script text; false with the line number and the reason in
// `error` at the first line that is not a step.
bool qm_parse_script(const std::string& text, const QmScriptVerbs& verbs, std::vector<QmScriptStep>& steps,
                     std::string& error);

// Replays the steps against the window `root`; false, with the step's line
// and the reason in `error`, at the first step that cannot be done (the
// steps before it have been replayed).
bool qm_run_script(HWND root, const std::vector<QmScriptStep>& steps, const QmScriptVerbs& verbs, std::string& error);

// Reads a script file whole: a regular file of at most 1 MiB. False with
// the reason (without the name) in `why`: the file's own error (missing, a
// folder, a pipe or device), or that it is larger than a script may be.
bool qm_read_script_text(const std::string& path, std::string& text, std::string& why);

// Reads and parses a script file (at most 1 MiB); false with the file's name
// and the reason in `error`, and `unreadable` set when the file could not be
// read at all rather than parsed.
bool qm_load_script(const std::string& path, const QmScriptVerbs& verbs, std::vector<QmScriptStep>& steps,
                    std::string& error, bool& unreadable);

// Dispatches every queued message, painting included.
void qm_pump_messages();

// What a window shows (its frame and children included), as a picture of
// the type its name's extension gives (qm_picture_format); false with the
// file's name and the reason in `error` (a name of no picture type too).
bool qm_save_window_picture(HWND hwnd, const std::string& path, std::string& error);
