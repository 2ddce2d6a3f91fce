// Window effects of the main window: pin on top, drag with the mouse (host::DragWindow) and
// slide the window up off the screen.
#include <algorithm>
#include <cmath>

#include "hook32/hook32.h"

namespace Hook32 {
namespace {

constexpr float kSlideStep = 300.0f;          // twips per move (20 pixels)
constexpr double kSecondsPerPass = 1.0 / 60;  // about one move per displayed frame

}  // namespace

void PinOnTop(host::Form& form) {
  host::SetWindowPos(form.Handle(), host::kHwndTopmost, 0, 0, 0, 0,
                     host::kSwpNoSize | host::kSwpNoMove);
}

void BeginWindowDrag(host::Form& form, int button) {
  host::DragWindow(form, button);
}

void SlideWindowUp(host::Form& form) {
  // A host that keeps windows on screen never lets the top pass minus the width; stop after
  // the moves the start position calls for, with two to spare.
  double span = static_cast<double>(form.Top()) + form.Width();
  long passes = std::max(1L, static_cast<long>(std::ceil(span / kSlideStep)) + 2);
  for (long pass = 1;; ++pass) {
    host::DoEvents();
    float passStart = host::SecondsSinceMidnight();
    float next = static_cast<float>(std::floor(static_cast<double>(form.Top())) - kSlideStep);
    form.SetTop(next);
    float top = form.Top();
    float width = form.Width();
    if (top < -width || pass >= passes) return;
    // Each move stays on screen for a frame.
    ServeEventsUntil(passStart, kSecondsPerPass);
  }
}

}  // namespace Hook32
