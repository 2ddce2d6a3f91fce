// bare.exe: the least a Win32 program needs to show the splash picture in one frameless
// window, the yardstick for marigold.exe's private bytes, start-up time and idle cost.
#include <wincodec.h>
#include <windows.h>

#include "host/win32/raii.h"  // handle wrappers only: nothing of the runtime is linked in

namespace {

using host::win32::ComPtr;
using host::win32::ComScope;
using host::win32::Selection;
using host::win32::UniqueBitmap;
using host::win32::UniqueDc;
using host::win32::UniqueWindow;

constexpr int kPictureId = 1;  // RCDATA in bare.rc
constexpr int kWidth = 333;    // the splash window's size in pixels
constexpr int kHeight = 230;

// The JPEG resource decoded by WIC into a 32-bit DIB section; null when anything fails.
UniqueBitmap DecodeSplash() {
  HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(kPictureId), MAKEINTRESOURCEW(10));
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = ::LoadResource(nullptr, found);
  DWORD size = ::SizeofResource(nullptr, found);
  auto* bytes = static_cast<BYTE*>(::LockResource(loaded));
  if (bytes == nullptr || size == 0) return nullptr;

  ComPtr<IWICImagingFactory> factory;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Put())))) {
    return nullptr;
  }
  ComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.Put()))) return nullptr;
  if (FAILED(stream->InitializeFromMemory(bytes, size))) return nullptr;
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.Put()))) {
    return nullptr;
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.Put()))) return nullptr;
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.Put()))) return nullptr;
  if (FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  UINT width = 0, height = 0;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) return nullptr;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down rows, as WIC copies them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return nullptr;
  if (FAILED(converter->CopyPixels(nullptr, width * 4, width * 4 * height,
                                   static_cast<BYTE*>(bits)))) {
    return nullptr;
  }
  return bitmap;
}

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
  ComScope com;
  UniqueBitmap bitmap = DecodeSplash();
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
