// What the class library's source files share and nobody else sees.
#pragma once

#include <afxwin.h>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

// The handlers of every window message a map chain handles, answered in
// one look-up: the handler of the entry the chain search would find first
// (most derived class first), or null. Messages below WM_USER index a
// table; the rest, few in any class, are searched in a short list.
struct QmFlatMessageMap {
  using Handler = decltype(AFX_MSGMAP_ENTRY::pfn);
  static constexpr UINT kLow = WM_USER;
  Handler low[kLow] = {};
  std::vector<std::pair<UINT, Handler>> high;
};

namespace qmafx {

// The flat table of a most-derived map, made on its first window message.
__attribute__((noinline)) const QmFlatMessageMap* flatten_message_map(const AFX_MSGMAP* map);

// The handler of a window message (no code, no id) in a flat table, or null.
inline QmFlatMessageMap::Handler flat_handler(const QmFlatMessageMap* flat, UINT msg) {
  if (__builtin_expect(msg < QmFlatMessageMap::kLow, 1)) return flat->low[msg];
  for (const auto& h : flat->high)
    if (h.first == msg) return h.second;
  return nullptr;
}

}  // namespace qmafx

// Calls the handler of a window message in the target's map chain; FALSE
// when it has none. Inline: every message a window handles comes this way,
// and the object's own record of its class saves asking for its map.
inline BOOL qm_dispatch_window_message(CCmdTarget* target, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  const std::type_info* cls = &typeid(*target);
  if (__builtin_expect(cls != target->flat_class_, 0)) {
    const AFX_MSGMAP* map = target->GetMessageMap();
    target->flat_ = map->qm_flat ? map->qm_flat : qmafx::flatten_message_map(map);
    target->flat_class_ = cls;
  }
  const QmFlatMessageMap::Handler handler = qmafx::flat_handler(target->flat_, msg);
  if (!handler) return FALSE;
  *result = handler(target, msg, wparam, lparam, nullptr);
  return TRUE;
}

namespace qmafx {

// The one wrapper of a handle that no wrapper owns (the GDI object a
// selection handed back, a window's font, a menu's popup): kept for the
// process, never destroying the object it wraps.
template <class T, class H, class Base, H Base::*Field>
T* wrapper_of(H h) {
  if (!h) return nullptr;
  struct Detaching {
    void operator()(T* w) const {
      w->Detach();
      delete w;
    }
  };
  static std::unordered_map<H, std::unique_ptr<T, Detaching>> wrappers;
  auto& w = wrappers[h];
  if (!w) {
    w.reset(new T);
    (*w).*Field = h;
  }
  return w.get();
}

template <class T>
T* handle_wrapper(HGDIOBJ h) {
  return wrapper_of<T, HGDIOBJ, CGdiObject, &CGdiObject::m_hObject>(h);
}

// Frees the temporary CDC wrappers of CDC::FromHandle.
void delete_temp_dcs();

}  // namespace qmafx
