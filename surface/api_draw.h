// Small shapes drawn straight onto a device context with its current pen and
// brush: point markers, rectangles, triangles, ellipses and elliptical arcs,
// and the circle used by the geometry code. Coordinates are device pixels
// (doubles truncated toward zero, clamped to the int range); nothing is
// selected into the DC and nothing is reported.
#pragma once

#include <windows.h>

#include "geometry/as_pt.h"
#include "geometry/as_tran.h"

// Marks a device point with a blue cross of five pixels: the point (truncated
// toward zero) and its four neighbours.
void api_mb_draw_point(HDC hdc, As_Pt pos);
// Marker at a point: style 0 square, 1 circle, 2 plus, 3 cross, reaching
// `size` pixels from the point; filled or outlined.
void api_mb_draw_point(HDC hdc, As_Pt pos, int style, int size, int filled);
// Outline (or stroked and filled path) of the axis-parallel rectangle of two corners.
void api_mb_draw_rect(HDC hdc, As_Pt corner1, As_Pt corner2, double unused, int filled);
// Triangle of three points: a filled polygon or a closed polyline.
void api_mb_draw_triangle(HDC hdc, As_Pt p1, As_Pt p2, As_Pt p3, int filled);
// Full ellipse as four cubic Beziers, rotated by `rotation` radians.
void api_mb_draw_ellipse(HDC hdc, As_Pt centre, double radius_x, double radius_y, double rotation, int filled);
// Elliptical arc from `start` to `end` (radians) as a 64-point polyline;
// equal angles draw the full, unfilled ellipse.
void api_mb_draw_ellipse(HDC hdc, As_Pt centre, double radius_x, double radius_y, double start, double end,
                         double rotation);
// Elliptical arc in drawing coordinates, mapped to the device by `transform`:
// from `start` to `end` (radians; start > end runs across angle 0) in steps
// of 2 pi / 99, at most one full turn.
void api_mb_draw_ellipse_ex(HDC hdc, As_Pt centre, double radius_x, double radius_y, double rotation, double start,
                            double end, As_Tran transform);
// Circle of `radius` about (x, y): GDI Ellipse when filled, else a full Arc.
void draw_gdi_circle(HDC hdc, double x, double y, double radius, int filled);
