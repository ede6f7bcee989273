// Simulated DOS-box driver with scripted answers.
//
// Like the real device it opens only under its own name ("\\.\QUORIX",
// without regard to case) and only while present; control code 1 always
// succeeds, code 2 copies `answer` into the caller's buffer (at most the
// buffer's size), any other code fails as an unknown function.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/dosbox.h"

namespace kl {

constexpr char kDosBoxDeviceName[] = "\\\\.\\QUORIX";

// GetLastError values the simulated device reports.
constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorNoAccess = 998;

class SimDosBox : public DosBoxDriver {
 public:
  // Whether the device opens at all (it does not on an ordinary machine).
  bool present = false;
  // The bytes control code 2 writes into the caller's buffer, copied as they
  // are (no terminator is added, so a test can send an unterminated answer).
  std::vector<uint8_t> answer;
  // Whether control code 2 reports success.
  bool answerSucceeds = true;
  // The error GetLastError reports after a failed control code 2.
  uint32_t failureError = 2;

  // Sets `answer` to the path with its terminator and makes the device present.
  void SetProgram(const std::string& path);
  // Every debug string written, and the calls seen, for tests.
  std::vector<std::string> debugLines;
  std::vector<uint32_t> controlCodes;
  std::vector<std::string> openedNames;
  int openHandles = 0;

  Handle Open(const char* deviceName) override;
  bool Control(Handle device, uint32_t code, void* in, uint32_t inSize) override;
  uint32_t LastError() override { return m_lastError; }
  void Close(Handle device) override;
  void DebugString(const char* text) override { debugLines.emplace_back(text ? text : ""); }

 private:
  uint32_t m_lastError = 0;
  std::set<Handle> m_open;
  Handle m_nextHandle = 0x100;
};

}  // namespace kl
