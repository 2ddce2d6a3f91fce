// Helpers for the tests of the Windows runtime: a form that records its events, pumping
// events for a while, and capturing what a form paints.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "hook32/hook32.h"
#include "host/runtime.h"
#include "tests/contract/driver.h"
#include "winsupport/owners.h"
#include "winsupport/picture.h"

namespace runtime_test {

// The contract tests' recording form, with its window as the system knows it.
class RecordingForm : public contract::RecordingForm {
 public:
  using contract::RecordingForm::RecordingForm;
  HWND Window() const { return reinterpret_cast<HWND>(Handle()); }
};

// Serves events for about `seconds`, as the program's own waits do.
inline void Pump(double seconds) {
  host::DoEvents();
  Hook32::ServeEventsUntil(host::SecondsSinceMidnight(), seconds);
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

// What `draw(dc)` draws into a width x height bitmap.
template <typename Draw>
Capture CaptureDrawn(int width, int height, Draw draw) {
  Capture capture;
  capture.width = width;
  capture.height = height;
  void* bits = nullptr;
  winsupport::UniqueBitmap bitmap = winsupport::TopDownDib(width, height, &bits);
  winsupport::UniqueDc dc(::CreateCompatibleDC(nullptr));
  winsupport::Selection selected(dc.get(), bitmap.get());
  draw(dc.get());
  ::GdiFlush();
  auto* first = static_cast<std::uint32_t*>(bits);
  capture.pixels.assign(first, first + width * height);
  return capture;
}

// `shown`: the pixels the window holds on the screen, as its last paints left them, rather
// than a fresh paint.
inline Capture CaptureClient(HWND window, bool shown = false) {
  RECT client;
  ::GetClientRect(window, &client);
  return CaptureDrawn(client.right, client.bottom, [&](HDC dc) {
    if (shown) {
      winsupport::WindowDc screen(window);
      ::BitBlt(dc, 0, 0, client.right, client.bottom, screen.get(), 0, 0, SRCCOPY);
    } else {
      ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    }
  });
}

// Holds a key down in this thread's keyboard state, as GetKeyState reads it, until it goes.
class HeldKey {
 public:
  explicit HeldKey(int key) : key_(key) { Set(0x80); }
  ~HeldKey() { Set(0); }
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

 private:
  void Set(BYTE state) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[key_] = state;
    ::SetKeyboardState(keys);
  }
  int key_;
};

// COLORREF (0x00BBGGRR) as a captured pixel (0x00RRGGBB).
inline std::uint32_t AsPixel(COLORREF color) {
  return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

}  // namespace runtime_test
