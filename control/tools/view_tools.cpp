// The view and measure tools.
#include "control/tools/view_tools.h"

#include <afxwin.h>

#include <cstdio>
#include <string>
#include <vector>

#include "control/control_ids.h"
#include "control/control_texts.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"
#include "geometry/geom_algo.h"
#include "surface/device_point.h"
#include "surface/pt_draw.h"

namespace {

void invalidate_view(MB_Operation* op) {
  HWND wnd = op ? op->wnd() : nullptr;
  if (wnd) ::InvalidateRect(wnd, nullptr, TRUE);
}

std::string format(const char* pattern, double a, double b = 0) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

}  // namespace

// ---- View ----

ViewTool::ViewTool(long tool_id, const MB_String& title, MB_Operation* operation)
    : ControlTool(tool_id, title, operation) {
  if (tool_id == quill::kToolZoomWindow) install_cursor(quill::kCursorZoomWindow);
}

ViewTool::~ViewTool() { install_cursor(nullptr); }

void ViewTool::lbuttondown(int) {
  pos_list().add_tail(cur_pos());
  if (tag() != quill::kToolZoomWindow || pos_list().count() != 2) return;
  MB_Operation* op = operation();
  rubber().reset();
  if (MB_Draw_Render* r = draw_render()) r->zoom_window(pos_list().head()->point(), cur_pos());
  invalidate_view(op);
  if (op) op->record_trans();
  clear_pos_list();
}

void ViewTool::lbuttonup(int) {
  if (tag() == quill::kToolPan) clear_pos_list();
}

void ViewTool::rbuttondown(int) { end(); }

void ViewTool::mousemove(int) {
  if (tag() == quill::kToolPan) {
    if (pos_list().count() == 1) {
      const As_Pt held = pos_list().head()->point();
      if (!same_point(held, cur_pos(), resabs)) {
        if (MB_Draw_Render* r = draw_render()) r->pan_view(cur_pos() - held);
        invalidate_view(operation());
      }
      install_cursor(quill::kCursorPanHeld);
    } else {
      install_cursor(quill::kCursorPanIdle);
    }
    return;
  }
  if (pos_list().count() >= 1) {
    rubber().draw_begin();
    rubber().draw_rect(pos_list().head()->point(), cur_pos());
    rubber().draw_end();
  }
}

// ---- Measure ----

MeasureTool::MeasureTool(long tool_id, const MB_String& title, MB_Operation* operation)
    : ControlTool(tool_id, title, operation) {
  install_cursor(quill::kCursorMeasure);
}

MeasureTool::~MeasureTool() { install_cursor(nullptr); }

void MeasureTool::lbuttondown(int) { pos_list().add_tail(cur_pos()); }

void MeasureTool::rbuttondown(int) {
  invalidate_view(operation());
  clear_pos_list();
  end();
}

void MeasureTool::mousemove(int) { invalidate_view(operation()); }

MeasureTool::Readout MeasureTool::readout() {
  Readout r;
  r.coordinates = format("X:%.2f,Y:%.2f", snap_pos().x(), snap_pos().y());
  const int n = pos_list().count();
  if (n < 1) return r;
  std::vector<As_Pt> pts;
  for (const As_Pt_Node* p = pos_list().head(); p; p = p->next()) pts.push_back(p->point());
  pts.push_back(cur_pos());
  r.area = format("%.3fmm*mm", cal_pts_area(pts.data(), n + 1));
  r.perimeter = format("%.3fmm", cal_perimeter(pts.data(), n + 1));
  return r;
}

void MeasureTool::draw(HDC hdc) {
  constexpr int kHeight = 14, kCharset = 1, kOutPrecision = 3, kClipPrecision = 2, kQuality = 1, kPitch = 49;
  constexpr COLORREF kTextColor = 255;        // red
  constexpr COLORREF kPolygonColor = 0xFF00FF;  // magenta
  constexpr UINT kBottomLeft = 8;
  constexpr int kOffsetX = 25, kLine = 12, kPenWidth = 3;
  if (!hdc) return;
  const Readout text = readout();
  HFONT font = ::CreateFontA(kHeight, 0, 0, 0, 0, FALSE, FALSE, FALSE, kCharset, kOutPrecision, kClipPrecision,
                             kQuality, kPitch, quill::kTextMeasureFace);
  ::SetBkMode(hdc, TRANSPARENT);
  ::SetTextColor(hdc, kTextColor);
  ::SetTextAlign(hdc, kBottomLeft);
  HGDIOBJ old_font = ::SelectObject(hdc, font);
  const int x = client_x(), y = client_y();
  auto out = [&](int dy, const std::string& s) { ::TextOutA(hdc, x + kOffsetX, y + dy, s.c_str(), static_cast<int>(s.size())); };
  out(-kLine, text.coordinates);
  if (!text.area.empty()) {
    out(0, text.area);
    out(kLine, text.perimeter);
  }
  ::SelectObject(hdc, old_font);
  ::DeleteObject(font);
  if (pos_list().count() < 1) return;
  MB_Draw_Render* render = draw_render();
  if (!render) return;
  const As_Tran& view = render->drawing_to_screen();
  HPEN pen = ::CreatePen(PS_SOLID, kPenWidth, kPolygonColor);
  HGDIOBJ old_pen = ::SelectObject(hdc, pen);
  draw_points(hdc, pos_list(), view);
  const POINT last = mb_device_point(pos_list().tail()->point(), view);
  const POINT cursor = mb_device_point(snap_pos(), view);
  const POINT first = mb_device_point(pos_list().head()->point(), view);
  ::MoveToEx(hdc, last.x, last.y, nullptr);
  ::LineTo(hdc, cursor.x, cursor.y);
  ::LineTo(hdc, first.x, first.y);
  ::SelectObject(hdc, old_pen);
  ::DeleteObject(pen);
}
