// The creation tool: one class for points, lines, rectangles, polylines,
// filled regions, arcs, circles, ellipses and splines, chosen by its tool id.
// It collects snapped clicks, previews the entity on the rubber band while
// the mouse moves, and makes the entity through the kernel's flat API as one
// undoable command once the clicks are complete (for polylines, splines and
// regions, on the right button). It stays for the next entity; a right click
// with no clicks pending ends it, as does one with pending clicks of a kind
// whose number of clicks is fixed (the rectangle keeps its first corner).
//
// Two kinds place prepared content: the image tool asks for an image file
// when it starts, moves the image (already in the drawing) to the first
// click as one command and ends; the freehand redline collects the cursor's
// path and makes it, on the right button, a closed polyline 5 wide marked as
// markup, then starts the next stroke.
#pragma once

#include <vector>

#include "control/tools/control_tool.h"

class MB_Drawable;
class MB_Image;

class CreationTool : public ControlTool {
 public:
  CreationTool(long tool_id, const MB_String& title, MB_Operation* operation);
  ~CreationTool() override;
  void lbuttondown(int flags) override;
  void rbuttondown(int flags) override;
  void mousemove(int flags) override;

 private:
  // The creation bracket: the preview erased, the entity built inside an
  // undo command of that name, appended to the active list (or at the front
  // of the drawing's list) and drawn, and the clicks cleared. `build` may
  // answer null: nothing is appended, the command still closes.
  template <class Build>
  void make(const char* command, Build build, bool at_front = false);
  // Lines and splines take line scale 0.5 and the drawing's first line type.
  void dress_curve(MB_Drawable* e);
  std::vector<As_Pt> points();
  void place_image();
  void make_redline();

  MB_Image* image_ = nullptr;  // in the drawing already; the image tool's only
};
