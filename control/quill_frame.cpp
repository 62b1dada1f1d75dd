// The control's frame and its toolbars.
#include "control/quill_frame.h"

#include "control/control_state.h"

#include "control/control_ids.h"
#include "control/control_texts.h"

IMPLEMENT_DYNAMIC(QuillToolBar, CToolBar)

BOOL QuillToolBar::Make(CFrameWnd* frame, DWORD style, UINT id) {
  return CreateEx(frame, quill::kToolbarCtrlStyle, style, CRect(0, 0, 0, 0), id) && LoadToolBar(resource_);
}

LRESULT QuillToolBar::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  MSG m = {};
  m.hwnd = m_hWnd;
  m.message = msg;
  m.wParam = wparam;
  m.lParam = lparam;
  m.time = GetMessageTime();
  GetCursorPos(&m.pt);
  FilterToolTipMessage(&m);
  return CToolBar::WindowProc(msg, wparam, lparam);
}

// ---------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CQuillFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CQuillFrame, CFrameWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CQuillFrame* CQuillFrame::current_ = nullptr;

CQuillFrame::CQuillFrame()
    : creation_bar_(quill::kToolbarCreation),
      standard_bar_(quill::kToolbarStandard),
      modify_bar_(quill::kToolbarModify) {}

CQuillFrame::~CQuillFrame() {
  if (current_ == this) current_ = nullptr;
}

int CQuillFrame::OnCreate(LPCREATESTRUCTA cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  current_ = this;
  if (!standard_bar_.Make(this, quill::kStandardBarStyle, quill::kStandardBarId)) return -1;
  if (!creation_bar_.Make(this, quill::kCreationBarStyle, quill::kCreationBarId)) return -1;
  if (!modify_bar_.Make(this, quill::kModifyBarStyle, quill::kModifyBarId)) return -1;
  if (!side_bar_.Create(quill::kTextSideBarTitle, this, quill::kSideBarId, quill::kSideBarStyle)) return -1;
  side_bar_.SetBarStyle(side_bar_.GetBarStyle() | quill::kSideBarExtraStyle);
  EnableDocking(CBRS_ALIGN_ANY);
  side_bar_.EnableDocking(CBRS_ALIGN_ANY);
  DockControlBar(&side_bar_, AFX_IDW_DOCKBAR_LEFT);
  if (saved_layout_fits()) {
    side_bar_.LoadSizes(quill::kBarStateProfile);
    LoadBarState(quill::kBarStateProfile);
  }
  return 0;
}

bool CQuillFrame::saved_layout_fits() {
  CDockState state;
  state.LoadState(quill::kBarStateProfile);
  for (const CControlBarInfo* info : state.m_arrBarInfo) {
    for (UINT id : info->m_arrBarID) {
      // Ids of 0x10000 and above carry the bar's id in their low word.
      const UINT bar = id >= 0x10000 ? (id & 0xFFFF) : id;
      if (bar != 0 && !GetControlBar(bar)) return false;
    }
    if (!info->m_bFloating && !GetControlBar(info->m_nBarID)) return false;
  }
  return true;
}

void CQuillFrame::OnDestroy() {
  side_bar_.SaveSizes(quill::kBarStateProfile);
  SaveBarState(quill::kBarStateProfile);
  CFrameWnd::OnDestroy();
}

void quill_show_bar(Quill_Bar bar, BOOL show) {
  Quill_Control_State& state = quill_control_state();
  CQuillFrame* frame = CQuillFrame::current();
  CControlBar* target = nullptr;
  switch (bar) {
    case Quill_Bar::kCreation:
      state.creation_bar_shown = show != 0;
      if (frame) target = &frame->creation_bar();
      break;
    case Quill_Bar::kStandard:
      state.standard_bar_shown = show != 0;
      if (frame) target = &frame->standard_bar();
      break;
    case Quill_Bar::kModify:
      state.modify_bar_shown = show != 0;
      if (frame) target = &frame->modify_bar();
      break;
    case Quill_Bar::kSide:
      state.side_bar_shown = show;  // kept as given: any value but 0 shows it
      if (frame) frame->ShowControlBar(&frame->side_bar(), show, FALSE);
      return;
  }
  if (!target) return;
  frame->ShowControlBar(target, show != 0 ? TRUE : FALSE, FALSE);
  frame->RecalcLayout();
}
