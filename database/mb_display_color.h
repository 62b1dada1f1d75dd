// The colour a thing is drawn in, so that nothing vanishes into the
// background it lies on.
//
// One rule with two tolerances, both kept because drawings and callers see
// them: an entity's display colour (MB_Drawable::build_color) is replaced by
// its complement only when it equals the background; a display node's colour
// when it lies within 100 of it, the packed 0x00BBGGRR values taken as
// signed integers (not per channel), so on black the reds below 100 turn
// white while dark blues and greens stay. The node's colour is decided when
// the node is built or recoloured; both surfaces then fill in the node's
// colour and draw outlines in the entity's display colour.
#pragma once

#include <cstdint>

enum class MB_Background_Match {
  kEqual,  // an entity's display colour
  kNear,   // a display node's colour
};

constexpr int32_t mb_complement_color(int32_t c) { return ~c & 0xFFFFFF; }

// c, or its complement when it matches the current background colour.
int32_t mb_display_color(int32_t c, MB_Background_Match match);
// The views' background colour now, for what covers things with it.
int32_t mb_background_color();
