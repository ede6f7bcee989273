// The window and shell operations the editor's view asks for: repaint,
// minimise, close, resize, opening a document with the shell, the help
// file, whether the editor is the active program, and the tooltip tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout_tables.h"

namespace kl {

// One tooltip tool: its id and the view rectangle it covers.
struct TooltipTool {
  uint32_t id = 0;
  layout::Rect rect{};
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Invalidates the view without erasing and updates it at once.
  virtual void Repaint() = 0;
  // ShellExecute with the "open" verb.
  virtual void Open(const std::string& address) = 0;
  virtual void Minimize() = 0;
  virtual void Close() = 0;
  // Moves the main frame to where it is with this size; the frame's size
  // limits decide the size it takes.
  virtual void Resize(int width, int height) = 0;
  // WinHelp on the application's help file with `command` and `data`.
  virtual void Help(uint32_t command, uint32_t data) = 0;
  // Whether the active window belongs to the editor.
  virtual bool EditorActive() = 0;
  // Replaces the tooltip control by a new one with these tools (texts come
  // from the view when the control asks).
  virtual void SetUpTooltips(const std::vector<TooltipTool>& tools) = 0;
};

}  // namespace kl
