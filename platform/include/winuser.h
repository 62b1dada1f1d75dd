// Windows, messages, input, timers, cursors, the clipboard and message boxes:
// the Win32 names and values, implemented headless and deterministic by
// qmuser. There is one message queue (the process is the window thread), a
// virtual clock that only tests advance, and input that tests inject
// (qm_user.h). Nothing here needs a display or ever blocks.
#pragma once

#include <windows.h>

#ifndef CALLBACK
#define CALLBACK
#endif
#ifndef WINAPI
#define WINAPI
#endif

typedef WORD ATOM;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

// ---- Packing of message parameters ----
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKELRESULT(l, h) ((LRESULT)(DWORD)MAKELONG(l, h))
// Signed client coordinates of a mouse message.
#define GET_X_LPARAM(lp) ((int)(SHORT)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(SHORT)HIWORD(lp))
#define GET_WHEEL_DELTA_WPARAM(wp) ((SHORT)HIWORD(wp))
#define GET_KEYSTATE_WPARAM(wp) (LOWORD(wp))
#define WHEEL_DELTA 120

#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)

// ---- Structures ----
typedef struct tagMSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
} MSG, *PMSG, *LPMSG;

typedef struct tagWNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
} WNDCLASSA, *LPWNDCLASSA;

typedef struct tagCREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
} CREATESTRUCTA, *LPCREATESTRUCTA;

typedef struct tagPAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
} PAINTSTRUCT, *LPPAINTSTRUCT;

// ---- Window styles ----
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW \
  (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_SAVEBITS 0x0800

#define CW_USEDEFAULT ((int)0x80000000)

// ---- Messages ----
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETREDRAW 0x000B
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_SETTINGCHANGE 0x001A
#define WM_SETCURSOR 0x0020
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_DRAWITEM 0x002B
#define WM_MEASUREITEM 0x002C
#define WM_NOTIFY 0x004E
#define WM_CUT 0x0300
#define WM_COPY 0x0301
#define WM_PASTE 0x0302
#define WM_CLEAR 0x0303
// Sent to a window pressed with a mouse button while it does not have the
// focus, before the press: MA_ACTIVATE lets the press through, the EAT
// forms swallow it. DefWindowProcA asks the parent first.
#define WM_MOUSEACTIVATE 0x0021
#define MA_ACTIVATE 1
#define MA_ACTIVATEANDEAT 2
#define MA_NOACTIVATE 3
#define MA_NOACTIVATEANDEAT 4
#define WM_CONTEXTMENU 0x007B
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCCALCSIZE 0x0083
#define WM_NCHITTEST 0x0084
#define WM_NCPAINT 0x0085
#define WM_NCMOUSEMOVE 0x00A0
#define WM_NCLBUTTONDOWN 0x00A1
#define WM_NCLBUTTONUP 0x00A2
#define WM_NCLBUTTONDBLCLK 0x00A3
#define WM_KEYFIRST 0x0100
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_KEYLAST 0x0109
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define SC_CLOSE 0xF060
#define SC_KEYMENU 0xF100
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115
#define WM_MOUSEFIRST 0x0200
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MBUTTONDBLCLK 0x0209
#define WM_INITMENUPOPUP 0x0117
#define WM_MOUSEWHEEL 0x020A
#define WM_MOUSELAST 0x020A
#define WM_CAPTURECHANGED 0x0215
#define WM_DROPFILES 0x0233
#define WM_USER 0x0400
#define WM_APP 0x8000

// The header of every WM_NOTIFY message.
typedef struct tagNMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
} NMHDR, *LPNMHDR;

typedef struct tagWINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
} WINDOWPOS, *LPWINDOWPOS;

// WM_NCCALCSIZE with wParam TRUE; with FALSE lParam is one RECT, the first
// member here.
typedef struct tagNCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos;
} NCCALCSIZE_PARAMS, *LPNCCALCSIZE_PARAMS;

// WM_NCHITTEST answers.
#define HTERROR (-2)
#define HTTRANSPARENT (-1)
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2
#define HTSYSMENU 3
#define HTLEFT 10
#define HTRIGHT 11
#define HTTOP 12
#define HTTOPLEFT 13
#define HTTOPRIGHT 14
#define HTBOTTOM 15
#define HTBOTTOMLEFT 16
#define HTBOTTOMRIGHT 17
#define HTBORDER 18
#define HTHSCROLL 6
#define HTVSCROLL 7
#define HTCLOSE 20

// WM_SIZE kinds.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

// Key flags of mouse messages.
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010

// ---- Virtual keys ----
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_CANCEL 0x03
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_NUMPAD0 0x60
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F10 0x79
#define VK_F4 0x73
#define VK_F12 0x7B
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE

// ---- Message retrieval ----
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002

// ---- Showing and placing windows ----
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOCOPYBITS 0x0100
#define SWP_NOOWNERZORDER 0x0200
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)

#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5

#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_HWNDPARENT (-8)
#define GWLP_ID (-12)
#define GWL_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWLP_USERDATA (-21)
#define GWL_USERDATA (-21)

// ---- Cursors ----
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_SIZENWSE MAKEINTRESOURCEA(32642)
#define IDC_SIZENESW MAKEINTRESOURCEA(32643)
#define IDC_SIZEWE MAKEINTRESOURCEA(32644)
#define IDC_SIZENS MAKEINTRESOURCEA(32645)
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)
#define IDC_NO MAKEINTRESOURCEA(32648)
#define IDC_HAND MAKEINTRESOURCEA(32649)

// ---- Clipboard formats ----
#define CF_TEXT 1
#define CF_BITMAP 2

// ---- Message boxes ----
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONHAND 0x00000010L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0L
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_DEFMASK 0x00000F00L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// ---- Window classes and the window tree ----
ATOM RegisterClassA(const WNDCLASSA* wc);
BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE instance);
HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu_or_id, HINSTANCE instance, LPVOID param);
#define CreateWindowA(cls, name, style, x, y, w, h, parent, menu, inst, param) \
  CreateWindowExA(0, cls, name, style, x, y, w, h, parent, menu, inst, param)
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
HWND GetParent(HWND hwnd);
// Moves a window under another parent (null: top level); its rectangle
// stays the same numbers in the new parent's coordinates. Null on failure
// (unknown windows, or a parent inside the window itself), else the old parent.
HWND SetParent(HWND hwnd, HWND new_parent);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND hwnd);
LONG GetWindowLongA(HWND hwnd, int index);
LONG SetWindowLongA(HWND hwnd, int index, LONG value);
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
int GetWindowTextA(HWND hwnd, LPSTR buffer, int size);
int GetWindowTextLengthA(HWND hwnd);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// The dialog's next (or previous) enabled, visible WS_TABSTOP child after
// `control`, round the end; the first (last) one for a null control.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
// Takes the keys a dialog handles itself when the message is for the dialog
// or one of its controls: Tab moves the focus, Enter clicks the focused push
// button or else the default one (else sends IDOK), Escape sends IDCANCEL.
BOOL IsDialogMessageA(HWND dialog, LPMSG msg);

// Geometry. A window has no frame unless its WM_NCCALCSIZE handler carves
// one out: by default the client area is the whole window.
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
BOOL ScreenToClient(HWND hwnd, LPPOINT pt);
BOOL ClientToScreen(HWND hwnd, LPPOINT pt);
// The child of `parent` whose window holds the client point of `parent`
// (the last such child in GetWindow order); the parent itself when none
// does, null when the point lies outside the parent. CWP_SKIPINVISIBLE and
// CWP_SKIPDISABLED pass over hidden and disabled children.
#define CWP_ALL 0x0000
#define CWP_SKIPINVISIBLE 0x0001
#define CWP_SKIPDISABLED 0x0002
HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags);
HWND ChildWindowFromPoint(HWND parent, POINT pt);

// ---- Messages ----
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void PostQuitMessage(int exit_code);
BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove);
BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LONG GetMessageTime();

// ---- Painting and window DCs ----
// A window's own pixels (32 bpp) cover its window rectangle. GetDC and
// BeginPaint give a DC on the client area (origin at its top-left);
// GetWindowDC one on the whole window, frame included (origin at the
// window's top-left), which is what WM_NCPAINT handlers paint with.
// GetDC(NULL) and GetWindowDC(NULL) give a DC on a screen-sized buffer. Each
// DC is given back with ReleaseDC or EndPaint; the DCs of a window that is
// destroyed are freed with it.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);
HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);

// ---- Timers on the virtual clock ----
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
#define USER_TIMER_MINIMUM 0x0000000A
#define USER_TIMER_MAXIMUM 0x7FFFFFFF

// ---- Input state ----
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL GetCursorPos(LPPOINT pt);
// A window asks to be told (WM_MOUSELEAVE, posted once) when the pointer
// leaves its client area: the next mouse input for another window or for
// its frame, or the pointer leaving the display's window.
#define WM_MOUSELEAVE 0x02A3
#define TME_LEAVE 0x00000002
#define TME_CANCEL 0x80000000
typedef struct tagTRACKMOUSEEVENT {
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
} TRACKMOUSEEVENT, *LPTRACKMOUSEEVENT;
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track);
// Two clicks within this many milliseconds make a double click; a tooltip
// shows after the pointer rests this long.
UINT GetDoubleClickTime();
BOOL SetCursorPos(int x, int y);
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

// ---- Cursors (a display shows their registered pictures, qm_user.h) ----
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
#define LoadCursor LoadCursorA
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL DestroyCursor(HCURSOR cursor);

// ---- Icons (registered pictures, qm_user.h) ----
// Icons are shared: the same name gives the same handle, and it stays loaded
// (DestroyIcon of a loaded icon does nothing, as for the system's).
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
#define LoadIcon LoadIconA
// Draws the icon at its own size with its top-left at (x, y), blended over
// what is there; FALSE for a null or unknown icon or DC.
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL DestroyIcon(HICON icon);
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define ICON_SMALL 0
#define ICON_BIG 1
#define WM_SETICON 0x0080
#define WM_GETICON 0x007F
#define WM_QUERYDRAGICON 0x0037
#define STM_SETICON 0x0170
#define STM_GETICON 0x0171
// A window shown minimised (WS_MINIMIZE).
BOOL IsIconic(HWND hwnd);

// ---- Clipboard ----
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

// ---- Menus ----
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_STRING 0x00000000L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_POPUP 0x00000010L
#define MF_SEPARATOR 0x00000800L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id_or_popup, LPCSTR text);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int pos);
HMENU GetSubMenu(HMENU menu, int pos);
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// A window's system menu, made on first request with its Close item (the
// copy a window may change); `revert` drops the copy and answers null.
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
// A menu resource registered with qm_user_register_menu: a bar of popups.
HMENU LoadMenuA(HINSTANCE instance, LPCSTR name);
// The answer is the command queued with qm_user_push_popup_answer, else the
// one the user chooses in the menu's window (0 when dismissed). A disabled
// or foreign command counts as dismissed. Without TPM_RETURNCMD the command is
// posted to the owner as WM_COMMAND and the result is TRUE; with it, the
// result is the command (0 when dismissed).
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);

// ---- Message boxes ----
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// ---- Window class data ----
// GCL_HCURSOR is the cursor DefWindowProcA shows over the client area of
// the class's windows (WM_SETCURSOR); changing it changes it for every
// window of the class. 0 (and no change) for an unknown window or index.
#define GCL_HBRBACKGROUND (-10)
#define GCL_HCURSOR (-12)
#define GCL_STYLE (-26)
#define GCLP_HBRBACKGROUND GCL_HBRBACKGROUND
#define GCLP_HCURSOR GCL_HCURSOR
DWORD GetClassLongA(HWND hwnd, int index);
DWORD SetClassLongA(HWND hwnd, int index, LONG value);
ULONG_PTR GetClassLongPtrA(HWND hwnd, int index);
ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value);

// ---- Cursor confinement (recorded; the injected cursor is kept inside) ----
// A null rectangle frees the cursor. GetClipCursor answers the screen when
// the cursor is free.
BOOL ClipCursor(const RECT* rect);
BOOL GetClipCursor(LPRECT rect);

// ---- Placing several windows at once ----
// The moves are kept until EndDeferWindowPos, which makes them in the order
// they were deferred; a second deferral of the same window replaces the
// first. A bad window in DeferWindowPos ends the set: the handle is freed
// and null returned, and nothing is moved.
QM_DECLARE_HANDLE(HDWP);
HDWP BeginDeferWindowPos(int count);
HDWP DeferWindowPos(HDWP dwp, HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
BOOL EndDeferWindowPos(HDWP dwp);

// ---- Redrawing ----
#define RDW_INVALIDATE 0x0001
#define RDW_INTERNALPAINT 0x0002
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_NOINTERNALPAINT 0x0010
#define RDW_NOERASE 0x0020
#define RDW_NOCHILDREN 0x0040
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400
#define RDW_NOFRAME 0x0800
// Invalidates (or validates) the rectangle (client coordinates; null: the
// whole client area) of the window and, with RDW_ALLCHILDREN, of its
// descendants; RDW_FRAME also sends WM_NCPAINT. RDW_UPDATENOW paints what is
// invalid at once (WM_PAINT), RDW_ERASENOW only erases it. The region
// argument is not supported: FALSE unless null.
BOOL RedrawWindow(HWND hwnd, const RECT* update, HRGN region, UINT flags);

// ---- System colours, metrics and settings (the classic scheme, fixed) ----
#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_ACTIVEBORDER 10
#define COLOR_INACTIVEBORDER 11
#define COLOR_APPWORKSPACE 12
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_BTNSHADOW 16
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_INACTIVECAPTIONTEXT 19
#define COLOR_BTNHIGHLIGHT 20
#define COLOR_3DDKSHADOW 21
#define COLOR_3DLIGHT 22
#define COLOR_INFOTEXT 23
#define COLOR_INFOBK 24
#define COLOR_HOTLIGHT 26
#define COLOR_GRADIENTACTIVECAPTION 27
#define COLOR_GRADIENTINACTIVECAPTION 28
#define COLOR_3DFACE COLOR_BTNFACE
#define COLOR_3DSHADOW COLOR_BTNSHADOW
#define COLOR_3DHIGHLIGHT COLOR_BTNHIGHLIGHT
#define COLOR_3DHILIGHT COLOR_BTNHIGHLIGHT
#define COLOR_BTNHILIGHT COLOR_BTNHIGHLIGHT
// The colour of a display element; 0 for an unknown index.
DWORD GetSysColor(int index);
// A brush of that colour owned by the system: DeleteObject leaves it alone.
// Null for an unknown index. (Made by the software GDI, where it is a stock
// object.)
HBRUSH GetSysColorBrush(int index);

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXFIXEDFRAME SM_CXDLGFRAME
#define SM_CYFIXEDFRAME SM_CYDLGFRAME
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CYMENU 15
#define SM_CXFULLSCREEN 16
#define SM_CYFULLSCREEN 17
#define SM_CXMIN 28
#define SM_CYMIN 29
#define SM_CXSIZE 30
#define SM_CYSIZE 31
#define SM_CXFRAME 32
#define SM_CYFRAME 33
#define SM_CXSIZEFRAME SM_CXFRAME
#define SM_CYSIZEFRAME SM_CYFRAME
#define SM_CXMINTRACK 34
#define SM_CYMINTRACK 35
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37
#define SM_CXEDGE 45
#define SM_CYEDGE 46
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SM_CYSMCAPTION 51
#define SM_CXSMSIZE 52
#define SM_CYSMSIZE 53
#define SM_CXDRAG 68
#define SM_CYDRAG 69
// The size of a display element in pixels (the screen's from the software
// GDI's virtual screen); 0 for an unknown index.
int GetSystemMetrics(int index);

#define SPI_GETDRAGFULLWINDOWS 0x0026
#define SPI_GETGRADIENTCAPTIONS 0x1008
// Reads a setting into a BOOL at `param`: windows are dragged whole and
// captions are drawn with a gradient. FALSE for another setting.
BOOL SystemParametersInfoA(UINT action, UINT ui_param, LPVOID param, UINT win_ini);

// ---- Drawing controls' text and edges ----
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_NOCLIP 0x00000100
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800
#define DT_END_ELLIPSIS 0x00008000
// Text in a rectangle with the DC's font, colours and background mode. One
// line with DT_SINGLELINE (DT_VCENTER and DT_BOTTOM place it vertically);
// else lines break at "\n" ("\r\n") and run down from the top.
// DT_END_ELLIPSIS shortens a line that does not fit to what fits followed
// by "..." (only the drawing: the caller's text is left alone). DT_CALCRECT
// draws nothing: it sets the rectangle's right and bottom to the text's
// size. Text is clipped to the rectangle unless DT_NOCLIP. The answer is the
// height of the text (0 on failure); a length of -1 takes the text to its
// NUL. DT_WORDBREAK and '&' prefixes are not supported: the text is drawn as
// given (DT_NOPREFIX is implied).
int DrawTextA(HDC hdc, LPCSTR text, int length, LPRECT rect, UINT format);

#define BDR_RAISEDOUTER 0x0001
#define BDR_SUNKENOUTER 0x0002
#define BDR_RAISEDINNER 0x0004
#define BDR_SUNKENINNER 0x0008
#define BDR_OUTER (BDR_RAISEDOUTER | BDR_SUNKENOUTER)
#define BDR_INNER (BDR_RAISEDINNER | BDR_SUNKENINNER)
#define EDGE_RAISED (BDR_RAISEDOUTER | BDR_RAISEDINNER)
#define EDGE_SUNKEN (BDR_SUNKENOUTER | BDR_SUNKENINNER)
#define EDGE_ETCHED (BDR_SUNKENOUTER | BDR_RAISEDINNER)
#define EDGE_BUMP (BDR_RAISEDOUTER | BDR_SUNKENINNER)
#define BF_LEFT 0x0001
#define BF_TOP 0x0002
#define BF_RIGHT 0x0004
#define BF_BOTTOM 0x0008
#define BF_TOPLEFT (BF_TOP | BF_LEFT)
#define BF_TOPRIGHT (BF_TOP | BF_RIGHT)
#define BF_BOTTOMLEFT (BF_BOTTOM | BF_LEFT)
#define BF_BOTTOMRIGHT (BF_BOTTOM | BF_RIGHT)
#define BF_RECT (BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM)
#define BF_MIDDLE 0x0800
#define BF_ADJUST 0x2000
// A 3-D edge of up to two lines inside the rectangle, on the sides asked
// for, in the system colours (top and left in the first colour, bottom and
// right in the second, which also takes the bottom-left and top-right
// corners): the outer line 3-D light over dark shadow when raised, shadow
// over highlight when sunken; the inner line highlight over shadow when
// raised, dark shadow over 3-D light when sunken. BF_MIDDLE fills what is
// inside with the button face; BF_ADJUST shrinks the rectangle by the lines
// drawn. FALSE for a bad DC or a null rectangle.
BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags);

#define MAKEINTRESOURCE MAKEINTRESOURCEA
