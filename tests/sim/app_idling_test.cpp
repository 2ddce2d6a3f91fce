// Idling and its reason: the refusal, the start and stop spots, the minute banner, and the
// reason window, all on the virtual clock.
#include "app_fixture.h"
#include "host/text.h"
#include "rows.h"

namespace {

class Idling : public AppTest {
 protected:
  app::Form1& Main() {
    StartClient(u"Nick1");
    app::Form1& form = StartToMainWindow();
    loadLines_ = Posted().size();
    return form;
  }
  // Opens the reason window, types the reason and presses "ok".
  void GiveReason(const host::Text& reason) {
    sim::Click(app::TheForm1().Label1);
    sim::Type(app::TheForm2().Text1, reason);
    sim::Click(app::TheForm2().Command1);
  }
  std::vector<host::Text> Banners() const {
    auto all = Posted();
    return {all.begin() + static_cast<long>(loadLines_), all.end()};
  }
  std::size_t loadLines_ = 0;
};

TEST_F(Idling, StartWithoutAReasonShowsTheBoxWithTheMainWindowHiddenAndChangesNothing) {
  app::Form1& form = Main();
  bool visibleDuringBox = true;
  sim::OnMessageBox([&](const sim::Box&) {
    visibleDuringBox = form.Visible();
    return 1;
  });
  sim::Click(form.Label2);
  ASSERT_EQ(sim::Boxes().size(), 1u);
  EXPECT_EQ(sim::Boxes()[0].prompt, u"You Need To Enter a Reason for Idling");
  EXPECT_EQ(sim::Boxes()[0].title, u"MARIGOLD IDLE");
  EXPECT_EQ(sim::Boxes()[0].style, 63);
  EXPECT_FALSE(visibleDuringBox);
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_EQ(form.Label12.Caption(), u"Label12");
  EXPECT_EQ(form.Label6.ForeColor(), app::kIndicatorOff);
  EXPECT_EQ(form.Label7.ForeColor(), app::kIndicatorOn);
  sim::RunFor(300);
  EXPECT_TRUE(Banners().empty());
}

struct ReasonCase {
  const char* name;
  host::Text reason;
  bool starts;
};
const ReasonCase kReasonRows[] = {{"lower_case_click_me", u"click me", true},
                                  {"click_me_with_a_trailing_blank", u"Click Me ", true},
                                  {"empty_reason", u"", true},
                                  {"initial_text", u"Enter Reason Why You are Idling", true},
                                  {"exactly_click_me", u"Click Me", false}};
using AnyReasonButExactlyClickMeStartsIdling = Rows<Idling, ReasonCase>;

TEST_P(AnyReasonButExactlyClickMeStartsIdling, EachRow) {
  const ReasonCase& c = GetParam();
  app::Form1& form = Main();
  GiveReason(c.reason);
  EXPECT_EQ(form.Label1.Caption(), c.reason);
  sim::Click(form.Label2);
  EXPECT_EQ(form.Timer1.Enabled(), c.starts) << host::ToUtf8(c.reason);
  EXPECT_EQ(sim::Boxes().size(), c.starts ? 0u : 1u);
}
INSTANTIATE_TEST_SUITE_P(Idling, AnyReasonButExactlyClickMeStartsIdling,
                         ::testing::ValuesIn(kReasonRows), RowName());

TEST_F(Idling, OkWithoutEditingGivesTheInitialTextAsTheReason) {
  app::Form1& form = Main();
  sim::Click(form.Label1);
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(app::TheForm2().Visible());
  sim::Click(app::TheForm2().Command1);
  EXPECT_EQ(form.Label1.Caption(), u"Enter Reason Why You are Idling");
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(app::TheForm2().Visible());
}

TEST_F(Idling, BannersComeEveryMinuteWithTheCountAndTheStartTime) {
  app::Form1& form = Main();
  GiveReason(u"brb");
  sim::SetClock(14 * 3600 + 15 * 60 + 7);  // 2:15:07 PM
  sim::Click(form.Label2);
  EXPECT_EQ(form.Label12.Caption(), u"2:15:07 PM");
  EXPECT_EQ(form.Label6.ForeColor(), app::kIndicatorOn);
  EXPECT_EQ(form.Label7.ForeColor(), app::kIndicatorOff);
  sim::RunFor(59.9);
  EXPECT_TRUE(Banners().empty());
  sim::RunFor(0.1);
  ASSERT_EQ(Banners().size(), 1u);
  EXPECT_EQ(Banners()[0], banners::Idle(u"Nick1", u"1", u"2:15:07 PM"));
  sim::RunFor(120);
  ASSERT_EQ(Banners().size(), 3u);
  EXPECT_EQ(Banners()[2], banners::Idle(u"Nick1", u"3", u"2:15:07 PM"));
  EXPECT_EQ(form.Label8.Caption(), u"3");
}

TEST_F(Idling, FortyEightHoursOfTicksKeepExactCountsWithoutDrift) {
  app::Form1& form = Main();
  GiveReason(u"sleeping");
  double start = sim::Now();
  sim::Click(form.Label2);
  sim::RunFor(48 * 3600);
  auto banners = Banners();
  ASSERT_EQ(banners.size(), 2880u);
  const host::Text since = form.Label12.Caption();
  for (std::size_t i = 0; i < banners.size(); i += 97) {
    EXPECT_EQ(banners[i], banners::Idle(u"Nick1", host::CounterText(double(i + 1)), since));
  }
  EXPECT_EQ(banners.back(), banners::Idle(u"Nick1", u"2880", since));
  EXPECT_DOUBLE_EQ(sim::Now(), start + 48 * 3600);
}

TEST_F(Idling, StopThenStartCountsFromOneWithTheNewStartTime) {
  app::Form1& form = Main();
  GiveReason(u"brb");
  sim::Click(form.Label2);
  sim::RunFor(180);
  sim::Click(form.Label3);
  EXPECT_EQ(form.Label8.Caption(), u"0");
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_EQ(form.Label6.ForeColor(), app::kIndicatorOff);
  EXPECT_EQ(form.Label7.ForeColor(), app::kIndicatorOn);
  sim::RunFor(600);
  EXPECT_EQ(Banners().size(), 3u);
  sim::Click(form.Label2);
  host::Text second = form.Label12.Caption();
  sim::RunFor(60);
  ASSERT_EQ(Banners().size(), 4u);
  EXPECT_EQ(Banners()[3], banners::Idle(u"Nick1", u"1", second));
}

TEST_F(Idling, StartingTwiceKeepsCountingWithTheSecondStartTime) {
  app::Form1& form = Main();
  GiveReason(u"brb");
  sim::Click(form.Label2);
  sim::RunFor(90);
  sim::Click(form.Label2);
  host::Text second = form.Label12.Caption();
  sim::RunFor(30);  // the period keeps its cadence: the next tick is 60 s after the first
  ASSERT_EQ(Banners().size(), 2u);
  EXPECT_EQ(Banners()[1], banners::Idle(u"Nick1", u"2", second));
}

TEST_F(Idling, StopWhileNotIdlingChangesNothingVisible) {
  app::Form1& form = Main();
  sim::Click(form.Label3);
  EXPECT_EQ(form.Label8.Caption(), u"0");
  EXPECT_EQ(form.Label6.ForeColor(), app::kIndicatorOff);
  EXPECT_EQ(form.Label7.ForeColor(), app::kIndicatorOn);
  EXPECT_FALSE(form.Timer1.Enabled());
}

TEST_F(Idling, WithoutAWelcomeWindowTheNameIsEmpty) {
  client_ = sim::StartChatClient();
  room_ = sim::AddChatRoom(client_);
  app::Form1& form = StartToMainWindow();
  loadLines_ = Posted().size();
  GiveReason(u"brb");
  sim::Click(form.Label2);
  sim::RunFor(60);
  ASSERT_EQ(Banners().size(), 1u);
  EXPECT_EQ(Banners()[0], banners::Idle(u"", u"1", form.Label12.Caption()));
}

TEST_F(Idling, TicksGoOnBehindTheReasonWindowAndTheMessageBox) {
  app::Form1& form = Main();
  GiveReason(u"brb");
  sim::Click(form.Label2);
  sim::Click(form.Label1);  // the reason window opens, the main window hides
  sim::RunFor(120);
  EXPECT_EQ(Banners().size(), 2u);
  sim::Type(app::TheForm2().Text1, u"Click Me");
  sim::Click(app::TheForm2().Command1);
  // The box stays up for three minutes; the ticks go on meanwhile.
  sim::OnMessageBox([](const sim::Box&) {
    sim::RunFor(180);
    return 1;
  });
  sim::Click(form.Label2);
  EXPECT_EQ(Banners().size(), 5u);
  EXPECT_EQ(form.Label8.Caption(), u"5");
  EXPECT_TRUE(form.Visible());
}

TEST_F(Idling, TheReasonWindowKeepsItsTextBetweenOpenings) {
  app::Form1& form = Main();
  GiveReason(u"gone fishing");
  sim::Click(form.Label1);
  EXPECT_EQ(app::TheForm2().Text1.GetText(), u"gone fishing");
  sim::Click(app::TheForm2().Command1);
  EXPECT_EQ(form.Label1.Caption(), u"gone fishing");
}

TEST_F(Idling, ANoChatRoomTickStillCounts) {
  client_ = sim::StartChatClient();
  app::Form1& form = StartToMainWindow();
  GiveReason(u"brb");
  sim::Click(form.Label2);
  sim::RunFor(120);
  EXPECT_EQ(form.Label8.Caption(), u"2");
}

}  // namespace

namespace {

// Timer3 never ticks in the shipped program; its handler still does what it was kept for.
TEST_F(Idling, TheMessageCounterTimerNeverTicks) {
  app::Form1& form = Main();
  EXPECT_EQ(form.Timer3.Interval(), 0u);
  EXPECT_TRUE(form.Timer3.Enabled());  // enabled: its interval alone keeps it still
  sim::RunFor(3600);
  EXPECT_EQ(form.Label9.Caption(), u"0");
}

struct MessageCase {
  const char* name;
  host::Text caption;
  host::Text label9;
  bool throws;
};
const MessageCase kMessageRows[] = {
    {"sender_one", u"Instant Message: 1", u"2", false},
    {"sender_two", u"Instant Message: 2", u"0", false},
    {"sender_not_a_number", u"Instant Message: Pal", u"0", true},
    {"blanks_around_the_number", u"Instant Message:  1  ", u"2", false},
    {"a_plus_sign_and_a_point", u"Instant Message: +1.0", u"2", false},
    {"minus_one", u"Instant Message: -1", u"0", false},
    {"letters_after_the_number", u"Instant Message: 1 x", u"0", true},
    {"no_sender", u"Instant Message: ", u"0", true}};
using TheMessageCounterHandlerCountsASenderOfOneAndRejectsOtherText = Rows<Idling, MessageCase>;

TEST_P(TheMessageCounterHandlerCountsASenderOfOneAndRejectsOtherText, EachRow) {
  const MessageCase& c = GetParam();
  app::Form1& again = Main();
  sim::AddChild(client_, c.caption);
  if (c.throws) {
    EXPECT_THROW(again.Timer3.Tick(), std::invalid_argument);
  } else {
    again.Timer3.Tick();  // the handler as the timer calls it
  }
  EXPECT_EQ(again.Label9.Caption(), c.label9) << host::ToUtf8(c.caption);
}
INSTANTIATE_TEST_SUITE_P(Idling, TheMessageCounterHandlerCountsASenderOfOneAndRejectsOtherText,
                         ::testing::ValuesIn(kMessageRows), RowName());

}  // namespace
