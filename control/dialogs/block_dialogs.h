// The block dialogs of the block tools: the insert-block dialog chooses a
// block of a drawing from a strip of thumbnails, with the insertion angle
// and scale factors as typed; the define-block dialog names a new block
// made of the selection, about a base point.
#pragma once

#include <afxwin.h>

#include "control/dialogs/block_preview_static.h"
#include "geometry/as_pt.h"

class MB_Block;
class MB_Drawing;
class MB_Operation;

class InsertBlockDialog : public CDialog {
  DECLARE_MESSAGE_MAP()
 public:
  explicit InsertBlockDialog(MB_Drawing* drawing, CWnd* parent = nullptr);

  CString block_name;
  CString angle, x_scale, y_scale, z_scale;  // as typed; converting them is the caller's
  int explode = 0;

  // The block of the selected thumbnail, or null.
  MB_Block* chosen_block() const;
  BlockPreviewStatic& strip() { return strip_; }

  // The dialog's template (dialog 209), registered once with the control's.
  static void register_template();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg void OnLButtonDown(UINT flags, CPoint p);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint p);

 private:
  // Selects the thumbnail under a point of the dialog's client area.
  void press(UINT flags, CPoint p);

  MB_Drawing* drawing_;
  BlockPreviewStatic strip_;
  CScrollBar scroll_;
};

class DefineBlockDialog : public CDialog {
  DECLARE_MESSAGE_MAP()
 public:
  DefineBlockDialog(MB_Operation* operation, const As_Pt& base, CWnd* parent = nullptr);

  CString name;
  CString base_text;
  CString description;

  // The block OK made, or null.
  MB_Block* made() const { return made_; }

  // The dialog's template (dialog 207), registered once with the control's.
  static void register_template();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  // Makes the block of the selection under a name the drawing does not
  // use yet; any other name is refused and the dialog stays.
  void OnOK() override;
  afx_msg void OnPickBase();
  afx_msg void OnPaint();

 private:
  MB_Operation* operation_;
  As_Pt base_;
  MB_Block* made_ = nullptr;
};
