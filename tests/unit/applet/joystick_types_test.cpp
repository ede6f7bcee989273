// The type list's insertions and lookups.
#include <gtest/gtest.h>

#include <vector>

#include "applet/joystick_types.h"

namespace kl {
namespace {

std::vector<std::string> Names(const JoystickTypeList& list) {
  std::vector<std::string> names;
  for (const auto& e : list) names.push_back(e.displayName);
  return names;
}

JoystickTypeEntry Entry(const std::string& name, const std::string& key = "") {
  JoystickTypeEntry e;
  e.displayName = name;
  e.oemKey = key;
  return e;
}

struct SortedCase {
  std::vector<std::string> inserted;
  std::vector<std::string> listed;
  std::vector<bool> added;
};

TEST(InsertTypeSorted, OrdersNamesAsThePlatformSortsThem) {
  const SortedCase cases[] = {
      {{"B", "A"}, {"A", "B"}, {true, true}},
      {{"A", "C", "B"}, {"A", "B", "C"}, {true, true, true}},
      {{"Zeta", "alpha", "Beta"}, {"alpha", "Beta", "Zeta"}, {true, true, true}},
      {{"pad", "Pad"}, {"pad", "Pad"}, {true, true}},
      {{"Pad", "pad"}, {"pad", "Pad"}, {true, true}},
      {{"Stick", "Stick 2"}, {"Stick", "Stick 2"}, {true, true}},
      // A name equal to the first entry's is refused.
      {{"A", "B", "A"}, {"A", "B"}, {true, true, false}},
  };
  for (const SortedCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.inserted));
    JoystickTypeList list;
    std::vector<bool> added;
    for (const auto& name : c.inserted) added.push_back(InsertTypeSorted(list, Entry(name)));
    EXPECT_EQ(Names(list), c.listed);
    EXPECT_EQ(added, c.added);
  }
}

TEST(InsertTypeAt, PutsTheEntryAtThePositionOrAtTheEnd) {
  const struct {
    uint32_t position;
    std::vector<std::string> listed;
  } cases[] = {
      {0, {"new", "a", "b"}},
      {1, {"a", "new", "b"}},
      {2, {"a", "b", "new"}},
      {9, {"a", "b", "new"}},
  };
  for (const auto& c : cases) {
    JoystickTypeList list{Entry("a"), Entry("b")};
    InsertTypeAt(list, Entry("new"), c.position);
    EXPECT_EQ(Names(list), c.listed) << "position " << c.position;
  }
  JoystickTypeList empty;
  InsertTypeAt(empty, Entry("only"), 5);
  EXPECT_EQ(Names(empty), std::vector<std::string>{"only"});
}

TEST(FindJoystickType, ByPositionGivesNameAndOnlyANonEmptyKey) {
  JoystickTypeEntry keyed = Entry("Keyed", "OEM1");
  keyed.oemCallout = "drv.vxd";
  keyed.flags = 0x20;
  keyed.buttons = 12;
  const JoystickTypeList list{Entry("zero"), Entry("Plain"), keyed};

  auto plain = FindJoystickType(list, "", 1);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->displayName, "Plain");
  EXPECT_FALSE(plain->oemKey);

  auto withKey = FindJoystickType(list, "", 2);
  ASSERT_TRUE(withKey);
  EXPECT_EQ(withKey->displayName, "Keyed");
  EXPECT_EQ(withKey->oemKey, "OEM1");

  EXPECT_FALSE(FindJoystickType(list, "", 3));
  EXPECT_FALSE(FindJoystickType(list, "", 1000));
}

TEST(FindJoystickType, ByNameGivesEverythingOfTheFirstMatch) {
  JoystickTypeEntry first = Entry("Same", "K1");
  first.oemCallout = "one.vxd";
  first.flags = 0x21;
  first.buttons = 6;
  const JoystickTypeList list{Entry("zero"), first, Entry("Same", "K2")};
  auto found = FindJoystickType(list, "Same", 0);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->oemKey, "K1");
  EXPECT_EQ(found->oemCallout, "one.vxd");
  EXPECT_EQ(found->flags, 0x21u);
  EXPECT_EQ(found->buttons, 6u);
  EXPECT_FALSE(FindJoystickType(list, "same", 0));
  EXPECT_FALSE(FindJoystickType(JoystickTypeList{}, "Same", 0));
}

}  // namespace
}  // namespace kl
