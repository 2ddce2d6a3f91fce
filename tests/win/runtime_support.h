// Helpers for the tests of the Windows runtime: a form that records its events, pumping
// events for a while, and capturing what a form paints.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "host/runtime.h"
#include "host/win32/raii.h"
#include "tests/contract/driver.h"

namespace runtime_test {

// The contract tests' recording form, with its window as the system knows it.
class RecordingForm : public contract::RecordingForm {
 public:
  using contract::RecordingForm::RecordingForm;
  HWND Window() const { return reinterpret_cast<HWND>(Handle()); }
};

// Serves events for about `seconds`, the way the program's waits do.
inline double Pump(double seconds) {
  LARGE_INTEGER frequency, start, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  for (;;) {
    host::DoEvents();
    ::QueryPerformanceCounter(&now);
    double elapsed = double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    if (elapsed >= seconds) return elapsed;
    host::WaitForEvents(seconds - elapsed);
  }
}

// What the form paints into its client area, as 0x00RRGGBB pixels, row by row.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF;
  }
};

inline Capture CaptureClient(HWND window) {
  RECT client;
  ::GetClientRect(window, &client);
  Capture capture;
  capture.width = client.right;
  capture.height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  host::win32::UniqueBitmap bitmap(
      ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  host::win32::UniqueDc dc(::CreateCompatibleDC(nullptr));
  host::win32::Selection selected(dc.get(), bitmap.get());
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  ::GdiFlush();
  auto* first = static_cast<std::uint32_t*>(bits);
  capture.pixels.assign(first, first + capture.width * capture.height);
  return capture;
}

// COLORREF (0x00BBGGRR) as a captured pixel (0x00RRGGBB).
inline std::uint32_t AsPixel(COLORREF color) {
  return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

}  // namespace runtime_test
