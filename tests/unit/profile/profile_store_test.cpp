#include "profile/profile_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "file_fixtures.h"
#include "key_bytes.h"

namespace kl {
namespace {

using test::Bytes;
using test::TestEntry;
using test::TestPad;

// Two pads in the editor's tables, a game DOOM.EXE in the list.
class ProfileStoreTest : public ::testing::Test {
 protected:
  ProfileStoreTest() { Reset(); }

  void Reset() {
    m_games = GameList();
    m_games.AddGame("DOOM.EXE");
    m_prompts.messages.clear();
    m_store = std::make_unique<ProfileStore>(m_fs, m_prompts, m_games, m_folder.Path());
    m_store->SetPadCount(1);
    for (int slot = 0; slot < kPadSlots; ++slot) {
      FreeKeyTable(m_store->Table(slot));
      m_store->MakeDefaultTable(slot, false, false);
    }
  }

  std::string KeyPath() const { return m_folder / "DOOM.key"; }
  std::vector<std::string> ListedProfiles() const {
    std::vector<std::string> names;
    if (const GameEntry* g = m_games.FindGame("DOOM.EXE")) {
      for (const ProfileEntry& p : g->profiles) names.push_back(p.name);
    }
    return names;
  }

  test::TempFolder m_folder;
  HostFileSystem m_fs;
  test::RecordingPrompts m_prompts;
  GameList m_games;
  std::unique_ptr<ProfileStore> m_store;
};

TEST_F(ProfileStoreTest, SavesAndDeletesByteForByte) {
  // One step of a scenario: save the tables with input 4 set to `vk`, or
  // delete (vk 0).
  struct Step {
    std::string name;
    uint8_t vk;
    bool overwrite = false;
  };
  const struct {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::pair<std::string, std::vector<TestPad>>> file;  // empty: no file
    std::vector<std::string> listed;
  } cases[] = {
      {"first save creates the header",
       {{"GAME1", 'A'}},
       {{"GAME1", {test::PadWithButton('A')}}},
       {"GAME1"}},
      {"a later save appends",
       {{"GAME1", 'A'}, {"GAME2", 'B'}},
       {{"GAME1", {test::PadWithButton('A')}}, {"GAME2", {test::PadWithButton('B')}}},
       {"GAME1", "GAME2"}},
      {"overwrite moves to the end",
       {{"GAME1", 'A'}, {"GAME2", 'B'}, {"GAME1", 0}, {"GAME1", 'C'}},
       {{"GAME2", {test::PadWithButton('B')}}, {"GAME1", {test::PadWithButton('C')}}},
       {"GAME2", "GAME1"}},
      {"overwriting in one step gives the same bytes",
       {{"GAME1", 'A'}, {"GAME2", 'B'}, {"GAME1", 'C', true}},
       {{"GAME2", {test::PadWithButton('B')}}, {"GAME1", {test::PadWithButton('C')}}},
       {"GAME2", "GAME1"}},
      {"overwriting a record holding 0x0A",
       {{"LF", '\n'}, {"NEXT", 'B'}, {"LF", 'C', true}},
       {{"NEXT", {test::PadWithButton('B')}}, {"LF", {test::PadWithButton('C')}}},
       {"NEXT", "LF"}},
      {"overwriting a profile not saved yet appends it",
       {{"GAME1", 'A'}, {"NEW", 'N', true}},
       {{"GAME1", {test::PadWithButton('A')}}, {"NEW", {test::PadWithButton('N')}}},
       {"GAME1", "NEW"}},
      {"overwriting the only profile",
       {{"GAME1", 'A'}, {"GAME1", 'B', true}},
       {{"GAME1", {test::PadWithButton('B')}}},
       {"GAME1"}},
      {"overwriting into a new key file",
       {{"GAME1", 'A', true}},
       {{"GAME1", {test::PadWithButton('A')}}},
       {"GAME1"}},
      {"deleting the first of three",
       {{"ONE", 'A'}, {"TWO", 'B'}, {"THREE", 'C'}, {"ONE", 0}},
       {{"TWO", {test::PadWithButton('B')}}, {"THREE", {test::PadWithButton('C')}}},
       {"TWO", "THREE"}},
      {"deleting the middle of three",
       {{"ONE", 'A'}, {"TWO", 'B'}, {"THREE", 'C'}, {"TWO", 0}},
       {{"ONE", {test::PadWithButton('A')}}, {"THREE", {test::PadWithButton('C')}}},
       {"ONE", "THREE"}},
      {"deleting the last of three",
       {{"ONE", 'A'}, {"TWO", 'B'}, {"THREE", 'C'}, {"THREE", 0}},
       {{"ONE", {test::PadWithButton('A')}}, {"TWO", {test::PadWithButton('B')}}},
       {"ONE", "TWO"}},
      {"deleting the only profile removes the file", {{"GAME1", 'A'}, {"GAME1", 0}}, {}, {}},
      {"a 10-character name",
       {{"ABCDEFGHIJ", 'A'}},
       {{"ABCDEFGHIJ", {test::PadWithButton('A')}}},
       {"ABCDEFGHIJ"}},
      {"names differing in case are two profiles",
       {{"game1", 'A'}, {"GAME1", 'B'}, {"game1", 0}},
       {{"GAME1", {test::PadWithButton('B')}}},
       {"GAME1"}},
      {"a record holding 0x0A bytes, deleted before another",
       {{"LF", '\n'}, {"NEXT", 'B'}, {"LF", 0}},
       {{"NEXT", {test::PadWithButton('B')}}},
       {"NEXT"}},
      {"a record after one holding 0x0A, deleted",
       {{"LF", '\n'}, {"NEXT", 'B'}, {"NEXT", 0}},
       {{"LF", {test::PadWithButton('\n')}}},
       {"LF"}},
  };
  for (const auto& c : cases) {
    std::remove(KeyPath().c_str());
    Reset();
    for (const Step& step : c.steps) {
      if (step.vk == 0) {
        EXPECT_TRUE(m_store->DeleteProfile("DOOM.EXE", step.name)) << c.what;
        continue;
      }
      m_store->Table(0) = test::ToTable(test::PadWithButton(step.vk));
      const uint8_t position = step.overwrite ? m_store->OverwriteProfile("DOOM.EXE", step.name)
                                              : m_store->AppendProfile("DOOM.EXE", step.name);
      EXPECT_NE(position, kNoPosition) << c.what;
    }
    if (c.file.empty()) {
      EXPECT_FALSE(test::FileExists(KeyPath())) << c.what;
    } else {
      EXPECT_EQ(test::ReadFileBytes(KeyPath()), test::KeyFileBytes(c.file)) << c.what;
    }
    EXPECT_EQ(ListedProfiles(), c.listed) << c.what;
    EXPECT_TRUE(m_prompts.messages.empty()) << c.what;
    EXPECT_FALSE(test::FileExists(m_folder / "kbMap.TMP")) << c.what;
  }
}

TEST_F(ProfileStoreTest, NameIsRightAlignedIn255Characters) {
  ASSERT_EQ(m_store->AppendProfile("DOOM.EXE", "ABCDEFGHIJ"), 0);
  Bytes bytes = test::ReadFileBytes(KeyPath());
  ASSERT_GE(bytes.size(), 40u + 267u);
  EXPECT_EQ(bytes.substr(40, 9), "[PROFILE]");
  EXPECT_EQ(bytes.substr(49, 245), Bytes(245, ' '));
  EXPECT_EQ(bytes.substr(294, 10), "ABCDEFGHIJ");
  EXPECT_EQ(bytes.substr(304, 3), Bytes("\0\1\0", 3)) << "0, one pad block, 0";
}

TEST_F(ProfileStoreTest, AStoredLineFeedRoundTrips) {
  // A key count of 10 and the flags 0x0A (left Alt + left Ctrl) are both
  // stored as CR LF; loading reads them back, and the record after it too.
  TestPad pad = test::DefaultPad(14);
  pad[5] = {kModeTap, std::vector<std::pair<uint8_t, uint8_t>>(10, {0x0A, 'X'})};
  m_store->Table(0) = test::ToTable(pad);
  ASSERT_EQ(m_store->AppendProfile("DOOM.EXE", "TEN"), 0);
  m_store->Table(0) = test::ToTable(test::PadWithButton('B'));
  ASSERT_EQ(m_store->AppendProfile("DOOM.EXE", "AFTER"), 1);
  EXPECT_EQ(test::ReadFileBytes(KeyPath()),
            test::KeyFileBytes({{"TEN", {pad}}, {"AFTER", {test::PadWithButton('B')}}}));

  FreeKeyTable(m_store->Table(0));
  EXPECT_EQ(m_store->LoadProfile("DOOM.EXE", "TEN"), LoadResult::kLoaded);
  EXPECT_EQ(m_store->Table(0), test::ToTable(pad));
  EXPECT_EQ(m_store->LoadProfile("DOOM.EXE", "AFTER"), LoadResult::kLoaded);
  EXPECT_EQ(m_store->Table(0), test::ToTable(test::PadWithButton('B')));
}

TEST_F(ProfileStoreTest, SavesEveryAttachedPadInSlotOrder) {
  m_store->SetPadCount(3);
  m_store->Table(0) = test::ToTable(test::PadWithButton('A'));
  m_store->Table(1) = test::ToTable(test::PadWithButton('B', 16));
  m_store->Table(2) = test::ToTable(test::PadWithButton('C'));
  m_store->Table(3) = test::ToTable(test::PadWithButton('D'));
  ASSERT_EQ(m_store->AppendProfile("DOOM.EXE", "GAME1"), 0);
  EXPECT_EQ(test::ReadFileBytes(KeyPath()),
            test::KeyFileBytes({{"GAME1",
                                 {test::PadWithButton('A'), test::PadWithButton('B', 16),
                                  test::PadWithButton('C')}}}));
}

TEST_F(ProfileStoreTest, AppendRefusals) {
  ASSERT_EQ(m_store->AppendProfile("DOOM.EXE", "GAME1"), 0);
  const Bytes before = test::ReadFileBytes(KeyPath());
  m_prompts.messages.clear();

  EXPECT_EQ(m_store->AppendProfile("DOOM.EXE", "GAME1"), kNoPosition);
  EXPECT_EQ(m_prompts.messages, (std::vector<uint32_t>{61229}));
  EXPECT_EQ(test::ReadFileBytes(KeyPath()), before);

  EXPECT_EQ(m_store->AppendProfile("ZORK.EXE", "GAME1"), kNoPosition) << "game not listed";
  EXPECT_FALSE(test::FileExists(m_folder / "ZORK.key"));
  EXPECT_EQ(m_store->AppendProfile("DOOM.EXE", "bad\nname"), kNoPosition);
  EXPECT_EQ(test::ReadFileBytes(KeyPath()), before);
  EXPECT_EQ(ListedProfiles(), (std::vector<std::string>{"GAME1"}));
}

TEST_F(ProfileStoreTest, LoadsIntoTheSlotsTheRecordHolds) {
  const TestPad twoKeys = test::PadWithButton('Q');
  const TestPad sixteen = test::PadWithButton('W', 16);
  struct Expect {
    int slot;
    PadKeyTable table;
  };
  const PadKeyTable untouched = test::ToTable(test::DefaultPad(14));
  const struct {
    const char* what;
    Bytes file;
    std::string profile;
    std::array<uint8_t, 2> buttons;
    LoadResult result;
    std::array<PadKeyTable, 2> tables;
  } cases[] = {
      {"one block with two pads attached changes slot 0 only",
       test::KeyFileBytes({{"GAME1", {twoKeys}}}),
       "GAME1",
       {10, 10},
       LoadResult::kLoaded,
       {test::ToTable(twoKeys), untouched}},
      {"14 entries into a 12-button slot gain 14 and 15 unassigned",
       test::KeyFileBytes({{"GAME1", {twoKeys, twoKeys}}}),
       "GAME1",
       {12, 12},
       LoadResult::kLoaded,
       {test::ToTable([&] {
          TestPad p = twoKeys;
          p.resize(16);
          return p;
        }()),
        test::ToTable([&] {
          TestPad p = twoKeys;
          p.resize(16);
          return p;
        }())}},
      {"16 entries into a 10-button slot are all kept",
       test::KeyFileBytes({{"GAME1", {sixteen}}}),
       "GAME1",
       {10, 10},
       LoadResult::kLoaded,
       {test::ToTable(sixteen), untouched}},
      {"the second record",
       test::KeyFileBytes({{"A", {twoKeys}}, {"B", {sixteen, twoKeys}}}),
       "B",
       {10, 10},
       LoadResult::kLoaded,
       {test::ToTable(sixteen), test::ToTable(twoKeys)}},
      {"a name differing in case is not found",
       test::KeyFileBytes({{"GAME1", {twoKeys}}}),
       "game1",
       {10, 10},
       LoadResult::kNotFound,
       {untouched, untouched}},
      {"a 0x1A byte inside an earlier record is data",
       test::KeyFileBytes({{"A", {test::PadWithButton(0x1A)}}, {"B", {twoKeys}}}),
       "B",
       {10, 10},
       LoadResult::kLoaded,
       {test::ToTable(twoKeys), untouched}},
      {"the scan finds the tag again after a wrong length",
       [&] {
         Bytes a = test::RecordBytes("A", {sixteen});
         // Nine bytes short: the scan lands inside the record's last entries
         // and steps on to the next tag.
         a[268] = static_cast<char>(a[268] - 9);
         return test::HeaderBytes() + a + test::RecordBytes("B", {twoKeys});
       }(),
       "B",
       {10, 10},
       LoadResult::kLoaded,
       {test::ToTable(twoKeys), untouched}},
  };
  for (const auto& c : cases) {
    Reset();
    m_store->SetPadCount(2);
    m_store->SetPadButtons(0, c.buttons[0]);
    m_store->SetPadButtons(1, c.buttons[1]);
    test::WriteFileBytes(KeyPath(), c.file);
    EXPECT_EQ(m_store->LoadProfile("DOOM.EXE", c.profile), c.result) << c.what;
    EXPECT_EQ(m_store->Table(0), c.tables[0]) << c.what;
    EXPECT_EQ(m_store->Table(1), c.tables[1]) << c.what;
    EXPECT_EQ(m_store->Table(2), untouched) << c.what;
    EXPECT_TRUE(m_prompts.messages.empty()) << c.what;
  }
}

TEST_F(ProfileStoreTest, LoadingFromAMissingFileShowsAMessage) {
  EXPECT_EQ(m_store->LoadProfile("DOOM.EXE", "GAME1"), LoadResult::kCannotOpen);
  EXPECT_EQ(m_prompts.messages, (std::vector<uint32_t>{61238}));
  EXPECT_EQ(m_store->Table(0), test::ToTable(test::DefaultPad(14)));
}

// Malformed records: nothing beyond four slots or 33 strokes is written,
// every table stays complete, no message.
TEST_F(ProfileStoreTest, DamagedRecordsLeaveCompleteTables) {
  const TestPad keys = test::PadWithButton('Q');
  const Bytes good = test::RecordBytes("GAME1", {keys, keys});
  const size_t firstBlock = 369;                 // S of slot 0 at record offset 369
  const size_t entry5 = firstBlock + 3 + 5 * 4;  // entries 0..4 hold one stroke each
  ASSERT_EQ(static_cast<uint8_t>(good[entry5]), kModeUnassigned) << "fixture layout";
  const PadKeyTable keysTable = test::ToTable(keys);
  const PadKeyTable defaults = test::ToTable(test::DefaultPad(14));
  // Slot 0 after a fault at entry 5: entries 0..4 as read, the rest unassigned.
  const PadKeyTable cut = [&] {
    TestPad p = keys;
    for (size_t i = 5; i < p.size(); ++i) p[i] = TestEntry{};
    return test::ToTable(p);
  }();
  constexpr size_t kWhole = SIZE_MAX;
  const struct {
    const char* what;
    std::vector<std::pair<size_t, uint8_t>> bytes;  // record offsets changed
    size_t keep;                                    // record bytes kept
    PadKeyTable slot0;
    PadKeyTable slot1;
  } cases[] = {
      {"five pad blocks", {{265, 5}}, kWhole, defaults, defaults},
      {"255 pad blocks", {{265, 255}}, kWhole, defaults, defaults},
      {"a key count of 34", {{entry5 + 1, 34}}, kWhole, cut, defaults},
      {"40 entries in a block",
       {{firstBlock + 2, 40}},
       kWhole,
       test::ToTable(test::EmptyPad(14)),
       defaults},
      {"data ending inside the first block", {}, entry5 + 1, cut, defaults},
      {"data ending inside a stroke", {{entry5 + 1, 3}}, entry5 + 2 + 3, cut, defaults},
      {"data ending inside the second block",
       {},
       good.size() - 10,
       keysTable,
       [&] {
         // The last entries of slot 1 are cut off; 14 entries remain in all.
         PadKeyTable t = keysTable;
         t.entries[12] = KeyEntry{12, kModeUnassigned, {}};
         t.entries[13] = KeyEntry{13, kModeUnassigned, {}};
         return t;
       }()},
      {"data ending in the reserved area", {}, 300, defaults, defaults},
  };
  for (const auto& c : cases) {
    Reset();
    m_store->SetPadCount(2);
    Bytes damaged = good.substr(0, c.keep);
    for (auto [offset, value] : c.bytes) damaged[offset] = static_cast<char>(value);
    test::WriteFileBytes(KeyPath(), test::HeaderBytes() + test::Stored(damaged));
    EXPECT_NE(m_store->LoadProfile("DOOM.EXE", "GAME1"), LoadResult::kLoaded) << c.what;
    EXPECT_EQ(m_store->Table(0), c.slot0) << c.what;
    EXPECT_EQ(m_store->Table(1), c.slot1) << c.what;
    for (int slot = 0; slot < kPadSlots; ++slot) {
      const PadKeyTable& t = m_store->Table(slot);
      ASSERT_GE(t.entries.size(), 14u) << c.what;
      for (size_t i = 0; i < t.entries.size(); ++i) {
        EXPECT_EQ(t.entries[i].index, i) << c.what;
        EXPECT_LE(t.entries[i].keys.size(), 33u) << c.what;
      }
    }
    EXPECT_TRUE(m_prompts.messages.empty()) << c.what;
  }
}

TEST_F(ProfileStoreTest, DeleteWithoutARecordChangesNoByte) {
  const Bytes file = test::KeyFileBytes(
      {{"GAME1", {test::PadWithButton('A')}}, {"GAME2", {test::PadWithButton('B')}}});
  test::WriteFileBytes(KeyPath(), file);
  m_games.AddProfileToGame("DOOM.EXE", "GAME3", 0);
  EXPECT_TRUE(m_store->DeleteProfile("DOOM.EXE", "GAME3"));
  EXPECT_EQ(test::ReadFileBytes(KeyPath()), file);
  EXPECT_TRUE(ListedProfiles().empty()) << "the list entry goes";

  std::remove(KeyPath().c_str());
  m_games.AddProfileToGame("DOOM.EXE", "GAME1", 1);
  EXPECT_TRUE(m_store->DeleteProfile("DOOM.EXE", "GAME1")) << "a missing key file is no error";
  EXPECT_TRUE(ListedProfiles().empty());
  EXPECT_TRUE(m_prompts.messages.empty());
}

TEST_F(ProfileStoreTest, DeleteLeavesADamagedFileAlone) {
  // A length reaching into the next record would cut that profile off.
  Bytes a = test::RecordBytes("GAME1", {test::PadWithButton('A')});
  a[268] = static_cast<char>(a[268] + 20);
  const Bytes file =
      test::HeaderBytes() + a + test::RecordBytes("GAME2", {test::PadWithButton('B')});
  test::WriteFileBytes(KeyPath(), file);
  m_games.AddProfileToGame("DOOM.EXE", "GAME1", 0);
  EXPECT_FALSE(m_store->DeleteProfile("DOOM.EXE", "GAME1"));
  EXPECT_EQ(m_store->OverwriteProfile("DOOM.EXE", "GAME1"), kNoPosition);
  EXPECT_EQ(m_prompts.messages, (std::vector<uint32_t>{61236, 61236}));
  EXPECT_EQ(test::ReadFileBytes(KeyPath()), file);
  EXPECT_EQ(ListedProfiles(), (std::vector<std::string>{"GAME1"}));
  EXPECT_FALSE(test::FileExists(m_folder / "kbMap.TMP"));
}

TEST_F(ProfileStoreTest, DeleteWithAnUnreadableFileChangesNothing) {
  const Bytes file = test::KeyFileBytes({{"GAME1", {test::PadWithButton('A')}}});
  test::WriteFileBytes(KeyPath(), file);
  m_games.AddProfileToGame("DOOM.EXE", "GAME1", 0);
  test::FaultyFileSystem faulty;
  faulty.FailOpen(KeyPath());
  ProfileStore store(faulty, m_prompts, m_games, m_folder.Path());
  EXPECT_FALSE(store.DeleteProfile("DOOM.EXE", "GAME1"));
  EXPECT_EQ(m_prompts.messages, (std::vector<uint32_t>{61236}));
  EXPECT_EQ(test::ReadFileBytes(KeyPath()), file);
  EXPECT_EQ(ListedProfiles(), (std::vector<std::string>{"GAME1"}));
}

TEST_F(ProfileStoreTest, GetKeyEntryReadsTheCurrentPad) {
  m_store->Table(1) = test::ToTable(test::PadWithButton('Z'));
  KeySequence s;
  uint8_t mode = 0;
  ASSERT_TRUE(m_store->GetKeyEntry(4, s, mode));
  EXPECT_EQ(mode, kModeUnassigned) << "pad 0 is current";
  m_store->SetCurrentPad(1);
  ASSERT_TRUE(m_store->GetKeyEntry(4, s, mode));
  EXPECT_EQ(mode, kModeTap);
  EXPECT_EQ(s.count, 1);
  EXPECT_EQ(s.flags[0], 0x08);
  EXPECT_EQ(s.code[0], 'Z');
  EXPECT_FALSE(m_store->GetKeyEntry(20, s, mode));
}

TEST(ProfileStorePaths, WorkFolderAndPaths) {
  EXPECT_EQ(ProgramWorkFolder("C:\\Program Files\\GamePad\\KLOOM.EXE"),
            "C:\\Program Files\\GamePad\\KEYFILES\\");
  EXPECT_EQ(ProgramWorkFolder("KLOOM.EXE"), "KEYFILES\\");
  HostFileSystem fs;
  test::RecordingPrompts prompts;
  GameList games;
  EXPECT_EQ(ProfileStore(fs, prompts, games, "/tmp/k").KeyFilePath("DOOM.EXE"), "/tmp/k/DOOM.key");
  EXPECT_EQ(ProfileStore(fs, prompts, games, "C:\\G\\KEYFILES\\").BuildWorkPath("kbMap.TMP"),
            "C:\\G\\KEYFILES\\kbMap.TMP");
}

// Every failing write, flush, close, rename or remove during a save or a
// delete leaves the old key file and list, or the new ones.
TEST_F(ProfileStoreTest, EveryFailedStepKeepsTheOldOrTheNewState) {
  using Step = test::FaultyFileSystem::Step;
  const Bytes two = test::KeyFileBytes(
      {{"GAME1", {test::PadWithButton('A')}}, {"GAME2", {test::PadWithButton('B')}}});
  struct Operation {
    const char* what;
    Bytes before;
    std::vector<std::string> listedBefore;
    std::function<bool(ProfileStore&)> run;
    Bytes after;  // empty: no file
    std::vector<std::string> listedAfter;
  };
  const Operation operations[] = {
      {"first save",
       "",
       {},
       [](ProfileStore& s) { return s.AppendProfile("DOOM.EXE", "NEW") == 0; },
       test::KeyFileBytes({{"NEW", {test::PadWithButton('N')}}}),
       {"NEW"}},
      {"later save",
       two,
       {"GAME1", "GAME2"},
       [](ProfileStore& s) { return s.AppendProfile("DOOM.EXE", "NEW") == 2; },
       two + test::Stored(test::RecordBytes("NEW", {test::PadWithButton('N')})),
       {"GAME1", "GAME2", "NEW"}},
      {"overwrite",
       two,
       {"GAME1", "GAME2"},
       [](ProfileStore& s) { return s.OverwriteProfile("DOOM.EXE", "GAME1") == 1; },
       test::KeyFileBytes(
           {{"GAME2", {test::PadWithButton('B')}}, {"GAME1", {test::PadWithButton('N')}}}),
       {"GAME2", "GAME1"}},
      {"delete",
       two,
       {"GAME1", "GAME2"},
       [](ProfileStore& s) { return s.DeleteProfile("DOOM.EXE", "GAME1"); },
       test::KeyFileBytes({{"GAME2", {test::PadWithButton('B')}}}),
       {"GAME2"}},
      {"delete the last",
       test::KeyFileBytes({{"GAME1", {test::PadWithButton('A')}}}),
       {"GAME1"},
       [](ProfileStore& s) { return s.DeleteProfile("DOOM.EXE", "GAME1"); },
       "",
       {}},
  };
  for (const Operation& op : operations) {
    for (Step step : {Step::kWrite, Step::kFlush, Step::kClose, Step::kRename, Step::kRemove}) {
      for (int k = 1;; ++k) {
        Reset();
        std::remove(KeyPath().c_str());
        if (!op.before.empty()) test::WriteFileBytes(KeyPath(), op.before);
        for (const std::string& name : op.listedBefore)
          m_games.AddProfileToGame("DOOM.EXE", name, 0);
        test::FaultyFileSystem faulty;
        faulty.FailAt(step, k);
        ProfileStore store(faulty, m_prompts, m_games, m_folder.Path());
        store.SetPadCount(1);
        store.Table(0) = test::ToTable(test::PadWithButton('N'));
        const bool ok = op.run(store);
        const std::string label = std::string(op.what) + " step " +
                                  std::to_string(static_cast<int>(step)) + " k " +
                                  std::to_string(k);
        const bool exists = test::FileExists(KeyPath());
        const Bytes now = exists ? test::ReadFileBytes(KeyPath()) : Bytes();
        if (ok) {
          EXPECT_EQ(now, op.after) << label;
          EXPECT_EQ(exists, !op.after.empty()) << label;
          EXPECT_EQ(ListedProfiles(), op.listedAfter) << label;
        } else {
          EXPECT_TRUE(faulty.Failed()) << label << ": failed without a fault";
          EXPECT_EQ(now, op.before) << label;
          EXPECT_EQ(exists, !op.before.empty()) << label;
          EXPECT_EQ(ListedProfiles(), op.listedBefore) << label;
          EXPECT_FALSE(m_prompts.messages.empty()) << label << ": failure not shown";
        }
        EXPECT_FALSE(test::FileExists(m_folder / "kbMap.TMP")) << label;
        if (!faulty.Failed()) break;  // k is past the last step of this kind
      }
    }
  }
}

}  // namespace
}  // namespace kl

namespace kl {
namespace {

// Random damage to real files: every reader stops inside its bounds, every
// table stays complete, and a delete either keeps the file or removes
// exactly one record.
TEST_F(ProfileStoreTest, GarbageNeverBreaksTheReaders) {
  std::mt19937 random(777);
  const Bytes good = test::KeyFileBytes(
      {{"GAME1", {test::PadWithButton('\n')}}, {"GAME2", {test::PadWithButton('B')}}});
  const char specials[] = {'\r', '\n', '\x1A', '\0', '\x01', ' ', '[', '\xFF'};
  for (int round = 0; round < 300; ++round) {
    Bytes bytes = good.substr(0, random() % (good.size() + 1));
    const size_t changes = random() % 12;
    for (size_t i = 0; i < changes && !bytes.empty(); ++i) {
      bytes[random() % bytes.size()] =
          random() % 2 ? static_cast<char>(random()) : specials[random() % 8];
    }
    if (round % 3 == 0) bytes += good.substr(40 + random() % (good.size() - 40));
    Reset();
    m_store->SetPadCount(2);
    m_store->SetPadButtons(1, 12);
    FreeKeyTable(m_store->Table(1));
    m_store->MakeDefaultTable(1, true, false);
    test::WriteFileBytes(KeyPath(), bytes);
    for (const char* name : {"GAME1", "GAME2"}) {
      m_store->LoadProfile("DOOM.EXE", name);
      for (int slot = 0; slot < kPadSlots; ++slot) {
        const PadKeyTable& t = m_store->Table(slot);
        ASSERT_GE(t.entries.size(), m_store->PadButtons(slot) + 4u) << round;
        for (size_t i = 0; i < t.entries.size(); ++i) {
          ASSERT_EQ(t.entries[i].index, i) << round;
          ASSERT_LE(t.entries[i].keys.size(), 33u) << round;
        }
      }
    }
    m_games.AddProfileToGame("DOOM.EXE", "GAME1", 0);
    const bool deleted = m_store->DeleteProfile("DOOM.EXE", "GAME1");
    const bool exists = test::FileExists(KeyPath());
    const Bytes after = exists ? test::ReadFileBytes(KeyPath()) : Bytes();
    if (!deleted) {
      EXPECT_EQ(after, bytes) << round;
    } else if (exists) {
      EXPECT_LE(after.size(), bytes.size()) << round;
      // What is left is the old file with one stretch taken out.
      size_t head = 0;
      while (head < after.size() && after[head] == bytes[head]) ++head;
      EXPECT_EQ(after.substr(head), bytes.substr(bytes.size() - (after.size() - head))) << round;
    }
    EXPECT_FALSE(test::FileExists(m_folder / "kbMap.TMP")) << round;
  }
}

}  // namespace
}  // namespace kl
