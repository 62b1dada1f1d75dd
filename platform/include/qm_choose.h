// The colour, font and print dialogs: shown headless, each answered from a
// queue of scripted answers of its kind (none queued: the user cancels) and
// logged with what the program asked for.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#define CC_RGBINIT 0x00000001
#define CC_FULLOPEN 0x00000002
typedef struct tagCHOOSECOLORA {
  DWORD lStructSize;
  HWND hwndOwner;
  HWND hInstance;
  COLORREF rgbResult;
  COLORREF* lpCustColors;
  DWORD Flags;
  LPARAM lCustData;
  void* lpfnHook;
  LPCSTR lpTemplateName;
} CHOOSECOLORA, *LPCHOOSECOLORA;

#define CF_SCREENFONTS 0x00000001
#define CF_INITTOLOGFONTSTRUCT 0x00000040
#define CF_EFFECTS 0x00000100
typedef struct tagCHOOSEFONTA {
  DWORD lStructSize;
  HWND hwndOwner;
  HDC hDC;
  LOGFONTA* lpLogFont;
  INT iPointSize;  // tenths of a point
  DWORD Flags;
  COLORREF rgbColors;
  LPARAM lCustData;
  void* lpfnHook;
  LPCSTR lpTemplateName;
  HINSTANCE hInstance;
  LPSTR lpszStyle;
  WORD nFontType;
  INT nSizeMin;
  INT nSizeMax;
} CHOOSEFONTA, *LPCHOOSEFONTA;

// Both answer FALSE when cancelled (nothing written back).
BOOL ChooseColorA(LPCHOOSECOLORA cc);
BOOL ChooseFontA(LPCHOOSEFONTA cf);

struct QmColorAnswer {
  bool ok;
  COLORREF color;
};
struct QmFontAnswer {
  bool ok;
  std::string face;  // GBK
  int point_size;    // tenths of a point
  LONG weight;
  bool italic;
  COLORREF color;
};
void qm_user_push_color_answer(QmColorAnswer a);
void qm_user_push_font_answer(QmFontAnswer a);
struct QmChooserShown {
  const char* kind;    // "color" or "font"
  DWORD flags;         // what the program asked for
  COLORREF initial;    // the colour shown first
  std::string face;    // the face shown first (font)
  bool ok;             // the user's answer
};
const std::vector<QmChooserShown>& qm_user_choosers_shown();
void qm_user_clear_choosers();
