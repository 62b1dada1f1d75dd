// The common open and save dialogs (headless: see qm_user.h for the scripted
// answers and the log of what each dialog was asked).
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
