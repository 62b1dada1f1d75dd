// The command-to-tool table.
#include "control/tools/tool_commands.h"

#include <afxwin.h>

#include "control/control_texts.h"
#include "control/control_state.h"
#include "control/tools/block_tools.h"
#include "control/tools/content_tools.h"
#include "control/tools/creation_tool.h"
#include "control/tools/editing_tools.h"
#include "control/tools/select_tool.h"
#include "control/tools/view_tools.h"
#include "database/mb_drawing.h"
#include "display/interaction/mb_operation.h"

const std::vector<Tool_Command>& tool_commands() {
  static const std::vector<Tool_Command> table = {
    {32783, -100, Tool_Command::VIEW, "\xc6\xbd\xd2\xc6"},  // 平移
    {32785, -101, Tool_Command::VIEW, "\xbf\xf2\xd1\xa1\xb7\xc5\xb4\xf3", true},  // 框选放大
    {32778, -201, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xb5\xe3", true},  // 创建点
    {32780, -202, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xd6\xb1\xcf\xdf"},  // 创建直线
    {32786, -203, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xd5\xdb\xcf\xdf", true},  // 创建折线
    {32805, -204, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xd4\xb2\xbb\xa1", true},  // 创建圆弧
    {32807, -205, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xa3\xb3\xb5\xe3\xbb\xa1", true},  // 创建３点弧
    {32806, -206, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xa3\xb3\xb5\xe3\xbb\xa1", true},  // 创建３点弧
    {32801, -208, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xd4\xb2", true},  // 创建圆
    {32803, -209, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xa3\xb3\xb5\xe3\xd4\xb2", true},  // 创建３点圆
    {32809, -212, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xcd\xd6\xd4\xb2", true},  // 创建椭圆
    {32808, -214, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xd1\xf9\xcc\xf5\xcf\xdf", true},  // 创建样条线
    {32792, -215, Tool_Command::CREATION, "\xb2\xe5\xc8\xeb\xcd\xbc\xc6\xac", true},  // 插入图片
    {32773, -216, Tool_Command::INSERT_BLOCK, "\xb2\xe5\xc8\xeb\xbf\xe9", false, Tool_Command::A_BLOCK, quill::kTextNoBlocks},  // 插入块
    {32774, -217, Tool_Command::CREATE_BLOCK, "\xb4\xb4\xbd\xa8\xbf\xe9", false, Tool_Command::A_SELECTION, quill::kTextSelectBeforeBlock},  // 创建块
    {32843, -218, Tool_Command::CREATION, "\xcd\xbd\xca\xd6\xbb\xe6\xbb\xad", true},  // 徒手绘画
    {32817, -230, Tool_Command::TEXT, "\xb4\xb4\xbd\xa8\xce\xc4\xd7\xd6", true},  // 创建文字
    {32799, -231, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xcc\xee\xb3\xe4\xc7\xf8\xd3\xf2", true},  // 创建填充区域
    {32810, -232, Tool_Command::CREATION, "\xb4\xb4\xbd\xa8\xbe\xd8\xd0\xce", true},  // 创建矩形
    {32811, -240, Tool_Command::DIMENSION, "\xb4\xb4\xbd\xa8\xb3\xdf\xb4\xe7"},  // 创建尺寸
    {32798, -300, Tool_Command::SELECT, "\xd1\xa1\xd4\xf1"},  // 选择
    {32840, -302, Tool_Command::ROTATE, "\xd0\xfd\xd7\xaa", false, Tool_Command::A_SELECTION, quill::kTextSelectBeforeRotate},  // 旋转
    {32838, -305, Tool_Command::ARRAY, "\xd5\xf3\xc1\xd0", false, Tool_Command::A_SELECTION, quill::kTextSelectBeforeArray},  // 阵列
    {32836, -307, Tool_Command::MIRROR, "\xbe\xb5\xcf\xf1", false, Tool_Command::A_SELECTION, quill::kTextSelectBeforeMirror},  // 镜像
    {32830, -401, Tool_Command::MEASURE, "\xb2\xe2\xc1\xbf\xbe\xe0\xc0\xeb", true},  // 测量距离
  };
  return table;
}

const Tool_Command* find_tool_command(UINT command) {
  for (const Tool_Command& c : tool_commands())
    if (c.command == command) return &c;
  return nullptr;
}

bool tool_command_ready(const Tool_Command& command, MB_Operation& operation) {
  bool ready = true;
  switch (command.need) {
    case Tool_Command::NOTHING: break;
    case Tool_Command::A_BLOCK: {
      ready = false;
      if (MB_Drawing* d = operation.drawing())
        for (MB_Object* o = d->block_list().head(); o && !ready; o = o->next()) ready = o->object_id() == MB_Object::ID_BLOCK;
      break;
    }
    case Tool_Command::A_SELECTION: ready = !operation.selection().is_empty(); break;
  }
  if (!ready) AfxMessageBox(command.refusal, MB_OK);
  return ready;
}

bool start_tool_command(UINT command, MB_Operation* operation) {
  const Tool_Command* c = find_tool_command(command);
  if (!c || !operation) return false;
  // A tool registers itself with the operation, which owns it from then on.
  const MB_String title(c->title);
  if (c->clears_use_events) quill_control_state().use_events = false;
  ControlTool* tool = nullptr;
  switch (c->kind) {
    case Tool_Command::VIEW: tool = new ViewTool(c->tool, title, operation); break;
    case Tool_Command::CREATION: tool = new CreationTool(c->tool, title, operation); break;
    case Tool_Command::INSERT_BLOCK: tool = new InsertBlockTool(c->tool, title, operation); break;
    case Tool_Command::CREATE_BLOCK: tool = new CreateBlockTool(c->tool, title, operation); break;
    case Tool_Command::TEXT: tool = new TextTool(c->tool, title, operation); break;
    case Tool_Command::DIMENSION: tool = new DimensionTool(c->tool, title, operation); break;
    case Tool_Command::SELECT: tool = new SelectTool(c->tool, title, operation); break;
    case Tool_Command::ROTATE: tool = new RotateTool(c->tool, title, operation); break;
    case Tool_Command::ARRAY: tool = new PolarArrayTool(c->tool, title, operation); break;
    case Tool_Command::MIRROR: tool = new MirrorTool(c->tool, title, operation); break;
    case Tool_Command::MEASURE: tool = new MeasureTool(c->tool, title, operation); break;
  }
  ControlTool::finish_making(tool);
  return true;
}
