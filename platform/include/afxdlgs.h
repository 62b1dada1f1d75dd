// The class library's common dialogs: the file dialog and the print dialog,
// over the scripted common dialogs of the window system and the printer.
#pragma once

#include <afxwin.h>
#include <commdlg.h>

// An open or save dialog. The filter is written as "text|pattern|...||";
// the '|' separators become the list the common dialog takes.
class CFileDialog : public CObject {
 public:
  CFileDialog(BOOL open, LPCSTR default_ext = nullptr, LPCSTR file_name = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr, CWnd* parent = nullptr);
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;
  OPENFILENAMEA m_ofn;
  // IDOK with the chosen path, IDCANCEL otherwise.
  virtual INT_PTR DoModal();
  CString GetPathName() const { return CString(file_); }

 private:
  BOOL open_;
  CString default_ext_;
  std::string filter_;
  char file_[MAX_PATH] = {};
};

// The print dialog. Unless it only sets up the printer, it hands back a
// printer device context, which the dialog owns and deletes with itself.
class CPrintDialog : public CObject {
 public:
  explicit CPrintDialog(BOOL print_setup_only,
                        DWORD flags = PD_ALLPAGES | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOPAGENUMS | PD_NOSELECTION,
                        CWnd* parent = nullptr);
  CPrintDialog(const CPrintDialog&) = delete;
  CPrintDialog& operator=(const CPrintDialog&) = delete;
  ~CPrintDialog() override;
  PRINTDLGA m_pd;
  // IDOK or IDCANCEL.
  virtual INT_PTR DoModal();
  HDC GetPrinterDC() const { return m_pd.hDC; }
  CString GetDeviceName() const;
  CString GetPortName() const;
  int GetFromPage() const { return m_pd.nFromPage; }
  int GetToPage() const { return m_pd.nToPage; }
  BOOL PrintToFile() const { return (m_pd.Flags & PD_PRINTTOFILE) != 0; }
  BOOL PrintAll() const { return !(m_pd.Flags & (PD_PAGENUMS | PD_SELECTION)); }

 private:
  CWnd* parent_;
};
