// The kernel's process-wide settings: the colours, default attribute values
// and curve precisions in three indexed tables (an index outside a table
// reads 0 and writes nothing), and the flags word. g_system_setting is built
// when the kernel is loaded.
#pragma once

#include <cstdint>

// The entries of the long table, by what they hold. Colours are 0x00BBGGRR.
enum MB_Long_Setting : int {
  MB_BACKGROUND_COLOR = 0,         // the views' background
  MB_CURRENT_COLOR = 1,            // the colour of new entities
  MB_RUBBER_COLOR = 2,             // the rubber band
  MB_SELECTION_COLOR = 3,          // selected entities
  MB_HIGHLIGHT_COLOR = 5,          // what highlighted pixels are mixed with
  MB_DISPLAY_WIDTH = 13,           // the display width of new entities
  MB_ARC_PRECISION = 14,           // draw precisions: arcs,
  MB_DEFAULT_PRECISION = 15,       // every class not named here (circles among them),
  MB_ELLIPSE_PRECISION = 16,       // ellipses,
  MB_ELLIPSE_ARC_PRECISION = 17,   // elliptical arcs,
  MB_SPLINE_PRECISION = 18,        // splines,
  MB_POLYLINE_ARC_PRECISION = 19,  // polyline arcs
};

// The entries of the short table that are read.
enum MB_Short_Setting : int {
  MB_RUBBER_STYLE = 1,  // the rubber band's pen style
  MB_RUBBER_WIDTH = 6,  // the rubber band's pen width
};

// The entries of the real table: the attributes new entities start with.
enum MB_Real_Setting : int {
  MB_LINE_SCALE = 1,
  MB_WIDTH = 2,
  MB_THICKNESS = 3,
};

class MB_System_Setting {
 public:
  static constexpr int kLongCount = 26;
  static constexpr int kShortCount = 10;
  static constexpr int kRealCount = 5;
  static constexpr int kFlagsIndex = 25;  // the long that holds the flags

  constexpr MB_System_Setting() = default;
  MB_System_Setting(const MB_System_Setting&) = default;
  MB_System_Setting& operator=(const MB_System_Setting&) = default;
  virtual ~MB_System_Setting() = default;

  int32_t get_long_val(int i) const { return i >= 0 && i < kLongCount ? long_[i] : 0; }
  void set_long_val(int i, int32_t v) {
    if (i >= 0 && i < kLongCount) long_[i] = v;
  }
  uint16_t get_short_val(int i) const { return i >= 0 && i < kShortCount ? short_[i] : 0; }
  void set_short_val(int i, uint16_t v) {
    if (i >= 0 && i < kShortCount) short_[i] = v;
  }
  double get_real_val(int i) const { return i >= 0 && i < kRealCount ? real_[i] : 0.0; }
  void set_real_val(int i, double v) {
    if (i >= 0 && i < kRealCount) real_[i] = v;
  }
  // True when the flags word has any bit of the mask set.
  bool get_bool_val(int mask) const { return (long_[kFlagsIndex] & mask) != 0; }
  void set_bool_val(int mask, bool on) {
    long_[kFlagsIndex] = on ? (long_[kFlagsIndex] | mask) : (long_[kFlagsIndex] & ~mask);
  }
  bool explode_text() const { return explode_text_; }
  void explode_text(bool on) { explode_text_ = on; }

 private:
  // Indexed by MB_Long_Setting; 25 is the flags word.
  int32_t long_[kLongCount] = {0x000000, 0xFFFFFF, 0x00FF00, 0x0000FF, 0x0000FF, 0x0000FF, 0,
                               0xFF0000, 0x00FF00, 0x00FF00, 0,        0x00FF00, 0,
                               0,        30,       60,       80,       60,       100,
                               10,       0,        0,        0,        0,        0,
                               0x80};
  uint16_t short_[kShortCount] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
  // Indexed by MB_Real_Setting.
  double real_[kRealCount] = {0.0, 2.0, 0.4, 0.0, 0.0};
  bool explode_text_ = false;
};

extern MB_System_Setting g_system_setting;
