// Moving a form with the right or middle button: the window holds the mouse and follows the
// pointer until that button comes up. The system's move loop cannot do it: it waits for a
// left release whatever button began it.
#include "host/win32/native.h"

namespace host {
namespace win32 {
namespace {

void EndDrag(Form::Native& native) {
  if (native.drag.button == 0) return;
  native.drag.button = 0;
  if (native.Hwnd() != nullptr && ::GetCapture() == native.Hwnd()) ::ReleaseCapture();
}

}  // namespace

bool DragPointerMoved(Form::Native& native) {
  if (native.drag.button == 0) return false;
  POINT pointer;
  if (!::GetCursorPos(&pointer)) return true;
  // The window now stands where the pointer says; positions read back from it as pixels.
  native.top.reset();
  native.left.reset();
  ::SetWindowPos(native.Hwnd(), nullptr, pointer.x - native.drag.grab.x,
                 pointer.y - native.drag.grab.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void DragButton(Form::Native& native, int button, bool down) {
  // Its own button's release ends the move where the window is; another press ends it too,
  // before that press is handled.
  if (native.drag.button != 0 && (down || button == native.drag.button)) {
    DragPointerMoved(native);
    EndDrag(native);
  }
}

void DragCaptureLost(Form::Native& native) {
  native.drag.button = 0;
}

}  // namespace win32

void FollowPointer(Form& form, int button) {
  Form::Native& native = HostAccess::NativeOf(form);
  HWND window = native.Hwnd();
  POINT pointer;
  RECT rect;
  if (window == nullptr || ::IsIconic(window) || !::GetCursorPos(&pointer) ||
      !::GetWindowRect(window, &rect)) {
    return;
  }
  native.drag.button = button;
  native.drag.grab = {pointer.x - rect.left, pointer.y - rect.top};
  // The release must come here wherever the pointer is then.
  ::SetCapture(window);
}

}  // namespace host
