// The Windows user interface functions the program calls, in their ANSI forms.
// Implemented twice: over the real user32 (host/win32) and over a simulated desktop (host/sim).
#pragma once

#include <cstdint>

namespace host {

// A window of this or another program; 0 means that no such window exists.
using Hwnd = std::uintptr_t;

// Named with a k prefix so they never meet the macros of <windows.h>.
inline constexpr unsigned kWmSetText = 0x000C;
inline constexpr unsigned kWmChar = 0x0102;
inline constexpr unsigned kWmSysCommand = 0x0112;
inline constexpr Hwnd kHwndTopmost = static_cast<Hwnd>(-1);
inline constexpr unsigned kSwpNoSize = 0x0001;
inline constexpr unsigned kSwpNoMove = 0x0002;
inline constexpr unsigned kSmtoAbortIfHung = 0x0002;

// First top-level window of the class (name null: class alone), or 0.
Hwnd FindWindowA(const char* className, const char* windowName);
// Next direct child of parent after `after` (0: from the first) with that class, or 0.
// A parent of 0 searches the top-level windows.
Hwnd FindWindowExA(Hwnd parent, Hwnd after, const char* className, const char* windowName);
// The caption's length in ANSI bytes; 0 for no caption or a handle that is no window.
int GetWindowTextLengthA(Hwnd window);
// Copies at most count - 1 bytes of the caption and a NUL; returns the bytes copied.
int GetWindowTextA(Hwnd window, char* buffer, int count);
// Synchronous send; returns the window's answer (0 for handle 0).
std::intptr_t SendMessageA(Hwnd window, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam);
// Synchronous send that gives up after timeoutMs, or at once on a hung window when
// flags hold kSmtoAbortIfHung. True when the window processed the message.
bool SendMessageTimeoutA(Hwnd window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                         unsigned flags, unsigned timeoutMs);
bool SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int cx, int cy, unsigned flags);
bool ReleaseCapture();

}  // namespace host
