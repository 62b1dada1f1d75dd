// TrueType glyphs through GDI's native outlines.
#include "database/fonts/mb_ttf_library.h"

#include <algorithm>
#include <cmath>
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

namespace {

// Walks the native records of a buffer of `size` bytes: for each contour its
// start point, then each line or quadratic spline record (kind, its first
// point and count), then the contour's end. Records that do not fit end the
// walk; records of other kinds are passed over, or handed on when the
// reader takes them. Every reader of the records goes through here.
template <class Reader>
void walk_native_records(const void* buffer, unsigned long size, Reader& reader) {
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  unsigned long off = 0;
  while (p && size - off >= 16 && off < size) {
    const uint32_t cb = static_cast<uint32_t>(rd32(p + off));
    const uint32_t type = static_cast<uint32_t>(rd32(p + off + 4));
    if (type != TT_POLYGON_TYPE || cb < 16 || cb > size - off) break;
    reader.start(p + off + 8);
    unsigned long at = off + 16;
    const unsigned long end = off + cb;
    while (end - at >= 4) {
      const uint16_t kind = rd16(p + at);
      const unsigned n = rd16(p + at + 2);
      if ((end - at - 4) / 8 < n) break;  // the record runs past its contour
      reader.record(kind, p + at + 4, n);
      at += 4 + 8ul * n;
    }
    reader.close();
    off = end;
  }
}

// The integer cubic pieces of MB_TTF_Outline.
struct Cubic_Reader {
  std::vector<MB_TTF_Outline::Contour>& contours;
  MB_TTF_Outline::Contour c;
  void start(const uint8_t* pt) {
    c.clear();
    c.push_back(point_at(pt));
  }
  void record(uint16_t kind, const uint8_t* pts, unsigned n) {
    if (kind == TT_PRIM_LINE)
      AppendPolyLineToBezier(c, pts, n);
    else if (kind == TT_PRIM_QSPLINE)
      AppendQuadBSplineToBezier(c, pts, n);
  }
  void close() {
    CloseContour(c);
    for (POINT& pt : c) pt.y = -pt.y;
    contours.push_back(std::move(c));
  }
};

}  // namespace

int MB_TTF_Outline::Create(const void* buffer, unsigned long size) {
  Cubic_Reader reader{contours_, {}};
  walk_native_records(buffer, size, reader);
  return 1;
}

namespace {

// Glyph outlines as drawn: the records' points kept to their 16.16 fixed
// precision and each curve cut into chords that stay within kFlatness of
// it, so a glyph zoomed a hundred times still shows curves, not corners.
// Finer chords would cost layout time for no pixel.
constexpr double kFixedUnit = 1.0 / 65536.0;
constexpr double kFlatness = MB_TTF_Library::kOutlineHeight / 4000.0;
// A hostile record cannot make more than this many chords of one curve.
constexpr int kMaxChords = 64;

struct Flat_Reader {
  std::vector<std::vector<As_Pt>>& contours;
  std::vector<As_Pt> c;

  static As_Pt at(const uint8_t* pt) { return As_Pt(rd32(pt) * kFixedUnit, rd32(pt + 4) * kFixedUnit, 0.0); }
  // Chords enough that a curve whose control polygon bends by `bend` (the
  // largest second difference) stays within kFlatness of them.
  static int chords(double bend, double scale) {
    const double n = std::ceil(std::sqrt(bend * scale / kFlatness));
    return n < 1 || !(n == n) ? 1 : n > kMaxChords ? kMaxChords : static_cast<int>(n);
  }
  void quadratic(const As_Pt& b, const As_Pt& e) {
    const As_Pt a = c.back();
    const double bend = std::hypot(a.x() - 2 * b.x() + e.x(), a.y() - 2 * b.y() + e.y());
    const int n = chords(bend, 0.25);
    for (int i = 1; i < n; ++i) {
      const double t = double(i) / n, u = 1 - t;
      c.emplace_back(u * u * a.x() + 2 * u * t * b.x() + t * t * e.x(),
                     u * u * a.y() + 2 * u * t * b.y() + t * t * e.y(), 0.0);
    }
    c.push_back(e);
  }
  void cubic(const As_Pt& b, const As_Pt& d, const As_Pt& e) {
    const As_Pt a = c.back();
    const double bend = std::max(std::hypot(a.x() - 2 * b.x() + d.x(), a.y() - 2 * b.y() + d.y()),
                                 std::hypot(b.x() - 2 * d.x() + e.x(), b.y() - 2 * d.y() + e.y()));
    const int n = chords(bend, 0.75);
    for (int i = 1; i < n; ++i) {
      const double t = double(i) / n, u = 1 - t;
      const double k0 = u * u * u, k1 = 3 * u * u * t, k2 = 3 * u * t * t, k3 = t * t * t;
      c.emplace_back(k0 * a.x() + k1 * b.x() + k2 * d.x() + k3 * e.x(),
                     k0 * a.y() + k1 * b.y() + k2 * d.y() + k3 * e.y(), 0.0);
    }
    c.push_back(e);
  }
  void start(const uint8_t* pt) {
    c.clear();
    c.push_back(at(pt));
  }
  // The pieces as the integer reader makes them: a quadratic record's
  // control points meet at their midpoints; a cubic record takes its points
  // three at a time.
  void record(uint16_t kind, const uint8_t* pts, unsigned n) {
    if (kind == TT_PRIM_LINE || (kind == TT_PRIM_QSPLINE && n == 1)) {
      for (unsigned j = 0; j < n; ++j) c.push_back(at(pts + 8 * j));
    } else if (kind == TT_PRIM_QSPLINE) {
      for (unsigned j = 0; j + 1 < n; ++j) {
        const As_Pt b = at(pts + 8 * j), nb = at(pts + 8 * j + 8);
        quadratic(b, j + 2 == n ? nb : As_Pt((b.x() + nb.x()) / 2, (b.y() + nb.y()) / 2, 0.0));
      }
    } else if (kind == TT_PRIM_CSPLINE) {
      for (unsigned j = 0; j + 2 < n; j += 3) cubic(at(pts + 8 * j), at(pts + 8 * j + 8), at(pts + 8 * j + 16));
    }
  }
  void close() {
    if (c.size() > 1 && (c.back().x() != c.front().x() || c.back().y() != c.front().y())) c.push_back(c.front());
    contours.push_back(std::move(c));
  }
};

const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// GDI's outline call for a code: the ANSI one for 8-bit (GBK) codes, the
// Unicode one for codes marked kUnicode.
DWORD glyph_outline(HDC hdc, uint32_t code, UINT format, GLYPHMETRICS* gm, DWORD size, void* buffer) {
  if (code & MB_Font_Library::kUnicode) {
    return GetGlyphOutlineW(hdc, code & ~MB_Font_Library::kUnicode, format, gm, size, buffer, &kIdentity);
  }
  return GetGlyphOutlineA(hdc, code, format, gm, size, buffer, &kIdentity);
}

// The native records of a character of the font selected in hdc; false
// when GDI has none.
bool native_records(HDC hdc, uint32_t code, std::vector<uint8_t>& buf) {
  GLYPHMETRICS gm;
  const DWORD size = glyph_outline(hdc, code, GGO_NATIVE, &gm, 0, nullptr);
  if (size == GDI_ERROR) return false;
  buf.resize(size);
  return !size || glyph_outline(hdc, code, GGO_NATIVE, &gm, size, buf.data()) != GDI_ERROR;
}

}  // namespace

std::unique_ptr<MB_TTF_Outline> CreateOutline(HDC hdc, long code) {
  std::vector<uint8_t> buf;
  if (!native_records(hdc, static_cast<uint32_t>(code), buf)) return nullptr;
  std::unique_ptr<MB_TTF_Outline> o(new MB_TTF_Outline);
  o->Create(buf.data(), static_cast<unsigned long>(buf.size()));
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
  const std::string where = g_system_resource.font_path(has_folder ? path : (file ? file : ""));
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
  std::vector<uint8_t> records;
  const bool outline = code != kSpace && native_records(dc, code, records);
  SelectObject(dc, metrics_font);
  GLYPHMETRICS gm = {};
  const bool metrics = glyph_outline(dc, code, GGO_METRICS, &gm, 0, nullptr) != GDI_ERROR;
  if (outline || metrics) {
    c.reset(new MB_TTF_Char(code));
    if (outline) {
      Flat_Reader reader{c->contours(), {}};
      walk_native_records(records.data(), static_cast<unsigned long>(records.size()), reader);
      double right = 0;
      for (const std::vector<As_Pt>& contour : c->contours()) {
        for (const As_Pt& p : contour) right = std::max(right, p.x());
      }
      c->set_end_pos(right, right / 3, 0);
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
  advance_pen(As_Pt(c->advance(), 0, 0), s, s, pen, height, vertical);
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
  advance_pen(As_Pt(c->advance(), 0, 0), s, s, pen, height, vertical);
  return true;
}
