// Flat API for raster image entities.
#include "api/api_image.h"

#include <ximage.h>

#include <cctype>
#include <cstring>
#include <memory>

#include "api/api_append.h"
#include "database/entities/mb_image.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"

namespace {

// No period where the extension should start.
constexpr int kNoExtension = -1;
constexpr int kUnknownFormat = 0;

struct Format {
  const char* extension;
  int code;
};

constexpr Format kFormats[] = {
    {"bmp", 1},  {"gif", 2},  {"jpg", 3},  {"png", 4},  {"ico", 5},  {"tif", 6},  {"tga", 7},  {"pcx", 8},
    {"wmf", 10}, {"emf", 10}, {"jp2", 11}, {"j2k", 11}, {"jpc", 12}, {"j2c", 12}, {"pgx", 13}, {"pnm", 14},
    {"pgm", 14}, {"ppm", 14}, {"ras", 15},
};

// A new image entity of the decoded file, its size in pixels, centred on
// the point; null when the file does not decode.
MB_Image* load_image(const char* path, const As_Pt& centre) {
  if (!path) return nullptr;
  const int code = api_mb_image_format_code(path);
  if (code <= kUnknownFormat) return nullptr;
  std::unique_ptr<CxImage> raster(new CxImage(path, static_cast<DWORD>(code)));
  if (!raster->IsValid()) return nullptr;
  const double width = raster->GetWidth(), height = raster->GetHeight();
  MB_Image* image = new MB_Image(raster.release());
  image->width(width);
  image->height(height);
  image->center(centre);
  return image;
}

}  // namespace

int api_mb_image_format_code(const char* path) {
  if (!path) return kNoExtension;
  const size_t n = std::strlen(path);
  if (n < 4 || path[n - 4] != '.') return kNoExtension;
  char ext[4];
  for (int i = 0; i < 3; ++i) ext[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(path[n - 3 + i])));
  ext[3] = 0;
  for (const Format& f : kFormats) {
    if (std::strcmp(ext, f.extension) == 0) return f.code;
  }
  return kUnknownFormat;
}

intptr_t api_mb_create_image(char* path, const As_Pt& centre) {
  if (!g_current_drawing) return 0;
  MB_Image* image = load_image(path, centre);
  return image ? api_appended(image, true) : 0;
}

MB_Image* api_mb_create_image(MB_Operation& operation, char* path, As_Pt centre) {
  MB_Drawing* drawing = operation.drawing();
  if (!drawing) return nullptr;
  MB_Image* image = load_image(path, centre);
  if (!image) return nullptr;
  image->build_draw();
  drawing->add_object(image);
  return image;
}

MB_Image* api_mb_create_image(MB_Drawing& drawing, char* path, As_Pt centre) {
  MB_Image* image = load_image(path, centre);
  drawing.add_object(image);
  return image;
}
