// The commands of the three picture menus: games, printing, the web page,
// the mouse preset, profiles (new, save, save as, delete), the clipboards,
// the assignment table and help; and writing the game list and "Setting".
#include <algorithm>
#include <cctype>

#include "editor/pad_view.h"
#include "platform/registry_keys.h"

namespace kl {
namespace {

namespace bmp = layout::kloom;

constexpr char kProposedProfileName[] = "game1";
constexpr char kMakerWebAddress[] = "http://www.vornatek.example/";

// The mouse preset: directions move the pointer, buttons 1 to 3 click.
constexpr uint8_t kMousePreset[7] = {kMouseUp,   kMouseDown,   kMouseLeftMove, kMouseRightMove,
                                     kMouseLeft, kMouseMiddle, kMouseRight};

// A typed profile name as the game list can carry it: no space at either
// end, single spaces inside, upper case. Empty when nothing is left.
std::string NormaliseProfileName(const std::string& typed) {
  std::string name;
  bool space = false;
  for (unsigned char c : typed) {
    if (c == ' ' || c == '\t') {
      space = !name.empty();
      continue;
    }
    if (space) name += ' ';
    space = false;
    name += static_cast<char>(std::toupper(c));
  }
  return name;
}

}  // namespace

void PadView::RunMenuCommand(uint32_t menu, uint8_t item) {
  switch (MenuCommandOf(menu, item)) {
    case MenuCommand::kAddGame:
      AddGame();
      break;
    case MenuCommand::kDeleteGame:
      DeleteGame();
      break;
    case MenuCommand::kPrint:
      m_ports.dialogs.Print(PrintCommand::kPrint);
      break;
    case MenuCommand::kPrintPreview:
      PrintPreview();
      break;
    case MenuCommand::kPrintSetup:
      m_ports.dialogs.Print(PrintCommand::kSetup);
      break;
    case MenuCommand::kWebPage:
      WebPage();
      break;
    case MenuCommand::kMousePreset:
      MousePreset();
      break;
    case MenuCommand::kNewProfile:
      NewProfile();
      break;
    case MenuCommand::kSaveProfile:
      SaveProfile();
      break;
    case MenuCommand::kSaveProfileAs:
      SaveProfileAs();
      break;
    case MenuCommand::kDeleteProfile:
      DeleteProfile();
      break;
    case MenuCommand::kCopyInput:
      CopyInput();
      break;
    case MenuCommand::kCopyPad:
      CopyPad();
      break;
    case MenuCommand::kPaste:
      Paste();
      break;
    case MenuCommand::kResetPad:
      ResetPad();
      break;
    case MenuCommand::kAssignmentTable:
      ShowAssignmentTable();
      break;
    case MenuCommand::kHelpContents:
      m_ports.shell.Help(kHelpContext, 1);
      break;
    case MenuCommand::kHelpSearch:
      m_ports.shell.Help(kHelpFinder, 1);
      break;
    case MenuCommand::kAbout:
      m_ports.dialogs.About();
      break;
    default:
      break;
  }
}

// The save question when the profile has changed; true when it was asked.
bool PadView::SavePrompt() {
  if (m_dirty != kDirtyChanged) return false;
  if (m_ports.prompts.MessageBox(kMsgSaveChanges, kMbYesNo) == kIdYes) SaveProfile();
  return true;
}

void PadView::AddGame() {
  SavePrompt();
  if (m_dirty == kDirtyChanged) m_dirty = kDirtyClean;
  std::string name;
  const uint8_t position = m_games.BrowseForGame(m_ports.prompts, m_ports.strings, name);
  if (position == kNoPosition) return;
  // The new game becomes current, so the profile started next is its own.
  m_shownGames.page = static_cast<uint8_t>(position / kGamesPerPage);
  m_shownGames.row = static_cast<uint8_t>(position % kGamesPerPage);
  m_currentGame = name;
  m_currentProfile.clear();
  m_shownProfiles.row = kNone;
  m_shownProfiles.page = 0;
  FillGamePage();
  DrawGameList();
  FillProfilePage();
  DrawBitmap(bmp::kProfileList, layout::kProfileListRect);
  NewProfile();
}

void PadView::DeleteGame() {
  if (m_shownGames.row == kNone || m_currentGame.empty()) {
    m_ports.prompts.MessageBox(kMsgNoGame, kMbOk);
    return;
  }
  const std::string game = m_currentGame;
  if (m_ports.prompts.Ask({kMsgDeleteGame, kMbYesNo | kMbIconQuestion, game, 0}) != kIdYes) return;
  const auto& games = m_games.Games();
  size_t position = 0;
  while (position < games.size() && games[position].name != game) ++position;
  // The list is written at save or exit; a key file that cannot go keeps its
  // game listed (message 61237).
  if (!m_store.RemoveGame(game, false)) return;
  // The edits of the removed game's profile went with it.
  m_dirty = kDirtyNoProfile;
  m_newProfile = false;
  m_currentGame.clear();
  m_currentProfile.clear();
  m_shownProfiles.row = kNone;
  m_shownGames.row = kNone;
  const size_t remaining = m_games.Games().size();
  if (remaining == 0) {
    m_shownGames.page = 0;
    m_shownProfiles.page = 0;
    FillGamePage();
    FillProfilePage();
    DrawBitmap(bmp::kGameList, layout::kGameListRect);
    DrawBitmap(bmp::kProfileList, layout::kProfileListRect);
    return;
  }
  const size_t next = std::min(position, remaining - 1);
  m_shownGames.page = static_cast<uint8_t>(next / kGamesPerPage);
  FillGamePage();
  DrawGameList();
  SelectGameRow(static_cast<uint8_t>(next % kGamesPerPage), true);
}

void PadView::PrintPreview() {
  m_print.previewWide = true;
  m_ports.shell.Resize(0, 0);
  m_ports.dialogs.Print(PrintCommand::kPreview);
}

void PadView::OnEndPrinting() {
  m_print.printing = 0;
  m_print.previewWide = false;
  m_ports.shell.Resize(0, 0);
}

void PadView::WebPage() {
  const std::optional<std::string> address = m_ports.dialogs.WebAddress(kMakerWebAddress);
  if (address) m_ports.shell.Open(*address);
}

void PadView::MousePreset() {
  const MessageRequest request{kMsgMousePreset, kMbOkCancel | kMbIconQuestion, "",
                               kStrMousePresetCaption};
  if (m_ports.prompts.Ask(request) != kIdOk) return;
  for (uint8_t input = 0; input < 7; ++input) {
    KeySequence action{};
    action.code[0] = kMousePreset[input];
    action.count = 1;
    RemoveKeyEntry(Table(), input);
    InsertKeyEntry(Table(), input, kModeMouse, &action);
  }
  if (m_dirty == kDirtyClean) m_dirty = kDirtyChanged;
  RedrawLabels();
}

void PadView::NewProfile() {
  if (m_shownGames.row == kNone || m_currentGame.empty()) {
    m_ports.prompts.MessageBox(kMsgNoGame, kMbOk);
    return;
  }
  SavePrompt();
  // The row to go back to when the new profile is given up at exit.
  if (!m_newProfile) m_rememberedProfileRow = m_shownProfiles.row;
  m_shownProfiles.row = kNone;
  m_currentProfile.clear();
  DrawProfileList();
  ResetAllTables();
  RedrawPadPicture();
  RedrawLabels();
  m_dirty = kDirtyChanged;
  m_newProfile = true;
}

std::optional<std::string> PadView::AskProfileName() {
  const std::optional<std::string> typed = m_ports.dialogs.ProfileName(kProposedProfileName);
  if (!typed) return std::nullopt;
  std::string name = NormaliseProfileName(typed->substr(0, std::min<size_t>(typed->size(), 10)));
  if (name.empty() || !IsValidProfileName(name)) return std::nullopt;
  return name;
}

bool PadView::SaveProfile() {
  if (m_shownGames.row == kNone || m_currentGame.empty()) {
    m_ports.prompts.MessageBox(kMsgNoGame, kMbOk);
    return false;
  }
  if (m_newProfile) m_shownProfiles.row = kNone;
  if (m_dirty != kDirtyChanged) {
    m_ports.prompts.MessageBox(kMsgNothingToSave, kMbOk);
    return false;
  }
  if (m_shownProfiles.row == kNone || m_currentProfile.empty()) {
    m_ports.shell.Repaint();
    const std::optional<std::string> name = AskProfileName();
    if (!name) return false;
    return SaveNamed(*name, false);
  }
  return SaveNamed(m_currentProfile, m_games.GameHasProfile(m_currentGame, m_currentProfile));
}

bool PadView::SaveProfileAs() {
  if (m_shownGames.row == kNone || m_currentGame.empty()) {
    m_ports.prompts.MessageBox(kMsgNoGame, kMbOk);
    return false;
  }
  if (m_newProfile) m_shownProfiles.row = kNone;
  std::optional<std::string> name = AskProfileName();
  if (!name) return false;
  bool replace = false;
  while (m_games.GameHasProfile(m_currentGame, *name)) {
    if (m_ports.prompts.MessageBox(kMsgReplaceProfile, kMbYesNo | kMbIconQuestion) == kIdYes) {
      replace = true;
      break;
    }
    // Cancelling the second name keeps the edits as they are.
    name = AskProfileName();
    if (!name) return false;
  }
  return SaveNamed(*name, replace);
}

// Writes the tables as profile `name` (over its record when `replace`),
// selects it, marks it active and writes the game list.
bool PadView::SaveNamed(const std::string& name, bool replace) {
  const uint8_t position = replace ? m_store.OverwriteProfile(m_currentGame, name)
                                   : m_store.AppendProfile(m_currentGame, name);
  if (position == kNoPosition) return false;
  m_dirty = kDirtyClean;
  m_newProfile = false;
  m_currentProfile = name;
  m_shownProfiles.page = static_cast<uint8_t>(position / kProfilesPerPage);
  m_shownProfiles.row = static_cast<uint8_t>(position % kProfilesPerPage);
  if (!m_saveFromActiveBox) MarkActive(name);
  FillProfilePage();
  DrawProfileList();
  WriteGameList();
  return true;
}

void PadView::DeleteProfile() {
  if (m_shownGames.row == kNone || m_currentGame.empty()) {
    m_ports.prompts.MessageBox(kMsgNoGame, kMbOk);
    return;
  }
  if (m_shownProfiles.row == kNone || m_currentProfile.empty()) {
    m_ports.prompts.MessageBox(kMsgNoProfile, kMbOk);
    return;
  }
  const std::string profile = m_currentProfile;
  if (m_ports.prompts.Ask({kMsgDeleteProfile, kMbYesNo | kMbIconQuestion, profile, 0}) != kIdYes) {
    return;
  }
  const GameEntry* game = m_games.FindGame(m_currentGame);
  size_t position = 0;
  while (game && position < game->profiles.size() && game->profiles[position].name != profile) {
    ++position;
  }
  if (!m_store.DeleteProfile(m_currentGame, profile)) return;
  // The deleted profile's edits are not offered for saving any more.
  m_dirty = kDirtyNoProfile;
  m_currentProfile.clear();
  m_shownProfiles.row = kNone;
  game = m_games.FindGame(m_currentGame);
  const size_t remaining = game ? game->profiles.size() : 0;
  if (remaining == 0) {
    m_shownProfiles.page = 0;
    FillProfilePage();
    DrawBitmap(bmp::kProfileList, layout::kProfileListRect);
    NewProfile();
    return;
  }
  const size_t next = std::min(position, remaining - 1);
  const bool active = game->profiles[next].active != 0;
  m_shownProfiles.page = static_cast<uint8_t>(next / kProfilesPerPage);
  FillProfilePage();
  DrawProfileList();
  const uint8_t row = static_cast<uint8_t>(next % kProfilesPerPage);
  if (active) {
    SelectProfileRow(row, false);
  } else if (!SelectProfileRow(row, true)) {
    ToggleActive(row);
  }
}

void PadView::CopyInput() {
  if (m_selectedInput == kNone) {
    m_ports.prompts.MessageBox(kMsgNoInput, kMbOk);
    return;
  }
  const KeyEntry* entry = Table().Find(m_selectedInput);
  if (!entry || FormatEntry(m_selectedInput) == m_unassignedCaption) {
    m_ports.prompts.MessageBox(kMsgInputEmpty, kMbOk);
    return;
  }
  m_clipboard.pad.reset();
  m_clipboard.input = *entry;
}

void PadView::CopyPad() {
  m_clipboard.input.reset();
  m_clipboard.pad.reset();
  PadKeyTable copy;
  CopyKeyTable(Table(), copy, static_cast<uint8_t>(Model().buttons));
  m_clipboard.pad = std::move(copy);
}

void PadView::Paste() {
  if (!m_clipboard.input && !m_clipboard.pad) {
    m_ports.prompts.MessageBox(kMsgNothingToPaste, kMbOk);
    return;
  }
  if (m_clipboard.pad) {
    FreeKeyTable(Table());
    CopyKeyTable(*m_clipboard.pad, Table(), static_cast<uint8_t>(Model().buttons));
    RedrawLabels();
    m_dirty = kDirtyChanged;
  }
  if (m_clipboard.input && m_selectedInput != kNone) {
    KeySequence keys{};
    EntryToSequence(*m_clipboard.input, keys);
    StoreEntry(m_clipboard.input->mode, keys.count ? &keys : nullptr);
    RedrawLabel(m_selectedInput, true);
    m_dirty = kDirtyChanged;
  }
}

void PadView::ResetPad() {
  FreeKeyTable(Table());
  m_store.MakeDefaultTable(m_currentPad, Model().buttons == 12, false);
  m_dirty = kDirtyChanged;
  RedrawLabels();
}

void PadView::WriteGameList() {
  m_games.SaveGameList(m_ports.fs, m_store.BuildWorkPath(kGameListName),
                       m_store.BuildWorkPath(kGameListTempName));
}

void PadView::WriteSetting() {
  RegKey key = kRegNone;
  if (m_ports.registry.CreateKey(kHkeyCurrentUser, kSettingKey, kKeyAllAccess, key) != kRegOk) {
    return;
  }
  const uint8_t data[5] = {m_shownGames.page, m_shownGames.row, m_shownProfiles.page,
                           m_shownProfiles.row, 0};
  m_ports.registry.SetValue(key, kSettingValue, kRegBinary, data, sizeof data);
  m_ports.registry.CloseKey(key);
}

}  // namespace kl
