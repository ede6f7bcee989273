// The drawn picture menus, the game and profile lists with their page
// arrows and active boxes, the pad selector and the window boxes.
#include <algorithm>

#include "editor/pad_view.h"

namespace kl {
namespace {

namespace bmp = layout::kloom;

constexpr int kTabPressed[3] = {bmp::kTab1Pressed, bmp::kTab2Pressed, bmp::kTab3Pressed};

// Where input 10 is clicked to select it after a profile is chosen.
constexpr layout::Point kInput10Model10{195, 112};
constexpr layout::Point kInput10Model12{247, 99};

size_t PositionOf(const std::vector<ProfileEntry>& profiles, const std::string& name) {
  for (size_t i = 0; i < profiles.size(); ++i) {
    if (profiles[i].name == name) return i;
  }
  return profiles.size();
}

}  // namespace

void PadView::OnOtherHotSpot(int index, layout::Point) {
  switch (index) {
    case layout::kHotTab1:
    case layout::kHotTab2:
    case layout::kHotTab3:
      OpenMenuTab(index);
      return;
    case layout::kHotMinimiseBox:
      m_lastHotSpot = static_cast<uint8_t>(index);
      DrawBitmap(bmp::kMinimisePressed, layout::kMinimiseBoxRect);
      m_ports.shell.Minimize();
      return;
    case layout::kHotCloseBox:
    case layout::kHotExitButton:
      CloseView(index);
      return;
    case layout::kHotGamePageUp:
    case layout::kHotGamePageDown:
      GamePageArrow(index == layout::kHotGamePageDown);
      return;
    case layout::kHotProfilePageUp:
    case layout::kHotProfilePageDown:
      ProfilePageArrow(index == layout::kHotProfilePageDown);
      return;
    case layout::kHotImportButton:
      ImportKeyFiles();
      return;
    default:
      break;
  }
  if (index >= layout::kHotGameRow0 && index <= layout::kHotGameRow4) {
    SelectGameRow(static_cast<uint8_t>(index - layout::kHotGameRow0), false);
  } else if (index >= layout::kHotProfileRow0 && index <= layout::kHotProfileRow3) {
    SelectProfileRow(static_cast<uint8_t>(index - layout::kHotProfileRow0), false);
  } else if (index >= layout::kHotActiveBox0 && index <= layout::kHotActiveBox3) {
    const uint8_t row = static_cast<uint8_t>(index - layout::kHotActiveBox0);
    if (row < m_shownProfiles.count && !SelectProfileRow(row, true)) ToggleActive(row);
  } else if (index >= layout::kHotPadSelectorRow0 && index <= layout::kHotPadSelectorRow3) {
    SelectPad(static_cast<uint8_t>(index - layout::kHotPadSelectorRow0));
  }
}

void PadView::OpenMenuTab(int tab) {
  const layout::PictureMenu& menu = layout::kMenus[tab];
  m_lastHotSpot = static_cast<uint8_t>(tab);
  DrawBitmap(kTabPressed[tab], menu.tab);
  m_menu.open = static_cast<uint32_t>(tab + 1);
  m_menu.highlighted = kNone;
  DrawBitmap(menu.dropDownBitmap, menu.dropDown);
}

void PadView::OnMouseMove(layout::Point p) {
  if (m_menu.open == kNone || m_menu.open < 1 || m_menu.open > 3) {
    m_menu.highlighted = kNone;
    return;
  }
  const layout::PictureMenu& menu = layout::kMenus[m_menu.open - 1];
  for (size_t d = 0; d < menu.items.size(); ++d) {
    if (!menu.items[d].Contains(p)) continue;
    if (d == m_menu.highlighted) return;
    DrawBitmap(menu.dropDownBitmap, menu.dropDown);
    m_menu.highlighted = static_cast<uint8_t>(d);
    DrawBitmap(menu.highlightBase + static_cast<int>(d), menu.items[d]);
    return;
  }
}

// A click while a menu is open: its item's command runs, the menu closes and
// the view is repainted. True when an item was hit, which ends the click.
bool PadView::MenuClick(layout::Point p) {
  if (m_capture.recording) StopAction();
  const uint32_t open = m_menu.open;
  m_menu.open = kNone;
  m_menu.highlighted = kNone;
  bool hit = false;
  if (open >= 1 && open <= 3) {
    const layout::PictureMenu& menu = layout::kMenus[open - 1];
    for (size_t d = 0; d < menu.items.size(); ++d) {
      if (!menu.items[d].Contains(p)) continue;
      hit = true;
      RunMenuCommand(open, static_cast<uint8_t>(d));
      break;
    }
  }
  if (!m_closed) m_ports.shell.Repaint();
  return hit;
}

void PadView::DrawRowName(bool game, uint8_t row, bool selected) {
  const uint32_t colour = selected ? kColourYellow : kColourCyan;
  if (game) {
    if (row >= m_shownGames.count) return;
    const std::string& name = m_shownGames.names[row];
    const layout::TextPlace& place = layout::kGameNameText;
    DrawText(place.origin.x, place.origin.y + place.step * row,
             name.size() >= 4 ? name.substr(0, name.size() - 4) : std::string(), place.limit,
             colour, FontChoice::kList);
    return;
  }
  if (row >= m_shownProfiles.count) return;
  const layout::TextPlace& place = layout::kProfileNameText;
  DrawText(place.origin.x, place.origin.y + place.step * row, m_shownProfiles.names[row],
           place.limit, colour, FontChoice::kList);
}

void PadView::RedrawPadPicture() {
  if (m_padCount > 0) DrawBitmap(Model().padBitmap, layout::kPadPictureRect);
}

void PadView::RedrawLabels() {
  if (m_padCount == 0) return;
  for (int k = 0; k < Model().inputs; ++k) {
    RedrawLabel(static_cast<uint8_t>(k), k == m_selectedInput);
  }
}

// Every slot gets its own model's defaults first, so the pads a record does
// not hold show their defaults rather than the previous profile.
void PadView::LoadSelectedProfile() {
  ResetAllTables();
  m_newProfile = false;
  m_store.LoadProfile(m_currentGame, m_currentProfile);
}

// `force`: the row becomes current even when it already is, without the
// save question (the caller has asked it or dropped the edits).
void PadView::SelectGameRow(uint8_t row, bool force) {
  if (row >= m_shownGames.count) return;
  if (!force) {
    if (row == m_shownGames.row) return;
    SavePrompt();
  }
  if (m_shownGames.row < m_shownGames.count) DrawRowName(true, m_shownGames.row, false);
  DrawRowName(true, row, true);
  m_shownGames.row = row;
  m_currentGame = m_shownGames.names[row];
  m_currentProfile.clear();
  m_shownProfiles.row = kNone;
  m_dirty = kDirtyNoProfile;
  m_shownProfiles.page = 0;
  FillProfilePage();
  DrawProfileList();
  if (m_shownProfiles.count > 0) {
    SelectProfileRow(0, false);
    m_dirty = kDirtyClean;
    return;
  }
  RedrawPadPicture();
  m_shownProfiles.row = kNone;
  m_dirty = kDirtyNoProfile;
  NewProfile();
  m_statusText = m_ports.strings.Load(kStrNoProfileYet);
  DrawStatusBox();
}

// True when the save question was asked (an active-box toggle is then skipped).
bool PadView::SelectProfileRow(uint8_t row, bool fromActiveBox) {
  if (row >= m_shownProfiles.count) return false;
  const std::string wanted = m_shownProfiles.names[row];
  bool prompted = false;
  if (m_dirty == kDirtyChanged) {
    prompted = true;
    m_saveFromActiveBox = fromActiveBox;
    SavePrompt();
    m_saveFromActiveBox = false;
    // A save moves the saved profile to the end of the list: the profile
    // clicked is looked up again by its name.
    const GameEntry* game = m_games.FindGame(m_currentGame);
    if (!game) return prompted;
    const size_t position = PositionOf(game->profiles, wanted);
    if (position >= game->profiles.size()) return prompted;
    m_shownProfiles.page = static_cast<uint8_t>(position / kProfilesPerPage);
    row = static_cast<uint8_t>(position % kProfilesPerPage);
    const uint8_t keepRow = m_shownProfiles.row;
    FillProfilePage();
    m_shownProfiles.row =
        keepRow < m_shownProfiles.count && m_shownProfiles.names[keepRow] == m_currentProfile
            ? keepRow
            : kNone;
  }
  const uint8_t base = m_currentMode & static_cast<uint8_t>(~kOptionBit);
  const uint32_t statusId = base == 1   ? kStrSequenceHint
                            : base == 2 ? kStrCycleHint
                                        : kStrKeyModeHint;
  const std::string status = m_ports.strings.Load(statusId);
  if (status != m_statusText) {
    m_statusText = status;
    DrawStatusBox();
  }
  m_dirty = kDirtyClean;
  if (m_shownProfiles.row < m_shownProfiles.count) DrawRowName(false, m_shownProfiles.row, false);
  DrawRowName(false, row, true);
  m_shownProfiles.row = row;
  m_currentProfile = m_shownProfiles.names[row];
  LoadSelectedProfile();
  RedrawPadPicture();
  RedrawLabels();
  PadHitTest(Model().buttons == 12 ? kInput10Model12 : kInput10Model10);
  if (prompted) m_ports.shell.Repaint();
  return prompted;
}

void PadView::ToggleActive(uint8_t row) {
  if (row >= m_shownProfiles.count) return;
  const std::string name = m_shownProfiles.names[row];
  if (m_activeMarks[row]) {
    m_games.SetProfileActive(m_currentGame, name, 0);
    m_activeMarks[row] = 0;
    DrawBitmap(bmp::kActiveOff, layout::kActiveMarks[row]);
    return;
  }
  for (uint8_t i = 0; i < m_shownProfiles.count; ++i) {
    if (!m_activeMarks[i]) continue;
    m_activeMarks[i] = 0;
    DrawBitmap(bmp::kActiveOff, layout::kActiveMarks[i]);
  }
  MarkActive(name);
  m_activeMarks[row] = 1;
  m_currentProfile = name;
  DrawBitmap(bmp::kActiveOn, layout::kActiveMarks[row]);
}

// The game's only active profile becomes `profile`.
void PadView::MarkActive(const std::string& profile) {
  const GameEntry* game = m_games.FindGame(m_currentGame);
  if (!game) return;
  std::vector<std::string> names;
  for (const ProfileEntry& entry : game->profiles) names.push_back(entry.name);
  for (const std::string& name : names) m_games.SetProfileActive(m_currentGame, name, 0);
  m_games.SetProfileActive(m_currentGame, profile, 1);
}

void PadView::GamePageArrow(bool down) {
  const int index = down ? layout::kHotGamePageDown : layout::kHotGamePageUp;
  m_lastHotSpot = static_cast<uint8_t>(index);
  const layout::Rect& rect = layout::kHotSpots[index].rect;
  DrawBitmap(down ? bmp::kPageDownPressed : bmp::kPageUpPressed, rect);
  if (SavePrompt()) DrawBitmap(down ? bmp::kPageDownReleased : bmp::kPageUpReleased, rect);
  const size_t count = m_games.Games().size();
  if (down) {
    if (m_shownGames.page < kNone) ++m_shownGames.page;
    // Paging past the end shows the last page.
    while (m_shownGames.page > 0 &&
           static_cast<size_t>(m_shownGames.page) * kGamesPerPage >= count) {
      --m_shownGames.page;
    }
  } else if (m_shownGames.page > 0) {
    --m_shownGames.page;
  }
  m_shownGames.row = kNone;
  FillGamePage();
  DrawGameList();
  SelectGameRow(0, true);
}

void PadView::ProfilePageArrow(bool down) {
  const int index = down ? layout::kHotProfilePageDown : layout::kHotProfilePageUp;
  m_lastHotSpot = static_cast<uint8_t>(index);
  const layout::Rect& rect = layout::kHotSpots[index].rect;
  if (!down) {
    if (m_shownProfiles.page == 0) return;
    SavePrompt();
    --m_shownProfiles.page;
    DrawBitmap(bmp::kPageUpPressed, rect);
  } else {
    SavePrompt();
    if (m_shownProfiles.page < kNone) ++m_shownProfiles.page;
    DrawBitmap(bmp::kPageDownPressed, rect);
  }
  if (m_shownGames.row == kNone || m_currentGame.empty()) return;
  const GameEntry* game = m_games.FindGame(m_currentGame);
  const size_t count = game ? game->profiles.size() : 0;
  while (m_shownProfiles.page > 0 &&
         static_cast<size_t>(m_shownProfiles.page) * kProfilesPerPage >= count) {
    --m_shownProfiles.page;
  }
  FillProfilePage();
  DrawProfileList();
}

void PadView::SelectPad(uint8_t slot) {
  if (slot >= m_padCount || slot == m_currentPad) return;
  m_currentPad = slot;
  m_store.SetCurrentPad(slot);
  m_selectedInput = kNone;
  m_ports.shell.Repaint();
  SetUpTooltips();
  if (m_shownProfiles.row != kNone) SelectProfileRow(m_shownProfiles.row, false);
}

void PadView::CloseView(int hotSpot) {
  const bool closeBox = hotSpot == layout::kHotCloseBox;
  DrawBitmap(closeBox ? bmp::kClosePressed : bmp::kExitPressed,
             closeBox ? layout::kCloseBoxRect : layout::kExitButtonRect);
  m_lastHotSpot = static_cast<uint8_t>(hotSpot);
  if (m_dirty == kDirtyChanged) {
    if (m_ports.prompts.MessageBox(kMsgSaveChanges, kMbYesNo) == kIdYes) {
      // A save that failed or was cancelled keeps the program open.
      SaveProfile();
      if (m_dirty == kDirtyChanged) return;
    } else if (m_newProfile) {
      m_shownProfiles.row = m_rememberedProfileRow;
    }
  }
  WriteGameList();
  WriteSetting();
  m_closed = true;
  m_ports.shell.Close();
}

}  // namespace kl
