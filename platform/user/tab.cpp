// Tab controls: a row of tabs along the top (or, with TCS_BOTTOM, the
// bottom) of a raised body, the selected tab raised above the others and
// joined to the body. A click on a tab, the arrow keys and Ctrl+Tab (with
// Shift, backwards) choose a tab as the user's choice does: TCN_SELCHANGING
// first (a non-zero answer keeps the old tab), then TCN_SELCHANGE.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

constexpr int kTabPadding = 6;   // beside a tab's text
constexpr int kTabRise = 2;      // how far the selected tab stands out
constexpr int kFirstTabX = 2;

// Where the tabs and the body lie in the client area.
struct TabLayout {
  RECT body = {0, 0, 0, 0};
  std::vector<RECT> tabs;  // the selected one already raised
};

TabLayout layout(HWND h, const Control& c) {
  TabLayout t;
  RECT client;
  GetClientRect(h, &client);
  const LONG row = text_metrics(control_font(c)).tmHeight + kTabPadding;
  const bool bottom = (style_of(h) & TCS_BOTTOM) != 0;
  t.body = client;
  if (bottom)
    t.body.bottom = std::max(client.top, client.bottom - row - kTabRise);
  else
    t.body.top = std::min(client.bottom, client.top + row + kTabRise);
  LONG x = kFirstTabX;
  for (size_t i = 0; i < c.items.size(); ++i) {
    const LONG width = text_width(control_font(c), label_of(c.items[i].text)) + 2 * kTabPadding;
    RECT r = bottom ? RECT{x, t.body.bottom, x + width, client.bottom - kTabRise}
                    : RECT{x, client.top + kTabRise, x + width, t.body.top};
    x = r.right;
    if (static_cast<int>(i) == c.sel) {
      r.left -= kTabRise, r.right += kTabRise;
      if (bottom)
        r.top -= 1, r.bottom += kTabRise;
      else
        r.top -= kTabRise, r.bottom += 1;
    }
    t.tabs.push_back(r);
  }
  return t;
}

// A tab's outline: light on the left and on its free edge, dark on the
// right, corners cut; the edge it shares with the body is left open.
void paint_tab(HDC dc, const RECT& r, bool bottom) {
  fill_color(dc, r, COLOR_BTNFACE);
  const LONG inner_top = bottom ? r.top : r.top + 2, inner_bottom = bottom ? r.bottom - 2 : r.bottom;
  fill_color(dc, {r.left, inner_top, r.left + 1, inner_bottom}, COLOR_BTNHIGHLIGHT);
  fill_color(dc, {r.right - 2, inner_top, r.right - 1, inner_bottom}, COLOR_BTNSHADOW);
  fill_color(dc, {r.right - 1, inner_top, r.right, inner_bottom}, COLOR_3DDKSHADOW);
  if (bottom) {
    fill_color(dc, {r.left + 2, r.bottom - 1, r.right - 2, r.bottom}, COLOR_3DDKSHADOW);
    fill_color(dc, {r.left + 1, r.bottom - 2, r.left + 2, r.bottom - 1}, COLOR_BTNHIGHLIGHT);
    fill_color(dc, {r.left + 2, r.bottom - 2, r.right - 2, r.bottom - 1}, COLOR_BTNSHADOW);
    fill_color(dc, {r.right - 2, r.bottom - 2, r.right - 1, r.bottom - 1}, COLOR_3DDKSHADOW);
  } else {
    fill_color(dc, {r.left + 2, r.top, r.right - 2, r.top + 1}, COLOR_BTNHIGHLIGHT);
    fill_color(dc, {r.left + 1, r.top + 1, r.left + 2, r.top + 2}, COLOR_BTNHIGHLIGHT);
    fill_color(dc, {r.right - 2, r.top + 1, r.right - 1, r.top + 2}, COLOR_3DDKSHADOW);
  }
}

void paint_tabs(HWND h, const Control& c) {
  const TabLayout t = layout(h, c);
  ControlPaint p(h, c);
  if (!p.dc) return;
  const bool bottom = (style_of(h) & TCS_BOTTOM) != 0;
  fill_color(p.dc, p.client, COLOR_BTNFACE);
  RECT body = t.body;
  DrawEdge(p.dc, &body, EDGE_RAISED, BF_RECT);
  // The others first; the selected one over the body's edge, joined to it.
  for (int pass = 0; pass < 2; ++pass)
    for (size_t i = 0; i < t.tabs.size(); ++i) {
      const bool selected = static_cast<int>(i) == c.sel;
      if (selected != (pass == 1)) continue;
      RECT r = t.tabs[i];
      paint_tab(p.dc, r, bottom);
      if (selected) {
        // The body's edge does not run under the selected tab.
        const LONG y = bottom ? t.body.bottom - 2 : t.body.top;
        fill_color(p.dc, {r.left + 1, y, r.right - 2, y + 2}, COLOR_BTNFACE);
      }
      const std::string label = label_of(c.items[i].text);
      RECT text = r;
      if (!selected) {
        if (bottom) text.top -= 1; else text.bottom += 1;
      }
      DrawTextA(p.dc, label.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      if (selected && GetFocus() == h) focus_rect(p.dc, {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3});
    }
}

int tab_at(HWND h, const Control& c, POINT at) {
  const TabLayout t = layout(h, c);
  // The selected tab lies over its neighbours.
  if (c.sel >= 0 && static_cast<size_t>(c.sel) < t.tabs.size() && contains(t.tabs[static_cast<size_t>(c.sel)], at))
    return c.sel;
  for (size_t i = 0; i < t.tabs.size(); ++i)
    if (contains(t.tabs[i], at)) return static_cast<int>(i);
  return -1;
}

// The tab `step` away from the selected one; round the ends when `wrap`.
void step_selection(HWND h, Control& c, int step, bool wrap) {
  const int n = static_cast<int>(c.items.size());
  if (n == 0) return;
  int next = c.sel + step;
  if (wrap)
    next = (next % n + n) % n;
  else
    next = std::min(std::max(next, 0), n - 1);
  if (next != c.sel) user_select(h, c, next);
}

}  // namespace

LRESULT tab_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case TCM_INSERTITEMA: {
      const TCITEMA* item = reinterpret_cast<const TCITEMA*>(l);
      if (!item) return -1;
      Item it;
      if ((item->mask & TCIF_TEXT) && item->pszText) it.text = item->pszText;
      if (item->mask & TCIF_PARAM) it.data = item->lParam;
      const size_t at = std::min(static_cast<size_t>(w), c.items.size());
      c.items.insert(c.items.begin() + static_cast<long>(at), it);
      if (c.sel < 0) c.sel = 0;  // the first tab is selected
      else if (c.sel >= static_cast<int>(at) && c.items.size() > 1) ++c.sel;
      InvalidateRect(h, nullptr, TRUE);
      return static_cast<LRESULT>(at);
    }
    case TCM_GETITEMA: {
      TCITEMA* item = reinterpret_cast<TCITEMA*>(l);
      if (!item || !valid(c, w)) return FALSE;
      if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::string& t = c.items[w].text;
        const size_t n = std::min(t.size(), static_cast<size_t>(item->cchTextMax - 1));
        std::memcpy(item->pszText, t.data(), n);
        item->pszText[n] = '\0';
      }
      if (item->mask & TCIF_PARAM) item->lParam = c.items[w].data;
      return TRUE;
    }
    case TCM_GETITEMCOUNT: return static_cast<LRESULT>(c.items.size());
    case TCM_DELETEALLITEMS:
      c.items.clear(), c.sel = -1;
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case TCM_GETCURSEL: return c.sel;
    case TCM_SETCURSEL: {
      if (!valid(c, w)) return -1;
      const int old = c.sel;
      c.sel = static_cast<int>(w);
      InvalidateRect(h, nullptr, TRUE);
      return old;
    }
    case WM_PAINT: paint_tabs(h, c); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers it all
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE: InvalidateRect(h, nullptr, FALSE); return DefWindowProcA(h, msg, w, l);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const int at = tab_at(h, c, {GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      if (at < 0) return 0;
      SetFocus(h);
      if (at != c.sel) user_select(h, c, at);
      return 0;
    }
    case WM_KEYDOWN:
      if (w == VK_TAB && GetKeyState(VK_CONTROL) < 0) return step_selection(h, c, GetKeyState(VK_SHIFT) < 0 ? -1 : 1, true), 0;
      if (w == VK_LEFT || w == VK_UP) return step_selection(h, c, -1, false), 0;
      if (w == VK_RIGHT || w == VK_DOWN) return step_selection(h, c, 1, false), 0;
      return DefWindowProcA(h, msg, w, l);
    default: return DefWindowProcA(h, msg, w, l);
  }
}

}  // namespace qmuser
