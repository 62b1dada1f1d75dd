// The items of list boxes and combo boxes: adding, inserting, sorting,
// finding and selecting them, the messages both kinds answer alike.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/user/controls_internal.h"

namespace qmuser {

namespace {

bool has_strings(const Control& c, DWORD style) {
  if (c.kind == Kind::kListBox)
    return !(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || (style & LBS_HASSTRINGS);
  return !(style & CBS_OWNERDRAWFIXED) || (style & CBS_HASSTRINGS);
}

bool sorted(const Control& c, DWORD style) {
  return c.kind == Kind::kListBox ? (style & LBS_SORT) != 0 : (style & CBS_SORT) != 0;
}

// Adds (at == -1: at the end, or in sorted place) or inserts an item.
LRESULT add_item(HWND h, Control& c, int at, LPARAM lparam, bool insert) {
  const DWORD style = style_of(h);
  Item item;
  if (has_strings(c, style))
    item.text = lparam ? reinterpret_cast<LPCSTR>(lparam) : "";
  else
    item.data = lparam;
  size_t index = c.items.size();
  if (insert) {
    if (at >= 0 && static_cast<size_t>(at) <= c.items.size()) index = static_cast<size_t>(at);
  } else if (sorted(c, style) && has_strings(c, style)) {
    const std::string key = lower(item.text);
    index = std::upper_bound(c.items.begin(), c.items.end(), key,
                             [](const std::string& k, const Item& i) { return k < lower(i.text); }) -
            c.items.begin();
  }
  c.items.insert(c.items.begin() + static_cast<long>(index), item);
  if (c.sel >= static_cast<int>(index)) ++c.sel;
  InvalidateRect(h, nullptr, TRUE);
  return static_cast<LRESULT>(index);
}

LRESULT find_exact(const Control& c, WPARAM start, LPARAM text) {
  if (!text) return LB_ERR;
  const std::string key = lower(reinterpret_cast<LPCSTR>(text));
  const int n = static_cast<int>(c.items.size());
  const int first = static_cast<int>(static_cast<INT_PTR>(start));
  // From the item after `start` round to `start` itself.
  for (int k = 1; k <= n; ++k) {
    const int i = ((first < 0 ? -1 : first) + k) % n;
    if (lower(c.items[static_cast<size_t>(i)].text) == key) return i;
  }
  return LB_ERR;
}

LRESULT copy_text(const Item& item, LPARAM buffer) {
  if (buffer) std::memcpy(reinterpret_cast<char*>(buffer), item.text.c_str(), item.text.size() + 1);
  return static_cast<LRESULT>(item.text.size());
}

}  // namespace

LRESULT list_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  const bool combo = c.kind == Kind::kComboBox;
  switch (msg) {
    case LB_ADDSTRING: case CB_ADDSTRING: return add_item(h, c, -1, l, false);
    case LB_INSERTSTRING: case CB_INSERTSTRING: return add_item(h, c, static_cast<int>(static_cast<INT_PTR>(w)), l, true);
    case LB_DELETESTRING: case CB_DELETESTRING:
      if (!valid(c, w)) return LB_ERR;
      c.items.erase(c.items.begin() + static_cast<long>(w));
      if (c.sel == static_cast<int>(w)) c.sel = -1;
      else if (c.sel > static_cast<int>(w)) --c.sel;
      InvalidateRect(h, nullptr, TRUE);
      return static_cast<LRESULT>(c.items.size());
    case LB_RESETCONTENT: case CB_RESETCONTENT:
      c.items.clear();
      c.sel = -1;
      c.top = 0;
      if (combo && (style_of(h) & 3) == CBS_DROPDOWNLIST) DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case LB_GETCOUNT: case CB_GETCOUNT: return static_cast<LRESULT>(c.items.size());
    case LB_GETCURSEL: case CB_GETCURSEL: return c.sel;
    case LB_SETCURSEL: case CB_SETCURSEL: {
      const int index = static_cast<int>(static_cast<INT_PTR>(w));
      if (index < -1 || index >= static_cast<int>(c.items.size())) {
        c.sel = -1;
        if (combo) DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        return LB_ERR;
      }
      c.sel = index;
      if (combo) DefWindowProcA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(index >= 0 ? c.items[static_cast<size_t>(index)].text.c_str() : ""));
      InvalidateRect(h, nullptr, TRUE);
      return index;
    }
    case LB_GETTEXT: case CB_GETLBTEXT: return valid(c, w) ? copy_text(c.items[w], l) : LB_ERR;
    case LB_GETTEXTLEN: case CB_GETLBTEXTLEN: return valid(c, w) ? static_cast<LRESULT>(c.items[w].text.size()) : LB_ERR;
    case LB_GETITEMDATA: case CB_GETITEMDATA: return valid(c, w) ? c.items[w].data : LB_ERR;
    case LB_SETITEMDATA: case CB_SETITEMDATA:
      if (!valid(c, w)) return LB_ERR;
      c.items[w].data = l;
      return 0;
    case LB_FINDSTRINGEXACT: case CB_FINDSTRINGEXACT: return find_exact(c, w, l);
    case CB_SELECTSTRING: {
      const LRESULT i = find_exact(c, w, l);
      if (i != CB_ERR) list_proc(h, c, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      return i;
    }
    case WM_KILLFOCUS:
      InvalidateRect(h, nullptr, FALSE);
      if (combo) close_drop(h, false);
      if (combo && IsWindow(h)) notify_command(h, CBN_KILLFOCUS);
      return 0;
    case WM_SETTEXT:
      // A drop-down list shows only its items.
      if (combo && (style_of(h) & 3) == CBS_DROPDOWNLIST) return CB_ERR;
      InvalidateRect(h, nullptr, FALSE);
      return DefWindowProcA(h, msg, w, l);
    default: break;
  }
  return combo ? combo_proc(h, c, msg, w, l) : list_box_proc(h, c, msg, w, l);
}

}  // namespace qmuser
