// IMAGE entities: the picture beside the DXF file, by a path of another
// machine, missing, not a file, outside the DXF file's folder or on the
// network (then its frame).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "database/entities/mb_image.h"
#include "database/entities/mb_lines.h"
#include "exchange/cadbridge/dxf_image.h"
#include "exchange/cadbridge/dxf_record.h"
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
  // The DXF files and a picture in a folder of their own, inside another
  // that holds a picture the DXF files may not read.
  const std::string outer = dxf_temp_path("images");
  const std::string folder = outer + "/drawings";
  mkdir(outer.c_str(), 0700);
  mkdir(folder.c_str(), 0700);
  mkdir((folder + "/folder.png").c_str(), 0700);
  CxImage picture;
  ASSERT_TRUE(picture.Create(4, 2, 24));
  ASSERT_TRUE(picture.Save((folder + "/pic.png").c_str(), CXIMAGE_FORMAT_PNG));
  ASSERT_TRUE(picture.Save((outer + "/secret.png").c_str(), CXIMAGE_FORMAT_PNG));
  ASSERT_EQ(symlink("../secret.png", (folder + "/link.png").c_str()), 0);

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
      {"a folder", "folder.png", false, "not a regular file"},
      {"a device", "/dev/zero", false, "outside the drawing's folder"},
      {"climbing out", "../secret.png", false, "outside the drawing's folder"},
      {"outside by an absolute path", outer + "/secret.png", false, "outside the drawing's folder"},
      {"by a link leading out", "link.png", false, "outside the drawing's folder"},
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
  for (const char* name : {"/pic.png", "/link.png", "/drawing.dxf"}) std::remove((folder + name).c_str());
  rmdir((folder + "/folder.png").c_str());
  rmdir(folder.c_str());
  std::remove((outer + "/secret.png").c_str());
  rmdir(outer.c_str());
}

// A picture placed by several images is decoded once and shared; the
// pictures of a drawing share one budget, and one past it is left out (its
// images are frames, the reason names it).
TEST(DxfImage, PicturesAreDecodedOnceWithinOneBudget) {
  const std::string folder = dxf_temp_path("image_budget");
  mkdir(folder.c_str(), 0700);
  CxImage picture;
  ASSERT_TRUE(picture.Create(16, 8, 24));  // 384 bytes decoded
  for (const char* name : {"/a.png", "/b.png"}) ASSERT_TRUE(picture.Save((folder + name).c_str(), CXIMAGE_FORMAT_PNG));

  Dxf_Images images;
  images.folder(folder + "/");
  images.decoded_budget(500);
  const std::map<std::string, std::string> files = {{"A", "a.png"}, {"B", "b.png"}};
  const auto placed = [](const char* ref) { return DL_ImageData(ref, 0, 0, 0, 1, 0, 0, 0, 1, 0, 16, 8, 50, 50, 0); };
  std::vector<std::string> problems;
  std::unique_ptr<MB_Drawable> first(images.make(placed("A"), files, problems));
  std::unique_ptr<MB_Drawable> second(images.make(placed("A"), files, problems));
  std::unique_ptr<MB_Drawable> other(images.make(placed("B"), files, problems));
  ASSERT_EQ(first->object_id(), ID::ID_IMAGE);
  ASSERT_EQ(second->object_id(), ID::ID_IMAGE);
  const CxImage* shared = static_cast<MB_Image*>(first.get())->raster();
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(static_cast<MB_Image*>(second.get())->raster(), shared) << "decoded once";
  // A change to one image's picture is its own.
  static_cast<MB_Image*>(second.get())->image()->SetPixelColor(0, 0, RGB(255, 255, 255));
  EXPECT_EQ(shared->GetPixelColor(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(other->object_id(), ID::ID_LINES);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("b.png, which is left out"), std::string::npos) << problems[0];

  for (const char* name : {"/a.png", "/b.png"}) std::remove((folder + name).c_str());
  rmdir(folder.c_str());
}

// An image turned or clipped holds a copy of its own of the shared picture:
// the copies count against the same budget, so that many images of one
// large picture cannot multiply it. Past the budget the picture stays
// shared, level and whole, and the reason is said.
TEST(DxfImage, TurnedCopiesShareThePicturesBudget) {
  const std::string folder = dxf_temp_path("image_turn_budget");
  mkdir(folder.c_str(), 0700);
  CxImage picture;
  ASSERT_TRUE(picture.Create(16, 8, 24));  // 384 bytes decoded
  ASSERT_TRUE(picture.Save((folder + "/a.png").c_str(), CXIMAGE_FORMAT_PNG));

  Dxf_Images images;
  images.folder(folder + "/");
  images.decoded_budget(2000);
  const std::map<std::string, std::string> files = {{"A", "a.png"}};
  const DL_ImageData placed("A", 0, 0, 0, 1, 0, 0, 0, 1, 0, 16, 8, 50, 50, 0);
  const Dxf_Record quarter_turn{"IMAGE", {{11, "0"}, {21, "1"}, {12, "-1"}, {22, "0"}, {13, "16"}, {23, "8"}}};
  std::vector<std::string> problems;
  std::unique_ptr<MB_Drawable> first(images.make(placed, files, problems));
  std::unique_ptr<MB_Drawable> second(images.make(placed, files, problems));
  ASSERT_EQ(first->object_id(), ID::ID_IMAGE);
  ASSERT_EQ(second->object_id(), ID::ID_IMAGE);
  auto* one = static_cast<MB_Image*>(first.get());
  auto* two = static_cast<MB_Image*>(second.get());
  const CxImage* shared = two->raster();
  // The first turned copy and the picture fit in 2000 bytes; a second does not.
  images.turn_and_clip(*one, quarter_turn, problems);
  images.turn_and_clip(*two, quarter_turn, problems);
  EXPECT_EQ(one->raster()->GetWidth(), 8u);
  EXPECT_EQ(one->raster()->GetHeight(), 16u);
  EXPECT_EQ(two->raster(), shared);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("16 x 8 pixels is drawn neither clipped nor turned"), std::string::npos) << problems[0];

  std::remove((folder + "/a.png").c_str());
  rmdir(folder.c_str());
}

}  // namespace
