// The runtime mapper's costs: one poll tick, one monitor tick that detects,
// and loading a profile into the play table. Each runs against simulated
// seams that do no work of their own, and each has a baseline of the work no
// mapper can avoid (reading the pads, taking the process snapshot, reading
// the key file's bytes).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_support.h"
#include "mapper/detect.h"
#include "platform/sim/recording_timers.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_dosbox.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_pads.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_registry.h"
#include "tests/unit/mapper/key_file_bytes.h"

namespace kl::bench {
namespace {

using test::Block;
using test::Entry;
using test::Header;
using test::Record;
using test::Stored;

constexpr char kFolder[] = "/keys";
constexpr char kGameListPath[] = "/keys/GameList.lst";
constexpr double kPollSeconds = kPollPeriod / 1000.0;
constexpr double kMonitorSeconds = kMonitorPeriod / 1000.0;

// Every input of a 12-button pad in key mode; every third with Ctrl.
Block TwelveButtonKeys() {
  Block block;
  for (uint8_t input = 0; input < 16; ++input) {
    const uint8_t flags = input % 3 == 0 ? 0x04 : 0x00;
    block.push_back(Entry{0x00, {{flags, static_cast<uint8_t>('A' + input)}}});
  }
  return block;
}

std::string GameListBytes(const std::vector<std::string>& games) {
  std::string out = "[GAMELIST]\r\n";
  for (const std::string& g : games) out += g + "\r\n";
  out += "\r\n[PROFILE]\r\n";
  for (size_t i = 0; i < games.size(); ++i) out += std::to_string(i + 1) + " \x01game1\r\n";
  return out;
}

// A simulated machine with `pads` of the maker's 12-button pads plugged in,
// as the mapper's tests build it.
struct World {
  explicit World(uint32_t pads) {
    for (uint32_t id = 0; id < pads; ++id) AddPad(id);
  }

  void AddPad(uint32_t id) {
    DeclarePad(joystick, registry, id,
               {"pad" + std::to_string(id), "VornatekPad", "Vornatek GamePad"});
  }

  SimJoystick joystick;
  SimRegistry registry;
  NullInput input;
  SimProcesses processes;
  SimDosBox dosBox;
  MemoryFileSystem fs;
  RecordingTimers timers;
  SimDesktop desktop;
  RuntimeMapper mapper{
      MapperSeams{joystick, registry, input, processes, dosBox, fs, timers, desktop}, kFolder};
};

// A world in play: four pads, GAME.EXE running with a profile for all four.
struct PlayWorld : World {
  PlayWorld() : World(4) {
    const Block pad = TwelveButtonKeys();
    fs.Put("/keys/GAME.key", Stored(Header() + Record("game1", {pad, pad, pad, pad})));
    fs.Put(kGameListPath, GameListBytes({"GAME.EXE"}));
    processes.Start("C:\\GAMES\\GAME.EXE");
    mapper.Start();
    mapper.MonitorTick();
    for (uint32_t id = 0; id < 4; ++id) devices[id] = joystick.Find(id);
  }

  // Every input changes: all twelve buttons and both axes swing from one
  // end to the other.
  void Swing(bool pressed) {
    for (SimJoystick::Device* device : devices) {
      device->state.dwButtons = pressed ? 0xFFFu : 0u;
      device->state.dwXpos = pressed ? 0u : 65535u;
      device->state.dwYpos = pressed ? 0u : 65535u;
    }
  }

  std::array<SimJoystick::Device*, 4> devices{};
};

void BM_PollTick(benchmark::State& state) {
  PlayWorld world;
  if (!Require(state, world.mapper.IsActive() && world.mapper.PadsInPlay() == 4,
               "the game was not found with four pads in play")) {
    return;
  }
  // Once, outside the timed loop: a swing sends every input's keys.
  world.Swing(true);
  world.mapper.PollTick();
  world.input.Clear();
  world.Swing(false);
  world.mapper.PollTick();
  // Per pad: the ups of the 12 buttons (16 steps: four of them hold Ctrl
  // too), Left and Up let go (1 and 2 steps), Right and Down pressed (2
  // and 1): 22 key events.
  if (!Require(state, world.input.Keys() == 4 * 22, "a swing did not send every input's keys")) {
    return;
  }
  const double keysPerTick = static_cast<double>(world.input.Keys());
  world.input.Clear();

  bool pressed = true;
  for (auto _ : state) {
    world.Swing(pressed);
    world.mapper.PollTick();
    pressed = !pressed;
  }
  ReportPeriodShare(state, "pct_of_40ms", kPollSeconds);
  state.counters["key_events"] = benchmark::Counter(static_cast<double>(world.input.Keys()),
                                                    benchmark::Counter::kAvgIterations);
  state.counters["key_events_first_swing"] = keysPerTick;
}
BENCHMARK(BM_PollTick)->Unit(benchmark::kMicrosecond);

// Baseline: the four pad reads a poll makes, with the same swings.
void BM_PollTick_Baseline_PadReads(benchmark::State& state) {
  PlayWorld world;
  PadAccess pads(world.joystick, world.registry);
  JoyInfo info;
  bool pressed = true;
  for (auto _ : state) {
    world.Swing(pressed);
    for (uint32_t id = 0; id < 4; ++id) benchmark::DoNotOptimize(pads.ReadPad(id, info));
    pressed = !pressed;
  }
  ReportPeriodShare(state, "pct_of_40ms", kPollSeconds);
}
BENCHMARK(BM_PollTick_Baseline_PadReads)->Unit(benchmark::kMicrosecond);

// 300 processes, 100 registered games; the one running is the last in the
// list, so detection looks at every game before it finds it.
struct DetectWorld : World {
  DetectWorld() : World(1) {
    const Block pad = TwelveButtonKeys();
    std::vector<std::string> games;
    for (int i = 0; i < 100; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "GAME%03d.EXE", i);
      games.push_back(name);
      fs.Put(std::string(kFolder) + "/" + KeyName(i), Stored(Header() + Record("game1", {pad})));
    }
    fs.Put(kGameListPath, GameListBytes(games));
    for (int i = 0; i < 299; ++i) {
      processes.Start("C:\\WINDOWS\\SYSTEM32\\service" + std::to_string(i) + ".exe");
      // Halfway through the list: neither the first nor the last process.
      if (i == 150) processes.Start("D:\\Games\\Game099\\game099.exe");
    }
    mapper.Start();
  }

  static std::string KeyName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "GAME%03d.key", i);
    return name;
  }

  // Another process starts or ends, so the next tick detects again.
  void ChangeCount() {
    if (m_extra) {
      processes.Kill("NOTEPAD.EXE");
    } else {
      processes.Start("NOTEPAD.EXE");
    }
    m_extra = !m_extra;
  }

 private:
  bool m_extra = false;
};

void BM_MonitorTick_Detect(benchmark::State& state) {
  DetectWorld world;
  world.mapper.MonitorTick();
  if (!Require(state, world.processes.Names().size() == 300, "not 300 processes") ||
      !Require(state, world.mapper.Games().Games().size() == 100, "not 100 games listed") ||
      !Require(state, world.mapper.IsActive() && world.mapper.CurrentGame() == "GAME099.EXE",
               "detection did not pick GAME099.EXE") ||
      !Require(state, world.mapper.Table().lists[0][4] != nullptr, "its profile was not loaded")) {
    return;
  }
  const size_t snapshotsBefore = world.processes.SnapshotCount();
  for (auto _ : state) {
    world.ChangeCount();
    world.mapper.MonitorTick();
  }
  if (!Require(state, world.mapper.CurrentGame() == "GAME099.EXE", "detection lost the game")) {
    return;
  }
  ReportPeriodShare(state, "pct_of_1500ms", kMonitorSeconds);
  state.counters["snapshots"] =
      benchmark::Counter(static_cast<double>(world.processes.SnapshotCount() - snapshotsBefore),
                         benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MonitorTick_Detect)->Unit(benchmark::kMicrosecond);

// Baseline: one process snapshot of the same 300 names.
void BM_MonitorTick_Baseline_Snapshot(benchmark::State& state) {
  DetectWorld world;
  std::vector<std::string> names;
  for (auto _ : state) {
    world.ChangeCount();
    names.clear();
    benchmark::DoNotOptimize(world.processes.Snapshot(names));
  }
  ReportPeriodShare(state, "pct_of_1500ms", kMonitorSeconds);
}
BENCHMARK(BM_MonitorTick_Baseline_Snapshot)->Unit(benchmark::kMicrosecond);

// A monitor tick while the number of processes stays the same: what the
// mapper costs every 1.5 s when nothing starts or ends.
void BM_MonitorTick_Unchanged(benchmark::State& state) {
  DetectWorld world;
  world.mapper.MonitorTick();
  if (!Require(state, world.mapper.CurrentGame() == "GAME099.EXE", "detection failed")) return;
  for (auto _ : state) world.mapper.MonitorTick();
  ReportPeriodShare(state, "pct_of_1500ms", kMonitorSeconds);
}
BENCHMARK(BM_MonitorTick_Unchanged)->Unit(benchmark::kMicrosecond);

// Key files for the loader: 1,000 profiles of four 12-button pads (the one
// wanted last), and one profile whose inputs refer to each other.
std::string ThousandProfiles() {
  const Block pad = TwelveButtonKeys();
  std::string out = Header();
  for (int i = 0; i < 1000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "P%04d", i);
    out += Record(name, {pad, pad, pad, pad});
  }
  return Stored(out);
}

// Input 0 holds Ctrl+A; every later input plays a key of its own, then what
// the two inputs before it play, so the lists grow as the inputs go up
// (until the cap on a list's steps).
std::string ReferenceProfile() {
  Block pad;
  pad.push_back(Entry{0x00, {{0x04, 'A'}}});
  for (uint8_t input = 1; input < 16; ++input) {
    Entry entry{0x01, {{0x00, static_cast<uint8_t>('A' + input)}, {0x80, uint8_t(input - 1)}}};
    if (input >= 2) entry.strokes.push_back({0x80, uint8_t(input - 2)});
    pad.push_back(entry);
  }
  return Stored(Header() + Record("game1", {pad, pad, pad, pad}));
}

struct LoaderWorld {
  void List(const std::string& profile) {
    fs.Put("/keys/GameList.lst",
           "[GAMELIST]\r\nGAME.EXE\r\n\r\n[PROFILE]\r\n1 \x01" + profile + "\r\n");
    games.LoadGameList(fs, "/keys/GameList.lst");
  }
  MemoryFileSystem fs;
  NullInput input;
  PlayTable table;
  GameList games;
  ProfileLoader loader{fs, input, table, "/keys/"};
};

size_t TotalSteps(const PlayTable& table) {
  size_t steps = 0;
  for (size_t slot = 0; slot < kPadSlots; ++slot) {
    for (size_t input = 0; input < kInputsPerSlot; ++input) steps += table.Length(slot, input);
  }
  return steps;
}

void BM_LoadPlayTable_LastOf1000(benchmark::State& state) {
  LoaderWorld world;
  world.fs.Put("/keys/GAME.key", ThousandProfiles());
  world.List("P0999");
  world.loader.LoadPlayTable(world.games, "GAME.EXE");
  if (!Require(state, world.table.padCount == 4 && TotalSteps(world.table) == 4 * 22,
               "the last profile was not loaded whole")) {
    return;
  }
  for (auto _ : state) world.loader.LoadPlayTable(world.games, "GAME.EXE");
  state.counters["file_bytes"] = static_cast<double>(world.fs.Bytes("/keys/GAME.key")->size());
}
BENCHMARK(BM_LoadPlayTable_LastOf1000)->Unit(benchmark::kMicrosecond);

void BM_LoadPlayTable_References(benchmark::State& state) {
  LoaderWorld world;
  world.fs.Put("/keys/GAME.key", ReferenceProfile());
  world.List("game1");
  world.loader.LoadPlayTable(world.games, "GAME.EXE");
  const size_t steps = TotalSteps(world.table);
  bool referencesLeft = false;
  for (size_t slot = 0; slot < kPadSlots; ++slot) {
    for (size_t input = 0; input < kInputsPerSlot; ++input) {
      for (const PlayStep* s = world.table.lists[slot][input]; s; s = s->next) {
        referencesLeft = referencesLeft || s->reference;
      }
    }
  }
  if (!Require(state, world.table.padCount == 4 && steps > 4 * 1000 && !referencesLeft,
               "the references were not expanded")) {
    return;
  }
  for (auto _ : state) world.loader.LoadPlayTable(world.games, "GAME.EXE");
  state.counters["steps"] = static_cast<double>(steps);
}
BENCHMARK(BM_LoadPlayTable_References)->Unit(benchmark::kMicrosecond);

// Baseline of both: reading the 1,000-profile file's bytes.
void BM_LoadPlayTable_Baseline_ReadBytes(benchmark::State& state) {
  LoaderWorld world;
  world.fs.Put("/keys/GAME.key", ThousandProfiles());
  for (auto _ : state) benchmark::DoNotOptimize(PlainRead(world.fs, "/keys/GAME.key"));
}
BENCHMARK(BM_LoadPlayTable_Baseline_ReadBytes)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kl::bench
