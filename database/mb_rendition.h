// The rendition attributes: one value each, written by the native format
// when the current line scale, width, thickness or display width changes
// from one entity to the next, and applied to the pass's attribute state
// when read back.
#pragma once

#include <cstdint>

#include "database/mb_object.h"

// An attribute that holds one value of type T, written as its opcode byte
// and the value.
template <class T, MB_Object::MB_ID kId, char kOpcode>
class MB_Rendition_Value : public MB_Attribute {
 public:
  static constexpr char kOpcodeByte = kOpcode;

  explicit MB_Rendition_Value(T value) : value_(value) {}
  MB_Rendition_Value(const MB_Rendition_Value&) = default;
  MB_Rendition_Value& operator=(const MB_Rendition_Value&) = default;

  MB_ID object_id() const override { return kId; }
  T value() const { return value_; }
  void value(T v) { value_ = v; }
  bool operator==(const MB_Attribute& other) const override {
    return other.object_id() == kId && static_cast<const MB_Rendition_Value&>(other).value_ == value_;
  }

  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  // Applies the value to the pass's attribute state.
  MB_Result process(MB_File_IO& io) override;

 private:
  T value_;
};

// 'i' and a double: the line scale, 1.0 by default.
class MB_Line_Scale : public MB_Rendition_Value<double, MB_Object::ID_LINE_SCALE, 'i'> {
 public:
  explicit MB_Line_Scale(double v = 1.0) : MB_Rendition_Value(v) {}
};

// 'j' and a double: the width.
class MB_Width : public MB_Rendition_Value<double, MB_Object::ID_WIDTH, 'j'> {
 public:
  explicit MB_Width(double v = 0.0) : MB_Rendition_Value(v) {}
};

// 'n' and a double: the thickness, applied like the others so that the
// thickness written with an entity comes back with it.
class MB_Thickness : public MB_Rendition_Value<double, MB_Object::ID_THICKNESS, 'n'> {
 public:
  explicit MB_Thickness(double v = 0.0) : MB_Rendition_Value(v) {}
};

// 'h' and a 32-bit value: the display width.
class MB_Display_Width : public MB_Rendition_Value<int32_t, MB_Object::ID_DISPLAY_WIDTH, 'h'> {
 public:
  explicit MB_Display_Width(int32_t v = 0) : MB_Rendition_Value(v) {}
};
