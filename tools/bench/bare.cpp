// bare.exe: the least a Win32 program needs to show the splash picture in one frameless
// window, the yardstick for marigold.exe's private bytes, start-up time and idle cost.
#include <windows.h>

#include "winsupport/owners.h"
#include "winsupport/picture.h"

namespace {

using winsupport::Selection;
using winsupport::UniqueBitmap;
using winsupport::UniqueDc;
using winsupport::UniqueWindow;

constexpr int kPictureId = 1;  // RCDATA in bare.rc
constexpr int kWidth = 333;    // the splash window's size in pixels
constexpr int kHeight = 230;

HBITMAP picture = nullptr;  // owned by WinMain; the window only draws it

void Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  if (dc != nullptr && picture != nullptr) {
    UniqueDc memory(::CreateCompatibleDC(dc));
    Selection selected(memory.get(), picture);
    ::BitBlt(dc, 0, 0, kWidth, kHeight, memory.get(), 0, 0, SRCCOPY);
  }
  ::EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_LBUTTONUP:  // a click ends it, as a splash would go away
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The program's own decoder: WIC into a 32-bit top-down DIB section.
  UniqueBitmap bitmap = winsupport::LoadPictureResource(kPictureId).bitmap;
  picture = bitmap.get();

  WNDCLASSEXW cls = {};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance;
  cls.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  cls.lpszClassName = L"BareSplash";
  if (!::RegisterClassExW(&cls)) return 1;

  // Where the program puts its splash: centred across, its middle at 42.5% of the height.
  int left = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  int top = ::GetSystemMetrics(SM_CYSCREEN) * 85 / 200 - kHeight / 2;
  UniqueWindow window(::CreateWindowExW(WS_EX_APPWINDOW, cls.lpszClassName, L"bare", WS_POPUP, left,
                                        top, kWidth, kHeight, nullptr, nullptr, instance, nullptr));
  if (!window) return 1;
  ::ShowWindow(window.get(), SW_SHOW);
  ::UpdateWindow(window.get());

  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  picture = nullptr;
  return 0;
}
