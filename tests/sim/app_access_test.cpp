// What a screen reader or script is told of the windows: each part's name, role, value and
// place, and that its default action is the click on its spot, through the same handler.
#include "app_fixture.h"
#include "host/accessibility.h"
#include "hotspots.h"

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
