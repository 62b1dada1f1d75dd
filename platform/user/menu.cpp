// Menus: popup and bar menus as handles to item lists, menu resources
// registered by the program, and TrackPopupMenu answered from a script (the
// command a test queued) or else by the user in the menu's own window
// (popup_menu.cpp). Every popup shown is logged with its items as they were.
#include <qm_user.h>
#include <winuser.h>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <unordered_map>

#include "platform/user/user_internal.h"

namespace {

struct Menu;

struct MenuItem {
  UINT flags = 0;  // MF_ bits
  UINT_PTR id = 0;
  std::string text;
  HMENU popup = nullptr;
};

struct Menu {
  std::vector<MenuItem> items;
};

struct MenuState {
  std::unordered_map<HMENU, std::unique_ptr<Menu>> menus;
  uintptr_t next = 0x20000;
  std::map<UINT, std::vector<QmMenuTemplateItem>> resources;
  std::deque<UINT> answers;
  std::vector<QmPopupShown> shown;
  std::unordered_map<HWND, HMENU> system;  // each window's own system menu, once asked for
};

MenuState& menus() {
  static MenuState s;
  return s;
}

Menu* find_menu(HMENU h) {
  auto it = menus().menus.find(h);
  return it == menus().menus.end() ? nullptr : it->second.get();
}

HMENU new_menu() {
  HMENU h = reinterpret_cast<HMENU>(menus().next++);
  menus().menus[h] = std::make_unique<Menu>();
  return h;
}

// The item by position or by command (searching popups too).
MenuItem* find_item(HMENU h, UINT which, UINT flags, int depth = 0) {
  Menu* m = find_menu(h);
  if (!m || depth > 16) return nullptr;
  if (flags & MF_BYPOSITION) return which < m->items.size() ? &m->items[which] : nullptr;
  for (MenuItem& i : m->items) {
    if (!i.popup && i.id == which) return &i;
    if (i.popup)
      if (MenuItem* sub = find_item(i.popup, which, flags, depth + 1)) return sub;
  }
  return nullptr;
}

HMENU build(const std::vector<QmMenuTemplateItem>& items, int depth) {
  HMENU h = CreatePopupMenu();
  for (const QmMenuTemplateItem& t : items) {
    if (!t.popup.empty() && depth < 16)
      AppendMenuA(h, MF_POPUP | t.flags, reinterpret_cast<UINT_PTR>(build(t.popup, depth + 1)), t.text.c_str());
    else
      AppendMenuA(h, t.flags, t.id, t.text.empty() ? nullptr : t.text.c_str());
  }
  return h;
}

}  // namespace

HMENU CreatePopupMenu() { return new_menu(); }
HMENU CreateMenu() { return new_menu(); }

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
  auto& system = menus().system;
  // Menus of windows gone since are dropped first.
  for (auto it = system.begin(); it != system.end();) {
    if (IsWindow(it->first)) {
      ++it;
    } else {
      DestroyMenu(it->second);
      it = system.erase(it);
    }
  }
  if (!IsWindow(hwnd)) return nullptr;
  auto it = system.find(hwnd);
  if (revert) {
    if (it != system.end()) {
      DestroyMenu(it->second);
      system.erase(it);
    }
    return nullptr;
  }
  if (it != system.end()) return it->second;
  HMENU menu = new_menu();
  AppendMenuA(menu, MF_STRING, SC_CLOSE, "&Close");
  system[hwnd] = menu;
  return menu;
}

BOOL DestroyMenu(HMENU h) {
  Menu* m = find_menu(h);
  if (!m) return FALSE;
  std::vector<HMENU> subs;
  for (MenuItem& i : m->items)
    if (i.popup) subs.push_back(i.popup);
  menus().menus.erase(h);
  for (HMENU s : subs) DestroyMenu(s);
  return TRUE;
}

BOOL IsMenu(HMENU h) { return find_menu(h) != nullptr; }

BOOL AppendMenuA(HMENU h, UINT flags, UINT_PTR id, LPCSTR text) {
  Menu* m = find_menu(h);
  if (!m) return FALSE;
  MenuItem item;
  item.flags = flags;
  if (flags & MF_POPUP) {
    item.popup = reinterpret_cast<HMENU>(id);
    if (!find_menu(item.popup)) return FALSE;
  } else {
    item.id = id;
  }
  if (text && !(flags & MF_SEPARATOR)) item.text = text;
  m->items.push_back(item);
  return TRUE;
}

int GetMenuItemCount(HMENU h) {
  Menu* m = find_menu(h);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU h, int pos) {
  Menu* m = find_menu(h);
  if (!m || pos < 0 || static_cast<size_t>(pos) >= m->items.size()) return static_cast<UINT>(-1);
  const MenuItem& i = m->items[static_cast<size_t>(pos)];
  return i.popup ? static_cast<UINT>(-1) : static_cast<UINT>(i.id);
}

HMENU GetSubMenu(HMENU h, int pos) {
  Menu* m = find_menu(h);
  if (!m || pos < 0 || static_cast<size_t>(pos) >= m->items.size()) return nullptr;
  return m->items[static_cast<size_t>(pos)].popup;
}

int GetMenuStringA(HMENU h, UINT which, LPSTR buffer, int size, UINT flags) {
  MenuItem* i = find_item(h, which, flags);
  if (!i) return 0;
  if (buffer && size > 0) {
    const size_t n = std::min(i->text.size(), static_cast<size_t>(size - 1));
    std::copy(i->text.begin(), i->text.begin() + static_cast<long>(n), buffer);
    buffer[n] = '\0';
    return static_cast<int>(n);
  }
  return static_cast<int>(i->text.size());
}

DWORD CheckMenuItem(HMENU h, UINT which, UINT flags) {
  MenuItem* i = find_item(h, which, flags);
  if (!i) return static_cast<DWORD>(-1);
  const DWORD old = i->flags & MF_CHECKED;
  i->flags = (i->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  return old;
}

BOOL EnableMenuItem(HMENU h, UINT which, UINT flags) {
  MenuItem* i = find_item(h, which, flags);
  if (!i) return -1;
  const BOOL old = static_cast<BOOL>(i->flags & (MF_GRAYED | MF_DISABLED));
  i->flags = (i->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return old;
}

UINT GetMenuState(HMENU h, UINT which, UINT flags) {
  MenuItem* i = find_item(h, which, flags);
  return i ? (i->flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP)) : static_cast<UINT>(-1);
}

void qm_user_register_menu(UINT id, std::vector<QmMenuTemplateItem> items) { menus().resources[id] = std::move(items); }

HMENU LoadMenuA(HINSTANCE, LPCSTR name) {
  if (!IS_INTRESOURCE(name)) return nullptr;
  auto it = menus().resources.find(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
  if (it == menus().resources.end()) return nullptr;
  // A menu resource is a bar whose items are the popups.
  HMENU bar = CreateMenu();
  Menu* m = find_menu(bar);
  HMENU content = build(it->second, 0);
  m->items = find_menu(content)->items;
  menus().menus.erase(content);
  return bar;
}

BOOL TrackPopupMenu(HMENU h, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  Menu* m = find_menu(h);
  if (!m || !IsWindow(owner)) return FALSE;
  QmPopupShown shown;
  shown.x = x, shown.y = y, shown.flags = flags, shown.owner = owner;
  for (const MenuItem& i : m->items) shown.items.push_back({static_cast<UINT>(i.id), i.text, i.flags});
  UINT answer = 0;
  if (!menus().answers.empty()) {
    answer = menus().answers.front();
    menus().answers.pop_front();
    // Only an enabled command of this menu (or of its popups) can be picked.
    MenuItem* item = answer ? find_item(h, answer, MF_BYCOMMAND) : nullptr;
    if (!item || (item->flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR))) answer = 0;
  } else {
    const size_t at = menus().shown.size();
    menus().shown.push_back(shown);
    answer = qmuser::run_popup_menu(h, flags, x, y, owner);
    if (at < menus().shown.size()) menus().shown.erase(menus().shown.begin() + static_cast<long>(at));
    if (!IsWindow(owner)) return FALSE;
  }
  shown.answer = answer;
  menus().shown.push_back(shown);
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(answer);
  if (answer && !(flags & TPM_NONOTIFY)) PostMessageA(owner, WM_COMMAND, MAKEWPARAM(answer, 0), 0);
  return TRUE;
}

void qm_user_push_popup_answer(UINT command) { menus().answers.push_back(command); }
const std::vector<QmPopupShown>& qm_user_popups_shown() { return menus().shown; }
void qm_user_clear_popups() {
  menus().shown.clear();
  menus().answers.clear();
  qmuser::clear_popup_steps();
}

void qmuser::clear_popups() { qm_user_clear_popups(); }
