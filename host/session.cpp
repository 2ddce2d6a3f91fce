// One program per Windows session: a second start hands over to the running copy, or waits
// for one that is saying goodbye, so the user never has two panels posting into one room.
#include "host/platform.h"

namespace host {

int Run(Form& first) {
  switch (ClaimSession()) {
    case SessionClaim::OtherRunning:
      // What the user asked for is already there: show it, and nothing of this start's own.
      BringRunningCopyForward();
      return 0;
    case SessionClaim::OtherLeaving:
      // That one is going; the user, who asked for the program, gets this one once it has.
      WaitForLeavingCopy();
      break;
    case SessionClaim::Alone:
      break;
  }
  first.Show();
  return ServeEvents();
}

}  // namespace host
