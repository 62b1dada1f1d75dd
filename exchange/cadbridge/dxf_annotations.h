// The kinds the loader builds from the records themselves, after dxflib has
// made the layers, blocks and geometry: text styles, single-line and
// multi-line texts, attributes, dimensions and leaders. Each record goes
// where it stands (the block being defined, or model space; paper space is
// skipped as the builder skips it), with its own layer and colour.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "exchange/cadbridge/dxf_text.h"

class Dxf_Builder;
class MB_Block;
class MB_Drawing;

// A filled arrow head with its tip at `tip`, pointing away from `from`; a
// colour of 0 or more (0x00BBGGRR) replaces the record's.
void dxf_add_arrow(const As_Pt& tip, const As_Pt& from, double size, const Dxf_Record& record, Dxf_Target& target,
                   int64_t color = -1);
// DIMENSION: its geometry block inserted; without one (or naming a missing
// or empty block) its definition points and text drawn plainly.
void dxf_add_dimension(const Dxf_Record& record, Dxf_Target& target);
// ACAD_TABLE: its anonymous geometry block inserted as a block reference
// (groups 2, 10, 41 to 43 and 50); a table naming a missing or empty block
// is skipped and counted.
void dxf_add_table(const Dxf_Record& record, Dxf_Target& target);
// LEADER: the line (or a spline through its vertices) with its arrow head;
// its text is an MTEXT record of its own.
void dxf_add_leader(const Dxf_Record& record, Dxf_Target& target);
// MESH: the outline of each face, projected onto the drawing's plane.
void dxf_add_mesh(const Dxf_Record& record, Dxf_Target& target);
// MULTILEADER: each leader line with its arrow head and landing, and the
// text content.
void dxf_add_mleader(const Dxf_Record& record, Dxf_Target& target);

// WIPEOUT: a mask solid over its boundary, covering what lies beneath it
// with the background colour; its outline (a run of segments, the first
// vertex repeated) into `frame`. False for a record without a boundary.
bool dxf_add_wipeout(const Dxf_Record& record, Dxf_Target& target, std::vector<As_Pt>& frame);
// Moves the entity last placed into the target's block (or model space) to
// just after `under`, to its head for null with `at_head`.
void dxf_draw_after(Dxf_Target& target, MB_Drawable* under, bool at_head);

class Dxf_Annotations {
 public:
  Dxf_Annotations(MB_Drawing& drawing, Dxf_Builder& builder);

  // Reads every record of the guarded text.
  void read(const std::string& guarded_text);

  // Records made into entities, by kind, and the entities made.
  const std::map<std::string, size_t>& converted() const { return converted_; }
  size_t entity_count() const { return target_.placed(); }
  // Records (or parts of them) left out, by kind and reason.
  const std::map<std::string, size_t>& skipped() const { return target_.skipped(); }
  // Records drawn in a simpler form, by how.
  const std::map<std::string, size_t>& noted() const { return target_.noted(); }

 private:
  void record(const Dxf_Record& r);

  MB_Drawing& drawing_;
  Dxf_Header header_;
  Dxf_Target target_;
  std::string section_;
  bool discarding_ = false;
  std::map<std::string, size_t> converted_;
  // Blocks whose definition was read: a later one of the name is left out.
  std::set<const MB_Block*> defined_;
  // The outlines of the wipeouts, drawn after everything when the drawing's
  // wipeout settings (an object after the entities) ask for them.
  struct Wipeout_Frame {
    Dxf_Record record;
    MB_Block* block;
    std::vector<As_Pt> points;
  };
  std::vector<Wipeout_Frame> wipeout_frames_;
  bool show_wipeout_frames_ = false;
  // Where a wipeout goes among what the geometry pass placed: after the
  // entity of the last record before it that placed one; at the head of its
  // block or model space when no record before it did; at the tail when a
  // record without a handle leaves that unknown.
  MB_Drawable* under_ = nullptr;
  bool at_head_ = true;
};
