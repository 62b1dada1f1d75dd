// TrueType glyphs through GDI's native outlines.
#include "database/fonts/mb_ttf_library.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "database/fonts/mb_glyph_budget.h"
#include "database/fonts/mb_shape_code.h"
#include "database/fonts/mb_shx_library.h"
#include "database/fonts/mb_ttf_name.h"
#include "database/mb_resource.h"
#include "geometry/as_pt_list.h"
#include "geometry/as_void_list.h"
#include "qm_file.h"

namespace {

constexpr uint32_t kSpace = 32;

int32_t rd32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return static_cast<int32_t>(v);
}
uint16_t rd16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

POINT point_at(const uint8_t* p) { return POINT{fixed_to_int(rd32(p)), fixed_to_int(rd32(p + 4))}; }

// The cubic of a straight piece: P1, P0, P1 after P0.
void MakeBezierFromLine(MB_TTF_Outline::Contour& c, POINT p1) {
  const POINT p0 = c.back();
  c.push_back(p1);
  c.push_back(p0);
  c.push_back(p1);
}

// The cubic of a quadratic piece (A, B, C) after A.
void MakeBezierFromQBSpline(MB_TTF_Outline::Contour& c, POINT b, POINT e) {
  const POINT a = c.back();
  c.push_back(POINT{a.x + 2 * (b.x - a.x) / 3, a.y + 2 * (b.y - a.y) / 3});
  c.push_back(POINT{b.x + (e.x - b.x) / 3, b.y + (e.y - b.y) / 3});
  c.push_back(e);
}

// A quadratic B-spline record: each control point with the next on-curve
// point, the midpoint of two control points (from the raw fixed values) or
// the record's last point.
void AppendQuadBSplineToBezier(MB_TTF_Outline::Contour& c, const uint8_t* pts, unsigned n) {
  if (n == 1) {
    MakeBezierFromLine(c, point_at(pts));
    return;
  }
  for (unsigned j = 0; j + 1 < n; ++j) {
    const uint8_t* b = pts + 8 * j;
    const uint8_t* nb = b + 8;
    POINT e;
    if (j + 2 == n) {
      e = point_at(nb);
    } else {
      const int32_t mx = static_cast<int32_t>((int64_t(rd32(b)) + rd32(nb)) / 2);
      const int32_t my = static_cast<int32_t>((int64_t(rd32(b + 4)) + rd32(nb + 4)) / 2);
      e = POINT{fixed_to_int(mx), fixed_to_int(my)};
    }
    MakeBezierFromQBSpline(c, point_at(b), e);
  }
}

void AppendPolyLineToBezier(MB_TTF_Outline::Contour& c, const uint8_t* pts, unsigned n) {
  for (unsigned j = 0; j < n; ++j) MakeBezierFromLine(c, point_at(pts + 8 * j));
}

void CloseContour(MB_TTF_Outline::Contour& c) {
  if (c.size() > 1 && (c.back().x != c.front().x || c.back().y != c.front().y)) MakeBezierFromLine(c, c.front());
}

}  // namespace

int32_t fixed_to_int(int32_t v) { return (v >> 16) + ((v >> 15) & 1); }

void MB_TTF_Char::note(const char* text) {
  const size_t n = text ? strnlen(text, sizeof note_ - 1) : 0;
  if (n) std::memcpy(note_, text, n);
  note_[n] = 0;
}

int MB_TTF_Outline::Create(const void* buffer, unsigned long size) {
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  unsigned long off = 0;
  while (p && size - off >= 16 && off < size) {
    const uint32_t cb = static_cast<uint32_t>(rd32(p + off));
    const uint32_t type = static_cast<uint32_t>(rd32(p + off + 4));
    if (type != TT_POLYGON_TYPE || cb < 16 || cb > size - off) break;
    Contour c;
    c.push_back(point_at(p + off + 8));
    unsigned long at = off + 16;
    const unsigned long end = off + cb;
    while (end - at >= 4) {
      const uint16_t kind = rd16(p + at);
      const unsigned n = rd16(p + at + 2);
      if ((end - at - 4) / 8 < n) break;  // the record runs past its contour
      if (kind == TT_PRIM_LINE) AppendPolyLineToBezier(c, p + at + 4, n);
      else if (kind == TT_PRIM_QSPLINE) AppendQuadBSplineToBezier(c, p + at + 4, n);
      at += 4 + 8ul * n;
    }
    CloseContour(c);
    for (POINT& pt : c) pt.y = -pt.y;
    contours_.push_back(std::move(c));
    off = end;
  }
  return 1;
}

namespace {

const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// GDI's outline call for a code: the ANSI one for 8-bit (GBK) codes, the
// Unicode one for codes marked kUnicode.
DWORD glyph_outline(HDC hdc, uint32_t code, UINT format, GLYPHMETRICS* gm, DWORD size, void* buffer) {
  if (code & MB_Font_Library::kUnicode) {
    return GetGlyphOutlineW(hdc, code & ~MB_Font_Library::kUnicode, format, gm, size, buffer, &kIdentity);
  }
  return GetGlyphOutlineA(hdc, code, format, gm, size, buffer, &kIdentity);
}

}  // namespace

std::unique_ptr<MB_TTF_Outline> CreateOutline(HDC hdc, long code) {
  GLYPHMETRICS gm;
  const uint32_t ch = static_cast<uint32_t>(code);
  const DWORD size = glyph_outline(hdc, ch, GGO_NATIVE, &gm, 0, nullptr);
  if (size == GDI_ERROR) return nullptr;
  std::vector<uint8_t> buf(size);
  if (size && glyph_outline(hdc, ch, GGO_NATIVE, &gm, size, buf.data()) == GDI_ERROR) return nullptr;
  std::unique_ptr<MB_TTF_Outline> o(new MB_TTF_Outline);
  o->Create(buf.data(), size);
  return o;
}

std::unique_ptr<MB_TTF_Outline> CreateOutline(HDC hdc, const char* text) {
  if (!text || !*text) return nullptr;
  const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
  const long code = std::strlen(text) == 2 ? t[0] * 256 + t[1] : t[0];
  return CreateOutline(hdc, code);
}

void ttfrender_to_ptsets(const MB_TTF_Outline& outline, std::vector<std::vector<As_Pt>>& out, As_Pt& end) {
  double mx = 0, my = 0;
  for (int i = 0; i < outline.GetContourCount(); ++i) {
    std::vector<As_Pt> pts;
    for (const POINT& p : outline.GetContour(i)) {
      pts.emplace_back(p.x, -static_cast<double>(p.y), 0.0);
      if (p.x > mx) mx = p.x;
      if (-p.y > my) my = -p.y;
    }
    out.push_back(std::move(pts));
  }
  end = As_Pt(mx, my, 0.0);
}

// ---------------------------------------------------------------------------

MB_TTF_Library::MB_TTF_Library(const char* file, const char* path) {
  file_name(file);
  char face[256] = {};
  // A font in the fonts folder (or at the given path) is made known to GDI,
  // so that its face resolves to it.
  const bool has_folder = path && (std::strchr(path, '/') || std::strchr(path, '\\'));
  const std::string where =
      has_folder ? std::string(path) : std::string(g_system_resource.fonts_dir()) + (file ? file : "");
  std::string mapped = qm_map_path(where.c_str());
  char installed[MAX_PATH];
  if (!has_folder && file && !qm_is_regular_file(mapped.c_str()) &&
      QmGdiFindFontFile(file, installed, sizeof installed) > 0) {
    mapped = installed;  // a font installed on the system
  }
  bool named = false;
  if (file && *file && get_ttf_name_by_path(mapped.c_str(), GetSystemDefaultLangID(), face, sizeof face)) {
    named = AddFontResourceExA(mapped.c_str(), FR_PRIVATE, nullptr) > 0;
  }
  if (!named && !(file && get_ttf_name_by_file(file, face, sizeof face))) {
    get_ttf_name_of_missing_file(file, face, sizeof face);
  }
  face_ = face;
  name_ = MB_String(face);
  // The height: the top of the capital H (else of the first glyph with one).
  static const uint32_t kProbe[] = {'H', 'A', 0x4E2D | kUnicode};
  for (uint32_t code : kProbe) {
    std::unique_ptr<MB_TTF_Char> c = create_ttf_char(code);
    double top = 0;
    if (c) {
      for (const std::vector<As_Pt>& contour : c->contours()) {
        for (const As_Pt& p : contour) top = std::max(top, p.y());
      }
    }
    if (top > 0) {
      char_height_ = top;
      break;
    }
  }
  if (char_height_ <= 0) char_height_ = kOutlineHeight * 0.7;
}

namespace {

HFONT create_font(int height, const std::string& face) {
  return CreateFontA(height, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS,
                     DRAFT_QUALITY, FIXED_PITCH | FF_MODERN, face.c_str());
}

}  // namespace

std::unique_ptr<MB_TTF_Char> MB_TTF_Library::create_ttf_char(uint32_t code) const {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  HFONT font = create_font(kOutlineHeight, face_);
  HFONT metrics_font = create_font(kOutlineHeight * kMetricsScale, face_);
  HGDIOBJ old = SelectObject(dc, font);
  std::unique_ptr<MB_TTF_Char> c;
  std::unique_ptr<MB_TTF_Outline> outline;
  if (code != kSpace) outline = CreateOutline(dc, static_cast<long>(code));
  SelectObject(dc, metrics_font);
  GLYPHMETRICS gm = {};
  const bool metrics = glyph_outline(dc, code, GGO_METRICS, &gm, 0, nullptr) != GDI_ERROR;
  if (outline || metrics) {
    c.reset(new MB_TTF_Char(code));
    if (outline) {
      As_Pt end;
      ttfrender_to_ptsets(*outline, c->contours(), end);
      c->set_end_pos(end.x(), end.x() / 3, 0);
    }
    if (metrics) c->advance(static_cast<double>(gm.gmCellIncX) / kMetricsScale);
    if (c->contours().empty()) c->set_end_pos(0, 0, 0);
  }
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteObject(metrics_font);
  DeleteDC(dc);
  return c;
}

const MB_TTF_Char* MB_TTF_Library::glyph(uint32_t code) {
  auto it = index_.find(code);
  if (it != index_.end()) return it->second;
  std::unique_ptr<MB_TTF_Char> c = create_ttf_char(code);
  if (!c) {
    index_.emplace(code, nullptr);  // no face has it: GDI is not asked again
    return nullptr;
  }
  if (c->end_pos().x() > right_edge_) right_edge_ = c->end_pos().x();
  MB_TTF_Char* raw = c.get();
  chars_.push_back(std::move(c));
  index_.emplace(code, raw);
  return raw;
}

bool MB_TTF_Library::char_2_ptlist(unsigned long code, As_Void_List& out, As_Pt& pen, double height, double,
                                   bool vertical) {
  if (code > 0xFFFFFFFFul) return false;
  const MB_TTF_Char* c = glyph(static_cast<uint32_t>(code));
  if (!c) return false;
  const double s = height / char_height_;
  long points = 0;
  for (const std::vector<As_Pt>& contour : c->contours()) points += static_cast<long>(contour.size());
  if (MB_Glyph_Budget::take(points)) {
    for (const std::vector<As_Pt>& contour : c->contours()) {
      As_Pt_List* list = new As_Pt_List;
      for (const As_Pt& p : contour) list->add_tail(As_Pt(p.x() * s + pen.x(), p.y() * s + pen.y(), pen.z()));
      out.add(list);
    }
  }
  advance_pen(As_Pt(c->advance(), 0, 0), s, pen, height, vertical);
  return true;
}

bool MB_TTF_Library::char_2_ptsets(unsigned long code, std::vector<unsigned long>& counts, std::vector<As_Pt>& pts,
                                   As_Pt& pen, double height, double, bool vertical, double) {
  if (code > 0xFFFFFFFFul) return false;
  const MB_TTF_Char* c = glyph(static_cast<uint32_t>(code));
  if (!c) return false;
  const double s = height / char_height_;
  size_t points = 0;
  for (const std::vector<As_Pt>& contour : c->contours()) points += contour.size();
  if (MB_Glyph_Budget::take(static_cast<long>(points))) {
    const double px = pen.x(), py = pen.y(), pz = pen.z();
    for (const std::vector<As_Pt>& contour : c->contours()) {
      if (contour.empty()) continue;
      for (const As_Pt& p : contour) pts.emplace_back(p.x() * s + px, p.y() * s + py, pz);
      counts.push_back(static_cast<unsigned long>(contour.size()));
    }
  }
  advance_pen(As_Pt(c->advance(), 0, 0), s, pen, height, vertical);
  return true;
}
