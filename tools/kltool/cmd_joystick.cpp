// kltool joystick: the control panel applet's joystick configuration from the
// command line, through the applet's own model. Natively the registry is a
// .reg file and the joystick driver a simulated one; on Windows the real
// registry and driver are used unless a file or answering list is given.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "applet/applet_state.h"
#include "applet/joystick_registry.h"
#include "applet/selection.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_registry.h"
#include "resources/builtin_strings.h"
#include "tools/kltool/commands.h"
#include "tools/kltool/joystick_pages.h"
#include "tools/kltool/profile_tool.h"
#include "tools/kltool/script_words.h"

#ifdef _WIN32
#include "platform/win32/win32_joystick.h"
#include "platform/win32/win32_registry.h"
#endif

namespace kl::tool {
namespace {

#ifdef _WIN32
// The real registry and multimedia joystick driver.
struct SystemSeams {
  Win32Registry registry;
  Win32Joystick joystick;
};
constexpr bool kHasSystemSeams = true;
#else
// Without the Win32 seams (natively) there is no system registry or driver:
// an empty registry and a driver with nothing plugged in stand for them.
struct SystemSeams {
  SimRegistry registry;
  SimJoystick joystick;
};
constexpr bool kHasSystemSeams = false;
#endif

struct Options {
  std::vector<std::string> words;  // the subcommand and its operands
  bool json = false;
  std::optional<std::string> registryFile;
  std::optional<std::string> answering;
  std::optional<uint32_t> flags;
  std::optional<uint32_t> buttons;
};

// Decimal or 0x hexadecimal, the whole word, within 32 bits.
std::optional<uint32_t> ParseNumber32(const std::string& text) {
  const std::optional<uint64_t> value = ParseNumber(text, 0xFFFFFFFFu);
  if (!value) return std::nullopt;
  return static_cast<uint32_t>(*value);
}

bool ParseOptions(const Args& args, Options& options, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    auto value = [&](const char* name) -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        error = std::string(name) + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    if (word == "--json") {
      options.json = true;
    } else if (word == "--registry") {
      options.registryFile = value("--registry");
      if (!options.registryFile) return false;
    } else if (word == "--answering") {
      options.answering = value("--answering");
      if (!options.answering) return false;
    } else if (word == "--flags" || word == "--buttons") {
      auto text = value(word.c_str());
      if (!text) return false;
      auto number = ParseNumber32(*text);
      if (!number) {
        error = word + " takes a number, not \"" + *text + "\"";
        return false;
      }
      (word == "--flags" ? options.flags : options.buttons) = number;
    } else if (word.rfind("--", 0) == 0) {
      error = "unknown option " + word;
      return false;
    } else {
      options.words.push_back(word);
    }
  }
  return true;
}

// "0,1" or "0:10,1:12": multimedia joystick numbers that answer, each with the
// button count its capabilities report (12 when not given).
bool PlugAnswering(const std::string& list, SimJoystick& joystick, std::string& error) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string item = list.substr(start, end - start);
    const size_t colon = item.find(':');
    const auto number = ParseNumber32(item.substr(0, colon));
    const auto buttons = colon == std::string::npos ? std::optional<uint32_t>(12)
                                                    : ParseNumber32(item.substr(colon + 1));
    if (!number || !buttons || *number >= joystick.GetNumDevs() || *buttons > 32) {
      error = "--answering takes joystick numbers 0.." + std::to_string(joystick.GetNumDevs() - 1) +
              ", each with an optional :BUTTONS up to 32, not \"" + item + "\"";
      return false;
    }
    joystick.Plug(*number).caps.wNumButtons = *buttons;
    start = end + 1;
  }
  return true;
}

// Replaces the file atomically: a crash leaves the old registry or the new one.
bool WriteFileAtomically(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out.write(text.data(), static_cast<std::streamsize>(text.size())) || !out.flush()) {
      return false;
    }
  }
  std::error_code failure;
  std::filesystem::rename(temporary, path, failure);
  if (failure) std::filesystem::remove(temporary, failure);
  return !failure;
}

std::string Hex32(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08x", value);
  return buffer;
}

std::string JsonNumbers(std::initializer_list<uint32_t> values) {
  std::string out = "[";
  bool first = true;
  for (uint32_t v : values) {
    if (!first) out += ",";
    out += std::to_string(v);
    first = false;
  }
  return out + "]";
}

std::string JsonPos(const JoyPos& p) {
  return JsonNumbers({p.dwX, p.dwY, p.dwZ, p.dwR, p.dwU, p.dwV});
}

std::string TextPos(const JoyPos& p) {
  std::string out;
  for (uint32_t v : {p.dwX, p.dwY, p.dwZ, p.dwR, p.dwU, p.dwV}) {
    if (!out.empty()) out += ",";
    out += std::to_string(v);
  }
  return out;
}

// Names are bytes of the system's code page; UTF-8 passes as it is, other
// bytes above 127 are read as Latin-1 so the output is always valid JSON.
void AppendJsonString(std::string& out, const std::string& text) {
  const bool utf8 = IsUtf8(text);
  out += '"';
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || (c >= 0x80 && !utf8)) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
      out += buffer;
    } else {
      out += ch;
    }
  }
  out += '"';
}

std::string Json(const std::string& text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

void PrintJson(const AppletState& state) {
  std::string out = "{\"types\":[";
  for (size_t i = 0; i < state.types.size(); ++i) {
    const JoystickTypeEntry& t = state.types[i];
    if (i) out += ",";
    out += "{\"key\":" + Json(t.oemKey) + ",\"name\":" + Json(t.displayName) +
           ",\"callout\":" + Json(t.oemCallout) + ",\"flags\":" + std::to_string(t.flags) +
           ",\"buttons\":" + std::to_string(t.buttons) + "}";
  }
  out += "],\"joysticks\":[";
  for (uint32_t id = 1; id <= kJoystickCount; ++id) {
    const JoystickRecord& r = state.working.At(id);
    const JOYREGHWCONFIG& c = r.config;
    const JoyRange& range = c.hwv.jrvHardware;
    if (id > 1) out += ",";
    out += "{\"id\":" + std::to_string(id) + ",\"present\":" + (r.present ? "true" : "false") +
           ",\"status\":" + std::to_string(r.status) + ",\"key\":" + Json(r.oemKey) +
           ",\"name\":" + Json(r.displayName) + ",\"callout\":" + Json(r.oemCallout) +
           ",\"padButtons\":" + std::to_string(r.padButtons) +
           ",\"config\":{\"flags\":" + std::to_string(c.hws.dwFlags) +
           ",\"buttons\":" + std::to_string(c.hws.dwNumButtons) +
           ",\"usage\":" + std::to_string(c.dwUsageSettings) + ",\"min\":" + JsonPos(range.jpMin) +
           ",\"max\":" + JsonPos(range.jpMax) + ",\"center\":" + JsonPos(range.jpCenter) +
           ",\"pov\":" +
           JsonNumbers({c.hwv.dwPOVValues[0], c.hwv.dwPOVValues[1], c.hwv.dwPOVValues[2],
                        c.hwv.dwPOVValues[3]}) +
           ",\"calFlags\":" + std::to_string(c.hwv.dwCalFlags) +
           ",\"type\":" + std::to_string(c.dwType) + "}}";
  }
  out += "]}\n";
  std::fputs(out.c_str(), stdout);
}

const char* StatusText(uint8_t status) {
  switch (status) {
    case kStatusAnswers:
      return "answers";
    case kStatusUnplugged:
      return "unplugged";
    default:
      return "fails";
  }
}

void PrintText(const AppletState& state) {
  std::printf("types:\n");
  for (size_t i = 0; i < state.types.size(); ++i) {
    const JoystickTypeEntry& t = state.types[i];
    std::printf("%4zu  %s  key=%s callout=%s flags=%s buttons=%u\n", i, Json(t.displayName).c_str(),
                Json(t.oemKey).c_str(), Json(t.oemCallout).c_str(), Hex32(t.flags).c_str(),
                t.buttons);
  }
  std::printf("joysticks:\n");
  for (uint32_t id = 1; id <= kJoystickCount; ++id) {
    const JoystickRecord& r = state.working.At(id);
    const JOYREGHWCONFIG& c = r.config;
    std::printf("%4u  %s", id, r.present ? "present" : "none");
    if (r.present) {
      std::printf(" %s %s key=%s callout=%s padButtons=%u", StatusText(r.status),
                  Json(r.displayName).c_str(), Json(r.oemKey).c_str(), Json(r.oemCallout).c_str(),
                  r.padButtons);
    }
    std::printf("\n      flags=%s buttons=%u usage=%s type=%u calFlags=%s\n",
                Hex32(c.hws.dwFlags).c_str(), c.hws.dwNumButtons, Hex32(c.dwUsageSettings).c_str(),
                c.dwType, Hex32(c.hwv.dwCalFlags).c_str());
    std::printf("      min=%s max=%s center=%s pov=%u,%u,%u,%u\n",
                TextPos(c.hwv.jrvHardware.jpMin).c_str(), TextPos(c.hwv.jrvHardware.jpMax).c_str(),
                TextPos(c.hwv.jrvHardware.jpCenter).c_str(), c.hwv.dwPOVValues[0],
                c.hwv.dwPOVValues[1], c.hwv.dwPOVValues[2], c.hwv.dwPOVValues[3]);
  }
}

std::optional<uint32_t> ParseJoystickId(const std::string& text, std::string& error) {
  const auto id = ParseNumber32(text);
  if (!id || !IsJoystickId(*id)) {
    error = "joystick id must be 1..16, not \"" + text + "\"";
    return std::nullopt;
  }
  return id;
}

constexpr const char* kUsage =
    "usage: kltool joystick show [--json] | autodetect | set ID TYPE [--flags N] [--buttons N] | "
    "remove ID | calibrate [SCRIPT] | testpage [SCRIPT]; options --registry FILE.reg, "
    "--answering LIST";

}  // namespace

int RunJoystick(const Args& args) {
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) return UserError(error);
  if (options.words.empty()) return UserError(kUsage);
  const std::string& command = options.words[0];
  const size_t operands = options.words.size() - 1;
  const bool page = command == "calibrate" || command == "testpage";
  const bool changes = command == "autodetect" || command == "set" || command == "remove";
  if (!((command == "show" && operands == 0) || (command == "autodetect" && operands == 0) ||
        (command == "set" && operands == 2) || (command == "remove" && operands == 1) ||
        (page && operands <= 1))) {
    return UserError(kUsage);
  }

  // The registry and the joystick driver: a .reg file and a simulated driver
  // where given, the system's otherwise (natively an empty registry and a
  // driver with nothing plugged in).
  SystemSeams system;
  std::unique_ptr<SimRegistry> fileRegistry;
  if (options.registryFile) {
    fileRegistry = std::make_unique<SimRegistry>();
    if (!fileRegistry->LoadFile(*options.registryFile, &error)) {
      if (error.find(*options.registryFile) == std::string::npos) {
        error = *options.registryFile + ": " + error;
      }
      return UserError(error);
    }
  } else if (!kHasSystemSeams && changes) {
    return UserError("--registry FILE.reg is needed to change a configuration");
  }
  std::unique_ptr<SimJoystick> simJoystick;
  if (options.answering) {
    simJoystick = std::make_unique<SimJoystick>();
    if (!PlugAnswering(*options.answering, *simJoystick, error)) return UserError(error);
  }
  Registry& registry = fileRegistry ? static_cast<Registry&>(*fileRegistry) : system.registry;
  Joystick& driver = simJoystick ? static_cast<Joystick&>(*simJoystick) : system.joystick;
  // The page scripts make polls fail on request; nothing else does.
  FailableJoystick joystick(driver);
  const BuiltinStrings strings(StringModule::kOstra);
  JoystickRegistry joysticks(registry, joystick, strings);

  AppletState state;
  joysticks.BuildJoystickTypeList(state.types);
  joysticks.LoadJoystickTable(state.types, state.working);

  if (page) {
    // As the selection page leaves the table: probed, with the pads' buttons.
    FillDeviceList(joysticks, state);
    state.respondingCount = joysticks.CountRespondingJoysticks();
    state.opening = state.applied = state.working;
    const std::string before = fileRegistry ? fileRegistry->DumpText() : "";
    const std::optional<std::string> script =
        operands == 1 ? std::optional<std::string>(options.words[1]) : std::nullopt;
    const PageKind kind = command == "calibrate" ? PageKind::kCalibration : PageKind::kTest;
    if (!RunPageScript(kind, script, joysticks, state, joystick, simJoystick.get(), error)) {
      return UserError(error);
    }
    if (fileRegistry) {
      const std::string after = fileRegistry->DumpText();
      if (after != before && !WriteFileAtomically(*options.registryFile, after)) {
        return UserError("cannot write " + *options.registryFile);
      }
    }
    return 0;
  }

  if (command == "show") {
    // Status and pad buttons from a probe; the configuration as stored.
    const JoystickTable stored = state.working;
    FillDeviceList(joysticks, state);
    for (uint32_t id = 1; id <= kJoystickCount; ++id) {
      state.working.At(id).config = stored.At(id).config;
    }
    if (options.json) {
      PrintJson(state);
    } else {
      PrintText(state);
    }
    return 0;
  }

  bool stored = false;
  if (command == "autodetect") {
    stored = AutoDetectPads(joysticks, state);
    std::printf("answering: %u\n", state.respondingCount);
  } else if (command == "set") {
    const auto id = ParseJoystickId(options.words[1], error);
    if (!id) return UserError(error);
    const auto type = ParseNumber32(options.words[2]);
    if (!type || *type >= state.types.size()) {
      return UserError("joystick type must be a position 0.." +
                       std::to_string(state.types.size() - 1) + " of the type list, not \"" +
                       options.words[2] + "\"");
    }
    TypeChoice choice{*id, *type, options.flags.value_or(0), options.buttons.value_or(2)};
    AcceptJoystickType(joysticks, state, choice);
    stored = joysticks.SaveJoystickTable(state.working);
  } else {
    const auto id = ParseJoystickId(options.words[1], error);
    if (!id) return UserError(error);
    ClearJoystick(state.working, *id);
    stored = joysticks.SaveJoystickTable(state.working);
  }
  if (!stored) {
    return UserError(
        std::string("the registry has no joystick driver key under HKEY_LOCAL_MACHINE\\") +
        kJoystickKeyPath + " to write to");
  }
  if (options.registryFile &&
      !WriteFileAtomically(*options.registryFile, fileRegistry->DumpText())) {
    return UserError("cannot write " + *options.registryFile);
  }
  return 0;
}

}  // namespace kl::tool
