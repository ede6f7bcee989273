// The editor's DeleteProfile on arbitrary key-file bytes. The first byte
// picks the profile to delete; the rest is GAME.key. Afterwards the key file
// is either unchanged, or exactly the old file with one record named so cut
// out (or gone, when only the header would be left). Which cuts qualify is
// worked out here from the stored layout, independently of the store's own
// scan: a record is its tag, the 255-byte right-aligned name, three bytes,
// the length L and L - 2 further bytes, counted as read (a stored CR LF
// reads as one byte), and it ends at the end of the file or where the next
// tag "[PROFILE]" begins. The game list keeps the profile exactly when
// the deletion failed, and no temporary file is left behind.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "profile/gamelist.h"
#include "profile/profile_store.h"

namespace {

using kl::fuzz::Fail;

constexpr char kKeyPath[] = "KEYFILES/GAME.key";
constexpr char kTempPath[] = "KEYFILES/kbMap.TMP";
constexpr char kTag[] = "[PROFILE]";
constexpr size_t kTagSize = 9;
constexpr size_t kNameSize = 255;
const char* const kProfiles[] = {"GAME1", "Second one", "x"};

// Reads up to `count` bytes as the text rule gives them from stored offset
// `pos`; `pos` moves past the stored bytes used. Returns the bytes read.
std::string ReadAsText(const std::string& stored, size_t& pos, size_t count) {
  std::string out;
  while (out.size() < count && pos < stored.size()) {
    if (stored[pos] == '\r' && pos + 1 < stored.size() && stored[pos + 1] == '\n') {
      out += '\n';
      pos += 2;
    } else {
      out += stored[pos++];
    }
  }
  return out;
}

// The stored end of the record named `key` whose scan step starts at
// `start`, or none when no such record starts there or it does not end
// cleanly. A step reads one byte of any value (the '[' of the tag in every
// file this system writes), white space, then the word "PROFILE]".
std::optional<size_t> RecordEnd(const std::string& old, size_t start, const std::string& key) {
  size_t pos = start;
  if (ReadAsText(old, pos, 1).empty()) return std::nullopt;
  for (size_t at = pos; pos < old.size(); at = pos) {
    const std::string c = ReadAsText(old, at, 1);
    if (c[0] != ' ' && (c[0] < '\t' || c[0] > '\r')) break;
    pos = at;
  }
  if (ReadAsText(old, pos, kTagSize - 1) != kTag + 1) return std::nullopt;
  if (ReadAsText(old, pos, kNameSize) != key) return std::nullopt;
  ReadAsText(old, pos, 3);
  const std::string length = ReadAsText(old, pos, 2);
  if (length.size() == 2) {
    const size_t value =
        (size_t{static_cast<uint8_t>(length[0])} << 8) | static_cast<uint8_t>(length[1]);
    if (value > 2) ReadAsText(old, pos, value - 2);
  }
  if (pos != old.size() && old.compare(pos, kTagSize, kTag) != 0) return std::nullopt;
  return pos;
}

// Whether `now` (none: the file is gone) is `old` without one record named `key`.
bool IsOldMinusRecord(const std::string& old, const std::optional<std::string>& now,
                      const std::string& key) {
  for (size_t start = kl::kKeyFileHeaderSize; start + kTagSize <= old.size(); ++start) {
    const std::optional<size_t> end = RecordEnd(old, start, key);
    if (!end) continue;
    const std::string rest = old.substr(0, start) + old.substr(*end);
    if (now ? *now == rest : rest.size() < kl::kKeyFileMinimumWithRecord) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string profile = kProfiles[data[0] % 3];
  const std::string old(reinterpret_cast<const char*>(data + 1), size - 1);
  kl::MemoryFileSystem fs;
  fs.Put(kKeyPath, old);
  kl::fuzz::QuietPrompts prompts;
  kl::GameList games;
  games.AddGame("GAME.EXE");
  games.AddProfileToGame("GAME.EXE", profile, 0);
  kl::ProfileStore store(fs, prompts, games, "KEYFILES");

  const bool deleted = store.DeleteProfile("GAME.EXE", profile);
  const std::string* bytes = fs.Bytes(kKeyPath);
  const std::optional<std::string> now = bytes ? std::optional<std::string>(*bytes) : std::nullopt;
  const bool unchanged = now && *now == old;
  if (!unchanged && !IsOldMinusRecord(old, now, kl::SearchKeyFor(profile))) {
    Fail("the key file is neither unchanged nor the old file minus the named record");
  }
  if (!deleted && !unchanged) Fail("a failed deletion changed the key file");
  if (deleted == games.GameHasProfile("GAME.EXE", profile)) {
    Fail("the game list does not match the deletion's result");
  }
  if (deleted != prompts.shown.empty()) Fail("a message without a failure, or the reverse");
  if (fs.Exists(kTempPath)) Fail("the temporary file was left behind");
  return 0;
}
