// Fuzz target for the reading of native glyph outline records (the buffer
// GetGlyphOutlineA fills with GGO_NATIVE) into contours and point lists.
// Records that do not fit in the buffer end the reading.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "database/fonts/mb_ttf_library.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that a read past the buffer is caught.
  std::vector<uint8_t> buf(data, data + size);
  MB_TTF_Outline outline;
  check(outline.Create(buf.data(), static_cast<unsigned long>(buf.size())) == 1);
  size_t points = 0;
  for (int i = 0; i < outline.GetContourCount(); ++i) points += outline.GetContour(i).size();
  // Each piece of a record makes three points from at least eight bytes.
  check(points <= size);
  std::vector<std::vector<As_Pt>> sets;
  As_Pt end;
  ttfrender_to_ptsets(outline, sets, end);
  check(std::isfinite(end.x()) && std::isfinite(end.y()) && end.x() >= 0 && end.y() >= 0);
  return 0;
}
