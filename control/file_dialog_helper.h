// The common open and save dialogs as the control shows them, and the
// filter strings they take.
#pragma once

#include <windows.h>

#include <string>

// Shows the open dialog (`open` non-zero) or the save dialog; `out` (260
// characters) receives the chosen path, emptied first. Null `filter`: every
// file; null `initial_dir`: the current folder; null `title`: "Open File" or
// "Save File". 1 when a file was chosen; 0 on cancel or for a null `out`.
int FileDialogHelper(HWND parent, int open, char* out, const char* initial_dir, const char* title,
                     const char* filter);

// A filter string of description and pattern pairs, each ended by a zero
// and the whole by a second one, from a table of pairs.
template <size_t N>
std::string file_filter(const char* const (&pairs)[N][2]) {
  std::string filter;
  for (const auto& pair : pairs) {
    filter.append(pair[0]).push_back('\0');
    filter.append(pair[1]).push_back('\0');
  }
  filter.push_back('\0');
  return filter;
}
