#include "profile/profile_store.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "profile/textstream.h"

namespace kl {
namespace {

constexpr size_t kCopyChunk = 2048;

// Copies stored bytes [from, to) of `in` to `out` as they are; false when the
// data ends early or a write fails.
bool CopyStored(TextStream& in, TextStream& out, uint64_t from, uint64_t to) {
  if (!in.SeekStored(from)) return false;
  char buffer[kCopyChunk];
  for (uint64_t left = to - from; left > 0;) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(left, kCopyChunk));
    const size_t got = in.ReadStored(buffer, want);
    if (got != want || !out.WriteStored(buffer, got)) return false;
    left -= got;
  }
  return true;
}

// Whether a record that ends at the stream's position is followed by the
// next record's tag or by nothing: what every file this system writes holds.
bool EndsCleanly(TextStream& in) {
  char tag[9];
  const size_t got = in.ReadStored(tag, sizeof tag);
  return got == 0 || (got == sizeof tag && std::equal(tag, tag + 9, "[PROFILE]"));
}

}  // namespace

std::string ProgramWorkFolder(const std::string& modulePath) {
  const size_t cut = modulePath.find_last_of("\\/");
  const std::string folder =
      cut == std::string::npos ? std::string() : modulePath.substr(0, cut + 1);
  return folder + "KEYFILES\\";
}

ProfileStore::ProfileStore(FileSystem& fs, Prompts& prompts, GameList& games,
                           std::string workFolder)
    : m_fs(fs), m_prompts(prompts), m_games(games), m_workFolder(std::move(workFolder)) {
  if (!m_workFolder.empty() && m_workFolder.back() != '/' && m_workFolder.back() != '\\') {
    m_workFolder += m_fs.Separator();
  }
}

std::string ProfileStore::BuildWorkPath(const std::string& name) const {
  return m_workFolder + name;
}

void ProfileStore::SetPadCount(int count) {
  m_padCount = std::clamp(count, 0, kPadSlots);
}

void ProfileStore::MakeDefaultTable(int slot, bool twelveButtons, bool empty) {
  kl::MakeDefaultTable(m_tables[slot], twelveButtons, empty);
}

bool ProfileStore::GetKeyEntry(uint8_t index, KeySequence& sequence, uint8_t& mode) const {
  const KeyEntry* entry = m_tables[m_current].Find(index);
  if (!entry) return false;
  EntryToSequence(*entry, sequence);
  mode = entry->mode;
  return true;
}

LoadResult ProfileStore::LoadProfile(const std::string& game, const std::string& profile) {
  std::unique_ptr<File> file;
  if (IsValidGameName(game)) file = m_fs.Open(KeyFilePath(game), OpenMode::kRead);
  if (!file) {
    m_prompts.MessageBox(kMsgKeyFileMissing, kMbOk);
    return LoadResult::kCannotOpen;
  }
  if (profile.size() > kProfileNameField) return LoadResult::kNotFound;
  TextStream in(std::move(file), CtrlZ::kIsData);
  const std::string key = SearchKeyFor(profile);
  // The header's signature and version are not checked.
  if (!in.SeekStored(16) || in.Skip(4 + 20) != 24) return LoadResult::kNotFound;
  while (std::optional<RecordTag> tag = ScanToRecord(in, false)) {
    if (tag->name != key) {
      SkipRecordBody(in);
      continue;
    }
    RecordBlocks blocks = ReadRecordBlocks(in);
    for (size_t slot = 0; slot < blocks.pads.size(); ++slot) {
      m_tables[slot] = std::move(blocks.pads[slot]);
      // Inputs the record lacks (a pad with more buttons, or a damaged
      // block) become unassigned.
      for (int i = 0; i <= m_buttons[slot] + 3 && i < kMaxInputs; ++i) {
        InsertKeyEntry(m_tables[slot], static_cast<uint8_t>(i), kModeUnassigned, nullptr);
      }
    }
    return blocks.complete ? LoadResult::kLoaded : LoadResult::kDamaged;
  }
  return LoadResult::kNotFound;
}

uint8_t ProfileStore::AppendProfile(const std::string& game, const std::string& profile) {
  const GameEntry* entry = m_games.FindGame(game);
  if (!entry || !IsValidGameName(game) || !IsValidProfileName(profile)) return kNoPosition;
  if (m_games.GameHasProfile(game, profile)) {
    m_prompts.MessageBox(kMsgProfileExists, kMbOk);
    return kNoPosition;
  }
  if (entry->profiles.size() >= kMaxListed) return kNoPosition;

  const std::string path = KeyFilePath(game);
  const bool existed = m_fs.Exists(path);
  std::vector<const PadKeyTable*> tables;
  for (int slot = 0; slot < m_padCount; ++slot) tables.push_back(&m_tables[slot]);

  const bool written =
      ReplaceWholeFile(m_fs, path, BuildWorkPath(kKeyTempName), [&](TextStream& out) {
        if (existed) {
          std::unique_ptr<File> old = m_fs.Open(path, OpenMode::kRead);
          if (!old) return false;
          TextStream in(std::move(old), CtrlZ::kIsData);
          char buffer[kCopyChunk];
          for (size_t got; (got = in.ReadStored(buffer, sizeof buffer)) > 0;) {
            if (!out.WriteStored(buffer, got)) return false;
          }
        } else if (!WriteKeyFileHeader(out)) {
          return false;
        }
        return WriteProfileRecord(out, profile, tables);
      });
  if (!written) {
    m_prompts.MessageBox(kMsgKeyFileUnwritable, kMbOk);
    return kNoPosition;
  }
  return m_games.AddProfileToGame(game, profile, 0);
}

bool ProfileStore::DeleteProfile(const std::string& game, const std::string& profile) {
  if (!IsValidGameName(game)) return false;
  const std::string path = KeyFilePath(game);
  if (!m_fs.Exists(path)) {
    m_games.RemoveProfileFromGame(game, profile);
    return true;
  }
  std::unique_ptr<File> file = m_fs.Open(path, OpenMode::kRead);
  if (!file) {
    m_prompts.MessageBox(kMsgKeyFileUnreadable, kMbOk);
    return false;
  }
  TextStream in(std::move(file), CtrlZ::kIsData);

  // Find the record and its end by reading through it: its length counts
  // bytes before the text rules, so a stored CR LF makes it one byte longer.
  std::optional<uint64_t> start;
  uint64_t end = 0;
  if (profile.size() <= kProfileNameField && in.SeekStored(kKeyFileHeaderSize)) {
    const std::string key = SearchKeyFor(profile);
    while (std::optional<RecordTag> tag = ScanToRecord(in, true)) {
      SkipRecordBody(in);
      if (tag->name == key) {
        start = tag->start;
        end = in.Tell();
        break;
      }
    }
  }
  if (!start) {
    in.Close();
    m_games.RemoveProfileFromGame(game, profile);
    return true;
  }
  // A length that does not end at the next record or at the end of the file
  // would cut into another profile: leave such a file alone.
  if (!in.SeekStored(end) || !EndsCleanly(in)) {
    m_prompts.MessageBox(kMsgKeyFileUnreadable, kMbOk);
    return false;
  }
  in.SeekStored(end);
  in.Skip(SIZE_MAX);
  const uint64_t size = in.Tell();

  if (*start + (size - end) < kKeyFileMinimumWithRecord) {
    // Only the header would be left: a game without profiles has no key file.
    in.Close();
    if (!m_fs.Remove(path)) {
      m_prompts.MessageBox(kMsgKeyFileUnwritable, kMbOk);
      return false;
    }
  } else {
    bool readFailed = false;
    const bool written =
        ReplaceWholeFile(m_fs, path, BuildWorkPath(kKeyTempName), [&](TextStream& out) {
          bool copied = CopyStored(in, out, 0, *start) && CopyStored(in, out, end, size);
          readFailed = !copied && !out.Failed();
          // The old file must be closed before it can be replaced.
          in.Close();
          return copied;
        });
    if (!written) {
      m_prompts.MessageBox(readFailed ? kMsgKeyFileUnreadable : kMsgKeyFileUnwritable, kMbOk);
      return false;
    }
  }
  m_games.RemoveProfileFromGame(game, profile);
  return true;
}

}  // namespace kl
