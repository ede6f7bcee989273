#include "mapper/loader.h"

#include <cstring>

#include "profile/keyfile.h"
#include "profile/textstream.h"

namespace kl {

namespace {

constexpr size_t kHeaderPadding = 20;
constexpr size_t kTagRest = 8;  // "PROFILE]" after the '[' already read
constexpr size_t kLengthAndReserved = 102;

constexpr uint8_t kVkShift = 0x10;
constexpr uint8_t kVkControl = 0x11;
constexpr uint8_t kVkMenu = 0x12;
constexpr uint8_t kScanLeftShift = 0x2A;
constexpr uint8_t kScanRightShift = 0x36;

// The scan code byte that marks a reference step in the file's own terms.
constexpr uint8_t kReferenceScan = 0xFF;

constexpr uint8_t kRepeatBit = 0x80;

// The name right-aligned in the record's name field, padded with spaces.
std::string WantedNameField(const std::string& profile) {
  return std::string(kProfileNameField - profile.size(), ' ') + profile;
}

// The game's first profile flagged active, or nullptr.
const ProfileEntry* ActiveProfile(const GameList& games, const std::string& game) {
  for (const GameEntry& entry : games.Games()) {
    if (entry.name != game) continue;
    for (const ProfileEntry& profile : entry.profiles) {
      if (profile.active) return &profile;
    }
    return nullptr;
  }
  return nullptr;
}

}  // namespace

std::string ProfileLoader::KeyFilePath(const std::string& game) const {
  if (game.size() < 3) return {};
  std::string path = m_workFolder;
  if (!path.empty() && path.back() != m_fs.Separator() && path.back() != '\\' &&
      path.back() != '/') {
    path += m_fs.Separator();
  }
  path += game;
  path.replace(path.size() - 3, 3, "key");
  return path;
}

void ProfileLoader::LoadPlayTable(const GameList& games, const std::string& game) {
  m_table.Clear();
  m_referenceMasks = {};
  m_pendingReferences = 0;

  const ProfileEntry* profile = ActiveProfile(games, game);
  // A name longer than the field cannot be in any record.
  if (!profile || profile->name.size() > kProfileNameField) return;
  const std::string path = KeyFilePath(game);
  if (path.empty()) return;
  std::unique_ptr<File> file = m_fs.Open(path, OpenMode::kRead);
  if (!file) return;

  // Records may hold any byte; the lengths count bytes as read.
  TextStream stream(std::move(file), CtrlZ::kIsData);
  LoadRecord(stream, profile->name);
  stream.Close();
}

void ProfileLoader::LoadRecord(TextStream& stream, const std::string& profile) {
  const std::optional<std::string> maker = stream.ReadWord(8);
  const std::optional<std::string> product = stream.ReadWord(7);
  if (!maker || !product || *maker + " " + *product != kKeyFileSignature) return;
  stream.ReadWord(4);  // the format version, not checked
  stream.Skip(kHeaderPadding);

  const std::string wanted = WantedNameField(profile);
  char name[kProfileNameField];
  for (;;) {
    if (stream.ReadByte() == TextStream::kEnd) return;
    stream.Skip(kTagRest);
    if (stream.Read(name, kProfileNameField) != kProfileNameField) return;
    if (std::memcmp(name, wanted.data(), kProfileNameField) != 0) {
      stream.Skip(3);
      uint8_t length[2];
      if (stream.Read(length, 2) != 2) return;
      const size_t recordLength = (size_t{length[0]} << 8) | length[1];
      if (recordLength > 2) stream.Skip(recordLength - 2);
      continue;
    }
    stream.Skip(1);
    const int padCount = stream.ReadByte();
    if (padCount == TextStream::kEnd) return;
    m_table.padCount = static_cast<uint8_t>(padCount);
    stream.Skip(1);
    BuildPlayTable(stream, m_table.padCount);
    // Even a record cut short must leave no reference step behind.
    ExpandReferences();
    return;
  }
}

bool ProfileLoader::BuildPlayTable(TextStream& stream, uint8_t padCount) {
  stream.Skip(kLengthAndReserved);
  for (size_t slot = 0; slot < padCount; ++slot) {
    stream.Skip(2);  // the block size, not needed
    const int entries = stream.ReadByte();
    if (entries == TextStream::kEnd) return false;
    if (slot < kPadSlots) {
      m_table.entryCount[slot] = static_cast<uint8_t>(
          entries < static_cast<int>(kInputsPerSlot) ? entries : kInputsPerSlot);
    }
    for (size_t input = 0; input < static_cast<size_t>(entries); ++input) {
      const int mode = stream.ReadByte();
      const int count = stream.ReadByte();
      if (mode == TextStream::kEnd || count == TextStream::kEnd) return false;
      if (!BuildPlayList(stream, slot, input, static_cast<uint8_t>(mode),
                         static_cast<uint8_t>(count))) {
        return false;
      }
    }
  }
  return true;
}

bool ProfileLoader::BuildPlayList(TextStream& stream, size_t slot, size_t input, uint8_t mode,
                                  uint8_t count) {
  const bool kept = slot < kPadSlots && input < kInputsPerSlot;
  const uint8_t playMode = mode & ~kRepeatBit;
  const bool readsStrokes = mode == kModeHold || mode == kModeHoldRepeat || mode == kModeTap ||
                            mode == kModeTapRepeat || mode == kModeCycle || mode == kModeMouse;
  if (kept) {
    // Modes the player does not know keep the input's old mode; its list is
    // empty, so it plays nothing.
    if (readsStrokes) m_table.modes[slot][input] = playMode;
    if (mode == kModeUnassigned) m_table.modes[slot][input] = kModeUnassigned;
    m_table.repeat[slot][input] = readsStrokes && (mode & kRepeatBit) != 0;
  }
  if (!readsStrokes) return true;

  if (kept && playMode == kModeCycle) AddStep(slot, input, kSeparatorKey, 0);
  for (size_t i = 0; i < count; ++i) {
    uint8_t stroke[2];
    if (stream.Read(stroke, 2) != 2) return false;
    if (!kept) continue;
    const uint8_t flags = stroke[0];
    const uint8_t key = stroke[1];
    switch (playMode) {
      case kModeKey:
        AddModifiers(slot, input, flags, false);
        AddKey(slot, input, key);
        break;
      case kModeSequence:
        if (flags & kFlagReference) {
          AddStep(slot, input, key, kReferenceScan, true);
        } else {
          AddModifiers(slot, input, flags, true);
          AddKey(slot, input, key);
        }
        break;
      case kModeCycle:
        AddModifiers(slot, input, flags, false);
        AddKey(slot, input, key);
        if (i == 0) {
          m_table.cursors[slot][input] = m_table.lists[slot][input]->next;
        }
        break;
      case kModeMouse:
        AddKey(slot, input, key);
        break;
      default:
        break;
    }
  }
  if (kept && playMode == kModeCycle && count > 0) AddStep(slot, input, kSeparatorKey, 0);
  return true;
}

void ProfileLoader::AddStep(size_t slot, size_t input, uint8_t vk, uint8_t scan, bool reference) {
  // A full list takes no more steps; its reference is not counted either.
  if (!m_table.Append(slot, input, vk, scan, reference)) return;
  if (reference) {
    m_referenceMasks[slot] |= 1u << input;
    ++m_pendingReferences;
  }
}

void ProfileLoader::AddKey(size_t slot, size_t input, uint8_t key) {
  if (key == kSeparatorKey) {
    AddStep(slot, input, kSeparatorKey, 0);
  } else {
    AddStep(slot, input, key, ScanCode(key));
  }
}

void ProfileLoader::AddModifiers(size_t slot, size_t input, uint8_t flags, bool sequenceMode) {
  if (flags & kFlagAltRight) AddStep(slot, input, kVkMenu, ScanCode(kVkMenu));
  if (flags & kFlagAltLeft) AddStep(slot, input, kVkMenu, ScanCode(kVkMenu));
  if (flags & kFlagCtrlRight) AddStep(slot, input, kVkControl, ScanCode(kVkControl));
  if (flags & kFlagCtrlLeft) AddStep(slot, input, kVkControl, ScanCode(kVkControl));
  // The editor records kFlagShiftRight for the right Shift key and kFlagShiftLeft for the left
  // one; play the key the user pressed.
  const uint8_t rightShift = sequenceMode ? ScanCode(kVkShift) : kScanRightShift;
  const uint8_t leftShift = sequenceMode ? ScanCode(kVkShift) : kScanLeftShift;
  if (flags & kFlagShiftRight) AddStep(slot, input, kVkShift, rightShift);
  if (flags & kFlagShiftLeft) AddStep(slot, input, kVkShift, leftShift);
}

uint8_t ProfileLoader::ScanCode(uint8_t vk) {
  return static_cast<uint8_t>(m_input.MapVirtualKey(vk, 0));
}

void ProfileLoader::ExpandReferences() {
  for (size_t pass = 0; m_pendingReferences > 0 && pass < kMaxExpansionPasses; ++pass) {
    for (size_t slot = 0; slot < kPadSlots; ++slot) {
      for (size_t input = 0; input < kInputsPerSlot; ++input) {
        if (m_referenceMasks[slot] & (1u << input)) ExpandList(slot, input);
      }
    }
  }
  if (m_pendingReferences > 0) DropReferences();
}

void ProfileLoader::ExpandList(size_t slot, size_t input) {
  PlayStep* previous = nullptr;
  PlayStep* step = m_table.lists[slot][input];
  while (step) {
    if (!step->reference) {
      previous = step;
      step = step->next;
      continue;
    }
    const uint8_t target = step->vk;
    if (target >= kInputsPerSlot || !m_table.lists[slot][target]) {
      PlayStep* next = step->next;
      m_table.Remove(slot, input, previous, step);
      --m_pendingReferences;
      step = next;
      continue;
    }

    // Copy the target as it is now: when it is this very list, the copies
    // must not be copied again.
    m_snapshot.clear();
    const size_t room = kMaxStepsPerList - m_table.Length(slot, input);
    for (const PlayStep* s = m_table.lists[slot][target]; s && m_snapshot.size() < room;
         s = s->next) {
      m_snapshot.emplace_back(s->vk, s->reference);
    }
    PlayStep* last = step;
    for (const auto& [vk, reference] : m_snapshot) {
      PlayStep* copy = m_table.InsertAfter(slot, input, last, vk,
                                           reference ? kReferenceScan : ScanCode(vk), reference);
      if (!copy) break;
      if (reference) ++m_pendingReferences;
      last = copy;
    }

    PlayStep* const after = last->next;
    if (!previous) {
      // A reference that opens the list leaves no trace: the copies start it.
      m_table.Remove(slot, input, nullptr, step);
      previous = last == step ? nullptr : last;
    } else {
      // Inside the list it becomes a pause between what came before and the copies.
      *step = PlayStep{kSeparatorKey, 0, false, step->next};
      previous = last;
    }
    --m_pendingReferences;
    step = after;
  }
}

void ProfileLoader::DropReferences() {
  for (size_t slot = 0; slot < kPadSlots; ++slot) {
    for (size_t input = 0; input < kInputsPerSlot; ++input) {
      PlayStep* previous = nullptr;
      PlayStep* step = m_table.lists[slot][input];
      while (step) {
        PlayStep* next = step->next;
        if (step->reference) {
          m_table.Remove(slot, input, previous, step);
        } else {
          previous = step;
        }
        step = next;
      }
    }
  }
  m_pendingReferences = 0;
}

}  // namespace kl
