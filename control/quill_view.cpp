// The control's drawing view.
#include "control/quill_view.h"

#include "control/control_texts.h"
#include "control/dialogs/block_library_dialog.h"
#include "control/file_guard.h"
#include "control/print_job.h"
#include "control/side_panel_bar.h"
#include "control/tools/select_tool.h"
#include "control/tools/tool_commands.h"
#include "control/wait_cursor.h"
#include "database/mb_drawing.h"
#include "database/mb_undo_redo.h"
#include "display/interaction/mb_mouse_tool.h"
#include "display/mb_draw_render.h"
#include "geometry/as_tran.h"

IMPLEMENT_DYNCREATE(CQuillView, CView)

BEGIN_MESSAGE_MAP(CQuillView, CView)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEWHEEL()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_ERASEBKGND()
ON_COMMAND(quill::kCommandUndo, OnUndo)
ON_COMMAND(quill::kCommandRedo, OnRedo)
ON_UPDATE_COMMAND_UI(quill::kCommandUndo, OnUpdateUndo)
ON_UPDATE_COMMAND_UI(quill::kCommandRedo, OnUpdateRedo)
ON_COMMAND(quill::kCommandNew, OnNewDrawing)
ON_COMMAND(quill::kCommandOpen, OnOpenDrawing)
ON_UPDATE_COMMAND_UI(quill::kCommandOpen, OnUpdateOpenDrawing)
ON_COMMAND(quill::kCommandOpenUrl, OnOpenUrl)
ON_COMMAND(quill::kCommandSave, OnSaveDrawing)
ON_COMMAND(quill::kCommandDelete, OnDeleteSelection)
ON_COMMAND(quill::kCommandZoomAll, OnZoomAll)
ON_COMMAND(quill::kCommandZoomOut, OnZoomOut)
ON_COMMAND(quill::kCommandZoomIn, OnZoomIn)
ON_COMMAND(quill::kCommandRefresh, OnRefresh)
ON_COMMAND(quill::kCommandFreeZoom, OnFreeZoom)
ON_COMMAND(quill::kCommandZoom3d, OnZoom3d)
ON_COMMAND(quill::kCommandSearchText, OnSearchText)
ON_COMMAND(quill::kCommandVersion, OnVersionInfo)
ON_COMMAND(quill::kCommandMenuVersion, OnVersionInfo)
ON_COMMAND(quill::kCommandHelp, OnHelp)
ON_COMMAND(quill::kCommandOnlineHelp, OnOnlineHelp)
ON_COMMAND(quill::kCommandInterfaceMenu, OnInterfaceMenu)
ON_COMMAND(quill::kCommandToggleCreationBar, OnToggleCreationBar)
ON_COMMAND(quill::kCommandToggleModifyBar, OnToggleModifyBar)
ON_COMMAND(quill::kCommandToggleSideBar, OnToggleSideBar)
ON_COMMAND(quill::kCommandPrint, OnPrintFile)
END_MESSAGE_MAP()

static_assert(quill::kCommandPrint == ID_FILE_PRINT, "the print button sends the class library's print command");

CQuillView* CQuillView::current_ = nullptr;

namespace {

constexpr UINT kKeyEnter = VK_RETURN;
constexpr double kZoomIn = 1.2;
constexpr double kZoomOut = 0.8;
constexpr double kPanShare = 0.25;  // of the client height
constexpr UINT kCharDelete = '.';

unsigned char g_permissions[quill::kPermissionCount];

}  // namespace

bool CQuillView::permitted(int i) { return i >= 0 && i < quill::kPermissionCount && g_permissions[i] != 0; }

void CQuillView::permit(int i, bool on) {
  if (i >= 0 && i < quill::kPermissionCount) g_permissions[i] = on ? 1 : 0;
}

double CQuillView::wheel_factor(short delta) {
  if (delta == 0) return 1.0;
  return delta < 0 ? kZoomOut : kZoomIn;
}

CQuillView::~CQuillView() {
  if (current_ == this) current_ = nullptr;
  drop_download();
}

int CQuillView::OnCreate(LPCREATESTRUCTA cs) {
  if (CView::OnCreate(cs) == -1) return -1;
  for (unsigned char& p : g_permissions) p = 1;
  save_directory_.Empty();
  // Whatever leaves the drawing, by any route, is let go of by the panels:
  // the property panel its entity, the library panels a borrowed drawing.
  operation_.leave_listener([this](MB_Operation::Leaving what, MB_Drawable* entity) {
    if (what == MB_Operation::Leaving::DRAWING) BlockLibraryDialog::forget_drawing(operation_.drawing());
    SidePanelBar::entities_leaving(what, entity);
  });
  operation_.init(m_hWnd, quill::kTextNewFile);
  operation_.compute_transf();
  current_ = this;
  creation_drawing_ = operation_.drawing();
  DragAcceptFiles(TRUE);
  return 0;
}

void CQuillView::OnDestroy() {
  if (current_ == this) current_ = nullptr;
  CView::OnDestroy();
}

BOOL CQuillView::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handler_info) {
  if (const Tool_Command* c = find_tool_command(id)) {
    // The select command starts its tool only where the select tool is
    // permitted; nothing happens otherwise.
    const bool allowed = c->kind != Tool_Command::SELECT || permitted(quill::kPermitDefaultSelect);
    if (code == static_cast<int>(CN_UPDATE_COMMAND_UI) && extra) {
      CCmdUI* ui = static_cast<CCmdUI*>(extra);
      ui->Enable(TRUE);
      // The block and array buttons are never shown checked.
      if (c->kind != Tool_Command::INSERT_BLOCK && c->kind != Tool_Command::CREATE_BLOCK &&
          c->kind != Tool_Command::ARRAY)
        ui->SetCheck(operation_.get_active_tool_id() == c->tool ? 1 : 0);
      return TRUE;
    }
    if (code == static_cast<int>(CN_COMMAND)) {
      if (handler_info) {  // only asked whether the command is handled
        handler_info->pTarget = this;
        return TRUE;
      }
      if (allowed && tool_command_ready(*c, operation_)) start_tool_command(id, &operation_);
      return TRUE;
    }
  }
  for (UINT nothing : quill::kCommandsDoingNothing) {
    // Handled, so enabled by the class library's default; they change nothing.
    if (id != nothing || code != static_cast<int>(CN_COMMAND)) continue;
    if (handler_info) handler_info->pTarget = this;
    return TRUE;
  }
  return CView::OnCmdMsg(id, code, extra, handler_info);
}

void CQuillView::OnDraw(CDC* dc) {
  if (MB_Draw_Render* r = operation_.draw_render()) r->draw(dc ? dc->GetSafeHdc() : nullptr);
}

void CQuillView::OnSize(UINT type, int cx, int cy) {
  CView::OnSize(type, cx, cy);
  CRect client;
  GetClientRect(&client);
  if (MB_Draw_Render* r = operation_.draw_render()) {
    HDC hdc = ::GetDC(m_hWnd);
    r->resize_quick_dc(hdc, client);
    operation_.compute_transf();
    ::ReleaseDC(m_hWnd, hdc);
  }
  Invalidate(TRUE);
}

void CQuillView::mouse(UINT msg, UINT flags, CPoint p) {
  POINT at = p;
  operation_.process_mouse_event(static_cast<int>(msg), flags, at);
}

void CQuillView::OnLButtonDown(UINT flags, CPoint p) {
  mouse(WM_LBUTTONDOWN, flags, p);
  Default();
}

void CQuillView::OnLButtonUp(UINT flags, CPoint p) {
  mouse(WM_LBUTTONUP, flags, p);
  Default();
}

void CQuillView::OnRButtonDown(UINT flags, CPoint p) {
  mouse(WM_RBUTTONDOWN, flags, p);
  Default();
}

void CQuillView::OnRButtonUp(UINT flags, CPoint p) {
  mouse(WM_RBUTTONUP, flags, p);
  Default();
}

void CQuillView::OnMouseMove(UINT flags, CPoint p) {
  mouse(WM_MOUSEMOVE, flags, p);
  Default();
  install_default_tool();
}

void CQuillView::install_default_tool() {
  if (operation_.get_active_tool() || !permitted(quill::kPermitDefaultSelect)) return;
  // The tool registers itself with the operation, which owns it.
  new SelectTool(quill::kSelectToolId, MB_String(quill::kTextSelect), &operation_);
}

BOOL CQuillView::OnMouseWheel(UINT, short delta, CPoint p) {
  if (MB_Mouse_Tool* tool = operation_.get_active_tool()) tool->rubber().reset();
  const double factor = wheel_factor(delta);
  if (factor != 1.0) {
    POINT at = p;  // the cursor, in screen coordinates
    ScreenToClient(&at);
    if (MB_Draw_Render* r = operation_.draw_render()) r->scale_view(factor, at.x, at.y);
    Invalidate(TRUE);
  }
  Default();
  return TRUE;
}

void CQuillView::OnKeyDown(UINT key, UINT, UINT) {
  if (key == kKeyEnter) {
    g_enter_key_flag = !g_enter_key_flag;
  } else if (g_enter_key_flag) {
    zoom_keys(key);
  } else {
    pan_keys(key);
  }
  Default();
}

void CQuillView::zoom_keys(UINT key) {
  if (key != VK_UP && key != VK_DOWN) return;
  MB_Draw_Render* r = operation_.draw_render();
  if (!r) return;
  Wait_Cursor wait;
  const RECT& s = r->scr_rect();
  r->scale_view(key == VK_UP ? kZoomIn : kZoomOut, s.left + (s.right - s.left) / 2, s.top + (s.bottom - s.top) / 2);
  Invalidate(TRUE);
}

void CQuillView::pan_keys(UINT key) {
  if (key != VK_LEFT && key != VK_UP && key != VK_RIGHT && key != VK_DOWN) return;
  MB_Draw_Render* r = operation_.draw_render();
  if (!r) return;
  Wait_Cursor wait;
  CRect client;
  GetClientRect(&client);
  const double d = r->screen_to_drawing().scaling() * (client.bottom - client.top) * kPanShare;
  As_Vec v;
  switch (key) {
    case VK_UP: v = As_Vec(0, -d, 0); break;
    case VK_DOWN: v = As_Vec(0, d, 0); break;
    case VK_LEFT: v = As_Vec(d, 0, 0); break;
    default: v = As_Vec(-d, 0, 0); break;
  }
  r->pan_view(v);
  Invalidate(TRUE);
}

void CQuillView::OnChar(UINT ch, UINT, UINT) {
  if (ch == kCharDelete) delete_selection();
  Default();
}

void CQuillView::delete_selection() {
  // One undoable command: the store keeps the removed entities, so undo
  // brings them back and nothing is freed under the selection.
  MB_Undo_Redo* store = operation_.undo_redo();
  if (store) store->rec_cmd_begin(quill::kTextDelete);
  operation_.delete_selection();
  if (store) store->rec_cmd_end();
}

BOOL CQuillView::OnEraseBkgnd(CDC*) { return TRUE; }

void CQuillView::step_history(bool undo) {
  operation_.clear_all_tools();
  operation_.clear_selectlist(false);
  As_Void_List touched;
  if (undo)
    operation_.undo(touched);
  else
    operation_.redo(touched);
  for (As_Void_Node* n = touched.head(); n; n = n->next())
    if (MB_Object* o = static_cast<MB_Object*>(n->entity()); o && o->is_drawable()) static_cast<MB_Drawable*>(o)->build_draw();
  operation_.redraw_all();
}

void CQuillView::OnUndo() { step_history(true); }

void CQuillView::OnRedo() { step_history(false); }

void CQuillView::OnPrintFile() {
  PrintJob job;
  job.operation = &operation_;
  Quill_Write_Check check;
  job.Print();
}

void CQuillView::OnUpdateUndo(CCmdUI* ui) { ui->Enable(operation_.is_can_undo()); }

void CQuillView::OnUpdateRedo(CCmdUI* ui) { ui->Enable(operation_.is_can_redo()); }
