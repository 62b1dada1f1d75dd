// Native-format records of the drawing's summary information.
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"

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
