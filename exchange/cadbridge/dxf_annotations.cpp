// The records the loader builds itself, walked in file order.
#include "exchange/cadbridge/dxf_annotations.h"

#include "database/entities/mb_block.h"
#include "database/mb_drawing.h"
#include "exchange/cadbridge/dxf_mtext.h"

Dxf_Annotations::Dxf_Annotations(MB_Drawing& drawing, Dxf_Builder& builder)
    : drawing_(drawing), target_(drawing, builder, header_) {}

void Dxf_Annotations::read(const std::string& guarded_text) {
  dxf_each_record(guarded_text, [this](const Dxf_Record& r) { record(r); });
}

void Dxf_Annotations::record(const Dxf_Record& r) {
  const std::string& type = r.type;
  if (type == "SECTION") {
    section_ = r.text(2);
    if (section_ == "HEADER") header_.read(r);
    return;
  }
  if (type == "ENDSEC") {
    section_.clear();
    return;
  }
  if (section_ == "TABLES") {
    if (type == "STYLE") dxf_add_style(r, target_);
    if (type == "DIMSTYLE") header_.add_dim_style(r);
    return;
  }
  if (type == "BLOCK") {
    // The builder keeps the first definition of a name; so do we.
    MB_Block* block = drawing_.find_block(r.text(2).c_str());
    discarding_ = !block || !defined_.insert(block).second;
    target_.block(block);
    return;
  }
  if (type == "ENDBLK") {
    target_.block(nullptr);
    discarding_ = false;
    return;
  }
  if (section_ != "ENTITIES" && section_ != "BLOCKS") return;
  if (discarding_) return;
  void (*add)(const Dxf_Record&, Dxf_Target&) = nullptr;
  if (type == "TEXT" || type == "ATTRIB") {
    add = dxf_add_text;
  } else if (type == "ATTDEF") {
    // A definition inside a block is the template of its inserts' attributes,
    // which draw in its place; a constant one has none and draws itself.
    if (!target_.block() || (r.integer(70, 0) & kDxfAttributeConstant)) add = dxf_add_text;
  } else if (type == "MTEXT") {
    add = dxf_add_mtext;
  } else if (type == "DIMENSION") {
    add = dxf_add_dimension;
  } else if (type == "ACAD_TABLE") {
    add = dxf_add_table;
  } else if (type == "LEADER") {
    add = dxf_add_leader;
  } else if (type == "MULTILEADER" || type == "MLEADER") {
    add = dxf_add_mleader;
  }
  if (!add) return;
  if (!target_.block() && r.integer(67, 0) == 1) {
    target_.skip("paper space entity");
    return;
  }
  const size_t before = target_.placed();
  add(r, target_);
  if (target_.placed() > before) ++converted_[type];
}
