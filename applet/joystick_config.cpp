#include "applet/joystick_config.h"

namespace kl {
namespace {

// The record is 28 consecutive 32-bit words; this visits them in stored order.
template <typename Config, typename Visit>
void ForEachWord(Config& c, Visit visit) {
  visit(c.hws.dwFlags);
  visit(c.hws.dwNumButtons);
  visit(c.dwUsageSettings);
  for (auto* pos :
       {&c.hwv.jrvHardware.jpMin, &c.hwv.jrvHardware.jpMax, &c.hwv.jrvHardware.jpCenter}) {
    visit(pos->dwX);
    visit(pos->dwY);
    visit(pos->dwZ);
    visit(pos->dwR);
    visit(pos->dwU);
    visit(pos->dwV);
  }
  for (auto& pov : c.hwv.dwPOVValues) visit(pov);
  visit(c.hwv.dwCalFlags);
  visit(c.dwType);
  visit(c.dwReserved);
}

}  // namespace

JoyConfigBytes EncodeJoystickConfig(const JOYREGHWCONFIG& config) {
  JoyConfigBytes bytes{};
  size_t at = 0;
  ForEachWord(config, [&](const uint32_t& word) {
    for (int shift = 0; shift < 32; shift += 8) bytes[at++] = uint8_t(word >> shift);
  });
  return bytes;
}

JOYREGHWCONFIG DecodeJoystickConfig(const JoyConfigBytes& bytes) {
  JOYREGHWCONFIG config;
  size_t at = 0;
  ForEachWord(config, [&](uint32_t& word) {
    word = 0;
    for (int shift = 0; shift < 32; shift += 8) word |= uint32_t(bytes[at++]) << shift;
  });
  return config;
}

}  // namespace kl
