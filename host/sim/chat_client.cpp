// The stand-in chat client of the simulated desktop: its frame, MDI area, Welcome window
// and chat rooms whose input box posts its content on Enter.
#include "host/sim/internal.h"

namespace sim {

ChatClient StartChatClient() {
  ChatClient client;
  client.frame = CreateWindow(0, "AOL Frame25", u"America  Online");
  client.mdi = CreateWindow(client.frame, "MDIClient");
  return client;
}

Hwnd AddWelcome(const ChatClient& client, const Text& screenName) {
  return AddChild(client, u"Welcome, " + screenName + u"!");
}

Hwnd AddChild(const ChatClient& client, const Text& caption) {
  return CreateWindow(client.mdi, "AOL Child", caption);
}

ChatRoom AddChatRoom(const ChatClient& client, const Text& caption) {
  ChatRoom room;
  room.window = AddChild(client, caption);
  room.transcript = CreateWindow(room.window, "RICHCNTL");
  room.input = CreateWindow(room.window, "RICHCNTL");
  CreateWindow(room.window, "_AOL_Listbox");
  CreateWindow(room.window, "_AOL_Icon");
  CreateWindow(room.window, "_AOL_Static", caption);
  detail::Find(room.input)->chatInput = true;
  return room;
}

const std::vector<std::string>& PostedLines(const ChatRoom& room) {
  static const std::vector<std::string> none;
  detail::Window* input = detail::Find(room.input);
  return input == nullptr ? none : input->posted;
}

std::vector<Text> PostedTexts(const ChatRoom& room) {
  std::vector<Text> texts;
  for (const std::string& line : PostedLines(room)) texts.push_back(host::FromAnsi(line));
  return texts;
}

}  // namespace sim
