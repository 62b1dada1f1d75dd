// The tokenizer and the dispatcher of the native format.
#include "database/fileformat/mb_opcode.h"

#include <cstring>
#include <new>

#include "database/fileformat/mb_file_io.h"
#include "database/mb_object.h"

int32_t MB_Opcode::length() const {
  return int32_t(uint32_t(bytes_[1]) | (uint32_t(bytes_[2]) << 8) | (uint32_t(bytes_[3]) << 16) |
                 (uint32_t(bytes_[4]) << 24));
}

void MB_Opcode::set_single(unsigned char b) {
  *this = MB_Opcode();
  bytes_[0] = b;
  size_ = 1;
}

MB_Result MB_Opcode::read_opcode(MB_File_IO& io, bool word) {
  if (!io.have_read_first_opcode()) {
    unsigned char head[6];
    if (MB_Result r = io.read(6, head)) return r;
    if (std::memcmp(head, "(KZF V", 6) != 0) return MB_BAD_HEADER;
    std::memcpy(bytes_, head, 6);
    bytes_[6] = 0;
    size_ = 6;
    kind_ = EXT_ASCII;
    start_paren_ = io.paren_count();
    io.increment_paren_count();
    io.set_have_read_first_opcode(1);
    state_ = COMPLETE;
    return MB_SUCCESS;
  }
  // The blanks before most opcodes are in the decoded block at hand and are
  // passed there; the slow way skips any others.
  if (state_ == COMPLETE) state_ = io.peek_past_blanks() >= 0 ? FIRST_BYTE : SKIP_BLANKS;
  if (state_ == SKIP_BLANKS) {
    if (MB_Result r = io.eat_whitespace()) return r;
    state_ = FIRST_BYTE;
  }
  if (state_ == FIRST_BYTE) {
    start_paren_ = io.paren_count();
    unsigned char b;
    if (MB_Result r = io.read(b)) return r;
    size_ = 1;
    bytes_[0] = b;
    bytes_[1] = 0;
    if (b == '(') {
      kind_ = EXT_ASCII;
      io.increment_paren_count();
    } else if (b == ')') {
      state_ = COMPLETE;
      if (!word) return MB_SYNTAX_ERROR;
      kind_ = CLOSE_PAREN;
      size_ = 0;
      bytes_[0] = 0;
      return io.put_back(b);
    } else if (b == '{') {
      kind_ = EXT_BINARY;
    } else if (!word) {
      kind_ = SINGLE;
      state_ = COMPLETE;
      return MB_SUCCESS;
    } else {
      kind_ = WORD;
    }
    state_ = REST;
  }
  if (state_ != REST) return MB_BAD_STATE;
  if (kind_ == EXT_BINARY) {
    if (MB_Result r = io.read(6, bytes_ + 1)) return r;
    size_ = 7;
    state_ = COMPLETE;
    return MB_SUCCESS;
  }
  for (;;) {
    unsigned char c;
    if (MB_Result r = io.read(c)) return r;
    if (is_name_end(char(c))) {
      bytes_[size_] = 0;
      state_ = COMPLETE;
      return io.put_back(c);
    }
    if (!is_name_char(char(c)) || size_ >= 1 + kMaxName) {
      state_ = COMPLETE;
      return MB_SYNTAX_ERROR;
    }
    bytes_[size_++] = c;
    bytes_[size_] = 0;
  }
}

MB_Object* MB_Opcode::make_object(MB_Rendition&, MB_Result& result, MB_File_IO&) const {
  MB_Opcode_Entry extended;
  const MB_Opcode_Entry* e = &extended;
  switch (kind_) {
    case SINGLE:
      e = &mb_opcode_table::single(bytes_[0]);
      break;
    case EXT_ASCII:
      extended = mb_opcode_table::extended_name(name());
      break;
    case EXT_BINARY:
      extended = mb_opcode_table::extended_code(code());
      break;
    default:
      result = MB_BAD_STATE;
      return nullptr;
  }
  if (!e->make) {
    result = e->result ? e->result : MB_NO_OBJECT;
    return nullptr;
  }
  MB_Object* o = e->make(*this);
  result = o ? MB_SUCCESS : MB_NO_MEMORY;
  return o;
}

MB_Result MB_Opcode::skip(MB_File_IO& io) const { return io.skip_past_matching_paren(start_paren_); }
