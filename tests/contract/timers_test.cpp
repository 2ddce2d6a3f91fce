// Timers and the clock: when a timer ticks, and the time of day as the program reads it.
#include <cmath>
#include <cstdio>
#include <string>

#include "tests/contract/driver.h"

namespace {

using Timers = contract::HostContract;

TEST_F(Timers, TickOnlyWhileLoadedEnabledAndWithAnInterval) {
  contract::RecordingForm form;
  int on = 0, zero = 0, off = 0;
  form.AddTimer("Timer1", 50, true).Tick = [&] { ++on; };
  form.AddTimer("Timer3", 0, true).Tick = [&] { ++zero; };
  host::Timer& later = form.AddTimer("Timer2", 50, false);
  later.Tick = [&] { ++off; };
  host::Timer& first = *form.Timers()[0];

  contract::Pump(0.2);
  EXPECT_EQ(on, 0) << "a form that is not loaded runs no timers";
  // Read before Show, which starts the timer: a slow Show leaves a tick due before Pump begins.
  float shownAt = host::SecondsSinceMidnight();
  form.Show();
  // Served until the ticks come, not for a set time: a starved process gets its missed ticks
  // as one, and a count after a set time would hold fewer.
  auto pumpUntil = [](const int& count, int wanted) {
    for (int step = 0; step < 200 && count < wanted; ++step) contract::Pump(0.05);
  };
  pumpUntil(on, 12);
  // Ticks 50 ms apart: no more than the time since the timer started allows (a timer at half
  // its interval fails it by far, however long the machine made the wait).
  float served = host::SecondsSinceMidnight() - shownAt;
  if (served < 0) served += 86400.0f;  // across midnight
  EXPECT_GE(on, 12) << "in " << served << " s";
  EXPECT_LE(on, served / 0.05f + 1) << served << " s served";
  EXPECT_EQ(zero, 0);
  EXPECT_EQ(off, 0);

  first.SetEnabled(false);
  int stoppedAt = on;
  later.SetEnabled(true);
  form.Hide();  // a hidden form keeps its timers
  pumpUntil(off, 3);
  EXPECT_GE(off, 3);
  EXPECT_EQ(on, stoppedAt);
}

// "h:mm:ss AM" as seconds since midnight, or -1 when the text is not in that form.
double Parse(const host::Text& text) {
  std::string s = host::ToUtf8(text);
  int h = 0, m = 0, sec = 0;
  char half[3] = {};
  if (std::sscanf(s.c_str(), "%d:%2d:%2d %2s", &h, &m, &sec, half) != 4) return -1;
  if (h < 1 || h > 12 || m > 59 || sec > 59) return -1;
  std::string ampm(half);
  if (ampm != "AM" && ampm != "PM") return -1;
  return (h % 12 + (ampm == "PM" ? 12 : 0)) * 3600.0 + m * 60 + sec;
}

TEST_F(Timers, TheTimeOfDayTextIsTheClockInTwelveHourForm) {
  float before = host::SecondsSinceMidnight();
  double shown = Parse(host::TimeOfDayText());
  float after = host::SecondsSinceMidnight();
  ASSERT_GE(shown, 0) << host::ToUtf8(host::TimeOfDayText());
  EXPECT_GE(before, 0.0f);
  EXPECT_LT(after, 86400.0f);
  if (after >= before) {  // not across midnight
    // A float near the day's end steps by 1/128 s: a clock read 4 ms before a whole second
    // may come back as that second, while the text still shows the one before.
    EXPECT_GE(shown, std::floor(before - 1.0f / 128));
    EXPECT_LE(shown, after);
  }
}

}  // namespace
