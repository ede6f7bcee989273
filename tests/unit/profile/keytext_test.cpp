#include "profile/keytext.h"

#include <gtest/gtest.h>

#include <map>

namespace kl {
namespace {

// Every string is "#" and its id, so the text shows which names were used.
class IdStrings : public StringSource {
 public:
  std::map<uint32_t, std::string> overrides;
  std::string Load(uint32_t id) const override {
    auto it = overrides.find(id);
    return it != overrides.end() ? it->second : "#" + std::to_string(id);
  }
};

// The keyboard layout: letters and digits map to themselves, 0xBA to ';',
// 0xC0 is a dead key for '`'; everything else has no character.
class LayoutInput : public Input {
 public:
  void KeybdEvent(uint8_t, uint8_t, uint32_t, uintptr_t) override {}
  void MouseEvent(uint32_t, int32_t, int32_t, uint32_t, uintptr_t) override {}
  uint32_t MapVirtualKey(uint32_t code, uint32_t mapType) override {
    if (mapType != 2) return 0;
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return code;
    if (code == 0xBA) return ';';
    if (code == 0xC0) return 0x80000000u | '`';
    return 0;
  }
  uintptr_t GetMessageExtraInfo() override { return 0; }
  void Sleep(uint32_t) override {}
};

struct Stroke {
  uint8_t flags;
  uint16_t code;
};

KeySequence Sequence(const std::vector<Stroke>& strokes) {
  KeySequence s;
  for (const Stroke& k : strokes) {
    s.flags[s.count] = k.flags;
    s.code[s.count] = k.code;
    ++s.count;
  }
  return s;
}

class KeyTextTest : public ::testing::Test {
 protected:
  std::string Format(const KeySequence& s, uint8_t mode, uint8_t* count = nullptr) {
    KeyNameTables names;
    names.Fill(m_strings);
    std::string text = "left over";
    uint8_t n = FormatKeySequence(s, text, mode, names, m_input);
    if (count) *count = n;
    return text;
  }
  IdStrings m_strings;
  LayoutInput m_input;
};

TEST_F(KeyTextTest, NamesJoinedAndSeparated) {
  const struct {
    const char* what;
    std::vector<Stroke> strokes;
    uint8_t mode;
    std::string text;
    uint8_t count;
  } cases[] = {
      {"Return has a name", {{0, 13}}, kModeHold, "#61280", 1},
      {"two modifiers and a letter", {{0x03, 65}}, kModeHold, "#61358+#61359+A", 3},
      {"every modifier bit, lowest first",
       {{0x3F, 0}},
       kModeHold,
       "#61358+#61359+#61360+#61361+#61362+#61363",
       6},
      {"the extended-key bit is not shown", {{0x48, 67}}, kModeHold, "#61361+C", 2},
      {"groups separated by a comma", {{0, 65}, {0, 255}, {0, 66}}, kModeCycle, "A,B", 2},
      {"a modifier after a separator joins again",
       {{0, 65}, {0, 255}, {0x08, 66}},
       kModeCycle,
       "A,#61361+B",
       3},
      {"keys of one group joined", {{0, 65}, {0, 66}}, kModeTap, "A+B", 2},
      {"references",
       {{0x80, 4}, {0x80, 13}, {0x80, 14}, {0x80, 18}},
       kModeTap,
       "#61344,#61368,#61353,#61357",
       4},
      {"a reference after a key", {{0, 65}, {0x80, 0}}, kModeTap, "A,#61340", 2},
      {"a reference beyond the inputs", {{0x80, 25}}, kModeTap, "#61386", 1},
      {"named code ranges",
       {{0, 5}, {0, 47}, {0, 96}, {0, 107}, {0, 109}, {0, 135}, {0, 144}, {0, 145}},
       kModeTap,
       "#61386+#61298+#61299+#61310+#61311+#61337+#61338+#61339",
       8},
      {"code 108 is an empty name", {{0, 65}, {0, 108}}, kModeTap, "A+", 2},
      {"characters from the layout", {{0, 0xBA}, {0, '7'}, {0, 0xC0}}, kModeTap, ";+7+`", 3},
      {"a key without a character still counts", {{0, 65}, {0, 0xE0}}, kModeTap, "A+", 2},
      {"code 0 shows nothing", {{0, 0}}, kModeHold, "#61364", 0},
      {"an empty sequence", {}, kModeHold, "#61364", 0},
      {"mouse action", {{0, 8}}, kModeMouse, "#61382", 1},
      {"mouse actions by bit", {{0, 64}}, kModeMouse, "#61384", 1},
      {"a mouse code without a name", {{0, 3}}, kModeMouse, "#61364", 0},
  };
  for (const auto& c : cases) {
    uint8_t count = 99;
    EXPECT_EQ(Format(Sequence(c.strokes), c.mode, &count), c.text) << c.what;
    EXPECT_EQ(count, c.count) << c.what;
  }
}

TEST_F(KeyTextTest, SeparatorsOnlyBeforeTheLastStrokes) {
  // A separator at stroke 31 or 32 adds no comma.
  std::vector<Stroke> strokes(31, Stroke{0, 0});
  strokes[0] = {0, 65};
  strokes.push_back({0, 255});
  strokes.push_back({0, 66});
  EXPECT_EQ(Format(Sequence(strokes), kModeCycle), "A+B");
  strokes[30] = {0, 255};
  EXPECT_EQ(Format(Sequence(strokes), kModeCycle), "A,B");
}

TEST_F(KeyTextTest, ADamagedCountReadsNoMoreThan33Strokes) {
  KeySequence s;
  for (int i = 0; i < kMaxStrokes; ++i) s.code[i] = 'A';
  s.count = 255;
  uint8_t count = 0;
  std::string text = Format(s, kModeTap, &count);
  EXPECT_EQ(count, 33);
  EXPECT_EQ(text.size(), 33u * 2 - 1);
}

TEST_F(KeyTextTest, NamesAreCutToTheirTables) {
  m_strings.overrides[61280] = std::string(30, 'R');
  m_strings.overrides[61382] = std::string(300, 'M');
  m_strings.overrides[61364] = "(none)";
  EXPECT_EQ(Format(Sequence({{0, 13}}), kModeHold), std::string(19, 'R'));
  EXPECT_EQ(Format(Sequence({{0, 8}}), kModeMouse), std::string(255, 'M'));
  EXPECT_EQ(Format(Sequence({}), kModeHold), "(none)");
}

}  // namespace
}  // namespace kl
