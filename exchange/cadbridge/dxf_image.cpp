// IMAGE entities and their picture files.
#include "exchange/cadbridge/dxf_image.h"

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <memory>

#include "api/api_image.h"
#include "database/entities/mb_image.h"
#include "exchange/cadbridge/dxf_linetype.h"
#include "qm_file.h"
#include "ximage.h"

namespace {

bool is_file(const std::string& path, size_t& bytes) {
  struct stat st;
  if (!qm_is_regular_file(path.c_str()) || stat(qm_map_path(path.c_str()).c_str(), &st) != 0) return false;
  bytes = size_t(st.st_size);
  return true;
}

}  // namespace

MB_Image* Dxf_Images::add(const DL_ImageData& d) {
  const double pw = std::hypot(d.ux, d.uy), ph = std::hypot(d.vx, d.vy);
  const double width = pw * d.width, height = ph * d.height;
  if (!(width > 0.0) || !(height > 0.0) || !std::isfinite(width) || !std::isfinite(height)) return nullptr;
  // The centre: half the picture along each pixel vector from the corner.
  const As_Pt centre(d.ipx + (d.ux * d.width + d.vx * d.height) / 2, d.ipy + (d.uy * d.width + d.vy * d.height) / 2,
                     d.ipz);
  MB_Image* image = new MB_Image;
  image->center(centre);
  image->width(width);
  image->height(height);
  image->angle(std::atan2(d.uy, d.ux));
  pending_.emplace_back(image, dxf_upper(d.ref));
  return image;
}

void Dxf_Images::link(const DL_ImageDefData& d) { files_[dxf_upper(d.ref)] = d.file; }

std::string Dxf_Images::locate(const std::string& written, std::string& why) const {
  std::string name = written;
  for (char& c : name)
    if (c == '\\') c = '/';
  if (name.empty()) {
    why = "names no picture file";
    return std::string();
  }
  if (name.find("://") != std::string::npos || name.compare(0, 2, "//") == 0) {
    why = "names a picture on the network (" + written + "), which is not read";
    return std::string();
  }
  std::vector<std::string> tries;
  if (name[0] == '/') tries.push_back(name);
  const bool drive = name.size() > 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
  if (name[0] != '/' && !drive) tries.push_back(folder_ + name);
  const size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) tries.push_back(folder_ + name.substr(slash + 1));
  for (const std::string& path : tries) {
    struct stat st;
    if (stat(qm_map_path(path.c_str()).c_str(), &st) != 0) continue;
    size_t bytes = 0;
    if (!is_file(path, bytes)) {
      why = "names " + path + ", which is not a regular file";
      return std::string();
    }
    if (bytes > kMaxPictureBytes) {
      why = "names " + path + ", larger than " + std::to_string(kMaxPictureBytes >> 20) + " MiB";
      return std::string();
    }
    return path;
  }
  why = "names the picture " + written + ", which is missing";
  return std::string();
}

void Dxf_Images::finish(std::vector<std::string>& problems) {
  for (const auto& p : pending_) {
    auto it = files_.find(p.second);
    std::string why;
    std::string path;
    if (it == files_.end()) {
      why = "has no picture definition";
    } else {
      path = locate(it->second, why);
    }
    if (!path.empty()) {
      const int code = api_mb_image_format_code(path.c_str());
      std::unique_ptr<CxImage> raster(code > 0 ? new CxImage(path.c_str(), static_cast<DWORD>(code)) : nullptr);
      if (raster && raster->IsValid()) {
        p.first->image(raster.release());
        continue;
      }
      why = "names " + path + ", which does not decode as a picture";
    }
    problems.push_back("an IMAGE " + why + "; its frame is drawn");
  }
  pending_.clear();
}
