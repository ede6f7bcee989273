// Scripts for kltool simulate and the lines they must print, over a key-file
// folder built from the documented layouts. The native test runs them with
// kltool, the Windows test with kltool.exe under Wine, so both builds are
// held to the same output. Notes ("# " lines) are free-form and not compared.
#pragma once

#include <string>
#include <vector>

#include "key_file_bytes.h"

namespace kl::test {

struct FolderFile {
  std::string name;
  std::string bytes;
};

// DOOM.EXE: one 10-button pad with every mode; ZORK.EXE: Q on the first
// button. Both profiles "game1" are active.
inline std::vector<FolderFile> SimulateFolder() {
  const Block doom =
      Unassigned(14, {{0, {0x00, {{0, 0x26}}}},
                      {1, {0x00, {{0, 0x28}}}},
                      {2, {0x04, {{0, 32}}}},
                      {3, {0x04, {{0, 64}}}},
                      {4, {0x00, {{0x08, 0x43}}}},          // left Ctrl + C, held
                      {5, {0x01, {{0, 0x58}, {0x80, 4}}}},  // X, then what button 1 plays
                      {6, {0x02, {{0, 0x41}, {0, 0xFF}, {0, 0x42}}}},  // A, B, A, ...
                      {7, {0x81, {{0x20, 0x5A}}}},                     // Shift Z, tapped every poll
                      {8, {0x04, {{0, 1}}}},                           // left mouse button
                      {12, {0x00, {{0, 0x0D}}}}});
  const Block zork = Unassigned(16, {{4, {0x00, {{0, 0x51}}}}});
  return {
      {"DOOM.key", Stored(Header() + Record("game1", {doom}))},
      {"ZORK.key", Stored(Header() + Record("game1", {zork}))},
      {"GameList.lst",
       std::string("[GAMELIST]\r\nDOOM.EXE\r\nZORK.EXE\r\n\r\n[PROFILE]\r\n1 \x01game1\r\n2 ") +
           "\x01game1\r\n"},
  };
}

struct SimulateCase {
  const char* name;
  std::string script;
  std::vector<std::string> lines;  // what is printed, notes left out
};

inline std::vector<SimulateCase> SimulateCases() {
  const std::string pad = "joystick 2 oem=\"Vornatek GamePad\" buttons=10\n";
  const std::string doom = pad + "process C:\\GAMES\\DOOM\\doom.exe\nmonitor\npoll\n";
  return {
      {"nothing runs: nothing is sent", pad + "poll 3\nmonitor 2\nstate 2 buttons=1\npoll\n", {}},
      {"the first poll compares with zero readings",
       pad + "process DOOM.EXE\nmonitor\npoll 2\n",
       {"key up vk=0x26 scan=0x48"}},
      {"a held key with its modifier",
       doom + "state 2 buttons=1\npoll 3\nstate 2 buttons=0\npoll\n",
       {"key up vk=0x26 scan=0x48", "key down vk=0x11 scan=0x1d", "key down vk=0x43 scan=0x2e",
        "key up vk=0x11 scan=0x1d", "key up vk=0x43 scan=0x2e"}},
      {"a sequence with a reference",
       doom + "state 2 buttons=0x2\npoll\n",
       {"key up vk=0x26 scan=0x48", "key down vk=0x58 scan=0x2d", "sleep 5",
        "key up vk=0x58 scan=0x2d", "key down vk=0xff scan=0x00", "sleep 5",
        "key up vk=0xff scan=0x00", "key down vk=0x11 scan=0x1d", "sleep 5",
        "key up vk=0x11 scan=0x1d", "key down vk=0x43 scan=0x2e", "sleep 5",
        "key up vk=0x43 scan=0x2e"}},
      {"a cycle comes round",
       doom + "state 2 buttons=4\npoll\nstate 2 buttons=0\npoll\nstate 2 buttons=4\npoll\n"
              "state 2 buttons=0\npoll\nstate 2 buttons=4\npoll\n",
       {"key up vk=0x26 scan=0x48", "key down vk=0x41 scan=0x1e", "sleep 10",
        "key up vk=0x41 scan=0x1e", "key down vk=0x42 scan=0x30", "sleep 10",
        "key up vk=0x42 scan=0x30", "key down vk=0x41 scan=0x1e", "sleep 10",
        "key up vk=0x41 scan=0x1e"}},
      {"a repeating sequence taps on every poll; either Shift bit is Shift",
       doom + "state 2 buttons=8\npoll 2\n",
       {"key up vk=0x26 scan=0x48", "key down vk=0x10 scan=0x2a", "sleep 5",
        "key up vk=0x10 scan=0x2a", "key down vk=0x5a scan=0x2c", "sleep 5",
        "key up vk=0x5a scan=0x2c", "key down vk=0x10 scan=0x2a", "sleep 5",
        "key up vk=0x10 scan=0x2a", "key down vk=0x5a scan=0x2c", "sleep 5",
        "key up vk=0x5a scan=0x2c"}},
      {"the pointer speeds up and a mouse button goes down and up",
       doom + "state 2 x=0\npoll 3\nstate 2 x=32668 buttons=0x10\npoll 2\nstate 2 buttons=0\n"
              "poll\n",
       {"key up vk=0x26 scan=0x48", "mouse flags=0x0001 dx=-2 dy=0",
        "mouse flags=0x0001 dx=-3 dy=0", "mouse flags=0x0001 dx=-4 dy=0",
        "mouse flags=0x0002 dx=0 dy=0", "mouse flags=0x0004 dx=0 dy=0"}},
      {"a direction jumps from Up to Down",
       doom + "state 2 y=0\npoll\nstate 2 y=65535\npoll\nstate 2 y=32668\npoll\n",
       {"key up vk=0x26 scan=0x48", "key down vk=0x26 scan=0x48", "key up vk=0x26 scan=0x48",
        "key down vk=0x28 scan=0x50", "key up vk=0x28 scan=0x50"}},
      {"the editor in front pauses play and lets go of held keys",
       doom + "state 2 buttons=1\npoll\nforeground editor\nmonitor\nstate 2 buttons=0\npoll 2\n"
              "foreground other\nmonitor\npoll\n",
       {"key up vk=0x26 scan=0x48", "key down vk=0x11 scan=0x1d", "key down vk=0x43 scan=0x2e",
        "key up vk=0x11 scan=0x1d", "key up vk=0x43 scan=0x2e", "key up vk=0x11 scan=0x1d",
        "key up vk=0x43 scan=0x2e"}},
      {"the game ends with a key held",
       doom + "state 2 buttons=1\npoll\nkill C:\\GAMES\\DOOM\\doom.exe\nmonitor\npoll\n",
       {"key up vk=0x26 scan=0x48", "key down vk=0x11 scan=0x1d", "key down vk=0x43 scan=0x2e",
        "key up vk=0x11 scan=0x1d", "key up vk=0x43 scan=0x2e"}},
      {"a DOS program is asked for after the wait",
       pad + "dosbox C:\\DOS\\ZORK.EXE\nmonitor\npoll\nstate 2 buttons=1\npoll\n",
       {"sleep 500", "key down vk=0x51 scan=0x10"}},
      {"a Windows game wins over the DOS program",
       pad + "dosbox C:\\DOS\\ZORK.EXE\nprocess DOOM.EXE\nmonitor\npoll\nstate 2 buttons=1\npoll\n",
       {"sleep 500", "key up vk=0x26 scan=0x48", "key down vk=0x11 scan=0x1d",
        "key down vk=0x43 scan=0x2e"}},
      {"the game list saved again reloads the profile",
       doom + "state 2 buttons=1\npoll\ntouch\nmonitor\npoll\nmonitor\n",
       {"key up vk=0x26 scan=0x48", "key down vk=0x11 scan=0x1d", "key down vk=0x43 scan=0x2e",
        "key up vk=0x11 scan=0x1d", "key up vk=0x43 scan=0x2e"}},
      {"an unplugged pad is not played and its keys are let go",
       doom + "state 2 buttons=1\npoll\nunplug 2\npoll\nmonitor\nstate 2 buttons=0\npoll\n"
              "plug 2\nmonitor\npoll\n",
       {"key up vk=0x26 scan=0x48", "key down vk=0x11 scan=0x1d", "key down vk=0x43 scan=0x2e",
        "key up vk=0x11 scan=0x1d", "key up vk=0x43 scan=0x2e", "key up vk=0x11 scan=0x1d",
        "key up vk=0x43 scan=0x2e"}},
      {"a pad with another name is not played",
       "joystick 0 oem=\"Vornatek Gamepad\"\nprocess DOOM.EXE\nmonitor\npoll\n"
       "state 0 buttons=1\npoll\n",
       {}},
      {"closing lets go of what is held",
       doom + "state 2 buttons=0x11\npoll\nclose\npoll\nmonitor\n",
       {"key up vk=0x26 scan=0x48", "key down vk=0x11 scan=0x1d", "key down vk=0x43 scan=0x2e",
        "mouse flags=0x0002 dx=0 dy=0", "key up vk=0x11 scan=0x1d", "key up vk=0x43 scan=0x2e",
        "mouse flags=0x0004 dx=0 dy=0"}},
  };
}

// Scripts that are user errors: exit status 1, one line on standard error.
inline std::vector<std::string> SimulateMistakes() {
  return {"launch DOOM.EXE\n",
          "poll many\n",
          "state 4 x=1\n",
          "joystick 16\n",
          "joystick 1 oem=\"x\n",
          "kill DOOM.EXE\n",
          "joystick 1\nstate 1 z=3\n",
          "monitor 1 2\n",
          "foreground desk\n"};
}

}  // namespace kl::test
