// Native-format records of the curved entities, until the file pass they
// are written through exists. No pass object can exist before then, so none
// of these is reached; each answers MB_BAD_STATE rather than success.
#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_polyline.h"

MB_Result MB_Circle::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Circle::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Circle::process(MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Arc::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Arc::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }

MB_Result MB_Ellipse::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Ellipse::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Ellipse::process(MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Ellipse_Arc::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Ellipse_Arc::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }

MB_Result MB_Polyline::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Polyline::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Polyline::process(MB_File_IO&) { return MB_BAD_STATE; }

MB_Result MB_Bspline::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Bspline::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Bspline::process(MB_File_IO&) { return MB_BAD_STATE; }
