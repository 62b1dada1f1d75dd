// The application's wait cursor while a slow step runs (nothing without an
// application).
#pragma once

#include <afxwin.h>

class Wait_Cursor {
 public:
  Wait_Cursor() {
    if (CWinApp* app = AfxGetApp()) app->BeginWaitCursor();
  }
  ~Wait_Cursor() {
    if (CWinApp* app = AfxGetApp()) app->EndWaitCursor();
  }
  Wait_Cursor(const Wait_Cursor&) = delete;
  Wait_Cursor& operator=(const Wait_Cursor&) = delete;
};
