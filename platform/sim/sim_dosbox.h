// Simulated DOS-box driver with scripted answers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dosbox.h"

namespace kl {

class SimDosBox : public DosBoxDriver {
 public:
  // Whether the device opens at all (it does not on an ordinary machine).
  bool present = false;
  // The bytes control code 2 writes into the caller's buffer, copied as they
  // are (no terminator is added, so a test can send an unterminated answer).
  std::vector<uint8_t> answer;
  // Whether control code 2 reports success.
  bool answerSucceeds = true;
  // The error GetLastError reports after a failure.
  uint32_t failureError = 2;

  // Sets `answer` to the path with its terminator and makes the device present.
  void SetProgram(const std::string& path);
  // Every debug string written, and the calls seen, for tests.
  std::vector<std::string> debugLines;
  std::vector<uint32_t> controlCodes;
  int openHandles = 0;

  Handle Open(const char* deviceName) override;
  bool Control(Handle device, uint32_t code, void* in, uint32_t inSize) override;
  uint32_t LastError() override { return m_lastError; }
  void Close(Handle device) override;
  void DebugString(const char* text) override { debugLines.emplace_back(text); }

 private:
  uint32_t m_lastError = 0;
};

}  // namespace kl
