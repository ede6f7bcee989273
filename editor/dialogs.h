// The editor's own dialogs the pad view asks for: the profile name, the web
// address, the about box, the assignment table and the framework's print
// commands. The editor window implements them; the tests and kltool editor
// answer from a script (editor/recording_ports.h). Message boxes and the
// file-open dialog are the shared Prompts (platform/prompts.h).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kl {

// The assignment table dialog's contents: three column titles and widths,
// then one row per entry of the shown pad.
struct AssignmentRow {
  std::string input;
  std::string mode;
  std::string keys;
};
struct AssignmentTable {
  std::array<std::string, 3> titles;
  std::array<int, 3> widths{};
  std::vector<AssignmentRow> rows;
};

// The framework's standard print commands handed on to the view.
enum class PrintCommand { kPrint, kPreview, kSetup };

class EditorDialogs {
 public:
  virtual ~EditorDialogs() = default;
  // The profile name dialog, showing `initial`: the name (at most 10
  // characters) on OK, none on Cancel.
  virtual std::optional<std::string> ProfileName(const std::string& initial) = 0;
  // The web address dialog, showing `initial`: the address on OK, none on Cancel.
  virtual std::optional<std::string> WebAddress(const std::string& initial) = 0;
  virtual void About() = 0;
  virtual void ShowAssignmentTable(const AssignmentTable& table) = 0;
  virtual void Print(PrintCommand command) = 0;
};

}  // namespace kl
