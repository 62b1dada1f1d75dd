#include "platform/x11/x11_keys.h"

#include <qm_text.h>
#include <winuser.h>

#include <X11/X.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <cstring>

UINT x11_virtual_key(unsigned long keysym) {
  if (keysym >= XK_a && keysym <= XK_z) return static_cast<UINT>('A' + (keysym - XK_a));
  if (keysym >= XK_A && keysym <= XK_Z) return static_cast<UINT>(keysym);
  if (keysym >= XK_0 && keysym <= XK_9) return static_cast<UINT>(keysym);
  if (keysym >= XK_F1 && keysym <= XK_F12) return static_cast<UINT>(VK_F1 + (keysym - XK_F1));
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return static_cast<UINT>(VK_NUMPAD0 + (keysym - XK_KP_0));
  struct Pair {
    unsigned long keysym;
    UINT vk;
  };
  static const Pair kKeys[] = {
      {XK_BackSpace, VK_BACK},
      {XK_Tab, VK_TAB},
      {XK_ISO_Left_Tab, VK_TAB},
      {XK_Return, VK_RETURN},
      {XK_KP_Enter, VK_RETURN},
      {XK_Escape, VK_ESCAPE},
      {XK_space, VK_SPACE},
      {XK_Prior, VK_PRIOR},
      {XK_Next, VK_NEXT},
      {XK_End, VK_END},
      {XK_Home, VK_HOME},
      {XK_Left, VK_LEFT},
      {XK_Up, VK_UP},
      {XK_Right, VK_RIGHT},
      {XK_Down, VK_DOWN},
      {XK_Insert, VK_INSERT},
      {XK_Delete, VK_DELETE},
      {XK_KP_Delete, VK_DELETE},
      {XK_Pause, VK_PAUSE},
      {XK_Shift_L, VK_SHIFT},
      {XK_Shift_R, VK_SHIFT},
      {XK_Control_L, VK_CONTROL},
      {XK_Control_R, VK_CONTROL},
      {XK_Alt_L, VK_MENU},
      {XK_Alt_R, VK_MENU},
      {XK_Caps_Lock, VK_CAPITAL},
      {XK_KP_Multiply, VK_MULTIPLY},
      {XK_KP_Add, VK_ADD},
      {XK_KP_Subtract, VK_SUBTRACT},
      {XK_KP_Decimal, VK_DECIMAL},
      {XK_KP_Divide, VK_DIVIDE},
      {XK_semicolon, VK_OEM_1},
      {XK_equal, VK_OEM_PLUS},
      {XK_comma, VK_OEM_COMMA},
      {XK_minus, VK_OEM_MINUS},
      {XK_period, VK_OEM_PERIOD},
      {XK_slash, VK_OEM_2},
      {XK_grave, VK_OEM_3},
      {XK_bracketleft, VK_OEM_4},
      {XK_backslash, VK_OEM_5},
      {XK_bracketright, VK_OEM_6},
      {XK_apostrophe, VK_OEM_7},
  };
  for (const Pair& p : kKeys)
    if (p.keysym == keysym) return p.vk;
  return 0;
}

std::string x11_keysym_utf8(unsigned long keysym) {
  char32_t code = 0;
  // Latin-1 symbols are their own code points; others name theirs with
  // 0x01000000 added.
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
    code = static_cast<char32_t>(keysym);
  else if (keysym >= 0x01000100 && keysym <= 0x0110FFFF)
    code = static_cast<char32_t>(keysym - 0x01000000);
  if (!code || (code >= 0xD800 && code <= 0xDFFF)) return std::string();
  std::u16string utf16;
  if (code >= 0x10000) {
    code -= 0x10000;
    utf16 += static_cast<char16_t>(0xD800 + (code >> 10));
    utf16 += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  } else {
    utf16 += static_cast<char16_t>(code);
  }
  return qm_utf16_to_utf8(utf16);
}

unsigned x11_cursor_shape(const std::string& name) {
  struct Shape {
    const char* name;
    unsigned shape;
  };
  static const Shape kShapes[] = {
      {"#32512", XC_left_ptr},
      {"#32513", XC_xterm},
      {"#32514", XC_watch},
      {"#32515", XC_crosshair},
      {"#32642", XC_bottom_right_corner},
      {"#32643", XC_bottom_left_corner},
      {"#32644", XC_sb_h_double_arrow},
      {"#32645", XC_sb_v_double_arrow},
      {"#32646", XC_fleur},
      {"#32648", XC_X_cursor},
      {"#32649", XC_hand2},
      // The control's own cursors.
      {"idc_zoom_window_cur", XC_sizing},
      {"idc_pan_view0", XC_hand1},
      {"idc_pan_view1", XC_fleur},
      {"idc_measure_dist", XC_tcross},
      {"idc_cursor_redline", XC_pencil},
  };
  for (const Shape& s : kShapes)
    if (name == s.name) return s.shape;
  return XC_crosshair;
}
