// Window device contexts: each window keeps pixels the size of its window
// rectangle, frame included. A client DC (GetDC, BeginPaint) draws on the
// part that is the client area, with its origin there; a window DC
// (GetWindowDC) draws on all of it, with its origin at the window's top-left.
// The screen has a buffer of its own for GetDC(NULL). The pixels follow the
// window when it changes size or its frame changes (the frame keeps what
// both sizes share from the window's corner, the client area from the
// client's) and every DC still handed out is pointed at the new memory. A
// window does not show its children's pixels; qm_user_window_image composes
// them as a screen would show them.
#include "platform/user/user_internal.h"

#include <qm_user.h>
#include <winuser.h>

#include <algorithm>
#include <cstring>

namespace qmuser {

namespace {

// Pixel buffers larger than this are refused (GetDC answers null).
constexpr int64_t kMaxPixels = int64_t(1) << 26;

bool same_rect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Copies the rectangle `from` of the old pixels to `to_x`, `to_y` of the new.
void copy_block(const std::vector<uint32_t>& src, int src_w, int src_h, RECT from, std::vector<uint32_t>& dst,
                int dst_w, int dst_h, int to_x, int to_y) {
  const int cols = std::min<int>({rect_width(from), src_w - from.left, dst_w - to_x});
  const int rows = std::min<int>({rect_height(from), src_h - from.top, dst_h - to_y});
  if (cols <= 0 || rows <= 0 || from.left < 0 || from.top < 0 || to_x < 0 || to_y < 0) return;
  for (int y = 0; y < rows; ++y)
    std::memcpy(&dst[size_t(to_y + y) * size_t(dst_w) + size_t(to_x)],
                &src[size_t(from.top + y) * size_t(src_w) + size_t(from.left)], size_t(cols) * 4);
}

void aim_dcs(Pixels& p) {
  const RECT& c = p.client;
  uint32_t* client_bits = p.data.data() + size_t(c.top) * size_t(p.width) + size_t(c.left);
  for (HDC dc : p.dcs) QmGdiRetargetWindowDC(dc, client_bits, rect_width(c), rect_height(c), p.width * 4);
  for (HDC dc : p.window_dcs) QmGdiRetargetWindowDC(dc, p.data.data(), p.width, p.height);
}

// `client` lies within width x height.
bool size_pixels(Pixels& p, int width, int height, RECT client) {
  if (!p.data.empty() && p.width == width && p.height == height && same_rect(p.client, client)) return true;
  if (int64_t(width) * height > kMaxPixels) return false;
  // Never empty, so that a DC on a window without area has valid memory.
  std::vector<uint32_t> data(std::max<size_t>(1, size_t(width) * size_t(height)), 0);
  if (!p.data.empty()) {
    copy_block(p.data, p.width, p.height, RECT{0, 0, p.width, p.height}, data, width, height, 0, 0);
    // The client area keeps its content where it moved to, as far as both
    // client areas reach.
    RECT from = p.client;
    from.right = std::min(from.right, from.left + rect_width(client));
    from.bottom = std::min(from.bottom, from.top + rect_height(client));
    copy_block(p.data, p.width, p.height, from, data, width, height, client.left, client.top);
  }
  p.data.swap(data);
  p.width = width;
  p.height = height;
  p.client = client;
  aim_dcs(p);
  return true;
}

bool size_window_pixels(Window& w) {
  const RECT client = {w.client.left, w.client.top, w.client.right, w.client.bottom};
  return size_pixels(w.pixels, rect_width(w.rect), rect_height(w.rect), client);
}

HDC take_dc(Pixels& p, bool whole) {
  const RECT& c = whole ? RECT{0, 0, p.width, p.height} : p.client;
  HDC dc = QmGdiCreateWindowDC(p.data.data() + size_t(c.top) * size_t(p.width) + size_t(c.left), rect_width(c),
                               rect_height(c), p.width * 4);
  if (dc) (whole ? p.window_dcs : p.dcs).push_back(dc);
  return dc;
}

HDC take_window_dc(HWND hwnd, bool whole) {
  if (!hwnd) {
    // The screen's size comes from GDI's virtual screen.
    HDC probe = CreateCompatibleDC(nullptr);
    int width = GetDeviceCaps(probe, HORZRES), height = GetDeviceCaps(probe, VERTRES);
    DeleteDC(probe);
    Pixels& s = state().screen;
    if (!size_pixels(s, width, height, RECT{0, 0, width, height})) return nullptr;
    return take_dc(s, false);
  }
  Window* w = find(hwnd);
  if (!w || !size_window_pixels(*w)) return nullptr;
  return take_dc(w->pixels, whole);
}

Pixels* pixels_of(HWND hwnd) {
  if (!hwnd) return &state().screen;
  Window* w = find(hwnd);
  return w ? &w->pixels : nullptr;
}

}  // namespace

void resize_pixels(Window& w) {
  if (!w.pixels.data.empty() && !size_window_pixels(w)) {
    // Too large now: the window's DCs are freed rather than left on old memory.
    release_dcs(w.pixels);
    w.pixels = Pixels();
  }
}

void release_dcs(Pixels& p) {
  for (HDC dc : p.dcs) DeleteDC(dc);
  for (HDC dc : p.window_dcs) DeleteDC(dc);
  p.dcs.clear();
  p.window_dcs.clear();
}

}  // namespace qmuser

using namespace qmuser;

HDC GetDC(HWND hwnd) { return take_window_dc(hwnd, false); }

HDC GetWindowDC(HWND hwnd) { return take_window_dc(hwnd, true); }

int ReleaseDC(HWND hwnd, HDC hdc) {
  Pixels* p = pixels_of(hwnd);
  if (!p || !hdc) return 0;
  for (std::vector<HDC>* list : {&p->dcs, &p->window_dcs}) {
    auto it = std::find(list->begin(), list->end(), hdc);
    if (it == list->end()) continue;
    list->erase(it);
    DeleteDC(hdc);
    return 1;
  }
  return 0;
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

// False when they do not overlap.
bool intersect(RECT* out, const RECT& a, const RECT& b) {
  *out = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return out->left < out->right && out->top < out->bottom;
}

void offset(RECT* r, LONG dx, LONG dy) { r->left += dx, r->right += dx, r->top += dy, r->bottom += dy; }

// The client area of a window in the image whose origin is the screen point
// `origin`.
RECT client_in_image(HWND hwnd, POINT origin) {
  RECT r;
  GetClientRect(hwnd, &r);
  POINT at = {0, 0};
  ClientToScreen(hwnd, &at);
  offset(&r, at.x - origin.x, at.y - origin.y);
  return r;
}

void compose_children(HWND parent, std::vector<uint32_t>& image, int width, int height, POINT origin, RECT clip);

// Draws the pixels of a window (and its children), frame included, into the
// image, whose origin is the screen point `origin`, clipped to `clip` (image
// coordinates) as a screen clips it.
void compose_window(HWND c, std::vector<uint32_t>& image, int width, int height, POINT origin, RECT clip) {
  int cw = 0, ch = 0;
  const uint32_t* px = qm_user_window_pixels(c, &cw, &ch);
  RECT at;
  GetWindowRect(c, &at);
  const int dx = at.left - origin.x, dy = at.top - origin.y;
  RECT inside;
  offset(&at, -origin.x, -origin.y);
  if (!intersect(&inside, at, clip)) return;
  RECT client = client_in_image(c, origin), next;
  // What the window leaves to its parent, in image coordinates.
  std::vector<RECT> holes;
  if (const Window* w = find(c))
    for (RECT h : w->see_through) {
      offset(&h, client.left, client.top);
      holes.push_back(h);
    }
  auto hole = [&](int x, int y) {
    for (const RECT& h : holes)
      if (x >= h.left && x < h.right && y >= h.top && y < h.bottom) return true;
    return false;
  };
  if (px) {
    for (int ty = inside.top; ty < inside.bottom; ++ty) {
      const int y = ty - dy;
      if (y >= ch) break;
      for (int tx = inside.left; tx < inside.right; ++tx) {
        const int x = tx - dx;
        if (x >= cw) break;
        if (!holes.empty() && hole(tx, ty)) continue;
        image[size_t(ty) * size_t(width) + size_t(tx)] = px[size_t(y) * size_t(cw) + size_t(x)];
      }
    }
  }
  if (intersect(&next, client, inside)) compose_children(c, image, width, height, origin, next);
}

// Each visible child of `parent`, clipped to its parent's client area (`clip`).
void compose_children(HWND parent, std::vector<uint32_t>& image, int width, int height, POINT origin, RECT clip) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) compose_window(c, image, width, height, origin, clip);
}

HWND root_of(HWND h) {
  for (Window* w = find(h); w && (w->style & WS_CHILD) && w->parent; w = find(w->parent)) h = w->parent;
  return h;
}

// The pop-ups without a caption (open lists, tips) that the window's
// top-level window owns, over the picture as a screen shows them.
void compose_popups(HWND hwnd, std::vector<uint32_t>& image, int width, int height, POINT origin) {
  const HWND root = root_of(hwnd);
  const RECT all = {0, 0, width, height};
  for (HWND top : state().top_level) {
    const Window* w = find(top);
    if (!w || top == root || !(w->style & WS_VISIBLE) || !(w->style & WS_POPUP) || (w->style & WS_CAPTION) == WS_CAPTION)
      continue;
    // Owned through other such pop-ups only: a dialog's list shows with its dialog.
    HWND owner = w->owner;
    while (owner && owner != root) {
      const Window* o = find(owner);
      owner = o && (o->style & WS_CAPTION) != WS_CAPTION ? o->owner : nullptr;
    }
    if (owner == root) compose_window(top, image, width, height, origin, all);
  }
}

}  // namespace

bool qm_user_window_image(HWND hwnd, std::vector<uint32_t>* image, int* width, int* height) {
  int w = 0, h = 0;
  const uint32_t* px = qm_user_window_pixels(hwnd, &w, &h);
  if (!px || !image) return false;
  image->assign(px, px + size_t(w) * size_t(h));
  RECT at;
  GetWindowRect(hwnd, &at);
  const POINT origin = {at.left, at.top};
  RECT client = client_in_image(hwnd, origin), clip;
  const RECT all = {0, 0, w, h};
  if (intersect(&clip, client, all)) compose_children(hwnd, *image, w, h, origin, clip);
  compose_popups(hwnd, *image, w, h, origin);
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
