// Puts the whole simulated desktop back to its starting state between tests.
#include "host/sim/internal.h"

namespace sim {

void Reset() {
  detail::ResetClock();
  detail::ResetForms();
  detail::ResetDesktop();
  detail::ResetSession();
}

}  // namespace sim
