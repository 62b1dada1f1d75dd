// The print dialog as a window on a display, for a user to answer when no
// scripted answer is queued: the printer with "print to file", the range of
// pages and the number of copies, as the system's own print dialog offers.
#include <commctrl.h>
#include <commdlg.h>
#include <qm_display.h>
#include <qm_user.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/user/user_internal.h"

namespace qmuser {
namespace {

enum {
  kPrinterLabel = 100,
  kPrinterName,
  kToFile,
  kRangeGroup,
  kAll,
  kPages,
  kSelection,
  kFromLabel,
  kFrom,
  kToLabel,
  kTo,
  kCopiesGroup,
  kCopiesLabel,
  kCopies
};

constexpr WORD kMostCopies = 9999;

struct PrintWindow : DialogWindowState {
  QmPrintChoice* choice = nullptr;
  bool ok = false;
};

bool checked(HWND h, int id) { return SendMessageA(GetDlgItem(h, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

// A whole number in [lo, hi] typed into a field; false for anything else.
bool read_number(HWND h, int id, long lo, long hi, WORD& out) {
  const std::string text = window_text(GetDlgItem(h, id));
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno == ERANGE || v < lo || v > hi) return false;
  out = static_cast<WORD>(v);
  return true;
}

// The range fields take input only while "Pages" is chosen.
void enable_range(HWND h) {
  const bool pages = checked(h, kPages);
  for (int id : {kFromLabel, kFrom, kToLabel, kTo}) EnableWindow(GetDlgItem(h, id), pages);
}

// OK: what the user chose, once the numbers make sense; a wrong one is said
// and its field takes the focus again.
void accept(HWND h, PrintWindow& p) {
  QmPrintChoice& c = *p.choice;
  const auto refuse = [&](int id, const std::string& why) {
    MessageBoxA(h, why.c_str(), "Print", MB_OK | MB_ICONWARNING);
    SetFocus(GetDlgItem(h, id));
  };
  WORD copies = 1, from = c.from_page, to = c.to_page;
  if (!read_number(h, kCopies, 1, kMostCopies, copies))
    return refuse(kCopies, "The number of copies must be between 1 and " + std::to_string(kMostCopies) + ".");
  const bool pages = checked(h, kPages);
  if (pages) {
    const std::string range = "between " + std::to_string(c.min_page) + " and " + std::to_string(c.max_page);
    if (!read_number(h, kFrom, c.min_page, c.max_page, from))
      return refuse(kFrom, "The first page must be " + range + ".");
    if (!read_number(h, kTo, from, c.max_page, to))
      return refuse(kTo, "The last page must be " + range + " and not before the first.");
  }
  c.flags = (checked(h, kToFile) ? PD_PRINTTOFILE : 0) | (pages ? PD_PAGENUMS : 0) |
            (checked(h, kSelection) ? PD_SELECTION : 0);
  c.from_page = from, c.to_page = to, c.copies = copies;
  p.ok = p.done = true;
}

LRESULT CALLBACK print_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  LRESULT result = 0;
  PrintWindow* p = static_cast<PrintWindow*>(dialog_command(h, msg, w, l, &result));
  if (!p) return result;
  switch (LOWORD(w)) {
    case kAll:
    case kPages:
    case kSelection: enable_range(h); break;
    case IDOK: accept(h, *p); break;
    case IDCANCEL: p->done = true; break;
    default: break;
  }
  return 0;
}

}  // namespace
}  // namespace qmuser

using namespace qmuser;

bool qm_user_print_window(HWND owner, const char* printer, QmPrintChoice& choice) {
  PrintWindow p;
  p.choice = &choice;
  HWND h = make_dialog_window("QmPrintDialogWindow", print_proc, "Print", 400, 300, owner, &p);
  if (!h) return false;
  add_control(h, WC_STATICA, "Name:", SS_LEFT, 12, 16, 60, 16, kPrinterLabel);
  add_control(h, WC_STATICA, printer ? printer : "", SS_LEFT, 76, 16, 312, 16, kPrinterName);
  add_control(h, WC_BUTTONA, "Print to fi&le", BS_AUTOCHECKBOX | WS_TABSTOP, 76, 40, 150, 20, kToFile);
  add_control(h, WC_BUTTONA, "Print range", BS_GROUPBOX, 10, 72, 220, 170, kRangeGroup);
  add_control(h, WC_BUTTONA, "&All", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 22, 96, 190, 20, kAll);
  add_control(h, WC_BUTTONA, "Pa&ges", BS_AUTORADIOBUTTON, 22, 124, 190, 20, kPages);
  add_control(h, WC_BUTTONA, "&Selection", BS_AUTORADIOBUTTON, 22, 208, 190, 20, kSelection);
  add_control(h, WC_STATICA, "&from:", SS_LEFT, 42, 156, 40, 16, kFromLabel);
  add_control(h, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, 84, 152, 50, 24, kFrom);
  add_control(h, WC_STATICA, "&to:", SS_LEFT, 142, 156, 24, 16, kToLabel);
  add_control(h, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 168, 152, 50, 24, kTo);
  add_control(h, WC_BUTTONA, "Copies", BS_GROUPBOX, 240, 72, 150, 80, kCopiesGroup);
  add_control(h, WC_STATICA, "Number of &copies:", SS_LEFT, 252, 96, 130, 16, kCopiesLabel);
  add_control(h, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, 252, 116, 60, 24, kCopies);
  add_control(h, WC_BUTTONA, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 234, 262, 75, 26, IDOK);
  add_control(h, WC_BUTTONA, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 315, 262, 75, 26, IDCANCEL);
  // The program's choice to start from.
  const bool pages = (choice.flags & PD_PAGENUMS) && !(choice.flags & PD_NOPAGENUMS);
  const bool selection = (choice.flags & PD_SELECTION) && !(choice.flags & PD_NOSELECTION);
  SendMessageA(GetDlgItem(h, pages ? kPages : selection ? kSelection : kAll), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(GetDlgItem(h, kToFile), BM_SETCHECK, (choice.flags & PD_PRINTTOFILE) ? BST_CHECKED : BST_UNCHECKED, 0);
  EnableWindow(GetDlgItem(h, kPages), !(choice.flags & PD_NOPAGENUMS));
  EnableWindow(GetDlgItem(h, kSelection), !(choice.flags & PD_NOSELECTION));
  SetWindowTextA(GetDlgItem(h, kFrom), std::to_string(choice.from_page).c_str());
  SetWindowTextA(GetDlgItem(h, kTo), std::to_string(choice.to_page).c_str());
  SetWindowTextA(GetDlgItem(h, kCopies), std::to_string(choice.copies ? choice.copies : 1).c_str());
  enable_range(h);
  run_dialog_window(h, owner, GetDlgItem(h, IDOK), [&p] { return p.done; });
  return p.ok;
}
