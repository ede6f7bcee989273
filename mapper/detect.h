// The runtime mapper's logic, driven by the two timers of its hidden frame.
//
// The poll timer (id 1, 40 ms) plays the pads through the engine while a
// registered game is active. The monitor timer (id 2, 1.5 s) pauses play
// while the editor is in front, looks for a running registered game when
// the number of processes changes and loads its active profile, keeps the
// pad table current, and reloads when the editor rewrites the game list.
//
// Whenever play stops or the profile under it changes, every key and mouse
// button the engine holds down is let go first, so nothing stays stuck in
// other programs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "gamepad/pads.h"
#include "mapper/engine.h"
#include "mapper/loader.h"
#include "mapper/play_table.h"
#include "platform/desktop.h"
#include "platform/dosbox.h"
#include "platform/filesystem.h"
#include "platform/input.h"
#include "platform/joystick.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/timers.h"
#include "profile/gamelist.h"

namespace kl {

constexpr uint32_t kPollTimer = 1;
constexpr uint32_t kPollPeriod = 40;
constexpr uint32_t kMonitorTimer = 2;
constexpr uint32_t kMonitorPeriod = 1500;
// The editor's main window title.
constexpr char kEditorTitle[] = "KeyLoom";

// Gives the number of processes in a snapshot; false (count 0) when no
// snapshot can be taken.
bool CountProcesses(Processes& processes, uint32_t& count);

// Whether a process runs whose file name, upper-cased (a to z only) and
// without its folder, equals `name` exactly.
bool IsProcessRunning(Processes& processes, const std::string& name);

// The operating system as the runtime mapper reaches it.
struct MapperSeams {
  Joystick& joystick;
  Registry& registry;
  Input& input;
  Processes& processes;
  DosBoxDriver& dosBox;
  FileSystem& fs;
  Timers& timers;
  Desktop& desktop;
};

// What the tray icon's "Activate Program" command does.
enum class Activation {
  kNoPad,        // tell the user that no pad is connected; the editor stays closed
  kStartEditor,  // start the editor, then report it with EditorStarted()
};

class RuntimeMapper {
 public:
  // `workFolder` holds "GameList.lst" and the key files.
  RuntimeMapper(const MapperSeams& seams, std::string workFolder);
  RuntimeMapper(const RuntimeMapper&) = delete;
  RuntimeMapper& operator=(const RuntimeMapper&) = delete;

  // The frame was created: pads, game list, write time, the monitor timer.
  // No profile is loaded here; the first monitor tick detects, and the poll
  // timer runs only while a game is active and the editor is not in front.
  void Start();
  // The frame is going away: let go of held input and stop both timers.
  void Shutdown();

  // WM_TIMER: the poll tick for id 1, the monitor tick for id 2.
  void OnTimer(uint32_t id);
  void PollTick();
  void MonitorTick();

  // "Activate Program": the editor edits the pads' assignments, so it is
  // started only while the mapper knows at least one pad.
  Activation ActivateProgram() const;
  // The frame has started the editor: its window, found by its title, is
  // the one whose coming to the front pauses play.
  void EditorStarted();
  // The editor window as the "Activate Program" command found it.
  void SetEditorWindow(WindowHandle window) { m_editorWindow = window; }

  bool IsStarted() const { return m_started; }
  bool IsActive() const { return m_active; }
  bool IsPolling() const { return m_pollRunning; }
  const std::string& CurrentGame() const { return m_currentGame; }
  uint8_t PadCount() const { return m_padCount; }
  uint8_t PadsInPlay() const { return m_padsInPlay; }
  WindowHandle EditorWindow() const { return m_editorWindow; }
  const GameList& Games() const { return m_games; }
  const PlayTable& Table() const { return m_table; }
  const PadAccess& Pads() const { return m_pads; }
  const std::string& GameListPath() const { return m_gameListPath; }

 private:
  void GateEditor();
  void SyncPollTimer();
  void Detect();
  void RecountPads();
  void WatchGameList();
  void ReadButtonCounts();
  void ReloadGameList();
  void Activate(const std::string& game);
  void LoadProfile(const std::string& game);
  void UpdatePadsInPlay() { m_padsInPlay = std::min<uint8_t>(m_table.padCount, m_padCount); }

  MapperSeams m_seams;
  std::string m_gameListPath;
  PadAccess m_pads;
  PlayTable m_table;
  Engine m_engine;
  ProfileLoader m_loader;
  GameList m_games;

  bool m_started = false;
  bool m_firstDetection = true;
  bool m_active = false;
  bool m_pollRunning = false;
  bool m_editorInFront = false;
  bool m_monitorRunning = false;
  uint32_t m_lastProcessCount = 0;
  std::optional<uint64_t> m_storedWriteTime;
  std::string m_currentGame;
  uint8_t m_padCount = 0;
  uint8_t m_padsInPlay = 0;
  WindowHandle m_editorWindow = kNoWindow;
  // The window in front at the last monitor tick.
  WindowHandle m_lastFront = kNoWindow;
  JoyInfo m_scratch;
};

}  // namespace kl
