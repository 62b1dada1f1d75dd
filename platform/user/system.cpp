// System metrics and settings of the headless window system: the classic
// scheme at 96 dots per inch, fixed so that layouts are the same on every
// machine; only the screen's size follows the software GDI's virtual
// screen.
#include "platform/user/user_internal.h"

#include <winuser.h>

namespace {

struct Metric {
  int index;
  int value;
};

constexpr Metric kMetrics[] = {
    {SM_CXVSCROLL, 16},  {SM_CYHSCROLL, 16},   {SM_CYCAPTION, 19}, {SM_CXBORDER, 1},     {SM_CYBORDER, 1},
    {SM_CXDLGFRAME, 3},  {SM_CYDLGFRAME, 3},   {SM_CXICON, 32},    {SM_CYICON, 32},      {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32},   {SM_CYMENU, 19},      {SM_CXMIN, 112},    {SM_CYMIN, 27},       {SM_CXSIZE, 18},
    {SM_CYSIZE, 18},     {SM_CXFRAME, 4},      {SM_CYFRAME, 4},    {SM_CXMINTRACK, 112}, {SM_CYMINTRACK, 27},
    {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4},  {SM_CXEDGE, 2},     {SM_CYEDGE, 2},       {SM_CXSMICON, 16},
    {SM_CYSMICON, 16},   {SM_CYSMCAPTION, 15}, {SM_CXSMSIZE, 12},  {SM_CYSMSIZE, 15},    {SM_CXDRAG, 4},
    {SM_CYDRAG, 4},
};

int screen_caps(int index) {
  HDC dc = CreateCompatibleDC(nullptr);
  const int v = dc ? GetDeviceCaps(dc, index) : 0;
  if (dc) DeleteDC(dc);
  return v;
}

}  // namespace

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return screen_caps(HORZRES);
    case SM_CYSCREEN: return screen_caps(VERTRES);
    // The screen less the caption of a maximised window (there is no task bar).
    case SM_CXFULLSCREEN: return screen_caps(HORZRES);
    case SM_CYFULLSCREEN: return screen_caps(VERTRES) - GetSystemMetrics(SM_CYCAPTION);
    default: break;
  }
  for (const Metric& m : kMetrics) {
    if (m.index == index) return m.value;
  }
  return 0;
}

BOOL SystemParametersInfoA(UINT action, UINT, LPVOID param, UINT) {
  switch (action) {
    case SPI_GETDRAGFULLWINDOWS:
    case SPI_GETGRADIENTCAPTIONS:
      if (!param) return FALSE;
      *static_cast<BOOL*>(param) = TRUE;
      return TRUE;
    default: return FALSE;
  }
}
