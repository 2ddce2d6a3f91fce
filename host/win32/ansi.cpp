// Text to and from the system's ANSI code page (CP_ACP), the code page of the ANSI
// window functions the program calls.
#include <windows.h>

#include "host/text.h"
#include "host/win32/support.h"

namespace host {

std::string ToAnsi(const Text& text) {
  if (text.empty()) return std::string();
  const wchar_t* wide = win32::Wide(text);
  int length = static_cast<int>(text.size());
  int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide, length, out.data(), bytes, nullptr, nullptr);
  return out;
}

Text FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return Text();
  // Explicit lengths on both sides, so embedded NULs come through as U+0000.
  int length = static_cast<int>(bytes.size());
  int chars = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (chars <= 0) return Text();
  Text out(static_cast<std::size_t>(chars), u'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(out.data()),
                        chars);
  return out;
}

}  // namespace host
