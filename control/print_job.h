// The control's print job: the current drawing of an operation engine,
// fitted to one page inside margins of 10 mm, every entity drawn through its
// own draw operation onto the printer.
#pragma once

#include <afxprint.h>

#include "geometry/as_rect.h"
#include "geometry/as_tran.h"

class MB_Operation;

// The control's print progress dialog (dialog 102, modeless): the job name,
// printer and port, a progress bar with its percentage, the page and the
// time left, and a Cancel button that stops the print after its page.
class PrintProgressDialog : public CPrintProgressDialog {
 public:
  PrintProgressDialog() = default;
};

class PrintJob : public CPrintJob {
 public:
  PrintJob();
  ~PrintJob() override;

  // The engine whose current drawing is printed; set by the caller.
  MB_Operation* operation = nullptr;
  // Margins in millimetres.
  int32_t margin_left = 10, margin_top = 10, margin_right = 10, margin_bottom = 10;

  void OnPrint(CDC* dc, CPrintInfo* info) override;
  void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
  BOOL OnPreparePrinting(CPrintInfo* info, BOOL preview = FALSE) override;
  // A print to file never replaces a file the control protects, and a job
  // that ends unfinished is told as every failed write is (file_guard.h).
  BOOL OnPrintToFile(const CString& path) override;
  void OnPrintFailed(const CString& output, const CString& reason) override;
  CPrintProgressDialog* NewProgressDialog() override { return new PrintProgressDialog; }

  // The transform that fits extents into a page rectangle of device units,
  // 20 units free on every side, y growing downwards. A point-sized drawing
  // (no width and no height) is drawn at scale 1, centred. False when the
  // page leaves no room (nothing is drawn then).
  static bool fit_to_page(const As_Rect& extents, const RECT& page, As_Tran* to_page);

 private:
  CFont small_font_, large_font_, note_font_;  // 8 and 12 point Arial, 6 point Times New Roman
};
