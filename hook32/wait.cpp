// Serving the program's events for a while by the host's clock: the wait of a whole number of
// seconds, and the pause between the moves of the slide.
#include <cmath>

#include "hook32/hook32.h"

namespace Hook32 {

void ServeEventsUntil(double start, double seconds) {
  double dayOffset = 0.0;
  float last = host::SecondsSinceMidnight();
  for (;;) {
    float now = host::SecondsSinceMidnight();
    // The clock restarts at 0 at midnight: the day is carried over, so that a wait across
    // midnight lasts as long as any other.
    if (now < last - 43200.0f) dayOffset += 86400.0;
    last = now;
    double elapsed = static_cast<double>(now) + dayOffset - start;
    if (elapsed >= seconds) return;
    // Block until an event comes or the time is up, instead of spinning on the clock.
    host::WaitForEvents(seconds - elapsed);
    host::DoEvents();
  }
}

void WaitSeconds(std::int32_t seconds) {
  // From the clock rounded half to even, so the wait lasts the count give or take half a
  // second.
  ServeEventsUntil(static_cast<double>(std::lrint(host::SecondsSinceMidnight())), seconds);
}

}  // namespace Hook32
