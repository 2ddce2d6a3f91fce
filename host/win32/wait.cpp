// Waiting for the next event without spending processor time: the one place the program
// blocks on its message queue (tools/bench swaps this file for a wait that never blocks).
#include <windows.h>

#include <cmath>

#include "host/runtime.h"

namespace host {

void WaitForEvents(double seconds) {
  double ms = std::ceil(seconds * 1000.0);
  if (!(ms > 0.0)) ms = 0.0;                                  // also catches NaN
  if (ms >= double(INFINITE - 1)) ms = double(INFINITE - 1);  // a long wait, but never endless
  ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(ms), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
}

}  // namespace host
