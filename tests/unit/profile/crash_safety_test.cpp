// Crash safety of every saving operation, proven step by step: a clean run
// counts the file-system steps an operation takes, then each of them is made
// to fail in turn. Whatever fails, the folder must hold the old files or the
// new ones byte for byte (no torn, missing or stray file a reader could
// trip on), the in-memory list must match the files, and the operation must
// say it failed exactly when the new state is not all there.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "file_fixtures.h"
#include "key_bytes.h"
#include "profile/gamelist.h"
#include "profile/profile_store.h"
#include "profile/textstream.h"

namespace kl {
namespace {

using test::Bytes;
using test::FolderState;
using test::TestPad;
using Step = test::FaultyFileSystem::Step;

constexpr Step kSteps[] = {Step::kOpen,  Step::kRead,   Step::kWrite, Step::kFlush,
                           Step::kClose, Step::kRename, Step::kRemove};

const char* StepName(Step step) {
  switch (step) {
    case Step::kOpen:
      return "open";
    case Step::kRead:
      return "read";
    case Step::kWrite:
      return "write";
    case Step::kFlush:
      return "flush";
    case Step::kClose:
      return "close";
    case Step::kRename:
      return "rename";
    case Step::kRemove:
      return "remove";
    case Step::kNone:
      break;
  }
  return "none";
}

// The in-memory game list: each game with its (profile, active flag) pairs.
using ListState = std::vector<std::pair<std::string, std::vector<std::pair<std::string, int>>>>;

GameList MakeList(const ListState& state) {
  GameList list;
  for (const auto& [game, profiles] : state) {
    list.AddGame(game);
    for (const auto& [name, active] : profiles) {
      list.AddProfileToGame(game, name, static_cast<uint8_t>(active));
    }
  }
  return list;
}

ListState ListOf(const GameList& list) {
  ListState state;
  for (const GameEntry& game : list.Games()) {
    state.push_back({game.name, {}});
    for (const ProfileEntry& p : game.profiles) state.back().second.push_back({p.name, p.active});
  }
  return state;
}

// "GameList.lst" as its documented layout stores `state`.
Bytes ListFile(const ListState& state) {
  Bytes bytes = "[GAMELIST]\r\n";
  for (const auto& game : state) bytes += game.first + "\r\n";
  bytes += "\r\n[PROFILE]\r\n";
  int number = 1;
  for (const auto& game : state) {
    bytes += std::to_string(number++);
    for (const auto& [name, active] : game.second) {
      bytes += ' ';
      bytes += static_cast<char>(active);
      bytes += name;
    }
    bytes += "\r\n";
  }
  return bytes;
}

struct World {
  test::FaultyFileSystem& fs;
  GameList& games;
  ProfileStore& store;
  std::string folder;
};

struct SavingCase {
  const char* what;
  FolderState before;
  ListState listBefore;
  std::function<bool(World&)> run;
  FolderState after;
  ListState listAfter;
  // Operations of the profile store tell the user; the game list's writer
  // only answers false.
  bool showsMessage = true;
  // An operation over two files that are replaced one after the other: each
  // file alone is old or new, the pair may be mixed after a failure.
  bool filesApart = false;
};

bool IsTempName(const std::string& name) {
  return name == kKeyTempName || name == kGameListTempName;
}

FolderState WithoutTemps(FolderState state) {
  std::erase_if(state, [](const auto& file) { return IsTempName(file.first); });
  return state;
}

// A short account of a folder for failure messages: names, sizes and the
// first bytes where a file differs from the expected one.
std::string Describe(const FolderState& now, const FolderState& expected) {
  std::string text;
  for (const auto& [name, bytes] : now) {
    text += " " + name + "(" + std::to_string(bytes.size()) + ")";
    auto it = expected.find(name);
    if (it == expected.end()) {
      text += " unexpected;";
    } else if (it->second != bytes) {
      size_t at = 0;
      while (at < bytes.size() && at < it->second.size() && bytes[at] == it->second[at]) ++at;
      text += " differs at " + std::to_string(at) + ", expected size " +
              std::to_string(it->second.size()) + ";";
    }
  }
  for (const auto& [name, bytes] : expected) {
    if (!now.count(name)) text += " " + name + " missing;";
  }
  return text;
}

// What one run of the case left behind.
struct Outcome {
  bool ok = false;
  FolderState folder;
  ListState list;
  std::vector<uint32_t> messages;
  bool faulted = false;
};

Outcome RunCase(const SavingCase& c, const std::string& folder, Step step, int k,
                int (*counts)[test::FaultyFileSystem::kStepKinds] = nullptr) {
  test::WriteFolder(folder, c.before);
  GameList games = MakeList(c.listBefore);
  test::RecordingPrompts prompts;
  test::FaultyFileSystem fs;
  ProfileStore store(fs, prompts, games, folder);
  store.SetPadCount(1);
  store.Table(0) = test::ToTable(test::PadWithButton('N'));
  fs.FailAt(step, k);
  World world{fs, games, store, folder};
  Outcome outcome;
  outcome.ok = c.run(world);
  outcome.folder = test::ReadFolder(folder);
  outcome.list = ListOf(games);
  outcome.messages = prompts.messages;
  outcome.faulted = fs.Failed();
  if (counts) {
    for (int i = 0; i < test::FaultyFileSystem::kStepKinds; ++i) {
      (*counts)[i] = fs.Count(static_cast<Step>(i));
    }
  }
  return outcome;
}

// A temporary file may stay only as it was before the run: the operation
// never leaves one of its own making behind.
void ExpectNoNewLeftovers(const SavingCase& c, const Outcome& o, const std::string& label) {
  for (const auto& [name, bytes] : o.folder) {
    if (!IsTempName(name)) continue;
    auto old = c.before.find(name);
    EXPECT_TRUE(old != c.before.end() && old->second == bytes) << label << ": " << name << " left";
  }
}

// Each file of the folder on its own is as before or as after.
void ExpectEachFileOldOrNew(const SavingCase& c, const FolderState& now, const std::string& label) {
  const FolderState before = WithoutTemps(c.before);
  const FolderState after = WithoutTemps(c.after);
  std::vector<std::string> names;
  for (const auto& f : before) names.push_back(f.first);
  for (const auto& f : after) names.push_back(f.first);
  for (const auto& f : now) names.push_back(f.first);
  for (const std::string& name : names) {
    auto state = [&name](const FolderState& s) {
      auto it = s.find(name);
      return it == s.end() ? std::optional<Bytes>() : std::optional<Bytes>(it->second);
    };
    const std::optional<Bytes> is = state(now);
    EXPECT_TRUE(is == state(before) || is == state(after)) << label << ": " << name << " torn";
  }
}

// Returns how many runs with a fault were made.
int ProveCrashSafe(const SavingCase& c) {
  test::TempFolder folder;
  int counts[test::FaultyFileSystem::kStepKinds] = {};
  const Outcome clean = RunCase(c, folder.Path(), Step::kNone, 0, &counts);
  EXPECT_TRUE(clean.ok) << c.what << ": the clean run failed";
  EXPECT_TRUE(WithoutTemps(clean.folder) == c.after)
      << c.what << ": the clean run:" << Describe(clean.folder, c.after);
  EXPECT_EQ(clean.list, c.listAfter) << c.what << ": the clean run";
  EXPECT_TRUE(clean.messages.empty()) << c.what << ": the clean run";
  ExpectNoNewLeftovers(c, clean, std::string(c.what) + " clean");

  int runs = 0;
  for (Step step : kSteps) {
    for (int k = 1; k <= counts[static_cast<int>(step)]; ++k) {
      ++runs;
      const std::string label =
          std::string(c.what) + ", " + StepName(step) + " " + std::to_string(k) + " fails";
      const Outcome o = RunCase(c, folder.Path(), step, k);
      EXPECT_TRUE(o.faulted) << label << ": the step was not reached again";
      ExpectNoNewLeftovers(c, o, label);
      const FolderState now = WithoutTemps(o.folder);
      if (o.ok) {
        EXPECT_TRUE(now == WithoutTemps(c.after))
            << label << ": success without the new files:" << Describe(now, c.after);
        EXPECT_EQ(o.list, c.listAfter) << label;
      } else if (c.filesApart) {
        ExpectEachFileOldOrNew(c, now, label);
      } else {
        EXPECT_TRUE(now == WithoutTemps(c.before))
            << label << ": failed, but the files changed:" << Describe(now, c.before);
        EXPECT_EQ(o.list, c.listBefore) << label << ": failed, but the list changed";
      }
      if (!o.ok && c.showsMessage) {
        EXPECT_FALSE(o.messages.empty()) << label << ": the failure was not shown";
      }
    }
  }
  return runs;
}

void ProveAll(const std::vector<SavingCase>& cases) {
  int runs = 0;
  for (const SavingCase& c : cases) runs += ProveCrashSafe(c);
  ::testing::Test::RecordProperty("faultRuns", runs);
  EXPECT_GT(runs, 0);
}

const ListState kDoomEmpty = {{"DOOM.EXE", {}}};
const ListState kDoomTwo = {{"DOOM.EXE", {{"GAME1", 1}, {"GAME2", 0}}}};
const ListState kDoomThree = {{"DOOM.EXE", {{"ONE", 0}, {"TWO", 1}, {"THREE", 0}}}};
const std::vector<std::pair<std::string, std::vector<TestPad>>> kTwoRecords = {
    {"GAME1", {test::PadWithButton('A')}}, {"GAME2", {test::PadWithButton('B')}}};
const std::vector<std::pair<std::string, std::vector<TestPad>>> kThreeRecords = {
    {"ONE", {test::PadWithButton('A')}},
    {"TWO", {test::PadWithButton('B')}},
    {"THREE", {test::PadWithButton('C')}}};

TEST(CrashSafeSaving, AppendingAProfile) {
  auto append = [](uint8_t position) {
    return [position](World& w) { return w.store.AppendProfile("DOOM.EXE", "NEW") == position; };
  };
  const Bytes list = ListFile(kDoomTwo);
  ProveAll({
      {"the first profile creates the key file",
       {},
       kDoomEmpty,
       append(0),
       {{"DOOM.key", test::KeyFileBytes({{"NEW", {test::PadWithButton('N')}}})}},
       {{"DOOM.EXE", {{"NEW", 0}}}}},
      {"a profile after two",
       {{"DOOM.key", test::KeyFileBytes(kTwoRecords)}, {"GameList.lst", list}},
       kDoomTwo,
       append(2),
       {{"DOOM.key",
         test::KeyFileBytes({kTwoRecords[0], kTwoRecords[1], {"NEW", {test::PadWithButton('N')}}})},
        {"GameList.lst", list}},
       {{"DOOM.EXE", {{"GAME1", 1}, {"GAME2", 0}, {"NEW", 0}}}}},
      {"two pads, the second with 0x0A bytes",
       {{"DOOM.key",
         test::KeyFileBytes({{"LF", {test::PadWithButton('\n'), test::PadWithButton('\n', 16)}}})}},
       {{"DOOM.EXE", {{"LF", 1}}}},
       [](World& w) {
         w.store.SetPadCount(2);
         w.store.Table(1) = test::ToTable(test::PadWithButton('\n', 16));
         return w.store.AppendProfile("DOOM.EXE", "NEW") == 1;
       },
       {{"DOOM.key",
         test::KeyFileBytes({{"LF", {test::PadWithButton('\n'), test::PadWithButton('\n', 16)}},
                             {"NEW", {test::PadWithButton('N'), test::PadWithButton('\n', 16)}}})}},
       {{"DOOM.EXE", {{"LF", 1}, {"NEW", 0}}}}},
      {"over the leftover of an interrupted delete",
       {{"DOOM.key", test::KeyFileBytes(kTwoRecords)}, {"kbMap.TMP", "[PROFILE] half a rec"}},
       kDoomTwo,
       append(2),
       {{"DOOM.key", test::KeyFileBytes(
                         {kTwoRecords[0], kTwoRecords[1], {"NEW", {test::PadWithButton('N')}}})}},
       {{"DOOM.EXE", {{"GAME1", 1}, {"GAME2", 0}, {"NEW", 0}}}}},
  });
}

TEST(CrashSafeSaving, OverwritingAProfile) {
  auto overwrite = [](const char* name, uint8_t position) {
    return [name, position](World& w) {
      return w.store.OverwriteProfile("DOOM.EXE", name) == position;
    };
  };
  ProveAll({
      {"the middle of three moves to the end",
       {{"DOOM.key", test::KeyFileBytes(kThreeRecords)}},
       kDoomThree,
       overwrite("TWO", 2),
       {{"DOOM.key",
         test::KeyFileBytes(
             {kThreeRecords[0], kThreeRecords[2], {"TWO", {test::PadWithButton('N')}}})}},
       {{"DOOM.EXE", {{"ONE", 0}, {"THREE", 0}, {"TWO", 0}}}}},
      {"the only profile",
       {{"DOOM.key", test::KeyFileBytes({kTwoRecords[0]})}},
       {{"DOOM.EXE", {{"GAME1", 1}}}},
       overwrite("GAME1", 0),
       {{"DOOM.key", test::KeyFileBytes({{"GAME1", {test::PadWithButton('N')}}})}},
       {{"DOOM.EXE", {{"GAME1", 0}}}}},
      {"a record holding 0x0A before another",
       {{"DOOM.key", test::KeyFileBytes({{"LF", {test::PadWithButton('\n')}},
                                         {"NEXT", {test::PadWithButton('B')}}})}},
       {{"DOOM.EXE", {{"LF", 0}, {"NEXT", 0}}}},
       overwrite("LF", 1),
       {{"DOOM.key", test::KeyFileBytes({{"NEXT", {test::PadWithButton('B')}},
                                         {"LF", {test::PadWithButton('N')}}})}},
       {{"DOOM.EXE", {{"NEXT", 0}, {"LF", 0}}}}},
      {"a listed profile the file lacks is appended",
       {{"DOOM.key", test::KeyFileBytes(kTwoRecords)}},
       {{"DOOM.EXE", {{"GAME1", 1}, {"GAME2", 0}, {"LOST", 0}}}},
       overwrite("LOST", 2),
       {{"DOOM.key", test::KeyFileBytes(
                         {kTwoRecords[0], kTwoRecords[1], {"LOST", {test::PadWithButton('N')}}})}},
       {{"DOOM.EXE", {{"GAME1", 1}, {"GAME2", 0}, {"LOST", 0}}}}},
      {"no key file yet",
       {},
       kDoomEmpty,
       overwrite("NEW", 0),
       {{"DOOM.key", test::KeyFileBytes({{"NEW", {test::PadWithButton('N')}}})}},
       {{"DOOM.EXE", {{"NEW", 0}}}}},
  });
}

TEST(CrashSafeSaving, DeletingAProfile) {
  auto remove = [](const char* name) {
    return [name](World& w) { return w.store.DeleteProfile("DOOM.EXE", name); };
  };
  ProveAll({
      {"the first of three",
       {{"DOOM.key", test::KeyFileBytes(kThreeRecords)}},
       kDoomThree,
       remove("ONE"),
       {{"DOOM.key", test::KeyFileBytes({kThreeRecords[1], kThreeRecords[2]})}},
       {{"DOOM.EXE", {{"TWO", 1}, {"THREE", 0}}}}},
      {"the last of three",
       {{"DOOM.key", test::KeyFileBytes(kThreeRecords)}},
       kDoomThree,
       remove("THREE"),
       {{"DOOM.key", test::KeyFileBytes({kThreeRecords[0], kThreeRecords[1]})}},
       {{"DOOM.EXE", {{"ONE", 0}, {"TWO", 1}}}}},
      {"the only one takes the key file with it",
       {{"DOOM.key", test::KeyFileBytes({kTwoRecords[0]})}, {"GameList.lst", ListFile(kDoomTwo)}},
       {{"DOOM.EXE", {{"GAME1", 1}}}},
       remove("GAME1"),
       {{"GameList.lst", ListFile(kDoomTwo)}},
       kDoomEmpty},
      {"a record holding 0x0A before another",
       {{"DOOM.key", test::KeyFileBytes({{"LF", {test::PadWithButton('\n')}},
                                         {"NEXT", {test::PadWithButton('B')}}})}},
       {{"DOOM.EXE", {{"LF", 0}, {"NEXT", 0}}}},
       remove("LF"),
       {{"DOOM.key", test::KeyFileBytes({{"NEXT", {test::PadWithButton('B')}}})}},
       {{"DOOM.EXE", {{"NEXT", 0}}}}},
      {"the record after one holding 0x0A",
       {{"DOOM.key", test::KeyFileBytes({{"LF", {test::PadWithButton('\n')}},
                                         {"NEXT", {test::PadWithButton('B')}}})}},
       {{"DOOM.EXE", {{"LF", 0}, {"NEXT", 0}}}},
       remove("NEXT"),
       {{"DOOM.key", test::KeyFileBytes({{"LF", {test::PadWithButton('\n')}}})}},
       {{"DOOM.EXE", {{"LF", 0}}}}},
      {"a listed profile the file lacks",
       {{"DOOM.key", test::KeyFileBytes(kTwoRecords)}},
       {{"DOOM.EXE", {{"GAME1", 1}, {"GAME2", 0}, {"LOST", 0}}}},
       remove("LOST"),
       {{"DOOM.key", test::KeyFileBytes(kTwoRecords)}},
       kDoomTwo},
      {"no key file at all", {}, {{"DOOM.EXE", {{"GAME1", 1}}}}, remove("GAME1"), {}, kDoomEmpty},
  });
}

TEST(CrashSafeSaving, SavingTheGameList) {
  const ListState games = {
      {"DOOM.EXE", {{"game1", 1}, {"two words", 0}}}, {"ZORK.EXE", {}}, {"A B.EXE", {{"X", 0}}}};
  auto save = [](World& w) {
    return w.games.SaveGameList(w.fs, w.store.BuildWorkPath(kGameListName),
                                w.store.BuildWorkPath(kGameListTempName));
  };
  const ListState sorted = ListOf(MakeList(games));
  ProveAll({
      {"the first list", {}, sorted, save, {{"GameList.lst", ListFile(sorted)}}, sorted, false},
      {"over an older list",
       {{"GameList.lst", ListFile(kDoomTwo)}, {"DOOM.key", test::KeyFileBytes(kTwoRecords)}},
       sorted,
       save,
       {{"GameList.lst", ListFile(sorted)}, {"DOOM.key", test::KeyFileBytes(kTwoRecords)}},
       sorted,
       false},
      {"over the leftover of an interrupted save",
       {{"GameList.lst", ListFile(kDoomTwo)}, {"GameList.TMP", "[GAMELIST]\r\nDO"}},
       sorted,
       save,
       {{"GameList.lst", ListFile(sorted)}},
       sorted,
       false},
  });
}

TEST(CrashSafeSaving, RemovingAGameWithItsKeyFile) {
  const ListState two = {{"DOOM.EXE", {{"GAME1", 1}, {"GAME2", 0}}}, {"ZORK.EXE", {{"Z", 1}}}};
  const ListState zork = {{"ZORK.EXE", {{"Z", 1}}}};
  const Bytes zorkKey = test::KeyFileBytes({{"Z", {test::PadWithButton('Z')}}});
  const FolderState both = {{"GameList.lst", ListFile(two)},
                            {"DOOM.key", test::KeyFileBytes(kTwoRecords)},
                            {"ZORK.key", zorkKey}};
  auto removeGame = [](bool writeList) {
    return [writeList](World& w) { return w.store.RemoveGame("DOOM.EXE", writeList); };
  };
  ProveAll({
      {"the editor writes the list later",
       both,
       two,
       removeGame(false),
       {{"GameList.lst", ListFile(two)}, {"ZORK.key", zorkKey}},
       zork},
      {"with the list written at once",
       both,
       two,
       removeGame(true),
       {{"GameList.lst", ListFile(zork)}, {"ZORK.key", zorkKey}},
       zork},
      {"a game without a key file",
       {{"GameList.lst", ListFile(two)}, {"ZORK.key", zorkKey}},
       two,
       removeGame(true),
       {{"GameList.lst", ListFile(zork)}, {"ZORK.key", zorkKey}},
       zork},
  });
}

// The editor's save: the record replaced in the key file, the profile made
// active, then the list written. Two files, so a failure between them may
// leave one new and one old, but never a torn one, and it is reported.
TEST(CrashSafeSaving, TheEditorsSaveOfAProfile) {
  const ListState after = {{"DOOM.EXE", {{"GAME1", 0}, {"GAME2", 1}}}};
  ProveAll({
      {"save over the active profile",
       {{"DOOM.key", test::KeyFileBytes(kTwoRecords)}, {"GameList.lst", ListFile(kDoomTwo)}},
       kDoomTwo,
       [](World& w) {
         if (w.store.OverwriteProfile("DOOM.EXE", "GAME2") == kNoPosition) return false;
         w.games.SetProfileActive("DOOM.EXE", "GAME1", 0);
         w.games.SetProfileActive("DOOM.EXE", "GAME2", 1);
         return w.games.SaveGameList(w.fs, w.store.BuildWorkPath(kGameListName),
                                     w.store.BuildWorkPath(kGameListTempName));
       },
       {{"DOOM.key", test::KeyFileBytes({kTwoRecords[0], {"GAME2", {test::PadWithButton('N')}}})},
        {"GameList.lst", ListFile(after)}},
       after,
       false,
       true},
  });
}

}  // namespace
}  // namespace kl

namespace kl {
namespace {

// A read that fails is not the end of the data: the stream says so, while
// a file read to its real end does not.
TEST(CrashSafeSaving, AFailedReadIsNotTheEnd) {
  test::TempFolder folder;
  const std::string path = folder / "DOOM.key";
  test::WriteFileBytes(path, Bytes(100000, 'x'));
  for (int failAt : {0, 1, 2}) {
    test::FaultyFileSystem fs;
    fs.FailAt(failAt ? Step::kRead : Step::kNone, failAt);
    TextStream in(fs.Open(path, OpenMode::kRead), CtrlZ::kIsData);
    const size_t read = in.Skip(SIZE_MAX);
    EXPECT_EQ(in.Failed(), failAt != 0) << failAt;
    EXPECT_EQ(read == 100000, failAt == 0) << failAt << ": " << read << " bytes";
  }
}

}  // namespace
}  // namespace kl
