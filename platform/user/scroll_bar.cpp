// Scroll bars: scroll-bar controls (SB_CTL) and the bars of windows made
// with WS_HSCROLL or WS_VSCROLL, drawn and driven alike. A bar has an arrow
// at each end, a track between them and a thumb in the track, as long as the
// page is of the whole range (a square without a page).
//
// A bar only tells its owner what the user does, as WM_HSCROLL/WM_VSCROLL
// codes (the owner moves the position): an arrow held sends SB_LINEUP or
// SB_LINEDOWN, the track beside the thumb SB_PAGEUP or SB_PAGEDOWN, repeated
// on a timer while the button stays down; dragging the thumb sends
// SB_THUMBTRACK with the position under the pointer and SB_THUMBPOSITION
// where it is let go; every press ends with SB_ENDSCROLL, also when the
// capture is taken away. A notch of the wheel over a scroll-bar control is
// one line. A control's bar tells its parent (lParam the control); a
// window's bar tells the window (lParam 0). A window's bar steps aside (its
// room goes to the client area) while its range leaves nothing to scroll,
// unless SIF_DISABLENOSCROLL keeps it, disabled.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

enum class Part { kNone, kLineBack, kPageBack, kThumb, kPageForward, kLineForward };

// The system's delays: before a held arrow repeats, and between repeats.
constexpr UINT kFirstRepeatMs = 400;
constexpr UINT kRepeatMs = 50;
constexpr UINT_PTR kRepeatTimer = 1;
constexpr LONG kMinThumb = 8;
constexpr const char* kTrackerClass = "QmScrollTracker";

// How far the position can go above the minimum: a page shows the last
// page - 1 positions with it.
int travel(const ScrollState& r) { return std::max(0, r.max - r.min - std::max(r.page - 1, 0)); }

int clamp_pos(const ScrollState& r, int pos) { return std::min(std::max(pos, r.min), r.min + travel(r)); }

struct Geometry {
  RECT back, forward, track, thumb;
  bool has_thumb = false;
};

// Where the parts of a bar lie; the thumb is placed at `pos`.
Geometry geometry(const RECT& bar, bool vertical, const ScrollState& r, int pos) {
  Geometry g;
  const LONG start = vertical ? bar.top : bar.left, end = vertical ? bar.bottom : bar.right;
  const LONG across = vertical ? rect_width(bar) : rect_height(bar);
  const LONG arrow = std::max<LONG>(0, std::min<LONG>(across, (end - start) / 2));
  auto span = [&](LONG a, LONG b) { return vertical ? RECT{bar.left, a, bar.right, b} : RECT{a, bar.top, b, bar.bottom}; };
  g.back = span(start, start + arrow);
  g.forward = span(end - arrow, end);
  g.track = span(start + arrow, end - arrow);
  const LONG track = end - start - 2 * arrow;
  const int64_t span_of_range = int64_t(r.max) - r.min + 1;
  LONG thumb = arrow;
  if (r.page > 0 && span_of_range > 0)
    thumb = static_cast<LONG>(std::max<int64_t>(kMinThumb, int64_t(track) * r.page / span_of_range));
  g.has_thumb = travel(r) > 0 && thumb < track;
  if (!g.has_thumb) {
    g.thumb = span(start + arrow, start + arrow);
    return g;
  }
  const LONG offset = static_cast<LONG>(int64_t(track - thumb) * (clamp_pos(r, pos) - r.min) / travel(r));
  g.thumb = span(start + arrow + offset, start + arrow + offset + thumb);
  return g;
}

Part part_at(const Geometry& g, POINT p, bool vertical) {
  if (contains(g.back, p)) return Part::kLineBack;
  if (contains(g.forward, p)) return Part::kLineForward;
  if (!g.has_thumb || !contains(g.track, p)) return Part::kNone;
  if (contains(g.thumb, p)) return Part::kThumb;
  const LONG along = vertical ? p.y : p.x, thumb_start = vertical ? g.thumb.top : g.thumb.left;
  return along < thumb_start ? Part::kPageBack : Part::kPageForward;
}

// The classic arrow button: raised, flat in shadow while held, with a
// triangle pointing out of the bar (grey when there is nothing to scroll).
void paint_arrow(HDC dc, RECT r, bool vertical, bool forward, bool pressed, bool enabled) {
  fill_color(dc, r, COLOR_BTNFACE);
  if (rect_width(r) <= 0 || rect_height(r) <= 0) return;
  if (pressed) {
    frame(dc, r, COLOR_BTNSHADOW);
  } else {
    RECT edge = r;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
  }
  const LONG shift = pressed ? 1 : 0;
  const LONG cx = (r.left + r.right) / 2 + shift, cy = (r.top + r.bottom) / 2 + shift;
  // Rows of the triangle: four on the usual 16 pixels.
  const LONG size = std::max<LONG>(1, (std::min(rect_width(r), rect_height(r)) - 4) / 3);
  const int ink = enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT;
  for (LONG d = 0; d < size; ++d) {
    // Row d from the point: 2d + 1 pixels wide.
    const LONG at = forward ? (size / 2 - d) : (d - size / 2);
    if (vertical)
      fill_color(dc, {cx - d, cy + at, cx + d + 1, cy + at + 1}, ink);
    else
      fill_color(dc, {cx + at, cy - d, cx + at + 1, cy + d + 1}, ink);
  }
}

// The track: the classic checker of highlight and face; the part held down
// in the dark shadow.
void paint_track(HDC dc, const RECT& r, bool held) {
  if (rect_width(r) <= 0 || rect_height(r) <= 0) return;
  if (held) {
    fill_color(dc, r, COLOR_3DDKSHADOW);
    return;
  }
  fill_color(dc, r, COLOR_BTNFACE);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  // Checked on the bar's own grid, so the track's pieces either side of
  // the thumb match.
  for (LONG y = r.top; y < r.bottom; ++y)
    for (LONG x = r.left + ((r.left + y) & 1); x < r.right; x += 2) SetPixel(dc, x, y, light);
}

void paint_bar(HDC dc, const RECT& bar, bool vertical, const ScrollState& r, int pos, bool enabled, Part held) {
  const Geometry g = geometry(bar, vertical, r, pos);
  const bool live = enabled && travel(r) > 0;
  paint_arrow(dc, g.back, vertical, false, held == Part::kLineBack, live);
  paint_arrow(dc, g.forward, vertical, true, held == Part::kLineForward, live);
  if (!g.has_thumb) {
    paint_track(dc, g.track, false);
    return;
  }
  RECT before = g.track, after = g.track;
  if (vertical)
    before.bottom = g.thumb.top, after.top = g.thumb.bottom;
  else
    before.right = g.thumb.left, after.left = g.thumb.right;
  paint_track(dc, before, held == Part::kPageBack);
  paint_track(dc, after, held == Part::kPageForward);
  RECT thumb = g.thumb;
  fill_color(dc, thumb, COLOR_BTNFACE);
  DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
}

// ---- The bars of windows ----

int bar_index(int bar) { return bar == SB_VERT ? 1 : 0; }

bool has_bar(const Window& w, int bar) {
  return (w.style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) && !w.scroll[bar_index(bar)].hidden;
}

// A window's bar in its window coordinates; empty when it has none.
RECT window_bar_rect(const Window& w, int bar) {
  const RECT& c = w.client;
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  if (bar == SB_VERT && has_bar(w, bar)) return RECT{c.right, c.top, c.right + cx, c.bottom};
  if (bar == SB_HORZ && has_bar(w, bar)) return RECT{c.left, c.bottom, c.right, c.bottom + cy};
  return RECT{0, 0, 0, 0};
}

// The range and position of a bar, and whether the window has it.
bool read_state(HWND h, int bar, ScrollState& out) {
  if (bar == SB_CTL) {
    const Control* c = control(h);
    if (!c || c->kind != Kind::kScrollBar) return false;
    out = {c->lo, c->hi, c->page, c->pos};
    return true;
  }
  Window* w = find(h);
  if (!w || (bar != SB_VERT && bar != SB_HORZ)) return false;
  out = w->scroll[bar_index(bar)];
  return true;
}

void write_state(HWND h, int bar, const ScrollState& s, bool redraw) {
  if (bar == SB_CTL) {
    if (Control* c = control(h)) {
      c->lo = s.min, c->hi = s.max, c->page = s.page, c->pos = s.pos;
      if (redraw) InvalidateRect(h, nullptr, FALSE);
    }
    return;
  }
  if (Window* w = find(h)) {
    ScrollState& now = w->scroll[bar_index(bar)];
    const bool was_hidden = now.hidden;
    now = s;
    if (now.hidden != was_hidden) {
      // The bar comes or goes: the client area follows.
      SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    }
    if (redraw && has_bar(*w, bar) && IsWindowVisible(h)) {
      HDC dc = GetWindowDC(h);
      if (dc) {
        paint_scroll_bars(h, dc);
        ReleaseDC(h, dc);
      }
    }
  }
}

// ---- Tracking a press: one at a time, as there is one mouse ----

struct Track {
  HWND window = nullptr;   // the control, or the window whose bar it is
  int bar = SB_CTL;
  Part part = Part::kNone;
  HWND tracker = nullptr;  // holds the capture and the repeat timer
  int track_pos = 0;       // where a dragged thumb is
  LONG grab = 0;           // how far into the thumb it was taken
  POINT at = {0, 0};       // the pointer, screen coordinates
  bool over = true;        // the pointer is over the part held
  HWND had_capture = nullptr;  // given the mouse back at the end (an open list)
};

Track& track() {
  static Track t;
  return t;
}

bool vertical_bar(HWND h, int bar) {
  return bar == SB_CTL ? (style_of(h) & SBS_VERT) != 0 : bar == SB_VERT;
}

// The bar's rectangle on the screen.
bool bar_on_screen(HWND h, int bar, RECT& out) {
  if (bar == SB_CTL) {
    if (!GetClientRect(h, &out)) return false;
    POINT o = {0, 0};
    ClientToScreen(h, &o);
    out = {out.left + o.x, out.top + o.y, out.right + o.x, out.bottom + o.y};
    return true;
  }
  Window* w = find(h);
  if (!w) return false;
  RECT wr;
  GetWindowRect(h, &wr);
  const RECT r = window_bar_rect(*w, bar);
  out = {r.left + wr.left, r.top + wr.top, r.right + wr.left, r.bottom + wr.top};
  return rect_width(out) > 0 && rect_height(out) > 0;
}

void tell(HWND h, int bar, int code, int pos) {
  const UINT msg = vertical_bar(h, bar) ? WM_VSCROLL : WM_HSCROLL;
  const WPARAM w = MAKEWPARAM(code, static_cast<WORD>(pos));
  if (bar == SB_CTL) {
    if (HWND parent = GetParent(h)) SendMessageA(parent, msg, w, reinterpret_cast<LPARAM>(h));
  } else {
    SendMessageA(h, msg, w, 0);
  }
}

void redraw(HWND h, int bar) {
  if (bar == SB_CTL) {
    InvalidateRect(h, nullptr, FALSE);
    UpdateWindow(h);
  } else if (HDC dc = GetWindowDC(h)) {
    paint_scroll_bars(h, dc);
    ReleaseDC(h, dc);
  }
}

// Shows the press as it is now, unless the bar went meanwhile.
void redraw_tracked() {
  const Track& t = track();
  if (t.window && IsWindow(t.window)) redraw(t.window, t.bar);
}

int code_of(Part p) {
  switch (p) {
    case Part::kLineBack: return SB_LINEUP;
    case Part::kLineForward: return SB_LINEDOWN;
    case Part::kPageBack: return SB_PAGEUP;
    case Part::kPageForward: return SB_PAGEDOWN;
    default: return SB_ENDSCROLL;
  }
}

// The part under the pointer now, on the bar as it is now.
Part part_under_pointer() {
  const Track& t = track();
  RECT bar;
  ScrollState s;
  if (!bar_on_screen(t.window, t.bar, bar) || !read_state(t.window, t.bar, s)) return Part::kNone;
  const bool vertical = vertical_bar(t.window, t.bar);
  return part_at(geometry(bar, vertical, s, s.pos), t.at, vertical);
}

// Ends the press: the tracker goes, SB_ENDSCROLL is said (after
// SB_THUMBPOSITION when the thumb was let go on purpose).
void end_track(bool released) {
  Track t = track();
  track() = Track();
  if (t.tracker) {
    KillTimer(t.tracker, kRepeatTimer);
    if (GetCapture() == t.tracker) {
      if (IsWindow(t.had_capture) && IsWindowVisible(t.had_capture))
        SetCapture(t.had_capture);
      else
        ReleaseCapture();
    }
    DestroyWindow(t.tracker);
  }
  if (!IsWindow(t.window)) return;
  if (t.part == Part::kThumb && released) tell(t.window, t.bar, SB_THUMBPOSITION, t.track_pos);
  if (!IsWindow(t.window)) return;
  tell(t.window, t.bar, SB_ENDSCROLL, 0);
  if (IsWindow(t.window)) redraw(t.window, t.bar);  // without the press
}

void track_move(POINT screen) {
  Track& t = track();
  t.at = screen;
  if (t.part != Part::kThumb) {
    const bool over = part_under_pointer() == t.part;
    if (over != t.over) t.over = over, redraw_tracked();
    return;
  }
  RECT bar;
  ScrollState s;
  if (!bar_on_screen(t.window, t.bar, bar) || !read_state(t.window, t.bar, s)) return;
  const bool vertical = vertical_bar(t.window, t.bar);
  const Geometry g = geometry(bar, vertical, s, s.pos);
  const LONG thumb = vertical ? rect_height(g.thumb) : rect_width(g.thumb);
  const LONG room = (vertical ? rect_height(g.track) : rect_width(g.track)) - thumb;
  const LONG start = (vertical ? screen.y - g.track.top : screen.x - g.track.left) - t.grab;
  const int pos = room <= 0 ? s.min
                            : clamp_pos(s, s.min + static_cast<int>((int64_t(std::min(std::max<LONG>(start, 0), room)) *
                                                                         travel(s) + room / 2) /
                                                                        room));
  if (pos == t.track_pos) return;
  t.track_pos = pos;
  tell(t.window, t.bar, SB_THUMBTRACK, pos);
  redraw_tracked();
}

// A held arrow repeats while the pointer is over it; a held track while the
// thumb has not reached the pointer.
void track_repeat() {
  Track& t = track();
  KillTimer(t.tracker, kRepeatTimer);
  SetTimer(t.tracker, kRepeatTimer, kRepeatMs, nullptr);
  if (t.part == Part::kThumb || part_under_pointer() != t.part) return;
  tell(t.window, t.bar, code_of(t.part), 0);
  redraw_tracked();
}

LRESULT tracker_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  Track& t = track();
  if (t.tracker != h) return DefWindowProcA(h, msg, w, l);
  switch (msg) {
    case WM_MOUSEMOVE: {
      // The tracker's client area starts at the screen's origin.
      POINT p = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ClientToScreen(h, &p);
      track_move(p);
      return 0;
    }
    case WM_LBUTTONUP: end_track(true); return 0;
    case WM_TIMER: track_repeat(); return 0;
    case WM_CAPTURECHANGED:
      // Taken away (a dialog, another window): the press ends where it is.
      if (reinterpret_cast<HWND>(l) != h) end_track(false);
      return 0;
    case WM_DESTROY:
      // Destroyed by someone else (the window system's reset): the press is over.
      track() = Track();
      return 0;
    default: return DefWindowProcA(h, msg, w, l);
  }
}

HWND make_tracker() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = tracker_proc;
  wc.lpszClassName = kTrackerClass;
  RegisterClassA(&wc);  // there already after the first press
  return CreateWindowExA(0, kTrackerClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

void start_track(HWND h, int bar, POINT screen) {
  if (track().window) end_track(false);
  RECT r;
  ScrollState s;
  if (!bar_on_screen(h, bar, r) || !read_state(h, bar, s)) return;
  const bool vertical = vertical_bar(h, bar);
  const Geometry g = geometry(r, vertical, s, s.pos);
  const Part part = part_at(g, screen, vertical);
  if (part == Part::kNone) return;
  HWND tracker = make_tracker();
  if (!tracker) return;
  Track& t = track();
  t = Track();
  t.window = h, t.bar = bar, t.part = part, t.tracker = tracker, t.at = screen, t.track_pos = s.pos;
  t.grab = vertical ? screen.y - g.thumb.top : screen.x - g.thumb.left;
  t.had_capture = GetCapture();
  SetCapture(tracker);
  if (part != Part::kThumb) {
    SetTimer(tracker, kRepeatTimer, kFirstRepeatMs, nullptr);
    tell(h, bar, code_of(part), 0);
  }
  redraw_tracked();
}

// The part shown held: only while the pointer is over it.
Part held_part(HWND h, int bar) {
  const Track& t = track();
  return t.window == h && t.bar == bar && t.over ? t.part : Part::kNone;
}

int shown_pos(HWND h, int bar, const ScrollState& s) {
  const Track& t = track();
  return t.window == h && t.bar == bar && t.part == Part::kThumb ? t.track_pos : s.pos;
}

}  // namespace

bool is_scroll_tracker(HWND h) { return h && h == track().tracker; }

void carve_scroll_bars(const Window& w, RECT& client) {
  if (has_bar(w, SB_VERT) && rect_width(client) > GetSystemMetrics(SM_CXVSCROLL))
    client.right -= GetSystemMetrics(SM_CXVSCROLL);
  if (has_bar(w, SB_HORZ) && rect_height(client) > GetSystemMetrics(SM_CYHSCROLL))
    client.bottom -= GetSystemMetrics(SM_CYHSCROLL);
}

void paint_scroll_bars(HWND hwnd, HDC dc) {
  Window* w = find(hwnd);
  if (!w) return;
  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  for (int bar : {SB_HORZ, SB_VERT}) {
    const RECT r = window_bar_rect(*w, bar);
    if (rect_width(r) <= 0 || rect_height(r) <= 0) continue;
    const ScrollState s = w->scroll[bar_index(bar)];
    paint_bar(dc, r, bar == SB_VERT, s, shown_pos(hwnd, bar, s), enabled, held_part(hwnd, bar));
  }
  if ((w->style & WS_HSCROLL) && (w->style & WS_VSCROLL)) {
    // The corner where both meet.
    const RECT v = window_bar_rect(*w, SB_VERT), hz = window_bar_rect(*w, SB_HORZ);
    fill_color(dc, {v.left, hz.top, v.right, hz.bottom}, COLOR_BTNFACE);
  }
}

LRESULT scroll_bar_hit(HWND hwnd, POINT p) {
  Window* w = find(hwnd);
  if (!w) return HTNOWHERE;
  if (contains(window_bar_rect(*w, SB_VERT), p)) return HTVSCROLL;
  if (contains(window_bar_rect(*w, SB_HORZ), p)) return HTHSCROLL;
  return HTNOWHERE;
}

void press_scroll_bar(HWND hwnd, LRESULT hit, POINT screen) {
  if (!IsWindowEnabled(hwnd)) return;
  start_track(hwnd, hit == HTVSCROLL ? SB_VERT : SB_HORZ, screen);
}

LRESULT scroll_bar_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  ScrollState s = {c.lo, c.hi, c.page, c.pos};
  switch (msg) {
    case SBM_SETPOS: {
      const int old = c.pos;
      c.pos = clamp_pos(s, static_cast<int>(static_cast<INT_PTR>(w)));
      if (l && c.pos != old) InvalidateRect(h, nullptr, FALSE);
      return old;
    }
    case SBM_GETPOS: return c.pos;
    case SBM_SETRANGE:
      c.lo = static_cast<int>(static_cast<INT_PTR>(w)), c.hi = static_cast<int>(l);
      c.pos = clamp_pos({c.lo, c.hi, c.page, c.pos}, c.pos);
      InvalidateRect(h, nullptr, FALSE);
      return 1;
    case SBM_GETRANGE:
      if (w) *reinterpret_cast<int*>(w) = c.lo;
      if (l) *reinterpret_cast<int*>(l) = c.hi;
      return 1;
    case WM_PAINT: {
      ControlPaint p(h, c);
      if (p.dc) paint_bar(p.dc, p.client, (style_of(h) & SBS_VERT) != 0, s, shown_pos(h, SB_CTL, s), p.enabled,
                          held_part(h, SB_CTL));
      return 0;
    }
    case WM_ERASEBKGND: return 1;  // the paint covers it all
    case WM_ENABLE: InvalidateRect(h, nullptr, FALSE); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT p = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ClientToScreen(h, &p);
      start_track(h, SB_CTL, p);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      // A notch away from the user is a line back, towards the user a line on.
      const int notches = GET_WHEEL_DELTA_WPARAM(w) / WHEEL_DELTA;
      for (int i = 0; i < std::abs(notches) && IsWindow(h); ++i) tell(h, SB_CTL, notches > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
      if (notches != 0 && IsWindow(h)) tell(h, SB_CTL, SB_ENDSCROLL, 0);
      return 0;
    }
    default: return DefWindowProcA(h, msg, w, l);
  }
}

}  // namespace qmuser

using namespace qmuser;

int SetScrollInfo(HWND h, int bar, LPCSCROLLINFO info, BOOL redraw) {
  ScrollState s;
  if (!info || !read_state(h, bar, s)) return 0;
  if (info->fMask & SIF_RANGE) s.min = info->nMin, s.max = std::max(info->nMin, info->nMax);
  if (info->fMask & SIF_PAGE) s.page = static_cast<int>(std::min<UINT>(info->nPage, static_cast<UINT>(INT32_MAX)));
  if (info->fMask & SIF_POS) s.pos = info->nPos;
  s.pos = clamp_pos(s, s.pos);
  if (info->fMask & (SIF_RANGE | SIF_PAGE)) s.hidden = travel(s) == 0 && !(info->fMask & SIF_DISABLENOSCROLL);
  write_state(h, bar, s, redraw != FALSE);
  return s.pos;
}

BOOL GetScrollInfo(HWND h, int bar, LPSCROLLINFO info) {
  ScrollState s;
  if (!info || !read_state(h, bar, s)) return FALSE;
  if (info->fMask & SIF_RANGE) info->nMin = s.min, info->nMax = s.max;
  if (info->fMask & SIF_PAGE) info->nPage = static_cast<UINT>(s.page);
  if (info->fMask & SIF_POS) info->nPos = s.pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = shown_pos(h, bar, s);
  return TRUE;
}

int SetScrollPos(HWND h, int bar, int pos, BOOL redraw) {
  if (bar == SB_CTL) return static_cast<int>(SendMessageA(h, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
  ScrollState s;
  if (!read_state(h, bar, s)) return 0;
  const int old = s.pos;
  s.pos = clamp_pos(s, pos);
  write_state(h, bar, s, redraw != FALSE);
  return old;
}

int GetScrollPos(HWND h, int bar) {
  if (bar == SB_CTL) return static_cast<int>(SendMessageA(h, SBM_GETPOS, 0, 0));
  ScrollState s;
  return read_state(h, bar, s) ? s.pos : 0;
}

BOOL SetScrollRange(HWND h, int bar, int min_pos, int max_pos, BOOL redraw) {
  if (bar == SB_CTL) return SendMessageA(h, SBM_SETRANGE, static_cast<WPARAM>(min_pos), max_pos) ? TRUE : FALSE;
  ScrollState s;
  if (!read_state(h, bar, s)) return FALSE;
  s.min = min_pos, s.max = std::max(min_pos, max_pos);
  s.pos = clamp_pos(s, s.pos);
  s.hidden = travel(s) == 0;
  write_state(h, bar, s, redraw != FALSE);
  return TRUE;
}

BOOL GetScrollRange(HWND h, int bar, LPINT min_pos, LPINT max_pos) {
  if (bar == SB_CTL)
    return SendMessageA(h, SBM_GETRANGE, reinterpret_cast<WPARAM>(min_pos), reinterpret_cast<LPARAM>(max_pos)) ? TRUE
                                                                                                                : FALSE;
  ScrollState s;
  if (!read_state(h, bar, s)) return FALSE;
  if (min_pos) *min_pos = s.min;
  if (max_pos) *max_pos = s.max;
  return TRUE;
}
