// GDI objects and device contexts: the handle table, stock objects, pens,
// brushes, selection, deletion, object queries, the DC's drawing state and
// the virtual screen that compatible DCs and bitmaps follow.
//
// Objects live in one table; its size (less the stock objects) is the live
// count that tests read to find leaks. Deleting an object that is still
// selected into a DC fails and keeps the object, so no DC ever points at
// freed memory.
#include "gdi_internal.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

namespace qmgdi {

namespace {

std::unordered_set<Object*>& table() {
  static std::unordered_set<Object*> objects;
  return objects;
}

int& live_count() {
  static int count = 0;
  return count;
}

Screen& mutable_screen() {
  static Screen s;
  return s;
}

// The 1 x 1 monochrome bitmap every new memory DC holds.
struct DefaultBitmap : Bitmap {
  uint32_t pixel = 0;
  DefaultBitmap() {
    type = OBJ_BITMAP;
    stock = true;
    owns_bits = false;
    s.bits = reinterpret_cast<uint8_t*>(&pixel);
    s.width = s.height = 1;
    s.stride = 4;
    s.bpp = 1;
    s.palette_size = 2;
    s.palette[1] = RGBQUAD{255, 255, 255, 0};
    s.finish_format();
  }
};

struct Stock {
  Brush brushes[6];
  Pen pens[3];
  DefaultBitmap bitmap;
  Font font;  // every new DC's font: the default face
  Stock() {
    static const COLORREF kBrush[5] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
    for (int i = 0; i < 6; ++i) {
      brushes[i].type = OBJ_BRUSH;
      brushes[i].stock = true;
      brushes[i].style = i == NULL_BRUSH ? BS_NULL : BS_SOLID;
      brushes[i].color = i < 5 ? kBrush[i] : 0;
    }
    static const COLORREF kPen[3] = {0xFFFFFF, 0x000000, 0x000000};
    for (int i = 0; i < 3; ++i) {
      pens[i].type = OBJ_PEN;
      pens[i].stock = true;
      pens[i].style = i == 2 ? PS_NULL : PS_SOLID;
      pens[i].width = 1;
      pens[i].color = kPen[i];
    }
    for (Brush& b : brushes) table().insert(&b);
    for (Pen& p : pens) table().insert(&p);
    table().insert(&bitmap);
    font.type = OBJ_FONT;
    font.stock = true;
    table().insert(&font);
  }
};

Stock& stock() {
  static Stock s;
  return s;
}

void unselect(Object* o) {
  if (o && o->selections > 0) --o->selections;
}

}  // namespace

Bitmap::~Bitmap() {
  if (owns_bits) std::free(s.bits);
}

void register_object(Object* o) {
  stock();
  table().insert(o);
  ++live_count();
}

void register_stock_object(Object* o) {
  stock();
  o->stock = true;
  table().insert(o);
}

Object* find_object(HGDIOBJ h) {
  stock();
  Object* o = static_cast<Object*>(h);
  return h && table().count(o) ? o : nullptr;
}

Dc* find_dc(HDC h) {
  Object* o = find_object(h);
  return o && (o->type == OBJ_MEMDC || o->type == OBJ_DC) ? static_cast<Dc*>(o) : nullptr;
}

const Screen& screen() { return mutable_screen(); }

}  // namespace qmgdi

using namespace qmgdi;

int QmGdiLiveObjectCount() { return live_count(); }

BOOL QmGdiSetScreen(int width, int height, int bits_per_pixel, int dpi) {
  if (width <= 0 || height <= 0 || dpi <= 0) return FALSE;
  if (bits_per_pixel != 8 && bits_per_pixel != 16 && bits_per_pixel != 24 && bits_per_pixel != 32) return FALSE;
  Screen& s = mutable_screen();
  s.width = width;
  s.height = height;
  s.bpp = bits_per_pixel;
  s.dpi = dpi;
  return TRUE;
}

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !find_dc(hdc)) return nullptr;
  Dc* dc = new (std::nothrow) Dc;
  if (!dc) return nullptr;
  dc->type = OBJ_MEMDC;
  Stock& st = stock();
  dc->bitmap = &st.bitmap;
  dc->pen = &st.pens[BLACK_PEN - WHITE_PEN];
  dc->brush = &st.brushes[WHITE_BRUSH];
  dc->font = &st.font;
  dc->font->selections++;
  dc->bitmap->selections++;
  dc->pen->selections++;
  dc->brush->selections++;
  register_object(dc);
  return reinterpret_cast<HDC>(dc);
}

BOOL DeleteDC(HDC hdc) {
  Dc* dc = find_dc(hdc);
  if (!dc) return FALSE;
  // Objects still selected stay alive: they belong to whoever created them.
  if (dc->bitmap && dc->bitmap->holder == dc) dc->bitmap->holder = nullptr;
  unselect(dc->bitmap);
  unselect(dc->pen);
  unselect(dc->brush);
  unselect(dc->font);
  table().erase(dc);
  --live_count();
  delete dc;
  return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
  Dc* dc = find_dc(hdc);
  if (!dc) return 0;
  if (dc->device_dpi > 0) {
    switch (index) {
      case TECHNOLOGY: return DT_RASPRINTER;
      case HORZSIZE: return static_cast<int>(dc->device_width * 254LL / (dc->device_dpi * 10LL));
      case VERTSIZE: return static_cast<int>(dc->device_height * 254LL / (dc->device_dpi * 10LL));
      case HORZRES:
      case PHYSICALWIDTH: return dc->device_width;
      case VERTRES:
      case PHYSICALHEIGHT: return dc->device_height;
      case LOGPIXELSX:
      case LOGPIXELSY: return dc->device_dpi;
      case PHYSICALOFFSETX:
      case PHYSICALOFFSETY: return 0;
      default: break;
    }
  }
  const Screen& s = screen();
  switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return static_cast<int>(s.width * 254LL / (s.dpi * 10LL));
    case VERTSIZE: return static_cast<int>(s.height * 254LL / (s.dpi * 10LL));
    case HORZRES: return s.width;
    case VERTRES: return s.height;
    case BITSPIXEL: return s.bpp;
    case PLANES: return 1;
    case NUMCOLORS: return s.bpp <= 8 ? 1 << s.bpp : -1;
    case RASTERCAPS: return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHDIB;
    case LOGPIXELSX:
    case LOGPIXELSY: return s.dpi;
    case SIZEPALETTE: return s.bpp <= 8 ? 1 << s.bpp : 0;
    case COLORRES: return s.bpp <= 8 ? 18 : 24;
    default: return 0;
  }
}

HGDIOBJ GetStockObject(int index) {
  Stock& st = stock();
  if (index >= WHITE_BRUSH && index <= NULL_BRUSH) return &st.brushes[index];
  if (index >= WHITE_PEN && index <= NULL_PEN) return &st.pens[index - WHITE_PEN];
  return nullptr;
}

HPEN CreatePen(int style, int width, COLORREF color) {
  Pen* p = new (std::nothrow) Pen;
  if (!p) return nullptr;
  p->type = OBJ_PEN;
  UINT s = static_cast<UINT>(style) & PS_STYLE_MASK;
  // Styles beyond the ones drawn here are drawn solid.
  p->style = s <= PS_INSIDEFRAME ? s : PS_SOLID;
  p->width = width < 0 ? 0 : width;
  p->color = color;
  register_object(p);
  return reinterpret_cast<HPEN>(p);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  Brush* b = new (std::nothrow) Brush;
  if (!b) return nullptr;
  b->type = OBJ_BRUSH;
  b->style = BS_SOLID;
  b->color = color;
  register_object(b);
  return reinterpret_cast<HBRUSH>(b);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  const Bitmap* bm = find<Bitmap>(bitmap, OBJ_BITMAP);
  // A tile is painted pixel by pixel; a larger one is no pattern.
  constexpr int64_t kMaxTile = int64_t(1) << 20;
  if (!bm || bm->s.width <= 0 || bm->s.height <= 0 || int64_t(bm->s.width) * bm->s.height > kMaxTile) return nullptr;
  Brush* b = new (std::nothrow) Brush;
  if (!b) return nullptr;
  b->type = OBJ_BRUSH;
  b->style = BS_PATTERN;
  b->pat_w = bm->s.width;
  b->pat_h = bm->s.height;
  b->pat_mono = bm->s.bpp == 1;
  b->pattern.reserve(static_cast<size_t>(b->pat_w) * b->pat_h);
  for (int y = 0; y < b->pat_h; ++y)
    for (int x = 0; x < b->pat_w; ++x) {
      const uint32_t v = bm->s.get(x, y);
      b->pattern.push_back(b->pat_mono ? (v ? 1u : 0u) : bm->s.to_rgb(v));
    }
  register_object(b);
  return reinterpret_cast<HBRUSH>(b);
}

COLORREF qmgdi::Brush::color_at(const Dc* dc, int64_t x, int64_t y) const {
  if (style != BS_PATTERN || pattern.empty()) return color;
  // Tiles start at the device origin, also left of and above it.
  const int64_t px = ((x % pat_w) + pat_w) % pat_w, py = ((y % pat_h) + pat_h) % pat_h;
  const COLORREF v = pattern[static_cast<size_t>(py * pat_w + px)];
  if (!pat_mono) return v;
  return v ? dc->bk_color : dc->text_color;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  Dc* dc = find_dc(hdc);
  Object* o = find_object(obj);
  if (!dc || !o) return nullptr;
  Object* previous = nullptr;
  switch (o->type) {
    case OBJ_PEN:
      previous = dc->pen;
      dc->pen = static_cast<Pen*>(o);
      break;
    case OBJ_BRUSH:
      previous = dc->brush;
      dc->brush = static_cast<Brush*>(o);
      break;
    case OBJ_FONT:
      previous = dc->font;
      dc->font = static_cast<Font*>(o);
      break;
    case OBJ_BITMAP: {
      Bitmap* b = static_cast<Bitmap*>(o);
      if (b == dc->bitmap) return b;
      if (dc->type != OBJ_MEMDC) return nullptr;  // only memory DCs take bitmaps
      // A bitmap can be selected into one DC at a time.
      if (!b->stock && b->holder) return nullptr;
      previous = dc->bitmap;
      if (dc->bitmap->holder == dc) dc->bitmap->holder = nullptr;
      dc->bitmap = b;
      if (!b->stock) b->holder = dc;
      break;
    }
    default:
      return nullptr;
  }
  unselect(previous);
  o->selections++;
  return previous;
}

BOOL DeleteObject(HGDIOBJ obj) {
  Object* o = find_object(obj);
  if (!o || o->type == OBJ_MEMDC || o->type == OBJ_DC) return FALSE;
  if (o->stock) return TRUE;
  if (o->selections > 0) return FALSE;
  table().erase(o);
  --live_count();
  delete o;
  return TRUE;
}

DWORD GetObjectType(HGDIOBJ obj) {
  Object* o = find_object(obj);
  return o ? o->type : 0;
}

int GetObject(HGDIOBJ obj, int size, LPVOID out) {
  Object* o = find_object(obj);
  if (!o || size < 0) return 0;
  switch (o->type) {
    case OBJ_PEN: {
      const Pen* p = static_cast<Pen*>(o);
      if (!out) return sizeof(LOGPEN);
      if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
      LOGPEN lp;
      lp.lopnStyle = p->style;
      lp.lopnWidth.x = p->width;
      lp.lopnWidth.y = 0;
      lp.lopnColor = p->color;
      std::memcpy(out, &lp, sizeof lp);
      return sizeof(LOGPEN);
    }
    case OBJ_BRUSH: {
      const Brush* b = static_cast<Brush*>(o);
      if (!out) return sizeof(LOGBRUSH);
      if (size < static_cast<int>(sizeof(LOGBRUSH))) return 0;
      LOGBRUSH lb;
      lb.lbStyle = b->style;
      lb.lbColor = b->style == BS_SOLID ? b->color : 0;
      lb.lbHatch = 0;
      std::memcpy(out, &lb, sizeof lb);
      return sizeof(LOGBRUSH);
    }
    case OBJ_BITMAP: {
      const Bitmap* b = static_cast<Bitmap*>(o);
      const bool section = b->dib && size >= static_cast<int>(sizeof(DIBSECTION));
      if (!out) return b->dib ? sizeof(DIBSECTION) : sizeof(BITMAP);
      if (size < static_cast<int>(sizeof(BITMAP))) return 0;
      DIBSECTION ds = {};
      ds.dsBm.bmType = 0;
      ds.dsBm.bmWidth = b->s.width;
      ds.dsBm.bmHeight = b->s.height;
      ds.dsBm.bmWidthBytes = b->s.stride;
      ds.dsBm.bmPlanes = 1;
      ds.dsBm.bmBitsPixel = static_cast<WORD>(b->s.bpp);
      ds.dsBm.bmBits = b->dib ? b->s.bits : nullptr;
      if (!section) {
        std::memcpy(out, &ds.dsBm, sizeof(BITMAP));
        return sizeof(BITMAP);
      }
      ds.dsBmih = b->header;
      for (int i = 0; i < 3; ++i) ds.dsBitfields[i] = b->s.masks[i];
      std::memcpy(out, &ds, sizeof ds);
      return sizeof(DIBSECTION);
    }
    default:
      return 0;
  }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  Dc* dc = find_dc(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->pen;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_BITMAP: return dc->bitmap;
    case OBJ_FONT: return dc->font;
    default: return nullptr;
  }
}

// ---- Drawing state ----

int SetROP2(HDC hdc, int mode) { return set_state(hdc, &Dc::rop2, mode, mode >= R2_BLACK && mode <= R2_WHITE, 0); }
int GetROP2(HDC hdc) { return get_state(hdc, &Dc::rop2, 0); }

int SetBkMode(HDC hdc, int mode) {
  return set_state(hdc, &Dc::bk_mode, mode, mode == TRANSPARENT || mode == OPAQUE, 0);
}
int GetBkMode(HDC hdc) { return get_state(hdc, &Dc::bk_mode, 0); }

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  return set_state<COLORREF>(hdc, &Dc::bk_color, color, true, CLR_INVALID);
}
COLORREF GetBkColor(HDC hdc) { return get_state<COLORREF>(hdc, &Dc::bk_color, CLR_INVALID); }

int SetArcDirection(HDC hdc, int direction) {
  return set_state(hdc, &Dc::arc_dir, direction, direction == AD_COUNTERCLOCKWISE || direction == AD_CLOCKWISE, 0);
}
int GetArcDirection(HDC hdc) { return get_state(hdc, &Dc::arc_dir, 0); }

int SetPolyFillMode(HDC hdc, int mode) {
  return set_state(hdc, &Dc::fill_mode, mode, mode == ALTERNATE || mode == WINDING, 0);
}
int GetPolyFillMode(HDC hdc) { return get_state(hdc, &Dc::fill_mode, 0); }

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT pt) {
  Dc* dc = find_dc(hdc);
  if (!dc || !pt) return FALSE;
  *pt = dc->pos;
  return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT pts, int count) { return find_dc(hdc) && (pts || count <= 0) ? TRUE : FALSE; }

BOOL QmGdiSetPrinterCaps(HDC hdc, int width, int height, int dpi) {
  Dc* dc = find_dc(hdc);
  if (!dc || width <= 0 || height <= 0 || dpi <= 0) return FALSE;
  dc->device_width = width, dc->device_height = height, dc->device_dpi = dpi;
  return TRUE;
}
