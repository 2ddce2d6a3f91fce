// Where a form's window stands and moving it, in pixels (host/geometry.cpp has the twips),
// and the screen's size and resolution.
#include "host/win32/native.h"

namespace host {
namespace {

// The window's rectangle on screen; for a minimised window, the place it restores to.
RECT OuterRect(HWND window) {
  RECT rect = {};
  if (::IsIconic(window)) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (::GetWindowPlacement(window, &placement)) return placement.rcNormalPosition;
  }
  ::GetWindowRect(window, &rect);
  return rect;
}

}  // namespace

PixelRect WindowPixels(const Form& form) {
  HWND window = HostAccess::NativeOf(form).Hwnd();
  if (window == nullptr) {
    const TwipsRect& design = form.DesignArea();
    return WindowPixelsAt(design.left, design.top, design, TwipsPerPixelX(), TwipsPerPixelY());
  }
  RECT r = OuterRect(window);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void PlaceWindow(Form& form, float left, float top) {
  HWND window = HostAccess::NativeOf(form).Hwnd();
  if (window == nullptr) return;
  int x = ToPixels(left, TwipsPerPixelX());
  int y = ToPixels(top, TwipsPerPixelY());
  if (::IsIconic(window)) {
    // Moving a minimised window would move its icon; move the place it restores to.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!::GetWindowPlacement(window, &placement)) return;
    RECT& normal = placement.rcNormalPosition;
    ::OffsetRect(&normal, x - normal.left, y - normal.top);
    ::SetWindowPlacement(window, &placement);
    return;
  }
  ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

float TwipsPerPixelX() {
  return kTwipsPerInch / static_cast<float>(win32::ScreenDpi(LOGPIXELSX));
}
float TwipsPerPixelY() {
  return kTwipsPerInch / static_cast<float>(win32::ScreenDpi(LOGPIXELSY));
}

float ScreenWidth() {
  return static_cast<float>(::GetSystemMetrics(SM_CXSCREEN)) * TwipsPerPixelX();
}
float ScreenHeight() {
  return static_cast<float>(::GetSystemMetrics(SM_CYSCREEN)) * TwipsPerPixelY();
}

namespace win32 {

int ScreenDpi(int index) {
  WindowDc screen(nullptr);
  int dpi = screen.get() != nullptr ? ::GetDeviceCaps(screen.get(), index) : 0;
  return dpi > 0 ? dpi : 96;
}

RECT ToPixelRect(const TwipsRect& rect) {
  float tppX = TwipsPerPixelX();
  float tppY = TwipsPerPixelY();
  return RECT{ToPixels(rect.left, tppX), ToPixels(rect.top, tppY),
              ToPixels(rect.left + rect.width, tppX), ToPixels(rect.top + rect.height, tppY)};
}

}  // namespace win32
}  // namespace host
