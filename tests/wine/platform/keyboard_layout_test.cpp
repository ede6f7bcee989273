// Our US-English MapVirtualKeyA tables against Wine's own US layout.
//
// Wine answers from its built-in copy of the Windows US tables only when no
// X display is in charge; under X it derives them from the X keymap, which
// says nothing about Windows. The ctest entry that compares therefore runs
// this program without DISPLAY and sets KL_REQUIRE_US_TABLE=1.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/sim/recording_input.h"

namespace kl {
namespace {

bool EnvironmentHas(const char* name) {
  char value[8];
  return GetEnvironmentVariableA(name, value, sizeof value) != 0;
}

// Where we keep a value of our own, with what Wine answers and why we differ.
struct KnownDifference {
  uint32_t code;
  uint32_t type;
  uint32_t ours;
  uint32_t wine;
  const char* why;
};

constexpr KnownDifference kKnownDifferences[] = {
    {0x13, 0, 0x45, 0x00,
     "Pause: a real press reports scan code 0x45 (after the E1 1D prefix); Wine has none"},
    {0xEC, 0, 0x7F, 0x00,
     "OEM PA2: the layout lists it at scan code 0x7F after PA1 (0x7B) and PA3 (0x6F), which "
     "Wine does have; Wine's table stops before 0x7F"},
};

const KnownDifference* FindKnown(uint32_t code, uint32_t type) {
  for (const KnownDifference& d : kKnownDifferences) {
    if (d.code == code && d.type == type) return &d;
  }
  return nullptr;
}

TEST(UsLayoutAgainstWine, EveryVirtualKeyBothMapTypes) {
  if (EnvironmentHas("DISPLAY")) {
    if (EnvironmentHas("KL_REQUIRE_US_TABLE")) FAIL() << "DISPLAY must be unset for this run";
    GTEST_SKIP() << "Wine's tables follow the X keymap here; see the run without DISPLAY";
  }
  ASSERT_EQ(LOWORD(reinterpret_cast<uintptr_t>(GetKeyboardLayout(0))), 0x0409)
      << "not the US-English layout";
  for (uint32_t type : {0u, 2u}) {
    for (uint32_t code = 0; code < 256; ++code) {
      const uint32_t ours = UsMapVirtualKey(code, type);
      const uint32_t wine = MapVirtualKeyA(code, type);
      if (const KnownDifference* known = FindKnown(code, type)) {
        EXPECT_EQ(ours, known->ours) << known->why;
        EXPECT_EQ(wine, known->wine) << "Wine changed: " << known->why;
      } else {
        EXPECT_EQ(ours, wine) << "type " << type << " virtual key 0x" << std::hex << code;
      }
    }
  }
}

}  // namespace
}  // namespace kl
