// The property list.
#include "control/property_list_ctrl.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "control/control_ids.h"
#include "control/file_dialog_helper.h"

namespace {

constexpr COLORREF kLabelFill = RGB(192, 192, 192);
constexpr COLORREF kReadOnlyText = RGB(170, 170, 170);
constexpr int kTextInset = 3;
constexpr int kClipInset = 10;  // the drag keeps the cursor this far inside the list
constexpr int kFontSize = 80;   // tenths of a point
constexpr const char* kFontFace = "MS Sans Serif";
constexpr const char* kFileTitle = "Select file";
constexpr const char* kFileTypes[][2] = {{"Gif Files (*.gif)", "*.gif"}};

// A whole number 0..255 with optional blanks around it, ending at `stop`;
// moves `p` past the stop. False for anything else.
bool read_component(const char*& p, char stop, int* out) {
  while (*p == ' ') ++p;
  if (*p < '0' || *p > '9') return false;
  int v = 0;
  for (int digits = 0; *p >= '0' && *p <= '9'; ++p, ++digits) {
    if (digits == 3) return false;
    v = v * 10 + (*p - '0');
  }
  while (*p == ' ') ++p;
  if (*p != stop || v > 255) return false;
  ++p;
  *out = v;
  return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(PropertyListCtrl, CListBox)
ON_WM_CREATE()
ON_CONTROL_REFLECT(LBN_SELCHANGE, OnSelChange)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_KILLFOCUS()
ON_CBN_SELCHANGE(quill::kPropertyDropDown, OnDropDownChange)
ON_CBN_KILLFOCUS(quill::kPropertyDropDown, OnDropDownKillFocus)
ON_EN_CHANGE(quill::kPropertyEdit, OnEditChange)
ON_EN_KILLFOCUS(quill::kPropertyEdit, OnEditKillFocus)
ON_BN_CLICKED(quill::kPropertyButton, OnButtonClick)
END_MESSAGE_MAP()

PropertyListCtrl::PropertyListCtrl() = default;

PropertyListCtrl::~PropertyListCtrl() {
  if (::GetCapture() == m_hWnd && m_hWnd) ::ReleaseCapture();
  if (dragging_) ::ClipCursor(nullptr);
}

COLORREF PropertyListCtrl::colour_of(const char* value) {
  if (!value || std::strncmp(value, "RGB(", 4) != 0) return RGB(0, 0, 0);
  const char* p = value + 4;
  int r = 0, g = 0, b = 0;
  if (!read_component(p, ',', &r) || !read_component(p, ',', &g) || !read_component(p, ')', &b) || *p != '\0')
    return RGB(0, 0, 0);
  return RGB(r, g, b);
}

void PropertyListCtrl::set_divider(int x) { divider_ = x < 1 ? 1 : x; }

int PropertyListCtrl::AddItem(PropertyRow* row) {
  const int i = AddString("");
  if (i >= 0) SetItemDataPtr(i, row);
  return i;
}

PropertyRow* PropertyListCtrl::row(int index) const {
  if (!m_hWnd || index < 0 || index >= GetCount()) return nullptr;
  return static_cast<PropertyRow*>(GetItemDataPtr(index));
}

BOOL PropertyListCtrl::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!CListBox::PreCreateWindow(cs)) return FALSE;
  cs.style &= ~static_cast<LONG>(LBS_SORT | LBS_OWNERDRAWVARIABLE);
  cs.style |= LBS_OWNERDRAWFIXED;
  return TRUE;
}

int PropertyListCtrl::OnCreate(LPCREATESTRUCTA cs) {
  if (CListBox::OnCreate(cs) == -1) return -1;
  start_up();
  return 0;
}

void PropertyListCtrl::PreSubclassWindow() {
  CListBox::PreSubclassWindow();
  start_up();
  current_row_ = 1;
}

void PropertyListCtrl::start_up() {
  divider_ = 0;
  dragging_ = false;
  size_cursor_ = ::LoadCursorA(nullptr, IDC_SIZEWE);
  arrow_cursor_ = ::LoadCursorA(nullptr, IDC_ARROW);
  font_.DeleteObject();
  font_.CreatePointFont(kFontSize, kFontFace);
  // The rows are drawn in it, as are the editors.
  SetFont(&font_);
  // A list from a dialog template measured its items before it was ours.
  MEASUREITEMSTRUCT mis = {};
  MeasureItem(&mis);
  SetItemHeight(0, mis.itemHeight);
}

void PropertyListCtrl::MeasureItem(LPMEASUREITEMSTRUCT mis) { mis->itemHeight = kItemHeight; }

void PropertyListCtrl::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (dis->itemID == static_cast<UINT>(-1)) return;
  const PropertyRow* r = reinterpret_cast<const PropertyRow*>(dis->itemData);
  if (!r) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  const CRect item(dis->rcItem);
  if (divider_ == 0) set_divider(item.Width() / 3);
  CRect label(item.left, item.top, divider_ - 1, item.bottom);
  CRect value(divider_, item.top, item.right, item.bottom);

  CBrush fill(kLabelFill);
  dc->FillRect(&label, &fill);
  dc->DrawEdge(&label, EDGE_ETCHED, BF_BOTTOM | BF_RIGHT);
  dc->DrawEdge(&value, EDGE_SUNKEN, BF_BOTTOM);
  dc->SetBkMode(TRANSPARENT);

  CRect label_text(label.left + kTextInset, label.top + kTextInset, label.right - kTextInset,
                   label.bottom + kTextInset);
  dc->DrawText(r->label, &label_text, DT_LEFT | DT_SINGLELINE);
  CRect value_text(value.left + kTextInset, value.top + kTextInset, value.right + kTextInset,
                   value.bottom + kTextInset);
  if (r->read_only) {
    const COLORREF old = dc->SetTextColor(kReadOnlyText);
    dc->DrawText(r->value, &value_text, DT_LEFT | DT_SINGLELINE);
    dc->SetTextColor(old);
    return;
  }
  if (r->kind == PropertyRow::kColour) {
    const CRect swatch(value.left + 1, value.top + 2, value.right - 2, value.bottom - 2);
    dc->FillSolidRect(&swatch, r->colour);
  }
  dc->DrawText(r->value, &value_text, DT_LEFT | DT_SINGLELINE);
}

void PropertyListCtrl::OnSelChange() { open_editor(); }

void PropertyListCtrl::open_editor() {
  PropertyRow* r = row(current_row_);
  CRect cell;
  if (!r || GetItemRect(current_row_, &cell) == LB_ERR) return;
  cell.left = divider_;
  if (button_.m_hWnd) button_.ShowWindow(SW_HIDE);

  if (r->kind == PropertyRow::kChoice) {
    open_kind_ = 0;
    if (drop_down_.m_hWnd) {
      drop_down_.MoveWindow(&cell);
    } else {
      CRect with_list(cell);
      with_list.bottom += kDropDownExtra;
      drop_down_.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | CBS_DROPDOWNLIST | CBS_NOINTEGRALHEIGHT, with_list, this,
                        quill::kPropertyDropDown);
      drop_down_.SetFont(&font_);
    }
    drop_down_.ResetContent();
    drop_down_.AddString("");
    // Every piece followed by '|'; what follows the last '|' is no choice.
    const CString& all = r->choices;
    for (int from = 0, bar; (bar = all.Find('|', from)) >= 0; from = bar + 1)
      drop_down_.AddString(all.Mid(from, bar - from));
    drop_down_.ShowWindow(SW_SHOW);
    drop_down_.SetFocus();
    const int match = drop_down_.FindStringExact(0, r->value);
    drop_down_.SetCurSel(match != CB_ERR ? match : 0);
    return;
  }

  open_row_ = current_row_;
  if (r->kind == PropertyRow::kText) {
    open_kind_ = 1;
    cell.bottom -= 3;
    if (edit_box_.m_hWnd) {
      edit_box_.MoveWindow(&cell);
    } else {
      edit_box_.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, cell, this, quill::kPropertyEdit);
      edit_box_.SetFont(&font_);
    }
    edit_box_.ShowWindow(SW_SHOW);
    edit_box_.SetFocus();
    edit_box_.SetWindowText(r->value);
    return;
  }

  open_kind_ = 2;
  if (cell.Width() > kButtonWidth) cell.left = cell.right - kButtonWidth;
  cell.bottom -= 3;
  if (button_.m_hWnd) {
    button_.MoveWindow(&cell);
  } else {
    button_.Create("...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, cell, this, quill::kPropertyButton);
    button_.SetFont(&font_);
  }
  button_.ShowWindow(SW_SHOW);
  button_.SetFocus();
}

void PropertyListCtrl::OnDropDownChange() {
  PropertyRow* r = row(current_row_);
  const int i = drop_down_.GetCurSel();
  if (r && i != CB_ERR) drop_down_.GetLBText(i, r->value);
}

void PropertyListCtrl::OnDropDownKillFocus() {
  drop_down_.ShowWindow(SW_HIDE);
  Invalidate();
}

void PropertyListCtrl::OnEditChange() {
  PropertyRow* r = row(current_row_);
  if (r && !r->read_only) edit_box_.GetWindowText(r->value);
}

void PropertyListCtrl::OnEditKillFocus() {
  edit_box_.ShowWindow(SW_HIDE);
  Invalidate();
  tell_owner();
}

void PropertyListCtrl::tell_owner() {
  if (changed_) changed_();
}

void PropertyListCtrl::OnButtonClick() {
  PropertyRow* r = row(current_row_);
  if (!r) return;
  switch (r->kind) {
    case PropertyRow::kColour: choose_colour(*r); break;
    case PropertyRow::kFile: choose_file(*r); break;
    case PropertyRow::kFont: choose_font(*r); break;
    default: break;
  }
}

void PropertyListCtrl::choose_colour(PropertyRow& r) {
  static COLORREF custom[16];
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = m_hWnd;
  cc.rgbResult = colour_of(r.value);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT;
  if (!::ChooseColorA(&cc)) return;
  const COLORREF c = cc.rgbResult;
  r.value.Format("RGB(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
  button_.ShowWindow(SW_HIDE);
  r.colour = c;
  tell_owner();
  Invalidate();
}

void PropertyListCtrl::choose_file(PropertyRow& r) {
  CString folder;
  if (!r.value.IsEmpty()) {
    const int cut = std::max(r.value.ReverseFind('\\'), r.value.ReverseFind('/'));
    if (cut >= 0) folder = r.value.Left(cut);
  }
  char path[MAX_PATH];
  const std::string filter = file_filter(kFileTypes);
  if (!FileDialogHelper(m_hWnd, 1, path, folder.IsEmpty() ? nullptr : static_cast<const char*>(folder), kFileTitle,
                        filter.c_str()))
    return;
  button_.ShowWindow(SW_HIDE);
  r.value = path;
  Invalidate();
}

void PropertyListCtrl::choose_font(PropertyRow& r) {
  LOGFONTA lf = {};
  CHOOSEFONTA cf = {};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = m_hWnd;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS;
  if (!::ChooseFontA(&cf)) return;
  button_.ShowWindow(SW_HIDE);
  r.value = CString(lf.lfFaceName, static_cast<int>(strnlen(lf.lfFaceName, LF_FACESIZE)));
  Invalidate();
}

void PropertyListCtrl::invert_line(int x) {
  CClientDC dc(this);
  const int old = dc.SetROP2(R2_NOT);
  dc.MoveTo(x, drag_top_);
  dc.LineTo(x, drag_bottom_);
  dc.SetROP2(old);
}

void PropertyListCtrl::OnLButtonDown(UINT flags, CPoint p) {
  if (!near_divider(p.x)) {
    dragging_ = false;
    CListBox::OnLButtonDown(flags, p);
    return;
  }
  ::SetCursor(size_cursor_);
  CRect bounds;
  GetWindowRect(&bounds);
  bounds.left += kClipInset;
  bounds.right -= kClipInset;
  ::ClipCursor(&bounds);
  if (drop_down_.m_hWnd) drop_down_.ShowWindow(SW_HIDE);
  if (edit_box_.m_hWnd) edit_box_.ShowWindow(SW_HIDE);
  CRect client;
  GetClientRect(&client);
  dragging_ = true;
  drag_top_ = client.top;
  drag_bottom_ = client.bottom;
  drag_x_ = p.x;
  invert_line(p.x);
  SetCapture();
}

void PropertyListCtrl::OnMouseMove(UINT flags, CPoint p) {
  if (dragging_) {
    invert_line(drag_x_);
    invert_line(p.x);
    drag_x_ = p.x;
    return;
  }
  if (near_divider(p.x)) {
    ::SetCursor(size_cursor_);
    return;
  }
  CListBox::OnMouseMove(flags, p);
}

void PropertyListCtrl::OnLButtonUp(UINT flags, CPoint p) {
  if (!dragging_) {
    BOOL outside = FALSE;
    current_row_ = static_cast<int>(ItemFromPoint(p, outside));
    CListBox::OnLButtonUp(flags, p);
    return;
  }
  dragging_ = false;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  ::ClipCursor(nullptr);
  invert_line(p.x);
  set_divider(p.x);
  Invalidate();
}

void PropertyListCtrl::OnKillFocus(CWnd* next) { CListBox::OnKillFocus(next); }
