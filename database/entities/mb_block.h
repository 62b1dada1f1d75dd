// Blocks: named groups of objects placed by inserts.
//
// A block owns the objects of its list and keeps a base point; its transform
// is always the translation by minus the base point, so that an insert
// places the base point at its insertion point. The drawing owns its blocks
// (its block list) and, while a definition is being read or built, the block
// in progress (its temporary block). Inserts refer to blocks by pointer.
//
// Inserts may nest, and a block can end up inserting itself, directly or
// through others (the flat interface, a load into a drawing that already
// has blocks). Every walk that descends from a block into inserted blocks
// (building, drawing, picking, extents) enters the block through an
// MB_Block_Visit, which refuses a block already being walked and any level
// beyond kMaxNesting: a cycle is followed once and skipped where it closes.
//
// In the native format a definition is the run "B" base name desc, the
// block's objects, "N"; "J" name says which block the following inserts
// place. Blocks are written so that a block comes before every block that
// inserts it, since a reader binds an insert only to blocks already read.
#pragma once

#include <cstdint>

#include "database/mb_drawing.h"
#include "database/mb_object.h"
#include "database/mb_string.h"
#include "geometry/as_pt.h"
#include "geometry/as_rect.h"
#include "geometry/as_tran.h"

class MB_Block : public MB_Attribute {
 public:
  // Deepest nesting of inserted blocks that is built, drawn or picked.
  static constexpr int kMaxNesting = 64;
  // Objects one pass (a paint, a build, an export, a print, a pick: see
  // MB_Walk_Pass) may enter through inserted blocks in all, or one walk from
  // a top-level insert outside any pass: blocks that insert each other a
  // few times over a few levels, or many inserts of such a block, would
  // otherwise multiply into billions of primitives.
  static constexpr int64_t kMaxWalkObjects = int64_t(1) << 18;

  // Base (0, 0, 0), named "Block", described "DESC".
  MB_Block();
  // An empty name is replaced by "noname".
  MB_Block(const As_Pt& base, const MB_String& name, const MB_String& desc);
  // A block owns its objects: it is copied only through copy_to.
  MB_Block(const MB_Block&) = delete;
  MB_Block& operator=(const MB_Block&) = delete;
  ~MB_Block() override = default;

  MB_ID object_id() const override { return ID_BLOCK; }

  // Nothing for an unnamed or empty block; else "B", the objects, "N".
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
  // A set target is left alone; a null one receives a new block with the
  // same name, description, base point and copies of the objects (objects
  // that make no copy are left out).
  bool copy_to(MB_Object*& target) override;

  const As_Pt& base_pos() const { return base_; }
  // Also rebuilds the transform.
  void base_pos(const As_Pt& p);
  MB_String& name() { return name_; }
  const MB_String& name() const { return name_; }
  MB_String& desc() { return desc_; }
  const MB_String& desc() const { return desc_; }
  MB_Object_List& object_list() { return objects_; }
  const MB_Object_List& object_list() const { return objects_; }
  As_Tran tran() const { return tran_; }
  const As_Rect& rect() const { return rect_; }
  // True while the extents are still a single point (not yet built, or
  // nothing with a size in the block).
  bool rect_is_point() const;

  // Builds every object's display (each loses its layer and takes its drawn
  // colour), then the extents: the union of the objects' extents, moved by
  // the block's transform. An empty block changes nothing; a block already
  // being walked is skipped.
  void build_draw();

 private:
  friend class MB_Block_Visit;

  As_Pt base_;
  MB_String name_;
  MB_String desc_;
  MB_Object_List objects_;
  As_Tran tran_;
  As_Rect rect_;
  bool busy_ = false;
};

// Entry into a block on a walk through nested inserts. ok() is false when
// there is no block, when the block is already being walked further up,
// when the walk is already kMaxNesting blocks deep, or when entering the
// block would take the pass open on this thread (else the walk from the
// outermost visit) past MB_Block::kMaxWalkObjects objects; the walk must
// then not descend, and over_budget() says the budget was the reason (an
// insert then draws its frame). The first cut of a pass says so once in the
// kernel's log. The mark is held for the lifetime of the visit.
class MB_Block_Visit {
 public:
  explicit MB_Block_Visit(MB_Block* block);
  ~MB_Block_Visit();
  MB_Block_Visit(const MB_Block_Visit&) = delete;
  MB_Block_Visit& operator=(const MB_Block_Visit&) = delete;

  bool ok() const { return block_ != nullptr; }
  bool over_budget() const { return over_budget_; }

 private:
  MB_Block* block_ = nullptr;
  bool over_budget_ = false;
};

// One pass over a drawing (a paint, a build, an export, a print, a pick):
// while the outermost pass on this thread lives, every walk into inserted
// blocks draws on one budget of MB_Block::kMaxWalkObjects objects, however
// many top-level inserts the drawing has. Passes nest: an inner one shares
// the outer one's budget.
class MB_Walk_Pass {
 public:
  MB_Walk_Pass();
  ~MB_Walk_Pass();
  MB_Walk_Pass(const MB_Walk_Pass&) = delete;
  MB_Walk_Pass& operator=(const MB_Walk_Pass&) = delete;

  // True when a walk of this pass was cut by the budget.
  static bool cut();
};

// "B": opens a block definition while reading.
class MB_Block_Begin : public MB_Attribute {
 public:
  MB_Block_Begin() = default;
  MB_Block_Begin(const As_Pt& base, const char* name, const MB_String& desc)
      : base_(base), name_(name), desc_(desc) {}

  MB_ID object_id() const override { return ID_BLOCK_BEGIN; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  // Makes the block and makes it the drawing's temporary block, so that the
  // objects read next go into it. A block still open is closed first.
  MB_Result process(MB_File_IO& io) override;

  const As_Pt& base_pos() const { return base_; }
  const MB_String& name() const { return name_; }
  const MB_String& desc() const { return desc_; }
  MB_Block* block() const { return block_; }

 private:
  As_Pt base_;
  MB_String name_;
  MB_String desc_;
  MB_Block* block_ = nullptr;
};

// "N": closes the block definition being read.
class MB_Block_End : public MB_Attribute {
 public:
  MB_ID object_id() const override { return ID_BLOCK_END; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  // Moves the temporary block to the tail of the block list; nothing when
  // no block is open.
  MB_Result process(MB_File_IO& io) override;

  MB_Block* block() const { return block_; }

 private:
  MB_Block* block_ = nullptr;
};

// "J": the name of the block the following inserts place.
class MB_Block_Name : public MB_Attribute {
 public:
  MB_Block_Name() = default;
  // Binds the drawing's block of that name (any case), or nothing.
  MB_Block_Name(MB_Drawing& drawing, const char* name);

  MB_ID object_id() const override { return ID_BLOCK_NAME; }
  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  // The name becomes the pass's block name.
  MB_Result process(MB_File_IO& io) override;

  const MB_String& name() const { return name_; }
  void name(const MB_String& n) { name_ = n; }
  MB_Block* block() const { return block_; }
  void block(MB_Block* b) { block_ = b; }

 private:
  MB_String name_;
  MB_Block* block_ = nullptr;
};

// Ends the definition of `opened` when it is the drawing's temporary block
// (a file that stops inside a block, a begin inside a definition): the
// block stays in, or joins, the block list and the temporary block is
// cleared.
void mb_close_block_definition(MB_Drawing& drawing, MB_Block* opened);

// Writes the blocks of the list, each once, every block after the blocks
// its inserts place. Answers the first failure, else success.
MB_Result mb_serialize_blocks(MB_File_IO& io, MB_Object_List& blocks);
