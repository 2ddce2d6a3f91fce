// Writes the post log with the plain file API: opened for appending, written, closed per post.
#include "chatlog.h"

#include <windows.h>

#include <cstdio>

#include "winsupport/owners.h"
#include "winsupport/text.h"

namespace chatroom {

std::string EscapeForLog(std::wstring_view text) {
  std::string utf8 = winsupport::Utf8FromWide(text);
  std::string out;
  for (unsigned char c : utf8) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool AppendPost(const std::wstring& path, std::string_view ansi, int room, std::wstring_view text) {
  if (path.empty()) return true;
  std::string line;
  static const char kDigits[] = "0123456789abcdef";
  for (unsigned char c : ansi) {
    line += kDigits[c >> 4];
    line += kDigits[c & 15];
  }
  line += '\t';
  line += std::to_string(room);
  line += '\t';
  line += EscapeForLog(text);
  line += '\n';
  winsupport::UniqueHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return false;
  }
  DWORD written = 0;
  return WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
         written == line.size();
}

}  // namespace chatroom
