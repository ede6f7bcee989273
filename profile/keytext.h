// The text the editor shows for an assignment ("Ctrl+C", "A,B", "Mouse up").
// Every name comes from the editor's string table, loaded once into
// KeyNameTables, so the text follows the installed language; the character
// of an ordinary key comes from the keyboard layout (MapVirtualKeyA).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/input.h"
#include "platform/strings.h"
#include "profile/keyfile.h"

namespace kl {

constexpr uint32_t kStrUnnamedKey = 61386;
constexpr uint32_t kStrEmptyText = 61364;

class KeyNameTables {
 public:
  // Loads every name; key, modifier and reference names keep at most 19
  // characters, mouse names and the empty text at most 255.
  void Fill(const StringSource& strings);

  // Whether `code` is one of the named keys (1..47, 96..135, 144, 145).
  static bool HasKeyName(uint16_t code);
  const std::string& KeyName(uint16_t code) const;                             // empty for others
  const std::string& ModifierName(int bit) const { return m_modifiers[bit]; }  // bits 0..5
  // The name of a reference to input `index`; indexes above 18 use the name
  // of a key without a name of its own.
  const std::string& ReferenceName(uint16_t index) const;
  // The name of a mouse action code, or none.
  const std::string* MouseName(uint16_t code) const;
  const std::string& EmptyText() const { return m_emptyText; }

 private:
  std::array<std::string, 146> m_keys;
  std::array<std::string, 6> m_modifiers;
  std::array<std::string, 19> m_references;
  std::array<std::string, 7> m_mouse;  // by bit of the action code
  std::string m_unnamed;
  std::string m_emptyText;
};

// Sets `text` to the assignment's text and returns the number of names in it
// (0 when the empty text was used). Modifiers and keys of one group are
// joined by "+", groups are separated by ","; after a separator the next key
// is joined by "+" only once a modifier has started a group again.
uint8_t FormatKeySequence(const KeySequence& sequence, std::string& text, uint8_t mode,
                          const KeyNameTables& names, Input& input);

}  // namespace kl
