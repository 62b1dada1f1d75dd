// Layers: the entries of a drawing's layer table. A layer carries a name, the
// number the file gives it, four state flags, the line type that entities
// drawn "bylayer" use (not owned), a width and a colour. MB_Layer_ID is a
// bare reference to a layer, never written to a file.
//
// A frozen layer is never visible, whatever its visible bit says; the flag
// setters touch only their own bit. Copies copy every field and are not
// reported to the undo store.
#pragma once

#include <cstdint>

#include "database/mb_object.h"

class As_Void_List;
class MB_Drawing;
class MB_Line_Type;

class MB_Layer : public MB_Attribute {
 public:
  enum : uint8_t { kVisible = 0x1, kLocked = 0x2, kFrozen = 0x4, kPlotted = 0x8 };

  // "layer0", visible, white.
  MB_Layer();
  // Named, every flag clear, white.
  explicit MB_Layer(const MB_String& name);
  MB_Layer(const MB_Layer&) = default;
  MB_Layer& operator=(const MB_Layer&) = default;

  MB_ID object_id() const override { return ID_LAYER; }

  MB_String& name() { return name_; }
  const MB_String& name() const { return name_; }
  void name(const MB_String& n) { name_ = n; }

  bool visibility() const { return !freeze() && (flags_ & kVisible) != 0; }
  bool lock() const { return (flags_ & kLocked) != 0; }
  bool freeze() const { return (flags_ & kFrozen) != 0; }
  bool plot() const { return (flags_ & kPlotted) != 0; }
  void visibility(bool on) { set_bit(kVisible, on); }
  void lock(bool on) { set_bit(kLocked, on); }
  void freeze(bool on) { set_bit(kFrozen, on); }
  void plot(bool on) { set_bit(kPlotted, on); }
  uint8_t flags() const { return flags_; }

  uint16_t id() const { return id_; }
  void id(uint16_t v) { id_ = v; }
  uint16_t width() const { return width_; }
  void width(uint16_t w) { width_ = w; }
  uint32_t color() const { return color_; }
  void color(uint32_t c) { color_ = c; }
  MB_Line_Type* line_type() const { return line_type_; }
  void line_type(MB_Line_Type* t) { line_type_ = t; }

  // The entities of the layer; this kernel gathers none.
  void get_ent_list(As_Void_List&, MB_Drawing*) {}

  // Opcode 'y': the name, id, flags, width and colour.
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  // Appends the layer to the reading drawing's layer table.
  MB_Result process(MB_File_IO& io) override;

 private:
  void set_bit(uint8_t bit, bool on) { flags_ = on ? uint8_t(flags_ | bit) : uint8_t(flags_ & ~bit); }

  MB_String name_;
  uint16_t id_ = 0;
  uint8_t flags_ = 0;
  MB_Line_Type* line_type_ = nullptr;
  uint16_t width_ = 0;
  uint32_t color_ = 0xFFFFFF;
};

// A reference to a layer; not stored in files.
class MB_Layer_ID : public MB_Attribute {
 public:
  MB_Layer_ID() = default;
  explicit MB_Layer_ID(MB_Layer* layer) : layer_(layer) {}
  MB_Layer_ID(const MB_Layer_ID&) = default;
  MB_Layer_ID& operator=(const MB_Layer_ID&) = default;

  MB_ID object_id() const override { return ID_LAYER_ID; }
  MB_Layer* layer() const { return layer_; }
  void layer(MB_Layer* l) { layer_ = l; }

  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

 private:
  MB_Layer* layer_ = nullptr;
};
