// Forms as windows: loading and showing, geometry in twips that reads back as set, window
// state, and the mouse presses routed to labels or to the form.
#include "host/accessibility.h"
#include "tests/contract/driver.h"

namespace {

using Forms = contract::HostContract;

TEST_F(Forms, ShowLoadsOnceBeforeTheWindowAppears) {
  contract::RecordingForm form;
  EXPECT_EQ(form.Handle(), 0u);
  EXPECT_FALSE(form.Visible());
  form.Show();
  EXPECT_EQ(form.loads, 1);
  EXPECT_FALSE(form.visibleDuringLoad);
  EXPECT_NE(form.handleDuringLoad, 0u);
  EXPECT_EQ(form.handleDuringLoad, form.Handle());
  EXPECT_TRUE(form.Visible());
  form.Hide();
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(form.Loaded());
  form.Show();
  EXPECT_EQ(form.loads, 1);
  EXPECT_TRUE(form.Clickable());
}

TEST_F(Forms, PositionsInTwipsReadBackAsSet) {
  contract::RecordingForm form({4995, 4110, 1770, 900});
  EXPECT_EQ(form.Top(), 4110.0f);  // before loading, the design area
  EXPECT_EQ(form.Left(), 4995.0f);
  form.Show();
  EXPECT_EQ(form.Top(), 4110.0f);
  EXPECT_EQ(form.Left(), 4995.0f);
  EXPECT_EQ(form.Width(), 1770.0f);
  EXPECT_EQ(form.Height(), 900.0f);
  const float cases[][2] = {{-1890, 4995}, {2100, 3502.5f},  {-1770, -300},     {0, 0},
                            {-5000, 100},  {4110.5f, 14.9f}, {-1890.5f, -20000}};
  for (const auto& [top, left] : cases) {
    form.SetTop(top);
    form.SetLeft(left);
    EXPECT_EQ(form.Top(), top);
    EXPECT_EQ(form.Left(), left);
    EXPECT_EQ(form.Width(), 1770.0f);
  }
}

TEST_F(Forms, MinimisingKeepsTheWindowAndItsPlace) {
  contract::RecordingForm form;
  form.Show();
  form.SetTop(-1470);
  form.SetState(host::WindowState::Minimized);
  EXPECT_EQ(form.State(), host::WindowState::Minimized);
  EXPECT_FALSE(form.Clickable());
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(form.Top(), -1470.0f);
  EXPECT_EQ(form.Width(), 1770.0f);
  form.SetState(host::WindowState::Normal);
  EXPECT_EQ(form.State(), host::WindowState::Normal);
  EXPECT_EQ(form.Top(), -1470.0f);
  EXPECT_EQ(form.loads, 1);
}

TEST_F(Forms, MousePressesGoToLabelsOrTheForm) {
  contract::RecordingForm form;
  int clicks = 0;
  form.AddLabel("Label2", {120, 360, 255, 135}, 0).Click = [&] { ++clicks; };  // 8,24 - 25,33
  form.Show();
  struct Row {
    int button;
    float x, y;       // pressed here
    float upX, upY;   // released here
    int labelClicks;  // after the row
    int formDowns;
    int formClicks;
  };
  const Row rows[] = {
      {1, 150, 390, 150, 390, 1, 0, 0},  // a left click on the label is its click
      {2, 150, 390, 150, 390, 1, 0, 0},  // only the left button clicks a label
      {1, 150, 390, 900, 600, 1, 0, 0},  // pressed on the label, released elsewhere
      {1, 750, 75, 750, 75, 1, 1, 1},    // on the form: its MouseDown, then its Click
      {2, 900, 600, 900, 600, 1, 2, 1},  // only the left button clicks the form
      {4, 900, 600, 900, 600, 1, 3, 1},
      {1, 750, 75, 150, 390, 1, 4, 1},  // pressed on the form, released on the label
  };
  for (const Row& r : rows) {
    contract::Press(form, r.button, r.x, r.y);
    contract::Release(form, r.button, r.upX, r.upY);
    EXPECT_EQ(clicks, r.labelClicks) << r.button << " at " << r.x << "," << r.y;
    EXPECT_EQ(form.downs.size(), static_cast<std::size_t>(r.formDowns));
    EXPECT_EQ(form.clicks, r.formClicks);
  }
  // Nor is a release with no press before it: the press went to another window.
  contract::Release(form, 1, 900, 600);
  EXPECT_EQ(form.clicks, 1);
  // A left release after another button's press on the form is no click either.
  contract::Press(form, 2, 900, 600);
  contract::Release(form, 1, 900, 600);
  EXPECT_EQ(form.clicks, 1);
  std::vector<int> buttons;
  for (const auto& down : form.downs) buttons.push_back(down.button);
  EXPECT_EQ(buttons, (std::vector<int>{1, 2, 4, 1, 2}));
}

// A screen reader hears of a change to any part, the first one too.
TEST_F(Forms, EachPartReportsItsOwnChanges) {
  contract::RecordingForm form;
  host::Label& label = form.AddLabel("Label1", {0, 0, 255, 135}, 0);
  host::AccessDescription& access = form.Accessibility();
  access.Add({u"", host::AccessRole::StaticText, {&label}, [&] { return label.Caption(); }});
  label.SetToolTip(u"Count");
  label.SetCaption(u"1");
  const std::vector<host::AccessChange> changes = access.TakeChanges();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].part, 0);
  EXPECT_TRUE(changes[0].name && changes[0].value);
  EXPECT_TRUE(access.TakeChanges().empty());
}

}  // namespace
