// The names X gives keys, typed symbols and cursors, as the window system's.
#include <gtest/gtest.h>
#include <winuser.h>

#include "platform/x11/x11_keys.h"

// After the test framework: Xlib's macros would break it.
#include <X11/cursorfont.h>
#include <X11/keysym.h>

TEST(X11Keys, KeysBecomeVirtualKeyCodes) {
  struct Case {
    unsigned long keysym;
    UINT vk;
  };
  const Case cases[] = {
      {XK_a, 'A'},
      {XK_z, 'Z'},
      {XK_Q, 'Q'},
      {XK_0, '0'},
      {XK_9, '9'},
      {XK_F1, VK_F1},
      {XK_F12, VK_F12},
      {XK_KP_0, VK_NUMPAD0},
      {XK_KP_9, VK_NUMPAD9},
      {XK_Return, VK_RETURN},
      {XK_KP_Enter, VK_RETURN},
      {XK_Escape, VK_ESCAPE},
      {XK_BackSpace, VK_BACK},
      {XK_Delete, VK_DELETE},
      {XK_Left, VK_LEFT},
      {XK_Down, VK_DOWN},
      {XK_Shift_R, VK_SHIFT},
      {XK_Control_L, VK_CONTROL},
      {XK_Alt_L, VK_MENU},
      {XK_period, VK_OEM_PERIOD},
      {XK_apostrophe, VK_OEM_7},
      // Keys that only type characters have no code.
      {XK_eacute, 0},
      {0x010000E9, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(x11_virtual_key(c.keysym), c.vk) << std::hex << c.keysym;
}

TEST(X11Keys, TypedSymbolsBecomeText) {
  EXPECT_EQ(x11_keysym_utf8(XK_a), "a");
  EXPECT_EQ(x11_keysym_utf8(XK_eacute), "\xC3\xA9");
  // A Unicode key symbol: U+4E2D, a CJK ideograph; U+1F600 outside the BMP.
  EXPECT_EQ(x11_keysym_utf8(0x01004E2D), "\xE4\xB8\xAD");
  EXPECT_EQ(x11_keysym_utf8(0x0101F600), "\xF0\x9F\x98\x80");
  // Keys that type nothing, and surrogate code points.
  EXPECT_EQ(x11_keysym_utf8(XK_Shift_L), "");
  EXPECT_EQ(x11_keysym_utf8(XK_F1), "");
  EXPECT_EQ(x11_keysym_utf8(0x0100D800), "");
}

TEST(X11Keys, CursorsByName) {
  EXPECT_EQ(x11_cursor_shape("#32512"), unsigned(XC_left_ptr));
  EXPECT_EQ(x11_cursor_shape("#32513"), unsigned(XC_xterm));
  EXPECT_EQ(x11_cursor_shape("#32644"), unsigned(XC_sb_h_double_arrow));
  EXPECT_EQ(x11_cursor_shape("idc_pan_view1"), unsigned(XC_fleur));
  EXPECT_EQ(x11_cursor_shape("no such cursor"), unsigned(XC_crosshair));
}
