// Serving the message queue: pending events, the main loop and ending the process.
#include <windows.h>

#include "host/win32/native.h"

namespace host {

void DoEvents() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit request for the main loop that is meant to see it.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (win32::DialogKey(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void EndProgram() {
  ::ExitProcess(0);
}

int ServeEvents() {
  MSG msg;
  for (;;) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return -1;
    if (win32::DialogKey(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace host
