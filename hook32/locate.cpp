// Finding the chat client's windows and reading their captions.
#include <string>

#include "hook32/hook32.h"

namespace Hook32 {
namespace {

using host::FindWindowA;
using host::FindWindowExA;

// Walks the AOL Child windows of the client's MDI area in child order and gives the first
// that passes the test. The test also sees the 0 that ends the walk, which never passes a
// caption test and would give handle 0 from the chat-room test.
template <typename Test>
Hwnd WalkCandidates(Test&& test) {
  Hwnd frame = FindWindowA("AOL Frame25", nullptr);
  Hwnd mdi = FindWindowExA(frame, 0, "MDIClient", nullptr);
  // Without the client's MDI area a search from 0 would run among every program's
  // top-level windows; there is nothing of the client to find then.
  if (mdi == 0) return 0;
  Hwnd candidate = FindWindowExA(mdi, 0, "AOL Child", nullptr);
  if (test(candidate)) return candidate;
  for (;;) {
    candidate = FindWindowExA(mdi, candidate, "AOL Child", nullptr);
    if (test(candidate)) return candidate;
    if (candidate == 0) return 0;
  }
}

bool IsChatRoom(Hwnd candidate) {
  // All four searches are made, whatever the earlier ones found.
  bool transcript = FindWindowExA(candidate, 0, "RICHCNTL", nullptr) != 0;
  bool people = FindWindowExA(candidate, 0, "_AOL_Listbox", nullptr) != 0;
  bool icon = FindWindowExA(candidate, 0, "_AOL_Icon", nullptr) != 0;
  bool label = FindWindowExA(candidate, 0, "_AOL_Static", nullptr) != 0;
  return transcript && people && icon && label;
}

const Text kWelcome = u"Welcome, ";
const Text kInstantMessage = u"Instant Message";

// A host that reports a caption longer than it is (double-byte code pages) leaves U+0000
// padding at the end of what was read. A name that runs to the caption's end must not carry
// it: the chat line would end at the first of them.
Text WithoutPadding(Text text) {
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

bool IsWelcome(Hwnd candidate) {
  return host::InStr(ReadWindowCaption(candidate), kWelcome) == 1;
}

bool IsImWindow(Hwnd candidate) {
  std::size_t at = host::InStr(ReadWindowCaption(candidate), kInstantMessage);
  return at >= 1 && at <= 3;
}

}  // namespace

Text ReadWindowCaption(Hwnd window) {
  int n = host::GetWindowTextLengthA(window);
  if (n <= 0) return Text();
  // The count is one more than the length so that a caption of n bytes fills the buffer and
  // its NUL lands just past it. Bytes the host did not fill stay 0 and come back as U+0000.
  std::string buffer(static_cast<std::size_t>(n) + 1, '\0');
  host::GetWindowTextA(window, buffer.data(), n + 1);
  buffer.resize(static_cast<std::size_t>(n));
  return host::FromAnsi(buffer);
}

Hwnd LocateChatRoom() {
  return WalkCandidates(IsChatRoom);
}

Text ReadScreenName() {
  Hwnd welcome = WalkCandidates(IsWelcome);
  if (welcome == 0) return Text();
  Text caption = ReadWindowCaption(welcome);
  std::size_t bang = host::InStr(caption, u"!");
  // With no "!" the whole rest of the caption is taken as the name.
  if (bang == 0) return WithoutPadding(host::Mid(caption, kWelcome.size() + 1, caption.size()));
  return host::Mid(caption, kWelcome.size() + 1, bang - kWelcome.size() - 1);
}

Hwnd LocateImWindow() {
  return WalkCandidates(IsImWindow);
}

Text ReadImSender() {
  Text caption = ReadWindowCaption(LocateImWindow());
  std::size_t colon = host::InStr(caption, u":");
  if (colon == 0) return Text();
  // The sender follows the colon and one separating character; a colon at the very end
  // leaves no sender.
  if (caption.size() < colon + 1) return Text();
  return WithoutPadding(host::Right(caption, caption.size() - colon - 1));
}

}  // namespace Hook32
