// Colour values, the colour attribute and the 256-entry colour maps.
//
// MB_RGBA32 packs red, green, blue and alpha into one 32-bit word (red in the
// top byte). MB_Color is the attribute an entity's colour is written as;
// MB_Color_Map is an indexed table of MB_RGBA32 that lets a file name colours
// by one byte, filled from one of two built-in palettes (format version 38 and
// later, or older). Every look-up by index accepts only 0 <= index < size.
#pragma once

#include <cstdint>

#include "database/mb_object.h"

struct MB_RGB {
  int32_t red = 0, green = 0, blue = 0;

  MB_RGB() = default;
  MB_RGB(int r, int g, int b) : red(r), green(g), blue(b) {}
  // Components in 0 to 1, scaled by 255.99 and truncated.
  MB_RGB(const float& r, const float& g, const float& b);

  bool operator==(const MB_RGB& o) const {
    return red == o.red && green == o.green && blue == o.blue;
  }
  bool operator!=(const MB_RGB& o) const { return !(*this == o); }
};

struct MB_RGBA32 {
  uint32_t word = 0;

  constexpr MB_RGBA32() = default;
  constexpr explicit MB_RGBA32(uint32_t w) : word(w) {}
  // Each component is cut to 8 bits.
  constexpr MB_RGBA32(int r, int g, int b, int a)
      : word((uint32_t(r & 0xFF) << 24) | (uint32_t(g & 0xFF) << 16) |
             (uint32_t(b & 0xFF) << 8) | uint32_t(a & 0xFF)) {}
  // Components in 0 to 1, scaled by 255.99 and truncated.
  MB_RGBA32(const float& r, const float& g, const float& b, float a);

  MB_RGBA32& operator=(const MB_RGB& c) {
    *this = MB_RGBA32(c.red, c.green, c.blue, 255);
    return *this;
  }

  int red() const { return int(word >> 24); }
  int green() const { return int((word >> 16) & 0xFF); }
  int blue() const { return int((word >> 8) & 0xFF); }
  int alpha() const { return int(word & 0xFF); }

  bool operator==(const MB_RGBA32& o) const { return word == o.word; }
  bool operator!=(const MB_RGBA32& o) const { return word != o.word; }
};

class MB_Color_Map;

class MB_Color : public MB_Attribute {
 public:
  // How a component colour is matched against a colour map.
  enum MB_Color_Map_Mode : int32_t {
    MAP_NONE = 0,
    MAP_EXACT_CUBE = 1,  // the cube index, when that entry is the colour
    MAP_CUBE = 2,        // the cube index, whatever the map holds
    MAP_EXACT = 3,       // an entry that is the colour
    MAP_NEAREST = 4,     // the nearest entry
  };

  // Opaque white, no index.
  MB_Color();
  MB_Color(MB_RGBA32 rgba, MB_Color_Map_Mode mode);
  MB_Color(int r, int g, int b, MB_Color_Map_Mode mode);
  MB_Color(int r, int g, int b, int a, MB_Color_Map_Mode mode);
  MB_Color(int32_t index, const MB_Color_Map& map);
  // The colour record's value only.
  explicit MB_Color(int32_t value);
  MB_Color(const MB_Color&) = default;
  MB_Color& operator=(const MB_Color&) = default;

  // Stores the colour and the mode; the index becomes -1.
  void set(MB_RGBA32 rgba, MB_Color_Map_Mode mode);
  void set(int r, int g, int b, MB_Color_Map_Mode mode);
  void set(int r, int g, int b, int a, MB_Color_Map_Mode mode);
  // Stores the index; the colour becomes the map's entry when the index lies
  // in the map, else it is left as it was.
  void set(int32_t index, const MB_Color_Map& map);

  MB_RGBA32 rgba() const { return rgba_; }
  int32_t index() const { return index_; }
  MB_Color_Map_Mode mode() const { return mode_; }
  int32_t value() const { return value_; }
  void value(int32_t v) { value_ = v; }

  MB_ID object_id() const override { return ID_COLOR; }
  // Equal to another colour with the same rgba and index.
  bool operator==(const MB_Attribute& other) const override;

  // The index of the colour in the map under the mode, or -1.
  static int map_to_index(MB_RGBA32 rgba, MB_Color_Map_Mode mode, const MB_Color_Map& map);

  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result skip_operand(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;

 private:
  int32_t value_ = 0;
  MB_RGBA32 rgba_{255, 255, 255, 255};
  int32_t index_ = -1;
  MB_Color_Map_Mode mode_ = MAP_NONE;
  int32_t read_state_ = 0;
};

class MB_Color_Map : public MB_Attribute {
 public:
  static constexpr int kPaletteSize = 256;

  // 256 entries of the palette of that format version: the current one for
  // versions above 37, else the older one.
  explicit MB_Color_Map(int version = 38);
  // `count` colours of a reading or writing pass (MB_RGB with alpha 255),
  // numbered by the pass's colour map counter. Colours that cannot be held
  // (none, or no memory) leave the map empty.
  MB_Color_Map(int count, const MB_RGBA32* colors, MB_File_IO& io);
  MB_Color_Map(int count, const MB_RGB* colors, MB_File_IO& io);
  // A copy is a new object: unlinked, and reported to the undo store.
  MB_Color_Map(const MB_Color_Map& other);
  MB_Color_Map& operator=(const MB_Color_Map& other);
  ~MB_Color_Map() override;

  // The same on this map, freeing its old entries; false (and size 0) when
  // the colours cannot be held.
  bool set(int count, const MB_RGBA32* colors, MB_File_IO& io);
  bool set(int count, const MB_RGB* colors, MB_File_IO& io);
  // Makes `map` the colour map of the pass's current rendition and marks
  // the rendition's colour map changed; MB_BAD_STATE for a pass without one.
  static MB_Result default_process(MB_Color_Map& map, MB_File_IO& io);

  // Frees the entries; size 0, serial -2.
  void clear();
  int size() const { return size_; }
  int serial() const { return serial_; }
  const MB_RGBA32* map() const { return entries_; }
  // Entry i, or opaque black (the word 255) when i is not below the size.
  MB_RGBA32 map(unsigned char i) const;
  // Entry i when 0 <= i < size.
  bool entry(int i, MB_RGBA32& out) const;
  // The colour's own index when that entry is the colour, else the entry
  // nearest to it (the lowest index on a tie); -1 for an empty map.
  int closest_index(const MB_Color& color) const;

  MB_ID object_id() const override { return ID_COLOR_MAP; }
  // Same size, and the same serial or the same entries.
  bool operator==(const MB_Attribute& other) const override;

  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result skip_operand(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;

  // The two built-in palettes, 256 entries each.
  static const MB_RGBA32* current_palette();
  static const MB_RGBA32* older_palette();

 protected:
  // Replaces the entries by a copy of `count` colours; false (and size 0)
  // when they cannot be held.
  bool assign(int count, const MB_RGBA32* colors);

 private:
  int32_t size_ = 0;
  int32_t serial_ = -1;
  int32_t read_state_ = 0;
  MB_RGBA32* entries_ = nullptr;
};
