// The class library the drawing control and the font tool's shell are written
// against, implemented by qmafx over the headless window system and the
// software GDI: run-time classes and dynamic creation, command targets with
// message maps and command routing, windows as classes, device-context
// wrappers, GBK strings, file finding and the application with its profile.
// Only what those programs use is here.
#pragma once

#include <commctrl.h>
#include <oleauto.h>
#include <qm_profile.h>
#include <windows.h>

#include <cstdarg>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

typedef const char* LPCTSTR;
typedef char* LPTSTR;
typedef char TCHAR;
#define _T(x) x
#define afx_msg

class CObject;
class CCmdTarget;
class CCmdUI;
class CWnd;
class CDC;
class CDocument;
class CView;
class CFrameWnd;
class CWinApp;
class CScrollBar;
class CMenu;
class CDataExchange;
class CDocTemplate;
class CControlBar;
class CDockState;
class CMiniDockFrameWnd;
class CRgn;
class CPrintDialog;
class CPrintInfo;

// ---- Run-time classes ----
struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;

  // A new object of the class, or null when the class cannot be created
  // dynamically.
  CObject* CreateObject() const;
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;
  // The dynamically creatable class of that name, or null.
  static const CRuntimeClass* FromName(LPCSTR name);
};

// Makes a class known by name (one per IMPLEMENT_DYNCREATE).
struct QmAfxClassInit {
  explicit QmAfxClassInit(const CRuntimeClass* cls);
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                 \
 public:                                            \
  static const CRuntimeClass class##class_name;     \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define QM_IMPLEMENT_RUNTIMECLASS(class_name, base_name, create)                                          \
  const CRuntimeClass class_name::class##class_name = {#class_name, sizeof(class_name), 0xFFFF, create,   \
                                                       RUNTIME_CLASS(base_name)};                         \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_name) QM_IMPLEMENT_RUNTIMECLASS(class_name, base_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_name)                               \
  CObject* class_name::CreateObject() { return new class_name; }                \
  QM_IMPLEMENT_RUNTIMECLASS(class_name, base_name, class_name::CreateObject)    \
  static const QmAfxClassInit qm_afx_init_##class_name(RUNTIME_CLASS(class_name));

class CObject {
 public:
  virtual ~CObject() = default;
  static const CRuntimeClass classCObject;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* cls) const;

 protected:
  CObject() = default;
};

// ---- Points, sizes and rectangles ----
class CSize : public SIZE {
 public:
  CSize() { cx = cy = 0; }
  CSize(int x, int y) { cx = x, cy = y; }
  CSize(SIZE s) { cx = s.cx, cy = s.cy; }
  bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
  bool operator!=(SIZE s) const { return !(*this == s); }
};

class CPoint : public POINT {
 public:
  CPoint() { x = y = 0; }
  CPoint(int ix, int iy) { x = ix, y = iy; }
  CPoint(POINT p) { x = p.x, y = p.y; }
  // The signed coordinates packed in a message's lParam.
  explicit CPoint(LPARAM lp) { x = static_cast<SHORT>(LOWORD(lp)), y = static_cast<SHORT>(HIWORD(lp)); }
  void Offset(int dx, int dy) { x += dx, y += dy; }
  CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
  CSize operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
  bool operator==(POINT p) const { return x == p.x && y == p.y; }
  bool operator!=(POINT p) const { return !(*this == p); }
};

class CRect : public RECT {
 public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
  CRect(const RECT& r) { left = r.left, top = r.top, right = r.right, bottom = r.bottom; }
  CRect(POINT p, SIZE s) { left = p.x, top = p.y, right = p.x + s.cx, bottom = p.y + s.cy; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
  BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  BOOL PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
  void SetRectEmpty() { left = top = right = bottom = 0; }
  void OffsetRect(int dx, int dy) { left += dx, right += dx, top += dy, bottom += dy; }
  void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
  void InflateRect(int dx, int dy) { left -= dx, right += dx, top -= dy, bottom += dy; }
  void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  void NormalizeRect();
  // The overlap, or an empty rectangle at 0 when there is none.
  BOOL IntersectRect(const RECT& a, const RECT& b);
  BOOL UnionRect(const RECT& a, const RECT& b);
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }
  bool operator==(const RECT& r) const {
    return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
  }
  bool operator!=(const RECT& r) const { return !(*this == r); }
};

// ---- Strings: GBK bytes ----
// Lengths and positions count bytes, as the original multi-byte build does;
// searching and case changes step over two-byte characters, so a trail byte
// that happens to equal '\\' or a letter is never matched or changed.
class CString {
 public:
  CString() = default;
  CString(LPCSTR s) : s_(s ? s : "") {}
  CString(LPCSTR s, int len) : s_(s ? std::string(s, static_cast<size_t>(len < 0 ? 0 : len)) : std::string()) {}
  CString(char c, int repeat = 1) : s_(static_cast<size_t>(repeat < 0 ? 0 : repeat), c) {}
  CString(const std::string& s) : s_(s) {}

  int GetLength() const { return static_cast<int>(s_.size()); }
  BOOL IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  operator LPCSTR() const { return s_.c_str(); }
  const std::string& str() const { return s_; }
  char GetAt(int i) const;
  void SetAt(int i, char c);
  char operator[](int i) const { return GetAt(i); }

  CString& operator=(LPCSTR s) { s_ = s ? s : ""; return *this; }
  CString& operator+=(const CString& s) { s_ += s.s_; return *this; }
  CString& operator+=(LPCSTR s) { s_ += s ? s : ""; return *this; }
  CString& operator+=(char c) { s_ += c; return *this; }
  friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
  friend CString operator+(const CString& a, LPCSTR b) { return CString(a.s_ + (b ? b : "")); }
  friend CString operator+(LPCSTR a, const CString& b) { return CString((a ? a : "") + b.s_); }
  friend CString operator+(const CString& a, char b) { return CString(a.s_ + b); }
  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, LPCSTR b) { return a.s_ == (b ? b : ""); }
  friend bool operator!=(const CString& a, const CString& b) { return a.s_ != b.s_; }
  friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }
  friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }

  int Compare(LPCSTR s) const;
  int CompareNoCase(LPCSTR s) const;
  CString Left(int n) const;
  CString Right(int n) const;
  CString Mid(int first) const;
  CString Mid(int first, int n) const;
  // Byte position of the first match at a character boundary, or -1.
  int Find(char c, int start = 0) const;
  int Find(LPCSTR sub, int start = 0) const;
  int ReverseFind(char c) const;
  int Replace(LPCSTR old_text, LPCSTR new_text);
  int Remove(char c);
  int Insert(int index, LPCSTR s);
  int Delete(int index, int count = 1);
  CString& TrimRight();
  CString& TrimLeft();
  CString& Trim();
  CString& TrimRight(char c);
  CString& TrimLeft(char c);
  void MakeLower();
  void MakeUpper();
  void Format(LPCSTR fmt, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(LPCSTR fmt, va_list args);
  // The text of a string resource (AfxRegisterString); FALSE when none.
  BOOL LoadString(UINT id);

  // A writable buffer of at least min_len bytes (plus a NUL); ReleaseBuffer
  // takes the text up to the first NUL (or new_len bytes) as the new value.
  LPSTR GetBuffer(int min_len = 0);
  LPSTR GetBufferSetLength(int len);
  void ReleaseBuffer(int new_len = -1);
  // A new BSTR of the text in UTF-16.
  BSTR AllocSysString() const;

 private:
  std::string s_;
};

// Text resources by id, registered by the program that owns them.
void AfxRegisterString(UINT id, LPCSTR text);
// The format's "%1" replaced by the argument.
void AfxFormatString1(CString& out, UINT id, LPCSTR arg);

// ---- Command targets and message maps ----
#define WM_IDLEUPDATECMDUI 0x0363
#define WM_REFLECT_BASE 0xBC00
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))
#define CN_QM_NOTIFY ((UINT)(-2))

// One handler of a message map. The thunk calls the handler on the target
// with the message's parameters unpacked; `extra` carries a CCmdUI* (command
// update) or an NMHDR* (notification).
struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  UINT nLastID;
  LRESULT (*pfn)(CCmdTarget* target, UINT msg, WPARAM wparam, LPARAM lparam, void* extra);
};

struct QmFlatMessageMap;

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
  // The window messages of the whole chain, flattened on first dispatch
  // (see cmdtarget.cpp); maps are fixed once compiled, so it never goes stale.
  mutable const QmFlatMessageMap* qm_flat = nullptr;
};

// Set when OnCmdMsg is only asked whether a handler exists.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
};

#define DECLARE_MESSAGE_MAP()                       \
 protected:                                         \
  static const AFX_MSGMAP* GetThisMessageMap();     \
  const AFX_MSGMAP* GetMessageMap() const override; \
                                                    \
 public:

#define BEGIN_MESSAGE_MAP(the_class, base_class)                                      \
  const AFX_MSGMAP* the_class::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* the_class::GetThisMessageMap() {                                  \
    typedef the_class ThisClass [[maybe_unused]];                                     \
    typedef base_class TheBaseClass;                                                  \
    static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                             \
  {0, 0, 0, 0, nullptr}                                               \
  }                                                                   \
  ;                                                                   \
  static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
  return &map;                                                        \
  }

// The handler of an entry: `call` is an expression on `self` (the target as
// ThisClass) and the message's w, l and extra.
#define QM_AFX_THUNK(call)                                                                              \
  [](CCmdTarget* qm_t, UINT qm_msg, WPARAM w, LPARAM l, void* extra) -> LRESULT {                      \
    ThisClass* self = static_cast<ThisClass*>(qm_t);                                                   \
    (void)qm_msg, (void)w, (void)l, (void)extra, (void)self;                                           \
    call;                                                                                              \
  }
#define QM_AFX_MSG(msg, call) {msg, 0, 0, 0, QM_AFX_THUNK(call)},

#define ON_WM_CREATE() QM_AFX_MSG(WM_CREATE, return self->OnCreate(reinterpret_cast<LPCREATESTRUCTA>(l)))
#define ON_WM_DESTROY() QM_AFX_MSG(WM_DESTROY, self->OnDestroy(); return 0)
#define ON_WM_NCDESTROY() QM_AFX_MSG(WM_NCDESTROY, self->OnNcDestroy(); return 0)
#define ON_WM_SIZE() \
  QM_AFX_MSG(WM_SIZE, self->OnSize(static_cast<UINT>(w), static_cast<SHORT>(LOWORD(l)), static_cast<SHORT>(HIWORD(l))); return 0)
#define ON_WM_MOVE() QM_AFX_MSG(WM_MOVE, self->OnMove(static_cast<SHORT>(LOWORD(l)), static_cast<SHORT>(HIWORD(l))); return 0)
#define ON_WM_TIMER() QM_AFX_MSG(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(w)); return 0)
#define ON_WM_PAINT() QM_AFX_MSG(WM_PAINT, self->OnPaint(); return 0)
#define ON_WM_QUERYDRAGICON() QM_AFX_MSG(WM_QUERYDRAGICON, return reinterpret_cast<LRESULT>(self->OnQueryDragIcon()))
#define ON_WM_ERASEBKGND() QM_AFX_MSG(WM_ERASEBKGND, return self->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(w))))
#define ON_WM_CLOSE() QM_AFX_MSG(WM_CLOSE, self->OnClose(); return 0)
#define QM_AFX_MOUSE(msg, fn) QM_AFX_MSG(msg, self->fn(static_cast<UINT>(w), CPoint(l)); return 0)
#define ON_WM_LBUTTONDOWN() QM_AFX_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() QM_AFX_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() QM_AFX_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() QM_AFX_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() QM_AFX_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() QM_AFX_MOUSE(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() QM_AFX_MOUSE(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() QM_AFX_MOUSE(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEMOVE() QM_AFX_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_MOUSEWHEEL()                                                                             \
  QM_AFX_MSG(WM_MOUSEWHEEL, return self->OnMouseWheel(LOWORD(w), static_cast<short>(HIWORD(w)), CPoint(l)))
#define QM_AFX_KEY(msg, fn) \
  QM_AFX_MSG(msg, self->fn(static_cast<UINT>(w), LOWORD(l), HIWORD(l)); return 0)
#define ON_WM_KEYDOWN() QM_AFX_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() QM_AFX_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() QM_AFX_KEY(WM_CHAR, OnChar)
#define QM_AFX_SCROLL(msg, fn)                                                                     \
  QM_AFX_MSG(msg, self->fn(LOWORD(w), static_cast<short>(HIWORD(w)),                               \
                           reinterpret_cast<CScrollBar*>(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(l)))); \
             return 0)
#define ON_WM_HSCROLL() QM_AFX_SCROLL(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() QM_AFX_SCROLL(WM_VSCROLL, OnVScroll)
#define ON_WM_NCCALCSIZE() \
  QM_AFX_MSG(WM_NCCALCSIZE, self->OnNcCalcSize(static_cast<BOOL>(w), reinterpret_cast<NCCALCSIZE_PARAMS*>(l)); return 0)
#define ON_WM_NCHITTEST() QM_AFX_MSG(WM_NCHITTEST, return self->OnNcHitTest(CPoint(l)))
#define ON_WM_NCPAINT() QM_AFX_MSG(WM_NCPAINT, self->OnNcPaint(); return 0)
#define QM_AFX_NCMOUSE(msg, fn) QM_AFX_MSG(msg, self->fn(static_cast<UINT>(w), CPoint(l)); return 0)
#define ON_WM_NCLBUTTONDOWN() QM_AFX_NCMOUSE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() QM_AFX_NCMOUSE(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() QM_AFX_NCMOUSE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCMOUSEMOVE() QM_AFX_NCMOUSE(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_WINDOWPOSCHANGING() \
  QM_AFX_MSG(WM_WINDOWPOSCHANGING, self->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(l)); return 0)
#define ON_WM_CAPTURECHANGED() \
  QM_AFX_MSG(WM_CAPTURECHANGED, self->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(l))); return 0)
#define ON_WM_SETTINGCHANGE() \
  QM_AFX_MSG(WM_SETTINGCHANGE, self->OnSettingChange(static_cast<UINT>(w), reinterpret_cast<LPCSTR>(l)); return 0)
#define ON_WM_SETCURSOR()                                                                                  \
  QM_AFX_MSG(WM_SETCURSOR, return self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(w)), LOWORD(l), \
                                                    HIWORD(l)))
#define ON_WM_SETFOCUS() \
  QM_AFX_MSG(WM_SETFOCUS, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w))); return 0)
#define ON_WM_KILLFOCUS() \
  QM_AFX_MSG(WM_KILLFOCUS, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w))); return 0)
#define ON_WM_SHOWWINDOW() \
  QM_AFX_MSG(WM_SHOWWINDOW, self->OnShowWindow(static_cast<BOOL>(w), static_cast<UINT>(l)); return 0)
#define ON_MESSAGE(msg, fn) QM_AFX_MSG(msg, return self->fn(w, l))
#define ON_COMMAND(id, fn) {WM_COMMAND, CN_COMMAND, (id), (id), QM_AFX_THUNK(self->fn(); return 0)},
#define ON_COMMAND_RANGE(first, last, fn) \
  {WM_COMMAND, CN_COMMAND, (first), (last), QM_AFX_THUNK(self->fn(static_cast<UINT>(w)); return 0)},
#define ON_UPDATE_COMMAND_UI(id, fn) \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (id), (id), QM_AFX_THUNK(self->fn(static_cast<CCmdUI*>(extra)); return 0)},
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, fn) \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (first), (last), QM_AFX_THUNK(self->fn(static_cast<CCmdUI*>(extra)); return 0)},
#define ON_CONTROL(code, id, fn) {WM_COMMAND, (code), (id), (id), QM_AFX_THUNK(self->fn(); return 0)},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_UPDATE(id, fn) ON_CONTROL(EN_UPDATE, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_KILLFOCUS(id, fn) ON_CONTROL(CBN_KILLFOCUS, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_NOTIFY(code, id, fn)                                                                      \
  {WM_NOTIFY, static_cast<UINT>(code), (id), (id),                                                   \
   QM_AFX_THUNK(self->fn(static_cast<NMHDR*>(extra), reinterpret_cast<LRESULT*>(l)); return 0)},
// A notification the control handles itself, sent back to it by its parent.
#define ON_CONTROL_REFLECT(code, fn) {WM_COMMAND + WM_REFLECT_BASE, (code), 0, 0, QM_AFX_THUNK(self->fn(); return 0)},
#define ON_NOTIFY_REFLECT(code, fn)                                                                \
  {WM_NOTIFY + WM_REFLECT_BASE, static_cast<UINT>(code), 0, 0,                                     \
   QM_AFX_THUNK(self->fn(static_cast<NMHDR*>(extra), reinterpret_cast<LRESULT*>(l)); return 0)},

struct QmFlatMessageMap;
// The class library's dispatch of a window message (afx_internal.h).
inline BOOL qm_dispatch_window_message(CCmdTarget* target, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result);

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  // Looks for the handler of a command (CN_COMMAND), a command update
  // (CN_UPDATE_COMMAND_UI, extra a CCmdUI*), a control notification (its
  // code) or a WM_NOTIFY (CN_QM_NOTIFY with extra the NMHDR*, its code in the
  // header) in this target's map and its bases' maps, the class's own entries
  // first; calls it unless handler_info is given, which only asks. TRUE when
  // a handler was found.
  virtual BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handler_info);

  // The first entry of this target's maps for the message, code and id, or
  // null; the map chain is searched from the most derived class down.
  const AFX_MSGMAP_ENTRY* FindEntry(UINT msg, UINT code, UINT id) const;
  // Calls the map's handler of a window message (no code, no id); FALSE
  // when the maps have none.
  BOOL DispatchWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result);

  void BeginWaitCursor();
  void EndWaitCursor();

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;

 private:
  friend BOOL qm_dispatch_window_message(CCmdTarget*, UINT, WPARAM, LPARAM, LRESULT*);
  // The window messages of this object's class, remembered with the class
  // they were found for: an object is each of its bases in turn while it is
  // made, and GetMessageMap() answers for the class it is at the time.
  const std::type_info* flat_class_ = nullptr;
  const QmFlatMessageMap* flat_ = nullptr;
};

// What a command's user-interface element (menu item, toolbar button) is
// asked to show. DoUpdate asks the target's update handler; with none, the
// element is enabled when a command handler exists and, when asked, disabled
// otherwise.
class CCmdUI {
 public:
  UINT m_nID = 0;
  UINT m_nIndex = 0;
  CWnd* m_pOther = nullptr;  // the toolbar or control that shows the command
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;

  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL on = TRUE);
  virtual void SetCheck(int check = 1);
  virtual void SetRadio(BOOL on = TRUE);
  virtual void SetText(LPCSTR text);
  void ContinueRouting() { m_bContinueRouting = TRUE; }
  BOOL DoUpdate(CCmdTarget* target, BOOL disable_if_no_handler);
};

// A CCmdUI that only records what it was told: for tests, and for elements
// that keep their state themselves.
class QmStateCmdUI : public CCmdUI {
 public:
  BOOL enabled = TRUE;
  int checked = 0;
  CString text;
  BOOL text_set = FALSE;
  void Enable(BOOL on = TRUE) override;
  void SetCheck(int check = 1) override;
  void SetRadio(BOOL on = TRUE) override { SetCheck(on ? 1 : 0); }
  void SetText(LPCSTR t) override;
};

// ---- GDI objects ----
class CGdiObject : public CObject {
  DECLARE_DYNAMIC(CGdiObject)
 public:
  HGDIOBJ m_hObject = nullptr;
  ~CGdiObject() override;
  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  BOOL Attach(HGDIOBJ h);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  BOOL CreateStockObject(int index);
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  BOOL CreatePen(int style, int width, COLORREF color);
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  BOOL CreateSolidBrush(COLORREF color);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
 public:
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                  BYTE strike_out, BYTE char_set, BYTE out_precision, BYTE clip_precision, BYTE quality,
                  BYTE pitch_and_family, LPCSTR face);
  BOOL CreateFontIndirect(const LOGFONTA* lf) { return Attach(::CreateFontIndirectA(lf)); }
  // A font of point_size tenths of a point on a 96 dpi screen.
  BOOL CreatePointFont(int point_size, LPCSTR face, CDC* dc = nullptr);
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBitmap : public CGdiObject {
 public:
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

// ---- Device contexts ----
class CDC : public CObject {
  DECLARE_DYNAMIC(CDC)
 public:
  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;

  CDC() = default;
  ~CDC() override;
  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  // A temporary wrapper of a DC that no CDC owns (kept until the next idle
  // time of the application).
  static CDC* FromHandle(HDC hdc);
  BOOL Attach(HDC hdc);
  HDC Detach();
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();

  CGdiObject* SelectObject(CGdiObject* obj);
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);
  HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
  CGdiObject* SelectStockObject(int index);
  int SaveDC();
  BOOL RestoreDC(int saved);

  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  UINT SetTextAlign(UINT align) { return ::SetTextAlign(m_hDC, align); }
  int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
  BOOL Polyline(const POINT* pts, int count) { return ::Polyline(m_hDC, pts, count); }
  BOOL Polygon(const POINT* pts, int count) { return ::Polygon(m_hDC, pts, count); }
  BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
  BOOL Rectangle(LPCRECT r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
  BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
  void FillRect(LPCRECT r, CBrush* brush) { ::FillRect(m_hDC, r, static_cast<HBRUSH>(brush->m_hObject)); }
  void FillSolidRect(LPCRECT r, COLORREF color);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
  // A frame of two colours: top and left in one, bottom and right in the other.
  void Draw3dRect(LPCRECT r, COLORREF top_left, COLORREF bottom_right);
  BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
  BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
  }
  BOOL TextOut(int x, int y, LPCSTR text, int len) { return ::TextOutA(m_hDC, x, y, text, len); }
  BOOL TextOut(int x, int y, const CString& text) { return TextOut(x, y, text, text.GetLength()); }
  int DrawText(LPCSTR text, int len, LPRECT r, UINT format) { return ::DrawTextA(m_hDC, text, len, r, format); }
  int DrawText(const CString& text, LPRECT r, UINT format) { return DrawText(text, text.GetLength(), r, format); }
  BOOL DrawEdge(LPRECT r, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, r, edge, flags); }
  BOOL GetTextExtent(LPCSTR text, int len, LPSIZE size) const {
    return ::GetTextExtentPoint32A(m_hDC, text, len, size);
  }
  // The 50 % grey checker (alternate pixels in the text and background
  // colours) that drag rectangles are inverted with (PatBlt, PATINVERT).
  // Made on first use and kept for the process: never deleted by callers.
  static CBrush* GetHalftoneBrush();
  // Himetric (0.01 mm) to device pixels at the DC's resolution.
  void HIMETRICtoDP(LPSIZE size) const;
  void DPtoLP(LPRECT r) const { ::DPtoLP(m_hDC, reinterpret_cast<LPPOINT>(r), 2); }

 private:
  std::vector<std::vector<HGDIOBJ>> saved_;  // selections kept by SaveDC
  int owned_ = 0;  // 1: DeleteDC frees m_hDC
};

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps;

 private:
  HWND hwnd_;
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;

 private:
  HWND hwnd_;
};

// ---- Windows ----
class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
  DECLARE_MESSAGE_MAP()
 public:
  HWND m_hWnd = nullptr;

  CWnd();
  ~CWnd() override;
  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The CWnd of a handle: the one attached to it, else a temporary one kept
  // until the next idle time (null for null).
  static CWnd* FromHandle(HWND hwnd);
  // Only a CWnd attached to the handle, else null.
  static CWnd* FromHandlePermanent(HWND hwnd);
  BOOL Attach(HWND hwnd);
  HWND Detach();
  // Routes the window's messages through this object (the window keeps its
  // class procedure as the default).
  BOOL SubclassWindow(HWND hwnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();

  virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
  virtual BOOL Create(LPCSTR class_name, LPCSTR window_name, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                      void* context = nullptr);
  BOOL CreateEx(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int width,
                int height, HWND parent, HMENU id_or_menu, LPVOID param = nullptr);
  BOOL CreateEx(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, const RECT& rect, CWnd* parent,
                UINT id, LPVOID param = nullptr);
  virtual BOOL DestroyWindow();
  // Called after the last message (WM_NCDESTROY); the window is detached.
  virtual void PostNcDestroy() {}
  virtual void PreSubclassWindow() {}

  virtual LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam);
  virtual LRESULT DefWindowProc(UINT msg, WPARAM wparam, LPARAM lparam);
  // The default handling of the message being handled now.
  LRESULT Default();
  virtual BOOL OnWndMsg(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result);
  virtual BOOL OnCommand(WPARAM wparam, LPARAM lparam);
  virtual BOOL OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result);
  // A notification of this control sent back by its parent; TRUE when the
  // control handled it.
  virtual BOOL OnChildNotify(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result);
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Asks the bars and controls of this window to update their commands.
  virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disable_if_no_handler);

  LRESULT SendMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return ::SendMessageA(m_hWnd, msg, wparam, lparam);
  }
  BOOL PostMessage(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return ::PostMessageA(m_hWnd, msg, wparam, lparam);
  }
  // Sends to every child (every descendant when deep), or only to the
  // children that have a CWnd of their own when only_permanent; parents
  // before their children.
  void SendMessageToDescendants(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0, BOOL deep = TRUE,
                                BOOL only_permanent = FALSE);

  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  // The window's own copy of its system menu (null with `revert`).
  CMenu* GetSystemMenu(BOOL revert) const;
  CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  void SetDlgCtrlID(int id) { ::SetWindowLongPtrA(m_hWnd, GWLP_ID, id); }
  CFrameWnd* GetParentFrame() const;
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);

  void GetClientRect(LPRECT r) const { ::GetClientRect(m_hWnd, r); }
  void GetWindowRect(LPRECT r) const { ::GetWindowRect(m_hWnd, r); }
  void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
  void ClientToScreen(LPRECT r) const;
  void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
  void ScreenToClient(LPRECT r) const;
  void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) { ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
  void MoveWindow(LPCRECT r, BOOL repaint = TRUE) {
    MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, repaint);
  }
  BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags);
  }
  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  HICON SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
  }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void InvalidateRect(LPCRECT r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  // Regions are not supported: the region must be null.
  BOOL RedrawWindow(LPCRECT r = nullptr, CRgn* region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return region ? FALSE : ::RedrawWindow(m_hWnd, r, nullptr, flags);
  }
  void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
  int GetWindowText(LPSTR buffer, int size) const { return ::GetWindowTextA(m_hWnd, buffer, size); }
  void GetWindowText(CString& text) const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  void SetDlgItemText(int id, LPCSTR text) { ::SetWindowTextA(::GetDlgItem(m_hWnd, id), text); }
  int GetDlgItemText(int id, CString& text) const;
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) { return ::SetTimer(m_hWnd, id, elapse, proc); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  CDC* GetDC();
  int ReleaseDC(CDC* dc);
  void SetFont(CFont* font, BOOL redraw = TRUE);
  CFont* GetFont() const;
  // Drop files are never delivered headless; the flag is kept.
  void DragAcceptFiles(BOOL accept = TRUE) { accepts_files_ = accept; }
  BOOL AcceptsFiles() const { return accepts_files_; }
  // Dialog data exchange (CDialog and property pages): fills the controls
  // from the members, or the members from the controls when saving.
  virtual BOOL UpdateData(BOOL save_and_validate = TRUE);
  virtual void DoDataExchange(CDataExchange* dx);
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

  // Message handlers that the maps of derived classes name. Each default
  // hands the message to the window's default procedure.
  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  afx_msg void OnDestroy();
  afx_msg void OnNcDestroy();
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnMove(int x, int y);
  afx_msg void OnTimer(UINT_PTR id);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnClose();
  afx_msg void OnLButtonDown(UINT flags, CPoint p);
  afx_msg void OnLButtonUp(UINT flags, CPoint p);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint p);
  afx_msg void OnRButtonDown(UINT flags, CPoint p);
  afx_msg void OnRButtonUp(UINT flags, CPoint p);
  afx_msg void OnRButtonDblClk(UINT flags, CPoint p);
  afx_msg void OnMButtonDown(UINT flags, CPoint p);
  afx_msg void OnMButtonUp(UINT flags, CPoint p);
  afx_msg void OnMouseMove(UINT flags, CPoint p);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint p);
  afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  afx_msg void OnKeyUp(UINT ch, UINT repeat, UINT flags);
  afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
  afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg void OnNcCalcSize(BOOL calc_valid_rects, NCCALCSIZE_PARAMS* params);
  afx_msg LRESULT OnNcHitTest(CPoint p);
  afx_msg void OnNcPaint();
  afx_msg void OnNcLButtonDown(UINT hit, CPoint p);
  afx_msg void OnNcLButtonUp(UINT hit, CPoint p);
  afx_msg void OnNcLButtonDblClk(UINT hit, CPoint p);
  afx_msg void OnNcMouseMove(UINT hit, CPoint p);
  afx_msg void OnWindowPosChanging(WINDOWPOS* pos);
  afx_msg void OnCaptureChanged(CWnd* wnd);
  afx_msg void OnSettingChange(UINT flags, LPCSTR section);
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT msg);
  afx_msg void OnSetFocus(CWnd* old);
  afx_msg void OnKillFocus(CWnd* next);
  afx_msg void OnShowWindow(BOOL show, UINT status);

 protected:
  WNDPROC m_pfnSuper = nullptr;  // the procedure a subclassed window had
  BOOL accepts_files_ = FALSE;
  friend LRESULT AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
};

// The procedure of every window the class library creates.
LRESULT AfxWndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// Hands a message to the object's WindowProc as the message being handled.
LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// A window class with those properties, registered once; its name.
LPCSTR AfxRegisterWndClass(UINT style, HCURSOR cursor = nullptr, HBRUSH background = nullptr, HICON icon = nullptr);
// The class-library window class of plain windows ("AfxWnd").
extern const char* const kAfxWndClass;

// ---- Documents, views and frames (command routing) ----
class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)
 public:
  ~CDocument() override;
  // Its own map, then its template's.
  BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handler_info) override;
  void AddView(CView* view);
  void RemoveView(CView* view);
  const std::vector<CView*>& Views() const { return views_; }
  virtual void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hint_object = nullptr);
  virtual void SetModifiedFlag(BOOL modified = TRUE) { modified_ = modified; }
  virtual BOOL IsModified() { return modified_; }
  const CString& GetTitle() const { return title_; }
  virtual void SetTitle(LPCSTR title) { title_ = title; }
  const CString& GetPathName() const { return path_; }
  virtual void SetPathName(LPCSTR path, BOOL add_to_mru = TRUE);
  virtual BOOL OnNewDocument();
  virtual BOOL OnOpenDocument(LPCSTR path);
  virtual BOOL OnSaveDocument(LPCSTR path);
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  CDocTemplate* m_pDocTemplate = nullptr;

 private:
  std::vector<CView*> views_;
  BOOL modified_ = FALSE;
  CString title_;
  CString path_;
};

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)
  DECLARE_MESSAGE_MAP()
 public:
  ~CView() override;
  CDocument* GetDocument() const { return m_pDocument; }
  // Its own map, then the document's.
  BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handler_info) override;
  virtual void OnDraw(CDC* dc) = 0;
  virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
  virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hint_object);
  void PostNcDestroy() override;
  CDocument* m_pDocument = nullptr;

  // Printing, as the print command (ID_FILE_PRINT) runs it when a view's map
  // routes the command to OnFilePrint: a print job named after the document
  // that asks the view to prepare, begin, print each page and end.
  virtual BOOL OnPreparePrinting(CPrintInfo* info) { return DoPreparePrinting(info); }
  virtual void OnBeginPrinting(CDC*, CPrintInfo*) {}
  virtual void OnPrint(CDC* dc, CPrintInfo*) { OnDraw(dc); }
  virtual void OnEndPrinting(CDC*, CPrintInfo*) {}
  BOOL DoPreparePrinting(CPrintInfo* info);
  afx_msg void OnFilePrint();

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  afx_msg void OnPaint();
  afx_msg void OnDestroy();
  afx_msg LRESULT OnMouseActivateMessage(WPARAM, LPARAM);
};

// What a frame needs to create its view (and a view its document link).
struct CCreateContext {
  const CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CView* m_pLastView = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

#define AFX_IDW_PANE_FIRST 0xE900
#define ID_FILE_PRINT 0xE107

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)
  DECLARE_MESSAGE_MAP()
 public:
  static const CRect rectDefault;
  ~CFrameWnd() override;
  // The active view first, then the frame itself, then the application.
  BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handler_info) override;
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  virtual BOOL Create(LPCSTR class_name, LPCSTR title, DWORD style = WS_OVERLAPPEDWINDOW,
                      const RECT& rect = rectDefault, CWnd* parent = nullptr, LPCSTR menu_name = nullptr,
                      DWORD ex_style = 0, CCreateContext* context = nullptr);
  CView* GetActiveView() const { return active_view_; }
  void SetActiveView(CView* view, BOOL notify = TRUE);
  CDocument* GetActiveDocument();
  // Creates the context's view as a child filling the frame.
  CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
  virtual BOOL OnCreateClient(LPCREATESTRUCTA cs, CCreateContext* context);
  // Lays out the control bars, then gives the view the rest. A layout asked
  // for while one runs (a bar moving its row) is done right after it, a few
  // passes at most.
  virtual void RecalcLayout(BOOL notify = TRUE);
  void DelayRecalcLayout(BOOL notify = TRUE) { RecalcLayout(notify); }
  // Docking: dock bars on the sides the style names (top, bottom, left,
  // right), and bars placed on them.
  void EnableDocking(DWORD dock_style);
  // Docks the bar on a side (a floating bar leaves its mini frame, which
  // goes when it holds no bar any more).
  void DockControlBar(CControlBar* bar, UINT dock_bar_id = 0, LPCRECT rect = nullptr);
  // Floats the bar alone in a mini frame at the screen point `p` (a bar
  // already floating alone: its mini frame moves there); the mini frame is
  // owned by this frame and titled with the bar's text. `style` chooses the
  // orientation (CBRS_ALIGN_LEFT or _RIGHT: vertical; default horizontal).
  void FloatControlBar(CControlBar* bar, CPoint p, DWORD style = 0);
  virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD style);
  // A floating bar's mini frame is shown while one of its bars is.
  void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay);
  CControlBar* GetControlBar(UINT id);
  void AddControlBar(CControlBar* bar);
  void RemoveControlBar(CControlBar* bar);
  std::vector<CControlBar*> m_listControlBars;  // in creation order
  void GetDockState(CDockState& state);
  void SetDockState(const CDockState& state);
  void SaveBarState(LPCSTR name);
  void LoadBarState(LPCSTR name);
  void PostNcDestroy() override;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnDestroy();
  CView* active_view_ = nullptr;
  CCreateContext* creating_context_ = nullptr;

 private:
  void LayOutOnce();
  bool in_layout_ = false;
  bool layout_pending_ = false;
};

// ---- Files ----
// Finds the files of a folder whose names match a pattern with '*' and '?'
// (compared without regard to ASCII case; other characters as they are).
class CFileFind : public CObject {
 public:
  ~CFileFind() override;
  // "folder\\*.ext", "folder/name" or a folder's "*.*"; FALSE when nothing
  // matches.
  BOOL FindFile(LPCSTR pattern = nullptr, DWORD flags = 0);
  // Moves to the next match; FALSE when the current one is the last (it is
  // still readable), as the original does.
  BOOL FindNextFile();
  void Close();
  CString GetFileName() const;
  CString GetFilePath() const;
  CString GetFileTitle() const;
  CString GetRoot() const { return root_; }
  BOOL IsDots() const;
  BOOL IsDirectory() const;

 private:
  CString root_;  // as the caller wrote it, with its separator
  std::vector<std::pair<std::string, bool>> found_;  // name, is a folder
  size_t next_ = 0;
  size_t current_ = static_cast<size_t>(-1);
};

// ---- The application ----
class CWinApp : public CCmdTarget {
  DECLARE_DYNAMIC(CWinApp)
 public:
  explicit CWinApp(LPCSTR app_name = nullptr);
  ~CWinApp() override;

  CWnd* m_pMainWnd = nullptr;
  CString m_pszAppName;
  HINSTANCE m_hInstance = nullptr;

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }
  // Idle work: command updates of the main window and its descendants, and
  // the temporary CWnd and CDC wrappers freed. TRUE while more idle work
  // remains.
  virtual BOOL OnIdle(LONG count);
  // Takes and dispatches one message; FALSE on WM_QUIT or an empty queue.
  BOOL PumpMessage();
  // Offers a message to its window and that window's parents
  // (PreTranslateMessage) before it is dispatched; TRUE when one took it.
  static BOOL PreTranslate(MSG* msg);

  // The profile lives in the user's configuration folder
  // ($XDG_CONFIG_HOME or ~/.config)/quillmark/<key>.ini once SetRegistryKey
  // names it; before that, and in tests, in memory.
  void SetRegistryKey(LPCSTR key);
  QmProfileStore& Profile() { return *profile_; }
  void UseProfile(std::unique_ptr<QmProfileStore> store) { profile_ = std::move(store); }
  UINT GetProfileInt(LPCSTR section, LPCSTR entry, int default_value);
  BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value);
  CString GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR default_value = nullptr);
  BOOL WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value);
  // Binary values; *data is new[]'d for the caller, who delete[]s it.
  BOOL GetProfileBinary(LPCSTR section, LPCSTR entry, BYTE** data, UINT* bytes);
  BOOL WriteProfileBinary(LPCSTR section, LPCSTR entry, const BYTE* data, UINT bytes);

  void BeginWaitCursor();
  void EndWaitCursor();
  int WaitCursorCount() const { return wait_count_; }
  // Shows the print dialog (IDOK or IDCANCEL).
  virtual INT_PTR DoPrintDialog(CPrintDialog* dialog);
  HCURSOR LoadStandardCursor(LPCSTR id) const { return ::LoadCursorA(nullptr, id); }
  HCURSOR LoadCursor(LPCSTR name) const { return ::LoadCursorA(m_hInstance, name); }
  HICON LoadIcon(UINT id) const { return ::LoadIconA(m_hInstance, MAKEINTRESOURCEA(id)); }

 private:
  std::unique_ptr<QmProfileStore> profile_;
  int wait_count_ = 0;
  HCURSOR saved_cursor_ = nullptr;
};

// The application object of the process (the last constructed of those
// alive), or null.
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT help_id = 0);
int AfxMessageBox(UINT id, UINT type = MB_OK, UINT help_id = 0);
// Frees the temporary CWnd and CDC wrappers (done at idle time).
void AfxDeleteTempObjects();

// ---- Menus ----
class CMenu : public CObject {
 public:
  HMENU m_hMenu = nullptr;
  ~CMenu() override;
  operator HMENU() const { return m_hMenu; }
  static CMenu* FromHandle(HMENU menu);
  BOOL Attach(HMENU menu);
  HMENU Detach();
  BOOL LoadMenu(UINT id);
  BOOL CreatePopupMenu();
  BOOL DestroyMenu();
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr) { return ::AppendMenuA(m_hMenu, flags, id, text); }
  CMenu* GetSubMenu(int pos) const { return FromHandle(::GetSubMenu(m_hMenu, pos)); }
  UINT GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
  UINT GetMenuItemID(int pos) const { return ::GetMenuItemID(m_hMenu, pos); }
  UINT CheckMenuItem(UINT id, UINT check) { return ::CheckMenuItem(m_hMenu, id, check); }
  UINT EnableMenuItem(UINT id, UINT enable) { return static_cast<UINT>(::EnableMenuItem(m_hMenu, id, enable)); }
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner ? owner->m_hWnd : nullptr, rect);
  }
};

// ---- Dialog templates, kept in code ----
struct QmDialogItem {
  UINT id;
  LPCSTR window_class;  // "Button", "Edit", WC_LISTBOXA ...
  CString text;
  DWORD style;  // WS_CHILD and WS_VISIBLE are added
  int x, y, cx, cy;  // dialog units
};
// The font a dialog template names: its face (GBK) and size in points. An
// empty face is the system's dialog font, 8-point "MS Sans Serif".
struct QmDialogFont {
  CString face;
  int points = 0;
};
struct QmDialogTemplate {
  UINT id;
  CString caption;
  DWORD style;
  int x, y, cx, cy;  // dialog units
  std::vector<QmDialogItem> items;
  QmDialogFont font = {};  // given to every control; its size sets the units
};
// Dialog units to pixels: a horizontal unit is a quarter of the average
// character width of the dialog's font as the GDI resolves it (the width of
// the 52 Latin letters over 52, rounded) and a vertical unit an eighth of
// its height, so labels fit as they did where the template was laid out.
struct QmDialogUnits {
  int base_x, base_y;  // the font's average character width and height
  int x(int units) const { return MulDiv(units, base_x, 4); }
  int y(int units) const { return MulDiv(units, base_y, 8); }
};
// The units of a dialog in that font, and the font itself (made once per
// face and size, kept for the process).
QmDialogUnits AfxDialogUnits(const QmDialogFont& font);
HFONT AfxDialogFont(const QmDialogFont& font);
void AfxRegisterDialog(const QmDialogTemplate& tmpl);
const QmDialogTemplate* AfxFindDialog(UINT id);
class CDialog;
// What a modal dialog's user does: called once the dialog is initialised
// and shown; it may change controls (qm_user_type, qm_user_pick, BM_CLICK)
// and end the dialog by pressing a button. A dialog the script leaves open,
// or one without a script, is cancelled (OnCancel), as a user closing it.
void AfxPushDialogScript(UINT id, std::function<void(CDialog&)> script);
struct QmDialogShown {
  UINT id;
  CString caption;
  bool modal;
  INT_PTR result;  // of a modal dialog, when it ended
};
const std::vector<QmDialogShown>& AfxDialogsShown();
void AfxClearDialogs();

// ---- Dialog data exchange ----
class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL save) : m_bSaveAndValidate(save), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  // The control of that id (its handle), or null after a failure or when
  // the dialog has none.
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id) { return PrepareCtrl(id); }
  // Ends the exchange: the control keeps the focus; later exchanges of this
  // pass do nothing.
  void Fail();
  bool Failed() const { return failed_; }

 private:
  bool failed_ = false;
  HWND last_ = nullptr;
};

// Each exchange reads the control into the member when saving and writes the
// member into the control otherwise; a text that is not a number tells the
// user ("Please enter an integer." or "Please enter a number.") and fails.
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// The index of the checked button of the radio group that starts at id
// (its buttons up to the next WS_GROUP), -1 when none is checked.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_Scroll(CDataExchange* dx, int id, int& value);

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
  DECLARE_MESSAGE_MAP()
 public:
  explicit CDialog(UINT id = 0, CWnd* parent = nullptr) : m_nIDTemplate(id), m_pParentWnd(parent) {}
  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

  // Creates the dialog from its template, initialises it, runs its script
  // (AfxPushDialogScript) and returns what ended it; -1 without a template.
  virtual INT_PTR DoModal();
  // A modeless dialog: created, initialised, shown when its template says
  // WS_VISIBLE.
  virtual BOOL Create(UINT id, CWnd* parent = nullptr);
  void EndDialog(int result);
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  BOOL UpdateData(BOOL save_and_validate = TRUE) override;
  void MapDialogRect(LPRECT r) const;
  BOOL ended() const { return ended_; }

 protected:
  afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);
  afx_msg LRESULT HandleClose(WPARAM, LPARAM);
  afx_msg void OnOkCommand() { OnOK(); }
  afx_msg void OnCancelCommand() { OnCancel(); }
  BOOL CreateFromTemplate(UINT id, CWnd* parent, bool modal);
  QmDialogUnits units_ = {0, 0};  // of the template's font, once created
  INT_PTR result_ = 0;
  BOOL ended_ = FALSE;
  bool modal_ = false;
};

// ---- Controls ----
class CButton : public CWnd {
 public:
  BOOL Create(LPCSTR text, DWORD style, const RECT& r, CWnd* parent, UINT id) {
    return CWnd::Create(WC_BUTTONA, text, style, r, parent, id);
  }
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

class CEdit : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create(WC_EDITA, "", style, r, parent, id); }
  BOOL SetReadOnly(BOOL on = TRUE) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, on)); }
  void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
  // The most the user may type, in bytes.
  void SetLimitText(UINT bytes) { SendMessage(EM_LIMITTEXT, bytes); }
  void GetSel(int& start, int& end) const {
    DWORD s = 0, e = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s), end = static_cast<int>(e);
  }
};

class CStatic : public CWnd {
 public:
  BOOL Create(LPCSTR text, DWORD style, const RECT& r, CWnd* parent, UINT id = 0xFFFF) {
    return CWnd::Create(WC_STATICA, text, style, r, parent, id);
  }
};

class CListBox : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create(WC_LISTBOXA, "", style, r, parent, id); }
  int AddString(LPCSTR s) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s))); }
  int InsertString(int i, LPCSTR s) {
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s)));
  }
  int DeleteString(UINT i) { return static_cast<int>(SendMessage(LB_DELETESTRING, i)); }
  void ResetContent() { SendMessage(LB_RESETCONTENT); }
  int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
  int SetCurSel(int i) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(i))); }
  void GetText(int i, CString& s) const;
  DWORD_PTR_T GetItemData(int i) const { return static_cast<DWORD_PTR_T>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(i))); }
  void* GetItemDataPtr(int i) const { return reinterpret_cast<void*>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(i))); }
  int SetItemData(int i, DWORD_PTR_T d) { return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(d))); }
  int SetItemDataPtr(int i, void* p) { return SetItemData(i, reinterpret_cast<DWORD_PTR_T>(p)); }
  int GetItemRect(int i, LPRECT r) const { return static_cast<int>(SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(r))); }
  int SetItemHeight(int, UINT h) { return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, 0, MAKELPARAM(h, 0))); }
  int GetItemHeight(int) const { return static_cast<int>(SendMessage(LB_GETITEMHEIGHT)); }
  int GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
  int FindStringExact(int start, LPCSTR s) const {
    return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(s)));
  }
  // The item nearest the client point; outside is TRUE when the point is on
  // no item.
  UINT ItemFromPoint(CPoint p, BOOL& outside) const;
  // Owner drawing: the parent hands WM_DRAWITEM and WM_MEASUREITEM back.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}
  BOOL OnChildNotify(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
};

class CComboBox : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create(WC_COMBOBOXA, "", style, r, parent, id); }
  int AddString(LPCSTR s) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s))); }
  int InsertString(int i, LPCSTR s) {
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s)));
  }
  int DeleteString(UINT i) { return static_cast<int>(SendMessage(CB_DELETESTRING, i)); }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int i) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(i))); }
  void GetLBText(int i, CString& s) const;
  int FindStringExact(int start, LPCSTR s) const {
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(s)));
  }
  DWORD_PTR_T GetItemData(int i) const { return static_cast<DWORD_PTR_T>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(i))); }
  int SetItemData(int i, DWORD_PTR_T d) { return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(d))); }
};

class CScrollBar : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create(WC_SCROLLBARA, "", style, r, parent, id); }
  int SetScrollPos(int pos, BOOL redraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, pos, redraw); }
  int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
  void SetScrollRange(int lo, int hi, BOOL redraw = TRUE) { ::SetScrollRange(m_hWnd, SB_CTL, lo, hi, redraw); }
  void GetScrollRange(LPINT lo, LPINT hi) const { ::GetScrollRange(m_hWnd, SB_CTL, lo, hi); }
};
