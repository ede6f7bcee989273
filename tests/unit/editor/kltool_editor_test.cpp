// kltool editor run as a user runs it: a whole session from start to exit
// on an empty key-file folder, checked against the bytes the documented
// layouts give, and short scripts showing the lines of each command.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kl {
namespace {

namespace stdfs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::vector<std::string> out;    // every line
  std::vector<std::string> calls;  // without drawing, repaints and notes
  std::vector<std::string> err;
};

std::vector<std::string> ReadLines(const stdfs::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string ReadBytes(const stdfs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class KltoolEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (stdfs::temp_directory_path() / "kl-kltool-editor-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    stdfs::create_directories(m_root / "KEYFILES");
  }
  void TearDown() override {
    std::error_code ec;
    stdfs::remove_all(m_root, ec);
  }

  ToolRun Editor(const std::string& script) {
    std::ofstream(m_root / "script.txt", std::ios::binary) << script;
    const std::string command =
        std::string("\"") + KLTOOL_PATH + "\" editor \"" + (m_root / "KEYFILES").string() +
        "\" \"" + (m_root / "script.txt").string() + "\" >\"" + (m_root / "out.txt").string() +
        "\" 2>\"" + (m_root / "err.txt").string() + "\"";
    ToolRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadLines(m_root / "out.txt");
    run.err = ReadLines(m_root / "err.txt");
    for (const std::string& line : run.out) {
      if (line.rfind("bitmap ", 0) == 0 || line.rfind("text ", 0) == 0 || line == "repaint" ||
          line.rfind("# ", 0) == 0) {
        continue;
      }
      run.calls.push_back(line);
    }
    return run;
  }

  stdfs::path m_root;
};

// A big-endian 16-bit number.
std::string U16(unsigned value) {
  return std::string{static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
}

struct Entry {
  uint8_t mode;
  std::vector<std::pair<uint8_t, uint8_t>> keys;  // (flags, vk)
};

// The key file of one profile with one pad block, from the documented
// layout: header, record tag, right-aligned name, P, L, reserved, block.
std::string KeyFileBytes(const std::string& profile, const std::vector<Entry>& entries) {
  std::string block;
  for (const Entry& e : entries) {
    block += static_cast<char>(e.mode);
    block += static_cast<char>(e.keys.size());
    for (const auto& [flags, vk] : e.keys) {
      block += static_cast<char>(flags);
      block += static_cast<char>(vk);
    }
  }
  const unsigned size = 3 + static_cast<unsigned>(block.size());
  block = U16(size) + static_cast<char>(entries.size()) + block;
  std::string bytes = "VORNATEK GAMEPAD0101" + std::string(20, '\0');
  bytes += "[PROFILE]" + std::string(255 - profile.size(), ' ') + profile;
  bytes += std::string{'\0', '\1', '\0'} + U16(102 + size) + std::string(100, '\0');
  return bytes + block;
}

// Start, add a game, start and name a profile, give inputs keys in every
// mode, mark the profile active, save and leave by the exit button.
TEST_F(KltoolEditor, AWholeSessionWritesTheDocumentedBytes) {
  const ToolRun run = Editor(
      "pad 0 buttons=10\n"
      "setting none\n"
      "start\n"
      "click 320 25            # menu 1\n"
      "answer C:\\GAMES\\GAME.EXE\n"
      "click 288 58            # add game: a new profile starts\n"
      "click 320 25\n"
      "answer ok\n"
      "click 288 181           # mouse preset: inputs 0 to 6 in mouse mode\n"
      "click 347 172           # input 7, key mode: left Ctrl+C\n"
      "key 17\nkey 67\nkeyup 67\nkeyup 17\n"
      "click 400 35            # menu 2\n"
      "answer fast\n"
      "click 373 77            # save: named FAST, active\n"
      "click 40 175            # active box: no longer active\n"
      "click 40 175            # and active again\n"
      "click 366 161           # input 8: key mode with repeat\n"
      "click 143 330\nkey 65\nkeyup 65\n"
      "click 388 154           # input 9: sequence B, C\n"
      "click 330 360\nclick 150 312\nkey 66\nkeyup 66\nkey 67\nkeyup 67\nclick 190 312\n"
      "click 200 117           # input 10: repeated sequence of pad button 8\n"
      "click 330 360\nclick 143 330\nclick 150 312\n"
      "state 0 buttons=0x80\ntimer 1\nstate 0 buttons=0\ntimer 1\n"
      "click 190 312\n"
      "click 370 115           # input 11: cycle E, F\n"
      "click 395 366\nclick 150 312\nkey 69\nkeyup 69\nkey 70\nkeyup 70\nclick 190 312\n"
      "click 400 35\n"
      "click 373 77            # save\n"
      "click 545 369           # exit\n");
  ASSERT_EQ(run.status, 0) << (run.err.empty() ? "" : run.err[0]);
  EXPECT_TRUE(run.err.empty());
  EXPECT_EQ(run.calls,
            (std::vector<std::string>{"timer start 1 20", "timer start 2 1000", "timer start 3 250",
                                      "dialog open-game", "prompt 61246", "dialog profile-name",
                                      "setting 0 0 0 0 0", "window close"}));

  const std::vector<Entry> entries = {
      {4, {{0, 8}}},
      {4, {{0, 16}}},
      {4, {{0, 32}}},
      {4, {{0, 64}}},
      {4, {{0, 1}}},
      {4, {{0, 4}}},
      {4, {{0, 2}}},
      {0x00, {{0x08, 'C'}}},
      {0x80, {{0, 'A'}}},
      {0x01, {{0, 'B'}, {0, 0xFF}, {0, 'C'}}},
      {0x81, {{0x80, 11}, {0, 0}}},
      {0x02, {{0, 'E'}, {0, 0xFF}, {0, 'F'}}},
      {0x00, {{0, 0x0D}}},
      {0x00, {{0, 0x1B}}},
  };
  EXPECT_EQ(ReadBytes(m_root / "KEYFILES" / "GAME.key"), KeyFileBytes("FAST", entries));
  EXPECT_EQ(ReadBytes(m_root / "KEYFILES" / "GameList.lst"),
            std::string("[GAMELIST]\r\nGAME.EXE\r\n\r\n[PROFILE]\r\n1 \x01"
                        "FAST\r\n"));
  EXPECT_FALSE(stdfs::exists(m_root / "KEYFILES" / "kbMap.TMP"));
}

TEST_F(KltoolEditor, LinesOfEachCommand) {
  struct Case {
    const char* name;
    std::string script;
    std::vector<std::string> calls;
    std::string drawn;  // a drawing line that must appear, if any
  };
  const std::string pad = "pad 0 buttons=10\nsetting none\nstart\n";
  const std::string game =
      pad + "click 320 25\nanswer GAME.EXE\nclick 288 58\nclick 400 35\nanswer g\nclick 373 77\n";
  const std::vector<std::string> started = {"timer start 1 20", "timer start 2 1000",
                                            "timer start 3 250"};
  auto with = [&started](std::vector<std::string> more, bool named = false) {
    std::vector<std::string> lines = started;
    if (named) {
      lines.insert(lines.end(), {"dialog open-game", "dialog profile-name"});
    }
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
  };
  std::vector<std::string> rows = {"dialog assignment-table"};
  const char* names[] = {"Up",    "Down",  "Left",  "Right", "Btn 1", "Btn 2", "Btn 3",
                         "Btn 4", "Btn 5", "Btn 6", "Btn 7", "Btn 8", "Btn 9", "Btn 10"};
  const char* keys[] = {"Up", "Down", "Left", "Right"};
  for (int i = 0; i < 14; ++i) {
    const bool assigned = i < 4 || i >= 12;
    rows.push_back(std::string("row \"") + names[i] + "\" \"" +
                   (assigned ? "Key" : "Not assigned") + "\" \"" +
                   (i < 4     ? keys[i]
                    : i == 12 ? "Enter"
                    : i == 13 ? "Esc"
                              : "(none)") +
                   "\"");
  }
  const Case cases[] = {
      {"watch timer while in the background", pad + "active no\ntimer 2\nactive yes\ntimer 2\n",
       with({"timer stop 3", "timer start 3 220"}), ""},
      {"watch timer with a menu open", pad + "click 320 25\ntimer 2\nclick 5 395\ntimer 2\n",
       with({"timer stop 1", "timer start 1 20"}), "bitmap 239 220,42,356,197"},
      {"logo", pad + "timer 3\ntimer 3\n", with({}), "bitmap 501 38,367,151,397"},
      {"tooltips", game + "tooltip 22\ntooltip 99\n",
       with({"tooltip-text none", "tooltip-text none"}, true), ""},
      {"assignment table", game + "click 400 35\nclick 350 215\n", with(rows, true), ""},
      {"web page and help",
       pad + "click 320 25\nanswer www.example.org\nclick 288 162\nclick 460 30\nclick 470 77\n",
       with({"dialog web-address", "shell open \"www.example.org\"", "shell help 11 1"}), ""},
      {"printing", pad + "click 320 25\nclick 288 119\n",
       with({"window size 0 0", "dialog print-preview"}), ""},
      {"delete profile, answered no", game + "click 400 35\nanswer no\nclick 373 115\n",
       with({"prompt 61244"}, true), ""},
      {"minimise and close", game + "click 540 15\nclick 558 15\n",
       with({"window minimize", "setting 0 0 0 0 0", "window close"}, true),
       "bitmap 222 530,9,548,25"},
      {"live feedback selects from the pad", game + "state 0 buttons=0x3\ntimer 1\n",
       with({}, true), "bitmap 416 371,176,393,197"},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    const ToolRun run = Editor(c.script);
    ASSERT_EQ(run.status, 0) << c.name << ": " << (run.err.empty() ? "" : run.err[0]);
    EXPECT_EQ(run.calls, c.calls) << c.name;
    if (!c.drawn.empty()) {
      EXPECT_NE(std::find(run.out.begin(), run.out.end(), c.drawn), run.out.end()) << c.name;
    }
  }
}

TEST_F(KltoolEditor, MistakesInTheNewCommandsAreUserErrors) {
  const char* scripts[] = {"timer 4\n", "timer\n", "active maybe\n", "tooltip x\n",
                           "tooltip 1 2\n"};
  for (const char* script : scripts) {
    const ToolRun run = Editor(script);
    EXPECT_EQ(run.status, 1) << script;
    ASSERT_EQ(run.err.size(), 1u) << script;
    EXPECT_NE(run.err[0].find("usage"), std::string::npos) << run.err[0];
  }
}

}  // namespace
}  // namespace kl
