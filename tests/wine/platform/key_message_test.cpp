// Unpacking a window's key messages: the message numbers and lParam bits as
// Windows defines them, against what the portable key event says.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "platform/win32/key_message.h"

namespace kl {
namespace {

LPARAM KeyData(UINT scan, bool extended, bool previous, bool released) {
  DWORD data = 1 | (scan << 16);
  if (extended) data |= KF_EXTENDED << 16;
  if (previous) data |= KF_REPEAT << 16;
  if (released) data |= KF_UP << 16;
  return static_cast<LPARAM>(data);
}

TEST(KeyEventFromMessage, UnpacksEachKeyMessage) {
  const struct {
    const char* what;
    UINT message;
    WPARAM vk;
    LPARAM data;
    KeyEvent expected;
  } cases[] = {
      {"plain press",
       WM_KEYDOWN,
       'A',
       KeyData(0x1E, false, false, false),
       {true, 'A', 0x1E, false, false, false}},
      {"auto-repeat",
       WM_KEYDOWN,
       'A',
       KeyData(0x1E, false, true, false),
       {true, 'A', 0x1E, false, true, false}},
      {"release",
       WM_KEYUP,
       'A',
       KeyData(0x1E, false, true, true),
       {false, 'A', 0x1E, false, true, false}},
      {"right Ctrl",
       WM_KEYDOWN,
       VK_CONTROL,
       KeyData(0x1D, true, false, false),
       {true, VK_CONTROL, 0x1D, true, false, false}},
      {"right Shift",
       WM_KEYDOWN,
       VK_SHIFT,
       KeyData(0x36, false, false, false),
       {true, VK_SHIFT, 0x36, false, false, false}},
      {"Alt press",
       WM_SYSKEYDOWN,
       VK_MENU,
       KeyData(0x38, false, false, false) | (1 << 29),
       {true, VK_MENU, 0x38, false, false, true}},
      {"right Alt release",
       WM_SYSKEYUP,
       VK_MENU,
       KeyData(0x38, true, true, true),
       {false, VK_MENU, 0x38, true, true, true}},
      {"Print Screen release",
       WM_KEYUP,
       VK_SNAPSHOT,
       KeyData(0x37, true, true, true),
       {false, VK_SNAPSHOT, 0x37, true, true, false}},
  };
  for (const auto& c : cases) {
    const std::optional<KeyEvent> key = KeyEventFromMessage(c.message, c.vk, c.data);
    ASSERT_TRUE(key.has_value()) << c.what;
    EXPECT_EQ(key->down, c.expected.down) << c.what;
    EXPECT_EQ(key->vk, c.expected.vk) << c.what;
    EXPECT_EQ(key->scan, c.expected.scan) << c.what;
    EXPECT_EQ(key->extended, c.expected.extended) << c.what;
    EXPECT_EQ(key->previous, c.expected.previous) << c.what;
    EXPECT_EQ(key->system, c.expected.system) << c.what;
  }
}

TEST(KeyEventFromMessage, OtherMessagesAreNoKeys) {
  for (UINT message :
       {UINT{WM_CHAR}, UINT{WM_SYSCHAR}, UINT{WM_DEADCHAR}, UINT{WM_LBUTTONDOWN}, UINT{WM_TIMER}}) {
    EXPECT_FALSE(KeyEventFromMessage(message, 'A', KeyData(0x1E, false, false, false)).has_value())
        << message;
  }
}

}  // namespace
}  // namespace kl
