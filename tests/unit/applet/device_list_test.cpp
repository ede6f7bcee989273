// The selection page's list decisions: column widths, the joystick a row
// names, the arrow keys, leaving the page and the presence check.
#include <gtest/gtest.h>

#include "applet/device_list.h"
#include "applet_fixture.h"

namespace kl::test {
namespace {

TEST(DeviceColumns, ShareTheListWidthInTheirProportions) {
  struct Case {
    int width;
    std::array<int, 3> expected;
  };
  const Case cases[] = {
      {511, {98, 238, 175}},  // 511 * 392 / 2044, 511 * 952 / 2044, 511 * 700 / 2044
      {2044, {392, 952, 700}},
      {0, {0, 0, 0}},
      {-5, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    const std::array<int, 3> widths = DeviceColumnWidths(c.width);
    EXPECT_EQ(widths, c.expected) << c.width;
    EXPECT_LE(widths[0] + widths[1] + widths[2], std::max(c.width, 0));
  }
}

TEST(DeviceRows, NameTheirJoystickInTheFirstColumn) {
  struct Case {
    const char* text;
    uint8_t id;
  };
  const Case cases[] = {{" 1", 1},
                        {" 16", 16},
                        {"3", 3},
                        {" 17", kNoJoystick},
                        {" 0", kNoJoystick},
                        {"", kNoJoystick},
                        {" ", kNoJoystick},
                        {" 1x", kNoJoystick},
                        {" 001", kNoJoystick},
                        {"-1", kNoJoystick}};
  for (const Case& c : cases)
    EXPECT_EQ(JoystickIdFromRowText(c.text), c.id) << '"' << c.text << '"';
}

TEST(DeviceRows, ArrowKeysMoveOneRowAndStopAtTheEnds) {
  struct Case {
    int selected, count;
    bool down;
    int expected;
  };
  const Case cases[] = {
      {0, 3, true, 1},  {2, 3, true, 2},   {1, 3, false, 0}, {0, 3, false, 0},
      {-1, 3, true, 0}, {-1, 3, false, 0}, {5, 3, true, 0},  {-1, 0, true, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RowAfterArrowKey(c.selected, c.count, c.down), c.expected)
        << c.selected << " of " << c.count << (c.down ? " down" : " up");
  }
}

class DeviceList : public AppletTest {};

TEST_F(DeviceList, ThePageIsLeftOnlyWithAnAnsweringJoystickOrAfterOk) {
  state.working.At(2).present = 1;
  state.working.At(3).present = 1;
  state.working.At(3).status = kStatusUnplugged;
  struct Case {
    uint8_t currentId;
    std::optional<uint32_t> refusal;
  };
  const Case cases[] = {
      {kNoJoystick, kNoJoystickChosenStringId},
      {17, kNoJoystickChosenStringId},
      {3, kChosenNotAnsweringStringId},
      {2, std::nullopt},
      {0, std::nullopt},  // OK cleared the choice before the page is left
  };
  for (const Case& c : cases) {
    state.currentId = c.currentId;
    EXPECT_EQ(LeavePageRefusal(state), c.refusal) << int(c.currentId);
  }
}

TEST_F(DeviceList, FocusGivesTheFirstRowOnlyWhileNothingIsChosenAndPadsAnswer) {
  state.currentId = kNoJoystick;
  state.respondingCount = 1;
  EXPECT_TRUE(FocusFirstRowOnFocus(state));
  state.respondingCount = 0;
  EXPECT_FALSE(FocusFirstRowOnFocus(state));
  state.respondingCount = 1;
  state.currentId = 4;
  EXPECT_FALSE(FocusFirstRowOnFocus(state));
}

TEST_F(DeviceList, PresenceTickRefreshesOnlyWhenTheAnsweringCountChanges) {
  LoadDriverReg();
  JoystickRecord& record = state.working.At(2);
  record.present = 1;
  record.displayName = "Type 26";
  record.config.hws = {0x20, 2};
  state.currentId = kNoJoystick;
  uint8_t last = 0;

  PlugPad(1, 2);
  PresenceTick tick = TickPresence(joysticks, state, last);
  EXPECT_TRUE(tick.changed);
  EXPECT_EQ(last, 1);
  EXPECT_EQ(state.respondingCount, 1);
  ASSERT_EQ(tick.rows.size(), 1u);
  EXPECT_EQ(tick.rows[0].state, "Ready");
  // The first row is joystick 2, so that is the one chosen.
  EXPECT_TRUE(tick.chooseFirstRow);
  EXPECT_EQ(state.currentId, 2);
  EXPECT_EQ(joystick.ConfigChangedCount(), 1u);

  tick = TickPresence(joysticks, state, last);
  EXPECT_FALSE(tick.changed);
  EXPECT_TRUE(tick.rows.empty());
  EXPECT_EQ(joystick.ConfigChangedCount(), 1u);

  joystick.Unplug(1);
  tick = TickPresence(joysticks, state, last);
  EXPECT_TRUE(tick.changed);
  EXPECT_EQ(last, 0);
  ASSERT_EQ(tick.rows.size(), 1u);
  EXPECT_EQ(tick.rows[0].state, "Not connected");
  EXPECT_FALSE(tick.chooseFirstRow);  // a joystick is chosen already
  EXPECT_EQ(joystick.ConfigChangedCount(), 2u);
}

TEST_F(DeviceList, PresenceTickChoosesNothingWithoutRows) {
  LoadDriverReg();
  PlugPad(0, 12);
  state.currentId = kNoJoystick;
  uint8_t last = 0;
  const PresenceTick tick = TickPresence(joysticks, state, last);
  EXPECT_TRUE(tick.changed);
  EXPECT_TRUE(tick.rows.empty());
  EXPECT_FALSE(tick.chooseFirstRow);
  EXPECT_EQ(state.currentId, kNoJoystick);
}

}  // namespace
}  // namespace kl::test
