// Which document windows the stand-in chat client opens, where, and in what order: the rooms
// may open after the others, yet room 1 always comes first in child order.
#pragma once

#include <windows.h>

#include "options.h"

namespace chatroom {

// The Instant Message windows and the Welcome window, laid out in the MDI client.
void CreateOtherDocuments(HWND mdiClient, const Options& options);

// The chat rooms, in front of every document already open.
void OpenRooms(HWND mdiClient, const Options& options);

}  // namespace chatroom
