// The insert-block and define-block dialogs.
#include "control/dialogs/block_dialogs.h"

#include <algorithm>

#include "api/api_construct.h"
#include "api/api_create.h"
#include "control/control_ids.h"
#include "control/control_texts.h"
#include "control/current_drawing.h"
#include "database/entities/mb_block.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"

namespace {

constexpr const char* kInitialBlockName = "blk name";
constexpr const char* kInitialAngle = "0.";
constexpr const char* kInitialScale = "1.";
constexpr const char* kInitialBase = "0.,0.,0.";
// A block made with no description gets this one.
constexpr const char* kDefaultDescription = "Desc";

}  // namespace

// ---- Insert block ----

BEGIN_MESSAGE_MAP(InsertBlockDialog, CDialog)
ON_WM_HSCROLL()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

InsertBlockDialog::InsertBlockDialog(MB_Drawing* drawing, CWnd* parent)
    : CDialog(quill::kDialogInsertBlock, parent),
      block_name(kInitialBlockName),
      angle(kInitialAngle),
      x_scale(kInitialScale),
      y_scale(kInitialScale),
      z_scale(kInitialScale),
      drawing_(drawing) {}

void InsertBlockDialog::register_template() {
  using namespace quill;
  QmDialogTemplate t{kDialogInsertBlock, kTextInsertBlock, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 292, 130, {}, {quill::kFaceDialog, quill::kPointsDialog}};
  t.items = {
      {kInsertBlockStrip, WC_STATICA, "", SS_SUNKEN, 7, 7, 278, 60},
      {kInsertBlockScroll, WC_SCROLLBARA, "", SBS_HORZ, 7, 68, 278, 10},
      {0xFFFF, WC_STATICA, kTextBlockNameLabel, 0, 7, 86, 32, 8},
      {kInsertBlockName, WC_EDITA, "", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 42, 84, 90, 12},
      {0xFFFF, WC_STATICA, kTextInsertAngleLabel, 0, 142, 86, 36, 8},
      {kInsertBlockAngle, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 180, 84, 50, 12},
      {kInsertBlockExplode, WC_BUTTONA, kTextExplode, BS_AUTOCHECKBOX | WS_TABSTOP, 240, 84, 45, 12},
      {0xFFFF, WC_STATICA, kTextScaleXLabel, 0, 7, 102, 24, 8},
      {kInsertBlockScaleX, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 32, 100, 40, 12},
      {0xFFFF, WC_STATICA, kTextScaleYLabel, 0, 80, 102, 24, 8},
      {kInsertBlockScaleY, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 105, 100, 40, 12},
      {0xFFFF, WC_STATICA, kTextScaleZLabel, 0, 153, 102, 24, 8},
      {kInsertBlockScaleZ, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 178, 100, 40, 12},
      {IDOK, WC_BUTTONA, kTextOk, BS_DEFPUSHBUTTON | WS_TABSTOP, 180, 114, 50, 14},
      {IDCANCEL, WC_BUTTONA, kTextCancel, BS_PUSHBUTTON | WS_TABSTOP, 235, 114, 50, 14},
  };
  AfxRegisterDialog(t);
}

void InsertBlockDialog::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, quill::kInsertBlockStrip, strip_);
  DDX_Control(dx, quill::kInsertBlockScroll, scroll_);
  DDX_Text(dx, quill::kInsertBlockName, block_name);
  DDX_Text(dx, quill::kInsertBlockAngle, angle);
  DDX_Text(dx, quill::kInsertBlockScaleX, x_scale);
  DDX_Text(dx, quill::kInsertBlockScaleY, y_scale);
  DDX_Text(dx, quill::kInsertBlockScaleZ, z_scale);
  DDX_Check(dx, quill::kInsertBlockExplode, explode);
}

BOOL InsertBlockDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  CRect client;
  strip_.GetClientRect(&client);
  strip_.size_to(client.Width(), client.Height());
  if (!drawing_) return TRUE;
  for (MB_Object* o = drawing_->block_list().head(); o; o = o->next()) {
    if (o->object_id() != MB_Object::ID_BLOCK) continue;
    MB_Block* block = static_cast<MB_Block*>(o);
    if (!block->object_list().is_empty()) strip_.add_cell(block);
  }
  scroll_.SetScrollRange(0, strip_.count());
  scroll_.SetScrollPos(0);
  return TRUE;
}

MB_Block* InsertBlockDialog::chosen_block() const {
  const BlockThumbnailCell* c = strip_.selected();
  return c ? c->block : nullptr;
}

void InsertBlockDialog::OnHScroll(UINT code, UINT pos, CScrollBar*) {
  UpdateData(TRUE);
  int p = (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) ? static_cast<int>(pos) : scroll_.GetScrollPos();
  if (code == SB_LINELEFT || code == SB_PAGELEFT) --p;
  if (code == SB_LINERIGHT || code == SB_PAGERIGHT) ++p;
  scroll_.SetScrollPos(strip_.scroll_to(p));
}

void InsertBlockDialog::press(UINT flags, CPoint p) {
  const BlockThumbnailCell* c = strip_.select_at(*this, p, flags);
  if (c && c->block) SetDlgItemText(quill::kInsertBlockName, c->block->name().ascii());
  strip_.Invalidate();
}

void InsertBlockDialog::OnLButtonDown(UINT flags, CPoint p) { press(flags, p); }

void InsertBlockDialog::OnLButtonDblClk(UINT flags, CPoint p) {
  press(flags, p);
  if (strip_.selected()) CDialog::OnOK();
}

// ---- Define block ----

BEGIN_MESSAGE_MAP(DefineBlockDialog, CDialog)
ON_BN_CLICKED(quill::kDefineBlockPickBase, OnPickBase)
ON_WM_PAINT()
END_MESSAGE_MAP()

DefineBlockDialog::DefineBlockDialog(MB_Operation* operation, const As_Pt& base, CWnd* parent)
    : CDialog(quill::kDialogDefineBlock, parent), base_text(kInitialBase), operation_(operation), base_(base) {}

void DefineBlockDialog::register_template() {
  using namespace quill;
  QmDialogTemplate t{kDialogDefineBlock, kTextDefineBlock, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 259, 154, {}, {quill::kFaceDialog, quill::kPointsDialog}};
  t.items = {
      {0xFFFF, WC_STATICA, kTextNameLabel, 0, 7, 9, 30, 8},
      {kDefineBlockName, WC_COMBOBOXA, "", CBS_DROPDOWN | CBS_SORT | WS_TABSTOP, 40, 7, 130, 60},
      {0xFFFF, WC_STATICA, kTextBaseLabel, 0, 7, 27, 30, 8},
      {kDefineBlockBase, WC_EDITA, "", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 40, 25, 130, 12},
      {kDefineBlockPickBase, WC_BUTTONA, kTextPickBase, BS_PUSHBUTTON | WS_TABSTOP, 180, 24, 70, 14},
      {0xFFFF, WC_STATICA, kTextEntitiesLabel, 0, 7, 45, 30, 8},
      {kDefineBlockEntities, WC_EDITA, "", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 40, 43, 130, 12},
      {0xFFFF, WC_STATICA, kTextDescriptionLabel, 0, 7, 63, 30, 8},
      {kDefineBlockDescription, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 40, 61, 210, 12},
      {0xFFFF, WC_STATICA, kTextPreviewLabel, 0, 7, 80, 30, 8},
      {kDefineBlockPreview, WC_STATICA, "", SS_SUNKEN, 7, 90, 170, 57},
      {IDOK, WC_BUTTONA, kTextOk, BS_DEFPUSHBUTTON | WS_TABSTOP, 200, 112, 50, 14},
      {IDCANCEL, WC_BUTTONA, kTextCancel, BS_PUSHBUTTON | WS_TABSTOP, 200, 133, 50, 14},
  };
  AfxRegisterDialog(t);
}

void DefineBlockDialog::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_CBString(dx, quill::kDefineBlockName, name);
  DDX_Text(dx, quill::kDefineBlockBase, base_text);
  DDX_Text(dx, quill::kDefineBlockDescription, description);
}

BOOL DefineBlockDialog::OnInitDialog() {
  base_text.Format("%.2f,%.2f,%.2f", base_.x(), base_.y(), base_.z());
  return CDialog::OnInitDialog();
}

void DefineBlockDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  MB_Drawing* drawing = operation_ ? operation_->drawing() : nullptr;
  // A second block of a name would be shadowed by the first wherever the
  // name is looked up.
  const bool taken = drawing && drawing->find_block(name);
  if (name.IsEmpty() || name[0] == ' ' || taken) {
    AfxMessageBox(quill::kTextCheckBlockName);
    return;
  }
  if (description.IsEmpty()) description = kDefaultDescription;
  if (drawing) {
    // The kernel makes the block in its current drawing: the one of this
    // view while it does.
    Current_Drawing current(operation_ ? operation_->drawing() : nullptr);
    made_ = reinterpret_cast<MB_Block*>(api_mb_create_block(name, description, base_, operation_->selection()));
  }
  EndDialog(IDOK);
}

void DefineBlockDialog::OnPickBase() { CDialog::OnOK(); }

void DefineBlockDialog::OnPaint() {
  CPaintDC dc(this);
  if (!operation_ || operation_->selection().is_empty()) return;
  CWnd* frame = GetDlgItem(quill::kDefineBlockPreview);
  if (!frame) return;
  CRect r;
  frame->GetWindowRect(&r);
  ScreenToClient(&r);
  paint_buffered(dc, r, 0, [this, &r](HDC mem) {
    api_mb_draw_object_list_on_dc(mem, operation_->selection(), r.CenterPoint().x, r.CenterPoint().y, r.Width(),
                                  r.Height());
  });
}
