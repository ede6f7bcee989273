#include "mapper/detect.h"

#include <algorithm>
#include <vector>

#include "mapper/dosquery.h"

namespace kl {

namespace {

std::string JoinPath(const std::string& folder, const std::string& name, char separator) {
  if (folder.empty()) return name;
  const char last = folder.back();
  if (last == separator || last == '\\' || last == '/') return folder + name;
  return folder + separator + name;
}

// A snapshot's executable as the game list spells games: the file name
// after the last backslash, letters a to z in upper case.
std::string GameNameOf(std::string exe) {
  for (char& c : exe) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const size_t slash = exe.rfind('\\');
  if (slash != std::string::npos) exe.erase(0, slash + 1);
  return exe;
}

bool Listed(const std::vector<std::string>& running, const std::string& name) {
  return std::find(running.begin(), running.end(), name) != running.end();
}

}  // namespace

bool CountProcesses(Processes& processes, uint32_t& count) {
  count = 0;
  if (processes.Count(count)) return true;
  count = 0;
  return false;
}

bool IsProcessRunning(Processes& processes, const std::string& name) {
  std::vector<std::string> names;
  if (!processes.Snapshot(names)) return false;
  for (std::string& exe : names) {
    if (GameNameOf(std::move(exe)) == name) return true;
  }
  return false;
}

RuntimeMapper::RuntimeMapper(const MapperSeams& seams, std::string workFolder)
    : m_seams(seams),
      m_gameListPath(JoinPath(workFolder, kGameListName, seams.fs.Separator())),
      m_pads(seams.joystick, seams.registry),
      m_engine(seams.input, m_pads, m_table),
      m_loader(seams.fs, seams.input, m_table, std::move(workFolder)) {}

void RuntimeMapper::Start() {
  if (m_started) return;
  m_started = true;
  m_firstDetection = true;
  m_active = false;
  m_table.padCount = 0;
  m_padsInPlay = 0;
  m_scratch = JoyInfo{};
  m_lastFront = kNoWindow;
  m_engine.Reset();

  m_padCount = m_pads.EnumeratePads();
  ReadButtonCounts();
  ReloadGameList();
  m_storedWriteTime = m_seams.fs.LastWriteTime(m_gameListPath);

  // The poll timer runs only while there is something to play (see
  // SyncPollTimer); the monitor timer runs for the whole life of the mapper.
  m_editorInFront = false;
  m_monitorRunning = m_seams.timers.Start(kMonitorTimer, kMonitorPeriod);
}

void RuntimeMapper::Shutdown() {
  if (!m_started) return;
  m_engine.ReleaseHeld();
  if (m_pollRunning) m_seams.timers.Stop(kPollTimer);
  if (m_monitorRunning) m_seams.timers.Stop(kMonitorTimer);
  m_pollRunning = false;
  m_monitorRunning = false;
  m_active = false;
  m_started = false;
}

void RuntimeMapper::OnTimer(uint32_t id) {
  if (id == kPollTimer) {
    if (m_pollRunning) PollTick();
  } else if (id == kMonitorTimer) {
    if (m_monitorRunning) MonitorTick();
  }
}

void RuntimeMapper::PollTick() {
  if (!m_active) return;
  for (size_t slot = 0; slot < m_padsInPlay; ++slot) m_engine.PlayPad(slot);
}

void RuntimeMapper::MonitorTick() {
  GateEditor();
  Detect();
  RecountPads();
  UpdatePadsInPlay();
  WatchGameList();
  SyncPollTimer();
}

Activation RuntimeMapper::ActivateProgram() const {
  return m_padCount == 0 ? Activation::kNoPad : Activation::kStartEditor;
}

void RuntimeMapper::EditorStarted() {
  m_editorWindow = m_seams.desktop.FindWindowByTitle(kEditorTitle);
}

void RuntimeMapper::GateEditor() {
  const WindowHandle front = m_seams.desktop.ForegroundWindow();
  // An editor the user started himself is found by its title too. The search
  // walks every window of the desktop, so it is made only when a window has
  // come to the front that is not the editor we know: only then can an
  // editor unknown to us be the one in front.
  if (front != kNoWindow && front != m_editorWindow && front != m_lastFront &&
      (m_editorWindow == kNoWindow || !m_seams.desktop.IsWindow(m_editorWindow))) {
    m_editorWindow = m_seams.desktop.FindWindowByTitle(kEditorTitle);
  }
  m_lastFront = front;
  m_editorInFront = m_editorWindow != kNoWindow && front == m_editorWindow;
}

void RuntimeMapper::SyncPollTimer() {
  // A poll tick does nothing while no game is active, and play pauses while
  // the editor is in front: only then may the 40 ms timer run. An idle
  // mapper then wakes once a monitor period instead of 25 times a second.
  const bool wanted = m_active && !m_editorInFront;
  if (wanted && !m_pollRunning) {
    m_pollRunning = m_seams.timers.Start(kPollTimer, kPollPeriod);
  } else if (!wanted && m_pollRunning) {
    m_seams.timers.Stop(kPollTimer);
    m_pollRunning = false;
    m_engine.ReleaseHeld();
  }
}

void RuntimeMapper::Detect() {
  // The count is taken every tick and is far cheaper than the names; one
  // snapshot then serves every name looked for.
  uint32_t count = 0;
  if (!m_seams.processes.Count(count)) return;
  if (!m_firstDetection && count == m_lastProcessCount) return;
  std::vector<std::string> running;
  if (!m_seams.processes.Snapshot(running)) return;
  m_firstDetection = false;
  m_lastProcessCount = count;
  for (std::string& exe : running) exe = GameNameOf(std::move(exe));

  ReloadGameList();
  m_active = false;
  m_engine.ReleaseHeld();

  if (Listed(running, kDosBoxHostModule)) {
    std::string dosProgram;
    QueryDosProgram(m_seams.dosBox, m_seams.input, dosProgram);
    if (!dosProgram.empty()) {
      for (const GameEntry& game : m_games.Games()) {
        if (game.name == dosProgram) Activate(game.name);
      }
    }
  }
  // A registered Windows program wins over the DOS program; of several, the
  // first in the list.
  for (const GameEntry& game : m_games.Games()) {
    if (Listed(running, game.name)) {
      Activate(game.name);
      break;
    }
  }
}

void RuntimeMapper::RecountPads() {
  const uint8_t count = m_pads.EnumeratePads();
  if (count == m_padCount) return;
  m_padCount = count;
  ReadButtonCounts();
  // Slots now stand for other pads: what the old ones held must not stay down.
  m_engine.ReleaseHeld();
}

void RuntimeMapper::WatchGameList() {
  const std::optional<uint64_t> time = m_seams.fs.LastWriteTime(m_gameListPath);
  if (!time || time == m_storedWriteTime) return;
  m_storedWriteTime = time;
  // The editor may have marked another profile active: read the list first.
  ReloadGameList();
  LoadProfile(m_currentGame);
}

void RuntimeMapper::ReadButtonCounts() {
  for (size_t slot = 0; slot < m_padCount && slot < kMaxPads; ++slot) {
    PadSlot& pad = m_pads.Slots()[slot];
    m_pads.ReadPad(pad.joystickId, m_scratch);
    m_pads.ReadButtonCount(pad.joystickId, pad.buttonCount);
  }
}

void RuntimeMapper::ReloadGameList() {
  m_games.FreeGameList();
  m_games.LoadGameList(m_seams.fs, m_gameListPath);
}

void RuntimeMapper::Activate(const std::string& game) {
  m_active = true;
  m_currentGame = game;
  LoadProfile(game);
}

void RuntimeMapper::LoadProfile(const std::string& game) {
  m_engine.ReleaseHeld();
  m_loader.LoadPlayTable(m_games, game);
  UpdatePadsInPlay();
}

}  // namespace kl
