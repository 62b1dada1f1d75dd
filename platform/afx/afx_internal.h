// What the class library's source files share and nobody else sees.
#pragma once

#include <afxwin.h>

#include <memory>
#include <unordered_map>

namespace qmafx {

// The one wrapper of a GDI object that no wrapper owns (the object a
// selection handed back, a window's font): never deletes the object.
template <class T>
T* handle_wrapper(HGDIOBJ h) {
  if (!h) return nullptr;
  struct Detaching {
    void operator()(T* w) const {
      w->Detach();
      delete w;
    }
  };
  static std::unordered_map<HGDIOBJ, std::unique_ptr<T, Detaching>> wrappers;
  auto& w = wrappers[h];
  if (!w) {
    w.reset(new T);
    w->m_hObject = h;
  }
  return w.get();
}

// Frees the temporary CDC wrappers of CDC::FromHandle.
void delete_temp_dcs();

}  // namespace qmafx
