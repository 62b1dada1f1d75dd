// Flat API for raster image entities: the image format code of a file name
// and the creators that load a raster file into a new image entity, one
// drawing unit per pixel, centred on a point.
//
// A file that cannot be decoded (missing, unreadable, malformed, or of a
// format the image library does not read) makes no entity: the creators
// answer 0 and append nothing.
#pragma once

#include <cstdint>

#include "geometry/as_pt.h"

class MB_Drawing;
class MB_Image;
class MB_Operation;

// The image library's format code for the three letters after a period that
// stands fourth from the end of the path, compared without regard to case:
// bmp 1, gif 2, jpg 3, png 4, ico 5, tif 6, tga 7, pcx 8, wmf and emf 10,
// jp2 and j2k 11, jpc and j2c 12, pgx 13, pnm, pgm and ppm 14, ras 15; any
// other three letters 0. -1 when there is no such period (null paths and
// paths shorter than 4 characters among them).
int api_mb_image_format_code(const char* path);

// Built and appended to the current drawing (its block being defined, if
// any); 0 without a current drawing.
intptr_t api_mb_create_image(char* path, const As_Pt& centre);
// Built and appended to the operation's drawing; null when it has none.
MB_Image* api_mb_create_image(MB_Operation& operation, char* path, As_Pt centre);
// Appended to the drawing, not built.
MB_Image* api_mb_create_image(MB_Drawing& drawing, char* path, As_Pt centre);
