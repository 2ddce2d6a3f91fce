// The courier on the simulated desktop: every job runs at once, on the caller's thread, so
// the tests stay deterministic; a hung window costs the simulated send no time with
// kSmtoAbortIfHung, as the real courier's wait costs the user-interface thread none.
#include "host/courier.h"

#include <exception>

namespace host {

void Deliver(Job job) {
  try {
    if (job) job();
  } catch (const std::exception&) {
    // As on Windows: an error ends that job only.
  }
}

bool WaitForDeliveries(double) {
  return true;
}

}  // namespace host
