// Mapping runs of points to device pixels.
#include "surface/device_point.h"

void mb_device_points(const As_Pt* pts, int n, const As_Tran& t, std::vector<POINT>& out) {
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  for (int i = 0; i < n; ++i) out[i] = mb_device_point(pts[i], t);
}

POINT* mb_device_points(const As_Pt* pts, int n, const As_Tran& t, int extra) {
  thread_local std::vector<POINT> buffer;
  if (n < 0) n = 0;
  if (extra < 0) extra = 0;
  if (buffer.size() < size_t(n) + size_t(extra)) buffer.resize(size_t(n) + size_t(extra));
  for (int i = 0; i < n; ++i) buffer[i] = mb_device_point(pts[i], t);
  return buffer.data();
}
