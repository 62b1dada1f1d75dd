// The insert-block and create-block tools.
#include "control/tools/block_tools.h"

#include <cstdlib>

#include "api/api_create.h"
#include "control/current_drawing.h"
#include "control/control_texts.h"
#include "control/dialogs/block_dialogs.h"
#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"

namespace {

// Blocks inserting blocks inserting blocks ... are copied this deep at most.
constexpr int kMaxNesting = 64;

// Copies a block of another drawing into `drawing`, with the blocks it
// inserts that the drawing lacks: the copy's inserts are bound to the
// drawing's blocks of their names, so nothing of the copy points into the
// drawing it came from, which may go as soon as the copy is made.
MB_Block* import_block(MB_Drawing& drawing, MB_Block& source, int depth) {
  MB_Object* made = nullptr;
  if (!source.copy_to(made) || !made) return nullptr;
  auto* copy = static_cast<MB_Block*>(made);
  // Joined first: a block that inserts itself finds its own copy.
  drawing.block_list().add_tail(copy);
  for (MB_Object* o = copy->object_list().head(); o; o = o->next()) {
    MB_Insert* insert = mb_to_insert(o);
    if (!insert || !insert->block()) continue;
    MB_Block* nested = insert->block();
    const char* name = nested->name().ascii();
    MB_Block* own = name ? drawing.find_block(name) : nullptr;
    if (!own && depth < kMaxNesting) own = import_block(drawing, *nested, depth + 1);
    insert->block(own);
  }
  copy->build_draw();
  return copy;
}

}  // namespace

// ---- Insert block ----

InsertBlockTool::InsertBlockTool(long tool_id, const MB_String& title, MB_Operation* operation)
    : ControlTool(tool_id, title, operation) {
  InsertBlockDialog dialog(drawing());
  if (dialog.DoModal() != IDOK) return;
  const MB_Block* block = dialog.chosen_block();
  if (!block) return;
  make_prototype(block->name().ascii(), std::atof(dialog.x_scale), std::atof(dialog.y_scale), std::atof(dialog.z_scale),
                 std::atof(dialog.angle) * kDegree);
}

InsertBlockTool::InsertBlockTool(long tool_id, const MB_String& title, MB_Operation* operation, MB_Block* source)
    : ControlTool(tool_id, title, operation) {
  MB_Drawing* d = drawing();
  if (!d || !source || !source->name().ascii()) return;
  const char* name = source->name().ascii();
  if (!d->find_block(name) && !import_block(*d, *source, 0)) return;
  make_prototype(name, 1.0, 1.0, 1.0, 0.0);
}

void InsertBlockTool::make_prototype(const char* block_name, double x_scale, double y_scale, double z_scale,
                                     double angle) {
  Current_Drawing current(operation() ? operation()->drawing() : nullptr);
  prototype_.reset(reinterpret_cast<MB_Insert*>(
      api_mb_create_insert(block_name, As_Pt(0, 0, 0), x_scale, y_scale, z_scale, angle, false)));
}

InsertBlockTool::~InsertBlockTool() { rubber().reset(); }

void InsertBlockTool::lbuttondown(int) {
  pos_list().add_tail(snap_pos());
  if (pos_list().count() != 1 || !prototype_) return;
  rubber().reset();
  const As_Pt at = pos_list().head()->point();
  place_copy(*prototype_, quill::kTextInsertBlock,
             [&at](MB_Drawable& copy) { static_cast<MB_Insert&>(copy).point(at); });
  clear_pos_list();
}

void InsertBlockTool::lbuttonup(int) { clear_pos_list(); }

void InsertBlockTool::rbuttondown(int) { end(); }

void InsertBlockTool::mousemove(int) {
  if (!prototype_) return;
  As_Void_List one;
  one.add(prototype_.get());
  rubber().draw_begin();
  rubber().draw_entity_list(one, translate_transf(snap_pos() - prototype_->point()));
  rubber().draw_end();
}

// ---- Create block ----

CreateBlockTool::CreateBlockTool(long tool_id, const MB_String& title, MB_Operation* operation)
    : ControlTool(tool_id, title, operation) {
  DefineBlockDialog dialog(operation, As_Pt(0, 0, 0));
  if (dialog.DoModal() != IDOK) {
    end_when_made();
    return;
  }
  name_ = dialog.name;
}

void CreateBlockTool::lbuttondown(int) {
  pos_list().add_tail(snap_pos());
  if (pos_list().count() != 1) return;
  const As_Pt base = pos_list().head()->point();
  clear_pos_list();
  DefineBlockDialog dialog(operation(), base);
  dialog.name = name_;
  // Ended while the click is being handled: the operation frees the tool
  // once the click is done.
  if (dialog.DoModal() != IDOK) end();
}

void CreateBlockTool::lbuttonup(int) { clear_pos_list(); }

void CreateBlockTool::rbuttondown(int) { end(); }
