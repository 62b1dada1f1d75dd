// The HPGL library's exports: a plot file read into the kernel's current
// drawing, and the current drawing written as a plot file.
//
// Reading takes plotter units 1:1 as drawing units: pen-down moves become
// white chains of lines, CI a circle at the pen; the arcs AA and AR are not
// drawn but move the pen to their ends; every other instruction is read and
// dropped. Writing puts 40 plotter units in a drawing unit and
// draws every line, curve, point and text, inserts included, as pen strokes
// chained end to end.
#pragma once

extern "C" {

// False when there is no current drawing or the file cannot be read;
// otherwise true, also when the file drew nothing.
bool api_mb_load_hpgl_file(const char* path);

// False when there is no current drawing or the file could not be written
// whole; a file that was there before is then left as it was.
bool api_mb_save_hpgl_file(const char* path);

}

// What a program says of a plot file that reads without error but holds
// nothing a plotter would draw (no entity came of it): such a file is
// refused, not taken for an empty drawing.
constexpr const char* kHpglReasonNothingDrawn = "holds nothing a plotter would draw";
