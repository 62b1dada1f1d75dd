// Native-format records of layers, the rendition attributes, the drawable
// base (general attributes, optional items, extended data) and the drawing's
// summary information.
#include <algorithm>
#include <vector>

#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_rendition.h"

MB_Result MB_Layer::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  if (MB_Result r = io.write(static_cast<unsigned char>('y'))) return r;
  if (MB_Result r = name_.serialize(io, 0)) return r;
  if (MB_Result r = io.write(static_cast<unsigned short>(id_))) return r;
  if (MB_Result r = io.write(static_cast<unsigned char>(flags_))) return r;
  if (MB_Result r = io.write(static_cast<unsigned short>(width_))) return r;
  return io.write(uint32_t(color_));
}

MB_Result MB_Layer::materialize(const MB_Opcode&, MB_File_IO& io) {
  if (MB_Result r = name_.materialize(io)) return r;
  unsigned short id, width;
  unsigned char flags;
  uint32_t color;
  if (MB_Result r = io.read(id)) return r;
  if (MB_Result r = io.read(flags)) return r;
  if (MB_Result r = io.read(width)) return r;
  if (MB_Result r = io.read(color)) return r;
  id_ = id;
  flags_ = flags;
  width_ = width;
  color_ = color;
  return MB_SUCCESS;
}

MB_Result MB_Layer::process(MB_File_IO& io) {
  if (!io.drawing()) return MB_BAD_STATE;
  io.drawing()->layer_list().add_tail(this);
  return MB_SUCCESS;
}


template <class T, MB_Object::MB_ID kId, char kOpcode>
MB_Result MB_Rendition_Value<T, kId, kOpcode>::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  return io.write_record(static_cast<unsigned char>(kOpcode), value_);
}

template <class T, MB_Object::MB_ID kId, char kOpcode>
MB_Result MB_Rendition_Value<T, kId, kOpcode>::materialize(const MB_Opcode&, MB_File_IO& io) {
  return io.read_value(value_);
}

template <class T, MB_Object::MB_ID kId, char kOpcode>
MB_Result MB_Rendition_Value<T, kId, kOpcode>::process(MB_File_IO& io) {
  MB_FIFO_Rendition& state = io.fifo_rendition();
  if constexpr (kId == MB_Object::ID_LINE_SCALE) {
    state.line_scale(value_);
  } else if constexpr (kId == MB_Object::ID_WIDTH) {
    state.width(value_);
  } else if constexpr (kId == MB_Object::ID_THICKNESS) {
    state.thickness(value_);
  } else {
    state.display_width(value_);
  }
  return MB_SUCCESS;
}

template class MB_Rendition_Value<double, MB_Object::ID_LINE_SCALE, 'i'>;
template class MB_Rendition_Value<double, MB_Object::ID_WIDTH, 'j'>;
template class MB_Rendition_Value<double, MB_Object::ID_THICKNESS, 'n'>;
template class MB_Rendition_Value<int32_t, MB_Object::ID_DISPLAY_WIDTH, 'h'>;

MB_Result MB_General::serialize(MB_File_IO& io) const {
  return io.fifo_rendition().write_sync_prop(uint32_t(color_), display_width_, line_scale_, width_,
                                             thickness_, line_type_, layer_, url_);
}

MB_Result MB_General::materialize(const MB_Opcode&, MB_File_IO& io) {
  const MB_FIFO_Rendition& s = io.fifo_rendition();
  color_ = int32_t(s.color());
  display_color_ = color_;
  display_width_ = s.display_width();
  line_scale_ = s.line_scale();
  width_ = s.width();
  thickness_ = s.thickness();
  return MB_SUCCESS;
}

MB_Result MB_Xdata::serialize(MB_File_IO& io) const {
  if (MB_Result r = io.write(int32_t(length_))) return r;
  return io.write(length_, reinterpret_cast<const unsigned char*>(data_));
}

MB_Result MB_Xdata::materialize(MB_File_IO& io) {
  std::vector<unsigned char> bytes;
  if (MB_Result r = io.read_sized_bytes(bytes)) return r;
  if (bytes.empty()) {
    free();
  } else {
    buffer(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
  }
  return MB_SUCCESS;
}

MB_Result MB_Drawable::save_xdata(MB_File_IO& io) {
  const uint32_t f = build_save_flag();
  if (MB_Result r = io.write(f)) return r;
  if (f & SAVE_ID) {
    if (MB_Result r = io.write(id_)) return r;
  }
  if (f & SAVE_USER_ID) {
    if (MB_Result r = io.write(user_id_)) return r;
  }
  if (f & SAVE_STRING) {
    if (MB_Result r = string_.serialize(io, 0)) return r;
  }
  if (f & SAVE_REAL) {
    if (MB_Result r = io.write_double(real_val_)) return r;
  }
  if (f & SAVE_XDATA) return xdata_.serialize(io);
  return MB_SUCCESS;
}

MB_Result MB_Drawable::read_xdata(const MB_Opcode&, MB_File_IO& io) {
  uint32_t f;
  if (MB_Result r = io.read(f)) return r;
  save_flag_ = f;
  if (f & SAVE_ID) {
    if (MB_Result r = io.read(id_)) return r;
  }
  if (f & SAVE_USER_ID) {
    if (MB_Result r = io.read(user_id_)) return r;
  }
  if (f & SAVE_STRING) {
    if (MB_Result r = string_.materialize(io)) return r;
  }
  if (f & SAVE_REAL) {
    if (MB_Result r = io.read_double(real_val_)) return r;
  }
  if (f & SAVE_XDATA) return xdata_.materialize(io);
  return MB_SUCCESS;
}

MB_Result MB_Drawing_Info::serialize(MB_File_IO& io) const {
  if (MB_Result r = io.write(static_cast<unsigned short>(major_))) return r;
  if (MB_Result r = io.write(static_cast<unsigned short>(minor_))) return r;
  for (const MB_String& e : entries_) {
    if (MB_Result r = e.serialize(io, 0)) return r;
  }
  return io.write(flag_);
}

MB_Result MB_Drawing_Info::materialize(const MB_Opcode&, MB_File_IO& io) {
  unsigned short major, minor;
  if (MB_Result r = io.read(major)) return r;
  if (MB_Result r = io.read(minor)) return r;
  MB_String read[kEntryCount];
  for (MB_String& e : read) {
    if (MB_Result r = e.materialize(io)) return r;
  }
  int32_t flag;
  if (MB_Result r = io.read(flag)) return r;
  major_ = int16_t(major);
  minor_ = int16_t(minor);
  for (int i = 0; i < kEntryCount; ++i) entries_[i] = read[i];
  flag_ = flag;
  return MB_SUCCESS;
}

MB_Result MB_Informational::serialize(MB_File_IO& io, const char* keyword) const {
  if (value_.is_empty()) return MB_SUCCESS;
  io.dump_delayed_drawable();
  if (MB_Result r = io.write_tab_level()) return r;
  if (MB_Result r = io.write("(")) return r;
  if (MB_Result r = io.write(keyword)) return r;
  if (MB_Result r = io.write(" ")) return r;
  if (MB_Result r = value_.serialize(io, 0)) return r;
  return io.write(")");
}

MB_Result MB_Informational::materialize(const MB_Opcode& op, MB_File_IO&) {
  return op.kind() == MB_Opcode::EXT_ASCII ? MB_SUCCESS : MB_SYNTAX_ERROR;
}
