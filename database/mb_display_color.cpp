// The background-colour rule of mb_display_color.h.
#include "database/mb_display_color.h"

#include "database/mb_settings.h"

int32_t mb_background_color() { return int32_t(g_system_setting.get_long_val(MB_BACKGROUND_COLOR)); }

int32_t mb_display_color(int32_t c, MB_Background_Match match) {
  const int64_t diff = int64_t(c) - int64_t(g_system_setting.get_long_val(MB_BACKGROUND_COLOR));
  const bool matches = match == MB_Background_Match::kEqual ? diff == 0 : diff > -100 && diff < 100;
  return matches ? mb_complement_color(c) : c;
}
