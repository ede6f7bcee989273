#include "profile/gamelist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "file_fixtures.h"
#include "key_bytes.h"

namespace kl {
namespace {

using test::Bytes;
using namespace std::string_literals;

struct Game {
  std::string name;
  std::vector<std::pair<std::string, int>> profiles;  // name, active flag
  bool operator==(const Game&) const = default;
};

std::vector<Game> Snapshot(const GameList& list) {
  std::vector<Game> games;
  for (const GameEntry& g : list.Games()) {
    Game game{g.name, {}};
    for (const ProfileEntry& p : g.profiles) game.profiles.emplace_back(p.name, p.active);
    games.push_back(game);
  }
  return games;
}

void PrintTo(const Game& g, std::ostream* os) {
  *os << g.name << " {";
  for (const auto& [name, flag] : g.profiles) *os << " [" << name << "]" << flag;
  *os << " }";
}

class GameListFileTest : public ::testing::Test {
 protected:
  std::string Path() const { return m_folder / "GameList.lst"; }
  std::string Temp() const { return m_folder / "GameList.TMP"; }
  test::TempFolder m_folder;
  HostFileSystem m_fs;
};

TEST_F(GameListFileTest, WritesTheDocumentedLinesAndReadsThemBack) {
  const struct {
    const char* what;
    std::vector<Game> added;  // in the order added
    Bytes file;
    std::vector<Game> listed;
  } cases[] = {
      {"no games", {}, "[GAMELIST]\r\n\r\n[PROFILE]\r\n", {}},
      {"one game without profiles",
       {{"DOOM.EXE", {}}},
       "[GAMELIST]\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1\r\n",
       {{"DOOM.EXE", {}}}},
      {"games sorted, profile lines numbered in list order",
       {{"ZORK.EXE", {{"Z1", 1}}}, {"DOOM.EXE", {}}},
       "[GAMELIST]\r\nDOOM.EXE\r\nZORK.EXE\r\n\r\n[PROFILE]\r\n1\r\n2 \x01Z1\r\n",
       {{"DOOM.EXE", {}}, {"ZORK.EXE", {{"Z1", 1}}}}},
      {"names with spaces and both flags",
       {{"MY GAME.EXE", {{"game1", 1}, {"two words", 0}, {"a b c", 0}}}},
       "[GAMELIST]\r\nMY GAME.EXE\r\n\r\n[PROFILE]\r\n1 \x01game1 \0two words \0a b c\r\n"s,
       {{"MY GAME.EXE", {{"game1", 1}, {"two words", 0}, {"a b c", 0}}}}},
      {"several games",
       {{"C.EXE", {{"X", 0}}}, {"A.EXE", {{"P", 0}, {"Q", 1}}}, {"B.EXE", {}}},
       "[GAMELIST]\r\nA.EXE\r\nB.EXE\r\nC.EXE\r\n\r\n[PROFILE]\r\n1 \0P \x01Q\r\n2\r\n3 \0X\r\n"s,
       {{"A.EXE", {{"P", 0}, {"Q", 1}}}, {"B.EXE", {}}, {"C.EXE", {{"X", 0}}}}},
  };
  for (const auto& c : cases) {
    GameList list;
    for (const Game& g : c.added) {
      list.AddGame(g.name);
      for (const auto& [name, flag] : g.profiles) {
        list.AddProfileToGame(g.name, name, static_cast<uint8_t>(flag));
      }
    }
    ASSERT_TRUE(list.SaveGameList(m_fs, Path(), Temp())) << c.what;
    EXPECT_EQ(test::ReadFileBytes(Path()), c.file) << c.what;
    EXPECT_FALSE(test::FileExists(Temp())) << c.what;

    GameList back;
    back.AddGame("STALE.EXE");
    EXPECT_TRUE(back.LoadGameList(m_fs, Path())) << c.what;
    EXPECT_EQ(Snapshot(back), c.listed) << c.what;
  }
}

TEST_F(GameListFileTest, ReadsWhatItCanOfAnyFile) {
  const std::string longName(300, 'L');
  const struct {
    const char* what;
    Bytes file;
    std::vector<Game> listed;
  } cases[] = {
      {"not a game list", "[PROFILE]\r\n1\r\n", {}},
      {"empty file", "", {}},
      {"the words of a name joined by single spaces",
       "[GAMELIST]\r\nMY   BIG\tGAME.EXE  \r\n",
       {{"MY BIG GAME.EXE", {}}}},
      {"data ending before the profile section",
       "[GAMELIST]\r\nB.EXE\r\nA.EXE",
       {{"A.EXE", {}}, {"B.EXE", {}}}},
      {"data ending inside a profile line",
       "[GAMELIST]\r\nA.EXE\r\n\r\n[PROFILE]\r\n1 \x01one \0tw"s,
       {{"A.EXE", {{"one", 1}, {"tw", 0}}}}},
      {"line numbers 0, past the games and negative are ignored",
       "[GAMELIST]\r\nA.EXE\r\nB.EXE\r\n\r\n[PROFILE]\r\n0 \x01x\r\n9 \x01y\r\n-1 \x01z\r\n"
       "1 \x01p\r\n2 \0q\r\n"s,
       {{"A.EXE", {{"p", 1}}}, {"B.EXE", {{"q", 0}}}}},
      {"a profile line belongs to the n-th name read",
       "[GAMELIST]\r\nZORK.EXE\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1 \x01z\r\n2 \x01"
       "d\r\n",
       {{"DOOM.EXE", {{"d", 1}}}, {"ZORK.EXE", {{"z", 1}}}}},
      {"reading stops after the line of the last game",
       "[GAMELIST]\r\nA.EXE\r\nB.EXE\r\n\r\n[PROFILE]\r\n2 \x01"
       "b\r\n1 \x01"
       "a\r\n",
       {{"A.EXE", {}}, {"B.EXE", {{"b", 1}}}}},
      {"a name listed twice is one game",
       "[GAMELIST]\r\nA.EXE\r\nA.EXE\r\n\r\n[PROFILE]\r\n1 \x01p\r\n2 \x01p \x01q\r\n",
       {{"A.EXE", {{"p", 1}, {"q", 1}}}}},
      {"overlong names are cut, the rest of the word dropped",
       "[GAMELIST]\r\n" + longName + "\r\nB.EXE\r\n\r\n[PROFILE]\r\n1 \x01" + longName + "\r\n",
       {{"B.EXE", {}}, {longName.substr(0, 255), {{longName.substr(0, 254), 1}}}}},
      {"one-letter words and double spaces in a profile name",
       "[GAMELIST]\r\nA.EXE\r\n\r\n[PROFILE]\r\n1 \x01x y  z \x01q r\r\n",
       {{"A.EXE", {{"x y  z", 1}, {"q r", 1}}}}},
      {"a stray byte where a flag belongs starts the name",
       "[GAMELIST]\r\nA.EXE\r\n\r\n[PROFILE]\r\n1 game1\r\n",
       {{"A.EXE", {{"game1", 0}}}}},
      {"a space before the line end",
       "[GAMELIST]\r\nA.EXE\r\nB.EXE\r\n\r\n[PROFILE]\r\n1 \x01"
       "a \r\n2 \r\n",
       {{"A.EXE", {{"a", 1}}}, {"B.EXE", {}}}},
      {"lines ended by LF alone",
       "[GAMELIST]\nA.EXE\n\n[PROFILE]\n1 \x01p\n",
       {{"A.EXE", {{"p", 1}}}}},
      {"0x1A ends the data",
       "[GAMELIST]\r\nA.EXE\r\n\x1A"
       "B.EXE\r\n",
       {{"A.EXE", {}}}},
      {"no number where one belongs",
       "[GAMELIST]\r\nA.EXE\r\n\r\n[PROFILE]\r\nx 1\r\n",
       {{"A.EXE", {}}}},
  };
  for (const auto& c : cases) {
    test::WriteFileBytes(Path(), c.file);
    GameList list;
    EXPECT_TRUE(list.LoadGameList(m_fs, Path())) << c.what;
    EXPECT_EQ(Snapshot(list), c.listed) << c.what;
  }
  GameList list;
  list.AddGame("OLD.EXE");
  EXPECT_FALSE(list.LoadGameList(m_fs, m_folder / "missing.lst"));
  EXPECT_TRUE(list.Games().empty()) << "a missing file gives an empty list";
}

// A name cut at its limit right after a word must not end in the joining
// space: saved as "NAME \r\n", the reader would take the next line's words
// into it, and the profile section with every active flag would be lost.
TEST_F(GameListFileTest, NamesCutAtTheirLimitSaveAndReadBack) {
  const std::string game(254, 'G');
  const std::string profile(253, 'p');
  const struct {
    const char* what;
    Bytes file;
    std::vector<Game> listed;
  } cases[] = {
      {"a game name cut after its first word",
       "[GAMELIST]\r\n" + game + " MORE\r\n\r\n[PROFILE]\r\n1 \x01GAME1\r\n",
       {{game, {{"GAME1", 1}}}}},
      {"a profile name cut after its first word",
       "[GAMELIST]\r\nA.EXE\r\n\r\n[PROFILE]\r\n1 \x01" + profile + " more \0q\r\n"s,
       {{"A.EXE", {{profile, 1}, {"q", 0}}}}},
  };
  for (const auto& c : cases) {
    test::WriteFileBytes(Path(), c.file);
    GameList list;
    ASSERT_TRUE(list.LoadGameList(m_fs, Path())) << c.what;
    EXPECT_EQ(Snapshot(list), c.listed) << c.what;
    ASSERT_TRUE(list.SaveGameList(m_fs, Path(), Temp())) << c.what;
    GameList again;
    ASSERT_TRUE(again.LoadGameList(m_fs, Path())) << c.what;
    EXPECT_EQ(Snapshot(again), c.listed) << c.what;
  }
}

TEST_F(GameListFileTest, AFailedSaveLeavesTheOldFile) {
  using Step = test::FaultyFileSystem::Step;
  const Bytes old = "[GAMELIST]\r\nOLD.EXE\r\n\r\n[PROFILE]\r\n1\r\n";
  GameList list;
  list.AddGame("NEW.EXE");
  for (Step step : {Step::kWrite, Step::kFlush, Step::kClose, Step::kRename}) {
    test::WriteFileBytes(Path(), old);
    test::FaultyFileSystem fs;
    fs.FailAt(step, 1);
    EXPECT_FALSE(list.SaveGameList(fs, Path(), Temp())) << static_cast<int>(step);
    EXPECT_EQ(test::ReadFileBytes(Path()), old);
    EXPECT_FALSE(test::FileExists(Temp()));
  }
}

TEST(GameListOrder, ComparesNamesAsThePlatformSortsThem) {
  const struct {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"ZORK.EXE", "DOOM.EXE", 1},
      {"A_B.EXE", "AB.EXE", -1},
      {"A.EXE", "A1.EXE", -1},
      {"A.EXE", "AB.EXE", -1},
      {"A B.EXE", "A.EXE", -1},
      {"1", "A", -1},
      {"a", "A", -1},
      {"A", "b", -1},
      {"ab", "AB", -1},
      {"aB", "Ab", -1},
      {"CO-OP.EXE", "COOP.EXE", 1},
      {"A-C", "AB", 1},
      {"AB-", "A-B", -1},
      {"-AB", "A-B", 1},
      {"A-B", "A'B", 1},
      {"A--B", "A-B", 1},
      {"Ab-c", "A-bc", -1},
      {"a-b", "A'b", -1},
      {"AB", "A-B-", -1},
      {"A-B'", "A'B-", 1},
      {"A  B", "A B", -1},
      {"A", "A ", -1},
      {"A.EXE", "A.EXE", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareNames(c.a, c.b), c.sign) << c.a << " vs " << c.b;
    EXPECT_EQ(CompareNames(c.b, c.a), -c.sign) << c.b << " vs " << c.a;
  }
  std::vector<std::string> all;
  for (char ch = 0x20; ch < 0x7F; ++ch) all.emplace_back(1, ch);
  std::stable_sort(all.begin(), all.end(), [](const std::string& x, const std::string& y) {
    return CompareNames(x, y) < 0;
  });
  std::string order;
  for (const std::string& s : all) order += s;
  EXPECT_EQ(order,
            "'- !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0123456789aAbBcCdDeEfFgGhHiIjJkKlLmMnNoOpPqQrRsStTu"
            "UvVwWxXyYzZ");
}

TEST(GameListEdit, GamesAndProfiles) {
  GameList list;
  EXPECT_EQ(list.AddGame("ZORK.EXE"), 0);
  EXPECT_EQ(list.AddGame("DOOM.EXE"), 0);
  EXPECT_EQ(list.AddGame("QUAKE.EXE"), 1);
  EXPECT_EQ(list.AddGame("QUAKE.EXE"), 1) << "a listed name is not added twice";
  EXPECT_EQ(list.AddGame("Q_2.EXE"), 1) << "sorted as the platform does, not by byte value";
  EXPECT_TRUE(list.RemoveGame("Q_2.EXE"));
  EXPECT_EQ(list.Games().size(), 3u);
  EXPECT_EQ(list.GameNameAt(2), "ZORK.EXE");
  EXPECT_EQ(list.GameNameAt(3), "");
  EXPECT_TRUE(list.IsGameListed("DOOM.EXE"));
  EXPECT_FALSE(list.IsGameListed("doom.exe")) << "names compare exactly";

  EXPECT_EQ(list.AddProfileToGame("DOOM.EXE", "A", 0), 0);
  EXPECT_EQ(list.AddProfileToGame("DOOM.EXE", "B", 0), 1);
  EXPECT_EQ(list.AddProfileToGame("NOPE.EXE", "A", 0), kNoPosition);
  EXPECT_TRUE(list.GameHasProfile("DOOM.EXE", "B"));
  EXPECT_FALSE(list.GameHasProfile("DOOM.EXE", "b"));

  std::string active = "untouched";
  EXPECT_FALSE(list.GetActiveProfile("DOOM.EXE", active));
  EXPECT_EQ(active, "untouched");
  list.SetProfileActive("DOOM.EXE", "B", 1);
  EXPECT_TRUE(list.GetActiveProfile("DOOM.EXE", active));
  EXPECT_EQ(active, "B");

  EXPECT_TRUE(list.RemoveProfileFromGame("DOOM.EXE", "B"));
  EXPECT_FALSE(list.RemoveProfileFromGame("DOOM.EXE", "B"));
  EXPECT_FALSE(list.RemoveProfileFromGame("NOPE.EXE", "A"));
  EXPECT_TRUE(list.RemoveGame("DOOM.EXE"));
  EXPECT_FALSE(list.RemoveGame("DOOM.EXE"));
  EXPECT_EQ(list.GameNameAt(0), "QUAKE.EXE");
  list.FreeGameList();
  EXPECT_TRUE(list.Games().empty());
}

TEST(GameListEdit, ListsAreLimitedToByteSizedPositions) {
  GameList list;
  for (int i = 0; i < 255; ++i) {
    ASSERT_NE(list.AddGame("G" + std::to_string(1000 + i) + ".EXE"), kNoPosition);
  }
  EXPECT_EQ(list.AddGame("X.EXE"), kNoPosition);
  EXPECT_FALSE(list.IsGameListed("X.EXE"));
  for (int i = 0; i < 255; ++i) list.AddProfileToGame("G1000.EXE", "P" + std::to_string(i), 0);
  EXPECT_EQ(list.AddProfileToGame("G1000.EXE", "LAST", 0), kNoPosition);
}

class FixedStrings : public StringSource {
 public:
  std::string Load(uint32_t id) const override { return "#" + std::to_string(id); }
};

TEST(GameListBrowse, PickedProgramsBecomeGames) {
  const struct {
    const char* what;
    std::optional<std::string> picked;
    uint8_t position;
    std::string name;
    std::vector<uint32_t> messages;
  } cases[] = {
      {"a program in any folder", "C:\\Games\\Id\\doom.exe", 0, "DOOM.EXE", {}},
      {"the same program again", "D:\\Copy\\Doom.Exe", kNoPosition, "", {61228}},
      {"a program sorted after", "/home/me/zork.exe", 1, "ZORK.EXE", {}},
      {"cancelled", std::nullopt, kNoPosition, "", {}},
      {"no extension", "C:\\README", kNoPosition, "", {}},
  };
  GameList list;
  FixedStrings strings;
  for (const auto& c : cases) {
    test::RecordingPrompts prompts;
    prompts.openAnswer = c.picked;
    std::string name;
    EXPECT_EQ(list.BrowseForGame(prompts, strings, name), c.position) << c.what;
    EXPECT_EQ(name, c.name) << c.what;
    EXPECT_EQ(prompts.messages, c.messages) << c.what;
    ASSERT_EQ(prompts.openRequests.size(), 1u);
    EXPECT_EQ(prompts.openRequests[0].filter, "#61249");
    EXPECT_EQ(prompts.openRequests[0].defaultExtension, "exe");
    EXPECT_EQ(prompts.openRequests[0].initialName, "*.exe");
  }
  EXPECT_EQ(Snapshot(list), (std::vector<Game>{{"DOOM.EXE", {}}, {"ZORK.EXE", {}}}));
}

}  // namespace
}  // namespace kl

namespace kl {
namespace {

TEST_F(GameListFileTest, GarbageNeverBreaksTheReader) {
  std::mt19937 random(4242);
  const Bytes good =
      "[GAMELIST]\r\nA.EXE\r\nMY GAME.EXE\r\n\r\n[PROFILE]\r\n1 \x01one \0two words\r\n2 \0x\r\n"s;
  const char specials[] = {'\r', '\n', '\x1A', '\0', '\x01', ' ', '-', '9'};
  for (int round = 0; round < 300; ++round) {
    Bytes bytes = good.substr(0, random() % (good.size() + 1));
    const size_t changes = random() % 10;
    for (size_t i = 0; i < changes && !bytes.empty(); ++i) {
      bytes[random() % bytes.size()] =
          random() % 2 ? static_cast<char>(random()) : specials[random() % 8];
    }
    test::WriteFileBytes(Path(), bytes);
    GameList list;
    list.LoadGameList(m_fs, Path());
    for (size_t i = 0; i < list.Games().size(); ++i) {
      const GameEntry& g = list.Games()[i];
      ASSERT_FALSE(g.name.empty()) << round;
      ASSERT_LE(g.name.size(), 255u) << round;
      if (i > 0) {
        ASSERT_LT(CompareNames(list.Games()[i - 1].name, g.name), 0) << round;
      }
      for (const ProfileEntry& p : g.profiles) ASSERT_LE(p.name.size(), 254u) << round;
    }
  }
}

}  // namespace
}  // namespace kl
