// The system colours of the classic scheme, fixed so that drawing is the
// same on every machine, and the brushes of those colours, which belong to
// the system (stock objects: DeleteObject leaves them alone).
#include <winuser.h>

#include <new>

#include "gdi_internal.h"

namespace qmgdi {
namespace {

struct SysColor {
  int index;
  COLORREF color;
};

// Only the display elements the programs built here paint with.
constexpr SysColor kColors[] = {
    {COLOR_ACTIVECAPTION, RGB(10, 36, 106)},
    {COLOR_INACTIVECAPTION, RGB(128, 128, 128)},
    {COLOR_MENU, RGB(212, 208, 200)},
    {COLOR_WINDOW, RGB(255, 255, 255)},
    {COLOR_WINDOWFRAME, RGB(0, 0, 0)},
    {COLOR_MENUTEXT, RGB(0, 0, 0)},
    {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
    {COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
    {COLOR_HIGHLIGHT, RGB(10, 36, 106)},
    {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)},
    {COLOR_BTNFACE, RGB(212, 208, 200)},
    {COLOR_BTNSHADOW, RGB(128, 128, 128)},
    {COLOR_GRAYTEXT, RGB(128, 128, 128)},
    {COLOR_BTNTEXT, RGB(0, 0, 0)},
    {COLOR_INACTIVECAPTIONTEXT, RGB(212, 208, 200)},
    {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
    {COLOR_3DDKSHADOW, RGB(64, 64, 64)},
    {COLOR_3DLIGHT, RGB(212, 208, 200)},
    {COLOR_INFOTEXT, RGB(0, 0, 0)},
    {COLOR_INFOBK, RGB(255, 255, 225)},
    {COLOR_GRADIENTACTIVECAPTION, RGB(166, 202, 240)},
    {COLOR_GRADIENTINACTIVECAPTION, RGB(192, 192, 192)},
};
constexpr int kIndexCount = COLOR_GRADIENTINACTIVECAPTION + 1;

const SysColor* find_color(int index) {
  for (const SysColor& c : kColors) {
    if (c.index == index) return &c;
  }
  return nullptr;
}

}  // namespace
}  // namespace qmgdi

using namespace qmgdi;

DWORD GetSysColor(int index) {
  const SysColor* c = find_color(index);
  return c ? c->color : 0;
}

HBRUSH GetSysColorBrush(int index) {
  const SysColor* c = find_color(index);
  if (!c) return nullptr;
  static Brush* brushes[kIndexCount] = {};
  Brush*& b = brushes[index];
  if (!b) {
    b = new (std::nothrow) Brush;
    if (!b) return nullptr;
    b->type = OBJ_BRUSH;
    b->style = BS_SOLID;
    b->color = c->color;
    register_stock_object(b);
  }
  return reinterpret_cast<HBRUSH>(b);
}
