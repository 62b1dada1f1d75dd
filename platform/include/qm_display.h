// The display under the window system: none (headless, the default, driven
// through qm_user.h) or a real one that shows the top-level windows and turns
// what the user does into their messages.
//
// A display is a library of its own (libqmx11 for X11), loaded only when a
// program asks for it, so a headless program never needs it at run time. The
// window system calls a display at one place: when a program waits for a
// message and none is queued.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct QmDisplay {
  // Shows what the windows painted, then waits up to timeout_ms (0: only
  // what already arrived; negative: until something arrives) and queues
  // the messages of the input that came. False when the display is gone or
  // no top-level window is left to show: a waiting GetMessageA then answers
  // as for WM_QUIT.
  bool (*wait)(int timeout_ms);
  // Closes the display; true when it was never lost.
  bool (*close)();
};

// Puts a display under the window system (null: headless again). While one
// is there, the clock follows real time and GetMessageA sleeps on the
// display until input comes or the next timer falls due.
void qm_user_set_display(const QmDisplay* display);
const QmDisplay* qm_user_display();

// A cursor handle's resource name as LoadCursorA was given it: "#32512" for
// a number, the lower-cased name otherwise; "" for another handle.
std::string qm_user_cursor_name(HCURSOR cursor);

// Runs a modal window on the display until done() or the window is gone:
// messages are waited for as GetMessageA does; each is offered to
// `pretranslate` (when given; true takes it), then those for `dialog` (when
// not null) pass IsDialogMessageA. False when the program was asked to
// end meanwhile (the WM_QUIT is posted again for the program's own loop).
bool qm_user_run_modal(HWND window, HWND dialog, const std::function<bool()>& done,
                       const std::function<bool(MSG*)>& pretranslate = nullptr);

// Gives a dialog's control the focus as Tab and a dialog's start do: an
// edit's text is taken whole, so typing replaces it.
void qm_user_focus_dialog_item(HWND item);

// What a modal window does to the windows it belongs to, as the system's
// own modal loops do: the owner's top-level window and the other top-level
// windows it owns (floating bars, tool windows), all but `modal`, are
// disabled, so they take no mouse or keys; ending the state enables again
// exactly those it disabled.
struct QmModalState {
  std::vector<HWND> disabled;
};
QmModalState qm_user_begin_modal(HWND owner, HWND modal);
void qm_user_end_modal(QmModalState& state);

enum QmBackend { QM_BACKEND_HEADLESS, QM_BACKEND_X11, QM_BACKEND_FAILED };

// Chooses the backend at a program's start and starts it: X11 when a display
// is named (DISPLAY) and neither --headless (taken out of argv) nor
// QM_HEADLESS=1 asks for none; QM_HEADLESS=0 insists on the display. An X
// display that cannot be opened is said on standard error; the program goes
// on headless unless it insisted (QM_BACKEND_FAILED then).
QmBackend qm_display_start(int* argc, char** argv);
// Closes the display started; true unless its connection was lost.
bool qm_display_stop();

// The print dialog as a window the user answers (the print stand-in shows
// it when no answer is queued): the printer with "print to file", the range
// (all, pages from-to unless PD_NOPAGENUMS, the selection unless
// PD_NOSELECTION) and the copies. `choice` comes in as the program's
// (its PD_ flags, pages and copies) and goes out as the user's; false for
// a cancel.
struct QmPrintChoice {
  DWORD flags;  // PD_PRINTTOFILE, PD_PAGENUMS, PD_SELECTION
  WORD from_page, to_page, min_page, max_page, copies;
};
bool qm_user_print_window(HWND owner, const char* printer, QmPrintChoice& choice);
