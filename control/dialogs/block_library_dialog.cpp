// The block library panel and the library's window of its own.
#include "control/dialogs/block_library_dialog.h"

#include <qm_user.h>

#include <algorithm>
#include <vector>

#include "control/control_ids.h"
#include "control/control_texts.h"
#include "control/quill_view.h"
#include "control/tools/block_tools.h"
#include "control/wait_cursor.h"
#include "database/entities/mb_block.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "database/mb_resource.h"

namespace {

constexpr const char* kInitialName = "name";
constexpr const char* kInitialAngle = "0.";
constexpr const char* kInitialScale = "1.";
constexpr const char* kLibraryPattern = "*.qlf";
constexpr int kCellHeight = 80;
// The panel's layout in pixels: the scroll bar's width, the height kept for
// the fields under the strip, and the rows of labels and fields there.
constexpr int kScrollWidth = 15;
constexpr int kFieldsHeight = 100;
constexpr int kFirstRow = 100;  // above the bottom edge: the last row ends on it
constexpr int kRowPitch = 17;
constexpr int kRowHeight = 15;
constexpr int kLabelWidth = 50;
constexpr int kFieldLeft = 55;

// The panels alive, told when a view lets its drawing go.
std::vector<BlockLibraryDialog*>& panels() {
  static std::vector<BlockLibraryDialog*> all;
  return all;
}

BlockLibraryDialog* g_library_window = nullptr;

}  // namespace

std::string block_library_folder() {
  char dir[MAX_PATH] = {};
  if (!get_system_dir(dir) || !*dir) return std::string();
  return std::string(dir) + "lib/";
}

BEGIN_MESSAGE_MAP(BlockLibraryDialog, CDialog)
ON_CBN_SELCHANGE(quill::kLibraryList, OnLibrarySelected)
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_SIZE()
ON_WM_DESTROY()
ON_COMMAND(quill::kCommandLibraryHide, OnHide)
END_MESSAGE_MAP()

BlockLibraryDialog::BlockLibraryDialog()
    : CDialog(quill::kDialogBlockLibrary),
      library_name(kInitialName),
      block_name(kInitialName),
      angle(kInitialAngle),
      x_scale(kInitialScale),
      y_scale(kInitialScale) {
  panels().push_back(this);
}

BlockLibraryDialog::~BlockLibraryDialog() {
  release_drawing();
  auto& all = panels();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  if (g_library_window == this) g_library_window = nullptr;
}

void BlockLibraryDialog::register_template() {
  using namespace quill;
  QmDialogTemplate t{kDialogBlockLibrary, kTextLibrary, WS_CHILD, 0, 0, 106, 275, {}, {quill::kFaceDialog, quill::kPointsDialog}};
  t.items = {
      {kLibraryStrip, WC_STATICA, "", SS_SUNKEN, 0, 0, 96, 200},
      {kLibraryScroll, WC_SCROLLBARA, "", SBS_VERT, 96, 0, 10, 200},
      {kLibraryListLabel, WC_STATICA, kTextLibraryListLabel, 0, 0, 203, 33, 10},
      {kLibraryList, WC_COMBOBOXA, "", CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 37, 203, 59, 80},
      {kLibraryBlockNameLabel, WC_STATICA, kTextLibraryBlockLabel, 0, 0, 215, 33, 10},
      {kLibraryBlockName, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_DISABLED, 37, 215, 59, 10},
      {kLibraryAngleLabel, WC_STATICA, kTextLibraryAngleLabel, 0, 0, 227, 33, 10},
      {kLibraryAngle, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 37, 227, 59, 10},
      {kLibraryScaleXLabel, WC_STATICA, kTextScaleXLabel, 0, 0, 239, 33, 10},
      {kLibraryScaleX, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 37, 239, 59, 10},
      {kLibraryScaleYLabel, WC_STATICA, kTextScaleYLabel, 0, 0, 251, 33, 10},
      {kLibraryScaleY, WC_EDITA, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 37, 251, 59, 10},
      {kLibraryExplode, WC_BUTTONA, kTextExplode, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 263, 33, 10},
  };
  AfxRegisterDialog(t);
  qm_user_register_menu(kMenuBlockLibrary, {{0,
                                             kTextLibraryMenu,
                                             0,
                                             {{kCommandLibraryHide, kTextLibraryHide, 0, {}},
                                              {kCommandLibraryDockLeft, kTextLibraryDockLeft, 0, {}},
                                              {kCommandLibraryDockRight, kTextLibraryDockRight, 0, {}}}}});
}

void BlockLibraryDialog::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, quill::kLibraryStrip, strip_);
  DDX_Control(dx, quill::kLibraryScroll, scroll_);
  DDX_Control(dx, quill::kLibraryList, list_);
  DDX_CBString(dx, quill::kLibraryList, library_name);
  DDX_Text(dx, quill::kLibraryBlockName, block_name);
  DDX_Text(dx, quill::kLibraryAngle, angle);
  DDX_Text(dx, quill::kLibraryScaleX, x_scale);
  DDX_Text(dx, quill::kLibraryScaleY, y_scale);
  DDX_Check(dx, quill::kLibraryExplode, explode);
}

BOOL BlockLibraryDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  CRect client;
  strip_.GetClientRect(&client);
  strip_.size_to(client.Width(), client.Height());
  FillLibraryList();
  return TRUE;
}

void BlockLibraryDialog::FillLibraryList() {
  if (!list_.m_hWnd) return;
  list_.ResetContent();
  const std::string folder = block_library_folder();
  CFileFind finder;
  if (!folder.empty() && finder.FindFile((folder + kLibraryPattern).c_str())) {
    int count = 0;
    for (BOOL more = TRUE; more;) {
      more = finder.FindNextFile();
      if (finder.IsDots()) continue;
      ++count;
      if (!finder.IsDirectory() && count <= kMaxListed) list_.AddString(finder.GetFileName());
    }
  }
  list_.AddString(quill::kTextLibraryCurrentDrawing);
}

void BlockLibraryDialog::OnLibrarySelected() {
  Wait_Cursor wait;
  const int i = list_.GetCurSel();
  if (i < 0) return;
  list_.GetLBText(i, library_name);
  LoadLibraryDrawing(library_name);
  Invalidate();
}

void BlockLibraryDialog::release_drawing() {
  strip_.free_all();
  if (owned_) delete drawing_;
  drawing_ = nullptr;
  owned_ = false;
}

void BlockLibraryDialog::forget_drawing(const MB_Drawing* drawing) {
  if (!drawing) return;
  for (BlockLibraryDialog* p : panels()) {
    if (p->drawing_ != drawing || p->owned_) continue;
    p->release_drawing();
    if (p->scroll_.m_hWnd) {
      p->scroll_.SetScrollRange(0, 0);
      p->scroll_.SetScrollPos(0);
    }
    if (p->strip_.m_hWnd) p->strip_.Invalidate();
  }
}

void BlockLibraryDialog::LoadLibraryDrawing(const CString& name) {
  const bool on_screen = name == quill::kTextLibraryCurrentDrawing;
  const std::string path = block_library_folder() + static_cast<const char*>(name);
  if (!on_screen) {
    CFileFind finder;
    if (block_library_folder().empty() || !finder.FindFile(path.c_str())) return;
  }
  release_drawing();
  CQuillView* view = CQuillView::current();
  MB_Drawing* on_view = view ? view->operation().drawing() : nullptr;
  MB_Drawing* was_current = g_current_drawing;
  if (on_screen) {
    drawing_ = on_view;
  } else {
    // The new drawing makes itself the kernel's current one while it is read.
    auto* read = new MB_Drawing(MB_String(path.c_str()));
    MB_File_IO io;
    io.drawing(read);
    if (io.load_kzf(path.c_str())) {
      read->build_draw();
      drawing_ = read;
      owned_ = true;
    } else {
      // What a broken file held before the fault is not offered as blocks.
      delete read;
    }
  }
  g_current_drawing = on_view ? on_view : was_current;

  strip_.cell_height(kCellHeight);
  strip_.y_offset(0);
  if (drawing_) {
    for (MB_Object* o = drawing_->block_list().head(); o; o = o->next()) {
      if (o->object_id() != MB_Object::ID_BLOCK) continue;
      MB_Block* block = static_cast<MB_Block*>(o);
      if (!block->object_list().is_empty()) strip_.add_cell(block);
    }
  }
  if (scroll_.m_hWnd) {
    scroll_.SetScrollRange(0, strip_.count());
    scroll_.SetScrollPos(0);
  }
  if (strip_.m_hWnd) strip_.Invalidate();
}

void BlockLibraryDialog::scroll_to(int position) { scroll_.SetScrollPos(strip_.scroll_to(position)); }

void BlockLibraryDialog::OnVScroll(UINT code, UINT pos, CScrollBar*) {
  UpdateData(TRUE);
  int p = (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) ? static_cast<int>(pos) : scroll_.GetScrollPos();
  if (code == SB_LINEUP || code == SB_PAGEUP) --p;
  if (code == SB_LINEDOWN || code == SB_PAGEDOWN) ++p;
  scroll_to(p);
}

BOOL BlockLibraryDialog::OnMouseWheel(UINT, short delta, CPoint) {
  // Every turn toward the user goes back a cell, every turn away forward
  // one, whatever the size of the turn.
  if (delta != 0) {
    UpdateData(TRUE);
    scroll_to(scroll_.GetScrollPos() + (delta < 0 ? -1 : 1));
  }
  Default();
  return TRUE;
}

const BlockThumbnailCell* BlockLibraryDialog::press(UINT flags, CPoint p) {
  strip_.select_at(*this, p, flags);
  const BlockThumbnailCell* c = strip_.selected();
  if (c && c->block) SetDlgItemText(quill::kLibraryBlockName, c->block->name().ascii());
  return c && c->block ? c : nullptr;
}

void BlockLibraryDialog::OnLButtonDown(UINT flags, CPoint p) {
  press(flags, p);
  strip_.Invalidate();
}

void BlockLibraryDialog::OnLButtonDblClk(UINT flags, CPoint p) {
  if (const BlockThumbnailCell* c = press(flags, p)) {
    if (CQuillView* view = CQuillView::current()) {
      // The tool copies what it needs of the block while it is made.
      ControlTool::finish_making(new InsertBlockTool(quill::kToolInsertBlock, MB_String(quill::kTextCreateInsert),
                                                     &view->operation(), c->block));
    }
  }
  strip_.Invalidate();
}

void BlockLibraryDialog::OnRButtonDown(UINT, CPoint p) {
  CMenu menu;
  if (menu.LoadMenu(quill::kMenuBlockLibrary)) {
    if (CMenu* popup = menu.GetSubMenu(0)) {
      CPoint at = p;
      ClientToScreen(&at);
      popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, this);
    }
  }
  Default();
}

void BlockLibraryDialog::OnHide() {
  // The library's own window goes out of sight; a page stays where its
  // panel puts it.
  if (own_window_) ShowWindow(SW_HIDE);
}

void BlockLibraryDialog::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  const int a = cx - kScrollWidth;
  if (strip_.m_hWnd) strip_.MoveWindow(0, 0, a, cy - kFieldsHeight);
  if (scroll_.m_hWnd) scroll_.MoveWindow(a, 0, kScrollWidth, cy - kFieldsHeight);
  if (!GetDlgItem(quill::kLibraryListLabel)) return;
  const struct {
    UINT label, field;
  } rows[] = {
      {quill::kLibraryListLabel, quill::kLibraryList},     {quill::kLibraryBlockNameLabel, quill::kLibraryBlockName},
      {quill::kLibraryAngleLabel, quill::kLibraryAngle},   {quill::kLibraryScaleXLabel, quill::kLibraryScaleX},
      {quill::kLibraryScaleYLabel, quill::kLibraryScaleY}, {quill::kLibraryExplode, 0}};
  int y = cy - kFirstRow;
  for (const auto& r : rows) {
    if (CWnd* label = GetDlgItem(static_cast<int>(r.label))) label->MoveWindow(0, y, kLabelWidth, kRowHeight);
    if (CWnd* field = r.field ? GetDlgItem(static_cast<int>(r.field)) : nullptr)
      field->MoveWindow(kFieldLeft, y, a - kFieldLeft, kRowHeight);
    y += kRowPitch;
  }
}

void BlockLibraryDialog::OnDestroy() {
  release_drawing();
  CDialog::OnDestroy();
}

void BlockLibraryDialog::PostNcDestroy() {
  CDialog::PostNcDestroy();
  if (own_window_) delete this;
}

bool BlockLibraryDialog::create_own_window(CWnd* owner) {
  if (!owner || !owner->m_hWnd || !Create(quill::kDialogBlockLibrary, owner)) return false;
  // From here on the window's end frees the object.
  own_window_ = true;
  // Made as the child dialog the panel is, then lifted out of the owner into
  // a captioned window of its own that lives and dies with the owner's
  // top-level window.
  HWND top = owner->m_hWnd;
  while ((::GetWindowLongA(top, GWL_STYLE) & WS_CHILD) && ::GetParent(top)) top = ::GetParent(top);
  ModifyStyle(WS_CHILD, WS_POPUP | WS_CAPTION | WS_SYSMENU);
  ::SetParent(m_hWnd, nullptr);
  ::SetWindowLongPtrA(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(top));
  CRect client;
  GetClientRect(&client);
  OnSize(SIZE_RESTORED, client.Width(), client.Height());
  return true;
}

void quill_show_block_library(short flag) {
  if (flag != 1) {
    if (g_library_window && g_library_window->m_hWnd) g_library_window->ShowWindow(SW_HIDE);
    return;
  }
  if (!g_library_window) {
    CQuillView* view = CQuillView::current();
    if (!view) return;
    auto* made = new BlockLibraryDialog;
    if (!made->create_own_window(view)) {
      delete made;  // no window: the next call tries again
      return;
    }
    g_library_window = made;
  }
  g_library_window->ShowWindow(SW_SHOW);
}

BlockLibraryDialog* quill_block_library_window() { return g_library_window; }
