// Posting a line into the chat room and waiting while the program's events are served.
#include <cmath>
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

void WaitSeconds(std::int32_t seconds) {
  float clock = host::SecondsSinceMidnight();
  // Rounded half to even, so the wait lasts the count give or take half a second.
  double start = static_cast<double>(std::lrint(clock));
  double dayOffset = 0.0;
  float last = clock;
  for (;;) {
    float now = host::SecondsSinceMidnight();
    // The clock restarts at 0 at midnight; carry the day over so the wait still ends.
    if (now < last - 43200.0f) dayOffset += 86400.0;
    last = now;
    double elapsed = static_cast<double>(now) + dayOffset - start;
    if (elapsed >= seconds) return;
    // Block until an event comes or the time is up, instead of spinning on the clock.
    host::WaitForEvents(static_cast<double>(seconds) - elapsed);
    host::DoEvents();
  }
}

}  // namespace Hook32
