// Where the flat API's creators put what they make: the current drawing's
// block being defined, else its entity list.
#pragma once

#include <cstdint>

class MB_Drawable;

// The entity, built for display first when `build` is set, appended to the
// current drawing; answered as a pointer-sized integer. The caller has
// checked that there is a current drawing.
intptr_t api_appended(MB_Drawable* entity, bool build);
// The entity as a pointer-sized integer.
template <class T>
intptr_t api_handle(T* entity) {
  return reinterpret_cast<intptr_t>(entity);
}
