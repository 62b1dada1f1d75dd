// Native-format records of the solid ('D'), the face ('z') and the polygon
// mesh ('U'). The face and the mesh keep their identity only: a face read
// back has no vertices, a mesh its grid size (low bytes) and closed flags.
#include "database/entities/mb_face.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_mesh.h"
#include "database/entities/mb_solid.h"
#include "database/fileformat/mb_file_io.h"

MB_Result MB_Solid::serialize(MB_File_IO& io) const {
  MB_Result first = general().serialize(io);
  MB_Result r = io.write(static_cast<unsigned char>('D'));
  if (!r) r = const_cast<MB_Solid*>(this)->save_xdata(io, mask_ ? SAVE_MASK : 0u);
  if (!r) r = io.write(static_cast<const As_Pt_Set&>(*this));
  return first ? first : r;
}

MB_Result MB_Solid::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (MB_Result r = read_xdata(op, io)) return r;
  mask_ = (save_flag() & SAVE_MASK) != 0;
  if (MB_Result r = io.read(static_cast<As_Pt_Set&>(*this))) return r;
  for (int i = 0; i < count(); ++i) points()[i].z() = 0.0;
  return general().materialize(op, io);
}

MB_Result MB_Solid::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }

MB_Result MB_Face::serialize(MB_File_IO& io) const {
  MB_Result first = general().serialize(io);
  MB_Result r = io.write(static_cast<unsigned char>('z'));
  if (!r) r = const_cast<MB_Face*>(this)->save_xdata(io);
  return first ? first : r;
}

MB_Result MB_Face::materialize(const MB_Opcode& op, MB_File_IO& io) { return read_xdata(op, io); }

MB_Result MB_Face::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }

MB_Result MB_Polygon_Mesh::serialize(MB_File_IO& io) const {
  MB_Result first = general().serialize(io);
  const unsigned char flags = static_cast<unsigned char>((m_closed_ ? 1 : 0) | (n_closed_ ? 2 : 0));
  MB_Result r = io.write(static_cast<unsigned char>('U'));
  if (!r) r = io.write(static_cast<unsigned char>(m_ & 0xFF));
  if (!r) r = io.write(static_cast<unsigned char>(n_ & 0xFF));
  if (!r) r = io.write(flags);
  return first ? first : r;
}

MB_Result MB_Polygon_Mesh::materialize(const MB_Opcode&, MB_File_IO& io) {
  // M, N and the flags in one read, so that a short read takes nothing.
  unsigned char b[3];
  if (MB_Result r = io.read(3, b)) return r;
  m_ = b[0];
  n_ = b[1];
  // Other values name no combination and leave the flags alone.
  if (b[2] <= 3) {
    m_closed_ = (b[2] & 1) != 0;
    n_closed_ = (b[2] & 2) != 0;
  }
  return MB_SUCCESS;
}

MB_Result MB_Polygon_Mesh::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }
