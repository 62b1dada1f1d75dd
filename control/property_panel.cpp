// The property panel and the settings page.
#include "control/property_panel.h"

#include <cstdio>
#include <iterator>

#include "control/control_ids.h"
#include "control/control_texts.h"
#include "control/quill_view.h"
#include "database/entities/mb_block.h"
#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_point.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_settings.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr const char* kUnsetColourText = "0xffff00";
constexpr const char* kNoLayerText = "0";
// The long settings the default rows show, in row order from row 1.
constexpr int kColourSettings[] = {0, 1, 2};
// Rows of the colours, by the indexes ApplyChanges reads.
constexpr size_t kFirstDefaultColourRow = 1;
constexpr size_t kLineColourRow = 3;

double degrees(double radians) { return radians * 180.0 / kPi; }

CString formatted(const char* format, double x) {
  CString s;
  s.Format(format, x);
  return s;
}

}  // namespace

BEGIN_MESSAGE_MAP(PropertyPanelDialog, CDialog)
ON_WM_SIZE()
ON_WM_CLOSE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

PropertyPanelDialog::PropertyPanelDialog() : CDialog(quill::kDialogPropertyPanel) {}

PropertyPanelDialog::~PropertyPanelDialog() {
  if (m_hWnd) DestroyWindow();
}

void PropertyPanelDialog::register_template() {
  QmDialogTemplate t{quill::kDialogPropertyPanel, "", WS_CHILD, 0, 0, 108, 271, {}, {quill::kFaceDialog, quill::kPointsDialog}};
  t.items = {{quill::kPropertyList, WC_LISTBOXA, "", LBS_OWNERDRAWFIXED | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, 0, 0,
              108, 271}};
  AfxRegisterDialog(t);
}

void PropertyPanelDialog::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, quill::kPropertyList, list_);
}

BOOL PropertyPanelDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  list_.on_change([this] { ApplyChanges(); });
  Refresh();
  return TRUE;
}

BOOL PropertyPanelDialog::PreTranslateMessage(MSG* msg) { return CDialog::PreTranslateMessage(msg); }

void PropertyPanelDialog::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (!list_.m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  list_.MoveWindow(&client);
}

void PropertyPanelDialog::OnClose() { ShowWindow(SW_HIDE); }

void PropertyPanelDialog::OnDestroy() {
  clear_rows();
  CDialog::OnDestroy();
}

void PropertyPanelDialog::clear_rows() {
  // The list's items point at the rows: they go first.
  if (list_.m_hWnd) list_.ResetContent();
  rows_.clear();
}

void PropertyPanelDialog::show_entity(MB_Drawable* entity) {
  entity_ = entity;
  Refresh();
}

void PropertyPanelDialog::entities_leaving(MB_Operation::Leaving what, MB_Drawable* entity) {
  if (!entity_) return;
  bool drop = false;
  switch (what) {
    case MB_Operation::Leaving::ENTITY: drop = entity == entity_; break;
    // Detached entities are still alive at this point.
    case MB_Operation::Leaving::STEPPED: drop = entity_->owner_list() == nullptr; break;
    case MB_Operation::Leaving::DRAWING: drop = true; break;
  }
  if (drop) show_entity(nullptr);
}

void PropertyPanelDialog::Refresh() {
  clear_rows();
  if (entity_)
    add_entity_rows(*entity_);
  else
    add_defaults();
}

void PropertyPanelDialog::ApplyChanges() {
  CQuillView* view = CQuillView::current();
  if (!entity_) {
    for (size_t i = 0; i < std::size(kColourSettings); ++i) {
      const size_t r = kFirstDefaultColourRow + i;
      if (r < rows_.size()) g_system_setting.set_long_val(kColourSettings[i], static_cast<int32_t>(rows_[r]->colour));
    }
    if (view && view->operation().drawing()) view->operation().drawing()->build_color();
  } else if (entity_->object_id() == MB_Object::ID_LINE && kLineColourRow < rows_.size()) {
    const int32_t c = static_cast<int32_t>(rows_[kLineColourRow]->colour);
    entity_->general().color(c);
    entity_->general().display_color(c);
    // Outside the undo store, but an edit all the same.
    if (view && view->operation().drawing()) view->operation().drawing()->note_edit();
  }
  if (view && view->m_hWnd) view->Invalidate(TRUE);
}

// ---- Rows ----

PropertyRow& PropertyPanelDialog::AddRow(const char* label, const char* value, int kind, const char* choices) {
  auto row = std::make_unique<PropertyRow>();
  row->label = label;
  row->value = value;
  row->kind = kind;
  row->choices = choices;
  PropertyRow& r = *row;
  rows_.push_back(std::move(row));
  if (list_.m_hWnd) list_.AddItem(&r);
  return r;
}

PropertyRow& PropertyPanelDialog::AddTextRow(const char* label, const char* value) {
  return AddRow(label, value, PropertyRow::kText, "");
}

PropertyRow& PropertyPanelDialog::AddIntRow(const char* label, int n) {
  CString s;
  s.Format("%d", n);
  return AddTextRow(label, s);
}

PropertyRow& PropertyPanelDialog::AddRealRow(const char* label, double x) {
  return AddTextRow(label, formatted("%.4f", x));
}

void PropertyPanelDialog::AddPointRows(const char* label, const As_Pt& p) {
  const CString base(label);
  AddRealRow(base + "x", p.x());
  AddRealRow(base + "y", p.y());
  AddRealRow(base + "z", p.z());
}

PropertyRow& PropertyPanelDialog::AddFlaggedRow(const char* label, const char* value, bool read_only) {
  PropertyRow& r = AddTextRow(label, value);
  r.read_only = read_only ? 1 : 0;
  return r;
}

PropertyRow& PropertyPanelDialog::AddMeasureRow(const char* label, double x, bool read_only) {
  PropertyRow& r = AddFlaggedRow(label, formatted("%.3f", x), read_only);
  r.real_value = x;
  return r;
}

PropertyRow& PropertyPanelDialog::AddColourRow(const char* label, COLORREF c) {
  CString s;
  s.Format("%d", static_cast<int>(c));
  PropertyRow& r = AddRow(label, s, PropertyRow::kColour, "");
  r.colour = c;
  return r;
}

void PropertyPanelDialog::add_defaults() {
  using namespace quill;
  AddFlaggedRow(kTextDefaultsTitle, kTextDefaultsValue, true);
  const char* const colours[] = {kTextDefaultBackground, kTextDefaultCurrent, kTextDefaultRubber};
  for (size_t i = 0; i < std::size(kColourSettings); ++i)
    AddColourRow(colours[i], static_cast<COLORREF>(g_system_setting.get_long_val(kColourSettings[i])));
  for (const char* label : {kTextDefaultLayer, kTextDefaultLineType, kTextDefaultLineScale, kTextDefaultHatch,
                            kTextDefaultHatchScale, kTextDefaultTextStyle, kTextDefaultDimStyle})
    AddTextRow(label, "");
}

void PropertyPanelDialog::add_common_rows(MB_Drawable& e, bool colour_row) {
  using namespace quill;
  AddIntRow("ID", static_cast<int>(e.user_id()));
  if (MB_Layer* layer = e.general().layer()) AddTextRow(kTextPropLayer, layer->name().ascii());
  if (colour_row) AddRow(kTextPropColour, kUnsetColourText, PropertyRow::kColour, "");
}

void PropertyPanelDialog::add_entity_rows(MB_Drawable& e) {
  using namespace quill;
  switch (e.object_id()) {
    case MB_Object::ID_LINE: {
      MB_Line& line = static_cast<MB_Line&>(e);
      AddFlaggedRow(kTextPropName, kTextKindLine, true);
      AddIntRow("ID", static_cast<int>(e.user_id()));
      if (MB_Layer* layer = e.general().layer())
        AddTextRow(kTextPropLayer, layer->name().ascii());
      else
        AddFlaggedRow(kTextPropLayer, kNoLayerText, true);
      AddColourRow(kTextPropColour, static_cast<COLORREF>(e.general().color()));
      AddPointRows(kTextPropStart, line.start());
      AddPointRows(kTextPropEnd, line.end());
      AddMeasureRow(kTextPropLength, e.get_real(MB_PROP_LENGTH), true);
      AddMeasureRow(kTextPropAngle, degrees(e.get_real(MB_PROP_ANGLE)), true);
      break;
    }
    case MB_Object::ID_POINT:
      AddTextRow(kTextPropName, kTextKindPoint);
      add_common_rows(e, false);
      AddPointRows(kTextPropPosition, static_cast<MB_Point&>(e).pos());
      break;
    case MB_Object::ID_LINES: {
      MB_Lines& lines = static_cast<MB_Lines&>(e);
      AddTextRow(kTextPropName, kTextKindPolyline);
      add_common_rows(e, true);
      AddPointRows(kTextPropStart, lines.start());
      AddPointRows(kTextPropEnd, lines.end());
      for (int i = 0; i < lines.count(); ++i) AddPointRows(kTextPropKeyPoint, lines[i]);
      AddRealRow(kTextPropLength, e.get_real(MB_PROP_LENGTH));
      break;
    }
    case MB_Object::ID_SOLID: {
      MB_Solid& solid = static_cast<MB_Solid&>(e);
      AddTextRow(kTextPropName, kTextKindRegion);
      add_common_rows(e, false);
      AddRealRow(kTextPropArea, e.get_real(MB_PROP_AREA));
      AddRealRow(kTextPropPerimeter, e.get_real(MB_PROP_LENGTH));
      AddIntRow(kTextPropVertexCount, solid.count());
      for (int i = 0; i < solid.count(); ++i) AddPointRows(kTextPropVertex, solid[i]);
      break;
    }
    case MB_Object::ID_ARC: {
      MB_Arc& arc = static_cast<MB_Arc&>(e);
      AddTextRow(kTextPropName, kTextKindArc);
      add_common_rows(e, true);
      AddPointRows(kTextPropStart, arc.start());
      AddPointRows(kTextPropEnd, arc.end());
      AddRealRow(kTextPropStartAngle, degrees(arc.start_angle()));
      AddRealRow(kTextPropEndAngle, degrees(arc.end_angle()));
      AddPointRows(kTextPropMiddle, e.get_point(MB_PROP_MIDDLE));
      AddPointRows(kTextPropCentre, arc.center());
      AddRealRow(kTextPropLength, e.get_real(MB_PROP_LENGTH));
      AddRealRow(kTextPropAngle, degrees(e.get_real(MB_PROP_ANGLE)));
      AddRealRow(kTextPropArea, e.get_real(MB_PROP_AREA));
      break;
    }
    case MB_Object::ID_CIRCLE: {
      MB_Circle& circle = static_cast<MB_Circle&>(e);
      AddTextRow(kTextPropName, kTextKindCircle);
      add_common_rows(e, true);
      AddPointRows(kTextPropCentre, circle.center());
      AddRealRow(kTextPropRadius, circle.radius());
      AddRealRow(kTextPropPerimeter, e.get_real(MB_PROP_LENGTH));
      AddRealRow(kTextPropArea, e.get_real(MB_PROP_AREA));
      break;
    }
    case MB_Object::ID_ELLIPSE: {
      MB_Ellipse& ellipse = static_cast<MB_Ellipse&>(e);
      AddTextRow(kTextPropName, kTextKindEllipse);
      add_common_rows(e, true);
      AddPointRows(kTextPropCentre, ellipse.center());
      AddRealRow(kTextPropMajor, ellipse.major());
      AddRealRow(kTextPropMinor, ellipse.minor());
      AddRealRow(kTextPropPerimeter, e.get_real(MB_PROP_LENGTH));
      AddRealRow(kTextPropArea, e.get_real(MB_PROP_AREA));
      AddRealRow(kTextPropRotation, degrees(ellipse.angle()));
      break;
    }
    case MB_Object::ID_BSPLINE: {
      MB_Bspline& spline = static_cast<MB_Bspline&>(e);
      AddTextRow(kTextPropName, kTextKindSpline);
      // This kind shows the entity's own id, not the user's.
      AddIntRow("ID", static_cast<int>(e.id()));
      if (MB_Layer* layer = e.general().layer()) AddTextRow(kTextPropLayer, layer->name().ascii());
      AddRow(kTextPropColour, kUnsetColourText, PropertyRow::kColour, "");
      const As_Pt_Set& fit = spline.fitpts();
      AddIntRow(kTextPropKeyPointCount, fit.count());
      for (int i = 0; i < fit.count(); ++i) AddPointRows(kTextPropKeyPoint, fit[i]);
      break;
    }
    case MB_Object::ID_TEXT: {
      MB_Text& text = static_cast<MB_Text&>(e);
      const MB_Text_Style& style = text.text_style();
      AddTextRow(kTextPropName, kTextKindText);
      add_common_rows(e, true);
      AddPointRows(kTextPropBase, text.base_pos());
      AddTextRow(kTextPropContent, text.string().ascii());
      AddTextRow(kTextPropTextStyle, style.name().ascii());
      AddRealRow(kTextPropOblique, style.oblique_angle());
      AddRealRow(kTextPropHeight, style.height());
      AddRealRow(kTextPropWidthFactor, style.width_scale());
      AddRealRow(kTextPropAngle, style.angle());
      break;
    }
    case MB_Object::ID_INSERT: {
      MB_Insert& insert = static_cast<MB_Insert&>(e);
      AddTextRow(kTextPropName, kTextKindInsert);
      add_common_rows(e, true);
      AddTextRow(kTextPropBlockName, insert.block() ? insert.block()->name().ascii() : "");
      AddPointRows(kTextPropBase, insert.point());
      AddRealRow(kTextPropScaleX, insert.scale()[0]);
      AddRealRow(kTextPropScaleY, insert.scale()[1]);
      AddRealRow(kTextPropScaleZ, insert.scale()[2]);
      AddRealRow(kTextPropAngle, insert.angle());
      break;
    }
    case MB_Object::ID_IMAGE:
      AddTextRow(kTextPropName, kTextKindImage);
      AddPointRows(kTextPropBase, e.get_point(MB_PROP_IMAGE_CENTER));
      AddRealRow(kTextPropLength, e.get_real(MB_PROP_HEIGHT));
      AddRealRow(kTextPropWidth, e.get_real(MB_PROP_WIDTH));
      AddRealRow(kTextPropAngle, e.get_real(MB_PROP_ANGLE));
      AddIntRow(kTextPropBlend, e.get_int(MB_PROP_ALPHA));
      break;
    default: break;  // a kind without rows leaves the list empty
  }
}

// ---- Settings page ----

SettingsPageDialog::SettingsPageDialog() : CDialog(quill::kDialogSettingsPage) {}

void SettingsPageDialog::register_template() {
  AfxRegisterDialog(
      {quill::kDialogSettingsPage, "", WS_CHILD, 0, 0, 108, 271, {}, {quill::kFaceDialog, quill::kPointsDialog}});
}
