// JPEG through libjpeg-turbo, at the fixed quality 90 with 8-bit RGB in and
// out (grey and CMYK files are converted). Errors leave by longjmp from the
// error manager; data that ends before the image does is a failure, not a
// picture padded with grey, and so is a file of more than 1000 scans.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "codecs.h"

namespace {

constexpr int kQuality = 90;
// A progressive file needs a handful of scans; thousands only cost time.
constexpr int kMaxScans = 1000;

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  bool truncated;
};

[[noreturn]] void on_error(j_common_ptr cinfo) {
  longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void on_message(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<ErrorManager*>(cinfo->err)->truncated = true;
}

void quiet(j_common_ptr) {}

void limit_scans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
    ERREXIT(cinfo, JERR_NOT_COMPILED);
}

void install(ErrorManager* err) {
  jpeg_std_error(&err->pub);
  err->pub.error_exit = on_error;
  err->pub.emit_message = on_message;
  err->pub.output_message = quiet;
  err->truncated = false;
}

}  // namespace

bool qm_decode_jpeg(const uint8_t* data, size_t size, QmRaster* out) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  install(&err);
  cinfo.err = &err.pub;
  QmRaster img;
  std::vector<uint8_t> row;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_progress_mgr progress = {limit_scans, 0, 0, 0, 0};
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) ERREXIT(&cinfo, JERR_CANT_SUSPEND);
  if (!img.Allocate(cinfo.image_width, cinfo.image_height, false)) ERREXIT(&cinfo, JERR_IMAGE_TOO_BIG);
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  const int channels = cinfo.output_components;
  if (cinfo.output_width != img.width || cinfo.output_height != img.height || channels != (cmyk ? 4 : 3))
    ERREXIT(&cinfo, JERR_BAD_STATE);
  row.resize(static_cast<size_t>(img.width) * channels);
  while (cinfo.output_scanline < cinfo.output_height) {
    uint8_t* dst = &img.rgb[static_cast<size_t>(cinfo.output_scanline) * img.width * 3];
    JSAMPROW rows[1] = {row.data()};
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) ERREXIT(&cinfo, JERR_BAD_STATE);
    if (!cmyk) {
      memcpy(dst, row.data(), row.size());
      continue;
    }
    // Adobe writes CMYK inverted: each sample is already 255 - ink.
    for (uint32_t x = 0; x < img.width; ++x) {
      const uint8_t* s = &row[x * 4];
      for (int c = 0; c < 3; ++c) dst[x * 3 + c] = static_cast<uint8_t>((s[c] * s[3] + 127) / 255);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (err.truncated) return false;
  *out = std::move(img);
  return true;
}

bool qm_encode_jpeg(const QmRaster& in, CxMemFile* out) {
  if (!in.Valid() || in.width > 65500 || in.height > 65500) return false;
  jpeg_compress_struct cinfo;
  ErrorManager err;
  install(&err);
  cinfo.err = &err.pub;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = in.width;
  cinfo.image_height = in.height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, kQuality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW rows[1] = {const_cast<uint8_t*>(&in.rgb[static_cast<size_t>(cinfo.next_scanline) * in.width * 3])};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  bool ok = out->Write(buffer, 1, size) == size;
  free(buffer);
  return ok;
}
