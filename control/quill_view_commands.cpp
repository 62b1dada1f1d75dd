// The view's commands that start no tool: the drawing's file, the view's
// zoom, the dialogs, help and the interface menu.
#include <dlfcn.h>
#include <qm_user.h>
#include <shellapi.h>

#include "control/control_state.h"
#include "control/control_texts.h"
#include "control/dialogs/view_dialogs.h"
#include "control/file_dialog_helper.h"
#include "control/quill_frame.h"
#include "control/quill_view.h"
#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "display/mb_draw_render.h"

void CQuillView::OnNewDrawing() {
  if (!SaveModified()) return;
  operation_.delete_selection();
  operation_.clear_all_tools();
  // The new drawing keeps the zoom the old one was shown at.
  MB_Draw_Render* r = operation_.draw_render();
  const As_Tran zoom = r ? r->zoom_transf() : As_Tran();
  operation_.create_drawing(quill::kTextNewDrawing);
  r = operation_.draw_render();
  if (!r) return;
  r->zoom_transf(zoom);
  operation_.compute_transf();
  mark_saved();
  if (r->wnd()) ::InvalidateRect(r->wnd(), nullptr, TRUE);
}

void CQuillView::OnOpenDrawing() {
  char chosen[MAX_PATH] = "";
  const std::string filter = file_filter(quill::kTextOpenFilter);
  // A markup is read into the drawing that is open; any other file
  // replaces it.
  if (FileDialogHelper(m_hWnd, 1, chosen, "", quill::kTextOpenTitle, filter.c_str()) &&
      (is_file_ext(chosen, "rml") || SaveModified()))
    OpenDrawingByExtension(CString(chosen));
}

void CQuillView::OnUpdateOpenDrawing(CCmdUI* ui) { ui->SetCheck(0); }

void CQuillView::OnOpenUrl() {
  OpenUrlDialog dialog(this);
  if (dialog.DoModal() == IDOK && (is_file_ext(dialog.address, "rml") || SaveModified()))
    OpenDrawingByExtension(dialog.address);
}

void CQuillView::OnSaveDrawing() { SaveDrawingByExtension(); }

void CQuillView::OnDeleteSelection() { delete_selection(); }

void CQuillView::OnZoomAll() {
  operation_.zoom_all();
  Invalidate(TRUE);
}

void CQuillView::OnZoomOut() {
  operation_.scale_view(0.8);
  Invalidate(TRUE);
}

void CQuillView::OnZoomIn() {
  operation_.scale_view(1.2);
  Invalidate(TRUE);
}

void CQuillView::OnRefresh() { Invalidate(TRUE); }

void CQuillView::OnFreeZoom() { AfxMessageBox(quill::kTextFreeZoom, MB_OK); }

void CQuillView::OnZoom3d() { AfxMessageBox(quill::kTextNoZoom3d, MB_OK); }

void CQuillView::OnSearchText() {
  // The drawing shown now: the one the view was created with may be gone.
  SearchTextDialog dialog(operation_.drawing(), this);
  dialog.DoModal();
}

void CQuillView::OnVersionInfo() {
  VersionInfoDialog dialog(this, this);
  dialog.DoModal();
}

std::string CQuillView::help_path() {
  // The control's library, wherever the host loaded it from.
  Dl_info info;
  if (!dladdr(reinterpret_cast<const void*>(&CQuillView::help_path), &info) || !info.dli_fname) return "";
  const std::string library = info.dli_fname;
  const size_t slash = library.rfind('/');
  return (slash == std::string::npos ? std::string() : library.substr(0, slash + 1)) + quill::kTextHelpFile;
}

void CQuillView::OnHelp() {
  const std::string path = help_path();
  if (!path.empty() && file_exists(path))
    ::ShellExecuteA(m_hWnd, quill::kTextShellOpen, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  else
    AfxMessageBox(quill::kTextHelpMissing, MB_OK);
}

void CQuillView::OnOnlineHelp() {
  ::ShellExecuteA(m_hWnd, quill::kTextShellOpen, quill::kTextOnlineHelpAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

void CQuillView::OnInterfaceMenu() {
  CMenu menu;
  if (!menu.LoadMenu(quill::kMenuInterface)) return;
  CMenu* popup = menu.GetSubMenu(0);
  if (!popup) return;
  POINT at;
  ::GetCursorPos(&at);
  popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, this);
}

// The menu's toggles flip the same flags the host's properties set.
void CQuillView::OnToggleCreationBar() {
  quill_show_bar(Quill_Bar::kCreation, !quill_control_state().creation_bar_shown);
}

void CQuillView::OnToggleModifyBar() { quill_show_bar(Quill_Bar::kModify, !quill_control_state().modify_bar_shown); }

void CQuillView::OnToggleSideBar() { quill_show_bar(Quill_Bar::kSide, !quill_control_state().side_bar_shown); }
