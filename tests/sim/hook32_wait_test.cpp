// Waiting a whole number of seconds by the host's clock: the rounded start mark, the
// midnight wrap, blocking rather than spinning, and events served during the wait.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "hook32_fixture.h"
#include "rows.h"

namespace {

using WaitSeconds = Hook32Test;

struct WaitCase {
  const char* name;
  double start;
  std::int32_t seconds;
  double end;  // the clock when the wait returns
};

const WaitCase kRoundedRows[] = {
    {"below_a_half_returns_at_once", 100.3, 0, 100.3},
    {"half_rounds_down_to_even", 100.5, 0, 100.5},  // to 100: returns at once
    {"above_a_half_waits_for_the_next_second", 100.7, 0, 101.0},
    {"half_rounds_up_to_even", 101.5, 0, 102.0},
    {"two_seconds_from_below_a_half", 100.3, 2, 102.0},
    {"three_seconds_from_a_whole_second", 100.0, 3, 103.0},
    {"one_second_from_above_a_half", 100.6, 1, 102.0},
    {"negative_count_returns_at_once", 100.3, -1, 100.3},
    {"most_negative_count", 100.3, std::numeric_limits<std::int32_t>::min(), 100.3},
    {"no_count_at_midnight", 0.0, 0, 0.0},
    // Across midnight a wait lasts its count, not a day; a start mark of 86,400 is never read
    // from the clock itself.
    {"rounds_up_to_midnight", 86399.7, 0, 86400.0},
    {"half_rounds_up_to_midnight", 86399.5, 0, 86400.0},
    {"rounds_down_returns_at_once", 86399.2, 0, 86399.2},
    {"one_second_ends_at_midnight", 86399.2, 1, 86400.0},
    {"one_second_past_a_rounded_midnight", 86399.7, 1, 86401.0},
    {"two_seconds_past_a_rounded_midnight", 86399.7, 2, 86402.0},
    {"five_seconds_across_midnight", 86398.0, 5, 86403.0},
};
using EndsWhenTheClockPassesTheRoundedStartPlusTheCount = Rows<WaitSeconds, WaitCase>;

TEST_P(EndsWhenTheClockPassesTheRoundedStartPlusTheCount, EachRow) {
  const WaitCase& c = GetParam();
  sim::SetClock(c.start);
  Hook32::WaitSeconds(c.seconds);
  SCOPED_TRACE(testing::Message() << "start " << c.start << ", count " << c.seconds);
  // The clock is read as a float (1/128 s near midnight): allow its resolution, no more.
  double step = std::nextafter(static_cast<float>(c.end), 1e9f) - static_cast<float>(c.end);
  EXPECT_GE(sim::Now(), c.end - std::max(1e-5, 1.5 * step));
  EXPECT_LT(sim::Now(), c.end + std::max(1e-3, 1.5 * step));
  bool waits = c.end > c.start;
  EXPECT_EQ(sim::DoEventsCalls() > 0, waits);
  EXPECT_EQ(sim::WaitCalls() > 0, waits);
  // It blocks until the time is up instead of spinning on the clock.
  EXPECT_LT(sim::WaitCalls(), 10);
  EXPECT_LT(sim::DoEventsCalls(), 10);
}
INSTANTIATE_TEST_SUITE_P(WaitSeconds, EndsWhenTheClockPassesTheRoundedStartPlusTheCount,
                         ::testing::ValuesIn(kRoundedRows), RowName());

TEST_F(WaitSeconds, EndsWithAClockThatMovesOnEveryRead) {
  // The start mark is taken from a read that already moved the clock a step: 100.55 rounds
  // to 101, and across midnight 86399.55 to 86400, the day carried over at each read after.
  for (double start : {100.3, 86399.3}) {
    SCOPED_TRACE(start);
    sim::SetClock(start);
    sim::SetClockStepPerRead(0.25);
    Hook32::WaitSeconds(2);
    EXPECT_GE(sim::Now(), std::round(start + 0.25) + 2);
    EXPECT_LT(sim::Now(), std::round(start + 0.25) + 3);
  }
}

// A form with one timer that records the clock at each tick.
class Ticker : public host::Form {
 public:
  explicit Ticker(unsigned intervalMs) : host::Form("Ticker") {
    SetClientArea({0, 0, 1500, 900});
    AddTimer("Timer1", intervalMs, true).Tick = [this] { ticks.push_back(sim::Now()); };
  }
  std::vector<double> ticks;
};

TEST_F(WaitSeconds, TimersAndScheduledEventsRunDuringTheWait) {
  sim::SetClock(100.3);
  Ticker ticker(500);
  ticker.Show();
  bool clicked = false;
  sim::At(1.0, [&] { clicked = true; });
  Hook32::WaitSeconds(2);
  EXPECT_EQ(ticker.ticks, (std::vector<double>{100.8, 101.3, 101.8}));
  EXPECT_TRUE(clicked);
  EXPECT_GE(sim::Now(), 102.0 - 1e-5);
  EXPECT_LT(sim::Now(), 102.0 + 1e-3);
}

TEST_F(WaitSeconds, AWaitNestedInATickEndsBothInOrder) {
  sim::SetClock(100.0);
  Ticker ticker(1000);
  std::vector<double> nestedEnds;
  int ticks = 0;
  ticker.Timers()[0]->Tick = [&] {
    // The first tick waits; the ticks that fall due meanwhile are served inside its wait.
    if (++ticks > 1) return;
    Hook32::WaitSeconds(3);
    nestedEnds.push_back(sim::Now());
  };
  ticker.Show();
  Hook32::WaitSeconds(2);
  // The outer wait resumes only after the tick's own wait has ended.
  ASSERT_EQ(nestedEnds.size(), 1u);
  EXPECT_NEAR(nestedEnds[0], 104.0, 1e-3);
  EXPECT_EQ(ticks, 4);  // 101 (waiting), then 102, 103 and 104 inside its wait
  EXPECT_GE(sim::Now(), nestedEnds[0]);
}

}  // namespace
