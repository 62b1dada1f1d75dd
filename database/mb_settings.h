// The kernel's process-wide settings: the colours, default attribute values
// and curve precisions in three indexed tables (an index outside a table
// reads 0 and writes nothing), and the flags word. g_system_setting is built
// when the kernel is loaded.
#pragma once

#include <cstdint>

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
  // Colours are 0x00BBGGRR: 0 background, 1 entity colour, 2 rubber band,
  // 3 selection; 13 display width; 14-19 draw precisions of arcs, of every
  // other class (circles among them), ellipses, elliptical arcs, splines and
  // polyline arcs; 25 the flags word.
  int32_t long_[kLongCount] = {0x000000, 0xFFFFFF, 0x00FF00, 0x0000FF, 0x0000FF, 0x0000FF, 0,
                               0xFF0000, 0x00FF00, 0x00FF00, 0,        0x00FF00, 0,
                               0,        30,       60,       80,       60,       100,
                               10,       0,        0,        0,        0,        0,
                               0x80};
  uint16_t short_[kShortCount] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
  // 1 line scale, 2 width and 3 thickness of new entities.
  double real_[kRealCount] = {0.0, 2.0, 0.4, 0.0, 0.0};
  bool explode_text_ = false;
};

extern MB_System_Setting g_system_setting;
