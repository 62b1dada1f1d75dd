// The image entity: placement, drawing, picking, copies and its record.
#include "database/entities/mb_image.h"

#include <ximage.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "database/entities/mb_line.h"
#include "database/fileformat/mb_file_io.h"
#include "database/nodes/mb_draw_node.h"
#include "geometry/as_log.h"
#include "geometry/as_tran.h"
#include "surface/api_draw.h"
#include "surface/cmydc.h"

namespace {

constexpr unsigned char kOpcode = 'G';
// The rubber-band frame of an image: magenta, inverting.
constexpr COLORREF kFrameColor = 0xFF00FF;

CxImage* copy_of(const CxImage* raster) { return raster ? new CxImage(*raster, true, true, true) : nullptr; }

}  // namespace

MB_Image::MB_Image() = default;

MB_Image::MB_Image(CxImage* image) : image_(image) {}

MB_Image::MB_Image(std::shared_ptr<CxImage> shared) : image_(std::move(shared)) {}

CxImage* MB_Image::image() const {
  if (image_ && image_.use_count() > 1) image_.reset(copy_of(image_.get()));
  return image_.get();
}

MB_Image::MB_Image(const MB_Image& other) : MB_Drawable(other) { copy_fields(other); }

MB_Image& MB_Image::operator=(const MB_Image& other) {
  if (this != &other) {
    MB_Drawable::operator=(other);
    copy_fields(other);
  }
  return *this;
}

MB_Image::~MB_Image() = default;

void MB_Image::copy_fields(const MB_Image& other) {
  image_.reset(copy_of(other.image_.get()));
  centre_ = other.centre_;
  height_ = other.height_;
  width_ = other.width_;
  angle_ = other.angle_;
  alpha_ = other.alpha_;
}

void MB_Image::image(CxImage* raster) {
  if (raster != image_.get()) image_.reset(raster);
}

As_Pt MB_Image::lt() const { return As_Pt(centre_.x() - width_ / 2, centre_.y() + height_ / 2, 0.0); }

As_Pt MB_Image::rb() const { return As_Pt(centre_.x() + width_ / 2, centre_.y() - height_ / 2, 0.0); }

bool MB_Image::copy_to(MB_Object*& target) {
  if (!target) {
    target = new MB_Image;
  } else if (target == this) {
    return true;
  }
  if (MB_Image* t = dynamic_cast<MB_Image*>(target)) t->copy_fields(*this);
  MB_Drawable::copy_to(target);
  return true;
}

bool MB_Image::pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& found, int&, int&) {
  if (!rect().pt_in_rect(p, tol)) return false;
  found = p;
  return true;
}

void MB_Image::build_draw() { edit_rect().set_rect(lt(), rb()); }

void MB_Image::draw(HDC hdc, CMyDC& dc, As_Tran& view) {
  if (!hdc) hdc = dc.GetDC();
  if (!hdc) return;
  if (!g_is_rubbering) {
    mb_draw_raster(hdc, image_.get(), centre_, width_, height_, view);
    return;
  }
  const int old_rop = SetROP2(hdc, R2_NOTXORPEN);
  HPEN pen = CreatePen(PS_SOLID, 0, kFrameColor);
  HGDIOBJ old_pen = SelectObject(hdc, pen);
  api_mb_draw_rect(hdc, rb() * view, lt() * view, 0.0, 0);
  SelectObject(hdc, old_pen);
  DeleteObject(pen);
  SetROP2(hdc, old_rop);
}

As_Pt MB_Image::get_point(int id) const {
  switch (id) {
    case MB_PROP_IMAGE_CENTER: return centre_;
    case MB_PROP_TOP_LEFT: return rect().lt();
    case MB_PROP_BOTTOM_RIGHT: return rect().rb();
    default: return MB_Drawable::get_point(id);
  }
}

double MB_Image::get_real(int id) const {
  switch (id) {
    case MB_PROP_WIDTH: return width_;
    case MB_PROP_HEIGHT: return height_;
    case MB_PROP_ANGLE: return angle_;
    default: return MB_Drawable::get_real(id);
  }
}

int32_t MB_Image::get_int(int id) const {
  switch (id) {
    case MB_PROP_PIXEL_HEIGHT: return image_ ? int32_t(image_->GetHeight()) : 0;
    case MB_PROP_PIXEL_WIDTH: return image_ ? int32_t(image_->GetWidth()) : 0;
    case MB_PROP_ALPHA: return alpha_;
    default: return MB_Drawable::get_int(id);
  }
}

void MB_Image::translate(const As_Tran& t) {
  modify_cmd();
  centre_ *= t;
}

// ---- Record ----

MB_Result MB_Image::serialize(MB_File_IO& io) const {
  BYTE* bytes = nullptr;
  long size = 0;
  // A picture that cannot be encoded fails the record rather than vanish.
  if (image_ && image_->IsValid() && !image_->Encode(bytes, size, CXIMAGE_FORMAT_JPG)) return MB_NO_MEMORY;
  MB_Result r = io.write(kOpcode);
  if (!r) r = const_cast<MB_Image*>(this)->save_xdata(io);
  if (!r) r = io.write_position(centre_);
  if (!r) r = io.write(int32_t(size));
  if (!r && size > 0) r = io.write(int(size), bytes);
  CxImage::FreeMemory(bytes);
  return r;
}

MB_Result MB_Image::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (MB_Result r = read_xdata(op, io)) return r;
  As_Pt centre;
  if (MB_Result r = io.read_position(centre)) return r;
  std::vector<unsigned char> bytes;
  if (MB_Result r = io.read_sized_bytes(bytes)) return r;
  centre_ = As_Pt(centre.x(), centre.y(), 0.0);
  angle_ = 0.0;
  alpha_ = 0;
  image_.reset();
  if (!bytes.empty()) {
    std::unique_ptr<CxImage> raster(new CxImage(bytes.data(), DWORD(bytes.size()), CXIMAGE_FORMAT_JPG));
    if (raster->IsValid()) {
      image_ = std::move(raster);
    } else {
      const std::string where = std::to_string(io.opcode_start());
      message_out("image record at byte ", where.c_str(), ": the picture does not decode, kept without it", false);
    }
  }
  width_ = image_ ? double(image_->GetWidth()) : 0.0;
  height_ = image_ ? double(image_->GetHeight()) : 0.0;
  return MB_SUCCESS;
}

MB_Result MB_Image::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }
