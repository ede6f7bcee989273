#include "mapper/dosquery.h"

#include <cstdio>
#include <cstring>

namespace kl {

namespace {

void WriteErrorLine(DosBoxDriver& driver) {
  // The error as a signed decimal after a line break, as the debug log has
  // always shown it.
  char line[16];
  std::snprintf(line, sizeof(line), "\n%d", static_cast<int>(driver.LastError()));
  driver.DebugString(line);
}

}  // namespace

bool QueryDosProgram(DosBoxDriver& driver, Input& input, std::string& name) {
  input.Sleep(kDosBoxWait);

  const DosBoxDriver::Handle device = driver.Open(kDosBoxDevice);
  if (device == DosBoxDriver::kInvalidHandle) {
    // Nothing to ask and nothing to close on a handle that never opened.
    WriteErrorLine(driver);
    return false;
  }

  // The driver does not look at this input; it only wants the call.
  uint8_t start[4] = {};
  driver.Control(device, kDosBoxStartCode, start, sizeof(start));

  char path[kDosBoxPathBuffer] = {};
  const bool answered = driver.Control(device, kDosBoxProgramCode, path, sizeof(path));
  WriteErrorLine(driver);

  if (answered) {
    // A driver that fills the whole buffer gets its text cut, not overrun.
    path[sizeof(path) - 1] = '\0';
    const char* fileName = std::strrchr(path, '\\');
    name = fileName ? fileName + 1 : path;
  }
  driver.Close(device);
  return answered;
}

}  // namespace kl
