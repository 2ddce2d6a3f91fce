// Start-up through the splash, its placement, and the exit sequence with its slide.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "glide32/glide32.h"
#include "hook32/hook32.h"
#include "rows.h"

namespace {

using SplashAndExit = AppTest;

struct PlacementCase {
  const char* name;
  int width, height;
  float left, top;
};
const PlacementCase kPlacementRows[] = {
    {"screen_800x600", 800, 600, 3502.5f, 2100.0f},  // not centred vertically (that would be 2775)
    {"screen_1024x768", 1024, 768, 5182.5f, 3171.0f},
    {"screen_smaller_than_the_splash", 300, 200, -247.5f, -450.0f},  // partly off screen
};
using TheSplashIsPlacedAboveTheMiddleAndNeverClamped = Rows<AppTest, PlacementCase>;

TEST_P(TheSplashIsPlacedAboveTheMiddleAndNeverClamped, EachRow) {
  const PlacementCase& c = GetParam();
  sim::SetScreenPixels(c.width, c.height);
  host::Run(app::TheForm3());
  app::Form3& splash = app::TheForm3();
  EXPECT_FLOAT_EQ(splash.Left(), c.left) << c.width << "x" << c.height;
  EXPECT_FLOAT_EQ(splash.Top(), c.top) << c.width << "x" << c.height;
  EXPECT_EQ(splash.Width(), 4995.0f);
  EXPECT_EQ(splash.Height(), 3450.0f);
  EXPECT_TRUE(splash.Visible());
  // Placed while loading, before it was first shown.
  const auto& events = sim::FormEvents();
  auto shown = std::find(events.begin(), events.end(), "Form3.show");
  ASSERT_NE(shown, events.end());
}
INSTANTIATE_TEST_SUITE_P(SplashAndExit, TheSplashIsPlacedAboveTheMiddleAndNeverClamped,
                         ::testing::ValuesIn(kPlacementRows), RowName());

// One program per session: a start beside a running copy shows and posts nothing; beside one
// that is saying goodbye, it waits for that one to end, then starts as usual.
struct SecondStartCase {
  const char* name;
  sim::OtherCopy other;
  std::vector<std::string> events;
  double waited;
};
const SecondStartCase kSecondStartRows[] = {
    {"alone", sim::OtherCopy::None, {"Form3.load", "Form3.show"}, 0},
    {"beside_a_running_copy", sim::OtherCopy::Running, {"copy.forward"}, 0},
    {"beside_a_leaving_copy",
     sim::OtherCopy::Leaving,
     {"copy.waited", "Form3.load", "Form3.show"},
     3},
};
using ASecondStartHandsOverOrWaits = Rows<AppTest, SecondStartCase>;

TEST_P(ASecondStartHandsOverOrWaits, EachRow) {
  const SecondStartCase& c = GetParam();
  StartClient();
  sim::SetDropHiddenInput(true);  // a click reaches only a splash that is there
  sim::SetOtherCopy(c.other, 3);
  double began = sim::Now();
  EXPECT_EQ(host::Run(app::TheForm3()), 0);
  EXPECT_EQ(sim::FormEvents(), c.events);
  EXPECT_EQ(sim::Now() - began, c.waited);
  sim::Click(app::TheForm3(), 1000, 1000);
  EXPECT_EQ(Posted().size(), c.other == sim::OtherCopy::Running ? 0u : 2u);
}
INSTANTIATE_TEST_SUITE_P(SplashAndExit, ASecondStartHandsOverOrWaits,
                         ::testing::ValuesIn(kSecondStartRows), RowName());

TEST_F(SplashAndExit, PlacementFailsWithoutMovingWhenTheSizeIsNotANumber) {
  sim::SetScreenPixels(800, 600, std::nanf(""));
  app::Form3& splash = app::TheForm3();
  EXPECT_THROW(Glide32::PlaceSplash(splash), std::domain_error);
  EXPECT_TRUE(sim::TopHistory(splash).empty());
}

TEST_F(SplashAndExit, TheClickHidesTheSplashForGoodBeforeTheMainWindowLoads) {
  StartClient();
  host::Run(app::TheForm3());
  sim::Click(app::TheForm3(), 100, 100);
  sim::Click(app::TheForm3(), 100, 100);  // the second click of a double click
  const auto& events = sim::FormEvents();
  auto hide = std::find(events.begin(), events.end(), "Form3.hide");
  auto load = std::find(events.begin(), events.end(), "Form1.load");
  ASSERT_NE(hide, events.end());
  ASSERT_NE(load, events.end());
  EXPECT_LT(hide, load);
  EXPECT_EQ(std::count(events.begin(), events.end(), "Form1.load"), 1);
  EXPECT_EQ(Posted().size(), 2u);
  app::Form1& form = app::TheForm1();
  sim::Click(form.Label5);
  form.SetState(host::WindowState::Normal);
  form.Hide();
  form.Show();
  EXPECT_FALSE(app::TheForm3().Visible());
  EXPECT_EQ(std::count(events.begin(), events.end(), "Form3.show"), 1);
}

struct SlideCase {
  const char* name;
  float startTop;
  std::size_t moves;
  float lastTop;
};

const SlideCase kSlideRows[] = {
    {"stored_place", 4110.0f, 20, -1890.0f},
    {"dragged_to_the_top_edge", 0.0f, 6, -1800.0f},
    {"one_more_move_at_minus_the_width", -1470.0f, 2, -2070.0f},  // -1770 equals minus the width
    {"fraction_dropped_first", 4110.75f, 20, -1890.0f},
};
using TheSlideMovesUpUntilTheTopPassesMinusTheWidth = Rows<AppTest, SlideCase>;

TEST_P(TheSlideMovesUpUntilTheTopPassesMinusTheWidth, EachRow) {
  const SlideCase& c = GetParam();
  app::Form1& form = app::TheForm1();
  form.Show();
  form.SetTop(c.startTop);
  std::size_t before = sim::TopHistory(form).size();
  Hook32::SlideWindowUp(form);
  auto tops = sim::TopHistory(form);
  ASSERT_EQ(tops.size() - before, c.moves) << c.startTop;
  EXPECT_EQ(tops.back(), c.lastTop);
  EXPECT_EQ(tops[before], std::floor(c.startTop) - 300.0f);
}
INSTANTIATE_TEST_SUITE_P(SplashAndExit, TheSlideMovesUpUntilTheTopPassesMinusTheWidth,
                         ::testing::ValuesIn(kSlideRows), RowName());

TEST_F(SplashAndExit, TheSlideIsPacedSoItCanBeSeen) {
  app::Form1& form = app::TheForm1();
  form.Show();
  double start = sim::Now();
  Hook32::SlideWindowUp(form);
  double took = sim::Now() - start;
  // Twenty moves at about one per frame: a visible fraction of a second.
  EXPECT_GT(took, 0.25);
  EXPECT_LT(took, 0.5);
}

TEST_F(SplashAndExit, TheSlideEndsOnAHostThatKeepsWindowsOnScreen) {
  sim::SetClampToScreen(true);
  app::Form1& form = app::TheForm1();
  form.Show();
  Hook32::SlideWindowUp(form);
  EXPECT_EQ(form.Top(), 0.0f);
  // The moves its place calls for ((4110 + 1770) / 300, rounded up: 20), and two to spare.
  EXPECT_EQ(sim::TopHistory(form).size(), 22u);
}

TEST_F(SplashAndExit, ExitShowsTheFarewellWithTheMainWindowHiddenThenSlidesAndEnds) {
  StartClient();
  app::Form1& form = StartToMainWindow();
  bool visibleDuringBox = true;
  bool leavingDuringBox = false;
  sim::OnMessageBox([&](const sim::Box&) {
    visibleDuringBox = form.Visible();
    // A start from now on waits for this one to end.
    const auto& events = sim::FormEvents();
    leavingDuringBox = std::find(events.begin(), events.end(), "leaving") != events.end();
    return 2;  // closed with its close control: the answer is not read
  });
  EXPECT_THROW(sim::Click(form.Label4), sim::ProgramEnded);
  ASSERT_EQ(sim::Boxes().size(), 1u);
  const sim::Box& box = sim::Boxes()[0];
  const host::Text head = u"Make sure to check my page, ";
  const host::Text tail = u", for updates and shit. Peace.";
  EXPECT_EQ(box.prompt.substr(0, head.size()), head);
  EXPECT_EQ(box.prompt.substr(box.prompt.size() - tail.size()), tail);
  EXPECT_GT(box.prompt.size(), head.size() + tail.size());
  EXPECT_EQ(box.title, u"marigold v1 idle");
  EXPECT_EQ(box.style, 63);
  EXPECT_FALSE(visibleDuringBox);
  EXPECT_TRUE(leavingDuringBox);
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(sim::TopHistory(form).size(), 20u);
  EXPECT_EQ(Posted().size(), 2u);  // the exit itself posts nothing
}

TEST_F(SplashAndExit, AMinuteTickDueWhileTheFarewellIsUpPostsItsBanner) {
  StartClient();
  app::Form1& form = StartToMainWindow();
  sim::Click(form.Label1);
  sim::Click(app::TheForm2().Command1);
  sim::Click(form.Label2);
  sim::OnMessageBox([](const sim::Box&) {
    sim::RunFor(61);
    return 1;
  });
  EXPECT_THROW(sim::Click(form.Label4), sim::ProgramEnded);
  ASSERT_EQ(Posted().size(), 3u);
  const host::Text idle = banners::Idle(u"", u"", u"");
  const host::Text idlePrefix = idle.substr(0, idle.find(u'[') + 1);
  EXPECT_EQ(Posted()[2].substr(0, idlePrefix.size()), idlePrefix);
}

TEST_F(SplashAndExit, ASecondExitClickDuringTheSequenceEndsTheProgramOnce) {
  StartClient();
  app::Form1& form = StartToMainWindow();
  int boxes = 0;
  sim::OnMessageBox([&](const sim::Box&) {
    // The second click lands while the first sequence's box is up.
    if (++boxes == 1) sim::At(0, [&] { sim::Click(form.Label4); });
    sim::RunFor(1);
    return 1;
  });
  EXPECT_THROW(sim::Click(form.Label4), sim::ProgramEnded);
  EXPECT_EQ(boxes, 2);
}

}  // namespace
