// The strip of block thumbnails in the block dialogs: square cells, each
// showing one block's objects fitted into it with the block's name below,
// laid out in a row when the strip is wider than tall, else in a column.
// The owner scrolls the strip by moving its offsets and laying it out again.
#pragma once

#include <afxwin.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class MB_Block;

// Paints `area` of the DC through a memory bitmap reaching from the DC's
// origin to the area's far corner: the area is filled, `draw` draws into
// the memory DC at the same coordinates, and the area is copied back.
// False, with nothing painted, when no part of the area lies right of and
// below the origin (the bitmap would have no size).
bool paint_buffered(HDC dc, const RECT& area, COLORREF fill, const std::function<void(HDC)>& draw);

// The caption of a thumbnail: the name cut to at most 63 bytes, never
// inside a double-byte GBK character.
std::string thumbnail_caption(const char* name);

struct BlockThumbnailCell {
  explicit BlockThumbnailCell(MB_Block* b = nullptr) : block(b) {}

  int cx = 0, cy = 0;  // centre, in the strip's client coordinates
  bool selected = false;
  MB_Block* block;  // not owned; null for an empty cell
  int width = 40, height = 40;

  // Halves by integer division, as the corners are placed.
  CRect rect() const { return CRect(cx - width / 2, cy - height / 2, cx + width / 2, cy + height / 2); }
  // Edges included.
  bool hit(int x, int y) const;
  // Paints the cell at its place on the DC; false, with nothing painted,
  // when no part of it lies right of and below the DC's origin.
  bool draw(HDC dc) const;
};

class BlockPreviewStatic : public CStatic {
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kCellSize = 80;
  static constexpr int kGap = 3;

  // Appends a cell for the block and lays the strip out again.
  void add_cell(MB_Block* block);
  void layout();
  int count() const { return static_cast<int>(cells_.size()); }
  void free_all();
  const BlockThumbnailCell& cell(int i) const { return *cells_[static_cast<size_t>(i)]; }
  // Selects the first cell under the point: with MK_LBUTTON | MK_CONTROL
  // alone its flag toggles, otherwise it becomes the only selected cell.
  // Null, with the flags unchanged, when no cell is there.
  BlockThumbnailCell* select_at(int x, int y, UINT flags);
  // The same at a point of another window's client area (the dialog that
  // holds the strip), converted to the strip's own coordinates.
  BlockThumbnailCell* select_at(const CWnd& from, CPoint p, UINT flags);
  BlockThumbnailCell* selected() const { return selected_; }
  // Scrolls so that the cell at `index`, kept within the cells, comes first
  // (along the row or down the column), lays out and repaints; the index
  // kept. Past either end the strip would move a whole cell beyond its cells.
  int scroll_to(int index);
  // The strip's extent: a row when thickness < length.
  void size_to(int length, int thickness) {
    length_ = length;
    thickness_ = thickness;
  }
  int x_offset() const { return x_offset_; }
  void x_offset(int x) { x_offset_ = x; }
  int y_offset() const { return y_offset_; }
  void y_offset(int y) { y_offset_ = y; }
  int cell_width() const { return cell_width_; }
  int cell_height() const { return cell_height_; }
  void cell_height(int h) { cell_height_ = h; }
  // Paints the strip, double-buffered, onto a DC of the client's size.
  void paint(HDC dc, const RECT& client) const;

 protected:
  afx_msg void OnPaint();

 private:
  std::vector<std::unique_ptr<BlockThumbnailCell>> cells_;
  BlockThumbnailCell* selected_ = nullptr;
  int length_ = 140, thickness_ = 140;
  int cell_width_ = kCellSize, cell_height_ = kCellSize;
  int x_offset_ = 0, y_offset_ = 0;
  int h_gap_ = kGap, v_gap_ = kGap;
};
