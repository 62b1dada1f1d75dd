// Opcodes of the native format and the table that turns each into an object.
//
// A file is a sequence of opcodes, each followed by its operands; the bytes
// 0x00, TAB, LF, CR and blank between opcodes are skipped. An opcode is one
// byte (kind 0), "(" and a name of 1 to 39 name characters (kind 1, ended by
// the ")" that brings the paren count back), or "{", a 4-byte length and a
// 2-byte code (kind 2). read_opcode is resumable: after a short read the
// next call continues where it stopped.
//
// The dispatcher is table-driven: every single-byte opcode, extended name
// and extended binary code maps to a factory or to the result answered when
// no object is made (5 for a recognised opcode without an object, 2 for an
// unknown byte). Entity and table classes register their opcodes in
// mb_opcode_table.cpp; the reading loop never changes.
#pragma once

#include <cstdint>

#include "database/mb_result.h"

class MB_Object;
class MB_Rendition;

class MB_Opcode {
 public:
  enum Kind : int32_t { SINGLE = 0, EXT_ASCII = 1, EXT_BINARY = 2, WORD = 3, CLOSE_PAREN = 4 };
  enum State : int32_t { COMPLETE = 1, SKIP_BLANKS = 2, FIRST_BYTE = 3, REST = 4 };
  static constexpr int kMaxName = 39;  // name characters after "("
  static constexpr int kBytes = 44;

  int32_t size() const { return size_; }
  const unsigned char* bytes() const { return bytes_; }
  int32_t kind() const { return kind_; }
  int32_t state() const { return state_; }
  int32_t start_paren_count() const { return start_paren_; }
  // The single byte of a kind-0 opcode.
  unsigned char byte() const { return bytes_[0]; }
  // "(" and the name of a kind-1 opcode, NUL-terminated.
  const char* name() const { return reinterpret_cast<const char*>(bytes_); }
  // The code of a kind-2 opcode.
  int32_t code() const { return bytes_[5] | (bytes_[6] << 8); }
  // The record length of a kind-2 opcode.
  int32_t length() const;
  // Makes a single-byte opcode (for tests and writers).
  void set_single(unsigned char b);

  MB_Result read_opcode(MB_File_IO& io, bool word);
  // The object the opcode stands for, or null with result set.
  MB_Object* make_object(MB_Rendition& rendition, MB_Result& result, MB_File_IO& io) const;
  // Skips to the ")" closing this opcode.
  MB_Result skip(MB_File_IO& io) const;

  static bool is_name_char(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x21 && u <= 0x7A && u != '(' && u != ')';
  }
  static bool is_name_end(char c) {
    return c == 0 || c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == '(' || c == ')';
  }
  static bool is_whitespace(unsigned char c) {
    return c == 0 || c == '\t' || c == '\n' || c == '\r' || c == ' ';
  }

 private:
  int32_t size_ = 0;
  unsigned char bytes_[kBytes] = {};
  int32_t kind_ = SINGLE;
  int32_t state_ = COMPLETE;
  int32_t start_paren_ = 0;
};

// What an opcode makes: an object from the factory, else `result`.
struct MB_Opcode_Entry {
  MB_Object* (*make)(const MB_Opcode& op) = nullptr;
  MB_Result result = MB_SYNTAX_ERROR;
};

namespace mb_opcode_table {
// The entry of a single-byte opcode.
const MB_Opcode_Entry& single(unsigned char b);
// The entry of an extended ASCII name (with its "("); unknown names give 5.
MB_Opcode_Entry extended_name(const char* name);
// The entry of an extended binary code; unknown codes give 5.
MB_Opcode_Entry extended_code(int32_t code);
}  // namespace mb_opcode_table
