// The host contract tests (tests/contract) on the simulated desktop: virtual time, input
// delivered straight to the form.
#include "host/sim/sim.h"
#include "tests/contract/driver.h"

namespace contract {

void Pump(double seconds) {
  sim::RunFor(seconds);
}
void Press(host::Form& form, int button, float x, float y) {
  sim::Press(form, x, y, button);
}
void Release(host::Form& form, int button, float x, float y) {
  sim::Release(form, x, y, button);
}
host::Hwnd MakeWindow(host::Hwnd parent, const char* cls, const std::string& caption) {
  host::Hwnd window = sim::CreateWindow(parent, cls);
  sim::SetCaptionBytes(window, caption);
  return window;
}
void Reset() {
  sim::Reset();
}

}  // namespace contract
