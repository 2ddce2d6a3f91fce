// The labels' tool tips: a small topmost popup with the tip's text that shows after the
// pointer rests on a label, drawn here rather than by the common controls library, which
// would cost the process more memory than everything else it loads at start.
#include <windows.h>

#include <algorithm>
#include <string>

#include "host/win32/native.h"

namespace host {
namespace win32 {
namespace {

constexpr wchar_t kTipClass[] = L"MarigoldTip";
constexpr int kPaddingX = 4;  // pixels at 96 dpi around the text, as the system's tips have
constexpr int kPaddingY = 2;

LRESULT CALLBACK TipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // the pointer keeps belonging to the label below
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(window, &paint);
      if (dc != nullptr) {
        RECT client;
        ::GetClientRect(window, &client);
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_INFOBK));
        auto font = reinterpret_cast<HFONT>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        Selection selected(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
        Text text = WindowText(window);
        ::DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &client,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      }
      ::EndPaint(window, &paint);
      return 0;
    }
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

// The font the system uses for tool tips and status bars.
UniqueFont MakeTipFont() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return {};
  return UniqueFont(::CreateFontIndirectW(&metrics.lfStatusFont));
}

HWND TipWindow(Form::Native& native) {
  if (!native.tip.window) {
    RegisterWindowClass(kTipClass, TipProc, CS_SAVEBITS);
    native.tip.font = MakeTipFont();
    // Owned by the form, so that it goes with it and never takes the task bar or the focus.
    HWND tip = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTipClass,
                                 L"", WS_POPUP | WS_BORDER, 0, 0, 0, 0, native.Hwnd(), nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (tip == nullptr) return nullptr;
    ::SetWindowLongPtrW(tip, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(native.tip.font.get()));
    native.tip.window.reset(tip);
  }
  return native.tip.window.get();
}

// Below the pointer's spot, kept inside the work area of the screen it is on; above the spot
// when there is no room below.
POINT TipPlace(POINT spot, SIZE size) {
  int below = ::GetSystemMetrics(SM_CYCURSOR) * 2 / 3;
  POINT place = {spot.x, spot.y + below};
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoW(::MonitorFromPoint(spot, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return place;
  }
  const RECT& area = monitor.rcWork;
  if (place.y + size.cy > area.bottom) place.y = spot.y - size.cy - 2;
  place.x = std::max(area.left, std::min<LONG>(place.x, area.right - size.cx));
  place.y = std::max(area.top, place.y);
  return place;
}

void ShowTip(Form::Native& native, const Label& label) {
  HWND tip = TipWindow(native);
  if (tip == nullptr) return;
  const Text& text = label.ToolTip();
  ::SetWindowTextW(tip, Wide(text));

  RECT measured = {0, 0, 0, 0};
  {
    WindowDc dc(tip);
    Selection selected(dc.get(), native.tip.font ? static_cast<HGDIOBJ>(native.tip.font.get())
                                                 : ::GetStockObject(DEFAULT_GUI_FONT));
    ::DrawTextW(dc.get(), Wide(text), static_cast<int>(text.size()), &measured,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  }
  int dpi = ScreenDpiX();
  SIZE size = {
      measured.right + 2 * MulDiv(kPaddingX, dpi, 96) + 2 * ::GetSystemMetrics(SM_CXBORDER),
      measured.bottom + 2 * MulDiv(kPaddingY, dpi, 96) + 2 * ::GetSystemMetrics(SM_CYBORDER)};
  POINT place = TipPlace(native.tip.spot, size);
  ::SetWindowPos(tip, HWND_TOPMOST, place.x, place.y, size.cx, size.cy,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ::InvalidateRect(tip, nullptr, TRUE);
  // Gone again after a while, as the system's tips go; it comes back on another label.
  ::SetTimer(native.Hwnd(), kTipHideTimer, ::GetDoubleClickTime() * 10, nullptr);
}

// The label with a tip under the pointer as it is now, or null: the pointer must be in the
// client area with no other window above it there (the tip lets the pointer through).
const Label* LabelUnderPointer(Form::Native& native) {
  HWND window = native.Hwnd();
  POINT screen;
  if (!::GetCursorPos(&screen)) return nullptr;
  HWND under = ::WindowFromPoint(screen);
  if (under != window && under != native.tip.window.get() && !::IsChild(window, under)) {
    return nullptr;
  }
  POINT client = screen;
  ::ScreenToClient(window, &client);
  RECT area;
  ::GetClientRect(window, &area);
  if (!::PtInRect(&area, client)) return nullptr;
  auto [x, y] = ToTwips(client);
  return HostAccess::LabelAt(native.form, x, y);
}

}  // namespace

void HideTip(Form::Native& native) {
  if (native.Hwnd() != nullptr) {
    ::KillTimer(native.Hwnd(), kTipShowTimer);
    ::KillTimer(native.Hwnd(), kTipHideTimer);
  }
  if (native.tip.window && ::IsWindowVisible(native.tip.window.get())) {
    ::ShowWindow(native.tip.window.get(), SW_HIDE);
  }
}

void TipPointerMoved(Form::Native& native, POINT client) {
  HWND window = native.Hwnd();
  if (!native.tip.tracking) {
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, 0};
    native.tip.tracking = ::TrackMouseEvent(&track) != FALSE;
  }
  auto [x, y] = ToTwips(client);
  const Label* label = HostAccess::LabelAt(native.form, x, y);
  if (label != nullptr && label->ToolTip().empty()) label = nullptr;
  if (label == native.tip.hovered) return;
  HideTip(native);
  native.tip.hovered = label;
  if (label == nullptr) {
    ::KillTimer(window, kTipWatchTimer);
    return;
  }
  native.tip.spot = client;
  ::ClientToScreen(window, &native.tip.spot);
  ::SetTimer(window, kTipShowTimer, ::GetDoubleClickTime(), nullptr);
  ::SetTimer(window, kTipWatchTimer, kTipWatchMs, nullptr);
}

void TipPointerLeft(Form::Native& native) {
  native.tip.tracking = false;
  native.tip.hovered = nullptr;
  if (native.Hwnd() != nullptr) ::KillTimer(native.Hwnd(), kTipWatchTimer);
  HideTip(native);
}

bool TipTimer(Form::Native& native, WPARAM id) {
  if (id == kTipShowTimer) {
    ::KillTimer(native.Hwnd(), kTipShowTimer);
    const Label* label = native.tip.hovered;
    if (label != nullptr && !label->ToolTip().empty() && ::IsWindowVisible(native.Hwnd())) {
      ShowTip(native, *label);
    }
    return true;
  }
  if (id == kTipHideTimer) {
    HideTip(native);
    return true;
  }
  if (id == kTipWatchTimer) {
    // Only ever ends a tip: a new one still waits for the pointer to move onto its label.
    if (native.tip.hovered == nullptr || LabelUnderPointer(native) != native.tip.hovered) {
      TipPointerLeft(native);
    }
    return true;
  }
  return false;
}

void TipChanged(Form::Native& native, const Label& label) {
  HWND tip = native.tip.window.get();
  // A tip still waiting to show takes the text as it is then.
  if (native.tip.hovered != &label || tip == nullptr || !::IsWindowVisible(tip)) return;
  if (WindowText(tip) == label.ToolTip()) return;
  HideTip(native);  // back, with the new text, when the pointer comes onto the label again
}

}  // namespace win32
}  // namespace host
