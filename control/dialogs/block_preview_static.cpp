// The block thumbnail strip.
#include "control/dialogs/block_preview_static.h"

#include <algorithm>

#include "api/api_construct.h"
#include "database/entities/mb_block.h"
#include "geometry/as_void_list.h"

namespace {

constexpr size_t kCaptionBytes = 63;          // the caption buffer holds 64 with its NUL
constexpr COLORREF kSelectedFill = 0xFF0000;  // blue
constexpr COLORREF kFill = 0;
constexpr COLORREF kCaptionColor = 255;  // red
constexpr UINT kCaptionAlign = TA_BOTTOM | TA_CENTER;
constexpr UINT kToggleFlags = MK_LBUTTON | MK_CONTROL;
constexpr int kMargin = 3;  // between the strip's edge and its first cell

}  // namespace

bool paint_buffered(HDC dc, const RECT& area, COLORREF fill, const std::function<void(HDC)>& draw) {
  if (!dc || area.right <= 0 || area.bottom <= 0 || area.right <= area.left || area.bottom <= area.top) return false;
  HDC mem = ::CreateCompatibleDC(dc);
  HBITMAP bitmap = mem ? ::CreateCompatibleBitmap(dc, area.right, area.bottom) : nullptr;
  if (!bitmap) {
    if (mem) ::DeleteDC(mem);
    return false;
  }
  HGDIOBJ old_bitmap = ::SelectObject(mem, bitmap);
  HBRUSH brush = ::CreateSolidBrush(fill);
  ::FillRect(mem, &area, brush);
  draw(mem);
  ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, mem, area.left, area.top, SRCCOPY);
  ::SelectObject(mem, old_bitmap);
  ::DeleteObject(bitmap);
  ::DeleteObject(brush);
  ::DeleteDC(mem);
  return true;
}

std::string thumbnail_caption(const char* name) {
  if (!name) return std::string();
  std::string s(name);
  if (s.size() <= kCaptionBytes) return s;
  // Walk whole characters: a lead byte of 0x81..0xFE takes the next byte
  // with it, so the cut never separates a pair.
  size_t end = 0;
  while (end < kCaptionBytes) {
    const unsigned char c = static_cast<unsigned char>(s[end]);
    const size_t width = (c >= 0x81 && c <= 0xFE) ? 2 : 1;
    if (end + width > kCaptionBytes) break;
    end += width;
  }
  return s.substr(0, end);
}

bool BlockThumbnailCell::hit(int x, int y) const {
  const CRect r = rect();
  return r.left <= x && x <= r.right && r.top <= y && y <= r.bottom;
}

bool BlockThumbnailCell::draw(HDC dc) const {
  return paint_buffered(dc, rect(), selected ? kSelectedFill : kFill, [this](HDC mem) {
    const CRect r = rect();
    std::string caption;
    if (block) {
      As_Void_List objects;
      for (MB_Object* o = block->object_list().head(); o; o = o->next())
        if (o->is_drawable()) objects.add(o);
      api_mb_draw_object_list_on_dc(mem, objects, cx, cy, width, height);
      caption = thumbnail_caption(block->name().ascii());
    }
    const POINT border[5] = {
        {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}};
    ::Polyline(mem, border, 5);
    if (!block) return;
    HFONT font = ::CreateFontA(8, 0, 0, 0, 0, 0, 0, 0, 1, 3, 2, 1, 49, "system");
    HGDIOBJ old_font = font ? ::SelectObject(mem, font) : nullptr;
    ::SetBkMode(mem, TRANSPARENT);
    ::SetTextColor(mem, kCaptionColor);
    ::SetTextAlign(mem, kCaptionAlign);
    ::TextOutA(mem, cx, r.bottom, caption.c_str(), static_cast<int>(caption.size()));
    if (font) {
      ::SelectObject(mem, old_font);
      ::DeleteObject(font);
    }
  });
}

BEGIN_MESSAGE_MAP(BlockPreviewStatic, CStatic)
ON_WM_PAINT()
END_MESSAGE_MAP()

void BlockPreviewStatic::add_cell(MB_Block* block) {
  cells_.push_back(std::make_unique<BlockThumbnailCell>(block));
  layout();
}

void BlockPreviewStatic::layout() {
  const bool row = thickness_ < length_;
  int a = 0;
  for (const auto& c : cells_) {
    c->width = cell_width_;
    c->height = cell_height_;
    if (row) {
      c->cx = x_offset_ + a * (h_gap_ + cell_width_) + cell_width_ / 2 + kMargin;
      c->cy = cell_height_ / 2 + kMargin;
    } else {
      c->cx = cell_width_ / 2 + kMargin;
      c->cy = cell_height_ / 2 + a * (cell_height_ + v_gap_) + y_offset_ + kMargin;
    }
    ++a;
  }
}

int BlockPreviewStatic::scroll_to(int index) {
  const int p = std::clamp(index, 0, std::max(0, count() - 1));
  if (thickness_ < length_)
    x_offset_ = -p * (cell_width_ + h_gap_);
  else
    y_offset_ = -p * (cell_height_ + v_gap_);
  layout();
  Invalidate();
  return p;
}

BlockThumbnailCell* BlockPreviewStatic::select_at(const CWnd& from, CPoint p, UINT flags) {
  from.ClientToScreen(&p);
  ScreenToClient(&p);
  return select_at(p.x, p.y, flags);
}

void BlockPreviewStatic::free_all() {
  selected_ = nullptr;
  cells_.clear();
}

BlockThumbnailCell* BlockPreviewStatic::select_at(int x, int y, UINT flags) {
  selected_ = nullptr;
  for (const auto& c : cells_) {
    if (!c->hit(x, y)) continue;
    if (flags == kToggleFlags) {
      c->selected = !c->selected;
    } else {
      for (const auto& other : cells_) other->selected = false;
      c->selected = true;
    }
    selected_ = c.get();
    break;
  }
  return selected_;
}

void BlockPreviewStatic::paint(HDC dc, const RECT& client) const {
  paint_buffered(dc, client, kFill, [this](HDC mem) {
    for (const auto& c : cells_)
      if (c->cx >= 0) c->draw(mem);
  });
}

void BlockPreviewStatic::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  paint(dc.GetSafeHdc(), client);
}
