// The status word of every native-format operation: one int, 0 for success.
// Only the codes the compression codec produces are named here; the file
// object uses the same numbering for the rest.
#pragma once

typedef int MB_Result;

enum : MB_Result {
  MB_RESULT_OK = 0,
  MB_RESULT_SHORT_READ = 1,    // end of data on a read; no closing brace byte
  MB_RESULT_SYNTAX = 2,        // malformed data (bad match offset, missing "}")
  MB_RESULT_AT_END = 3,        // the stream is already at its end
  MB_RESULT_NO_BYTE = 4,       // a read returned no byte
  MB_RESULT_NO_MEMORY = 5,
  MB_RESULT_SHORT_WRITE = 8,   // a write wrote fewer bytes than asked
  MB_RESULT_BAD_STATE = 10,    // internal state or configuration out of range
  MB_RESULT_BLOCK_END = 19,    // end token of a compressed block reached
};
