// IMAGE entities turned by their width vector and cut to their clip
// boundary: the picture turned, what lies outside the boundary transparent.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "database/entities/mb_image.h"
#include "tests/cadbridge/dxf_fixture.h"
#include "ximage.h"

namespace {

using ID = MB_Object;

// An IMAGE of the 4 x 2 picture pic.png at (10, 20), pixels of `u` and `v`,
// with the groups `more` (clip flag and boundary).
std::string image_dxf(const std::string& u, const std::string& v, const std::string& more) {
  return "0\nSECTION\n2\nENTITIES\n"
         "0\nIMAGE\n5\n40\n8\n0\n100\nAcDbRasterImage\n10\n10\n20\n20\n30\n0\n" +
         u + v + "13\n4\n23\n2\n340\n41\n70\n7\n" + more +
         "0\nENDSEC\n0\nSECTION\n2\nOBJECTS\n"
         "0\nIMAGEDEF\n5\n41\n100\nAcDbRasterImageDef\n1\npic.png\n10\n4\n20\n2\n0\nENDSEC\n0\nEOF\n";
}

TEST(DxfImageClip, PicturesTurnAndClip) {
  const std::string folder = dxf_temp_path("image_clip");
  mkdir(folder.c_str(), 0700);
  CxImage picture;
  ASSERT_TRUE(picture.Create(4, 2, 24));
  ASSERT_TRUE(picture.Save((folder + "/pic.png").c_str(), CXIMAGE_FORMAT_PNG));
  const std::string level_u = "11\n0.5\n21\n0\n31\n0\n", level_v = "12\n0\n22\n0.5\n32\n0\n";
  const std::string rect = "71\n1\n91\n2\n14\n-0.5\n24\n-0.5\n14\n1.5\n24\n1.5\n";
  const std::string triangle =
      "71\n2\n91\n4\n14\n-0.5\n24\n-0.5\n14\n3.5\n24\n-0.5\n14\n1.5\n24\n1.5\n14\n-0.5\n24\n-0.5\n";
  const struct {
    const char* name;
    std::string u, v, more;
    long width, height;  // of the raster
    double cx, cy, w, h;
    int transparent;  // pixels
  } cases[] = {
      {"level", level_u, level_v, "", 4, 2, 11, 20.5, 2, 1, 0},
      {"clipped to a rectangle", level_u, level_v, "280\n1\n" + rect, 4, 2, 11, 20.5, 2, 1, 4},
      {"clipped to a polygon", level_u, level_v, "280\n1\n" + triangle, 4, 2, 11, 20.5, 2, 1, 4},
      {"clipping off", level_u, level_v, "280\n0\n" + rect, 4, 2, 11, 20.5, 2, 1, 0},
      {"a quarter turn", "11\n0\n21\n0.5\n31\n0\n", "12\n-0.5\n22\n0\n32\n0\n", "", 2, 4, 9.5, 21, 1, 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder + "/drawing.dxf";
    dxf_write(path, image_dxf(c.u, c.v, c.more));
    Dxf_Load load;
    load.file(path);
    ASSERT_TRUE(load.ok);
    MB_Image* image = load.first<MB_Image>(ID::ID_IMAGE);
    ASSERT_NE(image, nullptr);
    CxImage* raster = image->image();
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(long(raster->GetWidth()), c.width);
    EXPECT_EQ(long(raster->GetHeight()), c.height);
    EXPECT_NEAR(image->center().x(), c.cx, 1e-12);
    EXPECT_NEAR(image->center().y(), c.cy, 1e-12);
    EXPECT_NEAR(image->width(), c.w, 1e-12);
    EXPECT_NEAR(image->height(), c.h, 1e-12);
    int transparent = 0;
    for (long y = 0; raster->AlphaIsValid() && y < c.height; ++y)
      for (long x = 0; x < c.width; ++x) transparent += raster->AlphaGet(x, y) == 0;
    EXPECT_EQ(transparent, c.transparent);
  }
  std::remove((folder + "/pic.png").c_str());
  std::remove((folder + "/drawing.dxf").c_str());
  rmdir(folder.c_str());
}

// Images of one picture keep sharing it through the whole load; only a
// turned or clipped one gets a picture of its own.
TEST(DxfImageClip, OnlyATurnedOrClippedImageCopiesItsPicture) {
  const std::string folder = dxf_temp_path("image_share");
  mkdir(folder.c_str(), 0700);
  CxImage picture;
  ASSERT_TRUE(picture.Create(4, 2, 24));
  ASSERT_TRUE(picture.Save((folder + "/pic.png").c_str(), CXIMAGE_FORMAT_PNG));
  // Each with a handle of its own, after the group 5 `h`.
  const auto level = [](const char* h) {
    return "0\nIMAGE\n5\n" + std::string(h) + "\n8\n0\n100\nAcDbRasterImage\n10\n0\n20\n0\n30\n0\n11\n0.5\n21\n0\n31\n0\n"
                            "12\n0\n22\n0.5\n32\n0\n13\n4\n23\n2\n340\n41\n70\n7\n";
  };
  const std::string turned = "0\nIMAGE\n5\n52\n8\n0\n100\nAcDbRasterImage\n10\n9\n20\n0\n30\n0\n11\n0.3\n21\n0.4\n31\n0\n"
                             "12\n-0.4\n22\n0.3\n32\n0\n13\n4\n23\n2\n340\n41\n70\n7\n";
  const std::string path = folder + "/drawing.dxf";
  dxf_write(path, "0\nSECTION\n2\nENTITIES\n" + level("50") + level("51") + turned + level("53") +
                      "0\nENDSEC\n0\nSECTION\n2\nOBJECTS\n"
                      "0\nIMAGEDEF\n5\n41\n100\nAcDbRasterImageDef\n1\npic.png\n10\n4\n20\n2\n0\nENDSEC\n0\nEOF\n");
  Dxf_Load load;
  load.file(path);
  ASSERT_TRUE(load.ok);
  std::vector<const CxImage*> rasters;
  for (MB_Object* o = load.drawing->object_list().head(); o; o = o->next())
    if (o->object_id() == ID::ID_IMAGE) rasters.push_back(static_cast<MB_Image*>(o)->raster());
  ASSERT_EQ(rasters.size(), 4u);
  const std::vector<const CxImage*> level_rasters = {rasters[0], rasters[1], rasters[3]};
  for (const CxImage* r : level_rasters) EXPECT_EQ(r, rasters[0]) << "a level image shares the picture";
  EXPECT_NE(rasters[2], rasters[0]) << "the turned image has its own";
  std::remove((folder + "/pic.png").c_str());
  std::remove(path.c_str());
  rmdir(folder.c_str());
}

}  // namespace
