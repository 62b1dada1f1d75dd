// The rendition attributes: one value each, written by the native format
// when the current line scale, width, thickness or display width changes
// from one entity to the next, and applied to the pass's attribute state
// when read back.
#pragma once

#include <cstdint>

#include "database/mb_object.h"

// An attribute that holds one value of type T.
template <class T, MB_Object::MB_ID kId>
class MB_Value_Attribute : public MB_Attribute {
 public:
  explicit MB_Value_Attribute(T value) : value_(value) {}
  MB_Value_Attribute(const MB_Value_Attribute&) = default;
  MB_Value_Attribute& operator=(const MB_Value_Attribute&) = default;

  MB_ID object_id() const override { return kId; }
  T value() const { return value_; }
  void value(T v) { value_ = v; }
  bool operator==(const MB_Attribute& other) const override {
    return other.object_id() == kId && static_cast<const MB_Value_Attribute&>(other).value_ == value_;
  }

 private:
  T value_;
};

// Opcode 'i' and a double; applied as the pass's line scale.
class MB_Line_Scale : public MB_Value_Attribute<double, MB_Object::ID_LINE_SCALE> {
 public:
  explicit MB_Line_Scale(double v = 1.0) : MB_Value_Attribute(v) {}
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
};

// Opcode 'j' and a double; applied as the pass's width.
class MB_Width : public MB_Value_Attribute<double, MB_Object::ID_WIDTH> {
 public:
  explicit MB_Width(double v = 0.0) : MB_Value_Attribute(v) {}
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
};

// Opcode 'n' and a double; applied as the pass's thickness, so that the
// thickness written with an entity comes back with it.
class MB_Thickness : public MB_Value_Attribute<double, MB_Object::ID_THICKNESS> {
 public:
  explicit MB_Thickness(double v = 0.0) : MB_Value_Attribute(v) {}
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
};

// Opcode 'h' and a 32-bit value; applied as the pass's display width.
class MB_Display_Width : public MB_Value_Attribute<int32_t, MB_Object::ID_DISPLAY_WIDTH> {
 public:
  explicit MB_Display_Width(int32_t v = 0) : MB_Value_Attribute(v) {}
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
};
