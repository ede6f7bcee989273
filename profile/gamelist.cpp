#include "profile/gamelist.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "profile/keyfile.h"
#include "profile/textstream.h"

namespace kl {
namespace {

// Punctuation in the order the platform sorts it; hyphen and apostrophe are
// left out because they only count when all else is equal.
constexpr char kSymbolOrder[] = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

bool IsSpecial(unsigned char c) {
  return c == '-' || c == '\'';
}

int PrimaryWeight(unsigned char c) {
  if (const char* p = std::strchr(kSymbolOrder, c); p && c != '\0') {
    return 1 + static_cast<int>(p - kSymbolOrder);
  }
  if (c >= '0' && c <= '9') return 100 + (c - '0');
  if (std::isalpha(c)) return 200 + (std::tolower(c) - 'a');
  // Control characters first, other bytes after the letters by value.
  return c < 0x20 ? 0 : 300 + c;
}

// Case weight: lower case before upper case; everything else alike.
int CaseWeight(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? 1 : 0;
}

template <typename Weight>
int CompareLevel(const std::string& a, const std::string& b, Weight weight) {
  size_t i = 0;
  size_t j = 0;
  for (;;) {
    while (i < a.size() && IsSpecial(static_cast<unsigned char>(a[i]))) ++i;
    while (j < b.size() && IsSpecial(static_cast<unsigned char>(b[j]))) ++j;
    if (i == a.size() || j == b.size()) break;
    int wa = weight(static_cast<unsigned char>(a[i++]));
    int wb = weight(static_cast<unsigned char>(b[j++]));
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (i == a.size() && j == b.size()) return 0;
  return i == a.size() ? -1 : 1;
}

// Hyphens and apostrophes: by position, a later one first; then apostrophe
// before hyphen; then fewer before more.
int CompareSpecials(const std::string& a, const std::string& b) {
  std::vector<std::pair<size_t, unsigned char>> sa;
  std::vector<std::pair<size_t, unsigned char>> sb;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsSpecial(static_cast<unsigned char>(a[i]))) sa.emplace_back(i, a[i]);
  }
  for (size_t i = 0; i < b.size(); ++i) {
    if (IsSpecial(static_cast<unsigned char>(b[i]))) sb.emplace_back(i, b[i]);
  }
  for (size_t k = 0; k < sa.size() && k < sb.size(); ++k) {
    if (sa[k].first != sb[k].first) return sa[k].first > sb[k].first ? -1 : 1;
    if (sa[k].second != sb[k].second) return sa[k].second == '\'' ? -1 : 1;
  }
  if (sa.size() == sb.size()) return 0;
  return sa.size() < sb.size() ? -1 : 1;
}

bool IsSpaceByte(int c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// A whitespace-delimited word of any length, of which at most `keep`
// characters are kept, so an overlong name never spills into the next word.
std::optional<std::string> ReadWholeWord(TextStream& in, size_t keep) {
  std::optional<std::string> word = in.ReadWord(keep);
  if (!word) return word;
  for (int c = in.PeekByte(); c != TextStream::kEnd && !IsSpaceByte(c); c = in.PeekByte()) {
    in.ReadByte();
  }
  return word;
}

void AppendLimited(std::string& name, const std::string& part, size_t limit) {
  if (name.size() < limit) name += part.substr(0, limit - name.size());
  // A cut right after the joining space must not keep it: written as the
  // end of a line, that space would make the reader take the next line's
  // words into the name.
  if (name.size() == limit) {
    while (!name.empty() && name.back() == ' ') name.pop_back();
  }
}

// The profiles of one game line, after its number: " <flag><name>" each. A
// name's further words follow single spaces; a flag byte (0 or 1) where a
// word would start begins the next profile. A stray byte where a flag
// belongs starts the name instead, with the flag clear. False when the data
// ends before the line does.
bool ReadProfileLine(TextStream& in, std::vector<ProfileEntry>& profiles) {
  int after = in.ReadByte();
  while (after != '\n') {
    if (after == TextStream::kEnd) return false;
    int c = in.PeekByte();
    if (c == '\n' || c == TextStream::kEnd) return in.ReadByte() != TextStream::kEnd;
    uint8_t flag = 0;
    if (c == 0 || c == 1) flag = static_cast<uint8_t>(in.ReadByte());
    std::optional<std::string> word = ReadWholeWord(in, kMaxProfileName);
    if (!word) return false;
    std::string name = *word;
    after = in.ReadByte();
    while (after != '\n' && after != TextStream::kEnd) {
      c = in.PeekByte();
      if (c == 0 || c == 1 || c == TextStream::kEnd) break;
      in.ReadByte();
      if (c == '\n') {
        after = c;
        break;
      }
      std::string part(1, static_cast<char>(c));
      // A one-letter word is followed at once by white space.
      if (int next = in.PeekByte(); next != TextStream::kEnd && !IsSpaceByte(next)) {
        if (std::optional<std::string> rest = ReadWholeWord(in, kMaxProfileName)) part += *rest;
      }
      AppendLimited(name, " " + part, kMaxProfileName);
      after = in.ReadByte();
    }
    profiles.push_back({flag, std::move(name)});
  }
  return true;
}

}  // namespace

int CompareNames(const std::string& a, const std::string& b) {
  if (int r = CompareLevel(a, b, PrimaryWeight)) return r;
  if (int r = CompareLevel(a, b, CaseWeight)) return r;
  if (int r = CompareSpecials(a, b)) return r;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

const GameEntry* GameList::FindGame(const std::string& name) const {
  for (const GameEntry& game : m_games) {
    if (game.name == name) return &game;
  }
  return nullptr;
}

GameEntry* GameList::Find(const std::string& name) {
  return const_cast<GameEntry*>(static_cast<const GameList&>(*this).FindGame(name));
}

uint8_t GameList::AddGame(const std::string& name) {
  for (size_t i = 0; i < m_games.size(); ++i) {
    if (m_games[i].name == name) return static_cast<uint8_t>(i);
  }
  if (m_games.size() >= kMaxListed) return kNoPosition;
  // The list is always in this order (only this function inserts), so the
  // place after the last name not above the new one is found by halving.
  auto it = std::upper_bound(m_games.begin(), m_games.end(), name,
                             [](const std::string& key, const GameEntry& game) {
                               return CompareNames(key, game.name) < 0;
                             });
  it = m_games.insert(it, GameEntry{name, {}});
  return static_cast<uint8_t>(it - m_games.begin());
}

bool GameList::RemoveGame(const std::string& name) {
  auto it = std::find_if(m_games.begin(), m_games.end(),
                         [&](const GameEntry& game) { return game.name == name; });
  if (it == m_games.end()) return false;
  m_games.erase(it);
  return true;
}

bool GameList::IsGameListed(const std::string& name) const {
  return FindGame(name) != nullptr;
}

std::string GameList::GameNameAt(size_t position) const {
  return position < m_games.size() ? m_games[position].name : std::string();
}

uint8_t GameList::AddProfileToGame(const std::string& game, const std::string& profile,
                                   uint8_t active) {
  GameEntry* entry = Find(game);
  if (!entry || entry->profiles.size() >= kMaxListed) return kNoPosition;
  entry->profiles.push_back({active, profile});
  return static_cast<uint8_t>(entry->profiles.size() - 1);
}

bool GameList::RemoveProfileFromGame(const std::string& game, const std::string& profile) {
  GameEntry* entry = Find(game);
  if (!entry) return false;
  auto it = std::find_if(entry->profiles.begin(), entry->profiles.end(),
                         [&](const ProfileEntry& p) { return p.name == profile; });
  if (it == entry->profiles.end()) return false;
  entry->profiles.erase(it);
  return true;
}

bool GameList::GameHasProfile(const std::string& game, const std::string& profile) const {
  const GameEntry* entry = FindGame(game);
  if (!entry) return false;
  return std::any_of(entry->profiles.begin(), entry->profiles.end(),
                     [&](const ProfileEntry& p) { return p.name == profile; });
}

void GameList::SetProfileActive(const std::string& game, const std::string& profile, uint8_t flag) {
  GameEntry* entry = Find(game);
  if (!entry) return;
  for (ProfileEntry& p : entry->profiles) {
    if (p.name == profile) {
      p.active = flag;
      return;
    }
  }
}

bool GameList::GetActiveProfile(const std::string& game, std::string& name) const {
  const GameEntry* entry = FindGame(game);
  if (!entry) return false;
  for (const ProfileEntry& p : entry->profiles) {
    if (p.active) {
      name = p.name;
      return true;
    }
  }
  return false;
}

bool GameList::LoadGameList(FileSystem& fs, const std::string& path) {
  m_games.clear();
  std::unique_ptr<File> file = fs.Open(path, OpenMode::kRead);
  if (!file) return false;
  TextStream in(std::move(file));
  std::optional<std::string> first = in.ReadWord(16);
  if (!first || *first != "[GAMELIST]") return true;

  // Game section. A line's words come back joined by single spaces. The
  // names as read, in file order, are what the profile lines number.
  std::vector<std::string> namesRead;
  for (;;) {
    std::optional<std::string> word = ReadWholeWord(in, kMaxGameName);
    if (!word || *word == "[PROFILE]") break;
    std::string name = *word;
    int after = in.ReadByte();
    while (after != '\n' && after != TextStream::kEnd) {
      std::optional<std::string> more = ReadWholeWord(in, kMaxGameName);
      if (!more) break;
      AppendLimited(name, " " + *more, kMaxGameName);
      after = in.ReadByte();
    }
    AddGame(name);
    namesRead.push_back(std::move(name));
  }

  // Profile section: one line per game, "n", then " <flag><name>" per profile.
  const size_t gamesRead = namesRead.size();
  if (gamesRead == 0) return true;
  for (;;) {
    std::optional<int32_t> number = in.ReadDecimal();
    if (!number) break;
    std::vector<ProfileEntry> profiles;
    const bool more = ReadProfileLine(in, profiles);
    const bool known = *number >= 1 && static_cast<size_t>(*number) <= gamesRead;
    // The game is looked up once per line, not once per profile.
    GameEntry* entry = known ? Find(namesRead[*number - 1]) : nullptr;
    if (entry) {
      for (const ProfileEntry& p : profiles) {
        const bool listed = std::any_of(entry->profiles.begin(), entry->profiles.end(),
                                        [&](const ProfileEntry& q) { return q.name == p.name; });
        if (!listed && entry->profiles.size() < kMaxListed) entry->profiles.push_back(p);
      }
    }
    if (!more || (known && static_cast<size_t>(*number) == gamesRead)) break;
  }
  return true;
}

bool GameList::SaveGameList(FileSystem& fs, const std::string& path,
                            const std::string& tempPath) const {
  return ReplaceWholeFile(fs, path, tempPath, [this](TextStream& out) {
    std::string text = "[GAMELIST]\n";
    for (const GameEntry& game : m_games) text += game.name + "\n";
    text += "\n[PROFILE]\n";
    int number = 1;
    for (const GameEntry& game : m_games) {
      text += std::to_string(number++);
      for (const ProfileEntry& p : game.profiles) {
        text += ' ';
        text += static_cast<char>(p.active);
        text += p.name;
      }
      text += '\n';
    }
    return out.Write(text);
  });
}

std::string GameNameFromPath(const std::string& path) {
  size_t cut = path.find_last_of("\\/:");
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

uint8_t GameList::BrowseForGame(Prompts& prompts, const StringSource& strings, std::string& name) {
  OpenFileRequest request;
  request.filter = strings.Load(kStrGameFilter);
  request.defaultExtension = "exe";
  request.initialName = "*.exe";
  std::optional<std::string> picked = prompts.OpenFile(request);
  if (!picked) return kNoPosition;
  std::string game = GameNameFromPath(*picked);
  if (!IsValidGameName(game)) return kNoPosition;
  if (IsGameListed(game)) {
    prompts.MessageBox(kMsgGameListed, kMbOk);
    return kNoPosition;
  }
  uint8_t position = AddGame(game);
  if (position != kNoPosition) name = game;
  return position;
}

}  // namespace kl
