// IMAGE entities: a raster picture placed by its insertion point (the lower
// left corner) and the vectors of one pixel along its width and height,
// read from the file named by its IMAGEDEF object.
//
// A picture is read only from the DXF file's own folder and below: its path
// is tried as written (relative to that folder), then by its last component
// beside the DXF file (drawings made elsewhere name their pictures by paths
// of that machine). Each candidate is resolved through its links, and one
// that lands outside the folder (an absolute path elsewhere, "../" climbing
// out, a link leading out) is not read. Network paths, anything but a
// regular file and files too large are refused. An image whose picture is
// missing or refused becomes its frame, a run of four segments, and the log
// says why.
//
// A picture is decoded once per drawing, however many IMAGEs place it, and
// the images share it. The pictures of one drawing share a budget of
// decoded memory: a picture that would take them past it is left out (its
// images become frames, and the log names it).
#pragma once

#include <dxflib/dl_entities.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "exchange/cadbridge/dxf_record.h"
#include "geometry/as_pt.h"

class CxImage;
class MB_Drawable;
class MB_Image;

class Dxf_Images {
 public:
  // Pictures larger than this are not read.
  static constexpr size_t kMaxPictureBytes = size_t(256) << 20;
  // Decoded pixels the pictures of one drawing may hold together.
  static constexpr size_t kMaxDecodedBytes = size_t(512) << 20;
  // Bytes a decoded pixel takes with its alpha channel.
  static constexpr size_t kDecodedBytesPerPixel = 4;

  // The DXF file's folder, with its final '/' (empty for the current
  // folder), which relative picture names start from.
  void folder(const std::string& f) { folder_ = f; }
  // Decoded pixels, in bytes, this drawing's pictures may hold together
  // (kMaxDecodedBytes unless set).
  void decoded_budget(size_t bytes) { budget_ = bytes; }

  // The entity of an IMAGE record: the image with its picture, or its frame
  // (a line per problem into `problems`); null for a record without a size.
  // `files` holds the picture file of each IMAGEDEF by its handle in
  // capitals.
  MB_Drawable* make(const DL_ImageData& data, const std::map<std::string, std::string>& files,
                    std::vector<std::string>& problems);
  // Turns the picture of an image placed level (as make() places it) to the
  // direction of its record's width vector, the image then covering the
  // turned picture's bounding box, and makes what lies outside the record's
  // clip boundary transparent when its clipping is on (group 280). The
  // image's own copy of the picture this takes counts against the budget:
  // past it the picture stays as placed and a line goes into `problems`.
  void turn_and_clip(MB_Image& image, const Dxf_Record& record, std::vector<std::string>& problems);

 private:
  // The path of a picture file to read, or empty with `why` set.
  std::string locate(const std::string& written, std::string& why) const;
  // The decoded picture of a located file, shared with the images placing
  // it, or null with `why` set.
  std::shared_ptr<CxImage> decode(const std::string& path, std::string& why);

  struct Decoded {
    std::shared_ptr<CxImage> raster;  // null when it was not decoded
    std::string why;                  // then why
  };
  std::string folder_;
  std::map<std::string, Decoded> decoded_;  // by the path read
  size_t decoded_bytes_ = 0;
  size_t budget_ = kMaxDecodedBytes;
};

// The clip boundary of an IMAGE or WIPEOUT record in drawing coordinates,
// the first vertex not repeated at the end: its rectangle (two corners) or
// polygon (boundary type, group 71) of vertices (groups 14, 24) in pixels
// from the picture's top left corner; the picture's frame when it gives
// fewer than two vertices. Empty for a record without a sound size.
std::vector<As_Pt> dxf_clip_boundary(const Dxf_Record& record);
