#include "editor/pad_view.h"

#include <algorithm>

#include "editor/regions.h"
#include "platform/registry_keys.h"

namespace kl {
namespace {

constexpr uint32_t kSettingSize = 5;

}  // namespace

PadView::PadView(const PadViewPorts& ports, const std::string& workFolder)
    : m_ports(ports),
      m_store(ports.fs, ports.prompts, m_games, workFolder),
      m_padAccess(ports.joystick, ports.registry) {}

const layout::PadModelLayout& PadView::Model() const {
  return m_pads[m_currentPad].model == 12 ? layout::kModel12 : layout::kModel10;
}

bool PadView::Create() {
  m_lastHotSpot = kNone;
  m_selectedInput = kNone;
  m_stripFlags = 0;
  m_dirty = kDirtyNoProfile;
  m_capture.recording = 0;
  m_currentMode = 0;
  m_menu.open = kNone;
  m_menu.highlighted = kNone;
  m_print.printing = 0;
  m_shownProfiles.row = kNone;
  m_shownGames.row = kNone;
  m_shownGames.page = 0;
  m_shownProfiles.page = 0;
  m_capture.keys = KeySequence{};
  m_shownProfiles.names = {};
  m_currentGame.clear();
  m_currentProfile.clear();
  m_capture.released = 1;
  m_capture.commitPending = 0;
  m_capture.chordKeys = 0;
  m_sequenceScroll = 0;
  m_pendingChange = false;
  m_newProfile = false;
  m_print.previewWide = false;
  m_closed = false;
  m_logoFrame = layout::kLogoFirst;
  m_clipboard.input.reset();
  m_clipboard.pad.reset();

  m_names.Fill(m_ports.strings);
  m_unassignedCaption = m_ports.strings.Load(kStrEmptyText).substr(0, 20);
  m_games.LoadGameList(m_ports.fs, m_store.BuildWorkPath(kGameListName));

  ReadPadSlots(m_padAccess.EnumeratePads());
  ResetAllTables();
  m_currentPad = 0;
  m_store.SetCurrentPad(0);
  SetUpTooltips();

  m_statusText = m_ports.strings.Load(kStrStartHint);
  ReadSetting();

  FillGamePage();
  if (m_shownGames.row < m_shownGames.count) m_currentGame = m_shownGames.names[m_shownGames.row];
  FillProfilePage();
  if (m_shownProfiles.row < m_shownProfiles.count)
    m_currentProfile = m_shownProfiles.names[m_shownProfiles.row];
  m_rememberedProfileRow = m_shownProfiles.row;
  if (m_shownGames.row < m_shownGames.count && m_shownProfiles.row < m_shownProfiles.count) {
    const LoadResult result = m_store.LoadProfile(m_currentGame, m_currentProfile);
    if (result == LoadResult::kLoaded || result == LoadResult::kDamaged) m_dirty = kDirtyClean;
  }

  const uint32_t periods[3] = {20, 1000, 250};
  for (uint32_t id = kTimerPoll; id <= kTimerLogo; ++id) {
    m_timerIds[id - 1] = m_ports.timers.Start(id, periods[id - 1]) ? id : 0;
  }
  return true;
}

void PadView::Destroy() {
  for (uint32_t& id : m_timerIds) {
    if (id != 0) m_ports.timers.Stop(id);
    id = 0;
  }
  m_games.FreeGameList();
}

void PadView::ReadSetting() {
  m_shownGames.row = 0;
  m_shownProfiles.row = 0;
  RegKey key = kRegNone;
  if (m_ports.registry.OpenKey(kHkeyCurrentUser, kSettingKey, kKeyRead, key) != kRegOk) return;
  std::array<uint8_t, kSettingSize> data{};
  uint32_t type = 0;
  uint32_t size = kSettingSize;
  const long result = m_ports.registry.QueryValue(key, kSettingValue, type, data.data(), size);
  m_ports.registry.CloseKey(key);
  // A value too short to hold the four positions is as good as none.
  if (result != kRegOk || size < 4) return;
  m_shownGames.page = data[0];
  m_shownGames.row = data[1];
  m_shownProfiles.page = data[2];
  m_shownProfiles.row = data[3];
}

void PadView::FillGamePage() {
  m_shownGames.names = {};
  m_shownGames.count = 0;
  const auto& games = m_games.Games();
  const size_t first = static_cast<size_t>(m_shownGames.page) * kGamesPerPage;
  for (size_t i = 0; i < kGamesPerPage && first + i < games.size(); ++i) {
    m_shownGames.names[i] = games[first + i].name;
    ++m_shownGames.count;
  }
  // A remembered row beyond the page names no game.
  if (m_shownGames.row != kNone && m_shownGames.row >= m_shownGames.count) m_shownGames.row = kNone;
}

void PadView::FillProfilePage() {
  m_shownProfiles.names = {};
  m_activeMarks = {};
  m_shownProfiles.count = 0;
  const GameEntry* game = m_currentGame.empty() ? nullptr : m_games.FindGame(m_currentGame);
  if (game) {
    const size_t first = static_cast<size_t>(m_shownProfiles.page) * kProfilesPerPage;
    for (size_t i = 0; i < kProfilesPerPage && first + i < game->profiles.size(); ++i) {
      m_shownProfiles.names[i] = game->profiles[first + i].name;
      m_activeMarks[i] = game->profiles[first + i].active;
      ++m_shownProfiles.count;
    }
  }
  if (m_shownProfiles.row != kNone && m_shownProfiles.row >= m_shownProfiles.count)
    m_shownProfiles.row = kNone;
}

void PadView::OnLeftButtonDown(layout::Point p) {
  // An open menu takes the click first; only a click beside its items goes
  // on to the hot spots (so another tab opens its menu at once).
  if (m_menu.open != kNone && MenuClick(p)) return;
  int index = -1;
  for (int i = 0; i < layout::kHotSpotCount; ++i) {
    if (layout::kHotSpots[i].rect.Contains(p)) {
      index = i;
      break;
    }
  }
  if (index < 0) return;
  const bool keepsRecording =
      (index >= layout::kHotStripButton1 && index <= layout::kHotOptionCheckBox) ||
      index == layout::kHotImportButton;
  if (!keepsRecording && m_capture.recording) StopAction();
  const int region = layout::kHotSpots[index].region;
  if (region != layout::kNoRegion && !RegionContains(layout::kRegions[region], p)) return;

  switch (index) {
    case layout::kHotModeButton0:
    case layout::kHotModeButton1:
    case layout::kHotModeButton2: {
      const int button = index - layout::kHotModeButton0;
      ModeButtonAction(button, p, static_cast<uint8_t>(button), false);
      return;
    }
    case layout::kHotStripButton1:
    case layout::kHotStripButton2:
    case layout::kHotStripButton3:
    case layout::kHotOptionCheckBox:
    case layout::kHotScrollLeft:
    case layout::kHotScrollRight:
      m_lastHotSpot = static_cast<uint8_t>(index);
      StripPress(index);
      return;
    case layout::kHotPadPicture:
      m_lastHotSpot = static_cast<uint8_t>(index);
      PadHitTest(p);
      return;
    default:
      m_lastHotSpot = static_cast<uint8_t>(index);
      OnOtherHotSpot(index, p);
  }
}

void PadView::OnLeftButtonUp(layout::Point) {
  switch (m_lastHotSpot) {
    case layout::kHotTab1:
      DrawBitmap(layout::kloom::kTab1Face, layout::kMenus[0].tab);
      break;
    case layout::kHotTab2:
      DrawBitmap(layout::kloom::kTab2Face, layout::kMenus[1].tab);
      break;
    case layout::kHotTab3:
      DrawBitmap(layout::kloom::kTab3Face, layout::kMenus[2].tab);
      break;
    case layout::kHotGamePageUp:
    case layout::kHotProfilePageUp:
      DrawBitmap(layout::kloom::kPageUpReleased, layout::kHotSpots[m_lastHotSpot].rect);
      break;
    case layout::kHotGamePageDown:
    case layout::kHotProfilePageDown:
      DrawBitmap(layout::kloom::kPageDownReleased, layout::kHotSpots[m_lastHotSpot].rect);
      break;
    case layout::kHotImportButton:
      DrawBitmap(layout::kloom::kImportFace, layout::kImportButtonRect);
      break;
    default:
      break;
  }
  if (m_selectedInput == kNone) return;
  if (m_stopPressed) {
    m_stopPressed = false;
    StopAction();
  }
  if (m_stripFlags & kStripClear) ClearAction();
  if (m_stripFlags & kStripScrollLeft) Scroll(false);
  if (m_stripFlags & kStripScrollRight) Scroll(true);
}

std::string PadView::FormatEntry(uint8_t input) {
  KeySequence sequence{};
  uint8_t mode = kModeUnassigned;
  m_store.GetKeyEntry(input, sequence, mode);
  std::string text;
  FormatKeySequence(sequence, text, mode, m_names, m_ports.input);
  return text;
}

std::string PadView::FormatCapture() {
  std::string text;
  FormatKeySequence(m_capture.keys, text, m_currentMode, m_names, m_ports.input);
  return text;
}

void PadView::DrawText(int x, int y, const std::string& text, size_t limit, uint32_t colour,
                       FontChoice font) {
  m_ports.canvas.DrawText(x, y, text.substr(0, std::min(limit, text.size())), colour, font);
}

std::vector<std::string> WrapStatusText(const std::string& text) {
  constexpr size_t kMaxLines = 5;
  std::vector<std::string> lines;
  std::string line;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(at, end - at);
    at = end + 1;
    if (word.empty()) continue;
    if (line.empty()) {
      line = word;
    } else if (line.size() + 1 + word.size() <= static_cast<size_t>(layout::kStatusWrap)) {
      line += ' ';
      line += word;
    } else {
      lines.push_back(line);
      line = word;
    }
  }
  if (!line.empty()) lines.push_back(line);
  if (lines.size() > kMaxLines) lines.resize(kMaxLines);
  return lines;
}

// The first `count` enumerated pads: polled once, their model read.
void PadView::ReadPadSlots(uint8_t count) {
  m_padCount = count;
  m_store.SetPadCount(count);
  for (uint8_t i = 0; i < count; ++i) {
    ViewPad& pad = m_pads[i];
    pad = ViewPad{};
    pad.joystickId = m_padAccess.Slots()[i].joystickId;
    m_padAccess.ReadPad(pad.joystickId, pad.polled);
    pad.previous = pad.polled;
    uint32_t buttons = 0;
    m_padAccess.ReadButtonCount(pad.joystickId, buttons);
    pad.model = buttons == 12 ? 12 : 10;
  }
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

}  // namespace kl
