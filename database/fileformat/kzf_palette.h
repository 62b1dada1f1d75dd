// The two built-in palettes of the native format, computed from their
// rules: the current one (format version 38 on) and the older one (versions
// up to 37), 256 entries each. The codec's preset dictionary holds their
// bytes and the colour maps start from them, so both read this one table.
// Nothing here may change once files exist: the values are part of the
// file format.
#pragma once

#include <array>
#include <cstdint>

namespace kzf_palette {

struct Rgb {
  uint8_t r, g, b;
};

using Palette = std::array<Rgb, 256>;

inline Palette current_palette() {
  Palette p{};
  static const Rgb head[10] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},
                               {128, 128, 0},   {0, 0, 128},     {128, 0, 128},
                               {0, 128, 128},   {192, 192, 192}, {192, 220, 192},
                               {166, 202, 240}};
  for (int i = 0; i < 10; ++i) p[i] = head[i];
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        p[10 + 36 * r + 6 * g + b] = {uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b)};
  static const uint8_t greys[19] = {0,   13,  26,  40,  53,  67,  80,  93,  107, 120,
                                    134, 147, 161, 174, 187, 201, 214, 228, 241};
  for (int i = 0; i < 19; ++i) p[226 + i] = {greys[i], greys[i], greys[i]};
  static const Rgb tail[11] = {{255, 255, 255}, {255, 251, 240}, {160, 160, 164},
                               {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
                               {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                               {0, 255, 255},   {255, 255, 255}};
  for (int i = 0; i < 11; ++i) p[245 + i] = tail[i];
  return p;
}

inline Palette older_palette() {
  Palette p{};
  static const Rgb head[10] = {{0, 0, 0},     {255, 0, 0},     {255, 255, 0}, {0, 255, 0},
                               {0, 255, 255}, {0, 0, 255},     {255, 0, 255}, {0, 0, 0},
                               {128, 128, 128}, {220, 220, 220}};
  for (int i = 0; i < 10; ++i) p[i] = head[i];
  // 24 hue families of ten: five levels, each saturated and then half way
  // to the level's grey.
  static const int levels[5] = {255, 221, 184, 149, 114};
  for (int i = 10; i < 250; ++i) {
    int h = (i - 10) / 10, k = (i - 10) % 10;
    int hue = 15 * h, v = levels[k / 2];
    int s = hue / 60, f = hue % 60;  // fraction f / 60, products truncated
    int up = v * f / 60, down = v * (60 - f) / 60;
    int r = 0, g = 0, b = 0;
    switch (s) {
      case 0: r = v, g = up, b = 0; break;
      case 1: r = down, g = v, b = 0; break;
      case 2: r = 0, g = v, b = up; break;
      case 3: r = 0, g = down, b = v; break;
      case 4: r = up, g = 0, b = v; break;
      default: r = v, g = 0, b = down; break;
    }
    if (k % 2 == 1) r = (r + v) / 2, g = (g + v) / 2, b = (b + v) / 2;
    p[i] = {uint8_t(r), uint8_t(g), uint8_t(b)};
  }
  // Entries whose stored values were rounded rather than truncated.
  static const struct {
    uint8_t index;
    Rgb rgb;
  } fixed[] = {
      {37, {149, 112, 74}},  {39, {114, 86, 57}},   {46, {149, 112, 0}},   {47, {149, 131, 74}},
      {48, {114, 86, 0}},    {49, {114, 100, 57}},  {66, {112, 149, 0}},   {67, {131, 149, 74}},
      {68, {86, 114, 0}},    {69, {100, 114, 57}},  {77, {112, 149, 74}},  {79, {86, 114, 57}},
      {117, {74, 149, 112}}, {119, {57, 114, 86}},  {126, {0, 149, 112}},  {127, {74, 149, 131}},
      {128, {0, 114, 86}},   {129, {57, 114, 100}}, {146, {0, 112, 149}},  {147, {74, 131, 149}},
      {148, {0, 86, 114}},   {149, {57, 100, 114}}, {157, {74, 112, 149}}, {159, {57, 86, 114}},
      {197, {112, 74, 149}}, {199, {86, 57, 114}},  {206, {112, 0, 149}},  {207, {131, 74, 149}},
      {208, {86, 0, 114}},   {209, {100, 57, 114}}, {226, {149, 0, 112}},  {227, {149, 74, 131}},
      {228, {114, 0, 86}},   {229, {114, 57, 100}}, {237, {149, 74, 112}}, {239, {114, 57, 86}},
  };
  for (const auto& e : fixed) p[e.index] = e.rgb;
  static const uint8_t greys[6] = {84, 118, 152, 186, 220, 255};
  for (int i = 0; i < 6; ++i) p[250 + i] = {greys[i], greys[i], greys[i]};
  return p;
}

}  // namespace kzf_palette
