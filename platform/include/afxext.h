// Document templates, control bars (toolbars, dock bars) and the dock state
// kept in the profile. A frame lays out its visible bars first, in the order
// they were created (the dock bars in the order top, bottom, left, right),
// each taking a strip off its side of what is left, then gives the view the
// rest; bars in a dock bar stand in rows (a null entry ends a row).
#pragma once

#include <afxwin.h>

#include <memory>

// ---- Document templates ----
class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)
 public:
  CDocTemplate(UINT id, const CRuntimeClass* doc_class, const CRuntimeClass* frame_class,
               const CRuntimeClass* view_class);
  UINT m_nIDResource;
  const CRuntimeClass* m_pDocClass;
  const CRuntimeClass* m_pFrameClass;
  const CRuntimeClass* m_pViewClass;
  virtual CDocument* CreateNewDocument();
  // A frame with the template's view on the document; null when either
  // cannot be made.
  virtual CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
  virtual CDocument* OpenDocumentFile(LPCSTR path, BOOL make_visible = TRUE) = 0;
  virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL make_visible = TRUE);
};

class CSingleDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CSingleDocTemplate)
 public:
  using CDocTemplate::CDocTemplate;
  ~CSingleDocTemplate() override;
  // The one document, made (with its frame) on first use: a new document for
  // a null path, else opened from the path; null when that fails.
  CDocument* OpenDocumentFile(LPCSTR path, BOOL make_visible = TRUE) override;
  CDocument* m_pOnlyDoc = nullptr;
};

class CDocManager {
 public:
  ~CDocManager();
  // Takes ownership; a null template is accepted and ignored.
  void AddDocTemplate(CDocTemplate* tmpl);
  const std::vector<CDocTemplate*>& Templates() const { return templates_; }

 private:
  std::vector<CDocTemplate*> templates_;
};

// ---- Control bars ----
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40
#define TBBS_BUTTON 0x0000
#define TBBS_SEPARATOR 0x0001
#define TBBS_CHECKBOX 0x0002
#define TBBS_CHECKED 0x0100
#define TBBS_INDETERMINATE 0x0200
#define TBBS_DISABLED 0x0400
#define TBBS_PRESSED 0x0800
#define ID_SEPARATOR 0

class CDockBar;
class CDockContext;

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)
  DECLARE_MESSAGE_MAP()
 public:
  ~CControlBar() override;
  DWORD m_dwStyle = 0;      // CBRS_ bar style
  DWORD m_dwDockStyle = 0;  // the sides it may dock on (EnableDocking)
  CFrameWnd* m_pDockSite = nullptr;
  CDockBar* m_pDockBar = nullptr;
  CDockContext* m_pDockContext = nullptr;

  void SetBarStyle(DWORD style) { m_dwStyle = style; }
  DWORD GetBarStyle() const { return m_dwStyle; }
  void EnableDocking(DWORD style);
  BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
  // Shown by its own style, whatever its parents are: a frame being taken
  // down still records which of its bars were shown.
  BOOL IsVisible() const { return (GetStyle() & WS_VISIBLE) != 0; }
  BOOL IsDockBar() const { return is_dock_bar_; }
  // The bar's size when docked (horizontal) or standing (vertical); with
  // stretch, the full length of the side.
  virtual CSize CalcFixedLayout(BOOL stretch, BOOL horz);
  virtual CSize CalcDynamicLayout(int length, DWORD mode);
  // Updates the bar's commands against the target (the frame).
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disable_if_no_handler) override = 0;
  // Called with every mouse message a bar sees: the tooltip of the button
  // under the mouse (TooltipShown) is handed to the bar's tooltip window,
  // which shows it when the pointer rests there for the system's delay.
  void FilterToolTipMessage(MSG* msg);
  const CString& TooltipShown() const { return tooltip_; }
  // The bar's tooltip window (a tooltip control it owns), null until the
  // first mouse message of a bar with CBRS_TOOLTIPS.
  HWND TooltipWindow() const { return tip_; }
  // The tooltip of a command, from the string table's "\n" part.
  virtual CString TooltipOf(UINT id) const;
  virtual int HitTestButton(CPoint) const { return -1; }
  virtual UINT ButtonCommand(int) const { return 0; }
  virtual void ButtonRect(int, LPRECT r) const { *r = RECT{0, 0, 0, 0}; }
  // Draws the bar's CBRS_BORDER_ sides on `r` (one shadow-coloured pixel
  // each) and takes them off it.
  void DrawBorders(CDC* dc, CRect& r);
  void PostNcDestroy() override;
  BOOL m_bAutoDelete = FALSE;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  afx_msg void OnDestroy();
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wparam, LPARAM lparam);
  bool is_dock_bar_ = false;
  CString tooltip_;
  HWND tip_ = nullptr;
  UINT tip_tool_ = 0;  // the command whose button the tip window knows
};

// A toolbar's pictures as loaded (bars.cpp).
struct QmToolBarPictures;

class CToolBar : public CControlBar {
  DECLARE_DYNAMIC(CToolBar)
  DECLARE_MESSAGE_MAP()
 public:
  BOOL CreateEx(CWnd* parent, DWORD ctrl_style = 0, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                CRect borders = CRect(0, 0, 0, 0), UINT id = AFX_IDW_TOOLBAR);
  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
  // The buttons of a toolbar resource (AfxRegisterToolBar) and their
  // pictures: the strip registered as the bitmap of the same id
  // (qm_user_register_picture), one 16 x 15 picture a button, separators
  // taking none. Without a strip that loads the buttons show a plain mark.
  BOOL LoadToolBar(UINT id);
  bool HasPictures() const { return pictures_ != nullptr; }
  // The button under the mouse (-1 for none) and the one held down.
  int HotButton() const { return hot_; }
  int PressedButton() const { return pressed_; }
  BOOL SetButtons(const UINT* ids, int count);
  int GetCount() const { return static_cast<int>(buttons_.size()); }
  UINT GetItemID(int index) const;
  int CommandToIndex(UINT id) const;
  UINT GetButtonStyle(int index) const;
  void SetButtonStyle(int index, UINT style);
  void GetItemRect(int index, LPRECT r) const;
  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disable_if_no_handler) override;
  int HitTestButton(CPoint p) const override;
  UINT ButtonCommand(int index) const override { return GetItemID(index); }
  void ButtonRect(int index, LPRECT r) const override { GetItemRect(index, r); }
  static constexpr int kButtonWidth = 23;
  static constexpr int kButtonHeight = 22;
  static constexpr int kSeparatorWidth = 8;
  static constexpr int kPictureWidth = 16;
  static constexpr int kPictureHeight = 15;

 protected:
  // A press on an enabled button holds the mouse; the release over the same
  // button sends its command (a release with no press in progress does too).
  afx_msg void OnLButtonDown(UINT flags, CPoint p);
  afx_msg void OnLButtonUp(UINT flags, CPoint p);
  afx_msg void OnMouseMove(UINT flags, CPoint p);
  afx_msg void OnCaptureChanged(CWnd* wnd);
  // The pointer left the bar: nothing is hot, and the tip goes.
  afx_msg LRESULT OnMouseLeave(WPARAM, LPARAM);
  // Flat buttons on the button face, as the class library draws them: the
  // picture alone; under the pointer a raised edge; held down or checked a
  // sunken edge with the picture one pixel down and right (checked on a
  // dithered face); disabled, the picture embossed in the highlight and
  // shadow colours.
  afx_msg void OnPaint();
  void SetHot(int index);
  struct Button {
    UINT id;
    UINT style;
    int picture;  // its place in the strip, -1 for a separator
  };
  std::vector<Button> buttons_;
  std::shared_ptr<QmToolBarPictures> pictures_;
  int hot_ = -1, pressed_ = -1;
};
void AfxRegisterToolBar(UINT id, std::vector<UINT> buttons);

class CDockBar : public CControlBar {
  DECLARE_DYNAMIC(CDockBar)
 public:
  CDockBar() { is_dock_bar_ = true; }
  // Bars in rows: a null entry ends each row; the list starts with one.
  std::vector<CControlBar*> m_arrBars{nullptr};
  BOOL m_bFloating = FALSE;
  BOOL Create(CFrameWnd* frame, DWORD align, UINT id);
  // Appends the bar to the last row (a new row with new_row).
  void DockControlBar(CControlBar* bar, BOOL new_row = TRUE);
  void RemoveControlBar(CControlBar* bar);
  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
  // Places the bars inside its own rectangle, row by row.
  void LayoutBars();
  int VisibleBarCount() const;
};

// What dragging a bar would change: its floating state, and the size of a
// floating bar whose mini frame is dragged by an edge or a corner.
class CDockContext {
 public:
  explicit CDockContext(CControlBar* bar) : m_pBar(bar) {}
  CControlBar* m_pBar;
  CPoint m_ptLast;
  UINT m_nHitTest = 0;        // the edge or corner being dragged, while resizing
  UINT m_uMRUDockID = 0;      // the dock bar the bar last sat in
  CRect m_rectRequestedSize;  // the size asked for so far, screen coordinates
  void StartDrag(CPoint p) { m_ptLast = p; }
  // Floats a docked bar, docks a floating one again where it was docked.
  void ToggleDocking();
  // Resizing a floating bar (CBRS_SIZE_DYNAMIC) by its mini frame's edge
  // or corner `hit`: each cursor point (screen) asks the bar for the size
  // along the dragged side (CalcDynamicLayout with LM_HORZ, plus LM_LENGTHY
  // for the top and bottom); a bar asked at a corner follows the cursor
  // itself. The mini frame fits the bar and keeps the opposite side still.
  void StartResize(UINT hit, CPoint p);
  void Stretch(CPoint p);
  void EndResize();
  BOOL IsResizing() const { return resizing_ ? TRUE : FALSE; }

 private:
  bool resizing_ = false;
};

// ---- Floating frames ----
#define MFS_SYNCACTIVE 0x00000100L
#define MFS_4THICKFRAME 0x00000200L
#define MFS_THICKFRAME 0x00000400L
#define MFS_MOVEFRAME 0x00000800L
#define MFS_BLOCKSYSMENU 0x00001000L

// A small frame: a pop-up owned by the parent's frame, whose frame (thick
// with MFS_THICKFRAME or MFS_4THICKFRAME, thin otherwise) and small caption
// (with WS_CAPTION) are carved out of the window by WM_NCCALCSIZE.
class CMiniFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMiniFrameWnd)
  DECLARE_MESSAGE_MAP()
 public:
  BOOL Create(LPCSTR class_name, LPCSTR title, DWORD style, const RECT& rect, CWnd* parent = nullptr, UINT id = 0);
  // The window rectangle whose client area is `client` (screen coordinates).
  CRect WindowRectFor(const CRect& client) const;

 protected:
  afx_msg void OnNcCalcSize(BOOL calc_valid_rects, NCCALCSIZE_PARAMS* params);
  // The window's answer; with MFS_4THICKFRAME the corners size one side only.
  afx_msg LRESULT OnNcHitTest(CPoint p);
};

// The floating host of control bars: its one dock bar (AFX_IDW_DOCKBAR_FLOAT,
// m_bFloating) fills it, and it takes the size its bars ask for when
// floating (CalcDynamicLayout(-1, LM_MRUWIDTH), with LM_HORZ when the bars
// lie horizontally).
class CMiniDockFrameWnd : public CMiniFrameWnd {
  DECLARE_DYNCREATE(CMiniDockFrameWnd)
  DECLARE_MESSAGE_MAP()
 public:
  CDockBar m_wndDockBar;
  // FALSE when it cannot be made; the object is then the caller's to delete.
  virtual BOOL Create(CWnd* parent, DWORD bar_style);
  // Rows of bars at their floating sizes, the frame sized around them.
  void RecalcLayout(BOOL notify = TRUE) override;
  void PostNcDestroy() override;

 protected:
  // An edge or corner starts resizing the bar (see CDockContext).
  afx_msg void OnNcLButtonDown(UINT hit, CPoint p);
  afx_msg void OnMouseMove(UINT flags, CPoint p);
  afx_msg void OnLButtonUp(UINT flags, CPoint p);
  afx_msg void OnCaptureChanged(CWnd* wnd);

 private:
  bool creating_ = false;
  CDockContext* resizing_ = nullptr;
};

// ---- Dock state in the profile ----
class CControlBarInfo {
 public:
  UINT m_nBarID = 0;
  BOOL m_bVisible = TRUE;
  BOOL m_bFloating = FALSE;
  BOOL m_bHorz = TRUE;
  CPoint m_pointPos;
  // For a dock bar: the ids of its bars, 0 ending each row.
  std::vector<UINT> m_arrBarID;
};

class CDockState : public CObject {
 public:
  ~CDockState() override { Clear(); }
  std::vector<CControlBarInfo*> m_arrBarInfo;
  void Clear();
  // Reads what SaveState wrote under that name; what cannot be read is left
  // out (a damaged profile gives fewer bars, never wrong ones).
  void LoadState(LPCSTR name);
  void SaveState(LPCSTR name) const;
};
