// Flat API for making entities and table entries in the current drawing
// (g_current_drawing) without handling the classes: points, lines, chains,
// rectangles, solids, texts, blocks, inserts, text styles and layers; and
// the colour by index and the setters of a chain's points and an entity's
// colour and layer.
//
// Entities are appended to the block being defined in the current drawing
// when there is one (api_mb_create_block with a base point), else to its
// entity list; table entries go to the end of their table. Each creation is
// reported by the new object to the undo command that is open, if any; no
// command is opened here. Functions answering an integer give the new object
// as a pointer-sized integer, 0 when nothing was made; those answering bool
// hand the new object back through their first argument and leave it as it
// was when they fail. Without a current drawing every function fails and
// makes nothing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "geometry/as_pt.h"

class As_Void_List;
class MB_Block;
class MB_Dim_Style;
class MB_Dimension;
class MB_Drawable;
class MB_Insert;
class MB_Layer;
class MB_Line;
class MB_Lines;
class MB_Point;
class MB_Solid;
class MB_Text;
class MB_Text_Style;

// ---- Points, lines and solids ----

// A solid of `count` corners, the first four from the xyz arrays, the rest
// at the origin; not built. False for null arrays or fewer than 4 corners.
bool api_mb_create_solid(MB_Solid*& solid, const double* p1, const double* p2, const double* p3, const double* p4,
                         int count);
// A built solid of the points (x[i], y[i], 0), each point within 1e-6 of
// the first or of the last one kept passed over. 0 for null arrays or a
// count below 1.
intptr_t api_mb_create_solid(double* x, double* y, int count);
// Not built; false for a null array.
bool api_mb_create_point(MB_Point*& point, const double* xyz);
intptr_t api_mb_create_point(const As_Pt& p);
// Built.
bool api_mb_create_line(MB_Line*& line, const As_Pt& start, const As_Pt& end);
// Not built; false for a null array.
bool api_mb_create_line(MB_Line*& line, const double* start, const double* end);
// A built open chain of the points (x[i], y[i], 0); 0 for null arrays or
// fewer than 2 points.
intptr_t api_mb_create_lines(double* x, double* y, int32_t count);
// A chain of `count` points at the origin, to be placed with
// api_mb_set_ptset_pos; not built. False for fewer than 2 points.
bool api_mb_create_lines(MB_Lines*& lines, int count);
// The built closed outline (x1, y1), (x2, y1), (x2, y2), (x1, y2), (x1, y1).
intptr_t api_mb_create_rect(double x1, double y1, double x2, double y2);
// Sets point `index` of a chain (object id 51); any other entity is left as
// it is (true). False for a null entity or an index outside the chain.
bool api_mb_set_ptset_pos(MB_Drawable*& entity, int index, double x, double y, double z);

// ---- Text ----

// A text in the drawing's style of that name (any case), else the kernel's
// default style, whose height, width scale and angle then become the given
// ones; not built. False for a null text or position.
bool api_mb_create_text(MB_Text*& text, const char* string, const char* style_name, const double* position,
                        double height, double width_scale, double angle);

// ---- Blocks and inserts ----

// Starts a block (description " ") that the creators then fill; it joins
// the block table when it ends. False, with nothing changed, for a null name
// or base point or while another block is being defined.
bool api_mb_create_block(MB_Block*& block, const char* name, const double* base);
// Ends the block being defined and links it at the end of the block table.
// False for any other block (or one already ended).
bool api_mb_end_block(MB_Block*& block);
// A block of copies of the listed entities (MB_Drawable*), moved so that the
// base point lands on the origin and built, linked at the end of the block
// table; the listed entities stay as they are. 0 for an empty list.
intptr_t api_mb_create_block(const char* name, const char* description, const As_Pt& base,
                             As_Void_List& entities);
// An insert of the named block (a new empty block when the drawing has none
// of that name) with its placement transform; not built. False for a null
// name or position.
bool api_mb_create_insert(MB_Insert*& insert, const double* position, double x_scale, double y_scale,
                          double z_scale, double angle, const char* block_name);
// The same insert, built; appended only when `append` is set. An insert not
// appended belongs to the caller and is not recorded for undo. 0 for a null
// name.
intptr_t api_mb_create_insert(const char* block_name, const As_Pt& position, double x_scale, double y_scale,
                              double z_scale, double angle, bool append);

// ---- Dimensions ----

// A dimension with that text (null: the measured value), an insert of the
// named block (none when the drawing has no such block), and the points
// from the xyz arrays: definition point, text middle, insert point, then
// (after one unused array) the two measured points and the fourth point.
// When the drawing has a text style, the dimension's style takes the first
// one, then the values of the dimension style of that name (any case), if
// any. The trailing values are not used. Appended, not built; 0 for a null
// point array.
intptr_t api_mb_create_dimension(const char* text, const char* block_name, const char* style_name,
                                 const double* definition, const double* text_mid, const double* insert,
                                 const double*, const double* pt2, const double* pt3, const double* pt4, double,
                                 double, double, double, double, double, int);

// ---- Tables ----

// A dimension style of that name with the three colours, thirteen 16-bit
// values and sixteen doubles copied from the arrays, and the drawing's text
// style of that name (any case; none when there is none). Linked at the end
// of the dimension style table; 0 for a null array.
intptr_t api_mb_create_dim_style(const char* name, const char* text_style, const int32_t* colors,
                                 const unsigned short* ints, const double* reals);

// A text style with the fonts of those file names; the two trailing values
// are not used. Linked at the end of the text style table.
bool api_mb_create_text_style(MB_Text_Style*& style, const char* name, const char* font, const char* big_font,
                              double height, double width_scale, double oblique_angle, double angle, int32_t,
                              int32_t);
// A layer of that name and colour with the three flags; the unsigned short
// is not used. Linked at the end of the layer table.
bool api_mb_create_layer(MB_Layer*& layer, const char* name, int32_t color, unsigned short, bool visible,
                         bool locked, bool frozen);

// ---- Colours and attributes ----

// Index 0 .. 255: that entry of the kernel's colour table. -1 and 256 (by
// layer): the colour of the current drawing's layer at position `layer`
// from 0. Any other index, or a layer that is not there (no current
// drawing among them): the current drawing colour of the system settings.
COLORREF api_mb_get_color_byindex(short index, short layer);
// The entity's colour and display colour, and its layer: the current
// drawing's layer at that position, or none. False for a null entity.
bool api_set_drawable_prop(MB_Drawable*& entity, int32_t color, int32_t, int32_t layer);
