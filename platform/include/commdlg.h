// The common dialogs: open and save, colour, font and print. Headless, each
// is answered from a queue of scripted answers of its kind (none queued: the
// user cancels) and logged with what the program asked for; the scripts and
// logs are in qm_user.h (file, colour and font dialogs) and qm_print.h (the
// print dialog, implemented by the print stand-in qmprint).
#pragma once

#include <windows.h>

typedef UINT_PTR (*LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNA {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;  // pairs of NUL-terminated texts, ended by an empty one
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;  // the initial file name in, the chosen path out
  DWORD nMaxFile;   // characters lpstrFile holds, its NUL included
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;     // of the name within the chosen path
  WORD nFileExtension;  // of the extension within it, 0 for none
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
} OPENFILENAMEA, *LPOPENFILENAMEA;

// The structure's size on the original 32-bit platform, which callers
// written for it set; sizeof(OPENFILENAMEA) is accepted as well.
#define OPENFILENAME_SIZE_VERSION_400A 76

#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_ENABLESIZING 0x00800000

// Fill lpstrFile with the chosen path and answer TRUE; FALSE when the user
// cancels, for a bad structure, or when the path does not fit nMaxFile.
BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);
BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn);

// ---- Colour and font ----
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
  struct tagLOGFONTA* lpLogFont;  // LOGFONTA (wingdi.h may not be read yet)
  INT iPointSize;                 // tenths of a point
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

// ---- Print ----
#define PD_ALLPAGES 0x00000000
#define PD_SELECTION 0x00000001
#define PD_PAGENUMS 0x00000002
#define PD_NOSELECTION 0x00000004
#define PD_NOPAGENUMS 0x00000008
#define PD_PRINTTOFILE 0x00000020
#define PD_RETURNDC 0x00000100
#define PD_RETURNDEFAULT 0x00000400
#define PD_USEDEVMODECOPIESANDCOLLATE 0x00040000
typedef struct tagPDA {
  DWORD lStructSize;
  HWND hwndOwner;
  HGLOBAL hDevMode;
  HGLOBAL hDevNames;
  HDC hDC;
  DWORD Flags;
  WORD nFromPage;
  WORD nToPage;
  WORD nMinPage;
  WORD nMaxPage;
  WORD nCopies;
  HINSTANCE hInstance;
  LPARAM lCustData;
} PRINTDLGA, *LPPRINTDLGA;
// Answered from the queue; with none queued it is cancelled (FALSE)
// headless and answered by the user on a display. On OK the answer's
// flags (PD_PRINTTOFILE, PD_PAGENUMS, PD_SELECTION) replace the program's
// choice bits, the page range is kept within nMinPage..nMaxPage, and with
// PD_RETURNDC hDC is a new printer DC.
BOOL PrintDlgA(LPPRINTDLGA pd);
