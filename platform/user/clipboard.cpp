// The clipboard (being written).
#include "platform/user/user_internal.h"

namespace qmuser {
void clear_clipboard() {}
void resize_pixels(Window&) {}
}  // namespace qmuser
