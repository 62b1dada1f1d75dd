// Native-format records of text styles, style names and texts, which need
// the file pass and its attribute state. Until they exist no pass object can
// be made, so none of these is reached; each answers MB_BAD_STATE rather
// than success. The pass replaces this file with the real records (opcodes
// 117, 119 and 84; the stored strokes of a text only while the
// stroke-storing setting is on, which it is not by default).
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"

MB_Result MB_Text_Style::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Text_Style::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Text_Style::process(MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Text_Style::sync_write(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Text_Style::sync_read(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }

MB_Result MB_Text_Style_Name::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Text_Style_Name::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Text_Style_Name::process(MB_File_IO&) { return MB_BAD_STATE; }

MB_Result MB_Text::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Text::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Text::process(MB_File_IO&) { return MB_BAD_STATE; }
