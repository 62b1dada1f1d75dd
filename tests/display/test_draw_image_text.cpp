// The raster node and the system-font text node drawing on device contexts.
#include <gtest/gtest.h>
#include <ximage.h>

#include "database/entities/mb_text.h"
#include "database/fonts/mb_font_library.h"
#include "database/nodes/mb_draw_node.h"
#include "tests/surface/surface_probe.h"

namespace {

// A TrueType library known only by its face name.
struct Face_Font : MB_Font_Library {
  explicit Face_Font(const char* face) { name() = MB_String(face); }
  int font_type() const override { return 1; }
  MB_Result serialize(MB_File_IO&) const override { return MB_SUCCESS; }
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }
};

}  // namespace

TEST(DrawImage, StretchedOverTheMappedRectangle) {
  CxImage image;
  ASSERT_TRUE(image.Create(2, 2, 24));
  for (long y = 0; y < 2; ++y)
    for (long x = 0; x < 2; ++x) image.SetPixelColor(x, y, RGB(255, 0, 0));
  // Centre (5, 5), 4 wide and 2 high, scaled by 2: (6, 8) to (14, 12).
  MB_Draw_Image node(&image, As_Pt(5, 5, 0), 2.0, 4.0, 0.0, nullptr);
  EXPECT_EQ(node.draw_node_id(), MB_Draw_Node::DRAW_TRANS);
  const As_Tran view = scale_transf(2.0);

  CMyDC device;
  ASSERT_NE(make_surface(device, 20, 20), nullptr);
  clear_white(device.GetDC(), 20, 20);
  node.draw(device.GetDC(), view);
  const Probe probe(device);
  EXPECT_EQ(probe.painted(kWhite32), box(6, 8, 14, 12));
  EXPECT_EQ(GetPixel(device.GetDC(), 6, 8), RGB(255, 0, 0));

  CMyDC surface;
  ASSERT_NE(make_surface(surface, 20, 20), nullptr);
  clear_white(surface.GetDC(), 20, 20);
  node.draw(surface, view);
  EXPECT_EQ(Probe(surface).painted(kWhite32), box(6, 8, 14, 12));

  // Odd placements truncate each edge: centre 3.5, half-width 1.25.
  clear_white(surface.GetDC(), 20, 20);
  MB_Draw_Image(&image, As_Pt(3.5, 3.5, 0), 2.5, 2.5, 0.0, nullptr).draw(surface, As_Tran());
  EXPECT_EQ(Probe(surface).painted(kWhite32), box(2, 2, 4, 4));

  // No image, and placements far outside the int range: nothing, no fault.
  clear_white(surface.GetDC(), 20, 20);
  MB_Draw_Image().draw(surface, view);
  MB_Draw_Image(&image, As_Pt(1e300, -1e300, 0), 1e300, 1e300, 0.0, nullptr).draw(surface, view);
  EXPECT_TRUE(Probe(surface).painted(kWhite32).empty());
}

TEST(DrawTtfText, DrawsWithTheStyleFaceAtTheMappedPoint) {
  Face_Font face("SimSun");
  MB_Text text(As_Pt(5, 10, 0), MB_String("H"));
  text.text_style().height(20);
  text.text_style().font_lib(&face);
  MB_Draw_TTF_Text node(0x0000FF, &text);
  EXPECT_EQ(node.drawable(), &text);
  EXPECT_EQ(node.color(), 0x0000FF);
  EXPECT_EQ(node.draw_node_id(), MB_Draw_Node::DRAW_TTF_TEXT) << "asking for the id is safe";
  EXPECT_EQ(node.font_height(), 0);
  EXPECT_EQ(node.extra(0), 0);
  EXPECT_EQ(node.extra(1), 0);

  CMyDC drawn, expected, other_face;
  ASSERT_NE(make_surface(drawn, 80, 80), nullptr);
  ASSERT_NE(make_surface(expected, 80, 80), nullptr);
  ASSERT_NE(make_surface(other_face, 80, 80), nullptr);
  for (CMyDC* dc : {&drawn, &expected, &other_face}) {
    clear_white(dc->GetDC(), 80, 80);
    SetBkMode(dc->GetDC(), TRANSPARENT);
  }
  const int live = QmGdiLiveObjectCount();
  node.draw(drawn.GetDC(), scale_transf(2.0));
  EXPECT_EQ(node.font_height(), 40);
  EXPECT_EQ(QmGdiLiveObjectCount(), live) << "the font is deleted";
  const PixelSet ink = Probe(drawn).painted(kWhite32);
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.begin()->first, 10) << "the left of the text at the mapped x";
  for (const auto& p : ink) {
    EXPECT_GE(p.second, 20);
    EXPECT_LT(p.second, 60);
  }

  // The same pixels as the face drawn directly; not those of another face.
  auto direct = [](HDC hdc, const char* face_name) {
    HFONT f = CreateFontA(40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, face_name);
    HGDIOBJ old = SelectObject(hdc, f);
    TextOutA(hdc, 10, 20, "H", 1);
    SelectObject(hdc, old);
    DeleteObject(f);
  };
  direct(expected.GetDC(), "SimSun");
  direct(other_face.GetDC(), "");
  EXPECT_EQ(Probe(drawn).snapshot(), Probe(expected).snapshot());
  EXPECT_NE(Probe(drawn).snapshot(), Probe(other_face).snapshot());

  // The off-screen surface gets nothing; a node without a text draws nothing.
  CMyDC surface;
  ASSERT_NE(make_surface(surface, 20, 20), nullptr);
  clear_white(surface.GetDC(), 20, 20);
  node.draw(surface, As_Tran());
  MB_Draw_TTF_Text().draw(surface.GetDC(), As_Tran());
  EXPECT_TRUE(Probe(surface).painted(kWhite32).empty());
  text.text_style().font_lib(static_cast<MB_Font_Library*>(nullptr));
}
