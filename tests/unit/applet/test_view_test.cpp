// The test page: the pad picture with its lit buttons and directions in both
// layouts, the generic view's marker, bars, hat and button cells, stepping
// between joysticks and the page's failures.
#include "applet/test_view.h"

#include <gtest/gtest.h>

#include "page_fixture.h"

namespace kl::test {
namespace {

TEST(TestViewValues, MappingThroughTheCalibration) {
  struct Case {
    uint32_t value, min, centre, max, mapped;
  };
  const Case cases[] = {
      {100, 100, 300, 500, 0},       {200, 100, 300, 500, 0x4000},
      {300, 100, 300, 500, 0x8000},  {400, 100, 300, 500, 0xC000},
      {500, 100, 300, 500, 0xFFFF},  {900, 100, 300, 500, 0xFFFF},
      {50, 100, 300, 500, 0},        {5, 10, 10, 20, 0},
      {15, 0, 10, 10, 0xFFFF},       {10, 0, 10, 10, 0xFFFF},
      {0xFFFFFFFF, 0, 1, 2, 0xFFFF},  // no overflow
      {7, 0, 0, 0, 0xFFFF},          {0, 0, 0, 0, 0xFFFF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MapThroughCalibration(c.value, c.min, c.centre, c.max), c.mapped)
        << c.value << " in " << c.min << ".." << c.centre << ".." << c.max;
  }
}

TEST(TestViewValues, MarkerCellsBarsAndHats) {
  const std::pair<uint32_t, int> markers[] = {{0, 7},     {1, 7},      {1771, 7},   {1772, 8},
                                              {3541, 8},  {3542, 7},   {5313, 7},   {0x8000, 25},
                                              {65527, 7}, {65528, 44}, {0xFFFF, 44}};
  for (auto [mapped, offset] : markers) EXPECT_EQ(TestMarkerOffset(mapped), offset) << mapped;
  const std::pair<uint32_t, int> bars[] = {{0, 0},    {3276, 0},   {3277, 4},  {6552, 0},
                                           {6553, 8}, {65519, 76}, {65520, 0}, {0xFFFF, 0}};
  for (auto [value, length] : bars) EXPECT_EQ(TestBarLength(value), length) << value;
  const std::pair<uint32_t, std::optional<int>> hats[] = {{0, 227},
                                                          {4500, 229},
                                                          {9000, 228},
                                                          {13500, 232},
                                                          {18000, 231},
                                                          {22500, 233},
                                                          {27000, 234},
                                                          {31500, 230},
                                                          {0xFFFF, 226},
                                                          {4499, std::nullopt},
                                                          {4501, std::nullopt},
                                                          {36000, std::nullopt},
                                                          {0xFFFE, std::nullopt}};
  for (auto [pov, picture] : hats) EXPECT_EQ(TestHatPicture(pov), picture) << pov;
}

TEST(TestViewValues, DirectionsAgainstTheCentre) {
  constexpr uint32_t c = kJoyCentre;
  const struct {
    uint32_t x, y;
    int row;
  } cases[] = {{c, c, 0},         {c, 0, 1},         {c, 65535, 2},
               {0, c, 3},         {65535, c, 4},     {c + 1, c - 1, 5},
               {c + 1, c + 1, 6}, {c - 1, c + 1, 7}, {c - 1, c - 1, 8}};
  for (const auto& d : cases) EXPECT_EQ(DirectionRow(d.x, d.y), d.row) << d.x << "," << d.y;
}

TEST(TestViewValues, ReleasedButtonsNeverKeepTheirPressedPicture) {
  for (const layout::TestPadLayout* pad : {&layout::kTestPad10Large, &layout::kTestPad10Small,
                                           &layout::kTestPad12Large, &layout::kTestPad12Small}) {
    for (const layout::ButtonOverlay& row : pad->buttons) {
      EXPECT_NE(ReleasedPicture(*pad, row), row.pressed) << pad->picture << " " << row.mask;
    }
  }
  EXPECT_EQ(ReleasedPicture(layout::kTestPad10Large, layout::kTestPad10Large.buttons[4]), 324);
  EXPECT_EQ(ReleasedPicture(layout::kTestPad12Large, layout::kTestPad12Large.buttons[7]), 429);
  EXPECT_EQ(ReleasedPicture(layout::kTestPad12Large, layout::kTestPad12Large.buttons[0]), 422);
}

TEST(PageLabels, AFormatTakesOneNumberAndNothingElse) {
  const std::pair<const char*, const char*> cases[] = {
      {"Joystick %d", "Joystick 7"},
      {"%u answer", "7 answer"},
      {"%d of %d", "7 of %d"},
      {"100%% %i", "100% 7"},
      {"%s %d %x", "%s 7 %x"},
      {"none", "none"},
      {"end %", "end %"},
  };
  for (auto [format, shown] : cases) EXPECT_EQ(FormatWithNumber(format, 7), shown) << format;
}

// The template's placeholders, as a page of the usual size places them.
TestPageLayout PageLayout(int areaWidth, int areaHeight) {
  TestPageLayout layout;
  layout.pictureArea = PageRect{9, 112, 9 + areaWidth, 112 + areaHeight};
  layout.xyCaption = PageRect{18, 244, 78, 259};
  layout.zCaption = PageRect{96, 244, 126, 259};
  layout.rCaption = PageRect{138, 244, 168, 259};
  layout.hatCaption = PageRect{186, 244, 246, 259};
  layout.buttonsCaption = PageRect{18, 270, 288, 285};
  return layout;
}

class TestViewTest : public PageTest {
 protected:
  TestViewTest() {
    controls.SetRepaint([this] { page.OnPaint(); });
  }
  void Open(uint32_t id, int areaWidth = 402, int areaHeight = 281) {
    state.currentId = static_cast<uint8_t>(id);
    page.OnInitDialog(PageLayout(areaWidth, areaHeight));
    page.OnSetActive();
    page.OnPaint();
  }
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      if (timers.Running()) page.OnTimer(kPageTimerId);
    }
  }
  std::vector<std::string> TickLines() {
    Take();
    Tick();
    return Take();
  }
  static std::string Picture(int id, const layout::Rect& r) {
    return "picture " + std::to_string(id) + " " + std::to_string(r.left) + "," +
           std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom);
  }

  TestView page{TestViewPorts{canvas, controls, prompts, timers, spy, strings}, state};
};

TEST_F(TestViewTest, TheLayoutFollowsThePictureArea) {
  const struct {
    int width, height;
    bool large;
    Point origin;
  } cases[] = {
      {402, 281, true, {9 + 11, 112 + 8}},   {381, 266, true, {9, 112}},
      {380, 300, false, {9 + 37, 112 + 46}}, {400, 265, false, {9 + 47, 112 + 29}},
      {305, 207, false, {9, 112}},
  };
  ConfigurePad(1, 12);
  for (const auto& c : cases) {
    Open(1, c.width, c.height);
    EXPECT_EQ(page.LargeLayout(), c.large) << c.width << "x" << c.height;
    EXPECT_EQ(page.PictureOrigin().x, c.origin.x) << c.width << "x" << c.height;
    EXPECT_EQ(page.PictureOrigin().y, c.origin.y) << c.width << "x" << c.height;
    const std::string picture = c.large ? "picture 400 0,0,379,264" : "picture 450 0,0,304,206";
    EXPECT_TRUE(Has(Take(), picture)) << c.width << "x" << c.height;
    page.OnKillActive();
  }
}

// One button of each model and layout: lit while held, released after.
struct OverlayCase {
  uint8_t model;
  bool large;
  uint32_t mask;
  int pressed;
  int released;
  layout::Rect rect;
};

TEST_F(TestViewTest, APressedButtonLightsItsOverlayAndGoesOutOnRelease) {
  const OverlayCase cases[] = {
      {10, true, 0x1, 310, 320, {251, 167, 283, 198}},
      {10, true, 0x10, 314, 324, {268, 116, 289, 141}},
      {10, true, 0x80, 317, 327, {271, 54, 341, 104}},
      {10, false, 0x200, 369, 379, {151, 115, 172, 134}},
      {12, true, 0x20, 415, 427, {248, 42, 276, 68}},
      {12, true, 0x800, 421, 433, {279, 40, 314, 74}},
      {12, false, 0x1, 460, 472, {180, 82, 199, 100}},
      {12, false, 0x400, 470, 482, {52, 29, 84, 59}},
  };
  for (const OverlayCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.model) + (c.large ? " large " : " small ") +
                 std::to_string(c.mask));
    ConfigurePad(1, c.model);
    Open(1, c.large ? 402 : 330, c.large ? 281 : 240);
    Tick();  // the first tick after a paint shows the d-pad at rest
    Reading(1).dwButtons = c.mask;
    auto lines = TickLines();
    EXPECT_EQ(lines, std::vector<std::string>{Picture(c.pressed, c.rect)});
    Reading(1).dwButtons = 0;
    lines = TickLines();
    EXPECT_EQ(lines, std::vector<std::string>{Picture(c.released, c.rect)});
    EXPECT_TRUE(TickLines().empty()) << "nothing changes, nothing is drawn";
    page.OnKillActive();
  }
}

TEST_F(TestViewTest, TheDpadAtRestShowsOnlyTheNeutralPicture) {
  ConfigurePad(1, 10);
  Open(1);
  const auto& pad = layout::kTestPad10Large;
  EXPECT_EQ(TickLines(), std::vector<std::string>{Picture(301, pad.overlays[0])});
  Reading(1).dwXpos = 65535;
  Reading(1).dwYpos = 0;
  EXPECT_EQ(TickLines(), (std::vector<std::string>{Picture(301, pad.overlays[0]),
                                                   Picture(306, pad.overlays[5])}));
  Reading(1).dwXpos = kJoyCentre;
  Reading(1).dwYpos = kJoyCentre;
  EXPECT_EQ(TickLines(), std::vector<std::string>{Picture(301, pad.overlays[0])});
}

TEST_F(TestViewTest, ARepaintShowsTheButtonsStillHeld) {
  ConfigurePad(1, 12);
  Open(1);
  Reading(1).dwButtons = 0x2;
  Tick();
  page.OnPaint();
  const auto lines = TickLines();
  EXPECT_TRUE(Has(lines, Picture(411, layout::kTestPad12Large.overlays[10])));
}

TEST_F(TestViewTest, TheGenericViewShowsCellsAndIndicators) {
  Configure(1, kJoyHwsHasZ | kJoyHwsHasR | kJoyHwsHasPov, 3);
  Open(1);
  auto lines = Take();
  for (const char* line :
       {"masked 212 213 30,65", "show 1086", "show 1089", "hide 1094", "string 1088 9",
        "string 1089 10", "masked 222 223 18,295", "number 27,320 \"1\"", "masked 222 223 58,295",
        "number 107,320 \"3\"", "show 1090", "bitmap 221 18,184", "bitmap 225 39,205", "show 1091",
        "bitmap 220 96,154", "show 1092", "bitmap 220 138,154", "show 1093", "hat 226"}) {
    EXPECT_TRUE(Has(lines, line)) << line;
  }
  EXPECT_EQ(Count(lines, "number "), 3u);
  Tick();
  Reading(1).dwButtons = 0x2;
  EXPECT_EQ(TickLines(), std::vector<std::string>{"masked 224 223 58,295"});
  Reading(1).dwButtons = 0;
  EXPECT_EQ(TickLines(), std::vector<std::string>{"masked 222 223 58,295"});
  Reading(1).dwZpos = 10000;  // cell 3
  Reading(1).dwRpos = 65519;  // cell 19
  EXPECT_EQ(TickLines(),
            (std::vector<std::string>{"bitmap 220 96,154", "bar 98,168,110,232 0xff0000",
                                      "bitmap 220 138,154", "bar 140,232,152,232 0xff0000"}));
  Reading(1).dwPOV = 4500;
  EXPECT_EQ(TickLines(), std::vector<std::string>{"hat 229"});
  Reading(1).dwPOV = 4499;
  EXPECT_TRUE(TickLines().empty()) << "an unknown hat reading leaves the picture";
}

TEST_F(TestViewTest, ButtonCellsAreSpacedByLayoutAndBounded) {
  Configure(1, 0, 1000000);
  Open(1, 330, 240);
  auto lines = Take();
  EXPECT_EQ(Count(lines, "number "), 32u);
  EXPECT_TRUE(Has(lines, "masked 222 223 48,295")) << "30 pixels apart in the small layout";
  EXPECT_TRUE(Has(lines, "number 957,320 \"32\""));
  Reading(1).dwButtons = 0x80000000u;
  EXPECT_TRUE(Has(TickLines(), "masked 224 223 948,295"));
}

TEST_F(TestViewTest, TheMarkerFollowsTheCalibratedPosition) {
  JoystickRecord& record = Configure(1, 0, 2, "Custom", kJoyCentre);
  record.config.hwv.jrvHardware.jpMin = JoyPos{0, 0, 0, 0, 0, 0};
  record.config.hwv.jrvHardware.jpCenter = JoyPos{0x8000, 0x8000, 0, 0, 0, 0};
  record.config.hwv.jrvHardware.jpMax = JoyPos{0xFFFF, 0xFFFF, 0, 0, 0, 0};
  Open(1);
  Tick();
  Reading(1).dwXpos = 1771 * 3;  // on a cell boundary: offset 7
  Reading(1).dwYpos = 1771 * 3 + 1;
  EXPECT_EQ(TickLines(), (std::vector<std::string>{"bitmap 221 18,184", "bitmap 225 21,190"}));
  spy.refused.insert(0x1FF);
  Reading(1).dwXpos = 60000;
  EXPECT_TRUE(TickLines().empty()) << "without a raw reading the marker stays";
  spy.refused.clear();
  Reading(1).dwXpos = 60001;
  EXPECT_EQ(TickLines(), (std::vector<std::string>{"bitmap 221 18,184", "bitmap 225 54,190"}));
}

TEST_F(TestViewTest, SteppingDecidesTheViewForEachJoystick) {
  ConfigurePad(1, 12);
  Configure(2, 0, 4);
  ConfigurePad(3, 0);  // a pad whose model is unknown
  ConfigurePad(4, 10);
  Open(1);
  EXPECT_EQ(page.PadModel(), 12);
  EXPECT_TRUE(controls.IsEnabled(kTestFollowing));
  EXPECT_FALSE(controls.IsEnabled(kTestPrevious));
  page.OnFollowingJoystick();
  auto lines = Take();
  EXPECT_EQ(page.PadModel(), 0);
  EXPECT_TRUE(Has(lines, "repaint"));
  EXPECT_TRUE(Has(lines, "masked 212 213 30,65"));
  EXPECT_TRUE(Has(lines, "hide 1094"));
  EXPECT_TRUE(Has(lines, "default 1081"));
  EXPECT_TRUE(Has(lines, "plain 1080"));
  EXPECT_TRUE(Has(lines, "timer start"));
  page.OnFollowingJoystick();
  EXPECT_EQ(page.PadModel(), 0);
  EXPECT_TRUE(Has(Take(), "text 1085 \"Vornatek GamePad\""));
  page.OnFollowingJoystick();
  lines = Take();
  EXPECT_EQ(page.PadModel(), 10);
  EXPECT_TRUE(Has(lines, "picture 300 0,0,379,264"));
  EXPECT_TRUE(Has(lines, "disable 1081"));
  EXPECT_TRUE(Has(lines, "default 1080"));
  page.OnFollowingJoystick();
  EXPECT_EQ(state.currentId, 4);
  EXPECT_TRUE(Take().empty());
}

TEST_F(TestViewTest, APollingFailureAsksRetryOrCancel) {
  ConfigurePad(1, 12);
  Open(1);
  Tick();
  spy.refused.insert(kJoyReturnAll);
  prompts.QueueAnswer(kIdRetry);
  EXPECT_EQ(TickLines(), (std::vector<std::string>{"timer stop", "message 12", "timer start"}));
  EXPECT_EQ(TickLines(), (std::vector<std::string>{"timer stop", "message 12"}));
  EXPECT_FALSE(timers.Running());
  spy.refused.clear();
  page.OnKillActive();
  page.OnSetActive();
  EXPECT_TRUE(timers.Running());
}

TEST_F(TestViewTest, WithoutAJoystickNothingIsPolled) {
  Configure(3, 0, 4);
  spy.requests.clear();
  Open(kNoJoystick);
  const auto lines = Take();
  EXPECT_FALSE(timers.Running());
  EXPECT_TRUE(spy.requests.empty());
  EXPECT_TRUE(Has(lines, "text 1083 \"\""));
  EXPECT_TRUE(Has(lines, "enable 1080")) << "the joystick below can be chosen";
  EXPECT_TRUE(Has(lines, "disable 1081"));
  page.OnPreviousJoystick();
  EXPECT_EQ(state.currentId, 3);
  EXPECT_TRUE(timers.Running());
  page.OnKillActive();
  EXPECT_TRUE(Has(Take(), "show 1087"));
}

}  // namespace
}  // namespace kl::test
