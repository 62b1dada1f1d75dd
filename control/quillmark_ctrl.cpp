// The drawing control and its property page.
#include "control/quillmark_ctrl.h"

#include <qm_user.h>

#include <string>

#include "control/control_ids.h"
#include "control/control_texts.h"
#include "control/dialogs/block_dialogs.h"
#include "control/dialogs/block_library_dialog.h"
#include "control/dialogs/text_entry_dialog.h"
#include "control/dialogs/view_dialogs.h"
#include "control/quill_doc.h"
#include "control/quill_frame.h"
#include "control/quill_view.h"

namespace {

constexpr COLORREF kDesignTextColor = RGB(255, 0, 0);

}  // namespace

IMPLEMENT_DYNCREATE(CQuillmarkOcxCtrl, CActiveXDocControl)

CQuillmarkOcxCtrl::CQuillmarkOcxCtrl() {
  quill_register_resources();
  InitializeIIDs(&quill::kDispatchIid, &quill::kEventsIid);
  m_nPropPageID = quill::kDialogPropPage;
  m_nPropPageCaptionID = quill::kStringPropPageCaption;
  SetInitialSize(200, 200);
  AddDocTemplate(new DocumentTemplateInControl(quill::kTemplateResource, RUNTIME_CLASS(CQuillDoc),
                                               RUNTIME_CLASS(CQuillFrame), RUNTIME_CLASS(CQuillView)));
}

void CQuillmarkOcxCtrl::OnDraw(CDC* dc, const CRect& bounds, const CRect&) {
  if (!dc) return;
  ::FillRect(dc->GetSafeHdc(), &bounds, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const COLORREF old = dc->SetTextColor(kDesignTextColor);
  dc->SetTextAlign(TA_CENTER);
  dc->SetBkMode(TRANSPARENT);
  dc->TextOut((bounds.left + bounds.right) / 2, (bounds.bottom + bounds.top) / 2, CString(quill::kTextDesignPicture));
  dc->SetTextColor(old);
}

void CQuillmarkOcxCtrl::DoPropExchange(CPropExchange* px) {
  DWORD version = MAKELONG(kVersionMinor, kVersionMajor);
  px->ExchangeVersion(version, MAKELONG(kVersionMinor, kVersionMajor));
  COleControl::DoPropExchange(px);
}

void CQuillmarkOcxCtrl::OnResetState() { COleControl::OnResetState(); }

void CQuillmarkOcxCtrl::AboutBox() {
  CDialog about(quill::kDialogAbout);
  about.DoModal();
}

CQuillmarkOcxPropPage::CQuillmarkOcxPropPage()
    : COlePropertyPage(quill::kDialogPropPage, quill::kStringPropPageCaption) {}

// ---------------------------------------------------------------------------

namespace {

// The toolbars' buttons (command ids; 0 is a separator).
const std::vector<UINT> kCreationButtons = {32826, 32827, 0,     32778, 32780, 32786, 32799, 32801,
                                            32803, 32805, 32806, 32807, 32808, 32809, 32810, 0,
                                            32811, 32812, 32813, 32814, 32815, 32816, 32817, 32792};
const std::vector<UINT> kStandardButtons = {32833, 32779, 32804, 32781, 57607, 32783, 32789, 32785,
                                            32800, 32802, 32787, 32788, 32796, 32790, 32795, 32851,
                                            32794, 0,     32798, 32843, 32830, 32831};
const std::vector<UINT> kModifyButtons = {32837, 32834, 32836, 32841, 32838, 32839, 32840, 32842, 0, 32773, 32774};

// The about box and the property page share the icon, the version line and
// three lines of information.
std::vector<QmDialogItem> information_items(int top) {
  std::vector<QmDialogItem> items = {
      {0xFFFF, WC_STATICA, quill::kIconControlName, SS_ICON, 10, 10, 20, 20},
      {0xFFFF, WC_STATICA, quill::kTextVersion, 0, 40, 10, 170, 8},
  };
  for (int i = 0; i < 3; ++i) items.push_back({0xFFFF, WC_STATICA, quill::kTextAboutLines[i], 0, 40, top + 12 * i, 200, 8});
  return items;
}

// The toolbars' picture strips, the control's icon and the tools' cursors:
// our own pictures (pictures/ in the source tree).
void register_pictures() {
  for (UINT bar : {quill::kToolbarCreation, quill::kToolbarStandard, quill::kToolbarModify})
    qm_user_register_picture(QmPicture::kBitmap, MAKEINTRESOURCEA(bar),
                             ("toolbar" + std::to_string(bar) + ".png").c_str());
  qm_user_register_picture(QmPicture::kIcon, MAKEINTRESOURCEA(quill::kIconControl), "icon_control.png");
  const struct {
    const char* name;
    const char* file;
    POINT hotspot;
  } kCursors[] = {
      {quill::kCursorRedline, "cursor_redline.png", {0, 12}},
      {quill::kCursorZoomWindow, "cursor_zoom_window.png", {10, 10}},
      {quill::kCursorPanIdle, "cursor_pan_view0.png", {15, 15}},
      {quill::kCursorPanHeld, "cursor_pan_view1.png", {15, 15}},
      {quill::kCursorMeasure, "cursor_measure_dist.png", {15, 15}},
  };
  for (const auto& c : kCursors) qm_user_register_picture(QmPicture::kCursor, c.name, c.file, c.hotspot);
}

// Each button's tooltip, and the three menus.
void register_command_resources() {
  for (const quill::Command_Tooltip& t : quill::kCommandTooltips)
    AfxRegisterString(t.command, (std::string("\n") + t.tooltip).c_str());
  qm_user_register_menu(quill::kMenuInterface,
                        {{0,
                          quill::kTextMenuInterface,
                          MF_POPUP,
                          {{quill::kCommandToggleCreationBar, quill::kTextMenuCreationBar, 0, {}},
                           {quill::kCommandToggleModifyBar, quill::kTextMenuModifyBar, 0, {}},
                           {quill::kCommandRedlineBar, quill::kTextMenuRedlineBar, MF_GRAYED, {}},
                           {quill::kCommandToggleSideBar, quill::kTextMenuSideBar, 0, {}},
                           {0, "", MF_SEPARATOR, {}},
                           {quill::kCommandHelp, quill::kTextMenuHelp, 0, {}},
                           {quill::kCommandOnlineHelp, quill::kTextMenuOnlineHelp, 0, {}},
                           {quill::kCommandMenuVersion, quill::kTextMenuVersion, 0, {}}}}});
  qm_user_register_menu(quill::kMenuImage, {{0,
                                             "",
                                             MF_POPUP,
                                             {{32769, quill::kTextMenuImageTransparent, 0, {}},
                                              {32770, quill::kTextMenuImageBlend, 0, {}},
                                              {32771, quill::kTextMenuImageBrightness, 0, {}},
                                              {32772, quill::kTextMenuImageSaturation, 0, {}}}}});
}

}  // namespace

void quill_register_resources() {
  static bool done = false;
  if (done) return;
  done = true;
  AfxRegisterToolBar(quill::kToolbarCreation, kCreationButtons);
  AfxRegisterToolBar(quill::kToolbarStandard, kStandardButtons);
  AfxRegisterToolBar(quill::kToolbarModify, kModifyButtons);
  register_pictures();
  AfxRegisterString(quill::kStringUserTypeName, quill::kTextUserTypeName);
  AfxRegisterString(quill::kStringPropPageName, quill::kTextPropPageName);
  AfxRegisterString(quill::kStringPropPageCaption, quill::kTextPropPageCaption);

  QmDialogTemplate about{quill::kDialogAbout, quill::kTextAboutTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 260, 90,
                         information_items(40)};
  about.items.push_back({IDOK, WC_BUTTONA, "OK", BS_DEFPUSHBUTTON, 200, 10, 50, 14});
  about.items.push_back({0xFFFF, WC_STATICA, "", SS_ETCHEDHORZ, 10, 32, 240, 1});
  AfxRegisterDialog(about);
  AfxRegisterDialog({quill::kDialogPropPage, "", WS_CHILD, 0, 0, 245, 75, information_items(28)});
  TextEntryDialog::register_template();
  SearchTextDialog::register_template();
  OpenUrlDialog::register_template();
  VersionInfoDialog::register_template();
  InsertBlockDialog::register_template();
  DefineBlockDialog::register_template();
  SidePanelDialog::register_templates();
  register_command_resources();
}
