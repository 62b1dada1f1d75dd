// The tools that add transformed copies of the selection, which itself
// stays: rotate (centre, reference, target), mirror (two points of the
// mirror line) and the polar array (five instances about a centre). Each
// completed edit is one undoable command. A rotation whose reference or
// target lies on the centre, and a mirror line of one point, have no
// direction: they make no copies and record no command.
#pragma once

#include "control/tools/control_tool.h"

class RotateTool : public ControlTool {
 public:
  using ControlTool::ControlTool;
  void lbuttondown(int flags) override;
  void rbuttondown(int flags) override;
  void mousemove(int flags) override;
};

class MirrorTool : public ControlTool {
 public:
  using ControlTool::ControlTool;
  void lbuttondown(int flags) override;
  void rbuttondown(int flags) override;
  void mousemove(int flags) override;
};

class PolarArrayTool : public ControlTool {
 public:
  using ControlTool::ControlTool;
  void lbuttondown(int flags) override;
  void rbuttondown(int flags) override;
  void mousemove(int flags) override;
  int copy_count() const { return copy_count_; }

 private:
  int copy_count_ = 5;
};
