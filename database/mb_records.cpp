// Native-format records of strings, colours and colour maps.
#include <cstring>
#include <memory>
#include <vector>

#include "database/fileformat/mb_file_io.h"
#include "database/mb_color.h"
#include "database/mb_string.h"

MB_Result MB_String::serialize(MB_File_IO& io, char) const {
  if (form_ == 2) {
    // Text with units of 128 and above has no 8-bit record of its own: the
    // units are narrowed as the string's own conversion does it.
    std::unique_ptr<unsigned char[]> narrow(to_ascii(length_, wide_));
    if (MB_Result r = io.write(length_)) return r;
    return io.write(length_, narrow.get());
  }
  if (MB_Result r = io.write(length_)) return r;
  return io.write(length_, narrow_);
}

MB_Result MB_String::materialize(MB_File_IO& io) {
  std::vector<unsigned char> bytes;
  if (MB_Result r = io.read_sized_bytes(bytes)) return r;
  set(int(bytes.size()), bytes.data());
  return MB_SUCCESS;
}

MB_Result MB_Color::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  if (MB_Result r = io.write(static_cast<unsigned char>(0x03))) return r;
  return io.write(value_);
}

MB_Result MB_Color::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (op.kind() == MB_Opcode::SINGLE) {
    if (op.byte() != 0x03) return MB_SYNTAX_ERROR;
    return io.read(value_);
  }
  if (op.kind() != MB_Opcode::EXT_ASCII) return MB_BAD_STATE;
  // The ASCII colour is not read; the record leaves the current colour.
  index_ = -1;
  read_state_ = 1;
  MB_Result r = op.skip(io);
  if (!r) read_state_ = 0;
  return r;
}

MB_Result MB_Color::skip_operand(const MB_Opcode& op, MB_File_IO& io) {
  if (op.kind() == MB_Opcode::SINGLE) return materialize(op, io);
  if (op.kind() == MB_Opcode::EXT_ASCII) return op.skip(io);
  return MB_SYNTAX_ERROR;
}

MB_Result MB_Color::process(MB_File_IO& io) {
  if (io.opcode().kind() == MB_Opcode::SINGLE) io.fifo_rendition().color(uint32_t(value_));
  return MB_SUCCESS;
}

MB_Result MB_Color_Map::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  if (size_ < 1 || size_ > kPaletteSize) return MB_BAD_STATE;
  const unsigned char head = static_cast<unsigned char>(size_ == 256 ? 0 : size_);
  if (MB_Result r = io.write(static_cast<unsigned char>('{'))) return r;
  if (MB_Result r = io.write(int32_t(4 * size_ + 4))) return r;
  if (MB_Result r = io.write(static_cast<unsigned short>(1))) return r;
  if (MB_Result r = io.write(head)) return r;
  for (int i = 0; i < size_; ++i) {
    if (MB_Result r = io.write(entries_[i])) return r;
  }
  return io.write(static_cast<unsigned char>('}'));
}

MB_Result MB_Color_Map::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (op.kind() == MB_Opcode::EXT_ASCII) {
    // The ASCII form is not read: its operands are skipped.
    read_state_ = 0;
    return op.skip(io);
  }
  if (op.kind() != MB_Opcode::EXT_BINARY) return MB_BAD_STATE;
  if (read_state_ == 0) {
    unsigned char n;
    if (MB_Result r = io.read(n)) return r;
    const int count = n == 0 ? 256 : n;
    MB_RGBA32 blank[kPaletteSize];
    if (!assign(count, blank)) return MB_NO_MEMORY;
    serial_ = io.next_incarnation();
    read_state_ = 1;
  }
  if (read_state_ == 1) {
    if (MB_Result r = io.read(size_, entries_)) return r;
    read_state_ = 2;
  }
  unsigned char close;
  if (MB_Result r = io.read(close)) return r;
  read_state_ = 0;
  return close == '}' ? MB_SUCCESS : MB_SYNTAX_ERROR;
}

MB_Result MB_Color_Map::skip_operand(const MB_Opcode& op, MB_File_IO& io) { return materialize(op, io); }

MB_Result MB_Color_Map::process(MB_File_IO&) { return MB_SUCCESS; }

MB_Color_Map::MB_Color_Map(int count, const MB_RGBA32* colors, MB_File_IO& io) { set(count, colors, io); }

MB_Color_Map::MB_Color_Map(int count, const MB_RGB* colors, MB_File_IO& io) { set(count, colors, io); }

bool MB_Color_Map::set(int count, const MB_RGBA32* colors, MB_File_IO& io) {
  serial_ = io.next_incarnation();
  read_state_ = 0;
  return assign(count, colors);
}

bool MB_Color_Map::set(int count, const MB_RGB* colors, MB_File_IO& io) {
  std::vector<MB_RGBA32> opaque;
  if (count > 0 && colors) {
    opaque.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < opaque.size(); ++i) opaque[i] = colors[i];
  }
  return set(count, opaque.empty() ? nullptr : opaque.data(), io);
}

MB_Result MB_Color_Map::default_process(MB_Color_Map& map, MB_File_IO& io) {
  MB_Rendition* rend = io.rendition();
  if (!rend) return MB_BAD_STATE;
  rend->color_map() = map;
  rend->changed(rend->changed() | MB_Rendition::CHANGED_COLOR_MAP);
  return MB_SUCCESS;
}
