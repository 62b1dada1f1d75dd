// Framing and pass-level records.
#include "database/fileformat/mb_format_records.h"

#include <cstring>

#include "database/fileformat/mb_file_io.h"

MB_Result MB_File_Header::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  const int v = io.heuristics().target_version;
  const char text[] = {'(', 'K', 'Z', 'F', ' ', 'V', char('0' + v / 1000 % 10), char('0' + v / 100 % 10),
                       '.', char('0' + v / 10 % 10), char('0' + v % 10), ')', 0};
  return io.write(text);
}

MB_Result MB_File_Header::materialize(const MB_Opcode&, MB_File_IO& io) {
  unsigned char b[6];
  if (MB_Result r = io.read(6, b)) return r;
  auto digit = [](unsigned char c) { return c >= '0' && c <= '9'; };
  if (!digit(b[0]) || !digit(b[1]) || b[2] != '.' || !digit(b[3]) || !digit(b[4]) || b[5] != ')') {
    return MB_BAD_HEADER;
  }
  MB_Rendition& rend = *io.rendition();
  rend.major_revision(int16_t(10 * (b[0] - '0') + (b[1] - '0')));
  rend.minor_revision(int16_t(10 * (b[3] - '0') + (b[4] - '0')));
  io.decrement_paren_count();
  if (rend.decimal_revision() < 38) {
    MB_Color_Map older(rend.decimal_revision());
    return MB_Color_Map::default_process(older, io);
  }
  return MB_SUCCESS;
}

MB_Result MB_File_Header::skip_operand(const MB_Opcode& op, MB_File_IO& io) { return op.skip(io); }

MB_Result MB_End_Of_File::serialize(MB_File_IO& io) const {
  if (MB_Result r = io.write_tab_level()) return r;
  if (MB_Result r = io.write("(EndOfKZF)")) return r;
  return io.write("\r\n");
}

MB_Result MB_End_Of_File::materialize(const MB_Opcode& op, MB_File_IO& io) { return op.skip(io); }
MB_Result MB_End_Of_File::skip_operand(const MB_Opcode& op, MB_File_IO& io) { return op.skip(io); }

MB_Result MB_Compression_Marker::serialize(MB_File_IO& io) const {
  if (!io.heuristics().binary) return MB_NOT_8BIT;
  const unsigned char b[7] = {'{', 0, 0, 0, 0, uint8_t(code_), uint8_t(code_ >> 8)};
  return io.write(7, b);
}

MB_Result MB_Compression_Marker::materialize(const MB_Opcode& op, MB_File_IO&) {
  return op.kind() == MB_Opcode::EXT_BINARY ? MB_SUCCESS : MB_SYNTAX_ERROR;
}

MB_Result MB_Compression_Marker::process(MB_File_IO& io) {
  if (io.data_decompression()) return MB_SYNTAX_ERROR;
  io.set_data_decompression(code_);
  return MB_SUCCESS;
}

MB_Result MB_Byte_Value::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  if (MB_Result r = io.write(static_cast<unsigned char>(0x04))) return r;
  return io.write(static_cast<unsigned char>(value_));
}

MB_Result MB_Byte_Value::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (op.kind() != MB_Opcode::SINGLE || op.byte() != 0x04) return MB_SYNTAX_ERROR;
  return io.read(value_);
}

template <class T, int32_t kId, unsigned char kOpcode, void (*Apply)(MB_File_IO&, T)>
MB_Result MB_Value_Record<T, kId, kOpcode, Apply>::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  return io.write_record(kOpcode, value_);
}

template <class T, int32_t kId, unsigned char kOpcode, void (*Apply)(MB_File_IO&, T)>
MB_Result MB_Value_Record<T, kId, kOpcode, Apply>::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (kOpcode == 's' && (op.kind() != MB_Opcode::SINGLE || op.byte() != 's')) return MB_SYNTAX_ERROR;
  return io.read_value(value_);
}

namespace mb_format_apply {
void ignore(MB_File_IO&, int32_t) {}
void text_height(MB_File_IO& io, double v) { io.fifo_rendition().text_heigh(v); }
void text_width_scale(MB_File_IO& io, double v) { io.fifo_rendition().text_width_scale(v); }
void text_angle(MB_File_IO& io, double v) { io.fifo_rendition().text_angle(v); }
void font_oblique_angle(MB_File_IO& io, double v) { io.fifo_rendition().font_oblique_angle(v); }
void text_flag(MB_File_IO& io, int32_t v) { io.fifo_rendition().text_flag(v); }
void font_flag(MB_File_IO& io, int32_t v) { io.fifo_rendition().font_flag(v); }
}  // namespace mb_format_apply

template class MB_Value_Record<int32_t, MB_ID_LONG_OPTION, 'C', mb_format_apply::ignore>;
template class MB_Value_Record<int32_t, MB_ID_RENDITION_LONG_A, 's', mb_format_apply::ignore>;
template class MB_Value_Record<int32_t, MB_ID_RENDITION_LONG_B, 's', mb_format_apply::ignore>;
template class MB_Value_Record<int32_t, MB_ID_TEXT_FLAG, 'b', mb_format_apply::text_flag>;
template class MB_Value_Record<int32_t, MB_ID_FONT_STYLE, 'o', mb_format_apply::font_flag>;
template class MB_Value_Record<double, MB_ID_TEXT_HEIGHT, 'H', mb_format_apply::text_height>;
template class MB_Value_Record<double, MB_ID_TEXT_WIDTH_SCALE, 'K', mb_format_apply::text_width_scale>;
template class MB_Value_Record<double, MB_ID_TEXT_ANGLE, 'd', mb_format_apply::text_angle>;
template class MB_Value_Record<double, MB_ID_FONT_OBLIQUE_ANGLE, 'A', mb_format_apply::font_oblique_angle>;

MB_Result MB_URL::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  MB_Rendition& wanted = io.desired_rendition();
  if (wanted.second_changed()) wanted.second_changed(0);
  if (wanted.changed() & MB_Rendition::CHANGED_URL) {
    wanted.changed(wanted.changed() & ~MB_Rendition::CHANGED_URL);
    if (MB_Result r = wanted.sync(io, MB_Rendition::CHANGED_URL)) return r;
  }
  if (MB_Result r = io.write_tab_level()) return r;
  if (MB_Result r = io.write("(URL")) return r;
  return io.write(static_cast<unsigned char>(')'));
}

MB_Result MB_URL::materialize(const MB_Opcode& op, MB_File_IO& io) { return op.skip(io); }
