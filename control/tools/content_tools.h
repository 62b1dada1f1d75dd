// Tools that place prepared content or only preview it: the text tool
// places copies of a text set up in the text-entry dialog, one per click,
// and the dimension tool shows an aligned dimension through two points and
// the cursor. Neither snaps.
//
// A placed text is not recorded as a command of its own: its creation is
// undone only when a command is already being recorded around it.
#pragma once

#include <afxwin.h>

#include <memory>

#include "control/tools/control_tool.h"

class MB_Text;

class TextTool : public ControlTool {
 public:
  TextTool(long tool_id, const MB_String& title, MB_Operation* operation);
  ~TextTool() override;
  void lbuttondown(int flags) override;
  void lbuttonup(int flags) override;
  void rbuttondown(int flags) override;
  void mousemove(int flags) override;

  // The text to place, or null after a cancelled dialog; never in the drawing.
  const MB_Text* prototype() const { return prototype_.get(); }

 private:
  CString text_;
  std::unique_ptr<MB_Text> prototype_;
};

class DimensionTool : public ControlTool {
 public:
  DimensionTool(long tool_id, const MB_String& title, MB_Operation* operation)
      : ControlTool(tool_id, title, operation) {}
  void lbuttondown(int flags) override;
  void mousemove(int flags) override;
};
