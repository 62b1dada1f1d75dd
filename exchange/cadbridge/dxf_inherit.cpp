// Block contents resolved against their inserts, by copies of the blocks.
#include "exchange/cadbridge/dxf_inherit.h"

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"

namespace {

// Nesting deeper than this draws the inner blocks as they are stored.
constexpr int kMaxDepth = 32;

}  // namespace

uint8_t Dxf_Inherit::flags_of(const MB_Object* o) const {
  auto it = flags_.find(o);
  return it == flags_.end() ? 0 : it->second;
}

// A block takes from its insert when an object in it does, or an insert in
// it that passes what it is given on.
bool Dxf_Inherit::takes(MB_Block* block) {
  if (!block) return false;
  auto it = takes_.find(block);
  if (it != takes_.end()) return it->second;
  takes_[block] = false;  // a block met again inside itself adds nothing
  bool any = false;
  for (MB_Object* o = block->object_list().head(); o && !any; o = o->next()) {
    const uint8_t f = flags_of(o);
    if (f & (kDxfOnLayerZero | kDxfColorByBlock | kDxfLineTypeByBlock)) any = true;
  }
  takes_[block] = any;
  return any;
}

Dxf_Inherit::Given Dxf_Inherit::given_by(const MB_Drawable& insert, const Given* outer) const {
  const uint8_t f = flags_of(&insert);
  const MB_General& g = insert.general();
  Given given{g.layer(), uint32_t(g.color()), g.line_type()};
  if (!outer) return given;
  if (f & kDxfOnLayerZero) given.layer = outer->layer;
  if (f & kDxfColorByBlock) given.color = outer->color;
  if ((f & kDxfColorByLayer) && given.layer) given.color = given.layer->color();
  if (f & kDxfLineTypeByBlock) given.line_type = outer->line_type;
  if ((f & kDxfLineTypeByLayer) && given.layer) given.line_type = given.layer->line_type();
  return given;
}

Dxf_Inherit::Look Dxf_Inherit::resolved(const MB_Drawable& o, uint8_t f, const Given& given) const {
  const MB_General& g = o.general();
  Look look{g.layer(), g.color(), g.line_type(), o.flag()};
  if ((f & kDxfOnLayerZero) && given.layer) {
    look.layer = given.layer;
    look.flag = given.layer->visibility() ? 1 : 0;
  }
  if (f & kDxfColorByBlock) look.color = int32_t(given.color);
  if ((f & kDxfColorByLayer) && look.layer) look.color = int32_t(look.layer->color());
  if (f & kDxfLineTypeByBlock) look.line_type = given.line_type;
  if ((f & kDxfLineTypeByLayer) && look.layer) look.line_type = look.layer->line_type();
  return look;
}

bool Dxf_Inherit::changes(const MB_Drawable& o, uint8_t f, const Given& given) const {
  if (!f) return false;
  const Look look = resolved(o, f, given);
  const MB_General& g = o.general();
  return look.layer != g.layer() || look.color != g.color() || look.line_type != g.line_type() || look.flag != o.flag();
}

void Dxf_Inherit::apply(MB_Drawable& o, uint8_t f, const Given& given) const {
  if (!f) return;
  const Look look = resolved(o, f, given);
  MB_General& g = o.general();
  if (look.layer != g.layer()) g.layer(look.layer);
  g.color(look.color);
  g.display_color(look.color);
  if (look.line_type != g.line_type()) g.line_type(look.line_type);
  o.flag(look.flag);
}

MB_Block* Dxf_Inherit::copy_for(MB_Block* block, const Given& given, int depth) {
  if (!takes(block) || depth > kMaxDepth) return block;
  const auto key = std::make_pair(static_cast<const MB_Block*>(block), given);
  auto it = copies_.find(key);
  if (it != copies_.end()) return it->second;
  size_t count = 0;
  for (MB_Object* o = block->object_list().head(); o; o = o->next()) ++count;
  if (copies_.size() >= kMaxCopies || objects_ + count > kMaxObjects) {
    if (problems_.empty()) {
      problems_.push_back("blocks taking their inserts' layer, colour or line type in more than " +
                          std::to_string(kMaxCopies) + " ways draw as stored beyond that");
    }
    return block;
  }
  // A block whose objects come out as they are needs no copy.
  copies_.emplace(key, block);
  bool differs = false;
  for (MB_Object* o = block->object_list().head(); o && !differs; o = o->next()) {
    if (!o->is_drawable()) continue;
    const MB_Drawable& d = *static_cast<MB_Drawable*>(o);
    const uint8_t f = flags_of(o);
    differs = changes(d, f, given);
    if (const MB_Insert* inner = mb_to_insert(o)) {
      differs = differs || copy_for(inner->block(), given_by(d, &given), depth + 1) != inner->block();
    }
  }
  if (!differs) return block;
  objects_ += count;
  const std::string name =
      std::string(block->name().ascii() ? block->name().ascii() : "") + "|" + std::to_string(copies_.size() + 1);
  MB_Block* copy = new MB_Block(block->base_pos(), MB_String(name.c_str()), MB_String(""));
  drawing_.block_list().add_tail(copy);
  copies_[key] = copy;
  for (MB_Object* o = block->object_list().head(); o; o = o->next()) {
    MB_Object* made = nullptr;
    if (!o->copy_to(made) || !made) continue;
    const uint8_t f = flags_of(o);
    if (made->is_drawable()) {
      MB_Drawable& d = *static_cast<MB_Drawable*>(made);
      d.flag(static_cast<MB_Drawable*>(o)->flag());
      apply(d, f, given);
      if (MB_Insert* inner = mb_to_insert(made)) {
        const Given passed = given_by(*static_cast<MB_Drawable*>(o), &given);
        inner->block(copy_for(inner->block(), passed, depth + 1));
      }
    }
    copy->object_list().add_tail(made);
  }
  return copy;
}

void Dxf_Inherit::run() {
  if (flags_.empty()) return;
  // Inserts inside blocks that pass nothing on give the same to every
  // insert of their block: bound once, in place.
  std::vector<MB_Block*> blocks;
  for (MB_Object* o = drawing_.block_list().head(); o; o = o->next()) {
    if (o->object_id() == MB_Object::ID_BLOCK) blocks.push_back(static_cast<MB_Block*>(o));
  }
  for (MB_Block* b : blocks) {
    for (MB_Object* o = b->object_list().head(); o; o = o->next()) {
      MB_Insert* insert = mb_to_insert(o);
      if (!insert || (flags_of(o) & (kDxfOnLayerZero | kDxfColorByBlock | kDxfLineTypeByBlock))) continue;
      insert->block(copy_for(insert->block(), given_by(*insert, nullptr), 1));
    }
  }
  for (MB_Object* o = drawing_.object_list().head(); o; o = o->next()) {
    if (MB_Insert* insert = mb_to_insert(o)) insert->block(copy_for(insert->block(), given_by(*insert, nullptr), 0));
  }
}
