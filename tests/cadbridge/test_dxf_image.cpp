// IMAGE entities: the picture beside the DXF file, by a path of another
// machine, missing, on a device or on the network (then its frame).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>

#include "database/entities/mb_image.h"
#include "database/entities/mb_lines.h"
#include "tests/cadbridge/dxf_fixture.h"
#include "ximage.h"

namespace {

using ID = MB_Object;

// An IMAGE at (10, 20) of 4 x 2 pixels, each 0.5 units wide and high, and
// its IMAGEDEF naming `file`.
std::string image_dxf(const std::string& file) {
  return "0\nSECTION\n2\nENTITIES\n"
         "0\nIMAGE\n5\n40\n8\n0\n100\nAcDbRasterImage\n10\n10\n20\n20\n30\n0\n11\n0.5\n21\n0\n31\n0\n"
         "12\n0\n22\n0.5\n32\n0\n13\n4\n23\n2\n340\n41\n70\n7\n"
         "0\nENDSEC\n0\nSECTION\n2\nOBJECTS\n"
         "0\nIMAGEDEF\n5\n41\n100\nAcDbRasterImageDef\n1\n" +
         file + "\n10\n4\n20\n2\n0\nENDSEC\n0\nEOF\n";
}

TEST(DxfImage, PicturesAreFoundBesideTheFileOrRefused) {
  // The DXF files and a picture in a folder of their own.
  const std::string folder = dxf_temp_path("images");
  mkdir(folder.c_str(), 0700);
  CxImage picture;
  ASSERT_TRUE(picture.Create(4, 2, 24));
  ASSERT_TRUE(picture.Save((folder + "/pic.png").c_str(), CXIMAGE_FORMAT_PNG));

  const struct {
    const char* what;
    std::string file;
    bool raster;
    const char* why;
  } cases[] = {
      {"beside the DXF", "pic.png", true, nullptr},
      {"by another machine's path", "C:\\Drawings\\Pictures\\pic.png", true, nullptr},
      {"by an absolute path", folder + "/pic.png", true, nullptr},
      {"missing", "gone.png", false, "missing"},
      {"a device", "/dev/zero", false, "not a regular file"},
      {"on the network", "\\\\server\\share\\pic.png", false, "network"},
      {"by URL", "http://127.0.0.1/pic.png", false, "network"},
  };
  Dxf_Log_Folder log_folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = folder + "/drawing.dxf";
    dxf_write(path, image_dxf(c.file));
    Dxf_Load load;
    load.file(path);
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.result, c.raster ? kCadbridgeLoaded : kCadbridgePartly);
    // Placed by its corner and pixel size: the picture, or else its frame.
    ASSERT_EQ(load.drawing->object_list().count(), 1);
    if (c.raster) {
      MB_Image* image = load.first<MB_Image>(ID::ID_IMAGE);
      ASSERT_NE(image, nullptr);
      ASSERT_NE(image->image(), nullptr);
      EXPECT_DOUBLE_EQ(image->center().x(), 11.0);
      EXPECT_DOUBLE_EQ(image->center().y(), 20.5);
      EXPECT_DOUBLE_EQ(image->width(), 2.0);
      EXPECT_DOUBLE_EQ(image->height(), 1.0);
    } else {
      MB_Lines* frame = load.first<MB_Lines>(ID::ID_LINES);
      ASSERT_NE(frame, nullptr);
      ASSERT_EQ(frame->count(), 5);
      const double corners[5][2] = {{10, 20}, {12, 20}, {12, 21}, {10, 21}, {10, 20}};
      for (int k = 0; k < 5; ++k) {
        EXPECT_DOUBLE_EQ(frame->points()[k].x(), corners[k][0]);
        EXPECT_DOUBLE_EQ(frame->points()[k].y(), corners[k][1]);
      }
    }
    if (c.why) {
      // The kernel's log says why.
      const std::string text = log_folder.log();
      const size_t last = text.rfind("an IMAGE ");
      ASSERT_NE(last, std::string::npos);
      EXPECT_NE(text.find(c.why, last), std::string::npos) << text.substr(last, 200);
    }
  }
  std::remove((folder + "/pic.png").c_str());
  std::remove((folder + "/drawing.dxf").c_str());
  rmdir(folder.c_str());
}

}  // namespace
