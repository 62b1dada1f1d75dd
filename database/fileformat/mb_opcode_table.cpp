// The opcode table: which object each opcode makes. Entity and table
// classes add their opcodes here; the reading loop does not change.
//
// Recognised opcodes whose classes this kernel does not read answer 5 and
// end the load with what was read so far; any other byte is a syntax error.
#include <cstring>
#include <new>

#include "database/entities/mb_block.h"
#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_dimension.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_face.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_mesh.h"
#include "database/entities/mb_point.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/fileformat/mb_format_records.h"
#include "database/fileformat/mb_opcode.h"
#include "database/mb_color.h"
#include "database/mb_layer.h"
#include "database/mb_rendition.h"

namespace {

template <class T>
MB_Object* make(const MB_Opcode&) {
  return new (std::nothrow) T();
}

MB_Object* make_color_map(const MB_Opcode&) {
  MB_Color_Map* m = new (std::nothrow) MB_Color_Map(38);
  return m;
}

MB_Object* make_cleared_color_map(const MB_Opcode&) {
  MB_Color_Map* m = new (std::nothrow) MB_Color_Map(38);
  if (m) m->clear();
  return m;
}

MB_Object* make_marker(const MB_Opcode& op) { return new (std::nothrow) MB_Compression_Marker(op.code()); }

struct Single_Table {
  MB_Opcode_Entry e[256];

  void set(unsigned char b, MB_Object* (*f)(const MB_Opcode&)) { e[b] = {f, MB_SUCCESS}; }
  void unsupported(const char* bytes) {
    for (const char* c = bytes; *c; ++c) e[static_cast<unsigned char>(*c)] = {nullptr, MB_NO_OBJECT};
  }

  Single_Table() {
    // Everything not listed is a syntax error (the default entry).
    set(0x03, make<MB_Color>);
    set(0x04, make<MB_Byte_Value>);
    set('A', make<MB_Font_Oblique_Angle>);
    set('C', make<MB_Long_Option>);
    set('H', make<MB_Text_Height>);
    set('K', make<MB_Text_Width_Scale>);
    set('S', make<MB_Rendition_Long_A>);
    set('s', make<MB_Rendition_Long_A>);
    set('b', make<MB_Text_Flag>);
    set('d', make<MB_Text_Angle>);
    set('o', make<MB_Font_Style>);
    set('h', make<MB_Display_Width>);
    set('i', make<MB_Line_Scale>);
    set('j', make<MB_Width>);
    set('n', make<MB_Thickness>);
    set('y', make<MB_Layer>);
    set(0x0B, make<MB_Line>);
    set(0x0C, make<MB_Line>);
    set('L', make<MB_Line>);
    set('l', make<MB_Lines>);
    set(0x19, make<MB_Point>);
    set(0x14, make<MB_Text>);
    set('T', make<MB_Text>);
    set('u', make<MB_Text_Style>);
    set('w', make<MB_Text_Style_Name>);
    set(0x01, make<MB_Arc>);
    set('a', make<MB_Arc>);
    set(0x12, make<MB_Circle>);
    set('e', make<MB_Circle>);
    set('E', make<MB_Ellipse>);
    set('O', make<MB_Ellipse_Arc>);
    set(0x10, make<MB_Polyline>);
    set('P', make<MB_Polyline>);
    set('W', make<MB_Bspline>);
    set('D', make<MB_Solid>);
    set('z', make<MB_Face>);
    set('U', make<MB_Polygon_Mesh>);
    set('B', make<MB_Block_Begin>);
    set('N', make<MB_Block_End>);
    set('J', make<MB_Block_Name>);
    set('I', make<MB_Insert>);
    set(0x18, make<MB_Dim_Style>);
    set('Q', make<MB_Dim_Style>);
    set('x', make<MB_Dim_Style>);
    set('X', make<MB_Dimension>);
    set('G', make<MB_Image>);
    // Kernel classes not read by this format, and reserved opcodes.
    static const char kNoObject[] = {
        0x01, 'a', 0x0B, 0x0C, 'L', 0x10, 'P', 0x12, 'e', 0x14, 'T', 0x18, 'Q', 'x', 0x19,
        'B',  'D', 'E',  'G',  'I', 'J',  'N', 'O',  'U', 'W',  'X', 'h',  'i', 'j', 'l',
        'n',  'u', 'w',  'y',  'z', 0x06, 'F', 'M',  'R', 'f',  'm', 'p',  'r', 't', char(0x8D),
        char(0x92), 0};
    for (const char* c = kNoObject; *c; ++c) {
      MB_Opcode_Entry& x = e[static_cast<unsigned char>(*c)];
      if (!x.make) x.result = MB_NO_OBJECT;
    }
  }
};

const Single_Table& table() {
  static const Single_Table t;
  return t;
}

}  // namespace

namespace mb_opcode_table {

const MB_Opcode_Entry& single(unsigned char b) { return table().e[b]; }

MB_Opcode_Entry extended_name(const char* name) {
  if (std::strcmp(name, "(KZF V") == 0) return {make<MB_File_Header>, MB_SUCCESS};
  if (std::strcmp(name, "(EndOfKZF") == 0) return {make<MB_End_Of_File>, MB_SUCCESS};
  if (std::strcmp(name, "(Color") == 0) return {make<MB_Color>, MB_SUCCESS};
  if (std::strcmp(name, "(ColorMap") == 0) return {make_cleared_color_map, MB_SUCCESS};
  // The rest of the vocabulary makes no object.
  return {nullptr, MB_NO_OBJECT};
}

MB_Opcode_Entry extended_code(int32_t code) {
  if (code == 1) return {make_color_map, MB_SUCCESS};
  if (code == 16 || code == 17 || code == 0x123) return {make_marker, MB_SUCCESS};
  return {nullptr, MB_NO_OBJECT};
}

}  // namespace mb_opcode_table
