// Text in the wide ("W") functions of Windows: the program's text is UTF-16 as they are, so
// the one conversion is a cast; UTF-8 (logs, command lines) goes through host/text.h; and the
// one way to read a window's text back. Shared by the program, its tools and its tests.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "host/text.h"

namespace winsupport {

using host::Text;

inline const wchar_t* Wide(const Text& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::wstring WideString(const Text& text) {
  return std::wstring(text.begin(), text.end());
}

inline std::wstring WideFromUtf8(std::string_view utf8) {
  return WideString(host::FromUtf8(utf8));
}
inline std::string Utf8FromWide(std::wstring_view wide) {
  return host::ToUtf8(Text(wide.begin(), wide.end()));
}

// The whole text of a window (a caption, an edit's content), however long.
inline Text WindowText(HWND window) {
  int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
  int got = ::GetWindowTextW(window, text.data(), length + 1);
  return Text(reinterpret_cast<const char16_t*>(text.data()),
              static_cast<std::size_t>(std::max(got, 0)));
}

}  // namespace winsupport
