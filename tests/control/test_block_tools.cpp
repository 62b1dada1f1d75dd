// The block thumbnail strip: layout, selection, captions and painting.
#include <string>

#include "control/dialogs/block_preview_static.h"
#include "tests/control/control_fixture.h"

namespace control_test {
namespace {

// ---- The strip ----

TEST(BlockThumbnailCell, CornersAndHitsIncludeTheEdges) {
  BlockThumbnailCell c;
  EXPECT_EQ(c.width, 40);
  EXPECT_EQ(c.height, 40);
  c.cx = 100, c.cy = 50, c.width = 80, c.height = 80;
  EXPECT_EQ(c.rect(), CRect(60, 10, 140, 90));
  EXPECT_TRUE(c.hit(60, 10));
  EXPECT_TRUE(c.hit(140, 90));
  EXPECT_FALSE(c.hit(141, 50));
  EXPECT_FALSE(c.hit(100, 9));
}

TEST(BlockPreviewStatic, LaysCellsOutInAColumnUnlessWiderThanTall) {
  BlockPreviewStatic strip;
  for (int i = 0; i < 3; ++i) strip.add_cell(nullptr);
  const CPoint column[] = {{43, 43}, {43, 126}, {43, 209}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(CPoint(strip.cell(i).cx, strip.cell(i).cy), column[i]) << i;
    EXPECT_EQ(strip.cell(i).width, 80);
  }
  strip.y_offset(-83);
  strip.layout();
  EXPECT_EQ(strip.cell(1).cy, 43);

  strip.size_to(400, 97);
  strip.y_offset(0);
  strip.x_offset(-83);
  strip.layout();
  const CPoint row[] = {{-40, 43}, {43, 43}, {126, 43}};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(CPoint(strip.cell(i).cx, strip.cell(i).cy), row[i]) << i;
}

TEST(BlockPreviewStatic, ControlClickTogglesOneCellAndAPlainClickSelectsOnlyOne) {
  BlockPreviewStatic strip;
  for (int i = 0; i < 3; ++i) strip.add_cell(nullptr);
  constexpr UINT kCtrlClick = MK_LBUTTON | MK_CONTROL;
  ASSERT_NE(strip.select_at(43, 43, kCtrlClick), nullptr);
  ASSERT_NE(strip.select_at(43, 126, kCtrlClick), nullptr);
  EXPECT_TRUE(strip.cell(0).selected && strip.cell(1).selected);
  EXPECT_EQ(strip.select_at(43, 43, kCtrlClick), &strip.cell(0));
  EXPECT_FALSE(strip.cell(0).selected) << "toggled off";
  EXPECT_TRUE(strip.cell(1).selected) << "the others stay";

  EXPECT_EQ(strip.select_at(43, 209, MK_LBUTTON), &strip.cell(2));
  EXPECT_FALSE(strip.cell(1).selected);
  EXPECT_TRUE(strip.cell(2).selected);

  EXPECT_EQ(strip.select_at(43, 300, MK_LBUTTON), nullptr);
  EXPECT_EQ(strip.selected(), nullptr);
  EXPECT_TRUE(strip.cell(2).selected) << "a miss changes no flag";
}

TEST(BlockPreviewStatic, CaptionsKeepAtMost63BytesAndWholeCharacters) {
  const std::string pair = "\xbf\xe9";  // 块
  const struct {
    std::string name;
    std::string caption;
  } cases[] = {
      {"door", "door"},
      {std::string(63, 'a'), std::string(63, 'a')},
      {std::string(200, 'a'), std::string(63, 'a')},
      {std::string(61, 'a') + pair + "b", std::string(61, 'a') + pair},
      {std::string(62, 'a') + pair, std::string(62, 'a')},  // the pair would straddle the cut
      {std::string(1, 'a') + std::string(100, '\xbf'), "a" + std::string(62, '\xbf')},
  };
  for (const auto& c : cases) EXPECT_EQ(thumbnail_caption(c.name.c_str()), c.caption) << c.name.size();
  EXPECT_EQ(thumbnail_caption(nullptr), "");
}

// A memory DC over a white 32-bit bitmap of 200 by 200 pixels (a DC made
// from none starts with a monochrome bitmap, as its compatible ones are).
struct Canvas {
  Canvas() {
    dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 200;
    info.bmiHeader.biHeight = -200;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = ::SelectObject(dc, bitmap);
    const RECT all = {0, 0, 200, 200};
    HBRUSH white = ::CreateSolidBrush(0xFFFFFF);
    ::FillRect(dc, &all, white);
    ::DeleteObject(white);
  }
  ~Canvas() {
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
  }
  COLORREF at(int x, int y) const { return ::GetPixel(dc, x, y) & 0xFFFFFF; }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

TEST(BlockPreviewStatic, CellsOutOfViewAreNotPainted) {
  Canvas canvas;
  BlockThumbnailCell above;
  above.cx = 43, above.cy = -40, above.width = 80, above.height = 80;  // bottom edge at 0
  above.selected = true;
  EXPECT_FALSE(above.draw(canvas.dc));
  BlockThumbnailCell left = above;
  left.cx = -45, left.cy = 43;
  EXPECT_FALSE(left.draw(canvas.dc));
  EXPECT_EQ(canvas.at(1, 1), 0xFFFFFFu);

  BlockThumbnailCell shown = above;
  shown.cy = 43;
  EXPECT_TRUE(shown.draw(canvas.dc));
  EXPECT_EQ(canvas.at(43, 43), 0xFF0000u) << "a selected cell is blue";

  // The strip skips a cell whose centre is scrolled left of its edge.
  Canvas strip_canvas;
  BlockPreviewStatic strip;
  strip.size_to(200, 97);
  strip.add_cell(nullptr);
  strip.add_cell(nullptr);
  strip.select_at(43, 43, MK_LBUTTON);
  strip.x_offset(-60);  // cell 0 centred at -17, reaching to 23
  strip.layout();
  strip.paint(strip_canvas.dc, CRect(0, 0, 200, 97));
  EXPECT_EQ(strip_canvas.at(10, 43), 0u) << "black strip, not the selected cell";
  EXPECT_EQ(strip_canvas.at(66, 43), 0u);
  EXPECT_EQ(strip_canvas.at(10, 150), 0xFFFFFFu) << "below the strip nothing changes";
}

}  // namespace
}  // namespace control_test
