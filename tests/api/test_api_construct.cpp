// Flat API: image entities from raster files, the list drawn into a box,
// entities to segments, deletion and the common file dialog.
#include <gtest/gtest.h>
#include <qm_user.h>
#include <unistd.h>
#include <ximage.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "database/entities/mb_block.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/mb_drawing.h"
#include "api/api_construct.h"
#include "api/api_create.h"
#include "api/api_create_curves.h"
#include "api/api_file_dialog.h"
#include "api/api_image.h"
#include "display/interaction/mb_operation.h"
#include "geometry/as_edge.h"
#include "geometry/as_void_list.h"
#include "tests/surface/surface_probe.h"

namespace {

// A folder of raster files made for the test, removed after it.
class Raster_Files {
 public:
  Raster_Files() {
    char name[] = "/tmp/qm_images_XXXXXX";
    dir_ = mkdtemp(name) ? name : "";
  }
  ~Raster_Files() {
    for (const std::string& f : made_) std::remove(f.c_str());
    rmdir(dir_.c_str());
  }
  // A w by h picture saved in that format.
  std::string picture(const char* name, int w, int h, DWORD format) {
    CxImage image;
    image.Create(w, h, 24);
    const std::string path = add(name);
    EXPECT_TRUE(image.Save(path.c_str(), format)) << path;
    return path;
  }
  std::string bytes(const char* name, const char* content) {
    const std::string path = add(name);
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs(content, f);
    std::fclose(f);
    return path;
  }
  std::string missing(const char* name) { return dir_ + "/" + name; }

 private:
  std::string add(const char* name) {
    made_.push_back(dir_ + "/" + name);
    return made_.back();
  }
  std::string dir_;
  std::vector<std::string> made_;
};

char* c_path(std::string& s) { return &s[0]; }

TEST(ApiImage, FormatCodeFollowsTheExtensionInAnyCase) {
  const struct {
    const char* path;
    int code;
  } cases[] = {
      {"a.bmp", 1},  {"a.gif", 2},  {"a.jpg", 3},     {"PHOTO.JPG", 3},  {"a.png", 4},  {"a.ico", 5},  {"d/a.tif", 6},
      {"a.tga", 7},  {"a.pcx", 8},  {"a.wmf", 10},    {"a.EMF", 10},     {"a.jp2", 11}, {"a.j2k", 11}, {"a.jpc", 12},
      {"a.j2c", 12}, {"a.pgx", 13}, {"a.pnm", 14},    {"a.pgm", 14},     {"a.ppm", 14}, {"a.ras", 15}, {".png", 4},
      {"a.txt", 0},  {"a.wbm", 0},  {"a.jpeg", -1},   {"a.tiff", -1},    {"png", -1},   {"ab", -1},    {"", -1},
      {"a.b.c", 0},  {"jpg", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(api_mb_image_format_code(c.path), c.code) << c.path;
  EXPECT_EQ(api_mb_image_format_code(nullptr), -1);
}

TEST(ApiImage, CreatorsLoadOnlyWhatDecodes) {
  Raster_Files files;
  std::string png = files.picture("plan.png", 6, 4, CXIMAGE_FORMAT_PNG);
  std::string jpg = files.picture("PHOTO.JPG", 5, 3, CXIMAGE_FORMAT_JPG);
  std::string broken = files.bytes("broken.png", "not a picture");
  std::string missing = files.missing("gone.png");
  std::string unknown = files.bytes("notes.txt", "text");

  ASSERT_EQ(g_current_drawing, nullptr);
  EXPECT_EQ(api_mb_create_image(c_path(png), As_Pt()), 0);

  MB_Drawing d;
  const intptr_t made = api_mb_create_image(c_path(png), As_Pt(1, 2, 0));
  ASSERT_NE(made, 0);
  MB_Image* image = reinterpret_cast<MB_Image*>(made);
  EXPECT_EQ(d.object_list().tail(), image);
  EXPECT_EQ(image->width(), 6);
  EXPECT_EQ(image->height(), 4);
  EXPECT_EQ(image->rect().lt().x(), -2);  // built
  EXPECT_EQ(image->rect().rb().y(), 0);
  EXPECT_NE(api_mb_create_image(c_path(jpg), As_Pt()), 0);

  for (std::string* bad : {&broken, &missing, &unknown}) {
    EXPECT_EQ(api_mb_create_image(c_path(*bad), As_Pt()), 0) << *bad;
  }
  EXPECT_EQ(api_mb_create_image(nullptr, As_Pt()), 0);
  EXPECT_EQ(d.object_list().count(), 2);

  // Into the block being defined.
  const double base[3] = {0, 0, 0};
  MB_Block* block = nullptr;
  ASSERT_TRUE(api_mb_create_block(block, "pictures", base));
  EXPECT_NE(api_mb_create_image(c_path(png), As_Pt()), 0);
  EXPECT_EQ(block->object_list().count(), 1);
  EXPECT_TRUE(api_mb_end_block(block));

  // Through an operation (built) or a drawing (not built).
  MB_Operation op;
  EXPECT_EQ(api_mb_create_image(op, c_path(png), As_Pt()), nullptr);
  MB_Drawing* owned = new MB_Drawing;
  op.init(nullptr, owned);
  MB_Image* through_op = api_mb_create_image(op, c_path(png), As_Pt(3, 3, 0));
  ASSERT_NE(through_op, nullptr);
  EXPECT_EQ(owned->object_list().tail(), through_op);
  EXPECT_EQ(through_op->rect().lt().x(), 0);
  EXPECT_EQ(api_mb_create_image(op, c_path(broken), As_Pt()), nullptr);
  MB_Image* into_drawing = api_mb_create_image(d, c_path(jpg), As_Pt(3, 3, 0));
  ASSERT_NE(into_drawing, nullptr);
  EXPECT_EQ(d.object_list().tail(), into_drawing);
  EXPECT_EQ(into_drawing->rect().lt().x(), 0);  // not built: the extents are still zero
  EXPECT_EQ(api_mb_create_image(d, c_path(missing), As_Pt()), nullptr);
  EXPECT_EQ(owned->object_list().count(), 1);
}

TEST(ApiConstruct, ListDrawnIntoABox) {
  MB_Lines square(5);
  const As_Pt corners[5] = {As_Pt(0, 0, 0), As_Pt(10, 0, 0), As_Pt(10, 10, 0), As_Pt(0, 10, 0), As_Pt(0, 0, 0)};
  for (int i = 0; i < 5; ++i) square.points()[i] = corners[i];
  square.build_draw();
  MB_Line flat(As_Pt(0, 5, 0), As_Pt(10, 5, 0));
  flat.build_draw();
  MB_Line dot(As_Pt(3, 3, 0), As_Pt(3, 3, 0));
  dot.build_draw();

  const struct {
    MB_Drawable* entity;
    PixelSet::value_type lowest, highest;  // painted corners
  } cases[] = {
      // 96 by 46 pixels of room: the factor is min(46 / 10, 96 / 10) = 4.6,
      // so 10 units span 46 pixels about (50, 25).
      {&square, {27, 2}, {73, 48}},
      // No height: the width alone gives 9.6 pixels per unit.
      {&flat, {2, 25}, {98, 25}},
  };
  for (const auto& c : cases) {
    CMyDC surface;
    make_surface(surface, 100, 50);
    HDC hdc = surface.GetDC();
    const Probe probe(surface);
    const uint32_t bg = probe.at(0, 0);
    HGDIOBJ pen = GetCurrentObject(hdc, OBJ_PEN);
    const int objects = QmGdiLiveObjectCount();
    As_Void_List list;
    list.add(c.entity);
    ASSERT_TRUE(api_mb_draw_object_list_on_dc(hdc, list, 50, 25, 100, 50));
    EXPECT_EQ(GetCurrentObject(hdc, OBJ_PEN), pen);
    EXPECT_EQ(QmGdiLiveObjectCount(), objects);
    const PixelSet painted = probe.painted(bg);
    ASSERT_FALSE(painted.empty());
    int x0 = 1000, y0 = 1000, x1 = -1, y1 = -1;
    for (const auto& p : painted) {
      x0 = std::min(x0, p.first), y0 = std::min(y0, p.second);
      x1 = std::max(x1, p.first), y1 = std::max(y1, p.second);
      EXPECT_EQ(GetPixel(hdc, p.first, p.second), RGB(255, 0, 0));
    }
    EXPECT_NEAR(x0, c.lowest.first, 1);
    EXPECT_NEAR(y0, c.lowest.second, 1);
    EXPECT_NEAR(x1, c.highest.first, 1);
    EXPECT_NEAR(y1, c.highest.second, 1);
  }

  CMyDC surface;
  make_surface(surface, 20, 20);
  As_Void_List list, empty;
  list.add(&dot);  // extents of no size: drawn at scale 1
  EXPECT_TRUE(api_mb_draw_object_list_on_dc(surface.GetDC(), list, 10, 10, 20, 20));
  EXPECT_FALSE(api_mb_draw_object_list_on_dc(nullptr, list, 10, 10, 20, 20));
  EXPECT_FALSE(api_mb_draw_object_list_on_dc(surface.GetDC(), empty, 10, 10, 20, 20));
  EXPECT_FALSE(api_mb_draw_object_list_on_dc(surface.GetDC(), list, 10, 10, 0, 20));
  EXPECT_FALSE(api_mb_draw_object_list_on_dc(surface.GetDC(), list, 10, 10, 20, 0));
}

TEST(ApiConstruct, ChainsLinesAndCirclesSplitIntoSegmentsButEllipsesDoNot) {
  MB_Lines chain(5);
  for (int i = 0; i < 5; ++i) chain.points()[i] = As_Pt(i, i * i, 0);
  MB_Line line(As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  MB_Circle circle(As_Pt(0, 0, 0), 2);
  circle.build_draw();
  MB_Ellipse ellipse(As_Pt(0, 0, 0), 2, 1, 0);
  ellipse.build_draw();
  const struct {
    MB_Drawable* entity;
    int segments;
  } cases[] = {{&chain, 4}, {&line, 1}, {&circle, circle.segment_set().count() - 1}, {&ellipse, 0}};
  for (const auto& c : cases) {
    As_Void_List entities, segments;
    entities.add(c.entity);
    api_mb_geom_2_segments(entities, segments);
    EXPECT_EQ(segments.size(), c.segments);
    int i = 0;
    for (As_Void_Node* n = segments.head(); n; n = n->next(), ++i) {
      As_Segment* s = static_cast<As_Segment*>(n->entity());
      EXPECT_EQ(s->parent(), c.entity);
      if (c.entity == &chain) {
        EXPECT_EQ(s->start_pos().y(), i * i);
        EXPECT_EQ(s->end_pos().y(), (i + 1) * (i + 1));
      }
      delete s;
    }
  }
  EXPECT_GT(circle.segment_set().count(), 2);
}

TEST(ApiConstruct, DeletingThroughTheOperationEmptiesTheDrawing) {
  MB_Operation op;
  op.init(nullptr, new MB_Drawing);
  const intptr_t circle = api_mb_create_circle(0, 0, 1);
  ASSERT_NE(circle, 0);
  EXPECT_TRUE(api_mb_delete_entity(reinterpret_cast<MB_Object*>(circle), op));
  EXPECT_EQ(op.drawing()->object_list().count(), 0);
  EXPECT_EQ(api_mb_rect_select(*op.drawing(), As_Pt(-5, 5, 0), As_Pt(5, -5, 0), true), 0);
}

TEST(ApiFileDialog, ChosenPathsFillTheBufferCancelsLeaveItAndFieldsAreSet) {
  qm_user_reset();
  char cwd[MAX_PATH];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);

  // Open: the path chosen comes back in the caller's buffer.
  char path[MAX_PATH] = "start.kzf";
  qm_user_push_file_dialog_answer("/home/user/plans/site.kzf");
  EXPECT_EQ(ShowFileDialog(nullptr, 1, path, nullptr, nullptr, nullptr), 1);
  EXPECT_STREQ(path, "/home/user/plans/site.kzf");

  // Save: cancelled, the buffer is left alone.
  qm_user_push_file_dialog_answer(nullptr);
  EXPECT_EQ(ShowFileDialog(nullptr, 0, path, "/srv/out", "Export", "Drawings\0*.kzf\0"), 0);
  EXPECT_STREQ(path, "/home/user/plans/site.kzf");

  // No answer queued: cancelled. A path too long for the buffer: refused.
  EXPECT_EQ(ShowFileDialog(nullptr, 1, path, nullptr, nullptr, nullptr), 0);
  qm_user_push_file_dialog_answer(std::string(MAX_PATH, 'a').c_str());
  EXPECT_EQ(ShowFileDialog(nullptr, 1, path, nullptr, nullptr, nullptr), 0);
  EXPECT_STREQ(path, "/home/user/plans/site.kzf");
  EXPECT_EQ(ShowFileDialog(nullptr, 1, nullptr, nullptr, nullptr, nullptr), 0);

  const std::vector<QmFileDialog>& shown = qm_user_file_dialogs();
  ASSERT_EQ(shown.size(), 4u);  // the null buffer showed nothing
  const QmFileDialog& open = shown[0];
  EXPECT_FALSE(open.save);
  EXPECT_EQ(open.struct_size, 76u);
  EXPECT_EQ(open.owner, nullptr);
  EXPECT_EQ(open.filter, std::string("All Files (*.*)\0*.*", 19));
  EXPECT_FALSE(open.custom_filter);
  EXPECT_EQ(open.filter_index, 0u);
  EXPECT_EQ(open.initial_file, "start.kzf");
  EXPECT_EQ(open.max_file, 260u);
  EXPECT_FALSE(open.file_title);
  EXPECT_EQ(open.initial_dir, cwd);
  EXPECT_EQ(open.title, "Open File");
  EXPECT_EQ(open.flags, DWORD(OFN_ENABLESIZING));
  EXPECT_EQ(open.default_ext, "*");
  EXPECT_FALSE(open.hook || open.template_name);
  EXPECT_TRUE(open.chosen);

  const QmFileDialog& save = shown[1];
  EXPECT_TRUE(save.save);
  EXPECT_EQ(save.filter, std::string("Drawings\0*.kzf", 14));
  EXPECT_EQ(save.initial_dir, "/srv/out");
  EXPECT_EQ(save.title, "Export");
  EXPECT_EQ(save.flags, DWORD(OFN_ENABLESIZING | OFN_OVERWRITEPROMPT));
  EXPECT_FALSE(save.chosen);
  EXPECT_FALSE(shown[3].chosen);
  EXPECT_EQ(shown[2].title, "Open File");
  qm_user_reset();
  EXPECT_TRUE(qm_user_file_dialogs().empty());
}

}  // namespace
