// Asking the maker's DOS-box driver which program runs in the DOS box. DOS
// games do not show up as processes of their own, only the DOS-box host
// module does, so the runtime mapper asks the driver for the program's path.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dosbox.h"
#include "platform/input.h"

namespace kl {

constexpr char kDosBoxDevice[] = "\\\\.\\QUORIX";
constexpr char kDosBoxHostModule[] = "WINOA386.MOD";
// The driver needs a moment after the DOS box changes before it can answer.
constexpr uint32_t kDosBoxWait = 500;
constexpr uint32_t kDosBoxStartCode = 1;
constexpr uint32_t kDosBoxProgramCode = 2;
// The driver writes the program's path into a buffer of this size.
constexpr size_t kDosBoxPathBuffer = 256;

// Waits, then asks the driver. On success `name` receives the file name of
// the program (the text after the last backslash of the path the driver
// returned) and the result is true; otherwise `name` is untouched. Every
// query writes one debug line with the driver's last error.
bool QueryDosProgram(DosBoxDriver& driver, Input& input, std::string& name);

}  // namespace kl
