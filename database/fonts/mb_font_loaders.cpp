// The makers of the three kinds of font library, installed in the system
// resource's font cache when the kernel is loaded.
#include "database/fonts/mb_shp_library.h"
#include "database/fonts/mb_shx_library.h"
#include "database/fonts/mb_ttf_library.h"
#include "database/mb_resource.h"

namespace {

// The cache finds a library by its file name; the name keeps the path given.
// A shape file that does not load gives no library, so that a text style
// falls back to a font that draws.
MB_Font_Library* load_shx(const char* path, const char* file_name) {
  MB_Shx_Library* lib = new MB_Shx_Library;
  lib->name() = MB_String(path);
  lib->file_name(file_name);
  if (lib->load_shx_file(path)) return lib;
  delete lib;
  return nullptr;
}

MB_Font_Library* load_shp(const char* path, const char* file_name) {
  MB_Shp_Library* lib = new MB_Shp_Library;
  lib->name() = MB_String(path);
  lib->file_name(file_name);
  if (lib->load_file(path)) return lib;
  delete lib;
  return nullptr;
}

MB_Font_Library* load_ttf(const char* path, const char* file_name) { return new MB_TTF_Library(file_name, path); }

const bool installed = [] {
  MB_System_Resource::font_loader("SHX", load_shx);
  MB_System_Resource::font_loader("SHP", load_shp);
  MB_System_Resource::font_loader("TTF", load_ttf);
  MB_System_Resource::font_loader("TTC", load_ttf);  // a collection: its first face
  return true;
}();

}  // namespace
