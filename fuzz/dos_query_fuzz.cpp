// The DOS-box query on arbitrary driver answers. The first byte says whether
// the device opens (bit 0) and whether the program question succeeds (bit 1),
// the next four bytes are the error the driver reports on failure, and the
// rest is what the driver writes into the 256-byte buffer: any bytes, of any
// length, with or without a terminator. The program name must be the text
// after the last backslash of what fits (at most 255 characters), worked out
// here on its own; a failed query leaves the name alone; every opened handle
// is closed again and every query writes exactly one debug line.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "mapper/dosquery.h"
#include "platform/sim/recording_input.h"
#include "platform/sim/sim_dosbox.h"

namespace {

using kl::fuzz::Fail;

// The name the query should report for what the driver wrote.
std::string ExpectedName(const std::vector<uint8_t>& answer) {
  std::string text(answer.begin(),
                   answer.begin() + std::min(answer.size(), kl::kDosBoxPathBuffer - 1));
  text = text.substr(0, text.find('\0'));
  const size_t slash = text.rfind('\\');
  return slash == std::string::npos ? text : text.substr(slash + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  kl::SimDosBox driver;
  driver.present = data[0] & 1;
  driver.answerSucceeds = data[0] & 2;
  std::memcpy(&driver.failureError, data + 1, 4);
  driver.answer.assign(data + 5, data + size);

  kl::RecordingInput input;
  const std::string untouched = "UNTOUCHED.EXE";
  std::string name = untouched;
  const bool answered = kl::QueryDosProgram(driver, input, name);

  if (answered != (driver.present && driver.answerSucceeds)) Fail("the query's result is wrong");
  if (answered && name != ExpectedName(driver.answer)) Fail("the program name is wrong");
  if (!answered && name != untouched) Fail("a failed query changed the name");
  if (name.size() >= kl::kDosBoxPathBuffer) Fail("the name does not fit the driver's buffer");
  if (driver.openHandles != 0) Fail("the device was left open");
  if (driver.debugLines.size() != 1) Fail("not exactly one debug line");
  if (input.Events().size() != 1) Fail("not exactly the one wait before asking");
  return 0;
}
