// The block tools: the insert tool places copies of an insert of a block,
// one per click, the block chosen in the insert-block dialog or handed over
// by the block library; the create tool names a block of the selection in
// the define-block dialog and hands it the clicked base point. Neither
// snaps.
//
// A placed insert is not recorded as a command of its own: its creation is
// undone only when a command is already being recorded around it.
#pragma once

#include <afxwin.h>

#include <memory>

#include "control/tools/control_tool.h"

class MB_Block;
class MB_Insert;

class InsertBlockTool : public ControlTool {
 public:
  // The block comes from the insert-block dialog, shown here.
  InsertBlockTool(long tool_id, const MB_String& title, MB_Operation* operation);
  // The block comes from elsewhere (a library drawing): the drawing takes a
  // copy of it unless it has a block of that name already. The source is
  // read only here; it may die as soon as the tool is made.
  InsertBlockTool(long tool_id, const MB_String& title, MB_Operation* operation, MB_Block* source);
  ~InsertBlockTool() override;
  void lbuttondown(int flags) override;
  void lbuttonup(int flags) override;
  void rbuttondown(int flags) override;
  void mousemove(int flags) override;

  // The insert to place, or null after a cancelled dialog; never in the
  // drawing.
  const MB_Insert* prototype() const { return prototype_.get(); }

 private:
  void make_prototype(const char* block_name, double x_scale, double y_scale, double z_scale, double angle);

  std::unique_ptr<MB_Insert> prototype_;
};

class CreateBlockTool : public ControlTool {
 public:
  // Shows the define-block dialog with the base point at the origin; a
  // cancelled dialog ends the tool.
  CreateBlockTool(long tool_id, const MB_String& title, MB_Operation* operation);
  void lbuttondown(int flags) override;
  void lbuttonup(int flags) override;
  void rbuttondown(int flags) override;

  const CString& block_name() const { return name_; }

 private:
  CString name_;
};
