// Writes the seed corpus of every fuzz target into OUTDIR/<target>/: valid
// inputs built from the documented layouts (key files, game lists, registry
// values and exports, driver answers, sequences and scripts), so the
// fuzzers start from what the readers accept and mutate from there.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "applet/joystick_config.h"
#include "applet/joystick_registry.h"
#include "tests/unit/mapper/key_file_bytes.h"

namespace {

using namespace kl::test;

std::string g_out;

bool Save(const std::string& target, const std::string& name, const std::string& bytes) {
  const std::filesystem::path folder = std::filesystem::path(g_out) / target;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  std::ofstream out(folder / name, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

Block DefaultPad(size_t entries) {
  return Unassigned(entries, {{0, Entry{0x00, {{0, 0x26}}}},
                              {1, Entry{0x00, {{0, 0x28}}}},
                              {2, Entry{0x00, {{0, 0x25}}}},
                              {3, Entry{0x00, {{0, 0x27}}}},
                              {12, Entry{0x00, {{0, 0x0D}}}},
                              {13, Entry{0x00, {{0, 0x1B}}}}});
}

// A pad with every mode, references (one a cycle), a 0x0A key and a
// separator, as the editor saves them.
Block BusyPad() {
  return Unassigned(16, {{0, Entry{0x00, {{0x0C, 0x43}}}},
                         {1, Entry{0x80, {{0x30, 0x0A}}}},
                         {4, Entry{0x01, {{0, 0x48}, {0x80, 0}, {0, 0xFF}, {0x20, 0x49}}}},
                         {5, Entry{0x02, {{0, 0x31}, {0, 0xFF}, {0, 0x32}}}},
                         {6, Entry{0x04, {{0, 8}}}},
                         {7, Entry{0x81, {{0x80, 4}, {0x80, 7}}}},
                         {8, Entry{0x01, {{0x80, 9}}}},
                         {9, Entry{0x01, {{0x80, 8}}}}});
}

std::vector<std::string> KeyFiles() {
  const std::string header = Header();
  return {
      Stored(header + Record("GAME1", {DefaultPad(14)})),
      Stored(header + Record("Demo", {DefaultPad(14)}) + Record("GAME1", {BusyPad(), BusyPad()})),
      Stored(header + Record("GAME1", {BusyPad()}) + Record("Second one", {DefaultPad(16)}) +
             Record("x", {DefaultPad(14), BusyPad(), DefaultPad(16), BusyPad()})),
      Stored(header + Record("x", {BusyPad()}) + Record("GAME1", {DefaultPad(14)}) +
             Record("Second one", {BusyPad(), DefaultPad(14)})),
  };
}

void KeyFileSeeds() {
  const std::vector<std::string> files = KeyFiles();
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string n = std::to_string(i);
    Save("play_table", "keyfile-" + n, files[i]);
    for (char choice : {'\x00', '\x13', '\x05'}) {
      Save("load_profile", "keyfile-" + n + "-" + std::to_string(int(choice)), choice + files[i]);
    }
    for (char choice : {'\x00', '\x01', '\x02'}) {
      Save("delete_profile", "keyfile-" + n + "-" + std::to_string(int(choice)), choice + files[i]);
    }
  }
}

void GameListSeeds() {
  const std::string one = std::string("[GAMELIST]\nDOOM.EXE\n\n[PROFILE]\n1 ") + '\1' + "GAME1\n";
  const std::string many = std::string("[GAMELIST]\nDOOM.EXE\nGAME.EXE\nQUAKE.EXE\n\n[PROFILE]\n") +
                           "1 " + '\0' + "GAME1 " + '\1' + "fast one\n2\n3 " + '\0' + "a " + '\0' +
                           "b " + '\1' + "c\n";
  Save("game_list", "one", Stored(one));
  Save("game_list", "many", Stored(many));
  Save("game_list", "empty", Stored("[GAMELIST]\n\n[PROFILE]\n"));
}

void KeyTextSeeds() {
  // mode, 66 codes (u16, little-endian as held in memory), 33 flags, count.
  auto sequence = [](uint8_t mode, const std::vector<std::pair<uint8_t, uint16_t>>& strokes) {
    std::string bytes(1 + 132 + 33 + 1, '\0');
    bytes[0] = static_cast<char>(mode);
    for (size_t i = 0; i < strokes.size(); ++i) {
      bytes[1 + 2 * i] = static_cast<char>(strokes[i].second & 0xFF);
      bytes[2 + 2 * i] = static_cast<char>(strokes[i].second >> 8);
      bytes[1 + 132 + i] = static_cast<char>(strokes[i].first);
    }
    bytes[1 + 132 + 33] = static_cast<char>(strokes.size());
    return bytes;
  };
  Save("key_text", "ctrl-c", sequence(0x00, {{0x0C, 0x43}}));
  Save("key_text", "sequence", sequence(0x01, {{0, 0x41}, {0, 0xFF}, {0x30, 0x42}, {0x80, 3}}));
  Save("key_text", "cycle", sequence(0x02, {{0, 0x31}, {0, 0xFF}, {0, 0x70}, {0, 0x2E}}));
  Save("key_text", "mouse", sequence(0x04, {{0, 16}}));
  Save("key_text", "empty", sequence(0xFF, {}));
}

void DosQuerySeeds() {
  auto answer = [](uint8_t control, const std::string& text) {
    return std::string(1, static_cast<char>(control)) + std::string("\x02\x00\x00\x00", 4) + text;
  };
  Save("dos_query", "path", answer(3, std::string("C:\\GAMES\\DOOM.EXE") + '\0'));
  Save("dos_query", "bare", answer(3, std::string("DOOM.EXE") + '\0'));
  Save("dos_query", "full", answer(3, "C:\\" + std::string(300, 'A')));
  Save("dos_query", "fails", answer(1, ""));
}

void JoystickSeeds() {
  kl::JOYREGHWCONFIG config;
  config.hws.dwFlags = 0x20;
  config.hws.dwNumButtons = 12;
  config.dwUsageSettings = kl::kJoyUsIsOem | kl::kJoyUsPresent;
  config.dwType = 15;
  const kl::JoyConfigBytes bytes = kl::EncodeJoystickConfig(config);
  const std::string configValue(bytes.begin(), bytes.end());
  // Structured: key choice, name choice, type choice, length, data.
  auto value = [](uint8_t key, const std::string& keyName, uint8_t name, uint8_t type,
                  const std::string& data) {
    std::string out(1, static_cast<char>(key));
    if (!keyName.empty()) out += static_cast<char>(keyName.size()) + keyName;
    out += static_cast<char>(name);
    out += static_cast<char>(type);
    out += static_cast<char>(data.size()) + data;
    return out;
  };
  const std::string structured = std::string(1, '\x02') +
                                 value(0, "", (1 << 3) | 0, 1, configValue) +
                                 value(0, "", (1 << 3) | 1, 0, std::string("pad") + '\0') +
                                 value(1, "pad", 2, 0, std::string("KeyLoom Pad") + '\0') +
                                 value(1, "pad", 4, 1, std::string("\x20\0\0\0\x0c\0\0\0", 8)) +
                                 value(1, "other", 2, 0, std::string("Another Pad") + '\0');
  Save("joystick_registry", "values", structured);

  std::string hex;
  for (size_t i = 0; i < bytes.size(); ++i) {
    char two[4];
    std::snprintf(two, sizeof two, "%02x", bytes[i]);
    hex += (i ? "," : "") + std::string(two);
  }
  const std::string reg =
      std::string("\x01") + "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\" + kl::kJoystickKeyPath +
      "\\drv\\" + kl::kCurrentSettingsName + "]\r\n\"Joystick1Configuration\"=hex:" + hex +
      "\r\n\"Joystick1OEMName\"=\"pad\"\r\n\r\n[HKEY_LOCAL_MACHINE\\" + kl::kOemTypesKeyPath +
      "\\pad]\r\n\"OEMName\"=\"KeyLoom Pad\"\r\n\"OEMData\"=hex:20,00,00,00,0c,00,00,00\r\n";
  Save("joystick_registry", "export", reg);
}

void SimulateSeeds() {
  Save("simulate", "play",
       "joystick 0 oem=\"KeyLoom Pad\" buttons=12\nprocess GAME.EXE\nmonitor\n"
       "state 0 buttons=1\npoll 3\nstate 0 buttons=2\npoll 8\nstate 0 x=0 buttons=0\npoll 2\n"
       "state 0 buttons=8\npoll 4\nclose\n");
  Save("simulate", "switch",
       "start\njoystick 1 oem=\"KeyLoom Pad\" buttons=10\nprocess C:\\GAMES\\GAME.EXE\n"
       "monitor 2\nforeground editor\nmonitor\nforeground other\nmonitor\nstate 1 buttons=0x10\n"
       "poll 5\nunplug 1\nmonitor\nplug 1\nmonitor\ntouch\nmonitor\nkill C:\\GAMES\\GAME.EXE\n"
       "monitor\n");
  Save("simulate", "dosbox",
       "joystick 0 oem=\"KeyLoom Pad\"\ndosbox C:\\DOS\\GAME.EXE\nmonitor 2\nstate 0 y=0\n"
       "poll 3\ndosbox -\nmonitor 2\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kl_fuzz_seeds OUTDIR\n");
    return 1;
  }
  g_out = argv[1];
  KeyFileSeeds();
  GameListSeeds();
  KeyTextSeeds();
  DosQuerySeeds();
  JoystickSeeds();
  SimulateSeeds();
  return 0;
}
