// The words for each native-format result, in one table.
#include "database/mb_result.h"

const char* mb_result_text(MB_Result r) {
  static const struct {
    MB_Result result;
    const char* text;
  } kTexts[] = {
      {MB_SUCCESS, "success"},
      {MB_SHORT_READ, "the data ends too early"},
      {MB_SYNTAX_ERROR, "the data is damaged"},
      {MB_AT_END, "the data ends too early"},
      {MB_NO_BYTE, "the data ends too early"},
      {MB_NO_MEMORY, "a record this kernel does not read, or out of memory"},
      {MB_ALREADY_OPEN, "the file is already open"},
      {MB_NOT_OPEN, "the file is not open"},
      {MB_SHORT_WRITE, "the file could not be written whole"},
      {MB_BAD_MODE, "the file could not be opened"},
      {MB_BAD_STATE, "the data is damaged"},
      {MB_BAD_HEADER, "not a drawing (no native file header)"},
      {MB_END_OF_FILE, "the end record was read"},
      {MB_NOT_8BIT, "text without an 8-bit form"},
      {MB_END_OF_BLOCK, "the end of a compressed block"},
  };
  for (const auto& t : kTexts)
    if (t.result == r) return t.text;
  return "unknown result";
}
