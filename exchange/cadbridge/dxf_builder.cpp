// The kernel objects of a DXF file, made as dxflib reports the file's records.
#include "exchange/cadbridge/dxf_builder.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "database/entities/mb_block.h"
#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_face.h"
#include "database/entities/mb_image.h"
#include "database/entities/mb_insert.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_point.h"
#include "database/entities/mb_solid.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "exchange/cadbridge/dxf_codes.h"
#include "exchange/cadbridge/dxf_hatch.h"
#include "exchange/cadbridge/dxf_spline.h"
#include "geometry/as_pt.h"

namespace {

// Classic polyline flags.
constexpr int kClosed = 1;
constexpr int kPolyfaceMesh = 64;
constexpr int kPolygonMesh = 16;

uint32_t colorref(int r, int g, int b) { return RGB(r, g, b); }

// A 24-bit colour of the file (0xRRGGBB) as a GDI colour.
uint32_t true_color(int rgb) { return colorref((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

}  // namespace

uint32_t dxf_aci_color(int index) {
  static const uint32_t kFirst[] = {colorref(255, 0, 0),     colorref(255, 255, 0),   colorref(0, 255, 0),
                                    colorref(0, 255, 255),   colorref(0, 0, 255),     colorref(255, 0, 255),
                                    colorref(255, 255, 255), colorref(128, 128, 128), colorref(192, 192, 192)};
  static const int kGrey[] = {51, 80, 105, 130, 190, 255};
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
                        guarded.text.find("\nIMAGE\n") != std::string::npos) {
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
  layer->color(attributes.getColor24() >= 0 ? true_color(attributes.getColor24()) : dxf_aci_color(std::abs(color)));
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
    g.color(int32_t(dxf_aci_color(std::abs(aci))));
  }
  g.display_color(g.color());
  g.line_type(line_types_.resolve(own.getLinetype(), layer));
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

void Dxf_Builder::addPoint(const DL_PointData& d) {
  if (!in_paper_space()) place(new MB_Point(As_Pt(d.x, d.y, d.z)));
}

void Dxf_Builder::addLine(const DL_LineData& d) {
  if (!in_paper_space()) place(new MB_Line(As_Pt(d.x1, d.y1, d.z1), As_Pt(d.x2, d.y2, d.z2)));
}

void Dxf_Builder::addRay(const DL_RayData& d) {
  if (!in_paper_space()) place(new MB_Ray(As_Pt(d.bx, d.by, d.bz), As_Pt(d.bx + d.dx, d.by + d.dy, d.bz + d.dz)));
}

void Dxf_Builder::addArc(const DL_ArcData& d) {
  if (in_paper_space()) return;
  place(new MB_Arc(As_Pt(d.cx, d.cy, d.cz), d.radius, d.angle1 * kDxfDegree, d.angle2 * kDxfDegree));
}

void Dxf_Builder::addCircle(const DL_CircleData& d) {
  if (!in_paper_space()) place(new MB_Circle(As_Pt(d.cx, d.cy, d.cz), d.radius));
}

void Dxf_Builder::addEllipse(const DL_EllipseData& d) {
  if (in_paper_space()) return;
  const As_Pt centre(d.cx, d.cy, d.cz), axis(d.mx, d.my, d.mz);
  const bool whole = std::fabs(d.angle2 - d.angle1 - two_pi) < 1e-9 || d.angle1 == d.angle2;
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
  if (!polyline_light_ && (d.flags & (kPolyfaceMesh | kPolygonMesh))) {
    skip("POLYLINE mesh");
    polyline_skipped_ = true;
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
  place(new MB_Polyline(polyline_closed_, uint16_t(vertices_.size()), array), &polyline_attributes_);
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

void Dxf_Builder::addInsert(const DL_InsertData& d) {
  finish_polyline();
  if (in_paper_space()) return;
  MB_Insert* insert = new MB_Insert(As_Pt(d.ipx, d.ipy, d.ipz), d.angle * kDxfDegree, d.sx, d.sy, d.sz);
  insert->block(MB_String(d.name.c_str()), drawing_);
  insert->build_transf();
  place(insert);
}

// Solids and traces list their corners zigzag (1, 2, 3, 4 with 3 below 1);
// the kernel's solid goes round its outline.
void Dxf_Builder::addSolid(const DL_SolidData& d) {
  if (in_paper_space()) return;
  place(new MB_Solid(As_Pt(d.x[0], d.y[0], d.z[0]), As_Pt(d.x[1], d.y[1], d.z[1]), As_Pt(d.x[3], d.y[3], d.z[3]),
                     As_Pt(d.x[2], d.y[2], d.z[2])));
}

void Dxf_Builder::addTrace(const DL_TraceData& d) { addSolid(d); }

void Dxf_Builder::add3dFace(const DL_3dFaceData& d) {
  if (in_paper_space()) return;
  MB_Face* face = new MB_Face(4);
  for (int k = 0; k < 4; ++k) face->points()[k] = As_Pt(d.x[k], d.y[k], d.z[k]);
  place(face);
}

void Dxf_Builder::addHatch(const DL_HatchData&) {
  finish_polyline();
  const size_t index = hatch_index_++;
  if (in_paper_space()) return;
  const std::vector<MB_Geom*> made =
      index < guarded_.hatches.size() ? dxf_hatch_entities(guarded_.hatches[index]) : std::vector<MB_Geom*>();
  for (MB_Geom* entity : made) place(entity);
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
