// The flat API's common file dialog.
#pragma once

#include <windows.h>

// Shows the system's open dialog (`open` non-zero) or save dialog, owned by
// the window, starting in `initial_dir` (the current folder when null), with
// the title ("Open File" or "Save File" when null) and the filter list
// (every file when null). `path` gives the initial file name and receives
// the chosen path: it must hold MAX_PATH (260) characters. 1 when a file was
// chosen, 0 when the dialog was cancelled or failed, or for a null path.
int ShowFileDialog(HWND owner, int open, char* path, const char* initial_dir, const char* title,
                   const char* filter);
