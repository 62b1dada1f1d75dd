// The common open and save dialogs, as the flat API shows them, started
// with an empty file name.
#include "control/file_dialog_helper.h"

#include "api/api_file_dialog.h"

int FileDialogHelper(HWND parent, int open, char* out, const char* initial_dir, const char* title,
                     const char* filter) {
  if (!out) return 0;
  out[0] = 0;
  return ShowFileDialog(parent, open, out, initial_dir, title, filter);
}
