// The import button: key files found in the folder become games.
#include <memory>

#include "editor/pad_view.h"

namespace kl {
namespace {

namespace bmp = layout::kloom;

}  // namespace

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
    const std::string maker(kKeyFileSignature, kKeyFileMakerLength);
    if (in.ReadWord(kKeyFileMakerLength) != std::optional<std::string>(maker)) continue;
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
      m_shownGames.page = static_cast<uint8_t>(i / kGamesPerPage);
      m_shownGames.row = static_cast<uint8_t>(i % kGamesPerPage);
      break;
    }
  }
  m_ports.shell.Repaint();
}

}  // namespace kl
