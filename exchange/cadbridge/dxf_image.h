// IMAGE entities: a raster picture placed by its insertion point (the lower
// left corner) and the vectors of one pixel along its width and height. The
// picture file is named by the IMAGEDEF object, which the file lists after
// the entities: images are placed as they are read and their pictures
// loaded once the whole file is read.
//
// A picture's path is taken as given when it names a file; otherwise,
// relative to the DXF file's folder, first as written, then by its last
// component (drawings made elsewhere name their pictures by paths of that
// machine). Network paths and anything but a regular file are refused. An
// image whose picture is missing or refused keeps no raster and draws its
// frame; the log says why.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <dxflib/dl_entities.h>

class MB_Image;

class Dxf_Images {
 public:
  // Pictures larger than this are not read.
  static constexpr size_t kMaxPictureBytes = size_t(256) << 20;

  // The DXF file's folder, with its final '/' (empty for the current
  // folder), which relative picture names start from.
  void folder(const std::string& f) { folder_ = f; }

  // A new image entity of the record, without its picture yet; null for a
  // record without a size.
  MB_Image* add(const DL_ImageData& data);
  void link(const DL_ImageDefData& data);
  // Gives every image its picture; a line per problem into `problems`.
  void finish(std::vector<std::string>& problems);

 private:
  // The path of a picture file to read, or empty with `why` set.
  std::string locate(const std::string& written, std::string& why) const;

  std::string folder_;
  std::vector<std::pair<MB_Image*, std::string>> pending_;  // image, IMAGEDEF handle
  std::map<std::string, std::string> files_;                // handle, file name
};
