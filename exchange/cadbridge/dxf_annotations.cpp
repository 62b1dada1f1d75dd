// The records the loader builds itself, walked in file order.
#include "exchange/cadbridge/dxf_annotations.h"

#include <algorithm>

#include "database/entities/mb_block.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_solid.h"
#include "database/mb_drawing.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_image.h"
#include "exchange/cadbridge/dxf_mtext.h"

Dxf_Annotations::Dxf_Annotations(MB_Drawing& drawing, Dxf_Builder& builder)
    : drawing_(drawing), target_(drawing, builder, header_) {}

namespace {

// The bit of the wipeout settings' flags (group 70) that shows the frames.
constexpr int kShowWipeoutFrames = 1;

}  // namespace

bool dxf_add_wipeout(const Dxf_Record& r, Dxf_Target& target, std::vector<As_Pt>& frame) {
  const std::vector<As_Pt> boundary = dxf_clip_boundary(r);
  if (boundary.size() < 3) {
    target.skip("WIPEOUT without a boundary");
    return false;
  }
  MB_Solid* mask = new MB_Solid(int(boundary.size()));
  std::copy(boundary.begin(), boundary.end(), mask->points());
  mask->mask(true);
  target.place(mask, r);
  frame = boundary;
  frame.push_back(boundary.front());
  return true;
}

void dxf_draw_after(Dxf_Target& target, MB_Drawable* under, bool at_head) {
  MB_Object_List& list = target.block() ? target.block()->object_list() : target.drawing().object_list();
  MB_Object* last = list.tail();
  if (!last || last == under) return;
  if (under && list.contains(under)) {
    list.add_before(last, under->next());
  } else if (!under && at_head) {
    list.add_before(last, list.head());
  }
}

void Dxf_Annotations::read(const std::string& guarded_text) {
  dxf_each_record(guarded_text, [this](const Dxf_Record& r) { record(r); });
  if (!show_wipeout_frames_) return;
  MB_Block* const open = target_.block();
  for (const Wipeout_Frame& f : wipeout_frames_) {
    target_.block(f.block);
    MB_Lines* lines = new MB_Lines(int(f.points.size()));
    std::copy(f.points.begin(), f.points.end(), lines->points());
    target_.place(lines, f.record);
  }
  target_.block(open);
}

void Dxf_Annotations::record(const Dxf_Record& r) {
  const std::string& type = r.type;
  if (type == "SECTION" || type == "BLOCK" || type == "ENDBLK") {
    under_ = nullptr;
    at_head_ = true;
  }
  if (type == "SECTION") {
    section_ = r.text(2);
    if (section_ == "HEADER") header_.read(r);
    return;
  }
  if (type == "ENDSEC") {
    section_.clear();
    return;
  }
  if (section_ == "OBJECTS" && type == "WIPEOUTVARIABLES") {
    show_wipeout_frames_ = (r.integer(70, 0) & kShowWipeoutFrames) != 0;
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
  } else if (type == "DIMENSION" || type == "ARC_DIMENSION" || type == "LARGE_RADIAL_DIMENSION") {
    // Arc-length and jogged radius dimensions carry their picture in a
    // block as every other dimension does.
    add = dxf_add_dimension;
  } else if (type == "ACAD_TABLE") {
    add = dxf_add_table;
  } else if (type == "LEADER") {
    add = dxf_add_leader;
  } else if (type == "MESH") {
    add = dxf_add_mesh;
  } else if (type == "MULTILEADER" || type == "MLEADER") {
    add = dxf_add_mleader;
  }
  if (type == "WIPEOUT" && !(!target_.block() && r.integer(67, 0) == 1)) {
    std::vector<As_Pt> frame;
    if (dxf_add_wipeout(r, target_, frame)) {
      dxf_draw_after(target_, under_, at_head_);
      ++converted_[type];
      wipeout_frames_.push_back(Wipeout_Frame{r, target_.block(), std::move(frame)});
    }
    return;
  }
  MB_Drawable* placed = target_.placed_for(r.text(5));
  if (type == "IMAGE" && placed && placed->object_id() == MB_Object::ID_IMAGE) {
    target_.builder().turn_and_clip(*static_cast<MB_Image*>(placed), r);
  }
  if (type == "INSERT") {
    target_.attributes_of(placed, r.text(8, "0"));
  } else if (type != "ATTRIB") {
    target_.attributes_of(nullptr, std::string());
  }
  if (placed) {
    under_ = placed;
  } else if (!r.has(5)) {
    at_head_ = false;
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
