// Moving a form with the mouse, every rule of it: the left button hands the move to the
// system's move loop, as a caption drag would; the others follow the pointer, since that loop
// ends only on a left release. A follow ends on its own button's release or on any other press.
#include <cstdint>

#include "host/platform.h"

namespace host {

void DragWindow(Form& form, int button) {
  if (button == 1) {
    ReleaseCapture();
    // SC_MOVE (0xF010) with HTCAPTION (2) in its low bits: the move a caption drag starts.
    std::int32_t noPosition = 0;
    SendMessageA(form.Handle(), kWmSysCommand, 0xFFFFF012u,
                 reinterpret_cast<std::intptr_t>(&noPosition));
    return;
  }
  if (!form.Clickable()) return;
  if (GrabPointer(form)) form.following_ = button;
}

void Form::EndFollowing() {
  if (following_ == 0) return;
  // The window stands where the pointer let it go.
  MoveToPointer(*this);
  following_ = 0;
}

void HostAccess::CaptureLost(Form& form) {
  form.EndFollowing();
}

bool HostAccess::PointerMoved(Form& form) {
  if (form.following_ == 0) return false;
  MoveToPointer(form);
  return true;
}

}  // namespace host
