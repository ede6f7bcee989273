// kltool editor: the editor's pad view logic against a scripted world. Pads
// and the registry are simulated; the key files and the game list are those
// of FOLDER and change as the editor changes them. Every call the view makes
// into its ports is printed as it happens; lines starting with "# " are notes.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/pad_view.h"
#include "editor/recording_ports.h"
#include "platform/registry_keys.h"
#include "platform/sim/host_filesystem.h"
#include "platform/sim/recording_input.h"
#include "platform/sim/recording_timers.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_pads.h"
#include "platform/sim/sim_registry.h"
#include "resources/builtin_strings.h"
#include "tools/kltool/commands.h"
#include "tools/kltool/script_words.h"

namespace kl::tool {
namespace {

constexpr uint32_t kMaxJoystickId = 15;
constexpr char kPadName[] = "Vornatek GamePad";

class EditorWorld {
 public:
  explicit EditorWorld(const std::string& folder)
      : m_canvas(m_log),
        m_prompts(m_log),
        m_shell(m_log),
        m_timers(m_log),
        m_strings(StringModule::kKloom),
        m_settingLog(m_registry, m_log),
        m_view(PadViewPorts{m_canvas, m_prompts, m_prompts, m_shell, m_timers, m_settingLog,
                            m_joystick, m_fs, m_input, m_strings},
               folder) {
    m_shell.SetRepaint([this] { m_view.OnDraw(); });
  }

  bool Run(const std::vector<std::string>& words, std::string& error);
  void Flush() {
    for (const std::string& line : m_log) std::printf("%s\n", line.c_str());
    m_log.clear();
  }

 private:
  bool Pad(const std::vector<std::string>& words, std::string& error);
  bool State(const std::vector<std::string>& words, std::string& error);
  bool Setting(const std::vector<std::string>& words, std::string& error);
  bool Key(const std::vector<std::string>& words, bool down, std::string& error);
  bool Live(const std::vector<std::string>& words, std::string& error);
  std::optional<layout::Point> PointOf(const std::vector<std::string>& words, std::string& error);
  void EnsureStarted();

  PortLog m_log;
  RecordingCanvas m_canvas;
  ScriptedPrompts m_prompts;
  RecordingShell m_shell;
  RecordingTimers m_timers;
  SimRegistry m_registry;
  SimJoystick m_joystick;
  HostFileSystem m_fs;
  RecordingInput m_input;
  BuiltinStrings m_strings;
  SettingLogRegistry m_settingLog;
  PadView m_view;
  bool m_started = false;
};

void EditorWorld::EnsureStarted() {
  if (m_started) return;
  m_started = true;
  m_view.Create();
}

bool EditorWorld::Pad(const std::vector<std::string>& words, std::string& error) {
  const std::optional<uint64_t> id =
      words.size() == 3 ? ParseNumber(words[1], kMaxJoystickId) : std::nullopt;
  const std::optional<uint64_t> buttons = words.size() == 3 && words[2].rfind("buttons=", 0) == 0
                                              ? ParseNumber(words[2].substr(8), 32)
                                              : std::nullopt;
  if (!id || !buttons) {
    error = "usage: pad ID buttons=N (ID 0 to 15, N up to 32)";
    return false;
  }
  const uint32_t number = static_cast<uint32_t>(*id);
  DeclarePad(m_joystick, m_registry, number,
             {"kltool<" + std::to_string(number) + ">", "kltool pad " + std::to_string(number),
              kPadName, static_cast<uint32_t>(*buttons)});
  return true;
}

bool EditorWorld::State(const std::vector<std::string>& words, std::string& error) {
  const std::optional<uint64_t> id =
      words.size() >= 2 ? ParseNumber(words[1], kMaxJoystickId) : std::nullopt;
  SimJoystick::Device* device = id ? m_joystick.Find(static_cast<uint32_t>(*id)) : nullptr;
  if (!device) {
    error = "usage: state ID x=X y=Y buttons=MASK, for a declared pad";
    return false;
  }
  return ApplyStateFields(
      words, 2,
      {{"x", &JoyInfo::dwXpos}, {"y", &JoyInfo::dwYpos}, {"buttons", &JoyInfo::dwButtons}},
      device->state, error);
}

bool EditorWorld::Setting(const std::vector<std::string>& words, std::string& error) {
  RegKey key = kRegNone;
  if (words.size() == 2 && words[1] == "none") {
    if (m_registry.OpenKey(kHkeyCurrentUser, kSettingKey, kKeyAllAccess, key) == kRegOk) {
      m_registry.DeleteValue(key, kSettingValue);
      m_registry.CloseKey(key);
    }
    return true;
  }
  uint8_t data[5] = {};
  for (size_t i = 1; i < words.size() && words.size() == 5; ++i) {
    const std::optional<uint64_t> n = ParseNumber(words[i], 255);
    if (!n) break;
    data[i - 1] = static_cast<uint8_t>(*n);
    if (i == 4) {
      if (m_registry.CreateKey(kHkeyCurrentUser, kSettingKey, kKeyAllAccess, key) != kRegOk) {
        error = "cannot write the setting";
        return false;
      }
      m_registry.SetValue(key, kSettingValue, kRegBinary, data, sizeof data);
      m_registry.CloseKey(key);
      return true;
    }
  }
  error = "usage: setting PAGE ROW PPAGE PROW (each 0 to 255) | setting none";
  return false;
}

std::optional<layout::Point> EditorWorld::PointOf(const std::vector<std::string>& words,
                                                  std::string& error) {
  // Client coordinates are signed 16-bit values of the mouse message.
  auto coordinate = [](const std::string& w) -> std::optional<int> {
    const bool negative = !w.empty() && w[0] == '-';
    const std::optional<uint64_t> n = ParseNumber(negative ? w.substr(1) : w, 32768);
    if (!n) return std::nullopt;
    return negative ? -static_cast<int>(*n) : static_cast<int>(*n);
  };
  const std::optional<int> x = words.size() == 3 ? coordinate(words[1]) : std::nullopt;
  const std::optional<int> y = words.size() == 3 ? coordinate(words[2]) : std::nullopt;
  if (!x || !y) {
    error = "usage: " + words[0] + " X Y";
    return std::nullopt;
  }
  return layout::Point{*x, *y};
}

bool EditorWorld::Key(const std::vector<std::string>& words, bool down, std::string& error) {
  const std::optional<uint64_t> vk = words.size() >= 2 ? ParseNumber(words[1], 255) : std::nullopt;
  bool extended = false;
  bool repeat = false;
  bool ok = vk.has_value();
  for (size_t i = 2; i < words.size() && ok; ++i) {
    if (words[i] == "ext") {
      extended = true;
    } else if (down && words[i] == "repeat") {
      repeat = true;
    } else {
      ok = false;
    }
  }
  if (!ok) {
    error = down ? "usage: key VK [ext] [repeat]" : "usage: keyup VK [ext]";
    return false;
  }
  uint32_t code = static_cast<uint32_t>(*vk);
  // The left and right modifier codes arrive as the plain modifier with the
  // scan code and extended bit of that side, as the window receives them.
  uint32_t scan = m_input.MapVirtualKey(code, 0) & 0xFF;
  if (code >= 160 && code <= 165) {
    const uint32_t side = code;
    code = side <= 161 ? 16 : side <= 163 ? 17 : 18;
    if (side == 161) scan = 0x36;
    if (side == 163 || side == 165) extended = true;
  }
  KeyEvent key;
  key.down = down;
  key.vk = code;
  key.scan = scan;
  key.extended = extended;
  key.previous = repeat || !down;
  key.system = code == 18 || code == 121;  // Alt and F10 come as system keys
  EnsureStarted();
  if (!m_view.OnKey(key)) m_log.push_back("key passed");
  return true;
}

// timer ID | active yes|no | tooltip TOOL
bool EditorWorld::Live(const std::vector<std::string>& words, std::string& error) {
  const std::string& command = words[0];
  if (command == "active") {
    if (words.size() != 2 || (words[1] != "yes" && words[1] != "no")) {
      error = "usage: active yes|no";
      return false;
    }
    m_shell.SetActive(words[1] == "yes");
    return true;
  }
  const uint64_t id = words.size() == 2 ? ParseNumber(words[1], 0xFFFFFFFFu).value_or(0) : 0;
  if (command == "timer") {
    if (id < 1 || id > 3) {
      error = "usage: timer ID (1, 2 or 3)";
      return false;
    }
    EnsureStarted();
    m_view.OnTimer(static_cast<uint32_t>(id));
    return true;
  }
  if (words.size() != 2 || !ParseNumber(words[1], 0xFFFFFFFFu)) {
    error = "usage: tooltip TOOL (a tool id)";
    return false;
  }
  EnsureStarted();
  const std::optional<std::string> text = m_view.TooltipText(static_cast<uint32_t>(id));
  m_log.push_back(text ? "tooltip-text " + QuoteForLog(*text) : "tooltip-text none");
  return true;
}

bool EditorWorld::Run(const std::vector<std::string>& words, std::string& error) {
  const std::string& command = words[0];
  if (command == "pad") return Pad(words, error);
  if (command == "unplug" || command == "plug") {
    const std::optional<uint64_t> id =
        words.size() == 2 ? ParseNumber(words[1], kMaxJoystickId) : std::nullopt;
    if (!id || !m_joystick.Find(static_cast<uint32_t>(*id))) {
      error = "usage: " + command + " ID, for a declared pad";
      return false;
    }
    if (command == "plug") {
      m_joystick.Plug(static_cast<uint32_t>(*id));
    } else {
      m_joystick.Unplug(static_cast<uint32_t>(*id));
    }
    return true;
  }
  if (command == "state") return State(words, error);
  if (command == "setting") return Setting(words, error);
  if (command == "answer") {
    if (words.size() != 2) {
      error = "usage: answer VALUE";
      return false;
    }
    m_prompts.QueueAnswer(words[1]);
    return true;
  }
  if (command == "start") {
    if (words.size() != 1) {
      error = "usage: start";
      return false;
    }
    EnsureStarted();
    Flush();
    return true;
  }
  if (command == "click" || command == "down" || command == "up" || command == "move") {
    const std::optional<layout::Point> p = PointOf(words, error);
    if (!p) return false;
    EnsureStarted();
    if (command == "click" || command == "down") m_view.OnLeftButtonDown(*p);
    if (command == "click" || command == "up") m_view.OnLeftButtonUp(*p);
    if (command == "move") m_view.OnMouseMove(*p);
    Flush();
    return true;
  }
  if (command == "key" || command == "keyup") {
    const bool ok = Key(words, command == "key", error);
    Flush();
    return ok;
  }
  if (command == "repaint") {
    EnsureStarted();
    m_shell.Repaint();
    Flush();
    return true;
  }
  if (command == "timer" || command == "active" || command == "tooltip") {
    const bool ok = Live(words, error);
    Flush();
    return ok;
  }
  error = "unknown command: " + command;
  return false;
}

}  // namespace

int RunEditor(const Args& args) {
  std::unique_ptr<EditorWorld> world;
  return RunScript(
      args, "usage: kltool editor FOLDER [SCRIPT]",
      [&world](const std::string& folder) -> ScriptCommand {
        world = std::make_unique<EditorWorld>(folder);
        return [&world](const std::vector<std::string>& words, std::string& error) {
          return world->Run(words, error);
        };
      },
      [&world] { world->Flush(); }, [&world] { world->Flush(); });
}

}  // namespace kl::tool
