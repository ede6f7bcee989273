#include "profile/keyfile.h"

#include <gtest/gtest.h>

#include "file_fixtures.h"
#include "key_bytes.h"

namespace kl {
namespace {

using test::Bytes;
using test::TestPad;

std::vector<uint8_t> Indexes(const PadKeyTable& table) {
  std::vector<uint8_t> indexes;
  for (const KeyEntry& e : table.entries) indexes.push_back(e.index);
  return indexes;
}

std::vector<uint8_t> Range(int count) {
  std::vector<uint8_t> r;
  for (int i = 0; i < count; ++i) r.push_back(static_cast<uint8_t>(i));
  return r;
}

KeySequence Sequence(std::vector<std::pair<uint8_t, uint16_t>> strokes) {
  KeySequence s;
  for (auto [flags, code] : strokes) {
    s.flags[s.count] = flags;
    s.code[s.count] = code;
    ++s.count;
  }
  return s;
}

TEST(KeyTable, DefaultTables) {
  const struct {
    bool twelve;
    bool empty;
    TestPad expected;
  } cases[] = {
      {false, false, test::DefaultPad(14)},
      {true, false, test::DefaultPad(16)},
      {false, true, test::EmptyPad(14)},
      {true, true, test::EmptyPad(16)},
  };
  for (const auto& c : cases) {
    PadKeyTable table;
    MakeDefaultTable(table, c.twelve, c.empty);
    EXPECT_EQ(table, test::ToTable(c.expected)) << c.twelve << c.empty;
  }
}

TEST(KeyTable, InsertKeepsIndexOrderAndRefusesDuplicates) {
  PadKeyTable table;
  for (uint8_t index : {5, 0, 31, 2}) EXPECT_TRUE(InsertKeyEntry(table, index, 1, nullptr));
  EXPECT_EQ(Indexes(table), (std::vector<uint8_t>{0, 2, 5, 31}));

  KeySequence ctrlC = Sequence({{0x08, 0x43}});
  EXPECT_FALSE(InsertKeyEntry(table, 2, 0, &ctrlC)) << "index 2 is present";
  EXPECT_EQ(table.Find(2)->mode, 1) << "the entry present is left alone";
  EXPECT_TRUE(table.Find(2)->keys.empty());
  EXPECT_FALSE(InsertKeyEntry(table, 32, 0, nullptr)) << "a pad has 32 inputs";
  EXPECT_EQ(Indexes(table), (std::vector<uint8_t>{0, 2, 5, 31}));

  EXPECT_TRUE(RemoveKeyEntry(table, 5));
  EXPECT_FALSE(RemoveKeyEntry(table, 5));
  EXPECT_EQ(Indexes(table), (std::vector<uint8_t>{0, 2, 31}));
  FreeKeyTable(table);
  EXPECT_TRUE(table.entries.empty());
}

TEST(KeyTable, InsertCopiesStrokesInOrderAndAtMost33) {
  PadKeyTable table;
  KeySequence s = Sequence({{0x08, 0x43}, {0, 0xFF}, {0x80, 4}});
  ASSERT_TRUE(InsertKeyEntry(table, 4, kModeTap, &s));
  EXPECT_EQ(table.Find(4)->keys, (std::vector<KeyStroke>{{0x08, 0x43}, {0, 0xFF}, {0x80, 4}}));

  KeySequence tooMany;
  tooMany.count = 200;  // a damaged count never reads past the 33 strokes
  for (int i = 0; i < kMaxStrokes; ++i) tooMany.code[i] = static_cast<uint16_t>(0x41 + i % 26);
  ASSERT_TRUE(InsertKeyEntry(table, 5, kModeHold, &tooMany));
  EXPECT_EQ(table.Find(5)->keys.size(), 33u);

  KeySequence back;
  EntryToSequence(*table.Find(4), back);
  EXPECT_EQ(back.count, 3);
  EXPECT_EQ(back.code[0], 0x43);
  EXPECT_EQ(back.flags[0], 0x08);
  EXPECT_EQ(back.code[3], 0) << "the rest of the sequence is zeroed";
}

TEST(KeyTable, CopyToAPadOfAnotherSize) {
  PadKeyTable ten = test::ToTable(test::DefaultPad(14));
  PadKeyTable twelve = test::ToTable(test::DefaultPad(16));
  twelve.entries[15].mode = kModeTap;
  const struct {
    const char* what;
    const PadKeyTable* source;
    uint8_t buttons;
    size_t size;
  } cases[] = {
      {"10 to 10", &ten, 10, 14},
      {"10 to 12 adds 14 and 15", &ten, 12, 16},
      {"12 to 10 drops 14 and 15", &twelve, 10, 14},
      {"12 to 12", &twelve, 12, 16},
  };
  for (const auto& c : cases) {
    PadKeyTable target;
    CopyKeyTable(*c.source, target, c.buttons);
    ASSERT_EQ(Indexes(target), Range(static_cast<int>(c.size))) << c.what;
    for (const KeyEntry& e : target.entries) {
      const KeyEntry* from = c.source->Find(e.index);
      if (from) {
        EXPECT_EQ(e, *from) << c.what << " entry " << int(e.index);
      } else {
        EXPECT_EQ(e.mode, kModeUnassigned) << c.what;
        EXPECT_TRUE(e.keys.empty()) << c.what;
      }
    }
  }
}

TEST(KeyTable, BlockSize) {
  PadKeyTable gap;
  KeySequence two = Sequence({{0, 0x41}, {0, 0x42}});
  InsertKeyEntry(gap, 0, 0, &two);
  InsertKeyEntry(gap, 2, 0, nullptr);
  const struct {
    const char* what;
    PadKeyTable table;
    uint16_t size;
  } cases[] = {
      {"empty", PadKeyTable{}, 3},
      {"default of 14", test::ToTable(test::DefaultPad(14)), 3 + 14 * 2 + 6 * 2},
      {"default of 16", test::ToTable(test::DefaultPad(16)), 3 + 16 * 2 + 6 * 2},
      {"a missing index is stored unassigned", gap, 3 + 3 * 2 + 2 * 2},
  };
  for (const auto& c : cases) EXPECT_EQ(BlockSize(c.table), c.size) << c.what;
}

TEST(KeyFileNames, KeyFileNameAndValidNames) {
  EXPECT_EQ(KeyFileNameFor("DOOM.EXE"), "DOOM.key");
  EXPECT_EQ(KeyFileNameFor("A B.COM"), "A B.key");

  const struct {
    std::string name;
    bool valid;
  } games[] = {
      {"DOOM.EXE", true},
      {"A.EXE", true},
      {"MY GAME.EXE", true},
      {"A.B.EXE", true},
      {".EXE", false},
      {"DOOM", false},
      {"DOOM.EX", false},
      {"DOOM.EXEC", false},
      {"DOOM.E E", false},
      {" DOOM.EXE", false},
      {"MY  GAME.EXE", false},
      {"C:\\DOOM.EXE", false},
      {"GAMES/DOOM.EXE", false},
      {"DO\nOM.EXE", false},
      {"", false},
      {std::string(251, 'A') + ".EXE", true},
      {std::string(252, 'A') + ".EXE", false},
  };
  for (const auto& g : games) EXPECT_EQ(IsValidGameName(g.name), g.valid) << g.name;

  const struct {
    std::string name;
    bool valid;
  } profiles[] = {
      {"GAME1", true},
      {"two words", true},
      {"a  b", true},
      {"", false},
      {" lead", false},
      {"trail ", false},
      {"new\nline", false},
      {"fl\x01g", false},
      {std::string(254, 'x'), true},
      {std::string(255, 'x'), false},
  };
  for (const auto& p : profiles) EXPECT_EQ(IsValidProfileName(p.name), p.valid) << p.name;
}

TEST(KeyFileRecord, WriterStoresTheDocumentedLayout) {
  PadKeyTable gap;
  KeySequence ctrlC = Sequence({{0x08, 0x43}});
  InsertKeyEntry(gap, 0, kModeHold, &ctrlC);
  InsertKeyEntry(gap, 2, kModeTap, nullptr);
  const PadKeyTable ten = test::ToTable(test::DefaultPad(14));
  const struct {
    const char* what;
    std::vector<const PadKeyTable*> tables;
    std::vector<TestPad> expected;
  } cases[] = {
      {"no pads", {}, {}},
      {"one default pad", {&ten}, {test::DefaultPad(14)}},
      {"two pads", {&ten, &ten}, {test::DefaultPad(14), test::DefaultPad(14)}},
      {"a missing index", {&gap}, {{{0, {{0x08, 0x43}}}, {0xFF, {}}, {1, {}}}}},
  };
  for (const auto& c : cases) {
    auto file = std::make_unique<test::MemoryFile>("", 100000);
    test::MemoryFile* raw = file.get();
    {
      TextStream out(std::move(file));
      ASSERT_TRUE(WriteProfileRecord(out, "GAME1", c.tables)) << c.what;
      ASSERT_TRUE(out.Flush());
      raw->Seek(0);
      Bytes stored(20000, '\0');
      stored.resize(raw->Read(stored.data(), stored.size()));
      EXPECT_EQ(stored, test::Stored(test::RecordBytes("GAME1", c.expected))) << c.what;
    }
  }
}

}  // namespace
}  // namespace kl
