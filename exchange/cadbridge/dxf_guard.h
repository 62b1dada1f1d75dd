// The check every DXF file passes before dxflib parses it. dxflib trusts what
// it reads: counts size its arrays, a vertex group may arrive before the count
// it belongs to, lines longer than its buffer desynchronise it. The guard
// reads the group pairs itself, keeps each record (a 0 group and what follows
// it up to the next 0 group) only when every group code, number, count,
// handle and nesting level in it is sound, and hands dxflib the kept records
// as clean text. What dxflib does not report (polyline widths) is gathered
// on the way, and text of a drawing saved as UTF-8 or in another code page
// becomes the kernel's GBK (dxf_encoding.h).
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "exchange/cadbridge/dxf_hatch.h"

struct Dxf_Width {
  double start = 0.0;
  double end = 0.0;
};

// A mesh given as a classic polyline: a polygon mesh's grid of vertices, or
// a polyface mesh's vertices and faces (up to four 1-based vertex numbers
// each, negative where the edge that starts there is invisible, 0 for none).
struct Dxf_Mesh {
  int flags = 0;  // of the POLYLINE record
  int m = 0, n = 0;
  std::vector<As_Pt> points;
  std::vector<std::array<int, 4>> faces;
};

struct Dxf_Guarded {
  // The kept records as "code\nvalue\n" pairs, ending with "0\nEOF\n".
  std::string text;
  // Why records were left out or the reading stopped, one line each.
  std::vector<std::string> problems;
  // What was read otherwise than written, with nothing left out (a handle
  // that is not one), one line each.
  std::vector<std::string> notes;
  // Widths dxflib drops: per light polyline (in file order) one entry per
  // vertex; per classic polyline its default widths; per vertex record that
  // dxflib hands on (faces of meshes excluded) its own widths, or the
  // polyline's defaults when it gives none.
  std::vector<std::vector<Dxf_Width>> light_widths;
  std::vector<Dxf_Width> vertex_widths;
  // Per polyline record handed on, in file order: light (true) or classic.
  std::vector<bool> polyline_light;
  // Per HATCH record handed on, in file order (dxflib is handed the record
  // without its boundaries).
  std::vector<Dxf_Hatch> hatches;
  // Per 3DFACE record handed on, in file order: its invisible edges (group
  // 70).
  std::vector<int> face_edges;
  // Per mesh POLYLINE record handed on (polygon or polyface), in file order.
  std::vector<Dxf_Mesh> meshes;
  // The picture file of each IMAGEDEF object, by its handle in capitals
  // (the objects come after the entities that name them).
  std::map<std::string, std::string> picture_files;
};

// Group code limits of the format.
constexpr int kDxfMaxGroupCode = 1071;
// Longest value handed to dxflib (its line buffer holds 1,024 bytes).
constexpr size_t kDxfMaxValue = 1000;

// The name in ASCII capitals: DXF names and handles match without regard
// to case.
std::string dxf_upper(std::string name);

// False for a binary DXF or a file without one complete group; `out` holds
// what could be kept otherwise.
bool dxf_guard(const std::string& bytes, Dxf_Guarded& out);
