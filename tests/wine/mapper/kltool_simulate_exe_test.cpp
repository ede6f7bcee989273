// kltool.exe simulate under Wine runs the same scripts as the native kltool
// and must print the same lines, with Unix line ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profile/folder_fixture.h"
#include "simulate_scenario.h"

namespace kl {
namespace {

using winetest::RunHelper;
using winetest::ScratchFolder;

std::vector<std::string> Lines(const std::string& output, bool withNotes) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < output.size()) {
    size_t end = output.find('\n', at);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(at, end - at);
    at = end + 1;
    if (withNotes || line.rfind("# ", 0) != 0) lines.push_back(line);
  }
  return lines;
}

TEST(KltoolSimulateExe, PrintsWhatTheNativeBuildPrints) {
  ScratchFolder folder;
  for (const test::FolderFile& f : test::SimulateFolder()) {
    winetest::WriteBytes(folder / f.name, f.bytes);
  }
  for (const test::SimulateCase& c : test::SimulateCases()) {
    SCOPED_TRACE(c.name);
    winetest::WriteBytes(folder / "script.txt", c.script);
    const winetest::RunResult run =
        RunHelper("kltool.exe", {"simulate", folder.Path(), folder / "script.txt"});
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output.find('\r'), std::string::npos);
    EXPECT_EQ(Lines(run.output, false), c.lines);
  }
}

TEST(KltoolSimulateExe, MistakesAreUserErrors) {
  ScratchFolder folder;
  for (const std::string& script : test::SimulateMistakes()) {
    SCOPED_TRACE(script);
    winetest::WriteBytes(folder / "script.txt", script);
    const winetest::RunResult run =
        RunHelper("kltool.exe", {"simulate", folder.Path(), folder / "script.txt"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(Lines(run.output, true).size(), 1u) << run.output;
  }
}

}  // namespace
}  // namespace kl
