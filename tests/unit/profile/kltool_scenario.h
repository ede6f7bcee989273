// One session of kltool's file commands with the bytes each step leaves in
// the key-file folder, built from the documented layouts. The native test
// runs it with kltool, the Windows test with kltool.exe under Wine, so both
// builds are held to the same bytes.
#pragma once

#include <string>
#include <vector>

#include "key_bytes.h"

namespace kl::test {

// TABLES.json for one pad, and the same pad as the layout builder has it.
inline const char kScenarioTables[] =
    R"({"pads":[{"entries":[{"mode":0,"keys":[[0,38]]},{"mode":0,"keys":[[0,40]]},)"
    R"({"mode":0,"keys":[[0,37]]},{"mode":0,"keys":[[0,39]]},{"mode":1,"keys":[[8,67]]},)"
    R"({"mode":2,"keys":[[0,65],[0,255],[10,66]]},{"mode":4,"keys":[[0,8]]},)"
    R"({"mode":128,"keys":[[128,4]]},{"mode":255,"keys":[]},{"mode":255,"keys":[]},)"
    R"({"mode":255,"keys":[]},{"mode":255},{"mode":0,"keys":[[0,13]]},{"mode":0,"keys":[[0,27]]}]}]})";

inline TestPad ScenarioPad() {
  TestPad pad = DefaultPad(14);
  pad[4] = {1, {{8, 67}}};
  pad[5] = {2, {{0, 65}, {0, 255}, {10, 66}}};
  pad[6] = {4, {{0, 8}}};
  pad[7] = {128, {{128, 4}}};
  return pad;
}

inline Bytes ScenarioRecord(const std::string& name) {
  return Stored(RecordBytes(name, {ScenarioPad()}));
}

struct ScenarioStep {
  std::vector<std::string> words;  // kltool's arguments
  Bytes keyFile;                   // DOOM.key afterwards; empty: no file
  Bytes gameList;                  // GameList.lst afterwards
};

// `folder` holds the files, `tables` is the path of kScenarioTables, `program`
// a path to a game as a user would type it.
inline std::vector<ScenarioStep> KltoolScenario(const std::string& folder,
                                                const std::string& tables,
                                                const std::string& program) {
  using namespace std::string_literals;
  const Bytes header = HeaderBytes();
  return {
      {{"game", "add", folder, program}, "", "[GAMELIST]\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1\r\n"},
      {{"profile", "save", folder, "doom.exe", "Game 1", tables},
       header + ScenarioRecord("Game 1"),
       "[GAMELIST]\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1 \x01Game 1\r\n"s},
      {{"profile", "save", folder, "DOOM.EXE", "B", tables},
       header + ScenarioRecord("Game 1") + ScenarioRecord("B"),
       "[GAMELIST]\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1 \0Game 1 \x01"
       "B\r\n"s},
      {{"profile", "save", folder, "DOOM.EXE", "Game 1", tables},
       header + ScenarioRecord("B") + ScenarioRecord("Game 1"),
       "[GAMELIST]\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1 \0B \x01Game 1\r\n"s},
      {{"profile", "activate", folder, "DOOM.EXE", "B"},
       header + ScenarioRecord("B") + ScenarioRecord("Game 1"),
       "[GAMELIST]\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1 \x01"
       "B \0Game 1\r\n"s},
      {{"profile", "save", folder, "ZORK.EXE", "Z", tables},
       header + ScenarioRecord("B") + ScenarioRecord("Game 1"),
       "[GAMELIST]\r\nDOOM.EXE\r\nZORK.EXE\r\n\r\n[PROFILE]\r\n1 \x01"
       "B \0Game 1\r\n2 \x01Z\r\n"s},
      {{"profile", "delete", folder, "DOOM.EXE", "B"},
       header + ScenarioRecord("Game 1"),
       "[GAMELIST]\r\nDOOM.EXE\r\nZORK.EXE\r\n\r\n[PROFILE]\r\n1 \0Game 1\r\n2 \x01Z\r\n"s},
      {{"profile", "delete", folder, "DOOM.EXE", "Game 1"},
       "",
       "[GAMELIST]\r\nDOOM.EXE\r\nZORK.EXE\r\n\r\n[PROFILE]\r\n1\r\n2 \x01Z\r\n"s},
      {{"game", "remove", folder, "zork.exe"},
       "",
       "[GAMELIST]\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1\r\n"},
  };
}

}  // namespace kl::test
