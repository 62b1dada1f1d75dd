// One drawing in memory: its summary information, its entity list and its
// tables (layers, line types, text and dimension styles, blocks, views...),
// the file name, the zoom kept with it, the block being built and the
// running origin the native format writes points relative to.
//
// Every new drawing becomes g_current_drawing; a drawing that dies while
// current clears it. The drawing owns every object of its thirteen lists and
// a block still being built that is in none of them, and frees them all; it
// cannot be copied. Name look-ups ignore ASCII case and take the first match
// from the head of the table.
//
// Blocks, text styles and layouts are classes of their own; the drawing
// reaches the little it needs of them (a name, an object list, building the
// display) through the mb_block_*, mb_text_style_* and mb_layout_* services
// declared below, which those classes provide.
#pragma once

#include <cstdint>

#include "database/mb_object.h"
#include "geometry/as_pt.h"
#include "geometry/as_tran.h"

class MB_Block;
class MB_Layer;
class MB_Line_Type;
class MB_Text_Style;

// The summary information of a drawing.
class MB_Drawing_Info : public MB_Attribute {
 public:
  static constexpr int kEntryCount = 8;
  enum Entry { TITLE, DESCRIPTION, COMMENTS, AUTHOR, KEYWORDS, COPYRIGHT, REVISION1, REVISION2 };

  MB_Drawing_Info();
  MB_Drawing_Info(const MB_Drawing_Info&) = default;
  MB_Drawing_Info& operator=(const MB_Drawing_Info&) = default;

  MB_ID object_id() const override { return ID_DRAWING_INFO; }

  int16_t major_revision() const { return major_; }
  void major_revision(int16_t v) { major_ = v; }
  int16_t minor_revision() const { return minor_; }
  void minor_revision(int16_t v) { minor_ = v; }
  int32_t decimal_revision() const { return 100 * int32_t(major_) + minor_; }
  // Entry i (0..7); out of range gives the first.
  MB_String& entry(int i) { return entries_[i >= 0 && i < kEntryCount ? i : 0]; }
  const MB_String& entry(int i) const { return entries_[i >= 0 && i < kEntryCount ? i : 0]; }
  int32_t flag() const { return flag_; }
  void flag(int32_t f) { flag_ = f; }
  bool is_expore_text() const { return flag_ != 2; }

  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

 private:
  int16_t major_ = 0;
  int16_t minor_ = 0;
  MB_String entries_[kEntryCount];
  int32_t flag_ = 0;
};

// A summary entry: one text, written as "(keyword value)".
class MB_Informational : public MB_Attribute {
 public:
  MB_Informational() = default;
  explicit MB_Informational(const char* text) : value_(text) {}
  explicit MB_Informational(const unsigned short* text) : value_(text) {}
  MB_Informational(const MB_Informational&) = default;
  MB_Informational& operator=(const MB_Informational&) = default;

  void set(const char* text) { value_ = text; }
  void set(const unsigned short* text) { value_ = text; }
  void set(int n, const unsigned short* text) { value_.set(n, text); }
  void set(const MB_String& s) { value_ = s; }
  const MB_String& value() const { return value_; }

  using MB_Attribute::serialize;
  // Nothing for an empty value.
  MB_Result serialize(MB_File_IO& io, const char* keyword) const;
  // Accepts an extended ASCII opcode only.
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;

 private:
  MB_String value_;
};

// A named view: two corners and a name. Not stored in files.
class MB_Named_View : public MB_Attribute {
 public:
  MB_ID object_id() const override { return ID_NAMED_VIEW; }
  MB_Type object_type() const override { return TYPE_VIEW; }
  const As_Pt& lt() const { return lt_; }
  void lt(const As_Pt& p) { lt_ = p; }
  const As_Pt& rb() const { return rb_; }
  void rb(const As_Pt& p) { rb_ = p; }
  MB_String& name() { return name_; }

  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

 private:
  As_Pt lt_, rb_;
  MB_String name_;
};

// A time in seconds. Not stored in files.
class MB_Timestamp : public MB_Attribute {
 public:
  MB_ID object_id() const override { return ID_TIMESTAMP; }
  MB_Type object_type() const override { return TYPE_VIEW; }
  int32_t seconds() const { return seconds_; }
  void seconds(int32_t s) { seconds_ = s; }

  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

 private:
  int32_t seconds_ = 0;
};

// A layout: a named sheet with objects of its own. The drawing edits a
// layout's objects while it is the active layout (get_active_object_list);
// the drawing's layout list owns its layouts, and a layout owns its objects.
// Layouts are not stored in files.
class MB_Layout : public MB_Attribute {
 public:
  MB_Layout() = default;
  MB_Layout(const MB_Layout&) = delete;
  MB_Layout& operator=(const MB_Layout&) = delete;
  ~MB_Layout() override { object_list_.kill_all(); }

  // Not an object of the file format.
  MB_ID object_id() const override { return ID_NONE; }
  MB_Type object_type() const override { return TYPE_VIEW; }
  MB_String& name() { return name_; }
  MB_Object_List& object_list() { return object_list_; }

  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

 private:
  MB_String name_;
  MB_Object_List object_list_;
};

class MB_Drawing {
 public:
  // Zoom: the translation by (0, 0, 0).
  MB_Drawing();
  // Zoom: the identity; the file name given.
  explicit MB_Drawing(const MB_String& name);
  MB_Drawing(const MB_Drawing&) = delete;
  MB_Drawing& operator=(const MB_Drawing&) = delete;
  // Frees every object of every list; clears g_current_drawing when it
  // points here.
  virtual ~MB_Drawing();

  MB_Drawing_Info& info() { return info_; }

  MB_Object_List& object_list() { return object_list_; }
  MB_Object_List& open_obj_list() { return object_list_; }
  MB_Object_List& hide_list() { return hide_list_; }
  MB_Object_List& named_view_list() { return named_view_list_; }
  MB_Object_List& view_port_list() { return view_port_list_; }
  MB_Object_List& layout_list() { return layout_list_; }
  MB_Object_List& block_list() { return block_list_; }
  MB_Object_List& layer_list() { return layer_list_; }
  MB_Object_List& dim_style_list() { return dim_style_list_; }
  MB_Object_List& text_style_list() { return text_style_list_; }
  MB_Object_List& shp_list() { return shp_list_; }
  MB_Object_List& line_type_list() { return line_type_list_; }
  MB_Object_List& mline_type_list() { return mline_type_list_; }
  MB_Object_List& hatch_type_list() { return hatch_type_list_; }

  // At the tail of the block being built, else of the entity list; null is
  // ignored.
  void add_object(MB_Object* object);
  void add_object_merge(MB_Object* object) { add_object(object); }
  // The block being built, else the active layout's objects, else the
  // entities.
  MB_Object_List& get_active_object_list();
  MB_Block* temp_block() const { return temp_block_; }
  void temp_block(MB_Block* b) { temp_block_ = b; }
  MB_Layout* active_layout() const { return active_layout_; }
  void active_layout(MB_Layout* l) { active_layout_ = l; }

  // Null names find nothing.
  MB_Block* find_block(const char* name);
  // Layers whose name has no 8-bit text are passed over.
  MB_Layer* find_layer(const char* name);
  // The n-th layer from 0; null past the end.
  MB_Layer* find_layer(unsigned long n);
  MB_Text_Style* find_text_style(const char* name);
  // "bylayer" with a layer gives the layer's line type.
  MB_Line_Type* find_line_type(const char* name, MB_Layer* layer);

  // Builds every block's display, then every entity's: an entity on an
  // invisible layer is hidden (flag 0), then it builds and takes its colour.
  // The texts of the whole build share one budget of points
  // (mb_glyph_budget.h).
  void build_draw();
  // Shows or hides the active objects on the layer as the layer is.
  void build_layer(MB_Layer* layer);
  void build_color();

  // How many edits the drawing has had: objects added, and every change the
  // undo store recorded, undid or redid. A holder compares two counts to
  // learn whether the drawing changed between them.
  uint64_t edit_count() const { return edits_; }
  void note_edit() { ++edits_; }

  const MB_String& filename() const { return filename_; }
  const MB_String& name() const { return filename_; }
  void set_filename(const char* name) { filename_ = name; }
  void set_filename(const unsigned short* name) { filename_ = name; }
  void set_filename(int n, const unsigned short* name) { filename_.set(n, name); }
  As_Tran zoom_transf() const { return zoom_; }
  void zoom_transf(const As_Tran& t) { zoom_ = t; }

  // Writing: p becomes its step from the previous point (x and y), and the
  // point is remembered. Reading: the step is added to the previous point.
  void fo_position(As_Pt& p);
  void fi_position(As_Pt& p);
  // Every pass starts from the origin.
  void reset_origin() { origin_ = As_Pt(); }
  const As_Pt& origin() const { return origin_; }

 private:
  MB_Drawing_Info info_;
  MB_Object_List object_list_;
  MB_Object_List hide_list_;
  MB_Object_List named_view_list_;
  MB_Object_List view_port_list_;
  MB_Object_List layout_list_;
  MB_Object_List block_list_;
  MB_Object_List layer_list_;
  MB_Object_List dim_style_list_;
  MB_Object_List text_style_list_;
  MB_Object_List shp_list_;
  MB_Object_List line_type_list_;
  MB_Object_List mline_type_list_;
  MB_Object_List hatch_type_list_;
  As_Tran zoom_;
  MB_String filename_;
  As_Pt origin_;
  MB_Block* temp_block_ = nullptr;
  MB_Layout* active_layout_ = nullptr;
  uint64_t edits_ = 0;
};

// The kernel's current drawing, or null.
extern MB_Drawing* g_current_drawing;

// Services of the classes the drawing's tables hold, provided with those
// classes. Each accepts null (giving null or doing nothing); the mb_to_
// services give null for an object of another class.
MB_Block* mb_to_block(MB_Object* object);
const MB_String* mb_block_name(const MB_Block* block);
MB_Object_List* mb_block_object_list(MB_Block* block);
void mb_block_build_draw(MB_Block* block);
// Frees a block that no list holds (one still being defined).
void mb_block_free_unlisted(MB_Block* block);
MB_Text_Style* mb_to_text_style(MB_Object* object);
const MB_String* mb_text_style_name(const MB_Text_Style* style);
