// kltool's file and text commands run as a user runs them: the bytes they
// leave in a key-file folder, what they print, and how they refuse bad input
// without touching anything.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "file_fixtures.h"
#include "key_bytes.h"
#include "kltool_scenario.h"
#include "resources/builtin_strings.h"

namespace kl {
namespace {

using test::Bytes;
using test::TestPad;
using namespace std::string_literals;

struct ToolRun {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? "'\\''"s : std::string(1, c);
  return quoted + "'";
}

class KltoolFiles : public ::testing::Test {
 protected:
  ToolRun Kltool(const std::vector<std::string>& words) {
    std::string command = KLTOOL_PATH;
    for (const std::string& w : words) command += " " + Quote(w);
    command += " 2>" + Quote(m_folder / "stderr.txt");
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = test::ReadFileBytes(m_folder / "stderr.txt");
    std::remove((m_folder / "stderr.txt").c_str());
    return run;
  }
  std::string Dir() const { return m_folder.Path(); }
  Bytes Read(const std::string& name) const { return test::ReadFileBytes(m_folder / name); }
  void Write(const std::string& name, const Bytes& bytes) {
    test::WriteFileBytes(m_folder / name, bytes);
  }
  // Every file of the folder with its bytes.
  std::map<std::string, Bytes> Snapshot() const {
    std::map<std::string, Bytes> files;
    for (const auto& e : std::filesystem::directory_iterator(m_folder.Path())) {
      files[e.path().filename().string()] = test::ReadFileBytes(e.path().string());
    }
    return files;
  }

  test::TempFolder m_folder;
};

const char* const kTables = test::kScenarioTables;
TestPad TablesPad() {
  return test::ScenarioPad();
}
Bytes Record(const std::string& name) {
  return test::ScenarioRecord(name);
}

TEST_F(KltoolFiles, ChangesFilesAsTheEditorDoes) {
  Write("t.json", kTables);
  for (const auto& step :
       test::KltoolScenario(Dir(), m_folder / "t.json", "C:\\Games\\Id\\doom.exe")) {
    const std::string label = step.words[0] + " " + step.words[1] + " " + step.words[3];
    const ToolRun run = Kltool(step.words);
    ASSERT_EQ(run.status, 0) << label << ": " << run.err;
    EXPECT_EQ(run.err, "") << label;
    if (step.keyFile.empty()) {
      EXPECT_FALSE(test::FileExists(m_folder / "DOOM.key")) << label;
    } else {
      EXPECT_EQ(Read("DOOM.key"), step.keyFile) << label;
    }
    EXPECT_EQ(Read("GameList.lst"), step.gameList) << label;
  }
  EXPECT_FALSE(test::FileExists(m_folder / "ZORK.key")) << "game remove deletes the key file";
  EXPECT_FALSE(test::FileExists(m_folder / "kbMap.TMP"));
  EXPECT_FALSE(test::FileExists(m_folder / "GameList.TMP"));
}

TEST_F(KltoolFiles, ShowsKeyFilesAndGameLists) {
  Bytes damaged = test::RecordBytes("CUT", {TablesPad()});
  damaged.resize(damaged.size() - 3);
  Write("DOOM.key", test::HeaderBytes() + Record("GAME1") + test::Stored(damaged));
  Write("GameList.lst",
        "[GAMELIST]\r\nDOOM.EXE\r\nZORK.EXE\r\n\r\n[PROFILE]\r\n1 \x01GAME1 \0two words\r\n2\r\n"s);
  const std::string pad =
      R"({"entries":[{"mode":0,"keys":[[0,38]]},{"mode":0,"keys":[[0,40]]},)"
      R"({"mode":0,"keys":[[0,37]]},{"mode":0,"keys":[[0,39]]},{"mode":1,"keys":[[8,67]]},)"
      R"({"mode":2,"keys":[[0,65],[0,255],[10,66]]},{"mode":4,"keys":[[0,8]]},)"
      R"({"mode":128,"keys":[[128,4]]},{"mode":255,"keys":[]},{"mode":255,"keys":[]},)"
      R"({"mode":255,"keys":[]},{"mode":255,"keys":[]},{"mode":0,"keys":[[0,13]]})";
  const struct {
    std::vector<std::string> words;
    std::string out;
  } cases[] = {
      {{"keyfile", "show", m_folder / "DOOM.key", "--json"},
       R"({"signature":"VORNATEK GAMEPAD","version":"0101","profiles":[{"name":"GAME1","pads":[)" +
           pad + R"(,{"mode":0,"keys":[[0,27]]}]}]},{"name":"CUT","pads":[)" + pad +
           R"(]}],"damaged":true}]})"
           "\n"},
      {{"gamelist", "show", Dir(), "--json"},
       R"({"games":[{"name":"DOOM.EXE","profiles":[{"name":"GAME1","active":true},)"
       R"({"name":"two words","active":false}]},{"name":"ZORK.EXE","profiles":[]}]})"
       "\n"},
      {{"gamelist", "show", Dir()}, "DOOM.EXE\n  GAME1 (active)\n  two words\nZORK.EXE\n"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Kltool(c.words);
    EXPECT_EQ(run.status, 0) << c.words[0] << ": " << run.err;
    EXPECT_EQ(run.out, c.out) << c.words[0];
  }
  const ToolRun text = Kltool({"keyfile", "show", m_folder / "DOOM.key"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(
      text.out.rfind("signature \"VORNATEK GAMEPAD\" version \"0101\"\nprofile \"GAME1\": 1 pad\n"
                     "  pad 0: 14 entries\n    0\thold 00:26\n",
                     0),
      0u)
      << text.out;
  EXPECT_NE(text.out.find("    5\tcycle 00:41 00:ff 0a:42\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("profile \"CUT\": 1 pad (damaged"), std::string::npos) << text.out;
}

TEST_F(KltoolFiles, TextShowsWhatTheEditorShows) {
  Write("DOOM.key",
        test::HeaderBytes() + Record("GAME1") +
            test::Stored(test::RecordBytes("TWO", {TablesPad(), test::DefaultPad(16)})));
  const BuiltinStrings kloom(StringModule::kKloom);
  auto s = [&](uint32_t id) { return kloom.Load(id); };
  ASSERT_FALSE(s(61361).empty()) << "the editor's string table is built in";

  ToolRun run = Kltool({"text", m_folder / "DOOM.key", "GAME1"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string up = "0\t" + s(61290) + "\n";  // VK_UP, code 38
  EXPECT_EQ(run.out.substr(0, up.size()), up);
  EXPECT_NE(run.out.find("4\t" + s(61361) + "+C\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("5\tA," + s(61359) + "+" + s(61361) + "+B\n"), std::string::npos);
  EXPECT_NE(run.out.find("6\t" + s(61382) + "\n"), std::string::npos);
  EXPECT_NE(run.out.find("7\t" + s(61344) + "\n"), std::string::npos);
  EXPECT_NE(run.out.find("8\t" + s(61364) + "\n"), std::string::npos);
  EXPECT_NE(run.out.find("13\t" + s(61283) + "\n"), std::string::npos);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 14);

  run = Kltool({"text", m_folder / "DOOM.key", "TWO", "--pad", "1"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 16) << "one line per entry";
  EXPECT_NE(run.out.find("15\t" + s(61364) + "\n"), std::string::npos);
}

// Every refusal: exit 1, one line on standard error, no file changed.
TEST_F(KltoolFiles, RefusesBadInputWithoutTouchingFiles) {
  Write("DOOM.key", test::HeaderBytes() + Record("GAME1"));
  Write("GameList.lst", "[GAMELIST]\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1 \x01GAME1\r\n");
  const struct {
    const char* json;
    const char* name;
  } tables[] = {
      {"{", "broken.json"},
      {R"({"pad":[]})", "nopads.json"},
      {R"({"pads":[{"entries":[]},{"entries":[]},{"entries":[]},{"entries":[]},{"entries":[]}]})",
       "fivepads.json"},
      {R"({"pads":[{"entries":[{"mode":0,"keys":[[0,256]]}]}]})", "bigvk.json"},
      {R"({"pads":[{"entries":[{"mode":-1}]}]})", "badmode.json"},
      {R"({"pads":[{"entries":[{"mode":"x"}]}]})", "textmode.json"},
      {R"({"pads":[{"entries":[{"mode":0,"keys":[[1]]}]}]})", "halfpair.json"},
      {R"({"pads":[{"entries":[{"mode":1.5}]}]})", "fraction.json"},
  };
  for (const auto& t : tables) Write(t.name, t.json);
  std::string entries33 = R"({"pads":[{"entries":[)";
  for (int i = 0; i < 33; ++i) entries33 += std::string(i ? "," : "") + R"({"mode":255})";
  Write("entries33.json", entries33 + "]}]}");
  std::string keys34 = R"({"pads":[{"entries":[{"mode":0,"keys":[)";
  for (int i = 0; i < 34; ++i) keys34 += std::string(i ? "," : "") + "[0,65]";
  Write("keys34.json", keys34 + "]}]}]}");

  std::vector<std::vector<std::string>> refusals = {
      {"game", "add", Dir(), "README"},
      {"game", "add", Dir(), "doom.exe"},
      {"game", "add", m_folder / "missing", "A.EXE"},
      {"game", "remove", Dir(), "ZORK.EXE"},
      {"game", "rename", Dir(), "DOOM.EXE"},
      {"profile", "delete", Dir(), "DOOM.EXE", "NOPE"},
      {"profile", "activate", Dir(), "DOOM.EXE", "NOPE"},
      {"profile", "save", Dir(), "DOOM.EXE", " lead", m_folder / "broken.json"},
      {"profile", "save", Dir(), "DOOM.EXE", std::string(255, 'x'), m_folder / "t.json"},
      {"profile", "save", Dir(), "DOOM.EXE", "P", m_folder / "missing.json"},
      {"profile", "save", Dir(), "DOOM", "P", m_folder / "entries33.json"},
      {"profile", "save", Dir(), "DOOM.EXE"},
      {"keyfile", "show", m_folder / "missing.key"},
      {"keyfile", "show", m_folder / "DOOM.key", "--xml"},
      {"gamelist", "show", m_folder / "missing"},
      {"text", m_folder / "DOOM.key", "NOPE"},
      {"text", m_folder / "DOOM.key", "GAME1", "--pad", "1"},
      {"text", m_folder / "DOOM.key", "GAME1", "--pad", "9"},
      {"text", m_folder / "DOOM.key", "GAME1", "--pad", "x"},
  };
  for (const auto& t : tables) {
    refusals.push_back({"profile", "save", Dir(), "DOOM.EXE", "P", m_folder / t.name});
  }
  refusals.push_back({"profile", "save", Dir(), "DOOM.EXE", "P", m_folder / "entries33.json"});
  refusals.push_back({"profile", "save", Dir(), "DOOM.EXE", "P", m_folder / "keys34.json"});

  const auto before = Snapshot();
  for (const auto& words : refusals) {
    std::string label;
    for (const std::string& w : words) label += " " + w.substr(0, 40);
    const ToolRun run = Kltool(words);
    EXPECT_EQ(run.status, 1) << label;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << label << ": " << run.err;
    EXPECT_EQ(run.err.rfind("kltool: ", 0), 0u) << label;
    EXPECT_EQ(Snapshot(), before) << label;
  }
  const ToolRun listed = Kltool({"game", "add", Dir(), "doom.exe"});
  EXPECT_EQ(listed.err, "kltool: " + BuiltinStrings(StringModule::kKloom).Load(61228) + "\n");
}

TEST_F(KltoolFiles, SurvivesGarbageFiles) {
  std::mt19937 random(12345);
  for (int round = 0; round < 40; ++round) {
    // Garbage after a real header and record, so the readers get deep.
    Bytes bytes = test::HeaderBytes() + Record("GAME1");
    const size_t cut = random() % bytes.size();
    bytes.resize(cut);
    const size_t extra = random() % 600;
    for (size_t i = 0; i < extra; ++i) {
      // Favour the bytes the readers treat specially.
      const char specials[] = {'\r', '\n', '\x1A', '\0', '\x01', ' ', '[', '\xFF'};
      bytes += random() % 3 ? static_cast<char>(random()) : specials[random() % 8];
    }
    if (round % 4 == 0) bytes.insert(random() % (bytes.size() + 1), "[PROFILE]");
    Write("DOOM.key", bytes);
    Write("GameList.lst", "[GAMELIST]\r\n" + bytes);
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"keyfile", "show", m_folder / "DOOM.key", "--json"},
          {"keyfile", "show", m_folder / "DOOM.key"},
          {"text", m_folder / "DOOM.key", "GAME1"},
          {"gamelist", "show", Dir(), "--json"},
          {"profile", "delete", Dir(), "DOOM.EXE", "GAME1"}}) {
      const ToolRun run = Kltool(words);
      EXPECT_TRUE(run.status == 0 || run.status == 1) << words[0] << " round " << round;
    }
  }
}

}  // namespace
}  // namespace kl
