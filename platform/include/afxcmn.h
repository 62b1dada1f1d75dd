// The common-control classes of the class library: tab, progress,
// animation and tooltip controls over the window system's classes.
#pragma once

#include <afxwin.h>

class CTabCtrl : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create(WC_TABCONTROLA, "", style, r, parent, id); }
  LONG InsertItem(int i, LPCSTR text);
  int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
  int SetCurSel(int i) { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(i))); }
  int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS)); }
};

class CProgressCtrl : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create(PROGRESS_CLASSA, "", style, r, parent, id); }
  void SetRange(short lo, short hi) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lo, hi)); }
  void SetRange32(int lo, int hi) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lo), hi); }
  int SetPos(int pos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos))); }
  int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
  int OffsetPos(int d) { return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(d))); }
  int SetStep(int step) { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step))); }
  int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
};

class CAnimateCtrl : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create(ANIMATE_CLASSA, "", style, r, parent, id); }
  BOOL Open(UINT id) { return static_cast<BOOL>(SendMessage(ACM_OPENA, 0, static_cast<LPARAM>(id))); }
  BOOL Play(UINT from, UINT to, UINT repeat) {
    return static_cast<BOOL>(SendMessage(ACM_PLAY, repeat, MAKELPARAM(from, to)));
  }
  BOOL Stop() { return static_cast<BOOL>(SendMessage(ACM_STOP)); }
  BOOL IsPlaying() const { return static_cast<BOOL>(SendMessage(ACM_ISPLAYING)); }
};

class CToolTipCtrl : public CWnd {
 public:
  BOOL Create(CWnd* parent, DWORD style = 0);
  BOOL AddTool(CWnd* wnd, LPCSTR text, LPCRECT rect = nullptr, UINT_PTR id = 0);
  void UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR id = 0);
  // The text of a tool ("" for none).
  void GetText(CString& text, CWnd* wnd, UINT_PTR id = 0) const;
  int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
  void Activate(BOOL on) { SendMessage(TTM_ACTIVATE, on); }
  // Hands the control a mouse message of a tool's window (TTM_RELAYEVENT).
  void RelayEvent(LPMSG msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
};
