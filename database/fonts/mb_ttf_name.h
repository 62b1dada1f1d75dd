// The family name of a TrueType font file, read from its "name" table.
#pragma once

#include <cstddef>
#include <cstdint>

// The family name of a TrueType font file in the Windows folder's fonts/:
// the name in the system's language when the font has one, else the US
// English one, as 8-bit (GBK) text cut to fit `out_size` bytes. False, with
// `out` untouched, when the file does not open or gives no family name.
bool get_ttf_name_by_file(const char* file_name, char* out, size_t out_size);
// The same for a file given by its path and for a given language.
bool get_ttf_name_by_path(const char* path, uint16_t language, char* out, size_t out_size);
// The face a font file that is not at hand stands for, so that GDI can find
// an installed face for it: the usual Windows file names of the Chinese,
// Japanese and Korean faces give those faces' names (simsun.ttc: "SimSun",
// msgothic.ttc: "MS Gothic"), any other file "Arial".
void get_ttf_name_of_missing_file(const char* file_name, char* out, size_t out_size);
