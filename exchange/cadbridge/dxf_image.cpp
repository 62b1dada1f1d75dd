// IMAGE entities and their picture files.
#include "exchange/cadbridge/dxf_image.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <utility>

#include "api/api_image.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_lines.h"
#include "exchange/cadbridge/dxf_codes.h"
#include "exchange/cadbridge/dxf_guard.h"
#include "qm_file.h"
#include "ximage.h"

namespace {

bool is_file(const std::string& path, size_t& bytes) {
  struct stat st;
  if (!qm_is_regular_file(path.c_str()) || stat(qm_map_path(path.c_str()).c_str(), &st) != 0) return false;
  bytes = size_t(st.st_size);
  return true;
}

// The path with every link and "." or ".." resolved, or empty when it names
// nothing.
std::string real_path(const std::string& path) {
  char* real = realpath(qm_map_path(path.c_str()).c_str(), nullptr);
  if (!real) return std::string();
  std::string result(real);
  free(real);
  return result;
}

// True when `path` is `folder` or lies below it (both resolved).
bool within(const std::string& path, const std::string& folder) {
  if (folder == "/") return true;
  return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

}  // namespace

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
  // Every candidate is resolved through its links and must land inside the
  // DXF file's own folder: a drawing from elsewhere may not make us read
  // (and later embed) a file it has no business naming.
  const std::string home = real_path(folder_.empty() ? std::string(".") : folder_);
  if (home.empty()) {
    why = "names " + written + ", but the drawing's folder cannot be resolved";
    return std::string();
  }
  std::vector<std::string> tries;
  const bool drive = name.size() > 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
  if (name[0] == '/')
    tries.push_back(name);
  else if (!drive)
    tries.push_back(folder_ + name);
  const size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) tries.push_back(folder_ + name.substr(slash + 1));
  std::string outside;
  for (const std::string& path : tries) {
    struct stat st;
    if (stat(qm_map_path(path.c_str()).c_str(), &st) != 0) continue;
    const std::string real = real_path(path);
    if (real.empty()) continue;
    if (!within(real, home)) {
      if (outside.empty()) outside = real;
      continue;
    }
    size_t bytes = 0;
    if (!is_file(real, bytes)) {
      why = "names " + path + ", which is not a regular file";
      return std::string();
    }
    if (bytes > kMaxPictureBytes) {
      why = "names " + path + ", larger than " + std::to_string(kMaxPictureBytes >> 20) + " MiB";
      return std::string();
    }
    return real;
  }
  if (!outside.empty())
    why = "names " + written + ", which is " + outside + ", outside the drawing's folder " + home + ", and is not read";
  else
    why = "names the picture " + written + ", which is missing";
  return std::string();
}

std::shared_ptr<CxImage> Dxf_Images::decode(const std::string& path, std::string& why) {
  auto found = decoded_.find(path);
  if (found == decoded_.end()) {
    Decoded d;
    const int code = api_mb_image_format_code(path.c_str());
    std::shared_ptr<CxImage> raster(code > 0 ? new CxImage(path.c_str(), static_cast<DWORD>(code)) : nullptr);
    if (!raster || !raster->IsValid()) {
      d.why = "names " + path + ", which does not decode as a picture";
    } else {
      const size_t bytes = raster->Raster().rgb.size() + raster->Raster().alpha.size();
      if (bytes > budget_ - decoded_bytes_) {
        d.why = "names " + path + ", which is left out: decoded, it would take the drawing's pictures past " +
                std::to_string(budget_ >> 20) + " MiB";
      } else {
        decoded_bytes_ += bytes;
        d.raster = std::move(raster);
      }
    }
    found = decoded_.emplace(path, std::move(d)).first;
  }
  why = found->second.why;
  return found->second.raster;
}

MB_Drawable* Dxf_Images::make(const DL_ImageData& d, const std::map<std::string, std::string>& files,
                              std::vector<std::string>& problems) {
  const As_Vec u(d.ux * d.width, d.uy * d.width, 0.0), v(d.vx * d.height, d.vy * d.height, 0.0);
  const double width = u.len(), height = v.len();
  if (!(width > 0.0) || !(height > 0.0) || !std::isfinite(width) || !std::isfinite(height)) return nullptr;
  const As_Pt corner(d.ipx, d.ipy, d.ipz);
  auto it = files.find(dxf_upper(d.ref));
  std::string why = "has no picture definition";
  const std::string path = it == files.end() ? std::string() : locate(it->second, why);
  if (!path.empty()) {
    if (std::shared_ptr<CxImage> raster = decode(path, why)) {
      MB_Image* image = new MB_Image(std::move(raster));
      image->center(corner + (u + v) * 0.5);
      image->width(width);
      image->height(height);
      image->angle(std::atan2(u.y(), u.x()));
      return image;
    }
  }
  problems.push_back("an IMAGE " + why + "; its frame is drawn");
  MB_Lines* frame = new MB_Lines(5);
  const As_Pt corners[5] = {corner, corner + u, corner + u + v, corner + v, corner};
  std::copy(corners, corners + 5, frame->points());
  return frame;
}

namespace {

// The clip vertices (groups 14, 24) as written, in pixels from the
// picture's top left corner.
std::vector<std::pair<double, double>> clip_pairs(const Dxf_Record& r) {
  const std::vector<std::string> xs = r.texts(14), ys = r.texts(24);
  std::vector<std::pair<double, double>> v;
  for (size_t k = 0; k < xs.size() && k < ys.size(); ++k) v.emplace_back(dxf_real(xs[k]), dxf_real(ys[k]));
  return v;
}

}  // namespace

std::vector<As_Pt> dxf_clip_boundary(const Dxf_Record& r) {
  const As_Vec u(r.real(11, 0.0), r.real(21, 0.0), 0.0), v(r.real(12, 0.0), r.real(22, 0.0), 0.0);
  const double columns = r.real(13, 0.0), rows = r.real(23, 0.0);
  if (!(columns > 0.0) || !(rows > 0.0) || !std::isfinite(columns + rows) || !(u.len() > 0.0) || !(v.len() > 0.0)) {
    return {};
  }
  // Pixel centres are whole numbers: the picture spans -0.5 to size - 0.5,
  // rows counted down from its top.
  const As_Pt corner(r.real(10, 0.0), r.real(20, 0.0), r.real(30, 0.0));
  auto at = [&](double px, double py) { return corner + u * (px + 0.5) + v * (rows - 0.5 - py); };
  std::vector<std::pair<double, double>> given = clip_pairs(r);
  if (given.size() < 2) given = {{-0.5, -0.5}, {columns - 0.5, rows - 0.5}};
  std::vector<As_Pt> out;
  if (given.size() == 2) {
    const auto& a = given[0];
    const auto& b = given[1];
    out = {at(a.first, a.second), at(b.first, a.second), at(b.first, b.second), at(a.first, b.second)};
  } else {
    for (const auto& p : given) out.push_back(at(p.first, p.second));
    if (out.size() > 3 && (out.front() - out.back()).len() < 1e-12) out.pop_back();
  }
  // A corner or axes out of range give no place to draw at.
  for (const As_Pt& p : out)
    if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || !std::isfinite(p.z())) return {};
  return out;
}

namespace {

// The vertices of a clip boundary in pixels from the picture's top left
// corner (pixel centres whole), a rectangle's two corners made four.
std::vector<std::pair<double, double>> clip_vertices(const Dxf_Record& r) {
  std::vector<std::pair<double, double>> v = clip_pairs(r);
  if (v.size() == 2) {
    const auto a = v[0], b = v[1];
    v = {a, {b.first, a.second}, b, {a.first, b.second}};
  }
  return v;
}

// Every pixel of the raster whose centre lies outside the polygon (even-odd,
// in the raster's pixels) made transparent, a row at a time.
void clear_outside(CxImage& raster, const std::vector<std::pair<double, double>>& polygon) {
  const long w = long(raster.GetWidth()), h = long(raster.GetHeight());
  std::vector<double> crossings;
  for (long y = 0; y < h; ++y) {
    const double yc = double(y);
    crossings.clear();
    for (size_t k = 0; k < polygon.size(); ++k) {
      const auto& a = polygon[k];
      const auto& b = polygon[(k + 1) % polygon.size()];
      if ((a.second <= yc) == (b.second <= yc)) continue;  // half-open: no double count at a vertex
      crossings.push_back(a.first + (yc - a.second) * (b.first - a.first) / (b.second - a.second));
    }
    std::sort(crossings.begin(), crossings.end());
    size_t next = 0;
    bool inside = false;
    for (long x = 0; x < w; ++x) {
      while (next < crossings.size() && crossings[next] <= double(x)) {
        inside = !inside;
        ++next;
      }
      if (!inside) raster.AlphaSet(x, y, 0);
    }
  }
}

}  // namespace

void Dxf_Images::turn_and_clip(MB_Image& image, const Dxf_Record& r, std::vector<std::string>& problems) {
  const CxImage* shared = image.raster();
  if (!shared || !shared->IsValid()) return;
  const double columns = r.real(13, 0.0), rows = r.real(23, 0.0);
  const std::vector<std::pair<double, double>> clip = clip_vertices(r);
  const bool clipped =
      r.integer(280, 0) != 0 && clip.size() >= 3 && columns > 0.0 && rows > 0.0 && std::isfinite(columns + rows);
  const double turn = std::atan2(r.real(21, 0.0), r.real(11, 0.0));
  const bool turned_at_all = std::isfinite(turn) && std::fabs(turn) >= 1e-9;
  if (!clipped && !turned_at_all) return;
  // The image's own copy of the shared picture (with an alpha channel), and
  // the turned picture beside it while it is made: both within the budget
  // of the drawing's pictures, the copy given back once the turned one
  // replaces it.
  const double pw = double(shared->GetWidth()), ph = double(shared->GetHeight());
  const double copy = pw * ph * double(kDecodedBytesPerPixel);
  const double c = std::fabs(std::cos(turn)), s = std::fabs(std::sin(turn));
  const double turned_bytes =
      turned_at_all ? (pw * c + ph * s + 2.0) * (pw * s + ph * c + 2.0) * double(kDecodedBytesPerPixel) : 0.0;
  if (copy + turned_bytes > double(budget_ - decoded_bytes_)) {
    problems.push_back("an IMAGE of " + std::to_string(shared->GetWidth()) + " x " +
                       std::to_string(shared->GetHeight()) +
                       " pixels is drawn neither clipped nor turned: its own copy would take the drawing's "
                       "pictures past " +
                       std::to_string(budget_ >> 20) + " MiB");
    return;
  }
  decoded_bytes_ += size_t(copy);
  CxImage* raster = image.image();
  if (clipped) {
    // From the record's pixels to the raster's, should the file be of
    // another size than the record says.
    const double sx = double(raster->GetWidth()) / columns, sy = double(raster->GetHeight()) / rows;
    std::vector<std::pair<double, double>> scaled;
    for (const auto& p : clip) scaled.emplace_back((p.first + 0.5) * sx - 0.5, (p.second + 0.5) * sy - 0.5);
    clear_outside(*raster, scaled);
  }
  if (!turned_at_all) return;
  // The corners the turn uncovers stay transparent.
  if (!raster->AlphaIsValid()) raster->AlphaSet(0, 0, raster->AlphaGet(0, 0));
  std::unique_ptr<CxImage> turned(new CxImage);
  if (!raster->Rotate(float(turn / kDxfDegree), turned.get()) || !turned->IsValid()) return;
  decoded_bytes_ += turned->Raster().rgb.size() + turned->Raster().alpha.size();
  decoded_bytes_ -= size_t(copy);
  const double w = image.width(), h = image.height();
  image.image(turned.release());
  image.width(w * c + h * s);
  image.height(w * s + h * c);
  image.angle(0.0);
}
