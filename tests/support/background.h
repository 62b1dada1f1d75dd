// Sets the views' background colour for one test and puts the old one back.
#pragma once

#include <cstdint>

#include "database/mb_settings.h"

struct Background {
  int32_t saved = g_system_setting.get_long_val(MB_BACKGROUND_COLOR);
  explicit Background(int32_t c) { g_system_setting.set_long_val(MB_BACKGROUND_COLOR, c); }
  ~Background() { g_system_setting.set_long_val(MB_BACKGROUND_COLOR, saved); }
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;
};
