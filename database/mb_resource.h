// The kernel's resources: its own folder (the folder of the loaded library)
// with its support/ and fonts/ folders, and the cache of loaded font
// libraries. g_system_resource is built when the kernel is loaded and
// destroyed, with every library it holds, when it is unloaded.
#pragma once

#include <string>
#include <vector>

#include "database/mb_settings.h"
#include "geometry/as_void_list.h"

class MB_Font_Library;

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
  // Makes the library of a font file by its extension (TTF, TTC, SHX or SHP,
  // ignoring case) and appends it to the cache. `path` is a bare file name or
  // a full path, split at its last '/' or '\'. Null for a path starting with
  // '*', '.', '?' or '\', an unknown extension, or a file that does not load.
  MB_Font_Library* load_font(const char* path);
  // The same, but the library is known by `name` (its name and file name)
  // in place of the path's: the shipped font standing in for a default.
  MB_Font_Library* load_font_as(const char* path, const char* name);
  // Destroys every loaded library and empties the cache (and the failures).
  void free();
  // The path of a font file, the one rule for every font a drawing names: a
  // bare name lies in the fonts folder; a name with a folder is taken as it
  // is when something of exactly that name exists, else its file name
  // (the folder dropped) lies in the fonts folder. No folder but the fonts
  // folder is ever searched.
  std::string font_path(const char* file) const;
  // A font file load_font could not make a library of, and why ("No such
  // file or directory", "is a directory", "not a font this kernel reads").
  struct Font_Failure {
    std::string file, reason;
  };
  // Each such file once, in the order met.
  const std::vector<Font_Failure>& font_failures() const { return font_failures_; }

  // Installs the maker of one extension's libraries ("TTF", "TTC", "SHX",
  // "SHP");
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

extern MB_System_Resource g_system_resource;

// The kernel's folder, ending with '/', and its support/ and fonts/ folders.
// `out` holds at least 260 bytes; false (and an empty text) when the folder
// cannot be found or the name does not fit.
bool get_system_dir(char* out);
bool get_support_dir(char* out);
bool get_fonts_dir(char* out);
