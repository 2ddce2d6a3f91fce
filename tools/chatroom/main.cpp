// The stand-in chat client's entry point: reads the command line, makes the frame, its MDI
// client and the document windows (the rooms perhaps only later), then serves messages (or
// hangs, when a test sends it kHangMessage).
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs <windows.h> first
// clang-format on

#include <string>
#include <vector>

#include "classes.h"
#include "documents.h"
#include "options.h"
#include "room.h"
#include "winsupport/owners.h"

namespace {

using chatroom::Options;

constexpr UINT_PTR kRoomTimer = 1;

HWND mdiClient = nullptr;
Options options;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT hangMessage = RegisterWindowMessageW(chatroom::kHangMessage);
  if (message == hangMessage && hangMessage != 0) {
    ReplyMessage(TRUE);
    // A hung client: this thread takes no message, sent or posted, while it sleeps.
    Sleep(wParam == 0 ? INFINITE : static_cast<DWORD>(wParam));
    return TRUE;
  }
  switch (message) {
    case WM_CREATE: {
      CLIENTCREATESTRUCT client{};
      client.idFirstChild = 1000;
      mdiClient = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDIClient", nullptr,
                                  WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE,
                                  0, 0, 0, 0, hwnd, nullptr, GetModuleHandleW(nullptr), &client);
      return mdiClient ? 0 : -1;
    }
    case WM_TIMER:
      if (wParam == kRoomTimer) {
        KillTimer(hwnd, kRoomTimer);
        chatroom::OpenRooms(mdiClient, options);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefFrameProcW(hwnd, mdiClient, message, wParam, lParam);
}

DWORD WINAPI EndAfterDelay(void*) {
  Sleep(static_cast<DWORD>(options.exitAfterS) * 1000);
  TerminateProcess(GetCurrentProcess(), 0);
  return 0;
}

std::vector<std::wstring> Arguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args;
  for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  std::wstring error;
  auto parsed = chatroom::ParseOptions(Arguments(), error);
  if (!parsed) {
    std::wstring text = error + L"\n\n" + chatroom::kUsage;
    MessageBoxW(nullptr, text.c_str(), L"chatroom", MB_OK | MB_ICONERROR);
    return 2;
  }
  options = *parsed;
  if (options.exitAfterS >= 0) {
    // A thread of its own, so the client ends on time even while its window thread hangs.
    winsupport::UniqueHandle ender(CreateThread(nullptr, 0, EndAfterDelay, nullptr, 0, nullptr));
  }
  chatroom::SetSession(options.screenName, options.logPath);
  if (!chatroom::RegisterClasses(instance, FrameProc, chatroom::ChildProc)) {
    MessageBoxW(nullptr, L"Cannot register the window classes (riched20.dll missing?)", L"chatroom",
                MB_OK | MB_ICONERROR);
    return 1;
  }

  int width = options.width.value_or(380), height = options.height.value_or(300);
  int x = options.x.value_or(0);
  int y = options.y.value_or(GetSystemMetrics(SM_CYSCREEN) - height);
  std::wstring title = options.title.empty() ? L"Chatroom - " + options.screenName : options.title;
  HWND frame = CreateWindowExW(0, chatroom::kFrameClass, title.c_str(),
                               WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, width, height, nullptr,
                               nullptr, instance, nullptr);
  if (frame == nullptr) return 1;
  // The MDI client is sized by the frame's WM_SIZE, which has not come yet: size it now so
  // the documents can be laid out in it.
  RECT area;
  GetClientRect(frame, &area);
  MoveWindow(mdiClient, 0, 0, area.right, area.bottom, FALSE);
  chatroom::CreateOtherDocuments(mdiClient, options);
  if (options.roomAfterMs < 0) {
    chatroom::OpenRooms(mdiClient, options);
  } else {
    // Counted from here, not from the first message served: a client started by a test
    // opens its rooms when the test expects them, however long the start took.
    SetTimer(frame, kRoomTimer, static_cast<UINT>(options.roomAfterMs), nullptr);
  }
  // Shown only once the whole tree exists (but for rooms opened later): a visible frame
  // means the client is ready.
  ShowWindow(frame, show == SW_SHOWDEFAULT ? SW_SHOWNORMAL : show);
  UpdateWindow(frame);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!TranslateMDISysAccel(mdiClient, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}
