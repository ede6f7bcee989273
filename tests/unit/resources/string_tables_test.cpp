// The built-in string tables hold every text the programs load, in the room
// the programs give it, and format strings take exactly the arguments the
// programs pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/builtin_strings.h"
#include "tests/unit/resources/required_strings.h"

namespace kl {
namespace {

using test::KeyName;
using test::RequiredString;

std::string Text(StringModule module, uint32_t id) {
  const char* text = FindBuiltinString(module, id);
  return text ? text : "";
}

std::string Kloom(uint32_t id) {
  return Text(StringModule::kKloom, id);
}

// The conversions of a printf-style format, one letter each: 'd' for a
// number, 's' for a text, 'c' for a character; nothing for a malformed format.
std::optional<std::string> Conversions(std::string_view format) {
  std::string found;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (++i >= format.size()) return std::nullopt;
    if (format[i] == '%') continue;
    while (i < format.size() && std::string_view("-+ #0").find(format[i]) != std::string_view::npos)
      ++i;
    if (i < format.size() && format[i] == '*') {
      found += 'd';
      ++i;
    }
    while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
    if (i < format.size() && format[i] == '.') {
      ++i;
      if (i < format.size() && format[i] == '*') {
        found += 'd';
        ++i;
      }
      while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
    }
    while (i < format.size() && (format[i] == 'h' || format[i] == 'l')) ++i;
    if (i >= format.size()) return std::nullopt;
    switch (format[i]) {
      case 'd':
      case 'i':
      case 'u':
      case 'x':
      case 'X':
        found += 'd';
        break;
      case 's':
      case 'S':
        found += 's';
        break;
      case 'c':
        found += 'c';
        break;
      default:
        return std::nullopt;
    }
  }
  return found;
}

TEST(PrintfConversions, ReadsTheFormatsTheTablesUse) {
  struct Case {
    const char* format;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"plain text", ""},       {"100%% sure", ""}, {"Pad %d", "d"},
      {"%s and %-5.2lu", "sd"}, {"%*d", "dd"},      {"trailing %", std::nullopt},
      {"%q", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(Conversions(c.format), c.expected) << c.format;
}

TEST(StringModules, ParseTheirLowerCaseNamesOnly) {
  struct Case {
    const char* word;
    std::optional<StringModule> expected;
  };
  const Case cases[] = {
      {"kloom", StringModule::kKloom}, {"orvo", StringModule::kOrvo},
      {"ostra", StringModule::kOstra}, {"KLOOM", std::nullopt},
      {"kloom ", std::nullopt},        {"", std::nullopt},
      {"ostrars", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseStringModule(c.word), c.expected) << c.word;
}

TEST(BuiltinStrings, EachModuleHasItsOwnTable) {
  EXPECT_EQ(Text(StringModule::kKloom, 128), "KeyLoom");
  EXPECT_EQ(FindBuiltinString(StringModule::kOrvo, 61218), nullptr);
  EXPECT_EQ(FindBuiltinString(StringModule::kOstra, 61218), nullptr);
  EXPECT_NE(FindBuiltinString(StringModule::kOstra, 1), nullptr);
  EXPECT_EQ(FindBuiltinString(StringModule::kKloom, 1), nullptr);
  EXPECT_EQ(FindBuiltinString(StringModule::kKloom, 0), nullptr);
  EXPECT_EQ(FindBuiltinString(StringModule::kKloom, 0xFFFFFFFFu), nullptr);
  EXPECT_EQ(FindBuiltinString(StringModule::kKloom, 61225), nullptr);
}

TEST(BuiltinStrings, LoadGivesTheTextOrAnEmptyText) {
  const BuiltinStrings ostra(StringModule::kOstra);
  const StringSource& source = ostra;
  EXPECT_EQ(source.Load(57347), "Vornatek GamePad");
  EXPECT_EQ(source.Load(61218), "");
  EXPECT_EQ(BuiltinStrings(StringModule::kKloom).Load(61218), Kloom(61218));
}

struct ModuleList {
  StringModule module;
  const char* name;
  std::span<const RequiredString> strings;
};

const ModuleList kModules[] = {
    {StringModule::kKloom, "kloom", test::kKloomStrings},
    {StringModule::kOrvo, "orvo", test::kOrvoStrings},
    {StringModule::kOstra, "ostra", test::kOstraStrings},
};

TEST(RequiredStrings, EveryIdHasATextThatFitsAndTakesItsArguments) {
  for (const ModuleList& list : kModules) {
    for (const RequiredString& required : list.strings) {
      SCOPED_TRACE(std::string(list.name) + " " + std::to_string(required.id) + " (" +
                   required.use + ")");
      const char* text = FindBuiltinString(list.module, required.id);
      ASSERT_NE(text, nullptr);
      const std::string_view view(text);
      EXPECT_FALSE(view.empty());
      EXPECT_LE(view.size(), required.maxLength) << text;
      EXPECT_EQ(Conversions(view), std::optional<std::string>(required.arguments)) << text;
    }
  }
}

TEST(KeyNames, EachCodeOfTheNameTableHasTheNameOfItsKey) {
  std::set<int> named;
  for (const KeyName& key : test::kKeyNames) {
    SCOPED_TRACE("vk " + std::to_string(key.vk));
    EXPECT_EQ(Kloom(key.id), key.name);
    EXPECT_LE(Kloom(key.id).size(), test::kKeyNameLength);
    named.insert(key.vk);
  }
  // The codes the editor's key text names, all others share one name.
  std::set<int> expected = {1, 2, 3, 4, 8, 9, 12, 13, 19, 20, 27, 43, 44, 45, 46, 47, 144, 145};
  for (int vk = 32; vk <= 41; ++vk) expected.insert(vk);
  for (int vk = 96; vk <= 135; ++vk) {
    if (vk != 108) expected.insert(vk);
  }
  EXPECT_EQ(named, expected);
  const std::string unnamed = Kloom(test::kUnnamedKeyId);
  EXPECT_FALSE(unnamed.empty());
  EXPECT_LE(unnamed.size(), test::kKeyNameLength);
}

TEST(KeyNames, AreAllDifferent) {
  std::set<std::string> names;
  for (const KeyName& key : test::kKeyNames) names.insert(Kloom(key.id));
  names.insert(Kloom(test::kUnnamedKeyId));
  EXPECT_EQ(names.size(), std::size(test::kKeyNames) + 1);
}

// The editor records the right-hand key of each pair in the lower bit.
TEST(ModifierNames, TellTheSideTheEditorRecords) {
  struct Case {
    uint8_t bit;
    uint32_t id;
    const char* name;
  };
  const Case cases[] = {
      {0x01, 61358, "RAlt"},  {0x02, 61359, "LAlt"},   {0x04, 61360, "RCtrl"},
      {0x08, 61361, "LCtrl"}, {0x10, 61362, "RShift"}, {0x20, 61363, "LShift"},
  };
  for (const Case& c : cases) EXPECT_EQ(Kloom(c.id), c.name) << "bit " << int(c.bit);
}

TEST(MouseActionNames, FollowTheActionCodes) {
  struct Case {
    uint8_t code;
    uint32_t id;
    const char* name;
  };
  const Case cases[] = {
      {1, 61379, "Left click"},   {2, 61380, "Right click"}, {4, 61381, "Middle click"},
      {8, 61382, "Mouse up"},     {16, 61383, "Mouse down"}, {32, 61385, "Mouse left"},
      {64, 61384, "Mouse right"},
  };
  for (const Case& c : cases) EXPECT_EQ(Kloom(c.id), c.name) << "code " << int(c.code);
}

// Every name that can appear in an assignment's text.
std::vector<std::string> SequenceTextNames() {
  std::vector<std::string> names;
  for (const KeyName& key : test::kKeyNames) names.push_back(Kloom(key.id));
  names.push_back(Kloom(test::kUnnamedKeyId));
  for (uint32_t id = 61340; id <= 61363; ++id) names.push_back(Kloom(id));
  names.push_back(Kloom(61368));
  for (uint32_t id = 61379; id <= 61385; ++id) names.push_back(Kloom(id));
  return names;
}

// The view recognises an unassigned input by the caption inside its text,
// and scrolls a sequence item by item at its commas.
TEST(SequenceText, NamesHoldNeitherTheUnassignedCaptionNorAComma) {
  const std::string unassigned = Kloom(61364);
  ASSERT_FALSE(unassigned.empty());
  for (const std::string& name : SequenceTextNames()) {
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.find(unassigned), std::string::npos) << name;
    EXPECT_EQ(name.find(','), std::string::npos) << name;
  }
  EXPECT_EQ(unassigned.find(','), std::string::npos);
}

// The status box wraps at single spaces, closing a line before it would
// pass 17 characters; it has room for five lines.
std::vector<std::string> WrapStatus(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!line.empty() && line.size() + 1 + word.size() > 17) {
      lines.push_back(line);
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    start = end + 1;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

TEST(StatusTexts, WrapIntoTheStatusBox) {
  EXPECT_EQ(WrapStatus("one two three four five"),
            (std::vector<std::string>{"one two three", "four five"}));
  for (uint32_t id : {61218u, 61219u, 61220u, 61221u, 61222u, 61223u, 61224u}) {
    const std::vector<std::string> lines = WrapStatus(Kloom(id));
    EXPECT_LE(lines.size(), 5u) << id << ": " << Kloom(id);
    for (const std::string& line : lines) EXPECT_LE(line.size(), 17u) << id << ": " << line;
  }
}

// The printout writes the keys right after the input name in a fixed-pitch
// font: the names of one model line the keys up in one column.
TEST(InputNames, LineTheKeysUpInThePrintout) {
  const std::vector<uint32_t> models[] = {
      {61250, 61251, 61252, 61253, 61254, 61255, 61256, 61257, 61258, 61259, 61260, 61261, 61369,
       61370},
      {61250, 61251, 61252, 61253, 61254, 61255, 61256, 61257, 61258, 61259, 61375, 61376, 61369,
       61370, 61377, 61378},
  };
  for (const std::vector<uint32_t>& ids : models) {
    const std::size_t width = Kloom(ids.front()).size();
    std::set<std::string> names;
    for (uint32_t id : ids) {
      const std::string name = Kloom(id);
      EXPECT_EQ(name.size(), width) << id << ": '" << name << "'";
      EXPECT_TRUE(!name.empty() && name.back() == ' ') << id << ": '" << name << "'";
      names.insert(name);
    }
    EXPECT_EQ(names.size(), ids.size());
  }
}

// The program turns every '|' into a NUL: the result must be pairs of
// description and pattern ending in two NULs, and offer only programs,
// since a game is known by a name ending in ".EXE".
TEST(FileDialogFilter, OffersOnlyProgramFiles) {
  std::string filter = Kloom(61249);
  std::replace(filter.begin(), filter.end(), '|', '\0');
  filter.push_back('\0');  // the terminator of the loaded string
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (start < filter.size() && filter[start] != '\0') {
    const std::size_t end = filter.find('\0', start);
    fields.push_back(filter.substr(start, end - start));
    start = end + 1;
  }
  ASSERT_LT(start, filter.size()) << "the list does not end in two NULs";
  ASSERT_FALSE(fields.empty());
  ASSERT_EQ(fields.size() % 2, 0u);
  for (std::size_t i = 1; i < fields.size(); i += 2) EXPECT_EQ(fields[i], "*.exe");
}

// These questions are shown followed by a space and a name.
TEST(Questions, ThatANameFollowsDoNotEndInASpace) {
  for (uint32_t id : {61243u, 61244u}) {
    const std::string text = Kloom(id);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), ' ') << id;
  }
}

// The editor's window is found by its exact title; the mapper's hidden frame
// must not answer to it.
TEST(FrameTitles, OnlyTheEditorIsCalledKeyLoom) {
  EXPECT_EQ(Kloom(128), "KeyLoom");
  EXPECT_NE(Text(StringModule::kOrvo, 160), "KeyLoom");
  EXPECT_FALSE(Text(StringModule::kOrvo, 160).empty());
}

// Auto-detection compares display names with the pad name exactly, and the
// pages treat every name containing the maker's names as the pad.
TEST(JoystickTypeNames, AreDistinctAndNeverTakenForThePad) {
  EXPECT_EQ(Text(StringModule::kOstra, 57347), "Vornatek GamePad");
  std::set<std::string> names;
  for (uint32_t id = 22; id <= 33; ++id) {
    const std::string name = Text(StringModule::kOstra, id);
    ASSERT_FALSE(name.empty()) << id;
    EXPECT_EQ(name.find("Vornatek"), std::string::npos) << id;
    EXPECT_EQ(name.find("Brontal"), std::string::npos) << id;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 12u);
}

}  // namespace
}  // namespace kl
