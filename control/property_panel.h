// The property panel, the first page of the side panel: its property list
// shows the entity the select tool picked last, or the control's default
// settings while none is shown. Colour edits go back to a line or to the
// kernel's settings; everything else can be typed over but is not applied.
//
// The panel never reaches a freed entity: the view tells it (through its
// operation's leave listener) when the shown entity leaves the drawing or
// the drawing is replaced; the panel then drops the entity and shows the
// defaults. Each refresh frees the rows of the one before.
#pragma once

#include <afxwin.h>

#include <memory>
#include <vector>

#include "control/property_list_ctrl.h"
#include "display/interaction/mb_operation.h"

class MB_Drawable;
class As_Pt;

class PropertyPanelDialog : public CDialog {
  DECLARE_MESSAGE_MAP()
 public:
  PropertyPanelDialog();
  ~PropertyPanelDialog() override;
  static void register_template();

  // The entity to show (null: the defaults), then Refresh.
  void show_entity(MB_Drawable* entity);
  MB_Drawable* shown_entity() const { return entity_; }
  // What the kernel tells of entities leaving a drawing (see
  // MB_Operation::Leave_Listener): the shown entity is dropped, and the
  // defaults shown, when it is the one leaving, when an undo or redo step
  // detached it, or when the drawing goes.
  void entities_leaving(MB_Operation::Leaving what, MB_Drawable* entity);

  // Empties the list and the rows, then fills both again from the shown
  // entity, or with the defaults.
  void Refresh();
  // Called by the list when an edit is finished: the colours go to the
  // settings (defaults) or to a line, and the view repaints.
  void ApplyChanges();

  PropertyListCtrl& list() { return list_; }
  const std::vector<std::unique_ptr<PropertyRow>>& rows() const { return rows_; }

  // Row makers: each appends one row to the list and to the panel's rows.
  PropertyRow& AddRow(const char* label, const char* value, int kind, const char* choices);
  PropertyRow& AddTextRow(const char* label, const char* value);
  PropertyRow& AddIntRow(const char* label, int n);
  PropertyRow& AddRealRow(const char* label, double x);
  void AddPointRows(const char* label, const As_Pt& p);
  PropertyRow& AddFlaggedRow(const char* label, const char* value, bool read_only);
  PropertyRow& AddMeasureRow(const char* label, double x, bool read_only);
  PropertyRow& AddColourRow(const char* label, COLORREF c);

  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnClose();
  afx_msg void OnDestroy();

 private:
  void clear_rows();
  void add_defaults();
  void add_entity_rows(MB_Drawable& e);
  // "ID", "图层" and "颜色" as most kinds show them.
  void add_common_rows(MB_Drawable& e, bool colour_row);

  PropertyListCtrl list_;
  std::vector<std::unique_ptr<PropertyRow>> rows_;
  MB_Drawable* entity_ = nullptr;
};

// The settings page: an empty page.
class SettingsPageDialog : public CDialog {
 public:
  SettingsPageDialog();
  static void register_template();
};
