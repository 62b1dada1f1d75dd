// Test pictures and comparisons shared by the image tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ximage.h"

// A w x h picture: a colour gradient with a few exact marks, optionally with
// a varied alpha channel. With `few_colours` it uses at most 64 colours.
inline CxImage test_picture(long w, long h, bool with_alpha = false, bool few_colours = false) {
  CxImage img;
  img.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) {
      int r = static_cast<int>(x * 255 / (w > 1 ? w - 1 : 1)), g = static_cast<int>(y * 255 / (h > 1 ? h - 1 : 1));
      int b = (x * 7 + y * 3) & 0xFF;
      if (few_colours) r &= 0xC0, g &= 0xC0, b &= 0xC0;
      img.SetPixelColor(x, y, RGB(r, g, b));
      if (with_alpha) img.AlphaSet(x, y, static_cast<BYTE>(((x + y) % 3) * 127));
    }
  img.SetPixelColor(0, 0, RGB(255, 0, 0));
  img.SetPixelColor(w - 1, 0, RGB(0, 255, 0));
  img.SetPixelColor(0, h - 1, RGB(0, 0, 255));
  return img;
}

// A w x h picture of smooth gradients, for lossy formats.
inline CxImage smooth_picture(long w, long h) {
  CxImage img;
  img.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) img.SetPixelColor(x, y, RGB(x * 255 / w, y * 255 / h, (x + y) * 2));
  return img;
}

// The largest difference of one colour channel between two pictures of the
// same size (256 when the sizes differ).
inline int max_channel_difference(const CxImage& a, const CxImage& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return 256;
  int worst = 0;
  for (long y = 0; y < static_cast<long>(a.GetHeight()); ++y)
    for (long x = 0; x < static_cast<long>(a.GetWidth()); ++x) {
      COLORREF p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
      worst = std::max({worst, std::abs(GetRValue(p) - GetRValue(q)), std::abs(GetGValue(p) - GetGValue(q)),
                        std::abs(GetBValue(p) - GetBValue(q))});
    }
  return worst;
}

inline std::vector<BYTE> encoded(CxImage& img, DWORD type) {
  BYTE* buffer = nullptr;
  long size = 0;
  EXPECT_TRUE(img.Encode(buffer, size, type)) << "type " << type;
  std::vector<BYTE> out(buffer, buffer + size);
  CxImage::FreeMemory(buffer);
  return out;
}
