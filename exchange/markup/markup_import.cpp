// Markup import: the base drawing by its kind (a native drawing through the
// kernel, a DXF through the outside loader), then the document's polylines
// and texts on top of it.
#include <qm_file.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "api/api_create_curves.h"
#include "api/api_make.h"
#include "database/entities/mb_polyline.h"
#include "database/entities/mb_text.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "exchange/cadbridge/mb_dwg_load_save.h"
#include "exchange/markup/markup_format.h"
#include "exchange/markup/markupio.h"
#include "exchange/markup/xml_document.h"
#include "geometry/as_log.h"
#include "qm_text.h"

namespace {

// The BaseDocument text without the double quotes around it: a leading
// quote, and a trailing one after it, are dropped.
std::string unquoted(const std::string& text) {
  if (text.empty() || text[0] != '"') return text;
  std::string inner = text.substr(1);
  if (!inner.empty() && inner.back() == '"') inner.pop_back();
  return inner;
}

// The points of a markup object: its Point2d children in order. False when
// one of them lacks a readable x or y.
bool read_points(const QmXmlNode& object, std::vector<As_Pt>& points) {
  for (const QmXmlNode& child : object.children()) {
    if (!child.has_base_name(kMarkupPointName)) continue;
    double x, y;
    if (!Xml_Document::xml_read_point(child, x, y)) return false;
    points.emplace_back(x, y, 0.0);
  }
  return true;
}

// How far apart two points of one markup object may lie and still be the
// same point: the native format and the document each keep a coordinate to
// their own precision.
constexpr double kSamePointTolerance = 1e-6;

bool same_point_of_markup(const As_Pt& a, const As_Pt& b) {
  const double scale = 1.0 + std::max(std::fabs(a.x()), std::fabs(a.y()));
  return std::fabs(a.x() - b.x()) <= kSamePointTolerance * scale &&
         std::fabs(a.y() - b.y()) <= kSamePointTolerance * scale;
}

class Markup_Reader {
 public:
  explicit Markup_Reader(MB_Drawing& drawing) : drawing_(drawing) {}

  void read(const std::vector<QmXmlNode>& objects) {
    for (MB_Object* o = drawing_.object_list().head(); o; o = o->next()) {
      const MB_Object::MB_ID id = o->object_id();
      if ((id == MB_Object::ID_POLYLINE || id == MB_Object::ID_TEXT) && markup_is_marked(*static_cast<MB_Drawable*>(o)))
        held_.push_back(static_cast<MB_Drawable*>(o));
    }
    for (size_t i = 0; i < objects.size(); ++i) {
      const QmXmlNode& object = objects[i];
      if (object.has_base_name(kMarkupStyleName)) {
        style(object, i + 1 < objects.size() ? objects[i + 1] : QmXmlNode());
      } else if (object.has_base_name(kMarkupPolylineName)) {
        polyline(object);
      } else if (object.has_base_name(kMarkupTextName)) {
        text(object);
      }
    }
  }

 private:
  // The style describes the object after it; a style without one, or
  // without the field, changes nothing.
  void style(const QmXmlNode& node, const QmXmlNode& next) {
    const bool polyline = next.has_base_name(kMarkupPolylineName), text = next.has_base_name(kMarkupTextName);
    std::string styles;
    if ((!polyline && !text) || !node.attribute("styles", styles)) return;
    if (polyline) markup_style_field(styles, kMarkupWeightField, weight_);
    if (text) markup_style_field(styles, kMarkupHeightField, height_);
  }

  // A polyline holds at most MB_Polyline::kMaxCount points: a longer one is
  // kept whole as consecutive pieces, each starting at the point where the
  // one before it ends, and the kernel's log says so.
  void polyline(const QmXmlNode& node) {
    std::vector<As_Pt> points;
    if (!read_points(node, points) || points.empty()) return;
    const size_t most = MB_Polyline::kMaxCount;
    const double width = weight_ * kMarkupWidthPerWeight;
    g_current_drawing = &drawing_;
    int pieces = 0;
    for (size_t start = 0;; start += most - 1) {
      const size_t n = std::min(points.size() - start, most);
      if (MB_Polyline* held = held_polyline(&points[start], n)) {
        held->general().display_color(kMarkupColor);
        ++pieces;
        if (start + n == points.size()) break;
        continue;
      }
      // Appended unbuilt: the drawing is built once when the document is read.
      MB_Polyline* p = nullptr;
      if (!api_mb_create_polyline(p, int(n), false) || !p) return;
      for (size_t i = 0; i < n; ++i) {
        MB_Pline_Pos& v = p->pline_pos()[i];
        v.point = points[start + i];
        v.bulge = 0.0;
        v.start_width = v.end_width = width;
      }
      p->set_string(MB_PROP_XDATA_TEXT, kMarkupMark);
      p->general().display_color(kMarkupColor);
      ++pieces;
      if (start + n == points.size()) break;
    }
    if (pieces > 1) {
      const std::string what = std::to_string(points.size()) + " points is kept as " + std::to_string(pieces) +
                               " polylines of at most " + std::to_string(most) + " points";
      message_out("markup: a polyline of ", what.c_str(), nullptr, false);
    }
  }

  void text(const QmXmlNode& node) {
    std::vector<As_Pt> points;
    if (!read_points(node, points) || points.empty()) return;
    std::string content;
    node.attribute("textContent", content);
    std::string gbk = qm_utf8_to_gbk_text(content);
    if (held_text(points[0], gbk)) return;
    MB_Text* t = nullptr;
    if (!api_mb_make_text(t, &gbk[0], points[0], nullptr, height_ * kMarkupTextHeightPerHeight, drawing_) || !t) {
      return;
    }
    t->text_style().width_scale(1.0);
    t->text_style().ali_flag(kMarkupTextAlignment);
    // Marked like the polylines, so that a document opened and saved again
    // keeps its texts.
    t->set_string(MB_PROP_XDATA_TEXT, kMarkupMark);
    drawing_.add_object(t);
  }

  // The markup object the drawing held before the document was read: its
  // base drawing was saved with the markup in it, or is the drawing open.
  // Such an object is not added again, so that a document opened and saved
  // keeps one copy of each; each held object stands for one object of the
  // document.
  template <class Same>
  MB_Drawable* take_held(MB_Object::MB_ID id, Same same) {
    for (auto it = held_.begin(); it != held_.end(); ++it) {
      if ((*it)->object_id() != id || !same(**it)) continue;
      MB_Drawable* found = *it;
      held_.erase(it);
      return found;
    }
    return nullptr;
  }
  MB_Polyline* held_polyline(const As_Pt* points, size_t n) {
    return static_cast<MB_Polyline*>(take_held(MB_Object::ID_POLYLINE, [&](MB_Drawable& e) {
      auto& p = static_cast<MB_Polyline&>(e);
      if (p.count() != n) return false;
      for (size_t i = 0; i < n; ++i)
        if (!same_point_of_markup(p.pline_pos()[i].point, points[i])) return false;
      return true;
    }));
  }
  bool held_text(const As_Pt& at, const std::string& gbk) {
    return take_held(MB_Object::ID_TEXT, [&](MB_Drawable& e) {
             auto& t = static_cast<MB_Text&>(e);
             return t.bytes() == gbk && same_point_of_markup(t.base_pos(), at);
           }) != nullptr;
  }

  MB_Drawing& drawing_;
  std::vector<MB_Drawable*> held_;
  double weight_ = kMarkupDefaultWeight;
  double height_ = kMarkupDefaultHeight;
};

// Reads the base drawing into the drawing by its kind; why it could not be
// read, empty when it was.
std::string read_base(const std::string& path, MB_Drawing& drawing) {
  errno = 0;
  if (FILE* f = qm_fopen(path.c_str(), "rb")) {
    std::fclose(f);
  } else {
    return qm_file_error(path.c_str(), errno ? errno : EINVAL);
  }
  if (is_file_ext(path.c_str(), "kzf") || is_file_ext(path.c_str(), "qlf")) {
    MB_File_IO io;
    io.drawing(&drawing);
    return io.load_kzf(path.c_str()) ? "" : io.reason();
  }
  MB_Dwg_Load_Save loader;
  int result = kCadbridgeLoaded;
  MB_Drawing* target = &drawing;
  if (loader.drw_marcompopen(target, path.c_str(), &result, false)) return "";
  switch (result) {
    case kCadbridgeDwgNotRead: return "DWG drawings cannot be read here";
    case kCadbridgeUnknownKind: return "no reader takes this extension";
    case kCadbridgeNoFile: return qm_file_error(path.c_str(), errno ? errno : EINVAL);
    default: return "holds no DXF data that could be read";
  }
}

}  // namespace

bool api_mb_load_xml(CString& markup_path, MB_Drawing* drawing, CString& base_document) {
  return api_mb_load_xml(markup_path, drawing, base_document, nullptr, nullptr);
}

bool api_mb_load_xml(CString& markup_path, MB_Drawing* drawing, CString& base_document, const char* already_open,
                     std::string* base_failure) {
  if (base_failure) base_failure->clear();
  if (!drawing) return false;
  Xml_Document doc(markup_path);
  base_document = CString(unquoted(doc.xml_get_base_document()));
  const std::string base = static_cast<const char*>(base_document);
  const bool open_already = already_open && *already_open && qm_same_file(base.c_str(), already_open);
  if (!base.empty() && !open_already) {
    const std::string why = read_base(base, *drawing);
    if (!why.empty() && base_failure) *base_failure = base + ": " + why;
  }

  if (!doc.xml_has_objects()) return false;
  Markup_Reader(*drawing).read(doc.xml_get_object_nodes());
  // One build of the whole drawing gives every new object its display.
  drawing->build_draw();
  return true;
}
