// The frame's docking side bar and the side panel dialog it holds. The
// dialog is made by the first size message that reaches the bar's window and
// always fills the bar's client area. Its pages come with the panels.
#pragma once

#include "control/sizing_control_bar.h"

class MB_Drawable;

class SidePanelDialog : public CDialog {
 public:
  SidePanelDialog();
  // Shows a picked entity's properties. The property page comes with the
  // panels; until then the panel keeps nothing of the entity.
  void show_properties(MB_Drawable* entity);
};

class SidePanelBar : public CSizingControlBar {
  DECLARE_DYNAMIC(SidePanelBar)
  DECLARE_MESSAGE_MAP()
 public:
  SidePanelBar();
  ~SidePanelBar() override;
  SidePanelDialog& panel() { return panel_; }

  // The side bar constructed last, or null once it is gone.
  static SidePanelBar* current() { return current_; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  afx_msg void OnSize(UINT type, int cx, int cy);

 private:
  SidePanelDialog panel_;
  static SidePanelBar* current_;
};
