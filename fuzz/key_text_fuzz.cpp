// FormatKeySequence on arbitrary sequences and modes: the first byte is the
// mode, then the codes, flags and count of a KeySequence. The number of
// names it reports is counted here independently (a mouse entry names its
// first code's action; otherwise every stroke names its modifier bits, a
// reference or a key other than none and the separator), a sequence without
// names shows its separators' commas and the empty text, and the text stays
// short.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/sim/recording_input.h"
#include "profile/keytext.h"
#include "resources/builtin_strings.h"

namespace {

using kl::fuzz::Fail;

// The longest a text can get: 33 strokes of six modifiers and a key, each
// name at most 19 characters with one joining character, or a mouse name.
constexpr size_t kLongestText = 33 * 7 * 20 + 255;

size_t CountNames(const kl::KeySequence& sequence, uint8_t mode) {
  const size_t count = std::min<size_t>(sequence.count, kl::kMaxStrokes);
  if (count == 0) return 0;
  if (mode == kl::kModeMouse) {
    const uint16_t code = sequence.code[0];
    return code != 0 && code <= kl::kMouseRightMove && std::has_single_bit(code) ? 1 : 0;
  }
  size_t names = 0;
  for (size_t j = 0; j < count; ++j) {
    const uint8_t flags = sequence.flags[j];
    const uint16_t code = sequence.code[j];
    if (flags & kl::kFlagReference) {
      ++names;
      continue;
    }
    names += std::popcount(static_cast<unsigned>(flags & 0x3F));
    if (code != 0 && code != kl::kVkSeparator) ++names;
  }
  return names;
}

// The commas a sequence without names shows: one per separator among the
// first 31 strokes (a mouse entry shows none).
size_t Separators(const kl::KeySequence& sequence, uint8_t mode) {
  if (mode == kl::kModeMouse) return 0;
  size_t commas = 0;
  const size_t count = std::min<size_t>(sequence.count, kl::kMaxStrokes);
  for (size_t j = 0; j < count && j < 31; ++j) {
    if (sequence.code[j] == kl::kVkSeparator) ++commas;
  }
  return commas;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const kl::KeyNameTables names = [] {
    kl::KeyNameTables tables;
    tables.Fill(kl::BuiltinStrings(kl::StringModule::kKloom));
    return tables;
  }();
  kl::KeySequence sequence;
  if (size < 1 + sizeof(sequence.code) + sizeof(sequence.flags) + 1) return 0;
  const uint8_t mode = data[0];
  std::memcpy(sequence.code.data(), data + 1, sizeof(sequence.code));
  std::memcpy(sequence.flags.data(), data + 1 + sizeof(sequence.code), sizeof(sequence.flags));
  sequence.count = data[1 + sizeof(sequence.code) + sizeof(sequence.flags)];

  kl::RecordingInput input;
  std::string text = "left over";
  const uint8_t counted = kl::FormatKeySequence(sequence, text, mode, names, input);
  if (counted != CountNames(sequence, mode)) Fail("the number of names is wrong");
  if (counted == 0 && text != std::string(Separators(sequence, mode), ',') + names.EmptyText()) {
    Fail("no names, yet not the separators' commas and the empty text");
  }
  if (text.size() > kLongestText) Fail("the text is longer than any assignment's");
  if (!input.Events().empty()) Fail("formatting sent input");
  return 0;
}
