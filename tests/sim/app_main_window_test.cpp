// The main window: what it posts when it loads, its hot spots, dragging and minimising.
#include <algorithm>
#include <tuple>

#include "app_fixture.h"
#include "host/accessibility.h"
#include "host/platform.h"
#include "host/text.h"
#include "rows.h"

namespace {

using MainWindow = AppTest;

TEST_F(MainWindow, LoadPostsTheTwoBannersInOrderWithTheScreenName) {
  StartClient(u"Nick1");
  StartToMainWindow();
  ASSERT_EQ(Posted().size(), 2u);
  EXPECT_EQ(Posted()[0], kLoad1);
  EXPECT_EQ(Posted()[0].size(), 35u);
  EXPECT_EQ(Posted()[1], banners::LoadedBy(u"Nick1"));
  // The chat client receives the Windows-1252 bytes: bullet 0x95, ordinal 0xBA.
  EXPECT_EQ(sim::PostedLines(room_)[0].substr(0, 4), std::string("\x95\x20\xBA\x95"));
}

using ScreenNames = Rows<AppTest, host::Text>;

TEST_P(ScreenNames, GoIntoTheSecondBannerUnchanged) {
  const host::Text& name = GetParam();
  client_ = sim::StartChatClient();
  if (!name.empty()) sim::AddWelcome(client_, name);
  room_ = sim::AddChatRoom(client_);
  StartToMainWindow();
  ASSERT_EQ(Posted().size(), 2u);
  // With no Welcome window the name is empty: two blanks in a row after "by".
  EXPECT_EQ(Posted()[1], banners::LoadedBy(name.substr(0, name.find(u'!')))) << host::ToUtf8(name);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, ScreenNames,
                         ::testing::Values(host::Text(u""), host::Text(u"Mr Big Shot"),
                                           host::Text(u"x%s\"'][!"), host::Text(u"a b  c")),
                         ValueName());

TEST_F(MainWindow, NothingIsPostedBeforeTheSplashIsClicked) {
  StartClient();
  host::Run(app::TheForm3());
  sim::RunFor(600);
  EXPECT_TRUE(Posted().empty());
  EXPECT_FALSE(app::TheForm1().Loaded());
}

TEST_F(MainWindow, LoadingPinsTheWindowOnTopBeforeItIsSeen) {
  StartClient();
  app::Form1& form = StartToMainWindow();
  EXPECT_TRUE(sim::IsTopmost(form.Handle()));
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(form.Left(), 4995.0f);
  EXPECT_EQ(form.Top(), 4110.0f);
  EXPECT_EQ(form.Width(), 1770.0f);
  EXPECT_EQ(form.Height(), 900.0f);
}

// At x.3 the zero-second wait returns at once; at x.7 it serves events until the next
// whole second, so the second banner comes no earlier than that.
using WaitBetweenBanners = Rows<AppTest, double>;

TEST_P(WaitBetweenBanners, ServesEventsOnlyWhenTheClockSaysSo) {
  const double start = GetParam();
  StartClient();
  sim::SetClock(start);
  int before = sim::DoEventsCalls();
  StartToMainWindow();
  ASSERT_EQ(Posted().size(), 2u);
  if (start < 43200.5) {
    EXPECT_EQ(sim::DoEventsCalls(), before);
    EXPECT_DOUBLE_EQ(sim::Now(), start);
  } else {
    EXPECT_GT(sim::DoEventsCalls(), before);
    EXPECT_GE(sim::Now(), 43201.0);
    EXPECT_LT(sim::Now(), 43201.1);
  }
}

INSTANTIATE_TEST_SUITE_P(MainWindow, WaitBetweenBanners, ::testing::Values(43200.3, 43200.7),
                         ValueName());

TEST_F(MainWindow, HidingAndShowingAgainPostsNothingAndKeepsTheLabels) {
  StartClient();
  app::Form1& form = StartToMainWindow();
  form.Label1.SetCaption(u"lunch");
  form.Hide();
  form.Show();
  form.Hide();
  form.Show();
  EXPECT_EQ(Posted().size(), 2u);
  EXPECT_EQ(form.Label1.Caption(), u"lunch");
  EXPECT_EQ(form.Label8.Caption(), u"0");
}

TEST_F(MainWindow, Label5MinimisesAndRestoringKeepsPlaceStateAndTopmost) {
  StartClient();
  app::Form1& form = StartToMainWindow();
  form.Label1.SetCaption(u"away");
  sim::Click(form.Label2);  // start idling
  sim::RunFor(120);
  sim::Click(form.Label5);
  EXPECT_EQ(form.State(), host::WindowState::Minimized);
  EXPECT_TRUE(form.Loaded());
  // Minimised, the minute timer goes on.
  sim::RunFor(60);
  EXPECT_EQ(form.Label8.Caption(), u"3");
  form.SetState(host::WindowState::Normal);
  EXPECT_EQ(form.Left(), 4995.0f);
  EXPECT_EQ(form.Top(), 4110.0f);
  EXPECT_TRUE(sim::IsTopmost(form.Handle()));
  EXPECT_EQ(form.Label6.ForeColor(), app::kIndicatorOn);
  EXPECT_EQ(Posted().size(), 5u);
}

// Where a press lands: each hot spot goes to its label, everything else drags the window;
// and the part a screen reader's hit test names there, which follows the same label.
TEST_F(MainWindow, PressesOnHotSpotsGoToTheirLabelsAndElsewhereDragTheWindow) {
  StartClient();
  app::Form1& form = StartToMainWindow();
  struct Case {
    float x, y;
    const char* label;     // null: the press drags the window
    const char16_t* part;  // null: no part, the window itself
  };
  const Case cases[] = {
      {1000, 540, "Label1", u"Enter idle reason"},
      {240, 420, "Label2", u"Start Idling"},
      {240, 720, "Label3", u"Stop Idling"},
      {1660, 120, "Label4", u"Exit"},
      {1380, 120, "Label5", u"Minimise"},
      {700, 660, "Label6", u"Idling"},
      {1000, 660, "Label7", u"Idling"},
      {1000, 605, "Label7", u"Idling"},  // where Label7 covers Label1, the later one wins
      {700, 420, "Label8", u"Idle minutes"},
      {1300, 420, "Label9", u"Messages"},
      {1780, 120, "Label4", nullptr},  // past the window's edge: nothing can be hit there
      {300, 150, nullptr, nullptr},    // title strip
      {900, 150, nullptr, nullptr},
      {1500, 150, nullptr, nullptr},
      {1600, 800, nullptr, nullptr},  // panel corners outside the labels
      {60, 850, nullptr, nullptr},
  };
  const host::AccessDescription& access = form.Accessibility();
  for (const Case& c : cases) {
    host::Label* hit = host::HostAccess::LabelAt(form, c.x, c.y);
    EXPECT_EQ(hit ? hit->Name() : std::string("(form)"), c.label ? c.label : "(form)")
        << c.x << "," << c.y;
    int part = access.PartAt(c.x, c.y);
    EXPECT_EQ(part < 0 ? u"(none)" : access.Parts()[part].Name(), c.part ? c.part : u"(none)")
        << c.x << "," << c.y;
  }
  // The exit spot reaches 45 twips past the window's right edge.
  EXPECT_EQ(form.Label4.Rect().left + form.Label4.Rect().width - form.Width(), 45.0f);
}

TEST_F(MainWindow, APressOnThePictureMovesTheWindowUntilThatButtonComesUp) {
  StartClient();
  app::Form1& form = StartToMainWindow();
  // The left button hands the move to the system's loop, which ends on a left release; the
  // others follow the pointer until their own release, since that loop would not end then.
  const auto follows = [] {
    const auto& events = sim::FormEvents();
    return std::count(events.begin(), events.end(), "Form1.follow");
  };
  for (int button : {1, 2, 4}) {
    SCOPED_TRACE(button);
    std::size_t before = sim::Messages(form.Handle()).size();
    int captures = sim::ReleaseCaptureCalls();
    EXPECT_FALSE(sim::MovePointer(form)) << "a move with no drag on is the pointer's own";
    auto followed = follows();
    sim::Press(form, 300, 150, button);
    const auto& messages = sim::Messages(form.Handle());
    if (button == 1) {
      ASSERT_EQ(messages.size(), before + 1);
      const sim::Message& m = messages.back();
      EXPECT_EQ(m.message, host::kWmSysCommand);
      EXPECT_EQ(m.wParam & 0xFFF0u, 0xF010u);  // SC_MOVE
      EXPECT_EQ(m.wParam & 0xFu, 2u);          // HTCAPTION
      EXPECT_EQ(m.lParamTarget, 0u);
      EXPECT_EQ(sim::ReleaseCaptureCalls(), captures + 1);
      EXPECT_EQ(sim::FollowingButton(form), 0);
      EXPECT_EQ(follows(), followed) << "the system's loop moves the window";
    } else {
      EXPECT_EQ(messages.size(), before) << "no system move loop";
      EXPECT_EQ(sim::FollowingButton(form), button);
      EXPECT_TRUE(sim::MovePointer(form));
      EXPECT_EQ(follows(), followed + 1);
      sim::Release(form, 900, 700, 1);
      EXPECT_EQ(sim::FollowingButton(form), button) << "another button's release";
      int other = button == 2 ? 4 : 2;
      sim::Click(form, 1380, 100, other);  // on the minimise spot: no move of its own
      EXPECT_EQ(sim::FollowingButton(form), 0) << "another press";
      EXPECT_EQ(follows(), followed + 2) << "the end of a move puts it at the pointer";
      sim::Press(form, 300, 150, button);
    }
    sim::Release(form, 300, 150, button);
    EXPECT_EQ(sim::FollowingButton(form), 0);
    EXPECT_FALSE(sim::MovePointer(form));
  }
}

TEST_F(MainWindow, APressOnALabelDoesNotMoveTheWindow) {
  StartClient();
  app::Form1& form = StartToMainWindow();
  for (host::Label* label : {&form.Label1, &form.Label3, &form.Label5, &form.Label8}) {
    form.SetState(host::WindowState::Normal);
    form.Show();
    sim::Click(*label);
  }
  for (const auto& m : sim::Messages(form.Handle())) {
    EXPECT_NE(m.message, host::kWmSysCommand);
  }
}

}  // namespace
