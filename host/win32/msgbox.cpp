// The modal message box. The program's timers and windows are served by its modal loop.
#include <windows.h>

#include "host/runtime.h"
#include "host/win32/wide.h"

namespace host {

int MsgBox(const Text& prompt, int style, const Text& title) {
  UINT flags = static_cast<UINT>(style);
  // Button bits that name no button set (0x0F in the program's style 63) are refused by
  // Windows and give nine buttons in Wine: such a box gets a single OK, its icon kept.
  if ((flags & MB_TYPEMASK) > MB_CANCELTRYCONTINUE) flags &= ~static_cast<UINT>(MB_TYPEMASK);
  return ::MessageBoxW(nullptr, win32::Wide(prompt), win32::Wide(title),
                       flags | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace host
