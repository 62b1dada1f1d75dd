// Fuzz target for the image stand-in's decoders. The first input byte picks
// the format id handed to CxImage::Decode (the unknown id and one no codec
// has included); the rest is the image file. A decoded image must be within
// the size limit with pixel buffers of exactly its size, and must survive
// pixel reads at its corners.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ximage.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

const DWORD kTypes[] = {CXIMAGE_FORMAT_UNKNOWN, CXIMAGE_FORMAT_BMP, CXIMAGE_FORMAT_GIF,
                        CXIMAGE_FORMAT_JPG,     CXIMAGE_FORMAT_PNG, CXIMAGE_FORMAT_ICO,
                        CXIMAGE_FORMAT_TIF,     99};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  DWORD type = kTypes[data[0] % (sizeof kTypes / sizeof kTypes[0])];
  // An exact-size copy, so that a read past the end is caught.
  std::vector<BYTE> bytes(data + 1, data + size);
  CxImage image;
  bool ok = image.Decode(bytes.empty() ? nullptr : bytes.data(), static_cast<DWORD>(bytes.size()), type);
  if (!ok) {
    check(!image.IsValid());
    return 0;
  }
  check(type != CXIMAGE_FORMAT_UNKNOWN && type != 99);
  const QmRaster& r = image.Raster();
  const uint64_t pixels = uint64_t(r.width) * r.height;
  check(r.width > 0 && r.height > 0 && pixels <= QmRaster::kMaxPixels);
  check(r.rgb.size() == pixels * 3);
  check(r.alpha.empty() || r.alpha.size() == pixels);
  long w = static_cast<long>(r.width), h = static_cast<long>(r.height);
  image.GetPixelColor(0, 0);
  image.GetPixelColor(w - 1, h - 1);
  image.AlphaGet(w - 1, 0);
  return 0;
}
