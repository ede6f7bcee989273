// The input transcript and the US-English virtual-key tables.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/recording_input.h"

namespace kl {
namespace {

TEST(RecordingInput, TranscriptLinesInCallOrder) {
  RecordingInput input;
  input.KeybdEvent(0x11, 0x1d, 0, 0);
  input.KeybdEvent(0x43, 0x2e, kKeyEventKeyUp, 0);
  input.KeybdEvent(0xA3, 0x1d, 0x0001 | kKeyEventKeyUp, 0);  // extended bit too
  input.KeybdEvent(0xFF, 0x00, 0, 0);
  input.MouseEvent(kMouseMove, -2, 0, 0, 0);
  input.MouseEvent(kMouseLeftDown, 0, 0, 0, 0);
  input.MouseEvent(0x8001, 65535, -32768, 0, 0);
  input.Sleep(5);
  input.Sleep(500);
  EXPECT_EQ(input.Transcript(),
            "key down vk=0x11 scan=0x1d\n"
            "key up vk=0x43 scan=0x2e\n"
            "key up vk=0xa3 scan=0x1d\n"
            "key down vk=0xff scan=0x00\n"
            "mouse flags=0x0001 dx=-2 dy=0\n"
            "mouse flags=0x0002 dx=0 dy=0\n"
            "mouse flags=0x8001 dx=65535 dy=-32768\n"
            "sleep 5\n"
            "sleep 500\n");
  input.Clear();
  EXPECT_EQ(input.Transcript(), "");
}

TEST(RecordingInput, KeepsEveryArgumentOfEveryCall) {
  RecordingInput input;
  input.SetExtraInfo(0xFF515700);
  input.MouseEvent(kMouseRightUp, 3, 4, 120, input.GetMessageExtraInfo());
  input.KeybdEvent(0x41, 0x1e, 0, 9);
  ASSERT_EQ(input.Events().size(), 2u);
  InputEvent mouse;
  mouse.kind = InputEvent::Kind::kMouse;
  mouse.flags = kMouseRightUp;
  mouse.dx = 3;
  mouse.dy = 4;
  mouse.data = 120;
  mouse.extra = 0xFF515700;
  EXPECT_EQ(input.Events()[0], mouse);
  EXPECT_EQ(input.Events()[1].extra, 9u);
  EXPECT_EQ(FormatInputEvent(input.Events()[1]), "key down vk=0x41 scan=0x1e");
}

struct MapCase {
  uint32_t code;
  uint32_t type;
  uint32_t expected;
};

class UsLayout : public testing::TestWithParam<MapCase> {};

TEST_P(UsLayout, MapsAsWindowsDoes) {
  const MapCase& c = GetParam();
  RecordingInput input;
  EXPECT_EQ(input.MapVirtualKey(c.code, c.type), c.expected)
      << "code 0x" << std::hex << c.code << " type " << c.type;
}

INSTANTIATE_TEST_SUITE_P(
    ScanCodes, UsLayout,
    testing::Values(MapCase{0x10, 0, 0x2A}, MapCase{0x11, 0, 0x1D}, MapCase{0x12, 0, 0x38},
                    MapCase{0xA0, 0, 0x2A}, MapCase{0xA1, 0, 0x36}, MapCase{0xA3, 0, 0x1D},
                    MapCase{'A', 0, 0x1E}, MapCase{'C', 0, 0x2E}, MapCase{'Z', 0, 0x2C},
                    MapCase{'0', 0, 0x0B}, MapCase{'1', 0, 0x02}, MapCase{0x0D, 0, 0x1C},
                    MapCase{0x1B, 0, 0x01}, MapCase{0x20, 0, 0x39}, MapCase{0x25, 0, 0x4B},
                    MapCase{0x26, 0, 0x48}, MapCase{0x27, 0, 0x4D}, MapCase{0x28, 0, 0x50},
                    MapCase{0x70, 0, 0x3B}, MapCase{0x79, 0, 0x44}, MapCase{0x7A, 0, 0x57},
                    MapCase{0x7B, 0, 0x58}, MapCase{0x60, 0, 0x52}, MapCase{0x69, 0, 0x49},
                    MapCase{0x6F, 0, 0x35}, MapCase{0x0C, 0, 0x4C}, MapCase{0xBA, 0, 0x27},
                    MapCase{0xC0, 0, 0x29}, MapCase{0xE2, 0, 0x56}, MapCase{0x01, 0, 0},
                    MapCase{0x6C, 0, 0}, MapCase{0xFF, 0, 0}, MapCase{0x141, 0, 0},
                    MapCase{0x41, 1, 0}));

INSTANTIATE_TEST_SUITE_P(
    Characters, UsLayout,
    testing::Values(MapCase{'A', 2, 'A'}, MapCase{'Q', 2, 'Q'}, MapCase{'5', 2, '5'},
                    MapCase{0x60, 2, '0'}, MapCase{0x69, 2, '9'}, MapCase{0x6A, 2, '*'},
                    MapCase{0x6E, 2, '.'}, MapCase{0xBA, 2, ';'}, MapCase{0xBB, 2, '='},
                    MapCase{0xBC, 2, ','}, MapCase{0xBD, 2, '-'}, MapCase{0xBF, 2, '/'},
                    MapCase{0xC0, 2, '`'}, MapCase{0xDB, 2, '['}, MapCase{0xDC, 2, '\\'},
                    MapCase{0xDD, 2, ']'}, MapCase{0xDE, 2, '\''}, MapCase{0x20, 2, ' '},
                    MapCase{0x0D, 2, 0x0D}, MapCase{0x10, 2, 0}, MapCase{0x70, 2, 0},
                    MapCase{0x5B, 2, 0}));

}  // namespace
}  // namespace kl
