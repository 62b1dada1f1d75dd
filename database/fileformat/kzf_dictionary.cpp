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
// The palettes are computed here from their rules so that the codec needs
// nothing else of the kernel. Nothing in this file may change once files
// exist: the bytes are part of the file format.
#include "database/fileformat/kzf_dictionary.h"

#include <array>
#include <cstring>

namespace {

struct Rgb {
  uint8_t r, g, b;
};

using Palette = std::array<Rgb, 256>;

Palette current_palette() {
  Palette p{};
  static const Rgb head[10] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},
                               {128, 128, 0},   {0, 0, 128},     {128, 0, 128},
                               {0, 128, 128},   {192, 192, 192}, {192, 220, 192},
                               {166, 202, 240}};
  for (int i = 0; i < 10; ++i) p[i] = head[i];
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        p[10 + 36 * r + 6 * g + b] = {uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b)};
  static const uint8_t greys[19] = {0,   13,  26,  40,  53,  67,  80,  93,  107, 120,
                                    134, 147, 161, 174, 187, 201, 214, 228, 241};
  for (int i = 0; i < 19; ++i) p[226 + i] = {greys[i], greys[i], greys[i]};
  static const Rgb tail[11] = {{255, 255, 255}, {255, 251, 240}, {160, 160, 164},
                               {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
                               {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                               {0, 255, 255},   {255, 255, 255}};
  for (int i = 0; i < 11; ++i) p[245 + i] = tail[i];
  return p;
}

Palette older_palette() {
  Palette p{};
  static const Rgb head[10] = {{0, 0, 0},     {255, 0, 0},     {255, 255, 0}, {0, 255, 0},
                               {0, 255, 255}, {0, 0, 255},     {255, 0, 255}, {0, 0, 0},
                               {128, 128, 128}, {220, 220, 220}};
  for (int i = 0; i < 10; ++i) p[i] = head[i];
  // 24 hue families of ten: five levels, each saturated and then half way
  // to the level's grey.
  static const int levels[5] = {255, 221, 184, 149, 114};
  for (int i = 10; i < 250; ++i) {
    int h = (i - 10) / 10, k = (i - 10) % 10;
    int hue = 15 * h, v = levels[k / 2];
    int s = hue / 60, f = hue % 60;  // fraction f / 60, products truncated
    int up = v * f / 60, down = v * (60 - f) / 60;
    int r = 0, g = 0, b = 0;
    switch (s) {
      case 0: r = v, g = up, b = 0; break;
      case 1: r = down, g = v, b = 0; break;
      case 2: r = 0, g = v, b = up; break;
      case 3: r = 0, g = down, b = v; break;
      case 4: r = up, g = 0, b = v; break;
      default: r = v, g = 0, b = down; break;
    }
    if (k % 2 == 1) r = (r + v) / 2, g = (g + v) / 2, b = (b + v) / 2;
    p[i] = {uint8_t(r), uint8_t(g), uint8_t(b)};
  }
  // Entries whose stored values were rounded rather than truncated.
  static const struct {
    uint8_t index;
    Rgb rgb;
  } fixed[] = {
      {37, {149, 112, 74}},  {39, {114, 86, 57}},   {46, {149, 112, 0}},   {47, {149, 131, 74}},
      {48, {114, 86, 0}},    {49, {114, 100, 57}},  {66, {112, 149, 0}},   {67, {131, 149, 74}},
      {68, {86, 114, 0}},    {69, {100, 114, 57}},  {77, {112, 149, 74}},  {79, {86, 114, 57}},
      {117, {74, 149, 112}}, {119, {57, 114, 86}},  {126, {0, 149, 112}},  {127, {74, 149, 131}},
      {128, {0, 114, 86}},   {129, {57, 114, 100}}, {146, {0, 112, 149}},  {147, {74, 131, 149}},
      {148, {0, 86, 114}},   {149, {57, 100, 114}}, {157, {74, 112, 149}}, {159, {57, 86, 114}},
      {197, {112, 74, 149}}, {199, {86, 57, 114}},  {206, {112, 0, 149}},  {207, {131, 74, 149}},
      {208, {86, 0, 114}},   {209, {100, 57, 114}}, {226, {149, 0, 112}},  {227, {149, 74, 131}},
      {228, {114, 0, 86}},   {229, {114, 57, 100}}, {237, {149, 74, 112}}, {239, {114, 57, 86}},
  };
  for (const auto& e : fixed) p[e.index] = e.rgb;
  static const uint8_t greys[6] = {84, 118, 152, 186, 220, 255};
  for (int i = 0; i < 6; ++i) p[250 + i] = {greys[i], greys[i], greys[i]};
  return p;
}

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
