// The stand-in chat client's command line: who is signed on, which windows to show, where to
// log posts, when the rooms open, and when to end by itself. (A test makes it hang with
// kHangMessage, at the moment it chooses.)
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace chatroom {

struct Options {
  std::wstring screenName = L"Guest";
  std::wstring title;  // the frame's caption; empty: "Chatroom - " + screen name
  bool welcome = true;
  std::optional<std::wstring> welcomeRaw;  // the Welcome caption exactly as given
  int rooms = 1;
  int roomAfterMs = -1;  // -1: the rooms are there from the start
  std::vector<std::wstring> imCaptions;
  std::wstring logPath;  // empty: posts are not logged
  std::optional<int> x, y, width, height;
  int exitAfterS = -1;  // -1: runs until closed
};

// Parses the arguments after the program name. On a bad argument, returns nothing and
// fills `error` with what was wrong.
std::optional<Options> ParseOptions(const std::vector<std::wstring>& args, std::wstring& error);

// The options, one per line, for a usage box.
extern const wchar_t kUsage[];

}  // namespace chatroom
