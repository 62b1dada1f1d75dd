// Native-format records of blocks and inserts that the file pass does not
// yet provide. Until it does no pass object can exist, so none of these is
// reached; each answers MB_BAD_STATE rather than success.
#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"

MB_Result MB_Block::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Block_Begin::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Block_Begin::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Block_Begin::process(MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Block_End::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Block_End::process(MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Block_Name::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Block_Name::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Block_Name::process(MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Insert::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Insert::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Insert::process(MB_File_IO&) { return MB_BAD_STATE; }
