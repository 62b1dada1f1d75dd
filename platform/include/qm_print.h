// The driving side of the print stand-in: the printer's page, failures to
// inject, and what each job printed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The page of the stand-in printer (default A4 portrait, 210 x 297 mm, at
// 150 dots per inch).
void qm_print_set_printer(double width_mm, double height_mm, int dpi);
// The names the print dialog gives the printer and its port.
constexpr const char* kQmPrinterName = "Quillmark Page Printer";
constexpr const char* kQmPrinterPort = "LPT1:";

// ---- The print dialog (PrintDlgA in commdlg.h) ----
struct QmPrintDialogAnswer {
  bool ok;
  DWORD flags;
  WORD from_page, to_page, copies;
};
void qm_print_push_dialog_answer(QmPrintDialogAnswer a);
// The flags each print dialog was shown with, in order.
const std::vector<DWORD>& qm_print_dialogs_shown();

enum class QmPrintStep { kStartDoc, kStartPage, kEndPage, kEndDoc };
// The next call of that step fails (once).
void qm_print_fail_next(QmPrintStep step);

struct QmPrintJob {
  std::string name;    // DOCINFO's document name (GBK)
  std::string output;  // the file asked for, empty for the printer
  int width = 0, height = 0, dpi = 0;
  std::vector<std::vector<uint32_t>> pages;  // top-down 0x00RRGGBB, one per page
  bool ended = false;    // EndDoc succeeded (and the file, if any, was written)
  bool aborted = false;  // AbortDoc, or the abort procedure said stop
  std::string error;     // why the file could not be written
};
const std::vector<QmPrintJob>& qm_print_jobs();
// Forgets the jobs and injected failures, lets go of the page bitmaps of
// printer DCs already deleted (also done by each CreateDCA) and sets the
// default printer, one that keeps its pages here (qm_print_jobs) and sends
// nothing to the system's print queue. The memory of a few pages is kept
// for the next jobs.
void qm_print_reset();

// Where a job printed to the printer (not to a file) goes at its EndDoc: the
// command of the system's print queue, given the document's name and a PDF
// file of the pages (`COMMAND -t NAME FILE`, as CUPS' lp takes them); a
// command without a '/' is looked for on PATH. Until a program sets it, it
// is $QM_PRINT_QUEUE, else "lp". Where the command is not installed the job
// fails with a reason that tells the user to print to a file. Null or ""
// keeps the pages here only (as qm_print_reset does).
void qm_print_set_queue(const char* command);
