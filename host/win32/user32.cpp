// The program's user32 calls, passed straight to the real ANSI functions.
#include "host/user32.h"

#include <windows.h>

namespace host {
namespace {

HWND ToNative(Hwnd window) {
  return reinterpret_cast<HWND>(window);
}
Hwnd FromNative(HWND window) {
  return reinterpret_cast<Hwnd>(window);
}

}  // namespace

Hwnd FindWindowA(const char* className, const char* windowName) {
  return FromNative(::FindWindowA(className, windowName));
}

Hwnd FindWindowExA(Hwnd parent, Hwnd after, const char* className, const char* windowName) {
  return FromNative(::FindWindowExA(ToNative(parent), ToNative(after), className, windowName));
}

int GetWindowTextLengthA(Hwnd window) {
  if (window == 0) return 0;
  return ::GetWindowTextLengthA(ToNative(window));
}

int GetWindowTextA(Hwnd window, char* buffer, int count) {
  // Wine fills the buffer with junk for a NULL window and reports 2 bytes; there is no
  // caption to read, so nothing is written.
  if (window == 0) return 0;
  return ::GetWindowTextA(ToNative(window), buffer, count);
}

std::intptr_t SendMessageA(Hwnd window, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
  return ::SendMessageA(ToNative(window), message, static_cast<WPARAM>(wParam),
                        static_cast<LPARAM>(lParam));
}

bool SendMessageTimeoutA(Hwnd window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                         unsigned flags, unsigned timeoutMs) {
  DWORD_PTR answer = 0;
  return ::SendMessageTimeoutA(ToNative(window), message, static_cast<WPARAM>(wParam),
                               static_cast<LPARAM>(lParam), flags, timeoutMs, &answer) != 0;
}

bool SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int cx, int cy, unsigned flags) {
  return ::SetWindowPos(ToNative(window), ToNative(insertAfter), x, y, cx, cy, flags) != FALSE;
}

bool ReleaseCapture() {
  return ::ReleaseCapture() != FALSE;
}

}  // namespace host
