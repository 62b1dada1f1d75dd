// The command-to-tool table.
#include "control/tools/tool_commands.h"

#include "control/tools/creation_tool.h"
#include "control/tools/select_tool.h"

const std::vector<Tool_Command>& tool_commands() {
  static const std::vector<Tool_Command> table = {
    {32778, -201, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xb5\xe3"},  // 创建点
    {32780, -202, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xd6\xb1\xcf\xdf"},  // 创建直线
    {32786, -203, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xd5\xdb\xcf\xdf"},  // 创建折线
    {32805, -204, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xd4\xb2\xbb\xa1"},  // 创建圆弧
    {32807, -205, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xa3\xb3\xb5\xe3\xbb\xa1"},  // 创建３点弧
    {32806, -206, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xa3\xb3\xb5\xe3\xbb\xa1"},  // 创建３点弧
    {32801, -208, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xd4\xb2"},  // 创建圆
    {32803, -209, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xa3\xb3\xb5\xe3\xd4\xb2"},  // 创建３点圆
    {32809, -212, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xcd\xd6\xd4\xb2"},  // 创建椭圆
    {32808, -214, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xd1\xf9\xcc\xf5\xcf\xdf"},  // 创建样条线
    {32799, -231, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xcc\xee\xb3\xe4\xc7\xf8\xd3\xf2"},  // 创建填充区域
    {32810, -232, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xbe\xd8\xd0\xce"},  // 创建矩形
    {32798, -300, Tool_Command::SELECT, "\xd1\xa1\xd4\xf1"},  // 选择
  };
  return table;
}

const Tool_Command* find_tool_command(UINT command) {
  for (const Tool_Command& c : tool_commands())
    if (c.command == command) return &c;
  return nullptr;
}

bool start_tool_command(UINT command, MB_Operation* operation) {
  const Tool_Command* c = find_tool_command(command);
  if (!c || !operation) return false;
  // A tool registers itself with the operation, which owns it from then on.
  const MB_String title(c->title);
  switch (c->kind) {
    case Tool_Command::CREATION: new CreationTool(c->tool, title, operation); break;
    case Tool_Command::SELECT: new SelectTool(c->tool, title, operation); break;
  }
  return true;
}
