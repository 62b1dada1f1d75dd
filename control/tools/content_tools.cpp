// The text and dimension tools.
#include "control/tools/content_tools.h"

#include <cstdlib>

#include "api/api_make.h"
#include "control/control_texts.h"
#include "control/dialogs/text_entry_dialog.h"
#include "control/wait_cursor.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"
#include "geometry/geom_algo.h"

namespace {

constexpr int32_t kPrototypeColor = 0xFF00FF;  // magenta

}  // namespace

// ---- Text ----

TextTool::TextTool(long tool_id, const MB_String& title, MB_Operation* operation)
    : ControlTool(tool_id, title, operation) {
  TextEntryDialog dialog;
  if (dialog.DoModal() != IDOK) return;
  Wait_Cursor wait;
  text_ = dialog.text;
  const double height = std::atof(dialog.height);
  const double rotation = std::atof(dialog.angle) * kDegree;
  const double width_factor = std::atof(dialog.width_factor);
  const double oblique = std::atof(dialog.oblique_angle) * kDegree;
  MB_Drawing* d = drawing();
  if (!d) return;
  MB_Text* made = nullptr;
  if (!api_mb_make_text(made, const_cast<char*>(static_cast<const char*>(text_)), As_Pt(0, 0, 0), nullptr, height,
                        *d) ||
      !made)
    return;
  prototype_.reset(made);
  MB_Text_Style& style = made->text_style();
  style.angle(rotation);
  style.oblique_angle(oblique);
  style.width_scale(width_factor);
  made->general().color(kPrototypeColor);
  made->general().display_color(kPrototypeColor);
  made->build_draw();
}

TextTool::~TextTool() { rubber().reset(); }

void TextTool::lbuttondown(int) {
  pos_list().add_tail(snap_pos());
  if (pos_list().count() == 1 && !text_.IsEmpty() && prototype_) {
    rubber().reset();
    const As_Pt at = pos_list().head()->point();
    place_copy(*prototype_, quill::kTextCreateText,
               [&at](MB_Drawable& copy) { static_cast<MB_Text&>(copy).base_pos(at); });
  }
  clear_pos_list();
}

void TextTool::lbuttonup(int) { clear_pos_list(); }

void TextTool::rbuttondown(int) { end(); }

void TextTool::mousemove(int) {
  if (!prototype_) return;
  As_Void_List one;
  one.add(prototype_.get());
  rubber().draw_begin();
  rubber().draw_entity_list(one, translate_transf(snap_pos() - prototype_->base_pos()));
  rubber().draw_end();
}

// ---- Dimension ----

void DimensionTool::lbuttondown(int) { pos_list().add_tail(snap_pos()); }

void DimensionTool::mousemove(int) {
  if (pos_list().count() != 2) return;
  const As_Pt a = pos_list().head()->point(), b = pos_list().head()->next()->point(), c = cur_pos();
  const As_Pt foot = proj_pt_to_line(c, a, normalise(a - b));
  const As_Vec offset = c - foot;
  const As_Pt a2 = a + offset, b2 = b + offset;
  rubber().draw_begin();
  rubber().draw_line(a, a2);
  rubber().draw_line(b, b2);
  rubber().draw_line(a2, b2);
  rubber().draw_end();
}
