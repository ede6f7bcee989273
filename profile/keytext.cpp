#include "profile/keytext.h"

#include <algorithm>

namespace kl {
namespace {

constexpr size_t kShortName = 19;
constexpr size_t kLongName = 255;

// String ids of the key names; 0 where a code has none of its own.
uint32_t KeyNameId(uint16_t code) {
  switch (code) {
    case 1:
      return 61273;
    case 2:
      return 61274;
    case 3:
      return 61275;
    case 4:
      return 61276;
    case 8:
      return 61277;
    case 9:
      return 61278;
    case 12:
      return 61279;
    case 13:
      return 61280;
    case 19:
      return 61281;
    case 20:
      return 61282;
    case 27:
      return 61283;
    case 32:
      return 61284;
    case 43:
      return 61294;
    case 44:
      return 61295;
    case 45:
      return 61296;
    case 46:
      return 61297;
    case 47:
      return 61298;
    case 144:
      return 61338;
    case 145:
      return 61339;
    default:
      break;
  }
  if (code >= 33 && code <= 41) return 61285 + (code - 33);
  if (code >= 96 && code <= 107) return 61299 + (code - 96);
  if (code >= 109 && code <= 135) return 61311 + (code - 109);
  return 0;
}

uint32_t ReferenceNameId(int index) {
  if (index <= 12) return 61340 + index;
  if (index == 13) return 61368;
  return 61353 + (index - 14);
}

// Mouse action codes are single bits; their string ids by bit.
constexpr uint32_t kMouseNameIds[7] = {61379, 61380, 61381, 61382, 61383, 61385, 61384};

std::string Limited(const std::string& text, size_t limit) {
  return text.substr(0, limit);
}

}  // namespace

void KeyNameTables::Fill(const StringSource& strings) {
  m_unnamed = Limited(strings.Load(kStrUnnamedKey), kShortName);
  for (uint16_t code = 0; code < m_keys.size(); ++code) {
    if (!HasKeyName(code)) {
      m_keys[code].clear();
    } else if (uint32_t id = KeyNameId(code)) {
      m_keys[code] = Limited(strings.Load(id), kShortName);
    } else {
      // Code 108 is named with an empty text; the rest of 1..47 share one name.
      m_keys[code] = code == 108 ? std::string() : m_unnamed;
    }
  }
  for (int bit = 0; bit < 6; ++bit) {
    m_modifiers[bit] = Limited(strings.Load(61358 + bit), kShortName);
  }
  for (int index = 0; index < 19; ++index) {
    m_references[index] = Limited(strings.Load(ReferenceNameId(index)), kShortName);
  }
  for (int bit = 0; bit < 7; ++bit)
    m_mouse[bit] = Limited(strings.Load(kMouseNameIds[bit]), kLongName);
  m_emptyText = Limited(strings.Load(kStrEmptyText), kLongName);
}

bool KeyNameTables::HasKeyName(uint16_t code) {
  return (code >= 1 && code <= 47) || (code >= 96 && code <= 135) || code == 144 || code == 145;
}

const std::string& KeyNameTables::KeyName(uint16_t code) const {
  static const std::string kNone;
  return HasKeyName(code) ? m_keys[code] : kNone;
}

const std::string& KeyNameTables::ReferenceName(uint16_t index) const {
  return index < m_references.size() ? m_references[index] : m_unnamed;
}

const std::string* KeyNameTables::MouseName(uint16_t code) const {
  for (int bit = 0; bit < 7; ++bit) {
    if (code == (1u << bit)) return &m_mouse[bit];
  }
  return nullptr;
}

uint8_t FormatKeySequence(const KeySequence& sequence, std::string& text, uint8_t mode,
                          const KeyNameTables& names, Input& input) {
  text.clear();
  uint8_t counter = 0;
  bool join = true;
  const int count = std::min<int>(sequence.count, kMaxStrokes);
  for (int j = 0; j < count; ++j) {
    const uint16_t code = sequence.code[j];
    const uint8_t flags = sequence.flags[j];
    if (mode == kModeMouse) {
      const std::string* name = names.MouseName(sequence.code[0]);
      text = name ? *name : std::string();
      counter = name ? 1 : 0;
      continue;
    }
    if (flags & kFlagReference) {
      if (counter > 0) text += ',';
      text += names.ReferenceName(code);
      ++counter;
      continue;
    }
    for (int bit = 0; bit < 6; ++bit) {
      if (!(flags & (1u << bit))) continue;
      if (counter > 0) {
        if (join) {
          text += '+';
        } else {
          join = true;
        }
      }
      text += names.ModifierName(bit);
      ++counter;
    }
    if (code == 0) continue;
    if (code == kVkSeparator) {
      if (j < 31) {
        text += ',';
        join = false;
      }
      continue;
    }
    if (counter > 0 && join) text += '+';
    if (KeyNameTables::HasKeyName(code)) {
      text += names.KeyName(code);
    } else {
      // Dead keys carry the top bit; the character is in the low byte.
      const uint32_t character = input.MapVirtualKey(code, 2) & 0x7FFFFFFF;
      if (character != 0 && character <= 0xFF) text += static_cast<char>(character);
    }
    ++counter;
  }
  if (counter == 0) text += names.EmptyText();
  return counter;
}

}  // namespace kl
