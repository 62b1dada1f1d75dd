// The control base of the class library: a window that is also an
// automation object (its dispatch table, its event sinks), draws itself
// through OnDraw, exchanges its persistent properties (a version number
// here) and fires the stock mouse and key events for input to its own
// window. Controls are made by a plain factory call, not registered.
#pragma once

#include <afxext.h>
#include <qm_dispatch.h>

class CPropExchange {
 public:
  explicit CPropExchange(BOOL loading) : loading_(loading) {}
  BOOL IsLoading() const { return loading_; }
  // Loading: the stored version, or the default when none is stored;
  // saving: stores the version.
  BOOL ExchangeVersion(DWORD& version, DWORD default_version, BOOL use_default = TRUE);
  DWORD GetVersion() const { return version_; }
  void SetStoredVersion(DWORD v) { stored_ = v, has_stored_ = true; }
  bool HasStoredVersion() const { return has_stored_; }

 private:
  BOOL loading_;
  DWORD version_ = 0;
  DWORD stored_ = 0;
  bool has_stored_ = false;
};

// The stock events a control fires (EnableStockEvents).
#define QM_STOCK_MOUSEDOWN 0x01
#define QM_STOCK_MOUSEMOVE 0x02
#define QM_STOCK_MOUSEUP 0x04
#define QM_STOCK_KEYDOWN 0x08

// In the control's class: its automation members, one list.
#define DECLARE_DISPATCH_MAP()                                        \
 public:                                                              \
  const QmDispatchTable& GetDispatchTable() const override;          \
  void* DispatchThis() override { return this; }

class COleControl : public CWnd, public IDispatch {
  DECLARE_DYNAMIC(COleControl)
  DECLARE_MESSAGE_MAP()
 public:
  ~COleControl() override;
  // ---- Automation ----
  virtual const QmDispatchTable& GetDispatchTable() const;
  virtual void* DispatchThis() { return this; }
  HRESULT GetIDsOfNames(const LPOLESTR* names, UINT count, DISPID* ids) override;
  HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* arg_err) override;
  QmEventSource& Events() { return events_; }
  void EnableStockEvents(UINT mask) { stock_events_ = mask; }
  void FireMouseDown(SHORT button, SHORT shift, LONG x, LONG y);
  void FireMouseMove(SHORT button, SHORT shift, LONG x, LONG y);
  void FireMouseUp(SHORT button, SHORT shift, LONG x, LONG y);
  void FireKeyDown(SHORT* key, SHORT shift);

  // ---- Drawing, size, state ----
  virtual void OnDraw(CDC* dc, const CRect& bounds, const CRect& invalid);
  void SetInitialSize(int cx, int cy) { initial_ = CSize(cx, cy); }
  CSize GetInitialSize() const { return initial_; }
  void InitializeIIDs(const void* dispatch_iid, const void* events_iid) { iids_[0] = dispatch_iid, iids_[1] = events_iid; }
  virtual void DoPropExchange(CPropExchange* px);
  virtual void OnResetState();
  void ExchangeStockProps(CPropExchange*) {}
  void SetBorderStyle(short style) { border_style_ = style; }
  short GetBorderStyle() const { return border_style_; }
  void SetModifiedFlag(BOOL modified = TRUE) { modified_ = modified; }
  BOOL IsModified() const { return modified_; }
  // The "Properties" verb: shows the control's property page dialog.
  virtual BOOL OnProperties(LPMSG msg, HWND parent, LPCRECT rect);
  UINT m_nPropPageID = 0;

  // The control's window, as a container would make it.
  BOOL CreateControl(CWnd* parent, const RECT& rect, UINT id);
  BOOL OnWndMsg(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

 protected:
  afx_msg void OnPaint();
  QmEventSource events_;
  UINT stock_events_ = QM_STOCK_MOUSEDOWN | QM_STOCK_MOUSEMOVE | QM_STOCK_MOUSEUP | QM_STOCK_KEYDOWN;
  CSize initial_{100, 50};
  const void* iids_[2] = {nullptr, nullptr};
  short border_style_ = 0;
  BOOL modified_ = FALSE;
};

// Makes a control of a dynamically creatable class inside a parent window:
// the object, or null (the object is deleted) when it cannot be made.
COleControl* QmCreateControl(const CRuntimeClass* cls, CWnd* parent, const RECT& rect, UINT id);

// The module of a control library: its application object.
class COleControlModule : public CWinApp {
 public:
  using CWinApp::CWinApp;
};

// A property page: a dialog with a caption from the string table.
class COlePropertyPage : public CDialog {
 public:
  COlePropertyPage(UINT id, UINT caption_id) : CDialog(id), m_nCaptionID(caption_id) {}
  UINT m_nCaptionID;
  CString GetCaption() const;
};
