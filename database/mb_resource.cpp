// The kernel's folders and the cache of loaded font libraries.
#include "database/mb_resource.h"

#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "database/fonts/mb_font_library.h"
#include "database/mb_names.h"
#include "database/mb_undo_redo.h"
#include "qm_file.h"
#include "qm_module.h"

MB_System_Resource g_system_resource;

namespace {

constexpr size_t kPathSize = MAX_PATH;

// Copies a text into a buffer of `size` bytes when it fits whole; otherwise
// leaves an empty text. True when it fitted.
bool copy_whole(const std::string& text, char* out, size_t size) {
  if (text.size() >= size) {
    out[0] = 0;
    return false;
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
  return true;
}

// An object of this library, whose address names the kernel's module.
const char module_anchor = 0;

bool kernel_dir_plus(const char* sub, char* out) {
  if (!out) return false;
  std::string dir = qm_module_dir(&module_anchor);
  if (dir.empty()) {
    out[0] = 0;
    return false;
  }
  return copy_whole(dir + sub, out, kPathSize);
}

struct Loader_Slot {
  const char* ext;
  MB_Font_Loader load;
};

Loader_Slot loaders[] = {{"TTF", nullptr}, {"TTC", nullptr}, {"SHX", nullptr}, {"SHP", nullptr}};

Loader_Slot* loader_for(const char* ext) {
  for (Loader_Slot& s : loaders) {
    if (mb_same_name(s.ext, ext)) return &s;
  }
  return nullptr;
}

}  // namespace

MB_System_Resource::MB_System_Resource() { init_dir(); }

MB_System_Resource::~MB_System_Resource() { free(); }

bool MB_System_Resource::init_dir() {
  char buf[kPathSize];
  bool ok = get_system_dir(buf) && copy_whole(buf, system_dir_, kDirSize);
  ok = get_support_dir(buf) && copy_whole(buf, support_dir_, kDirSize) && ok;
  ok = get_fonts_dir(buf) && copy_whole(buf, fonts_dir_, kDirSize) && ok;
  if (!ok) system_dir_[0] = support_dir_[0] = fonts_dir_[0] = 0;
  return ok;
}

MB_Font_Library* MB_System_Resource::get_fontlib(const char* file_name) const {
  if (!file_name) return nullptr;
  for (As_Void_Node* n = fontlib_list_.head(); n; n = n->next()) {
    MB_Font_Library* lib = static_cast<MB_Font_Library*>(n->entity());
    if (mb_same_name(lib->file_name(), file_name)) return lib;
  }
  return nullptr;
}

MB_Font_Library* MB_System_Resource::load_font(const char* path) { return load_font_as(path, nullptr); }

MB_Font_Library* MB_System_Resource::load_font_as(const char* path, const char* name) {
  if (!path || !*path || std::strchr("*.?\\", path[0])) return nullptr;
  char file_name[kPathSize];
  if (!get_fname_by_pathstr(path, file_name) || !*file_name) return nullptr;
  const char* dot = std::strrchr(file_name, '.');
  Loader_Slot* slot = dot ? loader_for(dot + 1) : nullptr;
  if (!slot || !slot->load) return nullptr;
  // A library belongs to the cache, not to the drawing: it and the glyphs it
  // makes are kept out of any undo command being recorded, which could
  // otherwise free them under the cache.
  MB_Undo_Redo* recording = g_undo_redo;
  g_undo_redo = nullptr;
  MB_Font_Library* lib = slot->load(path, file_name);
  g_undo_redo = recording;
  if (!lib) {
    note_font_failure(path);
    return nullptr;
  }
  if (name && get_fname_by_pathstr(name, file_name)) {
    lib->name() = MB_String(name);
    lib->file_name(file_name);
  }
  fontlib_list_.add(lib);
  return lib;
}

void MB_System_Resource::note_font_failure(const char* file) {
  for (const Font_Failure& f : font_failures_)
    if (f.file == file) return;
  const std::string path = font_path(file);
  std::string reason = "not a font this kernel reads";
  if (FILE* f = qm_fopen(path.c_str(), "rb"))
    std::fclose(f);
  else
    reason = qm_file_error(path.c_str(), errno);
  font_failures_.push_back({file, reason});
}

std::string MB_System_Resource::font_path(const char* file) const {
  if (!file) return std::string();
  if (!std::strchr(file, '/') && !std::strchr(file, '\\')) return std::string(fonts_dir_) + file;
  // A name with a folder, as a drawing may give it, is that file only when
  // something of exactly that name exists (the reader then refuses anything
  // but a regular file, with its reason): it is never spelled out without
  // regard to case, which would list folders the drawing chose. Otherwise
  // its file name is looked up in the fonts folder.
  struct stat st;
  if (stat(file, &st) == 0) return file;
  char name[kPathSize];
  get_fname_by_pathstr(file, name);
  return std::string(fonts_dir_) + name;
}

void MB_System_Resource::free() {
  for (As_Void_Node* n = fontlib_list_.head(); n; n = n->next()) {
    delete static_cast<MB_Font_Library*>(n->entity());
  }
  fontlib_list_.emptyYourself();
  font_failures_.clear();
}

MB_Font_Loader MB_System_Resource::font_loader(const char* ext, MB_Font_Loader loader) {
  Loader_Slot* slot = loader_for(ext);
  if (!slot) return nullptr;
  MB_Font_Loader old = slot->load;
  slot->load = loader;
  return old;
}

bool get_system_dir(char* out) { return kernel_dir_plus("", out); }

bool get_support_dir(char* out) { return kernel_dir_plus("support/", out); }

bool get_fonts_dir(char* out) { return kernel_dir_plus("fonts/", out); }
