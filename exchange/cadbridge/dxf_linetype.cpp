// The LTYPE table into the drawing's line types.
#include "exchange/cadbridge/dxf_linetype.h"

#include <cctype>
#include <cmath>

#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_linetype.h"

std::string dxf_upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void Dxf_Line_Types::global_scale(double scale) {
  if (std::isfinite(scale) && scale > 0.0) scale_ = scale;
}

void Dxf_Line_Types::element(double length) {
  if (elements_.size() < kMaxElements && std::isfinite(length)) elements_.push_back(length);
}

void Dxf_Line_Types::add(const std::string& name, int count) {
  std::vector<double> own;
  if (count > 0 && size_t(count) <= elements_.size()) own.assign(elements_.end() - count, elements_.end());
  elements_.clear();
  bool gaps = false;
  double length = 0.0;
  for (double e : own) {
    gaps = gaps || e < 0.0;
    length += std::fabs(e);
  }
  const std::string key = dxf_upper(name);
  // A pattern without gaps draws solid and needs no line type.
  if (!gaps || !(length > 0.0) || by_name_.count(key)) return;
  MB_Line_Type* type = new MB_Line_Type;
  type->name(name.c_str());
  type->index(uint16_t(by_name_.size()));
  type->scale(scale_);
  type->pattern_length(length);
  for (double e : own) type->linetype_loop().add(new MB_Linetype_Node(e, 1.0, 0.0, 0.0, 0.0, 0, 0));
  drawing_.line_type_list().add_tail(type);
  by_name_.emplace(key, type);
}

MB_Line_Type* Dxf_Line_Types::resolve(const std::string& name, const MB_Layer* layer) {
  const std::string key = dxf_upper(name);
  if (key == "BYLAYER") return layer ? layer->line_type() : nullptr;
  auto it = by_name_.find(key);
  return it == by_name_.end() ? nullptr : it->second;
}
