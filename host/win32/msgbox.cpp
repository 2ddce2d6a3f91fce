// The modal message box. The program's timers and windows are served by its modal loop.
#include <windows.h>

#include "host/runtime.h"

namespace host {

int MsgBox(const Text& prompt, int style, const Text& title) {
  UINT flags = static_cast<UINT>(style);
  // Button bits that name no button set (0x0F in the program's style 63) are refused by
  // Windows and give nine buttons in Wine: such a box gets a single OK, its icon kept.
  if ((flags & MB_TYPEMASK) > MB_CANCELTRYCONTINUE) flags &= ~static_cast<UINT>(MB_TYPEMASK);
  return ::MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(prompt.c_str()),
                       reinterpret_cast<const wchar_t*>(title.c_str()),
                       flags | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace host
