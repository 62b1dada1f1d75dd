// Names of files and of the drawing's tables: extensions, the last part of a
// path, and comparison without regard to ASCII case that keeps GBK pairs.
#pragma once

// True when the text after the last '.' of the path equals `ext`, ignoring
// case; false when the path has no '.'.
bool is_file_ext(const char* path, const char* ext);
// Copies the part of the path after its last '/' or '\' (all of it when it
// has none) into `out`, which holds at least 260 bytes; false for a null path.
bool get_fname_by_pathstr(const char* path, char* out);
// Names compared without regard to ASCII case. The two bytes of a GBK
// character are compared exactly, so a trail byte that looks like a letter
// is not folded.
bool mb_same_name(const char* a, const char* b);
