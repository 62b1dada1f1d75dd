// The pass's attribute state: change-only writing of entity and text
// attributes, and the pass's format state.
#include "database/fileformat/mb_fifo_rendition.h"

#include <cstring>

#include "database/entities/mb_block.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"

namespace {
// Doubles differ when they compare as different; a NaN never does.
bool differs(double a, double b) { return a < b || a > b; }

std::string bounded(const char* name, size_t max) {
  if (!name) return std::string();
  return std::string(name, strnlen(name, max));
}
}  // namespace

void MB_FIFO_Rendition::reset() {
  MB_Drawing* d = drawing_;
  MB_File_IO* io = io_;
  *this = MB_FIFO_Rendition(d);
  io_ = io;
}

void MB_FIFO_Rendition::text_style_name(const char* name) {
  text_style_name_ = bounded(name, kStyleNameMax);
}

void MB_FIFO_Rendition::block_name(const char* name) { block_name_ = bounded(name, kBlockNameMax); }

MB_Result MB_FIFO_Rendition::write_sync_prop(uint32_t color, int32_t display_width, double line_scale,
                                             double width, double thickness, MB_Line_Type* line_type,
                                             MB_Layer* layer, MB_URL*) {
  MB_File_IO& io = *io_;
  MB_Result first = MB_SUCCESS;
  auto keep = [&first](MB_Result r) {
    if (!first) first = r;
  };
  io.dump_delayed_drawable();
  if (color != color_) {
    color_ = color;
    keep(io.write_record(static_cast<unsigned char>(0x03), int32_t(color)));
  }
  if (display_width != display_width_) {
    display_width_ = display_width;
    keep(io.write_record('h', display_width));
  }
  if (differs(line_scale, line_scale_)) {
    line_scale_ = line_scale;
    keep(io.write_record('i', line_scale));
  }
  if (differs(width, width_)) {
    width_ = width;
    keep(io.write_record('j', width));
  }
  if (differs(thickness, thickness_)) {
    thickness_ = thickness;
    keep(io.write_record('n', thickness));
  }
  // Line types and each entity's layer are held but not stored by the
  // format: the layer reference record writes nothing.
  line_type_ = line_type;
  layer_ = layer;
  return first;
}

MB_Result MB_FIFO_Rendition::write_sync_font(double height, double width_scale, double angle,
                                             double oblique_angle, int32_t text_flag, int32_t font_flag,
                                             const char* style_name) {
  MB_File_IO& io = *io_;
  MB_Result first = MB_SUCCESS;
  auto keep = [&first](MB_Result r) {
    if (!first) first = r;
  };
  struct Double_Field {
    double value;
    double& held;
    unsigned char op;
  } doubles[] = {{height, text_height_, 'H'},
                 {width_scale, text_width_scale_, 'K'},
                 {angle, text_angle_, 'd'},
                 {oblique_angle, font_oblique_angle_, 'A'}};
  for (Double_Field& f : doubles) {
    if (differs(f.value, f.held)) {
      f.held = f.value;
      keep(io.write_record(f.op, f.value));
    }
  }
  if (text_flag != text_flag_) {
    text_flag_ = text_flag;
    keep(io.write_record('b', text_flag));
  }
  if (font_flag != font_flag_) {
    font_flag_ = font_flag;
    keep(io.write_record('o', font_flag));
  }
  if (!style_name) {
    text_style_name_.clear();
  } else if (text_style_name_ != bounded(style_name, kStyleNameMax)) {
    text_style_name(style_name);
    keep(io.write(static_cast<unsigned char>('w')));
    keep(MB_String(text_style_name_.c_str()).serialize(io, 0));
  }
  return first;
}

bool MB_FIFO_Rendition::start_block(const MB_String& name, const As_Pt& base) {
  if (!drawing_) return false;
  block_ = drawing_->find_block(name.ascii());
  if (!block_) {
    block_ = new MB_Block(base, name, MB_String("Block desc0"));
    drawing_->block_list().add_tail(block_);
  }
  return true;
}

bool MB_FIFO_Rendition::end_block() {
  if (block_) block_->build_draw();
  block_ = nullptr;
  return true;
}

bool MB_FIFO_Rendition::set_block_base(const As_Pt& base) {
  if (!block_) return false;
  block_->base_pos(base);
  return true;
}

MB_Object_List* MB_FIFO_Rendition::creating_list() {
  if (block_) return &block_->object_list();
  return drawing_ ? &drawing_->object_list() : nullptr;
}

void MB_FIFO_Rendition::add_object(MB_Object* object) {
  MB_Object_List* list = creating_list();
  if (object && list) list->add_tail(object);
}

MB_Result MB_Rendition::sync(MB_File_IO& io, int32_t mask) {
  MB_Rendition* own = io.rendition();
  for (int bit = 0; bit < 31; ++bit) {
    const int32_t b = int32_t(1) << bit;
    if (!(mask & b)) continue;
    if (b == CHANGED_COLOR || b == CHANGED_COLOR_MAP || b == CHANGED_LONG_A || b == CHANGED_LONG_B) {
      if (own) own->changed(own->changed() | b);
    }
  }
  return MB_SUCCESS;
}

MB_Undo_Pause::MB_Undo_Pause() : saved_(g_undo_redo) { g_undo_redo = nullptr; }
MB_Undo_Pause::~MB_Undo_Pause() { g_undo_redo = saved_; }
