// PNG through libpng. Every input is expanded to 8-bit RGB, with an alpha
// channel when the file has one (an alpha sample or a transparency chunk).
// libpng reports errors by longjmp to the setjmp below; the only objects alive
// across it are declared before setjmp and are not read after the jump.
#include <png.h>

#include <cstring>

#include "codecs.h"

namespace {

void read_data(png_structp png, png_bytep dst, size_t length) {
  if (static_cast<QmSource*>(png_get_io_ptr(png))->Read(dst, length) != length) png_error(png, "truncated");
}

void write_data(png_structp png, png_bytep data, size_t length) {
  if (static_cast<CxMemFile*>(png_get_io_ptr(png))->Write(data, 1, length) != length) png_error(png, "write");
}

void flush_data(png_structp) {}

[[noreturn]] void on_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void on_warning(png_structp, png_const_charp) {}

// Rows of interleaved samples <-> the raster's planes.
void split(const std::vector<uint8_t>& rows, int channels, QmRaster* img) {
  size_t pixels = img->rgb.size() / 3;
  for (size_t i = 0; i < pixels; ++i) {
    memcpy(&img->rgb[i * 3], &rows[i * channels], 3);
    if (channels == 4) img->alpha[i] = rows[i * 4 + 3];
  }
}

}  // namespace

bool qm_decode_png(const uint8_t* data, size_t size, QmRaster* out) {
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  QmSource src{data, size, 0};
  QmRaster img;
  std::vector<uint8_t> samples;
  std::vector<png_bytep> rows;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &src, read_data);
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_set_chunk_malloc_max(png, 16u << 20);
  png_read_info(png, info);
  png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
  if (!img.Allocate(w, h, false)) png_error(png, "size");
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  int channels = png_get_channels(png, info);
  if ((channels != 3 && channels != 4) || png_get_rowbytes(png, info) != static_cast<size_t>(w) * channels)
    png_error(png, "layout");
  if (channels == 4) img.alpha.assign(static_cast<size_t>(w) * h, 255);
  samples.resize(static_cast<size_t>(w) * h * channels);
  rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y) rows[y] = &samples[static_cast<size_t>(y) * w * channels];
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  split(samples, channels, &img);
  *out = std::move(img);
  return true;
}

bool qm_encode_png(const QmRaster& in, CxMemFile* out) {
  if (!in.Valid()) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  const int channels = in.alpha.empty() ? 3 : 4;
  // Sized after setjmp: nothing set up before it changes afterwards.
  std::vector<uint8_t> row;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  row.resize(static_cast<size_t>(in.width) * channels);
  png_set_write_fn(png, out, write_data, flush_data);
  png_set_IHDR(png, info, in.width, in.height, 8, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (uint32_t y = 0; y < in.height; ++y) {
    size_t first = static_cast<size_t>(y) * in.width;
    if (channels == 3) {
      memcpy(row.data(), &in.rgb[first * 3], row.size());
    } else {
      for (uint32_t x = 0; x < in.width; ++x) {
        memcpy(&row[x * 4], &in.rgb[(first + x) * 3], 3);
        row[x * 4 + 3] = in.alpha[first + x];
      }
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}
