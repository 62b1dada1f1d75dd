// The status word of every native-format operation, and the forward
// declarations of the pass objects that object records are read and written
// through. 0 is success; every other value names one kind of failure.
#pragma once

#include <cstdint>

typedef int32_t MB_Result;

enum : MB_Result {
  MB_SUCCESS = 0,
  MB_SHORT_READ = 1,      // fewer bytes than requested were available
  MB_SYNTAX_ERROR = 2,    // unexpected data, or an opcode not valid here
  MB_AT_END = 3,          // the stream is at its end; a relative seek failed
  MB_NO_BYTE = 4,         // a read returned no byte
  MB_NO_MEMORY = 5,       // out of memory
  MB_NO_OBJECT = 5,       // no object is made for this opcode: the status stored
                          // files and callers know for it is out of memory's
  MB_ALREADY_OPEN = 6,
  MB_NOT_OPEN = 7,
  MB_SHORT_WRITE = 8,
  MB_BAD_MODE = 9,        // neither read nor write, or the file did not open
  MB_BAD_STATE = 10,      // internal state out of range
  MB_BAD_HEADER = 11,
  MB_END_OF_FILE = 16,    // the end record was processed
  MB_NOT_8BIT = 18,       // text that has no 8-bit form, or a binary-only record
  MB_END_OF_BLOCK = 19,   // end of a compressed block
};

// What a result means, in words for a message ("the data is damaged");
// "unknown result" for a value not listed above.
const char* mb_result_text(MB_Result r);

class MB_File_IO;
class MB_Opcode;
