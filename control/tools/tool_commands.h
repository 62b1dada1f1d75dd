// The commands that start the control's tools: each command id with its
// tool id, the tool's class and its title.
#pragma once

#include <windows.h>

#include <vector>

class MB_Operation;

struct Tool_Command {
  enum Kind { VIEW, CREATION, INSERT_BLOCK, CREATE_BLOCK, TEXT, DIMENSION, SELECT, ROTATE, ARRAY, MIRROR, MEASURE };
  // What must hold before the tool starts; the refusal is told otherwise.
  enum Need { NOTHING, A_BLOCK, A_SELECTION };
  UINT command;
  long tool;
  Kind kind;
  const char* title;  // GBK
  bool clears_use_events = false;  // the host's use-events setting ends with the command
  Need need = NOTHING;
  const char* refusal = nullptr;  // GBK
};

// The table, in the order of the tool ids.
const std::vector<Tool_Command>& tool_commands();
// The entry of a command id, or null.
const Tool_Command* find_tool_command(UINT command);
// Whether the command's precondition holds on the operation; when it does
// not, the refusal is shown in a message box.
bool tool_command_ready(const Tool_Command& command, MB_Operation& operation);
// Starts the command's tool on the operation (which then owns it); false
// for a command that starts no tool.
bool start_tool_command(UINT command, MB_Operation* operation);
