// The kernel objects of a DXF file, made as dxflib reports the file's records.
#include "exchange/cadbridge/dxf_builder.h"

#include <windows.h>

#include <strings.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "database/entities/mb_block.h"
#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_face.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_mesh.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_settings.h"
#include "exchange/cadbridge/dxf_codes.h"
#include "exchange/cadbridge/dxf_hatch.h"
#include "exchange/cadbridge/dxf_inherit.h"
#include "exchange/cadbridge/dxf_ocs.h"
#include "exchange/cadbridge/dxf_spline.h"
#include "geometry/as_pt.h"

namespace {

// Classic polyline flags.
constexpr int kClosed = 1;
constexpr int kPolyfaceMesh = 64;
constexpr int kPolygonMesh = 16;
// A polygon mesh closed along N (along M is kClosed).
constexpr int kClosedN = 32;
// The invisible edge bits of a 3DFACE.
constexpr int kAllEdges = 15;
// The mark of a point ($PDMODE): a shape in the low bits, and a circle and a
// square around it.
constexpr int kPointShapeBits = 7;
constexpr int kPointDot = 0;
constexpr int kPointPlus = 2;
constexpr int kPointCross = 3;
constexpr int kPointTick = 4;
constexpr int kPointCircle = 32;
constexpr int kPointSquare = 64;
// A mark sized 0 is this share of the drawing's height.
constexpr double kPointDefaultShare = 0.05;

uint32_t colorref(int r, int g, int b) { return RGB(r, g, b); }

// A 24-bit colour of the file (0xRRGGBB) as a GDI colour.
uint32_t true_color(int rgb) { return colorref((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

}  // namespace

uint32_t dxf_aci_color(int index) {
  static const uint32_t kFirst[] = {colorref(255, 0, 0),     colorref(255, 255, 0),   colorref(0, 255, 0),
                                    colorref(0, 255, 255),   colorref(0, 0, 255),     colorref(255, 0, 255),
                                    colorref(255, 255, 255), colorref(128, 128, 128), colorref(192, 192, 192)};
  static const int kGrey[] = {51, 80, 105, 130, 190, 255};
  if (index < 0) index = index == INT_MIN ? 0 : -index;
  if (index >= 1 && index <= 9) return kFirst[index - 1];
  if (index >= 250 && index <= 255) return colorref(kGrey[index - 250], kGrey[index - 250], kGrey[index - 250]);
  if (index < 10 || index > 249) return colorref(255, 255, 255);
  // Hue in steps of 15 degrees; in each group of ten, five brightness levels,
  // each fully saturated and then half saturated.
  static const double kValue[] = {1.0, 1.0, 0.65, 0.65, 0.5, 0.5, 0.3, 0.3, 0.15, 0.15};
  const double hue = (index / 10 - 1) * 15.0;
  const double v = kValue[index % 10] * 255.0;
  const double s = index % 2 ? 0.5 : 1.0;
  const double h = hue / 60.0;
  const int sector = int(h) % 6;
  const double f = h - std::floor(h);
  const double p = v * (1.0 - s), q = v * (1.0 - s * f), u = v * (1.0 - s * (1.0 - f));
  double r = v, g = u, b = p;
  switch (sector) {
    case 0:
      r = v, g = u, b = p;
      break;
    case 1:
      r = q, g = v, b = p;
      break;
    case 2:
      r = p, g = v, b = u;
      break;
    case 3:
      r = p, g = q, b = v;
      break;
    case 4:
      r = u, g = p, b = v;
      break;
    default:
      r = v, g = p, b = q;
      break;
  }
  return colorref(int(r), int(g), int(b));
}

Dxf_Builder::Dxf_Builder(MB_Drawing& drawing, const Dxf_Guarded& guarded)
    : drawing_(drawing),
      guarded_(guarded),
      line_types_(drawing),
      remember_handles_(guarded.text.find("\nWIPEOUT\n") != std::string::npos ||
                        guarded.text.find("\nIMAGE\n") != std::string::npos ||
                        guarded.text.find("\nATTRIB\n") != std::string::npos) {
  for (MB_Object* o = drawing.layer_list().head(); o; o = o->next()) {
    if (o->object_id() != MB_Object::ID_LAYER) continue;
    MB_Layer* layer = static_cast<MB_Layer*>(o);
    if (layer->name().ascii()) layers_.emplace(layer->name().ascii(), layer);
  }
}

Dxf_Builder::~Dxf_Builder() { delete discard_; }

MB_Layer* Dxf_Builder::layer_named(const std::string& name) {
  auto it = layers_.find(name);
  if (it != layers_.end()) return it->second;
  // Entities may name layers the table lacks: such a layer is made, as
  // drawing programs make it.
  MB_Layer* layer = new MB_Layer(MB_String(name.c_str()));
  layer->visibility(true);
  layer->id(uint16_t(layers_.size()));
  drawing_.layer_list().add_tail(layer);
  layers_.emplace(name, layer);
  return layer;
}

void Dxf_Builder::addLayer(const DL_LayerData& data) {
  const int color = attributes.getColor();
  auto it = layers_.find(data.name);
  MB_Layer* layer = it != layers_.end() ? it->second : layer_named(data.name);
  // A negative colour marks a layer that is off; flag 1 freezes, 4 locks.
  layer->visibility(color >= 0 && !data.off);
  layer->freeze((data.flags & 1) != 0);
  layer->lock((data.flags & 4) != 0);
  layer->line_type(line_types_.resolve(attributes.getLinetype(), nullptr));
  layer->color(attributes.getColor24() >= 0 ? true_color(attributes.getColor24()) : dxf_aci_color(color));
}

bool Dxf_Builder::in_paper_space() {
  if (!attributes.isInPaperSpace() || block_) return false;
  skip("paper space entity");
  return true;
}

void Dxf_Builder::place(MB_Drawable* entity, const DL_Attributes* from) {
  const DL_Attributes& own = from ? *from : attributes;
  MB_Layer* layer = layer_named(own.getLayer());
  MB_General& g = entity->general();
  g.layer(layer);
  if (!layer->visibility()) entity->flag(0);
  // The colour of the entity's own record: a polyline ends when the next
  // record has begun, whose colour is not the polyline's.
  const int aci = own.getColor();
  if (own.getColor24() >= 0) {
    g.color(int32_t(true_color(own.getColor24())));
  } else if (aci == kDxfByLayer) {
    g.color(int32_t(layer->color()));
  } else if (aci != kDxfByBlock) {
    g.color(int32_t(dxf_aci_color(aci)));
  }
  g.display_color(g.color());
  g.line_type(line_types_.resolve(own.getLinetype(), layer));
  if (block_) remember_inherited(*entity, own);
  if (block_) {
    block_->object_list().add_tail(entity);
  } else if (discard_) {
    discard_->object_list().add_tail(entity);
  } else {
    drawing_.object_list().add_tail(entity);
  }
  if (remember_handles_ && own.getHandle() >= 0 && (block_ || !discard_)) by_handle_[own.getHandle()] = entity;
  ++entities_;
}

Dxf_Ocs Dxf_Builder::plane() {
  const DL_Extrusion* e = getExtrusion();
  const double* n = e ? e->getDirection() : nullptr;
  return n ? Dxf_Ocs(n[0], n[1], n[2]) : Dxf_Ocs();
}

void Dxf_Builder::place_planar(MB_Drawable* entity) {
  if (MB_Drawable* placed = plane().place(entity)) place(placed);
}

void Dxf_Builder::remember_inherited(const MB_Drawable& entity, const DL_Attributes& own) {
  uint8_t f = 0;
  if (own.getLayer() == "0") f |= kDxfOnLayerZero;
  if (own.getColor24() < 0 && own.getColor() == kDxfByBlock) f |= kDxfColorByBlock;
  if (own.getColor24() < 0 && own.getColor() == kDxfByLayer) f |= kDxfColorByLayer;
  const std::string type = dxf_upper(own.getLinetype());
  if (type == "BYBLOCK") f |= kDxfLineTypeByBlock;
  if (type == "BYLAYER" || type.empty()) f |= kDxfLineTypeByLayer;
  // Only objects on layer 0 or of BYBLOCK take anything; BYLAYER alone
  // keeps the object's own layer's.
  if (f & (kDxfOnLayerZero | kDxfColorByBlock | kDxfLineTypeByBlock)) {
    inherited_[&entity] = f;
  } else {
    inherited_.erase(&entity);
  }
}

void Dxf_Builder::place_in(MB_Drawable* entity, const DL_Attributes& from, MB_Block* block) {
  MB_Block* const open = block_;
  MB_Block* const discard = discard_;
  block_ = block;
  discard_ = nullptr;
  place(entity, &from);
  block_ = open;
  discard_ = discard;
}

void Dxf_Builder::addBlock(const DL_BlockData& data) {
  finish_polyline();
  const As_Pt base(data.bpx, data.bpy, data.bpz);
  MB_Block* found = drawing_.find_block(data.name.c_str());
  if (found && defined_.count(found)) {
    // A second definition of a name keeps the first.
    problems_.push_back("block \"" + data.name + "\" is defined twice; the second definition is left out");
    delete discard_;
    discard_ = new MB_Block(base, MB_String(data.name.c_str()), MB_String(""));
    block_ = nullptr;
    return;
  }
  if (found) {
    // Made empty by an insert read before its definition.
    found->base_pos(base);
    block_ = found;
  } else {
    block_ = new MB_Block(base, MB_String(data.name.c_str()), MB_String(""));
    drawing_.block_list().add_tail(block_);
  }
  defined_.insert(block_);
  ++blocks_;
}

void Dxf_Builder::endBlock() {
  finish_polyline();
  block_ = nullptr;
  delete discard_;
  discard_ = nullptr;
}

double Dxf_Builder::point_mark_size() const {
  if (point_size_ > 0.0) return point_size_;
  // A size of 0 is a share of the drawing's height, a negative one a
  // percentage of it; without extents the mark is one unit, as peers draw it.
  const double height = extent_high_ - extent_low_;
  if (!(height > 0.0) || !std::isfinite(height)) return 1.0;
  return point_size_ == 0.0 ? height * kPointDefaultShare : height * -point_size_ / 100.0;
}

// A point is drawn as the mark of the file's point mode, built of lines and a
// circle in the point's own colour; a dot is a line of no length. The circle
// and square span the mark's size; a plus or cross reaches out through them
// by as much again, as drawing programs chart the modes.
void Dxf_Builder::addPoint(const DL_PointData& d) {
  if (in_paper_space()) return;
  const size_t before = entities_;
  // Definition points (of dimensions, mostly) mark where a drawing was
  // measured, not what it shows: drawing programs never plot them.
  if (strcasecmp(attributes.getLayer().c_str(), kDxfDefinitionPointLayer) == 0) {
    ++entities_;
    return;
  }
  const double size = point_mark_size(), half = size / 2.0;
  const auto line = [&](double x1, double y1, double x2, double y2) {
    place(new MB_Line(As_Pt(d.x + x1, d.y + y1, d.z), As_Pt(d.x + x2, d.y + y2, d.z)));
  };
  switch (point_mode_ & kPointShapeBits) {
    case kPointDot: line(0.0, 0.0, 0.0, 0.0); break;
    case kPointPlus:
      line(-size, 0.0, size, 0.0);
      line(0.0, -size, 0.0, size);
      break;
    case kPointCross:
      line(-size, -size, size, size);
      line(-size, size, size, -size);
      break;
    case kPointTick: line(0.0, 0.0, 0.0, half); break;
    default: break;
  }
  if (point_mode_ & kPointSquare) {
    line(-half, -half, half, -half);
    line(half, -half, half, half);
    line(half, half, -half, half);
    line(-half, half, -half, -half);
  }
  if (point_mode_ & kPointCircle) place(new MB_Circle(As_Pt(d.x, d.y, d.z), half));
  // One record, one entity, however many pieces its mark takes.
  entities_ = before + 1;
}

void Dxf_Builder::addLine(const DL_LineData& d) {
  if (!in_paper_space()) place(new MB_Line(As_Pt(d.x1, d.y1, d.z1), As_Pt(d.x2, d.y2, d.z2)));
}

void Dxf_Builder::addRay(const DL_RayData& d) {
  if (!in_paper_space()) place(new MB_Ray(As_Pt(d.bx, d.by, d.bz), As_Pt(d.bx + d.dx, d.by + d.dy, d.bz + d.dz)));
}

void Dxf_Builder::addXLine(const DL_XLineData& d) {
  if (!in_paper_space()) place(new MB_Xline(As_Pt(d.bx, d.by, d.bz), As_Pt(d.bx + d.dx, d.by + d.dy, d.bz + d.dz)));
}

void Dxf_Builder::addArc(const DL_ArcData& d) {
  if (in_paper_space()) return;
  place_planar(new MB_Arc(As_Pt(d.cx, d.cy, d.cz), d.radius, d.angle1 * kDxfDegree, d.angle2 * kDxfDegree));
}

void Dxf_Builder::addCircle(const DL_CircleData& d) {
  if (!in_paper_space()) place_planar(new MB_Circle(As_Pt(d.cx, d.cy, d.cz), d.radius));
}

// The centre and major axis are the world's; the extrusion gives the side
// the minor axis lies on, and a tilted one a projected outline.
void Dxf_Builder::addEllipse(const DL_EllipseData& d) {
  if (in_paper_space()) return;
  const As_Pt centre(d.cx, d.cy, d.cz), axis(d.mx, d.my, d.mz);
  const bool whole = std::fabs(d.angle2 - d.angle1 - two_pi) < 1e-9 || d.angle1 == d.angle2;
  const Dxf_Ocs ocs = plane();
  if (!ocs.world()) {
    const As_Vec u(d.mx, d.my, d.mz), n = ocs.normal();
    const As_Vec across = cross3(n, u);
    const double length = std::sqrt(u.x() * u.x() + u.y() * u.y() + u.z() * u.z());
    const double across_length = std::sqrt(across.x() * across.x() + across.y() * across.y() + across.z() * across.z());
    if (across_length > 0.0) {
      const As_Vec v = across * (d.ratio * length / across_length);
      double end = d.angle2;
      while (end <= d.angle1) end += two_pi;
      if (MB_Geom* made = dxf_projected_ellipse(centre, u, v, d.angle1, end, whole)) place(made);
      return;
    }
  }
  if (whole) {
    place(new MB_Ellipse(centre, axis, d.ratio));
  } else {
    place(new MB_Ellipse_Arc(centre, axis, d.ratio, d.angle1, d.angle2));
  }
}

void Dxf_Builder::addPolyline(const DL_PolylineData& d) {
  finish_polyline();
  polyline_light_ = polyline_index_ < guarded_.polyline_light.size() && guarded_.polyline_light[polyline_index_];
  ++polyline_index_;
  light_widths_ = nullptr;
  if (polyline_light_) {
    if (light_index_ < guarded_.light_widths.size()) light_widths_ = &guarded_.light_widths[light_index_];
    ++light_index_;
  }
  polyline_open_ = true;
  polyline_closed_ = (d.flags & kClosed) != 0;
  polyline_skipped_ = false;
  polyline_attributes_ = attributes;
  polyline_plane_ = plane();
  if (!polyline_light_ && (d.flags & (kPolyfaceMesh | kPolygonMesh))) {
    // Its vertices and faces come from the guard.
    polyline_skipped_ = true;
    const size_t index = mesh_index_++;
    if (!in_paper_space() && index < guarded_.meshes.size()) add_mesh(guarded_.meshes[index]);
  } else if (in_paper_space()) {
    polyline_skipped_ = true;
  }
  vertices_.clear();
}

void Dxf_Builder::addVertex(const DL_VertexData& d) {
  Dxf_Width width;
  if (polyline_light_) {
    if (light_widths_ && vertices_.size() < light_widths_->size()) width = (*light_widths_)[vertices_.size()];
  } else {
    if (vertex_index_ < guarded_.vertex_widths.size()) width = guarded_.vertex_widths[vertex_index_];
    ++vertex_index_;
  }
  if (!polyline_open_ || polyline_skipped_) return;
  MB_Pline_Pos pos;
  pos.point = As_Pt(d.x, d.y, d.z);
  pos.bulge = d.bulge;
  pos.start_width = width.start;
  pos.end_width = width.end;
  vertices_.push_back(pos);
}

void Dxf_Builder::finish_polyline() {
  if (!polyline_open_) return;
  polyline_open_ = false;
  if (polyline_skipped_) return;
  if (vertices_.size() > MB_Polyline::kMaxCount) {
    problems_.push_back("a polyline of " + std::to_string(vertices_.size()) + " vertices keeps its first " +
                        std::to_string(MB_Polyline::kMaxCount));
    vertices_.resize(MB_Polyline::kMaxCount);
  }
  if (vertices_.empty()) {
    skip("POLYLINE without vertices");
    return;
  }
  MB_Pline_Pos* array = new MB_Pline_Pos[vertices_.size()];
  std::copy(vertices_.begin(), vertices_.end(), array);
  MB_Polyline* polyline = new MB_Polyline(polyline_closed_, uint16_t(vertices_.size()), array);
  // Its arcs as finely as arcs of their own.
  const bool arcs =
      std::any_of(vertices_.begin(), vertices_.end(), [](const MB_Pline_Pos& p) { return p.bulge != 0.0; });
  if (arcs) polyline->draw_precision(g_system_setting.get_long_val(MB_ARC_PRECISION));
  place(polyline_plane_.place(polyline), &polyline_attributes_);
  vertices_.clear();
}

void Dxf_Builder::addSpline(const DL_SplineData& d) {
  finish_polyline();
  spline_ = d;
  spline_open_ = true;
  control_.clear();
  fit_.clear();
  knots_.clear();
}

void Dxf_Builder::addControlPoint(const DL_ControlPointData& d) {
  if (spline_open_) control_.push_back(d);
}

void Dxf_Builder::addFitPoint(const DL_FitPointData& d) {
  if (spline_open_) fit_.push_back(d);
}

void Dxf_Builder::addKnot(const DL_KnotData& d) {
  if (spline_open_) knots_.push_back(d.k);
}

// The kernel's spline passes through fit points. A spline given only by its
// control points is sampled along its curve and the samples become the fit
// points; without a usable knot vector the control points themselves are used.
void Dxf_Builder::finish_spline() {
  if (!spline_open_) return;
  spline_open_ = false;
  if (in_paper_space()) return;
  std::vector<As_Pt> points;
  if (fit_.size() >= 2) {
    for (const DL_FitPointData& f : fit_) points.emplace_back(f.x, f.y, f.z);
  } else {
    points = dxf_spline_points(control_, knots_, spline_.degree);
  }
  if (points.size() < 2) {
    skip("SPLINE without points");
    return;
  }
  MB_Bspline* spline = new MB_Bspline(0, int(points.size()));
  std::copy(points.begin(), points.end(), spline->fitpts().points());
  if (fit_.size() >= 2) {
    spline->starttangent(spline_.tangentStartX, spline_.tangentStartY, spline_.tangentStartZ);
    spline->endtangent(spline_.tangentEndX, spline_.tangentEndY, spline_.tangentEndZ);
  }
  place(spline);
}

// An array of inserts (MINSERT) is one insert per cell: columns along the
// insert's turned X axis, rows along its Y axis, spaced in drawing units.
// The arrays of a file together make at most one array's cap of cells;
// past it, an array draws its first cell only, as a plain insert does.
void Dxf_Builder::addInsert(const DL_InsertData& d) {
  finish_polyline();
  if (in_paper_space()) return;
  const int64_t columns = std::max(1, d.cols), rows = std::max(1, d.rows);
  int64_t cells = columns * rows;
  if (cells > 1) {
    const int64_t left = std::max<int64_t>(1, array_budget_ - array_cells_);
    if (cells > left) {
      if (!arrays_cut_)
        problems_.push_back("an array of " + std::to_string(columns) + " by " + std::to_string(rows) +
                            " inserts of \"" + d.name + "\" draws its first " + std::to_string(left) +
                            "; the file's arrays draw at most " + std::to_string(array_budget_) +
                            " inserts, later ones their first only");
      arrays_cut_ = true;
      cells = left;
    }
    array_cells_ += cells;
  }
  const double angle = d.angle * kDxfDegree, c = std::cos(angle), s = std::sin(angle);
  for (int64_t k = 0; k < cells; ++k) {
    const double x = double(k % columns) * d.colSp, y = double(k / columns) * d.rowSp;
    MB_Insert* insert =
        new MB_Insert(As_Pt(d.ipx + x * c - y * s, d.ipy + x * s + y * c, d.ipz), angle, d.sx, d.sy, d.sz);
    insert->block(MB_String(d.name.c_str()), drawing_);
    insert->build_transf();
    place_planar(insert);
  }
}

// Solids and traces list their corners zigzag (1, 2, 3, 4 with 3 below 1);
// the kernel's solid goes round its outline.
void Dxf_Builder::addSolid(const DL_SolidData& d) {
  if (in_paper_space()) return;
  place_planar(new MB_Solid(As_Pt(d.x[0], d.y[0], d.z[0]), As_Pt(d.x[1], d.y[1], d.z[1]), As_Pt(d.x[3], d.y[3], d.z[3]),
                            As_Pt(d.x[2], d.y[2], d.z[2])));
}

void Dxf_Builder::addTrace(const DL_TraceData& d) { addSolid(d); }

// A face with invisible edges (group 70: bit k hides the edge from corner k
// to the next) draws its visible edges only.
void Dxf_Builder::add3dFace(const DL_3dFaceData& d) {
  const size_t index = face_index_++;
  if (in_paper_space()) return;
  const int hidden = index < guarded_.face_edges.size() ? guarded_.face_edges[index] & kAllEdges : 0;
  As_Pt corners[4];
  for (int k = 0; k < 4; ++k) corners[k] = As_Pt(d.x[k], d.y[k], d.z[k]);
  add_face(corners, 4, hidden);
}

void Dxf_Builder::add_face(const As_Pt* corners, int count, int hidden) {
  if (count < 2) return;
  if (!hidden) {
    MB_Face* face = new MB_Face(count);
    std::copy(corners, corners + count, face->points());
    place(face);
    return;
  }
  for (int k = 0; k < count; ++k) {
    if (!(hidden & (1 << k))) place(new MB_Line(corners[k], corners[(k + 1) % count]));
  }
}

// Polygon meshes keep their grid; a polyface mesh draws each face's visible
// edges (a negative vertex number hides the edge that starts at it).
void Dxf_Builder::add_mesh(const Dxf_Mesh& mesh) {
  const int64_t size = int64_t(mesh.m) * mesh.n;
  if (!(mesh.flags & kPolyfaceMesh)) {
    if (mesh.m < 1 || mesh.n < 1 || size != int64_t(mesh.points.size())) {
      skip("POLYLINE mesh of a grid its vertices do not fill");
      return;
    }
    MB_Polygon_Mesh* grid = new MB_Polygon_Mesh(mesh.m, mesh.n);
    std::copy(mesh.points.begin(), mesh.points.end(), grid->points());
    grid->meshm_closed((mesh.flags & kClosed) != 0);
    grid->meshn_closed((mesh.flags & kClosedN) != 0);
    place(grid, &polyline_attributes_);
    return;
  }
  for (const std::array<int, 4>& f : mesh.faces) {
    As_Pt corners[4];
    int count = 0, hidden = 0;
    for (int v : f) {
      const size_t at = size_t(std::abs(v));
      if (v == 0 || at > mesh.points.size()) continue;
      if (v < 0) hidden |= 1 << count;
      corners[count++] = mesh.points[at - 1];
    }
    add_face(corners, count, count == 2 ? hidden | 2 : hidden);
  }
}

void Dxf_Builder::addHatch(const DL_HatchData&) {
  finish_polyline();
  const size_t index = hatch_index_++;
  if (in_paper_space()) return;
  std::vector<MB_Geom*> made;
  if (index < guarded_.hatches.size()) made = dxf_hatch_entities(guarded_.hatches[index]);
  for (MB_Geom* entity : made) place_planar(entity);
  if (made.empty()) skip("HATCH without a boundary");
}

void Dxf_Builder::addImage(const DL_ImageData& data) {
  finish_polyline();
  if (in_paper_space()) return;
  if (MB_Drawable* image = images_.make(data, guarded_.picture_files, problems_)) {
    place(image);
  } else {
    skip("IMAGE without a size");
  }
}

void Dxf_Builder::addLinetype(const DL_LinetypeData& data) { line_types_.add(data.name, data.numberOfDashes); }

void Dxf_Builder::addLinetypeDash(double length) { line_types_.element(length); }

void Dxf_Builder::setVariableDouble(const std::string& key, double value, int) {
  if (key == "$LTSCALE") line_types_.global_scale(value);
  if (key == "$PDSIZE" && std::isfinite(value)) point_size_ = value;
}

void Dxf_Builder::setVariableInt(const std::string& key, int value, int) {
  if (key == "$PDMODE") point_mode_ = value;
}

void Dxf_Builder::setVariableVector(const std::string& key, double, double y, double, int) {
  if (key == "$EXTMIN") extent_low_ = y;
  if (key == "$EXTMAX") extent_high_ = y;
}

void Dxf_Builder::endEntity() {
  finish_polyline();
  finish_spline();
}

void Dxf_Builder::endSequence() { finish_polyline(); }

void Dxf_Builder::finish() {
  finish_polyline();
  finish_spline();
  block_ = nullptr;
  delete discard_;
  discard_ = nullptr;
}
