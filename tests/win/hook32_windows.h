// Real windows with the chat client's classes for the tests of Hook32: a frame with a real MDI
// client, "AOL Child" documents, and RICHCNTL boxes (a real rich-edit control) that record the
// messages they receive.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "host/user32.h"
#include "winsupport/owners.h"

namespace hook32_test {

// A message that reached a RICHCNTL window: WM_SETTEXT with its exact ANSI bytes, or WM_CHAR.
struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::string text;  // WM_SETTEXT only
};

// What every RICHCNTL window of this thread received, oldest first.
std::vector<Received>& Inbox();
// The messages one window received.
std::vector<Received> ReceivedBy(HWND window);

using winsupport::UniqueWindow;

// A real window's handle as the program's host functions take it.
inline host::Hwnd H(HWND window) {
  return reinterpret_cast<host::Hwnd>(window);
}

// Registers the classes once per process.
void RegisterClientClasses();

// A plain window of one of the client's classes; `parent` null makes it top-level.
HWND MakeWindow(const char* cls, HWND parent, const char* caption = "");

// The client's frame ("AOL Frame25", hidden) with its MDI client. Destroying the frame takes
// every window inside with it.
class Client {
 public:
  Client();
  HWND Mdi() const { return mdi_; }
  // A document window; it becomes the active one, which an MDI client lists first.
  HWND AddDocument(const std::string& caption);
  HWND AddDocumentW(const std::wstring& caption);
  // A document with one direct child of each class given, created in that order.
  HWND AddDocumentWith(const std::string& caption, std::initializer_list<const char*> classes);
  // A chat room: transcript and input box (RICHCNTL), people, send button, label.
  HWND AddRoom(const std::string& caption);
  // The MDI client's children in child order, as the system lists them.
  std::vector<HWND> DocumentsInChildOrder() const;

 private:
  UniqueWindow frame_;
  HWND mdi_ = nullptr;
};

// The n-th direct child (from 0) of a window in child order.
HWND NthChild(HWND parent, int n);

}  // namespace hook32_test
