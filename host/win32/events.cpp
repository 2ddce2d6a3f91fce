// Serving the message queue: pending events, waiting for the next one, the main loop and
// ending the process.
#include <windows.h>

#include <cmath>

#include "host/runtime.h"

namespace host {

void DoEvents() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit request for the main loop that is meant to see it.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void WaitForEvents(double seconds) {
#ifdef MARIGOLD_SPIN_WAIT
  return;  // the benchmark's naive build: callers spin on the queue and the clock instead
#endif
  double ms = std::ceil(seconds * 1000.0);
  if (!(ms > 0.0)) ms = 0.0;                                  // also catches NaN
  if (ms >= double(INFINITE - 1)) ms = double(INFINITE - 1);  // a long wait, but never endless
  ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(ms), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
}

void EndProgram() {
  ::ExitProcess(0);
}

int Run(Form& first) {
  first.Show();
  MSG msg;
  for (;;) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return -1;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace host
