// The profile loader against key files built from the documented layout.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "mapper/loader.h"
#include "mapper/play_table.h"
#include "platform/sim/memory_filesystem.h"
#include "platform/sim/recording_input.h"
#include "profile/gamelist.h"
#include "tests/unit/mapper/key_file_bytes.h"

namespace kl {
namespace {

using test::Block;
using test::Entry;
using test::Header;
using test::Record;
using test::Stored;
using test::Unassigned;
using Steps = std::vector<std::string>;

constexpr char kFolder[] = "/keys";
constexpr char kGame[] = "DOOM.EXE";
constexpr char kKeyFile[] = "/keys/DOOM.key";

// Steps as "vk:scan" in hex; a separator is "--".
Steps ListOf(const PlayTable& table, size_t slot, size_t input) {
  Steps steps;
  for (const PlayStep* s = table.lists[slot][input]; s; s = s->next) {
    if (s->reference) {
      steps.push_back("ref");
    } else if (IsSeparator(*s)) {
      steps.push_back("--");
    } else {
      char text[8];
      std::snprintf(text, sizeof(text), "%02x:%02x", s->vk, s->scan);
      steps.push_back(text);
    }
  }
  return steps;
}

class LoaderTest : public ::testing::Test {
 protected:
  LoaderTest() {
    m_games.AddGame(kGame);
    m_games.AddProfileToGame(kGame, "game1", 1);
  }

  void Load(const std::string& fileBytes) {
    m_fs.Put(kKeyFile, fileBytes);
    m_loader.LoadPlayTable(m_games, kGame);
  }
  // A file with one record, "game1", of one 16-entry block.
  void LoadBlock(const Block& block) { Load(Stored(Header() + Record("game1", {block}))); }

  bool TableEmpty() const {
    for (const auto& slot : m_table.lists) {
      for (const PlayStep* list : slot) {
        if (list) return false;
      }
    }
    return true;
  }

  MemoryFileSystem m_fs;
  RecordingInput m_input;
  PlayTable m_table;
  GameList m_games;
  ProfileLoader m_loader{m_fs, m_input, m_table, kFolder};
};

struct ListCase {
  const char* name;
  Entry entry;
  uint8_t mode;
  bool repeat;
  Steps steps;
};

TEST_F(LoaderTest, BuildsEachModesListWithItsModifierSteps) {
  const std::vector<ListCase> cases = {
      {"key mode: left Ctrl and left Shift, then A",
       {0x00, {{0x08 | 0x20, 0x41}}},
       0,
       false,
       {"11:1d", "10:2a", "41:1e"}},
      {"key mode: every modifier bit in order",
       {0x00, {{0x3F, 0x43}}},
       0,
       false,
       {"12:38", "12:38", "11:1d", "11:1d", "10:36", "10:2a", "43:2e"}},
      {"key mode with repeat, two strokes",
       {0x80, {{0x01, 0x41}, {0x00, 0x42}}},
       0,
       true,
       {"12:38", "41:1e", "42:30"}},
      {"key mode: extended and reference bits play nothing",
       {0x00, {{0xC0, 0x26}}},
       0,
       false,
       {"26:48"}},
      {"key mode: a separator key",
       {0x00, {{0x00, 0x41}, {0x04, 0xFF}}},
       0,
       false,
       {"41:1e", "11:1d", "--"}},
      {"sequence mode: both Shift bits map Shift",
       {0x01, {{0x10, 0x41}, {0x20, 0x42}}},
       1,
       false,
       {"10:2a", "41:1e", "10:2a", "42:30"}},
      {"sequence mode with repeat", {0x81, {{0x00, 0x0D}}}, 1, true, {"0d:1c"}},
      {"cycle mode: A, separator, B",
       {0x02, {{0, 0x41}, {0, 0xFF}, {0, 0x42}}},
       2,
       false,
       {"--", "41:1e", "--", "42:30", "--"}},
      {"cycle mode: a group with its modifiers",
       {0x02, {{0x08, 0x43}, {0, 0xFF}, {0x10, 0x41}}},
       2,
       false,
       {"--", "11:1d", "43:2e", "--", "10:36", "41:1e", "--"}},
      {"cycle mode without strokes", {0x02, {}}, 2, false, {"--"}},
      {"mouse mode: flags ignored", {0x04, {{0x3F, 64}}}, 4, false, {"40:00"}},
      {"unassigned", {0xFF, {}}, 255, false, {}},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.name);
    LoadBlock(Unassigned(16, {{6, c.entry}}));
    EXPECT_EQ(ListOf(m_table, 0, 6), c.steps);
    EXPECT_EQ(m_table.modes[0][6], c.mode);
    EXPECT_EQ(m_table.repeat[0][6], c.repeat);
  }
}

TEST_F(LoaderTest, CycleCursorStartsAfterTheFirstSeparator) {
  LoadBlock(Unassigned(16, {{4, {0x02, {{0, 0x41}, {0, 0xFF}, {0, 0x42}}}}, {5, {0x02, {}}}}));
  ASSERT_NE(m_table.lists[0][4], nullptr);
  EXPECT_EQ(m_table.cursors[0][4], m_table.lists[0][4]->next);
  EXPECT_EQ(m_table.cursors[0][4]->vk, 0x41);
  EXPECT_EQ(m_table.cursors[0][5], nullptr);
}

TEST_F(LoaderTest, UnknownModesKeepTheOldModeAndReadNoStrokes) {
  LoadBlock(Unassigned(16, {{4, {0x01, {{0, 0x41}}}}, {5, {0x04, {{0, 1}}}}}));
  ASSERT_EQ(m_table.modes[0][4], 1);
  // Mode 3 and mode 0xFF have no strokes to read whatever their key count
  // says; the entries after them are found only when none is read.
  LoadBlock(Unassigned(16, {{4, {0x03, {}, 1}}, {5, {0xFF, {}, 2}}, {6, {0x00, {{0, 0x42}}}}}));
  EXPECT_EQ(m_table.modes[0][4], 1);
  EXPECT_EQ(m_table.modes[0][5], 255);
  EXPECT_EQ(ListOf(m_table, 0, 4), Steps{});
  EXPECT_EQ(ListOf(m_table, 0, 6), Steps{"42:30"});
}

struct ReferenceCase {
  const char* name;
  std::vector<std::pair<size_t, Entry>> entries;
  std::vector<std::pair<size_t, Steps>> lists;
};

TEST_F(LoaderTest, ExpandsReferencesInPlace) {
  const Entry ctrlC{0x00, {{0x04, 0x43}}};
  const std::vector<ReferenceCase> cases = {
      {"a reference after a key becomes a separator and the copies",
       {{4, ctrlC}, {5, {0x01, {{0, 0x58}, {0x80, 4}}}}},
       {{5, {"58:2d", "--", "11:1d", "43:2e"}}, {4, {"11:1d", "43:2e"}}}},
      {"a reference first: the copies start the list",
       {{4, ctrlC}, {5, {0x01, {{0x80, 4}, {0, 0x58}}}}},
       {{5, {"11:1d", "43:2e", "58:2d"}}}},
      {"two references in a row: the second keeps its separator",
       {{4, ctrlC}, {5, {0x01, {{0x80, 4}, {0x80, 4}}}}},
       {{5, {"11:1d", "43:2e", "--", "11:1d", "43:2e"}}}},
      {"a reference to an input without steps is dropped",
       {{5, {0x01, {{0, 0x58}, {0x80, 9}, {0, 0x59}}}}},
       {{5, {"58:2d", "59:15"}}}},
      {"a reference beyond the table is dropped", {{5, {0x01, {{0x80, 40}}}}}, {{5, {}}}},
      {"a chain of references is followed",
       {{4, ctrlC}, {6, {0x01, {{0x80, 4}}}}, {7, {0x01, {{0, 0x41}, {0x80, 6}}}}},
       {{6, {"11:1d", "43:2e"}}, {7, {"41:1e", "--", "11:1d", "43:2e"}}}},
      {"a reference to an input that refers back: expansion stops",
       {{4, {0x01, {{0, 0x41}, {0x80, 5}}}}, {5, {0x01, {{0, 0x42}, {0x80, 4}}}}},
       {}},
      {"an input that refers to itself: expansion stops",
       {{4, {0x01, {{0, 0x41}, {0x80, 4}}}}},
       {}},
  };
  for (const ReferenceCase& c : cases) {
    SCOPED_TRACE(c.name);
    LoadBlock(Unassigned(16, c.entries));
    for (const auto& [input, steps] : c.lists) {
      SCOPED_TRACE(input);
      EXPECT_EQ(ListOf(m_table, 0, input), steps);
    }
    // Whatever the references were, none is left and no list is overlong.
    for (size_t input = 0; input < kInputsPerSlot; ++input) {
      const Steps steps = ListOf(m_table, 0, input);
      EXPECT_EQ(std::count(steps.begin(), steps.end(), "ref"), 0) << input;
      EXPECT_LE(steps.size(), kMaxStepsPerList) << input;
      EXPECT_EQ(steps.size(), m_table.Length(0, input)) << input;
    }
  }
}

TEST_F(LoaderTest, ReferenceCycleStillKeepsItsOwnKeysFirst) {
  LoadBlock(Unassigned(16, {{4, {0x01, {{0, 0x41}, {0x80, 4}}}}}));
  const Steps steps = ListOf(m_table, 0, 4);
  ASSERT_GE(steps.size(), 2u);
  EXPECT_EQ(steps[0], "41:1e");
  EXPECT_EQ(steps[1], "--");
}

TEST_F(LoaderTest, ReadsTheActiveProfileAmongSeveralRecords) {
  m_games.AddProfileToGame(kGame, "game2", 0);
  m_games.AddProfileToGame(kGame, "game3", 0);
  m_games.SetProfileActive(kGame, "game1", 0);
  m_games.SetProfileActive(kGame, "game3", 1);
  // The records before the wanted one hold nonsense after their lengths;
  // only their length fields may be used to pass them.
  std::string first = Record("game1", {Unassigned(14, {{4, {0x00, {{0, 0x41}}}}})});
  first.replace(first.size() - 20, 12, "[PROFILE]   ");
  const std::string second = Record("game2", {Unassigned(14, {{4, {0x00, {{0, 0x42}}}}})}, 200);
  const std::string third = Record("game3", {Unassigned(14, {{4, {0x00, {{0, 0x43}}}}})});
  Load(Stored(Header() + first + second + third));
  EXPECT_EQ(ListOf(m_table, 0, 4), Steps{"43:2e"});
  EXPECT_EQ(m_table.padCount, 1);
  EXPECT_EQ(m_table.entryCount[0], 14);
}

TEST_F(LoaderTest, StoredLineFeedsAndCtrlZDoNotShiftTheRecordsAfterThem) {
  m_games.AddProfileToGame(kGame, "game2", 0);
  m_games.SetProfileActive(kGame, "game1", 0);
  m_games.SetProfileActive(kGame, "game2", 1);
  // Left Alt with left Ctrl is flags 0x0A; ten strokes make a key count of
  // 0x0A; key 0x1A is the byte that would end a text read.
  std::vector<test::Stroke> ten(10, {0x0A, 0x1A});
  const std::string first = Record("game1", {Unassigned(16, {{4, {0x01, ten}}})});
  const std::string second = Record("game2", {Unassigned(16, {{4, {0x00, {{0x0A, 0x41}}}}})});
  const std::string logical = Header() + first + second;
  const std::string stored = Stored(logical);
  ASSERT_GT(stored.size(), logical.size());
  Load(stored);
  EXPECT_EQ(ListOf(m_table, 0, 4), (Steps{"12:38", "11:1d", "41:1e"}));
}

TEST_F(LoaderTest, AcceptsWhiteSpaceAroundTheSignatureWords) {
  const std::string header =
      std::string(" \r\n VORNATEK \t GAMEPAD") + "0101" + std::string(20, '\0');
  Load(header + Record("game1", {Unassigned(14, {{4, {0x00, {{0, 0x41}}}}})}));
  EXPECT_EQ(ListOf(m_table, 0, 4), Steps{"41:1e"});
}

struct EmptyCase {
  const char* name;
  std::string bytes;
  std::string active;  // the profile flagged active; empty: none
};

TEST_F(LoaderTest, LeavesTheTableEmptyWhenNothingMatches) {
  const std::string record = Record("game1", {Unassigned(14, {{4, {0x00, {{0, 0x41}}}}})});
  const std::string body = "0101" + std::string(20, '\0') + record;
  const std::vector<EmptyCase> cases = {
      {"signature in lower case", "vornatek gamepad" + body, "game1"},
      {"signature words swapped", "GAMEPAD VORNATEK" + body, "game1"},
      {"empty file", "", "game1"},
      {"header only", Header(), "game1"},
      {"profile name differs in case", Header() + record, "Game1"},
      {"no profile active", Header() + record, ""},
      {"record cut inside its name", Header() + record.substr(0, 100), "game1"},
  };
  for (const EmptyCase& c : cases) {
    SCOPED_TRACE(c.name);
    // Something loaded before must not survive.
    LoadBlock(Unassigned(14, {{5, {0x00, {{0, 0x42}}}}}));
    ASSERT_FALSE(TableEmpty());
    GameList games;
    games.AddGame(kGame);
    games.AddProfileToGame(kGame, "game1", c.active == "game1");
    games.AddProfileToGame(kGame, "Game1", c.active == "Game1");
    m_fs.Put(kKeyFile, c.bytes);
    m_loader.LoadPlayTable(games, kGame);
    EXPECT_TRUE(TableEmpty());
  }
}

TEST_F(LoaderTest, MissingKeyFileOrUnlistedGameLoadsNothing) {
  LoadBlock(Unassigned(14, {{5, {0x00, {{0, 0x42}}}}}));
  m_fs.Drop(kKeyFile);
  m_loader.LoadPlayTable(m_games, kGame);
  EXPECT_TRUE(TableEmpty());
  EXPECT_EQ(m_table.padCount, 1);

  LoadBlock(Unassigned(14, {{5, {0x00, {{0, 0x42}}}}}));
  m_loader.LoadPlayTable(m_games, "QUAKE.EXE");
  EXPECT_TRUE(TableEmpty());
  m_loader.LoadPlayTable(m_games, "");
  EXPECT_TRUE(TableEmpty());
}

TEST_F(LoaderTest, KeyFileNameReplacesTheLastThreeCharacters) {
  EXPECT_EQ(m_loader.KeyFilePath("DOOM.EXE"), "/keys/DOOM.key");
  EXPECT_EQ(m_loader.KeyFilePath("A.COM"), "/keys/A.key");
  EXPECT_EQ(m_loader.KeyFilePath("AB"), "");
  ProfileLoader trailing{m_fs, m_input, m_table, "/keys/"};
  EXPECT_EQ(trailing.KeyFilePath("DOOM.EXE"), "/keys/DOOM.key");
}

TEST_F(LoaderTest, SeveralPadBlocksFillTheirSlots) {
  const Block pad0 = Unassigned(14, {{4, {0x00, {{0, 0x41}}}}});
  const Block pad1 = Unassigned(16, {{15, {0x00, {{0, 0x42}}}}});
  Load(Stored(Header() + Record("game1", {pad0, pad1})));
  EXPECT_EQ(m_table.padCount, 2);
  EXPECT_EQ(m_table.entryCount[0], 14);
  EXPECT_EQ(m_table.entryCount[1], 16);
  EXPECT_EQ(ListOf(m_table, 0, 4), Steps{"41:1e"});
  EXPECT_EQ(ListOf(m_table, 1, 15), Steps{"42:30"});
  EXPECT_EQ(ListOf(m_table, 1, 4), Steps{});
}

TEST_F(LoaderTest, OversizedRecordsAreReadPastAndPlayOnlyWhatFits) {
  // Slot 0 has 34 entries: the two beyond the table are read and skipped,
  // so slot 1's block is still found. Six blocks: the last two are skipped.
  Block wide = Unassigned(34, {{31, {0x00, {{0, 0x41}}}}, {33, {0x00, {{0, 0x5A}, {0, 0x5A}}}}});
  const Block narrow = Unassigned(14, {{4, {0x00, {{0, 0x42}}}}});
  Load(Stored(Header() + Record("game1", {wide, narrow, narrow, narrow, narrow, narrow})));
  EXPECT_EQ(m_table.padCount, 6);
  EXPECT_EQ(m_table.entryCount[0], kInputsPerSlot);
  EXPECT_EQ(ListOf(m_table, 0, 31), Steps{"41:1e"});
  for (size_t slot = 1; slot < kPadSlots; ++slot) {
    EXPECT_EQ(ListOf(m_table, slot, 4), Steps{"42:30"}) << slot;
  }
}

TEST_F(LoaderTest, OverlongListsAreCappedAndTheRestStillRead) {
  // 255 strokes of seven steps each would be 1785 steps.
  std::vector<test::Stroke> many(255, {0x3F, 0x41});
  LoadBlock(Unassigned(16, {{4, {0x00, many}}, {5, {0x00, {{0, 0x42}}}}}));
  EXPECT_EQ(m_table.Length(0, 4), kMaxStepsPerList);
  EXPECT_EQ(ListOf(m_table, 0, 5), Steps{"42:30"});
}

TEST_F(LoaderTest, RecordCutShortKeepsWhatWasBuiltAndNoReference) {
  const std::string full =
      Header() +
      Record("game1",
             {Unassigned(16, {{4, {0x00, {{0, 0x41}}}},
                              {5, {0x01, {{0, 0x42}, {0x80, 4}, {0x80, 4}, {0, 0x43}}}}})});
  // Cut after the first reference stroke of entry 5.
  const size_t entry5 = 40 + 369 + 3 + 4 * 2 + 4;
  Load(full.substr(0, entry5 + 2 + 2 + 2));
  EXPECT_EQ(ListOf(m_table, 0, 4), Steps{"41:1e"});
  EXPECT_EQ(ListOf(m_table, 0, 5), (Steps{"42:30", "--", "41:1e"}));
}

TEST_F(LoaderTest, LoadingReplacesListsAndCursors) {
  LoadBlock(Unassigned(16, {{4, {0x02, {{0, 0x41}, {0, 0xFF}, {0, 0x42}}}}}));
  ASSERT_NE(m_table.cursors[0][4], nullptr);
  LoadBlock(Unassigned(16, {{5, {0x00, {{0, 0x43}}}}}));
  EXPECT_EQ(m_table.cursors[0][4], nullptr);
  EXPECT_EQ(ListOf(m_table, 0, 4), Steps{});
  EXPECT_EQ(ListOf(m_table, 0, 5), Steps{"43:2e"});
}

}  // namespace
}  // namespace kl

namespace kl {
namespace {

// Every cut and every single-byte change of a record full of references
// loads without leaving a reference step, an overlong list or a wrong length.
TEST_F(LoaderTest, DamagedFilesLoadWithinTheTable) {
  const std::string good =
      Header() +
      Record("game1", {Unassigned(16, {{4, {0x00, {{0x0A, 0x41}}}},
                                       {5, {0x01, {{0x80, 4}, {0, 0x42}, {0x80, 6}}}},
                                       {6, {0x01, {{0x80, 5}}}},
                                       {7, {0x02, {{0, 0x43}, {0, 0xFF}, {0x10, 0x44}}}},
                                       {8, {0x04, {{0, 1}}}}}),
                       Unassigned(14, {{0, {0x81, {{0x80, 1}}}}, {1, {0x01, {{0x80, 0}}}}})});
  std::vector<std::string> damaged;
  for (size_t cut = 0; cut < good.size(); ++cut) damaged.push_back(good.substr(0, cut));
  for (size_t at = 40; at < good.size(); ++at) {
    for (uint8_t value :
         {uint8_t{0x00}, uint8_t{0x0A}, uint8_t{0x1A}, uint8_t{0x80}, uint8_t{0xFF}}) {
      std::string bytes = good;
      bytes[at] = static_cast<char>(value);
      damaged.push_back(bytes);
    }
  }
  for (const std::string& bytes : damaged) {
    Load(bytes);
    for (size_t slot = 0; slot < kPadSlots; ++slot) {
      for (size_t input = 0; input < kInputsPerSlot; ++input) {
        size_t length = 0;
        for (const PlayStep* s = m_table.lists[slot][input]; s; s = s->next) {
          ASSERT_FALSE(s->reference);
          ASSERT_LE(++length, kMaxStepsPerList);
        }
        ASSERT_EQ(length, m_table.Length(slot, input));
      }
      ASSERT_LE(m_table.entryCount[slot], kInputsPerSlot);
    }
  }
}

}  // namespace
}  // namespace kl
