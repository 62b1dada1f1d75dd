// Native-format records of blocks and inserts.
//
// A block definition is written as "B" base name description, the block's
// objects, "N". While one is read the drawing's temporary block holds it and
// the objects read go into it. The block joins the block list as soon as
// its begin record is read, so it is owned by the drawing whatever follows:
// a second begin closes the first definition, an end without a begin
// changes nothing, and the load closes a definition the file left open.
//
// An insert writes "J" name when its block differs from the last one the
// pass named, then "I" with its optional items, point, angle and x and y
// scales (the z scale is not stored and reads back as 1).
#include <cstring>
#include <new>

#include "database/entities/mb_block.h"
#include "database/entities/mb_insert.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"

namespace {

MB_Result write_opcode(MB_File_IO& io, char opcode) {
  io.dump_delayed_drawable();
  return io.write(static_cast<unsigned char>(opcode));
}

MB_Result write_block_name(MB_File_IO& io, const MB_String& name) {
  if (MB_Result r = write_opcode(io, 'J')) return r;
  return name.serialize(io, 0);
}

}  // namespace

MB_Result MB_Block::serialize(MB_File_IO& io) const {
  if (name_.is_empty() || objects_.is_empty()) return MB_SUCCESS;
  if (MB_Result r = write_opcode(io, 'B')) return r;
  if (MB_Result r = io.write_position(base_)) return r;
  if (MB_Result r = name_.serialize(io, 0)) return r;
  if (MB_Result r = desc_.serialize(io, 0)) return r;
  for (MB_Object* o = objects_.head(); o; o = o->next()) {
    if (MB_Result r = o->serialize(io)) return r;
  }
  return write_opcode(io, 'N');
}

MB_Result MB_Block_Begin::serialize(MB_File_IO& io) const {
  if (MB_Result r = write_opcode(io, 'B')) return r;
  if (MB_Result r = io.write_position(base_)) return r;
  if (MB_Result r = name_.serialize(io, 0)) return r;
  return desc_.serialize(io, 0);
}

MB_Result MB_Block_Begin::materialize(const MB_Opcode&, MB_File_IO& io) {
  if (MB_Result r = io.read_position(base_)) return r;
  if (MB_Result r = name_.materialize(io)) return r;
  return desc_.materialize(io);
}

MB_Result MB_Block_Begin::process(MB_File_IO& io) {
  MB_Drawing* d = io.drawing();
  if (!d) return MB_BAD_STATE;
  mb_close_block_definition(*d, d->temp_block());
  block_ = new (std::nothrow) MB_Block(base_, name_, desc_);
  io.block(block_);
  if (!block_) return MB_SUCCESS;  // the objects that follow go to the entity list
  d->block_list().add_tail(block_);
  d->temp_block(block_);
  return MB_SUCCESS;
}

MB_Result MB_Block_End::serialize(MB_File_IO& io) const { return write_opcode(io, 'N'); }

MB_Result MB_Block_End::process(MB_File_IO& io) {
  MB_Drawing* d = io.drawing();
  if (!d) return MB_BAD_STATE;
  block_ = d->temp_block();
  mb_close_block_definition(*d, block_);
  if (io.block() == block_) io.block(nullptr);
  return MB_SUCCESS;
}

MB_Result MB_Block_Name::serialize(MB_File_IO& io) const { return write_block_name(io, name_); }

MB_Result MB_Block_Name::materialize(const MB_Opcode&, MB_File_IO& io) { return name_.materialize(io); }

MB_Result MB_Block_Name::process(MB_File_IO& io) {
  io.fifo_rendition().block_name(name_.ascii() ? name_.ascii() : "");
  return MB_SUCCESS;
}

// ---------------------------------------------------------------------------

MB_Result MB_Insert::serialize(MB_File_IO& io) const {
  if (!block_) return MB_SUCCESS;
  if (MB_Result r = general().serialize(io)) return r;
  const MB_String& name = block_->name();
  MB_FIFO_Rendition& fifo = io.fifo_rendition();
  if (!name.ascii() || std::strcmp(fifo.block_name(), name.ascii()) != 0) {
    if (MB_Result r = write_block_name(io, name)) return r;
    fifo.block_name(name.ascii() ? name.ascii() : "");
  }
  if (MB_Result r = write_opcode(io, 'I')) return r;
  // The optional items are numbered as they are written.
  if (MB_Result r = const_cast<MB_Insert*>(this)->save_xdata(io)) return r;
  if (MB_Result r = io.write_position(point_)) return r;
  if (MB_Result r = io.write_double(angle_)) return r;
  if (MB_Result r = io.write_double(scale_[0])) return r;
  return io.write_double(scale_[1]);
}

MB_Result MB_Insert::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (MB_Result r = read_xdata(op, io)) return r;
  if (MB_Result r = io.read_position(point_)) return r;
  if (MB_Result r = io.read_double(angle_)) return r;
  if (MB_Result r = io.read_double(scale_[0])) return r;
  if (MB_Result r = io.read_double(scale_[1])) return r;
  scale_[2] = 1.0;
  return general().materialize(op, io);
}

MB_Result MB_Insert::process(MB_File_IO& io) {
  MB_Drawing* d = io.drawing();
  if (!d) return MB_BAD_STATE;
  block_ = d->find_block(io.fifo_rendition().block_name());
  build_transf();
  d->add_object(this);
  return MB_SUCCESS;
}
