// kltool.exe under Wine runs the same session of file commands as the native
// kltool and must leave the same bytes; its output has Unix line ends too.
#include <gtest/gtest.h>

#include <algorithm>

#include "folder_fixture.h"
#include "kltool_scenario.h"

namespace kl {
namespace {

using namespace std::string_literals;

using winetest::ReadWholeFile;
using winetest::RunHelper;
using winetest::ScratchFolder;

TEST(KltoolExe, ChangesFilesAsTheNativeBuildDoes) {
  ScratchFolder folder;
  winetest::WriteBytes(folder / "t.json", test::kScenarioTables);
  for (const auto& step :
       test::KltoolScenario(folder.Path(), folder / "t.json", "C:\\Games\\Id\\doom.exe")) {
    const std::string label = step.words[0] + " " + step.words[1] + " " + step.words[3];
    const winetest::RunResult run = RunHelper("kltool.exe", step.words);
    ASSERT_TRUE(run.finished) << label;
    ASSERT_EQ(run.exitCode, 0u) << label << ": " << run.output;
    EXPECT_EQ(run.output, "") << label;
    if (step.keyFile.empty()) {
      EXPECT_FALSE(winetest::IsFile(folder / "DOOM.key")) << label;
    } else {
      EXPECT_EQ(ReadWholeFile(folder / "DOOM.key"), step.keyFile) << label;
    }
    EXPECT_EQ(ReadWholeFile(folder / "GameList.lst"), step.gameList) << label;
  }
  EXPECT_FALSE(winetest::IsFile(folder / "ZORK.key"));
  EXPECT_FALSE(winetest::IsFile(folder / "kbMap.TMP"));
}

TEST(KltoolExe, ShowsWithUnixLineEnds) {
  ScratchFolder folder;
  winetest::WriteBytes(folder / "GameList.lst",
                       "[GAMELIST]\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1 \x01GAME1 \0two\r\n"s);
  winetest::RunResult run = RunHelper("kltool.exe", {"gamelist", "show", folder.Path(), "--json"});
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(run.output,
            R"({"games":[{"name":"DOOM.EXE","profiles":[{"name":"GAME1","active":true},)"
            R"({"name":"two","active":false}]}]})"
            "\n");
  run = RunHelper("kltool.exe", {"gamelist", "show", folder.Path()});
  EXPECT_EQ(run.output, "DOOM.EXE\n  GAME1 (active)\n  two\n");
  run = RunHelper("kltool.exe", {"game", "add", folder.Path(), "doom.exe"});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
  EXPECT_EQ(run.output.find('\r'), std::string::npos) << "the error line ends as natively";
}

}  // namespace
}  // namespace kl
