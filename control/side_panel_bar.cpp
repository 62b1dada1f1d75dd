// The side bar and its panel dialog.
#include "control/side_panel_bar.h"

#include "control/control_ids.h"

SidePanelDialog::SidePanelDialog() : CDialog(quill::kDialogSidePanel) {}

void SidePanelDialog::show_properties(MB_Drawable*) {}

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

int SidePanelBar::OnCreate(LPCREATESTRUCTA cs) { return CSizingControlBar::OnCreate(cs) == -1 ? -1 : 0; }

void SidePanelBar::OnSize(UINT type, int cx, int cy) {
  if (m_hWnd && !panel_.m_hWnd && panel_.Create(quill::kDialogSidePanel, this)) panel_.ShowWindow(SW_SHOW);
  if (panel_.m_hWnd) panel_.MoveWindow(0, 0, cx, cy, TRUE);
  CSizingControlBar::OnSize(type, cx, cy);
}
