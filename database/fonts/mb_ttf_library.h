// TrueType fonts: glyph outlines asked of GDI once per character, turned
// into point lists and cached; laid out at the text's height. The points
// keep the outline records' fixed-point precision and the curves are cut
// into chords within a four-thousandth of the outline size of them: a text
// zoomed a hundred times to 2,500 pixels strays from its curves by less
// than a pixel. (MB_TTF_Outline and
// ttfrender_to_ptsets read the same records as integer cubic pieces.)
//
// The library's height is fixed when it is made, from the top of the
// capital H at the outline size, so a text keeps its size whatever was drawn
// before. Every glyph, a space too, advances the pen by its advance width,
// so letters are spaced as the font means them to be (in a vertical text,
// down the column as a shape font's glyphs do: advance_pen); the advance is
// asked at kMetricsScale times the outline size and keeps that fraction of
// an outline unit. The native outline records are read checked against their
// buffer. Codes are kept whole (32 bits): GBK codes go to GDI's ANSI
// outline call, codes marked kUnicode to its Unicode one, and GDI takes a
// character the face lacks from an installed face that has it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <windows.h>
#include <wingdi.h>

#include "database/fonts/mb_font_library.h"
#include "geometry/as_pt.h"

// One cached glyph.
class MB_TTF_Char {
 public:
  explicit MB_TTF_Char(uint32_t code = 0) : code_(code) {}

  uint32_t code() const { return code_; }
  const char* note() const { return note_; }
  void note(const char* text);
  // Contours in outline units, y up.
  std::vector<std::vector<As_Pt>>& contours() { return contours_; }
  const std::vector<std::vector<As_Pt>>& contours() const { return contours_; }
  const As_Pt& end_pos() const { return end_; }
  void set_end_pos(double x, double y, double z) { end_ = As_Pt(x, y, z); }
  // The advance width in outline units.
  double advance() const { return advance_; }
  void advance(double a) { advance_ = a; }

 private:
  uint32_t code_;
  char note_[4] = {};
  std::vector<std::vector<As_Pt>> contours_;
  As_Pt end_;
  double advance_ = 0.0;
};

// An outline in integer units as read from the native records: each contour
// the control points of cubic pieces, y pointing down.
class MB_TTF_Outline {
 public:
  typedef std::vector<POINT> Contour;

  // Reads the records of a buffer of `size` bytes; records that do not fit
  // in it end the reading. Answers 1.
  int Create(const void* buffer, unsigned long size);
  void Destroy() { contours_.clear(); }
  int GetContourCount() const { return static_cast<int>(contours_.size()); }
  const Contour& GetContour(int i) const { return contours_[static_cast<size_t>(i)]; }

 private:
  std::vector<Contour> contours_;
};

// 16.16 fixed point to the nearest integer.
int32_t fixed_to_int(int32_t v);
// The outline of a character of the font selected in hdc; null when GDI has
// none. A two-byte text gives a double-byte code.
std::unique_ptr<MB_TTF_Outline> CreateOutline(HDC hdc, long code);
std::unique_ptr<MB_TTF_Outline> CreateOutline(HDC hdc, const char* text);
// The contours as point lists (y up) appended to out; end = the largest x
// and y, never below 0.
void ttfrender_to_ptsets(const MB_TTF_Outline& outline, std::vector<std::vector<As_Pt>>& out, As_Pt& end);

class MB_TTF_Library : public MB_Font_Library {
 public:
  // The outline size asked of GDI.
  static constexpr int kOutlineHeight = 80;
  // Advances are asked at this many times the outline size.
  static constexpr int kMetricsScale = 64;

  // A font file (".ttf", or ".ttc": the collection's first face): its
  // family name from the file (in the fonts folder, or at `path`, else an
  // installed font of that file name); for a file found nowhere, the face
  // its name stands for (get_ttf_name_of_missing_file: the Chinese faces'
  // usual files resolve to an installed CJK face), else "Arial".
  explicit MB_TTF_Library(const char* file, const char* path = nullptr);
  MB_TTF_Library(const MB_TTF_Library&) = delete;
  MB_TTF_Library& operator=(const MB_TTF_Library&) = delete;

  MB_Result serialize(MB_File_IO& io) const override;
  MB_Result materialize(const MB_Opcode&, MB_File_IO&) override { return MB_SUCCESS; }
  MB_Result process(MB_File_IO&) override { return MB_SUCCESS; }

  int font_type() const override { return 1; }
  double height() const override { return char_height_; }
  void char_height(double h) {
    if (h > 0) char_height_ = h;
  }
  bool char_2_ptlist(unsigned long code, As_Void_List& out, As_Pt& pen, double height, double width,
                     bool vertical) override;
  // The same points as char_2_ptlist, written straight into the flat arrays
  // of a text's point sets: no list node per point.
  bool char_2_ptsets(unsigned long code, std::vector<unsigned long>& counts, std::vector<As_Pt>& pts, As_Pt& pen,
                     double height, double width, bool vertical, double units) override;

  // The cached glyph of a code, made on first use; null when GDI has none
  // (remembered too).
  const MB_TTF_Char* glyph(uint32_t code);
  // Makes a glyph (not cached).
  std::unique_ptr<MB_TTF_Char> create_ttf_char(uint32_t code) const;
  size_t cached_count() const { return chars_.size(); }
  double right_edge() const { return right_edge_; }

 private:
  std::string face_;  // the face name as GDI takes it (GBK)
  double char_height_ = 1.0;
  double right_edge_ = 1.0;
  std::vector<std::unique_ptr<MB_TTF_Char>> chars_;  // in creation order
  std::unordered_map<uint32_t, MB_TTF_Char*> index_;
};
