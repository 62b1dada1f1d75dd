// The shell's folder browser, headless: nothing is shown. Each browse is
// answered from the queue of scripted folders (a path, or a cancel) and
// logged with what the program asked for and set through its callback; the
// script and the log are in qm_user.h. Implemented by qmuser.
#pragma once

#include <windows.h>

// An item of the shell's name space: here always a file-system path.
typedef struct QmItemIdList ITEMIDLIST;
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;

typedef int (*BFFCALLBACK)(HWND hwnd, UINT msg, LPARAM lparam, LPARAM data);

typedef struct _browseinfoA {
  HWND hwndOwner;
  LPCITEMIDLIST pidlRoot;  // the top of the tree, null for the desktop
  LPSTR pszDisplayName;    // MAX_PATH characters: the chosen folder's name
  LPCSTR lpszTitle;        // shown above the tree
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;  // the chosen folder's image index
} BROWSEINFOA, *LPBROWSEINFOA;

#define BIF_RETURNONLYFSDIRS 0x0001
#define BIF_STATUSTEXT 0x0004
#define BIF_RETURNFSANCESTORS 0x0008

// Sent to the callback: the browser is ready (lparam 0); the selection
// changed (lparam the new selection's item list).
#define BFFM_INITIALIZED 1
#define BFFM_SELCHANGED 2
// Sent by the callback to the browser window.
#define BFFM_SETSTATUSTEXTA (WM_USER + 100)  // lparam: the text
#define BFFM_ENABLEOK (WM_USER + 101)        // lparam: nonzero enables OK
#define BFFM_SETSELECTIONA (WM_USER + 102)   // wparam TRUE: lparam is a path

// The chosen folder (freed with ILFree), or null when cancelled or when OK
// was disabled by the callback for the answer.
LPITEMIDLIST SHBrowseForFolderA(LPBROWSEINFOA bi);
// Copies the item's path into path (MAX_PATH characters); FALSE for a null
// item or a path that does not fit.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST item, LPSTR path);
// The item of an existing file or folder, or null.
LPITEMIDLIST ILCreateFromPathA(LPCSTR path);
void ILFree(LPITEMIDLIST item);
