// Printing: the print and file dialogs of the class library, and the print
// job that runs one print through the printer's job calls with a modeless
// progress dialog. The progress texts are formats kept in the dialog's own
// controls; they are filled by a formatter that takes its arguments as text,
// so a changed template can never read an argument of the wrong kind.
#include <afxcmn.h>
#include <afxprint.h>
#include <qm_print.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The progress dialog's texts; the caption is replaced at run time.
constexpr const char* kProgressCaption = "\xd5\xfd\xd4\xda\xb4\xf2\xd3\xa1\xd6\xd0...";  // 正在打印中...
constexpr const char* kProgressRunning = "Stampa di %s in corso ..";
constexpr const char* kProgressPercent = "%d %%";
constexpr const char* kProgressDocument = "Printing %s on %s on %s  ..";
constexpr const char* kProgressPage = "Page %d of %d, %s left to end ..";
constexpr const char* kLeftMinutes = "%d minuti, %d secondi";
constexpr const char* kLeftSeconds = "%d secondi";
constexpr const char* kLeftUnknown = "??";
constexpr const char* kUnnamedJob = "senza nome";

struct StandardText {
  UINT id;
  const char* text;
};
// Printing to a file writes a PDF document.
constexpr StandardText kStandardTexts[] = {
    {AFX_IDS_PRINTONPORT, "port %1"},
    {AFX_IDS_PRINTTOFILE, "file %1"},
    {AFX_IDS_PRINTDEFAULTEXT, "pdf"},
    {AFX_IDS_PRINTDEFAULT, "Output.pdf"},
    {AFX_IDS_PRINTFILTER, "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*||"},
    {AFX_IDS_PRINTCAPTION, "Print to File"},
    {AFX_IDP_FAILED_TO_START_PRINT, "Failed to start printing."},
};

// The standard texts a program has not registered itself.
void register_standard_texts() {
  for (const StandardText& t : kStandardTexts) {
    CString have;
    if (!have.LoadString(t.id)) AfxRegisterString(t.id, t.text);
  }
}

CString standard_text(UINT id) {
  register_standard_texts();
  CString s;
  s.LoadString(id);
  return s;
}

void register_progress_dialog() {
  if (AfxFindDialog(AFX_IDD_PRINT_PROGRESS)) return;
  QmDialogTemplate t;
  t.id = AFX_IDD_PRINT_PROGRESS;
  t.caption = kProgressCaption;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  t.x = 0, t.y = 0, t.cx = 200, t.cy = 92;
  t.items = {
      {AFX_IDC_PRINT_ANIMATION, ANIMATE_CLASSA, "", ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY, 10, 5, 180, 30},
      {AFX_IDC_PRINT_DOCUMENT, WC_STATICA, kProgressDocument, SS_LEFT, 10, 38, 180, 10},
      {AFX_IDC_PRINT_PROGRESS, PROGRESS_CLASSA, "", 0, 10, 51, 150, 10},
      {AFX_IDC_PRINT_PERCENT, WC_STATICA, "100 %", SS_RIGHT, 165, 51, 25, 10},
      {AFX_IDC_PRINT_PAGE, WC_STATICA, kProgressPage, SS_LEFT, 10, 64, 180, 10},
      {IDCANCEL, WC_BUTTONA, "cancel", BS_PUSHBUTTON, 75, 76, 50, 13},
  };
  AfxRegisterDialog(t);
}

// Fills a format's %s, %d and %u with the arguments in order (missing ones
// are empty) and turns %% into %.
std::string fill(const std::string& format, const std::vector<std::string>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out += c;
      continue;
    }
    const char k = format[++i];
    if (k == 's' || k == 'd' || k == 'u') {
      if (next < args.size()) out += args[next];
      ++next;
    } else if (k == '%') {
      out += '%';
    } else {
      out += c;
      out += k;
    }
  }
  return out;
}

std::string number(long long v) { return std::to_string(v); }

bool g_user_abort = false;

// The phrase of the time left: t milliseconds for the rest of n pages.
void time_left(double t, long n, std::string& phrase) {
  const long long u = static_cast<long long>(t / 1000);
  if (u > 60) {
    phrase = fill(kLeftMinutes, {number(static_cast<long long>(t / 60000)), number(u % 60)});
  } else if (n > 1) {
    phrase = u != 0 ? fill(kLeftSeconds, {number(u)}) : kLeftUnknown;
  }
}

// A view's print command: the job asks the view.
class ViewPrintJob : public CPrintJob {
 public:
  explicit ViewPrintJob(CView* view) : view_(view) {}
  void OnPrint(CDC* dc, CPrintInfo* info) override { view_->OnPrint(dc, info); }
  void OnEndPrinting(CDC* dc, CPrintInfo* info) override { view_->OnEndPrinting(dc, info); }
  void OnBeginPrinting(CDC* dc, CPrintInfo* info) override { view_->OnBeginPrinting(dc, info); }
  BOOL OnPreparePrinting(CPrintInfo* info, BOOL preview) override {
    info->m_bPreview = preview;
    return view_->OnPreparePrinting(info);
  }

 private:
  CView* view_;
};

}  // namespace

// ---- The file dialog ----
CFileDialog::CFileDialog(BOOL open, LPCSTR default_ext, LPCSTR file_name, DWORD flags, LPCSTR filter, CWnd* parent)
    : m_ofn(), open_(open), default_ext_(default_ext) {
  if (file_name) std::snprintf(file_, sizeof file_, "%s", file_name);
  // '|' separates the texts; a byte of a two-byte character is never one.
  if (filter) {
    for (const char* p = filter; *p; ++p) {
      const unsigned char b = static_cast<unsigned char>(*p);
      if (b >= 0x81 && b <= 0xFE && p[1]) {
        filter_ += *p++;
        filter_ += *p;
      } else {
        filter_ += *p == '|' ? '\0' : *p;
      }
    }
    filter_ += '\0';
  }
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.hwndOwner = parent ? parent->m_hWnd : nullptr;
  m_ofn.lpstrFilter = filter ? filter_.c_str() : nullptr;
  m_ofn.nFilterIndex = filter ? 1 : 0;
  m_ofn.lpstrFile = file_;
  m_ofn.nMaxFile = sizeof file_;
  m_ofn.Flags = flags;
  m_ofn.lpstrDefExt = default_ext ? default_ext_.str().c_str() : nullptr;
}

INT_PTR CFileDialog::DoModal() {
  if (!m_ofn.hwndOwner) {
    CWnd* main = AfxGetMainWnd();
    m_ofn.hwndOwner = main ? main->m_hWnd : nullptr;
  }
  const BOOL ok = open_ ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
  return ok ? IDOK : IDCANCEL;
}

// ---- The print dialog ----
CPrintDialog::CPrintDialog(BOOL print_setup_only, DWORD flags, CWnd* parent) : m_pd(), parent_(parent) {
  m_pd.lStructSize = sizeof m_pd;
  m_pd.Flags = flags | (print_setup_only ? 0 : PD_RETURNDC);
  m_pd.nCopies = 1;
}

CPrintDialog::~CPrintDialog() {
  if (m_pd.hDC) ::DeleteDC(m_pd.hDC);
}

INT_PTR CPrintDialog::DoModal() {
  CWnd* owner = parent_ ? parent_ : AfxGetMainWnd();
  m_pd.hwndOwner = owner ? owner->m_hWnd : nullptr;
  if (m_pd.hDC) {
    ::DeleteDC(m_pd.hDC);
    m_pd.hDC = nullptr;
  }
  return ::PrintDlgA(&m_pd) ? IDOK : IDCANCEL;
}

CString CPrintDialog::GetDeviceName() const { return CString(kQmPrinterName); }

CString CPrintDialog::GetPortName() const { return CString(kQmPrinterPort); }

INT_PTR CWinApp::DoPrintDialog(CPrintDialog* dialog) { return dialog ? dialog->DoModal() : IDCANCEL; }

// ---- What one print knows ----
CPrintInfo::CPrintInfo()
    : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOSELECTION)) {
  SetMinPage(1);
  SetMaxPage(kAfxUnknownPageCount);
  m_pPD->m_pd.nFromPage = 1;
  m_pPD->m_pd.nToPage = static_cast<WORD>(kAfxUnknownPageCount);
}

CPrintInfo::~CPrintInfo() { delete m_pPD; }

// ---- The print job ----
CPrintJob::CPrintJob() : m_strTitle(kUnnamedJob) {}

CPrintJob::~CPrintJob() = default;

void CPrintJob::OnPrint(CDC*, CPrintInfo*) {}

void CPrintJob::OnEndPrinting(CDC*, CPrintInfo*) {}

void CPrintJob::OnBeginPrinting(CDC*, CPrintInfo*) {}

BOOL CPrintJob::OnPrintToFile(const CString&) { return TRUE; }

void CPrintJob::OnPrintFailed(const CString& output, const CString& reason) {
  if (reason.IsEmpty()) return;
  if (output.IsEmpty())
    AfxMessageBox(reason);
  else
    AfxMessageBox(output + ": " + reason);
}

BOOL CPrintJob::OnPreparePrinting(CPrintInfo* info, BOOL preview) {
  info->m_bPreview = preview;
  return preview ? TRUE : DoPreparePrinting(info);
}

BOOL CPrintJob::DoPreparePrinting(CPrintInfo* info) {
  PRINTDLGA& pd = info->m_pPD->m_pd;
  if (pd.nMaxPage < pd.nMinPage) pd.nMaxPage = pd.nMinPage;
  pd.nFromPage = pd.nMinPage;
  pd.nToPage = pd.nMaxPage;
  CWinApp* app = AfxGetApp();
  const INT_PTR answer = app ? app->DoPrintDialog(info->m_pPD) : info->m_pPD->DoModal();
  return answer == IDOK && pd.hDC != nullptr;
}

CPrintProgressDialog::CPrintProgressDialog() : CDialog(AFX_IDD_PRINT_PROGRESS) {}

void CPrintProgressDialog::OnCancel() { g_user_abort = true; }

void CPrintProgressDialog::set_item(UINT id, const std::string& text) {
  SetDlgItemText(static_cast<int>(id), text.c_str());
}

std::string CPrintProgressDialog::item(UINT id) const {
  CString s;
  GetDlgItemText(static_cast<int>(id), s);
  return s.str();
}

LRESULT CPrintProgressDialog::send_item(UINT id, UINT msg, WPARAM w, LPARAM l) {
  return ::SendMessageA(::GetDlgItem(m_hWnd, static_cast<int>(id)), msg, w, l);
}

BOOL CPrintJob::UserAborted() { return g_user_abort ? TRUE : FALSE; }

BOOL CPrintJob::AbortProc(HDC, int) {
  MSG m;
  while (!g_user_abort && ::PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) {
    CWinApp* app = AfxGetApp();
    if (app) {
      if (!app->PumpMessage()) return FALSE;
    } else {
      if (!::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) || m.message == WM_QUIT) return FALSE;
      ::TranslateMessage(&m);
      ::DispatchMessageA(&m);
    }
  }
  return g_user_abort ? FALSE : TRUE;
}

void CPrintJob::Print() {
  CPrintInfo info;
  if (!OnPreparePrinting(&info)) return;
  PRINTDLGA& pd = info.m_pPD->m_pd;

  CString output;
  if (pd.Flags & PD_PRINTTOFILE) {
    const CString ext = standard_text(AFX_IDS_PRINTDEFAULTEXT), name = standard_text(AFX_IDS_PRINTDEFAULT);
    const CString filter = standard_text(AFX_IDS_PRINTFILTER), caption = standard_text(AFX_IDS_PRINTCAPTION);
    CFileDialog file(FALSE, ext, name, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
    file.m_ofn.lpstrTitle = caption;
    if (file.DoModal() != IDOK) return;
    output = file.GetPathName();
    if (!OnPrintToFile(output)) return;
  }

  DOCINFOA doc = {};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = m_strTitle;
  doc.lpszOutput = output.IsEmpty() ? nullptr : static_cast<LPCSTR>(output);
  register_standard_texts();
  CString port;
  if (!output.IsEmpty())
    AfxFormatString1(port, AFX_IDS_PRINTTOFILE, output);
  else
    AfxFormatString1(port, AFX_IDS_PRINTONPORT, info.m_pPD->GetPortName());

  CDC dc;
  dc.Attach(pd.hDC);
  const auto full_page = [&] {
    info.m_rectDraw.SetRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
    dc.DPtoLP(&info.m_rectDraw);
  };
  full_page();
  OnBeginPrinting(&dc, &info);
  g_user_abort = false;
  ::SetAbortProc(dc, &CPrintJob::AbortProc);
  // A control in a container has no main window of its own to disable.
  CWnd* main = AfxGetMainWnd();
  const bool disabled = main && ::IsWindow(main->m_hWnd) && !main->EnableWindow(FALSE);

  register_progress_dialog();
  std::unique_ptr<CPrintProgressDialog> shown(NewProgressDialog());
  if (!shown) shown.reset(new CPrintProgressDialog);
  CPrintProgressDialog& progress = *shown;
  progress.Create(AFX_IDD_PRINT_PROGRESS, main);
  if (progress.m_hWnd) {
    progress.SetWindowText(fill(kProgressRunning, {m_strTitle.str()}).c_str());
    progress.set_item(AFX_IDC_PRINT_DOCUMENT, fill(progress.item(AFX_IDC_PRINT_DOCUMENT),
                                                   {m_strTitle.str(), info.m_pPD->GetDeviceName().str(), port.str()}));
    progress.ShowWindow(SW_SHOW);
    progress.UpdateWindow();
  }

  const auto end_steps = [&] {
    if (disabled && ::IsWindow(main->m_hWnd)) main->EnableWindow(TRUE);
    OnEndPrinting(&dc, &info);
    if (progress.m_hWnd) progress.DestroyWindow();
    dc.Detach();
  };

  if (::StartDocA(dc, &doc) <= 0) {
    end_steps();
    OnPrintFailed(output, standard_text(AFX_IDP_FAILED_TO_START_PRINT));
    return;
  }
  // Why the job ended unfinished, told once it has ended; `refused` for a
  // page the printer did not take.
  bool refused = false;
  CString failure;
  const auto end_doc = [&] {
    if (::EndDoc(dc) > 0) return;
    const std::string& why = qm_print_jobs().back().error;
    const std::string named = std::string(static_cast<LPCSTR>(output)) + ": ";
    failure = why.compare(0, named.size(), named) == 0 ? why.substr(named.size()).c_str() : why.c_str();
    if (failure.IsEmpty()) refused = true;
  };

  const long lo = static_cast<long>(info.GetMinPage()), hi = static_cast<long>(info.GetMaxPage());
  const long start = std::clamp(static_cast<long>(info.GetFromPage()), lo, std::max(lo, hi));
  long end = std::clamp(static_cast<long>(info.GetToPage()), lo, std::max(lo, hi));
  const long step = end >= start ? 1 : -1;
  if (end != static_cast<long>(kAfxUnknownPageCount)) end += step;
  const long n = std::labs(end - start);
  progress.send_item(AFX_IDC_PRINT_PROGRESS, PBM_SETRANGE32, 0, n);
  progress.send_item(AFX_IDC_PRINT_PROGRESS, PBM_SETPOS, 0, 0);
  info.m_nCurPage = static_cast<UINT>(start);
  const std::string page_format = progress.item(AFX_IDC_PRINT_PAGE);
  // A page count the application does not know ends after the first page.
  const auto continue_printing = [&] {
    info.m_bContinuePrinting = info.GetMaxPage() != kAfxUnknownPageCount || info.m_nCurPage == 1;
    return info.m_bContinuePrinting;
  };

  if (start == end) {
    end_doc();
  } else {
    const DWORD started = TickCount();
    double per_page = 0;  // milliseconds, over the pages finished
    std::string left;
    for (long k = 0;; ++k) {
      progress.send_item(AFX_IDC_PRINT_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(k + 1), 0);
      progress.set_item(AFX_IDC_PRINT_PERCENT, fill(kProgressPercent, {number((k + 1) * 100 / n)}));
      if (!continue_printing()) {
        end_doc();
        break;
      }
      time_left(static_cast<double>(n - k) * per_page, n, left);
      progress.set_item(AFX_IDC_PRINT_PAGE, fill(page_format, {number(k + 1), number(n), left}));
      full_page();
      if (::StartPage(dc) < 0) {
        ::AbortDoc(dc);
        refused = true;
        break;
      }
      if (!continue_printing()) {
        end_doc();
        break;
      }
      const int saved = dc.SaveDC();
      OnPrint(&dc, &info);
      if (const int ended = ::EndPage(dc); ended < 0) {
        ::AbortDoc(dc);
        refused = ended != SP_APPABORT;  // else the user cancelled
        break;
      }
      if (!AbortProc(dc, 0)) {
        ::AbortDoc(dc);
        break;
      }
      dc.RestoreDC(saved);
      per_page = static_cast<double>(TickCount() - started) / static_cast<double>(k + 1);
      info.m_nCurPage = static_cast<UINT>(static_cast<long>(info.m_nCurPage) + step);
      if (static_cast<long>(info.m_nCurPage) == end) {
        end_doc();
        break;
      }
    }
  }
  end_steps();
  if (refused || !failure.IsEmpty()) OnPrintFailed(output, failure);
}

// ---- A view's print command ----
BOOL CView::DoPreparePrinting(CPrintInfo* info) { return CPrintJob::DoPreparePrinting(info); }

void CView::OnFilePrint() {
  ViewPrintJob job(this);
  if (m_pDocument && !m_pDocument->GetTitle().IsEmpty()) job.m_strTitle = m_pDocument->GetTitle();
  job.Print();
}
