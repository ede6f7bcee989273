// Soak run of the runtime mapper: its own code against a simulated world
// driven by a long seeded random script. Pads are plugged and unplugged and
// read anything, games start and end, a DOS box comes and goes with any
// answer, the editor comes to the front and leaves, and the key files and
// the game list are rewritten with valid and with random bytes.
//
// It checks what a user would notice: no key or mouse button stays down
// when play stops or at the end, and memory stays flat (every C++
// allocation is counted). Built with AddressSanitizer and
// UndefinedBehaviorSanitizer (KL_SANITIZE) it also proves the absence of
// memory errors and, at exit, of leaks.
//
//   kl_soak [--seed N] [--ticks N | --seconds S]
// prints its figures and exits 0 when every check held.
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "editor_side.h"
#include "mapper/detect.h"
#include "mapper/dosquery.h"
#include "platform/registry_keys.h"
#include "platform/sim/memory_filesystem.h"
#include "platform/sim/recording_input.h"
#include "platform/sim/recording_timers.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_dosbox.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_pads.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_registry.h"
#include "profile/gamelist.h"

// Every allocation through new is counted, so the run can see memory that
// grows while the world only changes.
namespace {
std::atomic<int64_t> g_liveBytes{0};
std::atomic<int64_t> g_peakBytes{0};
std::atomic<uint64_t> g_allocations{0};

void* Allocate(size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  const int64_t live = g_liveBytes += static_cast<int64_t>(malloc_usable_size(p));
  int64_t peak = g_peakBytes.load();
  while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live)) {
  }
  ++g_allocations;
  return p;
}

void Release(void* p) {
  if (!p) return;
  g_liveBytes -= static_cast<int64_t>(malloc_usable_size(p));
  std::free(p);
}
}  // namespace

void* operator new(size_t size) {
  return Allocate(size);
}
void* operator new[](size_t size) {
  return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept {
  Release(p);
}
void operator delete[](void* p) noexcept {
  Release(p);
}
void operator delete(void* p, size_t) noexcept {
  Release(p);
}
void operator delete[](void* p, size_t) noexcept {
  Release(p);
}

namespace kl::soak {
namespace {

constexpr char kFolder[] = "/soak/KEYFILES/";
constexpr uint32_t kJoystickIds = 6;
// Registered games and the process names that run them.
const char* const kGames[] = {"DOOM.EXE", "ZORK.EXE", "QUAKE.EXE"};
const char* const kProcessNames[] = {
    "C:\\GAMES\\DOOM\\doom.exe", "DOOM.EXE",    "zork.exe",
    "C:\\Q\\QUAKE.EXE",          "NOTEPAD.EXE", "C:\\x\\doom.exe.bak"};
const char* const kPadNames[] = {"Vornatek GamePad", "Brontal GamePad", "Vornatek Gamepad", ""};

// RSS high-water mark of the process in KiB, or 0 when unknown.
long PeakRssKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

struct Figures {
  uint64_t ticks = 0;
  uint64_t polls = 0;
  uint64_t monitors = 0;
  uint64_t worldChanges = 0;
  uint64_t fileRewrites = 0;
  uint64_t keyEvents = 0;
  uint64_t mouseEvents = 0;
  uint64_t sleeps = 0;
  uint64_t activeMonitors = 0;
  uint64_t heldChecks = 0;
  uint64_t failures = 0;
};

class Soak {
 public:
  explicit Soak(uint64_t seed)
      : m_random(seed),
        m_mapper(MapperSeams{m_joystick, m_registry, m_input, m_processes, m_dosBox, m_folder,
                             m_timers, m_desktop},
                 kFolder),
        m_editorSide(m_folder, m_random, kFolder) {
    for (int i = 0; i < 6; ++i) EditorSave();
    Plug(0, kPadNames[0], 12);
  }

  // One tick of the window system, with a change of the world now and then.
  void Step() {
    if (Chance(8)) ChangeWorld();
    if (Chance(2)) Read(Pick(kJoystickIds));
    ++m_figures.ticks;
    if (!m_mapper.IsStarted()) {
      m_mapper.Start();
    } else if (m_figures.ticks % 37 == 0) {
      if (m_timers.IsRunning(kMonitorTimer)) m_mapper.OnTimer(kMonitorTimer);
      ++m_figures.monitors;
      Account();
      CheckNothingHeldWhenIdle();
      return;
    } else if (m_timers.IsRunning(kPollTimer)) {
      m_mapper.OnTimer(kPollTimer);
      ++m_figures.polls;
    }
    Account();
  }

  // Closes the mapper and checks that nothing was left down.
  void Finish() {
    m_mapper.Shutdown();
    Account();
    if (!m_keysDown.empty() || !m_mouseDown.empty()) {
      Fail("after closing, %zu key(s) and %zu mouse button(s) are still down", m_keysDown.size(),
           m_mouseDown.size());
    }
  }

  const Figures& Result() const { return m_figures; }
  size_t FolderBytes() const { return m_folder.TotalBytes(); }

 private:
  bool Chance(uint32_t oneIn) { return m_random() % oneIn == 0; }
  uint32_t Pick(uint32_t count) { return static_cast<uint32_t>(m_random() % count); }

  template <typename... Args>
  void Fail(const char* format, Args... args) {
    ++m_figures.failures;
    if (m_figures.failures > 10) return;
    std::fprintf(stderr, "soak: tick %llu: ", static_cast<unsigned long long>(m_figures.ticks));
    std::fprintf(stderr, format, args...);
    std::fprintf(stderr, "\n");
  }

  // Follows every key and mouse button down and up the mapper sent.
  void Account() {
    for (const InputEvent& e : m_input.Events()) {
      switch (e.kind) {
        case InputEvent::Kind::kKey:
          ++m_figures.keyEvents;
          if (e.flags & 0x0002) {
            m_keysDown.erase({e.vk, e.scan});
          } else {
            m_keysDown.insert({e.vk, e.scan});
          }
          break;
        case InputEvent::Kind::kMouse:
          ++m_figures.mouseEvents;
          for (uint32_t down : {0x0002u, 0x0008u, 0x0020u}) {
            if (e.flags & down) m_mouseDown.insert(down);
            if (e.flags & (down << 1)) m_mouseDown.erase(down);
          }
          break;
        case InputEvent::Kind::kSleep:
          ++m_figures.sleeps;
          break;
      }
    }
    m_input.Clear();
    // The simulations keep transcripts of their own for tests; they are
    // not the mapper's memory.
    m_timers.ClearCalls();
    m_dosBox.debugLines.clear();
    m_dosBox.controlCodes.clear();
    m_dosBox.openedNames.clear();
  }

  // When play stops, whatever it held down must have been let go.
  void CheckNothingHeldWhenIdle() {
    if (m_mapper.IsActive() && m_mapper.IsPolling()) {
      ++m_figures.activeMonitors;
      return;
    }
    ++m_figures.heldChecks;
    if (!m_keysDown.empty() || !m_mouseDown.empty()) {
      Fail("play stopped (%s) with %zu key(s) and %zu mouse button(s) down",
           m_mapper.IsActive() ? "paused" : "no game", m_keysDown.size(), m_mouseDown.size());
      m_keysDown.clear();
      m_mouseDown.clear();
    }
  }

  uint32_t Reading() {
    switch (Pick(6)) {
      case 0:
        return 0;
      case 1:
        return 65535;
      case 2:
        return 32668;
      case 3:
        return 32668 + Pick(3) - 1;
      default:
        return static_cast<uint32_t>(m_random());
    }
  }

  void Read(uint32_t id) {
    SimJoystick::Device* device = m_joystick.Find(id);
    if (!device) return;
    if (Chance(2)) device->state.dwXpos = Reading();
    if (Chance(2)) device->state.dwYpos = Reading();
    if (Chance(2)) {
      const uint32_t mask = static_cast<uint32_t>(m_random());
      device->state.dwButtons = Chance(8) ? mask : mask & 0x3 & static_cast<uint32_t>(m_random());
      if (Chance(3)) device->state.dwButtons |= 1u << Pick(12);
      if (Chance(3)) device->state.dwButtons = 0;
    }
  }

  void SetText(const std::string& path, const std::string& name, const std::string& text) {
    RegKey key = kRegNone;
    if (m_registry.CreateKey(kHkeyLocalMachine, path, kKeyAllAccess, key) != kRegOk) return;
    m_registry.SetValue(key, name, kRegSz, reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<uint32_t>(text.size()));
    m_registry.CloseKey(key);
  }

  // A device at `id` configured with OEM display name `oem` (the applet's
  // registry layout); an empty name leaves the device unnamed.
  void Plug(uint32_t id, const std::string& oem, uint32_t buttons) {
    const std::string driverKey = "soak<" + std::to_string(id) + ">";
    if (oem.empty()) {
      DeclarePad(m_joystick, m_registry, id, {driverKey, "", std::nullopt, buttons});
      return;
    }
    const std::string typeKey = "soak pad " + std::to_string(id);
    DeclarePad(m_joystick, m_registry, id, {driverKey, typeKey, oem, buttons});
    // Now and then the display name is stored without its terminator.
    if (Chance(16)) SetText(OemTypePath(typeKey), kOemNameValue, oem);
  }

  std::string RandomBytes(size_t max) {
    std::string bytes(Pick(static_cast<uint32_t>(max) + 1), '\0');
    for (char& c : bytes) c = static_cast<char>(m_random());
    return bytes;
  }

  std::string Mutated(std::string bytes) {
    const char specials[] = {'\r', '\n', '\x1A', '\0', '\x01', ' ', '[', '\xFF', '\x80'};
    for (uint32_t n = Pick(8); n > 0 && !bytes.empty(); --n) {
      const size_t at = Pick(static_cast<uint32_t>(bytes.size()));
      bytes[at] = Chance(2) ? static_cast<char>(m_random()) : specials[Pick(sizeof specials)];
    }
    if (Chance(3)) bytes.resize(Pick(static_cast<uint32_t>(bytes.size()) + 1));
    return bytes;
  }

  std::string KeyPath(int game) { return m_editorSide.KeyPath(kGames[game]); }
  std::string ListPath() { return m_editorSide.ListPath(); }
  void EditorSave() {
    m_editorSide.Save();
    ++m_figures.fileRewrites;
  }
  void SaveList() {
    m_editorSide.SaveList();
    ++m_figures.fileRewrites;
  }

  void ChangeFiles() {
    ++m_figures.fileRewrites;
    switch (Pick(8)) {
      case 0:
      case 1:
      case 2:
        EditorSave();
        return;
      case 3: {
        const std::string path = KeyPath(static_cast<int>(Pick(3)));
        const std::string* old = m_folder.Bytes(path);
        m_folder.Put(path, old && Chance(2) ? Mutated(*old) : RandomBytes(2048));
        break;
      }
      case 4: {
        const std::string* old = m_folder.Bytes(ListPath());
        m_folder.Put(ListPath(), old && Chance(2) ? Mutated(*old) : RandomBytes(300));
        break;
      }
      case 5:
        m_folder.Drop(Chance(2) ? ListPath() : KeyPath(static_cast<int>(Pick(3))));
        break;
      case 6:
        m_editorSide.RemoveGame(kGames[Pick(3)]);
        [[fallthrough]];
      default:
        SaveList();
        return;
    }
    // The mapper reloads only on a new write time of the list.
    if (Chance(2)) {
      if (const std::string* list = m_folder.Bytes(ListPath())) m_folder.Put(ListPath(), *list);
    }
  }

  void ChangeWorld() {
    ++m_figures.worldChanges;
    switch (Pick(10)) {
      case 0: {
        const uint32_t id = Pick(kJoystickIds);
        if (Chance(3)) {
          m_joystick.Unplug(id);
        } else {
          const uint32_t buttons = Chance(4) ? Pick(33) : Chance(2) ? 10 : 12;
          Plug(id, Chance(6) ? RandomBytes(20) : kPadNames[Pick(4)], buttons);
        }
        break;
      }
      case 1:
      case 2:
        if (m_processes.Names().size() < 12) {
          m_processes.Start(kProcessNames[Pick(sizeof kProcessNames / sizeof *kProcessNames)]);
        }
        break;
      case 3:
        if (!m_processes.Names().empty()) {
          const auto& names = m_processes.Names();
          m_processes.Kill(std::string(names[Pick(static_cast<uint32_t>(names.size()))]));
        }
        break;
      case 4:
        m_processes.SetFailing(Chance(10));
        break;
      case 5:
        ChangeDosBox();
        break;
      case 6:
        ChangeDesktop();
        break;
      default:
        ChangeFiles();
        break;
    }
  }

  void ChangeDosBox() {
    const bool hostRuns = IsProcessRunning(m_processes, kDosBoxHostModule);
    if (Chance(3)) {
      m_dosBox.present = false;
      m_dosBox.answer.clear();
      if (hostRuns) m_processes.Kill(kDosBoxHostModule);
      return;
    }
    if (Chance(2)) {
      m_dosBox.SetProgram(std::string("C:\\DOS\\") + kGames[Pick(3)]);
    } else {
      m_dosBox.present = true;
      const std::string bytes = RandomBytes(Chance(8) ? 600 : 40);
      m_dosBox.answer.assign(bytes.begin(), bytes.end());
    }
    m_dosBox.answerSucceeds = !Chance(8);
    if (!hostRuns) m_processes.Start(kDosBoxHostModule);
  }

  void ChangeDesktop() {
    switch (Pick(4)) {
      case 0:
        if (!m_desktop.IsWindow(m_editor)) m_editor = m_desktop.Open(kEditorTitle);
        m_desktop.BringToFront(m_editor);
        break;
      case 1:
        if (!m_desktop.IsWindow(m_other)) m_other = m_desktop.Open("Game");
        m_desktop.BringToFront(m_other);
        break;
      case 2:
        if (m_desktop.IsWindow(m_editor)) m_desktop.Close(m_editor);
        break;
      default:
        m_desktop.BringToFront(kNoWindow);
        break;
    }
  }

  std::mt19937_64 m_random;
  SimJoystick m_joystick;
  SimRegistry m_registry;
  RecordingInput m_input;
  SimProcesses m_processes;
  SimDosBox m_dosBox;
  MemoryFileSystem m_folder;
  RecordingTimers m_timers;
  SimDesktop m_desktop;
  RuntimeMapper m_mapper;
  EditorSide m_editorSide;
  WindowHandle m_editor = kNoWindow;
  WindowHandle m_other = kNoWindow;

  std::set<std::pair<uint8_t, uint8_t>> m_keysDown;
  std::set<uint32_t> m_mouseDown;
  Figures m_figures;
};

struct Options {
  uint64_t seed = 7;
  uint64_t ticks = 200000;
  double seconds = 0;  // when set, run this long instead of a tick count
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    char* end = nullptr;
    if (arg == "--seed") {
      options.seed = std::strtoull(value, &end, 10);
    } else if (arg == "--ticks") {
      options.ticks = std::strtoull(value, &end, 10);
    } else if (arg == "--seconds") {
      options.seconds = std::strtod(value, &end);
    } else {
      return false;
    }
    if (!end || *end != '\0') return false;
  }
  return true;
}

int Run(const Options& options) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const int64_t before = g_liveBytes;
  int64_t warm = 0;
  int64_t latePeak = 0;
  int64_t warmPeak = 0;
  Figures figures;
  size_t folderBytes = 0;
  {
    Soak soak(options.seed);
    // The run is cut in 100 stretches: the first 20 warm up, the peak of the
    // last 20 must stay near the peak of the warm-up.
    auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    for (int stretch = 0; stretch < 100; ++stretch) {
      if (options.seconds > 0) {
        const double until = options.seconds * (stretch + 1) / 100;
        while (elapsed() < until) {
          for (int i = 0; i < 256; ++i) soak.Step();
        }
      } else {
        const uint64_t until = options.ticks * (stretch + 1) / 100;
        while (soak.Result().ticks < until) soak.Step();
      }
      const int64_t live = g_liveBytes;
      if (stretch < 20) warmPeak = std::max(warmPeak, live);
      if (stretch == 19) warm = live;
      if (stretch >= 80) latePeak = std::max(latePeak, live);
    }
    soak.Finish();
    figures = soak.Result();
    folderBytes = soak.FolderBytes();
  }
  const int64_t after = g_liveBytes;
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

  // Growth beyond what a bigger world could explain is a leak.
  constexpr int64_t kSlack = 1 << 20;
  bool flat = latePeak <= warmPeak + kSlack;
  bool released = after == before;
  std::printf(
      "seed %llu: %llu ticks (%llu polls, %llu monitor ticks, %llu with a game in play) in "
      "%.1f s\n",
      static_cast<unsigned long long>(options.seed), static_cast<unsigned long long>(figures.ticks),
      static_cast<unsigned long long>(figures.polls),
      static_cast<unsigned long long>(figures.monitors),
      static_cast<unsigned long long>(figures.activeMonitors), seconds);
  std::printf(
      "world changes %llu, file rewrites %llu, key events %llu, mouse events %llu, "
      "sleeps %llu, stopped-play checks %llu\n",
      static_cast<unsigned long long>(figures.worldChanges),
      static_cast<unsigned long long>(figures.fileRewrites),
      static_cast<unsigned long long>(figures.keyEvents),
      static_cast<unsigned long long>(figures.mouseEvents),
      static_cast<unsigned long long>(figures.sleeps),
      static_cast<unsigned long long>(figures.heldChecks));
  std::printf(
      "live heap: %lld B after warm-up, peak %lld B warm-up / %lld B last fifth, "
      "%lld B overall; %lld B left after the end (before start %lld B); folder %zu B; "
      "%llu allocations; peak RSS %ld KiB\n",
      static_cast<long long>(warm), static_cast<long long>(warmPeak),
      static_cast<long long>(latePeak), static_cast<long long>(g_peakBytes.load()),
      static_cast<long long>(after), static_cast<long long>(before), folderBytes,
      static_cast<unsigned long long>(g_allocations.load()), PeakRssKiB());
  if (!flat) std::fprintf(stderr, "soak: memory grew: the heap is not flat\n");
  if (!released) std::fprintf(stderr, "soak: memory still allocated after the end\n");
  const bool ok = figures.failures == 0 && flat && released && figures.activeMonitors > 0 &&
                  figures.keyEvents > 0 && figures.heldChecks > 0;
  if (figures.activeMonitors == 0 || figures.keyEvents == 0) {
    std::fprintf(stderr, "soak: no game was ever played: the run proves nothing\n");
  }
  std::printf("%s\n", ok ? "soak: passed" : "soak: FAILED");
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace kl::soak

int main(int argc, char** argv) {
  kl::soak::Options options;
  if (!kl::soak::ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: kl_soak [--seed N] [--ticks N | --seconds S]\n");
    return 1;
  }
  return kl::soak::Run(options);
}
