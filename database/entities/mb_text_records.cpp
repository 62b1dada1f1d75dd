// Native-format records of text styles ('u'), style names ('w') and texts
// ('T'), and the font attributes a text takes from the pass.
//
// Readers gather every operand before they change the object, so a record
// cut short leaves nothing half-read behind; the pass frees an object whose
// reading failed. Strings and point sets come through the checked readers of
// the file object (lengths and counts are checked before anything is
// allocated).
#include <new>
#include <string>

#include "database/entities/mb_line.h"
#include "database/entities/mb_text.h"
#include "database/entities/mb_text_style.h"
#include "database/fileformat/mb_file_io.h"
#include "database/fonts/mb_font_library.h"
#include "database/mb_drawing.h"
#include "database/mb_settings.h"
#include "database/nodes/mb_draw_node.h"

namespace {

const char kNoFont[] = "*no font";

// A font as a style record names it: the file of a TrueType font, the name
// of a shape font.
const char* font_record_name(MB_Font_Library* font) {
  if (!font) return kNoFont;
  const char* name = font->is_ttf_font() ? font->file_name() : font->name().ascii();
  return name && *name ? name : kNoFont;
}

// Bytes as the string record holds them: a 32-bit count, then the bytes.
MB_Result write_string_record(MB_File_IO& io, const std::string& bytes) {
  if (MB_Result r = io.write(int32_t(bytes.size()))) return r;
  return io.write(int(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data()));
}

// The 8-bit text of a string read from a file, or null (no text).
const char* text_of(const MB_String& s) { return s.is_empty() ? nullptr : s.ascii(); }

}  // namespace

// ---------------------------------------------------------------------------
// Text styles.

MB_Result MB_Text_Style::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  if (MB_Result r = io.write(static_cast<unsigned char>('u'))) return r;
  if (MB_Result r = name_.serialize(io, 0)) return r;
  if (MB_Result r = MB_String(font_record_name(font_lib_)).serialize(io, 0)) return r;
  if (MB_Result r = MB_String(font_record_name(big_font_lib_)).serialize(io, 0)) return r;
  for (double v : reals_) {
    if (MB_Result r = io.write_double(v)) return r;
  }
  for (int32_t v : longs_) {
    if (MB_Result r = io.write(v)) return r;
  }
  return MB_SUCCESS;
}

MB_Result MB_Text_Style::materialize(const MB_Opcode&, MB_File_IO& io) {
  MB_String name, font, big_font;
  double reals[4];
  int32_t longs[2];
  if (MB_Result r = name.materialize(io)) return r;
  if (MB_Result r = font.materialize(io)) return r;
  if (MB_Result r = big_font.materialize(io)) return r;
  for (double& v : reals) {
    if (MB_Result r = io.read_double(v)) return r;
  }
  for (int32_t& v : longs) {
    if (MB_Result r = io.read(v)) return r;
  }
  name_ = name;
  // A name starting with '*' ("*no font") sets no font; any other is looked
  // up in the font cache, with the fallback fonts when it is not found.
  const char* main = text_of(font);
  const char* big = text_of(big_font);
  font_lib_ = nullptr;
  big_font_lib_ = nullptr;
  if (main && main[0] != '*') font_lib(main);
  if (big && big[0] != '*') big_font_lib(big);
  for (int i = 0; i < 4; ++i) reals_[i] = reals[i];
  for (int i = 0; i < 2; ++i) longs_[i] = longs[i];
  return MB_SUCCESS;
}

MB_Result MB_Text_Style::process(MB_File_IO& io) {
  if (!io.drawing()) return MB_BAD_STATE;
  io.drawing()->text_style_list().add_tail(this);
  return MB_SUCCESS;
}

MB_Result MB_Text_Style::sync_write(MB_File_IO& io) const {
  return io.fifo_rendition().write_sync_font(height(), width_scale(), angle(), oblique_angle(), ali_flag(),
                                             font_style(), name_.ascii());
}

MB_Result MB_Text_Style::sync_read(const MB_Opcode&, MB_File_IO& io) {
  const MB_FIFO_Rendition& state = io.fifo_rendition();
  // The fonts come from the style the record names. A text whose style is
  // not among the drawing's styles was made in the fallback style (the text
  // tool's and the automation's texts are), so it takes the fallback's fonts
  // again, keeping the name it was saved under.
  if (MB_Text_Style* style = io.drawing() ? io.drawing()->find_text_style(state.text_style_name()) : nullptr) {
    style->copy_to(*this);
  } else {
    mb_default_text_style().copy_to(*this);
    name(state.text_style_name());
  }
  height(state.text_heigh());
  width_scale(state.text_width_scale());
  angle(state.text_angle());
  oblique_angle(state.font_oblique_angle());
  font_style(state.font_flag());
  ali_flag(state.text_flag());
  return MB_SUCCESS;
}

// ---------------------------------------------------------------------------
// Style names.

MB_Result MB_Text_Style_Name::serialize(MB_File_IO& io) const {
  io.dump_delayed_drawable();
  if (MB_Result r = io.write(static_cast<unsigned char>('w'))) return r;
  return name_.serialize(io, 0);
}

MB_Result MB_Text_Style_Name::materialize(const MB_Opcode&, MB_File_IO& io) {
  MB_String name;
  if (MB_Result r = name.materialize(io)) return r;
  name_ = name;
  io.fifo_rendition().text_style_name(name_.ascii());
  text_style_ = io.drawing() ? io.drawing()->find_text_style(io.fifo_rendition().text_style_name()) : nullptr;
  return MB_SUCCESS;
}

MB_Result MB_Text_Style_Name::process(MB_File_IO& io) {
  io.fifo_rendition().text_style_name(name_.ascii());
  return MB_SUCCESS;
}

// ---------------------------------------------------------------------------
// Texts.

MB_Result MB_Text::serialize(MB_File_IO& io) const {
  if (string_.is_empty()) return MB_SUCCESS;
  const bool strokes = g_system_setting.explode_text();
  const MB_Draw_Node* node = draw_node();
  const bool has_strokes = node && node->draw_node_id() == MB_Draw_Node::DRAW_LINES_SETS;
  if (strokes && !has_strokes) return MB_SUCCESS;

  MB_Result first = general().serialize(io);
  auto keep = [&first](MB_Result r) {
    if (!first) first = r;
    return r;
  };
  keep(style_.sync_write(io));
  if (keep(io.write(static_cast<unsigned char>('T')))) return first;
  const uint32_t code_page = uint32_t(style_.drawing_code_page()) << kCodePageShift;
  if (keep(const_cast<MB_Text*>(this)->save_xdata(io, code_page))) return first;
  if (keep(io.write_position(base_))) return first;
  // 16-bit text is written as the double-byte text it draws as.
  if (keep(write_string_record(io, bytes()))) return first;
  if (strokes) keep(io.write(static_cast<const As_Pt_Sets&>(*static_cast<const MB_Draw_Lines_Sets*>(node))));
  return first;
}

MB_Result MB_Text::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (MB_Result r = read_xdata(op, io)) return r;
  As_Pt base = base_;
  if (MB_Result r = io.read_position(base)) return r;
  MB_String text;
  if (MB_Result r = text.materialize(io)) return r;
  MB_Draw_Lines_Sets* node = nullptr;
  if (g_system_setting.explode_text()) {
    node = new (std::nothrow) MB_Draw_Lines_Sets(general().color(), this);
    if (!node) return MB_NO_MEMORY;
    if (MB_Result r = io.read(static_cast<As_Pt_Sets&>(*node))) {
      delete node;
      return r;
    }
  }
  base_ = base;
  string_ = text;
  general().materialize(op, io);
  style_.sync_read(op, io);
  const MB_Code_Page code_page = mb_double_byte_code_page(save_flag() >> kCodePageShift);
  if (code_page != MB_Code_Page::kUnknown) {
    style_.drawing_code_page(code_page);
    // The drawing's style of the text learns it back, so that a text made
    // in that style after the file is opened draws as the saved ones do.
    MB_Text_Style* style = io.drawing() ? io.drawing()->find_text_style(style_.name().ascii()) : nullptr;
    if (style && style->drawing_code_page() == MB_Code_Page::kUnknown) style->drawing_code_page(code_page);
  }
  if (node) {
    node->color(general().color());
    node->build_rect();
    if (node->rect()) edit_rect() = *node->rect();
    draw_node(node);
  }
  return MB_SUCCESS;
}

MB_Result MB_Text::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }
