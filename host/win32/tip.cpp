// The labels' tool tips: the common controls' tip, shown below the spot after the pointer
// rests on a label with a tip, and gone on every way the pointer or the program ends it.
#include <windows.h>
// after <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "host/win32/native.h"

namespace host {
namespace win32 {
namespace {

// The common controls: loaded from the system folder the first time a tip shows, never at
// start, where they would cost the process more memory than everything else it loads then.
bool LoadTooltips() {
  static const bool ok = [] {
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = Proc<Init>(LoadSystemLibrary(L"comctl32.dll"), "InitCommonControlsEx");
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    return init != nullptr && init(&classes);
  }();
  return ok;
}

// The form's one tool: a tip this file places and shows itself (tracking), whatever label.
TOOLINFOW Tool(Form::Native& native, const Text* text = nullptr) {
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V1_SIZE;  // what every version of the library takes
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = native.Hwnd();
  tool.uId = 1;
  tool.lpszText = const_cast<wchar_t*>(text != nullptr ? Wide(*text) : L"");
  return tool;
}

HWND TipWindow(Form::Native& native) {
  if (!native.tip.window && LoadTooltips()) {
    // Owned by the form, so that it goes with it and never takes the task bar or the focus.
    HWND tip = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, native.Hwnd(),
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (tip == nullptr) return nullptr;
    TOOLINFOW tool = Tool(native);
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
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
  native.tip.shown = label.ToolTip();
  TOOLINFOW tool = Tool(native, &native.tip.shown);
  ::SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  DWORD size = static_cast<DWORD>(
      ::SendMessageW(tip, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool)));
  POINT place = TipPlace(native.tip.spot, {LOWORD(size), HIWORD(size)});
  ::SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(place.x, place.y));
  ::SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
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
    TOOLINFOW tool = Tool(native);
    ::SendMessageW(native.tip.window.get(), TTM_TRACKACTIVATE, FALSE,
                   reinterpret_cast<LPARAM>(&tool));
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
  if (native.tip.shown == label.ToolTip()) return;
  HideTip(native);  // back, with the new text, when the pointer comes onto the label again
}

}  // namespace win32
}  // namespace host
