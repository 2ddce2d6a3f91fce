// The host contract tests (tests/contract) against real windows: real time, and mouse
// messages posted to the form's window at the pixel under the point.
#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/contract/driver.h"
#include "tests/win/runtime_support.h"

namespace contract {

void Pump(double seconds) {
  runtime_test::Pump(seconds);
}

namespace {

void Post(host::Form& form, int button, bool down, float x, float y) {
  // Buttons 1 (left), 2 (right) and 4 (middle): the press, the release, the key flag.
  struct Messages {
    UINT down, up;
    WPARAM key;
  };
  const Messages m = button == 1   ? Messages{WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON}
                     : button == 2 ? Messages{WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON}
                                   : Messages{WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON};
  int px = static_cast<int>(std::lround(x / host::TwipsPerPixelX()));
  int py = static_cast<int>(std::lround(y / host::TwipsPerPixelY()));
  ::PostMessageW(reinterpret_cast<HWND>(form.Handle()), down ? m.down : m.up, down ? m.key : 0,
                 MAKELPARAM(px, py));
  host::DoEvents();
}

// The top-level windows the tests made, for Reset.
std::vector<HWND>& Made() {
  static std::vector<HWND> made;
  return made;
}

}  // namespace

host::Hwnd MakeWindow(host::Hwnd parent, const char* cls, const std::string& caption) {
  WNDCLASSA registered = {};
  if (!::GetClassInfoA(::GetModuleHandleA(nullptr), cls, &registered)) {
    registered.lpfnWndProc = ::DefWindowProcA;
    registered.hInstance = ::GetModuleHandleA(nullptr);
    registered.lpszClassName = cls;
    ::RegisterClassA(&registered);
  }
  HWND window = ::CreateWindowExA(0, cls, caption.c_str(), parent != 0 ? WS_CHILD : WS_POPUP, 0, 0,
                                  10, 10, reinterpret_cast<HWND>(parent), nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
  if (parent == 0) Made().push_back(window);
  return reinterpret_cast<host::Hwnd>(window);
}

void Press(host::Form& form, int button, float x, float y) {
  Post(form, button, true, x, y);
}
void Release(host::Form& form, int button, float x, float y) {
  Post(form, button, false, x, y);
}
void Reset() {
  for (HWND window : Made()) ::DestroyWindow(window);
  Made().clear();
  host::DoEvents();
}

}  // namespace contract
