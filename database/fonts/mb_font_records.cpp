// Native-format records of the font libraries. A library is written as the
// single opcode byte 102 and nothing more; the reader makes no object for
// it. Libraries belong to the font cache, so nothing here touches the font
// files themselves.
#include "database/fileformat/mb_file_io.h"
#include "database/fonts/mb_font_char.h"
#include "database/fonts/mb_shp_library.h"
#include "database/fonts/mb_shx_library.h"
#include "database/fonts/mb_ttf_library.h"

namespace {
MB_Result write_font_record(MB_File_IO& io) {
  io.dump_delayed_drawable();
  return io.write(static_cast<unsigned char>(102));
}
}  // namespace

// A glyph is part of its library and has no record of its own.
MB_Result MB_Font_Char::serialize(MB_File_IO&) const { return MB_SUCCESS; }
MB_Result MB_Shx_Library::serialize(MB_File_IO& io) const { return write_font_record(io); }
MB_Result MB_Shp_Library::serialize(MB_File_IO& io) const { return write_font_record(io); }
MB_Result MB_TTF_Library::serialize(MB_File_IO& io) const { return write_font_record(io); }
