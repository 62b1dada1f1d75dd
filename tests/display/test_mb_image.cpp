// The image entity: where its raster lands, its rubber-band frame, picking,
// moving, copies and its properties.
#include <gtest/gtest.h>
#include <ximage.h>

#include <memory>

#include "database/entities/mb_image.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_rubber_band.h"
#include "database/mb_undo_redo.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_tran.h"
#include "tests/surface/surface_probe.h"
#include "view_fixture.h"

namespace {

CxImage* red_raster(int w, int h) {
  CxImage* raster = new CxImage;
  raster->Create(w, h, 24);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) raster->SetPixelColor(x, y, RGB(255, 0, 0));
  return raster;
}

// Centre (10, 10), 4 by 2 units.
MB_Image* placed_image(CxImage* raster) {
  MB_Image* image = new MB_Image(raster);
  image->center(As_Pt(10, 10, 0));
  image->width(4);
  image->height(2);
  image->build_draw();
  return image;
}

struct White_Surface {
  CMyDC dc;
  White_Surface(int w, int h) {
    make_surface(dc, w, h);
    clear_white(dc.GetDC(), w, h);
  }
};

}  // namespace

TEST(ImageEntity, RasterStretchedOverTheMappedRectangle) {
  std::unique_ptr<MB_Image> image(placed_image(red_raster(2, 2)));
  // Scale 2, then move by (100, 50): the centre lands on (120, 70).
  As_Tran view = scale_transf(2.0) * translate_transf(As_Vec(100, 50, 0));
  for (bool through_surface : {false, true}) {
    White_Surface s(200, 100);
    image->draw(through_surface ? nullptr : s.dc.GetDC(), s.dc, view);
    EXPECT_EQ(Probe(s.dc).painted(kWhite32), box(116, 68, 124, 72)) << through_surface;
  }
}

TEST(ImageEntity, RubberBandFrameInvertsAndIsUndoneByASecondDrawing) {
  std::unique_ptr<MB_Image> image(placed_image(red_raster(2, 2)));
  As_Tran view = scale_transf(4.0);
  White_Surface s(60, 60);
  const Probe probe(s.dc);
  const std::vector<uint8_t> before = probe.snapshot();
  g_is_rubbering = true;
  image->draw(s.dc.GetDC(), s.dc, view);
  const PixelSet frame = probe.painted(kWhite32);
  EXPECT_FALSE(frame.empty());
  EXPECT_TRUE(frame.count({32, 40}));   // the left edge, x = 8 * 4
  EXPECT_FALSE(frame.count({40, 40}));  // the inside: the raster is not painted
  EXPECT_EQ(GetROP2(s.dc.GetDC()), R2_COPYPEN);
  image->draw(s.dc.GetDC(), s.dc, view);
  g_is_rubbering = false;
  EXPECT_EQ(probe.snapshot(), before);

  // Without a raster nothing is drawn outside a rubber-band pass.
  MB_Image bare;
  bare.width(4);
  bare.height(2);
  bare.build_draw();
  bare.draw(s.dc.GetDC(), s.dc, view);
  EXPECT_EQ(probe.snapshot(), before);
  EXPECT_EQ(bare.get_int(MB_PROP_PIXEL_HEIGHT), 0);
  EXPECT_EQ(bare.get_int(MB_PROP_PIXEL_WIDTH), 0);
}

TEST(ImageEntity, PropertiesAndPicking) {
  std::unique_ptr<MB_Image> image(placed_image(red_raster(3, 5)));
  image->angle(0.25);
  image->alpha(700);
  EXPECT_EQ(image->object_id(), MB_Object::ID_IMAGE);
  EXPECT_EQ(image->object_type(), MB_Object::TYPE_IMAGE);
  const struct {
    int id;
    As_Pt p;
  } points[] = {{-6, As_Pt(10, 10, 0)}, {-9, As_Pt(8, 11, 0)}, {-10, As_Pt(12, 9, 0)}};
  for (const auto& q : points) {
    EXPECT_EQ(image->get_point(q.id).x(), q.p.x()) << q.id;
    EXPECT_EQ(image->get_point(q.id).y(), q.p.y()) << q.id;
  }
  EXPECT_EQ(image->get_real(MB_PROP_WIDTH), 4);
  EXPECT_EQ(image->get_real(MB_PROP_HEIGHT), 2);
  EXPECT_EQ(image->get_real(MB_PROP_ANGLE), 0.25);
  EXPECT_EQ(image->get_int(MB_PROP_PIXEL_HEIGHT), 5);
  EXPECT_EQ(image->get_int(MB_PROP_PIXEL_WIDTH), 3);
  EXPECT_EQ(image->get_int(MB_PROP_ALPHA), 700);

  As_Pt_List unused;
  const struct {
    As_Pt p;
    bool hit;
  } picks[] = {{As_Pt(7.5, 10, 0), true}, {As_Pt(12.5, 11.5, 0), true}, {As_Pt(7.49, 10, 0), false},
               {As_Pt(10, 8.4, 0), false}, {As_Pt(10, 10, 0), true}};
  for (const auto& q : picks) {
    As_Pt found;
    int kind = 777, extra = 0;
    EXPECT_EQ(image->pick(q.p, unused, 0.5, found, kind, extra), q.hit) << q.p.x() << " " << q.p.y();
    EXPECT_EQ(kind, 777);
    if (q.hit) {
      EXPECT_EQ(found.x(), q.p.x());
    }
  }
}

TEST(ImageEntity, MovingKeepsTheSizeAndIsRecorded) {
  MB_Drawing d;
  MB_Image* image = placed_image(nullptr);
  d.add_object(image);
  MB_Undo_Redo store(&d);
  store.rec_cmd_begin("move");
  image->translate(scale_transf(3.0));
  store.rec_cmd_end();
  EXPECT_EQ(image->center().x(), 30);
  EXPECT_EQ(image->width(), 4);
  EXPECT_EQ(image->height(), 2);
  As_Void_List touched;
  store.undo(touched);
  MB_Image* back = dynamic_cast<MB_Image*>(d.object_list().head());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->center().x(), 10);
}

TEST(ImageEntity, CopiesOwnTheirRaster) {
  MB_Image* original = placed_image(red_raster(2, 3));
  original->general().color(0x123456);
  original->alpha(9);
  MB_Object* target = nullptr;
  ASSERT_TRUE(original->copy_to(target));
  std::unique_ptr<MB_Image> copy(dynamic_cast<MB_Image*>(target));
  ASSERT_NE(copy, nullptr);
  MB_Image constructed(*original);
  MB_Image assigned;
  assigned = *original;
  MB_Image& alias = assigned;
  assigned = alias;
  delete original;
  for (MB_Image* c : {copy.get(), &constructed, &assigned}) {
    ASSERT_NE(c->image(), nullptr);
    EXPECT_EQ(c->image()->GetHeight(), 3u);
    EXPECT_EQ(c->image()->GetPixelColor(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(c->center().x(), 10);
    EXPECT_EQ(c->width(), 4);
    EXPECT_EQ(c->alpha(), 9);
  }
  EXPECT_EQ(copy->general().color(), 0x123456);
  EXPECT_NE(copy->image(), constructed.image());

  // Into an existing image, its raster is replaced by a copy.
  MB_Image into(red_raster(7, 7));
  MB_Object* existing = &into;
  ASSERT_TRUE(constructed.copy_to(existing));
  EXPECT_EQ(into.image()->GetWidth(), 2u);
  EXPECT_NE(into.image(), constructed.image());
}

TEST_F(ViewTest, RepaintShowsImageEntities) {
  MB_Image* image = new MB_Image(red_raster(20, 10));
  image->center(As_Pt(50, 50, 0));
  image->width(200);
  image->height(100);
  image->build_draw();
  op->drawing()->add_object(image);
  op->zoom_all();
  paint();
  const As_Pt centre = to_screen(As_Pt(50, 50, 0));
  const std::vector<uint32_t> pixels = window_pixels();
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(pixels[size_t(centre.y()) * 800 + size_t(centre.x())], rgb_of(RGB(255, 0, 0)));
  const As_Pt outside = to_screen(As_Pt(50, 120, 0));
  if (outside.y() >= 0) {
    EXPECT_NE(pixels[size_t(outside.y()) * 800 + size_t(outside.x())], rgb_of(RGB(255, 0, 0)));
  }
}
