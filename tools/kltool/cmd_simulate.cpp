// kltool simulate: the runtime mapper's own code against a scripted world.
// Pads, the process list, the DOS-box driver and the desktop are simulated;
// the key files and the game list are read from FOLDER as they are. Every
// keybd_event, mouse_event and Sleep the mapper makes is printed as it
// happens; lines starting with "# " are notes.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mapper/detect.h"
#include "mapper/dosquery.h"
#include "platform/registry_keys.h"
#include "platform/sim/host_filesystem.h"
#include "platform/sim/recording_input.h"
#include "platform/sim/recording_timers.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_dosbox.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_pads.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_registry.h"
#include "tools/kltool/commands.h"
#include "tools/kltool/script_words.h"

namespace kl::tool {
namespace {

constexpr uint32_t kMaxJoystickId = 15;
constexpr uint64_t kMaxTicks = 1000000;

// The host's files, with "touch" giving a file a later last-write time
// without changing anything on the disk.
class TouchableFileSystem : public FileSystem {
 public:
  void Touch(const std::string& path) { ++m_touches[path]; }

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    return m_host.Open(path, mode);
  }
  bool Exists(const std::string& path) override { return m_host.Exists(path); }
  std::optional<uint64_t> LastWriteTime(const std::string& path) override {
    std::optional<uint64_t> time = m_host.LastWriteTime(path);
    auto it = m_touches.find(path);
    if (time && it != m_touches.end()) *time += it->second;
    return time;
  }
  bool Remove(const std::string& path) override { return m_host.Remove(path); }
  bool Rename(const std::string& from, const std::string& to) override {
    return m_host.Rename(from, to);
  }
  std::vector<std::string> List(const std::string& folder, const std::string& suffix) override {
    return m_host.List(folder, suffix);
  }
  char Separator() const override { return m_host.Separator(); }

 private:
  HostFileSystem m_host;
  std::map<std::string, uint64_t> m_touches;
};

class Simulation {
 public:
  explicit Simulation(const std::string& folder)
      : m_mapper(MapperSeams{m_joystick, m_registry, m_input, m_processes, m_dosBox, m_fs, m_timers,
                             m_desktop},
                 folder) {}

  // Runs one script line; false with `error` set on a mistake in it.
  bool Run(const std::vector<std::string>& words, std::string& error);
  // Prints what the mapper sent since the last call, then any notes.
  void Flush();

 private:
  struct Status {
    bool started = false;
    bool polling = false;
    bool active = false;
    std::string game;
    unsigned padsInPlay = 0;
    unsigned pads = 0;
    bool operator==(const Status&) const = default;
  };

  bool Joystick(const std::vector<std::string>& words, std::string& error);
  bool State(const std::vector<std::string>& words, std::string& error);
  bool Ticks(const std::vector<std::string>& words, uint32_t timer, std::string& error);
  SimJoystick::Device* Declared(const std::string& id, std::string& error);
  void DeleteValue(const std::string& path, const std::string& name);
  Status Now() const;

  SimJoystick m_joystick;
  SimRegistry m_registry;
  RecordingInput m_input;
  SimProcesses m_processes;
  SimDosBox m_dosBox;
  TouchableFileSystem m_fs;
  RecordingTimers m_timers;
  SimDesktop m_desktop;
  RuntimeMapper m_mapper;

  bool m_everStarted = false;
  WindowHandle m_editor = kNoWindow;
  WindowHandle m_other = kNoWindow;
  Status m_shown;
};

Simulation::Status Simulation::Now() const {
  Status s;
  s.started = m_mapper.IsStarted();
  s.polling = m_mapper.IsPolling();
  s.active = m_mapper.IsActive();
  s.game = m_mapper.CurrentGame();
  s.padsInPlay = m_mapper.PadsInPlay();
  s.pads = m_mapper.PadCount();
  return s;
}

void Simulation::Flush() {
  for (const InputEvent& event : m_input.Events()) {
    std::printf("%s\n", FormatInputEvent(event).c_str());
  }
  m_input.Clear();

  const Status now = Now();
  if (now == m_shown) return;
  if (now.started != m_shown.started) {
    std::printf("# mapper %s\n", now.started ? "started" : "ended");
  }
  if (now.pads != m_shown.pads) std::printf("# pads recognised: %u\n", now.pads);
  if (now.started && now.polling != m_shown.polling) {
    std::printf("# poll timer %s\n", now.polling ? "running" : "stopped");
  }
  if (now.active != m_shown.active || now.game != m_shown.game ||
      now.padsInPlay != m_shown.padsInPlay) {
    if (now.active) {
      std::printf("# playing %s with %u pad(s)\n", now.game.c_str(), now.padsInPlay);
    } else if (m_shown.active) {
      std::printf("# no registered game runs\n");
    }
  }
  m_shown = now;
}

void Simulation::DeleteValue(const std::string& path, const std::string& name) {
  RegKey key = kRegNone;
  if (m_registry.OpenKey(kHkeyLocalMachine, path, kKeyAllAccess, key) != kRegOk) return;
  m_registry.DeleteValue(key, name);
  m_registry.CloseKey(key);
}

SimJoystick::Device* Simulation::Declared(const std::string& id, std::string& error) {
  const std::optional<uint64_t> number = ParseNumber(id, kMaxJoystickId);
  if (!number) {
    error = "joystick id must be a number from 0 to 15: " + id;
    return nullptr;
  }
  SimJoystick::Device* device = m_joystick.Find(static_cast<uint32_t>(*number));
  if (!device) error = "no joystick " + id + " was declared";
  return device;
}

bool Simulation::Joystick(const std::vector<std::string>& words, std::string& error) {
  if (words.size() < 2) {
    error = "usage: joystick ID oem=NAME buttons=N";
    return false;
  }
  const std::optional<uint64_t> id = ParseNumber(words[1], kMaxJoystickId);
  if (!id) {
    error = "joystick id must be a number from 0 to 15: " + words[1];
    return false;
  }
  std::optional<std::string> oem;
  uint32_t buttons = 12;
  for (size_t i = 2; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.rfind("oem=", 0) == 0) {
      oem = w.substr(4);
    } else if (w.rfind("buttons=", 0) == 0) {
      const std::optional<uint64_t> n = ParseNumber(w.substr(8), 32);
      if (!n) {
        error = "buttons must be a number from 0 to 32: " + w;
        return false;
      }
      buttons = static_cast<uint32_t>(*n);
    } else {
      error = "unknown joystick field: " + w;
      return false;
    }
  }

  const uint32_t number = static_cast<uint32_t>(*id);
  // The applet's layout: the driver key names the OEM type key, which holds
  // the display name the pads are recognised by. A joystick declared again
  // without a name loses the one it had.
  const std::string driverKey = "kltool<" + std::to_string(number) + ">";
  if (oem) {
    DeclarePad(m_joystick, m_registry, number,
               {driverKey, "kltool pad " + std::to_string(number), *oem, buttons});
  } else {
    DeclarePad(m_joystick, m_registry, number, {driverKey, "", std::nullopt, buttons});
    DeleteValue(CurrentSettingsPath(driverKey), JoystickValueName(number + 1, kOemNameValue));
  }
  return true;
}

bool Simulation::State(const std::vector<std::string>& words, std::string& error) {
  if (words.size() < 2) {
    error = "usage: state ID x=X y=Y buttons=MASK";
    return false;
  }
  SimJoystick::Device* device = Declared(words[1], error);
  if (!device) return false;
  JoyInfo next = device->state;
  for (size_t i = 2; i < words.size(); ++i) {
    const std::string& w = words[i];
    const size_t equals = w.find('=');
    const std::string field = w.substr(0, equals);
    const std::optional<uint64_t> value =
        equals == std::string::npos ? std::nullopt : ParseNumber(w.substr(equals + 1), 0xFFFFFFFFu);
    if (!value) {
      error = "expected x=, y= or buttons= with a 32-bit number: " + w;
      return false;
    }
    const uint32_t v = static_cast<uint32_t>(*value);
    if (field == "x") {
      next.dwXpos = v;
    } else if (field == "y") {
      next.dwYpos = v;
    } else if (field == "buttons") {
      next.dwButtons = v;
    } else {
      error = "unknown state field: " + w;
      return false;
    }
  }
  device->state = next;
  return true;
}

bool Simulation::Ticks(const std::vector<std::string>& words, uint32_t timer, std::string& error) {
  uint64_t count = 1;
  if (words.size() > 2) {
    error = "usage: " + words[0] + " [N]";
    return false;
  }
  if (words.size() == 2) {
    const std::optional<uint64_t> n = ParseNumber(words[1], kMaxTicks);
    if (!n) {
      error = "tick count must be a number from 0 to 1000000: " + words[1];
      return false;
    }
    count = *n;
  }
  if (!m_everStarted) {
    m_everStarted = true;
    m_mapper.Start();
  }
  for (uint64_t i = 0; i < count; ++i) {
    // A tick arrives only while its window timer runs.
    if (m_timers.IsRunning(timer)) m_mapper.OnTimer(timer);
    Flush();
  }
  return true;
}

bool Simulation::Run(const std::vector<std::string>& words, std::string& error) {
  const std::string& command = words[0];
  const size_t operands = words.size() - 1;
  auto expect = [&](size_t count, const char* usage) {
    if (operands == count) return true;
    error = std::string("usage: ") + usage;
    return false;
  };

  if (command == "joystick") return Joystick(words, error);
  if (command == "state") return State(words, error);
  if (command == "poll") return Ticks(words, kPollTimer, error);
  if (command == "monitor") return Ticks(words, kMonitorTimer, error);
  if (command == "unplug" || command == "plug") {
    if (!expect(1, "plug ID | unplug ID")) return false;
    SimJoystick::Device* device = Declared(words[1], error);
    if (!device) return false;
    device->plugged = command == "plug";
    return true;
  }
  if (command == "process") {
    if (!expect(1, "process NAME")) return false;
    m_processes.Start(words[1]);
    return true;
  }
  if (command == "kill") {
    if (!expect(1, "kill NAME")) return false;
    if (!m_processes.Kill(words[1])) {
      error = "no process " + words[1] + " runs";
      return false;
    }
    return true;
  }
  if (command == "dosbox") {
    if (!expect(1, "dosbox PATH | dosbox -")) return false;
    const bool hostRuns = IsProcessRunning(m_processes, kDosBoxHostModule);
    if (words[1] == "-") {
      m_dosBox.present = false;
      m_dosBox.answer.clear();
      if (hostRuns) m_processes.Kill(kDosBoxHostModule);
    } else {
      m_dosBox.SetProgram(words[1]);
      if (!hostRuns) m_processes.Start(kDosBoxHostModule);
    }
    return true;
  }
  if (command == "foreground") {
    if (!expect(1, "foreground editor|other")) return false;
    if (words[1] == "editor") {
      if (!m_desktop.IsWindow(m_editor)) m_editor = m_desktop.Open(kEditorTitle);
      m_desktop.BringToFront(m_editor);
    } else if (words[1] == "other") {
      if (!m_desktop.IsWindow(m_other)) m_other = m_desktop.Open("Game");
      m_desktop.BringToFront(m_other);
    } else {
      error = "usage: foreground editor|other";
      return false;
    }
    return true;
  }
  if (command == "touch") {
    if (!expect(0, "touch")) return false;
    if (!m_fs.LastWriteTime(m_mapper.GameListPath())) {
      std::printf("# no game list to touch\n");
    }
    m_fs.Touch(m_mapper.GameListPath());
    return true;
  }
  if (command == "start") {
    if (!expect(0, "start")) return false;
    m_everStarted = true;
    m_mapper.Start();
    Flush();
    return true;
  }
  if (command == "close") {
    if (!expect(0, "close")) return false;
    m_mapper.Shutdown();
    Flush();
    return true;
  }
  error = "unknown command: " + command;
  return false;
}

}  // namespace

namespace {

// Makes the simulation for the script's folder and hands it each line.
std::function<ScriptCommand(const std::string&)> StartSimulation(
    std::unique_ptr<Simulation>& simulation) {
  return [&simulation](const std::string& folder) -> ScriptCommand {
    simulation = std::make_unique<Simulation>(folder);
    return [&simulation](const std::vector<std::string>& words, std::string& error) {
      return simulation->Run(words, error);
    };
  };
}

}  // namespace

int RunSimulate(const Args& args) {
  std::unique_ptr<Simulation> simulation;
  return RunScript(
      args, "usage: kltool simulate FOLDER [SCRIPT]", StartSimulation(simulation), [] {},
      [&simulation] { simulation->Flush(); });
}

bool SimulateScript(const std::string& folder, const std::string& script, std::string& error) {
  std::unique_ptr<Simulation> simulation;
  return RunScriptText(
      folder, "-", script, StartSimulation(simulation), [] {},
      [&simulation] { simulation->Flush(); }, error);
}

}  // namespace kl::tool
