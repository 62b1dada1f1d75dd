// The image entity: a raster picture centred on a point and stretched to a
// width and a height in drawing units. It has no display node: it paints its
// raster straight onto the device context, and while a rubber band draws
// (g_is_rubbering) only the outline of its rectangle, inverting, so that a
// second drawing removes it. The angle and the alpha value are kept, copied
// and reported; neither drawing nor the file uses them.
//
// The entity owns its raster, or shares it with other images placing the
// same picture (one decoded picture, however many images show it); a shared
// raster is copied before it is handed out for a change (image()). Copies
// (construction, assignment, copy_to) own copies of it.
//
// Record 'G' (no attribute records before it): the optional items, the
// centre as a position, a 32-bit byte count and that many bytes of the
// raster encoded as JPEG; 0 bytes for an image without a raster. Read back,
// the image is one drawing unit per pixel, with angle and alpha 0; bytes
// that do not decode give an image without a raster (the load goes on and
// the log says so).
#pragma once

#include <cstdint>
#include <memory>

#include "database/mb_drawable.h"

class CxImage;

class MB_Image : public MB_Drawable {
 public:
  MB_Image();
  // Takes the raster over.
  explicit MB_Image(CxImage* image);
  // Shares a raster with other images; it is never changed through this one.
  explicit MB_Image(std::shared_ptr<CxImage> shared);
  MB_Image(const MB_Image& other);
  MB_Image& operator=(const MB_Image& other);
  ~MB_Image() override;

  MB_ID object_id() const override { return ID_IMAGE; }
  MB_Type object_type() const override { return TYPE_IMAGE; }

  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io) override;
  MB_Result process(MB_File_IO& io) override;
  static MB_Result default_process(MB_Image&, MB_File_IO&) { return MB_SUCCESS; }
  // Into an image (or a new one for a null target): centre, a copy of the
  // raster, sizes, angle, alpha and the general attributes.
  bool copy_to(MB_Object*& target) override;

  // Inside the extents grown by tol (edges included): `found` is p, the
  // kind is left as the caller set it.
  bool pick(const As_Pt& p, As_Pt_List& points, double tol, As_Pt& found, int& kind, int& extra) override;
  // Only the extents, from lt() to rb().
  void build_draw() override;
  // On the device context, or the surface's own when it is null.
  void draw(HDC hdc, CMyDC& dc, As_Tran& view) override;
  // -6 centre, -9 and -10 the corners of the extents.
  As_Pt get_point(int id) const override;
  // -109 width, -110 height, -102 angle.
  double get_real(int id) const override;
  // -206 raster height and -207 raster width in pixels (0 without one),
  // -208 alpha.
  int32_t get_int(int id) const override;
  // Records the change, then moves the centre; the sizes stay.
  void translate(const As_Tran& t) override;

  // The raster, this image's own (a shared one is copied first), or null.
  CxImage* image() const;
  // The raster as it is (perhaps shared), for reading only.
  const CxImage* raster() const { return image_.get(); }
  // Takes the raster over, freeing the one it replaces.
  void image(CxImage* raster);
  const As_Pt& center() const { return centre_; }
  void center(const As_Pt& c) { centre_ = c; }
  double width() const { return width_; }
  void width(double w) { width_ = w; }
  double height() const { return height_; }
  void height(double h) { height_ = h; }
  double angle() const { return angle_; }
  void angle(double a) { angle_ = a; }
  uint16_t alpha() const { return alpha_; }
  void alpha(uint16_t a) { alpha_ = a; }
  As_Pt lt() const;
  As_Pt rb() const;

 private:
  void copy_fields(const MB_Image& other);

  mutable std::shared_ptr<CxImage> image_;  // copied on first change when shared
  As_Pt centre_;
  double height_ = 0.0;
  double width_ = 0.0;
  double angle_ = 0.0;
  uint16_t alpha_ = 0;
};
