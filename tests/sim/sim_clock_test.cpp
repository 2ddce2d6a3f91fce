// The simulated runtime's virtual clock: timer ticks without drift, re-arming, scheduled
// actions, event processing and waiting, and the clock as the program reads it. Which timers
// tick at all is the host contract's (tests/contract).
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/runtime.h"
#include "host/sim/sim.h"

namespace {

// A form whose timers log "<name>@<clock>" at each tick.
class Clocked : public host::Form {
 public:
  Clocked() : host::Form("Clocked") { SetClientArea({0, 0, 1500, 900}); }
  host::Timer& Add(const std::string& name, unsigned ms, bool enabled = true) {
    host::Timer& t = AddTimer(name, ms, enabled);
    t.Tick = [this, name] { log.push_back(name + "@" + std::to_string(sim::Now())); };
    return t;
  }
  std::vector<std::string> log;
};

std::string At(const std::string& name, double when) {
  return name + "@" + std::to_string(when);
}

class Clock : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  void TearDown() override { sim::Reset(); }
};

TEST_F(Clock, ATimerTicksOnExactMultiplesOfItsInterval) {
  Clocked form;
  form.Add("T", 60000);
  form.Show();
  sim::RunFor(3600);
  ASSERT_EQ(form.log.size(), 60u);
  EXPECT_EQ(form.log.front(), At("T", 43260));
  EXPECT_EQ(form.log.back(), At("T", 46800));
  EXPECT_EQ(sim::Now(), 46800);
}

TEST_F(Clock, DisablingStopsAndReEnablingRestartsTheSchedule) {
  Clocked form;
  host::Timer& t = form.Add("T", 1000);
  form.Show();
  sim::RunFor(1.5);
  t.SetEnabled(true);  // already running: keeps its period
  sim::RunFor(1);
  t.SetEnabled(false);
  sim::RunFor(3);
  t.SetEnabled(true);
  sim::RunFor(1.2);
  t.SetInterval(500);  // a new interval restarts the period
  sim::RunFor(0.6);
  EXPECT_EQ(form.log, (std::vector<std::string>{At("T", 43201), At("T", 43202), At("T", 43206.5),
                                                At("T", 43207.2)}));
}

TEST_F(Clock, TicksAndActionsFireInTimeOrderOnlyWhenDue) {
  Clocked form;
  form.Add("A", 1000);
  form.Add("B", 1500);
  form.Show();
  sim::At(1.0, [&] { form.log.push_back("action"); });
  sim::SetClock(43201.0);
  host::DoEvents();
  EXPECT_EQ(form.log, (std::vector<std::string>{At("A", 43201), "action"}));
  host::DoEvents();  // nothing more is due
  EXPECT_EQ(form.log.size(), 2u);
  sim::SetClock(43203.0);  // A missed a tick: one coalesced tick, then on schedule
  host::DoEvents();
  EXPECT_EQ(form.log,
            (std::vector<std::string>{At("A", 43201), "action", At("B", 43203), At("A", 43203)}));
  sim::RunFor(1.0);
  EXPECT_EQ(form.log.back(), At("A", 43204));
  EXPECT_EQ(sim::DoEventsCalls(), 3);
}

TEST_F(Clock, WaitingStopsAtTheNextEventAndFiresNothing) {
  Clocked form;
  form.Add("T", 2000);
  form.Show();
  host::WaitForEvents(10);
  EXPECT_EQ(sim::Now(), 43202);
  EXPECT_TRUE(form.log.empty());
  host::WaitForEvents(1);  // the tick is pending: no time passes
  EXPECT_EQ(sim::Now(), 43202);
  host::DoEvents();
  host::WaitForEvents(0.5);
  EXPECT_EQ(sim::Now(), 43202.5);
  EXPECT_EQ(form.log.size(), 1u);
  EXPECT_EQ(sim::WaitCalls(), 3);
}

TEST_F(Clock, AnErrorEndsOnlyThatTickButTheEndOfTheProgramGoesThrough) {
  Clocked form;
  host::Timer& t = form.Add("T", 1000);
  int ticks = 0;
  t.Tick = [&] {
    ++ticks;
    if (ticks == 1) throw std::runtime_error("handler fails");
    if (ticks == 3) host::EndProgram();
  };
  form.Show();
  EXPECT_THROW(sim::RunFor(10), sim::ProgramEnded);
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(sim::Now(), 43203);
}

TEST_F(Clock, ADestroyedFormsTimersAreGone) {
  {
    Clocked form;
    form.Add("T", 1000);
    form.Show();
    sim::RunFor(1);
  }
  sim::RunFor(5);  // would tick into a destroyed form
  EXPECT_EQ(sim::Now(), 43206);
}

TEST_F(Clock, TheProgramReadsTheClockModuloADay) {
  sim::SetClock(86400 * 2 + 5.25);
  EXPECT_EQ(host::SecondsSinceMidnight(), 5.25f);
  sim::SetClockStepPerRead(0.5);
  EXPECT_EQ(host::SecondsSinceMidnight(), 5.75f);
  EXPECT_EQ(host::SecondsSinceMidnight(), 6.25f);
  sim::SetClock(86399.75);
  EXPECT_EQ(host::SecondsSinceMidnight(), 0.25f);
}

TEST_F(Clock, TimeOfDayTextIsATwelveHourClockWithSeconds) {
  const std::pair<double, host::Text> cases[] = {
      {43200, u"12:00:00 PM"}, {51307.9, u"2:15:07 PM"},   {5, u"12:00:05 AM"},
      {3600, u"1:00:00 AM"},   {86399.99, u"11:59:59 PM"}, {86400 + 46800, u"1:00:00 PM"},
      {43199, u"11:59:59 AM"},
  };
  for (const auto& [clock, text] : cases) {
    sim::SetClock(clock);
    EXPECT_EQ(host::TimeOfDayText(), text) << clock;
  }
}

}  // namespace
