// Native-format records of the rendition attributes: each value is written as
// its own record and read back into the drawing's rendition state.
#include "database/mb_rendition.h"

#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"

template <class T, MB_Object::MB_ID kId, char kOpcode>
MB_Result MB_Rendition_Value<T, kId, kOpcode>::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  return io.write_record(static_cast<unsigned char>(kOpcode), value_);
}

template <class T, MB_Object::MB_ID kId, char kOpcode>
MB_Result MB_Rendition_Value<T, kId, kOpcode>::materialize(const MB_Opcode&, MB_File_IO& io) {
  return io.read_value(value_);
}

template <class T, MB_Object::MB_ID kId, char kOpcode>
MB_Result MB_Rendition_Value<T, kId, kOpcode>::process(MB_File_IO& io) {
  MB_FIFO_Rendition& state = io.fifo_rendition();
  if constexpr (kId == MB_Object::ID_LINE_SCALE) {
    state.line_scale(value_);
  } else if constexpr (kId == MB_Object::ID_WIDTH) {
    state.width(value_);
  } else if constexpr (kId == MB_Object::ID_THICKNESS) {
    state.thickness(value_);
  } else {
    state.display_width(value_);
  }
  return MB_SUCCESS;
}

template class MB_Rendition_Value<double, MB_Object::ID_LINE_SCALE, 'i'>;
template class MB_Rendition_Value<double, MB_Object::ID_WIDTH, 'j'>;
template class MB_Rendition_Value<double, MB_Object::ID_THICKNESS, 'n'>;
template class MB_Rendition_Value<int32_t, MB_Object::ID_DISPLAY_WIDTH, 'h'>;
