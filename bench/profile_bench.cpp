// The profile store's costs as the editor pays them: appending, loading and
// deleting a profile of a key file with 1,000 profiles, reading and writing
// a large game list, and the text of a full key sequence. The file
// operations are compared with a plain read or a plain copy of the same
// bytes through the same (in-memory) file system.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "profile/gamelist.h"
#include "profile/keyfile.h"
#include "profile/keytext.h"
#include "profile/profile_store.h"
#include "resources/builtin_strings.h"
#include "tests/unit/mapper/key_file_bytes.h"

namespace kl::bench {
namespace {

constexpr char kKeyPath[] = "/keys/GAME.key";
constexpr char kListPath[] = "/keys/GameList.lst";
constexpr char kTempPath[] = "/keys/kbMap.TMP";
constexpr char kGame[] = "GAME.EXE";

// Four 12-button pads, every input a key, every third with Ctrl.
test::Block PadBlock() {
  test::Block block;
  for (uint8_t input = 0; input < 16; ++input) {
    const uint8_t flags = input % 3 == 0 ? 0x04 : 0x00;
    block.push_back(test::Entry{0x00, {{flags, static_cast<uint8_t>('A' + input)}}});
  }
  return block;
}

std::string ProfileName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "P%04d", i);
  return name;
}

std::string ThousandProfiles() {
  const test::Block pad = PadBlock();
  std::string out = test::Header();
  for (int i = 0; i < 1000; ++i) out += test::Record(ProfileName(i), {pad, pad, pad, pad});
  return test::Stored(out);
}

// The editor's side: the key file, the game listing the last profile, and
// four pads' tables ready to save.
struct StoreWorld {
  StoreWorld() : original(ThousandProfiles()) {
    fs.Put(kKeyPath, original);
    games.AddGame(kGame);
    games.AddProfileToGame(kGame, "P0999", 1);
    store.SetPadCount(4);
    for (int slot = 0; slot < 4; ++slot) {
      store.SetPadButtons(slot, 12);
      store.MakeDefaultTable(slot, true, false);
    }
  }
  MemoryFileSystem fs;
  CountingPrompts prompts;
  GameList games;
  ProfileStore store{fs, prompts, games, "/keys"};
  std::string original;
};

void BM_AppendProfile(benchmark::State& state) {
  StoreWorld world;
  const size_t before = world.original.size();
  if (!Require(state,
               world.store.AppendProfile(kGame, "NEW") != kNoPosition &&
                   world.fs.Bytes(kKeyPath)->size() > before && world.prompts.Messages() == 0,
               "the profile was not appended")) {
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    world.fs.Put(kKeyPath, world.original);
    world.games.RemoveProfileFromGame(kGame, "NEW");
    state.ResumeTiming();
    benchmark::DoNotOptimize(world.store.AppendProfile(kGame, "NEW"));
  }
  Require(state, world.prompts.Messages() == 0, "an append failed");
}
BENCHMARK(BM_AppendProfile)->Unit(benchmark::kMicrosecond);

void BM_LoadProfile(benchmark::State& state) {
  StoreWorld world;
  if (!Require(state,
               world.store.LoadProfile(kGame, "P0999") == LoadResult::kLoaded &&
                   world.store.Table(3).entries.size() == 16,
               "the last profile was not loaded")) {
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(world.store.LoadProfile(kGame, "P0999"));
}
BENCHMARK(BM_LoadProfile)->Unit(benchmark::kMicrosecond);

void BM_DeleteProfile(benchmark::State& state) {
  StoreWorld world;
  if (!Require(state,
               world.store.DeleteProfile(kGame, "P0999") &&
                   world.fs.Bytes(kKeyPath)->size() < world.original.size() &&
                   world.prompts.Messages() == 0,
               "the last profile was not deleted")) {
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    world.fs.Put(kKeyPath, world.original);
    state.ResumeTiming();
    benchmark::DoNotOptimize(world.store.DeleteProfile(kGame, "P0999"));
  }
  Require(state, world.prompts.Messages() == 0, "a delete failed");
}
BENCHMARK(BM_DeleteProfile)->Unit(benchmark::kMicrosecond);

// Baselines: the 1,000-profile file read, and copied over itself, plainly.
void BM_KeyFile_Baseline_ReadBytes(benchmark::State& state) {
  StoreWorld world;
  for (auto _ : state) benchmark::DoNotOptimize(PlainRead(world.fs, kKeyPath));
}
BENCHMARK(BM_KeyFile_Baseline_ReadBytes)->Unit(benchmark::kMicrosecond);

void BM_KeyFile_Baseline_CopyBytes(benchmark::State& state) {
  StoreWorld world;
  for (auto _ : state) benchmark::DoNotOptimize(PlainCopy(world.fs, kKeyPath, kTempPath));
  state.counters["file_bytes"] = static_cast<double>(world.fs.Bytes(kKeyPath)->size());
}
BENCHMARK(BM_KeyFile_Baseline_CopyBytes)->Unit(benchmark::kMicrosecond);

// A game list file naming 1,000 games in sorted order, two profiles each.
std::string ThousandGames() {
  std::string out = "[GAMELIST]\r\n";
  for (int i = 0; i < 1000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "GAME%04d.EXE", i);
    out += std::string(name) + "\r\n";
  }
  out += "\r\n[PROFILE]\r\n";
  // Each game: "game1" active, "fast" not (its flag byte is 0x00).
  for (int i = 0; i < 1000; ++i) {
    out += std::to_string(i + 1) + " \x01game1 " + std::string(1, '\0') + "fast\r\n";
  }
  return out;
}

void BM_LoadGameList(benchmark::State& state) {
  MemoryFileSystem fs;
  fs.Put(kListPath, ThousandGames());
  GameList games;
  games.LoadGameList(fs, kListPath);
  // Positions are bytes with 255 for none: the list keeps the first 255.
  if (!Require(state,
               games.Games().size() == kMaxListed && games.Games().back().profiles.size() == 2,
               "the game list was not read")) {
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(games.LoadGameList(fs, kListPath));
  state.counters["games_kept"] = static_cast<double>(games.Games().size());
}
BENCHMARK(BM_LoadGameList)->Unit(benchmark::kMicrosecond);

void BM_SaveGameList(benchmark::State& state) {
  MemoryFileSystem fs;
  fs.Put(kListPath, ThousandGames());
  GameList games;
  games.LoadGameList(fs, kListPath);
  if (!Require(state, games.SaveGameList(fs, kListPath, "/keys/GameList.TMP"),
               "the game list was not saved")) {
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(games.SaveGameList(fs, kListPath, "/keys/GameList.TMP"));
  }
  state.counters["games_saved"] = static_cast<double>(games.Games().size());
}
BENCHMARK(BM_SaveGameList)->Unit(benchmark::kMicrosecond);

void BM_GameList_Baseline_ReadBytes(benchmark::State& state) {
  MemoryFileSystem fs;
  fs.Put(kListPath, ThousandGames());
  for (auto _ : state) benchmark::DoNotOptimize(PlainRead(fs, kListPath));
}
BENCHMARK(BM_GameList_Baseline_ReadBytes)->Unit(benchmark::kMicrosecond);

// The file SaveGameList writes (255 games), copied plainly.
void BM_GameList_Baseline_CopyBytes(benchmark::State& state) {
  MemoryFileSystem fs;
  fs.Put(kListPath, ThousandGames());
  GameList games;
  games.LoadGameList(fs, kListPath);
  games.SaveGameList(fs, kListPath, "/keys/GameList.TMP");
  for (auto _ : state) {
    benchmark::DoNotOptimize(PlainCopy(fs, kListPath, "/keys/GameList.TMP"));
  }
}
BENCHMARK(BM_GameList_Baseline_CopyBytes)->Unit(benchmark::kMicrosecond);

// 33 strokes: named keys, letters and digits with every kind of modifier,
// and separators between groups.
KeySequence FullSequence() {
  KeySequence s;
  const uint16_t codes[] = {0x41, 0x0D, 0x70, 0x31, 0xFF, 0x25, 0x5A, 0x20, 0x09, 0xFF, 0x42};
  const uint8_t flags[] = {0x04, 0x00, 0x01, 0x10, 0x00, 0x00, 0x24, 0x00, 0x02, 0x00, 0x08};
  for (int i = 0; i < kMaxStrokes; ++i) {
    s.code[i] = codes[i % 11];
    s.flags[i] = flags[i % 11];
  }
  s.count = kMaxStrokes;
  return s;
}

struct TextWorld {
  TextWorld() { names.Fill(strings); }
  BuiltinStrings strings{StringModule::kKloom};
  KeyNameTables names;
  NullInput input;
  KeySequence sequence = FullSequence();
};

void BM_FormatKeySequence(benchmark::State& state) {
  TextWorld world;
  std::string text;
  const uint8_t count =
      FormatKeySequence(world.sequence, text, kModeCycle, world.names, world.input);
  if (!Require(state, count > kMaxStrokes && text.find(',') != std::string::npos,
               "the sequence's text is not complete")) {
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        FormatKeySequence(world.sequence, text, kModeCycle, world.names, world.input));
  }
  state.counters["names"] = count;
  state.counters["chars"] = static_cast<double>(text.size());
}
BENCHMARK(BM_FormatKeySequence)->Unit(benchmark::kMicrosecond);

// Baseline: the 33 keys' names (or characters), looked up beforehand,
// joined with "+": building the text without any of its rules.
void BM_FormatKeySequence_Baseline_JoinNames(benchmark::State& state) {
  TextWorld world;
  std::vector<std::string> parts;
  for (int i = 0; i < world.sequence.count; ++i) {
    const uint16_t code = world.sequence.code[i];
    parts.push_back(KeyNameTables::HasKeyName(code)
                        ? world.names.KeyName(code)
                        : std::string(1, static_cast<char>(world.input.MapVirtualKey(code, 2))));
  }
  std::string text;
  for (auto _ : state) {
    text.clear();
    for (size_t i = 0; i < parts.size(); ++i) {
      if (i) text += '+';
      text += parts[i];
    }
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_FormatKeySequence_Baseline_JoinNames)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kl::bench
