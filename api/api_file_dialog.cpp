// The flat API's common file dialog.
#include "api/api_file_dialog.h"

#include <commdlg.h>

namespace {

// A double-NUL-terminated filter list.
constexpr char kAllFiles[] = "All Files (*.*)\0*.*\0";

}  // namespace

int ShowFileDialog(HWND owner, int open, char* path, const char* initial_dir, const char* title,
                   const char* filter) {
  if (!path) return 0;
  char current[MAX_PATH] = "";
  if (!initial_dir) {
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, current);
    if (n == 0 || n >= MAX_PATH) current[0] = 0;
    initial_dir = current;
  }
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter ? filter : kAllFiles;
  ofn.nFilterIndex = 0;
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = initial_dir;
  ofn.lpstrTitle = title ? title : (open ? "Open File" : "Save File");
  ofn.Flags = OFN_ENABLESIZING | (open ? 0 : OFN_OVERWRITEPROMPT);
  ofn.lpstrDefExt = "*";
  const BOOL chosen = open ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
  return chosen ? 1 : 0;
}
