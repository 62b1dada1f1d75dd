// Mapping runs of points to device pixels.
#include "surface/device_point.h"

void mb_device_points(const As_Pt* pts, int n, const As_Tran& t, std::vector<POINT>& out) {
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  for (int i = 0; i < n; ++i) out[i] = mb_device_point(pts[i], t);
}

POINT* mb_device_points(const As_Pt* pts, int n, const As_Tran& t, int extra) {
  // Short runs, most of a drawing's, go to a fixed buffer: no check of the
  // vector's state per call, and one look-up of this thread's storage.
  constexpr size_t kShort = 16;
  thread_local POINT short_run[kShort];
  if (n < 0) n = 0;
  if (extra < 0) extra = 0;
  const size_t need = size_t(n) + size_t(extra);
  POINT* out = short_run;
  if (need > kShort) {
    thread_local std::vector<POINT> buffer;
    if (buffer.size() < need) buffer.resize(need);
    out = buffer.data();
  }
  for (int i = 0; i < n; ++i) out[i] = mb_device_point(pts[i], t);
  return out;
}
