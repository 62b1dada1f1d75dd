// The frame's docking side bar and the side panel dialog it holds. The
// dialog is made by the first size message that reaches the bar's window and
// always fills the bar's client area. The panel is a tab control with three
// pages: properties (the property panel), library (the block library page)
// and settings (an empty page).
#pragma once

#include <afxcmn.h>

#include "control/dialogs/block_library_dialog.h"
#include "control/property_panel.h"
#include "control/sizing_control_bar.h"

class MB_Drawable;

class SidePanelDialog : public CDialog {
  DECLARE_MESSAGE_MAP()
 public:
  SidePanelDialog();
  ~SidePanelDialog() override;
  // The side panel's template and its pages'.
  static void register_templates();

  // Shows a picked entity on the property page (the select tool's way in).
  void show_properties(MB_Drawable* entity) { properties_.show_entity(entity); }
  PropertyPanelDialog& properties() { return properties_; }
  BlockLibraryDialog& library() { return library_; }
  SettingsPageDialog& settings() { return settings_; }
  CTabCtrl& tabs() { return tabs_; }

  BOOL OnInitDialog() override;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnTabChange(NMHDR* hdr, LRESULT* result);

 private:
  CTabCtrl tabs_;
  PropertyPanelDialog properties_;
  BlockLibraryDialog library_;
  SettingsPageDialog settings_;
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
  // What a view's operation tells of entities leaving its drawing, passed
  // on to the property panel of the current side bar, if any.
  static void entities_leaving(MB_Operation::Leaving what, MB_Drawable* entity);

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  afx_msg void OnSize(UINT type, int cx, int cy);

 private:
  SidePanelDialog panel_;
  static SidePanelBar* current_;
};
