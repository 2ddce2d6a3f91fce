// What a screen reader or script is told of the windows: each part's name, role, value and
// place, and that its default action is the click on its spot, through the same handler.
#include <vector>

#include "app_fixture.h"
#include "host/accessibility.h"
#include "hotspots.h"
#include "rows.h"

namespace {

using host::AccessRole;
using Access = AppTest;

struct Expected {
  host::Text name;
  AccessRole role;
  host::Text value;
  host::TwipsRect rect;
};

void ExpectParts(const host::AccessDescription& access, const std::vector<Expected>& want) {
  ASSERT_EQ(access.Parts().size(), want.size());
  int i = 0;
  for (const Expected& e : want) {
    const host::AccessPart& part = access.Parts()[i];
    SCOPED_TRACE(host::ToUtf8(e.name));
    EXPECT_EQ(part.Name(), e.name);
    EXPECT_EQ(part.role, e.role);
    EXPECT_EQ(part.Value(), e.value);
    host::TwipsRect r = access.Rect(i++);
    EXPECT_EQ(r.left, e.rect.left);
    EXPECT_EQ(r.top, e.rect.top);
    EXPECT_EQ(r.width, e.rect.width);
    EXPECT_EQ(r.height, e.rect.height);
  }
}

TEST_F(Access, EachWindowNamesItsSpotsAndReadOuts) {
  StartClient();
  host::Run(app::TheForm3());
  // The splash is one button: the whole window.
  ExpectParts(app::TheForm3().Accessibility(),
              {{u"Open Marigold Idle", AccessRole::PushButton, u"", {0, 0, 4995, 3450}}});
  EXPECT_TRUE(app::TheForm3().Accessibility().Children().empty());
  // The exit spot's part past the window's edge is not on screen.
  std::vector<Expected> main;
  for (const hotspots::Part& p : hotspots::Parts()) {
    main.push_back(
        {p.name, p.button ? AccessRole::PushButton : AccessRole::StaticText, p.value, p.rect});
  }
  ExpectParts(app::TheForm1().Accessibility(), main);
  EXPECT_EQ(app::TheForm1().Accessibility().Children().size(), 8u);
  // The reason strip's box has no caption to be read by; its button's caption speaks.
  app::Form2& strip = app::TheForm2();
  EXPECT_EQ(strip.Accessibility().ControlName(strip.Text1), u"Reason for idling");
  EXPECT_EQ(strip.Accessibility().ControlName(strip.Command1), u"");
}

// A part's place is its label cut to the window (1500 x 900 twips here); a label wholly off it
// gives an empty place.
struct PlaceCase {
  const char* name;
  host::TwipsRect label, place;
};
const PlaceCase kPlaceRows[] = {
    {"inside_from_the_corner", {0, 0, 300, 200}, {0, 0, 300, 200}},
    {"across_the_right_edge", {1400, 100, 300, 200}, {1400, 100, 100, 200}},
    {"across_the_top_left_corner", {-100, -50, 300, 200}, {0, 0, 200, 150}},
    {"wholly_left", {-500, 100, 200, 200}, {0, 0, 0, 0}},
    {"wholly_above", {100, -400, 200, 200}, {0, 0, 0, 0}},
    {"wholly_below", {0, 1440, 1095, 255}, {0, 0, 0, 0}},
};
using APartsPlace = Rows<Access, PlaceCase>;

TEST_P(APartsPlace, IsItsLabelCutToTheWindow) {
  const PlaceCase& c = GetParam();
  host::Form form("Form9");
  form.SetClientArea({0, 0, 1500, 900});
  host::Label& label = form.AddLabel("Label1", c.label, 0);
  form.Accessibility().Add({u"Spot", AccessRole::PushButton, {&label}, {}});
  host::TwipsRect r = form.Accessibility().Rect(0);
  EXPECT_EQ((std::vector<float>{r.left, r.top, r.width, r.height}),
            (std::vector<float>{c.place.left, c.place.top, c.place.width, c.place.height}));
}
INSTANTIATE_TEST_SUITE_P(Access, APartsPlace, ::testing::ValuesIn(kPlaceRows), RowName());

// What a hit test finds: the part whose label takes the press there, the splash's own part
// anywhere on it, nothing off the window.
struct HitCase {
  const char* name;
  bool splash;
  float x, y;
  int part;
};
const HitCase kHitRows[] = {
    {"splash_corner", true, 0, 0, 0},
    {"splash_far_corner", true, 4994, 3449, 0},
    {"splash_right_of_it", true, 4995, 10, -1},
    {"splash_below_it", true, 10, 3450, -1},
    {"splash_left_of_it", true, -1, 10, -1},
    {"splash_above_it", true, 10, -1, -1},
    {"start", false, 240, 420, 0},
    {"the_title_strip", false, 300, 150, -1},
    {"the_indicator_word_on", false, 615, 615, 7},
    {"exit_at_the_edge", false, 1769, 100, 4},
    {"exit_past_the_edge", false, 1770, 100, -1},
};
using AHitTest = Rows<Access, HitCase>;

TEST_P(AHitTest, FindsThePartAClickThereWouldPress) {
  const HitCase& c = GetParam();
  host::Form& form = c.splash ? static_cast<host::Form&>(app::TheForm3()) : app::TheForm1();
  EXPECT_EQ(form.Accessibility().PartAt(c.x, c.y), c.part);
}
INSTANTIATE_TEST_SUITE_P(Access, AHitTest, ::testing::ValuesIn(kHitRows), RowName());

TEST_F(Access, DefaultActionsDoWhatAClickDoes) {
  StartClient();
  host::Run(app::TheForm3());
  host::AccessDescription& splash = app::TheForm3().Accessibility();
  ASSERT_TRUE(splash.DoDefaultAction(0));
  EXPECT_FALSE(app::TheForm3().Visible());
  app::Form1& form = app::TheForm1();
  ASSERT_TRUE(form.Visible());
  EXPECT_EQ(Posted().size(), 2u);

  host::AccessDescription& access = form.Accessibility();
  access.TakeChanges();
  enum { kStart, kStop, kReason, kMinimise, kExit, kMinutes, kMessages, kIdling };
  // Without a reason, Start is refused with the box.
  ASSERT_TRUE(access.DoDefaultAction(kStart));
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].prompt, u"You Need To Enter a Reason for Idling");
  EXPECT_TRUE(access.TakeChanges().empty());
  // Read-outs have no action.
  EXPECT_FALSE(access.DoDefaultAction(kMinutes));
  EXPECT_FALSE(access.DoDefaultAction(kIdling));

  // The reason spot opens the reason window; "ok" there changes the reason's value.
  ASSERT_TRUE(access.DoDefaultAction(kReason));
  EXPECT_TRUE(app::TheForm2().Visible());
  sim::Type(app::TheForm2().Text1, u"Gone fishing");
  sim::Click(app::TheForm2().Command1);
  EXPECT_EQ(access.Parts()[kReason].Value(), u"Gone fishing");
  auto changes = access.TakeChanges();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].part, kReason);
  EXPECT_TRUE(changes[0].value);
  EXPECT_FALSE(changes[0].name);

  // With a reason, Start starts idling: the indicator's value changes, then the counter's.
  ASSERT_TRUE(access.DoDefaultAction(kStart));
  EXPECT_TRUE(form.Timer1.Enabled());
  EXPECT_EQ(access.Parts()[kIdling].Value(), u"on");
  changes = access.TakeChanges();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].part, kIdling);
  sim::RunFor(60);
  changes = access.TakeChanges();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].part, kMinutes);
  EXPECT_EQ(access.Parts()[kMinutes].Value(), u"1");

  ASSERT_TRUE(access.DoDefaultAction(kStop));
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_EQ(access.Parts()[kIdling].Value(), u"off");
  ASSERT_TRUE(access.DoDefaultAction(kMinimise));
  EXPECT_EQ(form.State(), host::WindowState::Minimized);
  // A minimised or hidden window takes no action, as it takes no click.
  EXPECT_FALSE(access.DoDefaultAction(kExit));
  form.SetState(host::WindowState::Normal);
  form.Hide();
  EXPECT_FALSE(access.DoDefaultAction(kExit));
  form.Show();
  EXPECT_THROW(access.DoDefaultAction(kExit), sim::ProgramEnded);
}

}  // namespace
