// Native-format records of the tables, attributes and the drawable base
// that the file pass does not yet provide. Until it does no pass object can
// exist, so none of these is reached; each answers MB_BAD_STATE rather than
// success. The pass replaces this file with the real records; there,
// MB_Thickness::process applies the thickness read to the pass's attribute
// state, so that it reaches the entities that follow.
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_rendition.h"

MB_Result MB_Layer::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Layer::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Layer::process(MB_File_IO&) { return MB_BAD_STATE; }

template <class T, MB_Object::MB_ID kId, char kOpcode>
MB_Result MB_Rendition_Value<T, kId, kOpcode>::serialize(MB_File_IO&) const {
  return MB_BAD_STATE;
}
template <class T, MB_Object::MB_ID kId, char kOpcode>
MB_Result MB_Rendition_Value<T, kId, kOpcode>::materialize(const MB_Opcode&, MB_File_IO&) {
  return MB_BAD_STATE;
}
template <class T, MB_Object::MB_ID kId, char kOpcode>
MB_Result MB_Rendition_Value<T, kId, kOpcode>::process(MB_File_IO&) {
  return MB_BAD_STATE;
}
template class MB_Rendition_Value<double, MB_Object::ID_LINE_SCALE, 'i'>;
template class MB_Rendition_Value<double, MB_Object::ID_WIDTH, 'j'>;
template class MB_Rendition_Value<double, MB_Object::ID_THICKNESS, 'n'>;
template class MB_Rendition_Value<int32_t, MB_Object::ID_DISPLAY_WIDTH, 'h'>;

MB_Result MB_General::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_General::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Xdata::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Xdata::materialize(MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Drawable::save_xdata(MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Drawable::read_xdata(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }

MB_Result MB_Drawing_Info::serialize(MB_File_IO&) const { return MB_BAD_STATE; }
MB_Result MB_Drawing_Info::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
MB_Result MB_Informational::serialize(MB_File_IO&, const char*) const { return MB_BAD_STATE; }
MB_Result MB_Informational::materialize(const MB_Opcode&, MB_File_IO&) { return MB_BAD_STATE; }
