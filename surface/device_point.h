// Drawing points to device pixels: a point is mapped by the view transform
// and truncated toward zero, clamped to the int range. Every drawing path of
// the kernel maps its points here, so the two surfaces (GDI and the
// off-screen CMyDC) light the same pixels.
#pragma once

#include <windows.h>

#include <vector>

#include "geometry/as_pt.h"
#include "geometry/as_tran.h"
#include <qm_raster.h>

// A point already in device coordinates, truncated to a pixel.
inline POINT mb_device_point(const As_Pt& p) { return POINT{qm_trunc_to_int(p.x()), qm_trunc_to_int(p.y())}; }

// A drawing point mapped by the view and truncated to a pixel.
inline POINT mb_device_point(const As_Pt& p, const As_Tran& t) { return mb_device_point(p * t); }

// The points mapped into `out`, which is resized to n (none when n <= 0).
void mb_device_points(const As_Pt* pts, int n, const As_Tran& t, std::vector<POINT>& out);

// The points mapped into a buffer kept for the calling thread, with room for
// `extra` more after them; valid until the next call.
POINT* mb_device_points(const As_Pt* pts, int n, const As_Tran& t, int extra = 0);
