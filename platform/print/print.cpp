// The print stand-in: a printer DC is a memory DC on a page bitmap that
// answers GetDeviceCaps as the printer; each EndPage keeps a copy of the
// page and asks the abort procedure whether to go on; EndDoc of a job with
// an output file writes the pages as a PDF (each page image at the printer's
// resolution on a page of the paper's size) as a whole new file
// (QmFileWriter), so a failed print never leaves half a file; EndDoc of a
// job for the printer hands the same PDF to the system's print queue (CUPS'
// lp), or fails saying there is none. The print dialog is answered from a
// script, or on a display by the user.
//
// Pages are large (an A4 page at 600 dpi takes 139 MB), so the memory of
// pages already forgotten and of deleted printer DCs is kept for the next
// job of the same size instead of being faulted in afresh for every print.
#include <cairo-pdf.h>
#include <cairo.h>
#include <commdlg.h>
#include <fcntl.h>
#include <qm_display.h>
#include <qm_file.h>
#include <qm_print.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>

namespace {

struct Printer {
  double width_mm = 210, height_mm = 297;
  int dpi = 150;
};

struct DcState {
  HBITMAP page = nullptr;
  void* bits = nullptr;
  int width = 0, height = 0, dpi = 0;
  ABORTPROC abort = nullptr;
  int job = -1;  // index into the jobs, -1 outside a document
  bool in_page = false;
};

// Spare memory of pages and page bitmaps, a few of each.
constexpr size_t kSparePages = 2;
struct Spare {
  std::vector<std::vector<uint32_t>> pages;
  struct Bitmap {
    HBITMAP bitmap;
    void* bits;
    int width, height;
  };
  std::vector<Bitmap> bitmaps;
};

struct PrintState {
  Printer printer;
  std::string queue = std::getenv("QM_PRINT_QUEUE") ? std::getenv("QM_PRINT_QUEUE") : "lp";
  Spare spare;
  std::map<HDC, DcState> dcs;
  std::vector<QmPrintJob> jobs;
  bool fail[4] = {false, false, false, false};
  std::deque<QmPrintDialogAnswer> answers;
  std::vector<DWORD> dialogs;
};

PrintState& ps() {
  static PrintState s;
  return s;
}

bool take_failure(QmPrintStep step) {
  bool& f = ps().fail[static_cast<int>(step)];
  const bool r = f;
  f = false;
  return r;
}

void free_spare_bitmaps() {
  for (const Spare::Bitmap& b : ps().spare.bitmaps) DeleteObject(b.bitmap);
  ps().spare.bitmaps.clear();
}

// Forgets the DCs that were deleted; their page bitmaps are kept as spares
// or freed.
void collect() {
  Spare& spare = ps().spare;
  for (auto it = ps().dcs.begin(); it != ps().dcs.end();) {
    if (GetObjectType(it->first) == 0) {
      const DcState& st = it->second;
      if (spare.bitmaps.size() < kSparePages) {
        // Spares go at exit, before the GDI that made them (whose state
        // exists by now, so its end is registered before this).
        static const bool at_exit = std::atexit(free_spare_bitmaps) == 0;
        (void)at_exit;
        spare.bitmaps.push_back({st.page, st.bits, st.width, st.height});
      } else
        DeleteObject(st.page);
      it = ps().dcs.erase(it);
    } else {
      ++it;
    }
  }
}

// At exit the page bitmaps of the deleted DCs go too, before the GDI that
// made them: a program that printed and ended has nothing left over.
void release_at_exit() {
  collect();
  free_spare_bitmaps();
}

DcState* state_of(HDC hdc) {
  auto it = ps().dcs.find(hdc);
  return it == ps().dcs.end() ? nullptr : &it->second;
}

// Cairo's PDF output into a stdio stream.
cairo_status_t write_to_stream(void* closure, const unsigned char* data, unsigned int length) {
  return std::fwrite(data, 1, length, static_cast<FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                             : CAIRO_STATUS_WRITE_ERROR;
}

bool write_pdf(const QmPrintJob& job, const std::string& output, std::string* error) {
  QmFileWriter file;
  if (!file.open(output.c_str(), "wb")) {
    *error = output + ": " + qm_file_error(output.c_str(), errno);
    return false;
  }
  const double w_pt = job.width * 72.0 / job.dpi, h_pt = job.height * 72.0 / job.dpi;
  cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(write_to_stream, file.stream(), w_pt, h_pt);
  cairo_t* cr = cairo_create(pdf);
  for (const std::vector<uint32_t>& page : job.pages) {
    cairo_surface_t* img =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(page.data())),
                                            CAIRO_FORMAT_RGB24, job.width, job.height, job.width * 4);
    cairo_save(cr);
    cairo_scale(cr, 72.0 / job.dpi, 72.0 / job.dpi);
    cairo_set_source_surface(cr, img, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_show_page(cr);
    cairo_surface_destroy(img);
  }
  cairo_destroy(cr);
  cairo_surface_finish(pdf);
  const cairo_status_t status = cairo_surface_status(pdf);
  cairo_surface_destroy(pdf);
  if (status != CAIRO_STATUS_SUCCESS) {
    *error = output + ": " + cairo_status_to_string(status);
    return false;
  }
  if (!file.commit()) {
    *error = output + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

// The queue's command as a file to run: as given with a '/', else the
// first executable of that name on PATH; "" when there is none.
std::string queue_program(const std::string& command) {
  if (command.find('/') != std::string::npos) return access(command.c_str(), X_OK) == 0 ? command : "";
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= dirs.size();) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
    const std::string file = dir + "/" + command;
    struct stat st;
    if (stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(file.c_str(), X_OK) == 0) return file;
    start = end + 1;
  }
  return "";
}

// Sends a printer's job to the system's print queue as a PDF file made in a
// private folder, removed again once the queue has taken it; false with the
// reason when there is no queue or it refused the job.
bool send_to_queue(const QmPrintJob& job, const std::string& queue, std::string* error) {
  if (queue.empty()) return true;
  const std::string program = queue_program(queue);
  if (program.empty()) {
    *error = "there is no print queue here (" + queue + " is not installed): print to a file instead";
    return false;
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/qmprintXXXXXX";
  if (!mkdtemp(&folder[0])) {
    *error = folder + ": " + std::strerror(errno);
    return false;
  }
  const std::string pdf = folder + "/job.pdf";
  bool sent = write_pdf(job, pdf, error);
  if (sent) {
    const std::string title = job.name.empty() ? "Quillmark" : job.name;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
      const int null = open("/dev/null", O_RDWR);
      if (null >= 0) dup2(null, 0), dup2(null, 1);
      execl(program.c_str(), program.c_str(), "-t", title.c_str(), pdf.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    sent = child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!sent)
      *error = child < 0 ? std::string("the print queue cannot be started: ") + std::strerror(errno)
                         : "the print queue (" + program + ") refused the job" +
                               (WIFEXITED(status) ? " with status " + std::to_string(WEXITSTATUS(status)) : "");
  }
  unlink(pdf.c_str());
  rmdir(folder.c_str());
  return sent;
}

// The print dialog on a display, starting from the program's choice.
QmPrintDialogAnswer ask_user(const PRINTDLGA& pd) {
  const WORD lo = std::min(pd.nMinPage, pd.nMaxPage), hi = std::max(pd.nMinPage, pd.nMaxPage);
  QmPrintChoice c = {pd.Flags, pd.nFromPage ? pd.nFromPage : lo, pd.nToPage ? pd.nToPage : hi, lo, hi, pd.nCopies};
  if (!qm_user_print_window(pd.hwndOwner, kQmPrinterName, c)) return {false, 0, 0, 0, 0};
  return {true, c.flags, c.from_page, c.to_page, c.copies};
}

}  // namespace

void qm_print_set_printer(double width_mm, double height_mm, int dpi) {
  if (!(width_mm > 0) || !(height_mm > 0) || dpi <= 0 || dpi > 1200) return;
  ps().printer = {width_mm, height_mm, dpi};
}

void qm_print_fail_next(QmPrintStep step) { ps().fail[static_cast<int>(step)] = true; }

const std::vector<QmPrintJob>& qm_print_jobs() { return ps().jobs; }

void qm_print_reset() {
  collect();
  PrintState& s = ps();
  for (QmPrintJob& job : s.jobs)
    for (std::vector<uint32_t>& page : job.pages)
      if (s.spare.pages.size() < kSparePages) s.spare.pages.push_back(std::move(page));
  s.jobs.clear();
  s.answers.clear();
  s.dialogs.clear();
  std::fill(std::begin(s.fail), std::end(s.fail), false);
  s.printer = Printer();
  s.queue.clear();
}

void qm_print_set_queue(const char* command) { ps().queue = command ? command : ""; }

HDC CreateDCA(LPCSTR, LPCSTR, LPCSTR, const void*) {
  collect();
  const Printer& p = ps().printer;
  const int w = static_cast<int>(std::lround(p.width_mm / 25.4 * p.dpi));
  const int h = static_cast<int>(std::lround(p.height_mm / 25.4 * p.dpi));
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  // The GDI's state exists by now, so its end is registered before this.
  static const bool at_exit = std::atexit(release_at_exit) == 0;
  (void)at_exit;
  std::vector<Spare::Bitmap>& spares = ps().spare.bitmaps;
  for (auto it = spares.begin(); it != spares.end(); ++it) {
    if (it->width != w || it->height != h) continue;
    DcState st;
    st.page = it->bitmap, st.bits = it->bits, st.width = w, st.height = h, st.dpi = p.dpi;
    spares.erase(it);
    SelectObject(dc, st.page);
    QmGdiSetPrinterCaps(dc, w, h, p.dpi);
    ps().dcs[dc] = st;
    return dc;
  }
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down, as the pages are kept
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP page = CreateDIBSection(dc, &bi, 0, &bits, nullptr, 0);
  if (!page || !bits) {
    DeleteDC(dc);
    return nullptr;
  }
  SelectObject(dc, page);
  QmGdiSetPrinterCaps(dc, w, h, p.dpi);
  DcState st;
  st.page = page, st.bits = bits, st.width = w, st.height = h, st.dpi = p.dpi;
  ps().dcs[dc] = st;
  return dc;
}

int SetAbortProc(HDC hdc, ABORTPROC proc) {
  DcState* st = state_of(hdc);
  if (!st) return SP_ERROR;
  st->abort = proc;
  return 1;
}

int StartDocA(HDC hdc, const DOCINFOA* info) {
  DcState* st = state_of(hdc);
  if (!st || !info || st->job >= 0 || take_failure(QmPrintStep::kStartDoc)) return SP_ERROR;
  QmPrintJob job;
  job.name = info->lpszDocName ? info->lpszDocName : "";
  job.output = info->lpszOutput ? info->lpszOutput : "";
  job.width = st->width, job.height = st->height, job.dpi = st->dpi;
  ps().jobs.push_back(job);
  st->job = static_cast<int>(ps().jobs.size()) - 1;
  return st->job + 1;
}

int StartPage(HDC hdc) {
  DcState* st = state_of(hdc);
  if (!st || st->job < 0 || st->in_page || take_failure(QmPrintStep::kStartPage)) return SP_ERROR;
  std::memset(st->bits, 0xFF, static_cast<size_t>(st->width) * static_cast<size_t>(st->height) * 4);  // white paper
  st->in_page = true;
  return 1;
}

int EndPage(HDC hdc) {
  DcState* st = state_of(hdc);
  if (!st || st->job < 0 || !st->in_page) return SP_ERROR;
  st->in_page = false;
  if (take_failure(QmPrintStep::kEndPage)) return SP_ERROR;
  const uint32_t* px = static_cast<const uint32_t*>(st->bits);
  const size_t n = static_cast<size_t>(st->width) * static_cast<size_t>(st->height);
  std::vector<uint32_t> page;
  std::vector<std::vector<uint32_t>>& spares = ps().spare.pages;
  for (auto it = spares.begin(); it != spares.end(); ++it) {
    if (it->size() != n) continue;
    page = std::move(*it);
    spares.erase(it);
    break;
  }
  page.resize(n);
  std::transform(px, px + n, page.begin(), [](uint32_t v) { return v & 0x00FFFFFF; });
  ps().jobs[static_cast<size_t>(st->job)].pages.push_back(std::move(page));
  if (st->abort && !st->abort(hdc, 0)) {
    AbortDoc(hdc);
    return SP_APPABORT;
  }
  return 1;
}

int EndDoc(HDC hdc) {
  DcState* st = state_of(hdc);
  if (!st || st->job < 0) return SP_ERROR;
  QmPrintJob& job = ps().jobs[static_cast<size_t>(st->job)];
  st->job = -1;
  st->in_page = false;
  if (take_failure(QmPrintStep::kEndDoc)) return SP_ERROR;
  if (!job.output.empty() && !write_pdf(job, job.output, &job.error)) return SP_ERROR;
  if (job.output.empty() && !send_to_queue(job, ps().queue, &job.error)) return SP_ERROR;
  job.ended = true;
  return 1;
}

int AbortDoc(HDC hdc) {
  DcState* st = state_of(hdc);
  if (!st || st->job < 0) return SP_ERROR;
  ps().jobs[static_cast<size_t>(st->job)].aborted = true;
  st->job = -1;
  st->in_page = false;
  return 1;
}

void qm_print_push_dialog_answer(QmPrintDialogAnswer a) { ps().answers.push_back(a); }

const std::vector<DWORD>& qm_print_dialogs_shown() { return ps().dialogs; }

BOOL PrintDlgA(LPPRINTDLGA pd) {
  if (!pd || pd->lStructSize < sizeof(PRINTDLGA)) return FALSE;
  ps().dialogs.push_back(pd->Flags);
  QmPrintDialogAnswer a = {false, 0, 0, 0, 0};
  if (!(pd->Flags & PD_RETURNDEFAULT)) {
    if (!ps().answers.empty()) {
      a = ps().answers.front();
      ps().answers.pop_front();
    } else if (qm_user_display()) {
      a = ask_user(*pd);
    }
    if (!a.ok) return FALSE;
    const DWORD choice = PD_PRINTTOFILE | PD_PAGENUMS | PD_SELECTION;
    pd->Flags = (pd->Flags & ~choice) | (a.flags & choice);
    const WORD lo = std::min(pd->nMinPage, pd->nMaxPage), hi = std::max(pd->nMinPage, pd->nMaxPage);
    pd->nFromPage = std::clamp(a.from_page, lo, hi);
    pd->nToPage = std::clamp(std::max(a.to_page, pd->nFromPage), lo, hi);
    pd->nCopies = a.copies ? a.copies : 1;
  }
  if (pd->Flags & PD_RETURNDC) {
    pd->hDC = CreateDCA(nullptr, nullptr, nullptr, nullptr);
    if (!pd->hDC) return FALSE;
  }
  return TRUE;
}
