// The load and save passes and the reading loop.
//
// Ownership in the loop is explicit: the object made from an opcode belongs
// to the pass until its process() hands it to the drawing (it is then in one
// of the drawing's lists, or process() called release_object()); the pass
// deletes every object it still owns when the next opcode is read or the
// pass closes, so an object whose reading failed is freed and one the
// drawing holds never is.
#include "database/entities/mb_block.h"
#include "database/fileformat/mb_file_io.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "database/mb_drawing.h"
#include "database/mb_object.h"

MB_Result MB_File_IO::get_next_object_shell() {
  dispose_object();
  opcode_start_ = position_;
  if (MB_Result r = opcode_.read_opcode(*this, false)) return r;
  ++opcode_count_;
  if (statistics_) {
    // The previous opcode's bytes run up to this one's start.
    Read_Statistics& s = *statistics_;
    if (s.last_slot >= 0) s.bytes[s.last_slot] += opcode_start_ - s.last_start;
    s.last_slot = Read_Statistics::slot_of(opcode_);
    s.last_start = opcode_start_;
    ++s.count[s.last_slot];
  }
  MB_Result r = MB_SUCCESS;
  object_ = opcode_.make_object(*rendition_, r, *this);
  if (!object_) return r ? r : MB_NO_OBJECT;
  return MB_SUCCESS;
}

namespace {

// The extended ASCII names with statistics slots of their own, from 256 on.
const char* const kCountedNames[] = {
    "(KZF V",    "(EndOfKZF",    "(Color",          "(ColorMap",       "(Author",         "(Background",
    "(Circle",   "(Comments",    "(Copyright",      "(Creator",        "(Created",        "(CodePage",
    "(DashPattern", "(Description", "(Ellipse",     "(Embed",          "(Font",           "(Image",
    "(Keywords", "(Layer",       "(LinePattern",    "(LineWeight",     "(LineStyle",      "(Modified",
    "(NamedView", "(PlotInfo",   "(SourceCreated",  "(SourceModified", "(SourceFilename", "(Subject",
    "(Text",     "(Title",       "(URL",            "(Units",          "(Viewport",       "(View"};
constexpr int kNameSlots = static_cast<int>(sizeof kCountedNames / sizeof kCountedNames[0]);
constexpr int kOtherNameSlot = 256 + kNameSlots;
constexpr int kFirstCodeSlot = kOtherNameSlot + 1;  // codes 1 to 8
const int32_t kCountedCodes[] = {1, 2, 3, 4, 5, 6, 7, 8, 16, 17, 0x123};
constexpr int kCodeSlots = static_cast<int>(sizeof kCountedCodes / sizeof kCountedCodes[0]);
constexpr int kOtherCodeSlot = kFirstCodeSlot + kCodeSlots;
static_assert(kOtherCodeSlot + 1 == MB_File_IO::Read_Statistics::kSlots, "one slot for each kind of opcode");

}  // namespace

int MB_File_IO::Read_Statistics::slot_of(const MB_Opcode& op) {
  switch (op.kind()) {
    case MB_Opcode::EXT_ASCII:
      for (int i = 0; i < kNameSlots; ++i)
        if (std::strcmp(op.name(), kCountedNames[i]) == 0) return 256 + i;
      return kOtherNameSlot;
    case MB_Opcode::EXT_BINARY:
      for (int i = 0; i < kCodeSlots; ++i)
        if (op.code() == kCountedCodes[i]) return kFirstCodeSlot + i;
      return kOtherCodeSlot;
    default: return op.byte();
  }
}

MB_Result MB_File_IO::get_next_object() {
  if (MB_Result r = get_next_object_shell()) return r;
  return object_->materialize(opcode_, *this);
}

MB_Result MB_File_IO::process_next_object() {
  if (MB_Result r = get_next_object()) return r;
  MB_Result r = object_->process(*this);
  if (object_ && object_->owner_list()) object_ = nullptr;
  return r;
}

MB_Result MB_File_IO::begin_pass(MB_File_mode mode, const char* path) {
  sys_errno_ = 0;
  if (!drawing_ || !path) return MB_BAD_MODE;
  file_name(path);
  drawing_->set_filename(path);
  mode_ = mode;
  return open();
}

bool MB_File_IO::load_kzf(const char* path) {
  MB_Undo_Pause pause;
  MB_Result r = begin_pass(MODE_READ, path);
  if (!r) {
    do {
      r = process_next_object();
    } while (r == MB_SUCCESS);
  }
  // A file that stops inside a block definition leaves no block open.
  if (drawing_) mb_close_block_definition(*drawing_, block_);
  block_ = nullptr;
  if (r != MB_END_OF_FILE) note_reason(r);
  const MB_Result c = close();
  result_ = r == MB_END_OF_FILE ? c : r;
  if (r == MB_END_OF_FILE) note_reason(c);
  return result_ == MB_SUCCESS;
}

void MB_File_IO::note_reason(MB_Result r) {
  reason_.clear();
  if (r == MB_SUCCESS) return;
  if (sys_errno_) {
    reason_ = qm_file_error(path_.c_str(), sys_errno_);
    return;
  }
  const bool short_data = r == MB_SHORT_READ || r == MB_AT_END || r == MB_NO_BYTE;
  if (mode_ == MODE_READ && short_data) {
    reason_ = opcode_count_ == 0 ? "not a drawing (" + std::to_string(file_bytes_) + " bytes, too short)"
                                 : "truncated at byte " + std::to_string(file_bytes_);
  } else if (mode_ == MODE_READ && (r == MB_SYNTAX_ERROR || r == MB_NO_MEMORY || r == MB_BAD_STATE)) {
    reason_ = std::string(mb_result_text(r)) + " (record " + std::to_string(opcode_count_) + ")";
  } else {
    reason_ = mb_result_text(r);
  }
}

MB_Result MB_File_IO::save_lists() {
  MB_Result first = MB_SUCCESS;
  // Tables first, so that entities read back find what they name. Line
  // types, font libraries, layouts, multi-line and hatch types are not
  // stored by this format.
  MB_Drawing& d = *drawing_;
  MB_Object_List* lists[] = {&d.block_list(),     &d.dim_style_list(),  &d.named_view_list(),
                             &d.layer_list(),     &d.view_port_list(),  &d.text_style_list(),
                             &d.object_list()};
  for (MB_Object_List* list : lists) {
    if (list == &d.block_list()) {
      // Every block before the blocks that insert it.
      MB_Result r = mb_serialize_blocks(*this, *list);
      if (!first) first = r;
      continue;
    }
    for (MB_Object* o = list->head(); o; o = o->next()) {
      MB_Result r = o->serialize(*this);
      if (!first) first = r;
    }
  }
  return first;
}

// A save writes a new file beside the drawing and puts it in place only when
// every byte was written, so a failed save never damages the file that was
// there before.
bool MB_File_IO::save_kzf(char* path) {
  MB_Undo_Pause pause;
  if (!drawing_ || !path) {
    result_ = MB_BAD_MODE;
    reason_ = !path ? "no file name" : "no drawing";
    return false;
  }
  MB_Result r = begin_pass(MODE_WRITE, path);
  drawing_->set_filename(path);
  if (!r) {
    heuristics_.compression = 1;
    r = save_lists();
  }
  if (r) discard_output();
  const MB_Result c = close();
  result_ = r ? r : c;
  note_reason(result_);
  return result_ == MB_SUCCESS;
}
