// Line types of the file's LTYPE table, as the kernel's line types, and the
// line type an entity resolves to.
#pragma once

#include <map>
#include <string>
#include <vector>

class MB_Drawing;
class MB_Layer;
class MB_Line_Type;

// The name in ASCII capitals: DXF names and handles match without regard
// to case.
std::string dxf_upper(std::string name);

class Dxf_Line_Types {
 public:
  // Elements of one pattern kept; a longer pattern keeps its first ones.
  static constexpr size_t kMaxElements = 64;

  explicit Dxf_Line_Types(MB_Drawing& drawing) : drawing_(drawing) {}

  // The drawing's global line type scale ($LTSCALE); patterns made after it
  // are scaled by it.
  void global_scale(double scale);
  // The elements of a table entry as they are read (dashes positive, dots
  // 0, gaps negative, in drawing units), then the entry itself with how
  // many elements it has: the last `count` elements read are its own.
  void element(double length);
  void add(const std::string& name, int count);

  // What an entity or layer naming `name` draws with: the layer's own for
  // BYLAYER, none for CONTINUOUS, BYBLOCK or a name the table lacks.
  MB_Line_Type* resolve(const std::string& name, const MB_Layer* layer);

 private:
  MB_Drawing& drawing_;
  double scale_ = 1.0;
  std::vector<double> elements_;
  std::map<std::string, MB_Line_Type*> by_name_;  // upper-cased names
};
