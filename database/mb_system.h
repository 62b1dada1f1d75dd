// The kernel's process-wide settings and resources, and the small utilities
// the rest of the kernel shares.
//
// g_system_setting holds the colours, default attribute values and curve
// precisions in three indexed tables; an index outside a table reads 0 and
// writes nothing. g_system_resource knows the kernel's own folder (the folder
// of the loaded library) with its support/ and fonts/ folders, and owns the
// cache of loaded font libraries. Both are built when the kernel is loaded and
// destroyed when it is unloaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/as_pt.h"
#include "geometry/as_void_list.h"

class MB_Font_Library;

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

// Makes the library of a font file: `path` as load_font was given it (a bare
// file name, looked up in the fonts folder, or a full path), `file_name` its
// last component. Null when the file cannot be loaded.
typedef MB_Font_Library* (*MB_Font_Loader)(const char* path, const char* file_name);

class MB_System_Resource {
 public:
  static constexpr int kDirSize = 256;
  // The shape font the kernel ships in its fonts folder (a unifont with
  // Latin, kana and kanji). It draws in place of a default font the folder
  // lacks (mb_font_from_cache).
  static constexpr const char* kShippedFont = "kst32b.shx";

  // Finds the directories.
  MB_System_Resource();
  MB_System_Resource(const MB_System_Resource&) = delete;
  MB_System_Resource& operator=(const MB_System_Resource&) = delete;
  // Destroys every loaded library.
  virtual ~MB_System_Resource();

  // Fills the three directories; false (and empty ones) when the kernel's
  // folder cannot be found or its names do not fit.
  bool init_dir();
  const char* system_dir() const { return system_dir_; }
  const char* fonts_dir() const { return fonts_dir_; }
  const char* support_dir() const { return support_dir_; }
  // The loaded libraries (MB_Font_Library*), owned.
  As_Void_List& fontlib_list() { return fontlib_list_; }
  MB_System_Setting& setting() { return setting_; }

  // The first loaded library of that file name, ignoring case; null when none.
  MB_Font_Library* get_fontlib(const char* file_name) const;
  // Makes the library of a font file by its extension (TTF, SHX or SHP,
  // ignoring case) and appends it to the cache. `path` is a bare file name or
  // a full path, split at its last '/' or '\'. Null for a path starting with
  // '*', '.', '?' or '\', an unknown extension, or a file that does not load.
  MB_Font_Library* load_font(const char* path);
  // The same, but the library is known by `name` (its name and file name)
  // in place of the path's: the shipped font standing in for a default.
  MB_Font_Library* load_font_as(const char* path, const char* name);
  // Destroys every loaded library and empties the cache (and the failures).
  void free();
  // The path of a font file: a bare name lies in the fonts folder, a name
  // with a folder is taken as it is.
  std::string font_path(const char* file) const;
  // A font file load_font could not make a library of, and why ("No such
  // file or directory", "is a directory", "not a font this kernel reads").
  struct Font_Failure {
    std::string file, reason;
  };
  // Each such file once, in the order met.
  const std::vector<Font_Failure>& font_failures() const { return font_failures_; }

  // Installs the maker of one extension's libraries ("TTF", "SHX", "SHP");
  // returns the one it replaces. Other extensions are refused (null).
  static MB_Font_Loader font_loader(const char* ext, MB_Font_Loader loader);

 private:
  void note_font_failure(const char* file);

  char system_dir_[kDirSize] = {};
  char fonts_dir_[kDirSize] = {};
  char support_dir_[kDirSize] = {};
  As_Void_List fontlib_list_;
  std::vector<Font_Failure> font_failures_;
  MB_System_Setting setting_;
};

extern MB_System_Setting g_system_setting;
extern MB_System_Resource g_system_resource;

// The kernel's folder, ending with '/', and its support/ and fonts/ folders.
// `out` holds at least 260 bytes; false (and an empty text) when the folder
// cannot be found or the name does not fit.
bool get_system_dir(char* out);
bool get_support_dir(char* out);
bool get_fonts_dir(char* out);

// Appends an entry to "kzf.log" in the current folder: with `stamp`, a line
// of 14 dashes and the UTC time; then 15 dashes, the three texts and a line
// end. A null text counts as empty; a log that cannot be opened gets nothing.
void message_out(const char* text1, const char* text2, const char* text3, bool stamp);
// The same with the point as "x:%.4f  y:%.4f  z:%.4f" for the second text.
void message_out(const char* text1, const As_Pt& p, const char* text3, bool stamp);

// A message box with an OK button and no owner, showing "%s%.4f" or "%s%d"
// of the text and the value.
void message_box(const char* text, double value, const char* caption);
void message_box(const char* text, int value, const char* caption);

// True when the text after the last '.' of the path equals `ext`, ignoring
// case; false when the path has no '.'.
bool is_file_ext(const char* path, const char* ext);
// Copies the part of the path after its last '/' or '\' (all of it when it
// has none) into `out`, which holds at least 260 bytes; false for a null path.
bool get_fname_by_pathstr(const char* path, char* out);
// Names compared without regard to ASCII case. The two bytes of a GBK
// character are compared exactly, so a trail byte that looks like a letter
// is not folded.
bool mb_same_name(const char* a, const char* b);
// No conversion is done here: each writes an empty text and returns true.
bool char2unicode(const char* in, char* out);
bool unicode2char(const char* in, char* out);

// The family name of a TrueType font file in the Windows folder's fonts/:
// the name in the system's language when the font has one, else the US
// English one, as 8-bit (GBK) text cut to fit `out_size` bytes. False, with
// `out` untouched, when the file does not open or gives no family name.
bool get_ttf_name_by_file(const char* file_name, char* out, size_t out_size);
// The same for a file given by its path and for a given language.
bool get_ttf_name_by_path(const char* path, uint16_t language, char* out, size_t out_size);
