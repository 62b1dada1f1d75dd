// What the class library's source files share and nobody else sees.
#pragma once

#include <afxwin.h>

#include <memory>
#include <unordered_map>

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
