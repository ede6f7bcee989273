// kltool simulate run as a user runs it, on a key-file folder built from the
// documented layouts.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/unit/mapper/simulate_scenario.h"

namespace kl {
namespace {

namespace stdfs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::vector<std::string> out;
  std::vector<std::string> err;
};

std::vector<std::string> ReadLines(const stdfs::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class KltoolSimulate : public ::testing::Test {
 protected:
  KltoolSimulate() {
    m_root = stdfs::temp_directory_path() /
             ("kl-simulate-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
              "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    stdfs::remove_all(m_root);
    stdfs::create_directories(m_root / "keys");
    for (const test::FolderFile& f : test::SimulateFolder()) {
      std::ofstream(m_root / "keys" / f.name, std::ios::binary) << f.bytes;
    }
  }
  ~KltoolSimulate() override { stdfs::remove_all(m_root); }

  ToolRun Simulate(const std::string& script, const std::string& folder = "") {
    std::ofstream(m_root / "script.txt", std::ios::binary) << script;
    const std::string command = std::string("\"") + KLTOOL_PATH + "\" simulate \"" +
                                (folder.empty() ? (m_root / "keys").string() : folder) + "\" \"" +
                                (m_root / "script.txt").string() + "\" >\"" +
                                (m_root / "out.txt").string() + "\" 2>\"" +
                                (m_root / "err.txt").string() + "\"";
    ToolRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadLines(m_root / "out.txt");
    run.err = ReadLines(m_root / "err.txt");
    return run;
  }

  stdfs::path m_root;
};

TEST_F(KltoolSimulate, PrintsWhatTheMapperSends) {
  for (const test::SimulateCase& c : test::SimulateCases()) {
    SCOPED_TRACE(c.name);
    const ToolRun run = Simulate(c.script);
    ASSERT_EQ(run.status, 0) << (run.err.empty() ? "" : run.err[0]);
    EXPECT_TRUE(run.err.empty());
    std::vector<std::string> lines;
    for (const std::string& line : run.out) {
      if (line.rfind("# ", 0) != 0) lines.push_back(line);
    }
    EXPECT_EQ(lines, c.lines);
  }
}

TEST_F(KltoolSimulate, ScriptFromStandardInputAndComments) {
  std::ofstream(m_root / "script.txt", std::ios::binary)
      << "# a comment line\r\n"
         "joystick 1 oem=\"Brontal GamePad\"   # the second maker's pad\r\n"
         "process \"C:\\Program Files\\Doom\\DOOM.EXE\"\r\n"
         "monitor\r\n"
         "state 1 x=32668 y=0x7F9C buttons=0x0001\r\n"
         "poll\r\n";
  const std::string command =
      std::string("\"") + KLTOOL_PATH + "\" simulate \"" + (m_root / "keys").string() + "\" <\"" +
      (m_root / "script.txt").string() + "\" >\"" + (m_root / "out.txt").string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::vector<std::string> lines;
  for (const std::string& line : ReadLines(m_root / "out.txt")) {
    if (line.rfind("# ", 0) != 0) lines.push_back(line);
  }
  // 0x7F9C is the centre: the Up key of the zero reading before is let go.
  EXPECT_EQ(lines,
            (std::vector<std::string>{"key down vk=0x11 scan=0x1d", "key down vk=0x43 scan=0x2e",
                                      "key up vk=0x26 scan=0x48"}));
}

TEST_F(KltoolSimulate, MistakesAreUserErrors) {
  for (const std::string& script : test::SimulateMistakes()) {
    SCOPED_TRACE(script);
    const ToolRun run = Simulate(script);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.size(), 1u);
  }
  const ToolRun missing = Simulate("poll\n", (m_root / "no such folder").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err.size(), 1u);
}

TEST_F(KltoolSimulate, AFolderWithoutFilesPlaysNothing) {
  stdfs::create_directories(m_root / "empty");
  const ToolRun run = Simulate(
      "joystick 0 oem=\"Vornatek GamePad\"\nprocess DOOM.EXE\ntouch\nmonitor 3\nstate 0 "
      "buttons=1\npoll 2\n",
      (m_root / "empty").string());
  EXPECT_EQ(run.status, 0);
  for (const std::string& line : run.out) EXPECT_EQ(line.rfind("# ", 0), 0u) << line;
}

}  // namespace
}  // namespace kl
