// Picture resources: the image files a program registers for its bitmaps,
// icons and cursors, decoded through the image stand-in; icons as shared
// handles that draw themselves blended over a DC.
#include <qm_display.h>
#include <qm_module.h>
#include <qm_user.h>
#include <windows.h>
#include <ximage.h>

#include <cctype>
#include <map>
#include <memory>
#include <utility>

#include "platform/user/user_internal.h"

namespace qmuser {

std::string resource_key(LPCSTR name) {
  if (!name) return std::string();
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
  std::string key;
  for (const char* p = name; *p; ++p) key += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  return key;
}

namespace {

struct Registered {
  std::string file;
  POINT hotspot;
};

std::map<std::pair<QmPicture, std::string>, Registered>& registry() {
  static std::map<std::pair<QmPicture, std::string>, Registered> r;
  return r;
}

const char module_anchor = 0;

// The folder the stand-ins' pictures are copied to, beside the libraries.
std::string picture_dir() { return qm_module_dir(&module_anchor) + "pictures/"; }

// A picture file as an image: PNG, else BMP.
bool decode(const std::string& file, CxImage* image) {
  return image->Load(file.c_str(), CXIMAGE_FORMAT_PNG) || image->Load(file.c_str(), CXIMAGE_FORMAT_BMP);
}

void to_pixels(const CxImage& image, POINT hotspot, QmPixels* out) {
  const QmRaster& r = image.Raster();
  out->width = static_cast<int>(r.width);
  out->height = static_cast<int>(r.height);
  out->hotspot = hotspot;
  out->argb.resize(static_cast<size_t>(r.width) * r.height);
  for (size_t i = 0; i < out->argb.size(); ++i) {
    const uint32_t a = r.alpha.empty() ? 255u : r.alpha[i];
    out->argb[i] = a << 24 | uint32_t(r.rgb[i * 3]) << 16 | uint32_t(r.rgb[i * 3 + 1]) << 8 | r.rgb[i * 3 + 2];
  }
}

// Loaded icons: one handle a name, kept for the life of the process, since
// a handle may sit in any window's icon or class.
struct Icons {
  std::map<std::string, HICON> by_name;
  std::map<HICON, std::unique_ptr<CxImage>> images;
  uintptr_t next = 0x30000;
};

Icons& icons() {
  static Icons i;
  return i;
}

}  // namespace

}  // namespace qmuser

using namespace qmuser;

void qm_user_register_picture(QmPicture kind, LPCSTR name, const char* file, POINT hotspot) {
  if (!name || !file || !*file) return;
  std::string path = file;
  if (path[0] != '/') path = picture_dir() + path;
  registry()[{kind, resource_key(name)}] = Registered{path, hotspot};
}

std::string qm_user_picture_file(QmPicture kind, LPCSTR name) {
  auto it = registry().find({kind, resource_key(name)});
  return it == registry().end() ? std::string() : it->second.file;
}

bool qm_user_picture_pixels(QmPicture kind, LPCSTR name, QmPixels* out) {
  auto it = registry().find({kind, resource_key(name)});
  CxImage image;
  if (!out || it == registry().end() || !decode(it->second.file, &image)) return false;
  to_pixels(image, it->second.hotspot, out);
  return true;
}

bool qm_user_icon_pixels(HICON icon, QmPixels* out) {
  auto it = icons().images.find(icon);
  if (!out || it == icons().images.end()) return false;
  to_pixels(*it->second, POINT{0, 0}, out);
  return true;
}

bool qm_user_cursor_pixels(HCURSOR cursor, QmPixels* out) {
  const std::string name = qm_user_cursor_name(cursor);
  return !name.empty() && qm_user_picture_pixels(QmPicture::kCursor, name.c_str(), out);
}

HICON LoadIconA(HINSTANCE, LPCSTR name) {
  const std::string key = resource_key(name);
  Icons& all = icons();
  auto known = all.by_name.find(key);
  if (known != all.by_name.end()) return known->second;
  const std::string file = qm_user_picture_file(QmPicture::kIcon, name);
  auto image = std::make_unique<CxImage>();
  if (file.empty() || !decode(file, image.get())) return nullptr;
  HICON h = reinterpret_cast<HICON>(all.next);
  all.next += 4;
  all.by_name.emplace(key, h);
  all.images.emplace(h, std::move(image));
  return h;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
  auto it = icons().images.find(icon);
  if (!dc || it == icons().images.end()) return FALSE;
  return it->second->Draw(dc, x, y) ? TRUE : FALSE;
}

BOOL DestroyIcon(HICON icon) { return icons().images.count(icon) ? TRUE : FALSE; }
