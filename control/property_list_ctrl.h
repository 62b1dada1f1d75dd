// The property list: an owner-drawn list box showing one property per row as
// a grey label cell and a value cell, with a divider between them that the
// user drags. Clicking a row opens an editor on its value cell that matches
// the row's kind: a drop-down of choices, an edit box, or a "..." button
// that opens the colour, font or file dialog. The list only edits the text
// (and a colour row's colour) of its rows; its owner is told when an edit
// is finished and decides what the values mean.
#pragma once

#include <afxwin.h>

#include <functional>


// One row; the list item's data word points to it. The owner makes, keeps
// and frees the rows.
struct PropertyRow {
  enum Kind : int { kChoice = 0, kText = 1, kColour = 2, kFont = 3, kFile = 4 };
  CString label;
  CString value;  // the text shown and edited
  int kind = kText;
  CString choices;          // each choice followed by '|' (kChoice)
  COLORREF colour = 0;      // the swatch of a colour row
  double real_value = 0.0;  // kept for the owner
  BYTE read_only = 0;       // drawn grey; typing does not change the value
};

class PropertyListCtrl : public CListBox {
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kItemHeight = 20;
  static constexpr int kDividerGrip = 5;  // pixels either side of the divider
  static constexpr int kButtonWidth = 25;
  static constexpr int kDropDownExtra = 100;  // the drop-down's list below the cell

  PropertyListCtrl();
  ~PropertyListCtrl() override;

  // Adds an item for the row (not owned); its index.
  int AddItem(PropertyRow* row);
  PropertyRow* row(int index) const;
  // What the list calls when the user has changed a value.
  void on_change(std::function<void()> changed) { changed_ = std::move(changed); }

  // The colour a value of the form "RGB(r,g,b)" names: exactly that form,
  // three whole numbers 0 to 255 with optional blanks around them; any other
  // text, or a malformed one, is black.
  static COLORREF colour_of(const char* value);

  int divider() const { return divider_; }
  // Never below 1 pixel: 0 means "not placed yet".
  void set_divider(int x);
  int current_row() const { return current_row_; }
  int open_row() const { return open_row_; }
  bool dragging() const { return dragging_; }
  CComboBox& drop_down() { return drop_down_; }
  CEdit& edit_box() { return edit_box_; }
  CButton& button() { return button_; }
  CFont& font() { return font_; }

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  void PreSubclassWindow() override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  afx_msg void OnSelChange();
  afx_msg void OnLButtonDown(UINT flags, CPoint p);
  afx_msg void OnLButtonUp(UINT flags, CPoint p);
  afx_msg void OnMouseMove(UINT flags, CPoint p);
  afx_msg void OnKillFocus(CWnd* next);
  afx_msg void OnDropDownChange();
  afx_msg void OnDropDownKillFocus();
  afx_msg void OnEditChange();
  afx_msg void OnEditKillFocus();
  afx_msg void OnButtonClick();

 private:
  // What creating and subclassing share.
  void start_up();
  // Opens the editor of the current row on its value cell.
  void open_editor();
  void choose_colour(PropertyRow& r);
  void choose_file(PropertyRow& r);
  void choose_font(PropertyRow& r);
  void invert_line(int x);
  void tell_owner();
  bool near_divider(int x) const { return x >= divider_ - kDividerGrip && x <= divider_ + kDividerGrip; }

  CComboBox drop_down_;
  CEdit edit_box_;
  CButton button_;
  CFont font_;
  int divider_ = 0;
  int current_row_ = 0;
  int open_row_ = -1;
  int open_kind_ = -1;  // 0 drop-down, 1 edit box, 2 button
  bool dragging_ = false;
  int drag_top_ = 0;
  int drag_bottom_ = 0;
  int drag_x_ = 0;
  HCURSOR size_cursor_ = nullptr;
  HCURSOR arrow_cursor_ = nullptr;
  std::function<void()> changed_;
};
