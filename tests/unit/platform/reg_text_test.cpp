// The .reg text reader and writer of the simulated registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/reg_text.h"
#include "platform/sim/sim_registry.h"
#include "registry_test_util.h"

namespace kl {
namespace {

using test::Bytes;
using test::ReadValue;

constexpr char kV4[] = "REGEDIT4\r\n\r\n";
constexpr char kV5[] = "Windows Registry Editor Version 5.00\r\n\r\n";

struct ValueCase {
  const char* label;
  std::string text;
  RegKey root;
  const char* path;
  const char* name;
  uint32_t type;
  std::vector<uint8_t> data;
};

class RegTextValues : public testing::TestWithParam<ValueCase> {};

TEST_P(RegTextValues, LoadsTheValue) {
  const ValueCase& c = GetParam();
  SimRegistry registry;
  std::string error;
  ASSERT_TRUE(registry.LoadText(c.text, &error)) << error;
  test::ReadBack back = ReadValue(registry, c.root, c.path, c.name);
  ASSERT_EQ(back.result, kRegOk);
  EXPECT_EQ(back.type, c.type);
  EXPECT_EQ(back.data, c.data);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

const std::string kJoyKey =
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\MediaProperties\\"
    "PrivateProperties\\Joystick\\OEM\\VID_1234]\r\n";
constexpr char kJoyPath[] =
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\"
    "VID_1234";

INSTANTIATE_TEST_SUITE_P(
    Forms, RegTextValues,
    testing::Values(
        ValueCase{"regedit4_string", kV4 + kJoyKey + "\"OEMName\"=\"Vornatek GamePad\"\r\n",
                  kHkeyLocalMachine, kJoyPath, "OEMName", kRegSz, Bytes("Vornatek GamePad", true)},
        ValueCase{"version5_string", kV5 + kJoyKey + "\"OEMName\"=\"Brontal GamePad\"\r\n",
                  kHkeyLocalMachine, kJoyPath, "OEMName", kRegSz, Bytes("Brontal GamePad", true)},
        ValueCase{"lf_line_ends_and_comments",
                  "REGEDIT4\n; exported for a test\n[HKEY_CURRENT_USER\\Software\\T]\n"
                  "; a comment between values\n\"a\"=\"x\"\n",
                  kHkeyCurrentUser, "Software\\T", "a", kRegSz, Bytes("x", true)},
        ValueCase{"escapes",
                  std::string(kV4) + "[HKEY_CURRENT_USER\\Software\\T]\r\n"
                                     "\"Path\"=\"C:\\\\Games\\\\say \\\"hi\\\"\"\r\n",
                  kHkeyCurrentUser, "Software\\T", "Path", kRegSz,
                  Bytes("C:\\Games\\say \"hi\"", true)},
        ValueCase{"escaped_value_name",
                  std::string(kV4) + "[HKEY_CURRENT_USER\\Software\\T]\r\n"
                                     "\"a\\\"b\\\\c\"=\"v\"\r\n",
                  kHkeyCurrentUser, "Software\\T", "a\"b\\c", kRegSz, Bytes("v", true)},
        ValueCase{"empty_string", std::string(kV4) + "[HKCU\\Software\\T]\r\n\"e\"=\"\"\r\n",
                  kHkeyCurrentUser, "Software\\T", "e", kRegSz, Bytes("", true)},
        ValueCase{"default_value", std::string(kV4) + "[HKCU\\Software\\T]\r\n@=\"dflt\"\r\n",
                  kHkeyCurrentUser, "Software\\T", "", kRegSz, Bytes("dflt", true)},
        ValueCase{"short_root_hklm", std::string(kV4) + "[HKLM\\Software\\T]\r\n\"a\"=\"b\"\r\n",
                  kHkeyLocalMachine, "Software\\T", "a", kRegSz, Bytes("b", true)},
        ValueCase{"dword",
                  std::string(kV4) + "[HKCU\\T]\r\n\"Setting\"=dword:0102030a\r\n",
                  kHkeyCurrentUser,
                  "T",
                  "Setting",
                  kRegDword,
                  {0x0a, 0x03, 0x02, 0x01}},
        ValueCase{"dword_short_and_upper",
                  std::string(kV4) + "[HKCU\\T]\r\n\"d\"=DWORD:FF\r\n",
                  kHkeyCurrentUser,
                  "T",
                  "d",
                  kRegDword,
                  {0xff, 0, 0, 0}},
        ValueCase{"hex_binary",
                  std::string(kV4) + "[HKCU\\T]\r\n\"AutoDetect\"=hex:01\r\n",
                  kHkeyCurrentUser,
                  "T",
                  "AutoDetect",
                  kRegBinary,
                  {0x01}},
        ValueCase{"hex_continued",
                  std::string(kV4) +
                      "[HKCU\\T]\r\n\"Joystick1Configuration\"=hex:20,00,00,00,\\\r\n"
                      "  0c,00,00,00,\\\r\n  06,00,00,00\r\n",
                  kHkeyCurrentUser,
                  "T",
                  "Joystick1Configuration",
                  kRegBinary,
                  {0x20, 0, 0, 0, 0x0c, 0, 0, 0, 0x06, 0, 0, 0}},
        ValueCase{"hex_empty",
                  std::string(kV4) + "[HKCU\\T]\r\n\"e\"=hex:\r\n",
                  kHkeyCurrentUser,
                  "T",
                  "e",
                  kRegBinary,
                  {}},
        ValueCase{"hex_typed_v4_bytes_as_they_are",
                  std::string(kV4) + "[HKCU\\T]\r\n\"x\"=hex(2):25,41,25,00\r\n", kHkeyCurrentUser,
                  "T", "x", 2, Bytes("%A%", true)},
        ValueCase{"hex_typed_v5_utf16_strings",
                  std::string(kV5) + "[HKCU\\T]\r\n\"x\"=hex(2):25,00,41,00,25,00,00,00\r\n",
                  kHkeyCurrentUser, "T", "x", 2, Bytes("%A%", true)},
        ValueCase{"hex_qword",
                  std::string(kV5) + "[HKCU\\T]\r\n\"q\"=hex(b):01,02,03,04,05,06,07,08\r\n",
                  kHkeyCurrentUser,
                  "T",
                  "q",
                  0xb,
                  {1, 2, 3, 4, 5, 6, 7, 8}},
        ValueCase{"utf8_with_bom", "\xEF\xBB\xBFREGEDIT4\r\n[HKCU\\T]\r\n\"n\"=\"caf\xC3\xA9\"\r\n",
                  kHkeyCurrentUser, "T", "n", kRegSz, Bytes("caf\xC3\xA9", true)},
        ValueCase{"utf16_with_bom",
                  test::Utf16LeWithBom(std::string(kV5) + kJoyKey +
                                       "\"OEMName\"=\"Vornatek GamePad \xC3\xA9\"\r\n"),
                  kHkeyLocalMachine, kJoyPath, "OEMName", kRegSz,
                  Bytes("Vornatek GamePad \xC3\xA9", true)},
        ValueCase{"later_line_wins",
                  std::string(kV4) + "[HKCU\\T]\r\n\"a\"=\"1\"\r\n\"A\"=\"2\"\r\n",
                  kHkeyCurrentUser, "T", "a", kRegSz, Bytes("2", true)}),
    [](const testing::TestParamInfo<ValueCase>& info) { return info.param.label; });

TEST(RegTextDeletions, RemoveKeysAndValuesThatWereThere) {
  SimRegistry registry;
  std::string error;
  ASSERT_TRUE(registry.LoadText(
      std::string(kV4) + "[HKCU\\Software\\Old\\Deep\\Deeper]\r\n\"x\"=\"1\"\r\n"
                         "[HKCU\\Software\\Keep]\r\n\"gone\"=\"1\"\r\n\"stays\"=\"2\"\r\n",
      &error))
      << error;
  ASSERT_TRUE(registry.LoadText(std::string(kV5) +
                                    "[-HKEY_CURRENT_USER\\Software\\OLD]\r\n"
                                    "\"ignored\"=hex:01,\\\r\n  02\r\n"
                                    "[-HKEY_CURRENT_USER\\Software\\NeverThere]\r\n"
                                    "[HKEY_CURRENT_USER\\Software\\Keep]\r\n\"gone\"=-\r\n"
                                    "\"missing\"=-\r\n",
                                &error))
      << error;
  EXPECT_FALSE(registry.KeyExists("HKEY_CURRENT_USER\\Software\\Old"));
  EXPECT_FALSE(registry.KeyExists("HKEY_CURRENT_USER\\Software\\Old\\Deep\\Deeper"));
  EXPECT_FALSE(registry.KeyExists("HKEY_CURRENT_USER\\Software\\NeverThere"));
  EXPECT_EQ(ReadValue(registry, kHkeyCurrentUser, "Software\\Keep", "gone").result, kRegNotFound);
  EXPECT_EQ(ReadValue(registry, kHkeyCurrentUser, "Software\\Keep", "stays").data,
            Bytes("2", true));
}

struct MalformedCase {
  const char* label;
  std::string text;
  const char* expected;  // part of the message
};

class RegTextMalformed : public testing::TestWithParam<MalformedCase> {};

TEST_P(RegTextMalformed, FailsNamingTheLineAndChangesNothing) {
  const MalformedCase& c = GetParam();
  SimRegistry registry;
  std::string error;
  ASSERT_TRUE(registry.LoadText(std::string(kV4) + "[HKCU\\Before]\r\n\"v\"=\"kept\"\r\n", &error));
  const std::string before = registry.DumpText();
  error.clear();
  EXPECT_FALSE(registry.LoadText(c.text, &error));
  EXPECT_NE(error.find(c.expected), std::string::npos) << "message: " << error;
  EXPECT_EQ(registry.DumpText(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RegTextMalformed,
    testing::Values(
        MalformedCase{"empty", "", "header"},
        MalformedCase{"wrong_header", "REGEDIT5\r\n[HKCU\\A]\r\n", "line 1:"},
        MalformedCase{"header_not_first", "\r\n[HKCU\\A]\r\nREGEDIT4\r\n", "line 2:"},
        MalformedCase{"value_before_key", "REGEDIT4\r\n\r\n\"a\"=\"b\"\r\n", "line 3:"},
        MalformedCase{"unclosed_key", "REGEDIT4\r\n[HKCU\\A\r\n", "line 2:"},
        MalformedCase{"unknown_root", "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\A]\r\n", "line 2:"},
        MalformedCase{"empty_key_name", "REGEDIT4\r\n[HKCU\\A\\\\B]\r\n", "line 2:"},
        MalformedCase{"root_deletion", "REGEDIT4\r\n[-HKEY_CURRENT_USER]\r\n", "line 2:"},
        MalformedCase{"long_key_name", "REGEDIT4\r\n[HKCU\\" + std::string(256, 'k') + "]\r\n",
                      "line 2:"},
        MalformedCase{"garbage_line", "REGEDIT4\r\n[HKCU\\A]\r\nname=value\r\n", "line 3:"},
        MalformedCase{"missing_equals", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\" \"b\"\r\n", "line 3:"},
        MalformedCase{"unclosed_quote", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=\"b\r\n", "line 3:"},
        MalformedCase{"unclosed_name", "REGEDIT4\r\n[HKCU\\A]\r\n\"a=\"b\"\r\n", "line 3:"},
        MalformedCase{"unknown_escape", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=\"b\\n\"\r\n", "line 3:"},
        MalformedCase{"text_after_string", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=\"b\" c\r\n", "line 3:"},
        MalformedCase{"dword_too_long", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=dword:123456789\r\n",
                      "line 3:"},
        MalformedCase{"dword_not_hex", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=dword:12x4\r\n", "line 3:"},
        MalformedCase{"dword_empty", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=dword:\r\n", "line 3:"},
        MalformedCase{"hex_bad_byte", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=hex:01,0g\r\n", "line 3:"},
        MalformedCase{"hex_byte_too_long", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=hex:123\r\n", "line 3:"},
        MalformedCase{"hex_empty_byte", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=hex:01,,02\r\n", "line 3:"},
        MalformedCase{"hex_bad_continuation",
                      "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=hex:01,\\\r\n  02,zz\r\n", "line 4:"},
        MalformedCase{"hex_continues_past_end", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=hex:01,\\",
                      "line 3:"},
        MalformedCase{"hex_bad_type", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=hex(q):01\r\n", "line 3:"},
        MalformedCase{"hex_unclosed_type", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=hex(2:01\r\n",
                      "line 3:"},
        MalformedCase{"unknown_form", "REGEDIT4\r\n[HKCU\\A]\r\n\"a\"=qword:1\r\n", "line 3:"},
        MalformedCase{"error_after_good_lines",
                      "REGEDIT4\r\n[HKCU\\New]\r\n\"n\"=\"1\"\r\n[-HKCU\\Before]\r\n\"x\"=bogus\r\n"
                      "[HKCU\\New]\r\n\"bad\"=hex:zz\r\n",
                      "line 7:"},
        MalformedCase{"utf16_big_endian", "\xFE\xFF\0R", "big-endian"},
        MalformedCase{"utf16_odd_length", "\xFF\xFER\0E\0G", "odd"},
        MalformedCase{"utf16_lone_surrogate", std::string("\xFF\xFER\0\x00\xD8", 6), "surrogate"}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return info.param.label; });

TEST(RegTextRobustness, EveryPrefixOfAnExportLoadsOrFailsCleanly) {
  const std::string full =
      std::string(kV5) +
      "[HKEY_LOCAL_MACHINE\\System\\J]\r\n\"Joystick1OEMName\"=\"VID_1\"\r\n"
      "\"Joystick1Configuration\"=hex:20,00,00,00,0c,00,00,00,\\\r\n  06,00\r\n"
      "@=dword:00000001\r\n[-HKCU\\X]\r\n\"y\"=-\r\n";
  for (const std::string& text : {full, test::Utf16LeWithBom(full)}) {
    for (size_t length = 0; length <= text.size(); ++length) {
      SimRegistry registry;
      std::string error;
      if (registry.LoadText(std::string_view(text).substr(0, length), &error)) {
        SimRegistry again;
        EXPECT_TRUE(again.LoadText(registry.DumpText(), &error))
            << "prefix " << length << ": " << error;
      } else {
        EXPECT_FALSE(error.empty()) << "prefix " << length;
      }
    }
  }
}

TEST(RegTextDump, WritesRegedit4WithFullPathsInKeyOrder) {
  SimRegistry registry;
  RegKey key = kRegNone;
  ASSERT_EQ(
      registry.CreateKey(kHkeyCurrentUser, "Software\\Vornatek\\GamePad2", kKeyAllAccess, key),
      kRegOk);
  const uint8_t setting[] = {0x01, 0x02, 0x00, 0x00};
  ASSERT_EQ(registry.SetValue(key, "Setting", kRegDword, setting, 4), kRegOk);
  ASSERT_EQ(registry.SetValue(key, "", kRegSz, Bytes("a\"b\\", true).data(), 5), kRegOk);
  registry.CloseKey(key);
  ASSERT_EQ(registry.CreateKey(kHkeyLocalMachine, "B", kKeyAllAccess, key), kRegOk);
  const uint8_t flag = 1;
  ASSERT_EQ(registry.SetValue(key, "AutoDetect", kRegBinary, &flag, 1), kRegOk);
  registry.CloseKey(key);
  ASSERT_EQ(registry.CreateKey(kHkeyLocalMachine, "a", kKeyAllAccess, key), kRegOk);
  registry.CloseKey(key);

  EXPECT_EQ(registry.DumpText(),
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\a]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\B]\r\n\"AutoDetect\"=hex:01\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software]\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Vornatek]\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Vornatek\\GamePad2]\r\n"
            "\"Setting\"=dword:00000201\r\n"
            "@=\"a\\\"b\\\\\"\r\n\r\n");
}

TEST(RegTextDump, RoundTripKeepsEveryValueByteForByte) {
  struct Value {
    const char* name;
    uint32_t type;
    std::vector<uint8_t> data;
  };
  std::vector<uint8_t> config(112);
  for (size_t i = 0; i < config.size(); ++i) config[i] = static_cast<uint8_t>(i * 7);
  const std::vector<Value> values = {
      {"Plain", kRegSz, Bytes("Vornatek GamePad", true)},
      {"Quotes\"And\\Slashes", kRegSz, Bytes("C:\\x \"y\"", true)},
      {"", kRegSz, Bytes("default", true)},
      {"Unterminated", kRegSz, Bytes("abc", false)},
      {"EmbeddedNul", kRegSz, {'a', 0, 'b', 0}},
      {"LineBreak", kRegSz, Bytes("a\r\nb", true)},
      {"EmptySz", kRegSz, {}},
      {"Dword", kRegDword, {1, 2, 3, 4}},
      {"ShortDword", kRegDword, {1, 2, 3}},
      {"Config", kRegBinary, config},
      {"EmptyBinary", kRegBinary, {}},
      {"Qword", 0xb, {8, 7, 6, 5, 4, 3, 2, 1}},
      {"HighBytes", kRegSz, Bytes("\xE9t\xE9", true)},
  };
  SimRegistry original;
  RegKey key = kRegNone;
  ASSERT_EQ(original.CreateKey(kHkeyLocalMachine, "System\\MixedCase\\Values", kKeyAllAccess, key),
            kRegOk);
  for (const Value& v : values) {
    ASSERT_EQ(
        original.SetValue(key, v.name, v.type, v.data.data(), static_cast<uint32_t>(v.data.size())),
        kRegOk);
  }
  original.CloseKey(key);
  ASSERT_EQ(original.CreateKey(kHkeyCurrentUser, "Empty\\Leaf", kKeyAllAccess, key), kRegOk);
  original.CloseKey(key);

  const std::string text = original.DumpText();
  SimRegistry copy;
  std::string error;
  ASSERT_TRUE(copy.LoadText(text, &error)) << error << "\n" << text;
  EXPECT_EQ(copy.DumpText(), text);
  EXPECT_TRUE(copy.KeyExists("HKEY_CURRENT_USER\\Empty\\Leaf"));
  for (const Value& v : values) {
    test::ReadBack back = ReadValue(copy, kHkeyLocalMachine, "System\\MixedCase\\Values", v.name);
    ASSERT_EQ(back.result, kRegOk) << v.name;
    EXPECT_EQ(back.type, v.type) << v.name;
    EXPECT_EQ(back.data, v.data) << v.name;
  }
  // Names keep their case through the text.
  RegKey parent = kRegNone;
  ASSERT_EQ(copy.OpenKey(kHkeyLocalMachine, "SYSTEM", kKeyRead, parent), kRegOk);
  std::string name;
  EXPECT_EQ(copy.EnumKey(parent, 0, name, 256), kRegOk);
  EXPECT_EQ(name, "MixedCase");
  copy.CloseKey(parent);
}

}  // namespace
}  // namespace kl
