// The DOS-box query against the simulated driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapper/dosquery.h"
#include "platform/sim/recording_input.h"
#include "platform/sim/sim_dosbox.h"

namespace kl {
namespace {

struct QueryCase {
  const char* name;
  bool present;
  std::vector<uint8_t> answer;
  bool answerSucceeds;
  bool result;
  std::string program;  // what the caller's name holds afterwards
  std::string debugLine;
  std::vector<uint32_t> codes;
};

std::vector<uint8_t> Text(const std::string& text, bool terminated = true) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  if (terminated) bytes.push_back(0);
  return bytes;
}

TEST(DosQuery, AsksTheDriverForTheProgramsFileName) {
  const std::string longPath = "C:\\" + std::string(300, 'D');
  const std::vector<QueryCase> cases = {
      {"a path with folders",
       true,
       Text("C:\\GAMES\\DOS\\ZORK.EXE"),
       true,
       true,
       "ZORK.EXE",
       "\n0",
       {1, 2}},
      {"a name without folder", true, Text("ZORK.EXE"), true, true, "ZORK.EXE", "\n0", {1, 2}},
      {"a path ending in a backslash", true, Text("C:\\GAMES\\"), true, true, "", "\n0", {1, 2}},
      {"an unterminated answer filling the buffer",
       true,
       Text(longPath, false),
       true,
       true,
       std::string(252, 'D'),
       "\n0",
       {1, 2}},
      {"the program query fails",
       true,
       Text("C:\\ZORK.EXE"),
       false,
       false,
       "unchanged",
       "\n87",
       {1, 2}},
      {"no device", false, {}, true, false, "unchanged", "\n2", {}},
  };
  for (const QueryCase& c : cases) {
    SCOPED_TRACE(c.name);
    SimDosBox driver;
    driver.present = c.present;
    driver.answer = c.answer;
    driver.answerSucceeds = c.answerSucceeds;
    driver.failureError = 87;
    RecordingInput input;
    std::string program = "unchanged";

    EXPECT_EQ(QueryDosProgram(driver, input, program), c.result);
    EXPECT_EQ(program, c.program);
    EXPECT_EQ(input.Transcript(), "sleep 500\n");
    EXPECT_EQ(driver.debugLines, std::vector<std::string>{c.debugLine});
    EXPECT_EQ(driver.controlCodes, c.codes);
    EXPECT_EQ(driver.openHandles, 0);
    EXPECT_EQ(driver.openedNames, std::vector<std::string>{"\\\\.\\QUORIX"});
  }
}

}  // namespace
}  // namespace kl
