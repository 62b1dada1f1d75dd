// The outside drawing loader: opens DXF files (through dxflib, after the
// guard of dxf_guard.h) into a drawing that the caller already has. DWG files
// are refused: no reader of that format is available here. Every outcome is
// written to the kernel's log ("kzf.log") with the file's name.
#pragma once

#include <cstddef>
#include <map>
#include <string>

class MB_Drawing;

// What drw_marcompopen reports through its integer.
enum Cadbridge_Result : int {
  kCadbridgeLoaded = 0,
  kCadbridgePartly = 1,  // loaded what could be read; the log says why not more
  kCadbridgeNoDrawing = 2,
  kCadbridgeNoFile = 3,  // missing, unreadable or not a regular file
  kCadbridgeDwgNotRead = 4,
  kCadbridgeUnknownKind = 5,  // neither .dxf nor .dwg
  kCadbridgeNotDxf = 6,       // no DXF group could be read
};

class MB_Dwg_Load_Save {
 public:
  MB_Dwg_Load_Save() = default;
  MB_Dwg_Load_Save(const MB_Dwg_Load_Save&) = delete;
  MB_Dwg_Load_Save& operator=(const MB_Dwg_Load_Save&) = delete;
  virtual ~MB_Dwg_Load_Save() = default;

  // Adds the layers, blocks and entities of the file to the drawing, which
  // is filled in place: the pointer is never replaced or cleared. The new
  // objects have no display yet (the caller builds the drawing's display).
  // Nothing is recorded for undo. True when the file was read, wholly or in
  // part; false (the drawing as it was) otherwise. `result`, when given,
  // receives a Cadbridge_Result. The flag is not used.
  bool drw_marcompopen(MB_Drawing*& drawing, const char* path, int* result, bool flag);

  // What the last call read.
  size_t entity_count() const { return entities_; }
  size_t block_count() const { return blocks_; }
  const std::map<std::string, size_t>& skipped() const { return skipped_; }
  // Records of the kinds built without dxflib (texts, attributes,
  // dimensions, leaders) that gave entities, by kind.
  const std::map<std::string, size_t>& converted() const { return converted_; }
  // The first thing the last call could not read, in words: the first
  // problem met, else the first kind of record skipped ("" when none).
  const std::string& first_problem() const { return first_problem_; }

 private:
  int open(MB_Drawing& drawing, const char* path);

  size_t entities_ = 0;
  size_t blocks_ = 0;
  std::map<std::string, size_t> skipped_;
  std::map<std::string, size_t> converted_;
  std::string first_problem_;
};
