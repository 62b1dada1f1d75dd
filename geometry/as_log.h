// The kernel's diagnostic log: entries appended to "kzf.log" in the current
// folder by the code that notes what it met (a font file that did not open,
// a hatch boundary that did not close).
#pragma once

#include "geometry/as_pt.h"

// Appends an entry to "kzf.log" in the current folder: with `stamp`, a line
// of 14 dashes and the UTC time (YYYY-MM-DD HH:MM:SS); then 15 dashes, the
// three texts and a line end. A null text counts as empty. The log is only
// appended when it is a regular file reached without a symbolic link and
// with no other name; else (a link of either kind, a pipe, a folder, a
// folder that takes no file) the entry is dropped and the first such entry
// says why on standard error.
void message_out(const char* text1, const char* text2, const char* text3, bool stamp);
// The same with the point as "x:%.4f  y:%.4f  z:%.4f" for the second text.
void message_out(const char* text1, const As_Pt& p, const char* text3, bool stamp);
