// kltool's file commands: inspect key files and game lists, and change them
// exactly as the editor does (add and remove games, save, delete and
// activate profiles).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include <nlohmann/json.hpp>

#include "profile/gamelist.h"
#include "profile/keyfile.h"
#include "profile/profile_store.h"
#include "tools/kltool/commands.h"
#include "tools/kltool/profile_tool.h"

#include "resources/builtin_strings.h"

namespace kl::tool {
namespace {

// Keys come out in the order the contract shows them.
using json = nlohmann::ordered_json;

// Odd bytes were made valid by JsonText; the writer replaces anything left.
std::string Dump(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

const char* ModeName(uint8_t mode) {
  switch (mode) {
    case kModeHold:
      return "hold";
    case kModeHoldRepeat:
      return "hold-repeat";
    case kModeTap:
      return "tap";
    case kModeTapRepeat:
      return "tap-repeat";
    case kModeCycle:
      return "cycle";
    case kModeMouse:
      return "mouse";
    case kModeUnassigned:
      return "unassigned";
    default:
      return nullptr;
  }
}

json PadsJson(const std::vector<PadKeyTable>& pads) {
  json out = json::array();
  for (const PadKeyTable& pad : pads) {
    json entries = json::array();
    for (const KeyEntry& entry : pad.entries) {
      json keys = json::array();
      for (const KeyStroke& k : entry.keys) keys.push_back({k.flags, k.vk});
      entries.push_back({{"mode", entry.mode}, {"keys", keys}});
    }
    out.push_back({{"entries", entries}});
  }
  return out;
}

void PrintPads(const std::vector<PadKeyTable>& pads) {
  for (size_t slot = 0; slot < pads.size(); ++slot) {
    std::printf("  pad %zu: %zu entries\n", slot, pads[slot].entries.size());
    for (const KeyEntry& entry : pads[slot].entries) {
      const char* mode = ModeName(entry.mode);
      std::string line = "    " + std::to_string(entry.index) + "\t";
      if (mode) {
        line += mode;
      } else {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "mode 0x%02x", entry.mode);
        line += buffer;
      }
      for (const KeyStroke& k : entry.keys) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, " %02x:%02x", k.flags, k.vk);
        line += buffer;
      }
      std::printf("%s\n", line.c_str());
    }
  }
}

std::string MessageText(uint32_t id) {
  std::string text = BuiltinStrings(StringModule::kKloom).Load(id);
  if (!text.empty()) return text;
  return "message " + std::to_string(id);
}

// Message boxes become the one line of a user error.
class ToolPrompts : public Prompts {
 public:
  int MessageBox(uint32_t stringId, uint32_t) override {
    if (!m_first) m_first = stringId;
    return kIdOk;
  }
  std::optional<std::string> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
  int Fail(const std::string& fallback) const {
    return UserError(m_first ? MessageText(*m_first) : fallback);
  }

 private:
  std::optional<uint32_t> m_first;
};

// A key-file folder, its game list and the profile store over it.
struct Folder {
  explicit Folder(const std::string& path)
      : fs(MakeFileSystem()), store(*fs, prompts, games, path) {}
  std::string ListPath() const { return store.BuildWorkPath(kGameListName); }
  bool SaveList() {
    return games.SaveGameList(*fs, ListPath(), store.BuildWorkPath(kGameListTempName));
  }

  std::unique_ptr<FileSystem> fs;
  ToolPrompts prompts;
  GameList games;
  ProfileStore store;
};

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

// The game named on the command line: a program name or path becomes the
// upper-case file name the game list holds.
bool ParseGame(const std::string& word, std::string& game, std::string& error) {
  game = GameNameFromPath(word);
  if (IsValidGameName(game)) return true;
  error = "'" + word + "' is not a program name with a three-letter extension";
  return false;
}

bool HasFlag(const Args& args, size_t from, const char* flag, bool& bad) {
  bool found = false;
  for (size_t i = from; i < args.size(); ++i) {
    if (args[i] == flag) {
      found = true;
    } else {
      bad = true;
    }
  }
  return found;
}

// TABLES.json: {"pads":[{"entries":[{"mode":0,"keys":[[0,38]]}, ...]}, ...]}
bool ParseByte(const json& value, uint8_t& out) {
  if (!value.is_number_integer()) return false;
  const auto number = value.get<int64_t>();
  if (number < 0 || number > 255) return false;
  out = static_cast<uint8_t>(number);
  return true;
}

bool ParseTables(const std::string& text, std::vector<PadKeyTable>& pads, std::string& error) {
  const json doc = json::parse(text, nullptr, false);
  if (doc.is_discarded()) {
    error = "not JSON";
    return false;
  }
  if (!doc.is_object() || !doc.contains("pads") || !doc["pads"].is_array()) {
    error = "no \"pads\" array";
    return false;
  }
  if (doc["pads"].size() > kPadSlots) {
    error = "more than 4 pads";
    return false;
  }
  for (const json& pad : doc["pads"]) {
    const std::string where = "pad " + std::to_string(pads.size());
    if (!pad.is_object() || !pad.contains("entries") || !pad["entries"].is_array()) {
      error = where + ": no \"entries\" array";
      return false;
    }
    if (pad["entries"].size() > kMaxInputs) {
      error = where + ": more than 32 entries";
      return false;
    }
    PadKeyTable& table = pads.emplace_back();
    for (const json& entry : pad["entries"]) {
      const std::string at = where + " entry " + std::to_string(table.entries.size());
      KeyEntry e;
      e.index = static_cast<uint8_t>(table.entries.size());
      if (!entry.is_object() || !entry.contains("mode") || !ParseByte(entry["mode"], e.mode)) {
        error = at + ": \"mode\" must be a number 0..255";
        return false;
      }
      const json keys = entry.contains("keys") ? entry["keys"] : json::array();
      if (!keys.is_array() || keys.size() > kMaxStrokes) {
        error = at + ": \"keys\" must be a list of at most 33 pairs";
        return false;
      }
      for (const json& pair : keys) {
        KeyStroke k;
        if (!pair.is_array() || pair.size() != 2 || !ParseByte(pair[0], k.flags) ||
            !ParseByte(pair[1], k.vk)) {
          error = at + ": each key is a pair [flags, vk] of numbers 0..255";
          return false;
        }
        e.keys.push_back(k);
      }
      table.entries.push_back(std::move(e));
    }
  }
  return true;
}

int KeyfileShow(const Args& args) {
  bool bad = false;
  const bool asJson = HasFlag(args, 2, "--json", bad);
  if (bad) return UserError("usage: kltool keyfile show FILE [--json]");
  std::unique_ptr<FileSystem> fs = MakeFileSystem();
  std::optional<KeyFileContents> contents = ReadKeyFile(*fs, args[1]);
  if (!contents) return UserError("cannot open " + args[1]);
  if (asJson) {
    json profiles = json::array();
    for (const KeyFileRecord& record : contents->records) {
      json p = {{"name", JsonText(record.name)}, {"pads", PadsJson(record.blocks.pads)}};
      if (!record.blocks.complete) p["damaged"] = true;
      profiles.push_back(p);
    }
    json out = {{"signature", JsonText(contents->header.signature)},
                {"version", JsonText(contents->header.version)},
                {"profiles", profiles}};
    std::printf("%s\n", Dump(out).c_str());
    return 0;
  }
  std::printf("signature \"%s\" version \"%s\"\n", contents->header.signature.c_str(),
              contents->header.version.c_str());
  for (const KeyFileRecord& record : contents->records) {
    const size_t count = record.blocks.pads.size();
    std::printf("profile \"%s\": %zu pad%s%s\n", record.name.c_str(), count, count == 1 ? "" : "s",
                record.blocks.complete ? "" : " (damaged: read up to the fault)");
    PrintPads(record.blocks.pads);
  }
  return 0;
}

int GamelistShow(const Args& args) {
  bool bad = false;
  const bool asJson = HasFlag(args, 2, "--json", bad);
  if (bad) return UserError("usage: kltool gamelist show FOLDER [--json]");
  if (!IsFolder(args[1])) return UserError("not a folder: " + args[1]);
  Folder folder(args[1]);
  if (!folder.games.LoadGameList(*folder.fs, folder.ListPath())) {
    return UserError("cannot open " + folder.ListPath());
  }
  if (asJson) {
    json games = json::array();
    for (const GameEntry& game : folder.games.Games()) {
      json profiles = json::array();
      for (const ProfileEntry& p : game.profiles) {
        profiles.push_back({{"name", JsonText(p.name)}, {"active", p.active != 0}});
      }
      games.push_back({{"name", JsonText(game.name)}, {"profiles", profiles}});
    }
    std::printf("%s\n", Dump(json{{"games", games}}).c_str());
    return 0;
  }
  for (const GameEntry& game : folder.games.Games()) {
    std::printf("%s\n", game.name.c_str());
    for (const ProfileEntry& p : game.profiles) {
      std::printf("  %s%s\n", p.name.c_str(), p.active ? " (active)" : "");
    }
  }
  return 0;
}

// Loads FOLDER's game list (a missing one is empty) and checks GAME.
int OpenFolder(const Args& args, std::unique_ptr<Folder>& folder, std::string& game) {
  if (!IsFolder(args[1])) return UserError("not a folder: " + args[1]);
  std::string error;
  if (!ParseGame(args[2], game, error)) return UserError(error);
  folder = std::make_unique<Folder>(args[1]);
  if (!folder->games.LoadGameList(*folder->fs, folder->ListPath()) &&
      folder->fs->Exists(folder->ListPath())) {
    return UserError("cannot read " + folder->ListPath());
  }
  return 0;
}

}  // namespace

int RunKeyfile(const Args& args) {
  UseBinaryOutput();
  if (args.size() < 2 || args[0] != "show") {
    return UserError("usage: kltool keyfile show FILE [--json]");
  }
  return KeyfileShow(args);
}

int RunGamelist(const Args& args) {
  UseBinaryOutput();
  if (args.size() < 2 || args[0] != "show") {
    return UserError("usage: kltool gamelist show FOLDER [--json]");
  }
  return GamelistShow(args);
}

int RunGame(const Args& args) {
  UseBinaryOutput();
  if (args.size() != 3 || (args[0] != "add" && args[0] != "remove")) {
    return UserError("usage: kltool game add|remove FOLDER GAME");
  }
  std::unique_ptr<Folder> folder;
  std::string game;
  if (int status = OpenFolder(args, folder, game)) return status;
  if (args[0] == "add") {
    if (folder->games.IsGameListed(game)) return UserError(MessageText(kMsgGameListed));
    if (folder->games.AddGame(game) == kNoPosition) return UserError("the game list is full");
    if (!folder->SaveList()) return UserError("cannot write " + folder->ListPath());
    return 0;
  }
  if (!folder->games.IsGameListed(game)) return UserError(game + " is not in the game list");
  // The list is written first and put back when the key file cannot go, so
  // the two never disagree.
  if (!folder->store.RemoveGame(game, true)) return folder->prompts.Fail("cannot remove " + game);
  return 0;
}

int RunProfile(const Args& args) {
  UseBinaryOutput();
  const std::string usage =
      "usage: kltool profile save FOLDER GAME PROFILE TABLES.json | "
      "profile delete|activate FOLDER GAME PROFILE";
  if (args.empty()) return UserError(usage);
  const std::string& action = args[0];
  const bool save = action == "save";
  if ((save && args.size() != 5) || (!save && args.size() != 4) ||
      (!save && action != "delete" && action != "activate")) {
    return UserError(usage);
  }
  const std::string& profile = args[3];
  if (!IsValidProfileName(profile)) {
    return UserError("'" + profile +
                     "' cannot be a profile name (1 to 254 characters, no control characters, "
                     "no space at either end)");
  }
  std::vector<PadKeyTable> pads;
  if (save) {
    std::string text;
    if (!ReadWholeFile(args[4], text)) return UserError("cannot read " + args[4]);
    std::string error;
    if (!ParseTables(text, pads, error)) return UserError(args[4] + ": " + error);
  }
  std::unique_ptr<Folder> folder;
  std::string game;
  if (int status = OpenFolder(args, folder, game)) return status;
  GameList& games = folder->games;
  ProfileStore& store = folder->store;

  if (save) {
    if (!games.IsGameListed(game) && games.AddGame(game) == kNoPosition) {
      return UserError("the game list is full");
    }
    // Saving over a profile gives the bytes of deleting and appending it, as
    // the editor does, in one replacement; a record of that name the list does
    // not know goes too.
    store.SetPadCount(static_cast<int>(pads.size()));
    for (size_t slot = 0; slot < pads.size(); ++slot) {
      store.Table(static_cast<int>(slot)) = pads[slot];
    }
    if (store.OverwriteProfile(game, profile) == kNoPosition) {
      return folder->prompts.Fail("cannot save " + profile);
    }
  } else if (action == "delete") {
    const bool listed = games.GameHasProfile(game, profile);
    if (!listed && !KeyFileHasRecord(*folder->fs, store.KeyFilePath(game), profile)) {
      return UserError(game + " has no profile '" + profile + "'");
    }
    if (!store.DeleteProfile(game, profile)) {
      return folder->prompts.Fail("cannot delete " + profile);
    }
  } else if (!games.GameHasProfile(game, profile)) {
    return UserError(game + " has no profile '" + profile + "'");
  }
  if (action != "delete") {
    for (const ProfileEntry& p : games.FindGame(game)->profiles) {
      games.SetProfileActive(game, p.name, p.name == profile ? 1 : 0);
    }
  }
  if (!folder->SaveList()) return UserError("cannot write " + folder->ListPath());
  return 0;
}

}  // namespace kl::tool
