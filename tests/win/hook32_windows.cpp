// Registers the chat client's classes for the tests and builds client windows with them.
#include "hook32_windows.h"

#include <gtest/gtest.h>

namespace hook32_test {
namespace {

WNDPROC richBase = nullptr;

LRESULT CALLBACK RecordingRichProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // An ANSI window procedure, so WM_SETTEXT brings the sender's ANSI bytes as they are.
  if (message == WM_SETTEXT) {
    const char* text = reinterpret_cast<const char*>(lParam);
    Inbox().push_back({hwnd, message, wParam, lParam, text ? std::string(text) : std::string()});
  } else if (message == WM_CHAR) {
    Inbox().push_back({hwnd, message, wParam, lParam, {}});
  }
  return CallWindowProcA(richBase, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefMDIChildProcA(hwnd, message, wParam, lParam);
}

void Register(const char* name, WNDPROC proc) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = name;
  ASSERT_NE(RegisterClassExA(&wc), 0) << name;
}

}  // namespace

std::vector<Received>& Inbox() {
  thread_local std::vector<Received> inbox;
  return inbox;
}

std::vector<Received> ReceivedBy(HWND window) {
  std::vector<Received> out;
  for (const Received& r : Inbox()) {
    if (r.window == window) out.push_back(r);
  }
  return out;
}

void RegisterClientClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
  WNDCLASSEXA rich{};
  rich.cbSize = sizeof rich;
  ASSERT_TRUE(GetClassInfoExA(nullptr, "RichEdit20A", &rich));
  richBase = rich.lpfnWndProc;
  rich.lpfnWndProc = RecordingRichProc;
  rich.hInstance = GetModuleHandleA(nullptr);
  rich.lpszClassName = "RICHCNTL";
  rich.style &= ~CS_GLOBALCLASS;
  ASSERT_NE(RegisterClassExA(&rich), 0);
  Register("AOL Frame25", DefWindowProcA);
  Register("AOL Child", ChildProc);
  Register("_AOL_Listbox", DefWindowProcA);
  Register("_AOL_Icon", DefWindowProcA);
  Register("_AOL_Static", DefWindowProcA);
  Register("Holder", DefWindowProcA);
}

HWND MakeWindow(const char* cls, HWND parent, const char* caption) {
  DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP;
  HWND hwnd = CreateWindowExA(0, cls, caption, style, 0, 0, 50, 20, parent, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  EXPECT_NE(hwnd, nullptr) << cls;
  return hwnd;
}

Client::Client() {
  RegisterClientClasses();
  frame_.reset(CreateWindowExA(0, "AOL Frame25", "Client", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
  CLIENTCREATESTRUCT create{};
  create.idFirstChild = 1000;
  mdi_ = CreateWindowExA(0, "MDIClient", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 400, 300,
                         frame_.get(), nullptr, GetModuleHandleA(nullptr), &create);
  EXPECT_NE(mdi_, nullptr);
}

HWND Client::AddDocument(const std::string& caption) {
  HWND doc = CreateMDIWindowA("AOL Child", caption.c_str(), WS_VISIBLE, 0, 0, 300, 200, mdi_,
                              GetModuleHandleA(nullptr), 0);
  EXPECT_NE(doc, nullptr) << caption;
  return doc;
}

HWND Client::AddDocumentW(const std::wstring& caption) {
  HWND doc = AddDocument("");
  SetWindowTextW(doc, caption.c_str());
  return doc;
}

HWND Client::AddDocumentWith(const std::string& caption,
                             std::initializer_list<const char*> classes) {
  HWND doc = AddDocument(caption);
  for (const char* cls : classes) MakeWindow(cls, doc);
  return doc;
}

HWND Client::AddRoom(const std::string& caption) {
  return AddDocumentWith(caption,
                         {"RICHCNTL", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"});
}

std::vector<HWND> Client::DocumentsInChildOrder() const {
  std::vector<HWND> out;
  for (HWND child = GetWindow(mdi_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    out.push_back(child);
  }
  return out;
}

HWND NthChild(HWND parent, int n) {
  HWND child = GetWindow(parent, GW_CHILD);
  for (int i = 0; i < n && child; ++i) child = GetWindow(child, GW_HWNDNEXT);
  return child;
}

}  // namespace hook32_test
