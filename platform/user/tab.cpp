// Tab controls: a row of tabs, one of them selected.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <cstring>

#include "platform/user/controls_internal.h"

namespace qmuser {

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
    case TCM_DELETEALLITEMS: c.items.clear(), c.sel = -1; return TRUE;
    case TCM_GETCURSEL: return c.sel;
    case TCM_SETCURSEL: {
      if (!valid(c, w)) return -1;
      const int old = c.sel;
      c.sel = static_cast<int>(w);
      return old;
    }
    default: return DefWindowProcA(h, msg, w, l);
  }
}

}  // namespace qmuser
