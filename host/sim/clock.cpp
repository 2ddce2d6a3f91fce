// The virtual clock and its events: the forms' timers, actions scheduled by tests, event
// processing, waiting, and the clock as the program reads it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>

#include "host/platform.h"
#include "host/sim/internal.h"

namespace sim {
namespace detail {
namespace {

constexpr double kNoon = 43200.0;
constexpr double kDay = 86400.0;

// A timer ticks at exactly start + k * period for k = 1, 2, ...: no drift however late the
// ticks are handled.
struct Armed {
  host::Timer* timer = nullptr;
  const host::Form* form = nullptr;
  unsigned intervalMs = 0;
  double start = 0;
  std::uint64_t k = 1;
  std::uint64_t order = 0;
  double Due() const { return start + static_cast<double>(k) * (intervalMs / 1000.0); }
};

struct Action {
  double due = 0;
  std::uint64_t order = 0;
  std::function<void()> run;
};

struct Clock {
  double now = kNoon;
  double stepPerRead = 0;
  std::map<const host::Timer*, Armed> timers;
  std::vector<Action> actions;
  std::uint64_t nextOrder = 0;
  int doEventsCalls = 0;
  int waitCalls = 0;
};

Clock& clk() {
  static Clock c;
  return c;
}

// The next event in time order (ties: the one scheduled first).
struct Next {
  double due = std::numeric_limits<double>::infinity();
  std::uint64_t order = 0;
  const host::Timer* timer = nullptr;  // null: actions[action]
  std::size_t action = 0;
  bool found = false;
};

Next FindNext() {
  Next next;
  auto better = [&](double due, std::uint64_t order) {
    return !next.found || due < next.due || (due == next.due && order < next.order);
  };
  for (const auto& [timer, armed] : clk().timers) {
    if (better(armed.Due(), armed.order)) {
      next = Next{armed.Due(), armed.order, timer, 0, true};
    }
  }
  for (std::size_t i = 0; i < clk().actions.size(); ++i) {
    const Action& a = clk().actions[i];
    if (better(a.due, a.order)) next = Next{a.due, a.order, nullptr, i, true};
  }
  return next;
}

void Fire(const Next& next) {
  if (next.timer == nullptr) {
    std::function<void()> run = std::move(clk().actions[next.action].run);
    clk().actions.erase(clk().actions.begin() + static_cast<std::ptrdiff_t>(next.action));
    if (run) run();
    return;
  }
  Armed& armed = clk().timers.at(next.timer);
  // The next tick is scheduled before the handler runs, so a handler that serves events
  // sees its own timer tick again, as Windows delivers it. Ticks missed while the clock
  // jumped are coalesced into this one, as WM_TIMER is.
  std::uint64_t k = armed.k + 1;
  double behind = std::floor((clk().now - armed.start) / (armed.intervalMs / 1000.0));
  if (behind >= static_cast<double>(k)) k = static_cast<std::uint64_t>(behind);
  armed.k = k;
  while (armed.Due() <= clk().now) ++armed.k;
  host::HostAccess::TimerTicked(*armed.timer);
}

// Fires everything due at the current time, in time order, then returns.
void ProcessDue() {
  for (;;) {
    Next next = FindNext();
    if (!next.found || next.due > clk().now) return;
    Fire(next);
  }
}

}  // namespace

void DisarmForm(const host::Form& form) {
  std::erase_if(clk().timers, [&](const auto& entry) { return entry.second.form == &form; });
}

void AdvanceClockTo(double seconds) {
  if (seconds > clk().now) clk().now = seconds;
}

void ResetClock() {
  clk() = Clock();
}

}  // namespace detail

using detail::clk;

void SetClock(double secondsSinceMidnight) {
  clk().now = secondsSinceMidnight;
}
double Now() {
  return clk().now;
}

void RunFor(double seconds) {
  double end = clk().now + seconds;
  for (;;) {
    detail::Next next = detail::FindNext();
    if (!next.found || next.due > end) break;
    detail::AdvanceClockTo(next.due);
    detail::ProcessDue();
  }
  detail::AdvanceClockTo(end);
}

void At(double delay, std::function<void()> action) {
  clk().actions.push_back(detail::Action{clk().now + delay, clk().nextOrder++, std::move(action)});
}

int DoEventsCalls() {
  return clk().doEventsCalls;
}
bool Armed(const host::Timer& timer) {
  return clk().timers.count(&timer) > 0;
}
int WaitCalls() {
  return clk().waitCalls;
}
void SetClockStepPerRead(double seconds) {
  clk().stepPerRead = seconds;
}

}  // namespace sim

namespace host {

using sim::detail::clk;

void ArmTimer(Timer& timer) {
  sim::detail::Armed armed;
  armed.timer = &timer;
  armed.form = &timer.Owner();
  armed.intervalMs = timer.Interval();
  armed.start = clk().now;
  armed.order = clk().nextOrder++;
  clk().timers[&timer] = armed;
}

void DisarmTimer(Timer& timer) {
  clk().timers.erase(&timer);
}

void DoEvents() {
  ++clk().doEventsCalls;
  sim::detail::ProcessDue();
}

void WaitForEvents(double seconds) {
  ++clk().waitCalls;
  double until = clk().now + (seconds > 0 ? seconds : 0.0);
  sim::detail::Next next = sim::detail::FindNext();
  if (next.found && next.due < until) until = next.due;
  sim::detail::AdvanceClockTo(until);
}

float SecondsSinceMidnight() {
  clk().now += clk().stepPerRead;
  return static_cast<float>(std::fmod(clk().now, sim::detail::kDay));
}

Text TimeOfDayText() {
  auto seconds = static_cast<long>(std::fmod(std::floor(clk().now), sim::detail::kDay));
  long hour = seconds / 3600;
  long minute = seconds / 60 % 60;
  long second = seconds % 60;
  long hour12 = hour % 12 == 0 ? 12 : hour % 12;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld %s", hour12, minute, second,
                hour < 12 ? "AM" : "PM");
  return FromUtf8(buf);
}

}  // namespace host
