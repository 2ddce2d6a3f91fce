// Registers the chat client's classes. RICHCNTL superclasses the ANSI rich-edit class, so the
// text a post sets and the Enter it types are handled by a real control, as in the client.
#include "classes.h"

namespace chatroom {
namespace {

// Base procedures of the superclassed system controls.
WNDPROC richBase = nullptr;
WNDPROC listBase = nullptr;
WNDPROC iconBase = nullptr;
WNDPROC staticBase = nullptr;

constexpr wchar_t kEnterProp[] = L"chatroom.enter";

LRESULT CALLBACK RichProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto onEnter = reinterpret_cast<EnterHandler>(GetPropW(hwnd, kEnterProp));
  if (onEnter != nullptr) {
    // The key press itself would make the control break the line; the character that
    // TranslateMessage makes of it (or that another program sends) is the "send" command.
    if (message == WM_KEYDOWN && wParam == VK_RETURN) return 0;
    if (message == WM_CHAR && wParam == '\r') {
      onEnter(hwnd);
      return 0;
    }
  }
  if (message == WM_NCDESTROY) RemovePropW(hwnd, kEnterProp);
  return CallWindowProcA(richBase, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(listBase, hwnd, message, wParam, lParam);
}
LRESULT CALLBACK IconProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(iconBase, hwnd, message, wParam, lParam);
}
LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(staticBase, hwnd, message, wParam, lParam);
}

bool SuperclassW(HINSTANCE instance, const wchar_t* base, const wchar_t* name, WNDPROC proc,
                 WNDPROC& baseProc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(nullptr, base, &wc)) return false;
  baseProc = wc.lpfnWndProc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  wc.style &= ~CS_GLOBALCLASS;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace

bool RegisterClasses(HINSTANCE instance, WNDPROC frameProc, WNDPROC childProc) {
  // The rich-edit library stays loaded for the life of the process.
  if (LoadLibraryW(L"riched20.dll") == nullptr) return false;
  WNDCLASSEXA rich{};
  rich.cbSize = sizeof rich;
  if (!GetClassInfoExA(nullptr, "RichEdit20A", &rich)) return false;
  richBase = rich.lpfnWndProc;
  rich.lpfnWndProc = RichProc;
  rich.hInstance = instance;
  rich.lpszClassName = kRichClassA;
  rich.style &= ~CS_GLOBALCLASS;
  if (!RegisterClassExA(&rich)) return false;

  if (!SuperclassW(instance, L"ListBox", kListboxClass, ListProc, listBase) ||
      !SuperclassW(instance, L"Button", kIconClass, IconProc, iconBase) ||
      !SuperclassW(instance, L"Static", kStaticClass, StaticProc, staticBase)) {
    return false;
  }

  WNDCLASSEXW frame{};
  frame.cbSize = sizeof frame;
  frame.lpfnWndProc = frameProc;
  frame.hInstance = instance;
  frame.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  frame.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  frame.lpszClassName = kFrameClass;
  if (!RegisterClassExW(&frame)) return false;

  WNDCLASSEXW child = frame;
  child.lpfnWndProc = childProc;
  child.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  child.lpszClassName = kChildClass;
  return RegisterClassExW(&child) != 0;
}

void MakeInputBox(HWND box, EnterHandler onEnter) {
  SetPropW(box, kEnterProp, reinterpret_cast<HANDLE>(onEnter));
}

}  // namespace chatroom
