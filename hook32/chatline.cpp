// Posting a line into the chat room: the room found at once, the messages carried by the
// courier.
#include <string>

#include "hook32/hook32.h"
#include "host/courier.h"

namespace Hook32 {

void PostChatLine(const Text& line) {
  Hwnd room = LocateChatRoom();
  // With no room open, a search from 0 would find input boxes among other programs'
  // top-level windows; the line must never go there.
  if (room == 0) return;
  Hwnd first = host::FindWindowExA(room, 0, "RICHCNTL", nullptr);
  Hwnd box = host::FindWindowExA(room, first, "RICHCNTL", nullptr);  // the input box
  // The room is chosen now; the courier carries the two messages, in order after the lines
  // before, so that a hung chat client never holds up this program's windows. Each message
  // still gives up after a short timeout, and at once on a window known to be hung.
  host::Deliver([box, ansi = host::ToAnsi(line)] {
    host::SendMessageTimeoutA(box, host::kWmSetText, 0,
                              reinterpret_cast<std::intptr_t>(ansi.c_str()), host::kSmtoAbortIfHung,
                              kChatSendTimeoutMs);
    host::SendMessageTimeoutA(box, host::kWmChar, 13, 0, host::kSmtoAbortIfHung,
                              kChatSendTimeoutMs);
  });
}

}  // namespace Hook32
