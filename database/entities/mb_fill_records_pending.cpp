// Native-format records of the solid, the face and the mesh, until the file
// pass is part of the kernel. No pass object can exist before then, so none
// of these is reached; each answers MB_BAD_STATE rather than success.
#include "database/entities/mb_face.h"
#include "database/entities/mb_mesh.h"
#include "database/entities/mb_solid.h"

MB_Result MB_Solid::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Solid::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Solid::process(MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Face::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Face::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Face::process(MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Polygon_Mesh::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Polygon_Mesh::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Polygon_Mesh::process(MB_File_IO&) { return MB_BAD_STATE; }
