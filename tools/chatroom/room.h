// The chat client's document windows: chat rooms, the Welcome window and Instant Message
// windows, each an "AOL Child" inside the frame's MDI client.
#pragma once

#include <windows.h>

#include <string>

namespace chatroom {

// Who is signed on and where posts are logged; set once before any window is made.
void SetSession(std::wstring screenName, std::wstring logPath);

// Each makes a document window in the MDI client at the given place and activates it.
HWND CreateChatRoom(HWND mdiClient, int number, const RECT& place);
HWND CreateWelcome(HWND mdiClient, const std::wstring& caption, const RECT& place);
HWND CreateImWindow(HWND mdiClient, const std::wstring& caption, const RECT& place);

// The window procedure of class "AOL Child".
LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace chatroom
