// IMAGE entities: a raster picture placed by its insertion point (the lower
// left corner) and the vectors of one pixel along its width and height,
// read from the file named by its IMAGEDEF object.
//
// A picture's path is taken as given when it names a file; otherwise,
// relative to the DXF file's folder, first as written, then by its last
// component (drawings made elsewhere name their pictures by paths of that
// machine). Network paths, anything but a regular file and files too large
// are refused. An image whose picture is missing or refused becomes its
// frame, a run of four segments, and the log says why.
#pragma once

#include <dxflib/dl_entities.h>

#include <map>
#include <string>
#include <vector>

#include "exchange/cadbridge/dxf_record.h"
#include "geometry/as_pt.h"

class MB_Drawable;
class MB_Image;

class Dxf_Images {
 public:
  // Pictures larger than this are not read.
  static constexpr size_t kMaxPictureBytes = size_t(256) << 20;

  // The DXF file's folder, with its final '/' (empty for the current
  // folder), which relative picture names start from.
  void folder(const std::string& f) { folder_ = f; }

  // The entity of an IMAGE record: the image with its picture, or its frame
  // (a line per problem into `problems`); null for a record without a size.
  // `files` holds the picture file of each IMAGEDEF by its handle in
  // capitals.
  MB_Drawable* make(const DL_ImageData& data, const std::map<std::string, std::string>& files,
                    std::vector<std::string>& problems) const;

 private:
  // The path of a picture file to read, or empty with `why` set.
  std::string locate(const std::string& written, std::string& why) const;

  std::string folder_;
};

// The clip boundary of an IMAGE or WIPEOUT record in drawing coordinates,
// the first vertex not repeated at the end: its rectangle (two corners) or
// polygon (boundary type, group 71) of vertices (groups 14, 24) in pixels
// from the picture's top left corner; the picture's frame when it gives
// fewer than two vertices. Empty for a record without a sound size.
std::vector<As_Pt> dxf_clip_boundary(const Dxf_Record& record);

// Turns the picture of an image placed level (as Dxf_Images makes it) to
// the direction of its record's width vector, the image then covering the
// turned picture's bounding box, and makes what lies outside the record's
// clip boundary transparent when its clipping is on (group 280).
void dxf_turn_and_clip(MB_Image& image, const Dxf_Record& record);
