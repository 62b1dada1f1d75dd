// The attribute state carried along one file pass.
//
// Entities do not repeat their attributes in every record: a writer hands an
// entity's attributes to the pass's MB_FIFO_Rendition, which writes a record
// only for the values that differ from what it holds (and then holds them);
// a reader applies attribute records to it and the entity records that
// follow take the values from it. Names that come from files are kept with a
// bound (longer ones are cut) and compared in full.
//
// MB_Rendition is the pass's own record of the format state: the version
// read from the header, the colour and colour map with their changed mask,
// and two long slots that are written and read but mean nothing here.
#pragma once

#include <cstdint>
#include <string>

#include "database/mb_color.h"
#include "database/mb_general.h"
#include "database/mb_object.h"
#include "database/mb_result.h"

class As_Pt;
class MB_Block;
class MB_Drawing;
class MB_String;
class MB_Layer;
class MB_Line_Type;
class MB_URL;
class MB_Undo_Redo;

class MB_FIFO_Rendition {
 public:
  static constexpr size_t kStyleNameMax = 255;
  static constexpr size_t kBlockNameMax = 259;

  MB_FIFO_Rendition() = default;
  explicit MB_FIFO_Rendition(MB_Drawing* d) : drawing_(d) {}
  MB_FIFO_Rendition(MB_Block* b, MB_Drawing* d) : drawing_(d), block_(b) {}

  // Back to the defaults, keeping the drawing and the file object.
  void reset();

  uint32_t color() const { return color_; }
  void color(uint32_t c) { color_ = c; }
  int32_t display_width() const { return display_width_; }
  void display_width(int32_t w) { display_width_ = w; }
  double line_scale() const { return line_scale_; }
  void line_scale(double v) { line_scale_ = v; }
  double width() const { return width_; }
  void width(double v) { width_ = v; }
  double thickness() const { return thickness_; }
  void thickness(double v) { thickness_ = v; }
  MB_Layer* layer() const { return layer_; }
  void layer(MB_Layer* l) { layer_ = l; }
  MB_URL* url() const { return url_; }
  void url(MB_URL* u) { url_ = u; }
  MB_Line_Type* line_type() const { return line_type_; }
  void line_type(MB_Line_Type* t) { line_type_ = t; }
  double text_heigh() const { return text_height_; }
  void text_heigh(double v) { text_height_ = v; }
  double text_width_scale() const { return text_width_scale_; }
  void text_width_scale(double v) { text_width_scale_ = v; }
  double text_angle() const { return text_angle_; }
  void text_angle(double v) { text_angle_ = v; }
  double font_oblique_angle() const { return font_oblique_angle_; }
  void font_oblique_angle(double v) { font_oblique_angle_ = v; }
  int32_t text_flag() const { return text_flag_; }
  void text_flag(int32_t v) { text_flag_ = v; }
  int32_t font_flag() const { return font_flag_; }
  void font_flag(int32_t v) { font_flag_ = v; }
  const char* text_style_name() const { return text_style_name_.c_str(); }
  void text_style_name(const char* name);
  const char* block_name() const { return block_name_.c_str(); }
  void block_name(const char* name);
  MB_Drawing* drawing() const { return drawing_; }
  void drawing(MB_Drawing* d) { drawing_ = d; }
  MB_Block* block() const { return block_; }
  void start_block(MB_Block* b) { block_ = b; }
  // The block being defined: the drawing's first block of that name, or a
  // new one (base, name, "Block desc0") at the tail of its block list.
  // False without a drawing.
  bool start_block(const MB_String& name, const As_Pt& base);
  // Builds the block's display lists and lets it go; true.
  bool end_block();
  // The block's base point (and transform); false without a block.
  bool set_block_base(const As_Pt& base);
  // Where objects being read go: the block's list, else the drawing's
  // entity list. Null with neither.
  MB_Object_List* creating_list();
  // Appends to the creating list; a null object, or no list, is ignored.
  void add_object(MB_Object* object);
  MB_File_IO* file_io() const { return io_; }
  void file_io(MB_File_IO* io) { io_ = io; }
  // The entities' attribute records of this pass, as last taken.
  MB_General::Read_Memo& general_memo() { return general_memo_; }

  // Writes the attribute records of the values that changed, in the order
  // colour, display width, line scale, width, thickness (a NaN is never a
  // change); line type and layer are only held. Answers the first write
  // failure, else 0.
  MB_Result write_sync_prop(uint32_t color, int32_t display_width, double line_scale, double width,
                            double thickness, MB_Line_Type* line_type, MB_Layer* layer, MB_URL* url);
  // The text parameters and then the style name ("w"); a null name empties
  // the held one and writes nothing.
  MB_Result write_sync_font(double height, double width_scale, double angle, double oblique_angle,
                            int32_t text_flag, int32_t font_flag, const char* style_name);

 private:
  uint32_t color_ = 0;
  int32_t display_width_ = 0;
  double line_scale_ = 1.0;
  double width_ = 1.0;
  double thickness_ = 0.0;
  MB_Layer* layer_ = nullptr;
  MB_URL* url_ = nullptr;
  MB_Line_Type* line_type_ = nullptr;
  double text_height_ = 1.0;
  double text_width_scale_ = 1.0;
  double text_angle_ = 0.0;
  double font_oblique_angle_ = 0.0;
  int32_t text_flag_ = 0;
  int32_t font_flag_ = 0;
  std::string text_style_name_ = "~no text style";
  MB_Drawing* drawing_ = nullptr;
  MB_Block* block_ = nullptr;
  MB_File_IO* io_ = nullptr;
  std::string block_name_ = "~no block";
  MB_General::Read_Memo general_memo_;
};

class MB_Rendition {
 public:
  enum : int32_t { CHANGED_COLOR = 0x1, CHANGED_LONG_A = 0x40, CHANGED_LONG_B = 0x80,
                   CHANGED_COLOR_MAP = 0x200, CHANGED_URL = 0x4000 };

  MB_Rendition() = default;
  MB_Rendition(const MB_Rendition&) = default;
  MB_Rendition& operator=(const MB_Rendition&) = default;

  int32_t changed() const { return changed_; }
  void changed(int32_t mask) { changed_ = mask; }
  int32_t second_changed() const { return second_changed_; }
  void second_changed(int32_t mask) { second_changed_ = mask; }

  int16_t major_revision() const { return major_; }
  void major_revision(int16_t v) { major_ = v; }
  int16_t minor_revision() const { return minor_; }
  void minor_revision(int16_t v) { minor_ = v; }
  int32_t decimal_revision() const { return 100 * int32_t(major_) + minor_; }

  MB_Color& color() { return color_; }
  MB_Color_Map& color_map() { return color_map_; }
  int32_t long_a() const { return long_a_; }
  void long_a(int32_t v) { long_a_ = v; }
  int32_t long_b() const { return long_b_; }
  void long_b(int32_t v) { long_b_ = v; }

  // Walks the set bits from the lowest: colour, colour map and the long
  // slots are marked changed in the pass's rendition; nothing is written.
  MB_Result sync(MB_File_IO& io, int32_t mask);

 private:
  int32_t changed_ = 0;
  int32_t second_changed_ = 0;
  int16_t major_ = 0;
  int16_t minor_ = 0;
  MB_Color color_;
  MB_Color_Map color_map_{38};
  int32_t long_a_ = 0;
  int32_t long_b_ = 0;
};

// Pauses the undo store's recording for the lifetime of the object.
class MB_Undo_Pause {
 public:
  MB_Undo_Pause();
  ~MB_Undo_Pause();
  MB_Undo_Pause(const MB_Undo_Pause&) = delete;
  MB_Undo_Pause& operator=(const MB_Undo_Pause&) = delete;

 private:
  MB_Undo_Redo* saved_;
};
