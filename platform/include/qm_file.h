// The file layer between the product's Windows-style names and Linux.
//
// Path mapping: "\" becomes "/", and when the mapped name does not exist as
// given, each component is looked up in its folder without regard to ASCII
// case (the exact name wins; among several case-variants the byte-wise
// smallest is taken, so the choice does not depend on the folder's order).
// From the first component that exists in no case on, the rest of the path
// is kept as given, so a file about to be created lands in the resolved
// folder under the name the caller chose. Ordinary Linux paths, relative or
// absolute, map to themselves.
// Linux file names are UTF-8: a path that is not well-formed UTF-8 is GBK
// and converted first (unless a file has exactly those bytes as its name),
// and a non-ASCII UTF-8 path that names nothing gives way to its GBK reading
// when that names a file (many GBK names are well-formed UTF-8 too).
//
// qm_fopen opens like the original C runtime: a mode without 'b' opens in
// text mode, where "\n" is written as CR LF and CR LF is read as "\n" (a lone
// CR stays); with 'b' the file is binary. Mode letters: r, w or a first, then
// any of '+', 'b', 't' (other characters, such as blanks, are ignored). The
// text stream is a real FILE* (fopencookie), so every stdio call works on it;
// ftell and fseek use byte offsets in the file, as the original runtime does.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

std::string qm_map_path(const char* path);
FILE* qm_fopen(const char* path, const char* mode);
// True when the (mapped) path names a regular file. Readers of files named
// by documents check this first: opening a pipe or a device would block or
// never end.
bool qm_is_regular_file(const char* path);
// Reads the whole of a regular file (binary) into `out`; false for a
// missing file, anything but a regular file, a read error or a file larger
// than max_bytes (`out` is then empty).
bool qm_read_file(const char* path, std::string& out, size_t max_bytes);
// Writes the bytes as the whole new content of the (mapped) path: a regular
// file (or a new one) is replaced through a sibling temporary file renamed
// over it only when every byte was written, keeping the old file's
// permissions; a failure leaves the old file as it was and removes the
// temporary one. False (errno set) on failure.
bool qm_replace_file(const char* path, const void* data, size_t size);
