// CxImage: construction, format dispatch, files, crop and rotation. The
// pixels live in a QmRaster; a decode fills a fresh raster and replaces the
// image's only when it succeeded, and a failed decode leaves the image empty.
#include "ximage.h"

#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "codecs.h"
#include "qm_file.h"
#include "xmemfile.h"

namespace {

// Files larger than this are not read into memory for decoding.
constexpr long kMaxFileBytes = 512L << 20;

struct Codec {
  DWORD type;
  bool (*decode)(const uint8_t*, size_t, QmRaster*);
  bool (*encode)(const QmRaster&, CxMemFile*);
};

const Codec kCodecs[] = {
    {CXIMAGE_FORMAT_BMP, qm_decode_bmp, qm_encode_bmp}, {CXIMAGE_FORMAT_GIF, qm_decode_gif, qm_encode_gif},
    {CXIMAGE_FORMAT_JPG, qm_decode_jpeg, qm_encode_jpeg}, {CXIMAGE_FORMAT_PNG, qm_decode_png, qm_encode_png},
    {CXIMAGE_FORMAT_ICO, qm_decode_ico, qm_encode_ico}, {CXIMAGE_FORMAT_TIF, qm_decode_tiff, qm_encode_tiff},
    {CXIMAGE_FORMAT_WMF, qm_decode_wmf, qm_encode_wmf},
};

const Codec* find_codec(DWORD type) {
  for (const Codec& c : kCodecs)
    if (c.type == type) return &c;
  return nullptr;
}

}  // namespace

bool QmRaster::Allocate(uint64_t w, uint64_t h, bool with_alpha) {
  if (w == 0 || h == 0 || w > kMaxPixels || h > kMaxPixels || w * h > kMaxPixels) return false;
  width = static_cast<uint32_t>(w);
  height = static_cast<uint32_t>(h);
  rgb.assign(static_cast<size_t>(w * h * 3), 0);
  alpha.assign(with_alpha ? static_cast<size_t>(w * h) : 0, 255);
  return true;
}

void QmRaster::Clear() {
  width = height = 0;
  rgb.clear();
  rgb.shrink_to_fit();
  alpha.clear();
  alpha.shrink_to_fit();
}

CxImage::CxImage(DWORD imagetype) : type_(imagetype) {}

CxImage::CxImage(BYTE* buffer, DWORD size, DWORD imagetype) : type_(imagetype) { Decode(buffer, size, imagetype); }

CxImage::CxImage(const char* filename, DWORD imagetype) : type_(imagetype) { Load(filename, imagetype); }

CxImage::CxImage(const CxImage& src, bool copypixels, bool /*copyselection*/, bool copyalpha)
    : raster_(src.raster_), type_(src.type_) {
  if (!copypixels) std::fill(raster_.rgb.begin(), raster_.rgb.end(), 0);
  if (!copyalpha) raster_.alpha.clear();
}

CxImage& CxImage::operator=(const CxImage& src) {
  raster_ = src.raster_;
  type_ = src.type_;
  return *this;
}

CxImage::~CxImage() = default;

bool CxImage::Create(DWORD width, DWORD height, DWORD /*bpp*/, DWORD imagetype) {
  type_ = imagetype;
  if (raster_.Allocate(width, height, false)) return true;
  raster_.Clear();
  return false;
}

void CxImage::Destroy() { raster_.Clear(); }

bool CxImage::Load(const char* filename, DWORD imagetype) {
  raster_.Clear();
  type_ = imagetype;
  if (!filename || !find_codec(imagetype)) return false;
  FILE* f = qm_fopen(filename, "rb");
  if (!f) return false;
  std::vector<uint8_t> data;
  long size = -1;
  if (fseek(f, 0, SEEK_END) == 0) size = ftell(f);
  bool ok = size > 0 && size <= kMaxFileBytes && fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    data.resize(static_cast<size_t>(size));
    ok = fread(data.data(), 1, data.size(), f) == data.size();
  }
  fclose(f);
  return ok && Decode(data.data(), static_cast<DWORD>(data.size()), imagetype);
}

bool CxImage::Decode(BYTE* buffer, DWORD size, DWORD imagetype) {
  raster_.Clear();
  type_ = imagetype;
  const Codec* codec = find_codec(imagetype);
  QmRaster decoded;
  if (!codec || !buffer || size == 0 || !codec->decode(buffer, size, &decoded)) return false;
  raster_ = std::move(decoded);
  return true;
}

bool CxImage::Decode(CxMemFile* file, DWORD imagetype) {
  if (!file) {
    raster_.Clear();
    return false;
  }
  const long start = file->Tell(), size = file->Size();
  BYTE* data = file->GetBuffer(false);
  if (!data || start >= size || size - start > 0xFFFFFFFFL) {
    raster_.Clear();
    return false;
  }
  return Decode(data + start, static_cast<DWORD>(size - start), imagetype);
}

bool CxImage::Encode(CxMemFile* file, DWORD imagetype) {
  const Codec* codec = find_codec(imagetype);
  return file && codec && IsValid() && codec->encode(raster_, file);
}

bool CxImage::Encode(BYTE*& buffer, long& size, DWORD imagetype) {
  buffer = nullptr;
  size = 0;
  CxMemFile file;
  file.Open();
  if (!Encode(&file, imagetype)) return false;
  size = file.Size();
  buffer = file.GetBuffer(true);
  return true;
}

void CxImage::FreeMemory(void* buffer) { free(buffer); }

bool CxImage::Save(const char* filename, DWORD imagetype) {
  if (!filename) return false;
  CxMemFile file;
  file.Open();
  if (!Encode(&file, imagetype)) return false;
  QmFileWriter out;
  if (!out.open(filename, "wb")) return false;
  const size_t size = static_cast<size_t>(file.Size());
  return fwrite(file.GetBuffer(false), 1, size, out.stream()) == size && out.commit();
}

bool CxImage::Crop(long left, long top, long right, long bottom, CxImage* iDst) {
  if (!IsValid()) return false;
  const long w = static_cast<long>(raster_.width), h = static_cast<long>(raster_.height);
  auto clamp = [](long v, long hi) { return v < 0 ? 0 : (v > hi ? hi : v); };
  long x0 = clamp(left, w), x1 = clamp(right, w), y0 = clamp(top, h), y1 = clamp(bottom, h);
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  if (x0 == x1 || y0 == y1) return false;
  QmRaster part;
  part.Allocate(static_cast<uint64_t>(x1 - x0), static_cast<uint64_t>(y1 - y0), AlphaIsValid());
  for (long y = y0; y < y1; ++y) {
    memcpy(&part.rgb[static_cast<size_t>((y - y0) * (x1 - x0) * 3)], &raster_.rgb[static_cast<size_t>((y * w + x0) * 3)],
           static_cast<size_t>((x1 - x0) * 3));
    if (AlphaIsValid())
      memcpy(&part.alpha[static_cast<size_t>((y - y0) * (x1 - x0))], &raster_.alpha[static_cast<size_t>(y * w + x0)],
             static_cast<size_t>(x1 - x0));
  }
  CxImage& dst = iDst ? *iDst : *this;
  dst.raster_ = std::move(part);
  if (iDst) iDst->type_ = type_;
  return true;
}

bool CxImage::Rotate(float angle, CxImage* iDst) {
  if (!IsValid() || !std::isfinite(angle)) return false;
  double turn = std::fmod(static_cast<double>(angle), 360.0);
  if (turn < 0) turn += 360.0;
  const int64_t w = raster_.width, h = raster_.height;
  const bool with_alpha = AlphaIsValid();
  QmRaster out;
  // Destination pixel (X, Y) takes source pixel `source(X, Y)`, or nothing.
  auto fill = [&](auto source) {
    for (int64_t Y = 0; Y < static_cast<int64_t>(out.height); ++Y) {
      for (int64_t X = 0; X < static_cast<int64_t>(out.width); ++X) {
        int64_t x, y;
        const size_t d = static_cast<size_t>(Y * out.width + X);
        if (!source(X, Y, &x, &y)) {
          out.rgb[d * 3] = out.rgb[d * 3 + 1] = out.rgb[d * 3 + 2] = 255;
          if (with_alpha) out.alpha[d] = 0;
          continue;
        }
        const size_t s = static_cast<size_t>(y * w + x);
        memcpy(&out.rgb[d * 3], &raster_.rgb[s * 3], 3);
        if (with_alpha) out.alpha[d] = raster_.alpha[s];
      }
    }
  };
  if (turn == 0.0 || turn == 180.0) {
    out.Allocate(w, h, with_alpha);
    const bool half = turn == 180.0;
    fill([&](int64_t X, int64_t Y, int64_t* x, int64_t* y) {
      *x = half ? w - 1 - X : X, *y = half ? h - 1 - Y : Y;
      return true;
    });
  } else if (turn == 90.0 || turn == 270.0) {
    out.Allocate(h, w, with_alpha);
    const bool left = turn == 90.0;  // counter-clockwise
    fill([&](int64_t X, int64_t Y, int64_t* x, int64_t* y) {
      *x = left ? w - 1 - Y : Y, *y = left ? X : h - 1 - X;
      return true;
    });
  } else {
    const double a = turn * 3.14159265358979323846 / 180.0, c = std::cos(a), s = std::sin(a);
    const double wf = static_cast<double>(w), hf = static_cast<double>(h);
    const double nw = std::floor(std::fabs(wf * c) + std::fabs(hf * s) + 0.5);
    const double nh = std::floor(std::fabs(wf * s) + std::fabs(hf * c) + 0.5);
    if (!out.Allocate(static_cast<uint64_t>(nw < 1 ? 1 : nw), static_cast<uint64_t>(nh < 1 ? 1 : nh), with_alpha))
      return false;
    const double cx = wf / 2.0, cy = hf / 2.0;
    const double ncx = static_cast<double>(out.width) / 2.0, ncy = static_cast<double>(out.height) / 2.0;
    fill([&](int64_t X, int64_t Y, int64_t* x, int64_t* y) {
      // Screen y grows downwards: turning back by -a maps the destination
      // centre offset (dx, dy) to the source offset below.
      const double dx = static_cast<double>(X) + 0.5 - ncx, dy = static_cast<double>(Y) + 0.5 - ncy;
      const double sx = cx + dx * c - dy * s, sy = cy + dx * s + dy * c;
      if (!(sx >= 0 && sy >= 0 && sx < wf && sy < hf)) return false;
      *x = static_cast<int64_t>(sx), *y = static_cast<int64_t>(sy);
      return true;
    });
  }
  CxImage& dst = iDst ? *iDst : *this;
  dst.raster_ = std::move(out);
  if (iDst) iDst->type_ = type_;
  return true;
}

bool CxImage::Inside(long x, long y) const {
  return x >= 0 && y >= 0 && x < static_cast<long>(raster_.width) && y < static_cast<long>(raster_.height);
}

COLORREF CxImage::GetPixelColor(long x, long y) const {
  if (!Inside(x, y)) return 0;
  const uint8_t* p = &raster_.rgb[(static_cast<size_t>(y) * raster_.width + static_cast<size_t>(x)) * 3];
  return RGB(p[0], p[1], p[2]);
}

void CxImage::SetPixelColor(long x, long y, COLORREF color) {
  if (!Inside(x, y)) return;
  uint8_t* p = &raster_.rgb[(static_cast<size_t>(y) * raster_.width + static_cast<size_t>(x)) * 3];
  p[0] = GetRValue(color), p[1] = GetGValue(color), p[2] = GetBValue(color);
}

BYTE CxImage::AlphaGet(long x, long y) const {
  if (!Inside(x, y)) return 0;
  return AlphaIsValid() ? raster_.alpha[static_cast<size_t>(y) * raster_.width + static_cast<size_t>(x)] : 255;
}

void CxImage::AlphaSet(long x, long y, BYTE level) {
  if (!Inside(x, y)) return;
  if (!AlphaIsValid()) raster_.alpha.assign(static_cast<size_t>(raster_.width) * raster_.height, 255);
  raster_.alpha[static_cast<size_t>(y) * raster_.width + static_cast<size_t>(x)] = level;
}

namespace {

const struct {
  const char* ext;
  DWORD format;
} kPictureTypes[] = {{"bmp", CXIMAGE_FORMAT_BMP}, {"gif", CXIMAGE_FORMAT_GIF}, {"tif", CXIMAGE_FORMAT_TIF},
                     {"png", CXIMAGE_FORMAT_PNG}, {"wmf", CXIMAGE_FORMAT_WMF}, {"jpg", CXIMAGE_FORMAT_JPG},
                     {"jpeg", CXIMAGE_FORMAT_JPG}};

}  // namespace

DWORD qm_picture_format(const char* path) {
  const char* dot = path ? std::strrchr(path, '.') : nullptr;
  if (!dot) return CXIMAGE_FORMAT_UNKNOWN;
  for (const auto& t : kPictureTypes)
    if (strcasecmp(dot + 1, t.ext) == 0) return t.format;
  return CXIMAGE_FORMAT_UNKNOWN;
}

std::string qm_picture_extensions() {
  std::string out;
  for (const auto& t : kPictureTypes) out += std::string(out.empty() ? "." : ", .") + t.ext;
  return out;
}
