// Message boxes that show a text and a number.
#pragma once

// A message box with an OK button and no owner, showing "%s%.4f" or "%s%d"
// of the text and the value.
void message_box(const char* text, double value, const char* caption);
void message_box(const char* text, int value, const char* caption);
