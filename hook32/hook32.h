// Module Hook32: finding the chat client's windows, posting a chat line, waiting while
// events are served, and the window effects of the main window (pin, drag, slide).
// Plain routines without state: every call searches the client's window tree afresh.
#pragma once

#include <cstdint>

#include "host/runtime.h"
#include "host/text.h"
#include "host/user32.h"

namespace Hook32 {

using host::Hwnd;
using host::Text;

// How long one message to the chat client may take before the program gives up on it.
inline constexpr unsigned kChatSendTimeoutMs = 2000;

// The window's caption; "" for handle 0 or a window without caption.
Text ReadWindowCaption(Hwnd window);
// The first chat room in child order (an AOL Child with RICHCNTL, _AOL_Listbox, _AOL_Icon
// and _AOL_Static children), or 0.
Hwnd LocateChatRoom();
// The signed-on screen name from the Welcome window's caption, or "".
Text ReadScreenName();
// The first Instant Message window in child order, or 0.
Hwnd LocateImWindow();
// The sender's name from that window's caption, or "".
Text ReadImSender();
// Puts the line into the first chat room's input box and types Enter into it. The room is
// found at once; the messages go by the courier (host/courier.h), so the call never waits.
void PostChatLine(const Text& line);
// Waits about `seconds` seconds by the host's clock while the program's events are served.
void WaitSeconds(std::int32_t seconds);
// Serves the program's events until `seconds` have passed since `start` (seconds since
// midnight) by the host's clock, the day carried over when midnight comes.
void ServeEventsUntil(double start, double seconds);

// Puts the window into the topmost band without moving or sizing it.
void PinOnTop(host::Form& form);
// Moves the window with the pointer from a press of `button` (1 left, 2 right, 4 middle)
// until that button is released (host::DragWindow).
void BeginWindowDrag(host::Form& form, int button);
// Slides the window up off the top of the screen, serving events between moves.
void SlideWindowUp(host::Form& form);

}  // namespace Hook32
