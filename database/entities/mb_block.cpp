// Blocks in memory: construction, deep copy, building the display and
// extents, the nesting guard, the drawing's block services and the order in
// which blocks are written.
#include "database/entities/mb_block.h"

#include <new>
#include <string>
#include <unordered_set>
#include <vector>

#include "database/entities/mb_insert.h"
#include "database/mb_drawable.h"
#include "geometry/as_log.h"

namespace {

// Blocks entered by the walk in progress on this thread, and the objects
// of the blocks entered by it (or by the pass that holds it).
thread_local int g_visit_depth = 0;
thread_local int64_t g_walk_objects = 0;
// The outermost block of the last walk the budget cut, logged once (a
// drawing repainted again and again says it once).
thread_local const MB_Block* g_cut_logged = nullptr;
thread_local const MB_Block* g_walk_top = nullptr;
// Passes open on this thread, and whether the open one was cut.
thread_local int g_pass_depth = 0;
thread_local bool g_pass_cut = false;

}  // namespace

MB_Block::MB_Block() : MB_Block(As_Pt(), MB_String("Block"), MB_String("DESC")) {}

MB_Block::MB_Block(const As_Pt& base, const MB_String& name, const MB_String& desc)
    : name_(name.is_empty() ? MB_String("noname") : name), desc_(desc) {
  base_pos(base);
}

void MB_Block::base_pos(const As_Pt& p) {
  base_ = p;
  tran_ = translate_transf(As_Vec(-p.x(), -p.y(), -p.z()));
}

bool MB_Block::rect_is_point() const { return same_point(rect_.lt(), rect_.rb(), resabs); }

bool MB_Block::copy_to(MB_Object*& target) {
  if (target) return true;
  MB_Block* copy = new (std::nothrow) MB_Block(base_, name_, desc_);
  if (!copy) return false;
  for (MB_Object* o = objects_.head(); o; o = o->next()) {
    MB_Object* c = nullptr;
    o->copy_to(c);
    copy->objects_.add_tail(c);
  }
  target = copy;
  return true;
}

void MB_Block::build_draw() {
  if (objects_.is_empty()) return;
  MB_Block_Visit visit(this);
  if (!visit.ok()) return;
  for (MB_Object* o = objects_.head(); o; o = o->next()) {
    if (!o->is_drawable()) continue;
    MB_Drawable* e = static_cast<MB_Drawable*>(o);
    e->general().layer(nullptr);
    e->build_draw();
    e->build_color();
  }
  As_Rect extents;
  if (!mb_entity_extents(objects_, extents)) return;
  extents.translate(tran_);
  rect_ = extents;
}

// ---------------------------------------------------------------------------

MB_Block_Visit::MB_Block_Visit(MB_Block* block) {
  if (!block || block->busy_ || g_visit_depth >= MB_Block::kMaxNesting) return;
  if (g_visit_depth == 0) {
    if (g_pass_depth == 0) g_walk_objects = 0;
    g_walk_top = block;
  }
  // Once spent, the budget stays spent for the pass: a small block after a
  // large one is not entered either, so what is drawn does not depend on
  // the sizes of the blocks met after the cut.
  if (g_pass_depth > 0 && g_pass_cut) {
    over_budget_ = true;
    return;
  }
  g_walk_objects += block->objects_.count();
  if (g_walk_objects > MB_Block::kMaxWalkObjects) {
    over_budget_ = true;
    if (g_pass_depth > 0) g_pass_cut = true;
    if (g_cut_logged == g_walk_top) return;
    g_cut_logged = g_walk_top;
    if (g_pass_depth > 0)
      message_out("The drawing's inserts hold more than ", std::to_string(MB_Block::kMaxWalkObjects).c_str(),
                  " objects to walk; the rest is drawn as the inserts' frames", true);
    else
      message_out("Block ", g_walk_top->name().ascii(),
                  ": its nested inserts hold too many objects to walk; the rest is skipped", true);
    return;
  }
  block_ = block;
  block_->busy_ = true;
  ++g_visit_depth;
}

MB_Block_Visit::~MB_Block_Visit() {
  if (!block_) return;
  block_->busy_ = false;
  --g_visit_depth;
}

MB_Walk_Pass::MB_Walk_Pass() {
  if (g_pass_depth++ > 0) return;
  if (g_visit_depth == 0) g_walk_objects = 0;
  g_pass_cut = false;
}

MB_Walk_Pass::~MB_Walk_Pass() { --g_pass_depth; }

bool MB_Walk_Pass::cut() { return g_pass_depth > 0 && g_pass_cut; }

// ---------------------------------------------------------------------------

MB_Block_Name::MB_Block_Name(MB_Drawing& drawing, const char* name) : name_(name) {
  block_ = drawing.find_block(name);
}

void mb_close_block_definition(MB_Drawing& drawing, MB_Block* opened) {
  MB_Block* open = drawing.temp_block();
  if (!open || open != opened) return;
  drawing.temp_block(nullptr);
  if (!drawing.block_list().contains(open)) drawing.block_list().add_tail(open);
}

namespace {

// Depth-first: the blocks a block's inserts place come out before it. A
// block met again while its own turn is still open (a cycle) is not waited
// for; the reader leaves that one insert unbound.
class Block_Order {
 public:
  explicit Block_Order(MB_Object_List& blocks) : blocks_(blocks) {}

  std::vector<MB_Block*> run() {
    for (MB_Object* o = blocks_.head(); o; o = o->next()) {
      if (MB_Block* b = mb_to_block(o)) visit(b);
    }
    return std::move(order_);
  }

 private:
  void visit(MB_Block* root) {
    // An explicit stack: nesting read from a file may be arbitrarily deep.
    struct Frame {
      MB_Block* block;
      MB_Object* next;
    };
    if (!seen_.insert(root).second) return;
    std::vector<Frame> stack{{root, root->object_list().head()}};
    while (!stack.empty()) {
      Frame& f = stack.back();
      if (!f.next) {
        order_.push_back(f.block);
        stack.pop_back();
        continue;
      }
      MB_Object* o = f.next;
      f.next = o->next();
      MB_Insert* insert = mb_to_insert(o);
      if (!insert) continue;
      MB_Block* inner = insert->block();
      if (!inner || !blocks_.contains(inner) || !seen_.insert(inner).second) continue;
      stack.push_back({inner, inner->object_list().head()});
    }
  }

  MB_Object_List& blocks_;
  std::unordered_set<const MB_Block*> seen_;
  std::vector<MB_Block*> order_;
};

}  // namespace

MB_Result mb_serialize_blocks(MB_File_IO& io, MB_Object_List& blocks) {
  MB_Result first = MB_SUCCESS;
  for (MB_Block* b : Block_Order(blocks).run()) {
    MB_Result r = b->serialize(io);
    if (!first) first = r;
  }
  return first;
}

// ---------------------------------------------------------------------------
// The services through which the drawing reaches its blocks.

MB_Block* mb_to_block(MB_Object* object) {
  return object && object->object_id() == MB_Object::ID_BLOCK ? static_cast<MB_Block*>(object) : nullptr;
}

const MB_String* mb_block_name(const MB_Block* block) { return block ? &block->name() : nullptr; }

MB_Object_List* mb_block_object_list(MB_Block* block) { return block ? &block->object_list() : nullptr; }

void mb_block_build_draw(MB_Block* block) {
  if (block) block->build_draw();
}

void mb_block_free_unlisted(MB_Block* block) {
  if (block && !block->owner_list()) delete block;
}
