// Printing in the class library: what one print knows (CPrintInfo) and the
// print job that runs a whole print: the print dialog, printing to a file,
// a progress dialog with the page count, the percentage and the time left,
// page after page with an abort procedure that keeps the progress dialog's
// Cancel button working.
#pragma once

#include <afxdlgs.h>
#include <afxwin.h>

// Page numbers run from 1; a maximum page of 0xFFFF means the page count is
// not known.
constexpr UINT kAfxUnknownPageCount = 0xFFFF;

// The standard texts of printing (string resources a program may replace
// with AfxRegisterString before it prints).
constexpr UINT AFX_IDS_PRINTONPORT = 0xF100;      // the port phrase, "%1" the port
constexpr UINT AFX_IDS_PRINTTOFILE = 0xF101;      // the port phrase, "%1" the file
constexpr UINT AFX_IDS_PRINTDEFAULTEXT = 0xF102;  // the print file's default extension
constexpr UINT AFX_IDS_PRINTDEFAULT = 0xF103;     // the print file's default name
constexpr UINT AFX_IDS_PRINTFILTER = 0xF104;      // the print file dialog's filter
constexpr UINT AFX_IDS_PRINTCAPTION = 0xF105;     // the print file dialog's caption
constexpr UINT AFX_IDP_FAILED_TO_START_PRINT = 0xF106;

class CPrintInfo {
 public:
  // A print dialog for all pages, pages 1 to 0xFFFF.
  CPrintInfo();
  ~CPrintInfo();
  CPrintInfo(const CPrintInfo&) = delete;
  CPrintInfo& operator=(const CPrintInfo&) = delete;

  CPrintDialog* m_pPD;
  BOOL m_bPreview = FALSE;
  BOOL m_bContinuePrinting = TRUE;
  UINT m_nCurPage = 1;
  CRect m_rectDraw;  // the page in logical units

  void SetMinPage(UINT page) { m_pPD->m_pd.nMinPage = static_cast<WORD>(page); }
  void SetMaxPage(UINT page) { m_pPD->m_pd.nMaxPage = static_cast<WORD>(page); }
  UINT GetMinPage() const { return m_pPD->m_pd.nMinPage; }
  UINT GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
  UINT GetFromPage() const { return m_pPD->m_pd.nFromPage; }
  UINT GetToPage() const { return m_pPD->m_pd.nToPage; }
};

// The progress dialog's resource and controls.
constexpr UINT AFX_IDD_PRINT_PROGRESS = 102;
constexpr UINT AFX_IDC_PRINT_ANIMATION = 1035;
constexpr UINT AFX_IDC_PRINT_PROGRESS = 1009;
constexpr UINT AFX_IDC_PRINT_PERCENT = 1037;
constexpr UINT AFX_IDC_PRINT_DOCUMENT = 1038;  // its text formats job, printer and port
constexpr UINT AFX_IDC_PRINT_PAGE = 1039;      // its text formats page, count and time left

// One print: a job lives on the caller's stack for one Print().
// The modeless progress dialog of a print (template AFX_IDD_PRINT_PROGRESS,
// the class library's): Cancel only raises the user-abort flag; the job ends
// the print after the page in progress and destroys the dialog itself.
class CPrintProgressDialog : public CDialog {
 public:
  CPrintProgressDialog();
  void OnCancel() override;
  void set_item(UINT id, const std::string& text);
  std::string item(UINT id) const;
  LRESULT send_item(UINT id, UINT msg, WPARAM w, LPARAM l);
};

class CPrintJob {
 public:
  CPrintJob();
  virtual ~CPrintJob();
  CPrintJob(const CPrintJob&) = delete;
  CPrintJob& operator=(const CPrintJob&) = delete;

  // The document's name, in the progress texts too.
  CString m_strTitle;

  // Runs the whole print.
  virtual void Print();
  // Draws the page info->m_nCurPage into info->m_rectDraw.
  virtual void OnPrint(CDC* dc, CPrintInfo* info);
  virtual void OnEndPrinting(CDC* dc, CPrintInfo* info);
  virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info);
  // FALSE stops the job before anything is printed.
  virtual BOOL OnPreparePrinting(CPrintInfo* info, BOOL preview = FALSE);
  // Asked with the file a print to file is about to write, before anything
  // is printed: FALSE ends the job there (the job has told the user why).
  // The default takes every file.
  virtual BOOL OnPrintToFile(const CString& path);
  // Told that the job ended unfinished: `output` is the file of a print to
  // file (empty for the printer), `reason` why, or empty when the printer
  // refused a page. The default shows a message box of the reason (naming
  // the file when there is one) and says nothing for a refused page.
  virtual void OnPrintFailed(const CString& output, const CString& reason);

  // The standard preparation: the page range set from the minimum and
  // maximum pages, then the print dialog; TRUE when it ended with OK and a
  // printer device context.
  static BOOL DoPreparePrinting(CPrintInfo* info);
  // Asks the abort procedure (pumping waiting messages): FALSE once the
  // user cancelled or the application is ending.
  static BOOL AbortProc(HDC dc, int code);
  // The user-abort flag the progress dialog's Cancel button sets.
  static BOOL UserAborted();
  // The progress dialog the print shows, made for the job (which deletes
  // it); an application may give its own kind.
  virtual CPrintProgressDialog* NewProgressDialog() { return new CPrintProgressDialog; }

 protected:
  // The milliseconds the time left is measured with.
  virtual DWORD TickCount() const { return ::GetTickCount(); }
};
