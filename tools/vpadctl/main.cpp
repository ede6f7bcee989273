// vpadctl: plugs, unplugs, moves and presses the virtual pad's devices.
// Every change lands in the shared block at once; the next joyGetPosEx of
// any program using the virtual pad sees it. Exit status 0 on success, 1
// with one line on standard error when the command is wrong (nothing is
// changed then).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/vpad/vpad_block.h"

namespace {

using kl::vpad::Device;
using kl::vpad::kDeviceCount;
using kl::vpad::kMaxAxes;
using kl::vpad::SharedBlock;

constexpr const char* kUsage =
    "usage: vpadctl plug ID [buttons=N] [axes=N] [hat=0|1] [regkey=TEXT] [name=TEXT] [mid=N] "
    "[pid=N]\n"
    "       vpadctl unplug ID\n"
    "       vpadctl state ID [x=N] [y=N] [z=N] [r=N] [u=N] [v=N] [buttons=MASK] [pov=N]\n"
    "       vpadctl press ID BIT | vpadctl release ID BIT\n"
    "       vpadctl show | vpadctl reset\n"
    "       vpadctl swing ID MS COUNT\n"
    "       vpadctl pulse ID BIT COUNT LOGFILE\n"
    "ID: joystick id 0-15; numbers decimal or 0x hex; BIT: 0-31, bit BIT of the button mask.\n"
    "plug keeps what an earlier plug set; a new device reads x=y=...=32668, buttons=0.\n"
    "swing: COUNT changes, one every MS ms, each moving every button and both axes of device\n"
    "ID from one end to the other. pulse: COUNT presses of button BIT, held and released for\n"
    "50 to 150 ms each at random; LOGFILE gets \"press|release N qpc=T\" per change, T the\n"
    "QueryPerformanceCounter value once the change is visible.\n";

constexpr std::string_view kAxisNames[kMaxAxes] = {"x", "y", "z", "r", "u", "v"};

// What one command changes, checked in full before anything is written.
struct Change {
  std::string command;
  uint32_t id = 0;
  std::optional<uint32_t> numButtons, numAxes, hasPov, mid, pid, buttons, pov;
  std::optional<uint32_t> axes[kMaxAxes];
  std::optional<std::string> regKey, name;
  uint32_t bit = 0;
};

// A whole unsigned number up to `max`, decimal or 0x hex; nothing else.
bool ParseNumber(std::string_view text, uint32_t max, uint32_t& value) {
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 10) {
    return false;
  }
  uint64_t result = 0;
  for (char c : text) {
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    result = result * base + digit;
  }
  if (result > max) {
    return false;
  }
  value = static_cast<uint32_t>(result);
  return true;
}

// Reads `text` into `target`; an error message, or empty.
std::string Number(std::string_view text, std::string_view what, uint32_t max,
                   std::optional<uint32_t>& target) {
  uint32_t value = 0;
  if (!ParseNumber(text, max, value)) {
    return std::string(what) + " must be a number from 0 to " + std::to_string(max) + ", not \"" +
           std::string(text) + "\"";
  }
  target = value;
  return {};
}

std::string Text(std::string_view text, std::string_view what, std::optional<std::string>& target) {
  if (text.size() >= kl::vpad::kTextSize) {
    return std::string(what) + " is longer than " + std::to_string(kl::vpad::kTextSize - 1) +
           " characters";
  }
  target = std::string(text);
  return {};
}

// One NAME=VALUE of plug (caps) or state (readings); an error message, or empty.
std::string ParseSetting(const std::string& setting, bool caps, Change& change) {
  size_t equals = setting.find('=');
  if (equals == std::string::npos) {
    return "expected NAME=VALUE, not \"" + setting + "\"";
  }
  std::string_view name = std::string_view(setting).substr(0, equals);
  std::string_view value = std::string_view(setting).substr(equals + 1);
  if (caps) {
    if (name == "buttons") return Number(value, name, kl::vpad::kMaxButtons, change.numButtons);
    if (name == "axes") return Number(value, name, kMaxAxes, change.numAxes);
    if (name == "hat") return Number(value, name, 1, change.hasPov);
    if (name == "mid") return Number(value, name, 0xFFFF, change.mid);
    if (name == "pid") return Number(value, name, 0xFFFF, change.pid);
    if (name == "regkey") return Text(value, name, change.regKey);
    if (name == "name") return Text(value, name, change.name);
  } else {
    for (uint32_t axis = 0; axis < kMaxAxes; ++axis) {
      if (name == kAxisNames[axis]) return Number(value, name, 0xFFFFFFFF, change.axes[axis]);
    }
    if (name == "buttons") return Number(value, name, 0xFFFFFFFF, change.buttons);
    if (name == "pov") return Number(value, name, 0xFFFF, change.pov);
  }
  return "unknown setting \"" + std::string(name) + "\" for " + change.command;
}

std::string ParseChange(const std::vector<std::string>& args, Change& change) {
  change.command = args[0];
  const std::string& command = change.command;
  if (command != "plug" && command != "unplug" && command != "state" && command != "press" &&
      command != "release") {
    return "unknown command \"" + command + "\"";
  }
  if (args.size() < 2) {
    return command + ": the joystick id is missing";
  }
  std::optional<uint32_t> id;
  if (std::string error = Number(args[1], "the joystick id", kDeviceCount - 1, id);
      !error.empty()) {
    return error;
  }
  change.id = *id;
  std::vector<std::string> rest(args.begin() + 2, args.end());
  if (command == "unplug" && !rest.empty()) {
    return "unplug takes only the joystick id";
  }
  if (command == "press" || command == "release") {
    if (rest.size() != 1) {
      return command + ": give one button bit (0-31)";
    }
    std::optional<uint32_t> bit;
    if (std::string error = Number(rest[0], "the button bit", 31, bit); !error.empty()) {
      return error;
    }
    change.bit = *bit;
    return {};
  }
  for (const std::string& setting : rest) {
    if (std::string error = ParseSetting(setting, command == "plug", change); !error.empty()) {
      return error;
    }
  }
  return {};
}

void CopyText(char (&target)[kl::vpad::kTextSize], const std::string& text) {
  std::memset(target, 0, sizeof target);
  std::memcpy(target, text.data(), text.size());
}

void Apply(const Change& change, Device& device) {
  if (!device.configured) {
    device = kl::vpad::NewDevice();
  }
  const std::string& command = change.command;
  if (command == "plug") {
    device.plugged = 1;
    device.numButtons = change.numButtons.value_or(device.numButtons);
    device.numAxes = change.numAxes.value_or(device.numAxes);
    device.hasPov = change.hasPov.value_or(device.hasPov);
    device.mid = change.mid.value_or(device.mid);
    device.pid = change.pid.value_or(device.pid);
    if (change.regKey) CopyText(device.regKey, *change.regKey);
    if (change.name) CopyText(device.name, *change.name);
  } else if (command == "unplug") {
    device.plugged = 0;
  } else if (command == "state") {
    for (uint32_t axis = 0; axis < kMaxAxes; ++axis) {
      device.axes[axis] = change.axes[axis].value_or(device.axes[axis]);
    }
    device.buttons = change.buttons.value_or(device.buttons);
    device.pov = change.pov.value_or(device.pov);
  } else if (command == "press") {
    device.buttons |= 1u << change.bit;
  } else if (command == "release") {
    device.buttons &= ~(1u << change.bit);
  }
}

void Print(uint32_t id, const Device& d) {
  std::printf(
      "%u %s numbuttons=%u axes=%u hat=%u regkey=\"%s\" name=\"%s\" mid=%u pid=%u x=%u y=%u z=%u "
      "r=%u u=%u v=%u buttons=0x%08x pov=%u\n",
      id, d.plugged ? "plugged" : "unplugged", d.numButtons, d.numAxes, d.hasPov, d.regKey, d.name,
      d.mid, d.pid, d.axes[0], d.axes[1], d.axes[2], d.axes[3], d.axes[4], d.axes[5], d.buttons,
      d.pov);
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "vpadctl: %s\n", message.c_str());
  return 1;
}

// The driver commands for measurements: changes paced by Sleep, each one
// visible to the next joyGetPosEx as soon as it is written.
struct Drive {
  uint32_t id = 0;
  uint32_t bit = 0;
  uint32_t periodMs = 0;
  uint32_t count = 0;
  std::string logPath;
};

std::string ParseDrive(const std::vector<std::string>& args, Drive& drive) {
  const bool swing = args[0] == "swing";
  if (args.size() != (swing ? 4u : 5u)) {
    return swing ? "swing: give ID MS COUNT" : "pulse: give ID BIT COUNT LOGFILE";
  }
  std::optional<uint32_t> id, second, count;
  if (std::string error = Number(args[1], "the joystick id", kDeviceCount - 1, id);
      !error.empty()) {
    return error;
  }
  if (std::string error = swing ? Number(args[2], "the period", 60000, second)
                                : Number(args[2], "the button bit", 31, second);
      !error.empty()) {
    return error;
  }
  if (std::string error = Number(args[3], "the count", 1000000, count); !error.empty()) {
    return error;
  }
  drive.id = *id;
  (swing ? drive.periodMs : drive.bit) = *second;
  drive.count = *count;
  if (!swing) drive.logPath = args[4];
  return {};
}

int RunDrive(const std::vector<std::string>& args) {
  Drive drive;
  if (std::string error = ParseDrive(args, drive); !error.empty()) {
    return Fail(error);
  }
  SharedBlock block;
  if (!block.Open()) {
    return Fail("cannot open the virtual pad's block \"" + kl::vpad::BlockName() + "\"");
  }
  auto set = [&](auto change) {
    return block.Update([&](Device* devices) {
      Device& device = devices[drive.id];
      if (!device.configured) device = kl::vpad::NewDevice();
      change(device);
    });
  };
  if (args[0] == "swing") {
    for (uint32_t i = 0; i < drive.count; ++i) {
      const bool pressed = i % 2 == 0;
      if (!set([&](Device& d) {
            const uint32_t all = d.numButtons >= 32 ? 0xFFFFFFFFu : (1u << d.numButtons) - 1u;
            d.buttons = pressed ? all : 0u;
            d.axes[0] = d.axes[1] = pressed ? 0u : 65535u;
          })) {
        return Fail("the virtual pad's block is busy");
      }
      Sleep(drive.periodMs);
    }
    return 0;
  }
  FILE* log = std::fopen(drive.logPath.c_str(), "w");
  if (log == nullptr) {
    return Fail("cannot write " + drive.logPath);
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::fprintf(log, "# qpc_frequency=%lld\n", static_cast<long long>(frequency.QuadPart));
  // A fixed pseudo-random sequence: the changes fall at every phase of a
  // reader's polling period, the same way in every run.
  uint32_t seed = 12345;
  auto pause = [&] {
    seed = seed * 1103515245u + 12345u;
    Sleep(50 + (seed >> 16) % 101);
  };
  for (uint32_t i = 0; i < drive.count; ++i) {
    for (const bool press : {true, false}) {
      if (!set([&](Device& d) {
            if (press) {
              d.buttons |= 1u << drive.bit;
            } else {
              d.buttons &= ~(1u << drive.bit);
            }
          })) {
        std::fclose(log);
        return Fail("the virtual pad's block is busy");
      }
      LARGE_INTEGER now;
      QueryPerformanceCounter(&now);
      std::fprintf(log, "%s %u qpc=%lld\n", press ? "press" : "release", i,
                   static_cast<long long>(now.QuadPart));
      std::fflush(log);
      pause();
    }
  }
  std::fclose(log);
  return 0;
}

int Run(const std::vector<std::string>& args) {
  const std::string& command = args[0];
  if (command == "swing" || command == "pulse") {
    return RunDrive(args);
  }
  bool whole = command == "show" || command == "reset";
  Change change;
  if (whole && args.size() != 1) {
    return Fail(command + " takes no arguments");
  }
  if (!whole) {
    if (std::string error = ParseChange(args, change); !error.empty()) {
      return Fail(error);
    }
  }
  SharedBlock block;
  if (!block.Open()) {
    return Fail("cannot open the virtual pad's block \"" + kl::vpad::BlockName() + "\"");
  }
  if (command == "show") {
    for (uint32_t id = 0; id < kDeviceCount; ++id) {
      Device device;
      if (block.Read(id, device) && device.configured) {
        Print(id, device);
      }
    }
    std::printf("configchanged=%ld\n", static_cast<long>(block.ConfigChangedCount()));
    return 0;
  }
  bool written = block.Update([&](Device* devices) {
    if (whole) {
      std::memset(devices, 0, sizeof(Device) * kDeviceCount);
    } else {
      Apply(change, devices[change.id]);
    }
  });
  return written ? 0 : Fail("the virtual pad's block is busy");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  if (args[0] == "help" || args[0] == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  return Run(args);
}
