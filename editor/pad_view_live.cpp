// The view's timers: pad polling with live feedback and re-counting, the
// watch that pauses polling and the logo, the logo animation; the tooltips
// over the label boxes, the assignment table and the key-file import.
#include <memory>

#include "editor/pad_view.h"

namespace kl {
namespace {

namespace bmp = layout::kloom;

constexpr uint32_t kPollPeriod = 20;
constexpr uint32_t kLogoRestartPeriod = 220;
constexpr int kLogoLast = layout::kLogoFirst + layout::kLogoCount - 1;
constexpr size_t kInputNameLimit = 8;
constexpr size_t kModeNameLimit = 50;
constexpr size_t kKeysLimit = 254;
constexpr int kTableWidths[3] = {55, 132, 182};

// -1 for the low direction, 1 for the high one, 0 centred.
int Zone(uint32_t position) {
  return position < kJoyCentre ? -1 : position > kJoyCentre ? 1 : 0;
}

// The input a tooltip tool covers, or none.
std::optional<uint8_t> ToolInput(uint32_t toolId) {
  if (toolId < kFirstToolId || toolId > kLastToolId) return std::nullopt;
  const uint32_t offset = toolId - kFirstToolId;
  if (offset < 12) return static_cast<uint8_t>(offset);
  if (toolId == 34) return uint8_t{13};
  if (toolId == 35) return uint8_t{12};
  return static_cast<uint8_t>(toolId - 22);  // 36, 37: inputs 14, 15
}

uint32_t ModeNameId(uint8_t mode) {
  switch (mode) {
    case kModeHold:
      return kStrModeNameFirst;
    case kModeHoldRepeat:
      return kStrModeNameFirst + 1;
    case kModeTap:
      return kStrModeNameFirst + 2;
    case kModeTapRepeat:
      return kStrModeNameFirst + 3;
    case kModeCycle:
      return kStrModeNameFirst + 4;
    case kModeMouse:
      return kStrModeNameFirst + 5;
    default:
      return kStrModeNameFirst + 6;
  }
}

std::string Cut(std::string text, size_t limit) {
  if (text.size() > limit) text.resize(limit);
  return text;
}

}  // namespace

void PadView::OnTimer(uint32_t id) {
  switch (id) {
    case kTimerPoll:
      PollTick();
      break;
    case kTimerWatch:
      WatchTick();
      break;
    case kTimerLogo:
      StepLogo();
      break;
    default:
      break;
  }
}

void PadView::PollTick() {
  const uint8_t count = m_padAccess.EnumeratePads();
  if (count != m_padCount) RecountPads(count);
  bool currentPolled = false;
  for (uint8_t i = 0; i < m_padCount; ++i) {
    ViewPad& pad = m_pads[i];
    JoyInfo info{};
    if (!m_padAccess.ReadPad(pad.joystickId, info)) continue;
    pad.previous = pad.polled;
    pad.polled = info;
    if (i == m_currentPad) currentPolled = true;
  }
  // A failed poll keeps the last two readings; acting on them again would
  // repeat the last edge on every tick the pad does not answer.
  if (currentPolled) LiveFeedback(m_pads[m_currentPad]);
}

void PadView::RecountPads(uint8_t count) {
  // What was recorded belongs to the profile the user may still save.
  if (m_recording) StopAction();
  SavePrompt();
  m_selectedInput = kNone;
  ReadPadSlots(count);
  ResetAllTables();
  m_currentPad = 0;
  m_store.SetCurrentPad(0);
  SetUpTooltips();
  if (m_gameRow < m_gamesOnPage && m_profileRow < m_profilesOnPage) {
    LoadSelectedProfile();
    m_dirty = 0;
    RedrawPadPicture();
    RedrawLabels();
  }
  m_ports.shell.Repaint();
}

// Every slot's table rebuilt as the default of its own pad's model.
void PadView::ResetAllTables() {
  for (int slot = 0; slot < kPadSlots; ++slot) {
    const bool twelve = slot < m_padCount && m_pads[slot].model == 12;
    m_store.SetPadButtons(slot, twelve ? 12 : 10);
    FreeKeyTable(m_store.Table(slot));
    m_store.MakeDefaultTable(slot, twelve, false);
  }
}

// Only presses act: a direction moving into its zone, a button bit going
// from 0 to 1. Holding or releasing never selects again.
void PadView::LiveFeedback(const ViewPad& pad) {
  const int buttons = Model().buttons;
  const struct {
    uint32_t now;
    uint32_t before;
    uint8_t low;
  } axes[] = {{pad.polled.dwYpos, pad.previous.dwYpos, 0},
              {pad.polled.dwXpos, pad.previous.dwXpos, 2}};
  for (const auto& axis : axes) {
    const int zone = Zone(axis.now);
    if (zone == 0 || zone == Zone(axis.before)) continue;
    const uint8_t input = static_cast<uint8_t>(axis.low + (zone > 0 ? 1 : 0));
    if (m_selectedInput != input) SelectFromPad(input);
    m_pendingChange = true;
  }
  const uint32_t pressed = pad.polled.dwButtons & ~pad.previous.dwButtons;
  bool any = false;
  for (int k = 0; k < 12 && k < buttons; ++k) {
    if (!(pressed & (1u << k))) continue;
    any = true;
    const uint8_t input = static_cast<uint8_t>(k + 4);
    if (m_selectedInput != input) SelectFromPad(input);
  }
  if (any) m_pendingChange = true;
}

// Polling runs while no picture menu is open, the logo while the editor is
// the active program. Timers are started and stopped only on a change.
void PadView::WatchTick() {
  const bool active = m_ports.shell.EditorActive();
  const bool poll = m_openMenu == kNone;
  if (poll && m_timerIds[0] == 0) {
    m_timerIds[0] = m_ports.timers.Start(kTimerPoll, kPollPeriod) ? kTimerPoll : 0;
  } else if (!poll && m_timerIds[0] != 0) {
    m_ports.timers.Stop(kTimerPoll);
    m_timerIds[0] = 0;
  }
  if (active && m_timerIds[2] == 0) {
    m_timerIds[2] = m_ports.timers.Start(kTimerLogo, kLogoRestartPeriod) ? kTimerLogo : 0;
  } else if (!active && m_timerIds[2] != 0) {
    m_ports.timers.Stop(kTimerLogo);
    m_timerIds[2] = 0;
  }
}

void PadView::StepLogo() {
  DrawBitmap(m_logoFrame, layout::kLogoRect);
  m_logoFrame = m_logoFrame >= kLogoLast ? layout::kLogoFirst : m_logoFrame + 1;
}

void PadView::SetUpTooltips() {
  const layout::PadModelLayout& model = Model();
  std::vector<TooltipTool> tools;
  for (uint32_t id = kFirstToolId; id <= kLastToolId; ++id) {
    const std::optional<uint8_t> input = ToolInput(id);
    if (!input || *input >= model.inputs) continue;
    tools.push_back(TooltipTool{id, model.labels[*input]});
  }
  m_ports.shell.SetUpTooltips(tools);
}

std::optional<std::string> PadView::TooltipText(uint32_t toolId) {
  if (m_openMenu != kNone) return std::nullopt;
  const std::optional<uint8_t> input = ToolInput(toolId);
  if (!input || *input >= Model().inputs) return std::nullopt;
  const std::string text = FormatEntry(*input);
  if (text.size() < kTooltipMinimum) return std::nullopt;
  return Cut(text, kTooltipLimit);
}

void PadView::ShowAssignmentTable() {
  AssignmentTable table;
  for (int i = 0; i < 3; ++i) {
    table.titles[i] = m_ports.strings.Load(kStrTableTitleFirst + i);
    table.widths[i] = kTableWidths[i];
  }
  size_t row = 0;
  for (const KeyEntry& entry : Table().entries) {
    std::string name;
    if (row < 14) {
      name = m_ports.strings.Load(kStrInputNameFirst + static_cast<uint32_t>(row));
    } else if (row < 16) {
      name = m_ports.strings.Load(kStrInputName14 + static_cast<uint32_t>(row - 14));
    }
    KeySequence sequence{};
    EntryToSequence(entry, sequence);
    std::string keys;
    FormatKeySequence(sequence, keys, entry.mode, m_names, m_ports.input);
    table.rows.push_back(AssignmentRow{
        Cut(name, kInputNameLimit),
        Cut(m_ports.strings.Load(ModeNameId(entry.mode)), kModeNameLimit), Cut(keys, kKeysLimit)});
    ++row;
  }
  m_ports.dialogs.ShowAssignmentTable(table);
}

// Key files copied into the folder become games; their profiles are listed
// with the first one active. The game list file is written at exit.
void PadView::ImportKeyFiles() {
  m_lastHotSpot = layout::kHotImportButton;
  DrawBitmap(bmp::kImportPressed, layout::kImportButtonRect);
  const std::string folder = m_store.BuildWorkPath("");
  for (const std::string& file : m_ports.fs.List(folder, ".key")) {
    const size_t dot = file.rfind('.');
    const std::string game = GameNameFromPath(file.substr(0, dot) + ".EXE");
    // Names the game list could not carry back are left alone.
    if (!IsValidGameName(game) || m_games.IsGameListed(game)) continue;
    if (m_games.AddGame(game) == kNoPosition) continue;
    std::unique_ptr<File> opened = m_ports.fs.Open(m_store.BuildWorkPath(file), OpenMode::kRead);
    if (!opened) continue;
    TextStream in(std::move(opened), CtrlZ::kIsData);
    if (in.ReadWord(8) != std::optional<std::string>("VORNATEK")) continue;
    if (!in.SeekStored(0)) continue;
    bool first = true;
    for (const KeyFileRecord& record : ReadKeyFileContents(in).records) {
      if (!IsValidProfileName(record.name) || m_games.GameHasProfile(game, record.name)) continue;
      m_games.AddProfileToGame(game, record.name, first ? 1 : 0);
      first = false;
    }
  }
  // The current game may have moved down the list: follow it.
  if (!m_currentGame.empty()) {
    const auto& games = m_games.Games();
    for (size_t i = 0; i < games.size(); ++i) {
      if (games[i].name != m_currentGame) continue;
      m_gamePage = static_cast<uint8_t>(i / 5);
      m_gameRow = static_cast<uint8_t>(i % 5);
      break;
    }
  }
  m_ports.shell.Repaint();
}

}  // namespace kl
