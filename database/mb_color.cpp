// Colours, colour maps and the two built-in palettes.
#include "database/mb_color.h"

#include <cstring>
#include <new>

namespace {

int scale_unit(float c) { return static_cast<int>(c * 255.99f); }

// The palette of format version 38 and later: 10 fixed colours, a 6x6x6
// cube with blue changing fastest, 19 greys and 11 fixed colours.
struct Current_Palette {
  MB_RGBA32 e[MB_Color_Map::kPaletteSize];
  Current_Palette() {
    static const int head[10][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},
                                    {128, 128, 0},   {0, 0, 128},     {128, 0, 128},
                                    {0, 128, 128},   {192, 192, 192}, {192, 220, 192},
                                    {166, 202, 240}};
    static const int greys[19] = {0,   13,  26,  40,  53,  67,  80,  93,  107, 120,
                                  134, 147, 161, 174, 187, 201, 214, 228, 241};
    static const int tail[11][3] = {{255, 255, 255}, {255, 251, 240}, {160, 160, 164},
                                    {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
                                    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                                    {0, 255, 255},   {255, 255, 255}};
    for (int i = 0; i < 10; ++i) e[i] = MB_RGBA32(head[i][0], head[i][1], head[i][2], 255);
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) e[10 + 36 * r + 6 * g + b] = MB_RGBA32(51 * r, 51 * g, 51 * b, 255);
    for (int i = 0; i < 19; ++i) e[226 + i] = MB_RGBA32(greys[i], greys[i], greys[i], 255);
    for (int i = 0; i < 11; ++i) e[245 + i] = MB_RGBA32(tail[i][0], tail[i][1], tail[i][2], 255);
  }
};

// The palette of format versions up to 37: 10 fixed colours, 24 hue families
// of ten entries (five levels, each saturated and then moved halfway to the
// level), a few entries the old tables rounded rather than truncated, and
// six greys.
struct Older_Palette {
  MB_RGBA32 e[MB_Color_Map::kPaletteSize];
  Older_Palette() {
    static const int head[10][3] = {{0, 0, 0},     {255, 0, 0},   {255, 255, 0},   {0, 255, 0},
                                    {0, 255, 255}, {0, 0, 255},   {255, 0, 255},   {0, 0, 0},
                                    {128, 128, 128}, {220, 220, 220}};
    static const int levels[5] = {255, 221, 184, 149, 114};
    static const int rounded[][4] = {
        {37, 149, 112, 74},  {39, 114, 86, 57},   {46, 149, 112, 0},   {47, 149, 131, 74},
        {48, 114, 86, 0},    {49, 114, 100, 57},  {66, 112, 149, 0},   {67, 131, 149, 74},
        {68, 86, 114, 0},    {69, 100, 114, 57},  {77, 112, 149, 74},  {79, 86, 114, 57},
        {117, 74, 149, 112}, {119, 57, 114, 86},  {126, 0, 149, 112},  {127, 74, 149, 131},
        {128, 0, 114, 86},   {129, 57, 114, 100}, {146, 0, 112, 149},  {147, 74, 131, 149},
        {148, 0, 86, 114},   {149, 57, 100, 114}, {157, 74, 112, 149}, {159, 57, 86, 114},
        {197, 112, 74, 149}, {199, 86, 57, 114},  {206, 112, 0, 149},  {207, 131, 74, 149},
        {208, 86, 0, 114},   {209, 100, 57, 114}, {226, 149, 0, 112},  {227, 149, 74, 131},
        {228, 114, 0, 86},   {229, 114, 57, 100}, {237, 149, 74, 112}, {239, 114, 57, 86}};
    static const int greys[6] = {84, 118, 152, 186, 220, 255};
    for (int i = 0; i < 10; ++i) e[i] = MB_RGBA32(head[i][0], head[i][1], head[i][2], 255);
    int r = 0, g = 0, b = 0;
    for (int i = 10; i < 250; ++i) {
      int hue = 15 * ((i - 10) / 10);
      int k = (i - 10) % 10;
      int v = levels[k / 2];
      if (k % 2 == 0) {
        int s = hue / 60;
        double f = (hue % 60) / 60.0;
        int up = static_cast<int>(v * f), down = static_cast<int>(v * (1.0 - f));
        switch (s) {
          case 0: r = v, g = up, b = 0; break;
          case 1: r = down, g = v, b = 0; break;
          case 2: r = 0, g = v, b = up; break;
          case 3: r = 0, g = down, b = v; break;
          case 4: r = up, g = 0, b = v; break;
          default: r = v, g = 0, b = down; break;
        }
        e[i] = MB_RGBA32(r, g, b, 255);
      } else {
        e[i] = MB_RGBA32((r + v) / 2, (g + v) / 2, (b + v) / 2, 255);
      }
    }
    for (const auto& x : rounded) e[x[0]] = MB_RGBA32(x[1], x[2], x[3], 255);
    for (int i = 0; i < 6; ++i) e[250 + i] = MB_RGBA32(greys[i], greys[i], greys[i], 255);
  }
};

// Index of the colour's cell in the 6x6x6 cube (0 to 215).
int cube_index(MB_RGBA32 c) {
  auto level = [](int v) { return (3 * v) >> 7; };
  return 36 * level(c.red()) + 6 * level(c.green()) + level(c.blue());
}

int square(int v) { return v * v; }

// The entry nearest to the colour by the sum of squared byte differences; a
// later entry wins only with a strictly smaller sum.
int nearest_index(const MB_RGBA32* entries, int size, MB_RGBA32 c) {
  int best = -1;
  int best_score = 0x80000;
  for (int i = 0; i < size; ++i) {
    MB_RGBA32 e = entries[i];
    int score = square(e.red() - c.red()) + square(e.green() - c.green()) +
                square(e.blue() - c.blue()) + square(e.alpha() - c.alpha());
    if (score < best_score) {
      best_score = score;
      best = i;
    }
  }
  return best;
}

}  // namespace

MB_RGB::MB_RGB(const float& r, const float& g, const float& b)
    : red(scale_unit(r)), green(scale_unit(g)), blue(scale_unit(b)) {}

MB_RGBA32::MB_RGBA32(const float& r, const float& g, const float& b, float a)
    : MB_RGBA32(scale_unit(r), scale_unit(g), scale_unit(b), scale_unit(a)) {}

// ---------------------------------------------------------------------------

MB_Color::MB_Color() = default;

MB_Color::MB_Color(MB_RGBA32 rgba, MB_Color_Map_Mode mode) { set(rgba, mode); }

MB_Color::MB_Color(int r, int g, int b, MB_Color_Map_Mode mode) { set(r, g, b, mode); }

MB_Color::MB_Color(int r, int g, int b, int a, MB_Color_Map_Mode mode) { set(r, g, b, a, mode); }

MB_Color::MB_Color(int32_t index, const MB_Color_Map& map) { set(index, map); }

MB_Color::MB_Color(int32_t value) : value_(value) {}

void MB_Color::set(MB_RGBA32 rgba, MB_Color_Map_Mode mode) {
  rgba_ = rgba;
  mode_ = mode;
  index_ = -1;
}

void MB_Color::set(int r, int g, int b, MB_Color_Map_Mode mode) {
  set(MB_RGBA32(r, g, b, 255), mode);
}

void MB_Color::set(int r, int g, int b, int a, MB_Color_Map_Mode mode) {
  set(MB_RGBA32(r, g, b, a), mode);
}

void MB_Color::set(int32_t index, const MB_Color_Map& map) {
  index_ = index;
  map.entry(index, rgba_);
}

bool MB_Color::operator==(const MB_Attribute& other) const {
  if (other.object_id() != ID_COLOR) return false;
  const MB_Color& o = static_cast<const MB_Color&>(other);
  return rgba_ == o.rgba_ && index_ == o.index_;
}

int MB_Color::map_to_index(MB_RGBA32 rgba, MB_Color_Map_Mode mode, const MB_Color_Map& map) {
  int c = cube_index(rgba);
  MB_RGBA32 at;
  bool exact = map.entry(c, at) && at == rgba;
  switch (mode) {
    case MAP_EXACT_CUBE:
      return exact ? c : -1;
    case MAP_CUBE:
      return c;
    case MAP_EXACT: {
      if (exact) return c;
      int n = nearest_index(map.map(), map.size(), rgba);
      return map.entry(n, at) && at == rgba ? n : -1;
    }
    case MAP_NEAREST:
      return exact ? c : nearest_index(map.map(), map.size(), rgba);
    default:
      return -1;
  }
}

// ---------------------------------------------------------------------------

const MB_RGBA32* MB_Color_Map::current_palette() {
  static const Current_Palette palette;
  return palette.e;
}

const MB_RGBA32* MB_Color_Map::older_palette() {
  static const Older_Palette palette;
  return palette.e;
}

MB_Color_Map::MB_Color_Map(int version) {
  assign(kPaletteSize, version > 37 ? current_palette() : older_palette());
}

MB_Color_Map::MB_Color_Map(const MB_Color_Map& other) : MB_Attribute() {
  assign(other.size_, other.entries_);
  serial_ = other.serial_;
}

MB_Color_Map& MB_Color_Map::operator=(const MB_Color_Map& other) {
  if (this != &other) {
    assign(other.size_, other.entries_);
    serial_ = other.serial_;
    read_state_ = 0;
  }
  return *this;
}

MB_Color_Map::~MB_Color_Map() { delete[] entries_; }

bool MB_Color_Map::assign(int count, const MB_RGBA32* colors) {
  MB_RGBA32* copy = nullptr;
  if (count > 0 && colors) {
    copy = new (std::nothrow) MB_RGBA32[static_cast<size_t>(count)];
    if (copy) std::memcpy(copy, colors, sizeof(MB_RGBA32) * static_cast<size_t>(count));
  }
  delete[] entries_;
  entries_ = copy;
  size_ = copy ? count : 0;
  return copy != nullptr || count == 0;
}

void MB_Color_Map::clear() {
  delete[] entries_;
  entries_ = nullptr;
  size_ = 0;
  serial_ = -2;
  read_state_ = 0;
}

MB_RGBA32 MB_Color_Map::map(unsigned char i) const {
  MB_RGBA32 c(255u);
  entry(i, c);
  return c;
}

bool MB_Color_Map::entry(int i, MB_RGBA32& out) const {
  if (i < 0 || i >= size_ || !entries_) return false;
  out = entries_[i];
  return true;
}

int MB_Color_Map::closest_index(const MB_Color& color) const {
  if (size_ <= 0 || !entries_) return -1;
  MB_RGBA32 at;
  if (entry(color.index(), at) && at == color.rgba()) return color.index();
  return nearest_index(entries_, size_, color.rgba());
}

bool MB_Color_Map::operator==(const MB_Attribute& other) const {
  if (other.object_id() != ID_COLOR_MAP) return false;
  const MB_Color_Map& o = static_cast<const MB_Color_Map&>(other);
  if (size_ != o.size_) return false;
  if (serial_ == o.serial_) return true;
  return size_ == 0 || std::memcmp(entries_, o.entries_, sizeof(MB_RGBA32) * static_cast<size_t>(size_)) == 0;
}
