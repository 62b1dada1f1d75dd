// QuillmarkOcx, the drawing control: a CActiveXDocControl that hosts the
// control's document, frame and drawing view, and its property page.
#pragma once

#include "control/activex_doc_control.h"

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
  // A black surface with the control's name in red, centred: what shows
  // where the control draws itself (the frame covers it at run time).
  void OnDraw(CDC* dc, const CRect& bounds, const CRect& invalid) override;
  // The version 1.0, then the stock properties; nothing else persists.
  void DoPropExchange(CPropExchange* px) override;
  void OnResetState() override;
  void AboutBox();
};

class CQuillmarkOcxPropPage : public COlePropertyPage {
 public:
  CQuillmarkOcxPropPage();
};

// Registers the control's dialogs, toolbars and strings; done once, before
// the first control is made.
void quill_register_resources();
