// The creation tool.
#include "control/tools/creation_tool.h"

#include <commdlg.h>

#include <cmath>
#include <string>
#include <vector>

#include "api/api_create_curves.h"
#include "api/api_image.h"
#include "api/api_make.h"
#include "control/control_ids.h"
#include "control/control_texts.h"
#include "control/current_drawing.h"
#include "control/file_dialog_helper.h"
#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_point.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_solid.h"
#include "database/mb_drawing.h"
#include "database/mb_linetype.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"
#include "geometry/geom_algo.h"

namespace {

constexpr double kCurveLineScale = 0.5;
constexpr double kEllipseAxisTolerance = 1e-6;
constexpr int32_t kArcGuideColor = 255;      // red
constexpr int32_t kArcPreviewColor = 65280;  // green
constexpr double kPi = 3.14159265358979323846;
constexpr double kRedlineWidth = 5.0;
constexpr const char* kRedlineMark = "@redline";

// The image file the user picks, or "" when the dialog is cancelled. The
// dialog belongs to the drawing's window: it opens over it and blocks it
// while it runs.
std::string ask_image_path(HWND owner) {
  const std::string filter = file_filter(quill::kTextImageFilter);
  char path[MAX_PATH] = "";
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  ofn.lpstrDefExt = "bmp";
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  return ::GetOpenFileNameA(&ofn) ? path : "";
}

// The number of clicks that completes an entity of the kinds made on the
// left button; 0 for the kinds made on the right button.
int clicks_to_make(long id) {
  switch (id) {
    case quill::kToolPoint: return 1;
    case quill::kToolLine:
    case quill::kToolRectangle:
    case quill::kToolCircle: return 2;
    case quill::kToolArcCentreStartEnd:
    case quill::kToolArcStartMiddleEnd:
    case quill::kToolArcStartEndMiddle:
    case quill::kToolCircle3Points:
    case quill::kToolEllipse: return 3;
    default: return 0;
  }
}

bool made_on_right_button(long id) {
  return id == quill::kToolPolyline || id == quill::kToolSpline || id == quill::kToolRegion;
}

As_Pt_List list_of(const std::vector<As_Pt>& pts) {
  As_Pt_List list;
  for (const As_Pt& p : pts) list.add_tail(p);
  return list;
}

}  // namespace

CreationTool::CreationTool(long tool_id, const MB_String& title, MB_Operation* operation)
    : ControlTool(tool_id, title, operation) {
  is_snap(true);
  if (tool_id == quill::kToolRedline) install_cursor(quill::kCursorRedline);
  if (tool_id == quill::kToolImage) {
    MB_Draw_Render* render = operation ? operation->draw_render() : nullptr;
    std::string path = ask_image_path(render ? render->wnd() : nullptr);
    if (!path.empty() && operation) image_ = api_mb_create_image(*operation, path.data(), As_Pt(0, 0, 0));
  }
}

CreationTool::~CreationTool() { install_cursor(nullptr); }

void CreationTool::place_image() {
  MB_Operation* op = operation();
  rubber().reset();
  {
    Undo_Command recording(op, quill::kTextInsertImage);
    if (image_ && op) {
      image_->center(pos_list().head()->point());
      image_->build_draw();
      op->draw_object(image_);
    }
    image_ = nullptr;  // it belongs to the drawing
  }
  clear_pos_list();
  end();
}

void CreationTool::make_redline() {
  MB_Operation* op = operation();
  rubber().reset();
  {
    Undo_Command recording(op, quill::kTextCreatePolyline);
    std::vector<As_Pt> p = points();
    const int n = static_cast<int>(p.size());
    std::vector<double> widths(p.size(), kRedlineWidth), bulges(p.size(), 0.0);
    Current_Drawing current(op ? op->drawing() : nullptr);
    auto* pline = reinterpret_cast<MB_Polyline*>(
        api_mb_create_polyline(n, p.data(), widths.data(), widths.data(), bulges.data(), 1));
    if (pline) {
      pline->set_string(MB_PROP_XDATA_TEXT, kRedlineMark);
      pline->build_draw();
      if (op) op->draw_object(pline);
    }
  }
  clear_pos_list();
}

std::vector<As_Pt> CreationTool::points() {
  std::vector<As_Pt> pts;
  for (const As_Pt_Node* n = pos_list().head(); n; n = n->next()) pts.push_back(n->point());
  return pts;
}

void CreationTool::dress_curve(MB_Drawable* e) {
  e->general().line_scale(kCurveLineScale);
  MB_Drawing* d = drawing();
  MB_Object* first = d ? d->line_type_list().head() : nullptr;
  e->general().line_type(static_cast<MB_Line_Type*>(first));
}

template <class Build>
void CreationTool::make(const char* command, Build build, bool at_front) {
  MB_Operation* op = operation();
  if (!op || !op->drawing()) return;
  rubber().reset();
  {
    Undo_Command recording(op, command);
    if (MB_Drawable* e = build()) {
      e->build_draw();
      if (at_front)
        op->drawing()->object_list().add_head(e);
      else
        append_to_active_list(e);
      op->draw_object(e);
    }
  }
  clear_pos_list();
}

void CreationTool::lbuttondown(int) {
  pos_list().add_tail(snap_pos());
  const long id = tag();
  if (id == quill::kToolImage) {
    if (pos_list().count() == 1) place_image();
    return;
  }
  if (pos_list().count() != clicks_to_make(id)) return;
  const std::vector<As_Pt> p = points();
  switch (id) {
    case quill::kToolPoint:
      make(quill::kTextCreatePoint, [&]() -> MB_Drawable* { return new MB_Point(p[0]); });
      break;
    case quill::kToolLine:
      make(quill::kTextCreateLine, [&]() -> MB_Drawable* {
        MB_Line* line = nullptr;
        api_mb_make_line(line, p[0], p[1]);
        if (line) dress_curve(line);
        return line;
      });
      break;
    case quill::kToolRectangle:
      make(quill::kTextCreateRectangle, [&]() -> MB_Drawable* {
        As_Pt_List corners = list_of({p[0], As_Pt(p[1].x(), p[0].y(), 0), p[1], As_Pt(p[0].x(), p[1].y(), 0), p[0]});
        MB_Lines* lines = nullptr;
        api_mb_make_lines(lines, corners);
        return lines;
      });
      break;
    case quill::kToolArcCentreStartEnd:
    case quill::kToolArcStartMiddleEnd:
    case quill::kToolArcStartEndMiddle:
      make(quill::kTextCreateArc, [&]() -> MB_Drawable* {
        MB_Arc* arc = nullptr;
        if (id == quill::kToolArcCentreStartEnd) api_mb_make_arc_cse(arc, p[0], p[1], p[2]);
        if (id == quill::kToolArcStartMiddleEnd) api_mb_make_arc_sme(arc, p[0], p[1], p[2]);
        if (id == quill::kToolArcStartEndMiddle) api_mb_make_arc_sem(arc, p[0], p[1], p[2]);
        return arc;
      });
      break;
    case quill::kToolCircle:
      make(quill::kTextCreateCircle, [&]() -> MB_Drawable* {
        MB_Circle* circle = nullptr;
        api_mb_make_circle(circle, p[0], (p[1] - p[0]).len());
        return circle;
      });
      break;
    case quill::kToolCircle3Points:
      make(quill::kTextCreateCircle, [&]() -> MB_Drawable* {
        MB_Circle* circle = nullptr;
        api_mb_make_circle_3pt(circle, p[0], p[1], p[2]);
        return circle;
      });
      break;
    case quill::kToolEllipse:
      make(quill::kTextCreateCircle, [&]() -> MB_Drawable* {
        if ((p[1] - p[0]).len() <= kEllipseAxisTolerance) return nullptr;
        return api_mb_create_ellipse3pt(p[0], p[1], p[2]);
      });
      break;
    default: break;
  }
}

void CreationTool::rbuttondown(int) {
  if (pos_list().count() == 0) {
    end();
    return;
  }
  const long id = tag();
  if (id == quill::kToolRedline) {
    if (pos_list().count() >= 2) make_redline();
    return;
  }
  if (made_on_right_button(id)) {
    if (pos_list().count() < 2) return;
    As_Pt_List pts = list_of(points());
    if (id == quill::kToolPolyline) {
      make(quill::kTextCreatePolyline, [&]() -> MB_Drawable* {
        MB_Lines* lines = nullptr;
        api_mb_make_lines(lines, pts);
        return lines;
      });
    } else if (id == quill::kToolSpline) {
      make(quill::kTextCreateSpline, [&]() -> MB_Drawable* {
        MB_Bspline* spline = nullptr;
        api_mb_make_spline(spline, pts);
        if (spline) dress_curve(spline);
        return spline;
      });
    } else {
      // A filled region goes under everything else of the drawing.
      make(quill::kTextCreatePolyline, [&]() -> MB_Drawable* {
        MB_Solid* solid = nullptr;
        api_mb_make_solid(solid, pts);
        return solid;
      }, true);
    }
    return;
  }
  if (id == quill::kToolRectangle) return;  // the first corner stays
  end();
}

void CreationTool::mousemove(int) {
  const long id = tag();
  if (id == quill::kToolImage) {
    // The image centred on the cursor.
    if (!image_) return;
    As_Void_List one;
    one.add(image_);
    rubber().draw_begin();
    rubber().draw_entity_list(one, translate_transf(cur_pos() - As_Pt(0, 0, 0)));
    rubber().draw_end();
    return;
  }
  if (id == quill::kToolRedline && !pos_list().is_empty()) pos_list().add_if_absent(cur_pos());
  const std::vector<As_Pt> p = points();
  if (p.empty()) return;
  const As_Pt cursor = cur_pos(), snapped = snap_pos();
  MB_Rubber& r = rubber();
  r.draw_begin();
  switch (id) {
    case quill::kToolLine:
      if (p.size() == 1) r.draw_line(p[0], cursor);
      break;
    case quill::kToolRectangle:
      if (p.size() == 1) r.draw_rect(p[0], cursor);
      break;
    case quill::kToolPolyline:
    case quill::kToolRegion:
    case quill::kToolRedline:
      r.draw_lines(pos_list(), cursor, id == quill::kToolRegion);
      break;
    case quill::kToolArcCentreStartEnd:
      MB_Rubber::set_color(kArcGuideColor);
      r.draw_line(p[0], snapped);
      if (p.size() == 2) {
        r.draw_line(p[1], p[0]);
        MB_Rubber::set_color(kArcPreviewColor);
        r.draw_arc(p[0], p[1], snapped);
      }
      break;
    case quill::kToolArcStartMiddleEnd:
    case quill::kToolArcStartEndMiddle:
    case quill::kToolCircle3Points:
      if (p.size() == 1) {
        r.draw_line(p[0], snapped);
      } else {
        As_Pt centre;
        double radius = 0;
        if (!api_mb_get_3ptcircle(p[0], p[1], snapped, centre, radius)) break;
        if (id == quill::kToolCircle3Points) {
          r.draw_circle(centre, radius);
        } else if (id == quill::kToolArcStartMiddleEnd) {
          const double turn = angle_between(p[0] - p[1], p[1] - snapped, As_Uvec(0, 0, 1));
          if (turn > kPi)
            r.draw_arc(centre, snapped, p[0]);
          else
            r.draw_arc(centre, p[0], snapped);
        } else {
          const double turn = angle_between(p[0] - snapped, snapped - p[1], As_Uvec(0, 0, 1));
          if (turn > kPi)
            r.draw_arc(centre, p[1], p[0]);
          else
            r.draw_arc(centre, p[0], p[1]);
        }
      }
      break;
    case quill::kToolCircle:
      r.draw_circle(p[0], (snapped - p[0]).len());
      break;
    case quill::kToolEllipse:
      if (p.size() == 1)
        r.draw_circle(p[0], (snapped - p[0]).len());
      else
        r.draw_ellipse(p[0], p[1], snapped);
      break;
    case quill::kToolSpline:
      if (MB_Draw_Render* render = draw_render()) r.draw_spline(pos_list(), snapped, render->drawing_to_screen());
      break;
    default: break;
  }
  r.draw_end();
}
