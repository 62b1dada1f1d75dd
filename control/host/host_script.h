// The steps quillmark_host adds to the programs' script player
// (qm_script.h, which lists the steps every program takes):
//   command ID        a toolbar or menu command of the control (32780 starts
//                     the line tool, 32826 undoes; see the README)
//   call [VAR=]NAME ARG...   calls the control's automation member NAME (a
//                     method, or reads a property) and prints "NAME = result"
//                     with the arrays it filled; VAR= keeps the result as $VAR
//   put NAME VALUE    sets the control's automation property NAME
// Arguments of call and put: a number (3, -1.5), a "string" (\" and \\ inside
// stand for " and \), an array [1,2,3] where the member takes one, or $VAR.
// A call the control refuses (no such member, wrong arguments) fails the
// script at its line.
#pragma once

#include <qm_script.h>

#include <cstdio>

class COleControl;

// The host's verbs, calling `control` and printing what the calls answer to
// `out`; the variables of the calls live as long as the verbs.
QmScriptVerbs host_script_verbs(COleControl* control, FILE* out = stdout);
