// Fonts of the software GDI: face names resolved to font files, the font
// families it knows (EnumFontFamiliesA), and glyph outlines in the native record form, built from FreeType's unhinted
// outlines in font units and scaled in double precision, so they do not
// depend on hinting or on the FreeType build.
//
// Faces are opened once per file and kept for the process. A face name is
// looked up among the files added with AddFontResourceExA (by family name,
// ignoring case), then among installed fonts through fontconfig, then
// replaced by the face that stands in for it.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "gdi_internal.h"
#include "qm_file.h"
#include "qm_text.h"

namespace qmgdi {
namespace {

struct Faces {
  FT_Library lib = nullptr;
  std::map<std::pair<std::string, long>, FT_Face> by_file;  // opened faces, by file and face index
  std::vector<std::string> added;                           // files of AddFontResourceExA
  std::map<uint32_t, FT_Face> fallback;                     // per character: the face that has it, or null
  // Per run of characters a font lacks: one face that has them all, or null.
  std::map<std::u16string, FT_Face> run_fallback;
  bool fontconfig = false;  // initialised, to be finished at exit
  Faces() {
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
  }
  ~Faces() {
    for (auto& f : by_file) {
      if (f.second) FT_Done_Face(f.second);
    }
    if (lib) FT_Done_FreeType(lib);
    if (fontconfig) FcFini();
  }
  // A face of a file (a collection holds several), opened on first use;
  // null when it is no font or has no such face.
  FT_Face face(const std::string& file, long index = 0) {
    if (!lib || file.empty() || index < 0) return nullptr;
    auto it = by_file.find({file, index});
    if (it != by_file.end()) return it->second;
    FT_Face f = nullptr;
    if (!qm_is_regular_file(file.c_str()) || FT_New_Face(lib, file.c_str(), index, &f) != 0) f = nullptr;
    by_file[{file, index}] = f;
    return f;
  }
};

Faces& faces() {
  static Faces f;
  return f;
}

bool same_text(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// A face a name resolves to: its file and its index in the file.
struct Face_Ref {
  std::string file;
  long index = 0;
};

bool fontconfig_ready() {
  Faces& fs = faces();
  if (!fs.fontconfig && FcInit()) fs.fontconfig = true;
  return fs.fontconfig;
}

// The file and face fontconfig gives for a family; with `exact`, only a
// font of that very family.
Face_Ref fontconfig_file(const std::string& family, bool exact) {
  Face_Ref out;
  if (!fontconfig_ready()) return out;
  FcPattern* pat = FcPatternCreate();
  if (!pat) return out;
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddBool(pat, FC_OUTLINE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  if (match) {
    FcChar8* file = nullptr;
    FcChar8* got = nullptr;
    bool family_ok = !exact;
    for (int i = 0; exact && FcPatternGetString(match, FC_FAMILY, i, &got) == FcResultMatch; ++i) {
      if (same_text(reinterpret_cast<const char*>(got), family)) family_ok = true;
    }
    if (family_ok && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      out.file = reinterpret_cast<const char*>(file);
      int index = 0;
      if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch && index > 0) out.index = index;
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pat);
  return out;
}

// An installed font file whose name, without its folder, is `name`
// (ignoring case). The installed files are listed once.
std::string installed_file_named(const std::string& name) {
  static std::vector<std::string> files;
  static bool listed = false;
  if (!listed && fontconfig_ready()) {
    listed = true;
    FcPattern* pat = FcPatternCreate();
    FcObjectSet* os = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* set = pat && os ? (FcPatternAddBool(pat, FC_OUTLINE, FcTrue), FcFontList(nullptr, pat, os)) : nullptr;
    FcChar8* file = nullptr;
    for (int i = 0; set && i < set->nfont; ++i) {
      if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch) {
        files.push_back(reinterpret_cast<const char*>(file));
      }
    }
    std::sort(files.begin(), files.end());  // the same answer whatever order fontconfig lists them in
    if (set) FcFontSetDestroy(set);
    if (os) FcObjectSetDestroy(os);
    if (pat) FcPatternDestroy(pat);
  }
  for (const std::string& file : files) {
    const size_t slash = file.rfind('/');
    if (same_text(file.substr(slash == std::string::npos ? 0 : slash + 1), name)) return file;
  }
  return std::string();
}

bool is_cjk_face(const std::string& utf8) {
  static const char* const kCjk[] = {"Song",         "SimSun",    "NSimSun",         "SimHei",          "KaiTi",
                                     "KaiTi_GB2312", "FangSong",  "FangSong_GB2312", "Microsoft YaHei", "MingLiU",
                                     "PMingLiU",     "MS Gothic", "MS Mincho",       "Batang",          "Gulim",
                                     "Dotum"};
  for (const char* name : kCjk) {
    if (same_text(utf8, name)) return true;
  }
  for (unsigned char c : utf8) {
    if (c >= 0x80) return true;  // a face named in Chinese (or another non-Latin script)
  }
  return false;
}

Face_Ref resolve_face(const std::string& face_gbk) {
  const std::string face = qm_gbk_to_utf8(face_gbk);
  Faces& fs = faces();
  for (const std::string& file : fs.added) {
    const FT_Face first = fs.face(file);
    const long count = first ? first->num_faces : 0;
    for (long i = 0; i < count; ++i) {
      FT_Face f = fs.face(file, i);
      if (f && f->family_name && same_text(f->family_name, face)) return Face_Ref{file, i};
    }
  }
  if (!face.empty()) {
    Face_Ref found = fontconfig_file(face, true);
    if (!found.file.empty()) return found;
  }
  const char* stand_in = same_text(face, "Arial") ? "Liberation Sans"
                         : is_cjk_face(face)      ? "WenQuanYi Micro Hei"
                                                  : "DejaVu Sans";
  return fontconfig_file(stand_in, false);
}

// The Unicode character of a code of the 8-bit code page.
uint32_t unicode_of(UINT code) {
  if (code < 0x80) return code;
  if (code <= 0xFFFF && (code >> 8) >= 0x81 && (code >> 8) <= 0xFE && (code & 0xFF) >= 0x40) {
    const char gbk[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    std::u16string u = qm_gbk_to_utf16(std::string_view(gbk, 2));
    if (u.size() == 1 && u[0] != 0xFFFD) return u[0];
    return 0;
  }
  if (code <= 0xFF) {
    const char gbk[1] = {static_cast<char>(code)};
    std::u16string u = qm_gbk_to_utf16(std::string_view(gbk, 1));
    return u.size() == 1 && u[0] != 0xFFFD ? u[0] : 0;
  }
  return code;
}

// Pixels per font unit at a GDI font height.
double units_scale(FT_Face f, int height) {
  const double upem = f->units_per_EM ? f->units_per_EM : 2048;
  if (height < 0) return -height / upem;
  if (height == 0) height = 16;
  double cell = 0;
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF) cell = double(os2->usWinAscent) + os2->usWinDescent;
  if (cell <= 0) cell = double(f->ascender) - f->descender;
  if (cell <= 0) cell = upem;
  return height / cell;
}

class Native_Writer {
 public:
  explicit Native_Writer(double scale) : scale_(scale) {}
  void contour(const FT_Outline& o, int first, int last);
  std::vector<uint8_t>& bytes() { return out_; }

 private:
  struct Pt {
    int32_t x, y;
  };
  void u16(size_t at, uint16_t v) { std::memcpy(&out_[at], &v, 2); }
  void u32(size_t at, uint32_t v) { std::memcpy(&out_[at], &v, 4); }
  void put32(uint32_t v) {
    out_.resize(out_.size() + 4);
    u32(out_.size() - 4, v);
  }
  void point(Pt p) {
    put32(static_cast<uint32_t>(p.x));
    put32(static_cast<uint32_t>(p.y));
  }
  // 16.16 fixed point, clamped to its range.
  static int32_t to_fixed(double v) {
    v *= 65536.0;
    if (!(v > -2147483648.0)) return INT32_MIN;
    if (v > 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(std::llround(v));
  }
  Pt fixed(const FT_Vector& v) const {
    return Pt{to_fixed(static_cast<double>(v.x) * scale_), to_fixed(static_cast<double>(v.y) * scale_)};
  }
  // Opens a record of a type unless the open one has it; closes the open one.
  void record(uint16_t type) {
    if (curve_ != SIZE_MAX && type_ == type) return;
    close_record();
    curve_ = out_.size();
    type_ = type;
    out_.resize(out_.size() + 4);
    u16(curve_, type);
  }
  void close_record() {
    if (curve_ == SIZE_MAX) return;
    u16(curve_ + 2, static_cast<uint16_t>((out_.size() - curve_ - 4) / 8));
    curve_ = SIZE_MAX;
  }

  double scale_;
  std::vector<uint8_t> out_;
  size_t curve_ = SIZE_MAX;
  uint16_t type_ = 0;
};

void Native_Writer::contour(const FT_Outline& o, int first, int last) {
  const int n = last - first + 1;
  if (n < 2) return;
  auto tag = [&](int i) { return static_cast<char>(FT_CURVE_TAG(o.tags[first + (i % n)])); };
  auto at = [&](int i) { return fixed(o.points[first + (i % n)]); };
  int start = -1;
  for (int i = 0; i < n; ++i) {
    if (tag(i) == FT_CURVE_TAG_ON) {
      start = i;
      break;
    }
  }
  Pt origin;
  int from;
  if (start < 0) {  // every point off the curve: start between the last and the first
    const Pt a = at(n - 1), b = at(0);
    origin = Pt{static_cast<int32_t>((int64_t(a.x) + b.x) / 2), static_cast<int32_t>((int64_t(a.y) + b.y) / 2)};
    from = 0;
  } else {
    origin = at(start);
    from = start + 1;
  }
  const size_t header = out_.size();
  put32(0);
  put32(TT_POLYGON_TYPE);
  point(origin);
  const int count = start < 0 ? n : n - 1;
  for (int k = 0; k < count; ++k) {
    const int i = from + k;
    const char t = tag(i);
    if (t == FT_CURVE_TAG_ON) {
      if (curve_ == SIZE_MAX || type_ == TT_PRIM_LINE) record(TT_PRIM_LINE);
      point(at(i));
      if (type_ != TT_PRIM_LINE) close_record();
    } else {
      record(t == FT_CURVE_TAG_CONIC ? TT_PRIM_QSPLINE : TT_PRIM_CSPLINE);
      point(at(i));
    }
  }
  // Back to the start: the last curve ends there, or a line closes.
  if (curve_ == SIZE_MAX) record(TT_PRIM_LINE);
  point(origin);
  close_record();
  u32(header, static_cast<uint32_t>(out_.size() - header));
}

}  // namespace

bool face_draws(FT_FaceRec_* f, uint32_t ch) {
  const FT_UInt index = f ? FT_Get_Char_Index(f, ch) : 0;
  if (index == 0) return false;
  if (ch <= 0x20 || ch == 0x3000 || ch == 0xA0) return true;  // blanks have no outline
  return FT_Load_Glyph(f, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) == 0 &&
         f->glyph->format == FT_GLYPH_FORMAT_OUTLINE && f->glyph->outline.n_points > 0;
}

namespace {

// The face fontconfig finds best for a set of characters, when it has them
// all; null otherwise.
FT_Face matched_face(Faces& fs, const std::u16string& chars) {
  FT_Face found = nullptr;
  FcPattern* pat = fontconfig_ready() ? FcPatternCreate() : nullptr;
  FcCharSet* set = pat ? FcCharSetCreate() : nullptr;
  bool ready = set != nullptr;
  for (char16_t ch : chars) ready = ready && FcCharSetAddChar(set, ch);
  if (ready && FcPatternAddCharSet(pat, FC_CHARSET, set) && FcPatternAddBool(pat, FC_OUTLINE, FcTrue)) {
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    // The best match need not have the characters: the face is asked.
    if (FcPattern* match = FcFontMatch(nullptr, pat, &result)) {
      FcChar8* file = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FT_Face f = fs.face(reinterpret_cast<const char*>(file));
        found = f;
        for (char16_t ch : chars) {
          if (found && !face_draws(f, ch)) found = nullptr;
        }
      }
      FcPatternDestroy(match);
    }
  }
  if (set) FcCharSetDestroy(set);
  if (pat) FcPatternDestroy(pat);
  return found;
}

}  // namespace

FT_FaceRec_* fallback_face(uint32_t ch) {
  Faces& fs = faces();
  auto known = fs.fallback.find(ch);
  if (known != fs.fallback.end()) return known->second;
  FT_Face found = ch <= 0xFFFF ? matched_face(fs, std::u16string(1, static_cast<char16_t>(ch))) : nullptr;
  fs.fallback[ch] = found;
  return found;
}

FT_FaceRec_* fallback_face(const std::u16string& run) {
  if (run.size() == 1) return fallback_face(run[0]);
  Faces& fs = faces();
  auto known = fs.run_fallback.find(run);
  if (known != fs.run_fallback.end()) return known->second;
  // The runs of a long session's texts are many: the memory starts again
  // rather than growing without bound.
  constexpr size_t kMaxRuns = 4096;
  if (fs.run_fallback.size() >= kMaxRuns) fs.run_fallback.clear();
  FT_Face found = matched_face(fs, run);
  fs.run_fallback[run] = found;
  return found;
}

FT_FaceRec_* font_face(const Font* f) {
  if (!f) return nullptr;
  if (f->stock) {
    const Face_Ref stock = resolve_face(std::string());
    return faces().face(stock.file, stock.index);
  }
  return faces().face(f->file, f->face_index);
}

double font_units_scale(FT_FaceRec_* f, int height) { return units_scale(f, height); }

}  // namespace qmgdi

using namespace qmgdi;

HFONT CreateFontA(int height, int, int, int, int weight, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  LPCSTR face) {
  Font* f = new (std::nothrow) Font;
  if (!f) return nullptr;
  f->type = OBJ_FONT;
  f->height = height;
  f->weight = weight;
  f->face = face ? std::string(face, strnlen(face, LF_FACESIZE - 1)) : std::string();
  const Face_Ref resolved = resolve_face(f->face);
  f->file = resolved.file;
  f->face_index = resolved.index;
  register_object(f);
  return reinterpret_cast<HFONT>(f);
}

DWORD QmGdiFindFontFile(LPCSTR file_name, LPSTR path, DWORD size) {
  if (!file_name || !*file_name || std::strchr(file_name, '/') || std::strchr(file_name, '\\')) return 0;
  const std::string file = installed_file_named(file_name);
  if (file.empty() || !path || file.size() >= size) return 0;
  std::memcpy(path, file.c_str(), file.size() + 1);
  return static_cast<DWORD>(file.size());
}

int AddFontResourceExA(LPCSTR path, DWORD, LPVOID) {
  if (!path) return 0;
  const std::string file = qm_map_path(path);
  Faces& fs = faces();
  FT_Face f = fs.face(file);
  if (!f) return 0;
  for (const std::string& known : fs.added) {
    if (known == file) return static_cast<int>(f->num_faces);
  }
  fs.added.push_back(file);
  return static_cast<int>(f->num_faces);
}

BOOL RemoveFontResourceExA(LPCSTR path, DWORD, LPVOID) {
  if (!path) return FALSE;
  const std::string file = qm_map_path(path);
  std::vector<std::string>& added = faces().added;
  for (size_t i = 0; i < added.size(); ++i) {
    if (added[i] == file) {
      added.erase(added.begin() + static_cast<ptrdiff_t>(i));
      return TRUE;
    }
  }
  return FALSE;
}

namespace qmgdi {
namespace {

// The outline of a Unicode character in the DC's font; a character the font
// lacks comes from an installed face that has it (fallback_face), at the
// same em size, on the same baseline.
DWORD glyph_outline(HDC hdc, uint32_t ch, UINT format, LPGLYPHMETRICS metrics, DWORD size, LPVOID buffer) {
  Dc* dc = find_dc(hdc);
  if (!dc || !dc->font || (format != GGO_NATIVE && format != GGO_METRICS)) return GDI_ERROR;
  const Font* font = dc->font;
  FT_Face face = font_face(font);
  if (!face || ch == 0) return GDI_ERROR;
  double scale = units_scale(face, font->height);
  FT_UInt index = FT_Get_Char_Index(face, ch);
  if (ch > 0x20 && !face_draws(face, ch)) {
    if (FT_Face other = fallback_face(ch)) {
      const double em = scale * (face->units_per_EM ? face->units_per_EM : 2048);
      scale = em / (other->units_per_EM ? other->units_per_EM : 2048);
      face = other;
      index = FT_Get_Char_Index(face, ch);
    }
  }
  if (index == 0) return GDI_ERROR;
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) return GDI_ERROR;
  const FT_GlyphSlot g = face->glyph;

  if (metrics) {
    GLYPHMETRICS m = {};
    FT_BBox box = {0, 0, 0, 0};
    if (g->format == FT_GLYPH_FORMAT_OUTLINE && g->outline.n_points > 0) FT_Outline_Get_CBox(&g->outline, &box);
    auto scaled = [scale](FT_Pos v) { return static_cast<double>(v) * scale; };
    const long x0 = std::lround(std::floor(scaled(box.xMin))), x1 = std::lround(std::ceil(scaled(box.xMax)));
    const long y0 = std::lround(std::floor(scaled(box.yMin))), y1 = std::lround(std::ceil(scaled(box.yMax)));
    m.gmBlackBoxX = static_cast<UINT>(x1 > x0 ? x1 - x0 : 1);
    m.gmBlackBoxY = static_cast<UINT>(y1 > y0 ? y1 - y0 : 1);
    m.gmptGlyphOrigin.x = static_cast<LONG>(x0);
    m.gmptGlyphOrigin.y = static_cast<LONG>(y1);
    m.gmCellIncX = static_cast<SHORT>(std::max(-32768L, std::min(32767L, std::lround(scaled(g->advance.x)))));
    m.gmCellIncY = 0;
    *metrics = m;
  }
  if (format == GGO_METRICS) return 0;

  Native_Writer w(scale);
  if (g->format == FT_GLYPH_FORMAT_OUTLINE) {
    const FT_Outline& o = g->outline;
    int first = 0;
    for (int c = 0; c < o.n_contours; ++c) {
      const int last = o.contours[c];
      if (last < first || last >= o.n_points) break;
      w.contour(o, first, last);
      first = last + 1;
    }
  }
  const std::vector<uint8_t>& bytes = w.bytes();
  if (!buffer || size == 0) return static_cast<DWORD>(bytes.size());
  if (size < bytes.size()) return GDI_ERROR;
  if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
  return static_cast<DWORD>(bytes.size());
}

}  // namespace
}  // namespace qmgdi

DWORD GetGlyphOutlineA(HDC hdc, UINT code, UINT format, LPGLYPHMETRICS metrics, DWORD size, LPVOID buffer,
                       const MAT2*) {
  return glyph_outline(hdc, unicode_of(code), format, metrics, size, buffer);
}

DWORD GetGlyphOutlineW(HDC hdc, UINT code, UINT format, LPGLYPHMETRICS metrics, DWORD size, LPVOID buffer,
                       const MAT2*) {
  return glyph_outline(hdc, code <= 0x10FFFF ? code : 0, format, metrics, size, buffer);
}

HFONT CreateFontIndirectA(const LOGFONTA* lf) {
  if (!lf) return nullptr;
  char face[LF_FACESIZE + 1];
  std::memcpy(face, lf->lfFaceName, LF_FACESIZE);
  face[LF_FACESIZE] = '\0';
  return CreateFontA(lf->lfHeight, lf->lfWidth, lf->lfEscapement, lf->lfOrientation, lf->lfWeight, lf->lfItalic,
                     lf->lfUnderline, lf->lfStrikeOut, lf->lfCharSet, lf->lfOutPrecision, lf->lfClipPrecision,
                     lf->lfQuality, lf->lfPitchAndFamily, face);
}

namespace qmgdi {
namespace {

// One style of a family the GDI knows.
struct FamilyStyle {
  std::vector<std::string> families;  // UTF-8; the first is the one shown
  std::string style;
  int weight = FW_NORMAL;
  bool italic = false;
  bool fixed = false;
};

std::vector<FamilyStyle> known_styles() {
  std::vector<FamilyStyle> out;
  Faces& fs = faces();
  for (const std::string& file : fs.added) {
    const FT_Face first = fs.face(file);
    for (long i = 0; first && i < first->num_faces; ++i) {
      FT_Face f = fs.face(file, i);
      if (!f || !f->family_name) continue;
      FamilyStyle st;
      st.families.push_back(f->family_name);
      st.style = f->style_name ? f->style_name : "";
      st.weight = (f->style_flags & FT_STYLE_FLAG_BOLD) ? FW_BOLD : FW_NORMAL;
      st.italic = (f->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
      st.fixed = FT_IS_FIXED_WIDTH(f);
      out.push_back(std::move(st));
    }
  }
  if (!fs.fontconfig) {
    if (!FcInit()) return out;
    fs.fontconfig = true;
  }
  FcPattern* pat = FcPatternCreate();
  FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_WEIGHT, FC_SLANT, FC_SPACING, nullptr);
  FcFontSet* set = pat && os ? (FcPatternAddBool(pat, FC_OUTLINE, FcTrue), FcFontList(nullptr, pat, os)) : nullptr;
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    FamilyStyle st;
    FcChar8* s = nullptr;
    for (int k = 0; FcPatternGetString(p, FC_FAMILY, k, &s) == FcResultMatch; ++k)
      st.families.push_back(reinterpret_cast<const char*>(s));
    if (st.families.empty()) continue;
    if (FcPatternGetString(p, FC_STYLE, 0, &s) == FcResultMatch) st.style = reinterpret_cast<const char*>(s);
    int v = 0;
    if (FcPatternGetInteger(p, FC_WEIGHT, 0, &v) == FcResultMatch) {
      st.weight = v >= FC_WEIGHT_BOLD ? FW_BOLD : FW_NORMAL;
    }
    if (FcPatternGetInteger(p, FC_SLANT, 0, &v) == FcResultMatch) st.italic = v != FC_SLANT_ROMAN;
    if (FcPatternGetInteger(p, FC_SPACING, 0, &v) == FcResultMatch) st.fixed = v >= FC_MONO;
    out.push_back(std::move(st));
  }
  if (set) FcFontSetDestroy(set);
  if (os) FcObjectSetDestroy(os);
  if (pat) FcPatternDestroy(pat);
  return out;
}

std::string lower_ascii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace
}  // namespace qmgdi

int EnumFontFamiliesA(HDC hdc, LPCSTR family, FONTENUMPROCA proc, LPARAM data) {
  if (!find_dc(hdc) || !proc) return 0;
  const std::string wanted = family ? qm_gbk_to_utf8(family) : std::string();
  // (family as shown, style) in name order, so every machine with the same
  // fonts answers in the same order.
  std::vector<std::pair<std::string, FamilyStyle>> calls;
  for (FamilyStyle& st : known_styles()) {
    std::string shown = st.families.front();
    if (family) {
      auto it = std::find_if(st.families.begin(), st.families.end(),
                             [&](const std::string& f) { return same_text(f, wanted); });
      if (it == st.families.end()) continue;
      shown = *it;
    }
    calls.emplace_back(std::move(shown), std::move(st));
  }
  std::sort(calls.begin(), calls.end(), [](const auto& a, const auto& b) {
    const std::string la = lower_ascii(a.first), lb = lower_ascii(b.first);
    return la != lb ? la < lb : a.second.style < b.second.style;
  });
  int answer = 1;
  std::string last;
  for (const auto& [shown, st] : calls) {
    const std::string name = qm_utf8_to_gbk(shown);
    if (name.empty() || name.size() >= LF_FACESIZE) continue;
    // Without a family, one call per family.
    if (!family && same_text(name, last)) continue;
    last = name;
    LOGFONTA lf = {};
    lf.lfWeight = st.weight;
    lf.lfItalic = st.italic ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = static_cast<BYTE>(st.fixed ? FIXED_PITCH : VARIABLE_PITCH);
    std::memcpy(lf.lfFaceName, name.c_str(), name.size() + 1);
    TEXTMETRICA tm = {};
    tm.tmWeight = lf.lfWeight;
    tm.tmItalic = lf.lfItalic;
    tm.tmCharSet = DEFAULT_CHARSET;
    tm.tmPitchAndFamily = static_cast<BYTE>(TMPF_VECTOR | TMPF_TRUETYPE | (st.fixed ? 0 : TMPF_FIXED_PITCH));
    answer = proc(&lf, &tm, TRUETYPE_FONTTYPE, data);
    if (answer == 0) break;
  }
  return answer;
}
