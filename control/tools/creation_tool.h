// The creation tool: one class for points, lines, rectangles, polylines,
// filled regions, arcs, circles, ellipses and splines, chosen by its tool id.
// It collects snapped clicks, previews the entity on the rubber band while
// the mouse moves, and makes the entity through the kernel's flat API as one
// undoable command once the clicks are complete (for polylines, splines and
// regions, on the right button). It stays for the next entity; a right click
// with no clicks pending ends it, as does one with pending clicks of a kind
// whose number of clicks is fixed (the rectangle keeps its first corner).
#pragma once

#include <vector>

#include "control/tools/control_tool.h"

class MB_Drawable;

class CreationTool : public ControlTool {
 public:
  CreationTool(long tool_id, const MB_String& title, MB_Operation* operation);
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
};
