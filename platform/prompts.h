// The small modal user interface the portable code asks for: message boxes
// from a string id and the few dialogs of the editor. The window layer
// implements it; tests and kltool answer from a script.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kl {

// Message box buttons and icons, the platform's MB_* values.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbOkCancel = 0x1;
constexpr uint32_t kMbYesNoCancel = 0x3;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbRetryCancel = 0x5;
constexpr uint32_t kMbIconHand = 0x10;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr uint32_t kMbIconExclamation = 0x30;
constexpr uint32_t kMbIconAsterisk = 0x40;

// Answers, the platform's ID* values.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdRetry = 4;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// What a file-open dialog is asked to show.
struct OpenFileRequest {
  std::string filter;            // "Text|*.ext|" pairs as the string table holds them
  std::string defaultExtension;  // without the point
  std::string initialName;       // e.g. "*.exe"
};

// A message box beyond a plain string: text added after a space (a game or
// profile name) and a caption string (0: the program's title).
struct MessageRequest {
  uint32_t stringId = 0;
  uint32_t style = 0;
  std::string suffix;
  uint32_t captionId = 0;
};

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

class Prompts {
 public:
  virtual ~Prompts() = default;
  // A message box whose text is string `stringId` of the program's module.
  virtual int MessageBox(uint32_t stringId, uint32_t style) = 0;
  // The platform's file-open dialog; the full path picked, or none on cancel.
  virtual std::optional<std::string> OpenFile(const OpenFileRequest& request) = 0;

  // The editor's own dialogs. A prompt source that has no dialogs (a
  // command-line tool) keeps these answers: the plain box, and Cancel.
  virtual int Ask(const MessageRequest& request) {
    return MessageBox(request.stringId, request.style);
  }
  // The profile name dialog, showing `initial`: the name (at most 10
  // characters) on OK, none on Cancel.
  virtual std::optional<std::string> ProfileName(const std::string&) { return std::nullopt; }
  // The web address dialog, showing `initial`: the address on OK.
  virtual std::optional<std::string> WebAddress(const std::string&) { return std::nullopt; }
  virtual void About() {}
  virtual void ShowAssignmentTable(const AssignmentTable&) {}
  virtual void Print(PrintCommand) {}
};

}  // namespace kl
