// The benchmark's naive wait: returns at once, so every caller spins on the message queue
// and the clock, as a program that polls would. Built into marigold_spin.exe only.
#include "host/runtime.h"

namespace host {

void WaitForEvents(double) {}

}  // namespace host
