// The small modal user interface the portable code asks for: message boxes
// from a string id and the platform's file-open dialog. The window layer
// implements it; tests and kltool answer from a script. The editor's own
// dialogs are its port (editor/dialogs.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

class Prompts {
 public:
  virtual ~Prompts() = default;
  // A message box whose text is string `stringId` of the program's module.
  virtual int MessageBox(uint32_t stringId, uint32_t style) = 0;
  // The platform's file-open dialog; the full path picked, or none on cancel.
  virtual std::optional<std::string> OpenFile(const OpenFileRequest& request) = 0;
  // A message box with a suffix or its own caption. A prompt source that
  // cannot show one (a command-line tool) shows the plain box.
  virtual int Ask(const MessageRequest& request) {
    return MessageBox(request.stringId, request.style);
  }
};

}  // namespace kl
