// Writes the small seed corpora of the fuzz targets into a folder given on
// the command line: shx/ (built fonts of each kind, with the shared real
// fonts added by run_fuzzers.sh), image/ (one small picture per format and
// format id, made by the stand-in's own encoders), ttf/ (a minimal font with
// a name table), text/ (GBK, UTF-8 and UTF-16 samples), shp/ (shape-font
// source text) and outline/ (native glyph outline records). Each seed starts
// with the selector bytes its target reads first. dxf/ holds one small
// drawing per kind the DXF loader builds beyond dxflib's own (real files
// from librecad-data are added by run_fuzzers.sh), pictures/ the picture
// their images place, and profile/ registry files.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/fonttool/shx_builder.h"
#include "ximage.h"

namespace {

using shxtest::Bytes;
using shxtest::Shape;

std::string g_root;

void Write(const std::string& dir, const std::string& name, const Bytes& prefix, const Bytes& body) {
  std::string path = g_root + "/" + dir;
  mkdir(path.c_str(), 0755);
  path += "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(prefix.data(), 1, prefix.size(), f);
  std::fwrite(body.data(), 1, body.size(), f);
  std::fclose(f);
}

void FontSeeds() {
  // Every opcode, a subshape call and an arc or two.
  const Bytes spec = {2,    0x14, 1,    0x8C, 3,   2,    4,   2,    8,    5,    0xFB, 9,
                      3,    4,    0xFD, 0xFE, 0,   0,    10,  3,    0x21, 11,   1,    2,
                      0,    4,    0x12, 12,   5,   3,    40,  13,   4,    4,    20, 0,
                      0,    5,    6,    7,    0x41, 14,  8,    1,    2,    0x0F, 0};
  const Bytes sub = {0x24, 0x40, 0};
  Bytes info = {10, 2, 2, 0};
  Write("shx", "shapes", {}, shxtest::ShapesFont({{0, "FONT", info}, {0x41, "A", spec},
                                                  {0x42, "B", {7, 0x41, 0x18, 0}}}));
  Write("shx", "shapes_sub", {}, shxtest::ShapesFont({{0x30, "", sub}, {0x31, "X", {7, 0x30, 0}}}));
  Bytes ext_spec = {7, 0, 0xA1, 0xA2, 1, 1, 8, 8, 0x34, 0};
  Write("shx", "bigfont", {},
        shxtest::BigFont({{0, "BIG", {8, 0, 2, 0, 0}}, {0xA1A1, "", spec}, {0xA1A2, "", sub},
                          {0xFFFF, "", {}}, {0xA1A3, "", ext_spec}},
                         {0xA1, 0xFE}));
  Write("shx", "unifont", {},
        shxtest::Unifont("UNI", {10, 2, 2, 0, 0, 0},
                         {{0x41, "A", spec}, {0x4E00, "", {7, 0x00, 0x41, 0x14, 0}}}));
}

// Shape-font source text of each kind.
void ShpSeeds() {
  auto text = [](const char* name, const std::string& t) { Write("shp", name, {}, Bytes(t.begin(), t.end())); };
  text("shapes", "*0,4,demo\n10,2,2,0\n*041,24,A\n2,014,1,08C,3,2,4,2,8,(5,-5),9,(3,4),(0,0),\n"
                 "10,(3,-021),11,(1,2,0,4,012),12,(5,3,40),13,(4,4,20),(0,0),5,6,7,042,14,8,1,2,0\n"
                 "*042,4,B\n7,041,018,0\n");
  text("bigfont", "*BIGFONT 3,1,0A1,0FE\n*0,5,big\n8,0,2,0,0\n*0A1A1,4,\n024,040,7,0A1A2,0\n"
                  "*0A1A2,10,\n7,(0,0A1A1,1,1,8,8),034,0\n");
  text("unifont", "*UNIFONT,6,uni\n10,2,2,0,0,0\n*00041,3,A\n014,7,04E00,0\n*04E00,2,\n024,0\n");
}

// Native outline records: a polygon of lines and a quadratic spline.
void OutlineSeeds() {
  Bytes b;
  auto u16 = [&](uint32_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  auto pt = [&](int x, int y) { u32(uint32_t(x) << 16); u32(uint32_t(y) << 16); };
  const size_t start = b.size();
  u32(0);
  u32(24);  // TT_POLYGON_TYPE
  pt(0, 0);
  u16(1);  // TT_PRIM_LINE
  u16(2);
  pt(10, 0);
  pt(10, 10);
  u16(2);  // TT_PRIM_QSPLINE
  u16(3);
  pt(5, 15);
  pt(0, 15);
  pt(0, 5);
  const uint32_t cb = static_cast<uint32_t>(b.size() - start);
  for (int i = 0; i < 4; ++i) b[start + i] = uint8_t(cb >> (8 * i));
  Write("outline", "square", {}, b);
  Bytes two = b;
  two.insert(two.end(), b.begin(), b.end());
  Write("outline", "two", {}, two);
}

void ImageSeeds() {
  const DWORD types[] = {CXIMAGE_FORMAT_BMP, CXIMAGE_FORMAT_GIF, CXIMAGE_FORMAT_JPG,
                         CXIMAGE_FORMAT_PNG, CXIMAGE_FORMAT_ICO, CXIMAGE_FORMAT_TIF};
  for (int alpha = 0; alpha < 2; ++alpha) {
    CxImage img;
    img.Create(7, 5, 24);
    for (long y = 0; y < 5; ++y)
      for (long x = 0; x < 7; ++x) {
        img.SetPixelColor(x, y, RGB(x * 36, y * 50, (x + y) * 20));
        if (alpha) img.AlphaSet(x, y, static_cast<BYTE>((x + y) * 20));
      }
    for (DWORD t : types) {
      BYTE* buf = nullptr;
      long size = 0;
      if (!img.Encode(buf, size, t)) continue;
      Bytes body(buf, buf + size);
      CxImage::FreeMemory(buf);
      std::string name = std::to_string(t) + (alpha ? "_alpha" : "");
      // Selector t decodes with its own id, selector 0 with the unknown id.
      Write("image", name, {static_cast<uint8_t>(t)}, body);
      if (!alpha) Write("image", name + "_unknown", {0}, body);
      // The picture the DXF seeds' images place.
      if (!alpha && t == CXIMAGE_FORMAT_PNG) Write("pictures", "pic.png", {}, body);
    }
  }
}

void TtfSeeds() {
  auto be16 = [](Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
  };
  auto be32 = [&](Bytes& b, uint32_t v) {
    be16(b, v >> 16);
    be16(b, v & 0xFFFF);
  };
  // Offset table with two tables, the second the name table.
  Bytes f;
  be32(f, 0x00010000);
  be16(f, 2);
  be16(f, 32), be16(f, 1), be16(f, 0);
  const uint32_t name_at = 12 + 2 * 16;
  const char16_t* names[] = {u"Seed Sans", u"\u5b8b\u4f53"};
  const uint16_t langs[] = {1033, 2052};
  Bytes strings, records;
  for (int i = 0; i < 2; ++i) {
    Bytes s;
    for (const char16_t* p = names[i]; *p; ++p) be16(s, *p);
    be16(records, 3), be16(records, 1), be16(records, langs[i]), be16(records, 1);
    be16(records, static_cast<uint32_t>(s.size())), be16(records, static_cast<uint32_t>(strings.size()));
    strings.insert(strings.end(), s.begin(), s.end());
  }
  Bytes table;
  be16(table, 0), be16(table, 2), be16(table, 6 + static_cast<uint32_t>(records.size()));
  table.insert(table.end(), records.begin(), records.end());
  table.insert(table.end(), strings.begin(), strings.end());
  f.insert(f.end(), {'h', 'e', 'a', 'd'});
  be32(f, 0), be32(f, name_at), be32(f, 0);
  f.insert(f.end(), {'n', 'a', 'm', 'e'});
  be32(f, 0), be32(f, name_at), be32(f, static_cast<uint32_t>(table.size()));
  f.insert(f.end(), table.begin(), table.end());
  Write("ttf", "english", {0x09, 0x04, 64}, f);
  Write("ttf", "chinese_short", {0x04, 0x08, 5}, f);
}

void TextSeeds() {
  const std::string gbk = "A\xc4\xe3\xba\xc3 \xb0\xa1\x81\x40\xfe";
  const std::string utf8 = "A\xe4\xbd\xa0\xe5\xa5\xbd \xf0\x9f\x98\x80\xc3\x28";
  const std::string utf16("A\0`O}Y=\xd8\x00\xde\x00\xd8", 14);
  int i = 0;
  for (const std::string* s : {&gbk, &utf8, &utf16}) {
    for (uint8_t mode : {0, 3 * i, 0x13, 0x2a, 0x55}) {
      Write("text", "t" + std::to_string(i) + "_" + std::to_string(mode),
            {mode, static_cast<uint8_t>(8 + i)}, Bytes(s->begin(), s->end()));
    }
    ++i;
  }
}

// A drawing of `entities` in the ENTITIES section, after `before` (header,
// tables, blocks) and before `after` (objects).
std::string Dxf(const std::string& before, const std::string& entities, const std::string& after = "") {
  return before + "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n" + after + "0\nEOF\n";
}

void DxfSeeds() {
  auto dxf = [](const char* name, const std::string& t) { Write("dxf", name, {}, Bytes(t.begin(), t.end())); };
  const std::string block =
      "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nB\n70\n0\n10\n0\n20\n0\n"
      "0\nLINE\n8\n0\n62\n0\n10\n0\n20\n0\n11\n1\n21\n1\n0\nINSERT\n8\n0\n2\nC\n10\n1\n20\n0\n0\nENDBLK\n8\n0\n"
      "0\nBLOCK\n8\n0\n2\nC\n70\n0\n10\n0\n20\n0\n0\nCIRCLE\n8\n0\n62\n0\n10\n0\n20\n0\n40\n1\n0\nENDBLK\n8\n0\n"
      "0\nBLOCK\n8\n0\n2\n*T1\n70\n1\n10\n0\n20\n0\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n6\n21\n0\n0\nENDBLK\n8\n0\n"
      "0\nENDSEC\n";
  dxf("extrusions", Dxf("",
                        "0\nCIRCLE\n8\n0\n10\n1\n20\n2\n40\n3\n210\n0\n220\n0.6\n230\n0.8\n"
                        "0\nARC\n8\n0\n10\n1\n20\n2\n40\n3\n50\n0\n51\n90\n210\n0\n220\n0\n230\n-1\n"
                        "0\nLWPOLYLINE\n8\n0\n90\n2\n70\n1\n10\n1\n20\n1\n42\n0.5\n10\n3\n20\n1\n"
                        "210\n1\n220\n0\n230\n0\n"
                        "0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n1\n1\nt\n210\n0\n220\n0\n230\n0\n"));
  dxf("minsert_layers", Dxf(block,
                            "0\nINSERT\n8\nL\n62\n3\n2\nB\n10\n1\n20\n2\n50\n90\n70\n2\n71\n3\n44\n5\n45\n10\n"
                            "0\nACAD_TABLE\n8\n0\n100\nAcDbBlockReference\n2\n*T1\n10\n20\n20\n40\n"
                            "100\nAcDbTable\n280\n0\n91\n1\n92\n1\n"));
  dxf("meshes", Dxf("",
                    "0\nPOLYLINE\n8\n0\n66\n1\n70\n64\n71\n4\n72\n2\n"
                    "0\nVERTEX\n8\n0\n10\n0\n20\n0\n70\n192\n0\nVERTEX\n8\n0\n10\n10\n20\n0\n70\n192\n"
                    "0\nVERTEX\n8\n0\n10\n10\n20\n10\n70\n192\n0\nVERTEX\n8\n0\n10\n0\n20\n10\n70\n192\n"
                    "0\nVERTEX\n8\n0\n10\n0\n20\n0\n70\n128\n71\n1\n72\n-2\n73\n3\n74\n4\n0\nSEQEND\n"
                    "0\nPOLYLINE\n8\n0\n66\n1\n70\n16\n71\n2\n72\n2\n"
                    "0\nVERTEX\n8\n0\n10\n0\n20\n0\n70\n64\n0\nVERTEX\n8\n0\n10\n0\n20\n1\n70\n64\n"
                    "0\nVERTEX\n8\n0\n10\n1\n20\n0\n70\n64\n0\nVERTEX\n8\n0\n10\n1\n20\n1\n70\n64\n0\nSEQEND\n"
                    "0\nMESH\n8\n0\n71\n2\n72\n0\n91\n0\n92\n4\n10\n0\n20\n0\n30\n0\n10\n1\n20\n0\n30\n0\n"
                    "10\n1\n20\n1\n30\n0\n10\n0\n20\n1\n30\n1\n93\n8\n90\n3\n90\n0\n90\n1\n90\n2\n"
                    "90\n3\n90\n0\n90\n2\n90\n3\n94\n0\n"
                    "0\n3DFACE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n0\n12\n1\n22\n1\n13\n0\n23\n1\n70\n5\n"));
  const std::string frame = "10\n10\n20\n20\n11\n30\n21\n0\n12\n0\n22\n40\n13\n4\n23\n2\n";
  dxf("wipeout_image",
      Dxf("",
          "0\nWIPEOUT\n5\n1B\n8\n0\n" + frame +
              "71\n2\n91\n4\n14\n-0.5\n24\n0.5\n14\n0.5\n24\n0.5\n14\n0\n24\n-0.5\n"
              "14\n-0.5\n24\n0.5\n0\nIMAGE\n5\n40\n8\n0\n100\nAcDbRasterImage\n" +
              frame +
              "340\n41\n70\n7\n280\n1\n71\n2\n91\n4\n14\n-0.5\n24\n-0.5\n14\n3.5\n24\n-0.5\n14\n1.5\n24\n1.5\n"
              "14\n-0.5\n24\n-0.5\n0\nIMAGE\n5\n42\n8\n0\n100\nAcDbRasterImage\n10\n0\n20\n0\n11\n0.5\n21\n0.5\n"
              "12\n-0.5\n22\n0.5\n13\n4\n23\n2\n340\n41\n70\n7\n",
          "0\nSECTION\n2\nOBJECTS\n0\nIMAGEDEF\n5\n41\n100\nAcDbRasterImageDef\n1\npic.png\n10\n4\n20\n2\n"
          "0\nWIPEOUTVARIABLES\n5\n3C\n100\nAcDbWipeoutVariables\n70\n1\n0\nENDSEC\n"));
  const std::string columns =
      "46\n100\n101\nEmbedded Object\n70\n1\n10\n1\n20\n0\n11\n0\n21\n0\n40\n30\n71\n1\n72\n2\n44\n30\n45\n5\n73\n0\n";
  const std::string xdata =
      "1001\nACAD\n1000\nACAD_MTEXT_COLUMN_INFO_BEGIN\n1070\n75\n1070\n2\n1070\n48\n1040\n30\n1070\n49\n1040\n5\n"
      "1070\n50\n1070\n2\n1040\n30\n1040\n5\n1000\nACAD_MTEXT_COLUMN_INFO_END\n";
  dxf("mtext", Dxf("",
                   "0\nMTEXT\n8\n0\n10\n0\n20\n0\n40\n2\n41\n30\n90\n17\n63\n5\n45\n1.5\n"
                   "1\n{\\fArial|b1|i0|c0|p34;\\S1/2;\\S3#4;\\S2^;} \\Lu\\l\\Oo\\o\\Kk\\k\\Pa\\Nb{\\Fromans.shx;c}"
                   "\\U+4E2D\\M+1B5B1\n" +
                       columns + "0\nMTEXT\n8\n0\n10\n0\n20\n0\n40\n2\n90\n3\n63\n1\n45\n1\n1\na\\Pb\\Pc\n" + xdata));
  for (const char* page : {"ANSI_950", "ANSI_932", "ANSI_949"}) {
    dxf((std::string("big_") + page).c_str(),
        Dxf(std::string("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$DWGCODEPAGE\n3\n") + page +
                "\n0\nENDSEC\n0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n70\n1\n"
                "0\nSTYLE\n2\nBIG\n70\n0\n40\n0\n41\n1\n50\n0\n71\n0\n3\ntxt.shx\n4\nkst32b."
                "shx\n0\nENDTAB\n0\nENDSEC\n",
            "0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n10\n7\nBIG\n1\n\xAD\xB1\x95\xCF\xB5\xB5 \\M+2B5B5\\U+9762\n"
            "0\nMTEXT\n8\n0\n10\n0\n20\n0\n40\n2\n7\nBIG\n1\n\xA4\xA4\\M+3B5B5{\\fkst32b.shx;\x81\x40}\n"));
  }
}

// Registry files: sections, entries, comments, a damaged line.
void ProfileSeeds() {
  auto text = [](const char* name, const std::string& t) { Write("profile", name, {}, Bytes(t.begin(), t.end())); };
  text("registry",
       "; kept\n[HKEY_CLASSES_ROOT\\Quillmark.Ocx]\n@=Quillmark control\n"
       "[HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32]\n@=/lib/q.so\nThreadingModel=Apartment\n");
  text("damaged", "[a]\r\nx=1\r\nno equals\r\n[b\n=2\n[A]\nX=3\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
    return 2;
  }
  g_root = argv[1];
  mkdir(g_root.c_str(), 0755);
  FontSeeds();
  ShpSeeds();
  OutlineSeeds();
  ImageSeeds();
  TtfSeeds();
  TextSeeds();
  DxfSeeds();
  ProfileSeeds();
  return 0;
}
