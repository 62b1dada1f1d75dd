// Tooltip controls: the texts of the tools they were given.
#include <commctrl.h>
#include <qm_user.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/user/controls_internal.h"

namespace qmuser {

LRESULT tooltip_proc(HWND h, Control& c, UINT msg, WPARAM w, LPARAM l) {
  if (msg == TTM_ADDTOOLA || msg == TTM_UPDATETIPTEXTA || msg == TTM_DELTOOLA) {
    const TOOLINFOA* ti = reinterpret_cast<const TOOLINFOA*>(l);
    if (!ti) return FALSE;
    auto it = std::find_if(c.items.begin(), c.items.end(), [&](const Item& i) {
      return i.data == static_cast<LPARAM>(ti->uId);
    });
    if (msg == TTM_DELTOOLA) {
      if (it != c.items.end()) c.items.erase(it);
      return TRUE;
    }
    if (it == c.items.end()) it = c.items.insert(c.items.end(), Item{"", static_cast<LPARAM>(ti->uId)});
    it->text = ti->lpszText && !IS_INTRESOURCE(ti->lpszText) ? ti->lpszText : "";
    return TRUE;
  }
  if (msg == TTM_GETTEXTA) {
    // wParam is the size of the caller's buffer; an unknown tool gives "".
    TOOLINFOA* ti = reinterpret_cast<TOOLINFOA*>(l);
    if (!ti || !ti->lpszText || w == 0) return 0;
    auto it = std::find_if(c.items.begin(), c.items.end(), [&](const Item& i) {
      return i.data == static_cast<LPARAM>(ti->uId);
    });
    const std::string t = it == c.items.end() ? std::string() : it->text;
    const size_t n = std::min(t.size(), static_cast<size_t>(w - 1));
    std::memcpy(ti->lpszText, t.data(), n);
    ti->lpszText[n] = '\0';
    return static_cast<LRESULT>(n);
  }
  if (msg == TTM_GETTOOLCOUNT) return static_cast<LRESULT>(c.items.size());
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace qmuser
