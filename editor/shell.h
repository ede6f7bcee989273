// The window and shell operations the editor's view asks for: repaint,
// minimise, close, resize, and opening a document with the shell.
#pragma once

#include <string>

namespace kl {

class Shell {
 public:
  virtual ~Shell() = default;
  // Invalidates the view without erasing and updates it at once.
  virtual void Repaint() = 0;
  // ShellExecute with the "open" verb.
  virtual void Open(const std::string& address) = 0;
  virtual void Minimize() = 0;
  virtual void Close() = 0;
  virtual void Resize(int width, int height) = 0;
};

}  // namespace kl
