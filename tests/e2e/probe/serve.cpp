// The one piece of the program's runtime the probe supplies itself: serving its thread's
// messages while the courier's wait runs (host/courier.h). The probe has no forms, so the plain
// loop is all there is to it; the rest of the runtime stays out of the probe.
#include <windows.h>

#include "host/runtime.h"

namespace host {

void DoEvents() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace host
