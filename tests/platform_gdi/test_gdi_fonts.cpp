// Fonts of the software GDI: face resolution and native glyph outlines.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

struct Contour {
  int32_t start[2];
  std::vector<int32_t> last;  // the last point of the last record
  int records = 0;
};

// Walks the records as a reader must, checking each against the buffer.
std::vector<Contour> walk(const std::vector<uint8_t>& buf) {
  std::vector<Contour> out;
  size_t off = 0;
  while (off + 16 <= buf.size()) {
    uint32_t cb, type;
    std::memcpy(&cb, &buf[off], 4);
    std::memcpy(&type, &buf[off + 4], 4);
    EXPECT_EQ(type, static_cast<uint32_t>(TT_POLYGON_TYPE));
    EXPECT_LE(off + cb, buf.size());
    Contour c;
    std::memcpy(c.start, &buf[off + 8], 8);
    size_t at = off + 16;
    while (at < off + cb) {
      uint16_t kind, n;
      std::memcpy(&kind, &buf[at], 2);
      std::memcpy(&n, &buf[at + 2], 2);
      EXPECT_TRUE(kind == TT_PRIM_LINE || kind == TT_PRIM_QSPLINE);
      EXPECT_GT(n, 0);
      c.last.assign(2, 0);
      std::memcpy(c.last.data(), &buf[at + 4 + 8 * (n - 1)], 8);
      at += 4 + 8u * n;
      ++c.records;
    }
    EXPECT_EQ(at, off + cb);
    out.push_back(c);
    off += cb;
  }
  EXPECT_EQ(off, buf.size());
  return out;
}

// What `use` answers with a font of the face, 80 pixels tall, selected in dc.
template <class Use>
auto with_face(HDC dc, const char* face, Use use) {
  HFONT f = CreateFontA(80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, face);
  HGDIOBJ old = SelectObject(dc, f);
  auto answer = use();
  SelectObject(dc, old);
  DeleteObject(f);
  return answer;
}

class GdiFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    dc = CreateCompatibleDC(nullptr);
    font = CreateFontA(80, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS,
                       DRAFT_QUALITY, FIXED_PITCH | FF_MODERN, "DejaVu Sans");
    old = SelectObject(dc, font);
  }
  void TearDown() override {
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(font));
    DeleteDC(dc);
  }
  std::vector<uint8_t> outline(UINT code, GLYPHMETRICS* gm) {
    DWORD n = GetGlyphOutlineA(dc, code, GGO_NATIVE, gm, 0, nullptr, &kIdentity);
    if (n == GDI_ERROR) return {};
    std::vector<uint8_t> buf(n);
    EXPECT_EQ(GetGlyphOutlineA(dc, code, GGO_NATIVE, gm, n, buf.data(), &kIdentity), n);
    if (n > 0) {
      EXPECT_EQ(GetGlyphOutlineA(dc, code, GGO_NATIVE, gm, n - 1, buf.data(), &kIdentity), GDI_ERROR);
    }
    return buf;
  }
  HDC dc = nullptr;
  HFONT font = nullptr;
  HGDIOBJ old = nullptr;
};

TEST_F(GdiFonts, LetterOHasTwoClosedContours) {
  GLYPHMETRICS gm;
  std::vector<Contour> cs = walk(outline('O', &gm));
  ASSERT_EQ(cs.size(), 2u);
  for (const Contour& c : cs) {
    ASSERT_EQ(c.last.size(), 2u);
    EXPECT_EQ(c.last[0], c.start[0]);
    EXPECT_EQ(c.last[1], c.start[1]);
  }
  EXPECT_GT(gm.gmCellIncX, 30);
  EXPECT_LT(gm.gmCellIncX, 80);
}

TEST_F(GdiFonts, CapitalHeightAtACellOfEightyPixels) {
  GLYPHMETRICS gm;
  std::vector<Contour> cs = walk(outline('H', &gm));
  ASSERT_EQ(cs.size(), 1u);
  // DejaVu Sans: cap height 1493 of 2048 units, cell 1901 + 483 units.
  EXPECT_NEAR(gm.gmptGlyphOrigin.y, 1493.0 * 80 / (1901 + 483), 1.0);
}

TEST_F(GdiFonts, SpaceHasNoContoursButAnAdvance) {
  GLYPHMETRICS gm = {};
  EXPECT_EQ(GetGlyphOutlineA(dc, ' ', GGO_NATIVE, &gm, 0, nullptr, &kIdentity), 0u);
  EXPECT_GT(gm.gmCellIncX, 0);
  EXPECT_EQ(GetGlyphOutlineA(dc, 0x10041, GGO_NATIVE, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
  EXPECT_EQ(GetGlyphOutlineA(dc, 'A', 7, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
}

// DejaVu Sans has no hanzi: the outline comes from an installed face that
// has it, at DejaVu's em size, whether asked by GBK code or by Unicode.
TEST_F(GdiFonts, ACharacterTheFaceLacksComesFromAFaceThatHasIt) {
  char path[MAX_PATH];
  if (QmGdiFindFontFile("wqy-microhei.ttc", path, sizeof path) == 0) GTEST_SKIP() << "no CJK face installed";
  GLYPHMETRICS gbk = {}, wide = {};
  const std::vector<uint8_t> a = outline(0xD6D0, &gbk);  // 中 in GBK
  ASSERT_FALSE(a.empty());
  EXPECT_FALSE(walk(a).empty());
  const DWORD n = GetGlyphOutlineW(dc, 0x4E2D, GGO_NATIVE, &wide, 0, nullptr, &kIdentity);
  ASSERT_EQ(n, a.size());
  std::vector<uint8_t> b(n);
  EXPECT_EQ(GetGlyphOutlineW(dc, 0x4E2D, GGO_NATIVE, &wide, n, b.data(), &kIdentity), n);
  EXPECT_EQ(a, b);
  // A full-width character advances by one em: 2048 of DejaVu's 1901 + 483.
  EXPECT_NEAR(gbk.gmCellIncX, 2048.0 * 80 / (1901 + 483), 1.0);
  EXPECT_EQ(GetGlyphOutlineW(dc, 0x110000, GGO_NATIVE, &wide, 0, nullptr, &kIdentity), GDI_ERROR);
  // The CJK face maps ℃ to an empty glyph: in that face the sign has an
  // outline all the same, from a face that draws it.
  HFONT cjk = CreateFontA(80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "SimSun");
  SelectObject(dc, cjk);
  EXPECT_FALSE(walk(outline(0xA1E6, &gbk)).empty());  // ℃ in GBK
  SelectObject(dc, font);
  DeleteObject(cjk);
}

// Chinese face names (in GBK) resolve to the installed CJK face: their
// Latin letters are that face's; and every face of its collection can be
// had by its family.
TEST(GdiFontFaces, ChineseFaceNamesResolveToTheInstalledCjkFace) {
  char path[MAX_PATH];
  if (QmGdiFindFontFile("wqy-microhei.ttc", path, sizeof path) == 0) GTEST_SKIP() << "no CJK face installed";
  HDC dc = CreateCompatibleDC(nullptr);
  auto outline_of_a = [dc](const char* face) {
    return with_face(dc, face, [dc] {
      GLYPHMETRICS gm;
      std::vector<uint8_t> buf(GetGlyphOutlineA(dc, 'A', GGO_NATIVE, &gm, 0, nullptr, &kIdentity));
      GetGlyphOutlineA(dc, 'A', GGO_NATIVE, &gm, static_cast<DWORD>(buf.size()), buf.data(), &kIdentity);
      return buf;
    });
  };
  const std::vector<uint8_t> cjk = outline_of_a("WenQuanYi Micro Hei");
  ASSERT_FALSE(cjk.empty());
  EXPECT_NE(outline_of_a("DejaVu Sans"), cjk);
  // 宋体, 黑体, 仿宋, 楷体 and the Latin names of the first two.
  for (const char* face : {"\xCB\xCE\xCC\xE5", "\xBA\xDA\xCC\xE5", "\xB7\xC2\xCB\xCE", "\xBF\xAC\xCC\xE5", "SimSun",
                           "SimHei"}) {
    EXPECT_EQ(outline_of_a(face), cjk) << face;
  }
  // Each face of the collection answers to its own family, found through
  // fontconfig and among added files alike: the monospaced face advances
  // its i as far as its W, the first face does not.
  auto advances = [dc](const char* face) {
    return with_face(dc, face, [dc] {
      GLYPHMETRICS i = {}, w = {};
      GetGlyphOutlineA(dc, 'i', GGO_METRICS, &i, 0, nullptr, &kIdentity);
      GetGlyphOutlineA(dc, 'W', GGO_METRICS, &w, 0, nullptr, &kIdentity);
      return std::vector<int>{i.gmCellIncX, w.gmCellIncX};
    });
  };
  for (bool added : {false, true}) {
    SCOPED_TRACE(added ? "added" : "installed");
    if (added) {
      EXPECT_EQ(AddFontResourceExA(path, FR_PRIVATE, nullptr), 2);
    }
    const std::vector<int> first = advances("WenQuanYi Micro Hei"), mono = advances("WenQuanYi Micro Hei Mono");
    EXPECT_NE(first[0], first[1]);
    EXPECT_EQ(mono[0], mono[1]);
  }
  EXPECT_TRUE(RemoveFontResourceExA(path, FR_PRIVATE, nullptr));
  DeleteDC(dc);
}

TEST(GdiFontFiles, InstalledFontsAreFoundByFileName) {
  char path[MAX_PATH];
  if (QmGdiFindFontFile("DejaVuSans.ttf", path, sizeof path) == 0) GTEST_SKIP() << "DejaVu Sans not installed";
  EXPECT_EQ(QmGdiFindFontFile("dejavusans.TTF", path, sizeof path), std::strlen(path));
  EXPECT_STREQ(std::strrchr(path, '/'), "/DejaVuSans.ttf");
  EXPECT_EQ(QmGdiFindFontFile("DejaVuSans.ttf", path, 4), 0u) << "too small a buffer";
  for (const char* name : {"no-such-font.ttf", "dejavu/DejaVuSans.ttf", "", "DejaVuSans"}) {
    EXPECT_EQ(QmGdiFindFontFile(name, path, sizeof path), 0u) << name;
  }
}

TEST(GdiFontFaces, UnknownFacesAndNoFontStillGiveOutlines) {
  HDC dc = CreateCompatibleDC(nullptr);
  GLYPHMETRICS gm;
  // The DC's own font.
  EXPECT_NE(GetGlyphOutlineA(dc, 'A', GGO_NATIVE, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
  HFONT f = CreateFontA(80, 0, 0, 0, 0, 0, 0, 0, 1, 3, 2, 1, 49, "No Such Face");
  HGDIOBJ old = SelectObject(dc, f);
  EXPECT_NE(GetGlyphOutlineA(dc, 'A', GGO_NATIVE, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
  EXPECT_FALSE(DeleteObject(f));  // still selected
  SelectObject(dc, old);
  EXPECT_TRUE(DeleteObject(f));
  DeleteDC(dc);
  EXPECT_EQ(GetGlyphOutlineA(nullptr, 'A', GGO_NATIVE, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
}

}  // namespace
