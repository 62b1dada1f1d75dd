// Looks at a print from inside, as its user would: a message posted before
// the print waits in the queue until the print job's abort procedure pumps
// it after the first page; the watch then reads the progress dialog (found
// among the top-level windows by its page text control) and may press its
// Cancel button.
#pragma once

#include <afxprint.h>
#include <commctrl.h>

#include <string>
#include <typeinfo>

struct PrintProgressSeen {
  bool seen = false;
  bool main_window_enabled = true;  // of the application's main window, if any
  std::string caption, document, percent, page;
  int position = -1;  // of the progress bar
  const std::type_info* kind = nullptr;  // of the dialog's class object
};

class PrintWatch {
 public:
  // Posts the watch's message; with cancel, the watch presses Cancel.
  explicit PrintWatch(bool cancel = false) : cancel_(cancel) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &PrintWatch::proc;
    wc.lpszClassName = "QmPrintWatch";
    RegisterClassA(&wc);
    wnd_ = CreateWindowExA(0, "QmPrintWatch", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    PostMessageA(wnd_, WM_USER + 7, 0, 0);
  }
  ~PrintWatch() {
    if (IsWindow(wnd_)) DestroyWindow(wnd_);
  }
  PrintWatch(const PrintWatch&) = delete;
  PrintWatch& operator=(const PrintWatch&) = delete;

  // The progress dialog shown now, or null.
  static HWND progress_dialog() {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
      if (IsWindow(w) && GetDlgItem(w, static_cast<int>(AFX_IDC_PRINT_PAGE))) return w;
    return nullptr;
  }

  PrintProgressSeen seen;

 private:
  static std::string text(HWND w) {
    char buf[512] = {};
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
  }
  static LRESULT proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg != WM_USER + 7) return DefWindowProcA(hwnd, msg, wparam, lparam);
    PrintWatch* self = reinterpret_cast<PrintWatch*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    HWND dlg = progress_dialog();
    if (!self || !dlg) return 0;
    PrintProgressSeen& s = self->seen;
    s.seen = true;
    if (CWnd* main = AfxGetMainWnd()) s.main_window_enabled = main->IsWindowEnabled() != FALSE;
    if (CWnd* object = CWnd::FromHandlePermanent(dlg)) s.kind = &typeid(*object);
    s.caption = text(dlg);
    s.document = text(GetDlgItem(dlg, static_cast<int>(AFX_IDC_PRINT_DOCUMENT)));
    s.percent = text(GetDlgItem(dlg, static_cast<int>(AFX_IDC_PRINT_PERCENT)));
    s.page = text(GetDlgItem(dlg, static_cast<int>(AFX_IDC_PRINT_PAGE)));
    s.position =
        static_cast<int>(SendMessageA(GetDlgItem(dlg, static_cast<int>(AFX_IDC_PRINT_PROGRESS)), PBM_GETPOS, 0, 0));
    if (self->cancel_) SendMessageA(GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0);
    return 0;
  }

  bool cancel_;
  HWND wnd_ = nullptr;
};
