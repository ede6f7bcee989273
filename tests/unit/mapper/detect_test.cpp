// The runtime mapper's timer logic against a simulated world: pads, the
// process list, the DOS-box driver, the desktop and the key-file folder.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "mapper/detect.h"
#include "platform/sim/memory_filesystem.h"
#include "platform/sim/recording_input.h"
#include "platform/sim/recording_timers.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_dosbox.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_pads.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_registry.h"
#include "tests/unit/mapper/key_file_bytes.h"

namespace kl {
namespace {

using test::Block;
using test::Header;
using test::Record;
using test::Stored;
using test::Unassigned;
using Lines = std::vector<std::string>;

constexpr char kFolder[] = "/keys";
constexpr char kGameListPath[] = "/keys/GameList.lst";
constexpr uint32_t kCentre = 32668;

const std::string kDownA = "key down vk=0x41 scan=0x1e";
const std::string kUpA = "key up vk=0x41 scan=0x1e";
const std::string kDownB = "key down vk=0x42 scan=0x30";
const std::string kUpB = "key up vk=0x42 scan=0x30";
const std::string kDownC = "key down vk=0x43 scan=0x2e";

struct ListedGame {
  std::string name;
  std::vector<std::pair<std::string, bool>> profiles;  // name, active
};

// "GameList.lst" as the editor writes it, line ends stored as 0x0D 0x0A.
std::string GameListBytes(const std::vector<ListedGame>& games) {
  std::string out = "[GAMELIST]\r\n";
  for (const ListedGame& g : games) out += g.name + "\r\n";
  out += "\r\n[PROFILE]\r\n";
  for (size_t i = 0; i < games.size(); ++i) {
    out += std::to_string(i + 1);
    for (const auto& [name, active] : games[i].profiles) {
      out += ' ';
      out += static_cast<char>(active ? 1 : 0);
      out += name;
    }
    out += "\r\n";
  }
  return out;
}

// A one-pad profile whose first button plays `vk`.
std::string KeyFileWith(const std::vector<std::pair<std::string, uint8_t>> profiles) {
  std::string out = Header();
  for (const auto& [name, vk] : profiles) {
    out += Record(name, {Unassigned(16, {{4, {0x00, {{0, vk}}}}})});
  }
  return Stored(out);
}

struct MapperWorld {
  MapperWorld() {
    AddPad(0);
    fs.Put("/keys/DOOM.key", KeyFileWith({{"game1", 0x41}}));
    fs.Put("/keys/ZORK.key", KeyFileWith({{"game1", 0x42}}));
    fs.Put("/keys/QUAKE.key", KeyFileWith({{"game1", 0x43}}));
    fs.Put(kGameListPath, GameListBytes({{"DOOM.EXE", {{"game1", true}}},
                                         {"QUAKE.EXE", {{"game1", true}}},
                                         {"ZORK.EXE", {{"game1", true}}}}));
  }

  void AddPad(uint32_t id, uint32_t buttons = 12) {
    DeclarePad(joystick, registry, id,
               {"pad" + std::to_string(id), "VornatekPad", "Vornatek GamePad", buttons});
  }

  void Buttons(uint32_t mask, uint32_t id = 0) {
    JoyInfo& state = joystick.Find(id)->state;
    state.dwButtons = mask;
  }

  Lines Take() {
    Lines lines;
    std::istringstream in(input.Transcript());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    input.Clear();
    return lines;
  }

  // What one tick of each kind sends, as the frame would deliver them.
  Lines Monitor() {
    mapper.OnTimer(kMonitorTimer);
    return Take();
  }
  Lines Poll() {
    mapper.OnTimer(kPollTimer);
    return Take();
  }

  SimJoystick joystick;
  SimRegistry registry;
  RecordingInput input;
  SimProcesses processes;
  SimDosBox dosBox;
  MemoryFileSystem fs;
  RecordingTimers timers;
  SimDesktop desktop;
  RuntimeMapper mapper{
      MapperSeams{joystick, registry, input, processes, dosBox, fs, timers, desktop}, kFolder};
};

class DetectTest : public ::testing::Test, public MapperWorld {};

TEST_F(DetectTest, StartReadsPadsAndListAndStartsTheMonitorTimerButLoadsNothing) {
  mapper.Start();
  EXPECT_EQ(timers.Calls(), (std::vector<std::string>{"timer start 2 1500"}));
  EXPECT_EQ(mapper.PadCount(), 1);
  EXPECT_EQ(mapper.Pads().Slots()[0].buttonCount, 12u);
  EXPECT_EQ(mapper.Games().Games().size(), 3u);
  EXPECT_FALSE(mapper.IsActive());
  EXPECT_EQ(fs.OpenCount("/keys/DOOM.key"), 0u);
  processes.Start("DOOM.EXE");
  Buttons(1);
  EXPECT_EQ(Poll(), Lines{});
}

TEST_F(DetectTest, GameStartsIsPlayedAndStopsWhenItExits) {
  mapper.Start();
  EXPECT_EQ(Monitor(), Lines{});
  processes.Start("explorer.exe");
  processes.Start("C:\\Games\\Doom\\doom.exe");
  EXPECT_EQ(Monitor(), Lines{});
  EXPECT_TRUE(mapper.IsActive());
  EXPECT_EQ(mapper.CurrentGame(), "DOOM.EXE");
  EXPECT_EQ(mapper.PadsInPlay(), 1);

  EXPECT_EQ(Poll(), Lines{});
  Buttons(1);
  EXPECT_EQ(Poll(), Lines{kDownA});
  EXPECT_EQ(Poll(), Lines{});

  // The game ends with the button still held: its key must not stay down.
  processes.Kill("C:\\Games\\Doom\\doom.exe");
  EXPECT_EQ(Monitor(), Lines{kUpA});
  EXPECT_FALSE(mapper.IsActive());
  Buttons(0);
  EXPECT_EQ(Poll(), Lines{});
}

struct DetectionCase {
  const char* name;
  std::vector<std::string> processes;
  std::string dosProgram;  // empty: no DOS box; "-": a DOS box whose driver is absent
  bool active;
  std::string game;
  Lines sent;
};

TEST(DetectionCases, PicksTheGameToPlay) {
  const Lines wait = {"sleep 500"};
  const std::vector<DetectionCase> cases = {
      {"nothing registered runs", {"EXPLORER.EXE", "NOTEPAD.EXE"}, "", false, "", {}},
      {"a name without folder", {"zork.exe"}, "", true, "ZORK.EXE", {}},
      {"lower-case path", {"c:\\games\\quake\\quake.exe"}, "", true, "QUAKE.EXE", {}},
      {"only backslashes separate folders", {"c:/games/quake.exe"}, "", false, "", {}},
      {"two games: the first in the list wins",
       {"ZORK.EXE", "QUAKE.EXE"},
       "",
       true,
       "QUAKE.EXE",
       {}},
      {"a DOS program", {}, "C:\\DOS\\GAMES\\ZORK.EXE", true, "ZORK.EXE", wait},
      {"a DOS program named without folder", {}, "ZORK.EXE", true, "ZORK.EXE", wait},
      {"a Windows game wins over the DOS program",
       {"ZORK.EXE"},
       "C:\\DOS\\DOOM.EXE",
       true,
       "ZORK.EXE",
       wait},
      {"the driver's name must match in case", {}, "c:\\dos\\zork.exe", false, "", wait},
      {"no driver", {}, "-", false, "", wait},
      {"a DOS program that is not registered", {}, "C:\\DOS\\EDIT.COM", false, "", wait},
  };
  for (const DetectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    MapperWorld w;
    w.mapper.Start();
    for (const std::string& p : c.processes) w.processes.Start(p);
    if (!c.dosProgram.empty()) {
      w.processes.Start("C:\\WINDOWS\\SYSTEM\\WINOA386.MOD");
      if (c.dosProgram != "-") w.dosBox.SetProgram(c.dosProgram);
    }
    EXPECT_EQ(w.Monitor(), c.sent);
    EXPECT_EQ(w.mapper.IsActive(), c.active);
    if (c.active) {
      EXPECT_EQ(w.mapper.CurrentGame(), c.game);
    }
    EXPECT_EQ(w.dosBox.openHandles, 0);
    EXPECT_EQ(w.dosBox.debugLines.size(), c.dosProgram.empty() ? 0u : 1u);
  }
}

TEST_F(DetectTest, DetectsOnlyWhenTheProcessCountChanges) {
  mapper.Start();
  Monitor();
  const size_t opens = fs.OpenCount(kGameListPath);
  EXPECT_EQ(Monitor(), Lines{});
  EXPECT_EQ(fs.OpenCount(kGameListPath), opens);

  // One process ends as the game starts: the count is the same, nothing seen.
  processes.Start("NOTEPAD.EXE");
  Monitor();
  processes.Kill("NOTEPAD.EXE");
  processes.Start("DOOM.EXE");
  Monitor();
  EXPECT_FALSE(mapper.IsActive());
  processes.Start("CALC.EXE");
  Monitor();
  EXPECT_TRUE(mapper.IsActive());
}

TEST_F(DetectTest, FirstTickDetectsEvenWithNoProcessAtAll) {
  mapper.Start();
  const size_t opens = fs.OpenCount(kGameListPath);
  Monitor();
  EXPECT_EQ(fs.OpenCount(kGameListPath), opens + 1);
}

TEST_F(DetectTest, FailedSnapshotSkipsDetectionAndKeepsTheState) {
  processes.Start("DOOM.EXE");
  processes.SetFailing(true);
  mapper.Start();
  Monitor();
  EXPECT_FALSE(mapper.IsActive());
  processes.SetFailing(false);
  Monitor();
  EXPECT_TRUE(mapper.IsActive());
  processes.SetFailing(true);
  processes.Kill("DOOM.EXE");
  Monitor();
  EXPECT_TRUE(mapper.IsActive());
}

TEST_F(DetectTest, EditorInFrontPausesPlayAndReleasesHeldKeys) {
  processes.Start("DOOM.EXE");
  mapper.Start();
  Monitor();
  Poll();
  Buttons(1);
  EXPECT_EQ(Poll(), Lines{kDownA});

  const WindowHandle editor = desktop.Open("KeyLoom");
  mapper.SetEditorWindow(editor);
  desktop.BringToFront(editor);
  timers.ClearCalls();
  EXPECT_EQ(Monitor(), Lines{kUpA});
  EXPECT_EQ(timers.Calls(), std::vector<std::string>{"timer stop 1"});
  EXPECT_FALSE(mapper.IsPolling());
  Buttons(0);
  EXPECT_EQ(Poll(), Lines{});
  EXPECT_EQ(Monitor(), Lines{});

  desktop.BringToFront(desktop.Open("Doom"));
  timers.ClearCalls();
  Monitor();
  EXPECT_EQ(timers.Calls(), std::vector<std::string>{"timer start 1 40"});
  // Play goes on from the last reading taken before the pause.
  Buttons(1);
  EXPECT_EQ(Poll(), Lines{});
  Buttons(0);
  EXPECT_EQ(Poll(), Lines{kUpA});
  Buttons(1);
  EXPECT_EQ(Poll(), Lines{kDownA});
}

TEST_F(DetectTest, FindsAnEditorTheUserStartedAndOneStartedAgain) {
  processes.Start("DOOM.EXE");
  mapper.Start();
  desktop.BringToFront(desktop.Open("Notepad"));
  Monitor();
  EXPECT_TRUE(mapper.IsPolling());

  WindowHandle editor = desktop.Open("KeyLoom");
  desktop.BringToFront(editor);
  Monitor();
  EXPECT_FALSE(mapper.IsPolling());

  desktop.Close(editor);
  Monitor();
  EXPECT_TRUE(mapper.IsPolling());
  editor = desktop.Open("KeyLoom");
  desktop.BringToFront(editor);
  Monitor();
  EXPECT_FALSE(mapper.IsPolling());
  EXPECT_EQ(mapper.EditorWindow(), editor);
}

TEST_F(DetectTest, ActivateProgramStartsTheEditorOnlyWhileAPadIsKnown) {
  mapper.Start();
  EXPECT_EQ(mapper.ActivateProgram(), Activation::kStartEditor);

  // The pad goes; until a monitor tick recounts, the mapper still knows it.
  joystick.Unplug(0);
  EXPECT_EQ(mapper.ActivateProgram(), Activation::kStartEditor);
  Monitor();
  EXPECT_EQ(mapper.PadCount(), 0);
  EXPECT_EQ(mapper.ActivateProgram(), Activation::kNoPad);

  AddPad(2);
  Monitor();
  EXPECT_EQ(mapper.ActivateProgram(), Activation::kStartEditor);
}

TEST_F(DetectTest, NoPadAtStartMeansNoEditor) {
  joystick.Unplug(0);
  mapper.Start();
  EXPECT_EQ(mapper.ActivateProgram(), Activation::kNoPad);
}

TEST_F(DetectTest, EditorStartedFindsItsWindowByTitle) {
  mapper.Start();
  desktop.Open("Notepad");
  const WindowHandle editor = desktop.Open("KeyLoom");
  mapper.EditorStarted();
  EXPECT_EQ(mapper.EditorWindow(), editor);
}

TEST_F(DetectTest, EditorStartedWithoutItsWindowKnowsNoEditor) {
  mapper.Start();
  desktop.Open("Notepad");
  mapper.EditorStarted();
  EXPECT_EQ(mapper.EditorWindow(), kNoWindow);
}

TEST_F(DetectTest, NoWindowInFrontIsNotTheEditor) {
  processes.Start("DOOM.EXE");
  mapper.Start();
  desktop.BringToFront(kNoWindow);
  Monitor();
  EXPECT_TRUE(mapper.IsPolling());
}

TEST_F(DetectTest, SavedGameListReloadsTheProfileThatIsNowActive) {
  fs.Put("/keys/DOOM.key", KeyFileWith({{"game1", 0x41}, {"game2", 0x42}}));
  processes.Start("DOOM.EXE");
  mapper.Start();
  Monitor();
  Poll();
  Buttons(1);
  EXPECT_EQ(Poll(), Lines{kDownA});

  fs.Put(kGameListPath, GameListBytes({{"DOOM.EXE", {{"game1", false}, {"game2", true}}}}), 7);
  EXPECT_EQ(Monitor(), Lines{kUpA});
  EXPECT_TRUE(mapper.IsActive());
  // The release plays the list loaded now.
  Buttons(0);
  EXPECT_EQ(Poll(), Lines{kUpB});
  Buttons(1);
  EXPECT_EQ(Poll(), Lines{kDownB});

  // Same time again, or the file gone: nothing is read.
  const size_t opens = fs.OpenCount("/keys/DOOM.key");
  Monitor();
  fs.Drop(kGameListPath);
  Monitor();
  EXPECT_EQ(fs.OpenCount("/keys/DOOM.key"), opens);
}

TEST_F(DetectTest, GameListWrittenForTheFirstTimeIsPickedUp) {
  fs.Drop(kGameListPath);
  processes.Start("ZORK.EXE");
  mapper.Start();
  Monitor();
  EXPECT_FALSE(mapper.IsActive());
  fs.Put(kGameListPath, GameListBytes({{"ZORK.EXE", {{"game1", true}}}}));
  Monitor();
  processes.Start("CALC.EXE");
  Monitor();
  EXPECT_TRUE(mapper.IsActive());
  Poll();
  Buttons(1);
  EXPECT_EQ(Poll(), Lines{kDownB});
}

TEST_F(DetectTest, PadsArrivingAndLeavingChangeThePadsInPlay) {
  fs.Put("/keys/DOOM.key",
         Stored(Header() + Record("game1", {Unassigned(16, {{4, {0x00, {{0, 0x41}}}}}),
                                            Unassigned(14, {{4, {0x00, {{0, 0x43}}}}})})));
  processes.Start("DOOM.EXE");
  mapper.Start();
  Monitor();
  EXPECT_EQ(mapper.PadsInPlay(), 1);

  AddPad(3, 10);
  Monitor();
  EXPECT_EQ(mapper.PadCount(), 2);
  EXPECT_EQ(mapper.PadsInPlay(), 2);
  EXPECT_EQ(mapper.Pads().Slots()[1].joystickId, 3u);
  EXPECT_EQ(mapper.Pads().Slots()[1].buttonCount, 10u);
  Poll();
  Buttons(1, 3);
  EXPECT_EQ(Poll(), Lines{kDownC});

  // Unplugged with its button held: the key is let go.
  joystick.Unplug(3);
  EXPECT_EQ(Monitor(), Lines{"key up vk=0x43 scan=0x2e"});
  EXPECT_EQ(mapper.PadsInPlay(), 1);
}

TEST_F(DetectTest, PadsInPlayNeverExceedTheProfilesBlocks) {
  AddPad(1);
  AddPad(2);
  processes.Start("DOOM.EXE");
  mapper.Start();
  Monitor();
  EXPECT_EQ(mapper.PadCount(), 3);
  EXPECT_EQ(mapper.PadsInPlay(), 1);
}

// The 40 ms timer runs only while a game plays: an idle mapper wakes once a
// monitor period.
TEST_F(DetectTest, PollTimerRunsOnlyWhileAGameIsActive) {
  mapper.Start();
  Monitor();
  EXPECT_FALSE(mapper.IsPolling());
  processes.Start("DOOM.EXE");
  timers.ClearCalls();
  Monitor();
  EXPECT_EQ(timers.Calls(), std::vector<std::string>{"timer start 1 40"});
  Buttons(1);
  EXPECT_EQ(Poll(), Lines{kDownA});

  processes.Kill("DOOM.EXE");
  timers.ClearCalls();
  EXPECT_EQ(Monitor(), Lines{kUpA});
  EXPECT_EQ(timers.Calls(), std::vector<std::string>{"timer stop 1"});
  EXPECT_FALSE(mapper.IsActive());
  EXPECT_EQ(Poll(), Lines{});

  // Still paused when the game starts behind the editor.
  const WindowHandle editor = desktop.Open("KeyLoom");
  mapper.SetEditorWindow(editor);
  desktop.BringToFront(editor);
  processes.Start("DOOM.EXE");
  timers.ClearCalls();
  Monitor();
  EXPECT_TRUE(mapper.IsActive());
  EXPECT_EQ(timers.Calls(), std::vector<std::string>{});
  desktop.BringToFront(desktop.Open("Doom"));
  Monitor();
  EXPECT_EQ(timers.Calls(), std::vector<std::string>{"timer start 1 40"});
}

TEST_F(DetectTest, ShutdownReleasesHeldInputAndStopsBothTimers) {
  processes.Start("DOOM.EXE");
  mapper.Start();
  Monitor();
  Poll();
  Buttons(1);
  Poll();
  timers.ClearCalls();
  mapper.Shutdown();
  EXPECT_EQ(Take(), Lines{kUpA});
  EXPECT_EQ(timers.Calls(), (std::vector<std::string>{"timer stop 1", "timer stop 2"}));
  EXPECT_EQ(Poll(), Lines{});
  EXPECT_EQ(Monitor(), Lines{});
}

TEST_F(DetectTest, TicksOfStoppedOrForeignTimersDoNothing) {
  processes.Start("DOOM.EXE");
  Buttons(1);
  mapper.OnTimer(kMonitorTimer);
  EXPECT_FALSE(mapper.IsActive());
  mapper.Start();
  Monitor();
  timers.SetFailing(true);
  const WindowHandle editor = desktop.Open("KeyLoom");
  desktop.BringToFront(editor);
  Monitor();
  desktop.Close(editor);
  Monitor();  // the restart fails: still stopped
  EXPECT_FALSE(mapper.IsPolling());
  EXPECT_EQ(Poll(), Lines{});
  mapper.OnTimer(7);
  EXPECT_EQ(Take(), Lines{});
  timers.SetFailing(false);
  Monitor();
  EXPECT_EQ(Poll(), Lines{kDownA});
}

}  // namespace
}  // namespace kl
