// Win32 scalar types, handles and small structures, as the kernel's code uses
// them, with the 32-bit widths of the original platform on every target.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int32_t BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int32_t INT;
typedef uint32_t UINT;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef char CHAR;
typedef char16_t WCHAR;
typedef uint32_t COLORREF;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef DWORD* LPDWORD;
typedef int* LPINT;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Handles are opaque pointers to distinct incomplete types, so that one kind
// cannot be passed where another is expected.
#define QM_DECLARE_HANDLE(name) \
  struct name##__;              \
  typedef struct name##__* name
QM_DECLARE_HANDLE(HDC);
QM_DECLARE_HANDLE(HWND);
QM_DECLARE_HANDLE(HPEN);
QM_DECLARE_HANDLE(HBRUSH);
QM_DECLARE_HANDLE(HBITMAP);
QM_DECLARE_HANDLE(HFONT);
QM_DECLARE_HANDLE(HPALETTE);
QM_DECLARE_HANDLE(HRGN);
QM_DECLARE_HANDLE(HINSTANCE);
QM_DECLARE_HANDLE(HICON);
QM_DECLARE_HANDLE(HCURSOR);
QM_DECLARE_HANDLE(HMENU);
typedef HINSTANCE HMODULE;
typedef void* HGDIOBJ;
typedef void* HANDLE;
typedef void* HGLOBAL;

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *LPPOINT;

typedef struct tagSIZE {
  LONG cx;
  LONG cy;
} SIZE, *LPSIZE;

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct _SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
} SYSTEMTIME, *LPSYSTEMTIME;

#define RGB(r, g, b) \
  ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))
#define LOWORD(l) ((WORD)(((DWORD_PTR_T)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR_T)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)(((DWORD_PTR_T)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR_T)(w)) >> 8) & 0xff))
#define MAKELONG(a, b) ((LONG)(((WORD)((DWORD_PTR_T)(a) & 0xffff)) | ((DWORD)((WORD)((DWORD_PTR_T)(b) & 0xffff))) << 16))
typedef uintptr_t DWORD_PTR_T;

#define MAX_PATH 260

// The system time: local wall-clock time with milliseconds.
void GetLocalTime(SYSTEMTIME* st);
void GetSystemTime(SYSTEMTIME* st);
DWORD GetTickCount();

// The Windows folder: QM_WINDOWS_DIR when set and not empty, else the folder
// of the platform library (beside the kernel, so its fonts/ is the kernel's
// fonts folder); no trailing separator. Returns the length written, or the
// size needed (with the NUL) when the buffer is too small; 0 on failure.
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
// The process's current folder (a Linux path). Returns the length written,
// or the size needed (with the NUL) when the buffer is too small; 0 on
// failure.
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
// What a path names: FILE_ATTRIBUTE_DIRECTORY for a folder,
// FILE_ATTRIBUTE_NORMAL for anything else, with FILE_ATTRIBUTE_READONLY
// added when the process may not write it; INVALID_FILE_ATTRIBUTES when it
// names nothing. The path is taken as the file layer maps it (qm_map_path).
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
DWORD GetFileAttributesA(LPCSTR path);
// The temporary folder with a trailing separator: TMPDIR when set and not
// empty, else /tmp. Returns the length written, or the size needed (with the
// NUL) when the buffer is too small (the buffer is then left alone).
DWORD GetTempPathA(DWORD size, LPSTR buffer);
// A loaded module (the program or a shared library), its handle being the
// address its file is mapped at. A null name is the program; a name is
// compared without case and without a folder with the file names of the
// loaded libraries, "name.dll" (any extension) also naming "libname.so".
// Null when no such module is loaded.
HMODULE GetModuleHandleA(LPCSTR name);
// The full path of a module (null: the program). A path that does not fit
// is cut, still ended with a NUL, and the answer is `size`; 0 for an
// unknown module or no buffer.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
// number * numerator / denominator in 64 bits, rounded half away from
// zero; -1 when the denominator is 0 or the answer does not fit in an int.
int MulDiv(int number, int numerator, int denominator);
typedef WORD LANGID;
// The system's language: QM_LANGID (a decimal number) when set, else 1033.
LANGID GetSystemDefaultLangID();

// Code-page conversion between 8-bit text (code page 936 or UTF-8) and 16-bit text.
#define CP_ACP 0
#define CP_UTF8 65001
int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR src, int src_len, LPWSTR dst, int dst_len);
int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR src, int src_len, LPSTR dst, int dst_len,
                        LPCSTR default_char, BOOL* used_default);

// The software GDI.
#include <wingdi.h>

// Windows, messages, input, timers, clipboard and message boxes.
#include <winuser.h>

// The common open and save dialogs.
#include <commdlg.h>
