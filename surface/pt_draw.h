// Drawing of the geometry's point containers on a device context or on the
// off-screen surface: points are mapped by the view transform to device
// pixels (mb_device_point) and drawn with the current pen.
#pragma once

#include <windows.h>

class As_Loop;
class As_Pt_List;
class As_Pt_Set;
class As_Pt_Sets;
class As_Tran;
class CMyDC;

// One polyline through all points; nothing for an empty list.
void draw_points(HDC hdc, const As_Pt_List& list, const As_Tran& t);
// One polyline through all points of the set.
void draw_points(HDC hdc, const As_Pt_Set& set, const As_Tran& t);
// On the off-screen surface: one line for two points, else a polyline;
// nothing for fewer than two.
void draw_points(CMyDC& dc, const As_Pt_Set& set, const As_Tran& t);
// Every set in order: a one-point set sets its pixel in the colour of the
// selected pen; a longer one is a polyline, filled with `color` through a
// path when the sets are filled and it closes on the same device point.
void draw_points(HDC hdc, const As_Pt_Sets& sets, const As_Tran& t, long color);
// The loop's closed outline.
void draw_points(HDC hdc, const As_Loop& loop, const As_Tran& t);
