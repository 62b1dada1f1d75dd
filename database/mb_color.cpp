// Colours, colour maps and the two built-in palettes.
#include "database/mb_color.h"

#include <cstring>
#include <new>

#include "database/fileformat/kzf_palette.h"

namespace {

int scale_unit(float c) { return static_cast<int>(c * 255.99f); }

// A palette of the native format as colour entries, opaque.
struct Palette_Entries {
  static_assert(std::tuple_size<kzf_palette::Palette>::value == MB_Color_Map::kPaletteSize, "one entry per index");
  MB_RGBA32 e[MB_Color_Map::kPaletteSize];
  explicit Palette_Entries(const kzf_palette::Palette& p) {
    for (size_t i = 0; i < p.size(); ++i) e[i] = MB_RGBA32(p[i].r, p[i].g, p[i].b, 255);
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
  static const Palette_Entries palette(kzf_palette::current_palette());
  return palette.e;
}

const MB_RGBA32* MB_Color_Map::older_palette() {
  static const Palette_Entries palette(kzf_palette::older_palette());
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
