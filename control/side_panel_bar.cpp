// The side bar and its panel dialog.
#include "control/side_panel_bar.h"

#include "control/control_ids.h"
#include "control/control_texts.h"

namespace {

// The pages sit inside the tab control, clear of its tabs along the bottom.
constexpr int kPageInset = 5;
constexpr int kTabStrip = 20;

}  // namespace

BEGIN_MESSAGE_MAP(SidePanelDialog, CDialog)
ON_WM_SIZE()
ON_NOTIFY(TCN_SELCHANGE, quill::kSidePanelTabs, OnTabChange)
END_MESSAGE_MAP()

SidePanelDialog::SidePanelDialog() : CDialog(quill::kDialogSidePanel) {}

SidePanelDialog::~SidePanelDialog() {
  // The pages are children: they go with this window, before their objects.
  if (m_hWnd) DestroyWindow();
}

void SidePanelDialog::register_templates() {
  QmDialogTemplate t{quill::kDialogSidePanel, "", WS_CHILD | WS_VISIBLE, 0, 0, 114, 269, {}, {quill::kFaceDialog, quill::kPointsDialog}};
  t.items = {{quill::kSidePanelTabs, WC_TABCONTROLA, "", TCS_BOTTOM, 0, 0, 114, 269}};
  AfxRegisterDialog(t);
  PropertyPanelDialog::register_template();
  SettingsPageDialog::register_template();
  BlockLibraryDialog::register_template();
}

void SidePanelDialog::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, quill::kSidePanelTabs, tabs_);
}

BOOL SidePanelDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  tabs_.InsertItem(0, quill::kTextTabProperties);
  tabs_.InsertItem(1, quill::kTextTabLibrary);
  tabs_.InsertItem(2, quill::kTextTabSettings);
  properties_.Create(quill::kDialogPropertyPanel, this);
  properties_.ShowWindow(SW_SHOW);
  library_.Create(quill::kDialogBlockLibrary, this);
  library_.ShowWindow(SW_HIDE);
  settings_.Create(quill::kDialogSettingsPage, this);
  settings_.ShowWindow(SW_HIDE);
  return TRUE;
}

void SidePanelDialog::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (!tabs_.m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  tabs_.MoveWindow(&client);
  const CRect page(client.left + kPageInset, client.top + kPageInset, client.right - kPageInset,
                   client.bottom - kTabStrip);
  for (CWnd* p : {static_cast<CWnd*>(&properties_), static_cast<CWnd*>(&library_), static_cast<CWnd*>(&settings_)})
    if (p->m_hWnd) p->MoveWindow(&page);
}

void SidePanelDialog::OnTabChange(NMHDR*, LRESULT* result) {
  const int tab = tabs_.GetCurSel();
  CWnd* pages[] = {&properties_, &library_, &settings_};
  for (int i = 0; i < 3; ++i)
    if (pages[i]->m_hWnd) pages[i]->ShowWindow(i == tab ? SW_SHOW : SW_HIDE);
  if (result) *result = 0;
}

// ---------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(SidePanelBar, CSizingControlBar)

BEGIN_MESSAGE_MAP(SidePanelBar, CSizingControlBar)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

SidePanelBar* SidePanelBar::current_ = nullptr;

SidePanelBar::SidePanelBar() { current_ = this; }

SidePanelBar::~SidePanelBar() {
  if (::IsWindow(panel_.m_hWnd)) panel_.DestroyWindow();
  if (current_ == this) current_ = nullptr;
}

void SidePanelBar::entities_leaving(MB_Operation::Leaving what, MB_Drawable* entity) {
  if (current_) current_->panel_.properties().entities_leaving(what, entity);
}

int SidePanelBar::OnCreate(LPCREATESTRUCTA cs) { return CSizingControlBar::OnCreate(cs) == -1 ? -1 : 0; }

void SidePanelBar::OnSize(UINT type, int cx, int cy) {
  if (m_hWnd && !panel_.m_hWnd && panel_.Create(quill::kDialogSidePanel, this)) panel_.ShowWindow(SW_SHOW);
  if (panel_.m_hWnd) panel_.MoveWindow(0, 0, cx, cy, TRUE);
  CSizingControlBar::OnSize(type, cx, cy);
}
