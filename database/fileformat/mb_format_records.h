// The records that frame a native-format file and carry pass-level values:
// the header "(KZF Vdd.dd)", the end record "(EndOfKZF)", the compression
// marker, the byte and long options, the rendition's long slots and the six
// text and font attributes that a text record picks up from the pass.
#pragma once

#include <cstdint>

#include "database/mb_object.h"
#include "database/mb_string.h"

// Class numbers of the records that exist only in the file format.
enum : int32_t {
  MB_ID_COMPRESSION_MARKER = 16,
  MB_ID_BYTE_VALUE = 20,
  MB_ID_FILE_HEADER = 26,
  MB_ID_END_OF_FILE = 29,
  MB_ID_TEXT_HEIGHT = 34,
  MB_ID_TEXT_WIDTH_SCALE = 35,
  MB_ID_FONT_OBLIQUE_ANGLE = 36,
  MB_ID_LONG_OPTION = 37,
  MB_ID_FONT_STYLE = 40,
  MB_ID_RENDITION_LONG_A = 59,
  MB_ID_RENDITION_LONG_B = 60,
  MB_ID_URL = 81,
  MB_ID_TEXT_ANGLE = 88,
  MB_ID_TEXT_FLAG = 89,
  MB_TYPE_FORMAT_CONTROL = 3,
};

// A format record with fixed class numbers.
template <int32_t kId, int32_t kType>
class MB_Format_Record : public MB_Attribute {
 public:
  MB_ID object_id() const override { return static_cast<MB_ID>(kId); }
  MB_Type object_type() const override { return static_cast<MB_Type>(kType); }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
};

class MB_File_Header : public MB_Format_Record<MB_ID_FILE_HEADER, MB_Object::TYPE_HEADER> {
 public:
  // "(KZF V" and the target version as "dd.dd)".
  MB_Result serialize(MB_File_IO& io) const override;
  // The six bytes "dd.dd)" after the opcode; anything else is 11.
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result skip_operand(const MB_Opcode& op, MB_File_IO& io) override;
};

class MB_End_Of_File : public MB_Format_Record<MB_ID_END_OF_FILE, MB_Object::TYPE_HEADER> {
 public:
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result skip_operand(const MB_Opcode& op, MB_File_IO& io) override;
  // 16: the load ends.
  MB_Result process(MB_File_IO&) override { return MB_END_OF_FILE; }
};

// A link of the format: its record is "(URL)", the link itself is not
// stored, and a reader makes no object for "(URL" (nothing saves one).
class MB_URL : public MB_Format_Record<MB_ID_URL, MB_Object::TYPE_ATTRIBUTE> {
 public:
  int32_t link() const { return link_; }
  void link(int32_t v) { link_ = v; }
  MB_String& address() { return address_; }
  // Clears the desired rendition's URL change (nothing is written for it)
  // and its second mask, then writes "(URL)".
  MB_Result serialize(MB_File_IO& io) const override;
  // Skips the record's operands.
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;

 private:
  int32_t link_ = -1;  // -1: new
  MB_String address_;
};

// "{", length 0, code 16: the rest up to "}" is one compressed block.
class MB_Compression_Marker : public MB_Format_Record<MB_ID_COMPRESSION_MARKER, MB_TYPE_FORMAT_CONTROL> {
 public:
  explicit MB_Compression_Marker(int32_t code = 16) : code_(code) {}
  int32_t code() const { return code_; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result skip_operand(const MB_Opcode&, MB_File_IO&) override { return MB_SYNTAX_ERROR; }
  // Switches decompression on; a second marker inside the block is 2.
  MB_Result process(MB_File_IO& io) override;

 private:
  int32_t code_;
};

// 0x04 and one byte; the value is not used.
class MB_Byte_Value : public MB_Format_Record<MB_ID_BYTE_VALUE, MB_Object::TYPE_ATTRIBUTE> {
 public:
  explicit MB_Byte_Value(uint8_t v = 0) : value_(v) {}
  uint8_t value() const { return value_; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;

 private:
  uint8_t value_;
};

// One value (a 4-byte long or a double) after a single-byte opcode; Apply
// stores it into the pass's state when the record is processed.
template <class T, int32_t kId, unsigned char kOpcode, void (*Apply)(MB_File_IO&, T)>
class MB_Value_Record : public MB_Format_Record<kId, MB_Object::TYPE_ATTRIBUTE> {
 public:
  explicit MB_Value_Record(T v = T()) : value_(v) {}
  T value() const { return value_; }
  MB_Result serialize(MB_File_IO& io) const override;
  // Reads the value; the rendition slot accepts only its opcode "s".
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override {
    Apply(io, value_);
    return MB_SUCCESS;
  }

 private:
  T value_;
};

template <int32_t kId, unsigned char kOpcode, void (*Apply)(MB_File_IO&, int32_t)>
using MB_Long_Record = MB_Value_Record<int32_t, kId, kOpcode, Apply>;
template <int32_t kId, unsigned char kOpcode, void (*Apply)(MB_File_IO&, double)>
using MB_Double_Record = MB_Value_Record<double, kId, kOpcode, Apply>;

namespace mb_format_apply {
void ignore(MB_File_IO& io, int32_t v);
void text_height(MB_File_IO& io, double v);
void text_width_scale(MB_File_IO& io, double v);
void text_angle(MB_File_IO& io, double v);
void font_oblique_angle(MB_File_IO& io, double v);
void text_flag(MB_File_IO& io, int32_t v);
void font_flag(MB_File_IO& io, int32_t v);
}  // namespace mb_format_apply

using MB_Long_Option = MB_Long_Record<MB_ID_LONG_OPTION, 'C', mb_format_apply::ignore>;
// "s" and a 4-byte value; a file's "S" is refused (2).
using MB_Rendition_Long_A = MB_Long_Record<MB_ID_RENDITION_LONG_A, 's', mb_format_apply::ignore>;
// The rendition's second long slot: written as slot A is; no opcode makes it.
using MB_Rendition_Long_B = MB_Long_Record<MB_ID_RENDITION_LONG_B, 's', mb_format_apply::ignore>;
using MB_Text_Flag = MB_Long_Record<MB_ID_TEXT_FLAG, 'b', mb_format_apply::text_flag>;
using MB_Font_Style = MB_Long_Record<MB_ID_FONT_STYLE, 'o', mb_format_apply::font_flag>;
using MB_Text_Height = MB_Double_Record<MB_ID_TEXT_HEIGHT, 'H', mb_format_apply::text_height>;
using MB_Text_Width_Scale =
    MB_Double_Record<MB_ID_TEXT_WIDTH_SCALE, 'K', mb_format_apply::text_width_scale>;
using MB_Text_Angle = MB_Double_Record<MB_ID_TEXT_ANGLE, 'd', mb_format_apply::text_angle>;
using MB_Font_Oblique_Angle =
    MB_Double_Record<MB_ID_FONT_OBLIQUE_ANGLE, 'A', mb_format_apply::font_oblique_angle>;
