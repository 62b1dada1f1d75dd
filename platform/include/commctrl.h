// The standard and common controls of the headless window system (button,
// edit, static, list box, combo box, scroll bar, tab, progress, animation,
// tooltips): their class names, styles, messages and notifications. The
// classes exist without registration; their state lives with each window.
#pragma once

#include <windows.h>

#define WC_BUTTONA "Button"
#define WC_EDITA "Edit"
#define WC_STATICA "Static"
#define WC_LISTBOXA "ListBox"
#define WC_COMBOBOXA "ComboBox"
#define WC_SCROLLBARA "ScrollBar"
#define WC_TABCONTROLA "SysTabControl32"
#define PROGRESS_CLASSA "msctls_progress32"
#define ANIMATE_CLASSA "SysAnimate32"
#define TOOLTIPS_CLASSA "tooltips_class32"

// ---- Notifications in WM_COMMAND's high word ----
#define BN_CLICKED 0
#define BN_DOUBLECLICKED 5
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2
#define CBN_SELCHANGE 1
#define CBN_DBLCLK 2
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_EDITCHANGE 5
#define CBN_EDITUPDATE 6
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
#define CBN_SELENDOK 9
#define CBN_SELENDCANCEL 10

// ---- Buttons ----
#define BS_PUSHBUTTON 0x0000L
#define BS_DEFPUSHBUTTON 0x0001L
#define BS_CHECKBOX 0x0002L
#define BS_AUTOCHECKBOX 0x0003L
#define BS_RADIOBUTTON 0x0004L
#define BS_3STATE 0x0005L
#define BS_AUTO3STATE 0x0006L
#define BS_GROUPBOX 0x0007L
#define BS_AUTORADIOBUTTON 0x0009L
#define BS_OWNERDRAW 0x000BL
#define BS_TYPEMASK 0x000FL
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002

// ---- Static controls ----
#define SS_RIGHT 0x0002L

// ---- Edit controls ----
#define ES_LEFT 0x0000L
#define ES_MULTILINE 0x0004L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L
#define ES_WANTRETURN 0x1000L
#define ES_NUMBER 0x2000L
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_GETLINECOUNT 0x00BA
#define EM_LINEINDEX 0x00BB
#define EM_LINEFROMCHAR 0x00C9
#define EM_LIMITTEXT 0x00C5
#define EM_GETFIRSTVISIBLELINE 0x00CE
#define EM_SETREADONLY 0x00CF

// ---- Statics ----
#define SS_LEFT 0x0000L
#define SS_CENTER 0x0001L
#define SS_ICON 0x0003L
#define SS_ETCHEDHORZ 0x0010L
#define SS_BITMAP 0x000EL
// Without it a static is transparent to the mouse: its parent gets the input.
#define SS_NOTIFY 0x0100L
#define SS_SUNKEN 0x1000L

// ---- List boxes ----
#define LBS_NOTIFY 0x0001L
#define LBS_SORT 0x0002L
#define LBS_OWNERDRAWFIXED 0x0010L
#define LBS_OWNERDRAWVARIABLE 0x0020L
#define LBS_HASSTRINGS 0x0040L
#define LBS_NOINTEGRALHEIGHT 0x0100L
#define LB_ADDSTRING 0x0180
#define LB_INSERTSTRING 0x0181
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_GETTOPINDEX 0x018E
#define LB_SETTOPINDEX 0x0197
#define LB_GETITEMRECT 0x0198
#define LB_GETITEMDATA 0x0199
#define LB_SETITEMDATA 0x019A
#define LB_SETITEMHEIGHT 0x01A0
#define LB_GETITEMHEIGHT 0x01A1
#define LB_FINDSTRINGEXACT 0x01A2
#define LB_ITEMFROMPOINT 0x01A9
#define LB_ERR (-1)

// ---- Combo boxes ----
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETDROPPEDSTATE 0x0157
#define CBS_SIMPLE 0x0001L
#define CBS_DROPDOWN 0x0002L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_OWNERDRAWFIXED 0x0010L
#define CBS_AUTOHSCROLL 0x0040L
#define CBS_SORT 0x0100L
#define CBS_HASSTRINGS 0x0200L
#define CBS_NOINTEGRALHEIGHT 0x0400L
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_SELECTSTRING 0x014D
#define CB_SETCURSEL 0x014E
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_FINDSTRINGEXACT 0x0158
#define CB_ERR (-1)

// ---- Scroll bars ----
#define SB_HORZ 0
#define SB_VERT 1
#define SB_CTL 2
#define SBS_HORZ 0x0000L
#define SBS_VERT 0x0001L
#define SB_LINEUP 0
#define SB_LINELEFT 0
#define SB_LINEDOWN 1
#define SB_LINERIGHT 1
#define SB_PAGEUP 2
#define SB_PAGELEFT 2
#define SB_PAGEDOWN 3
#define SB_PAGERIGHT 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_TOP 6
#define SB_BOTTOM 7
#define SB_ENDSCROLL 8
#define SBM_SETPOS 0x00E0
#define SBM_GETPOS 0x00E1
#define SBM_SETRANGE 0x00E2
#define SBM_GETRANGE 0x00E3
#define SBM_SETSCROLLINFO 0x00E9
#define SBM_GETSCROLLINFO 0x00EA
#define SIF_RANGE 0x0001
#define SIF_PAGE 0x0002
#define SIF_POS 0x0004
#define SIF_DISABLENOSCROLL 0x0008
#define SIF_TRACKPOS 0x0010
#define SIF_ALL (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)
typedef struct tagSCROLLINFO {
  UINT cbSize;
  UINT fMask;
  int nMin;
  int nMax;
  UINT nPage;
  int nPos;
  int nTrackPos;
} SCROLLINFO, *LPSCROLLINFO;
typedef const SCROLLINFO* LPCSCROLLINFO;
// The page (nPage) makes the thumb proportional: it covers page / (max -
// min + 1) of the track, and the highest position is max - page + 1.
int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int min_pos, int max_pos, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, LPINT min_pos, LPINT max_pos);

// ---- Owner drawing ----
#define ODT_MENU 1
#define ODT_LISTBOX 2
#define ODT_COMBOBOX 3
#define ODT_BUTTON 4
#define ODA_DRAWENTIRE 0x0001
#define ODA_SELECT 0x0002
#define ODA_FOCUS 0x0004
#define ODS_SELECTED 0x0001
#define ODS_DISABLED 0x0004
#define ODS_FOCUS 0x0010

typedef struct tagDRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  ULONG_PTR itemData;
} DRAWITEMSTRUCT, *LPDRAWITEMSTRUCT;

typedef struct tagMEASUREITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemWidth;
  UINT itemHeight;
  ULONG_PTR itemData;
} MEASUREITEMSTRUCT, *LPMEASUREITEMSTRUCT;

// ---- Tab controls ----
#define TCIF_TEXT 0x0001
#define TCIF_PARAM 0x0008
#define TCM_GETITEMCOUNT 0x1304
#define TCM_GETITEMA 0x1305
#define TCM_INSERTITEMA 0x1307
#define TCM_DELETEALLITEMS 0x1309
#define TCM_GETCURSEL 0x130B
#define TCM_SETCURSEL 0x130C
#define TCS_BOTTOM 0x0002
#define TCN_SELCHANGE (-551)
#define TCN_SELCHANGING (-552)
typedef struct tagTCITEMA {
  UINT mask;
  DWORD dwState;
  DWORD dwStateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
} TCITEMA, *LPTCITEMA;

// ---- Progress bars ----
#define PBS_SMOOTH 0x01
#define PBM_SETRANGE (WM_USER + 1)
#define PBM_SETPOS (WM_USER + 2)
#define PBM_DELTAPOS (WM_USER + 3)
#define PBM_SETSTEP (WM_USER + 4)
#define PBM_STEPIT (WM_USER + 5)
#define PBM_SETRANGE32 (WM_USER + 6)
#define PBM_GETPOS (WM_USER + 8)

// ---- Animation (inert: nothing plays headless; the state is kept) ----
#define ACS_CENTER 0x0001
#define ACS_TRANSPARENT 0x0002
#define ACS_AUTOPLAY 0x0004
#define ACM_OPENA (WM_USER + 100)
#define ACM_PLAY (WM_USER + 101)
#define ACM_STOP (WM_USER + 102)
#define ACM_ISPLAYING (WM_USER + 104)

// ---- Tooltips (a tip shows by the pointer resting on a tool) ----
#define TTM_ACTIVATE (WM_USER + 1)
#define TTM_NEWTOOLRECTA (WM_USER + 6)
#define TTM_RELAYEVENT (WM_USER + 7)
#define TTM_POP (WM_USER + 28)  // hides the tip shown
#define TTM_ADDTOOLA (WM_USER + 4)
#define TTM_DELTOOLA (WM_USER + 5)
#define TTM_GETTOOLCOUNT (WM_USER + 13)
#define TTM_GETTEXTA (WM_USER + 11)  // wParam: the size of ti->lpszText
#define TTM_UPDATETIPTEXTA (WM_USER + 12)
#define TTF_IDISHWND 0x0001
#define TTF_SUBCLASS 0x0010
typedef struct tagTOOLINFOA {
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;
  UINT_PTR uId;
  RECT rect;
  HINSTANCE hinst;
  LPSTR lpszText;
  LPARAM lParam;
} TOOLINFOA, *LPTOOLINFOA;
