// Form and screen geometry in twips: the window's outer rectangle, moves, and the screen's
// size and resolution.
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

// Pixels come back as twips; a value that was set reads back exactly as it was set while
// the window still stands at the pixel it was rounded to.
float ReadBack(const std::optional<float>& set, LONG pixels, float twipsPerPixel) {
  if (set && win32::ToPixels(*set, twipsPerPixel) == pixels) return *set;
  return static_cast<float>(pixels) * twipsPerPixel;
}

void MoveTo(HWND window, int x, int y) {
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

}  // namespace

float Form::Top() const {
  HWND window = native_->Hwnd();
  if (window == nullptr) return design_.top;
  return ReadBack(native_->top, OuterRect(window).top, TwipsPerPixelY());
}

float Form::Left() const {
  HWND window = native_->Hwnd();
  if (window == nullptr) return design_.left;
  return ReadBack(native_->left, OuterRect(window).left, TwipsPerPixelX());
}

float Form::Width() const {
  HWND window = native_->Hwnd();
  if (window == nullptr) return design_.width;
  RECT rect = OuterRect(window);
  return ReadBack(design_.width, rect.right - rect.left, TwipsPerPixelX());
}

float Form::Height() const {
  HWND window = native_->Hwnd();
  if (window == nullptr) return design_.height;
  RECT rect = OuterRect(window);
  return ReadBack(design_.height, rect.bottom - rect.top, TwipsPerPixelY());
}

void Form::SetTop(float twips) {
  HWND window = native_->Hwnd();
  if (window == nullptr) {
    design_.top = twips;
    return;
  }
  native_->top = twips;
  MoveTo(window, OuterRect(window).left, win32::ToPixels(twips, TwipsPerPixelY()));
}

void Form::SetLeft(float twips) {
  HWND window = native_->Hwnd();
  if (window == nullptr) {
    design_.left = twips;
    return;
  }
  native_->left = twips;
  MoveTo(window, win32::ToPixels(twips, TwipsPerPixelX()), OuterRect(window).top);
}

namespace {

int ScreenDpi(int index) {
  win32::WindowDc screen(nullptr);
  int dpi = screen.get() != nullptr ? ::GetDeviceCaps(screen.get(), index) : 0;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

float TwipsPerPixelX() {
  return kTwipsPerInch / static_cast<float>(ScreenDpi(LOGPIXELSX));
}
float TwipsPerPixelY() {
  return kTwipsPerInch / static_cast<float>(ScreenDpi(LOGPIXELSY));
}

float ScreenWidth() {
  return static_cast<float>(::GetSystemMetrics(SM_CXSCREEN)) * TwipsPerPixelX();
}
float ScreenHeight() {
  return static_cast<float>(::GetSystemMetrics(SM_CYSCREEN)) * TwipsPerPixelY();
}

namespace win32 {

int ScreenDpiX() {
  return ScreenDpi(LOGPIXELSX);
}
int ScreenDpiY() {
  return ScreenDpi(LOGPIXELSY);
}

RECT ToPixelRect(const TwipsRect& rect) {
  return ToPixelRect(rect, TwipsPerPixelX(), TwipsPerPixelY());
}

RECT ToPixelRect(const TwipsRect& rect, float tppX, float tppY) {
  return RECT{ToPixels(rect.left, tppX), ToPixels(rect.top, tppY),
              ToPixels(rect.left + rect.width, tppX), ToPixels(rect.top + rect.height, tppY)};
}

}  // namespace win32
}  // namespace host
