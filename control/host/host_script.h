// The steps quillmark_host adds to the programs' script player
// (qm_script.h, which lists the steps every program takes):
//   command ID        a toolbar or menu command of the control (32780 starts
//                     the line tool, 32826 undoes; see the README)
//   call [VAR=]NAME ARG...   calls the control's automation member NAME (a
//                     method, or reads a property) and prints "NAME = result"
//                     with the arrays it filled; VAR= keeps the result as $VAR
//   put NAME VALUE    sets the control's automation property NAME
//   close             closes the container's window as its close button does
//                     (the steps after it are not run once the window is gone)
// Arguments of call and put: a number (3, -1.5), a "string" (\" and \\ inside
// stand for " and \), an array [1,2,3] where the member takes one, or $VAR.
// A call the control refuses (no such member, wrong arguments) fails the
// script at its line.
#pragma once

#include <qm_script.h>

#include <cstdio>
#include <string>
#include <vector>

class COleControl;

// The host's verbs, calling `control` and printing what the calls answer to
// `out`; the variables of the calls live as long as the verbs.
QmScriptVerbs host_script_verbs(COleControl* control, FILE* out = stdout);

// The player with the host's verbs.
using Host_Step = QmScriptStep;
// The steps of a script text; false with the line number and the reason in
// `error` at the first line that is not a step.
bool parse_host_script(const std::string& text, std::vector<Host_Step>& steps, std::string& error);
// Replays the steps against the host window and the control in it; what
// the calls answer goes to `out`. False, with the step's line and the reason
// in `error`, at the first step that cannot be done (a call the control
// refuses among them); the steps before it have been replayed.
bool run_host_script(HWND root, COleControl* control, const std::vector<Host_Step>& steps, std::string& error,
                     FILE* out = stdout);
// The system's error of the first write of a call's answer that failed
// (a full disk under standard output, say); 0 when every one was written.
int host_output_error();
// Dispatches every queued message, painting included.
inline void pump_host_messages() { qm_pump_messages(); }
