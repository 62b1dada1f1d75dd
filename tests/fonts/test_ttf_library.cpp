// TrueType fonts: reading native outline records, and glyphs through GDI.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_ttf_library.h"
#include "database/fonts/mb_ttf_name.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"

namespace {

const char kDejaVu[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char kLiberation[] = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

struct Native {
  std::vector<uint8_t> b;
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void u16(uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
  }
  void pt(int x, int y) {
    u32(static_cast<uint32_t>(x) << 16);
    u32(static_cast<uint32_t>(y) << 16);
  }
  // One contour; cb filled in by end().
  size_t begin(int x, int y) {
    size_t at = b.size();
    u32(0);
    u32(TT_POLYGON_TYPE);
    pt(x, y);
    return at;
  }
  void end(size_t at) {
    uint32_t cb = static_cast<uint32_t>(b.size() - at);
    std::memcpy(&b[at], &cb, 4);
  }
};

std::vector<std::vector<As_Pt>> read(const std::vector<uint8_t>& buf, As_Pt* end = nullptr) {
  MB_TTF_Outline o;
  EXPECT_EQ(o.Create(buf.data(), buf.size()), 1);
  std::vector<std::vector<As_Pt>> out;
  As_Pt e;
  ttfrender_to_ptsets(o, out, e);
  if (end) *end = e;
  return out;
}

TEST(TtfOutline, LinesBecomeCubicTriplesAndTheContourCloses) {
  Native n;
  size_t c = n.begin(0, 0);
  n.u16(TT_PRIM_LINE);
  n.u16(3);
  n.pt(10, 0);
  n.pt(10, 10);
  n.pt(0, 10);
  n.end(c);
  As_Pt end;
  auto cs = read(n.b, &end);
  ASSERT_EQ(cs.size(), 1u);
  const double want[13][2] = {{0, 0},  {10, 0}, {0, 0},  {10, 0}, {10, 10}, {10, 0}, {10, 10},
                              {0, 10}, {10, 10}, {0, 10}, {0, 0},  {0, 10},  {0, 0}};
  ASSERT_EQ(cs[0].size(), 13u);
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(cs[0][i].x(), want[i][0]) << i;
    EXPECT_EQ(cs[0][i].y(), want[i][1]) << i;
  }
  EXPECT_EQ(end.x(), 10);
  EXPECT_EQ(end.y(), 10);
}

TEST(TtfOutline, QuadraticSplinesAndClosedContours) {
  Native n;
  size_t c = n.begin(0, 0);
  n.u16(TT_PRIM_QSPLINE);
  n.u16(2);
  n.pt(4, 8);
  n.pt(8, 0);
  n.u16(TT_PRIM_LINE);
  n.u16(1);
  n.pt(0, 0);  // already back at the start: no closing piece
  n.end(c);
  auto cs = read(n.b);
  ASSERT_EQ(cs.size(), 1u);
  ASSERT_EQ(cs[0].size(), 7u);
  EXPECT_EQ(cs[0][1].x(), 2);
  EXPECT_EQ(cs[0][1].y(), 5);
  EXPECT_EQ(cs[0][2].x(), 5);
  EXPECT_EQ(cs[0][2].y(), 6);
  EXPECT_EQ(cs[0][3].x(), 8);
}

TEST(TtfOutline, FixedPointRoundsToNearest) {
  EXPECT_EQ(fixed_to_int(static_cast<int32_t>(0xFFFE8000u)), -1);
  EXPECT_EQ(fixed_to_int(0x00018000), 2);
  EXPECT_EQ(fixed_to_int(static_cast<int32_t>(0xFFFFC000u)), 0);
}

TEST(TtfOutline, RecordsAreCheckedAgainstTheBuffer) {
  Native n;
  size_t c = n.begin(0, 0);
  n.u16(TT_PRIM_CSPLINE);  // skipped
  n.u16(1);
  n.pt(3, 3);
  n.u16(TT_PRIM_LINE);
  n.u16(1000);  // more points than the contour holds
  n.pt(5, 5);
  n.end(c);
  auto cs = read(n.b);
  ASSERT_EQ(cs.size(), 1u);
  EXPECT_EQ(cs[0].size(), 1u);
  // A contour longer than the buffer, and every cut of a good buffer.
  Native bad = n;
  bad.b[0] = 0xFF;
  EXPECT_TRUE(read(bad.b).empty());
  Native good;
  size_t g = good.begin(0, 0);
  good.u16(TT_PRIM_QSPLINE);
  good.u16(3);
  good.pt(1, 1);
  good.pt(2, 0);
  good.pt(3, 3);
  good.end(g);
  for (size_t k = 0; k <= good.b.size(); ++k) read(std::vector<uint8_t>(good.b.begin(), good.b.begin() + k));
  // A header of another type ends the walk.
  Native other;
  other.u32(16);
  other.u32(25);
  other.pt(0, 0);
  EXPECT_TRUE(read(other.b).empty());
}

struct Laid {
  std::vector<As_Pt> pts;
  double pen_x;
};

Laid lay(MB_TTF_Library& lib, unsigned long code, double height) {
  As_Void_List out;
  As_Pt pen(100, 50, 0);
  Laid r;
  EXPECT_TRUE(lib.char_2_ptlist(code, out, pen, height, 1, false));
  for (As_Void_Node* n = out.head(); n; n = n->next()) {
    As_Pt_List* l = static_cast<As_Pt_List*>(n->entity());
    for (As_Pt_Node* p = l->head(); p; p = p->next()) r.pts.push_back(p->point());
    delete l;
  }
  r.pen_x = pen.x();
  return r;
}

TEST(TtfLibrary, NameAndFixedHeightFromTheFont) {
  MB_TTF_Library lib("DejaVuSans.ttf", kDejaVu);
  EXPECT_EQ(lib.font_type(), 1);
  EXPECT_TRUE(lib.is_ttf_font());
  EXPECT_EQ(lib.name(), MB_String("DejaVu Sans"));
  // The top of H: 1493 of 2048 units at a cell of 80 pixels.
  EXPECT_NEAR(lib.height(), 1493.0 * 80 / (1901 + 483), 0.5);
  // H laid out at height 10 is 10 tall.
  Laid h = lay(lib, 'H', 10);
  double top = 0;
  for (const As_Pt& p : h.pts) top = std::max(top, p.y() - 50);
  EXPECT_NEAR(top, 10.0, 1e-9);
}

TEST(TtfLibrary, ATextKeepsItsSizeWhateverWasDrawnBefore) {
  MB_TTF_Library fresh("DejaVuSans.ttf", kDejaVu);
  Laid a1 = lay(fresh, 'a', 10);
  MB_TTF_Library used("DejaVuSans.ttf", kDejaVu);
  lay(used, 'l', 10);  // taller than H and a
  lay(used, 'A', 10);
  Laid a2 = lay(used, 'a', 10);
  ASSERT_EQ(a1.pts.size(), a2.pts.size());
  for (size_t i = 0; i < a1.pts.size(); ++i) {
    EXPECT_DOUBLE_EQ(a1.pts[i].x(), a2.pts[i].x());
    EXPECT_DOUBLE_EQ(a1.pts[i].y(), a2.pts[i].y());
  }
  EXPECT_DOUBLE_EQ(a1.pen_x, a2.pen_x);
  EXPECT_EQ(used.cached_count(), 3u);
}

TEST(TtfLibrary, SpacesAdvanceAndWideCodesAreKept) {
  MB_TTF_Library lib("DejaVuSans.ttf", kDejaVu);
  Laid sp = lay(lib, ' ', 10);
  EXPECT_TRUE(sp.pts.empty());
  EXPECT_GT(sp.pen_x, 100.0);
  const MB_TTF_Char* c = lib.glyph(' ');
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(c->contours().empty());
  // 0x10041 is not 'A'.
  As_Void_List out;
  As_Pt pen(0, 0, 0);
  EXPECT_FALSE(lib.char_2_ptlist(0x10041, out, pen, 10, 1, false));
  EXPECT_EQ(out.head(), nullptr);
  EXPECT_EQ(pen.x(), 0.0);
}

// FreeType's advance of each character of a text, in outline units: font
// units at a cell (ascent plus descent) of the outline height.
std::vector<double> freetype_advances(const char* file, const std::string& text) {
  std::vector<double> out;
  FT_Library ft = nullptr;
  FT_Face face = nullptr;
  if (FT_Init_FreeType(&ft) != 0) return out;
  if (FT_New_Face(ft, file, 0, &face) == 0) {
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double cell = os2 ? double(os2->usWinAscent) + os2->usWinDescent : double(face->ascender) - face->descender;
    for (char ch : text) {
      if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_NO_SCALE) != 0) break;
      out.push_back(static_cast<double>(face->glyph->advance.x) * MB_TTF_Library::kOutlineHeight / cell);
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(ft);
  return out;
}

// The pen moves by FreeType's advances scaled as the text's height gives
// (height over the font's height), each within half the metrics' step of an
// outline unit: letters are spaced evenly, as the font spaces them.
TEST(TtfLibrary, ThePenMovesByTheFontsAdvances) {
  const std::string text = "Sample drawing: WAVE ill,i.j";
  for (const char* file : {kDejaVu, kLiberation}) {
    MB_TTF_Library lib("font.ttf", file);
    const std::vector<double> advances = freetype_advances(file, text);
    ASSERT_EQ(advances.size(), text.size()) << file;
    const double height = 8, scale = height / lib.height();
    const double step = 0.5 / MB_TTF_Library::kMetricsScale * scale;
    As_Pt pen(20, 20, 0);
    double expected = 20;
    for (size_t i = 0; i < text.size(); ++i) {
      As_Void_List out;
      ASSERT_TRUE(lib.char_2_ptlist(static_cast<unsigned char>(text[i]), out, pen, height, 1, false));
      for (As_Void_Node* n = out.head(); n; n = n->next()) delete static_cast<As_Pt_List*>(n->entity());
      expected += advances[i] * scale;
      EXPECT_NEAR(pen.x(), expected, step * static_cast<double>(i + 1)) << file << " after '" << text[i] << "'";
      EXPECT_EQ(pen.y(), 20.0);
    }
  }
}

// Glyphs keep the metrics of the integer outline records (the extents of
// each glyph within the records' rounding, the height from the top of H),
// and their curves are cut finely: zoomed a hundred times an O shows no
// corner, each chord turning by a few degrees where the integer cubic
// pieces turn by a quarter of a right angle and more.
TEST(TtfLibrary, OutlinesStaySmoothZoomedAndKeepTheirMetrics) {
  MB_TTF_Library lib("DejaVuSans.ttf", kDejaVu);
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  HFONT font = CreateFontA(MB_TTF_Library::kOutlineHeight, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, OUT_STROKE_PRECIS,
                           CLIP_STROKE_PRECIS, DRAFT_QUALITY, FIXED_PITCH | FF_MODERN, "DejaVu Sans");
  HGDIOBJ old = SelectObject(dc, font);
  struct Box {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    void add(double x, double y) {
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  };
  for (char ch : std::string("HOgoa8&")) {
    SCOPED_TRACE(std::string(1, ch));
    std::unique_ptr<MB_TTF_Outline> integer = CreateOutline(dc, static_cast<long>(ch));
    ASSERT_NE(integer, nullptr);
    std::vector<std::vector<As_Pt>> rounded;
    As_Pt end;
    ttfrender_to_ptsets(*integer, rounded, end);
    const MB_TTF_Char* glyph = lib.glyph(static_cast<uint32_t>(ch));
    ASSERT_NE(glyph, nullptr);
    Box was, now;
    for (const auto& contour : rounded)
      for (const As_Pt& p : contour) was.add(p.x(), p.y());
    for (const auto& contour : glyph->contours())
      for (const As_Pt& p : contour) now.add(p.x(), p.y());
    EXPECT_NEAR(now.x0, was.x0, 0.6);
    EXPECT_NEAR(now.x1, was.x1, 0.6);
    EXPECT_NEAR(now.y0, was.y0, 0.6);
    EXPECT_NEAR(now.y1, was.y1, 0.6);
    if (ch == 'H') {
      EXPECT_NEAR(lib.height(), was.y1, 0.5);
    }
  }
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);

  const MB_TTF_Char* o = lib.glyph('O');
  ASSERT_NE(o, nullptr);
  ASSERT_EQ(o->contours().size(), 2u);
  for (const std::vector<As_Pt>& contour : o->contours()) {
    ASSERT_GT(contour.size(), 3u);
    double worst = 0;
    for (size_t i = 0; i + 2 < contour.size(); ++i) {
      const double a1 = std::atan2(contour[i + 1].y() - contour[i].y(), contour[i + 1].x() - contour[i].x());
      const double a2 = std::atan2(contour[i + 2].y() - contour[i + 1].y(), contour[i + 2].x() - contour[i + 1].x());
      double turn = std::fabs(a2 - a1);
      if (turn > M_PI) turn = 2 * M_PI - turn;
      worst = std::max(worst, turn);
    }
    EXPECT_LT(worst * 180 / M_PI, 8.0);
  }
}

// Text lays glyphs straight into point sets; the points, the strokes and
// the pen are exactly those of the glyphs' point lists, the budget too.
TEST(TtfLibrary, PointSetsAreThePointListsExactly) {
  struct Case {
    const char* name;
    long budget;  // 0: none opened
    double height;
    As_Pt pen;
  };
  const Case cases[] = {
      {"plain", 0, 10, As_Pt(0, 0, 0)},
      {"odd height and placed pen", 0, 7.3, As_Pt(123.456, -78.9, 4.5)},
      {"budget runs out midway", 300, 2.5, As_Pt(1e6, 1e-3, 0)},
  };
  const unsigned long codes[] = {'W', 'a', ' ', 'g', 0x10041, '%', '@', 'i', 'W', 0x4E2D};
  MB_TTF_Library lib("DejaVuSans.ttf", kDejaVu);
  size_t unbudgeted = 0;
  for (const Case& c : cases) {
    std::vector<unsigned long> counts[2];
    std::vector<As_Pt> pts[2];
    As_Pt pens[2] = {c.pen, c.pen};
    std::vector<bool> drawn[2];
    for (int way = 0; way < 2; ++way) {
      std::unique_ptr<MB_Glyph_Budget> budget(c.budget ? new MB_Glyph_Budget(c.budget, MB_Glyph_Budget::kAlone)
                                                       : nullptr);
      for (unsigned long code : codes) {
        drawn[way].push_back(
            way == 0 ? lib.MB_Font_Library::char_2_ptsets(code, counts[0], pts[0], pens[0], c.height, 1, false, 0)
                     : lib.char_2_ptsets(code, counts[1], pts[1], pens[1], c.height, 1, false, 0));
      }
    }
    EXPECT_EQ(drawn[0], drawn[1]) << c.name;
    EXPECT_EQ(counts[0], counts[1]) << c.name;
    ASSERT_EQ(pts[0].size(), pts[1].size()) << c.name;
    EXPECT_FALSE(pts[0].empty()) << c.name;
    for (size_t i = 0; i < pts[0].size(); ++i) {
      ASSERT_EQ(pts[0][i].x(), pts[1][i].x()) << c.name << " point " << i;
      ASSERT_EQ(pts[0][i].y(), pts[1][i].y()) << c.name << " point " << i;
      ASSERT_EQ(pts[0][i].z(), pts[1][i].z()) << c.name << " point " << i;
    }
    EXPECT_EQ(pens[0].x(), pens[1].x()) << c.name;
    EXPECT_EQ(pens[0].y(), pens[1].y()) << c.name;
    if (c.budget)
      EXPECT_LT(pts[0].size(), unbudgeted) << c.name;
    else
      unbudgeted = pts[0].size();
  }
}

// A collection names its first face; the usual files of the Chinese faces
// stand for those faces when they are not at hand.
TEST(TtfLibrary, CollectionsAndChineseFileNamesFindTheirFaces) {
  char path[MAX_PATH];
  if (QmGdiFindFontFile("wqy-microhei.ttc", path, sizeof path) > 0) {
    MB_TTF_Library ttc("wqy-microhei.ttc");
    EXPECT_EQ(ttc.name(), MB_String("WenQuanYi Micro Hei"));
    EXPECT_NE(ttc.glyph(0xD6D0), nullptr);  // 中
  }
  const struct {
    const char* file;
    const char* face;
  } cases[] = {{"simsun.ttc", "SimSun"}, {"SIMSUN.TTF", "SimSun"}, {"simhei.ttf", "SimHei"},
               {"simkai.ttf", "KaiTi"},  {"simfang.ttf", "FangSong"}, {"no-such-font.ttf", "Arial"}};
  for (const auto& c : cases) {
    char face[64];
    get_ttf_name_of_missing_file(c.file, face, sizeof face);
    EXPECT_STREQ(face, c.face) << c.file;
  }
  MB_TTF_Library simsun("simsun.ttf");
  EXPECT_EQ(simsun.name(), MB_String("SimSun"));
  EXPECT_NE(simsun.glyph(0xD6D0), nullptr);
}

TEST(TtfLibrary, MissingFileFallsBackToArial) {
  MB_TTF_Library lib("no-such-font.ttf");
  EXPECT_EQ(lib.name(), MB_String("Arial"));
  Laid a = lay(lib, 'A', 10);  // Arial's stand-in draws
  EXPECT_FALSE(a.pts.empty());
}

}  // namespace
