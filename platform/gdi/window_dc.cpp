// Window device contexts: a DC whose bitmap is a fixed, unregistered view of
// pixel memory that the window system owns, so every drawing call reaches
// the window's pixels through the ordinary target surface.
#include "gdi_internal.h"

#include <new>

namespace qmgdi {

namespace {

struct WindowDc : Dc {
  Bitmap pixels;
};

bool aim(WindowDc* dc, void* bits, int width, int height, int stride) {
  if (stride == 0) stride = width * 4;
  if (!bits || width < 0 || height < 0 || width > INT32_MAX / 4 || stride < width * 4 || stride % 4) return false;
  Surface& s = dc->pixels.s;
  if (!make_screen_format(&s, 32)) return false;
  s.bits = static_cast<uint8_t*>(bits);
  s.width = width;
  s.height = height;
  s.stride = stride;
  return true;
}

}  // namespace

}  // namespace qmgdi

using namespace qmgdi;

HDC QmGdiCreateWindowDC(void* bits, int width, int height, int stride) {
  WindowDc* dc = new (std::nothrow) WindowDc;
  if (!dc) return nullptr;
  if (!aim(dc, bits, width, height, stride)) {
    delete dc;
    return nullptr;
  }
  dc->type = OBJ_DC;
  dc->pixels.type = OBJ_BITMAP;
  dc->pixels.owns_bits = false;
  dc->pixels.holder = dc;
  dc->pixels.selections = 1;
  dc->bitmap = &dc->pixels;
  dc->pen = static_cast<Pen*>(GetStockObject(BLACK_PEN));
  dc->brush = static_cast<Brush*>(GetStockObject(WHITE_BRUSH));
  dc->pen->selections++;
  dc->brush->selections++;
  register_object(dc);
  return reinterpret_cast<HDC>(dc);
}

BOOL QmGdiRetargetWindowDC(HDC hdc, void* bits, int width, int height, int stride) {
  Dc* dc = find_dc(hdc);
  if (!dc || dc->type != OBJ_DC) return FALSE;
  return aim(static_cast<WindowDc*>(dc), bits, width, height, stride) ? TRUE : FALSE;
}
