// One program per session on the simulated desktop: the other copy of the program is what a
// test says it is, and a wait for a leaving one moves the clock to its end.
#include "host/platform.h"
#include "host/sim/internal.h"

namespace sim {
namespace detail {
namespace {

struct Session {
  OtherCopy other = OtherCopy::None;
  double otherEnds = 0;
};

Session& session() {
  static Session s;
  return s;
}

}  // namespace

void ResetSession() {
  session() = Session();
}

}  // namespace detail

void SetOtherCopy(OtherCopy copy, double endsAfter) {
  detail::session() = {copy, Now() + endsAfter};
}

}  // namespace sim

namespace host {

SessionClaim ClaimSession() {
  switch (sim::detail::session().other) {
    case sim::OtherCopy::Running:
      return SessionClaim::OtherRunning;
    case sim::OtherCopy::Leaving:
      return SessionClaim::OtherLeaving;
    case sim::OtherCopy::None:
      break;
  }
  return SessionClaim::Alone;
}

void WaitForLeavingCopy() {
  sim::detail::AdvanceClockTo(sim::detail::session().otherEnds);
  sim::detail::session().other = sim::OtherCopy::None;
  sim::detail::RecordEvent("copy.waited");
}

void BringRunningCopyForward() {
  sim::detail::RecordEvent("copy.forward");
}

void ProgramLeaving() {
  sim::detail::RecordEvent("leaving");
}

}  // namespace host
