// The control's automation interface: its dispatch table and the members
// behind it. Every member works on the current view's drawing; entities are
// named by their handles, never by their addresses, so a host's number
// reaches only a live entity of that drawing.
#include <cerrno>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "api/api_create.h"
#include "api/api_create_curves.h"
#include "api/api_extents.h"
#include "api/api_hatch.h"
#include "control/control_ids.h"
#include "control/control_state.h"
#include "control/control_texts.h"
#include "control/current_drawing.h"
#include "control/dialogs/block_library_dialog.h"
#include "control/dialogs/view_dialogs.h"
#include "control/file_guard.h"
#include "control/quill_frame.h"
#include "control/quill_view.h"
#include "control/quillmark_ctrl.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_settings.h"
#include "database/mb_undo_redo.h"
#include "display/interaction/mb_mouse_tool.h"
#include "display/mb_draw_render.h"
#include "exchange/hpgl/penplot.h"
#include "geometry/as_loop.h"
#include "geometry/geom_algo.h"
#include "surface/device_point.h"

#include <ximage.h>

namespace {

// Results of the members that write files: the table's 0 when written.
constexpr SHORT kWritten = 0;
constexpr SHORT kNotWritten = -1;
// The item of GetString that reads a text entity's string.
constexpr LONG kItemTextString = -301;
// The id that stands for every entity, where a member says so.
constexpr LONG kEveryEntity = -1;
// UseEvents: the value that turns the host's own mouse handling on.
constexpr LONG kUseEventsOn = 1;
// ShowLibDlg and GetVersionInfo: the flag that shows.
constexpr SHORT kShow = 1;
constexpr double kPi = 3.14159265358979323846;

// Entity kinds as the interface reports them (GetObjectType).
struct Public_Type {
  MB_Object::MB_ID kernel;
  LONG reported;
};
constexpr Public_Type kPublicTypes[] = {
    {MB_Object::ID_POINT, 0},       {MB_Object::ID_LINE, 1},     {MB_Object::ID_LINES, 2},
    {MB_Object::ID_CIRCLE, 6},      {MB_Object::ID_ARC, 7},      {MB_Object::ID_ELLIPSE, 8},
    {MB_Object::ID_ELLIPSE_ARC, 9}, {MB_Object::ID_BSPLINE, 10}, {MB_Object::ID_POLYLINE, 12},
    {MB_Object::ID_TEXT, 13},       {MB_Object::ID_INSERT, 22},
};
constexpr LONG kUnknownType = -1;

CQuillView* view() { return CQuillView::current(); }

MB_Drawing* view_drawing() {
  CQuillView* v = view();
  return v ? v->operation().drawing() : nullptr;
}

// Counts a change the members make outside the undo store as an edit of the
// drawing, so that the drawing is not closed with it unsaved.
void note_edit() {
  if (MB_Drawing* d = view_drawing()) d->note_edit();
}

MB_Mouse_Tool* active_tool() {
  CQuillView* v = view();
  return v ? v->operation().get_active_tool() : nullptr;
}

// The entities of a list in order, kept until the list changes, so that a
// host walking the drawing by index pays one walk, not one per call.
class Entity_Index {
 public:
  const std::vector<MB_Object*>& of(const MB_Object_List& list) {
    if (&list != list_ || list.version() != version_) {
      list_ = &list;
      version_ = list.version();
      items_.clear();
      for (MB_Object* o = list.head(); o; o = o->next()) items_.push_back(o);
    }
    return items_;
  }

 private:
  const MB_Object_List* list_ = nullptr;
  uint64_t version_ = 0;
  std::vector<MB_Object*> items_;
};

Entity_Index& entity_index() {
  static Entity_Index index;
  return index;
}

// Whether n values can be read from (or written to) the array.
template <class T>
bool holds(const QmArray<T>& a, LONG n) {
  return n >= 0 && static_cast<size_t>(n) <= a.count;
}

std::vector<As_Pt> points_of(const QmArray<double>& x, const QmArray<double>& y, LONG n) {
  std::vector<As_Pt> pts;
  pts.reserve(static_cast<size_t>(n));
  for (LONG i = 0; i < n; ++i) pts.emplace_back(x.data[i], y.data[i], 0.0);
  return pts;
}

// The angle of p - centre from the x axis, counter-clockwise.
double angle_at(const As_Pt& centre, const As_Pt& p) {
  return angle_between(As_Vec(1, 0, 0), p - centre, As_Uvec(0, 0, 1));
}

// A member's write: a file the control protects is refused, and a refusal
// or a failed write is told (file_guard.h). An empty path names no file
// (an image then goes to the clipboard).
SHORT written(const char* path, const std::function<bool(std::string& why)>& write) {
  if (path && *path) return quill_write_file(path, write) ? kWritten : kNotWritten;
  std::string unused;
  return write(unused) ? kWritten : kNotWritten;
}

// Writes the drawing rectangle as an image through the current renderer.
SHORT export_area(const char* path, const As_Rect* area, LONG width, LONG height, SHORT type, LONG background) {
  return written(path, [&](std::string& why) {
    CQuillView* v = view();
    MB_Draw_Render* r = v ? v->operation().draw_render() : nullptr;
    if (!r || !area) {
      why = quill::kReasonEmptyDrawing;
      return false;
    }
    errno = 0;
    if (r->export_image(path, *area, width, height, type, background)) return true;
    if (errno == 0) why = quill::kReasonNoPicture;  // nothing was written: nothing could be drawn
    return false;
  });
}

// Runs a deletion as one undoable command (the store keeps what it removes,
// so nothing is freed under the selection or the panel) and lets the
// property panel forget what it showed.
template <class Delete>
void delete_as_command(MB_Operation& op, Delete remove) {
  MB_Undo_Redo* store = op.undo_redo();
  if (store) store->rec_cmd_begin(quill::kTextDelete);
  remove();
  if (store) store->rec_cmd_end();
  if (SidePanelBar* bar = SidePanelBar::current()) bar->panel().show_properties(nullptr);
}

}  // namespace

// ---------------------------------------------------------------------------
// Ids

MB_Drawable* CQuillmarkOcxCtrl::entity_of(LONG id) {
  MB_Drawing* d = view_drawing();
  if (!d || id <= 0) return nullptr;
  MB_Object* o = MB_Object::from_handle(static_cast<uint32_t>(id));
  if (!o || !o->is_drawable()) return nullptr;
  const MB_Object_List* owner = o->owner_list();
  if (!owner || (owner != &d->object_list() && owner != &d->get_active_object_list())) return nullptr;
  return static_cast<MB_Drawable*>(o);
}

LONG CQuillmarkOcxCtrl::id_of(intptr_t object) {
  if (!object) return 0;
  return static_cast<LONG>(reinterpret_cast<MB_Object*>(object)->handle());
}

namespace {

// Runs a flat-API creator on the view's drawing; 0 without a view.
template <class Make>
LONG create(Make make) {
  MB_Drawing* d = view_drawing();
  if (!d) return 0;
  Current_Drawing current(d);
  return CQuillmarkOcxCtrl::id_of(make());
}

}  // namespace

// ---------------------------------------------------------------------------
// Properties

BSTR CQuillmarkOcxCtrl::GetDocumentName() { return qm_bstr_from_gbk(""); }

void CQuillmarkOcxCtrl::SetDocumentName(LPCSTR) { SetModifiedFlag(TRUE); }

BSTR CQuillmarkOcxCtrl::GetSavePath() { return qm_bstr_from_gbk(""); }

void CQuillmarkOcxCtrl::SetSavePath(LPCSTR path) {
  if (CQuillView* v = view()) v->save_directory() = path;
  SetModifiedFlag(TRUE);
}

OLE_COLOR CQuillmarkOcxCtrl::GetBackColor() { return 0; }

void CQuillmarkOcxCtrl::SetBackColor(OLE_COLOR color) {
  g_system_setting.set_long_val(MB_BACKGROUND_COLOR, static_cast<int32_t>(color));
  if (CQuillView* v = view()) v->Invalidate(TRUE);
  SetModifiedFlag(TRUE);
}

BOOL CQuillmarkOcxCtrl::GetDisplayCreateBar() { return quill_control_state().creation_bar_shown; }

void CQuillmarkOcxCtrl::SetDisplayCreateBar(BOOL show) {
  quill_show_bar(Quill_Bar::kCreation, show);
  SetModifiedFlag(TRUE);
}

BOOL CQuillmarkOcxCtrl::GetDisplayStandardBar() { return quill_control_state().standard_bar_shown; }

void CQuillmarkOcxCtrl::SetDisplayStandardBar(BOOL show) {
  quill_show_bar(Quill_Bar::kStandard, show);
  SetModifiedFlag(TRUE);
}

LONG CQuillmarkOcxCtrl::GetUseEvents() { return quill_control_state().use_events ? 1 : 0; }

void CQuillmarkOcxCtrl::SetUseEvents(LONG use) {
  quill_control_state().use_events = use == kUseEventsOn;
  if (use == kUseEventsOn)
    if (CQuillView* v = view()) v->operation().clear_all_tools();
  SetModifiedFlag(TRUE);
}

BOOL CQuillmarkOcxCtrl::GetDisplayModifyBar() { return quill_control_state().modify_bar_shown; }

void CQuillmarkOcxCtrl::SetDisplayModifyBar(BOOL show) {
  quill_show_bar(Quill_Bar::kModify, show);
  SetModifiedFlag(TRUE);
}

BOOL CQuillmarkOcxCtrl::GetDisplayControlBar() { return quill_control_state().side_bar_shown; }

void CQuillmarkOcxCtrl::SetDisplayControlBar(BOOL show) {
  quill_show_bar(Quill_Bar::kSide, show);
  SetModifiedFlag(TRUE);
}

// ---------------------------------------------------------------------------
// Creating entities

LONG CQuillmarkOcxCtrl::Test01(LONG) {
  AfxMessageBox(quill::kTextHello, MB_OK);
  return 0;
}

LONG CQuillmarkOcxCtrl::CreateArc(double center_x, double center_y, double radius, double start_angle,
                                  double end_angle) {
  return create([&] {
    const double centre[3] = {center_x, center_y, 0.0};
    return api_mb_create_arc(centre, radius, start_angle, end_angle);
  });
}

LONG CQuillmarkOcxCtrl::CreateArcSEM(double start_x, double start_y, double end_x, double end_y, double mid_x,
                                     double mid_y) {
  const As_Pt start(start_x, start_y, 0), end(end_x, end_y, 0), mid(mid_x, mid_y, 0);
  As_Pt centre;
  double radius = 0.0;
  // Points on one line make no circle: no arc rather than one of a stale
  // centre and radius.
  if (!api_mb_get_3ptcircle(start, end, mid, centre, radius)) return 0;
  return create([&] {
    const double c[3] = {centre.x(), centre.y(), 0.0};
    return api_mb_create_arc(c, radius, angle_at(centre, start), angle_at(centre, end));
  });
}

LONG CQuillmarkOcxCtrl::CreateArcSME(double start_x, double start_y, double middle_x, double middle_y, double end_x,
                                     double end_y) {
  return CreateArcSEM(start_x, start_y, end_x, end_y, middle_x, middle_y);
}

LONG CQuillmarkOcxCtrl::CreateBspline(QmArray<double> ptx_array, QmArray<double> pty_array, LONG array_size,
                                      double start_tan_x, double start_tan_y, double end_tan_x, double end_tan_y) {
  if (!holds(ptx_array, array_size) || !holds(pty_array, array_size)) return 0;
  const std::vector<As_Pt> pts = points_of(ptx_array, pty_array, array_size);
  return create([&] {
    return api_mb_create_bspline(pts.data(), array_size, start_tan_x, start_tan_y, 0.0, end_tan_x, end_tan_y, 0.0);
  });
}

LONG CQuillmarkOcxCtrl::CreateCircle(double center_x, double center_y, double radius) {
  return create([&] { return api_mb_create_circle(center_x, center_y, radius); });
}

LONG CQuillmarkOcxCtrl::CreateCircleBy3Pt(double pt0_x, double pt0_y, double pt1_x, double pt1_y, double pt2_x,
                                          double pt2_y) {
  As_Pt centre;
  double radius = 0.0;
  if (!api_mb_get_3ptcircle(As_Pt(pt0_x, pt0_y, 0), As_Pt(pt1_x, pt1_y, 0), As_Pt(pt2_x, pt2_y, 0), centre, radius))
    return 0;
  return create([&] { return api_mb_create_circle(centre.x(), centre.y(), radius); });
}

LONG CQuillmarkOcxCtrl::CreateEllipse(double center_x, double center_y, double maj_len, double min_len, double angle) {
  return create([&] {
    As_Pt centre(center_x, center_y, 0);
    return api_mb_create_ellipse(centre, maj_len, min_len, angle);
  });
}

LONG CQuillmarkOcxCtrl::CreateEllipseArc(double centerx, double centery, double maj, double min, double angle,
                                         double start_angle, double end_angle) {
  return create([&] {
    As_Pt centre(centerx, centery, 0);
    return api_mb_create_ellipse_arc(centre, maj, min, angle, start_angle, end_angle);
  });
}

LONG CQuillmarkOcxCtrl::CreateInsert(LPCSTR blockname, double basex, double basey, double angle, double scalex,
                                     double scaley) {
  return create([&]() -> intptr_t {
    const double base[3] = {basex, basey, 0.0};
    MB_Insert* insert = nullptr;
    if (!api_mb_create_insert(insert, base, scalex, scaley, 0.0, angle, blockname)) return 0;
    insert->build_draw();
    return reinterpret_cast<intptr_t>(insert);
  });
}

LONG CQuillmarkOcxCtrl::CreateLayer(LPCSTR lay_name, LONG lay_color, LONG lay_linetype, LONG) {
  return create([&]() -> intptr_t {
    MB_Layer* layer = nullptr;
    if (!api_mb_create_layer(layer, lay_name, lay_color, static_cast<unsigned short>(lay_linetype), true, true, true))
      return 0;
    return reinterpret_cast<intptr_t>(layer);
  });
}

LONG CQuillmarkOcxCtrl::CreateLine(double start_x, double start_y, double end_x, double end_y) {
  return create([&]() -> intptr_t {
    MB_Line* line = nullptr;
    if (!api_mb_create_line(line, As_Pt(start_x, start_y, 0), As_Pt(end_x, end_y, 0))) return 0;
    return reinterpret_cast<intptr_t>(line);
  });
}

LONG CQuillmarkOcxCtrl::CreateLine3d(SHORT start_x, SHORT start_y, SHORT start_z, SHORT end_x, SHORT end_y,
                                     SHORT end_z) {
  return create([&]() -> intptr_t {
    MB_Line* line = nullptr;
    if (!api_mb_create_line(line, As_Pt(start_x, start_y, start_z), As_Pt(end_x, end_y, end_z))) return 0;
    return reinterpret_cast<intptr_t>(line);
  });
}

LONG CQuillmarkOcxCtrl::CreateLines(QmArray<double> pt_xarray, QmArray<double> pt_yarray, LONG array_size) {
  if (!holds(pt_xarray, array_size) || !holds(pt_yarray, array_size)) return 0;
  return create([&] { return api_mb_create_lines(pt_xarray.data, pt_yarray.data, array_size); });
}

LONG CQuillmarkOcxCtrl::CreatePoint(double pt_x, double pt_y, double pt_z) {
  return create([&] { return api_mb_create_point(As_Pt(pt_x, pt_y, pt_z)); });
}

LONG CQuillmarkOcxCtrl::CreateRect(double p0x, double p0y, double p1x, double p1y) {
  return create([&] { return api_mb_create_rect(p0x, p0y, p1x, p1y); });
}

LONG CQuillmarkOcxCtrl::CreateSolid(QmArray<double> ptx_array, QmArray<double> pty_array, LONG array_size) {
  if (!holds(ptx_array, array_size) || !holds(pty_array, array_size)) return 0;
  return create([&] { return api_mb_create_solid(ptx_array.data, pty_array.data, array_size); });
}

LONG CQuillmarkOcxCtrl::CreateText(LPCSTR text, double ptx, double pty, LPCSTR style_name, double angle, double height,
                                   double widthscale, LONG) {
  return create([&]() -> intptr_t {
    const double position[3] = {ptx, pty, 0.0};
    MB_Text* entity = nullptr;
    if (!api_mb_create_text(entity, text, style_name, position, height, widthscale, angle)) return 0;
    entity->build_draw();
    return reinterpret_cast<intptr_t>(entity);
  });
}

LONG CQuillmarkOcxCtrl::CreateBlock(LPCSTR blk_name, double base_x, double base_y, QmArray<LONG> ent_array,
                                    LONG ent_array_size, LPCSTR blk_desc) {
  if (!holds(ent_array, ent_array_size)) return 0;
  As_Void_List entities;
  for (LONG i = 0; i < ent_array_size; ++i)
    if (MB_Drawable* e = entity_of(ent_array.data[i])) entities.add(e);
  return create([&] { return api_mb_create_block(blk_name, blk_desc, As_Pt(base_x, base_y, 0), entities); });
}

LONG CQuillmarkOcxCtrl::CreateBlockBySelectObjectList(LPCSTR, double, double, LPCSTR) { return 0; }

LONG CQuillmarkOcxCtrl::CreateHatch(LPCSTR hat_name, double angle, double scale, LONG loop_size,
                                    QmArray<LONG> perloop_ptsize_array, QmArray<double> all_points_x_array,
                                    QmArray<double> all_points_y_array) {
  if (!holds(perloop_ptsize_array, loop_size)) return 0;
  // The loops take their points one after another from the coordinate
  // arrays: every size is checked before a loop is made.
  const size_t available = std::min(all_points_x_array.count, all_points_y_array.count);
  size_t total = 0;
  for (LONG i = 0; i < loop_size; ++i) {
    const LONG n = perloop_ptsize_array.data[i];
    if (n < 0 || static_cast<size_t>(n) > available - total) return 0;
    total += static_cast<size_t>(n);
  }
  std::vector<As_Loop> loops;
  loops.reserve(static_cast<size_t>(loop_size));
  size_t next = 0;
  for (LONG i = 0; i < loop_size; ++i) {
    const size_t n = static_cast<size_t>(perloop_ptsize_array.data[i]);
    std::vector<As_Pt> pts;
    for (size_t k = next; k < next + n; ++k)
      pts.emplace_back(all_points_x_array.data[k], all_points_y_array.data[k], 0.0);
    next += n;
    loops.emplace_back(pts.data(), static_cast<int>(n));
  }
  As_Void_List list;
  for (As_Loop& l : loops) list.add(&l);
  std::string name = hat_name;
  return create([&] { return static_cast<intptr_t>(api_mb_create_hatch(list, name.data(), scale, angle, 0)); });
}

LONG CQuillmarkOcxCtrl::CreatHatchByObjectList(LPCSTR, double, double, LONG, QmArray<LONG>) { return 0; }

LONG CQuillmarkOcxCtrl::CreatePolyline(QmArray<double> px_array, QmArray<double> py_array,
                                       QmArray<double> start_wid_array, QmArray<double> end_wid_array,
                                       QmArray<double> blug_array, LONG array_size, SHORT flag) {
  if (array_size < 1 || !holds(px_array, array_size) || !holds(py_array, array_size) ||
      !holds(start_wid_array, array_size) || !holds(end_wid_array, array_size) || !holds(blug_array, array_size))
    return 0;
  std::vector<As_Pt> pts = points_of(px_array, py_array, array_size);
  return create([&] {
    return api_mb_create_polyline(array_size, pts.data(), start_wid_array.data, end_wid_array.data, blug_array.data,
                                  flag);
  });
}

// ---------------------------------------------------------------------------
// Files, printing, dialogs

void CQuillmarkOcxCtrl::OpenFile(LPCSTR filename) {
  if (CQuillView* v = view()) v->OpenDrawingByExtension(CString(filename));
}

void CQuillmarkOcxCtrl::PrintFile() {}

void CQuillmarkOcxCtrl::SetPrintTextMark(LPCSTR, double, double, double, LPCSTR) {}

void CQuillmarkOcxCtrl::SetPrintImageMark(LPCSTR, double, double) {}

void CQuillmarkOcxCtrl::PrintScreen() {}

void CQuillmarkOcxCtrl::SetTool(LONG, LPCSTR) {}

void CQuillmarkOcxCtrl::SetOperation(SHORT, SHORT) {}

SHORT CQuillmarkOcxCtrl::SaveFile(LPCSTR fname) {
  // The save button's path and guard: the writer chosen by the name's
  // extension, a protected file refused, every failure told.
  CQuillView* v = view();
  if (!v) return kNotWritten;
  return v->save_as(fname ? fname : "") ? kWritten : kNotWritten;
}

SHORT CQuillmarkOcxCtrl::ExportDxf(LPCSTR fname) {
  // No DXF writer exists: the host is told so rather than left believing
  // the drawing was exported.
  quill_report_file_failure(Quill_File_Action::kWrite, fname ? fname : "", quill::kReasonNoDxfWriter);
  return kNotWritten;
}

SHORT CQuillmarkOcxCtrl::ExportImage(LPCSTR fname, LONG wid, LONG hei, SHORT type, LONG bakcolor) {
  MB_Drawing* d = view_drawing();
  As_Rect extents;
  // An empty drawing has no extents to show: nothing is written.
  const bool any = d && api_mb_get_entity_list_rect(d->object_list(), extents);
  return export_area(fname, any ? &extents : nullptr, wid, hei, type, bakcolor);
}

SHORT CQuillmarkOcxCtrl::ExportRectImage(LPCSTR file_name, double lt_x, double lt_y, double rb_x, double rb_y,
                                         LONG width, LONG height, SHORT type, LONG back_color) {
  const As_Rect area(As_Pt(lt_x, lt_y, 0), As_Pt(rb_x, rb_y, 0));
  return export_area(file_name, &area, width, height, type, back_color);
}

SHORT CQuillmarkOcxCtrl::ExportHpgl(LPCSTR fname, SHORT) {
  MB_Drawing* d = view_drawing();
  if (!d) return kNotWritten;
  Current_Drawing current(d);
  return written(fname, [&](std::string&) { return api_mb_save_hpgl_file(fname); });
}

SHORT CQuillmarkOcxCtrl::PrintRect(LONG, LONG, LONG, LONG) { return 0; }

SHORT CQuillmarkOcxCtrl::PrintAll(double, SHORT) {
  CQuillView* v = view();
  if (!v) return 0;
  // The view's own print command, so the job runs as the toolbar's does; a
  // job that failed has told its failure.
  const size_t failures = quill_file_failures().size();
  v->SendMessage(WM_COMMAND, quill::kCommandPrint, 0);
  return quill_file_failures().size() == failures ? 1 : 0;
}

LONG CQuillmarkOcxCtrl::GetVersionInfo(LPCSTR, SHORT show_dlg) {
  CQuillView* v = view();
  if (v && show_dlg == kShow) {
    VersionInfoDialog dialog(v);
    dialog.DoModal();
  }
  return 0;
}

SHORT CQuillmarkOcxCtrl::ShowLibDlg(SHORT flag) {
  quill_show_block_library(flag);
  return 0;
}

// ---------------------------------------------------------------------------
// Settings and the view

SHORT CQuillmarkOcxCtrl::SetColor(LONG color_id, LONG color_val) {
  g_system_setting.set_long_val(color_id, color_val);
  return 0;
}

void CQuillmarkOcxCtrl::ZoomAll() {
  CQuillView* v = view();
  if (MB_Draw_Render* r = v ? v->operation().draw_render() : nullptr) r->zoom_all();
}

void CQuillmarkOcxCtrl::RedrawAll() {
  if (CQuillView* v = view()) v->Invalidate(TRUE);
}

SHORT CQuillmarkOcxCtrl::ZoomView(double val) {
  CQuillView* v = view();
  // A factor that is not a positive number would make the view singular.
  if (!v || !(val > 0.0) || !std::isfinite(val)) return 0;
  v->operation().scale_view(val);
  v->Invalidate(TRUE);
  return 1;
}

SHORT CQuillmarkOcxCtrl::ZoomWindow(double, double, double, double) { return 0; }

SHORT CQuillmarkOcxCtrl::PanView(LONG, LONG, LONG, LONG) { return 0; }

LONG CQuillmarkOcxCtrl::InsertImage(LPCSTR, double, double, double) { return 0; }

void CQuillmarkOcxCtrl::SetDefaultTool(LONG def_tool_id, SHORT is_use) {
  // Numbers outside the permissions are ignored there.
  CQuillView::permit(def_tool_id, is_use != 0);
}

// ---------------------------------------------------------------------------
// Reading and changing entities

SHORT CQuillmarkOcxCtrl::SetObjectColor(LONG objectid, LONG color_val) {
  MB_Drawing* d = view_drawing();
  if (!d) return 0;
  note_edit();
  auto recolour = [color_val](MB_Drawable* e) {
    e->general().color(color_val);
    e->general().display_color(color_val);
    e->build_color();
  };
  if (objectid == kEveryEntity) {
    for (MB_Object* o = d->object_list().head(); o; o = o->next())
      if (o->is_drawable()) recolour(static_cast<MB_Drawable*>(o));
    return 1;
  }
  MB_Drawable* e = entity_of(objectid);
  if (!e) return 0;
  recolour(e);
  return 1;
}

SHORT CQuillmarkOcxCtrl::GetPoint(LONG, LONG, QmArray<double>, QmArray<double>) { return 0; }

double CQuillmarkOcxCtrl::GetReal(LONG, LONG) { return 0.0; }

LONG CQuillmarkOcxCtrl::GetLong(LONG object_id, LONG item_id) {
  MB_Drawable* e = entity_of(object_id);
  return e ? e->get_int(item_id) : 0;
}

SHORT CQuillmarkOcxCtrl::GetText(SHORT object_id, SHORT, BSTR* string) {
  if (!entity_of(object_id)) return -1;
  // The fixed answer, as far as the caller's string has room for it.
  static const OLECHAR kAnswer[] = {u'1', u'2'};
  if (string && *string) {
    const UINT room = SysStringLen(*string);
    for (UINT i = 0; i < room && i < 2; ++i) (*string)[i] = kAnswer[i];
  }
  return 0;
}

SHORT CQuillmarkOcxCtrl::SetLong(LONG obj_id, LONG item_id, LONG val) {
  if (MB_Drawable* e = entity_of(obj_id)) {
    e->set_int(item_id, val);
    note_edit();
  }
  return 0;
}

SHORT CQuillmarkOcxCtrl::SetReal(LONG obj_id, LONG item_id, double val) {
  MB_Drawable* e = entity_of(obj_id);
  if (!e) return 0;
  e->set_real(item_id, val);
  note_edit();
  return 1;
}

SHORT CQuillmarkOcxCtrl::SetPoint(LONG object_id, LONG item_id, double pt_x, double pt_y) {
  MB_Drawable* e = entity_of(object_id);
  if (!e) return 0;
  e->set_point(item_id, As_Pt(pt_x, pt_y, 0));
  note_edit();
  return 1;
}

SHORT CQuillmarkOcxCtrl::SetString(LONG object_id, LONG item_id, LPCSTR string) {
  MB_Drawable* e = entity_of(object_id);
  if (!e) return 0;
  e->set_string(item_id, string);
  note_edit();
  return 1;
}

SHORT CQuillmarkOcxCtrl::DeleteObject(LONG object_id) {
  CQuillView* v = view();
  MB_Drawable* e = entity_of(object_id);
  if (!v || !e) return 0;
  MB_Operation& op = v->operation();
  delete_as_command(op, [&] { op.delete_object(e, false); });
  return 1;
}

SHORT CQuillmarkOcxCtrl::DeleteSelectList() {
  CQuillView* v = view();
  if (!v) return 0;
  MB_Operation& op = v->operation();
  delete_as_command(op, [&] { op.delete_selection(); });
  return 1;
}

SHORT CQuillmarkOcxCtrl::GetSnapPoint(QmArray<double> pt_array) {
  MB_Mouse_Tool* tool = active_tool();
  if (!tool || !holds(pt_array, 2)) return 0;
  pt_array.data[0] = tool->snap_pos().x();
  pt_array.data[1] = tool->snap_pos().y();
  return 1;
}

SHORT CQuillmarkOcxCtrl::GetCurPoint(QmArray<double> pt_array, LONG coor_flag) {
  MB_Mouse_Tool* tool = active_tool();
  if (!tool || !holds(pt_array, 2)) return 0;
  const As_Pt& at = tool->cur_pos();
  if (coor_flag == 0) {
    const POINT p = mb_device_point(at, view()->operation().drawing_to_screen());
    pt_array.data[0] = p.x;
    pt_array.data[1] = p.y;
  } else {
    pt_array.data[0] = at.x();
    pt_array.data[1] = at.y();
  }
  return 1;
}

SHORT CQuillmarkOcxCtrl::RotateObject(LONG object_id, double basept_x, double basept_y, double angle) {
  MB_Drawing* d = view_drawing();
  // A turn by no number would leave every entity without coordinates.
  if (!d || object_id != kEveryEntity || !std::isfinite(basept_x) || !std::isfinite(basept_y) || !std::isfinite(angle))
    return 0;
  const As_Vec to_origin = As_Pt(0, 0, 0) - As_Pt(basept_x, basept_y, 0);
  const As_Tran m = translate_transf(to_origin) * rotate_transf(angle, As_Vec(0, 0, 1)) * translate_transf(-to_origin);
  note_edit();
  for (MB_Object* o = d->get_active_object_list().head(); o; o = o->next()) {
    if (!o->is_drawable()) continue;
    MB_Drawable* e = static_cast<MB_Drawable*>(o);
    e->translate(m);
    e->build_draw();
    if (o->object_id() == MB_Object::ID_IMAGE) {
      MB_Image* image = static_cast<MB_Image*>(o);
      CxImage* raster = image->image();
      if (raster && raster->IsValid() && raster->Rotate(static_cast<float>(angle * 180.0 / kPi))) {
        image->width(raster->GetWidth());
        image->height(raster->GetHeight());
        image->build_draw();
      }
    }
  }
  return 0;
}

SHORT CQuillmarkOcxCtrl::GetRect(LONG object_id, QmArray<double> pts_array) {
  MB_Drawing* d = view_drawing();
  if (!d || object_id != kEveryEntity || !holds(pts_array, 4)) return 0;
  As_Rect r(As_Pt(0, 0, 0), As_Pt(0, 0, 0));
  api_mb_get_entity_list_rect(d->object_list(), r);
  pts_array.data[0] = r.lt().x();
  pts_array.data[1] = r.lt().y();
  pts_array.data[2] = r.rb().x();
  pts_array.data[3] = r.rb().y();
  return 0;
}

LONG CQuillmarkOcxCtrl::GetSnapObject() {
  MB_Mouse_Tool* tool = active_tool();
  MB_Drawable* e = tool ? tool->get_snap_entity() : nullptr;
  return e ? id_of(reinterpret_cast<intptr_t>(e)) : 0;
}

LONG CQuillmarkOcxCtrl::GetObjectType(LONG object_id) {
  MB_Drawable* e = entity_of(object_id);
  if (!e) return kUnknownType;
  const MB_Object::MB_ID kind = e->object_id();
  for (const Public_Type& t : kPublicTypes)
    if (t.kernel == kind) return t.reported;
  return kUnknownType;
}

BSTR CQuillmarkOcxCtrl::GetString(LONG object_id, LONG item_id) {
  MB_Drawable* e = entity_of(object_id);
  if (!e) return qm_bstr_from_gbk(" ");
  if (item_id == MB_PROP_XDATA_TEXT) {
    const char* text = e->get_string(MB_PROP_XDATA_TEXT);
    return qm_bstr_from_gbk(text ? text : "");
  }
  if (item_id == kItemTextString && e->object_id() == MB_Object::ID_TEXT)
    return qm_bstr_from_gbk(static_cast<MB_Text*>(e)->string().ascii());
  return qm_bstr_from_gbk("");
}

SHORT CQuillmarkOcxCtrl::Explode(LONG ent_id, SHORT) {
  MB_Drawable* e = entity_of(ent_id);
  if (!e) return -1;
  if (e->object_id() == MB_Object::ID_INSERT) {
    static_cast<MB_Insert*>(e)->explode(view_drawing());
    note_edit();
  }
  return 0;
}

LONG CQuillmarkOcxCtrl::GetObject(LONG index) {
  MB_Drawing* d = view_drawing();
  if (!d || index < 1) return 0;
  const std::vector<MB_Object*>& items = entity_index().of(d->object_list());
  if (static_cast<size_t>(index) > items.size()) return 0;
  return id_of(reinterpret_cast<intptr_t>(items[static_cast<size_t>(index) - 1]));
}

LONG CQuillmarkOcxCtrl::GetObjectCount() {
  MB_Drawing* d = view_drawing();
  return d ? static_cast<LONG>(entity_index().of(d->object_list()).size()) : 0;
}

// ---------------------------------------------------------------------------
// The dispatch table: ids, names and kinds as the interface publishes them.

namespace {

constexpr VARTYPE PR8 = VT_R8 | VT_BYREF;
constexpr VARTYPE PI4 = VT_I4 | VT_BYREF;
constexpr VARTYPE PBSTR = VT_BSTR | VT_BYREF;
using C = CQuillmarkOcxCtrl;

}  // namespace

const QmDispatchTable& CQuillmarkOcxCtrl::GetDispatchTable() const { return DispatchTable(); }

const QmDispatchTable& CQuillmarkOcxCtrl::DispatchTable() {
  static const QmDispatchTable table = {
      qm_disp_property<&C::GetDocumentName, &C::SetDocumentName, VT_BSTR>(1, "DocumentName"),
      qm_disp_property<&C::GetSavePath, &C::SetSavePath, VT_BSTR>(2, "SavePath"),
      qm_disp_property<&C::GetBackColor, &C::SetBackColor, VT_I4>(3, "BackColor"),
      qm_disp_property<&C::GetDisplayCreateBar, &C::SetDisplayCreateBar, VT_BOOL>(4, "DisplayCreateBar"),
      qm_disp_property<&C::GetDisplayStandardBar, &C::SetDisplayStandardBar, VT_BOOL>(5, "DisplayStandardBar"),
      qm_disp_property<&C::GetUseEvents, &C::SetUseEvents, VT_I4>(6, "UseEvents"),
      qm_disp_property<&C::GetDisplayModifyBar, &C::SetDisplayModifyBar, VT_BOOL>(7, "DisplayModifyBar"),
      qm_disp_property<&C::GetDisplayControlBar, &C::SetDisplayControlBar, VT_BOOL>(8, "DisplayControlBar"),
      qm_disp_method<&C::Test01, VT_I4, VT_I4>(9, "Test01", "para"),
      qm_disp_method<&C::CreateArc, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8>(
          10, "CreateArc", "center_x,center_y,radius,start_angle,end_angle"),
      qm_disp_method<&C::CreateArcSEM, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8>(
          11, "CreateArcSEM", "start_x,start_y,end_x,end_y,mid_x,mid_y"),
      qm_disp_method<&C::CreateArcSME, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8>(
          12, "CreateArcSME", "start_x,start_y,Middle_x,Middle_y,end_x,end_y"),
      qm_disp_method<&C::CreateBspline, VT_I4, PR8, PR8, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8>(
          13, "CreateBspline", "ptx_array,pty_array,array_size,start_tan_x,start_tan_y,end_tan_x,end_tan_y"),
      qm_disp_method<&C::CreateCircle, VT_I4, VT_R8, VT_R8, VT_R8>(14, "CreateCircle", "center_x,center_y,radius"),
      qm_disp_method<&C::CreateCircleBy3Pt, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8>(
          15, "CreateCircleBy3Pt", "pt0_x,pt0_y,pt1_x,pt1_y,pt2_x,pt2_y"),
      qm_disp_method<&C::CreateEllipse, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8>(
          16, "CreateEllipse", "center_x,center_y,maj_len,min_len,angle"),
      qm_disp_method<&C::CreateEllipseArc, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8>(
          17, "CreateEllipseArc", "centerx,centery,maj,min,angle,start_angle,end_angle"),
      qm_disp_method<&C::CreateInsert, VT_I4, VT_BSTR, VT_R8, VT_R8, VT_R8, VT_R8, VT_R8>(
          18, "CreateInsert", "blockname,basex,basey,angle,scalex,scaley"),
      qm_disp_method<&C::CreateLayer, VT_I4, VT_BSTR, VT_I4, VT_I4, VT_I4>(19, "CreateLayer",
                                                                           "lay_name,lay_color,lay_linetype,lay_state"),
      qm_disp_method<&C::CreateLine, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8>(20, "CreateLine",
                                                                        "start_x,start_y,end_x,end_y"),
      qm_disp_method<&C::CreateLine3d, VT_I4, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2>(
          21, "CreateLine3d", "start_x,start_y,start_z,end_x,end_y,end_z"),
      qm_disp_method<&C::CreateLines, VT_I4, PR8, PR8, VT_I4>(22, "CreateLines", "pt_xarray,pt_yarray,array_size"),
      qm_disp_method<&C::CreatePoint, VT_I4, VT_R8, VT_R8, VT_R8>(23, "CreatePoint", "pt_x,pt_y,pt_z"),
      qm_disp_method<&C::CreateRect, VT_I4, VT_R8, VT_R8, VT_R8, VT_R8>(24, "CreateRect", "p0x,p0y,p1x,p1y"),
      qm_disp_method<&C::CreateSolid, VT_I4, PR8, PR8, VT_I4>(25, "CreateSolid", "ptx_array,pty_array,array_size"),
      qm_disp_method<&C::CreateText, VT_I4, VT_BSTR, VT_R8, VT_R8, VT_BSTR, VT_R8, VT_R8, VT_R8, VT_I4>(
          26, "CreateText", "text,ptx,pty,style_name,angle,height,widthscale,aliflag"),
      qm_disp_method<&C::OpenFile, VT_EMPTY, VT_BSTR>(27, "OpenFile", "filename"),
      qm_disp_method<&C::PrintFile, VT_EMPTY>(28, "PrintFile"),
      qm_disp_method<&C::SetPrintTextMark, VT_EMPTY, VT_BSTR, VT_R8, VT_R8, VT_R8, VT_BSTR>(
          29, "SetPrintTextMark", "text,ptx,pty,fonthei,fontname"),
      qm_disp_method<&C::SetPrintImageMark, VT_EMPTY, VT_BSTR, VT_R8, VT_R8>(30, "SetPrintImageMark",
                                                                             "filename,ptx,pty"),
      qm_disp_method<&C::PrintScreen, VT_EMPTY>(31, "PrintScreen"),
      qm_disp_method<&C::SetTool, VT_EMPTY, VT_I4, VT_BSTR>(32, "SetTool", "id,name"),
      qm_disp_method<&C::SetOperation, VT_EMPTY, VT_I2, VT_I2>(33, "SetOperation", "opid,val"),
      qm_disp_method<&C::SetColor, VT_I2, VT_I4, VT_I4>(34, "SetColor", "color_id,color_val"),
      qm_disp_method<&C::SetObjectColor, VT_I2, VT_I4, VT_I4>(35, "SetObjectColor", "objectid,color_val"),
      qm_disp_method<&C::ZoomAll, VT_EMPTY>(36, "ZoomAll"),
      qm_disp_method<&C::RedrawAll, VT_EMPTY>(37, "RedrawAll"),
      qm_disp_method<&C::SaveFile, VT_I2, VT_BSTR>(38, "SaveFile", "fname"),
      qm_disp_method<&C::ExportDxf, VT_I2, VT_BSTR>(39, "ExportDxf", "fname"),
      qm_disp_method<&C::ExportImage, VT_I2, VT_BSTR, VT_I4, VT_I4, VT_I2, VT_I4>(40, "ExportImage",
                                                                                  "fname,wid,hei,type,bakcolor"),
      qm_disp_method<&C::PrintRect, VT_I2, VT_I4, VT_I4, VT_I4, VT_I4>(41, "PrintRect", "ltx,lty,rbx,rby"),
      qm_disp_method<&C::GetVersionInfo, VT_I4, VT_BSTR, VT_I2>(42, "GetVersionInfo", "verinfo,show_dlg"),
      qm_disp_method<&C::ZoomView, VT_I2, VT_R8>(43, "ZoomView", "val"),
      qm_disp_method<&C::ZoomWindow, VT_I2, VT_R8, VT_R8, VT_R8, VT_R8>(44, "ZoomWindow", "p0_x,p0_y,p1_x,p1_y"),
      qm_disp_method<&C::PanView, VT_I2, VT_I4, VT_I4, VT_I4, VT_I4>(45, "PanView", "p0_x,p0_y,p1_x,p1_y"),
      qm_disp_method<&C::InsertImage, VT_I4, VT_BSTR, VT_R8, VT_R8, VT_R8>(46, "InsertImage", "file_name,px,py,angle"),
      qm_disp_method<&C::GetPoint, VT_I2, VT_I4, VT_I4, PR8, PR8>(47, "GetPoint", "object_id,item_id,ret_x,ret_y"),
      qm_disp_method<&C::GetReal, VT_R8, VT_I4, VT_I4>(48, "GetReal", "object_id,item_id"),
      qm_disp_method<&C::GetLong, VT_I4, VT_I4, VT_I4>(49, "GetLong", "object_id,item_id"),
      qm_disp_method<&C::GetText, VT_I2, VT_I2, VT_I2, PBSTR>(50, "GetText", "object_id,item_id,string"),
      qm_disp_method<&C::ExportRectImage, VT_I2, VT_BSTR, VT_R8, VT_R8, VT_R8, VT_R8, VT_I4, VT_I4, VT_I2, VT_I4>(
          51, "ExportRectImage", "file_name,lt_x,lt_y,rb_x,rb_y,width,height,type,BackColor"),
      qm_disp_method<&C::SetLong, VT_I2, VT_I4, VT_I4, VT_I4>(52, "SetLong", "obj_id,item_id,val"),
      qm_disp_method<&C::SetReal, VT_I2, VT_I4, VT_I4, VT_R8>(53, "SetReal", "obj_id,item_id,val"),
      qm_disp_method<&C::SetPoint, VT_I2, VT_I4, VT_I4, VT_R8, VT_R8>(54, "SetPoint", "object_id,item_id,pt_x,pt_y"),
      qm_disp_method<&C::DeleteObject, VT_I2, VT_I4>(55, "DeleteObject", "object_id"),
      qm_disp_method<&C::DeleteSelectList, VT_I2>(56, "DeleteSelectList"),
      qm_disp_method<&C::SetString, VT_I2, VT_I4, VT_I4, VT_BSTR>(57, "SetString", "object_id,item_id,string"),
      qm_disp_method<&C::GetSnapPoint, VT_I2, PR8>(58, "GetSnapPoint", "pt_array"),
      qm_disp_method<&C::GetCurPoint, VT_I2, PR8, VT_I4>(59, "GetCurPoint", "pt_array,coor_flag"),
      qm_disp_method<&C::RotateObject, VT_I2, VT_I4, VT_R8, VT_R8, VT_R8>(60, "RotateObject",
                                                                          "object_id,basept_x,basept_y,angle"),
      qm_disp_method<&C::GetRect, VT_I2, VT_I4, PR8>(61, "GetRect", "object_id,pts_array"),
      qm_disp_method<&C::GetSnapObject, VT_I4>(62, "GetSnapObject"),
      qm_disp_method<&C::GetObjectType, VT_I4, VT_I4>(63, "GetObjectType", "object_id"),
      qm_disp_method<&C::GetString, VT_BSTR, VT_I4, VT_I4>(64, "GetString", "object_id,item_id"),
      qm_disp_method<&C::CreateBlock, VT_I4, VT_BSTR, VT_R8, VT_R8, PI4, VT_I4, VT_BSTR>(
          65, "CreateBlock", "blk_name,base_x,base_y,ent_array,ent_array_size,blk_desc"),
      qm_disp_method<&C::CreateBlockBySelectObjectList, VT_I4, VT_BSTR, VT_R8, VT_R8, VT_BSTR>(
          66, "CreateBlockBySelectObjectList", "blk_name,base_x,base_y,blk_desc"),
      qm_disp_method<&C::Explode, VT_I2, VT_I4, VT_I2>(67, "Explode", "ent_id,flag"),
      qm_disp_method<&C::CreateHatch, VT_I4, VT_BSTR, VT_R8, VT_R8, VT_I4, PI4, PR8, PR8>(
          68, "CreateHatch",
          "hat_name,angle,scale,loop_size,perloop_ptsize_array,all_points_x_array,all_points_y_array"),
      qm_disp_method<&C::CreatHatchByObjectList, VT_I4, VT_BSTR, VT_R8, VT_R8, VT_I4, PI4>(
          69, "CreatHatchByObjectList", "hat_name,angle,scale,list_size,objid_array"),
      qm_disp_method<&C::CreatePolyline, VT_I4, PR8, PR8, PR8, PR8, PR8, VT_I4, VT_I2>(
          70, "CreatePolyline", "px_array,py_array,start_wid_array,end_wid_array,blug_array,array_size,flag"),
      qm_disp_method<&C::PrintAll, VT_I2, VT_R8, VT_I2>(71, "PrintAll", "angle,flag"),
      qm_disp_method<&C::SetDefaultTool, VT_EMPTY, VT_I4, VT_I2>(72, "SetDefaultTool", "def_tool_id,is_use"),
      qm_disp_method<&C::ShowLibDlg, VT_I2, VT_I2>(74, "ShowLibDlg", "flag"),
      qm_disp_method<&C::ExportHpgl, VT_I2, VT_BSTR, VT_I2>(75, "ExportHpgl", "fname,flag"),
      qm_disp_method<&C::GetObject, VT_I4, VT_I4>(76, "GetObject", "index"),
      qm_disp_method<&C::GetObjectCount, VT_I4>(77, "GetObjectCount"),
      qm_disp_method<&C::AboutBox, VT_EMPTY>(DISPID_ABOUTBOX, "AboutBox"),
  };
  return table;
}
