// Opens the stand-in chat client's document windows. Each new one becomes the active child,
// and an MDI client lists its active child first, so they are made in reverse: the others
// before the rooms, and room 1 last of all, so that it comes first in child order.
#include "documents.h"

#include <string>

#include "room.h"

namespace chatroom {
namespace {

RECT Place(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

RECT Area(HWND mdiClient) {
  RECT area{};
  GetClientRect(mdiClient, &area);
  return area;
}

}  // namespace

void CreateOtherDocuments(HWND mdiClient, const Options& options) {
  RECT area = Area(mdiClient);
  int w = area.right, h = area.bottom;
  for (std::size_t i = options.imCaptions.size(); i-- > 0;) {
    int offset = static_cast<int>(i) * 24;
    CreateImWindow(mdiClient, options.imCaptions[i],
                   Place(w / 3 + offset, offset, w * 2 / 3 - offset, h * 2 / 3));
  }
  if (options.welcome) {
    std::wstring caption =
        options.welcomeRaw ? *options.welcomeRaw : L"Welcome, " + options.screenName + L"!";
    HWND welcome = CreateWelcome(mdiClient, L"", Place(0, 0, w * 2 / 3, h / 2));
    // Set afterwards, in Unicode, so a raw caption reaches the window exactly as given.
    SetWindowTextW(welcome, caption.c_str());
  }
}

void OpenRooms(HWND mdiClient, const Options& options) {
  RECT area = Area(mdiClient);
  int w = area.right, h = area.bottom;
  HWND first = nullptr;
  for (int room = options.rooms; room >= 1; --room) {
    int offset = (room - 1) * 24;
    HWND made = CreateChatRoom(mdiClient, room, Place(offset, offset, w - offset, h - offset));
    // A document made while another program's window is active is not always raised by its
    // activation; raise each one here, so room 1 comes first and the rooms lead, in order.
    if (made != nullptr) {
      SetWindowPos(made, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      first = made;
    }
  }
  if (first != nullptr) SendMessageW(mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
}

}  // namespace chatroom
