// Message boxes that show a text and a number.
#include "database/mb_message_box.h"

#include <windows.h>

#include <cstdio>
#include <string>

void message_box(const char* text, double value, const char* caption) {
  std::string shown = text ? text : "";
  char number[400];  // the widest double in %.4f is 316 characters
  std::snprintf(number, sizeof number, "%.4f", value);
  MessageBoxA(nullptr, (shown + number).c_str(), caption, MB_OK);
}

void message_box(const char* text, int value, const char* caption) {
  std::string shown = text ? text : "";
  MessageBoxA(nullptr, (shown + std::to_string(value)).c_str(), caption, MB_OK);
}
