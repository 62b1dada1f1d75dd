// Layers: construction and their native-format records.
#include "database/mb_layer.h"

#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"

MB_Layer::MB_Layer() : name_("layer0"), flags_(kVisible) {}

MB_Layer::MB_Layer(const MB_String& name) : name_(name) {}

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
