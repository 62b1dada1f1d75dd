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

// Text alignment: one horizontal and one vertical choice, optionally with
// the current position.
#define TA_NOUPDATECP 0
#define TA_UPDATECP 1
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24

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
#define DT_RASPRINTER 2
#define PHYSICALWIDTH 110
#define PHYSICALHEIGHT 111
#define PHYSICALOFFSETX 112
#define PHYSICALOFFSETY 113
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
// A brush that tiles a copy of a bitmap (the bitmap may be deleted after).
// Pixels of a monochrome bitmap paint in the DC's text colour (0 bits) and
// background colour (1 bits). FillRect and PatBlt paint with it; shapes
// fill only with solid brushes.
#define BS_PATTERN 3
HBRUSH CreatePatternBrush(HBITMAP bitmap);

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
// Device points to logical points: the same points, as every DC maps
// one logical unit to one pixel.
BOOL DPtoLP(HDC hdc, LPPOINT pts, int count);

// ---------------------------------------------------------------------------
// Bitmaps
// ---------------------------------------------------------------------------

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
// A device-dependent bitmap; only monochrome ones (1 plane, 1 bit per
// pixel) are made here. `bits` holds top-down rows padded to 16 bits (null:
// all 0). A width or height of 0 gives a 1 x 1 monochrome bitmap.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void* bits);
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
// Fonts and glyph outlines (FreeType behind, unhinted outlines)
// ---------------------------------------------------------------------------

// 16.16 fixed point: the fraction in the low word, the integer in the high.
typedef struct _FIXED {
  WORD fract;
  SHORT value;
} FIXED;

typedef struct tagPOINTFX {
  FIXED x;
  FIXED y;
} POINTFX;

typedef struct _MAT2 {
  FIXED eM11;
  FIXED eM12;
  FIXED eM21;
  FIXED eM22;
} MAT2;

typedef struct _GLYPHMETRICS {
  UINT gmBlackBoxX;
  UINT gmBlackBoxY;
  POINT gmptGlyphOrigin;
  SHORT gmCellIncX;
  SHORT gmCellIncY;
} GLYPHMETRICS, *LPGLYPHMETRICS;

// A contour of a native outline: cb bytes in all, this header included,
// then TTPOLYCURVE records up to cb.
typedef struct tagTTPOLYGONHEADER {
  DWORD cb;
  DWORD dwType;
  POINTFX pfxStart;
} TTPOLYGONHEADER, *LPTTPOLYGONHEADER;

typedef struct tagTTPOLYCURVE {
  WORD wType;
  WORD cpfx;
  POINTFX apfx[1];
} TTPOLYCURVE, *LPTTPOLYCURVE;

#define GGO_METRICS 0
#define GGO_NATIVE 2
#define TT_POLYGON_TYPE 24
#define TT_PRIM_LINE 1
#define TT_PRIM_QSPLINE 2
#define TT_PRIM_CSPLINE 3

#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define GB2312_CHARSET 134
#define OUT_DEFAULT_PRECIS 0
#define OUT_STROKE_PRECIS 3
#define CLIP_DEFAULT_PRECIS 0
#define CLIP_STROKE_PRECIS 2
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
#define FR_PRIVATE 0x10
#define LF_FACESIZE 32

// A font of a face name (8-bit GBK text). The face resolves to a file: a
// file added with AddFontResourceExA whose family has that name (ignoring
// case), else an installed font of that family (fontconfig), else the
// stand-in for the face: Arial to Liberation Sans, Song, SimSun and other
// CJK faces to WenQuanYi Micro Hei, any other face to DejaVu Sans (or what
// fontconfig offers in their place). A positive height is the cell height
// (ascent plus descent) in pixels, a negative one the em height, 0 gives 16.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strike_out, DWORD charset, DWORD out_precision,
                  DWORD clip_precision, DWORD quality, DWORD pitch_and_family, LPCSTR face);
#define LF_FACESIZE 32
typedef struct tagLOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
} LOGFONTA, *LPLOGFONTA;
// CreateFontA with the fields of the structure (a face name without its NUL
// is cut at LF_FACESIZE characters).
HFONT CreateFontIndirectA(const LOGFONTA* lf);
// Makes the faces of a font file known to CreateFontA; the number of faces
// added (0 when the file is no font).
int AddFontResourceExA(LPCSTR path, DWORD flags, LPVOID reserved);
BOOL RemoveFontResourceExA(LPCSTR path, DWORD flags, LPVOID reserved);
// The outline of a character of the selected font. `code` is a character of
// the 8-bit code page (a byte, or a GBK double-byte code with the lead byte
// high); codes above 0xFF that are no GBK code are taken as Unicode code
// points. GGO_NATIVE fills TTPOLYGONHEADER and TTPOLYCURVE records
// (TT_PRIM_LINE, TT_PRIM_QSPLINE with implied on-curve midpoints, and
// TT_PRIM_CSPLINE for cubic outlines), y up; GGO_METRICS fills only the
// metrics. With no buffer or a size of 0 the size needed is returned. The
// matrix is taken as the identity. GDI_ERROR for a character the font does
// not have, no font selected, an unknown format or a buffer too small.
DWORD GetGlyphOutlineA(HDC hdc, UINT code, UINT format, LPGLYPHMETRICS metrics, DWORD size, LPVOID buffer,
                       const MAT2* matrix);
// The same for a Unicode code point. Both take a character the font lacks
// from an installed face that has it, at the same em size.
DWORD GetGlyphOutlineW(HDC hdc, UINT code, UINT format, LPGLYPHMETRICS metrics, DWORD size, LPVOID buffer,
                       const MAT2* matrix);

// Text output with the selected font: monochrome glyphs in the text colour,
// placed by the alignment at (x, y) (or at the current position with
// TA_UPDATECP, which then moves past the text). The 8-bit string is GBK; a
// lead byte without its trail byte inside `length` is a bad character. In
// OPAQUE mode the text cell is filled with the background colour first.
// Nothing is drawn for a null string or a length of 0 or less (TRUE);
// FALSE for a bad DC, a DC without a bitmap, or a font too large to render.
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length);
// TextOutA with options: ETO_OPAQUE fills the rectangle with the background
// colour first, ETO_CLIPPED keeps the text inside it. Per-character
// advances (dx) are not supported: FALSE unless null, as for other options.
#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length, const INT* dx);
// The size of a line of text with the selected font: its advance and the
// cell height (ascent plus descent).
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, LPSIZE size);
typedef struct tagTEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
} TEXTMETRICA, *LPTEXTMETRICA;
// tmPitchAndFamily bits (TMPF_FIXED_PITCH set means a variable pitch).
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04
BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA tm);

// The font families the GDI knows: those of files added with
// AddFontResourceExA and the installed outline fonts (fontconfig). With a
// null family the callback is called once per family, in name order; with
// a family name (compared without case), once per style of that family and
// not at all when there is none. The answer is the callback's last answer
// (enumeration stops when it answers 0), or 1 when it was never called.
#define RASTER_FONTTYPE 0x0001
#define DEVICE_FONTTYPE 0x0002
#define TRUETYPE_FONTTYPE 0x0004
typedef int (*FONTENUMPROCA)(const LOGFONTA* lf, const TEXTMETRICA* tm, DWORD font_type, LPARAM data);
int EnumFontFamiliesA(HDC hdc, LPCSTR family, FONTENUMPROCA proc, LPARAM data);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
// The previous alignment; GDI_ERROR for a bad DC or unknown bits.
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);

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
// The system's fonts folder: the path of an installed font file named
// `file_name` (ignoring case, no folder), copied into `path`; its length,
// or 0 when no installed font has that name or it does not fit `size`.
DWORD QmGdiFindFontFile(LPCSTR file_name, LPSTR path, DWORD size);

// For the window system: a device context (OBJ_DC) that draws on pixels the
// caller owns: 32 bits per pixel (0x00RRGGBB), top-down rows `stride` bytes
// apart (0: width * 4), so a DC may draw on a part of a larger image, as a
// client DC on the window's pixels does. It takes no bitmap; compatible DCs and bitmaps made from it follow
// the screen. QmGdiRetargetWindowDC points it at other pixels, as after a
// resize. Freed with DeleteDC.
// Makes a DC answer GetDeviceCaps as a printer's page of width x height
// pixels at dpi dots per inch.
BOOL QmGdiSetPrinterCaps(HDC hdc, int width, int height, int dpi);
HDC QmGdiCreateWindowDC(void* bits, int width, int height, int stride = 0);
BOOL QmGdiRetargetWindowDC(HDC hdc, void* bits, int width, int height, int stride = 0);

// ---- Printing (implemented by qmprint) ----
// The printer is a stand-in: a page of the size and resolution set with
// qm_print_set_printer; each page is drawn on a page bitmap through the DC,
// and a job with an output file is written as a PDF when it ends.
typedef BOOL (*ABORTPROC)(HDC, int);
typedef struct _DOCINFOA {
  int cbSize;
  LPCSTR lpszDocName;
  LPCSTR lpszOutput;
  LPCSTR lpszDatatype;
  DWORD fwType;
} DOCINFOA, *LPDOCINFOA;
#define SP_ERROR (-1)
#define SP_APPABORT (-2)
#define SP_USERABORT (-3)
// A DC on the stand-in printer (driver and device names are not checked).
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode);
int StartDocA(HDC hdc, const DOCINFOA* info);
int StartPage(HDC hdc);
int EndPage(HDC hdc);
int EndDoc(HDC hdc);
int AbortDoc(HDC hdc);
int SetAbortProc(HDC hdc, ABORTPROC proc);
