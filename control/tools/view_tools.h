// Tools that look at the drawing without changing it: the view tool pans
// while the left button is held (-100) or zooms to the rectangle of two
// clicks (-101, recorded in the view history); the measure tool (-401)
// shows the cursor's coordinates and the perimeter and area of the polygon
// of its clicks, closed through the cursor, beside the cursor.
#pragma once

#include <string>

#include "control/tools/control_tool.h"

class ViewTool : public ControlTool {
 public:
  ViewTool(long tool_id, const MB_String& title, MB_Operation* operation);
  ~ViewTool() override;
  void lbuttondown(int flags) override;
  void lbuttonup(int flags) override;
  void rbuttondown(int flags) override;
  void mousemove(int flags) override;
};

class MeasureTool : public ControlTool {
 public:
  MeasureTool(long tool_id, const MB_String& title, MB_Operation* operation);
  ~MeasureTool() override;
  void lbuttondown(int flags) override;
  void rbuttondown(int flags) override;
  void mousemove(int flags) override;
  // The read-out, drawn by the renderer on each repaint.
  void draw(HDC hdc) override;

  // The read-out's three texts for the current clicks and cursor.
  struct Readout {
    std::string coordinates, area, perimeter;
  };
  Readout readout();
};
