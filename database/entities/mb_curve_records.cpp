// Native-format records of the curved entities.
//
// Each record is the attribute sync, the opcode byte, the optional items
// (not for the spline), then the operands: positions coded against the
// pass's running position, doubles as raw little-endian blocks. A reader
// fills a fresh object from the pass; a record cut short answers the read
// result and the pass discards the object, so nothing half-read reaches a
// drawing.
#include <cstring>

#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_polyline.h"
#include "database/fileformat/mb_file_io.h"
#include "database/fileformat/mb_opcode.h"

namespace {

constexpr unsigned char kCircle = 0x12, kArc = 0x01, kArcAttributes = 'a', kEllipse = 'E', kEllipseArc = 'O',
                        kPolyline = 'P', kSpline = 'W';

// n doubles as one raw block of 8 n bytes, little-endian.
MB_Result write_doubles(MB_File_IO& io, int n, const double* v) {
  unsigned char b[40];
  for (int i = 0; i < n; ++i) {
    uint64_t bits;
    std::memcpy(&bits, &v[i], 8);
    for (int k = 0; k < 8; ++k) b[8 * i + k] = static_cast<unsigned char>(bits >> (8 * k));
  }
  return io.write(8 * n, b);
}

MB_Result read_doubles(MB_File_IO& io, int n, double* v) {
  unsigned char b[40];
  if (MB_Result r = io.read(8 * n, b)) return r;
  for (int i = 0; i < n; ++i) {
    uint64_t bits = 0;
    for (int k = 0; k < 8; ++k) bits |= static_cast<uint64_t>(b[8 * i + k]) << (8 * k);
    std::memcpy(&v[i], &bits, 8);
  }
  return MB_SUCCESS;
}

// The attribute sync, then the record; the first failure is the result.
template <class Body>
MB_Result framed(const MB_Drawable& e, MB_File_IO& io, unsigned char opcode, bool xdata, Body body) {
  MB_Result sync = e.general().serialize(io);
  MB_Result r = io.write(opcode);
  if (!r && xdata) r = const_cast<MB_Drawable&>(e).save_xdata(io);
  if (!r) r = body();
  return sync ? sync : r;
}

}  // namespace

// ---------------------------------------------------------------------------
// Circle and arc

MB_Result MB_Circle::serialize_ex(MB_File_IO& io) const {
  if (MB_Result r = io.write_position(center_)) return r;
  return write_doubles(io, 1, &radius_);
}

MB_Result MB_Circle::materialize_ex(MB_File_IO& io) {
  As_Pt c = center_;
  double r = 0.0;
  if (MB_Result res = io.read_position(c)) return res;
  if (MB_Result res = read_doubles(io, 1, &r)) return res;
  center_ = As_Pt(c.x(), c.y(), center_.z());
  radius_ = r;
  return MB_SUCCESS;
}

MB_Result MB_Circle::serialize(MB_File_IO& io) const {
  return framed(*this, io, kCircle, true, [&]() -> MB_Result { return serialize_ex(io); });
}

MB_Result MB_Circle::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (MB_Result r = read_xdata(op, io)) return r;
  if (MB_Result r = materialize_ex(io)) return r;
  return general().materialize(op, io);
}

MB_Result MB_Circle::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }

MB_Result MB_Arc::serialize(MB_File_IO& io) const {
  return framed(*this, io, kArc, true, [&]() -> MB_Result {
    if (MB_Result r = serialize_ex(io)) return r;
    const double angles[2] = {start_angle_, end_angle_};
    return write_doubles(io, 2, angles);
  });
}

MB_Result MB_Arc::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (op.kind() != MB_Opcode::SINGLE) return MB_SYNTAX_ERROR;
  if (op.byte() == kArcAttributes) return general().materialize(op, io);
  if (op.byte() != kArc) return MB_SYNTAX_ERROR;
  if (MB_Result r = read_xdata(op, io)) return r;
  if (MB_Result r = materialize_ex(io)) return r;
  double angles[2];
  if (MB_Result r = read_doubles(io, 2, angles)) return r;
  start_angle_ = angles[0];
  end_angle_ = angles[1];
  build_start_end_pos();
  return general().materialize(op, io);
}

// ---------------------------------------------------------------------------
// Ellipse and elliptical arc

MB_Result MB_Ellipse::serialize_ex(MB_File_IO& io, unsigned char opcode, int n, const double* values) const {
  return framed(*this, io, opcode, true, [&]() -> MB_Result {
    if (MB_Result r = io.write_position(center_)) return r;
    return write_doubles(io, n, values);
  });
}

MB_Result MB_Ellipse::materialize_ex(const MB_Opcode& op, MB_File_IO& io, int n, double* values) {
  if (MB_Result r = read_xdata(op, io)) return r;
  As_Pt c = center_;
  if (MB_Result r = io.read_position(c)) return r;
  if (MB_Result r = read_doubles(io, n, values)) return r;
  center_ = As_Pt(c.x(), c.y(), center_.z());
  major_ = values[0];
  minor_ = values[1];
  angle_ = values[2];
  return general().materialize(op, io);
}

MB_Result MB_Ellipse::serialize(MB_File_IO& io) const {
  const double v[3] = {major_, minor_, angle_};
  return serialize_ex(io, kEllipse, 3, v);
}

MB_Result MB_Ellipse::materialize(const MB_Opcode& op, MB_File_IO& io) {
  double v[3];
  return materialize_ex(op, io, 3, v);
}

MB_Result MB_Ellipse::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }

MB_Result MB_Ellipse_Arc::serialize(MB_File_IO& io) const {
  const double v[5] = {major(), minor(), angle(), start_angle_, end_angle_};
  return serialize_ex(io, kEllipseArc, 5, v);
}

MB_Result MB_Ellipse_Arc::materialize(const MB_Opcode& op, MB_File_IO& io) {
  double v[5];
  if (MB_Result r = materialize_ex(op, io, 5, v)) return r;
  start_angle_ = v[3];
  end_angle_ = v[4];
  return MB_SUCCESS;
}

// ---------------------------------------------------------------------------
// Polyline

MB_Result MB_Polyline::serialize(MB_File_IO& io) const {
  return framed(*this, io, kPolyline, true, [&]() -> MB_Result {
    if (MB_Result r = io.write(static_cast<unsigned char>(closed_ ? 1 : 0))) return r;
    if (MB_Result r = io.write(static_cast<unsigned short>(count_))) return r;
    if (MB_Result r = write_doubles(io, 1, &global_width_)) return r;
    for (int i = 0; i < count_; ++i) {
      const double v[3] = {pos_[i].bulge, pos_[i].start_width, pos_[i].end_width};
      if (MB_Result r = write_doubles(io, 3, v)) return r;
      if (MB_Result r = io.write_position(pos_[i].point)) return r;
    }
    return MB_SUCCESS;
  });
}

MB_Result MB_Polyline::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (MB_Result r = read_xdata(op, io)) return r;
  unsigned char closed = 0;
  unsigned short count = 0;
  double width = 0.0;
  if (MB_Result r = io.read(closed)) return r;
  if (MB_Result r = io.read(count)) return r;
  if (MB_Result r = read_doubles(io, 1, &width)) return r;
  // Vertices are read into a polyline of their own and taken over whole.
  MB_Polyline read;
  if (!read.resize(count)) return MB_NO_MEMORY;
  for (int i = 0; i < count; ++i) {
    MB_Pline_Pos& v = read.pos_[i];
    double w[3];
    if (MB_Result r = read_doubles(io, 3, w)) return r;
    if (MB_Result r = io.read_position(v.point)) return r;
    v.point.set_z(0.0);
    v.bulge = w[0];
    v.start_width = w[1];
    v.end_width = w[2];
  }
  std::swap(pos_, read.pos_);
  std::swap(count_, read.count_);
  closed_ = closed != 0;
  global_width_ = width;
  return general().materialize(op, io);
}

MB_Result MB_Polyline::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }

// ---------------------------------------------------------------------------
// Spline

MB_Result MB_Bspline::serialize(MB_File_IO& io) const {
  return framed(*this, io, kSpline, false, [&]() -> MB_Result { return io.write(fit_); });
}

MB_Result MB_Bspline::materialize(const MB_Opcode& op, MB_File_IO& io) {
  if (op.kind() != MB_Opcode::SINGLE || op.byte() != kSpline) return MB_SYNTAX_ERROR;
  As_Pt_Set fit;
  if (MB_Result r = io.read(fit)) return r;
  fit_ = fit;
  return general().materialize(op, io);
}

MB_Result MB_Bspline::process(MB_File_IO& io) { return mb_entity_read_process(*this, io); }
