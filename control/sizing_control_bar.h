// Control bars the user resizes by dragging their inner edges, docked on any
// side of a frame. A bar keeps one size per docking state (across the top or
// bottom, down the left or right, floating) and saves and loads the sizes in
// the application profile under "<name>-SCBar-<id>".
//
// Docked bars share their row in the dock bar: the edges between them move
// the boundary (the neighbours lend what they have above their minimum), and
// the edge that faces the frame's client area changes the row's thickness
// within the frame's free space. CSizingControlBarG adds a gripper and a
// close button that hides the bar; CSizingControlBarCF replaces the gripper
// by a caption with the bar's title, shown active while the focus is inside.
#pragma once

#include <afxext.h>

#include <vector>

class CSizingControlBar : public CControlBar {
  DECLARE_DYNAMIC(CSizingControlBar)
  DECLARE_MESSAGE_MAP()
 public:
  // Style bits of barStyle.
  static constexpr DWORD kEdgeLeft = 0x1, kEdgeRight = 0x2, kEdgeTop = 0x4, kEdgeBottom = 0x8, kEdgeAll = 0xF;
  static constexpr DWORD kShowEdges = 0x10;  // raised 3-D sizing edges, with room of their own
  static constexpr DWORD kSizeChild = 0x20;  // the first child fills the client area

  CSizingControlBar();

  // Keeps the bar style bits of `style`, makes the window with its window
  // bits plus WS_CLIPCHILDREN and an empty rectangle.
  virtual BOOL Create(LPCSTR name, CWnd* parent, UINT id, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP);
  // The same with every size set to `size` first.
  virtual BOOL Create(LPCSTR name, CWnd* parent, CSize size, BOOL has_gripper, UINT id,
                      DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP);

  // Reads the six sizes (each raised to its minimum); keeps what is missing.
  virtual void LoadSizes(LPCSTR profile);
  virtual void SaveSizes(LPCSTR profile);

  bool IsHorzDocked() const { return dockSide == AFX_IDW_DOCKBAR_TOP || dockSide == AFX_IDW_DOCKBAR_BOTTOM; }
  bool IsVertDocked() const { return dockSide == AFX_IDW_DOCKBAR_LEFT || dockSide == AFX_IDW_DOCKBAR_RIGHT; }
  bool IsSideDocked() const { return IsHorzDocked() || IsVertDocked(); }

  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  CSize CalcDynamicLayout(int length, DWORD mode) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disable_if_no_handler) override;

  // The hit code of a screen point, as the non-client hit test answers it.
  virtual UINT HitTest(CPoint screen);

  CSize horzSize{200, 200}, vertSize{200, 200}, floatSize{200, 200};
  CSize minHorzSize{33, 32}, minVertSize{33, 32}, minFloatingSize{37, 32};
  int dragLimitLow = 0, dragLimitHigh = 0, dragLastPos = 0, dragEdgeShift = 0;
  bool dragging = false, holdSize = false, frameLayingOut = false, liveDrag = true;
  UINT dockSide = 0;  // the id of the bar's dock bar, or 0
  UINT dragEdge = 0;
  DWORD barStyle = 0;
  int edgeThickness = 5;

  // Every sizing bar of the frame loads or saves its sizes.
  static void LoadAllSizes(CFrameWnd* frame, LPCSTR profile);
  static void SaveAllSizes(CFrameWnd* frame, LPCSTR profile);

 protected:
  virtual void BeginEdgeDrag(UINT hit, CPoint screen);
  virtual void EndEdgeDrag();
  virtual void MoveDraggedEdge(CPoint screen);
  virtual void ToggleDragLine();
  virtual void PaintGrip(CDC* dc, const CRect& client);
  // Deflates the window rectangle to the client area for that dock side.
  virtual void ComputeClientArea(CRect& r, UINT dock_side);
  virtual void LayOutRowBars();
  // Fits the row to `total` pixels along it (see the .cpp); false when a row
  // break was put in front of the bar's own place.
  bool FitRowToDockBar(int total, bool horz);

  // The visible bars of this bar's row, in order, and this bar's index.
  std::vector<CControlBar*> RowBars(int* self = nullptr) const;
  // The sizing bars among them, and this bar's index there.
  std::vector<CSizingControlBar*> SizingRow(int* self) const;
  // The strip of one edge in screen coordinates; false when the edge is not
  // sizable now.
  bool EdgeRect(UINT hit, CRect& r);
  CSize& DockedSize() { return IsHorzDocked() ? horzSize : vertSize; }
  const CSize& MinDockedSize() const { return IsHorzDocked() ? minHorzSize : minVertSize; }
  // The length along the row and the thickness across it of a docked size.
  int Along(const CSize& s) const { return IsHorzDocked() ? s.cx : s.cy; }
  int Across(const CSize& s) const { return IsHorzDocked() ? s.cy : s.cx; }

  afx_msg int OnCreate(LPCREATESTRUCTA cs);
  afx_msg void OnSettingChange(UINT flags, LPCSTR section);
  afx_msg void OnNcCalcSize(BOOL calc_valid_rects, NCCALCSIZE_PARAMS* params);
  afx_msg LRESULT OnNcHitTest(CPoint p);
  afx_msg void OnNcLButtonDown(UINT hit, CPoint p);
  afx_msg void OnLButtonDown(UINT flags, CPoint p);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint p);
  afx_msg void OnLButtonUp(UINT flags, CPoint p);
  afx_msg void OnRButtonDown(UINT flags, CPoint p);
  afx_msg void OnMouseMove(UINT flags, CPoint p);
  afx_msg void OnCaptureChanged(CWnd* wnd);
  afx_msg void OnWindowPosChanging(WINDOWPOS* pos);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnClose();
  afx_msg void OnPaint();
  // The frame, drawn off screen: borders, background, the 3-D sizing edges
  // (kShowEdges) and the gripper.
  afx_msg void OnNcPaint();
  afx_msg LRESULT OnSetText(WPARAM wparam, LPARAM lparam);
  // The client area in window coordinates.
  CRect ClientInWindow();

  bool side_drag_ = false;  // the dragged edge lies between two bars of the row
};

class CSizingControlBarG : public CSizingControlBar {
  DECLARE_DYNAMIC(CSizingControlBarG)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kButtonSize = 11;
  UINT HitTest(CPoint screen) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disable_if_no_handler) override;
  virtual BOOL ShowsGrip() const { return !IsFloating(); }

  int gripThickness = 12;
  CPoint closeButton;  // window coordinates
  bool pushed = false, raised = false;

 protected:
  void ComputeClientArea(CRect& r, UINT dock_side) override;
  CRect CloseButtonRect();  // screen coordinates
  CRect CloseButtonInWindow() const;
  // The gripper's place beside the client area (window coordinates),
  // `thickness` pixels across.
  CRect GripRect(const CRect& client, int thickness) const;
  // Two raised strips and the close button.
  void PaintGrip(CDC* dc, const CRect& client) override;
  // Sunken while pushed, raised while hovered, flat otherwise.
  void PaintCloseButton(CDC* dc);
  afx_msg void OnNcLButtonUp(UINT hit, CPoint p);
};

class CSizingControlBarCF : public CSizingControlBarG {
  DECLARE_DYNAMIC(CSizingControlBarCF)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kCaptionBands = 64;
  CSizingControlBarCF();
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disable_if_no_handler) override;
  // The colour of gradient band `band` (0 at the start) between two colours.
  static COLORREF CaptionBand(COLORREF from, COLORREF to, int band);
  bool active = false;
  CString captionFace;

 protected:
  // The caption strip in the caption colours with the title, and the close
  // button over it.
  void PaintGrip(CDC* dc, const CRect& client) override;
  void PaintTitle(CDC* dc, const CRect& strip);
  afx_msg LRESULT OnSetCaption(WPARAM wparam, LPARAM lparam);
};
