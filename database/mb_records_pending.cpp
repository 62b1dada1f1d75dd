// Native-format records of the strings, colours and colour maps that the
// file pass does not yet provide. Until it does no pass object can exist, so
// none of these is reached; each answers MB_BAD_STATE rather than success.
// The pass replaces this file with the real records.
#include "database/mb_color.h"
#include "database/mb_string.h"

MB_Result MB_String::serialize(MB_File_IO&, char) const { return MB_BAD_STATE; }
MB_Result MB_String::materialize(MB_File_IO&) { return MB_BAD_STATE; }

MB_Result MB_Color::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Color::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Color::skip_operand(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Color::process(MB_File_IO&) { return MB_BAD_STATE; }

MB_Result MB_Color_Map::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Color_Map::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Color_Map::skip_operand(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Color_Map::process(MB_File_IO&) { return MB_BAD_STATE; }
