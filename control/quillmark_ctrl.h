// QuillmarkOcx, the drawing control: a CActiveXDocControl that hosts the
// control's document, frame and drawing view, and its property page.
#pragma once

#include "control/activex_doc_control.h"

class MB_Drawable;
class MB_Drawing;
class CQuillView;

class CQuillmarkOcxCtrl : public CActiveXDocControl {
  DECLARE_DYNCREATE(CQuillmarkOcxCtrl)
  DECLARE_DISPATCH_MAP()
 public:
  // What the control reports of itself to a container.
  static constexpr DWORD kMiscStatus = 0x20191;  // activate when visible, client site first, inside-out,
                                                 // not linked inside, recompose on resize
  static constexpr const char* kProgId = "QUILLMARKOCX.QuillmarkOcxCtrl.1";
  static constexpr const char* kPropPageProgId = "QUILLMARKOCX.QuillmarkOcxPropPage.1";
  static constexpr WORD kVersionMajor = 1;
  static constexpr WORD kVersionMinor = 0;

  CQuillmarkOcxCtrl();
  // The automation members, one list; and what the type library says of
  // the class (its ids, names and help strings, its interfaces).
  static const QmDispatchTable& DispatchTable();
  const QmClassDesc* GetClassDesc() const override;
  // A black surface with the control's name in red, centred: what shows
  // where the control draws itself (the frame covers it at run time).
  void OnDraw(CDC* dc, const CRect& bounds, const CRect& invalid) override;
  // The version 1.0, then the stock properties; nothing else persists.
  void DoPropExchange(CPropExchange* px) override;
  void OnResetState() override;
  void AboutBox();

  // ---- Automation ----
  // Every member acts on the current view (CQuillView::current()) and, while
  // there is none, answers its failure value and changes nothing. Entities
  // cross the interface as handles (MB_Object::handle): an id that does not
  // name a live entity of the current view's drawing is rejected like 0.
  // Array arguments are checked against the lengths the caller passed.
  BSTR GetDocumentName();
  void SetDocumentName(LPCSTR name);
  BSTR GetSavePath();
  void SetSavePath(LPCSTR path);
  OLE_COLOR GetBackColor();
  void SetBackColor(OLE_COLOR color);
  BOOL GetDisplayCreateBar();
  void SetDisplayCreateBar(BOOL show);
  BOOL GetDisplayStandardBar();
  void SetDisplayStandardBar(BOOL show);
  LONG GetUseEvents();
  void SetUseEvents(LONG use);
  BOOL GetDisplayModifyBar();
  void SetDisplayModifyBar(BOOL show);
  BOOL GetDisplayControlBar();
  void SetDisplayControlBar(BOOL show);

  LONG Test01(LONG para);
  LONG CreateArc(double center_x, double center_y, double radius, double start_angle, double end_angle);
  LONG CreateArcSEM(double start_x, double start_y, double end_x, double end_y, double mid_x, double mid_y);
  LONG CreateArcSME(double start_x, double start_y, double middle_x, double middle_y, double end_x, double end_y);
  LONG CreateBspline(QmArray<double> ptx_array, QmArray<double> pty_array, LONG array_size, double start_tan_x,
                     double start_tan_y, double end_tan_x, double end_tan_y);
  LONG CreateCircle(double center_x, double center_y, double radius);
  LONG CreateCircleBy3Pt(double pt0_x, double pt0_y, double pt1_x, double pt1_y, double pt2_x, double pt2_y);
  LONG CreateEllipse(double center_x, double center_y, double maj_len, double min_len, double angle);
  LONG CreateEllipseArc(double centerx, double centery, double maj, double min, double angle, double start_angle,
                        double end_angle);
  LONG CreateInsert(LPCSTR blockname, double basex, double basey, double angle, double scalex, double scaley);
  LONG CreateLayer(LPCSTR lay_name, LONG lay_color, LONG lay_linetype, LONG lay_state);
  LONG CreateLine(double start_x, double start_y, double end_x, double end_y);
  LONG CreateLine3d(SHORT start_x, SHORT start_y, SHORT start_z, SHORT end_x, SHORT end_y, SHORT end_z);
  LONG CreateLines(QmArray<double> pt_xarray, QmArray<double> pt_yarray, LONG array_size);
  LONG CreatePoint(double pt_x, double pt_y, double pt_z);
  LONG CreateRect(double p0x, double p0y, double p1x, double p1y);
  LONG CreateSolid(QmArray<double> ptx_array, QmArray<double> pty_array, LONG array_size);
  LONG CreateText(LPCSTR text, double ptx, double pty, LPCSTR style_name, double angle, double height,
                  double widthscale, LONG aliflag);
  void OpenFile(LPCSTR filename);
  void PrintFile();
  void SetPrintTextMark(LPCSTR text, double ptx, double pty, double fonthei, LPCSTR fontname);
  void SetPrintImageMark(LPCSTR filename, double ptx, double pty);
  void PrintScreen();
  void SetTool(LONG id, LPCSTR name);
  void SetOperation(SHORT opid, SHORT val);
  SHORT SetColor(LONG color_id, LONG color_val);
  SHORT SetObjectColor(LONG objectid, LONG color_val);
  void ZoomAll();
  void RedrawAll();
  SHORT SaveFile(LPCSTR fname);
  SHORT ExportDxf(LPCSTR fname);
  SHORT ExportImage(LPCSTR fname, LONG wid, LONG hei, SHORT type, LONG bakcolor);
  SHORT PrintRect(LONG ltx, LONG lty, LONG rbx, LONG rby);
  LONG GetVersionInfo(LPCSTR verinfo, SHORT show_dlg);
  SHORT ZoomView(double val);
  SHORT ZoomWindow(double p0_x, double p0_y, double p1_x, double p1_y);
  SHORT PanView(LONG p0_x, LONG p0_y, LONG p1_x, LONG p1_y);
  LONG InsertImage(LPCSTR file_name, double px, double py, double angle);
  SHORT GetPoint(LONG object_id, LONG item_id, QmArray<double> ret_x, QmArray<double> ret_y);
  double GetReal(LONG object_id, LONG item_id);
  LONG GetLong(LONG object_id, LONG item_id);
  SHORT GetText(SHORT object_id, SHORT item_id, BSTR* string);
  SHORT ExportRectImage(LPCSTR file_name, double lt_x, double lt_y, double rb_x, double rb_y, LONG width, LONG height,
                        SHORT type, LONG back_color);
  SHORT SetLong(LONG obj_id, LONG item_id, LONG val);
  SHORT SetReal(LONG obj_id, LONG item_id, double val);
  SHORT SetPoint(LONG object_id, LONG item_id, double pt_x, double pt_y);
  SHORT DeleteObject(LONG object_id);
  SHORT DeleteSelectList();
  SHORT SetString(LONG object_id, LONG item_id, LPCSTR string);
  SHORT GetSnapPoint(QmArray<double> pt_array);
  SHORT GetCurPoint(QmArray<double> pt_array, LONG coor_flag);
  SHORT RotateObject(LONG object_id, double basept_x, double basept_y, double angle);
  SHORT GetRect(LONG object_id, QmArray<double> pts_array);
  LONG GetSnapObject();
  LONG GetObjectType(LONG object_id);
  BSTR GetString(LONG object_id, LONG item_id);
  LONG CreateBlock(LPCSTR blk_name, double base_x, double base_y, QmArray<LONG> ent_array, LONG ent_array_size,
                   LPCSTR blk_desc);
  LONG CreateBlockBySelectObjectList(LPCSTR blk_name, double base_x, double base_y, LPCSTR blk_desc);
  SHORT Explode(LONG ent_id, SHORT flag);
  LONG CreateHatch(LPCSTR hat_name, double angle, double scale, LONG loop_size, QmArray<LONG> perloop_ptsize_array,
                   QmArray<double> all_points_x_array, QmArray<double> all_points_y_array);
  LONG CreatHatchByObjectList(LPCSTR hat_name, double angle, double scale, LONG list_size, QmArray<LONG> objid_array);
  LONG CreatePolyline(QmArray<double> px_array, QmArray<double> py_array, QmArray<double> start_wid_array,
                      QmArray<double> end_wid_array, QmArray<double> blug_array, LONG array_size, SHORT flag);
  SHORT PrintAll(double angle, SHORT flag);
  void SetDefaultTool(LONG def_tool_id, SHORT is_use);
  SHORT ShowLibDlg(SHORT flag);
  SHORT ExportHpgl(LPCSTR fname, SHORT flag);
  LONG GetObject(LONG index);
  LONG GetObjectCount();

  // The entity an automation id names in the current view's drawing, or
  // null: ids that are not positive, unknown, of an entity that died or left
  // the drawing, or of something that is not an entity.
  static MB_Drawable* entity_of(LONG id);
  // The id of an entity (or other object) the flat API made, 0 for none.
  static LONG id_of(intptr_t object);
};

class CQuillmarkOcxPropPage : public COlePropertyPage {
 public:
  CQuillmarkOcxPropPage();
};

// Registers the control's dialogs, toolbars and strings; done once, before
// the first control is made.
void quill_register_resources();
