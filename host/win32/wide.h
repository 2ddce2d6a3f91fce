// The program's text in the wide ("W") functions of Windows: both are UTF-16, so the one
// conversion is a cast; and the one way to read a window's text back.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "host/text.h"

namespace host::win32 {

inline const wchar_t* Wide(const Text& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The whole text of a window (a caption, an edit's content), however long.
inline Text WindowText(HWND window) {
  int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
  int got = ::GetWindowTextW(window, text.data(), length + 1);
  return Text(reinterpret_cast<const char16_t*>(text.data()),
              static_cast<std::size_t>(std::max(got, 0)));
}

}  // namespace host::win32
