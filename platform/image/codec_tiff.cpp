// TIFF through libtiff, on memory streams. Decoding goes through libtiff's
// RGBA interface, which handles every photometric interpretation it knows,
// and stops at the first error; an alpha channel is kept when the file
// declares extra samples. Encoding writes 8-bit RGB (RGBA with alpha) strips
// compressed with LZW. libtiff's messages are silenced per handle.
#include <tiffio.h>

#include <cstdio>
#include <cstring>

#include "codecs.h"

namespace {

tsize_t src_read(thandle_t h, tdata_t dst, tsize_t n) {
  return n <= 0 ? 0 : static_cast<tsize_t>(static_cast<QmSource*>(h)->Read(dst, static_cast<size_t>(n)));
}
tsize_t src_write(thandle_t, tdata_t, tsize_t) { return 0; }
toff_t src_seek(thandle_t h, toff_t off, int whence) {
  auto* s = static_cast<QmSource*>(h);
  uint64_t base = whence == SEEK_CUR ? s->pos : whence == SEEK_END ? s->size : 0;
  if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return static_cast<toff_t>(-1);
  // Offsets are unsigned; a seek far out is allowed and reads nothing.
  uint64_t target = base + off;
  if (target < base) return static_cast<toff_t>(-1);
  s->pos = target > SIZE_MAX ? SIZE_MAX : static_cast<size_t>(target);
  return target;
}
int src_close(thandle_t) { return 0; }
toff_t src_size(thandle_t h) { return static_cast<QmSource*>(h)->size; }

tsize_t mem_read(thandle_t h, tdata_t dst, tsize_t n) {
  return n <= 0 ? 0 : static_cast<tsize_t>(static_cast<CxMemFile*>(h)->Read(dst, 1, static_cast<size_t>(n)));
}
tsize_t mem_write(thandle_t h, tdata_t src, tsize_t n) {
  return n <= 0 ? 0 : static_cast<tsize_t>(static_cast<CxMemFile*>(h)->Write(src, 1, static_cast<size_t>(n)));
}
toff_t mem_seek(thandle_t h, toff_t off, int whence) {
  auto* f = static_cast<CxMemFile*>(h);
  if (off > static_cast<toff_t>(0x7FFFFFFF) || !f->Seek(static_cast<long>(off), whence)) return static_cast<toff_t>(-1);
  return static_cast<toff_t>(f->Tell());
}
toff_t mem_size(thandle_t h) { return static_cast<toff_t>(static_cast<CxMemFile*>(h)->Size()); }
int no_map(thandle_t, tdata_t*, toff_t*) { return 0; }
void no_unmap(thandle_t, tdata_t, toff_t) {}

int silent(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TIFF* open(const char* mode, thandle_t handle, TIFFReadWriteProc read, TIFFReadWriteProc write, TIFFSeekProc seek,
           TIFFSizeProc size) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options, silent, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, silent, nullptr);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(QmRaster::kMaxPixels * 4 + 4096));
  TIFF* tif = TIFFClientOpenExt("memory", mode, handle, read, write, seek, src_close, size, no_map, no_unmap, options);
  TIFFOpenOptionsFree(options);
  return tif;
}

bool read_rows(TIFF* tif, uint16_t samples, QmRaster* img) {
  std::vector<uint8_t> row(static_cast<size_t>(img->width) * samples);
  for (uint32_t y = 0; y < img->height; ++y) {
    if (TIFFReadScanline(tif, row.data(), y, 0) != 1) return false;
    const size_t first = static_cast<size_t>(y) * img->width;
    for (uint32_t x = 0; x < img->width; ++x) {
      memcpy(&img->rgb[(first + x) * 3], &row[x * samples], 3);
      if (samples == 4) img->alpha[first + x] = row[x * 4 + 3];
    }
  }
  return true;
}

}  // namespace

bool qm_decode_tiff(const uint8_t* data, size_t size, QmRaster* out) {
  if (size < 8 || !((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M'))) return false;
  QmSource src{data, size, 0};
  TIFF* tif = open("rm", &src, src_read, src_write, src_seek, src_size);
  if (!tif) return false;
  uint32_t w = 0, h = 0;
  uint16_t extra = 0;
  uint16_t* extra_types = nullptr;
  char message[1024];
  QmRaster img;
  bool ok = TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) && TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) &&
            TIFFRGBAImageOK(tif, message);
  if (ok) {
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extra, &extra_types);
    ok = img.Allocate(w, h, extra > 0);
  }
  uint16_t bits = 0, samples = 0, photometric = 0, planar = 0;
  if (ok && !TIFFIsTiled(tif) && TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits) && bits == 8 &&
      TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples) && samples == 3 + (extra > 0 ? 1 : 0) &&
      TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) && photometric == PHOTOMETRIC_RGB &&
      TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar) && planar == PLANARCONFIG_CONTIG &&
      TIFFScanlineSize64(tif) == static_cast<uint64_t>(w) * samples) {
    // Plain 8-bit RGB(A): read the rows as stored, keeping unassociated alpha exact.
    ok = read_rows(tif, samples, &img);
    TIFFClose(tif);
    if (ok) *out = std::move(img);
    return ok;
  }
  std::vector<uint32_t> pixels;
  if (ok) {
    pixels.resize(static_cast<size_t>(w) * h);
    ok = TIFFReadRGBAImageOriented(tif, w, h, pixels.data(), ORIENTATION_TOPLEFT, 1) == 1;
  }
  TIFFClose(tif);
  if (!ok) return false;
  for (size_t i = 0; i < pixels.size(); ++i) {
    img.rgb[i * 3] = static_cast<uint8_t>(TIFFGetR(pixels[i]));
    img.rgb[i * 3 + 1] = static_cast<uint8_t>(TIFFGetG(pixels[i]));
    img.rgb[i * 3 + 2] = static_cast<uint8_t>(TIFFGetB(pixels[i]));
    if (!img.alpha.empty()) img.alpha[i] = static_cast<uint8_t>(TIFFGetA(pixels[i]));
  }
  *out = std::move(img);
  return true;
}

bool qm_encode_tiff(const QmRaster& in, CxMemFile* out) {
  if (!in.Valid()) return false;
  TIFF* tif = open("w", out, mem_read, mem_write, mem_seek, mem_size);
  if (!tif) return false;
  const uint16_t channels = in.alpha.empty() ? 3 : 4;
  bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, in.width) && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, in.height) &&
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8) && TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels) &&
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
            TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW) &&
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  if (ok && channels == 4) {
    const uint16_t type = EXTRASAMPLE_UNASSALPHA;
    ok = TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &type);
  }
  std::vector<uint8_t> row(static_cast<size_t>(in.width) * channels);
  for (uint32_t y = 0; ok && y < in.height; ++y) {
    size_t first = static_cast<size_t>(y) * in.width;
    for (uint32_t x = 0; x < in.width; ++x) {
      memcpy(&row[x * channels], &in.rgb[(first + x) * 3], 3);
      if (channels == 4) row[x * 4 + 3] = in.alpha[first + x];
    }
    ok = TIFFWriteScanline(tif, row.data(), y, 0) == 1;
  }
  ok = ok && TIFFFlush(tif) == 1;
  TIFFClose(tif);
  return ok;
}
