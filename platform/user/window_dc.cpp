// Window device contexts: each window keeps pixels the size of its client
// area, drawn on through GDI's window DCs, and the screen has a buffer of
// its own for GetDC(NULL). The pixels follow the client area when it changes
// size (the part both sizes share is kept) and every DC still handed out is
// pointed at the new memory. A window does not show its children's pixels;
// qm_user_window_image composes them as a screen would show them.
#include "platform/user/user_internal.h"

#include <qm_user.h>
#include <winuser.h>

#include <algorithm>
#include <cstring>

namespace qmuser {

namespace {

// Pixel buffers larger than this are refused (GetDC answers null).
constexpr int64_t kMaxPixels = int64_t(1) << 26;

bool size_pixels(Pixels& p, int width, int height) {
  if (!p.data.empty() && p.width == width && p.height == height) return true;
  if (int64_t(width) * height > kMaxPixels) return false;
  // Never empty, so that a DC on a window without area has valid memory.
  std::vector<uint32_t> data(std::max<size_t>(1, size_t(width) * size_t(height)), 0);
  const int cols = std::min(width, p.width), rows = std::min(height, p.height);
  for (int y = 0; y < rows && cols > 0; ++y)
    std::memcpy(&data[size_t(y) * width], &p.data[size_t(y) * p.width], size_t(cols) * 4);
  p.data.swap(data);
  p.width = width;
  p.height = height;
  for (HDC dc : p.dcs) QmGdiRetargetWindowDC(dc, p.data.data(), width, height);
  return true;
}

HDC take_dc(Pixels& p, int width, int height) {
  if (!size_pixels(p, width, height)) return nullptr;
  HDC dc = QmGdiCreateWindowDC(p.data.data(), width, height);
  if (dc) p.dcs.push_back(dc);
  return dc;
}

Pixels* pixels_of(HWND hwnd) {
  if (!hwnd) return &state().screen;
  Window* w = find(hwnd);
  return w ? &w->pixels : nullptr;
}

}  // namespace

void resize_pixels(Window& w) {
  if (!w.pixels.data.empty() && !size_pixels(w.pixels, rect_width(w.client), rect_height(w.client))) {
    // Too large now: the window's DCs are freed rather than left on old memory.
    release_dcs(w.pixels);
    w.pixels = Pixels();
  }
}

void release_dcs(Pixels& p) {
  for (HDC dc : p.dcs) DeleteDC(dc);
  p.dcs.clear();
}

}  // namespace qmuser

using namespace qmuser;

HDC GetDC(HWND hwnd) {
  if (!hwnd) {
    // The screen's size comes from GDI's virtual screen.
    HDC probe = CreateCompatibleDC(nullptr);
    int width = GetDeviceCaps(probe, HORZRES), height = GetDeviceCaps(probe, VERTRES);
    DeleteDC(probe);
    return take_dc(state().screen, width, height);
  }
  Window* w = find(hwnd);
  if (!w) return nullptr;
  return take_dc(w->pixels, rect_width(w->client), rect_height(w->client));
}

int ReleaseDC(HWND hwnd, HDC hdc) {
  Pixels* p = pixels_of(hwnd);
  if (!p || !hdc) return 0;
  auto it = std::find(p->dcs.begin(), p->dcs.end(), hdc);
  if (it == p->dcs.end()) return 0;
  p->dcs.erase(it);
  DeleteDC(hdc);
  return 1;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
  Window* w = find(hwnd);
  if (!w || !ps) return nullptr;
  if (w->frame_update) {
    // The frame owed a repaint is painted before the client.
    w->frame_update = false;
    call_proc(hwnd, WM_NCPAINT, 1, 0);
    if (!(w = find(hwnd))) return nullptr;
  }
  HDC hdc = GetDC(hwnd);
  if (!hdc) return nullptr;
  std::memset(ps, 0, sizeof *ps);
  ps->hdc = hdc;
  ps->rcPaint = w->has_update ? w->update : RECT{0, 0, 0, 0};
  bool erase = w->erase;
  ValidateRect(hwnd, nullptr);
  if (erase) ps->fErase = call_proc(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
  return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (ps) ReleaseDC(hwnd, ps->hdc);
  return TRUE;
}

namespace {

// Draws the pixels of each visible child of `parent` (and theirs) into the
// image, whose origin is the screen point `origin`, each clipped to its
// parent's client area (`clip`, image coordinates) as a screen clips it.
void compose_children(HWND parent, std::vector<uint32_t>& image, int width, int height, POINT origin, RECT clip) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE)) continue;
    int cw = 0, ch = 0;
    const uint32_t* px = qm_user_window_pixels(c, &cw, &ch);
    POINT at = {0, 0};
    ClientToScreen(c, &at);
    const int dx = at.x - origin.x, dy = at.y - origin.y;
    RECT client;
    GetClientRect(c, &client);
    const RECT inside = {std::max<LONG>(clip.left, dx), std::max<LONG>(clip.top, dy),
                         std::min<LONG>(clip.right, dx + client.right), std::min<LONG>(clip.bottom, dy + client.bottom)};
    if (inside.left >= inside.right || inside.top >= inside.bottom) continue;
    if (px) {
      for (int ty = inside.top; ty < inside.bottom; ++ty) {
        const int y = ty - dy;
        if (y >= ch) break;
        for (int tx = inside.left; tx < inside.right; ++tx) {
          const int x = tx - dx;
          if (x >= cw) break;
          image[size_t(ty) * size_t(width) + size_t(tx)] = px[size_t(y) * size_t(cw) + size_t(x)];
        }
      }
    }
    compose_children(c, image, width, height, origin, inside);
  }
}

}  // namespace

bool qm_user_window_image(HWND hwnd, std::vector<uint32_t>* image, int* width, int* height) {
  int w = 0, h = 0;
  const uint32_t* px = qm_user_window_pixels(hwnd, &w, &h);
  if (!px || !image) return false;
  image->assign(px, px + size_t(w) * size_t(h));
  POINT origin = {0, 0};
  ClientToScreen(hwnd, &origin);
  compose_children(hwnd, *image, w, h, origin, RECT{0, 0, w, h});
  if (width) *width = w;
  if (height) *height = h;
  return true;
}

const uint32_t* qm_user_window_pixels(HWND hwnd, int* width, int* height) {
  Window* w = find(hwnd);
  const Pixels* p = w ? &w->pixels : nullptr;
  bool any = p && !p->data.empty();
  if (width) *width = any ? p->width : 0;
  if (height) *height = any ? p->height : 0;
  return any ? p->data.data() : nullptr;
}
