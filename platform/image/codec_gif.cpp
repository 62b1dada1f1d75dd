// GIF through giflib, record by record so that every size is checked before
// anything is allocated. Decoding takes the first image on the logical
// screen (a screen of size 0 takes the image's extent); the rest of the
// screen is the background colour, or transparent when the image has a
// transparent index, which becomes the alpha channel.
// Encoding keeps the exact colours when there are at most 256 (255 when some
// pixels are transparent, alpha < 128), otherwise it maps every pixel to the
// nearest colour of a fixed 6 x 7 x 6 palette.
#include <gif_lib.h>

#include <cstring>
#include <map>

#include "codecs.h"

namespace {

int read_data(GifFileType* gif, GifByteType* dst, int length) {
  if (length <= 0) return 0;
  return static_cast<int>(static_cast<QmSource*>(gif->UserData)->Read(dst, static_cast<size_t>(length)));
}

int write_data(GifFileType* gif, const GifByteType* data, int length) {
  if (length <= 0) return 0;
  return static_cast<int>(static_cast<CxMemFile*>(gif->UserData)->Write(data, 1, static_cast<size_t>(length)));
}

bool read_first_image(GifFileType* gif, QmRaster* img) {
  int transparent = -1;
  for (;;) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
    if (type == TERMINATE_RECORD_TYPE) return false;  // no image
    if (type == EXTENSION_RECORD_TYPE) {
      int code;
      GifByteType* ext;
      if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) return false;
      if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4 && (ext[1] & 1)) transparent = ext[4];
      while (ext)
        if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) return false;
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) == GIF_ERROR) return false;
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map || !map->Colors || map->ColorCount <= 0 || desc.Width <= 0 || desc.Height <= 0 ||
        static_cast<uint64_t>(desc.Width) * static_cast<uint64_t>(desc.Height) > QmRaster::kMaxPixels)
      return false;
    // A screen of size 0 (some writers leave it so) takes the image's extent.
    const uint64_t sw = gif->SWidth > 0 ? gif->SWidth : static_cast<uint64_t>(desc.Left) + desc.Width;
    const uint64_t sh = gif->SHeight > 0 ? gif->SHeight : static_cast<uint64_t>(desc.Top) + desc.Height;
    if (desc.Left < 0 || desc.Top < 0 || !img->Allocate(sw, sh, false)) return false;
    const int64_t w = img->width, h = img->height;
    const bool clear = transparent >= 0;
    if (clear) {
      img->alpha.assign(static_cast<size_t>(w * h), 0);
    } else if (gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount) {
      const GifColorType& c = gif->SColorMap->Colors[gif->SBackGroundColor];
      for (size_t i = 0; i < img->rgb.size(); i += 3) img->rgb[i] = c.Red, img->rgb[i + 1] = c.Green, img->rgb[i + 2] = c.Blue;
    }
    std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
      for (int y = desc.Interlace ? kStart[pass] : 0; y < desc.Height; y += desc.Interlace ? kStep[pass] : 1) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) return false;
        const int64_t py = static_cast<int64_t>(desc.Top) + y;
        if (py < 0 || py >= h) continue;
        for (int x = 0; x < desc.Width; ++x) {
          const int64_t px = static_cast<int64_t>(desc.Left) + x;
          const int index = line[static_cast<size_t>(x)];
          if (px < 0 || px >= w || index == transparent) continue;
          uint8_t* dst = &img->rgb[static_cast<size_t>((py * w + px) * 3)];
          if (index < map->ColorCount) {
            const GifColorType& c = map->Colors[index];
            dst[0] = c.Red, dst[1] = c.Green, dst[2] = c.Blue;
          } else {
            dst[0] = dst[1] = dst[2] = 0;
          }
          if (clear) img->alpha[static_cast<size_t>(py * w + px)] = 255;
        }
      }
    }
    return true;
  }
}

}  // namespace

bool qm_decode_gif(const uint8_t* data, size_t size, QmRaster* out) {
  if (size < 6 || memcmp(data, "GIF", 3) != 0) return false;
  QmSource src{data, size, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&src, read_data, &error);
  if (!gif) return false;
  QmRaster img;
  bool ok = gif->SWidth >= 0 && gif->SHeight >= 0 &&
            static_cast<uint64_t>(gif->SWidth) * static_cast<uint64_t>(gif->SHeight) <= QmRaster::kMaxPixels &&
            read_first_image(gif, &img);
  DGifCloseFile(gif, &error);
  if (ok) *out = std::move(img);
  return ok;
}

bool qm_encode_gif(const QmRaster& in, CxMemFile* out) {
  if (!in.Valid() || in.width > 65535 || in.height > 65535) return false;
  const size_t pixels = static_cast<size_t>(in.width) * in.height;
  auto clear = [&](size_t i) { return !in.alpha.empty() && in.alpha[i] < 128; };
  bool any_clear = false;
  std::map<uint32_t, int> exact;
  for (size_t i = 0; i < pixels; ++i) {
    if (clear(i)) {
      any_clear = true;
      continue;
    }
    if (exact.size() <= 256) exact.emplace((in.rgb[i * 3] << 16) | (in.rgb[i * 3 + 1] << 8) | in.rgb[i * 3 + 2], 0);
  }
  const bool use_exact = exact.size() + (any_clear ? 1 : 0) <= 256;
  std::vector<GifColorType> colours;
  if (use_exact) {
    for (auto& e : exact) {
      e.second = static_cast<int>(colours.size());
      colours.push_back({static_cast<GifByteType>(e.first >> 16), static_cast<GifByteType>(e.first >> 8),
                         static_cast<GifByteType>(e.first)});
    }
  } else {
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 7; ++g)
        for (int b = 0; b < 6; ++b)
          colours.push_back({static_cast<GifByteType>(r * 51), static_cast<GifByteType>(g * 255 / 6),
                             static_cast<GifByteType>(b * 51)});
  }
  const int transparent = any_clear ? static_cast<int>(colours.size()) : -1;
  if (any_clear) colours.push_back({0, 0, 0});
  int bits = 1;
  while ((1 << bits) < static_cast<int>(colours.size())) ++bits;
  colours.resize(static_cast<size_t>(1) << bits, GifColorType{0, 0, 0});

  std::vector<GifPixelType> index(pixels);
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* c = &in.rgb[i * 3];
    if (clear(i))
      index[i] = static_cast<GifPixelType>(transparent);
    else if (use_exact)
      index[i] = static_cast<GifPixelType>(exact[(c[0] << 16) | (c[1] << 8) | c[2]]);
    else
      index[i] = static_cast<GifPixelType>(((c[0] * 5 + 127) / 255) * 42 + ((c[1] * 6 + 127) / 255) * 6 +
                                           (c[2] * 5 + 127) / 255);
  }

  int error = 0;
  GifFileType* gif = EGifOpen(out, write_data, &error);
  if (!gif) return false;
  ColorMapObject* map = GifMakeMapObject(1 << bits, colours.data());
  bool ok = map != nullptr;
  if (ok) {
    EGifSetGifVersion(gif, true);
    ok = EGifPutScreenDesc(gif, static_cast<int>(in.width), static_cast<int>(in.height), bits, 0, map) != GIF_ERROR;
  }
  if (ok && transparent >= 0) {
    const GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(transparent)};
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) != GIF_ERROR;
  }
  ok = ok && EGifPutImageDesc(gif, 0, 0, static_cast<int>(in.width), static_cast<int>(in.height), false, nullptr) !=
                 GIF_ERROR;
  for (uint32_t y = 0; ok && y < in.height; ++y)
    ok = EGifPutLine(gif, &index[static_cast<size_t>(y) * in.width], static_cast<int>(in.width)) != GIF_ERROR;
  if (EGifCloseFile(gif, &error) == GIF_ERROR) ok = false;
  GifFreeMapObject(map);
  return ok;
}
