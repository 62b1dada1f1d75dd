// The software GDI: device contexts over memory bitmaps, with the Win32 names,
// structures and constant values. Memory DCs draw into bitmaps laid out as DIBs
// (bottom-up rows unless the height is negative, rows padded to 4 bytes,
// palettes, BI_BITFIELDS masks), so direct writes into a DIB section's bits and
// GDI drawing on the DC that holds it meet in the same memory.
#pragma once

#include <windows.h>

// ---------------------------------------------------------------------------
// Structures
// ---------------------------------------------------------------------------

typedef struct tagRGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER, *LPBITMAPINFOHEADER;

typedef struct tagBITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO, *LPBITMAPINFO;

typedef struct tagBITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
} BITMAP, *LPBITMAP;

typedef struct tagDIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3];
  HANDLE dshSection;
  DWORD dsOffset;
} DIBSECTION;

typedef struct tagLOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;
  COLORREF lopnColor;
} LOGPEN;

typedef struct tagLOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
} LOGBRUSH;

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

#define BI_RGB 0
#define BI_BITFIELDS 3
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1

#define CLR_INVALID 0xFFFFFFFF
#define GDI_ERROR 0xFFFFFFFFu
#define HGDI_ERROR ((HGDIOBJ)(LONG_PTR)-1)

// Object types (GetObjectType, GetCurrentObject).
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_PAL 5
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_MEMDC 10

// Stock objects.
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8

// Pen styles.
#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6
#define PS_STYLE_MASK 0x0000000F

// Brush styles.
#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL

// Mix modes (SetROP2): the pixel becomes a bitwise function of pen P and destination D.
#define R2_BLACK 1        // 0
#define R2_NOTMERGEPEN 2  // ~(P | D)
#define R2_MASKNOTPEN 3   // ~P & D
#define R2_NOTCOPYPEN 4   // ~P
#define R2_MASKPENNOT 5   // P & ~D
#define R2_NOT 6          // ~D
#define R2_XORPEN 7       // P ^ D
#define R2_NOTMASKPEN 8   // ~(P & D)
#define R2_MASKPEN 9      // P & D
#define R2_NOTXORPEN 10   // ~(P ^ D)
#define R2_NOP 11         // D
#define R2_MERGENOTPEN 12 // ~P | D
#define R2_COPYPEN 13     // P
#define R2_MERGEPENNOT 14 // P | ~D
#define R2_MERGEPEN 15    // P | D
#define R2_WHITE 16       // 1

// Background modes.
#define TRANSPARENT 1
#define OPAQUE 2

// Arc directions and polygon fill modes.
#define AD_COUNTERCLOCKWISE 1
#define AD_CLOCKWISE 2
#define ALTERNATE 1
#define WINDING 2

// Raster operations of BitBlt, PatBlt and StretchDIBits.
#define SRCCOPY 0x00CC0020u
#define PATCOPY 0x00F00021u
#define PATINVERT 0x005A0049u
#define DSTINVERT 0x00550009u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

// GetDeviceCaps indices and values.
#define TECHNOLOGY 2
#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define SIZEPALETTE 104
#define COLORRES 108
#define DT_RASDISPLAY 1
#define RC_BITBLT 1
#define RC_DI_BITMAP 0x0080
#define RC_DIBTODEV 0x0200
#define RC_STRETCHDIB 0x2000

// ---------------------------------------------------------------------------
// Device contexts, objects and device capabilities
// ---------------------------------------------------------------------------

HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
int GetDeviceCaps(HDC hdc, int index);

HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
BOOL DeleteObject(HGDIOBJ obj);
int GetObject(HGDIOBJ obj, int size, LPVOID out);
#define GetObjectA GetObject
DWORD GetObjectType(HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);

HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);

int SetROP2(HDC hdc, int mode);
int GetROP2(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetArcDirection(HDC hdc, int direction);
int GetArcDirection(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT pt);

// ---------------------------------------------------------------------------
// Bitmaps
// ---------------------------------------------------------------------------

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage);
int StretchDIBits(HDC hdc, int x_dst, int y_dst, int w_dst, int h_dst, int x_src, int y_src, int w_src, int h_src,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int x_src, int y_src, DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count);
BOOL PolyBezier(HDC hdc, const POINT* points, DWORD count);
BOOL Polygon(HDC hdc, const POINT* points, int count);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int x_start, int y_start, int x_end, int y_end);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);

BOOL BeginPath(HDC hdc);
BOOL EndPath(HDC hdc);
BOOL AbortPath(HDC hdc);
BOOL CloseFigure(HDC hdc);
BOOL StrokePath(HDC hdc);
BOOL FillPath(HDC hdc);
BOOL StrokeAndFillPath(HDC hdc);

// ---------------------------------------------------------------------------
// Controls of the stand-in itself (not Win32): for tests and set-up.
// ---------------------------------------------------------------------------

// Number of GDI objects (DCs, pens, brushes, bitmaps) created and not yet
// deleted; stock objects are not counted.
int QmGdiLiveObjectCount();
// The virtual screen that compatible DCs and bitmaps take their depth and
// metrics from: 1920 x 1080 at 32 bits per pixel and 96 DPI by default.
// Depths other than 8, 16, 24 and 32 are refused (FALSE).
BOOL QmGdiSetScreen(int width, int height, int bits_per_pixel, int dpi);

// For the window system: a device context (OBJ_DC) that draws on pixels the
// caller owns: 32 bits per pixel (0x00RRGGBB), top-down rows of width * 4
// bytes. It takes no bitmap; compatible DCs and bitmaps made from it follow
// the screen. QmGdiRetargetWindowDC points it at other pixels, as after a
// resize. Freed with DeleteDC.
HDC QmGdiCreateWindowDC(void* bits, int width, int height);
BOOL QmGdiRetargetWindowDC(HDC hdc, void* bits, int width, int height);
