// The outside drawing loader: file checks, the guard, dxflib's parse into the
// builder, and the log of what happened.
#include "exchange/cadbridge/mb_dwg_load_save.h"

#include <dxflib/dl_dxf.h>

#include <locale>
#include <new>
#include <sstream>

#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "database/mb_undo_redo.h"
#include "exchange/cadbridge/dxf_annotations.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_guard.h"
#include "exchange/cadbridge/dxf_inherit.h"
#include "geometry/as_log.h"
#include "qm_file.h"

namespace {

constexpr const char* kLogTitle = "cadbridge: ";
// Larger files are refused rather than read whole into memory.
constexpr size_t kMaxFileBytes = size_t(1) << 30;

void log_line(const char* path, const std::string& text) { message_out(kLogTitle, path, (" " + text).c_str(), false); }

// dxflib reads numbers through streams of the global locale: the classic
// one holds while it parses, whatever the host set.
class Classic_Locale {
 public:
  Classic_Locale() : saved_(std::locale::global(std::locale::classic())) {}
  ~Classic_Locale() { std::locale::global(saved_); }
  Classic_Locale(const Classic_Locale&) = delete;
  Classic_Locale& operator=(const Classic_Locale&) = delete;

 private:
  std::locale saved_;
};

// Loading records no undo commands; the recording store comes back after.
class Undo_Paused {
 public:
  Undo_Paused() : saved_(g_undo_redo) { g_undo_redo = nullptr; }
  ~Undo_Paused() { g_undo_redo = saved_; }
  Undo_Paused(const Undo_Paused&) = delete;
  Undo_Paused& operator=(const Undo_Paused&) = delete;

 private:
  MB_Undo_Redo* saved_;
};

}  // namespace

bool MB_Dwg_Load_Save::drw_marcompopen(MB_Drawing*& drawing, const char* path, int* result, bool) {
  entities_ = blocks_ = 0;
  skipped_.clear();
  converted_.clear();
  first_problem_.clear();
  int code = kCadbridgeNoDrawing;
  if (drawing) {
    try {
      code = open(*drawing, path);
    } catch (const std::bad_alloc&) {
      log_line(path, "failed: out of memory");
      code = kCadbridgeNotDxf;
    } catch (...) {
      log_line(path, "failed: the DXF reader stopped with an error");
      code = kCadbridgeNotDxf;
    }
  } else {
    message_out(kLogTitle, path, " failed: no drawing to load into", true);
  }
  if (result) *result = code;
  return code == kCadbridgeLoaded || code == kCadbridgePartly;
}

int MB_Dwg_Load_Save::open(MB_Drawing& drawing, const char* path) {
  message_out(kLogTitle, path, "", true);
  if (!path || !*path) {
    log_line(path, "failed: no file name");
    return kCadbridgeNoFile;
  }
  if (is_file_ext(path, "dwg")) {
    log_line(path, "failed: DWG files are not read; save the drawing as DXF");
    return kCadbridgeDwgNotRead;
  }
  if (!is_file_ext(path, "dxf")) {
    log_line(path, "failed: only DXF files are read");
    return kCadbridgeUnknownKind;
  }
  std::string bytes;
  if (!qm_read_file(path, bytes, kMaxFileBytes)) {
    log_line(path,
             "failed: the file cannot be read (missing, not a regular "
             "file, or larger than 1 GiB)");
    return kCadbridgeNoFile;
  }
  Dxf_Guarded guarded;
  const bool readable = dxf_guard(bytes, guarded);
  bytes.clear();
  bytes.shrink_to_fit();
  for (const std::string& p : guarded.problems) log_line(path, p);
  for (const std::string& n : guarded.notes) log_line(path, n);
  if (!readable) {
    log_line(path, "failed: no DXF group could be read");
    return kCadbridgeNotDxf;
  }

  Dxf_Builder builder(drawing, guarded);
  const std::string given(path);
  builder.picture_folder(given.substr(0, given.find_last_of('/') + 1));
  Dxf_Annotations annotations(drawing, builder);
  {
    Undo_Paused paused;
    Classic_Locale classic;
    std::istringstream stream(guarded.text);
    DL_Dxf dxf;
    dxf.in(stream, &builder);
    builder.finish();
    annotations.read(guarded.text);
  }
  Dxf_Inherit inherit(drawing, builder.inherited());
  inherit.run();
  for (const std::string& p : inherit.problems()) log_line(path, p);
  // The builder counts what annotations place through it.
  entities_ = builder.entity_count();
  blocks_ = builder.block_count();
  skipped_ = builder.skipped();
  converted_ = annotations.converted();
  for (const auto& s : annotations.skipped()) skipped_[s.first] += s.second;
  for (const std::string& p : builder.problems()) log_line(path, p);
  if (!guarded.problems.empty())
    first_problem_ = guarded.problems.front();
  else if (!builder.problems().empty())
    first_problem_ = builder.problems().front();
  else if (!skipped_.empty())
    first_problem_ = "skipped " + std::to_string(skipped_.begin()->second) + " " + skipped_.begin()->first;
  std::string summary = "read " + std::to_string(entities_) + " entities and " + std::to_string(blocks_) + " blocks";
  const char* joint = "; converted ";
  for (const auto& c : converted_) {
    summary += joint + std::to_string(c.second) + " " + c.first;
    joint = ", ";
  }
  for (const auto& n : annotations.noted()) summary += "; " + std::to_string(n.second) + " " + n.first;
  for (const auto& s : skipped_) summary += "; skipped " + std::to_string(s.second) + " " + s.first;
  log_line(path, summary);
  return guarded.problems.empty() && builder.problems().empty() ? kCadbridgeLoaded : kCadbridgePartly;
}
