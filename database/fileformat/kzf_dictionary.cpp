// Builds the preset dictionary once, region by region:
//
//   0..64       "(DashPattern (LineStyle (Copyright (Keywords (Viewport
//               (CodePage " - six extended ASCII opcode names, each followed
//               by a blank, as given.
//   65..1096    a binary colour-map record without its closing brace: "{",
//               length 1028, code 1, count byte 0 (256 entries), then the
//               current palette (format version 38 on) as 256 RGBA entries.
//   1097..1463  the thirty other recognised extended ASCII names, from
//               "(NamedView" to "(URL", separated by blanks, with quoted
//               samples: an embedded object (media type, creator tag, file
//               name) after "(Embed", a web address after "(URL", then the
//               start of a quoted file-transfer address to fill the region.
//   1464..11466 the least de Bruijn sequence of order 4 over the digits
//               "0".."9" (10,000 digits), then its own first three digits.
//   11467..13522 a second colour-map record without its closing brace: "{",
//               length 2052 (512 entries), code 1, count byte 0, then the
//               older palette (versions up to 37) and the current palette,
//               each as 256 RGBA entries.
//
// The palettes come from kzf_palette.h, which the colour maps share, so that
// the codec needs nothing else of the kernel. Nothing in this file may
// change once files exist: the bytes are part of the file format.
#include "database/fileformat/kzf_dictionary.h"

#include <array>
#include <cstring>

#include "database/fileformat/kzf_palette.h"

namespace {

using kzf_palette::Palette;
using kzf_palette::Rgb;
using kzf_palette::current_palette;
using kzf_palette::older_palette;

class Writer {
 public:
  explicit Writer(uint8_t* at) : at_(at) {}
  void bytes(const void* p, size_t n) {
    std::memcpy(at_ + pos_, p, n);
    pos_ += n;
  }
  void text(const char* s) { bytes(s, std::strlen(s)); }
  void byte(uint8_t b) { at_[pos_++] = b; }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) byte(uint8_t(v >> (8 * i)));
  }
  void palette(const Palette& p) {
    for (const Rgb& c : p) byte(c.r), byte(c.g), byte(c.b), byte(255);
  }
  // Opening of a binary colour-map record of `entries` entries: "{", the
  // record length, code 1 and the count byte (0 standing for 256 and more).
  void colour_map_head(uint32_t entries) {
    byte('{');
    u32(4 * entries + 4);
    byte(1), byte(0);
    byte(uint8_t(entries & 0xFF));
  }
  size_t pos() const { return pos_; }

 private:
  uint8_t* at_;
  size_t pos_ = 0;
};

// The lexicographically least de Bruijn sequence of order n over k symbols:
// the Lyndon words of length dividing n, in lexicographic order (FKM).
void de_bruijn(int t, int p, int k, int n, int* a, Writer& w) {
  if (t > n) {
    if (n % p == 0)
      for (int j = 1; j <= p; ++j) w.byte(uint8_t('0' + a[j]));
    return;
  }
  a[t] = a[t - p];
  de_bruijn(t + 1, p, k, n, a, w);
  for (int j = a[t - p] + 1; j < k; ++j) {
    a[t] = j;
    de_bruijn(t + 1, t, k, n, a, w);
  }
}

const char kLeadingNames[] = "(DashPattern (LineStyle (Copyright (Keywords (Viewport (CodePage ";

const char kVocabulary[] =
    "(NamedView (PlotInfo (SourceCreated (SourceModified (SourceFilename (Subject "
    "(Text (Title (Units (View (KZF V (EndOfKZF (Color (ColorMap (Author (Background "
    "(Circle (Comments (Creator (Created (Description (Ellipse (Embed 'image/png' "
    "'Quillmark' 'sheet1.png' (Font (Image (Layer (LinePattern (LineWeight (Modified "
    "(URL 'http://www.example.com/' 'ftp://ftp.example.com";

static_assert(sizeof kLeadingNames - 1 == 65, "leading names fill bytes 0-64");
static_assert(sizeof kVocabulary - 1 == 367, "vocabulary fills bytes 1097-1463");

struct Dictionary {
  uint8_t bytes[kKzfDictionarySize];

  Dictionary() {
    Writer w(bytes);
    w.text(kLeadingNames);
    const Palette current = current_palette();
    w.colour_map_head(256);
    w.palette(current);
    w.text(kVocabulary);
    int a[5] = {0, 0, 0, 0, 0};
    size_t digits = w.pos();
    de_bruijn(1, 1, 10, 4, a, w);
    w.bytes(bytes + digits, 3);  // wrap around: every 4-digit string once
    w.colour_map_head(512);
    w.palette(older_palette());
    w.palette(current);
  }
};

}  // namespace

const uint8_t* kzf_preset_dictionary() {
  static const Dictionary dictionary;
  return dictionary.bytes;
}
