// The layout tables agree with themselves: every element lies inside the
// area that hands clicks to it, and every bitmap the programs draw exists
// with the size of the rectangle it is drawn into.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <set>
#include <span>
#include <string>

#include "layout_tables.h"

namespace kl::layout {
namespace {

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

std::string Show(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

const BitmapEntry* Find(std::span<const BitmapEntry> table, int id) {
  for (const BitmapEntry& bitmap : table) {
    if (bitmap.id == id) return &bitmap;
  }
  return nullptr;
}

// The bitmap exists and is exactly the size of `where`.
void ExpectSized(std::span<const BitmapEntry> table, int id, const Rect& where) {
  const BitmapEntry* bitmap = Find(table, id);
  ASSERT_NE(bitmap, nullptr) << "bitmap " << id;
  EXPECT_EQ(bitmap->width, where.Width()) << "bitmap " << id << " at " << Show(where);
  EXPECT_EQ(bitmap->height, where.Height()) << "bitmap " << id << " at " << Show(where);
}

// The bitmap exists and covers `where` (it is drawn into several rectangles).
void ExpectCovers(std::span<const BitmapEntry> table, int id, const Rect& where) {
  const BitmapEntry* bitmap = Find(table, id);
  ASSERT_NE(bitmap, nullptr) << "bitmap " << id;
  EXPECT_GE(bitmap->width, where.Width()) << "bitmap " << id << " at " << Show(where);
  EXPECT_GE(bitmap->height, where.Height()) << "bitmap " << id << " at " << Show(where);
}

TEST(ViewLayout, EveryRegionLiesInsideTheHotSpotThatNamesIt) {
  std::set<int> named;
  for (int i = 0; i < kHotSpotCount; ++i) {
    const HotSpot& spot = kHotSpots[i];
    EXPECT_TRUE(Inside(spot.rect, Rect{0, 0, kViewSize.width - 1, kViewSize.height - 1})) << i;
    if (spot.region == kNoRegion) continue;
    ASSERT_GE(spot.region, 0);
    ASSERT_LT(spot.region, static_cast<int>(std::size(kRegions)));
    named.insert(spot.region);
    const Region& region = kRegions[spot.region];
    EXPECT_TRUE(Inside(region.bounds, spot.rect))
        << "hot spot " << i << " region " << region.name << " " << Show(region.bounds);
    for (const Point& p : region.points) {
      EXPECT_TRUE(spot.rect.Contains(p)) << "hot spot " << i << " " << p.x << "," << p.y;
    }
  }
  EXPECT_EQ(named.size(), std::size(kRegions)) << "a region no hot spot uses";
}

TEST(ViewLayout, RowsAndBoxesMatchTheirHotSpots) {
  struct Run {
    std::span<const Rect> rects;
    int firstHotSpot;
  };
  const Run runs[] = {{kGameRows, kHotGameRow0},
                      {kProfileRows, kHotProfileRow0},
                      {kActiveBoxes, kHotActiveBox0},
                      {kPadSelectorRows, kHotPadSelectorRow0},
                      {std::span<const Rect>(kModeButtons), kHotModeButton0}};
  for (const Run& run : runs) {
    for (std::size_t i = 0; i < run.rects.size(); ++i) {
      const Rect& hot = kHotSpots[run.firstHotSpot + i].rect;
      EXPECT_EQ(Show(run.rects[i]), Show(hot)) << "hot spot " << run.firstHotSpot + i;
    }
  }
  for (int m = 0; m < 3; ++m) {
    EXPECT_EQ(Show(kMenus[m].tab), Show(kHotSpots[kHotTab1 + m].rect)) << "menu " << m;
    EXPECT_EQ(kMenus[m].region, kHotSpots[kHotTab1 + m].region) << "menu " << m;
  }
}

class PadModelTest : public testing::TestWithParam<const PadModelLayout*> {};

TEST_P(PadModelTest, InputsAndLabelsLieInsideThePadPicture) {
  const PadModelLayout& model = *GetParam();
  ASSERT_EQ(model.picture.size(), static_cast<std::size_t>(model.inputs));
  ASSERT_EQ(model.labels.size(), static_cast<std::size_t>(model.inputs));
  EXPECT_EQ(model.inputs, model.buttons + 4);
  for (int k = 0; k < model.inputs; ++k) {
    EXPECT_TRUE(Inside(model.picture[k], kPadPictureRect)) << "input " << k;
    EXPECT_TRUE(Inside(model.labels[k], kPadPictureRect)) << "label " << k;
    // Eight characters of the label font fit a box 69 wide.
    EXPECT_EQ(model.labels[k].right - model.labels[k].left, 69) << "label " << k;
    EXPECT_GE(model.labels[k].Height(), 15) << "label " << k;
  }
  for (int k = 0; k < 4; ++k) {
    EXPECT_TRUE(Inside(model.picture[k], model.dpadReleased)) << "direction " << k;
  }
}

TEST_P(PadModelTest, EveryPictureOfTheModelHasTheSizeOfItsRectangle) {
  const PadModelLayout& model = *GetParam();
  ExpectSized(kKloomBitmaps, model.padBitmap, kPadPictureRect);
  ExpectSized(kKloomBitmaps, model.dpadReleasedBitmap, model.dpadReleased);
  for (int k = 0; k < model.inputs; ++k) {
    SCOPED_TRACE("input " + std::to_string(k));
    ExpectSized(kKloomBitmaps, model.pressedBase + k, model.picture[k]);
    if (k >= 4) {
      ExpectSized(kKloomBitmaps, model.releasedBase + k, model.picture[k]);
    }
    ExpectCovers(kKloomBitmaps, model.labelSelectedBitmap, model.labels[k]);
    ExpectCovers(kKloomBitmaps, model.labelUnselectedBitmap, model.labels[k]);
  }
  const Rect icon{0, 0, kPadSelectorIconSize.width - 1, kPadSelectorIconSize.height - 1};
  ExpectSized(kKloomBitmaps, model.iconCurrentBitmap, icon);
  ExpectSized(kKloomBitmaps, model.iconOtherBitmap, icon);
  ASSERT_NE(Find(kKloomBitmaps, model.printBitmap), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Models, PadModelTest, testing::Values(&kModel10, &kModel12),
                         [](const auto& info) {
                           return "Model" + std::to_string(info.param->buttons);
                         });

TEST(ViewLayout, FindModelKnowsOnlyTheTwoPads) {
  EXPECT_EQ(FindModel(10), &kModel10);
  EXPECT_EQ(FindModel(12), &kModel12);
  for (int buttons : {0, 4, 11, 14, 255}) EXPECT_EQ(FindModel(buttons), nullptr) << buttons;
}

TEST(PictureMenus, ItemsFollowEachOtherInsideTheDropDown) {
  for (int m = 0; m < 3; ++m) {
    const PictureMenu& menu = kMenus[m];
    SCOPED_TRACE("menu " + std::to_string(m + 1));
    ExpectSized(kKloomBitmaps, menu.dropDownBitmap, menu.dropDown);
    ExpectSized(kKloomBitmaps, menu.tabFaceBitmap, menu.tab);
    ExpectSized(kKloomBitmaps, menu.tabPressedBitmap, menu.tab);
    EXPECT_EQ(menu.dropDown.top, menu.tab.bottom) << "the drop-down hangs from its tab";
    for (std::size_t d = 0; d < menu.items.size(); ++d) {
      EXPECT_TRUE(Inside(menu.items[d], menu.dropDown)) << "item " << d;
      if (d > 0) {
        EXPECT_GT(menu.items[d].top, menu.items[d - 1].bottom) << "item " << d;
      }
      ExpectSized(kKloomBitmaps, menu.highlightBase + static_cast<int>(d), menu.items[d]);
    }
  }
}

TEST(ViewLayout, FixedElementsHaveBitmapsOfTheirSize) {
  struct Case {
    int id;
    Rect where;
  };
  const Case cases[] = {
      {kloom::kBackground, kBackgroundRect},
      {kloom::kSelectorBackground, kPadSelectorRect},
      {kloom::kGameList, kGameListRect},
      {kloom::kProfileList, kProfileListRect},
      {kloom::kStatusBox, kStatusBoxRect},
      {kloom::kPanelKey, kPanelRect},
      {kloom::kPanelSequence, kPanelRect},
      {kloom::kPanelCycle, kPanelRect},
      {kloom::kModeSelected0, kModeButtons[0]},
      {kloom::kModeUnselected2, kModeButtons[2]},
      {kloom::kMinimisePressed, kMinimiseBoxRect},
      {kloom::kClosePressed, kCloseBoxRect},
      {kloom::kExitPressed, kExitButtonRect},
      {kloom::kRecordPressed, kStripButton1Rect},
      {kloom::kStopReleased, kStripButton2Rect},
      {kloom::kCheckTicked, kCheckBoxRect},
      {kloom::kScrollLeftPressed, kScrollLeftRect},
      {kloom::kScrollRightReleased, kScrollRightRect},
      {kloom::kImportFace, kImportButtonRect},
      {kLogoFirst, kLogoRect},
      {kLogoFirst + kLogoCount - 1, kLogoRect},
  };
  for (const Case& c : cases) ExpectSized(kKloomBitmaps, c.id, c.where);
  const Case shared[] = {
      {kloom::kPageUpPressed, kGamePageUpRect},
      {kloom::kPageUpPressed, kProfilePageUpRect},
      {kloom::kPageDownReleased, kGamePageDownRect},
      {kloom::kPageDownReleased, kProfilePageDownRect},
      {kloom::kClearPressed, kStripButton1Rect},
      {kloom::kClearPressed, kStripButton3Rect},
      {kloom::kActiveOn, kActiveMarks[3]},
      {kloom::kSelectorCurrent, kPadSelectorRows[2]},
  };
  for (const Case& c : shared) ExpectCovers(kKloomBitmaps, c.id, c.where);
}

TEST(Bitmaps, IdsAreUniqueAndSizesSane) {
  for (std::span<const BitmapEntry> table :
       {std::span<const BitmapEntry>(kKloomBitmaps), std::span<const BitmapEntry>(kOstraBitmaps)}) {
    std::set<int> ids;
    for (const BitmapEntry& bitmap : table) {
      EXPECT_TRUE(ids.insert(bitmap.id).second) << "bitmap " << bitmap.id << " twice";
      EXPECT_GT(bitmap.width, 0) << bitmap.id;
      EXPECT_GT(bitmap.height, 0) << bitmap.id;
      EXPECT_LE(bitmap.width, kViewSize.width) << bitmap.id;
    }
  }
}

struct TestPadCase {
  const char* name;
  const TestPadLayout* layout;
  int buttons;
  bool large;
};

class TestPageTest : public testing::TestWithParam<TestPadCase> {};

TEST_P(TestPageTest, OverlaysLieInsideThePictureAndHaveTheirBitmaps) {
  const TestPadLayout& pad = *GetParam().layout;
  const Rect picture{0, 0, pad.size.width - 1, pad.size.height - 1};
  ASSERT_EQ(pad.buttons.size(), static_cast<std::size_t>(GetParam().buttons));
  ASSERT_EQ(pad.overlays.size(), 9 + pad.buttons.size());
  ExpectSized(kOstraBitmaps, pad.picture, picture);
  if (GetParam().large) {
    EXPECT_EQ(pad.size.width, kTestLargeArea.width);
    EXPECT_EQ(pad.size.height, kTestLargeArea.height);
  } else {
    EXPECT_LT(pad.size.width, kTestLargeArea.width);
    EXPECT_LT(pad.size.height, kTestLargeArea.height);
  }
  for (std::size_t row = 0; row < pad.overlays.size(); ++row) {
    EXPECT_TRUE(Inside(pad.overlays[row], picture)) << "overlay " << row;
  }
  for (std::size_t d = 0; d < 9; ++d) {
    SCOPED_TRACE("direction " + std::to_string(d));
    if (d > 0) {
      EXPECT_TRUE(Inside(pad.overlays[d], pad.overlays[0]));
    }
    ExpectSized(kOstraBitmaps, pad.picture + 1 + static_cast<int>(d), pad.overlays[d]);
  }
  for (std::size_t k = 0; k < pad.buttons.size(); ++k) {
    SCOPED_TRACE("button row " + std::to_string(k));
    EXPECT_EQ(pad.buttons[k].mask, 1u << k);
    ExpectSized(kOstraBitmaps, pad.buttons[k].pressed, pad.overlays[9 + k]);
    ExpectSized(kOstraBitmaps, pad.buttons[k].released, pad.overlays[9 + k]);
  }
}

INSTANTIATE_TEST_SUITE_P(Pads, TestPageTest,
                         testing::Values(TestPadCase{"TenLarge", &kTestPad10Large, 10, true},
                                         TestPadCase{"TenSmall", &kTestPad10Small, 10, false},
                                         TestPadCase{"TwelveLarge", &kTestPad12Large, 12, true},
                                         TestPadCase{"TwelveSmall", &kTestPad12Small, 12, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TestPage, SpareReleasedPicturesSitWhereTheirButtonIs) {
  struct Spare {
    const TestPadLayout* pad;
    std::span<const std::uint32_t[2]> rows;
  };
  const Spare spares[] = {{&kTestPad10Large, kTestPad10LargeSpareReleased},
                          {&kTestPad12Large, kTestPad12LargeSpareReleased}};
  for (const Spare& spare : spares) {
    for (const auto& row : spare.rows) {
      const auto k = static_cast<std::size_t>(std::countr_zero(row[0]));
      ASSERT_LT(k, spare.pad->buttons.size());
      EXPECT_EQ(spare.pad->buttons[k].pressed, spare.pad->buttons[k].released) << row[1];
      ExpectSized(kOstraBitmaps, static_cast<int>(row[1]), spare.pad->overlays[9 + k]);
    }
  }
}

TEST(TestPage, GenericViewPicturesHaveTheirChosenSizes) {
  struct Case {
    int id;
    Size size;
  };
  const Case cases[] = {
      {ostra::kJoystickPicture, kJoystickPictureSize},
      {ostra::kJoystickMask, kJoystickPictureSize},
      {ostra::kGenericPicture, kDevicePictureSize},
      {ostra::kPad12SmallMask, kDevicePictureSize},
      {ostra::kBarBackground, kBarSize},
      {ostra::kXyBox, kXyBoxSize},
      {ostra::kMarker, kMarkerSize},
      {ostra::kCellPressed, kButtonCellSize},
      {ostra::kCellMask, kButtonCellSize},
      {ostra::kHatCentred, kHatSize},
      {ostra::kHat31500, kHatSize},
      {ostra::kHatMask, kHatSize},
  };
  for (const Case& c : cases) {
    ExpectSized(kOstraBitmaps, c.id, Rect{0, 0, c.size.width - 1, c.size.height - 1});
  }
  for (int id : {200, 201, 202}) {
    const BitmapEntry* list = Find(kOstraBitmaps, id);
    ASSERT_NE(list, nullptr) << id;
    EXPECT_EQ(list->width, list->height * kImageListImages) << id;
  }
}

}  // namespace
}  // namespace kl::layout
