// The 112-byte configuration record: every field at its documented offset,
// little-endian, and read back unchanged.
#include <gtest/gtest.h>

#include <functional>

#include "applet/joystick_config.h"
#include "applet_fixture.h"

namespace kl {
namespace {

struct FieldCase {
  const char* field;
  size_t offset;
  std::function<void(JOYREGHWCONFIG&, uint32_t)> set;
};

const FieldCase kFields[] = {
    {"hws.dwFlags", 0, [](JOYREGHWCONFIG& c, uint32_t v) { c.hws.dwFlags = v; }},
    {"hws.dwNumButtons", 4, [](JOYREGHWCONFIG& c, uint32_t v) { c.hws.dwNumButtons = v; }},
    {"dwUsageSettings", 8, [](JOYREGHWCONFIG& c, uint32_t v) { c.dwUsageSettings = v; }},
    {"jpMin.dwX", 12, [](JOYREGHWCONFIG& c, uint32_t v) { c.hwv.jrvHardware.jpMin.dwX = v; }},
    {"jpMin.dwV", 32, [](JOYREGHWCONFIG& c, uint32_t v) { c.hwv.jrvHardware.jpMin.dwV = v; }},
    {"jpMax.dwX", 36, [](JOYREGHWCONFIG& c, uint32_t v) { c.hwv.jrvHardware.jpMax.dwX = v; }},
    {"jpMax.dwR", 48, [](JOYREGHWCONFIG& c, uint32_t v) { c.hwv.jrvHardware.jpMax.dwR = v; }},
    {"jpCenter.dwX", 60, [](JOYREGHWCONFIG& c, uint32_t v) { c.hwv.jrvHardware.jpCenter.dwX = v; }},
    {"jpCenter.dwY", 64, [](JOYREGHWCONFIG& c, uint32_t v) { c.hwv.jrvHardware.jpCenter.dwY = v; }},
    {"jpCenter.dwV", 80, [](JOYREGHWCONFIG& c, uint32_t v) { c.hwv.jrvHardware.jpCenter.dwV = v; }},
    {"dwPOVValues[0]", 84, [](JOYREGHWCONFIG& c, uint32_t v) { c.hwv.dwPOVValues[0] = v; }},
    {"dwPOVValues[3]", 96, [](JOYREGHWCONFIG& c, uint32_t v) { c.hwv.dwPOVValues[3] = v; }},
    {"dwCalFlags", 100, [](JOYREGHWCONFIG& c, uint32_t v) { c.hwv.dwCalFlags = v; }},
    {"dwType", 104, [](JOYREGHWCONFIG& c, uint32_t v) { c.dwType = v; }},
    {"dwReserved", 108, [](JOYREGHWCONFIG& c, uint32_t v) { c.dwReserved = v; }},
};

TEST(JoystickConfig, EachFieldLandsAtItsOffsetLittleEndian) {
  for (const FieldCase& field : kFields) {
    SCOPED_TRACE(field.field);
    JOYREGHWCONFIG config;
    field.set(config, 0x11223344);
    const JoyConfigBytes bytes = EncodeJoystickConfig(config);
    const std::vector<uint8_t> expected = test::ConfigBytes({{field.offset, 0x11223344}});
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected);

    JOYREGHWCONFIG decoded = DecodeJoystickConfig(bytes);
    EXPECT_EQ(decoded, config);
  }
}

TEST(JoystickConfig, EveryByteSurvivesDecodeAndEncode) {
  JoyConfigBytes bytes{};
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + 1);
  EXPECT_EQ(EncodeJoystickConfig(DecodeJoystickConfig(bytes)), bytes);
}

}  // namespace
}  // namespace kl
