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

// Where a record lies in an open key file, in stored bytes.
struct RecordSpan {
  uint64_t start = 0;
  uint64_t end = 0;
  uint64_t size = 0;  // of the whole file
};
enum class SpanResult { kFound, kNotFound, kDamaged };

// Finds the first record named `profile` and its end by reading through it:
// the length field counts bytes before the text rules, so each stored CR LF
// makes the record one byte longer than it says.
SpanResult FindRecordSpan(TextStream& in, const std::string& profile, RecordSpan& span) {
  if (profile.size() > kProfileNameField || !in.SeekStored(kKeyFileHeaderSize)) {
    return SpanResult::kNotFound;
  }
  const std::string key = SearchKeyFor(profile);
  std::optional<uint64_t> start;
  while (std::optional<RecordTag> tag = ScanToRecord(in, true)) {
    SkipRecordBody(in);
    if (tag->name == key) {
      start = tag->start;
      break;
    }
  }
  // A scan cut short by a failed read has not seen the whole file.
  if (!start) return in.Failed() ? SpanResult::kDamaged : SpanResult::kNotFound;
  span.start = *start;
  span.end = in.Tell();
  // A length that does not end at the next record or at the end of the file
  // would cut into another profile: such a file is left alone.
  if (!in.SeekStored(span.end) || !EndsCleanly(in)) return SpanResult::kDamaged;
  in.SeekStored(span.end);
  in.Skip(SIZE_MAX);
  span.size = in.Tell();
  return in.Failed() ? SpanResult::kDamaged : SpanResult::kFound;
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
  if (m_games.GameHasProfile(game, profile)) {
    m_prompts.MessageBox(kMsgProfileExists, kMbOk);
    return kNoPosition;
  }
  return WriteRecord(game, profile, false);
}

uint8_t ProfileStore::OverwriteProfile(const std::string& game, const std::string& profile) {
  return WriteRecord(game, profile, true);
}

uint8_t ProfileStore::WriteRecord(const std::string& game, const std::string& profile,
                                  bool replace) {
  const GameEntry* entry = m_games.FindGame(game);
  if (!entry || !IsValidGameName(game) || !IsValidProfileName(profile)) return kNoPosition;
  if (entry->profiles.size() >= kMaxListed && !m_games.GameHasProfile(game, profile)) {
    return kNoPosition;
  }

  const std::string path = KeyFilePath(game);
  const bool existed = m_fs.Exists(path);
  std::vector<const PadKeyTable*> tables;
  for (int slot = 0; slot < m_padCount; ++slot) tables.push_back(&m_tables[slot]);

  bool unreadable = false;
  const bool written =
      ReplaceWholeFile(m_fs, path, BuildWorkPath(kKeyTempName), [&](TextStream& out) {
        if (!existed) return WriteKeyFileHeader(out) && WriteProfileRecord(out, profile, tables);
        std::unique_ptr<File> old = m_fs.Open(path, OpenMode::kRead);
        if (!old) {
          unreadable = true;
          return false;
        }
        TextStream in(std::move(old), CtrlZ::kIsData);
        RecordSpan span;
        const SpanResult found =
            replace ? FindRecordSpan(in, profile, span) : SpanResult::kNotFound;
        if (found == SpanResult::kDamaged) {
          unreadable = true;
          return false;
        }
        if (found == SpanResult::kNotFound) {
          span = {0, 0, 0};
          in.SeekStored(0);
          in.Skip(SIZE_MAX);
          span.start = span.end = span.size = in.Tell();
        }
        const bool copied = CopyStored(in, out, 0, span.start) &&
                            CopyStored(in, out, span.end, span.size) && !in.Failed();
        unreadable = !copied && !out.Failed();
        // The old file must be closed before it can be replaced.
        in.Close();
        return copied && WriteProfileRecord(out, profile, tables);
      });
  if (!written) {
    m_prompts.MessageBox(replace && unreadable ? kMsgKeyFileUnreadable : kMsgKeyFileUnwritable,
                         kMbOk);
    return kNoPosition;
  }
  if (replace) m_games.RemoveProfileFromGame(game, profile);
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
  RecordSpan span;
  switch (FindRecordSpan(in, profile, span)) {
    case SpanResult::kNotFound:
      in.Close();
      m_games.RemoveProfileFromGame(game, profile);
      return true;
    case SpanResult::kDamaged:
      m_prompts.MessageBox(kMsgKeyFileUnreadable, kMbOk);
      return false;
    case SpanResult::kFound:
      break;
  }

  if (span.start + (span.size - span.end) < kKeyFileMinimumWithRecord) {
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
          const bool copied = CopyStored(in, out, 0, span.start) &&
                              CopyStored(in, out, span.end, span.size) && !in.Failed();
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

bool ProfileStore::RemoveGame(const std::string& game, bool writeList) {
  if (!m_games.IsGameListed(game)) return false;
  const GameList before = m_games;
  const std::string listPath = BuildWorkPath(kGameListName);
  const std::string listTemp = BuildWorkPath(kGameListTempName);
  m_games.RemoveGame(game);
  // The list goes first: a key file the list no longer names is never read,
  // while a listed game without its key file would lose its profiles.
  bool removed = !writeList || m_games.SaveGameList(m_fs, listPath, listTemp);
  if (removed && IsValidGameName(game)) {
    const std::string path = KeyFilePath(game);
    if (m_fs.Exists(path) && !m_fs.Remove(path)) {
      removed = false;
      if (writeList) before.SaveGameList(m_fs, listPath, listTemp);
    }
  }
  if (!removed) {
    m_games = before;
    m_prompts.MessageBox(kMsgKeyFileUnwritable, kMbOk);
  }
  return removed;
}

}  // namespace kl
