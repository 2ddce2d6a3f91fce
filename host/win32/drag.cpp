// The pointer's part of a move that follows it (host/drag.cpp has the rules): the window
// holds the mouse, and stands where the pointer holds it.
#include "host/win32/native.h"

namespace host {

bool GrabPointer(Form& form) {
  Form::Native& native = HostAccess::NativeOf(form);
  HWND window = native.Hwnd();
  POINT pointer;
  RECT rect;
  if (window == nullptr || !::GetCursorPos(&pointer) || !::GetWindowRect(window, &rect)) {
    return false;
  }
  native.grab = {pointer.x - rect.left, pointer.y - rect.top};
  // The release must come here wherever the pointer is then.
  ::SetCapture(window);
  return true;
}

void MoveToPointer(Form& form) {
  Form::Native& native = HostAccess::NativeOf(form);
  POINT pointer;
  if (native.Hwnd() == nullptr || !::GetCursorPos(&pointer)) return;
  ::SetWindowPos(native.Hwnd(), nullptr, pointer.x - native.grab.x, pointer.y - native.grab.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace host
