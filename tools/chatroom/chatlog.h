// The log of posts that the tests read: one line per post, written and closed at once so that
// a killed client loses nothing.
#pragma once

#include <string>
#include <string_view>

namespace chatroom {

// Appends "hex<TAB>room<TAB>text\n": hex is the post's ANSI bytes in lower-case hex, room the
// number of the room it went to, text the post as UTF-8 with backslash and control characters
// escaped (\\, \xNN). Returns false when the file could not be written.
bool AppendPost(const std::wstring& path, std::string_view ansi, int room, std::wstring_view text);

// The text field of a log line (exposed for the log's own checks).
std::string EscapeForLog(std::wstring_view text);

}  // namespace chatroom
