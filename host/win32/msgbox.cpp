// The modal message box. The program's timers and windows are served by its modal loop.
#include <windows.h>

#include "host/win32/native.h"

namespace host {

int MsgBox(const Text& prompt, int style, const Text& title) {
  UINT flags = static_cast<UINT>(style);
  // Button bits that name no button set (0x0F in the program's style 63) are refused by
  // Windows and give nine buttons in Wine: such a box gets a single OK, its icon kept.
  if ((flags & MB_TYPEMASK) > MB_CANCELTRYCONTINUE) flags &= ~static_cast<UINT>(MB_TYPEMASK);
  // Owned by the form the user was on (it keeps the activation while hidden for the box): when
  // the box goes, the system gives the activation back to that form rather than to whatever
  // window lies next, another program's perhaps, and the keys come back to the program.
  HWND active = ::GetActiveWindow();
  HWND owner = win32::FormNative(active) != nullptr ? active : nullptr;
  return ::MessageBoxW(owner, win32::Wide(prompt), win32::Wide(title),
                       flags | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace host
