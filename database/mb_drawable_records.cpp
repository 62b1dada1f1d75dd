// Native-format records of the drawable base: general attributes, the
// optional items of an entity and its extended data.
#include <algorithm>
#include <vector>

#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"

MB_Result MB_General::serialize(MB_File_IO& io) const {
  const Shared& s = *shared_;
  return io.fifo_rendition().write_sync_prop(uint32_t(color_), s.display_width, s.line_scale, s.width, s.thickness,
                                             s.line_type, s.layer, s.url);
}

MB_Result MB_General::materialize(const MB_Opcode&, MB_File_IO& io) {
  MB_FIFO_Rendition& s = io.fifo_rendition();
  color_ = int32_t(s.color());
  display_color_ = color_;
  read_shared(s.display_width(), s.line_scale(), s.width(), s.thickness(), s.general_memo());
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

MB_Result MB_Drawable::save_xdata(MB_File_IO& io, uint32_t marks) {
  const uint32_t f = build_save_flag() | marks;
  if (MB_Result r = io.write(f)) return r;
  if (f & SAVE_ID) {
    if (MB_Result r = io.write(id_)) return r;
  }
  const Seldom& s = seldom();
  if (f & SAVE_USER_ID) {
    if (MB_Result r = io.write(s.user_id)) return r;
  }
  if (f & SAVE_STRING) {
    if (MB_Result r = s.string.serialize(io, 0)) return r;
  }
  if (f & SAVE_REAL) {
    if (MB_Result r = io.write_double(s.real_val)) return r;
  }
  if (f & SAVE_XDATA) return s.xdata.serialize(io);
  return MB_SUCCESS;
}

MB_Result MB_Drawable::read_xdata(const MB_Opcode&, MB_File_IO& io) {
  uint32_t f;
  if (MB_Result r = io.read(f)) return r;
  save_flag_ = f;
  if (f & SAVE_ID) {
    if (MB_Result r = io.read(id_)) return r;
  }
  if (f & (SAVE_USER_ID | SAVE_STRING | SAVE_REAL | SAVE_XDATA)) {
    Seldom& s = edit_seldom();
    if (f & SAVE_USER_ID) {
      if (MB_Result r = io.read(s.user_id)) return r;
    }
    if (f & SAVE_STRING) {
      if (MB_Result r = s.string.materialize(io)) return r;
    }
    if (f & SAVE_REAL) {
      if (MB_Result r = io.read_double(s.real_val)) return r;
    }
    if (f & SAVE_XDATA) return s.xdata.materialize(io);
  }
  return MB_SUCCESS;
}
