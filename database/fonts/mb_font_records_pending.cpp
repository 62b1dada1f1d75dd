// Native-format records of the font libraries that the file pass does not
// yet provide. Until it does no pass object can exist, so none of these is
// reached; each answers MB_BAD_STATE rather than success. The pass replaces
// this file with the real records (the single opcode byte 102).
#include "database/fonts/mb_font_char.h"
#include "database/fonts/mb_shp_library.h"
#include "database/fonts/mb_shx_library.h"
#include "database/fonts/mb_ttf_library.h"

MB_Result MB_Font_Char::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Shx_Library::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Shp_Library::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_TTF_Library::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
