// The control's print job.
#include "control/print_job.h"

#include <cmath>
#include <string>

#include "control/control_texts.h"
#include "control/file_guard.h"
#include "database/entities/mb_block.h"
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"
#include "surface/cmydc.h"

namespace {

constexpr int kPageBorder = 20;  // device units kept free inside the margins

}  // namespace

PrintJob::PrintJob() = default;

PrintJob::~PrintJob() = default;

BOOL PrintJob::OnPreparePrinting(CPrintInfo* info, BOOL preview) {
  info->SetMinPage(1);
  info->m_bPreview = preview;
  return preview ? TRUE : DoPreparePrinting(info);
}

BOOL PrintJob::OnPrintToFile(const CString& path) {
  const std::string refusal = quill_write_refusal(static_cast<const char*>(path));
  if (refusal.empty()) return TRUE;
  quill_report_file_failure(Quill_File_Action::kWrite, static_cast<const char*>(path), refusal);
  return FALSE;
}

void PrintJob::OnPrintFailed(const CString& output, const CString& reason) {
  quill_report_file_failure(
      Quill_File_Action::kWrite,
      output.IsEmpty() ? std::string(quill::kTextPrinter) : std::string(static_cast<const char*>(output)),
      reason.IsEmpty() ? std::string(quill::kReasonPageRefused) : std::string(static_cast<const char*>(reason)));
}

void PrintJob::OnBeginPrinting(CDC* dc, CPrintInfo*) {
  small_font_.DeleteObject();
  large_font_.DeleteObject();
  note_font_.DeleteObject();
  small_font_.CreatePointFont(80, "Arial", dc);
  large_font_.CreatePointFont(120, "Arial", dc);
  note_font_.CreatePointFont(60, "Times New Roman", dc);
}

bool PrintJob::fit_to_page(const As_Rect& extents, const RECT& page, As_Tran* to_page) {
  const double room_x = static_cast<double>(page.right) - page.left - 2 * kPageBorder;
  const double room_y = static_cast<double>(page.bottom) - page.top - 2 * kPageBorder;
  if (!(room_x > 0) || !(room_y > 0)) return false;
  const double w = extents.width(), h = extents.heigh();
  double s = 1.0;
  if (w != 0 || h != 0) s = std::fmin(room_x / w, room_y / h);  // a zero side divides to infinity
  if (!std::isfinite(s) || !(s > 0)) return false;
  const As_Pt c = extents.center();
  const As_Vec page_centre((page.left + page.right) / 2, (page.top + page.bottom) / 2, 0);
  *to_page = translate_transf(As_Vec(-c.x(), -c.y(), -c.z())) * scale_transf(s) * reflect_transf(As_Vec(0, 1, 0)) *
             translate_transf(page_centre);
  return true;
}

void PrintJob::OnPrint(CDC* dc, CPrintInfo* info) {
  CRect page = info->m_rectDraw;
  CSize lt(margin_left * 100, margin_top * 100), rb(margin_right * 100, margin_bottom * 100);
  dc->HIMETRICtoDP(&lt);
  dc->HIMETRICtoDP(&rb);
  page.left += lt.cx, page.top += lt.cy;
  page.right -= rb.cx, page.bottom -= rb.cy;

  const int old_mode = dc->SetBkMode(TRANSPARENT);
  CFont* old_font = dc->SelectObject(&small_font_);
  MB_Drawing* drawing = operation ? operation->drawing() : nullptr;
  if (drawing) {
    As_Rect_Union extents;
    for (MB_Object* o = drawing->object_list().head(); o; o = o->next()) {
      const MB_Object::MB_Type t = o->object_type();
      if ((t == MB_Object::TYPE_GEOM || t == MB_Object::TYPE_TEXT || t == MB_Object::TYPE_IMAGE ||
           t == MB_Object::TYPE_INSERT) &&
          o->is_drawable())
        extents.add(static_cast<MB_Drawable*>(o)->rect());
    }
    // A drawing with nothing to show prints an empty page.
    As_Tran to_page;
    if (extents.any() && fit_to_page(extents.rect(), page, &to_page)) {
      CMyDC surface;
      MB_Walk_Pass pass;  // one object budget for the whole page
      for (MB_Object* o = drawing->object_list().head(); o; o = o->next()) {
        if (!o->is_drawable()) continue;
        As_Tran t = to_page;
        static_cast<MB_Drawable*>(o)->draw(dc->GetSafeHdc(), surface, t);
      }
    }
  }
  if (old_font) dc->SelectObject(old_font);
  dc->SetBkMode(old_mode);
}
