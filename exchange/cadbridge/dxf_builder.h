// Turns what dxflib reports into the kernel's own objects: layers with their
// colours, blocks, and the entities the kernel has classes for, appended to
// the drawing (or to the block being defined). Texts, attributes,
// dimensions and leaders are built from the records themselves afterwards
// (dxf_annotations.h) and placed through place_in. Whatever the kernel
// cannot hold (hatches, images, meshes, paper-space entities) is skipped and
// counted by kind.
#pragma once

#include <dxflib/dl_creationadapter.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "database/entities/mb_insert.h"
#include "database/entities/mb_polyline.h"
#include "exchange/cadbridge/dxf_guard.h"
#include "exchange/cadbridge/dxf_image.h"
#include "exchange/cadbridge/dxf_linetype.h"
#include "exchange/cadbridge/dxf_ocs.h"

class MB_Block;
class MB_Drawable;
class MB_Drawing;
class MB_Layer;
class MB_Object;

// The GDI colour (0x00BBGGRR) of an AutoCAD colour index 1..255, or of its
// negative (the colour of a layer that is off); white for any other index.
uint32_t dxf_aci_color(int index);

class Dxf_Builder : public DL_CreationAdapter {
 public:
  Dxf_Builder(MB_Drawing& drawing, const Dxf_Guarded& guarded);
  ~Dxf_Builder() override;
  Dxf_Builder(const Dxf_Builder&) = delete;
  Dxf_Builder& operator=(const Dxf_Builder&) = delete;

  void addLayer(const DL_LayerData& data) override;
  void addBlock(const DL_BlockData& data) override;
  void endBlock() override;
  void addPoint(const DL_PointData& data) override;
  void addLine(const DL_LineData& data) override;
  void addRay(const DL_RayData& data) override;
  void addArc(const DL_ArcData& data) override;
  void addCircle(const DL_CircleData& data) override;
  void addEllipse(const DL_EllipseData& data) override;
  void addPolyline(const DL_PolylineData& data) override;
  void addVertex(const DL_VertexData& data) override;
  void addSpline(const DL_SplineData& data) override;
  void addControlPoint(const DL_ControlPointData& data) override;
  void addFitPoint(const DL_FitPointData& data) override;
  void addKnot(const DL_KnotData& data) override;
  void addInsert(const DL_InsertData& data) override;
  void addSolid(const DL_SolidData& data) override;
  void addTrace(const DL_TraceData& data) override;
  void add3dFace(const DL_3dFaceData& data) override;
  void endEntity() override;
  void addHatch(const DL_HatchData& data) override;
  void addImage(const DL_ImageData& data) override;
  void addLinetype(const DL_LinetypeData& data) override;
  void addLinetypeDash(double length) override;
  void setVariableDouble(const std::string& key, double value, int code) override;
  void setVariableInt(const std::string& key, int value, int code) override;
  void setVariableVector(const std::string& key, double x, double y, double z, int code) override;
  void endSequence() override;

  void addXLine(const DL_XLineData& data) override;
  void addArcAlignedText(const DL_ArcAlignedTextData&) override { skip("ARCALIGNEDTEXT"); }

  // Where picture files named relatively are found: the DXF file's folder
  // with its final '/'.
  void picture_folder(const std::string& folder) { images_.folder(folder); }
  // Turns and clips the image placed for an IMAGE record as its record asks
  // (Dxf_Images::turn_and_clip), within the budget of the drawing's pictures.
  void turn_and_clip(MB_Image& image, const Dxf_Record& record) { images_.turn_and_clip(image, record, problems_); }
  // How many inserts the file's arrays (MINSERT) make together; past it an
  // array draws its first cell only.
  void array_budget(int64_t cells) { array_budget_ = cells; }
  // Ends what is still open; call once after the parse.
  void finish();

  // Appends an entity made outside dxflib's callbacks to `block` (the
  // drawing when null), with the layer and colour of `from`.
  void place_in(MB_Drawable* entity, const DL_Attributes& from, MB_Block* block);

  // The last entity placed for the record of the handle (as dxflib reads
  // group 5), or null. Kept only for files that hold the kinds placed
  // against the geometry afterwards (wipeouts, images).
  MB_Drawable* placed_for(int handle) const {
    auto it = by_handle_.find(handle);
    return it == by_handle_.end() ? nullptr : it->second;
  }

  size_t entity_count() const { return entities_; }
  size_t block_count() const { return blocks_; }
  // Kinds skipped and how many of each.
  const std::map<std::string, size_t>& skipped() const { return skipped_; }
  // Problems met while building (vertex limits, duplicate blocks...).
  const std::vector<std::string>& problems() const { return problems_; }
  // How each object placed in a block, and each insert there, takes from
  // its insert (Dxf_Inherit_Flag bits); objects that take nothing are not
  // listed.
  const std::unordered_map<const MB_Object*, uint8_t>& inherited() const { return inherited_; }

 private:
  void skip(const char* kind) { ++skipped_[kind]; }
  bool in_paper_space();
  // Layer and colour from the attributes (the current ones when null); then
  // appended to the block being defined or the drawing.
  void place(MB_Drawable* entity, const DL_Attributes* from = nullptr);
  MB_Layer* layer_named(const std::string& name);
  // The plane of the entity being reported (its extrusion).
  Dxf_Ocs plane();
  void remember_inherited(const MB_Drawable& entity, const DL_Attributes& own);
  // Placed as `place` does, after being carried out of that plane.
  void place_planar(MB_Drawable* entity);
  void finish_polyline();
  // A face of `count` corners (2 to 4) without the edges `hidden` marks.
  void add_face(const As_Pt* corners, int count, int hidden);
  void add_mesh(const Dxf_Mesh& mesh);
  void finish_spline();

  MB_Drawing& drawing_;
  const Dxf_Guarded& guarded_;
  std::map<std::string, MB_Layer*> layers_;
  Dxf_Line_Types line_types_;
  Dxf_Images images_;
  MB_Block* block_ = nullptr;
  // Blocks defined so far: a later definition of one is left out, whatever
  // it holds (an empty block made by an insert is not yet defined).
  std::set<MB_Block*> defined_;
  // Objects of a definition that repeats a block's name: thrown away.
  MB_Block* discard_ = nullptr;
  size_t entities_ = 0;
  // How points are drawn ($PDMODE, $PDSIZE) and the height of the drawing's
  // extents ($EXTMIN, $EXTMAX) that sizes given relatively refer to.
  int point_mode_ = 0;
  double point_size_ = 0.0;
  double extent_low_ = 0.0, extent_high_ = 0.0;
  double point_mark_size() const;
  size_t blocks_ = 0;
  // Cells of arrays of inserts (MINSERT) made so far, within the budget the
  // whole file shares (one array's cap), so that many arrays cannot
  // multiply it.
  int64_t array_budget_ = MB_Minsert::kMaxCells;
  int64_t array_cells_ = 0;
  bool arrays_cut_ = false;  // said once
  std::map<std::string, size_t> skipped_;
  std::vector<std::string> problems_;
  std::unordered_map<const MB_Object*, uint8_t> inherited_;
  bool remember_handles_ = false;
  std::unordered_map<int, MB_Drawable*> by_handle_;

  // The polyline being read.
  bool polyline_open_ = false;
  bool polyline_closed_ = false;
  bool polyline_light_ = false;
  bool polyline_skipped_ = false;
  DL_Attributes polyline_attributes_;
  Dxf_Ocs polyline_plane_;
  std::vector<MB_Pline_Pos> vertices_;
  size_t light_index_ = 0;
  size_t polyline_index_ = 0;
  size_t hatch_index_ = 0;
  size_t face_index_ = 0;
  size_t mesh_index_ = 0;
  size_t vertex_index_ = 0;
  const std::vector<Dxf_Width>* light_widths_ = nullptr;

  // The spline being read.
  bool spline_open_ = false;
  DL_SplineData spline_{0, 0, 0, 0, 0};
  std::vector<DL_ControlPointData> control_;
  std::vector<DL_FitPointData> fit_;
  std::vector<double> knots_;
};
